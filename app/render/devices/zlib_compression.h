// The deflate wrappers of the vector files: a zlib stream (RFC 1950) for PDF content
// streams and a gzip file (RFC 1952) for SVGZ, which SVG readers expect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tracemill::render {

// Both give none when zlib fails (no memory).
std::optional<std::vector<uint8_t>> CompressZlibStream(const void* data, size_t size);
// The gzip header carries no name and a zero time, so equal input gives equal files.
std::optional<std::vector<uint8_t>> CompressGzip(const void* data, size_t size);

} // namespace tracemill::render
