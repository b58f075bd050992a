#include "toolkit/display/file_stream.h"

#include <cstdio>
#include <optional>
#include <string>

#include "toolkit/core/file_name_resolver.h"
#include "toolkit/core/in_file.h"
#include "toolkit/core/paged_stream.h"

namespace tracemill {
namespace {

constexpr int kStreamPageSize = 4096;
constexpr size_t kChunk = 512;

} // namespace

PagedStream* genReadFileToStream(const char* path) {
    if (!path) return nullptr;
    const std::optional<std::string> found = dbResolveFileName(path);
    std::FILE* file = found ? dbInFileOpen(found->c_str()) : nullptr;
    if (!file) return nullptr;
    PagedStream* stream = dbStreamCreate(kStreamPageSize);
    OpenStream* out = stream ? dbStreamOpenWrite(stream) : nullptr;
    bool ok = out != nullptr;
    unsigned char chunk[kChunk];
    while (ok) {
        const size_t read = dbInFileRead(chunk, 1, sizeof chunk, file);
        if (read == 0) break;
        ok = dbStreamPutBytes(out, chunk, read) != 0;
    }
    if (out) dbStreamCloseWrite(out);
    dbInFileClose(file);
    if (!ok) {
        dbStreamDestroy(stream);
        return nullptr;
    }
    return stream;
}

} // namespace tracemill
