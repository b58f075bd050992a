#include "toolkit/acis/geometry/cylinder.h"

#include <cmath>

namespace tracemill {

c_Cylinder::c_Cylinder(const aPoint& c, const aVector& w, double r)
    : c_AxialQuadric(c, w), mR(r >= 1e-6 && std::isfinite(r) ? r : 1.0) {}

void c_Cylinder::print(std::ostream& out) const { printFrame(out, {mR}); }

int c_Cylinder::silhouetteCurves(const aVector& view, CurveArray& curves) const {
    aVector s = view.cross(mW);
    if (s.length() < 1e-6) s = view.perpendicular();
    s.normalize();
    curves.push_back(std::make_unique<c_Line>(mC + mR * s, mW));
    curves.push_back(std::make_unique<c_Line>(mC - mR * s, mW));
    return 2;
}

OldStyleRecord c_Cylinder::makeOldStyleEntity() const { return CylinderRecord{mC, mU, mV, mW, mR}; }

aVector c_Cylinder::normalAt(const aPoint& p) const {
    aVector q = p - mC;
    q = q - q.dot(mW) * mW;
    q.normalize();
    return q;
}

int c_Cylinder::algebraicCoefficients(double (&c)[10]) const {
    cylinderCoefficients(mR, c);
    return 1;
}

c_Line c_Cylinder::ruling(double t) const { return {mC + (mR * std::cos(t)) * mU + (mR * std::sin(t)) * mV, mW}; }

} // namespace tracemill
