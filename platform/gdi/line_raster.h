// Thin lines as GDI draws them: one pixel wide, from the start point up to but without the
// end point.
#pragma once

#include <vector>

#include "platform/gdi/gdi_types.h"

namespace tracemill::gdi {

// Appends the pixels of the line from `from` to `to` that lie inside `bounds`, in drawing
// order, leaving out `to`. `firstStep` receives the position along the line of the first
// pixel appended (for dash patterns); lines far outside `bounds` cost nothing.
void rasterizeThinLine(Point from, Point to, const Rect& bounds, std::vector<Point>& pixels,
                       int64_t* firstStep = nullptr);

// Number of pixels of the whole line (the longer of |dx| and |dy|).
int64_t thinLineLength(Point from, Point to);

} // namespace tracemill::gdi
