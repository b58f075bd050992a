// The straight segments a hatch boundary path (or a glyph outline loop) is reduced to: arcs,
// ellipses, splines and bulges are already chords here.
#pragma once

#include <vector>

#include "toolkit/core/point.h"

namespace tracemill {

struct HatchSegment {
    Point2 start;
    Point2 end;
    friend bool operator==(const HatchSegment&, const HatchSegment&) = default;
};

// One path's segments in order; an empty path takes no part in a fill.
using HatchSegments = std::vector<HatchSegment>;

} // namespace tracemill
