// Opening a drawing: the road by which a DWG or DXF file becomes a Drawing. The loader
// recognises the file from its head, points the drawing at the reader operations of its
// format (FormatDriver) and drives the load through them in a fixed order: the header, the
// table passes, the block records, the entities of the two spaces and of every other block,
// the objects and the fix-ups after loading. It reports progress, honours the context's
// continue flag, and on any failure frees everything it loaded and leaves the error number of
// the stage that failed.
//
// Stage error numbers: 3 the file cannot be opened; 4 recognition (11 no memory for the head);
// 5 a DXF file without "SECTION" in its head that does not start with "999"; 286 "AC1013"
// while that version is not enabled; 22 the header (a driver may leave a more precise number);
// 45 linetypes; 46 layers; 47 classes; 48 VPORT; 49 UCS; 50 APPID; 51 VIEW; 52 STYLE; 54 block
// records; 53 DIMSTYLE; 55 the entities of the two spaces; 130 the entities of the other
// blocks; 56 objects; 70 viewports; 131 header references; 133 default dictionaries. An entity
// pass leaves the entity reader's own number (288 extended data not copied, 289 an entity not
// appended, ...).
#pragma once

#include <cstdint>


namespace tracemill {

struct Drawing;

// Open modes.
inline constexpr uint8_t kOpenOrdinary = 1;
inline constexpr uint8_t kOpenDropSwitchedOffKinds = 2;

// The host's entry: the loaded drawing, or null with the error number in the context.
// finishDefaults nonzero gives drawings before "AC1015" the objects a 2000 drawing has
// (layouts, plot styles: rdFinishLoadDefaults).
Drawing* rdOpenDrawing(const char* path, uint8_t openMode, int finishDefaults);

// The loader. `outDrawing` (may be null) sees the drawing while it loads and is cleared when
// the load fails, so it never names a freed drawing. hostContext goes to dbSetHostContext.
Drawing* ReadDrawingFile(const char* path, uint8_t openMode, Drawing** outDrawing, int finishDefaults,
                         void* hostContext);

// The drawing of an external reference opened from this one: the one already opened under
// exactly that path, else a new load (open mode 1, with the load defaults) kept with the
// drawing. Null when the load fails (nothing is kept then).
Drawing* rdOpenXrefDrawing(Drawing* drawing, const char* path);

// Calls the context's load-progress callback when one is installed.
void rdReportLoadProgress(Drawing* drawing, int percent);

// Frees the table of block-record handles built for readers that know blocks by position.
void rdFreeBlockHandleTable(Drawing* drawing);

} // namespace tracemill
