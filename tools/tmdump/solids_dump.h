// tmdump --solids FILE: the ACIS solids of a drawing parsed into their models and drawn.
#pragma once

#include <cstdio>

namespace tracemill::tmdump {

// One line per REGION, 3DSOLID and BODY: its handle and kind, the parse result, the entities
// its records made, the records skipped for unknown words, the kernel messages the parse
// wrote (they go to stderr) and the bodies; then its wireframe as the default solid hook draws
// it: the primitives, the vertices, the vertices that were not finite, the box of the finite
// vertices and the box of the SAT point records. 0 on success; 1 when the drawing does not
// load or the output cannot be written.
int dumpSolids(const char* path, std::FILE* out);

} // namespace tracemill::tmdump
