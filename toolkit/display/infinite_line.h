// RAY and XLINE: lines without end, drawn as the piece of them that each viewport shows
// (clipped to its rectangle with genClipSegmentToRect, clip/clipped_line.h).
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// How far an infinite line reaches from its base point, in drawing units.
inline constexpr double kInfiniteLineReach = 1e10;

// Draws the line of `kind` (26 RAY: from the base point on; 27 XLINE: both ways) through the
// base point along the direction, each viewport the entity is drawn in showing the piece
// inside its rectangle, with the linetype (null: continuous). `matrices` take the entity's
// coordinates to each viewport's device.
void genDrawInfiniteLine(Drawing* drawing, uint16_t kind, const Point3& basePoint, const Point3& direction,
                         const Matrix4* matrices, const LinetypeRecord* linetype);

} // namespace tracemill
