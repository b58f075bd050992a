// tmdump FILE and tmdump --summary FILE: a drawing loaded from a DWG or DXF file.
#pragma once

#include <cstdio>

namespace tracemill::tmdump {

// Loads the drawing and dumps it whole or, with `summary`, as counts. 0 on success; 1 when
// the load fails (the error number and its meaning go to stderr) or the dump cannot be
// written.
int dumpDrawingFile(const char* path, bool summary, std::FILE* out);

} // namespace tracemill::tmdump
