// c_Cone: the right circular cone with apex C, axis w and half-angle alpha between the axis
// and the generators; c_EllCone: the elliptic cone whose section at unit distance along w has
// the semi-axes tan(alpha) along u and k tan(alpha) along v.
#pragma once

#include "toolkit/acis/geometry/quadric_surface.h"

namespace tracemill {

class c_Cone : public c_AxialQuadric {
public:
    // A half-angle below 0.001 becomes pi/4.
    c_Cone(const aPoint& apex, const aVector& w, double halfAngle);

    double halfAngle() const { return mAlpha; }

    void print(std::ostream& out) const override;
    int silhouetteCurves(const aVector& view, CurveArray& curves) const override;
    OldStyleRecord makeOldStyleEntity() const override;
    // The normal of the cone record at p, normalised.
    aVector normalAt(const aPoint& p) const override;
    int curvesThrough(const aPoint& p, CurveArray& curves, int n) const override;
    const char* className() const override { return "c_Cone"; }
    int algebraicCoefficients(double (&c)[10]) const override;
    c_Line ruling(double t) const override;

protected:
    double isoStartAngle() const override { return 0.21678; }

private:
    double mAlpha;
};

class c_EllCone : public c_AxialQuadric {
public:
    // A half-angle below 0.001 becomes pi/4, a ratio below 1e-6 becomes 1.0.
    c_EllCone(const aPoint& apex, const aVector& u, const aVector& w, double halfAngle, double ratio);

    double halfAngle() const { return mAlpha; }
    double ratio() const { return mK; }

    void print(std::ostream& out) const override;
    int silhouetteCurves(const aVector& view, CurveArray& curves) const override;
    // A right circular cone of the same half-angle.
    OldStyleRecord makeOldStyleEntity() const override;
    aVector normalAt(const aPoint& p) const override;
    int curvesThrough(const aPoint& p, CurveArray& curves, int n) const override;
    const char* className() const override { return "c_EllCone"; }
    // Not provided: a warning and ten zeros.
    int algebraicCoefficients(double (&c)[10]) const override;
    c_Line ruling(double t) const override;

protected:
    double isoStartAngle() const override { return 0.0; }

private:
    double mAlpha, mK;
};

} // namespace tracemill
