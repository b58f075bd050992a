// The 16-bit CRC of the DWG format: table-driven CRC-16 with the reflected polynomial 0xA001.
// Object records and sections use the seed 0xC0C1, the file header and stored blocks 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tracemill {

inline constexpr uint16_t kCrcSeedRecords = 0xC0C1;

// The CRC of `count` bytes, started from `seed`: for each byte,
// crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8).
uint16_t wrCrc16(uint16_t seed, const uint8_t* bytes, size_t count);

// Computes the CRC (seed 0) over the buffer without its last two bytes, XORs it with
// `xorValue` and stores the result little-endian in those two bytes. A buffer shorter than two
// bytes is left alone.
void wrStoreCrc(uint8_t* buffer, size_t length, uint16_t xorValue);

} // namespace tracemill
