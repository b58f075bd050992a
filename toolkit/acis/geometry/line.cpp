#include "toolkit/acis/geometry/line.h"

#include <ostream>

#include "toolkit/acis/geometry/geometry_tolerances.h"

namespace tracemill {

c_Line::c_Line(const aPoint& origin, const aVector& direction) : mOrigin(origin), mDirection(direction) {
    if (!(mDirection.normalize() >= geometryTolerances().BasicDistanceTol)) mDirection = kZAxis;
}

void c_Line::print(std::ostream& out) const { out << className() << "( " << mOrigin << " , " << mDirection << " )"; }

bool c_Line::contains(const aPoint& p) const {
    aPoint onLine;
    getPointAt(getParameterOf(p), onLine);
    return onLine.coincident(p);
}

double c_Line::getParameterOf(const aPoint& p) const { return (p - mOrigin).dot(mDirection); }

bool c_Line::getPointAt(double t, aPoint& p) const {
    p = mOrigin + t * mDirection;
    return true;
}

OldStyleRecord c_Line::makeOldStyleEntity() const { return LineRecord{mOrigin, mDirection}; }

bool c_Line::sameClass(const c_Curve& other) const {
    if (!c_Curve::sameClass(other)) return false;
    const auto& line = static_cast<const c_Line&>(other);
    return contains(line.mOrigin) && aVector::parallelTo(mDirection, line.mDirection);
}

aVector c_Line::tangentAt(const aPoint&) const { return mDirection; }

} // namespace tracemill
