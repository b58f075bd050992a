// Loop sets and strip sets: the region type of display clipping and fills. A loop set is a set
// of closed loops of 2D points (the last point joins the first), each an outer loop or a hole;
// a loop set without loops is the empty region. A strip set is a set of triangle strips, in
// which vertices i, i + 1 and i + 2 make one triangle. The polygon clipper intersects regions
// and turns them into strips; the operations here forward to it.
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

// Construction. The constructors replace what the set held.
// One outer loop with a copy of the n points.
void genLoopSetFromPoints(LoopSet& set, int32_t n, const Point2* points);
// n outer loops with room for counts[i] points each (the points left at zero); n = 0 gives the
// empty region.
void genLoopSetInit(LoopSet& set, int32_t n, const int32_t* counts);
// Appends a loop of n points, copied when given, else zero for the caller to fill.
void genLoopSetAddLoop(LoopSet& set, int32_t n, const Point2* points, int32_t hole);
// A deep copy: the two sets are independent afterwards.
void genLoopSetCopy(LoopSet& destination, const LoopSet& source);
void genLoopSetFree(LoopSet& set);

// Access; indexes stay below the counts.
int32_t genLoopCount(const LoopSet& set);
int32_t genLoopPointCount(const LoopSet& set, int32_t i);
Point2* genLoopPoints(LoopSet& set, int32_t i);

// result = the intersection of the regions a and b; the result's loop count.
int32_t genLoopSetIntersect(const LoopSet& a, const LoopSet& b, LoopSet& result);
// The intersection as triangle strips; the strip count.
int32_t genStripSetIntersect(const LoopSet& a, const LoopSet& b, StripSet& result);
// Converts a region to triangle strips; the strip count.
int32_t genLoopSetToStrips(const LoopSet& set, StripSet& out);

void genStripSetFree(StripSet& strips);
int32_t genStripCount(const StripSet& strips);
int32_t genStripVertexCount(const StripSet& strips, int32_t i);
Point2* genStripVertices(StripSet& strips, int32_t i);

} // namespace tracemill
