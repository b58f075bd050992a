// Old-style records: an analytic curve or surface as a kind and its plain fields, the form the
// record-level intersection kernels work on. Curves and surfaces make them with
// makeOldStyleEntity; the caller owns the value.
#pragma once

#include <cstdint>
#include <variant>

#include "toolkit/acis/geometry/point_vector.h"

namespace tracemill {

enum class RecordKind : std::int32_t {
    None = 0,
    Point = 6,  // only as an intersection item
    Line = 100,
    Circle = 101,
    Ellipse = 102,
    Parabola = 103,
    Hyperbola = 104,
    Plane = 500,
    Cylinder = 501,
    Sphere = 502,
    Cone = 503,
};

struct LineRecord {
    aPoint point;
    aVector direction;  // unit
};

struct CircleRecord {
    aPoint centre;
    aVector u, v, normal;  // first and second in-plane axis, normal
    double radius = 0.0;
};

struct EllipseRecord {
    aPoint centre;
    aVector major, minor, normal;
    double a = 0.0;  // major radius
    double b = 0.0;  // minor radius
};

struct ParabolaRecord {
    aPoint vertex;
    aVector tangent;  // the tangent at the vertex
    aVector axis;     // from the vertex towards the focus
    aVector normal;
    double focal = 0.0;  // focal distance p
};

struct HyperbolaRecord {
    aPoint centre;
    aVector transverse, conjugate, normal;
    double a = 0.0;
    double b = 0.0;
};

struct PlaneRecord {
    aPoint point;
    aVector normal;  // unit
};

struct CylinderRecord {
    aPoint axisPoint;
    aVector u, v, axis;  // two radial axes and the axis direction
    double radius = 0.0;
};

struct SphereRecord {
    aPoint centre;
    double radius = 0.0;
};

struct ConeRecord {
    aPoint apex;
    aVector u, v, axis;
    double halfAngle = 0.0;  // radians
    double tanHalfAngle = 0.0;
    double cosHalfAngle = 0.0;
};

// A record of any kind; std::monostate is the null record of objects without an old-style
// form (the torus, NURBS surfaces and curves).
using OldStyleRecord = std::variant<std::monostate, LineRecord, CircleRecord, EllipseRecord, ParabolaRecord,
                                    HyperbolaRecord, PlaneRecord, CylinderRecord, SphereRecord, ConeRecord>;

RecordKind recordKind(const OldStyleRecord& record);

// A cone record with the tangent and cosine of its half-angle filled in.
ConeRecord makeConeRecord(const aPoint& apex, const aVector& u, const aVector& v, const aVector& axis,
                          double halfAngle);

// True when every number of the record is finite (the null record is not).
bool isFinite(const OldStyleRecord& record);

} // namespace tracemill
