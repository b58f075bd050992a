// The border of a VIEWPORT entity: its rectangle on the sheet as a closed outline of four
// strokes.
#pragma once

#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// Draws the rectangle (x0, y0)-(x1, y1) at height z, corner to corner and back to the first,
// each stroke a run of its own, through the per-viewport matrices with the linetype.
void genDrawViewportBorder(Drawing* drawing, double x0, double y0, double x1, double y1, double z,
                           const Matrix4* matrices, const LinetypeRecord* linetype);

} // namespace tracemill
