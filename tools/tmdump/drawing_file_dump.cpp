#include "drawing_file_dump.h"

#include <string>
#include <string_view>

#include "drawing_draw.h"
#include "drawing_report.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/drawing_dump.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/file_problems.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill::tmdump {
namespace {

// The error the loader gives a file whose head is neither DWG nor DXF.
constexpr int kErrorNeitherDwgNorDxf = 5;

} // namespace

Drawing* openDrawingFile(const char* path) {
    if (const std::string reason = dbReadProblem(path); !reason.empty()) {
        std::fprintf(stderr, "tmdump: %s: %s\n", path, reason.c_str());
        return nullptr;
    }
    Drawing* drawing = rdOpenDrawing(path, kOpenOrdinary, 0);
    if (!drawing) {
        const int error = dbGetError();
        if (error == kErrorNeitherDwgNorDxf)
            std::fprintf(stderr, "tmdump: %s: not a drawing: neither a DWG nor a DXF file (error %d)\n", path, error);
        else
            std::fprintf(stderr, "tmdump: %s: error %d: %s\n", path, error, dbErrorMeaning(error));
    }
    return drawing;
}

int dumpDrawingFile(const char* path, DrawingOutput output, std::FILE* out) {
    Drawing* drawing = openDrawingFile(path);
    if (!drawing) return 1;
    int status = 0;
    if (output == DrawingOutput::Draw || output == DrawingOutput::DrawStream) {
        status = writeDrawingPass(drawing, path, out, output == DrawingOutput::DrawStream);
    } else if (output == DrawingOutput::Report) {
        const std::string_view name = path;
        const size_t slash = name.find_last_of('/');
        writeDrawingReport(*drawing, slash == std::string_view::npos ? name : name.substr(slash + 1), out);
    } else {
        dbDumpDrawing(*drawing, output == DrawingOutput::Summary ? DumpMode::Summary : DumpMode::Full,
                      [out](std::string_view line) {
                          std::fwrite(line.data(), 1, line.size(), out);
                          std::fputc('\n', out);
                      });
    }
    dbFreeDrawing(drawing);
    return status == 0 && std::fflush(out) == 0 && !std::ferror(out) ? 0 : 1;
}

} // namespace tracemill::tmdump
