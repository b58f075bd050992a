// The box that measurements grow: the extents of a text, and of the arcs and chords a
// measurement takes through its matrix.
#pragma once

#include "toolkit/core/point.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

// Two homogeneous corners in the units of the matrix that measures into the box, of which
// only x and y change. A new box is empty (min above max).
struct TextExtents {
    Point4 min{1e300, 1e300, 0.0, 1.0};
    Point4 max{-1e300, -1e300, 0.0, 1.0};
};

// Widens the x and y bounds of the extents by both points taken through the matrix (w 1; null:
// identity).
void genExtentsAddSegment(const Point3& p, const Point3& q, TextExtents& extents, const Matrix4* matrix);

} // namespace tracemill
