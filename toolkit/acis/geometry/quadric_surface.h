// c_QuadricSurface, the surfaces with an implicit equation of second degree, and
// c_AxialQuadric, those about an axis (cones and cylinders): a base point C and a right-handed
// frame (u, v, w) with w the axis.
#pragma once

#include <initializer_list>

#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/surface.h"

namespace tracemill {

class c_QuadricSurface : public c_Surface {
public:
    // The ten coefficients of the implicit equation, in the order x^2, y^2, z^2, xy, yz, zx,
    // x, y, z, 1.
    virtual int algebraicCoefficients(double (&c)[10]) const = 0;
};

class c_AxialQuadric : public c_QuadricSurface {
public:
    const aPoint& basePoint() const { return mC; }
    const aVector& u() const { return mU; }
    const aVector& v() const { return mV; }
    const aVector& w() const { return mW; }

    // n rulings at the angles start + i 2 pi / n (none for n < 1).
    int isoCurves(int n, CurveArray& curves) const override;

    // The generator line of the surface at angle t.
    virtual c_Line ruling(double t) const = 0;

protected:
    // The frame is completed from w with u as the hint (a zero hint for the second form).
    c_AxialQuadric(const aPoint& c, const aVector& u, const aVector& w);
    c_AxialQuadric(const aPoint& c, const aVector& w) : c_AxialQuadric(c, kZeroVector, w) {}

    // The angle of the first of the rulings isoCurves draws.
    virtual double isoStartAngle() const = 0;
    // Appends the rulings at the given angles; returns how many.
    int appendRulings(std::initializer_list<double> angles, CurveArray& curves) const;
    // Writes "name( C , u , v , w , numbers... )".
    void printFrame(std::ostream& out, std::initializer_list<double> numbers) const;
    // The rulings of a cone where the view is tangent to it: the angles t with
    // du cos t + dv sin t = tau; returns their count (2; 0 when there is none).
    int appendConeSilhouettes(double du, double dv, double tau, CurveArray& curves) const;
    // The cone's curves through p: one ruling from the apex through p, or at the apex n
    // rulings from the angle 0.1334.
    int appendConeCurvesThrough(const aPoint& p, CurveArray& curves, int n) const;
    // The coefficients of the circular cylinder of radius r about the axis (C, w).
    void cylinderCoefficients(double r, double (&c)[10]) const;

    aPoint mC;
    aVector mU, mV, mW;
};

} // namespace tracemill
