// tmdump: loads a drawing through the toolkit and prints a canonical, stable text dump.
//
//   tmdump --new [VERSION] [--summary]   dumps a new drawing built in memory (version index
//                                        0..7, default 7)
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/drawing_dump.h"
#include "toolkit/core/system_context.h"

namespace {

using namespace tracemill;

int usage() {
    std::fprintf(stderr, "usage: tmdump --init-data\n       tmdump --new [VERSION] [--summary]\n");
    return 2;
}

int dumpNewDrawing(int argc, char** argv) {
    uint16_t version = kVersionIndex2000;
    DumpMode mode = DumpMode::Full;
    for (int i = 2; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--summary") {
            mode = DumpMode::Summary;
            continue;
        }
        const auto result = std::from_chars(arg.data(), arg.data() + arg.size(), version);
        if (result.ec != std::errc() || result.ptr != arg.data() + arg.size() || version > kVersionIndex2000) {
            return usage();
        }
    }
    SystemContext context;
    gSystemContext = &context;
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, version);
    int status = 0;
    if (drawing) {
        dbDumpDrawing(*drawing, mode, [](std::string_view line) {
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
        });
        dbFreeDrawing(drawing);
    } else {
        std::fprintf(stderr, "tmdump: error %d: the new drawing could not be built\n", dbGetError());
        status = 1;
    }
    gSystemContext = nullptr;
    return std::fflush(stdout) == 0 ? status : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--init-data") == 0) {
        std::puts("tmdump: the toolkit's start-up is not built yet");
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--new") == 0) return dumpNewDrawing(argc, argv);
    return usage();
}
