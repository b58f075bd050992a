// The character transform of SAT text in DWG and DXF files: a byte from 0x21 to 0x7E is stored
// as 159 minus itself; every other byte (blanks, control characters, 0x7F and the bytes from
// 0x80 on) is stored as it is. The rule is its own inverse: readers and writers of both formats
// apply this one function.
#pragma once

#include <cstdint>

namespace tracemill {

constexpr uint8_t dbSatTransform(uint8_t c) { return c >= 0x21 && c <= 0x7E ? uint8_t(159 - c) : c; }

} // namespace tracemill
