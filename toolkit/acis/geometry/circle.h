// c_Circle: centre + r (cos t u + sin t v).
#pragma once

#include "toolkit/acis/geometry/conic.h"

namespace tracemill {

class c_Circle : public c_Conic {
public:
    // A radius below 1e-6 becomes 1.0. The frame is completed from w (with u as the hint).
    c_Circle(const aPoint& centre, const aVector& u, const aVector& w, double r);
    c_Circle(const aPoint& centre, const aVector& w, double r) : c_Circle(centre, kZeroVector, w, r) {}

    double radius() const { return mR; }

    void print(std::ostream& out) const override;
    bool isClosed() const override { return true; }
    bool contains(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    bool getPointAt(double t, aPoint& p) const override;
    OldStyleRecord makeOldStyleEntity() const override;
    bool paramInInterval(double t, double lower, double upper, bool forward) const override;
    // The nearest point of the circle; false for a point on the axis.
    bool snapToCurve(aPoint& p) const override;
    bool sameClass(const c_Curve& other) const override;
    aVector tangentAt(const aPoint& p) const override;
    aVector tangentAt(double t) const;
    const char* className() const override { return "c_Circle"; }
    int tessellate(double tolerance, std::span<aPoint> points, bool reversed,
                   const c_Interval* interval) const override;

private:
    double mR;
};

} // namespace tracemill
