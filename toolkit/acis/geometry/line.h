// c_Line: the infinite straight line origin + t direction (unit direction).
#pragma once

#include "toolkit/acis/geometry/curve.h"

namespace tracemill {

class c_Line : public c_Curve {
public:
    // The z axis through the origin.
    c_Line() : mDirection(kZAxis) {}
    // A direction shorter than BasicDistanceTol becomes (0, 0, 1).
    c_Line(const aPoint& origin, const aVector& direction);

    const aPoint& origin() const { return mOrigin; }
    const aVector& direction() const { return mDirection; }

    void print(std::ostream& out) const override;
    bool contains(const aPoint& p) const override;
    double getParameterOf(const aPoint& p) const override;
    bool getPointAt(double t, aPoint& p) const override;
    OldStyleRecord makeOldStyleEntity() const override;
    // A line: the other's origin lies on this line and the directions are parallel.
    bool sameClass(const c_Curve& other) const override;
    aVector tangentAt(const aPoint& p) const override;
    const char* className() const override { return "c_Line"; }

private:
    aPoint mOrigin;
    aVector mDirection;
};

} // namespace tracemill
