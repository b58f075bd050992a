// c_Curve: the abstract root of the kernel's curve classes. The renderer, the entity classes
// and the intersection code reach every curve through these operations; classes are told
// apart by their className texts.
#pragma once

#include <iosfwd>
#include <memory>
#include <vector>

#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/intersect/old_style_record.h"

namespace tracemill {

class c_Matrix4x4;

class c_Curve {
public:
    virtual ~c_Curve() = default;

    virtual void print(std::ostream& out) const = 0;
    // A heap copy; the base cannot copy and reports so (null).
    virtual std::unique_ptr<c_Curve> clone() const;
    virtual bool isClosed() const { return false; }
    // The point lies on the curve.
    virtual bool contains(const aPoint& p) const = 0;
    virtual double getParameterOf(const aPoint& p) const = 0;
    virtual bool getPointAt(double t, aPoint& p) const = 0;
    // The record form for the record-level intersection kernels; the base has none.
    virtual OldStyleRecord makeOldStyleEntity() const;
    // lower <= t <= upper in the base; `forward` tells the direction of travel to curves
    // whose parameter wraps.
    virtual bool paramInInterval(double t, double lower, double upper, bool forward) const;
    // Moves p onto the curve at its parameter; false (p untouched) for an invalid parameter.
    virtual bool snapToCurve(aPoint& p) const;
    // The base compares class names; the analytic curves test geometric equality.
    virtual bool sameClass(const c_Curve& other) const;
    virtual aVector tangentAt(const aPoint& p) const = 0;
    // The base cannot transform and reports so; the curve stays as it is.
    virtual void transform(const c_Matrix4x4& m);
    virtual const char* className() const = 0;
    virtual bool validParameter(double t) const;

protected:
    c_Curve() = default;
    c_Curve(const c_Curve&) = default;
    c_Curve& operator=(const c_Curve&) = default;
};

// Curves handed to a caller, who owns them.
using CurveArray = std::vector<std::unique_ptr<c_Curve>>;

} // namespace tracemill
