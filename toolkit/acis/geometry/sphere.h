// c_Sphere: the sphere of a centre and a radius.
#pragma once

#include "toolkit/acis/geometry/quadric_surface.h"

namespace tracemill {

class c_Sphere : public c_QuadricSurface {
public:
    // Centre (0, 0, 0), radius 1.
    c_Sphere() = default;
    // A radius below 1e-6 becomes 1.0.
    c_Sphere(const aPoint& centre, double radius);

    const aPoint& centre() const { return mCentre; }
    double radius() const { return mRadius; }

    void print(std::ostream& out) const override;
    // The circle about the centre across the view direction.
    int silhouetteCurves(const aVector& view, CurveArray& curves) const override;
    OldStyleRecord makeOldStyleEntity() const override;
    aVector normalAt(const aPoint& p) const override;
    // Great circles through p: the first turned by 0.21552 about p's radius, then n - 1 more.
    int curvesThrough(const aPoint& p, CurveArray& curves, int n) const override;
    const char* className() const override { return "c_Sphere"; }
    int algebraicCoefficients(double (&c)[10]) const override;

    // 3n circles across the three coordinate axes at n offsets; none for n < 1.
    int sectionCircles(int n, CurveArray& curves) const;

private:
    aPoint mCentre;
    double mRadius = 1.0;
};

} // namespace tracemill
