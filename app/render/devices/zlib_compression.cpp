#include "app/render/devices/zlib_compression.h"

#include <zlib.h>

namespace tracemill::render {

namespace {

// The fastest level: on a drawing's content stream (numbers and operators) it takes 40 % of
// the default level's time for a file about a quarter larger; at the default level a large
// drawing's PDF export spent 60 % of its time compressing.
constexpr int kDeflateLevel = Z_BEST_SPEED;

// windowBits 15 gives the zlib wrapper, 15 + 16 the gzip one.
std::optional<std::vector<uint8_t>> Deflate(const void* data, size_t size, int windowBits) {
    z_stream stream{};
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    std::vector<uint8_t> out(deflateBound(&stream, uLong(size)));
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    stream.avail_in = uInt(size);
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const bool finished = size == stream.avail_in && deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (!finished) return std::nullopt;
    return out;
}

} // namespace

std::optional<std::vector<uint8_t>> CompressZlibStream(const void* data, size_t size) {
    return Deflate(data, size, 15);
}

std::optional<std::vector<uint8_t>> CompressGzip(const void* data, size_t size) {
    return Deflate(data, size, 15 + 16);
}

} // namespace tracemill::render
