// tmexport: opens a drawing as the program does and exports it, zoomed to its extents, to every
// output named on the command line; the format comes from each output's extension.
//
//   tmexport [--size WxH] [--colour-mode N] [--pen-widths] [--mask] [--quality N] [--print]
//            DRAWING OUTPUT...
//
//   vector   .svg .svgz .plt .hgl .pdf .cgm .eps   (WxH in points, 800x600 by default)
//   raster   .bmp .jpg .gif .pcx                   (WxH in pixels; --mask writes NAME_mask.bmp)
//   --print  prints the extents through the print driver onto a PDF printer instead (OUTPUT
//            must end in .pdf)
//
// Each file written is printed on a line of its own. A drawing that cannot be opened, and each
// output that cannot be written, is named on the error stream with the reason (the reader's
// error number and meaning, the system's reason for a file); the outputs after a failed one
// are still written, and the exit code is then 1 (2 for a bad command line). On a terminal a
// line on the error stream shows which output of how many is being exported and how far.
// Runs without a display.
#include <QApplication>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/render/conversion_calls.h"
#include "app/render/drawing_object.h"
#include "app/render/raster_export.h"
#include "app/render/toolkit_lifetime.h"
#include "app/render/vector_export.h"
#include "app/services/file_paths.h"
#include "app/shell/headless_start.h"
#include "app/shell/terminal_progress.h"
#include "platform/gdi/painter_device_context.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/file_problems.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version.h"

namespace tracemill::tmexport {
namespace {

struct Options {
    int32_t width = 800;
    int32_t height = 600;
    int16_t colourMode = kColorModeColors;
    bool penWidths = false;
    bool mask = false;
    int32_t quality = 8;
    bool print = false;
    std::string drawing;
    std::vector<std::string> outputs;
};

constexpr const char* kUsage =
    "usage: tmexport [--size WxH] [--colour-mode N] [--pen-widths] [--mask] [--quality N] [--print] "
    "DRAWING OUTPUT...\n"
    "       tmexport --help | --version\n";

constexpr const char* kHelp =
    "tmexport opens a DWG or DXF drawing as the program does and exports it, zoomed to its extents,\n"
    "to every output named; the format comes from each output's extension.\n"
    "\n"
    "  vector outputs   .svg .svgz .plt .hgl .pdf .cgm .eps   (WxH in points)\n"
    "  raster outputs   .bmp .jpg .gif .pcx                   (WxH in pixels)\n"
    "\n"
    "  --size WxH        the size, 800x600 by default; one side may be 0 (it then follows the extents)\n"
    "  --colour-mode N   1 black and white, 2 grey, 3 colours (default)\n"
    "  --pen-widths      vector outputs draw with the pen widths of the pen table\n"
    "  --mask            a mask image NAME_mask.bmp beside each raster output\n"
    "  --quality N       JPEG quality, 1 to 10 (default 8)\n"
    "  --print           prints the extents through the print driver onto a PDF printer instead\n"
    "                    (the outputs must end in .pdf)\n"
    "\n"
    "Each file written is printed on a line of its own. Exit status: 0 every output written; 1 the\n"
    "drawing cannot be opened or an output cannot be written (each named with the reason on\n"
    "standard error; the other outputs are still written); 2 wrong usage.\n";

int usage(const std::string& problem) {
    std::fprintf(stderr, "tmexport: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

template <typename T> bool parseNumber(std::string_view text, T& out) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool parseSize(std::string_view text, int32_t& width, int32_t& height) {
    const size_t x = text.find('x');
    return x != std::string_view::npos && parseNumber(text.substr(0, x), width) &&
           parseNumber(text.substr(x + 1), height) && width >= 0 && height >= 0 && (width > 0 || height > 0);
}

// Reads the options; the problem with them, or nothing when they are usable.
std::optional<std::string> parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool takesValue = arg == "--size" || arg == "--colour-mode" || arg == "--quality";
        if (takesValue && i + 1 >= argc) return std::string(arg) + " needs a value";
        if (arg == "--size") {
            const std::string_view value = argv[++i];
            if (!parseSize(value, options.width, options.height))
                return "--size " + std::string(value) + ": the size is WIDTHxHEIGHT in whole numbers, one above 0";
        } else if (arg == "--colour-mode") {
            const std::string_view value = argv[++i];
            if (!parseNumber(value, options.colourMode) || options.colourMode < 1 || options.colourMode > 3)
                return "--colour-mode " + std::string(value) + ": the colour mode is 1, 2 or 3";
        } else if (arg == "--quality") {
            const std::string_view value = argv[++i];
            if (!parseNumber(value, options.quality) || options.quality < 1 || options.quality > 10)
                return "--quality " + std::string(value) + ": the quality is 1 to 10";
        } else if (arg == "--pen-widths") {
            options.penWidths = true;
        } else if (arg == "--mask") {
            options.mask = true;
        } else if (arg == "--print") {
            options.print = true;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            return std::string(arg) + ": unknown option";
        } else if (options.drawing.empty()) {
            options.drawing = arg;
        } else {
            options.outputs.emplace_back(arg);
        }
    }
    if (options.drawing.empty()) return std::string("no drawing named");
    if (options.outputs.empty()) return options.drawing + ": no output named";
    return std::nullopt;
}

struct Format {
    std::string_view extension;
    int32_t id;
    bool raster;
};

constexpr Format kFormats[] = {
    {".svg", 1, false}, {".plt", 2, false}, {".hgl", 3, false}, {".pdf", 4, false},  {".svgz", 6, false},
    {".cgm", 7, false}, {".eps", 8, false}, {".bmp", 1, true},  {".jpg", 2, true},   {".jpeg", 2, true},
    {".gif", 3, true},  {".pcx", 4, true},
};

const Format* formatOf(const std::string& path) {
    std::string extension = GetPathExt(path);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const Format& format : kFormats) {
        if (format.extension == extension) return &format;
    }
    return nullptr;
}

// The extents printed through the print driver onto an A4 page of a PDF printer, as large as
// the page's printable area allows.
bool printExtents(CDrawingObject& drawing, const Options& options, const std::string& output) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(output));
    printer.setPageOrientation(options.width >= options.height ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    drawing.SetClientSize(options.width > 0 ? options.width : options.height,
                          options.height > 0 ? options.height : options.width);
    const HostRect rect = drawing.GetDeviceRect();
    Point3 low, high;
    drawing.DeviceToWorld(rect.left, rect.top, &low);
    drawing.DeviceToWorld(rect.right, rect.bottom, &high);
    const double unitsWide = std::abs(high.x - low.x);
    const double unitsHigh = std::abs(high.y - low.y);
    if (!(unitsWide > 0.0) || !(unitsHigh > 0.0)) return false;
    const double pixelsPerUnit = std::min(page.width() / unitsWide, page.height() / unitsHigh);
    const int32_t offsetX = int32_t((page.width() - unitsWide * pixelsPerUnit) / 2);
    const int32_t offsetY = int32_t((page.height() - unitsHigh * pixelsPerUnit) / 2);
    gdi::PainterDeviceContext dc(&printer);
    if (!dc.isActive()) return false;
    drawing.Print(&dc, low, high, 0.0, 0.0, pixelsPerUnit, 0, offsetX, offsetY, options.colourMode,
                  uint16_t(printer.resolution() / 25.4));
    dc.end();
    drawing.RestoreViewState();
    return true;
}

