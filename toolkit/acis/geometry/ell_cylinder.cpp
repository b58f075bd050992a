#include "toolkit/acis/geometry/ell_cylinder.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <ostream>
#include <vector>

#include "toolkit/acis/geometry/intersection_result.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/intersect/conic_kernels.h"
#include "toolkit/acis/intersect/polynomial_solver.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kScanStart = 0.142296;
constexpr int kScanSteps = 99;

bool trace() { return traceSwitches().surface; }

} // namespace

c_EllCylinder::c_EllCylinder(const aPoint& c, const aVector& u, const aVector& w, double a, double b)
    : c_AxialQuadric(c, u, w), mA(a), mB(b) {
    if (!(a >= 1e-6 && b >= 1e-6 && a >= b && std::isfinite(a))) {
        mA = 2.0;
        mB = 1.0;
    }
}

void c_EllCylinder::print(std::ostream& out) const { printFrame(out, {mA, mB}); }

int c_EllCylinder::silhouetteCurves(const aVector& view, CurveArray& curves) const {
    const double s = mU.dot(view) * mB;
    if (std::fabs(s) < 1e-6) return appendRulings({0.0, kPi}, curves);
    double roots[2];
    bool doubleRoot;
    if (solveQuadratic(s, -2.0 * mA * mV.dot(view), -s, roots, doubleRoot) != 2) return 0;
    return appendRulings({2.0 * std::atan(roots[0]), 2.0 * std::atan(roots[1])}, curves);
}

int c_EllCylinder::intersect(const c_Curve& curve, IntersectionList& items) const {
    if (std::strcmp(curve.className(), "c_Line") == 0) return intersectLine(static_cast<const c_Line&>(curve), items);
    if (std::strcmp(curve.className(), "c_Circle") == 0) return intersectCircle(curve, items);
    return 1;
}

int c_EllCylinder::intersectLine(const c_Line& line, IntersectionList& items) const {
    const aVector& d = line.direction();
    if (aVector::parallelTo(d, mW)) {
        if (trace()) kernelDiagnostics() << "c_EllCylinder::intersect(line): line parallel to axis.\n";
        return 1;
    }
    const double du = d.dot(mU), dv = d.dot(mV);
    const aVector offset = line.origin() - mC;
    const double pu = offset.dot(mU), pv = offset.dot(mV);
    const double a2 = mA * mA, b2 = mB * mB;
    double roots[2];
    bool doubleRoot;
    const int n = solveQuadratic(b2 * du * du + a2 * dv * dv, 2.0 * (a2 * pv * dv + b2 * pu * du),
                                 b2 * pu * pu + a2 * pv * pv - a2 * b2, roots, doubleRoot);
    if (n < 1) return 1;
    for (int i = 0; i < n; ++i) addIntersectionPoint(line.origin() + roots[i] * d, n == 1, items);
    return 2;
}

