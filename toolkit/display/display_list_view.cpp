#include "toolkit/display/display_list_view.h"

#include <cmath>

#include "toolkit/core/drawing.h"
#include "toolkit/display/display_list.h"

namespace tracemill {
namespace {

// How far a window may stray past the grid's edges through rounding.
constexpr double kWindowTolerance = 1e-3;
// A grid unit may be this much larger than a device unit through rounding.
constexpr double kScaleTolerance = 1e-9;

struct Window {
    double x0 = 0.0, y0 = 0.0, width = 0.0, height = 0.0;
};

bool usable(const HostRect& r) {
    return r.right > r.left && r.bottom > r.top;
}

bool sameDirection(const Point4& a, const Point4& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// The window of the view: its target through the recorded transform is its centre, its size
// that of the recorded grid scaled as the view's size is to the recorded view's.
bool windowOf(const DisplayList& list, const ViewBlock& view, Window& out) {
    const ViewBlock& recorded = list.recordedView;
    if (!(recorded.width > 0.0 && recorded.height > 0.0 && view.width > 0.0 && view.height > 0.0))
        return false;
    Point4 centre;
    genPointTransform({view.target.x, view.target.y, view.target.z, 1.0}, list.recordedMatrix, centre);
    // The transform puts a point half a unit beyond the grid point it stands for.
    out.width = double(list.gridWidth) * view.width / recorded.width;
    out.height = double(list.gridHeight) * view.height / recorded.height;
    out.x0 = centre.x - 0.5 - out.width / 2.0;
    out.y0 = centre.y - 0.5 - out.height / 2.0;
    return std::isfinite(out.x0) && std::isfinite(out.y0) && std::isfinite(out.width) &&
           std::isfinite(out.height);
}

} // namespace

int genDlistSetGrid(Drawing* drawing, const HostRect& deviceRect, HostRect& grid) {
    DisplayList* list = genDisplayListOf(drawing);
    if (!list) return 0;
    const int64_t w = int64_t(deviceRect.right) - deviceRect.left;
    const int64_t h = int64_t(deviceRect.bottom) - deviceRect.top;
    list->active = false;
    if (w <= 0 || h <= 0 || w > kDlistGridSize || h > kDlistGridSize) return 0;
    if (h <= w) {
        list->gridWidth = kDlistGridSize;
        list->gridHeight = int32_t((h * kDlistGridSize + w / 2) / w);
    } else {
        list->gridHeight = kDlistGridSize;
        list->gridWidth = int32_t((w * kDlistGridSize + h / 2) / h);
    }
    list->active = true;
    grid = {0, 0, list->gridWidth, list->gridHeight};
    return 1;
}

void genDlistSaveView(Drawing* drawing, const ViewBlock& view) {
    DisplayList* list = genDisplayListOf(drawing);
    if (!list) return;
    list->recordedView = view;
    list->recordedMatrix = drawing->displayContext->viewports[0].worldToDevice;
}

int genDlistViewChanged(Drawing* drawing, const ViewBlock& view, const HostRect& deviceRect) {
    const DisplayList* list = genDisplayListOf(drawing);
    Window window;
    if (!list || !list->active || !usable(deviceRect) || !windowOf(*list, view, window)) return 1;
    const ViewBlock& recorded = list->recordedView;
    if (!sameDirection(view.direction, recorded.direction) || !sameDirection(view.up, recorded.up)) return 1;
    if (window.x0 < -kWindowTolerance || window.y0 < -kWindowTolerance ||
        window.x0 + window.width > list->gridWidth + 1.0 + kWindowTolerance ||
        window.y0 + window.height > list->gridHeight + 1.0 + kWindowTolerance)
        return 1;
    const double deviceWidth = double(deviceRect.right) - deviceRect.left;
    const double deviceHeight = double(deviceRect.bottom) - deviceRect.top;
    if (window.width < deviceWidth * (1.0 - kScaleTolerance) ||
        window.height < deviceHeight * (1.0 - kScaleTolerance))
        return 1;
    return 0;
}

void genDlistSetWindow(Drawing* drawing, const ViewBlock& view, const HostRect& deviceRect) {
    DisplayList* list = genDisplayListOf(drawing);
    Window window;
    if (!list || !usable(deviceRect) || !windowOf(*list, view, window)) return;
    list->deviceLeft = deviceRect.left;
    list->deviceTop = deviceRect.top;
    list->deviceRight = deviceRect.right;
    list->deviceBottom = deviceRect.bottom;
    list->windowX0 = window.x0;
    list->windowY0 = window.y0;
    list->windowWidth = window.width;
    list->windowHeight = window.height;
    list->scaleX = (double(deviceRect.right) - deviceRect.left) / window.width;
    list->scaleY = (double(deviceRect.bottom) - deviceRect.top) / window.height;
    list->offsetX = deviceRect.left + 0.5 - window.x0 * list->scaleX;
    list->offsetY = deviceRect.top + 0.5 - window.y0 * list->scaleY;
}

int genDlistGridScale(const Drawing* drawing, double& scaleX, double& scaleY) {
    const DisplayList* list = genDisplayListOf(drawing);
    if (!list || !list->active || list->gridWidth <= 0 || list->gridHeight <= 0) return 0;
    scaleX = list->recordedView.width / list->gridWidth;
    scaleY = list->recordedView.height / list->gridHeight;
    return 1;
}

Point2 genDlistGridToDevice(const DisplayList& list, const Point2& grid) {
    return {grid.x * list.scaleX + list.offsetX, grid.y * list.scaleY + list.offsetY};
}

Point2 genDlistDeviceToGrid(const DisplayList& list, const Point2& device) {
    return {(device.x - list.offsetX) / list.scaleX, (device.y - list.offsetY) / list.scaleY};
}

} // namespace tracemill
