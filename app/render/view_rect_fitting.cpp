// The view operations on device rectangles that zoom window, pan, the drivers and the export
// commands share: centring a view on a rectangle, panning by pixels, fitting a view into a
// rectangle or onto a target of another aspect, and the preset 3D views.
#include <array>
#include <cmath>
#include <cstdlib>

#include "app/render/drawing_object.h"
#include "toolkit/core/view_navigation.h"

namespace tracemill {
namespace {

struct PresetView {
    Point3 direction;
    Point3 up;
};

// The View menu's ten views: the six sides, then the four isometric views from the corners.
const std::array<PresetView, 10>& presetViews() {
    static const double s = std::sqrt(0.375);
    static const double t = 1.0 / std::sqrt(8.0);
    static const double u = std::sqrt(3.0) / 2.0;
    static const std::array<PresetView, 10> views{{
        {{0, -1, 0}, {0, 0, 1}},
        {{0, 1, 0}, {0, 0, 1}},
        {{-1, 0, 0}, {0, 0, 1}},
        {{1, 0, 0}, {0, 0, 1}},
        {{0, 0, 1}, {0, 1, 0}},
        {{0, 0, -1}, {0, 1, 0}},
        {{-s, -s, 0.5}, {t, t, u}},
        {{s, -s, 0.5}, {-t, t, u}},
        {{s, s, 0.5}, {-t, -t, u}},
        {{-s, s, 0.5}, {t, -t, u}},
    }};
    return views;
}

} // namespace

void CDrawingObject::CentreViewOnRect(const gdi::Point* p1, const gdi::Point* p2, ViewBlock* view) {
    if (!p1 || !p2 || !view) return;
    const int32_t right = deviceRect_.right;
    const int32_t bottom = deviceRect_.bottom;
    const double dx = double((p1->x + p2->x) / 2 - right / 2) * view->width / double(right - deviceRect_.left);
    const double dy = double((p1->y + p2->y) / 2 - bottom / 2) * view->height / double(bottom);
    dbViewPan(*view, dx, dy);
}

void CDrawingObject::PanByPixels(const gdi::Point* from, const gdi::Point* to, ViewBlock* view) {
    if (!from || !to || !view) return;
    const double dx = double(from->x - to->x) * view->width / double(deviceRect_.right);
    const double dy = double(from->y - to->y) * view->height / double(deviceRect_.bottom);
    dbViewPan(*view, dx, dy);
}

void CDrawingObject::FitViewToRect(const gdi::Point* p1, const gdi::Point* p2, ViewBlock* view) {
    if (!p1 || !p2 || !view) return;
    double w = double(p2->x - p1->x) * (view->width / double(deviceRect_.right));
    double h = double(p2->y - p1->y) * (view->height / double(deviceRect_.bottom));
    const double aspect = view->height / view->width;
    if (h / w >= aspect) w = h / aspect;
    else h = w * aspect;
    view->width = w;
    lastViewWidth_ = w;
    view->height = h;
    lastViewHeight_ = h;
}

void CDrawingObject::SetViewToWindow(const gdi::Point* p1, const gdi::Point* p2, int32_t width, int32_t height) {
    if (!p1 || !p2) return;
    CentreViewOnRect(p1, p2, &view_);
    SizeViewToWindow(*p1, *p2);
    deviceRect_ = {0, 0, width, height};
    FitViewToAspect(double(height) / double(width));
}

void CDrawingObject::PixelsToUnits(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double* dx, double* dy) const {
    if (dx) *dx = double(std::abs(x2 - x1)) * view_.width / double(deviceRect_.right);
    if (dy) *dy = double(std::abs(y2 - y1)) * view_.height / double(deviceRect_.bottom);
}

int16_t CDrawingObject::SetPresetView(int16_t index) {
    PushViewHistory();
    if (index >= 0 && size_t(index) < presetViews().size()) {
        const PresetView& preset = presetViews()[size_t(index)];
        view_.direction = {preset.direction.x, preset.direction.y, preset.direction.z, 0.0};
        view_.up = {preset.up.x, preset.up.y, preset.up.z, 0.0};
    }
    return PrepareView();
}

void CDrawingObject::FitViewToAspect(double ratio) {
    // A target without area has no aspect to fit to.
    if (!(ratio > 0.0) || !std::isfinite(ratio)) return;
    if (ratio * lastViewWidth_ <= lastViewHeight_) {
        view_.width = lastViewHeight_ / ratio;
        view_.height = lastViewHeight_;
    } else {
        view_.width = lastViewWidth_;
        view_.height = ratio * lastViewWidth_;
    }
}

void CDrawingObject::SetPassDeviceRect(int32_t width, int32_t height) {
    deviceRect_ = {0, 0, width <= 2 ? 1 : width - 1, height <= 2 ? 1 : height - 1};
}

} // namespace tracemill
