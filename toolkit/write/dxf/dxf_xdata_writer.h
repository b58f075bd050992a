// Extended data as DXF groups (1000-1071), written after a record's own groups.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/write/output_context.h"

namespace tracemill {

// Writes every item of the stream: application and layer references by name (an application
// that names no APPID fails with 71; a layer reference that names no layer is left out),
// points with their z, binary data as one chunk. 1, or 0 on the first failure.
int DxfXDataWriter(const Drawing& drawing, OutputContext& output, const OwnedStream& xdata);

} // namespace tracemill
