#include "toolkit/acis/geometry/ellipse.h"

#include <cmath>
#include <ostream>
#include <utility>

#include "toolkit/acis/geometry/geometry_tolerances.h"

namespace tracemill {

c_Ellipse::c_Ellipse(const aPoint& centre, const aVector& u, const aVector& w, double a, double b)
    : c_Conic(centre, u, w), mA(a >= 1e-6 ? a : 1.5), mB(b >= 1e-6 ? b : 1.0) {
    if (!std::isfinite(mA)) mA = 1.5;
    if (!std::isfinite(mB)) mB = 1.0;
    if (mA < mB) {
        std::swap(mA, mB);
        std::swap(mU, mV);
        mW = -mW;
    }
}

void c_Ellipse::print(std::ostream& out) const {
    out << className() << "( C=" << mCentre << " , u=" << mU << " , v=" << mV << " , w=" << mW << " , a=" << mA
        << " , b=" << mB << " )";
}

std::unique_ptr<c_Curve> c_Ellipse::clone() const { return std::make_unique<c_Ellipse>(*this); }

bool c_Ellipse::contains(const aPoint& p) const {
    const aVector d = p - mCentre;
    if (!(std::fabs(d.dot(mW)) < 1e-6)) return false;
    const double focal = std::sqrt(mA * mA - mB * mB);
    const double sum = p.distance(mCentre + focal * mU) + p.distance(mCentre - focal * mU);
    return std::fabs(sum - 2.0 * mA) < 1e-6;
}

double c_Ellipse::getParameterOf(const aPoint& p) const {
    const aVector d = p - mCentre;
    return std::atan2(d.dot(mV) / mB, d.dot(mU) / mA);
}

bool c_Ellipse::getPointAt(double t, aPoint& p) const {
    p = mCentre + (mA * std::cos(t)) * mU + (mB * std::sin(t)) * mV;
    return true;
}

OldStyleRecord c_Ellipse::makeOldStyleEntity() const { return EllipseRecord{mCentre, mU, mV, mW, mA, mB}; }

bool c_Ellipse::paramInInterval(double t, double lower, double upper, bool forward) const {
    return angleInInterval(t, lower, upper, forward, geometryTolerances().BasicAngleTol / mA);
}

bool c_Ellipse::sameClass(const c_Curve& other) const {
    if (!c_Curve::sameClass(other)) return false;
    const auto& e = static_cast<const c_Ellipse&>(other);
    return mCentre.coincident(e.mCentre) && aVector::parallelTo(mU, e.mU) && aVector::parallelTo(mV, e.mV) &&
           std::fabs(mA - e.mA) < 1e-6 && std::fabs(mB - e.mB) < 1e-6;
}

aVector c_Ellipse::tangentAt(const aPoint& p) const { return tangentAt(getParameterOf(p)); }

aVector c_Ellipse::tangentAt(double t) const {
    aVector tangent = (-mA * std::sin(t)) * mU + (mB * std::cos(t)) * mV;
    tangent.normalize();
    return tangent;
}

int c_Ellipse::tessellate(double tolerance, std::span<aPoint> points, bool reversed,
                          const c_Interval* interval) const {
    return tessellateConic(tolerance, points, reversed, interval, mA, mB);
}

} // namespace tracemill
