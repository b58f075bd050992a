// The process's pen table: for each colour index 0 to 255 the pen width and the colour index
// that printing and export use for it. The pen sets of the application shell fill it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tracemill {

struct PenWidthEntry {
    double exportWidth = 0;       // inches, handed to an output device
    int32_t printWidth = 0;       // printer device units
    int16_t mappedColorIndex = 0; // colour index drawn instead of this one
};

inline constexpr size_t kPenWidthTableSize = 256;
using PenWidthTable = std::array<PenWidthEntry, kPenWidthTableSize>;

// Widths 0 and each index mapped to itself until a pen set is loaded.
PenWidthTable& GetPenWidthTable();

} // namespace tracemill
