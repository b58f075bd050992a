// c_RatBezierCurve: a rational Bezier segment in homogeneous form, and the intersection of two
// segments by recursive splitting with bounding boxes and an end game on straight chords.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "toolkit/acis/geometry/curve.h"
#include "toolkit/acis/geometry/weighted_point.h"

namespace tracemill {

class c_NURBSCurve;

// The end game of the segment intersection: 0 intersects the chords of the two pieces, 1
// every leg of one control polygon with every leg of the other. Process-wide; 0 at start.
int& bezierEndGameStrategy();

class c_RatBezierCurve : public c_Curve {
public:
    c_RatBezierCurve() = default;
    // degree + 1 points from `points`; a degree below 1 (or too few points) gives no points.
    c_RatBezierCurve(std::span<const c_WeightedPoint> points, int degree);

    int degree() const { return mDegree; }
    // Point i, or the default weighted point outside 0 .. degree.
    c_WeightedPoint controlPoint(int i) const;
    std::span<const c_WeightedPoint> controlPoints() const { return mPoints; }
    // The box of the control points divided by their weights; [-1, 1]^3 without points.
    void boundingBox(aPoint& low, aPoint& high) const;

    // The homogeneous point at t (de Casteljau).
    c_WeightedPoint homogeneousPointAt(double t) const;
    // The parts on [0, t] and [t, 1].
    std::pair<c_RatBezierCurve, c_RatBezierCurve> subdivide(double t) const;
    // The NURBS curve of this segment.
    c_NURBSCurve toNURBS() const;

    // Intersects with another segment; the distinct points found are added to
    // points[0 .. count) up to points.size(). Returns count.
    int intersect(const c_RatBezierCurve& other, std::span<aPoint> points, int& count) const;

    void print(std::ostream& out) const override;
    // Asks the equivalent NURBS curve with the distance tolerances boosted 2500 times.
    bool contains(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    bool getPointAt(double t, aPoint& p) const override;
    // Not supported: reports so and gives the zero vector.
    aVector tangentAt(const aPoint& p) const override;
    const char* className() const override { return "c_RatBezierCurve"; }

private:
    std::vector<c_WeightedPoint> mPoints;
    int mDegree = 0;
};

// The parameter of Q on the rational quadratic segment of homogeneous control points p0, p1,
// p2 in the plane of normal n; 0 where the quotient is not finite.
double parameterOnConicArc(const float (&p0)[4], const float (&p1)[4], const float (&p2)[4], const aPoint& q,
                           const aVector& n);

} // namespace tracemill
