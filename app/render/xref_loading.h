// The toolkit's hook for the drawing of an external reference: finds the file along the
// search folders and, when the toolkit cannot read it, has the conversion library convert it
// into a temporary DWG file that the toolkit reads instead (once per source file and version
// on disk, through the converted-file cache).
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

// The drawing an open is reading, and the stop flag of its drawing object, for the length of
// the open (the references of the drawing are searched in its folder first).
void BeginDrawingOpen(std::string path, uint8_t stopFlag);
void EndDrawingOpen();
const std::string& GetDrawingBeingOpened();

// The external-reference hook. outPath gets the file the toolkit is to read: the file found
// (or its converted copy) with 1, or the name unchanged with 0 when none is found. While the
// open or the drawing object is being stopped, outPath is emptied and nothing is searched.
int LoadXrefDrawing(const char* name, std::string& outPath, HostWord host);

} // namespace tracemill
