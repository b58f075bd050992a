// Entity outlines: the outline of an entity as plain 2D points (a viewport clipped by an
// entity), the boundary of a spatial filter as 3D points in its block's coordinates, and the
// frame drawn along such a boundary (also the frame of a raster image).
//
// What an outline's points mean depends on the entity:
// - circle, arc and ellipse: the points along the curve, first to last (n + 1 for n chords);
// - spline: a pair of points (start, end) per chord;
// - polyline: the vertices, arc segments replaced by their points;
// - region: the chains of the region's edges one after another, then the first point of each
//   chain but the last, from the next-to-last chain back to the first, which ties all chains
//   into one closed sequence.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/acis/sat/solid_drawing_bridge.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct AcisBody;
struct EllipseBody;
struct SpatialFilterBody;

// The outline of the entity of that handle (see above), appended to a cleared `out`. Before
// anything else the stored entity is marked for the alternate curve resolution (header flag
// 0x10), whose chord count (the output hook table's, 1 to 50) the outline uses. 1, or 0 with
// nothing in `out` when no entity has the handle or its kind has no outline: circles,
// ellipses, splines, regions, POLYLINE and LWPOLYLINE entities have one.
int genEntityOutline(Drawing* drawing, Handle entity, std::vector<Point2>& out);

// Appends the points of a circular arc from `start` to `end` (radians, either way round): n + 1
// points for the n chords the chord count `count` gives the sweep (4 x count a full circle).
void genArcOutline(const Point2& centre, double start, double end, double radius, int32_t count,
                   std::vector<Point2>& out);

// Appends the points of an ellipse from its start parameter over its sweep, brought into
// (0, 2 pi] by whole turns (a sweep of 0 is the whole ellipse); a sweep that is not a number
// adds nothing.
void genEllipseOutline(const EllipseBody& ellipse, int32_t count, std::vector<Point2>& out);

// Appends the outline of a REGION from its SAT text: the edges the SAT body drawer reports
// (`walker`, genDrawSolidFromSat unless a caller stands in for it) are joined into chains
// where their ends meet (within (|p| + |q| + 1) x 1e-6 in x and in y), and written as above;
// a chain whose ends do not meet is followed by its last point once more. A region without SAT
// text adds nothing.
using SatWalker = int32_t (*)(const SatCallbackRecord& record);
void genRegionOutline(const AcisBody& region, int32_t count, std::vector<Point2>& out,
                      SatWalker walker = genDrawSolidFromSat);

// The boundary of a spatial filter in its block's coordinates: the four corners of a
// rectangle given by two points, else every point; each taken back through the filter's clip
// transform and its inverse block transform (entries of magnitude 1e-12 or less taken as 0).
void genClipBoundaryPoints(const SpatialFilterBody& filter, std::vector<Point3>& out);

// Draws the boundary as a closed frame, in the colour the colour map gives index 7, with the
// per-viewport matrices and the linetype (null: continuous), without a run number. A
// boundary without points draws nothing.
void genDrawClipFrame(Drawing* drawing, const std::vector<Point3>& boundary, const Matrix4* matrices,
                      const LinetypeRecord* linetype);

} // namespace tracemill
