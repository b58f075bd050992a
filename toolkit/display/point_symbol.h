// The strokes of point symbols (PDMODE), turned against the view's twist so that a symbol
// shows upright on the device whatever the view's rotation.
#pragma once

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// The frame the strokes of the point symbol being drawn are given in (kept in the display
// context): the centre they turn about (the symbol's point, so that turning never carries the
// symbol away from it), the twist they turn against and the per-viewport matrices they are
// drawn with.
struct SymbolFrame {
    Point2 viewCentre;
    double twist = 0.0;
    const Matrix4* matrices = nullptr;
};

// Rotates the point in place about the symbol frame's centre by the angle of that cosine and
// sine.
void genRotateAboutViewCentre(Drawing* drawing, Point2& point, double cos, double sin);

// Draws one stroke of a symbol: both ends turned by 2 pi minus the twist about the centre, as
// a run of its own, through the symbol frame's matrices with the linetype (null: continuous).
void genDrawSymbolSegment(Drawing* drawing, const Point3& p, const Point3& q, const LinetypeRecord* linetype);

} // namespace tracemill
