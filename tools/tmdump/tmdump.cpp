// tmdump: starts the toolkit and prints a canonical, stable text dump of what it holds.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "drawing_file_dump.h"
#include "init_data_dump.h"
#include "new_drawing_dump.h"
#include "solids_dump.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/version.h"
#include "toolkit_session.h"

namespace tracemill::tmdump {
namespace {

constexpr const char* kUsage =
    "usage: tmdump [--summary | --report | --draw [--stream] | --solids] FILE\n"
    "       tmdump --new [VERSION] [--summary]\n"
    "       tmdump --init-data\n"
    "       tmdump --help | --version\n";

constexpr const char* kHelp =
    "tmdump loads a DWG or DXF drawing through the Tracemill toolkit and prints what it holds.\n"
    "\n"
    "  tmdump FILE               the whole drawing as a canonical, stable text dump: version,\n"
    "                            header variables, table records, classes, entities and\n"
    "                            objects, one record per line\n"
    "  tmdump --summary FILE     the version and the counts of the records, entities by kind\n"
    "                            and space, one line each\n"
    "  tmdump --report FILE      the same in words: format and version, tables, entities by\n"
    "                            kind, extents\n"
    "  tmdump --draw FILE        the drawing drawn as a host draws it, zoomed to its extents:\n"
    "                            \"primitives N\", \"hook NAME N\" for each output hook called,\n"
    "                            \"kind KIND entities=N lines=N fills=N raster=N\" for each entity\n"
    "                            kind drawn (line-to, fill and raster calls of its entities) and\n"
    "                            \"extents XMIN YMIN XMAX YMAX\" in drawing units\n"
    "  tmdump --draw --stream FILE  the same pass as every output hook call, one per line: the\n"
    "                            slot number, the hook's name, its arguments\n"
    "  tmdump --solids FILE      each REGION, 3DSOLID and BODY with its ACIS data parsed and drawn:\n"
    "                            handle, kind, parse result (4: parsed), entities made, records\n"
    "                            skipped, messages written (to stderr), bodies, the primitives and\n"
    "                            vertices of its wireframe, the vertices that were not finite, the\n"
    "                            box of the vertices and the box of the SAT points (each as\n"
    "                            x0,y0,z0,x1,y1,z1, or none), one line each\n"
    "  tmdump --new [VERSION]    a new drawing built in memory (VERSION 0 to 7, \"AC1002\" to\n"
    "                            \"AC1015\"; 7 when left out), whole or with --summary\n"
    "  tmdump --init-data        the built-in initialisation data: code pages and shape fonts\n"
    "  tmdump -h, --help         this text\n"
    "  tmdump --version          the version\n"
    "\n"
    "Exit status: 0 success; 1 the drawing cannot be loaded or drawn, or the output cannot be written\n"
    "(the error number and its meaning go to standard error); 2 wrong usage.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int run(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string_view mode = argv[1];
    if (mode == "-h" || mode == "--help") {
        if (argc != 2) return usage();
        std::fputs(kHelp, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (mode == "--version") {
        if (argc != 2) return usage();
        std::printf("tmdump %s\n", dbVersionText());
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const bool newDrawing = mode == "--new";
    const bool initData = mode == "--init-data";
    DrawingOutput output = DrawingOutput::Dump;
    if (mode == "--summary") output = DrawingOutput::Summary;
    if (mode == "--report") output = DrawingOutput::Report;
    if (mode == "--draw") output = argc > 2 && std::string_view(argv[2]) == "--stream" ? DrawingOutput::DrawStream
                                                                                    : DrawingOutput::Draw;
    const bool solids = mode == "--solids";
    const bool fileMode = !newDrawing && !initData;
    if (initData && argc != 2) return usage();
    const int fileArgs = output == DrawingOutput::Dump && !solids ? 2 : output == DrawingOutput::DrawStream ? 4 : 3;
    if (fileMode && argc != fileArgs) return usage();
    if (fileMode && output == DrawingOutput::Dump && !solids && mode.starts_with("-")) return usage();

    ToolkitSession session;
    if (!session.started()) {
        std::fprintf(stderr, "tmdump: the toolkit does not start: error %d: %s\n", session.error(),
                     dbErrorMeaning(session.error()));
        return 1;
    }
    if (initData) return dumpInitData(stdout);
    if (solids) return dumpSolids(argv[2], stdout);
    if (fileMode) return dumpDrawingFile(argv[argc - 1], output, stdout);
    const int status = dumpNewDrawing(argc - 2, argv + 2, stdout);
    return status == 2 ? usage() : status;
}

} // namespace
} // namespace tracemill::tmdump

int main(int argc, char** argv) { return tracemill::tmdump::run(argc, argv); }
