#include "toolkit/acis/intersect/plane_sections.h"

#include <cmath>
#include <numbers>

#include "toolkit/acis/intersect/conic_kernels.h"
#include "toolkit/acis/intersect/kernel_guard.h"
#include "toolkit/acis/intersect/record_geometry.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;

aVector unit(aVector v) {
    normalize3(v);
    return v;
}

// The plane passes through the apex.
void sectionConeApex(const PlaneRecord& plane, const ConeRecord& cone, IntersectionList& list) {
    const aVector& n = plane.normal;
    const double c = n.dot(cone.axis);
    const aVector u = unit(cone.axis - c * n);
    const aVector v = unit(n.cross(u));
    const double s = std::sin(cone.halfAngle);
    const double d = s * s - c * c;
    if (std::fabs(d) < kParallelTol) {
        addIntersectionLine({cone.apex, u}, true, list);
    } else if (d < 0.0) {
        addIntersectionPoint(cone.apex, false, list);
    } else {
        const double k = std::sqrt(d) / cone.cosHalfAngle;
        addIntersectionLine({cone.apex, unit(u + k * v)}, false, list);
        addIntersectionLine({cone.apex, unit(u - k * v)}, false, list);
    }
}

// n and a are the oriented copies: the apex lies at distance h behind the plane, c = n.a >= 0.
void sectionConeEllipseHyperbola(const aVector& n, const aVector& a, const ConeRecord& cone, double h, double c,
                                 double s, IntersectionList& list) {
    const double d = c * c - s * s;
    const aVector u = unit(a - c * n);
    const aVector v = unit(n.cross(u));
    const double first = std::fabs(h / d) * s * cone.cosHalfAngle;
    const double second = h * s / std::sqrt(std::fabs(d));
    const aPoint centre = cone.apex + (h / d) * (c * a - s * s * n);
    if (c <= s) addIntersectionHyperbola({centre, u, v, n, first, second}, false, list);
    else addIntersectionEllipse({centre, u, v, n, first, second}, false, list);
}

void sectionConeParabola(const aVector& n, const aVector& a, const ConeRecord& cone, double h, double c,
                         IntersectionList& list) {
    const aVector u = unit(a - c * n);
    const aVector t = unit(u.cross(n));
    const aPoint vertex = cone.apex + h * n + h * std::tan(kPi / 2.0 - 2.0 * cone.halfAngle) * u;
    addIntersectionParabola({vertex, t, u, n, 0.5 * h * c / std::sqrt(1.0 - c * c)}, false, list);
}

// Intersects the circle with each section curve of a surface (in the circle's plane) and
// collects the points.
int circleAgainstSections(const CircleRecord& circle, const IntersectionList& sections, IntersectionList& list) {
    for (const IntersectionItem& item : sections.used()) {
        IntersectionList found;
        int result = kIntersectNone;
        if (const auto* line = std::get_if<LineRecord>(&item.geometry)) {
            result = coplanarLineCircle(*line, circle, found);
        } else if (const auto* section = std::get_if<CircleRecord>(&item.geometry)) {
            result = coplanarCircleCircle(circle, *section, found);
        } else if (const auto* ellipse = std::get_if<EllipseRecord>(&item.geometry)) {
            result = coplanarCircleEllipse(circle, *ellipse, found);
        } else if (const auto* parabola = std::get_if<ParabolaRecord>(&item.geometry)) {
            result = coplanarCircleParabola(circle, *parabola, found);
        } else if (const auto* hyperbola = std::get_if<HyperbolaRecord>(&item.geometry)) {
            result = coplanarCircleHyperbola(circle, *hyperbola, found);
        } else {
            continue;  // the apex of a section through it
        }
        if (result != kIntersectDone) continue;
        if (found.count == 0) {
            list.clear();  // the circle runs along a section curve: it lies in the surface
            return kIntersectDone;
        }
        appendIntersections(found, list);
    }
    return list.count > 0 ? kIntersectDone : kIntersectNone;
}

PlaneRecord planeOf(const CircleRecord& circle) { return {circle.centre, circle.normal}; }

} // namespace

