#include "app/render/vector_export.h"

#include <array>
#include <cstdio>
#include <memory>
#include <new>

#include "app/render/devices/output_device.h"
#include "app/render/devices/pdf_device_adapter.h"
#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/pdf/pdf_document.h"
#include "app/services/file_paths.h"
#include "app/services/language_texts.h"
#include "app/services/message_box.h"
#include "platform/fonts/host_fonts.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill {
namespace {

// Vector output flattens curves more coarsely than the screen, and glyph outlines into 3
// pieces a curve.
constexpr int32_t kVectorCurveResolution = 35;
constexpr int kVectorGlyphSegments = 3;
// A PDF page's picture stands 15 units in from each edge of its media box.
constexpr double kPdfMargin = 15.0;
constexpr int32_t kPdfMediaExtra = 30;

// The curve quality of vector output for the length of one export.
class VectorCurveQuality {
public:
    VectorCurveQuality()
        : glyphSegments_(dbSetGlyphCurveSegments(kVectorGlyphSegments)), resolution_(dbGetCurveResolution()) {
        dbSetCurveResolution(kVectorCurveResolution);
    }
    ~VectorCurveQuality() { Restore(); }
    void Restore() {
        if (restored_) return;
        dbSetCurveResolution(resolution_);
        dbSetGlyphCurveSegments(glyphSegments_);
        restored_ = true;
    }

private:
    int glyphSegments_;
    int32_t resolution_;
    bool restored_ = false;
};

// The device of an export: one of the factory's, or a PDF adapter on a page of a document.
struct ExportDevice {
    std::unique_ptr<render::CPdfDocument> ownDocument;  // a new PDF the export saves
    render::CPdfPage* page = nullptr;
    std::unique_ptr<render::COutputDevice> device;
};

bool makePdfDevice(ExportDevice& out, CDrawingObject& drawing, int32_t formatId, int32_t width, int32_t height,
                   render::CPdfDocument* document) {
    using namespace render;
    if (formatId == kFormatPdfNew && !document) {
        out.ownDocument.reset(new (std::nothrow) CPdfDocument());
        if (!out.ownDocument) return false;
        document = out.ownDocument.get();
        if (width != 0 && height != 0)
            document->GetCatalog()->GetPages()->SetMediaBox(width + kPdfMediaExtra, height + kPdfMediaExtra);
        out.page = document->GetCatalog()->GetPages()->AddPage(document->GetObjectCounter());
    } else if (document) {
        out.page = document->GetCatalog()->GetPages()->AddPage(document->GetObjectCounter());
        if (formatId == kFormatPdfNew && out.page) {
            document->AddSharedResources(out.page);
            if (CPdfOutlineItem* item = document->GetCatalog()->GetOutlines()->AddItem(document->GetObjectCounter())) {
                item->SetDest(out.page, "XYZ", 0, 0, 0, 0);
                item->SetTitle(drawing.GetActiveLayoutName().c_str());
            }
        }
    }
    if (!out.page) return false;
    CPdfContent* content = out.page->AddContent(document->GetObjectCounter());
    std::unique_ptr<CPdfDeviceAdapter> adapter(new (std::nothrow) CPdfDeviceAdapter());
    if (!content || !adapter) return false;
    adapter->SetContent(content);
    adapter->SetOrigin(kPdfMargin, kPdfMargin);
    content->SetLineWidth(0);
    out.device = std::move(adapter);
    return true;
}

} // namespace

std::string VectorFormatExtension(int32_t formatId) {
    switch (formatId) {
    case render::kFormatSvg: return ".svg";
    case render::kFormatPlt: return ".plt";
    case render::kFormatHgl: return ".hgl";
    case render::kFormatPdfNew:
    case render::kFormatPdfPage: return ".pdf";
    case render::kFormatSvgz: return ".svgz";
    case render::kFormatCgm: return ".cgm";
    case render::kFormatEps: return ".eps";
    default: return "";
    }
}

bool ExportVectorFile(CDrawingObject* drawing, int32_t width, int32_t height, bool zoomExtents, int16_t colourMode,
                      int32_t formatId, bool usePenWidths, std::string path, render::CPdfDocument* document) {
    if (!drawing) return false;
    ExportDevice made;
    if (formatId == render::kFormatPdfNew || formatId == render::kFormatPdfPage) {
        if (!makePdfDevice(made, *drawing, formatId, width, height, document)) return false;
    } else {
        made.device = render::CreateOutputDevice(formatId);
        if (!made.device) {
            ShowMessageBox(LookupText("NotSupportVecFormat", "Not support the vector format!"));
            return false;
        }
    }
    // No picture: nothing to size (a size of 0 by 0 would never fit a device scale).
    if ((width <= 0 && height <= 0) || (!zoomExtents && (width <= 0 || height <= 0))) return false;
    made.device->SetUsePenWidths(usePenWidths);
    const std::string output = ChangePathExt(path, VectorFormatExtension(formatId));

    ExportProgress progress;
    progress.Begin();
    VectorCurveQuality quality;
    dbSetDisplayListMode(0);
    drawing->ResetViewCache();

    // A side of 0 takes the scale the other side asks for.
    FitDeviceScale(width > 0 ? width : height, height > 0 ? height : width);
    const double scale = GetDeviceScale();
    width = RoundedSize(width, scale);
    height = RoundedSize(height, scale);

    if (zoomExtents) {
        progress.Message("1 / 2 " + LookupText("ZoomingExt", "Zooming extend ..."));
        progress.AbortHook(false);
        if (width == 0 || height == 0) {
            drawing->FitSizeToExtents(&width, &height);
            if (made.page) made.page->SetMediaBox(int32_t(width / scale) + kPdfMediaExtra,
                                                  int32_t(height / scale) + kPdfMediaExtra);
        }
        progress.AbortHook(true);
        drawing->SetClientSize(width, height);
        progress.AbortHook(false);
        if (progress.Stopped()) {
            // Stopped before anything was drawn: no file (an older one at the output goes too).
            std::remove(output.c_str());
            dbSetDisplayListMode(1);
            drawing->BeginDisplay();
            drawing->RestoreViewState();
            made.device.reset();
            progress.End();
            return true;
        }
    }
    drawing->SetColorMode(colourMode);
    drawing->DetachWindow();
    progress.Message((zoomExtents ? std::string("2 / 2 ") : std::string()) +
                     LookupText("RegenDrawing", "Regenerating drawing..."));
    progress.AbortHook(true);
    bool written = drawing->ExportToDevice(output.c_str(), width, height, made.device.get()) != 0;
    quality.Restore();
    progress.AbortHook(false);
    dbSetDisplayListMode(1);
    drawing->BeginDisplay();
    drawing->RestoreViewState();
    if (made.ownDocument) written = written && made.ownDocument->Save(output.c_str());
    made.device.reset();
    if (progress.Stopped()) std::remove(output.c_str());
    progress.End();
    return written;
}

} // namespace tracemill
