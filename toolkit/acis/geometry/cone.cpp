#include "toolkit/acis/geometry/cone.h"

#include <cmath>
#include <numbers>
#include <ostream>

#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/intersect/plane_sections.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

double validAngle(double alpha) { return alpha >= 0.001 && std::isfinite(alpha) ? alpha : std::numbers::pi / 4; }

} // namespace

c_Cone::c_Cone(const aPoint& apex, const aVector& w, double halfAngle)
    : c_AxialQuadric(apex, w), mAlpha(validAngle(halfAngle)) {}

void c_Cone::print(std::ostream& out) const { printFrame(out, {mAlpha}); }

int c_Cone::silhouetteCurves(const aVector& view, CurveArray& curves) const {
    return appendConeSilhouettes(mU.dot(view), mV.dot(view), std::tan(mAlpha) * mW.dot(view), curves);
}

OldStyleRecord c_Cone::makeOldStyleEntity() const { return makeConeRecord(mC, mU, mV, mW, mAlpha); }

aVector c_Cone::normalAt(const aPoint& p) const {
    aVector normal;
    coneNormalDirection(makeConeRecord(mC, mU, mV, mW, mAlpha), p, normal);
    normal.normalize();
    return normal;
}

int c_Cone::curvesThrough(const aPoint& p, CurveArray& curves, int n) const {
    return appendConeCurvesThrough(p, curves, n);
}

int c_Cone::algebraicCoefficients(double (&c)[10]) const {
    const double c2 = std::cos(mAlpha) * std::cos(mAlpha);
    const aVector& w = mW;
    const aVector p(mC);
    const double k = p.dot(w);
    c[0] = c2 - w.x * w.x;
    c[1] = c2 - w.y * w.y;
    c[2] = c2 - w.z * w.z;
    c[3] = -2 * w.x * w.y;
    c[4] = -2 * w.y * w.z;
    c[5] = -2 * w.z * w.x;
    c[6] = -2 * (c2 * p.x - w.x * k);
    c[7] = -2 * (c2 * p.y - w.y * k);
    c[8] = -2 * (c2 * p.z - w.z * k);
    c[9] = c2 * p.dot(p) - k * k;
    return 1;
}

c_Line c_Cone::ruling(double t) const {
    return {mC, mW + std::tan(mAlpha) * (std::cos(t) * mU + std::sin(t) * mV)};
}

c_EllCone::c_EllCone(const aPoint& apex, const aVector& u, const aVector& w, double halfAngle, double ratio)
    : c_AxialQuadric(apex, u, w), mAlpha(validAngle(halfAngle)), mK(ratio >= 1e-6 && std::isfinite(ratio) ? ratio : 1.0) {}

void c_EllCone::print(std::ostream& out) const { printFrame(out, {mAlpha, mK}); }

int c_EllCone::silhouetteCurves(const aVector& view, CurveArray& curves) const {
    return appendConeSilhouettes(mK * mU.dot(view), mV.dot(view), mK * std::tan(mAlpha) * mW.dot(view), curves);
}

OldStyleRecord c_EllCone::makeOldStyleEntity() const {
    if (traceSwitches().surface) {
        kernelDiagnostics() << "*** Warning: c_EllCone::makeOldStyleEntity is generating "
                            << "a right circular cone to pass to old zeziv.\n";
    }
    return makeConeRecord(mC, mU, mV, mW, mAlpha);
}

aVector c_EllCone::normalAt(const aPoint& p) const {
    // The angle t of the ruling through p (on either nappe), then the normal of that ruling.
    const aVector offset = p - mC;
    const double h = offset.dot(mW);
    const aVector radial = (h < 0.0 ? -1.0 : 1.0) * (offset - h * mW);
    const double x = radial.dot(mU), y = radial.dot(mV) / mK, length = std::hypot(x, y);
    if (!(length > 0.0)) return -mW;
    aVector n = (mK * x / length) * mU + (y / length) * mV - (mK * std::tan(mAlpha)) * mW;
    n.normalize();
    return -n;
}

int c_EllCone::curvesThrough(const aPoint& p, CurveArray& curves, int n) const {
    return appendConeCurvesThrough(p, curves, n);
}

int c_EllCone::algebraicCoefficients(double (&c)[10]) const {
    kernelDiagnostics() << "*** Warning: c_EllCone::algebraicCoefficients " << "not yet implemented.\n";
    for (double& value : c) value = 0.0;
    return 0;
}

c_Line c_EllCone::ruling(double t) const {
    return {mC, mW + std::tan(mAlpha) * (std::cos(t) * mU + mK * std::sin(t) * mV)};
}

} // namespace tracemill
