// The outline of a quadrilateral as four strokes: what wide segments and mesh faces draw
// instead of a fill when FILLMODE is 0.
#pragma once

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// Draws p1-p2, p2-p3, p3-p4 and p4-p1 through the linetype drawer, each a run of its own
// unless the display context's segment run goes on across strokes (its run-end value 0).
void genQuadOutline(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                    const Matrix4* matrices, const LinetypeRecord* linetype);

// Draws one stroke of a polyline or mesh: the segment counter rises by the run-end value, and
// the stroke goes to the linetype drawer with it.
void genDrawRunStroke(Drawing* drawing, const Point3& from, const Point3& to, const Matrix4* matrices,
                      const LinetypeRecord* linetype);

} // namespace tracemill
