// c_Cylinder: the right circular cylinder of radius r about the axis (C, w).
#pragma once

#include "toolkit/acis/geometry/quadric_surface.h"

namespace tracemill {

class c_Cylinder : public c_AxialQuadric {
public:
    // A radius below 1e-6 becomes 1.0.
    c_Cylinder(const aPoint& c, const aVector& w, double r);

    double radius() const { return mR; }

    void print(std::ostream& out) const override;
    // The two rulings at C +- r s, s = d x w normalised.
    int silhouetteCurves(const aVector& view, CurveArray& curves) const override;
    OldStyleRecord makeOldStyleEntity() const override;
    // The unit radial direction.
    aVector normalAt(const aPoint& p) const override;
    const char* className() const override { return "c_Cylinder"; }
    int algebraicCoefficients(double (&c)[10]) const override;
    c_Line ruling(double t) const override;

protected:
    double isoStartAngle() const override { return 0.2162; }

private:
    double mR;
};

} // namespace tracemill
