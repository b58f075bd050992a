#include "toolkit/acis/geometry/sphere.h"

#include <cmath>
#include <numbers>
#include <ostream>

#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/matrix3x3.h"

namespace tracemill {

c_Sphere::c_Sphere(const aPoint& centre, double radius)
    : mCentre(centre), mRadius(radius >= 1e-6 && std::isfinite(radius) ? radius : 1.0) {}

void c_Sphere::print(std::ostream& out) const { out << className() << "( " << mCentre << " , " << mRadius << " )"; }

int c_Sphere::silhouetteCurves(const aVector& view, CurveArray& curves) const {
    curves.push_back(std::make_unique<c_Circle>(mCentre, view, mRadius));
    return 1;
}

OldStyleRecord c_Sphere::makeOldStyleEntity() const { return SphereRecord{mCentre, mRadius}; }

aVector c_Sphere::normalAt(const aPoint& p) const {
    aVector n = p - mCentre;
    n.normalize();
    return n;
}

int c_Sphere::curvesThrough(const aPoint& p, CurveArray& curves, int n) const {
    aVector d = p - mCentre;
    if (d.normalize() < 1e-12) d = kZAxis;  // the centre: any great circles
    const aVector e = d.perpendicular();
    auto greatCircle = [&](double angle) {
        const aVector turned = c_Matrix3x3::rotation(d, angle) * e;
        curves.push_back(std::make_unique<c_Circle>(mCentre, d, d.cross(turned), mRadius));
    };
    greatCircle(0.21552);
    if (n < 2) return 1;
    for (int i = 0; i < n - 1; ++i) greatCircle(0.31124 + i * 2.0 * std::numbers::pi / n);
    return n;
}

int c_Sphere::algebraicCoefficients(double (&c)[10]) const {
    const aVector m(mCentre);
    c[0] = c[1] = c[2] = 1.0;
    c[3] = c[4] = c[5] = 0.0;
    c[6] = -2 * m.x;
    c[7] = -2 * m.y;
    c[8] = -2 * m.z;
    c[9] = m.dot(m) - mRadius * mRadius;
    return 1;
}

int c_Sphere::sectionCircles(int n, CurveArray& curves) const {
    if (n < 1) return 0;
    const double h = 2.0 * mRadius / (n + 1);
    for (int i = 0; i < n; ++i) {
        const double d = -mRadius + 0.93 * h + i * h;
        const double r = std::sqrt(mRadius * mRadius - d * d);
        for (const aVector& axis : {kXAxis, kYAxis, kZAxis}) curves.push_back(std::make_unique<c_Circle>(mCentre + d * axis, axis, r));
    }
    return 3 * n;
}

} // namespace tracemill
