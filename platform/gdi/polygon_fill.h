// Polygon interiors as GDI fills them: a pixel is inside when its centre is, under the
// alternate (even-odd) or winding (non-zero) rule; right and bottom edges stay outside.
#pragma once

#include <span>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace tracemill::gdi {

// Appends one-row spans covering the interior of the loops (`counts` points each, taken in
// turn from `points`, each closed back to its first point), cut to `bounds`.
void fillPolygonSpans(std::span<const Point> points, std::span<const int> counts, FillMode mode,
                      const Rect& bounds, std::vector<PixelRect>& spans);

} // namespace tracemill::gdi
