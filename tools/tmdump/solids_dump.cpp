#include "solids_dump.h"

#include <string_view>

#include "drawing_file_dump.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/solid_texts.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"

namespace tracemill::tmdump {

int dumpSolids(const char* path, std::FILE* out) {
    Drawing* drawing = openDrawingFile(path);
    if (!drawing) return 1;
    for (const SolidText& solid : acisSolidTexts(*drawing)) {
        satParser parser(solid.text);
        const int result = parser.parse();
        const std::string_view kind = dbEntityTypeName(solid.type);
        std::fprintf(out, "handle=%s kind=%.*s result=%d records=%d skipped=%d errors=%lld bodies=%d\n",
                     dbHandleToHex(solid.handle).c_str(), int(kind.size()), kind.data(), result, parser.entitiesMade(),
                     parser.skippedRecords(), parser.messageCount(), parser.bodyCount());
    }
    dbFreeDrawing(drawing);
    return std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
}

} // namespace tracemill::tmdump
