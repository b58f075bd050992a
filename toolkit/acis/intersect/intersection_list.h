// The list of intersection items that every record-level kernel fills, and the result codes of
// those kernels.
#pragma once

#include <array>
#include <span>
#include <variant>

#include "toolkit/acis/intersect/old_style_record.h"

namespace tracemill {

// Result codes of the record-level kernels: 0 done (an empty list then means that one object
// lies in the other), anything else no intersection.
enum IntersectionCode : int {
    kIntersectDone = 0,
    kIntersectNone = 1,
    kIntersectCircleInsideSecond = -1,  // coplanar circles, the first inside the second
    kIntersectCircleInsideFirst = -2,   // coplanar circles, the second inside the first
    kIntersectCircleParallelOffPlane = -3,
    kIntersectCircleInsideSphereSection = -4,
    kIntersectLineInsideCylinder = -5,
    kIntersectParallelLines = -6,
    kIntersectLineParallelOffPlane = -7,
    kIntersectParallelPlanes = -8,
};

using IntersectionGeometry =
    std::variant<aPoint, LineRecord, CircleRecord, EllipseRecord, ParabolaRecord, HyperbolaRecord>;

struct IntersectionItem {
    IntersectionGeometry geometry;
    bool tangent = false;  // a tangential contact (a double root or a touching)

    // 6 for a point, else the curve's record kind.
    RecordKind kind() const;
    // The point of a point item, else null.
    const aPoint* point() const { return std::get_if<aPoint>(&geometry); }
    // The item as an old-style curve record (null record for a point item).
    OldStyleRecord curveRecord() const;
};

inline constexpr int kIntersectionListCapacity = 20;

struct IntersectionList {
    int count = 0;
    std::array<IntersectionItem, kIntersectionListCapacity> items;

    void clear() { count = 0; }
    std::span<const IntersectionItem> used() const { return {items.data(), size_t(count)}; }
};

// Appends a point item; a full list drops it with the too-many message.
void addIntersectionPoint(const aPoint& p, bool tangent, IntersectionList& list);
void addIntersectionLine(const LineRecord& line, bool tangent, IntersectionList& list);
void addIntersectionCircle(const CircleRecord& circle, bool tangent, IntersectionList& list);
void addIntersectionEllipse(const EllipseRecord& ellipse, bool tangent, IntersectionList& list);
void addIntersectionParabola(const ParabolaRecord& parabola, bool tangent, IntersectionList& list);
void addIntersectionHyperbola(const HyperbolaRecord& hyperbola, bool tangent, IntersectionList& list);

// Appends the items of source to target; what does not fit is dropped silently.
void appendIntersections(const IntersectionList& source, IntersectionList& target);
void copyIntersections(const IntersectionList& source, IntersectionList& target);

// True when every number of the item is finite.
bool isFinite(const IntersectionItem& item);

// The result a kernel hands back: a result of 0 whose list holds a number that is not finite
// becomes 1 (no intersection) with an empty list.
int checkedIntersection(int result, IntersectionList& list);

} // namespace tracemill
