#include "toolkit/core/in_file.h"

#include <unistd.h>

#include "toolkit/core/memory_services.h"

namespace tracemill {

std::FILE* dbInFileOpen(const char* name) {
    if (!name) return nullptr;
    std::FILE* f = std::fopen(name, "rb");
    if (f) std::setvbuf(f, nullptr, _IOFBF, kFileBufferSize);
    return f;
}

void dbInFileClose(std::FILE* f) {
    if (f) std::fclose(f);
}

int dbInFileEof(std::FILE* f) { return std::feof(f); }

int dbInFileGetc(std::FILE* f) { return std::getc(f); }

char* dbInFileGetLine(char* buf, size_t n, std::FILE* f) {
    if (n == 0 || std::feof(f)) return nullptr;
    size_t stored = 0;
    while (stored + 1 < n) {
        const int c = std::getc(f);
        if (c == EOF) break;
        buf[stored++] = char(c);
        if (c == '\r' || c == '\n') {
            const int partner = c == '\r' ? '\n' : '\r';
            const int next = std::getc(f);
            if (next != partner && next != EOF) std::ungetc(next, f);
            break;
        }
    }
    if (stored == 0 && n > 1) return nullptr;
    buf[stored] = '\0';
    return buf;
}

long dbInFileLength(std::FILE* f) {
    const long position = std::ftell(f);
    if (position < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(f);
    std::fseek(f, position, SEEK_SET);
    return length;
}

size_t dbInFileRead(void* buf, size_t size, size_t count, std::FILE* f) {
    return std::fread(buf, size, count, f);
}

int dbInFileReadAll(std::FILE* f, std::vector<uint8_t>& out) {
    const long length = dbInFileLength(f);
    if (length < 0 || std::fseek(f, 0, SEEK_SET) != 0 || !dbTryResize(out, size_t(length))) return 0;
    return std::fread(out.data(), 1, out.size(), f) == out.size() ? 1 : 0;
}

int dbInFileSeek(std::FILE* f, long offset, int whence) { return std::fseek(f, offset, whence); }

long dbInFileTell(std::FILE* f) { return std::ftell(f); }

int dbFileAccess(const char* path, int mode) {
    if (!path) return -1;
    return ::access(path, mode == 0 ? F_OK : mode) == 0 ? 0 : -1;
}

} // namespace tracemill
