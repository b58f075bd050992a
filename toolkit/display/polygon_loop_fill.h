// Filling polygons with holes on hosts that cannot fill them in one call: the loops become a
// region, the region triangle strips, and the strips leave through the strip or polygon hook.
#pragma once

#include <cstdint>

#include "toolkit/core/device_point.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/clip/loop_set.h"

namespace tracemill {

// Fills `loopCount` loops of device points, counts[i] points each, one after the other in
// `points` (alternate fill: loops inside loops are holes); a negative count counts as 0.
void dbFillPolygonLoops(const DevicePoint* points, const int32_t* counts, int32_t loopCount, HostWord host);

// Sends each strip, its points taken to device coordinates, through output hook slot 4, or
// without it one triangle at a time through slot 2.
void dbSendTriangleStrips(const StripSet& strips, HostWord host);

} // namespace tracemill