int run(int argc, char** argv) {
    Options options;
    if (const std::optional<std::string> problem = parseOptions(argc, argv, options)) return usage(*problem);
    for (const std::string& output : options.outputs) {
        const Format* format = formatOf(output);
        if (!format || (options.print && (format->raster || format->id != 4)))
            return usage(output + ": " + (options.print ? "--print writes .pdf files only"
                                                        : "the extension names no export format"));
    }

    CToolkitLifetime toolkit;
    if (!gSystemContext) {
        std::fprintf(stderr, "tmexport: the toolkit does not start (error %d: %s)\n", dbGetError(),
                     dbErrorMeaning(dbGetError()));
        return 1;
    }
    CDrawingObject drawing;
    if (drawing.Open(options.drawing.c_str(), nullptr, true, "") != kOpenDone) {
        std::fprintf(stderr, "tmexport: %s: %s\n", options.drawing.c_str(), drawing.GetOpenFailure().c_str());
        return 1;
    }
    drawing.SetColorMode(options.colourMode);
    drawing.SaveViewState();
    CTerminalProgress progress;
    int failed = 0;
    const int count = int(options.outputs.size());
    for (int i = 0; i < count; ++i) {
        const std::string& output = options.outputs[size_t(i)];
        const Format& format = *formatOf(output);
        progress.Start(i + 1, count, output);
        bool written = false;
        std::vector<std::string> paths;
        if (options.print) {
            written = printExtents(drawing, options, output);
            paths.push_back(output);
        } else if (format.raster) {
            written = ExportRasterImage(&drawing, options.width, options.height, 0, true, format.id, options.quality,
                                        options.mask, output);
            drawing.RestoreViewState();
            paths.push_back(ChangePathExt(output, RasterFormatExtension(format.id)));
            if (options.mask) paths.push_back(RasterMaskPath(output));
        } else {
            written = ExportVectorFile(&drawing, options.width, options.height, true, options.colourMode, format.id,
                                       options.penWidths, output, nullptr);
            paths.push_back(ChangePathExt(output, VectorFormatExtension(format.id)));
        }
        progress.Clear();
        if (!written) {
            const std::string problem = dbWriteProblem(paths.front());
            const std::string reason =
                !problem.empty() ? problem
                : format.raster && !options.print
                    ? "an image of " + std::to_string(options.width) + " x " + std::to_string(options.height) +
                          " pixels cannot be made or saved"
                    : "the export failed";
            std::fprintf(stderr, "tmexport: %s cannot be written: %s\n", paths.front().c_str(), reason.c_str());
            ++failed;
            continue;
        }
        for (const std::string& path : paths) std::printf("%s\n", path.c_str());
        std::fflush(stdout);
    }
    return failed == 0 ? 0 : 1;
}

} // namespace
} // namespace tracemill::tmexport

int main(int argc, char** argv) {
    const std::vector<std::string> given(argv + 1, argv + argc);
    for (const std::string& argument : given) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(tracemill::tmexport::kUsage, stdout);
            std::fputs("\n", stdout);
            std::fputs(tracemill::tmexport::kHelp, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (argument == "--version") {
            std::printf("tmexport %s\n", tracemill::dbVersionText());
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    tracemill::PrepareQtStart(false);
    QApplication application(argc, argv);
    // Numbers in files never follow the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    return tracemill::tmexport::run(argc, argv);
}
