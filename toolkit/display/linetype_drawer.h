// The one drawer of straight pieces: every line, polyline segment and chord of a curve that
// display generation draws goes through genDrawLinetypedSegment, which lays the entity's
// linetype pattern along it in every viewport the entity is drawn in, continues the pattern
// from one piece to the next of the same entity, draws wide pieces as filled quadrilaterals
// and extrudes pieces by the entity's thickness.
//
// The pattern is laid in device units: its scale is LTSCALE x the device scale of viewport 0
// x the entity's linetype scale, and it is centred on the entity, so that both ends carry half
// of what is left over after the whole repetitions.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/display/linetype_state.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct DisplayContext;

// A cap angle that follows from the direction of the piece.
inline constexpr double kCapFromDirection = -10000.0;

// The widths of a wide piece at its two ends, and the angles of its end caps (radians; the
// corners lie at half the width along the cap angle on either side).
struct WideSegment {
    double startWidth = 0.0;
    double endWidth = 0.0;
    double startCapAngle = kCapFromDirection;
    double endCapAngle = kCapFromDirection;
};

// Draws the piece p1-p2 with the linetype (null: continuous) in every viewport the current
// entity is drawn in; `matrices` holds one world-to-device matrix per viewport. A wide record
// makes it a wide piece. Pieces with the same entity identity continue one pattern;
// `entityLength` (drawing units; 0: the piece's own) is the length the pattern is centred on.
// The identity is returned.
uint32_t genDrawLinetypedSegment(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                                 const LinetypeRecord* linetype, const WideSegment* wide, uint32_t identity,
                                 double entityLength);

// What one viewport's pattern walk along a piece shares with its steps: the direction of one
// device unit along the piece (in the piece's own coordinates), the pattern scale and the
// device length still to be laid.
struct PatternWalk {
    Point3 unit;
    double scale = 1.0;
    double remaining = 0.0;
};

// The next step of the pattern from `at`: the signed device length laid (above 0 a dash,
// below 0 a gap, 0 a dot); `out` is where it ends. `completed` says whether the step finished
// its element.
double genNextPatternStep(Drawing* drawing, LinetypeState& state, const LinetypeRecord& linetype,
                          const PatternWalk& walk, const Point3& at, Point3& out, bool& completed);

// Takes both points through the viewport's matrix (an entity of its own coordinate system
// first through that) and draws the device line, clipped; with a thickness also the extruded
// copy and the edges joining it.
void genDrawSegmentInViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                              int viewport);

// The device length of p2 - p1 through the linear part of the matrix.
double genSegmentDeviceLength(const Point3& p1, const Point3& p2, const Matrix4& matrix);

// The corners of a wide piece: at half the start width on either side of p1 along its start
// cap angle (the normal of the piece when the record leaves it to the direction), the same at
// p2 with the end width. Corner 0 of each pair lies on the side of the cap angle.
void genWideSegmentOutline(const Point3& p1, const Point3& p2, const WideSegment& wide, double startWidth,
                           double endWidth, Point3 start[2], Point3 end[2]);

// Fills the quadrilateral of a wide piece (start pair, end pair) in every viewport the entity
// is drawn in, or in one.
void genFillWideQuad(Drawing* drawing, const Point3 start[2], const Point3 end[2], const Matrix4* matrices);
void genFillWideQuadInViewport(Drawing* drawing, const Point3 start[2], const Point3 end[2], const Matrix4* matrices,
                               int viewport);

// Whether the linetype is the display context's default one, whose lines are drawn plain.
bool genIsDefaultLinetype(const DisplayContext& context, const LinetypeRecord& linetype);

// Fills the wide piece that waits in the linetype state of viewport 0 / of that viewport (the
// last piece of a wide entity waits for the next to be joined to it).
int genFlushWidePiece(Drawing* drawing, const Matrix4* matrices);
int genFlushWidePieceInView(Drawing* drawing, const Matrix4* matrices, int viewport);
// Fills every wide piece that waits.
void genFlushWidePieces(Drawing* drawing, const Matrix4* matrices);

// Draws the text or shape of a linetype's complex element at the point, turned along the
// piece. 0 when it draws nothing: the element's text style is missing, or its font cannot be
// drawn yet.
int genDrawLinetypeElement(Drawing* drawing, const LinetypeRecord& linetype, int element, const Point3& at,
                           const Point3& direction, int viewport);

} // namespace tracemill
