// The canonical text dump of a drawing: one record per line, every field of every record,
// doubles with round-trip precision, strings with their bytes escaped. Readers and writers
// compare drawings by comparing dumps, so the text is stable: it depends on nothing but the
// drawing (no addresses, no locale).
//
// Order: the drawing line (with a NOTE line after it for a drawing read as an older version
// than its file names), the header variables (by name), the fixed handles, the classes (list
// order), the tables (list order), the block records and then each block's entities in list
// order (blocks sorted by handle), the viewport index, and the objects sorted by handle.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "toolkit/core/drawing.h"

namespace tracemill {

enum class DumpMode {
    Full,     // every record
    Summary,  // the version and the record counts
};

// Hands each line (without its line end) to `writeLine`.
void dbDumpDrawing(const Drawing& drawing, DumpMode mode, const std::function<void(std::string_view)>& writeLine);

// The dump as one text, a line end after each line.
std::string dbDumpDrawingText(const Drawing& drawing, DumpMode mode = DumpMode::Full);

// One entity as a dump line ("ENTITY LINE handle=1F ..."); the drawing names class-based kinds.
std::string dbDumpEntity(const Drawing& drawing, const EntityRecord& entity);

} // namespace tracemill
