// c_NURBSCurve: the kernel's rational B-spline curve (control points and knots in single
// precision), and c_NURBSArc, a circular or elliptical arc in that form.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/acis/geometry/bspline_basis.h"
#include "toolkit/acis/geometry/conic.h"
#include "toolkit/acis/intersect/intersection_list.h"

namespace tracemill {

class c_Circle;
class c_Ellipse;
class c_Line;
class c_Plane;
class c_RatBezierCurve;
class c_Sphere;

// A homogeneous control point (w x, w y, w z, w).
using HomogeneousPoint = std::array<float, 4>;

// A point of a curve with its parameter.
struct CurvePoint {
    double t = 0.0;
    aPoint point;
};

class c_NURBSCurve : public c_Curve {
public:
    // Without control points or knots.
    c_NURBSCurve() = default;
    // The order is knots.size() - points.size().
    c_NURBSCurve(std::span<const HomogeneousPoint> points, std::span<const float> knots);
    // The straight segment from a to b: order 2, knots 0, 0, 1, 1.
    c_NURBSCurve(const aPoint& a, const aPoint& b);
    // A rational Bezier segment: order degree + 1, knots all 0 then all 1.
    explicit c_NURBSCurve(const c_RatBezierCurve& bezier);

    // A copy of `source` with the knot u inserted (one more control point); an empty curve
    // for a source without knots or u outside its range.
    static c_NURBSCurve insertKnot(const c_NURBSCurve& source, double u);

    // n control points of order k, the knot values unset (zero).
    void specifyNCtlPtsAndOrder(int n, int k);
    void allocateArrays();
    void setControlPoint(int i, const HomogeneousPoint& point);
    void setKnots(std::span<const float> knots) { mKnots.setKnots(knots); }

    int order() const { return mKnots.order(); }
    int numKnots() const { return mKnots.numKnots(); }
    std::span<const float> knots() const { return mKnots.knots(); }
    const c_BSplineBasisFcns& knotSequence() const { return mKnots; }
    int numControlPoints() const { return int(mControlPoints.size()); }
    std::span<const HomogeneousPoint> controlPoints() const { return mControlPoints; }
    int numSpans() const { return numControlPoints() - order() + 1; }
    double minParam() const { return mKnots.minParam(); }
    double maxParam() const { return mKnots.maxParam(); }
    // Control point i divided by its weight; false outside 0 .. n - 1.
    bool controlPoint(int i, aPoint& p) const;
    // The box of all control points, or of the k control points of the span with knot index
    // i (points i - k + 1 .. i); false without points.
    bool boundingBox(aPoint& low, aPoint& high) const;
    bool spanBoundingBox(int i, aPoint& low, aPoint& high) const;
    // Boxes meet on all three axes (touching counts).
    static bool boxesOverlap(const aPoint& lowA, const aPoint& highA, const aPoint& lowB, const aPoint& highB);

    // C(0 .. d) at t for d = 1 .. 4: the point (as a vector) and its derivatives; false for
    // another d, t outside the range or a curve without knots.
    bool derivativesAt(double t, int d, std::array<aVector, 5>& c) const;
    // The unit tangent at t (unnormalised when shorter than BasicDistanceTol).
    aVector tangentAt(double t) const;
    aVector tangentAt(const aPoint& p) const override;

    // The rational Bezier segment of the span with knot index i, or null for a span shorter
    // than BasicAngleTol.
    std::unique_ptr<c_RatBezierCurve> bezierSegment(int i) const;

    // The parameter of the nearest of m + 1 evenly spaced samples.
    double closestSample(const aPoint& p, int m) const;
    // Newton projection of p from the closest of m + 1 samples: 0 (on the curve), -3 or -5
    // (t usable), -1 (no knots), -2, -4, -6 (no parameter).
    virtual int try_getParameterOf(const aPoint& p, int m, double& t) const;

    // Intersection with another NURBS curve, span pair by span pair; the distinct points go
    // into points (capacity points.size()); returns their count.
    int intersect(const c_NURBSCurve& other, std::span<aPoint> points) const;
    // With a line (clipped to the control box, capacity 20) or a circle or ellipse: points are
    // added to `items`; returns 2 when any was found, else 1.
    int intersectLine(const c_Line& line, IntersectionList& items) const;
    int intersectConic(const c_Conic& conic, IntersectionList& items) const;
    // With a plane or a sphere: the points sorted by parameter; an empty list when the curve
    // lies in the surface; nothing when the two do not meet.
    std::optional<std::vector<CurvePoint>> intersectPlane(const c_Plane& plane) const;
    std::optional<std::vector<CurvePoint>> intersectSphere(const c_Sphere& sphere) const;
    // The coplanar curve-conic method: not provided (1).
    int coplanarIntersect(const c_Conic& conic, IntersectionList& items) const;

    void print(std::ostream& out) const override;
    std::unique_ptr<c_Curve> clone() const override;
    bool isClosed() const override;
    bool contains(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    // The origin (and false) outside the range or without points.
    bool getPointAt(double t, aPoint& p) const override;
    // Answers false after the base's class test.
    bool sameClass(const c_Curve& other) const override;
    void transform(const c_Matrix4x4& m) override;
    const char* className() const override { return "c_NURBSCurve"; }
    bool validParameter(double t) const override { return mKnots.paramInRange(t); }

protected:
    std::vector<HomogeneousPoint> mControlPoints;
    c_BSplineBasisFcns mKnots;
};

// Rational basis functions R[0 .. n) at t for order k, knots[0 .. n + k) and weights: 0, or 1
// when the input is unusable (nothing computed).
int rationalBasis(int k, double t, int n, std::span<const float> knots, std::span<const double> weights,
                  std::span<double> R);

class c_NURBSArc : public c_NURBSCurve {
public:
    // The arc of the circle or ellipse from angle a0 to a1 (a1 raised by whole turns above
    // a0); an arc with angles that are not finite has no control points.
    c_NURBSArc(const c_Circle& circle, double a0, double a1);
    c_NURBSArc(const c_Ellipse& ellipse, double a0, double a1);
    c_NURBSArc(const c_NURBSArc& other);
    c_NURBSArc& operator=(const c_NURBSArc&) = delete;

    int segmentCount() const { return mSegments; }
    double startAngle() const { return mStartAngle; }
    double segmentAngle() const { return mSegmentAngle; }
    const c_Conic* conic() const { return mConic.get(); }

    // Through the conic's angle of p and the segment's control points; the first knot - 1
    // for a point past the arc or an arc without its conic.
    double getParameterOf(const aPoint& p) const override;

private:
    void build(double a0, double a1, double a, double b);

    std::unique_ptr<c_Conic> mConic;
    double mStartAngle = 0.0;
    double mSegmentAngle = 0.0;
    int mSegments = 0;
};

} // namespace tracemill
