// The device hook set: every primitive forwarded to a vector output device, in device units
// (the toolkit's integer coordinates divided by the device scale).
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/render/devices/output_device.h"
#include "app/render/drawing_object.h"
#include "app/render/gdi_hook_primitives.h"
#include "app/render/hook_sets.h"
#include "app/render/pen_width_table.h"
#include "toolkit/display/polygon_loop_fill.h"

namespace tracemill {
namespace {

constexpr double kInitialDeviceScale = 100.0;
constexpr double kVirtualDeviceLimit = 500000.0;

double& deviceScale() {
    static double scale = kInitialDeviceScale;
    return scale;
}

// The host word is a DeviceHostContext only while the set is installed.
render::COutputDevice* deviceOf(HostWord host) {
    if (!host || !GetGdiOutputState().deviceHooks) return nullptr;
    return static_cast<DeviceHostContext*>(host)->device;
}

render::DevicePoint scaled(const DevicePoint& p) {
    const double s = deviceScale();
    return {p.x / s, p.y / s};
}

// The points as device units in a buffer reused by every fill of a pass; false when it
// cannot be allocated.
bool scaledPoints(const DevicePoint* points, size_t count, std::vector<render::DevicePoint>& out) {
    try {
        out.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) out[i] = scaled(points[i]);
    return true;
}

std::vector<render::DevicePoint>& fillBuffer() {
    static std::vector<render::DevicePoint> buffer;
    return buffer;
}

void deviceMoveTo(int32_t x, int32_t y, HostWord host) {
    if (render::COutputDevice* device = deviceOf(host)) {
        const render::DevicePoint p = scaled({x, y});
        device->MoveTo(p.x, p.y);
    }
}

void deviceLineTo(int32_t x, int32_t y, HostWord host) {
    if (render::COutputDevice* device = deviceOf(host)) {
        const render::DevicePoint p = scaled({x, y});
        device->LineTo(p.x, p.y);
    }
}

void devicePolygon(PointRange range, const DevicePoint* points, HostWord host) {
    render::COutputDevice* device = deviceOf(host);
    if (!device || !points || range.first < 0 || range.last < range.first) return;
    const int32_t n = range.last - range.first + 1;
    if (n == 1) return;
    if (n == 2) {
        deviceMoveTo(points[range.first].x, points[range.first].y, host);
        deviceLineTo(points[range.last].x, points[range.last].y, host);
        return;
    }
    std::vector<render::DevicePoint>& buffer = fillBuffer();
    if (!scaledPoints(points + range.first, size_t(n), buffer)) return;
    device->FillPolygon(0, n - 1, buffer.data());
}

// The other sets keep this hook in the strip slot: outside a device pass the triangles go
// through the polygon hook of the set installed.
void deviceTriangleStrip(const DevicePoint* points, int32_t count, HostWord host) {
    const bool devicePass = GetGdiOutputState().deviceHooks != 0;
    const PolygonHook polygon = devicePass ? devicePolygon : (gOutputHookTable ? gOutputHookTable->polygon : nullptr);
    if (!polygon) return;
    for (int32_t i = 0; i + 2 < count; ++i) polygon(PointRange{i, i + 2}, points, host);
}

void devicePolyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord host) {
    render::COutputDevice* device = deviceOf(host);
    if (!device || !points || !counts || polygonCount <= 0) return;
    if (!device->SupportsPolyPolygon()) {
        dbFillPolygonLoops(points, counts, polygonCount, host);
        return;
    }
    std::vector<uint32_t> loopCounts(static_cast<size_t>(polygonCount));
    size_t total = 0;
    for (int32_t k = 0; k < polygonCount; ++k) {
        loopCounts[size_t(k)] = uint32_t(std::max(counts[k], 0));
        total += loopCounts[size_t(k)];
    }
    std::vector<render::DevicePoint>& buffer = fillBuffer();
    if (!scaledPoints(points, total, buffer)) return;
    device->FillPolyPolygon(buffer.data(), loopCounts.data(), uint32_t(polygonCount));
}

int16_t deviceSetColor(int16_t index, HostWord host) {
    const int16_t clamped = std::clamp<int16_t>(index, 0, int16_t(kColorIndexCount - 1));
    render::COutputDevice* device = deviceOf(host);
    if (!device) return clamped;
    const PenWidthEntry& pen = GetPenWidthTable()[size_t(clamped)];
    int16_t colourIndex = clamped;
    if (device->UsePenWidths() && pen.mappedColorIndex >= 0 && size_t(pen.mappedColorIndex) < kColorIndexCount)
        colourIndex = pen.mappedColorIndex;
    device->SetPen(PaletteOfHost(host)[size_t(colourIndex)], pen.exportWidth);
    return clamped;
}

} // namespace

CDrawingObject* DrawingObjectOfHost(HostWord host) {
    if (!host) return nullptr;
    if (GetGdiOutputState().deviceHooks) return static_cast<DeviceHostContext*>(host)->drawingObject;
    return static_cast<CDrawingObject*>(host);
}

double GetDeviceScale() { return deviceScale(); }

bool FitDeviceScale(double width, double height) {
    double scale = kInitialDeviceScale;
    deviceScale() = scale;
    if (!(std::isfinite(width) && std::isfinite(height) && width > 0 && height > 0)) return false;
    while (width * scale < kVirtualDeviceLimit && height * scale < kVirtualDeviceLimit) scale *= 10;
    deviceScale() = scale;
    return true;
}

void InstallDeviceHooks() {
    dbSetMoveToHook(deviceMoveTo);
    dbSetLineToHook(deviceLineTo);
    dbSetPolygonHook(devicePolygon);
    dbSetPolyPolygonHook(devicePolyPolygon);
    dbSetTriangleStripHook(deviceTriangleStrip);
    InstallColourlessPictureHooks();
    dbSetColorHook(deviceSetColor);
    GetGdiOutputState().deviceHooks = 1;
}

} // namespace tracemill
