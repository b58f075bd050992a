// Viewports and the view transform: how a view and a device rectangle become one
// world-to-device matrix per viewport. Model space shows one viewport, the "*ACTIVE" VPORT
// record's view; a paper-space layout shows the sheet (viewport 0) and up to 48 VIEWPORT
// entities, each looking into model space through its own rectangle on the sheet.
//
// Every matrix is a view matrix V (the view direction onto +z, the up direction onto +y, the
// view centre at the origin) followed by a window matrix W (view units onto the viewport's
// device rectangle): world to device = V W.
#pragma once

#include <cstdint>

#include "toolkit/core/handle.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/core/view_block.h"

namespace tracemill {

struct Drawing;
struct ViewRecord;
struct ViewportBody;

// Builds the viewport table while a display context is made, and writes the view of viewport
// 0 back into `view` (direction, target, up, width and height).
void genSetupViewports(Drawing* drawing, const HostRect& deviceRect, ViewBlock& view, Handle layoutHandle);

// The view matrix: the target to the origin, the direction onto +z, the up direction onto +y,
// then the offset taken off x and y.
void genViewMatrix(const Point4& direction, const Point4& target, const Point4& up, double offsetX, double offsetY,
                   Matrix4& out);

// The window matrix: view units onto the rectangle, (0, 0) onto its centre plus one half.
void genWindowMatrix(const DeviceRect& rect, double width, double height, Matrix4& out);

// The up direction of a view of that direction, turned by the twist.
Point4 genUpFromTwist(const Point4& direction, double twist);

// The point where the line of sight through the centre of the view meets the plane z = 0 (or
// y = 0, or x = 0, whichever it crosses first in that order); the origin when it meets none.
Point4 genTargetOnGround(const Matrix4& viewMatrix);

// Device rectangle (and its copy clamped to the host's rectangle) of viewport i >= 1: its
// corners on the sheet through viewport 0's matrix.
void genViewportDeviceRect(DisplayContext& context, int i);

// The clip region of viewport i in the top clip-boundary entry: its clamped rectangle, cut by
// its non-rectangular boundary when it has one.
void genViewportClip(DisplayContext& context, int i);

// Applies a host's view: what genPrepareView does outside the display-list cache.
void genApplyView(Drawing* drawing, const ViewBlock& view, const HostRect& deviceRect);

// A view of a VIEW table record; the width keeps the old view's aspect.
void genViewFromViewRecord(const ViewRecord& record, ViewBlock& view);

// Moves the sheet's VIEWPORT (id 1) to the front of the block's entity list when another
// visible VIEWPORT stands before it. 1 when it moved.
int genViewportFirst(Drawing* drawing, Handle block);

// A view height or width that is not positive becomes 1.0.
void genViewportDefaults(ViewportBody& viewport);

// Selector 0: the paper-space block record's handle, 1: the model-space one. 0 for another
// selector or when that handle is the zero handle.
int genSelectRecordHandle(const Drawing* drawing, Handle& out, int selector);

} // namespace tracemill