int intersectPlanePlane(const PlaneRecord& a, const PlaneRecord& b, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const bool parallel = 1.0 - std::fabs(a.normal.dot(b.normal)) < kParallelTol;
        if (parallel) {
            const aPoint foot = b.point - signedPlaneDistance(b.point, a) * a.normal;
            return pointsCoincide3(foot, b.point) ? kIntersectDone : kIntersectParallelPlanes;
        }
        const aVector u = unit(a.normal.cross(b.normal));
        const aVector w = unit(a.normal.cross(u));
        IntersectionList crossing;
        if (intersectLinePlane({a.point, w}, b, crossing) != kIntersectDone || crossing.count != 1) {
            return int(kIntersectNone);
        }
        addIntersectionLine({*crossing.items[0].point(), u}, false, list);
        return int(kIntersectDone);
    }, a, b);
}

int sectionPlaneSphere(const PlaneRecord& plane, const SphereRecord& sphere, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const double s = signedPlaneDistance(sphere.centre, plane);
        const aPoint foot = sphere.centre - s * plane.normal;
        const double r = sphere.radius;
        if (std::fabs(std::fabs(s) - r) < kZeroLengthTol) {
            addIntersectionPoint(foot, true, list);
        } else if (std::fabs(s) > r) {
            return int(kIntersectNone);
        } else {
            CircleRecord circle{foot, {}, {}, plane.normal, std::sqrt(r * r - s * s)};
            makePlaneFrame(plane.normal, circle.u, circle.v);
            addIntersectionCircle(circle, false, list);
        }
        return int(kIntersectDone);
    }, plane, sphere);
}

int sectionPlaneCylinder(const PlaneRecord& plane, const CylinderRecord& cylinder, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector& n = plane.normal;
        const aVector& a = cylinder.axis;
        const double r = cylinder.radius;
        const double s = signedPlaneDistance(cylinder.axisPoint, plane);
        const aPoint foot = cylinder.axisPoint - s * n;
        const double c = n.dot(a);
        if (std::fabs(c) < kParallelTol) {
            const double d = std::fabs(s);
            if (std::fabs(d - r) < kZeroLengthTol) {
                addIntersectionLine({foot, a}, true, list);
            } else if (d > r) {
                return int(kIntersectNone);
            } else {
                const double h = std::sqrt(r * r - d * d);
                const aVector e = unit(n.cross(a));
                addIntersectionLine({foot + h * e, a}, false, list);
                addIntersectionLine({foot - h * e, a}, false, list);
            }
        } else if (std::fabs(std::fabs(c) - 1.0) < kParallelTol) {
            addIntersectionCircle({foot, cylinder.u, cylinder.v, a, r}, false, list);
        } else {
            const aPoint centre = cylinder.axisPoint - (s / c) * a;
            const aVector major = unit(a - c * n);
            const aVector minor = unit(major.cross(n));
            addIntersectionEllipse({centre, major, minor, n, r / std::fabs(c), r}, false, list);
        }
        return int(kIntersectDone);
    }, plane, cylinder);
}

int sectionPlaneCone(const PlaneRecord& plane, const ConeRecord& cone, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        if (isOnPlane(cone.apex, plane)) {
            sectionConeApex(plane, cone, list);
            return int(kIntersectDone);
        }
        aVector n = plane.normal;
        aVector a = cone.axis;
        double c = n.dot(a);
        if (1.0 - std::fabs(c) < kParallelTol) {
            const double t = (plane.point - cone.apex).dot(n) / c;
            addIntersectionCircle({cone.apex + t * a, cone.u, cone.v, a, std::fabs(t) * cone.tanHalfAngle}, false,
                                  list);
            return int(kIntersectDone);
        }
        const double sigma = (cone.apex - plane.point).dot(n);
        if (sigma > 0.0) n = -n;
        const double h = std::fabs(sigma);
        if (n.dot(a) < 0.0) a = -a;
        c = n.dot(a);
        const double s = std::sin(cone.halfAngle);
        if (std::fabs(c - s) < kParallelTol) sectionConeParabola(n, a, cone, h, c, list);
        else sectionConeEllipseHyperbola(n, a, cone, h, c, s, list);
        return int(kIntersectDone);
    }, plane, cone);
}

