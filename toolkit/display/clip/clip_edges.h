// The clipper's edges: the bounds that rise from every local minimum of both polygons, the
// table of local minima and the scanbeam boundaries (every distinct y of a vertex that
// starts or ends an edge). Horizontal edges are not stored: the sweep meets them as states.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/display/clip/loop_set.h"
#include "toolkit/display/clip/polygon_clipper.h"
#include "toolkit/display/display_memory.h"

namespace tracemill::clip {

// The double machine epsilon.
inline constexpr double kClipEpsilon = 2.220446049250313e-16;

// How far apart two values computed from the coordinates may lie and still be one value: x
// along an edge is computed from the edge's own bottom point, so two collinear edges that
// start at different points get x values a few units in the last place apart at the size of
// the coordinates. Comparing them with the bare machine epsilon would take them for two edges
// and leave spurious contours where they overlap.
inline constexpr double kClipRoundingUlps = 16.0;

inline constexpr int kSubject = 0;
inline constexpr int kClip = 1;

enum class BundleState : uint8_t { kUnbundled, kHead, kTail };

struct ClipEdge {
    Point2 bottom;
    Point2 top;
    double xBottom = 0.0; // x at the bottom of the current scanbeam
    double xTop = 0.0;    // x at its top
    double dx = 0.0;      // change of x per unit of y
    int owner = kSubject;
    // Per owner: the edge (or the bundle it heads) goes on above or came from below the
    // scanbeam boundary; the side of the bundle that is inside that owner's polygon.
    bool above[2] = {false, false};
    bool below[2] = {false, false};
    bool rightSide[2] = {false, false};
    BundleState stateAbove = BundleState::kUnbundled;
    BundleState stateBelow = BundleState::kUnbundled;
    // The output (contour or strip) the edge carries above and below the boundary; -1 none.
    int32_t outAbove = -1;
    int32_t outBelow = -1;
    ClipEdge* prev = nullptr; // neighbours in the active edge table
    ClipEdge* next = nullptr;
    ClipEdge* successor = nullptr; // the next edge of its bound
};

// A bound that starts at a local minimum: its first edge.
struct LocalMinimum {
    double y = 0.0;
    ClipEdge* first = nullptr;
};

struct EdgeTable {
    DisplayVector<ClipEdge> edges[2];   // one block per polygon
    DisplayVector<LocalMinimum> minima; // ascending y; within one y by x, then slope
    DisplayVector<double> scanbeams;    // ascending, distinct
    double xTolerance = 0.0;            // within this, x values of edges are one (scaled to the coordinates)
};

// Builds the edges of both polygons (subject first). For intersection and difference,
// contours whose box meets no contour of the other polygon are left out where they cannot
// matter; contours with a coordinate that is not finite are always left out. Throws
// std::bad_alloc when memory runs out.
void clipBuildEdgeTable(ClipOp op, const LoopSet& subject, const LoopSet& clip, EdgeTable& table);

} // namespace tracemill::clip
