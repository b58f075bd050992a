// The table passes of a load: each fills one symbol table (or the classes, or the objects)
// from the reader operations of the drawing's format driver, applies the table's own rules and
// adds the default records that the file lacks.
#pragma once

#include <cstdint>

namespace tracemill {

struct Drawing;
struct ObjectRecord;

// Each pass takes the drawing, whose driver, version index, source format and announced counts
// the open set; 1, or 0 with the table freed and the error number in the context.
int dbLoadLinetypes(Drawing& drawing);
int dbLoadLayers(Drawing& drawing);
int dbLoadClasses(Drawing& drawing);
int dbLoadVports(Drawing& drawing);
int dbLoadUcss(Drawing& drawing);
int dbLoadAppIds(Drawing& drawing);
int dbLoadViews(Drawing& drawing);
int dbLoadStyles(Drawing& drawing);
int dbLoadDimStyles(Drawing& drawing);
int dbLoadObjects(Drawing& drawing);

// Reads one class-based object through the driver and appends it to the object list; on a
// failure the whole object list is freed. `hasXData` reports extended data as the driver did.
int dbLoadObject(Drawing& drawing, ObjectRecord& object, uint8_t& hasXData);

// Ends a table pass: the driver releases what it kept for reading the table.
void dbEndTableLoad(Drawing& drawing);

// The load progress of the entity passes in percent,
// kept in the drawing as the previous value.
int16_t dbLoadProgress(Drawing& drawing);

// The most VPORT records a file may announce.
inline constexpr int32_t kMaxAnnouncedVports = 5000;

} // namespace tracemill
