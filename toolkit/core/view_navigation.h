// Moving a view: pan, orbit about the up vector or the right vector, and roll about the view
// direction. The host turns its view with these between display passes.
#pragma once

#include "toolkit/core/point.h"
#include "toolkit/core/view_block.h"

namespace tracemill {

// Turns `vector` by -angle about the axis through `point` (the vector taken as the point
// vector + point) and normalises it.
void dbRotateAboutAxis(Point3& vector, const Point3& point, const Point3& axis, double angle);

// Moves the target by dx along the view's right vector (up x direction, normalised) and by dy
// along its up vector.
void dbViewPan(ViewBlock& view, double dx, double dy);
// Turns the direction about the up vector.
void dbViewOrbitHorizontal(ViewBlock& view, double angle);
// Turns the direction about the right vector; up becomes the unit vector perpendicular to the
// new direction in the plane of the old up vector.
void dbViewOrbitVertical(ViewBlock& view, double angle);
// Turns the up vector about the direction.
void dbViewRoll(ViewBlock& view, double angle);

} // namespace tracemill
