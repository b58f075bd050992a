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
// Each file written is printed on a line of its own. On failure the reason goes to the error
// stream and the exit code is 1 (2 for a bad command line). Runs without a display.
#include <QApplication>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/render/conversion_calls.h"
#include "app/render/drawing_object.h"
#include "app/render/raster_export.h"
#include "app/render/toolkit_lifetime.h"
#include "app/render/vector_export.h"
#include "app/shell/file_paths.h"
#include "platform/convert/conversion_library.h"
#include "platform/gdi/painter_device_context.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/system_context.h"

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

int usage() {
    std::fprintf(stderr,
                 "usage: tmexport [--size WxH] [--colour-mode N] [--pen-widths] [--mask] [--quality N] [--print] "
                 "DRAWING OUTPUT...\n"
                 "  outputs: .svg .svgz .plt .hgl .pdf .cgm .eps .bmp .jpg .gif .pcx\n");
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

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) {
            if (!parseSize(argv[++i], options.width, options.height)) return false;
        } else if (arg == "--colour-mode" && hasValue) {
            if (!parseNumber(std::string_view(argv[++i]), options.colourMode)) return false;
        } else if (arg == "--quality" && hasValue) {
            if (!parseNumber(std::string_view(argv[++i]), options.quality) || options.quality < 1 ||
                options.quality > 10)
                return false;
        } else if (arg == "--pen-widths") {
            options.penWidths = true;
        } else if (arg == "--mask") {
            options.mask = true;
        } else if (arg == "--print") {
            options.print = true;
        } else if (arg.starts_with("--")) {
            return false;
        } else if (options.drawing.empty()) {
            options.drawing = arg;
        } else {
            options.outputs.emplace_back(arg);
        }
    }
    return !options.drawing.empty() && !options.outputs.empty();
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

std::string openFailure(int16_t result) {
    if (result == kOpenUnreadable) {
        const int error = dbGetError();
        return "the file cannot be read (error " + std::to_string(error) + ": " + dbErrorMeaning(error) + ")";
    }
    if (result == kOpenNoDisplay) return "the drawing cannot be displayed";
    const std::string reason = DWG_GetLastMessage();
    return reason.empty() ? "the conversion failed (" + std::to_string(result) + ")" : reason;
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
    if (!parseOptions(argc, argv, options)) return usage();
    for (const std::string& output : options.outputs) {
        const Format* format = formatOf(output);
        if (!format || (options.print && (format->raster || format->id != 4))) {
            std::fprintf(stderr, "tmexport: %s: %s\n", output.c_str(),
                         options.print ? "--print writes .pdf files only" : "the extension names no export format");
            return 2;
        }
    }

    CToolkitLifetime toolkit;
    if (!gSystemContext) {
        std::fprintf(stderr, "tmexport: the toolkit does not start\n");
        return 1;
    }
    CDrawingObject drawing;
    const int16_t opened = drawing.Open(options.drawing.c_str(), nullptr, true, "");
    if (opened != kOpenDone) {
        std::fprintf(stderr, "tmexport: %s: %s\n", options.drawing.c_str(), openFailure(opened).c_str());
        return 1;
    }
    drawing.SetColorMode(options.colourMode);
    drawing.SaveViewState();
    for (const std::string& output : options.outputs) {
        const Format& format = *formatOf(output);
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
        if (!written) {
            std::fprintf(stderr, "tmexport: %s cannot be written\n", output.c_str());
            return 1;
        }
        for (const std::string& path : paths) std::printf("%s\n", path.c_str());
    }
    return 0;
}

} // namespace
} // namespace tracemill::tmexport

int main(int argc, char** argv) {
    // Headless without a display.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    // Numbers in files never follow the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    return tracemill::tmexport::run(argc, argv);
}
