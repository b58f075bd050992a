#include "toolkit/acis/geometry/circle.h"

#include <cmath>
#include <ostream>

#include "toolkit/acis/geometry/geometry_tolerances.h"

namespace tracemill {

c_Circle::c_Circle(const aPoint& centre, const aVector& u, const aVector& w, double r)
    : c_Conic(centre, u, w), mR(r >= 1e-6 && std::isfinite(r) ? r : 1.0) {}

void c_Circle::print(std::ostream& out) const {
    out << className() << "( C=" << mCentre << " , u=" << mU << " , v=" << mV << " , w=" << mW << " , r=" << mR
        << " )";
}

bool c_Circle::contains(const aPoint& p) const {
    const aVector d = p - mCentre;
    return std::fabs(d.lengthSquared() - mR * mR) < geometryTolerances().BasicDistanceSquaredTol &&
           std::fabs(d.dot(mW)) < 1e-6;
}

double c_Circle::getParameterOf(const aPoint& p) const {
    aVector d = p - mCentre;
    d.normalize();
    return std::atan2(d.dot(mV), d.dot(mU));
}

bool c_Circle::getPointAt(double t, aPoint& p) const {
    p = mCentre + (mR * std::cos(t)) * mU + (mR * std::sin(t)) * mV;
    return true;
}

OldStyleRecord c_Circle::makeOldStyleEntity() const { return CircleRecord{mCentre, mU, mV, mW, mR}; }

bool c_Circle::paramInInterval(double t, double lower, double upper, bool forward) const {
    return angleInInterval(t, lower, upper, forward, geometryTolerances().BasicAngleTol);
}

bool c_Circle::snapToCurve(aPoint& p) const {
    aVector radial = p - mCentre;
    radial = radial - radial.dot(mW) * mW;
    const double length = radial.length();
    if (!(length > geometryTolerances().BasicDistanceTol)) return false;
    p = mCentre + (mR / length) * radial;
    return true;
}

bool c_Circle::sameClass(const c_Curve& other) const {
    if (!c_Curve::sameClass(other)) return false;
    const auto& c = static_cast<const c_Circle&>(other);
    return mCentre.coincident(c.mCentre) && aVector::parallelTo(mW, c.mW) && std::fabs(mR - c.mR) < 1e-6;
}

aVector c_Circle::tangentAt(const aPoint& p) const { return tangentAt(getParameterOf(p)); }

aVector c_Circle::tangentAt(double t) const { return -std::sin(t) * mU + std::cos(t) * mV; }

int c_Circle::tessellate(double tolerance, std::span<aPoint> points, bool reversed,
                         const c_Interval* interval) const {
    return tessellateConic(tolerance, points, reversed, interval, mR, mR);
}

} // namespace tracemill
