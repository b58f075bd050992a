// Two small routines of the writers that the readers and the database core use too.
#pragma once

#include <bit>
#include <cstdint>
#include <utility>

namespace tracemill {

// Reverses the byte order of an 8-byte value in place (a handle between its big-endian form
// and the order extended data stores it in).
inline void wrSwap8(uint8_t* value) {
    for (int i = 0; i < 4; ++i)
        std::swap(value[i], value[7 - i]);
}

// The number of set bits among the four lowest bits of a value.
inline int wrCountBits4(uint32_t value) {
    return std::popcount(value & 0xFu);
}

} // namespace tracemill
