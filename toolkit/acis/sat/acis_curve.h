// acis_Curve: the base of the curve records ("straight-curve", "ellipse-curve",
// "intcurve-curve"). It holds the parameter range that every curve record carries after its
// own fields, and the queries through which edges reach their geometry.
#pragma once

#include "toolkit/acis/geometry/interval.h"
#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

class c_Curve;
class c_Plane;

class acis_Curve : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return isAcisCurveKind(kind); }

    const c_Interval& range() const { return mRange; }

    // Whether the curve lies in a plane: the answer of planeOf.
    virtual bool isPlanar(c_Plane& plane) const { return planeOf(plane); }
    virtual bool isClosed() const { return false; }
    // The plane of the curve, when it has one.
    virtual bool planeOf(c_Plane& /*plane*/) const { return false; }
    virtual bool contains(const aPoint& p) const = 0;
    // The kernel curve the record holds, or null.
    virtual const c_Curve* kernelCurve() const = 0;
    virtual double getParameterOf(const aPoint& p) const = 0;
    virtual bool getPointAt(double t, aPoint& p) const = 0;
    virtual bool isStraight() const { return false; }
    virtual double maxParam() const = 0;
    virtual double minParam() const = 0;
    // Whether t lies between the bounds, travelling forward or not.
    virtual bool paramInInterval(double t, double lower, double upper, bool forward) const = 0;
    // The kind name ("straight", "ellipse", "intcurve"); "-curve" in the base.
    virtual const char* typeName() const { return "-curve"; }
    // The tangent at the parameter t.
    virtual aVector tangentAt(double t) const = 0;

protected:
    explicit acis_Curve(AcisKind kind) : acis_Entity(kind) {}

    // From version 106 the parameter range.
    void readRange(satParser& parser);
    // The attribute, then the kind name and the range.
    void printFields(std::ostream& out) const override;

private:
    c_Interval mRange;
};

} // namespace tracemill
