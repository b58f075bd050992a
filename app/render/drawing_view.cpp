// The view of a drawing object: device and world points, zoom and pan with the view history,
// the extents, the client size and the view state kept around an export or a print.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "app/render/drawing_object.h"
#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "app/render/plot_area.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/view_navigation.h"
#include "toolkit/display/display_interface.h"

namespace tracemill {
namespace {

constexpr double kZoomInFactor = 0.8;
constexpr double kZoomOutFactor = 1.25;
// A pan moves the view by this part of its width or height.
constexpr double kPanStep = 0.2;
// The sheet a client size is first fitted to before the extents are taken (A3 in millimetres).
constexpr double kSheetWidth = 420.0;
constexpr double kSheetHeight = 297.0;
// An extent of 0 counts as this much.
constexpr double kLeastExtent = 0.001;
constexpr int32_t kLeastFittedSize = 2;
// The extents of a zoom are measured on a device up to 1,000 times finer than the client, of
// at most about 100,000,000 units across.
constexpr int64_t kFineDeviceSize = 100000000;
constexpr int64_t kMostFineness = 1000;

// A size completed from the other one, truncated, at least 2, and never beyond what an int
// holds (a very wide drawing asked for at a given height).
int32_t completedSize(double value) {
    if (!(value < double(std::numeric_limits<int32_t>::max()))) return std::numeric_limits<int32_t>::max();
    return std::max(kLeastFittedSize, int32_t(value));
}

// A device coordinate + 0.5, truncated; points beyond the 32-bit range (a far corner of a
// damaged layout) stay at its ends instead of wrapping.
int32_t devicePixel(double value) {
    const double v = value + 0.5;
    if (std::isnan(v)) return 0;
    if (v >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (v <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return int32_t(v);
}

} // namespace

void CDrawingObject::DeviceToWorld(int32_t x, int32_t y, Point3* world) const {
    if (world) dbDeviceToWorld(drawing_, Point2{double(x), double(y)}, *world);
}

void CDrawingObject::WorldToDevice(const Point3* world, int32_t* x, int32_t* y) const {
    if (!world) return;
    Point2 device;
    dbWorldToDevice(drawing_, *world, device);
    if (x) *x = devicePixel(device.x);
    if (y) *y = devicePixel(device.y);
}

void CDrawingObject::ResetViewCache() {
    if (openFlag_) genResetViewCache(drawing_);
}

void CDrawingObject::ScaleView(double factor, bool pushHistory) {
    if (!openFlag_) return;
    if (pushHistory) PushViewHistory();
    view_.width *= factor;
    view_.height *= factor;
    lastViewWidth_ *= factor;
    lastViewHeight_ *= factor;
}

void CDrawingObject::ScaleViewAt(int32_t x, int32_t y, double factor, bool pushHistory) {
    if (!openFlag_) return;
    if (pushHistory) PushViewHistory();
    const gdi::Point cursor{x, deviceRect_.bottom - y};
    Point3 underCursor;
    DeviceToWorld(cursor.x, cursor.y, &underCursor);
    ScaleView(factor, false);
    PrepareView();
    gdi::Point now;
    WorldToDevice(&underCursor, &now.x, &now.y);
    PanByPixels(&now, &cursor, &view_);
    PrepareView();
}

void CDrawingObject::ZoomIn(bool pushHistory) { ScaleView(kZoomInFactor, pushHistory); }
void CDrawingObject::ZoomOut(bool pushHistory) { ScaleView(kZoomOutFactor, pushHistory); }
void CDrawingObject::ZoomInAt(int32_t x, int32_t y, bool pushHistory) { ScaleViewAt(x, y, kZoomInFactor, pushHistory); }
void CDrawingObject::ZoomOutAt(int32_t x, int32_t y, bool pushHistory) {
    ScaleViewAt(x, y, kZoomOutFactor, pushHistory);
}

void CDrawingObject::PanByParts(double widthParts, double heightParts) {
    if (!openFlag_) return;
    PushViewHistory();
    dbViewPan(view_, lastViewWidth_ * widthParts, lastViewHeight_ * heightParts);
}

void CDrawingObject::PanRight() { PanByParts(kPanStep, 0.0); }
void CDrawingObject::PanLeft() { PanByParts(-kPanStep, 0.0); }
void CDrawingObject::PanUp() { PanByParts(0.0, kPanStep); }
void CDrawingObject::PanDown() { PanByParts(0.0, -kPanStep); }

void CDrawingObject::Pan(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool pushHistory) {
    if (!openFlag_) return;
    if (pushHistory) PushViewHistory();
    const gdi::Point from{x1, deviceRect_.bottom - y1};
    const gdi::Point to{x2, deviceRect_.bottom - y2};
    PanByPixels(&from, &to, &view_);
    PrepareView();
}

void CDrawingObject::ZoomWindow(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!openFlag_) return;
    PushViewHistory();
    y1 = deviceRect_.bottom - y1;
    y2 = deviceRect_.bottom - y2;
    const gdi::Point low{std::min(x1, x2), std::min(y1, y2)};
    const gdi::Point high{std::max(x1, x2), std::max(y1, y2)};
    if (high.x > low.x && high.y > low.y) {
        CentreViewOnRect(&low, &high, &view_);
        FitViewToRect(&low, &high, &view_);
    }
    PrepareView();
}

int16_t CDrawingObject::PushViewHistory() {
    try {
        viewHistory_.push_back(view_);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

int16_t CDrawingObject::ZoomPrevious() {
    if (viewHistory_.empty()) return 0;
    view_ = viewHistory_.back();
    viewHistory_.pop_back();
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    PrepareView();
    return 1;
}

double CDrawingObject::GetExtentsAspect() {
    if (!openFlag_) return 1.0;
    genGetViewBlock(drawing_, view_);
    InstallExtentsHooks();
    StoreDrawingFolder();
    PrepareView();
    genDrawDrawing(drawing_);
    const ExtentsState& extents = GetExtentsState();
    // A drawing that draws nothing has no extents: it is taken as square.
    if (extents.firstPoint) {
        InstallScreenHooks();
        return 1.0;
    }
    double width = double(extents.maxX) - double(extents.minX);
    double height = double(extents.maxY) - double(extents.minY);
    SetClientSize(int32_t(std::min(width, double(std::numeric_limits<int32_t>::max()))),
                  int32_t(std::min(height, double(std::numeric_limits<int32_t>::max()))));
    InstallScreenHooks();
    if (width == 0.0) width = kLeastExtent;
    if (height == 0.0) height = kLeastExtent;
    return width / height;
}

void CDrawingObject::FitSizeToExtents(int32_t* width, int32_t* height) {
    if (!width || !height) return;
    const double aspect = GetExtentsAspect();
    if (*width == 0) *width = completedSize(double(*height) * aspect);
    else if (*height == 0) *height = completedSize(double(*width) / aspect);
}

void CDrawingObject::SetClientSize(int32_t cx, int32_t cy) {
    if (!openFlag_ || cx <= 0 || cy <= 0) return;
    deviceRect_ = {0, 0, cx, cy};
    const double ratio = double(cy) / double(cx);
    if (ratio * kSheetWidth <= kSheetHeight) {
        view_.height = kSheetHeight;
        view_.width = kSheetHeight / ratio;
    } else {
        view_.width = kSheetWidth;
        view_.height = ratio * kSheetWidth;
    }
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    // The extents are measured on a device of the same shape but finer, so that the view of
    // the extents holds them to a small part of a pixel (on the client's own pixels a small
    // drawing's extents would be rounded to whole pixels of the sheet view).
    const int64_t fineness = std::clamp<int64_t>(kFineDeviceSize / std::max(cx, cy), 1, kMostFineness);
    const HostRect measured{0, 0, int32_t(cx * fineness), int32_t(cy * fineness)};
    genPrepareView(drawing_, view_, measured, &cacheRect_);
    InstallNullHooks();
    StoreDrawingFolder();
    genDrawDrawing(drawing_);
    genGetViewBlock(drawing_, view_);
    if (IsPaperLayoutCurrent()) TakeSheetIntoView(double(cx) / double(cy));
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    InstallScreenHooks();
    PrepareView();
}

// The extents of a paper layout hold its sheet: a layout with nothing on it shows its paper,
// and what lies on it is seen with the sheet around it.
void CDrawingObject::TakeSheetIntoView(double aspect) {
    if (size_t(currentLayout_) >= layouts_.size() || !(aspect > 0.0)) return;
    Rect2 box = LayoutSheet(layouts_[size_t(currentLayout_)]);
    if (!(box.max.x > box.min.x) || !(box.max.y > box.min.y)) return;
    Point3 low, high;
    if (genCollectedExtents(drawing_, low, high)) {
        box.min = {std::min(box.min.x, low.x), std::min(box.min.y, low.y)};
        box.max = {std::max(box.max.x, high.x), std::max(box.max.y, high.y)};
    }
    // A little room around the sheet's outline, so that its edges stay on the picture.
    constexpr double kSheetRoom = 1.02;
    double width = (box.max.x - box.min.x) * kSheetRoom, height = (box.max.y - box.min.y) * kSheetRoom;
    if (width / height < aspect) width = height * aspect;
    else height = width / aspect;
    view_.target = {(box.min.x + box.max.x) / 2.0, (box.min.y + box.max.y) / 2.0, 0.0, 1.0};
    view_.direction = {0.0, 0.0, 1.0, 0.0};
    view_.up = {0.0, 1.0, 0.0, 0.0};
    view_.width = width;
    view_.height = height;
}

void CDrawingObject::SaveViewState() {
    savedViewState_.view = view_;
    savedViewState_.deviceRect = deviceRect_;
    savedViewState_.colorMode = colorMode_;
}

void CDrawingObject::RestoreViewState() {
    deviceRect_ = savedViewState_.deviceRect;
    GdiOutputState& state = GetGdiOutputState();
    state.clip = {deviceRect_.left, deviceRect_.top, deviceRect_.right, deviceRect_.bottom};
    view_ = savedViewState_.view;
    lastViewWidth_ = view_.width;
    lastViewHeight_ = view_.height;
    SetColorMode(savedViewState_.colorMode);
    ResetViewCache();
    PrepareView();
}

} // namespace tracemill
