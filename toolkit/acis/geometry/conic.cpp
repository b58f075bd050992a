#include "toolkit/acis/geometry/conic.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/matrix4x4.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;

} // namespace

double normalizeAngle(double angle) {
    if (!std::isfinite(angle)) return angle;
    if (angle > kPi) angle -= 2.0 * kPi * std::ceil((angle - kPi) / (2.0 * kPi));
    else if (angle < -kPi) angle += 2.0 * kPi * std::ceil((-kPi - angle) / (2.0 * kPi));
    return std::clamp(angle, -kPi, kPi);
}

c_Conic::c_Conic(const aPoint& centre, const aVector& u, const aVector& w) : mCentre(centre), mU(u), mW(w) {
    aVector::completeFrame(mU, mV, mW);
}

void c_Conic::transform(const c_Matrix4x4& m) {
    m.transformPoint(mCentre, mCentre);
    m.transformVector(mU, mU);
    m.transformVector(mV, mV);
    m.transformVector(mW, mW);
}

bool c_Conic::angleInInterval(double t, double s, double e, bool forward, double angleTolerance) {
    if (std::fabs(s - e) < angleTolerance) return true;
    if (forward) return s < e ? (s <= t && t <= e) : (t >= s || t <= e);
    return s >= e ? (e <= t && t <= s) : (t <= s || t >= e);
}

int c_Conic::tessellateConic(double tolerance, std::span<aPoint> points, bool reversed, const c_Interval* interval,
                             double a, double b) const {
    const int most = int(std::min<size_t>(points.size(), 1u << 30));
    if (most < 1) return 0;
    double start = -kPi, end = -kPi, lower, upper;
    if (interval && interval->lower(lower) && interval->upper(upper)) {
        start = normalizeAngle(lower);
        end = normalizeAngle(upper);
    }
    if (!std::isfinite(start) || !std::isfinite(end)) return 0;
    if (std::fabs(end - start) < geometryTolerances().BasicAngleTol) {
        end += reversed ? -2.0 * kPi : 2.0 * kPi;
    } else if (!reversed && start > end) {
        end += 2.0 * kPi;
    } else if (reversed && end > start) {
        end -= 2.0 * kPi;
    }
    const double span = end - start;
    const double r = std::max(a, b);
    const double step = (tolerance > 1e-6 && tolerance < r) ? 2.0 * std::acos(1.0 - tolerance / r) : kPi;
    const double count = std::trunc(std::fabs(span) / step + 0.5) + 1.0;
    int n = int(std::min(std::max(count, 2.0), double(most)));
    // Runs either way round: no chord may span half a turn or more.
    while (n < most && std::fabs(span) / (n - 1) >= kPi) ++n;
    for (int i = 0; i < n; ++i) {
        const double t = n == 1 ? start : start + i * span / (n - 1);
        points[size_t(i)] = mCentre + (a * std::cos(t)) * mU + (b * std::sin(t)) * mV;
    }
    return n;
}

} // namespace tracemill
