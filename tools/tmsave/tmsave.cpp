// tmsave: loads a drawing as the program does and saves it as DWG or DXF of a version, with the
// settings of the program's save command.
//
//   tmsave FORMAT VERSION INPUT OUTPUT
//     FORMAT   dwg, dxf (ASCII) or dxfb (binary)
//     VERSION  "AC1002" to "AC1015"
//     INPUT    a DWG or DXF file, or --new N for the new drawing of version index N (0-7) that
//              `tmdump --new N` shows
//
// On failure it prints the error number and its meaning (and the system's reason when a file
// cannot be read or written) and exits with 1 (2 for a bad command line). --help prints this
// usage, --version the version.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/file_problems.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/save_driver.h"
#include "toolkit_session.h"

namespace tracemill::tmsave {
namespace {

constexpr const char* kUsage = "usage: tmsave dwg|dxf|dxfb AC1002..AC1015 INPUT|--new N OUTPUT\n"
                                "       tmsave --help | --version\n";

int usage(const char* problem) {
    std::fprintf(stderr, "tmsave: %s\n%s", problem, kUsage);
    return 2;
}

// "error N: MEANING", with the system's reason for `path` when there is one.
std::string failure(int error, const std::string& problem) {
    std::string text = "error " + std::to_string(error) + ": " + dbErrorMeaning(error);
    if (!problem.empty()) text += " (" + problem + ")";
    return text;
}

bool parseFormat(std::string_view text, uint8_t& format) {
    if (text == "dwg") format = kSaveFormatDwg;
    else if (text == "dxf") format = kSaveFormatAsciiDxf;
    else if (text == "dxfb") format = kSaveFormatBinaryDxf;
    else return false;
    return true;
}

int run(int argc, char** argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        std::fputs("Saves INPUT (a DWG or DXF drawing, or the new drawing of version index N) as OUTPUT in the\n"
                   "format and version given: dwg, dxf (ASCII) or dxfb (binary DXF), \"AC1002\" to \"AC1015\".\n",
                   stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("tmsave %s\n", dbVersionText());
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    uint8_t format = 0;
    if (argc < 5) return usage("a format, a version, an input and an output are needed");
    if (!parseFormat(argv[1], format)) return usage("the format is dwg, dxf or dxfb");
    const int version = dbVersionIndex(argv[2]);
    if (version < 0) return usage("the version is one of \"AC1002\" to \"AC1015\"");
    const bool newDrawing = std::string_view(argv[3]) == "--new";
    if (argc != (newDrawing ? 6 : 5)) return usage("an input and an output are needed, nothing more");
    uint16_t newVersion = 0;
    if (newDrawing) {
        const std::string_view n = argv[4];
        const auto parsed = std::from_chars(n.data(), n.data() + n.size(), newVersion);
        if (parsed.ec != std::errc() || parsed.ptr != n.data() + n.size() || newVersion > kVersionIndex2000)
            return usage("--new takes a version index of 0 to 7");
    }
    const char* input = argv[3];
    const char* output = argv[argc - 1];

    tmdump::ToolkitSession session;
    if (!session.started()) {
        std::fprintf(stderr, "tmsave: the toolkit does not start: error %d: %s\n", session.error(),
                     dbErrorMeaning(session.error()));
        return 1;
    }
    Drawing* drawing = newDrawing ? dbCreateDrawing(nullptr, nullptr, 0, newVersion)
                                  : rdOpenDrawing(input, kOpenOrdinary, 0);
    if (!drawing) {
        const int error = dbGetError();
        std::fprintf(stderr, "tmsave: %s: %s\n", newDrawing ? "--new" : input,
                     failure(error, newDrawing ? std::string() : dbReadProblem(input)).c_str());
        return 1;
    }
    const int saved = wrSaveDrawing(drawing, output, format, int16_t(version), kSaveRealSwitch, kSaveDecimalPlaces,
                                    kSaveEntitySwitch, kSaveOldDxfFlag);
    const int error = dbGetError();
    dbFreeDrawing(drawing);
    if (!saved) {
        std::fprintf(stderr, "tmsave: %s: %s\n", output, failure(error, dbWriteProblem(output)).c_str());
        return 1;
    }
    return 0;
}

} // namespace
} // namespace tracemill::tmsave

int main(int argc, char** argv) { return tracemill::tmsave::run(argc, argv); }
