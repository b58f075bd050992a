// c_Surface: the abstract root of the kernel's surface classes, with the default behaviour of
// surfaces that have no silhouettes, parameter lines, intersections or record form.
#pragma once

#include <iosfwd>

#include "toolkit/acis/geometry/curve.h"
#include "toolkit/acis/intersect/intersection_list.h"

namespace tracemill {

class c_Surface {
public:
    virtual ~c_Surface() = default;

    virtual void print(std::ostream& out) const = 0;
    // The silhouette curves seen along `view`, appended to `curves`; returns their count.
    virtual int silhouetteCurves(const aVector& view, CurveArray& curves) const;
    // n parameter lines appended to `curves`; returns their count.
    virtual int isoCurves(int n, CurveArray& curves) const;
    // Intersects the surface with a curve (a line) into `items`: 1 no result, 2 result; the
    // base computes nothing (0).
    virtual int intersect(const c_Curve& curve, IntersectionList& items) const;
    virtual OldStyleRecord makeOldStyleEntity() const;
    // The base has no normal: the zero vector.
    virtual aVector normalAt(const aPoint& p) const;
    // Curves of the surface through p (n of them at a singular point) appended to `curves`;
    // returns their count.
    virtual int curvesThrough(const aPoint& p, CurveArray& curves, int n) const;
    virtual const char* className() const = 0;

protected:
    c_Surface() = default;
    c_Surface(const c_Surface&) = default;
    c_Surface& operator=(const c_Surface&) = default;
};

} // namespace tracemill