int c_EllCylinder::intersectPlane(const c_Plane& plane, IntersectionList& items) const {
    const aVector& n = plane.normal();
    const double dn = mW.dot(n);
    if (std::fabs(dn) < 1e-6) {
        if (trace()) kernelDiagnostics() << "*** Warning: c_EllCylinder::handleDegenerateSlice.\n";
        return 1;
    }
    const c_IntersectionResult axis(c_Line(mC, mW), plane);
    aPoint m;
    if (axis.status() != 2 || axis.itemCount() < 1) {
        kernelDiagnostics() << "c_EllCylinder::intersect(plane): axis did not intersect plane.\n";
        return 1;
    }
    if (!c_IntersectionResult::point(axis.item(0), m)) {
        kernelDiagnostics() << "c_EllCylinder::intersect(plane): no ellipse center.\n";
        return 1;
    }
    // The semi-axes lie where the distance from the centre is extremal: the roots of g.
    const aVector d = mC - m, e = plane.point() - mC;
    const double un = mU.dot(n), vn = mV.dot(n), a = mA, b = mB;
    const double s = e.dot(n) / dn + d.dot(mW);
    const double c0 = (d.dot(mV) - vn * s / dn) * b, c1 = (d.dot(mU) - un * s / dn) * a;
    const double c2 = (b * b * vn * vn - a * a * un * un) / (dn * dn) + (b * b - a * a);
    const double c3 = vn * a * un * b / (dn * dn), c4 = -c3;
    auto g = [&](double t) {
        const double sn = std::sin(t), cs = std::cos(t);
        return (c4 * sn + c2 * cs + c1) * sn + (c3 * cs + c0) * cs;
    };
    const double step = 2.0 * kPi / 100.0;
    std::vector<double> roots;
    double largest = 0.0;
    for (int i = 0; i < kScanSteps; ++i) {
        double lo = kScanStart + i * step, hi = lo + step;
        double glo = g(lo);
        largest = std::max({largest, std::fabs(glo), std::fabs(g(hi))});
        if ((glo < 0.0) == (g(hi) < 0.0)) continue;
        while (hi - lo >= 1e-9) {
            const double middle = 0.5 * (lo + hi), gm = g(middle);
            if ((gm < 0.0) == (glo < 0.0)) {
                lo = middle;
                glo = gm;
            } else {
                hi = middle;
            }
        }
        roots.push_back(0.5 * (lo + hi));
    }
    // A section of constant distance (a circle) has no extremes: any two perpendicular
    // semi-axes serve.
    if (largest <= 1e-12 * (a * a + b * b)) roots = {0.0, kPi / 2};
    if (roots.size() < 2) {
        kernelDiagnostics() << "c_EllCylinder::intersect(plane): no maxima.\n";
        return 1;
    }
    if (roots.size() != 4 && trace()) {
        kernelDiagnostics() << "c_EllCylinder::intersect(plane): " << roots.size() << " intersections.\n";
    }
    aVector axes[2];
    double lengths[2];
    for (int i = 0; i < 2; ++i) {
        const aPoint onSurface = mC + (a * std::cos(roots[size_t(i)])) * mU + (b * std::sin(roots[size_t(i)])) * mV;
        const aPoint inPlane = onSurface + ((plane.point() - onSurface).dot(n) / dn) * mW;
        axes[i] = inPlane - m;
        lengths[i] = axes[i].length();
    }
    if (lengths[1] > lengths[0]) {
        std::swap(axes[0], axes[1]);
        std::swap(lengths[0], lengths[1]);
    }
    const aVector major = axes[0] / lengths[0];
    if (lengths[0] - lengths[1] >= 1e-6) {
        addIntersectionEllipse({m, major, axes[1] / lengths[1], n, lengths[0], lengths[1]}, false, items);
    } else {
        addIntersectionCircle({m, major, n.cross(major), n, 0.5 * (lengths[0] + lengths[1])}, false, items);
    }
    return 2;
}

int c_EllCylinder::intersectCircle(const c_Curve& circle, IntersectionList& items) const {
    const auto record = std::get<CircleRecord>(circle.makeOldStyleEntity());
    IntersectionList sections;
    if (intersectPlane(c_Plane(record.centre, record.normal), sections) != 2) return 1;
    int status = 1;
    for (const IntersectionItem& item : sections.used()) {
        IntersectionList found;
        int result;
        if (const auto* line = std::get_if<LineRecord>(&item.geometry)) {
            result = intersectLineCircle(*line, record, found);
        } else if (const auto* section = std::get_if<CircleRecord>(&item.geometry)) {
            result = intersectCircleCircle(*section, record, found);
        } else if (const auto* ellipse = std::get_if<EllipseRecord>(&item.geometry)) {
            result = intersectCircleEllipse(record, *ellipse, found);
        } else {
            if (trace()) kernelDiagnostics() << "*** Error: c_EllCylinder::intersect: Bad item.\n";
            continue;
        }
        if (result != kIntersectDone) continue;
        status = 2;
        appendIntersections(found, items);
    }
    return status;
}

OldStyleRecord c_EllCylinder::makeOldStyleEntity() const {
    if (trace()) {
        kernelDiagnostics() << "*** Warning: c_EllCylinder::makeOldStyleEntity is generating "
                            << "a right circular cylinder to pass to old zeziv.\n";
    }
    return CylinderRecord{mC, mU, mV, mW, 0.5 * (mA + mB)};
}

aVector c_EllCylinder::normalAt(const aPoint& p) const {
    aVector q = p - mC;
    q = q - q.dot(mW) * mW;
    if (q.length() < 1e-6) {
        if (trace()) kernelDiagnostics() << "*** Warning: c_EllCylinder::normalAt: point on axis\n.";
        return kZeroVector;
    }
    // The gradient of (x/a)^2 + (y/b)^2, scaled by (a b)^2.
    return (mB * mB * q.dot(mU)) * mU + (mA * mA * q.dot(mV)) * mV;
}

int c_EllCylinder::algebraicCoefficients(double (&c)[10]) const {
    kernelDiagnostics() << "*** Warning (c_EllCylinder::algebraicCoefficients): "
                        << "returning cylinder algebraic coefficients.\n";
    cylinderCoefficients(mA, c);
    return 1;
}

c_Line c_EllCylinder::ruling(double t) const {
    return {mC + (mA * std::cos(t)) * mU + (mB * std::sin(t)) * mV, mW};
}

} // namespace tracemill
