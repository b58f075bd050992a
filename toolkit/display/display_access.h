// What the host and the database core reach of a drawing's display context: its release, the
// mapping between the world and the device, and the view and extents of the last pass.
#pragma once

#include <cstdint>

#include "toolkit/core/point.h"

namespace tracemill {

struct Drawing;
struct ViewBlock;

// Releases the drawing's display context. Asked for while a pass of the drawing runs (from a
// progress hook, when the user cancels), it stops the pass and takes effect when the pass
// returns. 1; 0 when the drawing has no context.
int dbFreeDisplayContext(Drawing* drawing);

// A world point to device coordinates through the current view (viewport 0); 0 without a
// display context.
int dbWorldToDevice(const Drawing* drawing, const Point3& world, Point2& device);
// The inverse: a device point to the world; 0 without a display context or when the view
// cannot be inverted.
int dbDeviceToWorld(const Drawing* drawing, const Point2& device, Point3& world);

// The extents flag of the display context: 1 once a pass collected extents; 0 without one.
uint8_t dbGetDisplayKind(const Drawing* drawing);
// The collected extents in device units (through the window of the display-list cache's grid
// while it is on), truncated; 0 without a display context.
int dbGetDisplayExtents(const Drawing* drawing, int32_t min[2], int32_t max[2]);
// The view of the collected extents, or null without a display context.
const ViewBlock* dbGetDisplayViewBlock(const Drawing* drawing);

} // namespace tracemill
