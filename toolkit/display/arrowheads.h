// Arrowheads at the ends of leader lines: the built-in shapes drawn by kind (closed and filled,
// closed, open, dot, origin, open 90, none, oblique), or the arrowhead block inserted at the
// tip, turned along the line and scaled by the arrow size. Drawing an arrowhead may move the
// line's end back from the tip, so that the line stops where the arrow begins.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/entity_header.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/entity_pass_values.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// Chords of the circle of a dot or origin arrow when the curve resolution gives none.
inline constexpr int32_t kArrowCircleChords = 30;

// Whether an arrowhead of that block name leaves the line's end at the tip ("_NONE",
// "_OBLIQUE", "_ARCHTICK", "_DOTSMALL", "_INTEGRAL", without regard to case).
bool genArrowKeepsLineEnd(std::string_view name);

// Draws the built-in arrow of that kind (dbArrowKindFromBlockName) at `tip`, pointing from
// `otherEnd` to the tip, `halfSize` being half the arrow size, in the plane of `normal`;
// `matrices` take world points to each viewport's device. Nothing is drawn for kind 6 (none)
// or kinds without a shape, nor when twice the arrow size exceeds the line's length. The tip
// then moves to the shape's base point, except for the open kinds (2, 5) when `trim` is clear
// and for kinds without a base point (6, 7, 8).
void genDrawArrowShape(Drawing* drawing, int16_t kind, Point3& tip, const Point3& otherEnd, const Point3& normal,
                       const Matrix4* matrices, const LinetypeRecord* linetype, double halfSize, bool trim);

// Draws the arrowhead of `block` (the null handle: the default, closed and filled) for the
// entity at `tip`, pointing from `otherEnd`, with half the arrow size `halfSize`; moves the tip
// back where the line is to start (by the full size after a block, by half the size for
// "_NONE" with `trim`, to the base of a built-in shape); finally sends `colour` (before the
// colour map; below 0 none) again.
void genDrawArrowhead(Drawing* drawing, const EntityHeader& header, Point3& tip, const Point3& otherEnd,
                      const EntityPassValues& pass, Handle block, double halfSize, int32_t colour, bool trim);

} // namespace tracemill
