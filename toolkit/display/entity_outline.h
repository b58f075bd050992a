// Entity outlines: the outline of an entity as plain 2D points (a viewport clipped by an
// entity), the boundary of a spatial filter as 3D points in its block's coordinates, and the
// frame drawn along such a boundary.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"
#include "toolkit/display/matrix4.h"

namespace tracemill {

struct Drawing;
struct EllipseBody;
struct SpatialFilterBody;

// The outline of the entity of that handle: a circle's or an ellipse's points along the curve
// (first and last the same), a polyline's vertices with its arcs flattened. The entity is
// first marked for the alternate curve resolution, whose chord count the outline uses. 1, or
// 0 (nothing in `out`) when no entity has the handle or its kind has no outline here.
int genEntityOutline(Drawing* drawing, Handle entity, std::vector<Point2>& out);

// Appends the points of a circular arc from `start` over `sweep` radians: n + 1 points for the
// n chords the resolution `count` gives the sweep.
void genArcOutline(const Point2& centre, double start, double sweep, double radius, int32_t count,
                   std::vector<Point2>& out);

// Appends the points of an ellipse from its start to its end parameter.
void genEllipseOutline(const EllipseBody& ellipse, int32_t count, std::vector<Point2>& out);

// The boundary of a spatial filter in its block's coordinates: the four corners of a
// rectangle given by two points, else every point; each taken back through the filter's clip
// transform and its inverse block transform.
void genClipBoundaryPoints(const SpatialFilterBody& filter, std::vector<Point3>& out);

// Draws the boundary as a closed frame in colour 7 with the per-viewport matrices.
void genDrawClipFrame(Drawing* drawing, const std::vector<Point3>& boundary, const std::vector<Matrix4>& matrices);

} // namespace tracemill
