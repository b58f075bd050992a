// The pattern-line families of a HATCH entity, read for the hatch display: for each family its
// angle, base point, offset and dashes, with the pattern's flag value.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/geometry_lists.h"

namespace tracemill {

struct HatchBody;

struct HatchPatternLines {
    std::vector<HatchPatternLine> lines;
    int16_t patternFlags = 0;  // the entity's pattern type
};

// Copies the hatch's pattern lines into `out`. 1, or 0 when memory runs out (error callback 2).
int genReadHatchPatternLines(const HatchBody& hatch, HatchPatternLines& out);

void genFreeHatchPatternLines(HatchPatternLines& lines);

} // namespace tracemill
