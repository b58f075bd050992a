// Explicit little- and big-endian loads and stores of file data. Binary formats are read and
// written through these, never by overlaying a structure on bytes.
#pragma once

#include <bit>
#include <cstdint>

namespace tracemill {

inline uint16_t getLe16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t getLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t getLe64(const uint8_t* p) {
    return uint64_t(getLe32(p)) | (uint64_t(getLe32(p + 4)) << 32);
}
inline uint16_t getBe16(const uint8_t* p) {
    return uint16_t((p[0] << 8) | p[1]);
}

inline void putLe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void putLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void putLe64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// The bit pattern of a double and back, as IEEE 754 stores it.
inline uint64_t doubleBits(double value) {
    return std::bit_cast<uint64_t>(value);
}

// Appends the low `bytes` bytes of a value, least significant first, to a byte container.
template <class Bytes> void appendLe(Bytes& out, uint64_t value, unsigned bytes) {
    for (unsigned i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}
template <class Bytes> void appendLeDouble(Bytes& out, double value) {
    appendLe(out, doubleBits(value), 8);
}
inline double doubleFromBits(uint64_t bits) {
    return std::bit_cast<double>(bits);
}

} // namespace tracemill
