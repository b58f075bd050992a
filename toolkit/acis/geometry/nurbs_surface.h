// c_NURBSSurface: the kernel's rational tensor-product B-spline surface. Control point (i, j)
// (i along u, j along v) is entry j nu + i of the net; points and knots in single precision.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/surface.h"

namespace tracemill {

class c_NURBSSurface : public c_Surface {
public:
    // nu x nv homogeneous control points and the two knot vectors (the orders follow from the
    // knot counts). A net with fewer than nu nv points is not taken.
    c_NURBSSurface(std::span<const HomogeneousPoint> net, int nu, int nv, std::span<const float> uKnots,
                   std::span<const float> vKnots);

    int numU() const { return mNu; }
    int numV() const { return mNv; }
    const c_BSplineBasisFcns& uKnots() const { return mUKnots; }
    const c_BSplineBasisFcns& vKnots() const { return mVKnots; }

    // The point at (u, v); the origin (false) outside both ranges or without a net.
    bool getPointAt(double u, double v, aPoint& p) const;
    // The partial derivatives S(i, j) (u order i, v order j, entry 3 i + j) for i + j <= d,
    // d = 1 or 2; false otherwise or without a net.
    bool derivatives(double u, double v, int d, std::array<aVector, 9>& s) const;

    // Rows u = 0 and u = nu - 1 (columns v = 0 and v = nv - 1) equal point by point.
    bool closedInU() const;
    bool closedInV() const;
    // An open direction clamps t into [lo, hi]; a closed one wraps it around once.
    static double adjustParameter(bool closed, double t, double lo, double hi);

    // The curves of constant u (over the v knots) and of constant v (over the u knots).
    c_NURBSCurve constantU(double u) const { return isoCurve(true, u); }
    c_NURBSCurve constantV(double v) const { return isoCurve(false, v); }

    // The parameters of the nearest point of the surface: 0 on it, -2 off it (the residual
    // along the normal), -3 a step too small to go on; -1 without knots; others mark failure
    // with parameters beyond the ranges.
    int getParameterOf(const aPoint& p, double& u, double& v) const;
    // One Newton search from the closest of s x s samples.
    int trySearch(const aPoint& p, int s, double& u, double& v) const;

    void print(std::ostream& out) const override;
    // n curves of constant u, then n of constant v, inside the ranges; returns 2n.
    int isoCurves(int n, CurveArray& curves) const override;
    aVector normalAt(const aPoint& p) const override;
    int curvesThrough(const aPoint& p, CurveArray& curves, int n) const override;
    const char* className() const override { return "c_NURBSSurface"; }

private:
    const HomogeneousPoint& at(int i, int j) const { return mNet[size_t(j) * size_t(mNu) + size_t(i)]; }
    bool closedAlong(bool alongU) const;
    // The curve of constant u running along v (alongV), or of constant v running along u.
    c_NURBSCurve isoCurve(bool alongV, double t) const;

    std::vector<HomogeneousPoint> mNet;
    int mNu = 0, mNv = 0;
    c_BSplineBasisFcns mUKnots, mVKnots;
    mutable int mClosedU = 0, mClosedV = 0;  // 0 not yet known, 1 closed, 2 open
};

} // namespace tracemill
