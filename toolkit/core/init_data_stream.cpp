#include "toolkit/core/init_data_stream.h"

#include <algorithm>
#include <cstdio>

#include "toolkit/core/in_file.h"

namespace tracemill {

namespace {

InitDataStream fileOpen(const char* name) { return dbInFileOpen(name); }

int fileGetc(InitDataStream stream) {
    const int c = dbInFileGetc(static_cast<std::FILE*>(stream));
    return c == EOF ? 0 : c;
}

size_t fileRead(void* buffer, size_t size, size_t count, InitDataStream stream) {
    return size * dbInFileRead(buffer, size, count, static_cast<std::FILE*>(stream));
}

int fileSeek(InitDataStream stream, long offset, int whence) {
    return dbInFileSeek(static_cast<std::FILE*>(stream), offset, whence);
}

void fileClose(InitDataStream stream) { dbInFileClose(static_cast<std::FILE*>(stream)); }

InitDataCallbacks gCallbacks{fileOpen, fileGetc, fileRead, fileSeek, fileClose};

} // namespace

void dbSetInitDataOpen(InitDataOpenFn fn) { gCallbacks.open = fn ? fn : fileOpen; }
void dbSetInitDataGetc(InitDataGetcFn fn) { gCallbacks.getc = fn ? fn : fileGetc; }
void dbSetInitDataRead(InitDataReadFn fn) { gCallbacks.read = fn ? fn : fileRead; }
void dbSetInitDataSeek(InitDataSeekFn fn) { gCallbacks.seek = fn ? fn : fileSeek; }
void dbSetInitDataClose(InitDataCloseFn fn) { gCallbacks.close = fn ? fn : fileClose; }

const InitDataCallbacks& dbInitDataCallbacks() { return gCallbacks; }

bool dbInitDataReadBytes(InitDataStream stream, void* buffer, size_t size) {
    return gCallbacks.read(buffer, 1, size, stream) == size;
}

bool dbInitDataReadShorts(InitDataStream stream, std::vector<uint16_t>& values, size_t count) {
    // In pieces, so that a count larger than the data present costs no more memory than the
    // data itself.
    constexpr size_t kPiece = 4096;
    values.clear();
    uint8_t raw[2 * kPiece];
    while (values.size() < count) {
        const size_t n = std::min(kPiece, count - values.size());
        if (!dbInitDataReadBytes(stream, raw, 2 * n)) return false;
        for (size_t i = 0; i < n; ++i) values.push_back(uint16_t(raw[2 * i] | raw[2 * i + 1] << 8));
    }
    return true;
}

bool dbInitDataGetLong(InitDataStream stream, int32_t& value) {
    uint8_t b[4];
    if (!dbInitDataReadBytes(stream, b, 4)) return false;
    value = int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    return true;
}

bool dbInitDataGetShort(InitDataStream stream, uint16_t& value) {
    uint8_t b[2];
    if (!dbInitDataReadBytes(stream, b, 2)) return false;
    value = uint16_t(b[0] | b[1] << 8);
    return true;
}

} // namespace tracemill
