// Wide 2D polylines: every POLYLINE and LWPOLYLINE passes its vertices through this state
// machine, widths or not. A wide segment becomes a quadrilateral whose ends are mitred against
// its neighbours (a sharp turn, a change of width at the joint or a joint of an arc and a line
// keeps its own ends); a bulge becomes a fan of such quadrilaterals with radial ends. Each
// quadrilateral is filled (genFillQuad), outlined (FILLMODE 0) or, when the linetype has a
// pattern, handed to the linetype drawer with its widths so that every dash is wide. A segment
// without width is one stroke. Segments are drawn one vertex late: the vertex after a
// segment's end decides the mitre at that end; a closed polyline draws its first segment last.
//
// The state lives in the display context (`widePolyline`). genDrawWidePolyline runs a whole
// polyline through it, doing what the vectoriser does around the machine; the entries below
// are its steps.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/wide_polyline_state.h"

namespace tracemill {

struct Drawing;
struct PolylineVertex;

// Error numbers (each with the error callback 2): the closing copy made by a zero-width first
// segment, by the wide first segment of a closed polyline; a ring slot; the work vertex of a
// bulge arc.
inline constexpr int kErrorClosingCopyNoMemory = 261;
inline constexpr int kErrorWideClosingCopyNoMemory = 233;
inline constexpr int kErrorRingSlotNoMemory = 262;
inline constexpr int kErrorArcVertexNoMemory = 263;

// Flag of a polyline: closed.
inline constexpr uint8_t kWidePolylineClosed = 0x01;

// Below this a bulge is a straight segment.
inline constexpr double kStraightBulgeLimit = 5e-5;

// Mitres are cut at joints whose angle is at least this (radians), more when the width changes.
inline constexpr double kMitreAngleLimit = 0.50536052;

// Draws a 2D polyline: the vertices (widths below the display context's three-device-unit
// tolerance and bulges below 5e-5 taken as 0), closed or open (`flags`), its pattern running on
// across the vertices with `continuousPattern`, else restarting at each. 1; 0 when memory runs
// out (errors 233, 261 to 263).
int genDrawWidePolyline(Drawing* drawing, const std::vector<PolylineVertex>& vertices, uint8_t flags,
                        bool continuousPattern, const Matrix4* matrices, const LinetypeRecord* linetype);

// The steps, in the order genDrawWidePolyline takes them:
// a polyline starts (the state 0, a new segment run);
void genBeginWidePolyline(Drawing* drawing, uint8_t flags, bool continuousPattern);
// the vertex in the state's input goes into the machine (1; 0 after errors 233, 261 to 263);
int genPolylineVertex(Drawing* drawing, const Matrix4* matrices, const LinetypeRecord* linetype);
// the polyline ends: the last segment of an open one, the deferred first segment of a closed
// one, the linetype drawer's waiting wide pieces filled;
void genFinishPolyline(Drawing* drawing, const Matrix4* matrices, const LinetypeRecord* linetype);
// the vertices it kept are freed.
void genEndWidePolyline(Drawing* drawing);

// Draws the segment from the ring's first vertex to its second, the third (when there is one)
// being the vertex it is mitred against. 1; 0 after error 261 or 233.
int genWideSegment(Drawing* drawing, const Matrix4* matrices, const LinetypeRecord* linetype);

// Draws the arc from the bulge vertex towards the end vertex as wide pieces (pushed through the
// ring). 1; 0 after error 263 (or 262).
int genWideArcSegment(Drawing* drawing, const WideVertex& bulgeVertex, const WideVertex& endVertex,
                      const Matrix4* matrices, const LinetypeRecord* linetype);

// Pushes a copy of the vertex into the ring's third slot, the others moving up one. 1; 0 after
// error 262.
int genPushVertex(Drawing* drawing, const WideVertex& vertex);

// The corners of the segment from the vertex to the end point with its own ends: at half the
// start width across the start cap angle, at half the end width across the end cap angle.
void genCapAngles(const WideVertex& start, const Point3& end, WideCorners& startCorners, WideCorners& endCorners);

// The smallest angle at the joint b for which the segments a-b and b-c are mitred.
double genJoinLimit(const WideVertex& a, const WideVertex& b, const WideVertex& c);

// Around one wide segment: the linetype drawer's pattern scaled to the segment's width and
// switched off when it would be too small to show (nothing with PSLTSCALE 1), and put back.
void genWideLinetypeBegin(Drawing* drawing, const WideVertex& start);
void genWideLinetypeEnd(Drawing* drawing);

// Forgets the linetype drawer's waiting wide pieces (all viewports).
void genClearPatternFlags(Drawing* drawing);

} // namespace tracemill
