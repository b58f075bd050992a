#include "platform/gdi/line_raster.h"

namespace tracemill::gdi {

bool clipLineParameter(double x0, double y0, double dx, double dy, double left, double top, double right,
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

int64_t thinLineLength(Point from, Point to) {
    return std::max(std::llabs(int64_t(to.x) - from.x), std::llabs(int64_t(to.y) - from.y));
}

void rasterizeThinLine(Point from, Point to, const Rect& bounds, std::vector<Point>& pixels,
                       int64_t* firstStep) {
    if (firstStep) *firstStep = 0;
    bool any = false;
    forEachThinLinePixel(from, to, bounds, [&](int32_t x, int32_t y, int64_t i) {
        if (!any && firstStep) *firstStep = i;
        any = true;
        pixels.push_back(Point{x, y});
    });
}

} // namespace tracemill::gdi
