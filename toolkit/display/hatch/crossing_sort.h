// Sorting the points where a line crosses a set of loops along the line: an exchange sort that
// keeps points of equal key in their order, with an optional array that moves with them.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"

namespace tracemill {

// Sorts `points[0..count)` in place by x (axis 0) or y (axis 1), ascending or descending; for
// each i, each later j is exchanged with i when the two are out of order (equal keys are not
// exchanged). `tags`, when given, is exchanged along with the points.
void genSortCrossings(Point2* points, int32_t count, int16_t* tags, int axis, bool ascending);

} // namespace tracemill
