// c_Plane: the plane through a point with a unit normal.
#pragma once

#include "toolkit/acis/geometry/surface.h"

namespace tracemill {

class c_Plane : public c_Surface {
public:
    // Through the origin with normal (0, 0, 1).
    c_Plane() : mNormal(kZAxis) {}
    // A normal shorter than 1e-6 becomes (0, 0, 1); others are normalised.
    c_Plane(const aPoint& point, const aVector& normal);
    // Through p0 with normal (p1 - p0) x (p2 - p0): collinear points give the normal (0, 0, 1).
    c_Plane(const aPoint& p0, const aPoint& p1, const aPoint& p2);

    const aPoint& point() const { return mPoint; }
    const aVector& normal() const { return mNormal; }
    // (q - point) . normal: positive on the side the normal points to.
    double signedDistance(const aPoint& q) const { return (q - mPoint).dot(mNormal); }

    void print(std::ostream& out) const override;
    OldStyleRecord makeOldStyleEntity() const override;
    aVector normalAt(const aPoint& p) const override;
    const char* className() const override { return "c_Plane"; }

private:
    void validateData();

    aPoint mPoint;
    aVector mNormal;
};

} // namespace tracemill
