#include "app/render/raster_export.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/image/dib.h"
#include "app/image/dib_device_context.h"
#include "app/image/gif_file.h"
#include "app/image/jpeg_file.h"
#include "app/image/pcx_file.h"
#include "app/render/drawing_object.h"
#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "app/services/file_paths.h"
#include "app/services/language_texts.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill {
namespace {

const Palette& paletteOfMode(int16_t colourMode) {
    if (colourMode == kColorModeBlackWhite) return GetMonoDibPalette();
    if (colourMode == kColorModeGray) return GetGrayDibPalette();
    return GetColorDibPalette();
}

// The bitmaps of one export: the image and, when asked, its mask, each with the device
// context drawing into it. The DC hook set draws into the mask while it exists; the GDI
// output state forgets both contexts before they go.
class RasterTarget {
public:
    ~RasterTarget() { Release(); }

    // The image (1 bit in black and white except for GIF, else 8 bits, with the colour mode's
    // table) and the mask (1 bit, cleared to black, the DC hook set drawing into it).
    bool Create(int32_t width, int32_t height, int16_t colourMode, int32_t formatId, bool withMask) {
        const int bits = colourMode == kColorModeBlackWhite && formatId != kRasterGif ? 1 : 8;
        if (width <= 0 || height <= 0 || !image_.Create(width, height, bits)) return false;
        image_.SetPaletteEntries(paletteOfMode(colourMode));
        if (withMask) {
            if (!mask_.Create(width, height, 1)) return false;
            mask_.SetPaletteEntries(GetMonoDibPalette());
            maskDc_.emplace(mask_);
            SetDcOutputHooks(true, &*maskDc_);
            FillDcBlack(*maskDc_, width, height);
        }
        return true;
    }
    gdi::DeviceContext* BeginImage() {
        imageDc_.emplace(image_);
        return &*imageDc_;
    }
    // Ends drawing: the pixels go into the bitmaps.
    void Finish() {
        if (imageDc_) imageDc_->Finish();
        if (maskDc_) maskDc_->Finish();
    }
    // Writes the image with its format's writer and the mask beside it; when either cannot be
    // written, neither is left.
    bool Write(int32_t formatId, int32_t quality, const std::string& path) {
        const std::string output = ChangePathExt(path, RasterFormatExtension(formatId));
        bool written = false;
        switch (formatId) {
        case kRasterBmp: written = image_.Save(output); break;
        case kRasterJpeg: written = JpegFile().Save(output, &image_, true, quality * 10); break;
        case kRasterGif: written = CGifFile().Save(output, &image_); break;
        case kRasterPcx: written = CPcxFile().Save(output, &image_); break;
        default: return false;
        }
        if (!written || mask_.IsEmpty()) return written;
        if (mask_.ChangeBitCount(1) && mask_.Save(RasterMaskPath(path))) return true;
        std::remove(output.c_str());
        return false;
    }
    void Release() {
        SetDcOutputHooks(false, nullptr);
        GdiOutputState& state = GetGdiOutputState();
        if (imageDc_ && state.target == &*imageDc_) state.target = nullptr;
        imageDc_.reset();
        maskDc_.reset();
    }

private:
    CDib image_;
    CDib mask_;
    std::optional<DibDeviceContext> imageDc_;
    std::optional<DibDeviceContext> maskDc_;
};

std::string stepMessage(int step, int steps, const char* key, const char* english) {
    return std::to_string(step) + " / " + std::to_string(steps) + " " + LookupText(key, english);
}

// After the pass: stopped (the bitmaps dropped, nothing written), or the bitmaps finished and
// written as the last of `steps` steps.
struct PassEnd {
    bool stopped = false;
    bool written = false;
};
PassEnd endPass(RasterTarget& target, ExportProgress& progress, int steps, int32_t formatId, int32_t quality,
                const std::string& path) {
    progress.AbortHook(false);
    if (progress.Stopped()) {
        target.Release();
        return {true, false};
    }
    progress.EnableStop(false);
    target.Finish();
    progress.Message(stepMessage(steps, steps, "SaveRaster", "Saving to raster file..."));
    progress.ShowBar(false);
    const bool written = target.Write(formatId, quality, path);
    target.Release();
    return {false, written};
}

} // namespace

