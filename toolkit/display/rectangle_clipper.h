// Polygons of a few points clipped to the rectangle of a viewport (Sutherland-Hodgman, window
// edges left, bottom, right, top), and the small tests around it.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/device_point.h"
#include "toolkit/core/point.h"

namespace tracemill {

// The rectangle fills are clipped to.
struct ClipWindow {
    double xmin = 0.0;
    double ymin = 0.0;
    double xmax = 0.0;
    double ymax = 0.0;
};

// 1, 0 or -1 by the sign of the value; values within 1e-10 of 0 are 0.
int genSign(double value);

// Removes each point closer than 1e-10 in x and y to the one before it (the last compared with
// the first as well).
void genRemoveDuplicatePoints(std::vector<Point2>& points);

// Clips the polygon to the window into device integers (each coordinate + 0.1, truncated): 1,
// or 0 with `out` empty when nothing remains. The polygon's orientation comes from its signed
// area, so a polygon whose first points lie on one line is clipped like any other.
int genClipPolygonToWindow(const ClipWindow& window, const std::vector<Point2>& points, std::vector<DevicePoint>& out);

} // namespace tracemill
