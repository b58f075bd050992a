// The fill of a TrueType glyph's outline loops: as they are when the host fills several
// polygons in one call, else joined into one polygon by bridges from each loop back to the
// loop before it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/hatch_segments.h"

namespace tracemill {

struct Drawing;
struct Matrix4;

// Receives the loops of a fill: their points (z = 0) one loop after the other, and the number
// of points of each loop.
using FillLoopsSink =
    std::function<void(const std::vector<Point3>& points, const std::vector<int32_t>& counts)>;

// The points of the loops (each loop's segment starts). With `polyPolygon` the loops stay
// apart; without it they become one loop: the loops in order, then for each loop from the last
// down to the second its first point (unless the loop already ends there) and the last point
// of the loop before it. Empty loops take no part; no points, no loops.
void genGlyphLoopPoints(const std::vector<HatchSegments>& loops, bool polyPolygon,
                        std::vector<Point3>& points, std::vector<int32_t>& counts);

// Fills the loops through the sink, bridged unless the host has a poly-polygon hook. Nothing
// happens for loops without segments, or when memory runs out.
void genFillGlyphLoopsInto(const std::vector<HatchSegments>& loops, const FillLoopsSink& sink);

// Fills a glyph's loops in the display through genFillLoops with the per-viewport
// world-to-device `matrices` of the text.
void genFillGlyphLoops(Drawing* drawing, const Matrix4* matrices, const std::vector<HatchSegments>& loops);

} // namespace tracemill
