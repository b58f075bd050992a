// The placement of an MTEXT (and of an RTEXT drawn as one): from the text's block, x along its
// direction and the insertion point at the origin, to the coordinates of the list it lies in.
#pragma once

#include "toolkit/core/point.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

// out = the scale (uniform, when not 1.0), then the turn to the direction, then the move to
// the point, in the plane of the extrusion (null: the xy plane), then `base`. The point and the
// direction are given in world coordinates; an extrusion takes both into its object
// coordinate system first, so that a mirrored text is not turned upside down.
void genMtextTransform(const Point3& point, const Point3& direction, const Point3* extrusion, const Matrix4& base,
                       Matrix4& out, double scale);

} // namespace tracemill