int intersectLinePlane(const LineRecord& line, const PlaneRecord& plane, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const double e = plane.normal.dot(line.direction);
        const double distance = (plane.point - line.point).dot(plane.normal);
        if (std::fabs(e) >= kParallelTol) {
            addIntersectionPoint(line.point + (distance / e) * line.direction, false, list);
            return int(kIntersectDone);
        }
        return std::fabs(distance) >= kZeroLengthTol ? int(kIntersectLineParallelOffPlane) : int(kIntersectDone);
    }, line, plane);
}

int intersectLineSphere(const LineRecord& line, const SphereRecord& sphere, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector& d = line.direction;
        const aVector w = sphere.centre - line.point;
        const double m = w.dot(d);
        const aPoint foot = line.point + m * d;
        const aVector q = w - m * d;
        const double disc = sphere.radius * sphere.radius - q.dot(q);
        if (std::fabs(disc) < kDiscriminantTol) {
            addIntersectionPoint(foot, true, list);
        } else if (disc < 0.0) {
            return int(kIntersectNone);
        } else {
            addIntersectionPoint(foot + std::sqrt(disc) * d, false, list);
            addIntersectionPoint(foot - std::sqrt(disc) * d, false, list);
        }
        return int(kIntersectDone);
    }, line, sphere);
}

int intersectLineCylinder(const LineRecord& line, const CylinderRecord& cylinder, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector& d = line.direction;
        const aVector& a = cylinder.axis;
        const double r = cylinder.radius;
        const double e = d.dot(a);
        if (1.0 - std::fabs(e) < kParallelTol) {
            const double delta = distancePointLine(cylinder.axisPoint, line.point, d);
            if (std::fabs(delta - r) < kZeroLengthTol) return int(kIntersectDone);
            return delta > r ? int(kIntersectNone) : int(kIntersectLineInsideCylinder);
        }
        const aVector w = line.point - cylinder.axisPoint;
        const double wa = w.dot(a);
        const double qa = 1.0 - e * e;
        const double qb = 2.0 * (d.dot(w) - e * wa);
        const double qc = (w.dot(w) - wa * wa) - r * r;
        const double disc = qb * qb - 4.0 * qa * qc;
        if (std::fabs(disc) < kDiscriminantTol) {
            addIntersectionPoint(line.point + (-qb / (2.0 * qa)) * d, true, list);
        } else if (disc < 0.0) {
            return int(kIntersectNone);
        } else {
            addIntersectionPoint(line.point + ((std::sqrt(disc) - qb) / (2.0 * qa)) * d, false, list);
            addIntersectionPoint(line.point + ((-std::sqrt(disc) - qb) / (2.0 * qa)) * d, false, list);
        }
        return int(kIntersectDone);
    }, line, cylinder);
}

int intersectLineCone(const LineRecord& line, const ConeRecord& cone, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector& d = line.direction;
        const aVector& a = cone.axis;
        const double k = cone.cosHalfAngle * cone.cosHalfAngle;
        const aVector w = line.point - cone.apex;
        const double e = d.dot(a), wa = w.dot(a);
        const double qa = e * e - k;
        const double qb = 2.0 * (wa * e - d.dot(w) * k);
        const double qc = wa * wa - w.dot(w) * k;
        if (std::fabs(qa) < kParallelTol) {
            if (std::fabs(qb) < kZeroLengthTol) {
                // Parallel to a generator: on the cone only when the constant term vanishes too.
                return std::fabs(qc) < kZeroLengthTol ? int(kIntersectDone) : int(kIntersectNone);
            }
            addIntersectionPoint(line.point + (-qc / qb) * d, false, list);
            return int(kIntersectDone);
        }
        const double disc = qb * qb - 4.0 * qa * qc;
        if (std::fabs(disc) < kDiscriminantTol * max2(qb * qb, 4.0 * qa * qc)) {
            addIntersectionPoint(line.point + (-qb / (2.0 * qa)) * d, true, list);
        } else if (disc < 0.0) {
            return int(kIntersectNone);
        } else {
            double t1 = (-qb - std::sqrt(disc)) / (2.0 * qa), t2 = (std::sqrt(disc) - qb) / (2.0 * qa);
            if (t1 > t2) std::swap(t1, t2);
            addIntersectionPoint(line.point + t1 * d, false, list);
            addIntersectionPoint(line.point + t2 * d, false, list);
        }
        return int(kIntersectDone);
    }, line, cone);
}

