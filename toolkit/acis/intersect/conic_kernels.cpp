#include "toolkit/acis/intersect/conic_kernels.h"

#include <algorithm>
#include <cmath>

#include "toolkit/acis/intersect/kernel_guard.h"
#include "toolkit/acis/intersect/plane_sections.h"
#include "toolkit/acis/intersect/polynomial_solver.h"
#include "toolkit/acis/intersect/record_geometry.h"

namespace tracemill {
namespace {

aVector unit(aVector v) {
    normalize3(v);
    return v;
}

template <typename Conic> PlaneRecord planeOf(const Conic& conic) {
    if constexpr (std::is_same_v<Conic, ParabolaRecord>) return {conic.vertex, conic.normal};
    else return {conic.centre, conic.normal};
}

bool onConic(const aPoint& x, const EllipseRecord& e) { return isOnEllipse(x, e); }
bool onConic(const aPoint& x, const HyperbolaRecord& h) { return isOnHyperbola(x, h); }
bool onConic(const aPoint& x, const ParabolaRecord& p) { return isOnParabola(x, p); }

int coplanarRoutine(const LineRecord& l, const EllipseRecord& e, IntersectionList& list) {
    return coplanarLineEllipse(l, e, list);
}
int coplanarRoutine(const LineRecord& l, const HyperbolaRecord& h, IntersectionList& list) {
    return coplanarLineHyperbola(l, h, list);
}
int coplanarRoutine(const LineRecord& l, const ParabolaRecord& p, IntersectionList& list) {
    return coplanarLineParabola(l, p, list);
}
int coplanarRoutine(const CircleRecord& c, const EllipseRecord& e, IntersectionList& list) {
    return coplanarCircleEllipse(c, e, list);
}
int coplanarRoutine(const CircleRecord& c, const HyperbolaRecord& h, IntersectionList& list) {
    return coplanarCircleHyperbola(c, h, list);
}
int coplanarRoutine(const CircleRecord& c, const ParabolaRecord& p, IntersectionList& list) {
    return coplanarCircleParabola(c, p, list);
}

// The points P + t d of a line on a conic with foci f1, f2 whose focal sum (ellipse) or
// difference (hyperbola) is 2a: the focal condition squared twice.
int lineAgainstFoci(const LineRecord& line, const aPoint& f1, const aPoint& f2, double a, IntersectionList& list) {
    const aVector q1 = line.point - f1, q2 = line.point - f2;
    const double b1 = line.direction.dot(q1), b2 = line.direction.dot(q2);
    const double c1 = q1.dot(q1), c2 = q2.dot(q2);
    const double k = 4.0 * a * a;
    double roots[2];
    bool doubleRoot;
    const int n = solveQuadratic(4.0 * (b1 - b2) * (b1 - b2) - 4.0 * k,
                                 4.0 * (b1 - b2) * (c1 - c2) - 4.0 * k * (b1 + b2),
                                 k * k - 2.0 * k * (c1 + c2) + (c1 - c2) * (c1 - c2), roots, doubleRoot);
    if (n < 1) return kIntersectNone;
    for (int i = 0; i < n; ++i) addIntersectionPoint(line.point + roots[i] * line.direction, doubleRoot, list);
    return kIntersectDone;
}

// A line against the plane of a conic, then the point tested on the conic; a line in the plane
// goes to the coplanar routine.
template <typename Conic> int lineAgainstConic(const LineRecord& line, const Conic& conic, IntersectionList& list) {
    if (intersectLinePlane(line, planeOf(conic), list) != kIntersectDone) return kIntersectNone;
    if (list.count == 0) return coplanarRoutine(line, conic, list);
    return onConic(*list.items[0].point(), conic) ? kIntersectDone : kIntersectNone;
}

// A circle against the plane of a conic, the points filtered by the conic; a circle in the
// plane goes to the coplanar quartic.
template <typename Conic>
int circleAgainstConic(const CircleRecord& circle, const Conic& conic, IntersectionList& list) {
    IntersectionList crossing;
    if (intersectCirclePlane(circle, planeOf(conic), crossing) != kIntersectDone) return kIntersectNone;
    if (crossing.count == 0) return coplanarRoutine(circle, conic, list);
    const bool touching = crossing.count == 1;
    for (const IntersectionItem& item : crossing.used()) {
        if (onConic(*item.point(), conic)) addIntersectionPoint(*item.point(), touching, list);
    }
    return list.count > 0 ? kIntersectDone : kIntersectNone;
}

// The points of a conic at the roots (parameters or angles) a solver found; a root of
// multiplicity above 1 is a touching.
template <typename PointAt> int pointsAtRoots(int n, const RootArray& roots, PointAt pointAt, IntersectionList& list) {
    if (n < 1) return kIntersectNone;
    for (int i = 0; i < n; ++i) {
        addIntersectionPoint(pointAt(roots[size_t(i)].value), roots[size_t(i)].multiplicity > 1, list);
    }
    return kIntersectDone;
}

} // namespace

bool isOnCircle(const aPoint& x, const CircleRecord& circle) {
    if (!isOnPlane(x, {circle.centre, circle.normal})) return false;
    aVector d = x - circle.centre;
    if (normalize3(d) == 0.0) return false;
    return pointsCoincide3(x, circle.centre + circle.radius * d);
}

void ellipseFoci(const EllipseRecord& e, aPoint& f1, aPoint& f2) {
    const double c = std::sqrt(std::max(e.a * e.a - e.b * e.b, 0.0));
    f1 = e.centre + c * e.major;
    f2 = e.centre - c * e.major;
}

void hyperbolaFoci(const HyperbolaRecord& h, aPoint& f1, aPoint& f2) {
    const double c = std::sqrt(h.a * h.a + h.b * h.b);
    f1 = h.centre + c * h.transverse;
    f2 = h.centre - c * h.transverse;
}

bool isOnEllipse(const aPoint& x, const EllipseRecord& e) {
    if (!isOnPlane(x, {e.centre, e.normal})) return false;
    aPoint f1, f2;
    ellipseFoci(e, f1, f2);
    return std::fabs(distance3(x, f1) + distance3(x, f2) - 2.0 * e.a) < kZeroLengthTol;
}

bool isOnHyperbola(const aPoint& x, const HyperbolaRecord& h) {
    if (!isOnPlane(x, {h.centre, h.normal})) return false;
    aPoint f1, f2;
    hyperbolaFoci(h, f1, f2);
    return std::fabs(std::fabs(distance3(x, f1) - distance3(x, f2)) - 2.0 * h.a) < kZeroLengthTol;
}

bool isOnParabola(const aPoint& x, const ParabolaRecord& p) {
    if (!isOnPlane(x, {p.vertex, p.normal})) return false;
    const aPoint focus = p.vertex + p.focal * p.axis;
    const double toDirectrix = distancePointLine(x, p.vertex - p.focal * p.axis, p.tangent);
    return std::fabs(distance3(x, focus) - toDirectrix) < kZeroLengthTol;
}

double squaredDistancePointLine(const aPoint& x, const aPoint& p, const aVector& d) {
    const aVector w = x - p;
    const double along = w.dot(d);
    return w.dot(w) - along * along;
}

double distancePointLine(const aPoint& x, const aPoint& p, const aVector& d) {
    return std::sqrt(std::max(squaredDistancePointLine(x, p, d), 0.0));
}

aPoint ellipsePoint(const EllipseRecord& e, double theta) {
    return e.centre + (e.a * std::cos(theta)) * e.major + (e.b * std::sin(theta)) * e.minor;
}

aPoint hyperbolaPoint(const HyperbolaRecord& h, double theta) {
    return h.centre + (h.a / std::cos(theta)) * h.transverse + (h.b * std::tan(theta)) * h.conjugate;
}

aPoint parabolaPoint(const ParabolaRecord& p, double s) {
    return p.vertex + (p.focal * s * s) * p.axis + (2.0 * p.focal * s) * p.tangent;
}

int coplanarLineLine(const LineRecord& a, const LineRecord& b, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector w = b.point - a.point;
        const aVector n = a.direction.cross(b.direction);
        const double nn = n.dot(n);
        if (nn >= kParallelTol) {
            addIntersectionPoint(a.point + (w.cross(b.direction).dot(n) / nn) * a.direction, false, list);
            return int(kIntersectDone);
        }
        aVector across = w;
        const bool distinct =
            normalize3(across) >= kZeroLengthTol && 1.0 - std::fabs(across.dot(a.direction)) >= kParallelTol;
        return distinct ? int(kIntersectParallelLines) : int(kIntersectDone);
    }, a, b);
}

