#include "app/render/devices/hpgl_device.h"

#include <cmath>
#include <numbers>

#include "app/render/devices/device_number_format.h"

namespace tracemill::render {

namespace {

// Plotter units per millimetre, used to turn a pen width in inches into units.
constexpr double kUnitsPerMillimetre = 40;

} // namespace

bool CHpglDevice::Begin(const char*, const char* fileName, const char*, double width, double height) {
    if (!file_.Open(fileName)) return false;
    std::string& text = file_.Text();
    text += "IN;SP1;SC0.0,0.0,";
    AppendFixed(text, width, 3);
    text += ',';
    AppendFixed(text, height, 3);
    text += ";\r\n";
    currentWidth_ = 0;
    return true;
}

bool CHpglDevice::End() {
    if (!file_.IsOpen()) return false;
    FlushPolyline();
    file_.Text() += "PG;";
    return file_.Finish();
}

void CHpglDevice::AppendPoint(const DevicePoint& p) {
    std::string& text = file_.Text();
    AppendFixed(text, p.x, 3);
    text += ',';
    AppendFixed(text, p.y, 3);
}

void CHpglDevice::AppendPenDownList(const DevicePoint* points, uint64_t first, uint64_t last) {
    for (uint64_t i = first + 1; i <= last; ++i) {
        AppendPoint(points[i]);
        file_.Text() += ',';
        if (i % 5 == 0) file_.Text() += "\r\n";
    }
}

void CHpglDevice::FlushPolyline() {
    const uint32_t n = polyline_.Count();
    if (n >= 2 && UsePenWidths() && currentWidth_ > 0.001) {
        for (uint32_t i = 0; i + 1 < n; ++i) WriteWideSegment(polyline_[i], polyline_[i + 1]);
    } else if (n >= 2) {
        std::string& text = file_.Text();
        text += "PU";
        AppendPoint(polyline_[0]);
        text += ";PD";
        AppendPenDownList(polyline_.Data(), 0, n - 2);
        AppendPoint(polyline_[n - 1]);
        text += ";\r\n";
    }
    polyline_.Clear();
    file_.Flush();
}

void CHpglDevice::WriteWideSegment(const DevicePoint& p1, const DevicePoint& p2) {
    const double angle = std::atan2(p2.y - p1.y, p2.x - p1.x);
    const double half = currentWidth_ / 2 * 25.4 * kUnitsPerMillimetre;
    const DevicePoint u{std::cos(angle + std::numbers::pi / 2) * half, std::sin(angle + std::numbers::pi / 2) * half};
    const DevicePoint v{std::cos(angle - std::numbers::pi / 2) * half, std::sin(angle - std::numbers::pi / 2) * half};
    DevicePoint corners[] = {
        {p1.x + u.x, p1.y + u.y}, {p2.x + u.x, p2.y + u.y}, {p2.x + v.x, p2.y + v.y}, {p1.x + v.x, p1.y + v.y}};
    // The plotter's picture starts at 0: nothing of a rectangle is put below it.
    for (DevicePoint& corner : corners) {
        if (corner.x < 0) corner.x = 0.05;
        if (corner.y < 0) corner.y = 0.05;
    }
    std::string& text = file_.Text();
    text += "PU";
    AppendPoint(corners[0]);
    text += ";FT2;PM0;PD";
    for (const DevicePoint& corner : corners) {
        AppendPoint(corner);
        text += ',';
    }
    AppendPoint(corners[0]);
    text += ";PM2;FP;\r\n";
}

void CHpglDevice::MoveTo(double x, double y) {
    FlushPolyline();
    polyline_.AddPoint(x, y);
}

void CHpglDevice::LineTo(double x, double y) { polyline_.AddPoint(x, y); }

void CHpglDevice::FillPolygon(int32_t first, int32_t last, DevicePoint* points) {
    FlushPolyline();
    if (last < first || first < 0) return;
    std::string& text = file_.Text();
    text += "PU";
    AppendPoint(points[first]);
    text += ";FT2;PM0;PD";
    AppendPoint(points[first]);
    text += ',';
    AppendPenDownList(points, uint64_t(first), uint64_t(last));
    AppendPoint(points[first]);
    text += ";PM2;FP;\r\n";
    file_.Flush();
}

void CHpglDevice::FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) {
    FlushPolyline();
    const uint32_t lastDrawn = LastPolygonWithPoints(counts, polygonCount);
    if (lastDrawn == polygonCount) return;
    std::string& text = file_.Text();
    bool firstPolygon = true;
    uint64_t start = 0;
    for (uint32_t k = 0; k <= lastDrawn; start += counts[k], ++k) {
        if (counts[k] == 0) continue;
        text += "PU";
        AppendPoint(points[start]);
        text += firstPolygon ? ";FT2;PM0;PD" : ";PD";
        firstPolygon = false;
        AppendPenDownList(points, start, start + counts[k] - 1);
        AppendPoint(points[start]);
        // PM1 closes a subpolygon and stays in polygon mode; PM2 ends the mode.
        text += k < lastDrawn ? ";PM1;\r\n" : ";PM2;\r\n";
    }
    text += "FP;\r\n";
    file_.Flush();
}

void CHpglDevice::SetPen(ColorRef, double width) {
    if (!UsePenWidths() || std::fabs(currentWidth_ - width) <= 0.001) return;
    RestartPolylineAtLastPoint(polyline_, [this] { FlushPolyline(); });
    currentWidth_ = std::fabs(width);
}

} // namespace tracemill::render
