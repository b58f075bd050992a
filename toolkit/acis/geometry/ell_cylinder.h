// c_EllCylinder: the elliptic cylinder C + a cos t u + b sin t v + h w (a >= b).
#pragma once

#include "toolkit/acis/geometry/quadric_surface.h"

namespace tracemill {

class c_Plane;

class c_EllCylinder : public c_AxialQuadric {
public:
    // a >= b >= 1e-6, else a = 2, b = 1.
    c_EllCylinder(const aPoint& c, const aVector& u, const aVector& w, double a, double b);

    double majorRadius() const { return mA; }
    double minorRadius() const { return mB; }

    void print(std::ostream& out) const override;
    int silhouetteCurves(const aVector& view, CurveArray& curves) const override;
    // A line gives its points, a circle the points where it meets the section of its plane:
    // 2 result, 1 no result.
    int intersect(const c_Curve& curve, IntersectionList& items) const override;
    // The section by a plane: an ellipse or a circle item (2), or 1.
    int intersectPlane(const c_Plane& plane, IntersectionList& items) const;
    // A right circular cylinder of the mean radius.
    OldStyleRecord makeOldStyleEntity() const override;
    // Not normalised; the zero vector on the axis.
    aVector normalAt(const aPoint& p) const override;
    const char* className() const override { return "c_EllCylinder"; }
    // The circular cylinder of radius a, with a warning.
    int algebraicCoefficients(double (&c)[10]) const override;
    c_Line ruling(double t) const override;

protected:
    double isoStartAngle() const override { return 0.0; }

private:
    int intersectLine(const c_Line& line, IntersectionList& items) const;
    int intersectCircle(const c_Curve& circle, IntersectionList& items) const;

    double mA, mB;
};

} // namespace tracemill
