// Curves flattened into chords: how many chords a circle or an arc gets, the arc drawer that
// circles, arcs, bulges, proxy graphics and multiline caps share, and the ELLIPSE drawer. Every
// chord goes to the linetype drawer with one entity identity per curve, so that the pattern
// runs on across the chords.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/text/text_extents.h"

namespace tracemill {

struct Drawing;
struct DisplayContext;
struct EllipseBody;

// Error number: the per-viewport transforms of an ellipse cannot be made.
inline constexpr int kErrorEllipseTransforms = 246;

// Chords of a full circle of that radius in the current view: 2 pi sqrt(radius x view scale)
// rounded down to a multiple of 4, at least 4, at most the circle chord limit (64 when it is
// 0). A radius that is not a positive number gets 4.
int32_t genCircleSegmentCount(const DisplayContext& context, double radius);

// The curve resolution of an entity: the alternate one for entities flagged for it.
int32_t genCurveResolution(uint8_t entityFlags);

// Chords of an arc of `sweep` radians and that radius for the entity being drawn.
int32_t genArcChords(const DisplayContext& context, double sweep, double radius);

// Draws the arc from `start` to `end` (radians, counter-clockwise) about the centre in the
// plane z = centre z; `matrices` take that plane to each viewport's device. With `box` the
// chords (through `boxTransform`, null: as they are) widen it; with `draw` they are drawn, the linetype's pattern
// fitted to the arc (the entity's linetype scale is changed for the rest of the entity).
// `width` makes the arc wide from its start width to its end width; `identity` continues the
// pattern of a polyline (0: the arc is a curve of its own).
void genDrawArc(Drawing* drawing, const Point3& centre, double start, double end, double radius,
                const Matrix4* matrices, bool draw, TextExtents* box, const Matrix4* boxTransform,
                const LinetypeRecord* linetype, const WideSegment* width = nullptr, uint32_t identity = 0);

// Draws an ELLIPSE; `transform` takes the list's coordinates to the world. 1, or 0 when its
// transforms cannot be made (error 246).
int genDrawEllipse(Drawing* drawing, const EllipseBody& ellipse, const Matrix4& transform,
                   const LinetypeRecord* linetype);

} // namespace tracemill