int coplanarLineCircle(const LineRecord& line, const CircleRecord& circle, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const int result = intersectLineSphere(line, {circle.centre, circle.radius}, list);
        return result == kIntersectDone ? int(kIntersectDone) : int(kIntersectNone);
    }, line, circle);
}

int coplanarLineEllipse(const LineRecord& line, const EllipseRecord& ellipse, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        aPoint f1, f2;
        ellipseFoci(ellipse, f1, f2);
        return lineAgainstFoci(line, f1, f2, ellipse.a, list);
    }, line, ellipse);
}

int coplanarLineHyperbola(const LineRecord& line, const HyperbolaRecord& hyperbola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        aPoint f1, f2;
        hyperbolaFoci(hyperbola, f1, f2);
        return lineAgainstFoci(line, f1, f2, hyperbola.a, list);
    }, line, hyperbola);
}

int coplanarLineParabola(const LineRecord& line, const ParabolaRecord& parabola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector& d = line.direction;
        const aVector& m = parabola.normal;
        const double p = parabola.focal;
        if (1.0 - std::fabs(d.dot(parabola.axis)) >= kParallelTol) {
            double roots[2];
            bool doubleRoot;
            const int n = solveQuadratic(p * parabola.axis.cross(d).dot(m), 2.0 * p * parabola.tangent.cross(d).dot(m),
                                         (parabola.vertex - line.point).cross(d).dot(m), roots, doubleRoot);
            if (n < 1) return int(kIntersectNone);
            for (int i = 0; i < n; ++i) addIntersectionPoint(parabolaPoint(parabola, roots[i]), doubleRoot, list);
        } else {
            const double s = -(parabola.vertex - line.point).dot(parabola.tangent) / (2.0 * p);
            addIntersectionPoint(parabolaPoint(parabola, s), false, list);
        }
        return int(kIntersectDone);
    }, line, parabola);
}

