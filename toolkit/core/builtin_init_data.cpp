#include "toolkit/core/builtin_init_data.h"

#include <algorithm>
#include <cstring>

extern "C" const uint8_t tracemill_init_data_begin[];
extern "C" const uint8_t tracemill_init_data_end[];

namespace tracemill {

namespace {

// The one memory-backed stream of the process.
struct MemoryStream {
    std::span<const uint8_t> block;
    size_t position = 0;
};

MemoryStream gStream{dbBuiltinInitData(), 0};

} // namespace

std::span<const uint8_t> dbBuiltinInitData() {
    return {tracemill_init_data_begin, size_t(tracemill_init_data_end - tracemill_init_data_begin)};
}

void dbSetInitDataMemoryBlock(std::span<const uint8_t> block) {
    gStream.block = block.empty() ? dbBuiltinInitData() : block;
    gStream.position = 0;
}

InitDataStream dbInitDataMemOpen(const char*) {
    gStream.position = 0;
    return &gStream;
}

int dbInitDataMemSeek(InitDataStream, long offset, int whence) {
    const long long size = (long long)gStream.block.size();
    long long target;
    switch (whence) {
    case 0: target = offset; break;
    case 1: target = (long long)gStream.position + offset; break;
    case 2: target = size - offset; break;
    default: return -1;
    }
    if (target < 0 || target > size) return -1;
    gStream.position = size_t(target);
    return 0;
}

int dbInitDataMemGetc(InitDataStream) {
    if (gStream.position >= gStream.block.size()) return 0;
    return gStream.block[gStream.position++];
}

size_t dbInitDataMemRead(void* buffer, size_t size, size_t count, InitDataStream) {
    const size_t left = gStream.block.size() - std::min(gStream.position, gStream.block.size());
    size_t wanted = size * count;
    if (count != 0 && wanted / count != size) wanted = left;  // the product overflowed
    const size_t n = std::min(wanted, left);
    if (n) std::memcpy(buffer, gStream.block.data() + gStream.position, n);
    gStream.position += n;
    return n;
}

void dbInitDataMemClose(InitDataStream) { gStream.position = 0; }

void dbUseBuiltinInitData() {
    dbSetInitDataOpen(dbInitDataMemOpen);
    dbSetInitDataSeek(dbInitDataMemSeek);
    dbSetInitDataGetc(dbInitDataMemGetc);
    dbSetInitDataRead(dbInitDataMemRead);
    dbSetInitDataClose(dbInitDataMemClose);
}

} // namespace tracemill
