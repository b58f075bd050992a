#include "toolkit/core/vector_utilities.h"

#include <cmath>
#include <numbers>

namespace tracemill {

namespace {
constexpr double kOffHorizontalLow = 0.2617993877991494;   // 15 degrees
constexpr double kOffHorizontalHigh = 2.8797932657906435;  // 165 degrees
} // namespace

double dbVectorAngle2d(double x, double y) {
    if (x == 0.0) return y >= 0.0 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
    double angle = std::atan(y / x);
    if (x < 0.0) angle += y <= 0.0 ? -std::numbers::pi : std::numbers::pi;
    return angle;
}

int dbIsOffHorizontal(const Point2& a, const Point2& b) {
    const double angle = dbVectorAngle2d(b.x - a.x, b.y - a.y);
    const bool upper = angle > kOffHorizontalLow && angle < kOffHorizontalHigh;
    const bool lower = angle > -kOffHorizontalHigh && angle < -kOffHorizontalLow;
    return upper || lower ? 1 : 0;
}

double dbEllipseParamToAngle(double t, double k) { return std::atan2(k * std::sin(t), std::cos(t)); }

double dbEllipseAngleToParam(double a, double k) { return std::atan2(std::sin(a), k * std::cos(a)); }

void dbNormalize3(HomogeneousVector& v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length != 0.0) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
    v[3] = 1.0;
}

HomogeneousVector dbCrossNormalized(const HomogeneousVector& a, const HomogeneousVector& b) {
    HomogeneousVector out{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0], 1.0};
    dbNormalize3(out);
    return out;
}

ArcFromChord dbArcCenterFromChord(const Point2& p1, const Point2& p2, double includedAngle) {
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    const double chord = std::hypot(dx, dy);
    const double halfChord = chord / 2;
    const Point2 mid{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2};
    const double tangent = std::tan(includedAngle / 2);
    if (chord == 0.0 || tangent == 0.0 || !std::isfinite(tangent)) return {mid, halfChord};
    // Distance from the midpoint to the centre along the chord's left normal.
    const double toCentre = halfChord / tangent;
    const Point2 centre{mid.x - dy / chord * toCentre, mid.y + dx / chord * toCentre};
    return {centre, std::fabs(halfChord / std::sin(includedAngle / 2))};
}

void dbOrMask64(uint64_t& a, uint64_t b) { a |= b; }

} // namespace tracemill
