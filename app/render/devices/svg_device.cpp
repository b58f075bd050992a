#include "app/render/devices/svg_device.h"

#include <cmath>
#include <span>

#include "app/image/image_file_io.h"
#include "app/render/devices/device_number_format.h"
#include "app/render/devices/svg_colour_text.h"
#include "app/render/devices/zlib_compression.h"

namespace tracemill::render {

namespace {

constexpr size_t kDocumentStep = 65536;

} // namespace

CSvgDevice::CSvgDevice(bool compress) : compress_(compress) {}

bool CSvgDevice::Begin(const char*, const char* fileName, const char*, double width, double height) {
    fileName_ = fileName ? fileName : "";
    document_.clear();
    document_.reserve(kDocumentStep);
    // The picture is shown 600 wide, or 450 high when it is at least 450 high and higher than
    // wide; the viewBox holds it in device units.
    document_ += "<?xml version=\"1.0\" standalone=\"no\"?>";
    document_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    if (height < 450 || height < width) {
        document_ += "600.0\" height=\"";
        AppendFixed(document_, height * 600 / width, 3);
    } else {
        AppendFixed(document_, width * 450 / height, 3);
        document_ += "\" height=\"450";
    }
    document_ += "\" viewBox=\"0.0 0.0 ";
    AppendFixed(document_, width, 3);
    document_ += ' ';
    AppendFixed(document_, height, 3);
    document_ += "\">\n";
    document_ += "  <title>Tracemill convert result</title>\n";
    document_ += "  <desc>Tracemill convert result</desc>\n";
    stroke_.Reset();
    pageHeight_ = height;
    subpathCount_ = 0;
    currentWidth_ = 0;
    widthText_ = "0.2";
    colourText_ = "black";
    return true;
}

void CSvgDevice::AppendPoint(double x, double y) {
    AppendDeviceNumber(document_, x, 2);
    document_ += ' ';
    AppendDeviceNumber(document_, pageHeight_ - y, 2);
}

void CSvgDevice::AppendPolygon(const DevicePoint* points, uint32_t count) {
    AppendPoint(points[0]);
    document_ += 'L';
    for (uint32_t i = 1; i < count; ++i) {
        AppendPoint(points[i]);
        if (i + 1 < count) document_ += ' ';
    }
}

void CSvgDevice::CloseStrokePath() {
    if (subpathCount_ <= 0) return;
    document_ += "\"\nfill=\"none\" stroke=\"";
    document_ += colourText_;
    document_ += "\" stroke-width=\"";
    document_ += widthText_;
    document_ += "\"/>\n";
    subpathCount_ = 0;
}

void CSvgDevice::MoveTo(double x, double y) { stroke_.MoveTo(x, y); }

void CSvgDevice::LineTo(double x, double y) {
    DevicePoint from;
    switch (stroke_.LineTo(x, y, &from)) {
    case StrokeState::Step::StartSubpath:
        if (subpathCount_ == 0) document_ += "<path d=\"";
        document_ += 'M';
        AppendPoint(from);
        document_ += 'L';
        AppendPoint(x, y);
        ++subpathCount_;
        break;
    case StrokeState::Step::Extend:
        document_ += ' ';
        AppendPoint(x, y);
        break;
    case StrokeState::Step::Nothing:
        break;
    }
}

void CSvgDevice::FillPolygon(int32_t first, int32_t last, DevicePoint* points) {
    CloseStrokePath();
    if (last < first) return;
    document_ += "<path d=\"M";
    AppendPolygon(points + first, uint32_t(last - first) + 1);
    document_ += "Z\"\nfill-rule=\"nonzero\" fill=\"";
    document_ += colourText_;
    document_ += "\"/>\n";
    stroke_.Reset();
}

void CSvgDevice::FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) {
    CloseStrokePath();
    const uint32_t lastDrawn = LastPolygonWithPoints(counts, polygonCount);
    if (lastDrawn == polygonCount) return;
    document_ += "<path d=\"";
    const DevicePoint* polygon = points;
    for (uint32_t k = 0; k <= lastDrawn; ++k) {
        if (counts[k] > 0) {
            document_ += 'M';
            AppendPolygon(polygon, counts[k]);
            document_ += k < lastDrawn ? "Z\n" : "Z\"\n";
        }
        polygon += counts[k];
    }
    document_ += "fill-rule=\"evenodd\" fill=\"";
    document_ += colourText_;
    document_ += "\"/>\n";
    stroke_.Reset();
}

void CSvgDevice::SetPen(ColorRef colour, double width) {
    if (currentColour_ == colour && std::fabs(width - currentWidth_) <= 0.001) return;
    currentWidth_ = width;
    CloseStrokePath();
    colourText_ = SvgColourText(colour);
    currentColour_ = colour;
    // A pen change inside a polyline goes on from its last point in a new element.
    stroke_.PenChanged();
    if (UsePenWidths()) {
        widthText_ = width > 0.001 ? FormatDeviceNumber(width * 25.4, 1) + "mm" : "0.2";
    }
}

bool CSvgDevice::End() {
    CloseStrokePath();
    document_ += "</svg>\n";
    if (fileName_.empty()) return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(document_.data());
    if (!compress_) return WriteFileBytes(fileName_, std::span(bytes, document_.size()));
    const std::optional<std::vector<uint8_t>> packed = CompressGzip(bytes, document_.size());
    return packed && WriteFileBytes(fileName_, *packed);
}

} // namespace tracemill::render
