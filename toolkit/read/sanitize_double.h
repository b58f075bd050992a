// The one rule for doubles that the readers take from files in binary form (DWG, binary DXF,
// R12 records): a value whose 11-bit exponent is all zeros (either zero, every denormal) or all
// ones (infinities and NaNs) is read as +0.0, so such values never enter the database.
#pragma once

#include <cstdint>

#include "toolkit/core/byte_order.h"

namespace tracemill {

inline double SanitizeDouble(uint64_t bits) {
    const uint64_t exponent = (bits >> 52) & 0x7FF;
    return exponent == 0 || exponent == 0x7FF ? 0.0 : doubleFromBits(bits);
}

// A sanitised double from 8 bytes in little-endian order.
inline double SanitizeDouble(const uint8_t* littleEndian) {
    return SanitizeDouble(getLe64(littleEndian));
}

} // namespace tracemill
