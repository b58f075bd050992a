// c_Ellipse: centre + a cos t u + b sin t v, a >= b.
#pragma once

#include "toolkit/acis/geometry/conic.h"

namespace tracemill {

class c_Ellipse : public c_Conic {
public:
    // A radius below 1e-6 becomes 1.5 (a) or 1.0 (b); when a < b the radii and the axes u and
    // v are exchanged and w reversed, so that a >= b in a right-handed frame.
    c_Ellipse(const aPoint& centre, const aVector& u, const aVector& w, double a, double b);

    double majorRadius() const { return mA; }
    double minorRadius() const { return mB; }

    void print(std::ostream& out) const override;
    std::unique_ptr<c_Curve> clone() const override;
    bool isClosed() const override { return true; }
    bool contains(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    bool getPointAt(double t, aPoint& p) const override;
    OldStyleRecord makeOldStyleEntity() const override;
    // The angular test with the angle tolerance divided by a.
    bool paramInInterval(double t, double lower, double upper, bool forward) const override;
    bool sameClass(const c_Curve& other) const override;
    aVector tangentAt(const aPoint& p) const override;
    // The unit tangent at parameter t.
    aVector tangentAt(double t) const;
    const char* className() const override { return "c_Ellipse"; }
    int tessellate(double tolerance, std::span<aPoint> points, bool reversed,
                   const c_Interval* interval) const override;

private:
    double mA, mB;
};

} // namespace tracemill