std::string RasterFormatExtension(int32_t formatId) {
    switch (formatId) {
    case kRasterBmp: return ".bmp";
    case kRasterJpeg: return ".jpg";
    case kRasterGif: return ".gif";
    case kRasterPcx: return ".pcx";
    default: return "";
    }
}

std::string RasterMaskPath(const std::string& path) { return ChangePathExt(path, "") + "_mask.bmp"; }

bool ExportRasterImage(CDrawingObject* drawing, int32_t width, int32_t height, int32_t penWidth, bool zoomExtents,
                       int32_t formatId, int32_t quality, bool mask, std::string path) {
    if (!drawing || (width == 0 && height == 0) || (!zoomExtents && (width == 0 || height == 0))) return false;
    // A format without a writer writes nothing at all, mask included.
    if (RasterFormatExtension(formatId).empty()) return false;
    ExportProgress progress;
    progress.Begin();
    dbSetDisplayListMode(0);
    drawing->ResetViewCache();
    const int steps = zoomExtents ? 4 : 3;
    int step = 1;
    auto leave = [&](bool result) {
        dbSetDisplayListMode(1);
        drawing->BeginDisplay();
        SetDcOutputHooks(false, nullptr);
        progress.End();
        return result;
    };

    if (zoomExtents) {
        progress.Message(stepMessage(step++, steps, "ZoomingExt", "Zooming extend ..."));
        progress.AbortHook(false);
        if (width == 0 || height == 0) drawing->FitSizeToExtents(&width, &height);
        progress.AbortHook(true);
        drawing->SetClientSize(width, height);
        progress.AbortHook(false);
        if (progress.Stopped()) return leave(true);
    }
    progress.Message(stepMessage(step++, steps, "AlloctMemory", "Allocating memory..."));
    progress.ShowBar(false);
    progress.AbortHook(false);
    RasterTarget target;
    if (!target.Create(width, height, drawing->GetColorMode(), formatId, mask)) {
        target.Release();
        return leave(false);
    }
    gdi::DeviceContext* imageDc = target.BeginImage();
    drawing->DetachWindow();
    drawing->ResetViewCache();

    progress.Message(stepMessage(step++, steps, "RegenDrawing", "Regenerating drawing..."));
    progress.SetPos(0);
    progress.ShowBar(true);
    progress.AbortHook(true);
    // A paper layout is drawn on its sheet, as the screen shows it.
    drawing->DrawToDC(imageDc, width, height, false, false, drawing->IsPaperLayoutCurrent(), penWidth);
    const PassEnd end = endPass(target, progress, steps, formatId, quality, path);
    return leave(end.stopped || end.written);
}

bool ExportLayoutRasterImage(CDrawingObject* drawing, int32_t width, int32_t height, int32_t layout,
                             double pixelsPerUnit, int32_t penWidth, int32_t formatId, int32_t quality, bool mask,
                             std::string path) {
    if (!drawing || width == 0 || height == 0) return false;
    if (RasterFormatExtension(formatId).empty()) return false;
    drawing->SaveViewState();
    drawing->BeginDisplay();
    ExportProgress progress;
    progress.Message(stepMessage(1, 3, "AlloctMemory", "Allocating memory..."));
    progress.EnableStop(true);
    progress.ShowBar(false);
    progress.Begin();
    auto leave = [&](bool result) {
        dbSetDisplayListMode(1);
        drawing->BeginDisplay();
        SetDcOutputHooks(false, nullptr);
        drawing->RestoreViewState();
        drawing->ResetViewCache();
        progress.End();
        return result;
    };

    RasterTarget target;
    if (!target.Create(width, height, drawing->GetColorMode(), formatId, mask)) {
        target.Release();
        drawing->RestoreViewState();
        progress.End();
        return false;
    }
    drawing->ResetViewCache();
    progress.Message(stepMessage(2, 3, "RegenDrawing", "Regenerating drawing..."));
    progress.SetPos(0);
    gdi::DeviceContext* imageDc = target.BeginImage();
    drawing->ResetViewCache();
    drawing->DetachWindow();
    progress.AbortHook(true);
    drawing->DrawToMappedDC(imageDc, layout, pixelsPerUnit, penWidth);
    const PassEnd end = endPass(target, progress, 3, formatId, quality, path);
    return leave(end.stopped || end.written);
}

} // namespace tracemill
