// The extents a pass collects: the box, in device units of viewport 0, of what the pass draws,
// kept in the display context of the drawing the pass belongs to until its extents flag is
// set.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"

namespace tracemill {

struct Drawing;
struct DisplayContext;

// The context whose extents grow with output in this viewport, or null: only output in
// viewport 0 counts, only while the pass's extents flag is clear, and not while a clip region
// of a reference or a raster image is drawn (nor for lines without extents).
DisplayContext* genExtentsCollector(Drawing* drawing, int16_t viewport);

// Widens the collected extents by the point; a point that is not finite, or that comes from
// drawing coordinates beyond 1e18, is left out (the rest of its entity still counts).
void genWidenExtents(DisplayContext& context, const Point2& p);

} // namespace tracemill
