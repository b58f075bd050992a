// tmdump: starts the toolkit and prints a canonical, stable text dump of what it holds.
//
//   tmdump --init-data                   the initialisation data: banner, code pages,
//                                        built-in fonts
//   tmdump --new [VERSION] [--summary]   a new drawing built in memory (version index 0..7,
//                                        default 7)
//   tmdump [--summary] FILE              a drawing loaded from a DWG or DXF file: the whole
//                                        dump, or the version and the counts of its records
#include <cstdio>
#include <string_view>

#include "drawing_file_dump.h"
#include "error_meaning.h"
#include "init_data_dump.h"
#include "new_drawing_dump.h"
#include "toolkit_session.h"

namespace tracemill::tmdump {
namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: tmdump --init-data\n       tmdump --new [VERSION] [--summary]\n"
                 "       tmdump [--summary] FILE\n");
    return 2;
}

int run(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string_view mode = argv[1];
    if (mode == "--init-data" && argc != 2) return usage();
    const bool newDrawing = mode == "--new";
    const bool summary = mode == "--summary";
    if (!newDrawing && mode != "--init-data" && argc != (summary ? 3 : 2)) return usage();
    if (!newDrawing && mode != "--init-data" && !summary && mode.starts_with("--")) return usage();

    ToolkitSession session;
    if (!session.started()) {
        std::fprintf(stderr, "tmdump: the toolkit does not start: error %d: %s\n", session.error(),
                     errorMeaning(session.error()));
        return 1;
    }
    if (mode == "--init-data") return dumpInitData(stdout);
    if (!newDrawing) return dumpDrawingFile(argv[summary ? 2 : 1], summary, stdout);
    const int status = dumpNewDrawing(argc - 2, argv + 2, stdout);
    return status == 2 ? usage() : status;
}

} // namespace
} // namespace tracemill::tmdump

int main(int argc, char** argv) { return tracemill::tmdump::run(argc, argv); }