int coplanarCircleCircle(const CircleRecord& a, const CircleRecord& b, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const double r1 = a.radius, r2 = b.radius;
        aVector e = b.centre - a.centre;
        const double delta = e.length();
        if (delta < kZeroLengthTol && std::fabs(r1 - r2) < kZeroLengthTol) return int(kIntersectDone);
        // Concentric circles have no line of centres: any direction in the plane serves.
        e = delta >= kZeroLengthTol ? e / delta : perpendicularUnit3(a.normal);
        const double sum = r1 + r2, difference = std::fabs(r1 - r2);
        if (std::fabs(delta - sum) < kZeroLengthTol || std::fabs(delta - difference) < kZeroLengthTol) {
            addIntersectionPoint(r1 <= r2 ? b.centre - r2 * e : a.centre + r1 * e, true, list);
        } else if (delta > sum) {
            return int(kIntersectNone);
        } else if (delta >= difference) {
            const double k = lawOfCosines(r1, delta, r2);
            const aPoint foot = a.centre + (r1 * k) * e;
            const double h = r1 * std::sqrt(std::max(1.0 - k * k, 0.0));
            const aVector w = unit(a.normal.cross(e));
            addIntersectionPoint(foot + h * w, false, list);
            addIntersectionPoint(foot - h * w, false, list);
        } else {
            return r1 <= r2 ? int(kIntersectCircleInsideSecond) : int(kIntersectCircleInsideFirst);
        }
        return int(kIntersectDone);
    }, a, b);
}

int coplanarCircleEllipse(const CircleRecord& circle, const EllipseRecord& ellipse, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector q = ellipse.centre - circle.centre;
        const double d = q.dot(q), p = q.dot(ellipse.major), qv = q.dot(ellipse.minor);
        const double a = ellipse.a, b = ellipse.b, r = circle.radius;
        const double c[5] = {d + a * a - r * r + 2.0 * a * p, 4.0 * b * qv, 2.0 * (2.0 * b * b + d - a * a - r * r),
                             4.0 * b * qv, d + a * a - r * r - 2.0 * a * p};
        RootArray angles;
        const int n = solveTrigQuartic(c, angles);
        return pointsAtRoots(n, angles, [&](double theta) { return ellipsePoint(ellipse, theta); }, list);
    }, circle, ellipse);
}

