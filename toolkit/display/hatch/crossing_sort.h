// Sorting the points where a line crosses a set of loops along the line, with an optional
// array of tags (the loop each crossing belongs to) that moves with them.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"

namespace tracemill {

// Sorts `points[0..count)` in place by x (axis 0) or y (axis 1), ascending or descending.
// Points of equal key keep their order (a stable sort). `tags`, when given, is reordered along
// with the points.
void genSortCrossings(Point2* points, int32_t count, int32_t* tags, int axis, bool ascending);

} // namespace tracemill
