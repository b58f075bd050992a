// Bit strings written as text for tests of the DWG bit encodings: '0' and '1' are bits, most
// significant first; spaces and other characters only separate groups and are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill::test {

// The bytes of a bit string; the last byte is padded with zero bits.
inline std::vector<uint8_t> bitsToBytes(std::string_view bits) {
    std::vector<uint8_t> bytes;
    unsigned used = 8;
    for (char c : bits) {
        if (c != '0' && c != '1') continue;
        if (used == 8) {
            bytes.push_back(0);
            used = 0;
        }
        if (c == '1') bytes.back() |= uint8_t(0x80 >> used);
        ++used;
    }
    return bytes;
}

// The first `bitLength` bits of some bytes as a string of '0' and '1'.
inline std::string bytesToBits(const std::vector<uint8_t>& bytes, uint64_t bitLength) {
    std::string bits;
    for (uint64_t i = 0; i < bitLength && i / 8 < bytes.size(); ++i)
        bits.push_back((bytes[i / 8] >> (7 - i % 8)) & 1 ? '1' : '0');
    return bits;
}

// A bit string without its separators.
inline std::string plainBits(std::string_view bits) {
    std::string plain;
    for (char c : bits)
        if (c == '0' || c == '1') plain.push_back(c);
    return plain;
}

// The bits of one byte, for assembling strings.
inline std::string byteBits(uint8_t byte) {
    std::string bits;
    for (int i = 7; i >= 0; --i) bits.push_back((byte >> i) & 1 ? '1' : '0');
    return bits + ' ';
}

// The bits of bytes in order, for assembling strings.
inline std::string bytesBits(const std::vector<uint8_t>& bytes) {
    std::string bits;
    for (uint8_t b : bytes) bits += byteBits(b);
    return bits;
}

} // namespace tracemill::test
