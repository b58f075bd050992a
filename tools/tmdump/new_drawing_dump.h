// tmdump --new [VERSION] [--summary]: a new drawing built in memory.
#pragma once

#include <cstdio>

namespace tracemill::tmdump {

// Dumps a new drawing of the version index given among the arguments (0..7, default 7),
// whole or, with --summary, as counts. 0 on success, 1 when the drawing cannot be built or
// written, 2 for arguments it does not understand.
int dumpNewDrawing(int argc, char** argv, std::FILE* out);

} // namespace tracemill::tmdump
