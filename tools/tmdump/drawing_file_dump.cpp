#include "drawing_file_dump.h"

#include <string_view>

#include "error_meaning.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/drawing_dump.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill::tmdump {

int dumpDrawingFile(const char* path, bool summary, std::FILE* out) {
    Drawing* drawing = rdOpenDrawing(path, kOpenOrdinary, 0);
    if (!drawing) {
        std::fprintf(stderr, "tmdump: %s: error %d: %s\n", path, dbGetError(), errorMeaning(dbGetError()));
        return 1;
    }
    dbDumpDrawing(*drawing, summary ? DumpMode::Summary : DumpMode::Full, [out](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    });
    dbFreeDrawing(drawing);
    return std::fflush(out) == 0 ? 0 : 1;
}

} // namespace tracemill::tmdump