int intersectCirclePlane(const CircleRecord& circle, const PlaneRecord& plane, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        const aVector& n = plane.normal;
        const aVector& m = circle.normal;
        if (1.0 - std::fabs(n.dot(m)) < kParallelTol) {
            return isOnPlane(circle.centre, plane) ? int(kIntersectDone) : int(kIntersectCircleParallelOffPlane);
        }
        const aVector u = unit(n.cross(m));
        const aVector w = unit(m.cross(u));
        IntersectionList crossing;
        if (intersectLinePlane({circle.centre, w}, plane, crossing) != kIntersectDone || crossing.count != 1) {
            return int(kIntersectNone);
        }
        const aPoint foot = *crossing.items[0].point();
        const double delta = distance3(foot, circle.centre);
        const double r = circle.radius;
        if (std::fabs(delta - r) < kZeroLengthTol) {
            addIntersectionPoint(foot, true, list);
        } else if (delta > r) {
            return int(kIntersectNone);
        } else {
            const double h = std::sqrt(r * r - delta * delta);
            addIntersectionPoint(foot + h * u, false, list);
            addIntersectionPoint(foot - h * u, false, list);
        }
        return int(kIntersectDone);
    }, circle, plane);
}

int intersectCircleSphere(const CircleRecord& circle, const SphereRecord& sphere, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        IntersectionList section;
        if (sectionPlaneSphere(planeOf(circle), sphere, section) != kIntersectDone) return int(kIntersectNone);
        if (const aPoint* touch = section.items[0].point()) {
            if (!isOnCircle(*touch, circle)) return int(kIntersectNone);
            addIntersectionPoint(*touch, true, list);
            return int(kIntersectDone);
        }
        const int result = coplanarCircleCircle(circle, std::get<CircleRecord>(section.items[0].geometry), list);
        if (result == kIntersectCircleInsideSecond) return int(kIntersectCircleInsideSphereSection);
        return result == kIntersectDone ? int(kIntersectDone) : int(kIntersectNone);
    }, circle, sphere);
}

int intersectCircleCylinder(const CircleRecord& circle, const CylinderRecord& cylinder, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        IntersectionList sections;
        if (sectionPlaneCylinder(planeOf(circle), cylinder, sections) != kIntersectDone) return int(kIntersectNone);
        return circleAgainstSections(circle, sections, list);
    }, circle, cylinder);
}

int intersectCircleCone(const CircleRecord& circle, const ConeRecord& cone, IntersectionList& list) {
    return runIntersectionKernel(list, [&]() -> int {
        IntersectionList sections;
        if (sectionPlaneCone(planeOf(circle), cone, sections) != kIntersectDone) return int(kIntersectNone);
        return circleAgainstSections(circle, sections, list);
    }, circle, cone);
}

double projectOntoConeFrame(const ConeRecord& cone, const aPoint& x, double& azimuth) {
    const aVector offset = x - cone.apex;
    const double z = offset.dot(cone.axis);
    aVector q = offset - z * cone.axis;
    azimuth = 0.0;
    if (q.dot(q) >= kCoincidentSquaredTol) {
        normalize3(q);
        if (z < 0.0) q = -q;
        azimuth = std::atan2(q.dot(cone.v), q.dot(cone.u));
    }
    return z;
}

int coneNormalDirection(const ConeRecord& cone, const aPoint& x, aVector& normal) {
    double azimuth;
    const double z = projectOntoConeFrame(cone, x, azimuth);
    if (std::fabs(z) < kZeroLengthTol) {
        normal = cone.u;
        return -1;
    }
    const aPoint onAxis = cone.apex + (z / (cone.cosHalfAngle * cone.cosHalfAngle)) * cone.axis;
    normal = x - onAxis;
    normalize3(normal);
    return z < 0.0 ? 1 : 2;
}

} // namespace tracemill
