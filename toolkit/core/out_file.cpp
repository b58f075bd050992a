#include "toolkit/core/out_file.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/core/in_file.h"
#include "toolkit/core/memory_services.h"

namespace tracemill {

namespace {

// Permissions the target gets: those of the file it replaces, else what a plain create
// would give under the process's umask.
mode_t targetPermissions(const std::string& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool replacesTarget(const char* mode) { return mode[0] == 'w'; }

long long gWriteLimit = -1;  // bytes left before writes fail; negative: no limit

// Takes `n` bytes from the write limit; false when they do not fit.
bool takeFromLimit(size_t n) {
    if (gWriteLimit < 0) return true;
    if ((unsigned long long)gWriteLimit < n) {
        gWriteLimit = 0;
        return false;
    }
    gWriteLimit -= (long long)n;
    return true;
}

} // namespace

OutFile* dbOutFileOpen(const char* name, const char* mode) {
    if (!name || !mode || !*name) return nullptr;
    auto f = dbNewObject<OutFile>();
    if (!f) return nullptr;
    f->target = name;
    if (replacesTarget(mode)) {
        std::string pattern = f->target + ".XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return nullptr;
        ::fchmod(fd, targetPermissions(f->target));
        f->temporary = pattern;
        f->stream = ::fdopen(fd, mode);
        if (!f->stream) {
            ::close(fd);
            ::unlink(f->temporary.c_str());
            return nullptr;
        }
    } else {
        f->stream = std::fopen(name, mode);
        if (!f->stream) return nullptr;
    }
    std::setvbuf(f->stream, nullptr, _IOFBF, kFileBufferSize);
    return f.release();
}

int dbOutFileClose(OutFile* f) {
    if (!f) return -1;
    std::unique_ptr<OutFile> owned(f);
    bool ok = !f->failed && std::fflush(f->stream) == 0 && !std::ferror(f->stream);
    if (ok && !f->temporary.empty()) ok = ::fsync(::fileno(f->stream)) == 0;
    ok = std::fclose(f->stream) == 0 && ok;
    if (f->temporary.empty()) return ok ? 0 : -1;
    if (ok && std::rename(f->temporary.c_str(), f->target.c_str()) == 0) return 0;
    ::unlink(f->temporary.c_str());
    return -1;
}

void dbOutFileDiscard(OutFile* f) {
    if (!f) return;
    std::unique_ptr<OutFile> owned(f);
    std::fclose(f->stream);
    if (!f->temporary.empty()) ::unlink(f->temporary.c_str());
}

void dbSetOutFileWriteLimit(long long bytes) { gWriteLimit = bytes; }

int dbOutFilePutString(OutFile* f, const char* text) {
    if (!takeFromLimit(std::strlen(text)) || std::fputs(text, f->stream) < 0) {
        f->failed = true;
        return -1;
    }
    return 0;
}

size_t dbOutFileWrite(const void* buf, size_t size, size_t count, OutFile* f) {
    if (!takeFromLimit(size * count)) {
        f->failed = true;
        return 0;
    }
    const size_t written = std::fwrite(buf, size, count, f->stream);
    if (written != count) f->failed = true;
    return written;
}

size_t dbOutFileRead(void* buf, size_t size, size_t count, OutFile* f) {
    return std::fread(buf, size, count, f->stream);
}

int dbOutFileSeek(OutFile* f, long offset, int whence) {
    const int result = std::fseek(f->stream, offset, whence);
    if (result != 0) f->failed = true;
    return result;
}

long dbOutFileTell(OutFile* f) { return std::ftell(f->stream); }

} // namespace tracemill
