// Lines of pens wider than one pixel: every segment is a capsule of the pen's width, so the
// ends and the joins of a polyline come out round.
#pragma once

#include <vector>

#include "platform/gdi/gdi_types.h"

namespace tracemill::gdi {

// Appends one-row spans of the pixels whose centres lie within width / 2 of the segment
// from `a` to `b` (pixel coordinates are their centres), cut to `bounds`.
void strokeWideSegment(Point a, Point b, double width, const Rect& bounds, std::vector<PixelRect>& spans);

} // namespace tracemill::gdi
