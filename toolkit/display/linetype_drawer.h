// The one drawer of straight pieces: every line, polyline segment and chord of a curve that
// display generation draws goes through genDrawLinetypedSegment, which lays the entity's
// linetype pattern along it in every viewport the entity is drawn in.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/matrix4.h"

namespace tracemill {

struct Drawing;

// Draws the piece p1-p2 (world points) with the linetype (null: continuous) in every viewport
// the current entity is drawn in; `matrices` holds one world-to-device matrix per viewport.
// Pieces with the same entity identity continue one pattern. `entityLength` (0: the piece's
// own) is the length the pattern is centred on. The identity is returned.
uint32_t genDrawLinetypedSegment(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                                 const LinetypeRecord* linetype, const void* wide, uint32_t identity,
                                 double entityLength);

// Takes both points through the viewport's matrix and draws the device line, clipped.
void genDrawSegmentInViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                              int viewport);

} // namespace tracemill
