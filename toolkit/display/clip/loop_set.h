// Loop sets and strip sets: the region type of display clipping and fills. A loop set is a set
// of closed loops of 2D points (the last point joins the first), each an outer loop or a hole;
// a loop set without loops is the empty region. A strip set is a set of triangle strips, in
// which vertices i, i + 1 and i + 2 make one triangle. The polygon clipper intersects regions
// and turns them into strips.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"

namespace tracemill {

struct Loop {
    std::vector<Point2> points;
    int32_t hole = 0; // 0 an outer loop, else a hole
    friend bool operator==(const Loop&, const Loop&) = default;
};

struct LoopSet {
    std::vector<Loop> loops;
    friend bool operator==(const LoopSet&, const LoopSet&) = default;
};

struct StripSet {
    std::vector<std::vector<Point2>> strips;
    friend bool operator==(const StripSet&, const StripSet&) = default;
};

// Converts a region to triangle strips (the polygon clipper's conversion); the strip count.
int32_t genLoopSetToStrips(const LoopSet& set, StripSet& out);

} // namespace tracemill
