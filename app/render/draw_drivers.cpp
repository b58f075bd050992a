// The drivers of a drawing object: one pass of the entity walk onto a device context (a back
// buffer or a bitmap), onto one paper layout drawn whole, onto a printer page, or into an
// output device. Each saves what it changes, fits the view to its target, runs the walk inside
// a region that catches every exception and undoes its changes afterwards.
#include <cmath>
#include <utility>

#include "app/render/devices/output_device.h"
#include "app/render/draw_abort_hook.h"
#include "app/render/drawing_object.h"
#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "app/render/pen_width_table.h"
#include "platform/fonts/host_fonts.h"
#include "platform/gdi/device_context.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_interface.h"

namespace tracemill {
namespace {

// The background index of paper: white paper, black ink.
constexpr uint16_t kPaperBackground = 7;
constexpr double kMillimetresPerInch = 25.4;
// Printing flattens curves as finely as the toolkit allows and glyph outlines into 8 pieces.
constexpr int32_t kPrintCurveResolution = 100;
constexpr int kPrintGlyphSegments = 8;

} // namespace

int32_t RoundedSize(double units, double factor) {
    const double size = units * factor + 0.5;
    if (!(size > 0.0)) return 0;
    if (size >= 2147483647.0) return 2147483647;
    return int32_t(size);
}

void CDrawingObject::CopyDeviceRectToOutputState() const {
    GdiOutputState& state = GetGdiOutputState();
    state.clip = {deviceRect_.left, deviceRect_.top, deviceRect_.right, deviceRect_.bottom};
    state.width = deviceRect_.right;
    state.height = deviceRect_.bottom;
}

void CDrawingObject::StartPassState(int32_t penWidth) const {
    GdiOutputState& state = GetGdiOutputState();
    state.penWidth = penWidth;
    state.lineWeightFlag = header_ ? header_->lwdisplay : 0;
    CopyDeviceRectToOutputState();
}

bool CDrawingObject::RunWalk(gdi::DeviceContext& dc, bool print, int32_t originY) {
    GdiOutputState& state = GetGdiOutputState();
    SavedMapping& saved = state.targetMapping;
    // While the DC hook set draws into a mask it maps each primitive itself.
    const bool mapped = print || !state.mask;
    try {
        StoreDrawingFolder();
        if (mapped) saved.mapMode = dc.setMapMode(gdi::MapMode::Anisotropic);
        saved.windowExt = dc.windowExt();
        dc.setWindowExt({saved.windowExt.cx, -saved.windowExt.cy});
        saved.windowOrg = dc.setWindowOrg({0, originY});
        genDrawDrawing(drawing_);
        if (mapped) dc.setWindowOrg(saved.windowOrg);
        dc.setWindowExt(saved.windowExt);
        dc.setMapMode(saved.mapMode);
    } catch (...) {
        return false;
    }
    return true;
}

int16_t CDrawingObject::DrawToDC(gdi::DeviceContext* dc, int32_t width, int32_t height, bool keepView,
                                 bool drawUcsIcon, bool paper, int32_t penWidth) {
    if (width <= 1 || height <= 1) return 0;
    GdiOutputState& state = GetGdiOutputState();
    state.target = dc;
    if (!openFlag_ || !dc) return 0;
    const HostRect keptRect = deviceRect_;
    if (keepView) PushViewHistory();
    SetBackgroundColorIndex(IsPaperLayoutCurrent() ? kPaperBackground : GetApplicationBackgroundColor());
    state.colorIndex = kNoColorSelected;
    SetPassDeviceRect(width, height);
    FitViewToAspect(double(deviceRect_.bottom) / double(deviceRect_.right));
    RebuildPenCache(penWidth, *palette_);
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    dc->setPolyFillMode(gdi::FillMode::Winding);
    PrepareView();
    StartPassState(penWidth);
    DrawPaperBackground(*dc, width, height, paper);
    dbSetHostContext(drawing_, this);
    RunWalk(*dc, false, deviceRect_.bottom);
    if (drawUcsIcon) DrawUcsIcon(*dc, width, height);
    dbSetHostContext(drawing_, nullptr);
    if (keepView) {
        deviceRect_ = keptRect;
        CopyDeviceRectToOutputState();
        ZoomPrevious();
        lastViewWidth_ = view_.width;
        lastViewHeight_ = view_.height;
    }
    return 0;
}

int16_t CDrawingObject::DrawToMappedDC(gdi::DeviceContext* dc, int32_t layout, double pixelsPerUnit,
                                       int32_t penWidth) {
    const int32_t keptLayout = currentLayout_;
    const bool abortHook = GetDrawAbortHook();
    if (layout == -1) layout = currentLayout_;
    if (layoutCount_ < 2 || layout < 1 || layout >= layoutCount_ || !openFlag_ || !dc) return 0;

    GdiOutputState& state = GetGdiOutputState();
    state.target = dc;
    const HostRect keptRect = deviceRect_;
    PushViewHistory();
    std::vector<ViewBlock> keptHistory = std::move(viewHistory_);
    viewHistory_.clear();
    state.colorIndex = kNoColorSelected;

    SetActiveLayout(layout);
    // Making a layout active installs the screen set: the DC set goes back on its mask.
    if (state.mask) SetDcOutputHooks(true, state.mask);
    double plot[8] = {};
    GetLayoutPlotSettings(layout, plot);
    const double paperWidth = plot[6];
    const double paperHeight = plot[7];
    const int32_t width = RoundedSize(paperWidth, pixelsPerUnit);
    const int32_t height = RoundedSize(paperHeight, pixelsPerUnit);
    SetPassDeviceRect(width, height);
    lastViewWidth_ = view_.width = paperWidth;
    lastViewHeight_ = view_.height = paperHeight;
    view_.target = {(plot[0] + plot[3]) / 2.0, (plot[1] + plot[4]) / 2.0, 0.0, 1.0};
    view_.direction = {0.0, 0.0, 1.0, 0.0};
    view_.up = {0.0, 1.0, 0.0, 0.0};
    FitViewToAspect(double(deviceRect_.bottom) / double(deviceRect_.right));

    SetBackgroundColorIndex(kPaperBackground);
    state.colorIndex = kNoColorSelected;
    if (colorMode_ == kColorModeBlackWhite) {
        state.penCache[0].pen = SolidPen(0, gdi::rgb(0, 0, 0));
        state.penCache[0].brush = SolidBrush(gdi::rgb(0, 0, 0));
    } else {
        RebuildPenCache(penWidth, *palette_);
    }
    dc->setPolyFillMode(gdi::FillMode::Winding);
    ResetViewCache();
    PrepareView();
    StartPassState(penWidth);
    const gdi::Pen oldPen = dc->selectPen(state.whitePen);
    const gdi::Brush oldBrush = dc->selectBrush(state.whiteBrush);
    dc->rectangle({0, 0, width, height});
    dc->selectPen(oldPen);
    dc->selectBrush(oldBrush);

    dbSetHostContext(drawing_, this);
    SetDrawAbortHook(abortHook);
    RunWalk(*dc, false, deviceRect_.bottom);
    SetDrawAbortHook(false);
    dbSetHostContext(drawing_, nullptr);
    dbSetDisplayListMode(1);
    SetActiveLayout(keptLayout);
    viewHistory_ = std::move(keptHistory);
    deviceRect_ = keptRect;
    CopyDeviceRectToOutputState();
    ZoomPrevious();
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    ResetViewCache();
    return 0;
}

int16_t CDrawingObject::Print(gdi::DeviceContext* dc, const Point3& corner1, const Point3& corner2, double, double,
                              double pixelsPerUnit, int16_t rotation, int32_t offsetX, int32_t offsetY,
                              int16_t colourMode, uint16_t pixelsPerMm) {
    GdiOutputState& state = GetGdiOutputState();
    state.target = dc;
    if (!openFlag_ || !dc) return 0;
    const HostRect keptRect = deviceRect_;
    PushViewHistory();
    const int16_t keptMode = colorMode_;

    dbSetDisplayListMode(0);
    SaveViewState();
    BeginDisplay();
    RestoreViewState();
    state.printRotation = rotation;
    state.printOffsetX = offsetX;
    state.printOffsetY = offsetY;
    InstallPrintHooks();

    gdi::Point p1, p2;
    WorldToDevice(&corner1, &p1.x, &p1.y);
    WorldToDevice(&corner2, &p2.x, &p2.y);
    CentreViewOnRect(&p1, &p2, &view_);
    SizeViewToWindow(p1, p2);
    const int32_t width = RoundedSize(view_.width, pixelsPerUnit);
    const int32_t height = RoundedSize(view_.height, pixelsPerUnit);
    SetPassDeviceRect(width, height);
    FitViewToAspect(double(height) / double(width));

    SetBackgroundColorIndex(kPaperBackground);
    SetColorMode(colourMode);
    state.colorIndex = kNoColorSelected;
    // The pen table's widths are inches; printer pens are pixels.
    PenWidthTable& pens = GetPenWidthTable();
    for (PenWidthEntry& entry : pens) {
        entry.printWidth = int32_t(entry.exportWidth * kMillimetresPerInch * double(pixelsPerMm));
    }
    for (uint16_t i = 0; i < kPenCacheSlots; ++i) {
        const PenWidthEntry& entry = pens[i];
        const int16_t mapped = entry.mappedColorIndex;
        const size_t colourIndex = mapped >= 0 && size_t(mapped) < kColorIndexCount ? size_t(mapped) : i;
        const gdi::ColorRef colour = (*palette_)[colourIndex];
        state.penCache[i] = {SolidPen(entry.printWidth, colour), SolidBrush(colour), i};
    }

    dc->setPolyFillMode(gdi::FillMode::Winding);
    PrepareView();
    StartPassState(state.penWidth);
    state.printOutput = 1;
    const int keptGlyphSegments = dbSetGlyphCurveSegments(kPrintGlyphSegments);
    const int32_t keptResolution = dbGetCurveResolution();
    dbSetCurveResolution(kPrintCurveResolution);

    dbSetHostContext(drawing_, this);
    RunWalk(*dc, true, rotation == 1 || rotation == 3 ? deviceRect_.right : deviceRect_.bottom);

    dbSetCurveResolution(keptResolution);
    dbSetGlyphCurveSegments(keptGlyphSegments);
    state.printOutput = 0;
    dbSetHostContext(drawing_, nullptr);
    InstallScreenHooks();
    dbSetDisplayListMode(1);

    SaveViewState();
    BeginDisplay();
    RestoreViewState();
    deviceRect_ = keptRect;
    CopyDeviceRectToOutputState();
    ZoomPrevious();
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    SetColorMode(keptMode);
    ResetViewCache();
    PrepareView();
    return 0;
}

int32_t CDrawingObject::ExportToDevice(const char* fileName, int32_t width, int32_t height,
                                       render::COutputDevice* device) {
    if (width < 1 || height < 1 || !device || !openFlag_) return 0;
    const double scale = GetDeviceScale();
    if (!device->Begin("", fileName, "", double(width) / scale, double(height) / scale)) {
        InstallScreenHooks();
        return 0;
    }
    GdiOutputState& state = GetGdiOutputState();
    SetBackgroundColorIndex(kPaperBackground);
    state.colorIndex = kNoColorSelected;
    SetPassDeviceRect(width, height);
    FitViewToAspect(double(deviceRect_.bottom) / double(deviceRect_.right));
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    PrepareView();
    StartPassState(state.penWidth);

    DeviceHostContext host{this, device};
    InstallDeviceHooks();
    dbSetHostContext(drawing_, &host);
    bool drawn = true;
    try {
        StoreDrawingFolder();
        DrawSheetThroughHooks();
        genDrawDrawing(drawing_);
    } catch (...) {
        drawn = false;
    }
    dbSetHostContext(drawing_, nullptr);
    InstallScreenHooks();
    // A walk that failed leaves its device unfinished: no part of a picture is written.
    return drawn && device->End() ? 1 : 0;
}

void CDrawingObject::SizeViewToWindow(const gdi::Point& p1, const gdi::Point& p2) {
    const double w = double(std::abs(p2.x - p1.x)) * view_.width / double(deviceRect_.right);
    const double h = double(std::abs(p2.y - p1.y)) * view_.height / double(deviceRect_.bottom);
    view_.width = lastViewWidth_ = w;
    view_.height = lastViewHeight_ = h;
}

} // namespace tracemill
