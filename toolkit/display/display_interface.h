// The display interface a host drives a drawing's display with. The order every host uses:
//   1. open the drawing;
//   2. genBeginDisplay once (again after a layout switch, which first frees the context with
//      dbFreeDisplayContext);
//   3. for every view change genPrepareView (and genResetViewCache when the picture must be
//      regenerated);
//   4. genDrawDrawing for each pass, with the host's hook set installed (a null set for an
//      extents pass, a device set for drawing);
//   5. genGetViewBlock to zoom to the extents the last pass collected;
//   6. dbFreeDisplayContext before the drawing is closed.
// Each returns 1 for success and 0 for failure (the error number in the system context)
// unless said otherwise.
#pragma once

#include <cstdint>

#include "toolkit/core/handle.h"
#include "toolkit/core/point.h"
#include "toolkit/display/display_context.h"
#include "toolkit/core/view_block.h"

namespace tracemill {

struct Drawing;

// The display context cannot be allocated.
inline constexpr int kErrorNoDisplayContext = 275;
// A pass was asked for a drawing without a display context.
inline constexpr int kErrorNotDisplayed = 277;

// Gives the drawing its display context for the view and device rectangle. `layout` (may be
// null) names the layout block to show. `view` receives the view the drawing has stored, the
// host's starting point. In display-list mode the view is laid on the cache's grid, whose
// rectangle (the cache rectangle) `cacheRect` receives when given.
int genBeginDisplay(Drawing* drawing, ViewBlock& view, const HostRect& deviceRect, HostRect* cacheRect,
                    const Handle* layout);

// Makes the display context of a drawing for a pass of `owner` (the drawing itself for a
// host's display, the host drawing for an external reference drawn inside it).
int genCreateDisplayContext(Drawing* drawing, ViewBlock& view, const HostRect& deviceRect, HostRect* cacheRect,
                            Drawing* owner, const Handle* layout);

// States the view of the next passes. In display-list mode, when the recorded display list
// does not serve the view (or holds no whole pass), lays the grid anew for it and returns 1:
// the next pass regenerates; when it serves the view, the next pass replays it. 0 otherwise
// and always outside display-list mode (no error). `cacheRect` receives the grid's rectangle.
int genPrepareView(Drawing* drawing, ViewBlock& view, const HostRect& deviceRect, HostRect* cacheRect);

// One display pass over the current layout: model space and the layout's paper space,
// external references included, every primitive through the output hooks. 0 only for a
// drawing without a display context (error 277); a failure inside the walk shows as missing
// primitives and its error number.
int genDrawDrawing(Drawing* drawing);

// The view that shows the extents collected by the last pass.
int genGetViewBlock(Drawing* drawing, ViewBlock& view);

// The next pass in display-list mode regenerates instead of replaying.
int genResetViewCache(Drawing* drawing);

// The path the drawing was opened from.
const char* genDrawingPath(const Drawing* drawing);

// Ends the pass that is running after the entity being drawn: every entity list stops. For
// the host's progress hook and its Stop button.
void genStopDisplay();

// The extents the last pass collected, in drawing units of the layout shown (model space, or
// the sheet of a paper-space layout). 0 when the pass drew nothing.
int genCollectedExtents(const Drawing* drawing, Point3& min, Point3& max);

// Recomputes the view of the collected extents (at the end of every pass).
void genComputeExtentsView(Drawing* drawing);

} // namespace tracemill
