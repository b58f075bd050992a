#include "platform/gdi/device_context.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "platform/gdi/line_raster.h"
#include "platform/gdi/polygon_fill.h"
#include "platform/gdi/wide_stroke.h"

namespace tracemill::gdi {
namespace {

// GDI's dash: 18 pixels drawn, 6 left out.
constexpr int64_t kDashOn = 18;
constexpr int64_t kDashPeriod = 24;

int32_t clampToInt32(double v) {
    if (!(v > double(std::numeric_limits<int32_t>::min()))) return std::numeric_limits<int32_t>::min();
    if (v >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return int32_t(std::floor(v + 0.5));
}

uint32_t toArgb(ColorRef c) {
    return 0xFF000000u | (uint32_t(redOf(c)) << 16) | (uint32_t(greenOf(c)) << 8) | blueOf(c);
}

// Appends a pixel to the spans, joining it to the last span when it continues it.
void appendPixel(std::vector<PixelRect>& spans, Point p) {
    if (!spans.empty()) {
        PixelRect& last = spans.back();
        if (last.height == 1 && p.y == last.y && p.x == last.x + last.width) {
            ++last.width;
            return;
        }
        if (last.height == 1 && p.y == last.y && p.x == last.x - 1 && last.width >= 1) {
            --last.x;
            ++last.width;
            return;
        }
        if (last.width == 1 && p.x == last.x && p.y == last.y + last.height) {
            ++last.height;
            return;
        }
        if (last.width == 1 && p.x == last.x && p.y == last.y - 1) {
            --last.y;
            ++last.height;
            return;
        }
    }
    spans.push_back({p.x, p.y, 1, 1});
}

} // namespace

DeviceContext::DeviceContext() = default;
DeviceContext::~DeviceContext() = default;

Pen DeviceContext::selectPen(const Pen& pen) { return std::exchange(state_.pen, pen); }
Brush DeviceContext::selectBrush(const Brush& brush) { return std::exchange(state_.brush, brush); }
FillMode DeviceContext::setPolyFillMode(FillMode mode) { return std::exchange(state_.fillMode, mode); }
ColorRef DeviceContext::setTextColor(ColorRef color) { return std::exchange(state_.textColor, color); }
ColorRef DeviceContext::setBkColor(ColorRef color) { return std::exchange(state_.bkColor, color); }
BackgroundMode DeviceContext::setBkMode(BackgroundMode mode) { return std::exchange(state_.bkMode, mode); }
Font DeviceContext::selectFont(const Font& font) { return std::exchange(state_.font, font); }

MapMode DeviceContext::setMapMode(MapMode mode) {
    const MapMode old = std::exchange(state_.mapMode, mode);
    if (mode == MapMode::Text) {
        state_.windowExt = {1, 1};
        state_.viewportExt = {1, 1};
    }
    return old;
}

Point DeviceContext::setWindowOrg(Point origin) { return std::exchange(state_.windowOrg, origin); }
Point DeviceContext::setViewportOrg(Point origin) { return std::exchange(state_.viewportOrg, origin); }

Size DeviceContext::setWindowExt(Size extent) {
    const Size old = state_.windowExt;
    if (state_.mapMode == MapMode::Anisotropic && extent.cx != 0 && extent.cy != 0) state_.windowExt = extent;
    return old;
}

Size DeviceContext::setViewportExt(Size extent) {
    const Size old = state_.viewportExt;
    if (state_.mapMode == MapMode::Anisotropic && extent.cx != 0 && extent.cy != 0) state_.viewportExt = extent;
    return old;
}

Point DeviceContext::logicalToDevice(Point p) const {
    const State& s = state_;
    if (s.mapMode == MapMode::Text) {
        return {clampToInt32(double(p.x) - s.windowOrg.x + s.viewportOrg.x),
                clampToInt32(double(p.y) - s.windowOrg.y + s.viewportOrg.y)};
    }
    return {clampToInt32((double(p.x) - s.windowOrg.x) * s.viewportExt.cx / s.windowExt.cx + s.viewportOrg.x),
            clampToInt32((double(p.y) - s.windowOrg.y) * s.viewportExt.cy / s.windowExt.cy + s.viewportOrg.y)};
}

int DeviceContext::saveDc() {
    saved_.push_back(state_);
    return int(saved_.size());
}

bool DeviceContext::restoreDc(int level) {
    if (level < 0) level = int(saved_.size()) + 1 + level;
    if (level < 1 || level > int(saved_.size())) return false;
    state_ = std::move(saved_[size_t(level - 1)]);
    saved_.resize(size_t(level - 1));
    deviceSetClip(state_.clip);
    return true;
}

bool DeviceContext::intersectClipPolygon(std::span<const Point> points) {
    if (points.size() < 3) return false;
    std::vector<Point> device;
    device.reserve(points.size());
    for (Point p : points) device.push_back(logicalToDevice(p));
    state_.clip.push_back(std::move(device));
    deviceSetClip(state_.clip);
    return true;
}

Rect DeviceContext::deviceBounds() const {
    const Size s = deviceSize();
    return {0, 0, s.cx, s.cy};
}

double DeviceContext::penDeviceWidth() const {
    double w = state_.pen.width;
    if (state_.mapMode == MapMode::Anisotropic)
        w *= std::abs(double(state_.viewportExt.cx) / double(state_.windowExt.cx));
    return w;
}

void DeviceContext::flushSpans(ColorRef color) {
    if (!spans_.empty()) deviceFillRects(spans_, color);
    spans_.clear();
}

void DeviceContext::strokeSegment(Point from, Point to) {
    const double width = penDeviceWidth();
    if (width > 1.5) {
        strokeWideSegment(from, to, width, deviceBounds(), spans_);
        return;
    }
    const bool dashed = state_.pen.style == PenStyle::Dash;
    if (!dashed && deviceThinLine(from, to, deviceBounds(), state_.pen.color)) {
        dashPhase_ += thinLineLength(from, to);
        return;
    }
    pixels_.clear();
    int64_t firstStep = 0;
    rasterizeThinLine(from, to, deviceBounds(), pixels_, &firstStep);
    for (size_t k = 0; k < pixels_.size(); ++k) {
        if (dashed && (dashPhase_ + firstStep + int64_t(k)) % kDashPeriod >= kDashOn) continue;
        appendPixel(spans_, pixels_[k]);
    }
    dashPhase_ += thinLineLength(from, to);
}

void DeviceContext::strokeClosed(std::span<const Point> device) {
    dashPhase_ = 0;
    for (size_t i = 0; i < device.size(); ++i) strokeSegment(device[i], device[(i + 1) % device.size()]);
}

Point DeviceContext::moveTo(Point p) {
    dashPhase_ = 0;
    return std::exchange(state_.position, p);
}

void DeviceContext::lineTo(Point p) {
    const Point from = logicalToDevice(state_.position);
    const Point to = logicalToDevice(p);
    state_.position = p;
    if (state_.pen.style == PenStyle::Null || from == to) return;
    strokeSegment(from, to);
    flushSpans(state_.pen.color);
}

void DeviceContext::setPixel(Point p, ColorRef color) {
    const Point d = logicalToDevice(p);
    const Rect b = deviceBounds();
    if (d.x < b.left || d.y < b.top || d.x >= b.right || d.y >= b.bottom) return;
    const PixelRect r{d.x, d.y, 1, 1};
    deviceFillRects({&r, 1}, color);
}

void DeviceContext::polygon(std::span<const Point> points) {
    const int count = int(points.size());
    polyPolygon(points, {&count, 1});
}

void DeviceContext::polyPolygon(std::span<const Point> points, std::span<const int> counts) {
    uint64_t total = 0;
    for (int c : counts) {
        if (c < 2) return;
        total += uint64_t(c);
    }
    if (total == 0 || total > points.size()) return;
    std::vector<Point> device;
    device.reserve(size_t(total));
    for (size_t i = 0; i < total; ++i) device.push_back(logicalToDevice(points[i]));
    if (state_.brush.style != BrushStyle::Null) {
        fillPolygonSpans(device, counts, state_.fillMode, deviceBounds(), spans_);
        flushSpans(state_.brush.color);
    }
    if (state_.pen.style != PenStyle::Null) {
        size_t start = 0;
        for (int c : counts) {
            strokeClosed(std::span<const Point>(device).subspan(start, size_t(c)));
            start += size_t(c);
        }
        flushSpans(state_.pen.color);
    }
}

void DeviceContext::rectangle(const Rect& r) {
    const Point a = logicalToDevice({r.left, r.top});
    const Point b = logicalToDevice({r.right, r.bottom});
    const int32_t x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const int32_t y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    const bool outline = state_.pen.style != PenStyle::Null;
    const int32_t shrink = outline ? 0 : 1;
    if (state_.brush.style != BrushStyle::Null) {
        const Rect bounds = deviceBounds();
        const int64_t fx0 = std::max<int64_t>(x0, bounds.left), fy0 = std::max<int64_t>(y0, bounds.top);
        const int64_t fx1 = std::min<int64_t>(int64_t(x1) - shrink, bounds.right);
        const int64_t fy1 = std::min<int64_t>(int64_t(y1) - shrink, bounds.bottom);
        if (fx1 > fx0 && fy1 > fy0) {
            const PixelRect fill{int32_t(fx0), int32_t(fy0), int32_t(fx1 - fx0), int32_t(fy1 - fy0)};
            deviceFillRects({&fill, 1}, state_.brush.color);
        }
    }
    if (outline && x1 > x0 && y1 > y0) {
        const Point corners[4] = {{x0, y0}, {x1 - 1, y0}, {x1 - 1, y1 - 1}, {x0, y1 - 1}};
        strokeClosed(corners);
        if (x1 - x0 == 1 || y1 - y0 == 1) appendPixel(spans_, corners[2]);
        flushSpans(state_.pen.color);
    }
}

void DeviceContext::fillRect(const Rect& r, ColorRef color) {
    const Point a = logicalToDevice({r.left, r.top});
    const Point b = logicalToDevice({r.right, r.bottom});
    const Rect bounds = deviceBounds();
    const int32_t x0 = std::max(std::min(a.x, b.x), bounds.left), x1 = std::min(std::max(a.x, b.x), bounds.right);
    const int32_t y0 = std::max(std::min(a.y, b.y), bounds.top), y1 = std::min(std::max(a.y, b.y), bounds.bottom);
    if (x1 <= x0 || y1 <= y0) return;
    const PixelRect fill{x0, y0, x1 - x0, y1 - y0};
    deviceFillRects({&fill, 1}, color);
}

void DeviceContext::fullArc(const Rect& box) {
    if (state_.pen.style == PenStyle::Null) return;
    const Point a = logicalToDevice({box.left, box.top});
    const Point b = logicalToDevice({box.right, box.bottom});
    const double x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    // The ellipse lies in the pixels [x0, x1 - 1] x [y0, y1 - 1].
    const double cx = (x0 + x1 - 1) / 2, cy = (y0 + y1 - 1) / 2;
    const double rx = std::max(0.0, (x1 - x0 - 1) / 2), ry = std::max(0.0, (y1 - y0 - 1) / 2);
    const double bounds = double(std::max(deviceSize().cx, deviceSize().cy)) * 4 + 64;
    const int steps = int(std::clamp(std::ceil(4 * std::max(rx, ry)), 8.0, std::min(bounds, 65536.0)));
    std::vector<Point> outline;
    for (int i = 0; i < steps; ++i) {
        const double t = 2 * std::numbers::pi * i / steps;
        const Point p{clampToInt32(cx + rx * std::cos(t)), clampToInt32(cy + ry * std::sin(t))};
        if (outline.empty() || !(outline.back() == p)) outline.push_back(p);
    }
    while (outline.size() > 1 && outline.back() == outline.front()) outline.pop_back();
    if (outline.size() == 1) {
        if (penDeviceWidth() > 1.5) strokeWideSegment(outline[0], outline[0], penDeviceWidth(), deviceBounds(), spans_);
        else appendPixel(spans_, outline[0]);
    } else {
        strokeClosed(outline);
    }
    flushSpans(state_.pen.color);
}

void DeviceContext::textOut(Point p, std::string_view text) {
    if (text.empty()) return;
    std::optional<ColorRef> background;
    if (state_.bkMode == BackgroundMode::Opaque) background = state_.bkColor;
    deviceDrawText(logicalToDevice(p), text, state_.font, state_.textColor, background);
}

Size DeviceContext::textExtent(std::string_view text) {
    Size s = deviceTextExtent(text, state_.font);
    if (state_.mapMode == MapMode::Anisotropic) {
        s.cx = clampToInt32(s.cx * std::abs(double(state_.windowExt.cx) / state_.viewportExt.cx));
        s.cy = clampToInt32(s.cy * std::abs(double(state_.windowExt.cy) / state_.viewportExt.cy));
    }
    return s;
}

void DeviceContext::stretchDib(const Rect& destination, const Rect& source, const DibView& bitmap, RasterOp op) {
    const Point d0 = logicalToDevice({destination.left, destination.top});
    const Point d1 = logicalToDevice({destination.right, destination.bottom});
    const double dw = double(d1.x) - d0.x, dh = double(d1.y) - d0.y;
    const double sw = source.width(), sh = source.height();
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || bitmap.width <= 0 || bitmap.height <= 0) return;
    const Rect bounds = deviceBounds();
    const int32_t x0 = std::max(std::min(d0.x, d1.x), bounds.left), x1 = std::min(std::max(d0.x, d1.x), bounds.right);
    const int32_t y0 = std::max(std::min(d0.y, d1.y), bounds.top), y1 = std::min(std::max(d0.y, d1.y), bounds.bottom);
    if (x1 <= x0 || y1 <= y0) return;
    // Nearest neighbour: each device pixel takes the source pixel under its centre.
    std::vector<int32_t> columns(size_t(x1 - x0));
    for (int32_t x = x0; x < x1; ++x)
        columns[size_t(x - x0)] = int32_t(std::floor(source.left + (x + 0.5 - d0.x) / dw * sw));
    Bitmap32 out{x1 - x0, y1 - y0, {}};
    out.pixels.resize(size_t(out.width) * size_t(out.height));
    for (int32_t y = y0; y < y1; ++y) {
        const int32_t sy = int32_t(std::floor(source.top + (y + 0.5 - d0.y) / dh * sh));
        uint32_t* row = out.pixels.data() + size_t(y - y0) * size_t(out.width);
        for (int32_t x = x0; x < x1; ++x) row[x - x0] = toArgb(dibViewPixel(bitmap, columns[size_t(x - x0)], sy));
    }
    deviceDrawBitmap(x0, y0, out, op, false);
}

void DeviceContext::transparentDib(Point p, const DibView& bitmap, ColorRef key) {
    const Point d = logicalToDevice(p);
    const Rect bounds = deviceBounds();
    const int32_t x0 = std::max(d.x, bounds.left), y0 = std::max(d.y, bounds.top);
    const int32_t x1 = int32_t(std::min<int64_t>(int64_t(d.x) + bitmap.width, bounds.right));
    const int32_t y1 = int32_t(std::min<int64_t>(int64_t(d.y) + bitmap.height, bounds.bottom));
    if (x1 <= x0 || y1 <= y0) return;
    Bitmap32 out{x1 - x0, y1 - y0, {}};
    out.pixels.resize(size_t(out.width) * size_t(out.height));
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) {
            const ColorRef c = dibViewPixel(bitmap, x - d.x, y - d.y);
            out.pixels[size_t(y - y0) * size_t(out.width) + size_t(x - x0)] = c == key ? 0 : toArgb(c);
        }
    deviceDrawBitmap(x0, y0, out, RasterOp::SrcCopy, true);
}

} // namespace tracemill::gdi
