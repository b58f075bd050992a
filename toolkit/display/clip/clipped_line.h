// Clipped line output: a segment in device coordinates is clipped to a viewport's rectangle
// and, while clip regions are in force, to the viewport's clip region; the visible pieces reach
// the host as move-to and line-to calls. The geometric tests the clipper uses are here too.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/display/clip/loop_set.h"
#include "toolkit/display/display_context.h"

namespace tracemill {

struct Drawing;
struct DeviceRect;

// An entity whose header flags carry this bit widens the collected extents with what is
// visible of it instead of with its whole segments.
inline constexpr uint8_t kEntityExtentsAfterClipping = 0x08;

// Counts one output towards the host's refresh hook (slot 7), which is called every
// `refreshInterval` outputs while it is set.
void genRefreshTick(Drawing* drawing);

// Clips the segment to viewport `viewport` and draws the visible pieces: a move-to where a
// piece does not start at the pen position, then a line-to its end (points truncated to
// integers).
void genDrawClippedLine(Drawing* drawing, Point2 p1, Point2 p2, int16_t viewport);

// Clips the segment to viewport `viewport`; the visible pieces go to `pieces` as {start, end}
// pairs, in order along the segment. The number of pieces.
int32_t genClipSegment(Drawing* drawing, Point2 p1, Point2 p2, int16_t viewport, std::vector<Point2>& pieces);

// Clips the segment to the rectangle (Cohen-Sutherland; the ends may come back swapped): true
// with the visible piece in p1 and p2, false when nothing of it lies inside.
bool genClipSegmentToRect(Point2& p1, Point2& p2, const DeviceRect& rect);

// 1 when p lies within tol of the segment a-b.
int genPointNearSegment(const Point2& p, const Point2& a, const Point2& b, double tol);

// 1 when p lies inside the closed loop of n points or within tol of its outline.
int genPointInLoop(const Point2& p, int32_t n, const Point2* points, double tol);

// 1 when (x, y) lies inside the region: outer loops that hold it count +1, holes -1.
int genPointInLoops(double x, double y, const LoopSet& region, double tol);

// The points the segments p1-p2 and q1-q2 have in common: 0, 1 or 2 written to `out`.
int genIntersectSegments(const Point2& p1, const Point2& p2, const Point2& q1, const Point2& q2, Point2 out[2]);

} // namespace tracemill
