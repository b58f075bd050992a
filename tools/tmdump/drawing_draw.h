// tmdump --draw FILE: a loaded drawing drawn through the display the way a host draws it.
#pragma once

#include <cstdio>

namespace tracemill {
struct Drawing;
}

namespace tracemill::tmdump {

// Runs an extents pass, zooms to the extents and draws the drawing through a counting hook
// set; writes "primitives N", "hook NAME N" for each hook called and "extents XMIN YMIN XMAX
// YMAX" (drawing units; "extents none" when nothing was drawn). 0 on success; 1 when the
// display fails (the error and its meaning go to stderr).
int writeDrawingPass(Drawing* drawing, const char* path, std::FILE* out);

} // namespace tracemill::tmdump
