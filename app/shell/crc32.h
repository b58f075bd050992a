// CRC-32 of IEEE 802.3 (the checksum of zlib and PNG: reflected polynomial 0xEDB88320,
// initial value 0xFFFFFFFF, final complement) over texts, buffers and whole files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tracemill {

// Fills the process's table of the 256 byte entries; start-up calls it once. The checksums
// below do not depend on it (zlib computes them).
void BuildCrc32Table();
// The table BuildCrc32Table filled (all zeros before).
const std::array<uint32_t, 256>& Crc32Table();

// The bytes of the text without a terminating NUL; 0 for an empty text.
uint32_t Crc32OfString(const char* text);
uint32_t Crc32OfString(std::string_view text);
// 0 for a length of 0.
uint32_t Crc32OfBuffer(const void* bytes, size_t length);
// The whole file; 0 when it cannot be opened or read to its end.
uint32_t Crc32OfFile(const std::string& path);

} // namespace tracemill
