// The grid of the display-list cache and the window a view shows of it.
//
// While the cache is on, the view transform maps the view the grid was laid with onto the grid
// rectangle {0, 0, grid width, grid height} instead of the device: every drawer works in grid
// units. A later view that looks the same way (same direction and up) shows a window of that
// grid; a grid point reaches the device through the window, per axis
//   device = (grid - window origin) x device size / window size + device origin.
// The cells may be replayed for a view while its window lies on the grid and one grid unit is
// no larger than one device unit, so that a replay lands within one device unit of what a
// regeneration of that view draws.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/view_block.h"

namespace tracemill {

struct Drawing;
struct DisplayList;

// Grid units along the longer side of the device.
inline constexpr int32_t kDlistGridSize = 32000;

// Lays the grid over the device rectangle: 32,000 units along its longer side and the other in
// proportion (to the nearest unit); `grid` becomes {0, 0, width, height}. 1, or 0 when the
// rectangle has no area or is more than 32,000 units on a side (its passes then draw straight
// onto the device).
int genDlistSetGrid(Drawing* drawing, const HostRect& deviceRect, HostRect& grid);

// Keeps the view the cells are recorded with, and its world-to-grid matrix (viewport 0's).
void genDlistSaveView(Drawing* drawing, const ViewBlock& view);

// 0 when the recorded cells can be replayed for the view on that device rectangle, 1 when a
// regeneration is needed: the direction or up differ from the recorded view's, the window
// leaves the grid, or a grid unit would grow beyond a device unit.
int genDlistViewChanged(Drawing* drawing, const ViewBlock& view, const HostRect& deviceRect);

// The window the view shows of the grid and the device rectangle it lands on.
void genDlistSetWindow(Drawing* drawing, const ViewBlock& view, const HostRect& deviceRect);

// World units per grid unit along x and y of the recorded view; 0 without a grid.
int genDlistGridScale(const Drawing* drawing, double& scaleX, double& scaleY);

// A grid point (as the cells hold it) to the device through the window, and back. The device
// value is that of the view transform, before output truncates it.
Point2 genDlistGridToDevice(const DisplayList& list, const Point2& grid);
Point2 genDlistDeviceToGrid(const DisplayList& list, const Point2& device);

} // namespace tracemill
