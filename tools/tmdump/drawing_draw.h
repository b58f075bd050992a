// tmdump --draw FILE: a loaded drawing drawn through the display the way a host draws it.
#pragma once

#include <cstdio>

namespace tracemill {
struct Drawing;
}

namespace tracemill::tmdump {

// Runs an extents pass, zooms to the extents and draws the drawing through a counting hook
// set; writes "primitives N", "hook NAME N" for each hook called, "kind KIND entities=N
// lines=N fills=N raster=N" for each entity kind met (sorted by name; what its entities put
// out) and "extents XMIN YMIN XMAX YMAX" (drawing units; "extents none" when nothing was
// drawn). With `stream` the zoomed pass goes through the recording hook set instead and every
// hook call is written in its stream form, one line each. 0 on success; 1 when the display
// fails (the error and its meaning go to stderr).
int writeDrawingPass(Drawing* drawing, const char* path, std::FILE* out, bool stream);

} // namespace tracemill::tmdump
