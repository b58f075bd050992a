// tmdump FILE, tmdump --summary FILE, tmdump --report FILE and tmdump --draw [--stream] FILE: a
// drawing loaded from a DWG or DXF file.
#pragma once

#include <cstdio>

namespace tracemill {
struct Drawing;
}

namespace tracemill::tmdump {

enum class DrawingOutput { Dump, Summary, Report, Draw, DrawStream };

// Loads the drawing and writes it whole, as counts, as a report in words, as what a display
// pass draws or as every hook call of that pass. 0 on success; 1 when the file cannot be read or is no drawing (the reason goes
// to stderr), when the load or the display fails (the error number and its meaning go to
// stderr) or the output cannot be written.
int dumpDrawingFile(const char* path, DrawingOutput output, std::FILE* out);

// Loads the drawing of a DWG or DXF file (free it with dbFreeDrawing); null when the file
// cannot be read, is no drawing or does not load, after the reason went to stderr.
Drawing* openDrawingFile(const char* path);

} // namespace tracemill::tmdump
