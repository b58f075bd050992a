// What the host receives of the display list: grid primitives taken through the window to the
// device, clipped to the device rectangle and handed to the host's own hooks (slots 21 to 24)
// while a recording pass forwards what it records and while a replay plays the cells.
#pragma once

#include <cstdint>
#include <utility>

#include "toolkit/core/device_point.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_list.h"

namespace tracemill {

// The line from (x0, y0) to (x1, y1) in grid units: clipped to the device rectangle, then a
// move where it does not start at the host's pen, then the line.
void genDlistSendLine(DisplayList& list, int32_t x0, int32_t y0, int32_t x1, int32_t y1, HostWord host);

// Filled loops of grid points, counts[i] points each, one after the other: each loop is taken
// to the device and clipped to the device rectangle, and a loop left without area is dropped.
// A polygon (`holes` false: its first loop) goes to the host's polygon hook, a polygon with
// holes to its poly-polygon hook.
void genDlistSendFill(DisplayList& list, const DevicePoint* points, const int32_t* counts, int32_t loopCount,
                      bool holes, HostWord host);

// A grid point (as the cells hold it) on the device, truncated as the output truncates.
DevicePoint genDlistDevicePoint(const DisplayList& list, int32_t x, int32_t y);

// Runs a hook of the host: while it runs, what the host sends back through the table's slots
// goes to the host's own hooks instead of into the list.
template <class Hook, class... Args> void genDlistCallHost(DisplayList& list, Hook hook, Args&&... args) {
    if (!hook) return;
    const bool outer = list.forwarding;
    list.forwarding = true;
    hook(std::forward<Args>(args)...);
    list.forwarding = outer;
}

} // namespace tracemill
