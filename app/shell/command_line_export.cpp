// Export of one drawing of the command line: opened into the run's drawing object, put on the
// asked layout (or each layout in turn) and written as a raster image, a vector file or pages
// of a PDF document.
#include <cstdio>
#include <new>

#include "app/render/drawing_object.h"
#include "app/render/pdf/pdf_document.h"
#include "app/render/raster_export.h"
#include "app/render/screen_colors.h"
#include "app/render/vector_export.h"
#include "app/shell/app_settings.h"
#include "app/shell/command_line.h"
#include "app/services/file_paths.h"
#include "toolkit/core/file_problems.h"

namespace tracemill {
namespace {

constexpr int32_t kEveryLayout = -2;
// A PDF page stands this much larger than its picture.
constexpr int32_t kPdfPageExtra = 30;
// Sizes as whole device units (truncated), within the range the drivers take.
int32_t exportSize(double size) { return size >= 2147483647.0 ? 2147483647 : int32_t(size); }

// The background colour of raster images for the length of one drawing's export.
class ScopedRasterBackground {
public:
    explicit ScopedRasterBackground(uint16_t index) {
        CAppSettings* settings = CAppSettings::Get();
        saved_ = settings ? settings->GetBackgroundColor() : GetApplicationBackgroundColor();
        Set(index);
    }
    ~ScopedRasterBackground() { Set(saved_); }
    ScopedRasterBackground(const ScopedRasterBackground&) = delete;
    ScopedRasterBackground& operator=(const ScopedRasterBackground&) = delete;

private:
    static void Set(uint16_t index) {
        if (CAppSettings* settings = CAppSettings::Get()) {
            settings->SetBackgroundColor(index);
        } else {
            SetBackgroundColorIndex(index);
            SetApplicationBackgroundColor(index);
        }
    }
    uint16_t saved_;
};

} // namespace

bool CCommandLine::SizeAllowed() const {
    const bool noWidth = settings_.width == 0.0;
    const bool noHeight = settings_.height == 0.0;
    if (noWidth && noHeight) return false;
    if (noWidth || noHeight) return settings_.zoomExtents && settings_.format != kFormatCombinedPdf;
    return true;
}

bool CCommandLine::OpenForExport(const std::string& path) {
    if (!drawing_) drawing_.reset(new (std::nothrow) CDrawingObject);
    const int16_t opened = drawing_ ? drawing_->Open(path.c_str(), nullptr, false, "") : kOpenUnreadable;
    if (opened != kOpenDone || !drawing_->IsOpen()) {
        const std::string reason = drawing_ ? drawing_->GetOpenFailure() : std::string("there is no memory for it");
        Report(kCommandLineOpenFailed, path, reason.empty() ? "it cannot be read" : reason);
        return false;
    }
    if (drawing_->GetLayoutCount() == 0) {
        drawing_->SetActiveLayout(0);
    } else if (settings_.layout >= 0) {
        drawing_->SetActiveLayout(settings_.layout);
    }
    drawing_->SaveViewState();
    return true;
}

std::string CCommandLine::WriteFailure(const std::string& output) const {
    const std::string problem = dbWriteProblem(output);
    return output + " cannot be written" + (problem.empty() ? std::string() : ": " + problem);
}

void CCommandLine::ConvertDrawing(const std::string& path) {
    if (!SizeAllowed()) {
        const bool oneSide = settings_.width != 0.0 || settings_.height != 0.0;
        Report(kCommandLineNoSize, path,
               !oneSide ? "the width and the height are 0; give /w and /h above 0"
               : settings_.format == kFormatCombinedPdf
                   ? "the width or the height is 0, which the combined PDF (/f 105) cannot take"
                   : "the width or the height is 0, which only /e allows (the other side then follows the extents)");
        return;
    }
    if (settings_.format > 100) {
        ExportVector(path);
    } else {
        ExportRaster(path);
    }
}

void CCommandLine::ExportVector(const std::string& path) {
    const int32_t width = exportSize(settings_.width);
    const int32_t height = exportSize(settings_.height);
    if (settings_.format == kFormatCombinedPdf && combinedDocument_)
        combinedDocument_->GetCatalog()->GetPages()->SetMediaBox(exportSize(settings_.width + kPdfPageExtra),
                                                                 exportSize(settings_.height + kPdfPageExtra));
    if (!OpenForExport(path)) return;
    const int32_t deviceFormat = settings_.format - 100;
    render::CPdfDocument* combined = settings_.format == kFormatCombinedPdf ? combinedDocument_.get() : nullptr;
    const auto exportTo = [&](const std::string& output, render::CPdfDocument* document) {
        const bool written = ExportVectorFile(drawing_.get(), width, height, settings_.zoomExtents,
                                              settings_.colorMode, deviceFormat, false, output, document);
        if (written) {
            WriteCode(kCommandLineDone);
        } else if (document) {
            Report(kCommandLineVectorFailed, path, "its page of the PDF document cannot be made");
        } else {
            Report(kCommandLineVectorFailed, path, WriteFailure(ChangePathExt(output, VectorFormatExtension(deviceFormat))));
        }
    };
    if (settings_.layout != kEveryLayout) {
        exportTo(path, combined);
        return;
    }

    // Every layout: a file each, or a page each of one PDF document.
    std::unique_ptr<render::CPdfDocument> ownDocument;
    if (settings_.format == kFormatPdf) {
        ownDocument.reset(new (std::nothrow) render::CPdfDocument);
        if (!ownDocument) {
            Report(kCommandLineVectorFailed, path, "there is no memory for its PDF document");
            return;
        }
        if (width != 0 && height != 0)
            ownDocument->GetCatalog()->GetPages()->SetMediaBox(exportSize(settings_.width + kPdfPageExtra),
                                                               exportSize(settings_.height + kPdfPageExtra));
    }
    render::CPdfDocument* document = ownDocument ? ownDocument.get() : combined;
    const std::string base = GetPathFolder(path) + GetPathTitle(path);
    const std::string extension = GetPathExt(path);
    const int32_t count = drawing_->GetLayoutCount() > 0 ? drawing_->GetLayoutCount() : 2;
    for (int32_t layout = 0; layout < count; ++layout) {
        drawing_->SetActiveLayout(layout);
        drawing_->SaveViewState();
        const std::string output =
            document ? path : base + "-" + LayoutNameForFileName(drawing_->GetActiveLayoutName()) + extension;
        exportTo(output, document);
    }
    if (ownDocument) {
        const std::string output = ChangePathExt(path, ".pdf");
        if (!ownDocument->Save(output.c_str())) Report(kCommandLineVectorFailed, path, WriteFailure(output));
    }
}

void CCommandLine::ExportRaster(const std::string& path) {
    if (!OpenForExport(path)) return;
    drawing_->SetColorMode(settings_.colorMode);
    ScopedRasterBackground background(uint16_t(settings_.backgroundColor));
    const auto exportTo = [&](const std::string& output) {
        const int32_t width = exportSize(settings_.width);
        const int32_t height = exportSize(settings_.height);
        const bool written = ExportRasterImage(drawing_.get(), width, height, 0, settings_.zoomExtents,
                                               settings_.format, settings_.jpegQuality, settings_.maskFile, output);
        if (written) {
            WriteCode(kCommandLineDone);
            return;
        }
        const std::string file = ChangePathExt(output, RasterFormatExtension(settings_.format));
        const std::string problem = dbWriteProblem(file);
        Report(kCommandLineRasterFailed, path,
               file + " cannot be written: " +
                   (!problem.empty() ? problem
                                     : "an image of " + std::to_string(width) + " x " + std::to_string(height) +
                                           " pixels cannot be made or saved; a smaller /w and /h may do"));
    };
    if (settings_.layout != kEveryLayout || drawing_->GetLayoutCount() == 0) {
        exportTo(path);
        return;
    }
    const std::string base = GetPathFolder(path) + GetPathTitle(path);
    const std::string extension = GetPathExt(path);
    for (int32_t layout = 0; layout < drawing_->GetLayoutCount(); ++layout) {
        drawing_->SetActiveLayout(layout);
        drawing_->SaveViewState();
        exportTo(base + "-" + LayoutNameForFileName(drawing_->GetActiveLayoutName()) + extension);
    }
}

} // namespace tracemill
