// The solid fill of areas bounded by loops of segments (solid hatches): which boundary paths
// take part by the hatch style and their nesting, then a sweep from left to right over the
// edges that fills the area between each pair of active edges with quadrilaterals, so that the
// even-odd rule over the remaining paths decides what is filled.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "toolkit/core/hatch_segments.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// Hatch styles: what islands (paths inside paths) do to a fill.
inline constexpr int16_t kHatchStyleNormal = 0; // alternate by nesting
inline constexpr int16_t kHatchStyleOuter = 1;  // the outermost ring only
inline constexpr int16_t kHatchStyleIgnore = 2; // the outermost path whole

// One end of a non-vertical edge of the sweep: the point, the edge's line y = slope x +
// intercept, and the edge number (positive at the left end, negative at the right end).
struct EdgeEvent {
    double x = 0.0;
    double y = 0.0;
    double slope = 0.0;
    double intercept = 0.0;
    int32_t edge = 0;
    friend bool operator==(const EdgeEvent&, const EdgeEvent&) = default;
};

// Events are sorted in runs of this many; longer event lists are merged from their runs.
inline constexpr size_t kEdgeEventRun = 806;

struct FillBox {
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
};

// Receives each quadrilateral of a fill: four homogeneous corners (x, y, elevation, 1) whose
// edges run 1-2, 2-4, 4-3 and 3-1.
using FillQuadSink = std::function<void(const Point4&, const Point4&, const Point4&, const Point4&)>;

// Fills the closed paths among `paths` (a path is closed when each segment starts within 1e-5
// in x and y of where the one before ended, the last ending as near the first start) at z =
// elevation. With several paths, islands are first sorted out by `genHatchIslandDepths`, which
// empties the paths that drop out. A lack of memory calls the error callback with 2 and fills
// nothing.
void genHatchSolidFillQuads(std::vector<HatchSegments>& paths, int16_t style, double elevation,
                            const FillQuadSink& sink);

// The solid fill of a HATCH in the display: the quadrilaterals of genHatchSolidFillQuads go
// through genFillQuad with the per-viewport world-to-device `matrices` of the entity.
void genHatchSolidFill(Drawing* drawing, const Matrix4* matrices, std::vector<HatchSegments>& paths, int16_t style,
                       double elevation);

// Empties the paths that the hatch style leaves out: a path that touches a path around it
// (within the largest extent / 100000), under style 1 one nested more than one deep, under
// style 2 any path inside another.
void genHatchIslandDepths(std::vector<HatchSegments>& paths, int16_t style);

// 1 when the point lies inside the loop or on it (within the tolerance of an end point, which
// also sets `touching`, or of an edge's crossing), else 0. `touching` is left alone otherwise.
int genPointInLoop(const HatchSegments& loop, Point2 point, bool& touching, double tolerance);

// 1 when the boxes overlap; boxes that touch overlap.
int genBoxesOverlap(const FillBox& a, const FillBox& b);

// -1, 0 or 1: x ascending, then y descending, then slope descending.
int genCompareEdgeEvents(const EdgeEvent& a, const EdgeEvent& b);

// Sorts the events: runs of kEdgeEventRun, each in full comparator order, merged by x alone
// (among equal x the earlier run first). `width` receives last x - first x. 1, or 0 when
// memory runs out (error callback 2; the events are left as they were).
int genSortEdgeEvents(std::vector<EdgeEvent>& events, double& width);

} // namespace tracemill
