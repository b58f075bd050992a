// The polygon clipper: difference, intersection, exclusive-or and union of two polygons, each
// any number of contours that may be holes, cross themselves or overlap (what lies inside is
// decided by the even-odd rule over all contours; the hole flags of the inputs are not read),
// with the result as contours with hole flags or as triangle strips.
//
// Every call allocates afresh: a call that runs out of memory leaves an empty result and calls
// the error callback with reason 2. Contours with a coordinate that is not finite are left
// out. A result may be one of the inputs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/display/clip/loop_set.h"

namespace tracemill {

enum class ClipOp : int32_t {
    kDifference = 0, // subject minus clip
    kIntersection = 1,
    kExclusiveOr = 2,
    kUnion = 3,
};

// result = subject op clip, as contours; the result's hole flags tell holes from outer
// contours.
void genClipPolygons(ClipOp op, const LoopSet& subject, const LoopSet& clip, LoopSet& result);

// result = subject op clip, as triangle strips.
void genClipToStrips(ClipOp op, const LoopSet& subject, const LoopSet& clip, StripSet& result);

// The polygon's own area as triangle strips.
void genPolygonToStrips(const LoopSet& polygon, StripSet& result);

// Appends a copy of the contour with its hole flag (0 outer, else a hole).
void genClipAddContour(LoopSet& polygon, const std::vector<Point2>& contour, int32_t hole);

// Releases every contour (or strip); the set is empty afterwards.
void genClipFreePolygon(LoopSet& polygon);
void genClipFreeStrips(StripSet& strips);

// The plain-text form of a polygon: the contour count, then per contour its vertex count,
// its hole flag (only with `holeFlags`) and one "x y" pair per vertex, numbers separated by
// white space. Reading replaces `polygon`; a negative count, a number that does not fit, or a
// file that ends early leaves it empty and returns 0. Writing puts every coordinate with 15
// decimals and a blank before a number without a sign; 0 when the file refuses the text.
int genClipReadPolygon(std::FILE* file, bool holeFlags, LoopSet& polygon);
int genClipWritePolygon(std::FILE* file, bool holeFlags, const LoopSet& polygon);

} // namespace tracemill
