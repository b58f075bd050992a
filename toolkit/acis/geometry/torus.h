// c_Torus: the torus about the axis (C, w) with major radius R and minor radius r; a doughnut
// (R >= r), an apple (R < r) or a lemon (R given negative).
#pragma once

#include "toolkit/acis/geometry/surface.h"

namespace tracemill {

class c_Circle;

class c_Torus : public c_Surface {
public:
    enum Type { Doughnut = 0, Apple = 1, Lemon = 2 };

    // Centre at the origin, axes x, y, z, R = 2, r = 1.
    c_Torus();
    // A negative r is made positive and turns the torus inside out; a negative R is made
    // positive and makes a lemon.
    c_Torus(const aPoint& c, const aVector& u, const aVector& w, double majorRadius, double minorRadius);

    const aPoint& centre() const { return mC; }
    const aVector& u() const { return mU; }
    const aVector& v() const { return mV; }
    const aVector& w() const { return mW; }
    double majorRadius() const { return mR; }
    double minorRadius() const { return mMinor; }
    bool insideOut() const { return mInsideOut; }
    int type() const { return mType; }
    // The bound of the valid minor angles: pi, or pi - acos(R / r) when r >= R.
    double maxMinorAngle() const;

    // The circle of constant minor angle theta (kept inside the valid range).
    c_Circle majorCircle(double theta) const;
    // The meridian circle at major angle phi.
    c_Circle minorCircle(double phi) const;
    // n pairs of a major and a meridian circle appended; returns n (0 for n < 1).
    int generateCircles(int n, CurveArray& curves) const;

    void print(std::ostream& out) const override;
    // No intersections: 1.
    int intersect(const c_Curve& curve, IntersectionList& items) const override;
    int intersectCircle(const c_Circle& circle, IntersectionList& items) const;
    aVector normalAt(const aPoint& p) const override;
    // The parallel and the meridian circle through p.
    int curvesThrough(const aPoint& p, CurveArray& curves, int n) const override;
    const char* className() const override { return "c_Torus"; }

private:
    aVector radialDirection(const aPoint& p) const;

    aPoint mC;
    aVector mU, mV, mW;
    double mR, mMinor;
    bool mInsideOut = false;
    int mType = Doughnut;
};

} // namespace tracemill
