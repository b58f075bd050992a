// What the wide-polyline machine keeps while one 2D polyline passes through it (the display
// context's `widePolyline`): the vertices in flight, the ring of the last three, the corners
// that join one quadrilateral to the next, and what it changes of the linetype state for one
// wide segment.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "toolkit/core/point.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {

// A vertex of a wide polyline: a segment takes both of its widths (and its cap angles) from
// its start vertex.
struct WideVertex {
    Point3 point;
    uint8_t flags = 0;
    double startWidth = 0.0;
    double endWidth = 0.0;
    double bulge = 0.0;
    double smallerWidth = 0.0;  // the smaller of the two widths
    double startCapAngle = kCapFromDirection;  // radians
    double endCapAngle = kCapFromDirection;
    uint32_t run = 0;           // the segment run its stroke belongs to
    double curveLength = 0.0;   // a piece of a bulge arc: the arc's length (drawing units); else 0
    double arcRadius = 0.0;     // a piece of a bulge arc: its radius
};

// The two corners at one end of a wide segment: corner 0 on the side of the cap angle.
using WideCorners = std::array<Point3, 2>;

struct WidePolylineState {
    // The vertex being fed, and a bulge vertex that waits for its end point.
    WideVertex input;
    WideVertex pending;
    // The last three vertices pushed: first, second, third (empty slots null); a segment is
    // drawn from the first to the second once the third, which it is mitred against, arrives.
    std::array<std::unique_ptr<WideVertex>, 3> ring;
    int16_t state = 0;          // 0 a polyline starts, 1 no bulge waits, 2 a bulge vertex waits
    uint16_t vertexCount = 0;
    bool firstSegment = false;  // the next segment drawn is the polyline's first
    bool hasWide = false;       // the first segment of a closed polyline is wide and drawn last
    bool closingPass = false;   // the first vertex and the closing copy pass again
    bool previousZeroWidth = false;
    uint8_t polylineFlags = 0;  // 1: closed
    WideVertex firstVertex;               // the polyline's first vertex, bulge 0
    std::unique_ptr<WideVertex> closing;  // the end of the first segment, passed again when closed

    // The corners the next quadrilateral starts from, and the end corners of the deferred first
    // segment of a closed polyline.
    WideCorners cornerMemory{};
    WideCorners firstSegmentEnd{};

    // What one wide segment changes of the linetype state, put back after it.
    double savedLtscale = 1.0;
    uint8_t savedLinetypeEnable = 1;
};

} // namespace tracemill
