// Thin lines as GDI draws them: one pixel wide, from the start point up to but without the
// end point.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace tracemill::gdi {

// The parameter range [t0, t1] of the segment from (x0, y0) along (dx, dy) inside the
// rectangle (Liang-Barsky); false when none of it is.
bool clipLineParameter(double x0, double y0, double dx, double dy, double left, double top, double right,
                       double bottom, double& t0, double& t1);

// Calls visit(x, y, i) for each pixel of the line from `from` to `to` that lies inside
// `bounds`, in drawing order, leaving out `to`; i is the pixel's position along the line (for
// dash patterns). Bresenham along the major axis: the minor coordinate is the nearest one, a
// tie going towards the start point's side. Lines far outside `bounds` cost nothing.
template <typename Visit> void forEachThinLinePixel(Point from, Point to, const Rect& bounds, Visit&& visit) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    const int64_t adx = std::llabs(dx);
    const int64_t ady = std::llabs(dy);
    const int64_t steps = std::max(adx, ady);
    if (steps == 0) return;
    double t0 = 0, t1 = 0;
    if (!clipLineParameter(double(from.x), double(from.y), double(dx), double(dy), bounds.left - 2.0,
                           bounds.top - 2.0, bounds.right + 2.0, bounds.bottom + 2.0, t0, t1))
        return;
    const int64_t first = std::max<int64_t>(0, int64_t(std::floor(t0 * double(steps))) - 1);
    const int64_t last = std::min<int64_t>(steps - 1, int64_t(std::ceil(t1 * double(steps))) + 1);
    const bool xMajor = adx >= ady;
    const int64_t major = xMajor ? adx : ady;
    const int64_t minor = xMajor ? ady : adx;
    const int64_t majorStep = xMajor ? (dx < 0 ? -1 : 1) : (dy < 0 ? -1 : 1);
    const int64_t minorStep = xMajor ? (dy < 0 ? -1 : 1) : (dx < 0 ? -1 : 1);
    // The minor offset of pixel i is (2 i minor + major - 1) / (2 major): kept as a quotient
    // and a remainder that each step adds 2 minor to.
    const int64_t denominator = 2 * major;
    const int64_t numerator = 2 * first * minor + major - 1;
    int64_t offset = numerator / denominator;
    int64_t remainder = numerator % denominator;
    int64_t majorAt = (xMajor ? from.x : from.y) + majorStep * first;
    const int64_t minorStart = xMajor ? from.y : from.x;
    for (int64_t i = first; i <= last; ++i) {
        const int64_t minorAt = minorStart + minorStep * offset;
        const int64_t x = xMajor ? majorAt : minorAt;
        const int64_t y = xMajor ? minorAt : majorAt;
        if (x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom)
            visit(int32_t(x), int32_t(y), i);
        majorAt += majorStep;
        remainder += 2 * minor;
        if (remainder >= denominator) {
            remainder -= denominator;
            ++offset;
        }
    }
}

// Appends the pixels of the line inside `bounds`, in drawing order, leaving out `to`.
// `firstStep` receives the position along the line of the first pixel appended.
void rasterizeThinLine(Point from, Point to, const Rect& bounds, std::vector<Point>& pixels,
                       int64_t* firstStep = nullptr);

// Number of pixels of the whole line (the longer of |dx| and |dy|).
int64_t thinLineLength(Point from, Point to);

} // namespace tracemill::gdi
