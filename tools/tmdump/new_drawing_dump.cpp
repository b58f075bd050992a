#include "new_drawing_dump.h"

#include <charconv>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/drawing_dump.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/system_context.h"

namespace tracemill::tmdump {

int dumpNewDrawing(int argc, char** argv, std::FILE* out) {
    uint16_t version = kVersionIndex2000;
    DumpMode mode = DumpMode::Full;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--summary") {
            mode = DumpMode::Summary;
            continue;
        }
        const auto result = std::from_chars(arg.data(), arg.data() + arg.size(), version);
        if (result.ec != std::errc() || result.ptr != arg.data() + arg.size() || version > kVersionIndex2000)
            return 2;
    }
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, version);
    if (!drawing) {
        std::fprintf(stderr, "tmdump: the new drawing could not be built: error %d: %s\n", dbGetError(),
                     dbErrorMeaning(dbGetError()));
        return 1;
    }
    dbDumpDrawing(*drawing, mode, [out](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), out);
        std::fputc('\n', out);
    });
    dbFreeDrawing(drawing);
    return std::fflush(out) == 0 ? 0 : 1;
}

} // namespace tracemill::tmdump
