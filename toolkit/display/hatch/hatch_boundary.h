// The boundary paths of a HATCH reduced to straight segments: polyline paths with their
// bulges, and edge paths of lines, circular and elliptic arcs and splines, each curve as the
// chords the entity's curve resolution gives it.
#pragma once

#include <cstdint>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/hatch_segments.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;

// Appends the segment from `start` to `end`: straight for a bulge of exactly 0 (or one that is
// not a number), else the arc whose included angle is 4 atan(bulge).
void genHatchBulgeSegment(Drawing* drawing, const Point2& start, const Point2& end, double bulge, int32_t resolution,
                          HatchSegments& out);

// Appends the chords of the arc about `centre` from `start` to `end` (radians; the sweep end -
// start may be negative, and goes over one turn at most). The chord count is the arc's share
// of 4 x resolution per turn, or with resolution 0 of the circle's chords in the current view.
void genHatchArcSegments(Drawing* drawing, const Point2& centre, double radius, double start, double end,
                         int32_t resolution, HatchSegments& out);

// Appends the chords of the elliptic arc about `centre` with the major-axis end point
// `majorAxis` (relative to the centre) and the minor-to-major ratio, from parameter `start`
// to `end` (the sweep may be negative, and goes over one turn at most).
void genHatchEllipseSegments(Drawing* drawing, const Point2& centre, const Point2& majorAxis, double ratio,
                             double start, double end, int32_t resolution, HatchSegments& out);

// Appends the segments of one boundary path: a polyline path's vertices joined (through their
// bulges when it has them, back to the first vertex when it is closed), or an edge path's
// edges one after the other. A circular arc edge ends at least where it starts (its end moved
// on by whole turns) and, drawn clockwise, has both angles mirrored (4 pi - angle); an elliptic
// arc edge likewise. Edges whose values are not numbers add nothing. `matrices` are handed to
// the spline tessellation.
void genHatchPathSegments(Drawing* drawing, const HatchPath& path, int32_t resolution, const Matrix4* matrices,
                          HatchSegments& out);

// The direction of p1 -> p2 in [-pi, pi] (-pi along the negative x axis): pi/2 or -pi/2 (when
// p2 is not above p1) for |dx| < 1e-8.
double genSegmentAngle(const Point2& p1, const Point2& p2);

// The turn from the direction p1 -> p2 to the direction p2 -> p3, in [-pi, pi]: positive to
// the left.
double genTurnAngle(const Point2& p1, const Point2& p2, const Point2& p3);

} // namespace tracemill
