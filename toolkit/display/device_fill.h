// Fills in device space: quadrilaterals (SOLID, TRACE, wide pieces, arrowheads), sets of loops
// (polygons with holes), pictures inside quadrilaterals and raster image frames. Each is taken
// through the transform of every viewport the entity is drawn in, shown filled or as its
// outline, clipped to the viewport's rectangle or clip region and handed to the host as
// integer polygons (output hook slots 2, 3, 18 and 19).
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/device_point.h"
#include "toolkit/core/point.h"
#include "toolkit/display/clip/loop_set.h"
#include "toolkit/display/fill_records.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/rectangle_clipper.h"

namespace tracemill {

struct Drawing;

// Error number: the per-viewport transforms of an extruded entity or an image cannot be made.
inline constexpr int kErrorFillTransforms = 245;

// Fills the quadrilateral p1, p2, p3, p4 (corners in the order of a SOLID: its edges run 1-2,
// 2-4, 4-3 and 3-1) in every viewport the entity is drawn in; `matrices` holds one
// world-to-device matrix per viewport. 1; 0 when the transforms cannot be made.
int genFillQuad(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                const Matrix4* matrices);

// The same in one viewport (nothing when the entity is hidden there).
int genFillQuadOneViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                           const Matrix4* matrices, int viewport);

// The fill of one viewport with its transform (`matrices` serves the outline's lines). With a
// picture record the polygon goes to slot 18 with the picture.
void genFillQuadInViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                           const Matrix4* matrices, int viewport, const Matrix4& transform, PictureRecord* picture);

// Fills loops (counts[i] points each, one loop after the other): with the host's poly-polygon
// hook all loops in one call (alternate fill), without it the first loop alone as triangles.
// 1; 0 when the loops hold no point.
int genFillLoops(Drawing* drawing, const Point3* points, const int32_t* counts, int32_t loopCount,
                 const Matrix4* matrices);

// false when all the points share x or all share y: a polygon without area, not sent.
bool genPolygonSpansBothAxes(const DevicePoint* points, int32_t count);

// One integer polygon through slot 2, unless all its points share x or y.
void genFillPolygon(Drawing* drawing, const DevicePoint* points, int32_t count);

// The loops of a clipped region: each loop a polygon, or, when a loop has more than 9 points,
// the region's triangles; to slot 18 with a picture, else to slot 2.
void genFillLoopSet(Drawing* drawing, const LoopSet& region, PictureRecord* picture);

// 1 when fills of the entity being drawn are shown filled in the viewport, 0 when as
// outlines: FILLMODE 0 shows outlines, a LEADER's fills are filled, others are filled when the
// viewport looks along their normal.
int genFillVisible(Drawing* drawing, int viewport);

// The transform times the world-to-device matrix of every viewport.
void genViewportTransforms(Drawing* drawing, const Matrix4& transform, std::vector<Matrix4>& out);

// x and y of the point (w = 1) through the transform.
Point2 genTransformPoint2d(const Point3& p, const Matrix4& transform);

// A picture inside the quadrilateral of the four corners (in order around it) in every
// viewport the entity is drawn in. 1.
int genPictureQuad(Drawing* drawing, const Point3 corners[4], const Matrix4* matrices, PictureRecord& picture);

// A raster image's frame and clip boundary on the device, for slot 19, in every viewport the
// entity is drawn in. 1; 0 when its work arrays cannot be made (error 245).
int genImageFrame(Drawing* drawing, const ImagePlacement& placement, const Matrix4* matrices, FillRecord& image);

} // namespace tracemill
