#include "platform/gdi/line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tracemill::gdi {
namespace {

// Liang-Barsky: the parameter range [t0, t1] of the segment inside the rectangle.
bool clipParameter(double x0, double y0, double dx, double dy, double left, double top, double right,
                   double bottom, double& t0, double& t1) {
    t0 = 0;
    t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

} // namespace

int64_t thinLineLength(Point from, Point to) {
    return std::max(std::llabs(int64_t(to.x) - from.x), std::llabs(int64_t(to.y) - from.y));
}

void rasterizeThinLine(Point from, Point to, const Rect& bounds, std::vector<Point>& pixels,
                       int64_t* firstStep) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    const int64_t adx = std::llabs(dx);
    const int64_t ady = std::llabs(dy);
    const int64_t sx = dx < 0 ? -1 : 1;
    const int64_t sy = dy < 0 ? -1 : 1;
    const int64_t steps = std::max(adx, ady);
    if (firstStep) *firstStep = 0;
    if (steps == 0) return;
    double t0 = 0, t1 = 0;
    if (!clipParameter(double(from.x), double(from.y), double(dx), double(dy), bounds.left - 2.0,
                       bounds.top - 2.0, bounds.right + 2.0, bounds.bottom + 2.0, t0, t1))
        return;
    const int64_t first = std::max<int64_t>(0, int64_t(std::floor(t0 * double(steps))) - 1);
    const int64_t last = std::min<int64_t>(steps - 1, int64_t(std::ceil(t1 * double(steps))) + 1);
    bool any = false;
    // Bresenham along the major axis; the minor coordinate is the nearest one, a tie going
    // towards the start point's side.
    for (int64_t i = first; i <= last; ++i) {
        int64_t x, y;
        if (adx >= ady) {
            x = from.x + sx * i;
            y = from.y + sy * ((2 * i * ady + adx - 1) / (2 * adx));
        } else {
            y = from.y + sy * i;
            x = from.x + sx * ((2 * i * adx + ady - 1) / (2 * ady));
        }
        if (x < bounds.left || x >= bounds.right || y < bounds.top || y >= bounds.bottom) continue;
        if (!any && firstStep) *firstStep = i;
        any = true;
        pixels.push_back(Point{int32_t(x), int32_t(y)});
    }
}

} // namespace tracemill::gdi
