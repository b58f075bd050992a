#include "toolkit/display/line_intersection.h"

#include <cmath>

namespace tracemill {
namespace {

constexpr double kParameterLow = -1e-12;
constexpr double kParameterHigh = 1.000000000001;

bool same(double u, double v) { return std::fabs(u - v) < (std::fabs(u) + std::fabs(v)) * 1e-9 + 1e-10; }
bool samePoint(const Point2& p, const Point2& q) { return same(p.x, q.x) && same(p.y, q.y); }

} // namespace

int genLineIntersection(const Point2& a1, const Point2& a2, const Point2& b1, const Point2& b2, Point2& point,
                        double& ta, double& tb) {
    const double ax = a2.x - a1.x, ay = a2.y - a1.y;
    const double bx = b2.x - b1.x, by = b2.y - b1.y;
    const double determinant = ax * by - ay * bx;
    const double dot = ax * bx + ay * by;
    if (std::fabs(dot) * 1e-6 < std::fabs(determinant)) {
        const double cx = b1.x - a1.x, cy = b1.y - a1.y;
        ta = (cx * by - cy * bx) / determinant;
        tb = (cx * ay - cy * ax) / determinant;
        point = {a1.x + ta * ax, a1.y + ta * ay};
        return 1;
    }
    const struct {
        const Point2& p;
        const Point2& q;
        double ta, tb;
    } ends[] = {{a1, b1, 0, 0}, {a1, b2, 0, 1}, {a2, b1, 1, 0}, {a2, b2, 1, 1}};
    for (const auto& end : ends) {
        if (samePoint(end.p, end.q)) {
            point = end.p;
            ta = end.ta;
            tb = end.tb;
            return 1;
        }
    }
    return 0;
}

int genSegmentsCross(const Point2& a1, const Point2& a2, const Point2& b1, const Point2& b2) {
    Point2 point;
    double ta = 0.0, tb = 0.0;
    if (!genLineIntersection(a1, a2, b1, b2, point, ta, tb)) return 0;
    return ta >= kParameterLow && ta <= kParameterHigh && tb >= kParameterLow && tb <= kParameterHigh ? 1 : 0;
}

int genLinesMeet(const Point2& a1, const Point2& a2, const Point2& b1, const Point2& b2, Point2& point) {
    double ta = 0.0, tb = 0.0;
    return genLineIntersection(a1, a2, b1, b2, point, ta, tb);
}

} // namespace tracemill
