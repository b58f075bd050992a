#include "platform/gdi/wide_stroke.h"

#include <algorithm>
#include <cmath>

namespace tracemill::gdi {
namespace {

constexpr double kEdgeTolerance = 1e-9;

// Widens [lo, hi] by the x-range of the circle of radius r around (cx, cy) on row y.
void addCircle(double cx, double cy, double r, double y, double& lo, double& hi) {
    const double dy = y - cy;
    const double h = r * r - dy * dy;
    if (h < -kEdgeTolerance) return;
    const double s = std::sqrt(std::max(0.0, h));
    lo = std::min(lo, cx - s);
    hi = std::max(hi, cx + s);
}

} // namespace

void strokeWideSegment(Point a, Point b, double width, const Rect& bounds, std::vector<PixelRect>& spans) {
    const double r = width / 2;
    const double ax = a.x, ay = a.y, bx = b.x, by = b.y;
    const double len = std::hypot(bx - ax, by - ay);
    // The band around the segment as a convex quadrilateral.
    double quad[4][2] = {};
    if (len > 0) {
        const double nx = -(by - ay) / len * r, ny = (bx - ax) / len * r;
        const double q[4][2] = {{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}};
        std::copy(&q[0][0], &q[0][0] + 8, &quad[0][0]);
    }
    const int64_t top = std::max<int64_t>(bounds.top, int64_t(std::ceil(std::min(ay, by) - r - kEdgeTolerance)));
    const int64_t bottom =
        std::min<int64_t>(int64_t(bounds.bottom) - 1, int64_t(std::floor(std::max(ay, by) + r + kEdgeTolerance)));
    for (int64_t row = top; row <= bottom; ++row) {
        const double y = double(row);
        double lo = INFINITY, hi = -INFINITY;
        addCircle(ax, ay, r, y, lo, hi);
        addCircle(bx, by, r, y, lo, hi);
        if (len > 0) {
            for (int i = 0; i < 4; ++i) {
                const double* p = quad[i];
                const double* q = quad[(i + 1) % 4];
                const double ylo = std::min(p[1], q[1]), yhi = std::max(p[1], q[1]);
                if (y < ylo - kEdgeTolerance || y > yhi + kEdgeTolerance) continue;
                if (yhi - ylo < kEdgeTolerance) {
                    lo = std::min({lo, p[0], q[0]});
                    hi = std::max({hi, p[0], q[0]});
                } else {
                    const double x = p[0] + (y - p[1]) / (q[1] - p[1]) * (q[0] - p[0]);
                    lo = std::min(lo, x);
                    hi = std::max(hi, x);
                }
            }
        }
        if (!(lo <= hi)) continue;
        const int64_t x0 = std::max<int64_t>(bounds.left, int64_t(std::ceil(lo - kEdgeTolerance)));
        const int64_t x1 = std::min<int64_t>(int64_t(bounds.right) - 1, int64_t(std::floor(hi + kEdgeTolerance)));
        if (x1 >= x0) spans.push_back({int32_t(x0), int32_t(row), int32_t(x1 - x0 + 1), 1});
    }
}

} // namespace tracemill::gdi