int coplanarCircleHyperbola(const CircleRecord& circle, const HyperbolaRecord& hyperbola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector q = hyperbola.centre - circle.centre;
        const double d = q.dot(q), p = q.dot(hyperbola.transverse), qv = q.dot(hyperbola.conjugate);
        const double a = hyperbola.a, b = hyperbola.b, r = circle.radius;
        const double c[5] = {d - r * r + a * a + 2.0 * a * p, 4.0 * b * qv, 2.0 * (a * a + 2.0 * b * b + r * r - d),
                             -4.0 * b * qv, d - r * r + a * a - 2.0 * a * p};
        RootArray angles;
        const int n = solveTrigQuartic(c, angles);
        return pointsAtRoots(n, angles, [&](double theta) { return hyperbolaPoint(hyperbola, theta); }, list);
    }, circle, hyperbola);
}

int coplanarCircleParabola(const CircleRecord& circle, const ParabolaRecord& parabola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector q = parabola.vertex - circle.centre;
        const double p = parabola.focal, r = circle.radius;
        const double c[5] = {q.dot(q) - r * r, 4.0 * p * q.dot(parabola.tangent),
                             4.0 * p * p + 2.0 * p * q.dot(parabola.axis), 0.0, p * p};
        RootArray roots;
        const int n = solvePolynomial(c, 4, roots);
        return pointsAtRoots(n, roots, [&](double s) { return parabolaPoint(parabola, s); }, list);
    }, circle, parabola);
}

int intersectLineLine(const LineRecord& a, const LineRecord& b, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        aVector n = a.direction.cross(b.direction);
        if (normalize3(n) >= kZeroLengthTol && !isOnPlane(b.point, {a.point, n})) return int(kIntersectNone);
        return coplanarLineLine(a, b, list);
    }, a, b);
}

int intersectLineCircle(const LineRecord& line, const CircleRecord& circle, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const double e = circle.normal.dot(line.direction);
        if (std::fabs(e) >= kPlaneContactTol) {
            if (intersectLinePlane(line, {circle.centre, circle.normal}, list) != kIntersectDone) {
                return int(kIntersectNone);
            }
            return isOnCircle(*list.items[0].point(), circle) ? int(kIntersectDone) : int(kIntersectNone);
        }
        if (std::fabs(circle.normal.dot(circle.centre - line.point)) < kPlaneContactTol) {
            return coplanarLineCircle(line, circle, list);
        }
        return int(kIntersectNone);
    }, line, circle);
}

int intersectLineEllipse(const LineRecord& line, const EllipseRecord& ellipse, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int { return lineAgainstConic(line, ellipse, list); }, line, ellipse);
}

int intersectLineParabola(const LineRecord& line, const ParabolaRecord& parabola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int { return lineAgainstConic(line, parabola, list); }, line, parabola);
}

int intersectLineHyperbola(const LineRecord& line, const HyperbolaRecord& hyperbola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int { return lineAgainstConic(line, hyperbola, list); }, line, hyperbola);
}

int intersectCircleCircle(const CircleRecord& a, const CircleRecord& b, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        if (1.0 - std::fabs(a.normal.dot(b.normal)) < kParallelTol) {
            if (!isOnPlane(b.centre, {a.centre, a.normal})) return int(kIntersectNone);
            return coplanarCircleCircle(a, b, list);
        }
        IntersectionList planes, crossing;
        if (intersectPlanePlane({a.centre, a.normal}, {b.centre, b.normal}, planes) != kIntersectDone ||
            planes.count != 1) {
            return int(kIntersectNone);
        }
        if (intersectLineCircle(std::get<LineRecord>(planes.items[0].geometry), a, crossing) != kIntersectDone) {
            return int(kIntersectNone);
        }
        for (const IntersectionItem& item : crossing.used()) {
            if (item.point() && isOnCircle(*item.point(), b)) list.items[size_t(list.count++)] = item;
        }
        if (list.count == 1) list.items[0].tangent = false;
        return list.count > 0 ? int(kIntersectDone) : int(kIntersectNone);
    }, a, b);
}

int intersectCircleEllipse(const CircleRecord& circle, const EllipseRecord& ellipse, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int { return circleAgainstConic(circle, ellipse, list); }, circle, ellipse);
}

int intersectCircleParabola(const CircleRecord& circle, const ParabolaRecord& parabola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int { return circleAgainstConic(circle, parabola, list); }, circle,
                                 parabola);
}

int intersectCircleHyperbola(const CircleRecord& circle, const HyperbolaRecord& hyperbola, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int { return circleAgainstConic(circle, hyperbola, list); }, circle,
                                 hyperbola);
}

} // namespace tracemill
