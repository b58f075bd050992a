#include "app/render/devices/cgm_device.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "app/image/image_file_io.h"

namespace tracemill::render {

using namespace cgm;

namespace {

// The file title of a path: its name without folder and extension.
std::string FileTitleOf(const char* path) {
    if (!path) return {};
    std::string name = path;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

} // namespace

int16_t CgmCoordinate(double value) {
    if (std::isnan(value)) return 0;
    return int16_t(std::clamp(std::trunc(value), -32768.0, 32767.0));
}

void CCgmDevice::AppendWord(uint16_t word) {
    document_.push_back(uint8_t(word >> 8));
    document_.push_back(uint8_t(word));
}

void CCgmDevice::AppendHeader(ElementId element, uint16_t length) {
    if (length < kLongFormLength) {
        AppendWord(CommandHeader(element, length));
    } else {
        AppendWord(CommandHeader(element, kLongFormLength));
        AppendWord(length);
    }
}

void CCgmDevice::AppendIntegerElement(ElementId element, int16_t value) {
    AppendHeader(element, 2);
    AppendWord(uint16_t(value));
}

void CCgmDevice::AppendStringElement(ElementId element, const std::string& text, bool longForm) {
    const size_t count = std::min(text.size(), size_t(kMaxShortString));
    const uint16_t length = uint16_t(count + 1);
    if (longForm) {
        AppendWord(CommandHeader(element, kLongFormLength));
        AppendWord(length);
    } else {
        AppendHeader(element, length);
    }
    document_.push_back(uint8_t(count));
    document_.insert(document_.end(), text.begin(), text.begin() + std::ptrdiff_t(count));
    if (length % 2) document_.push_back(0);
}

void CCgmDevice::AppendColourElement(ElementId element, ColorRef colour) {
    AppendHeader(element, 3);
    document_.push_back(gdi::redOf(colour));
    document_.push_back(gdi::greenOf(colour));
    document_.push_back(gdi::blueOf(colour));
    document_.push_back(0);
}

void CCgmDevice::AppendPointsElement(ElementId element, const ShortPoint* points, uint32_t count) {
    AppendWord(CommandHeader(element, kLongFormLength));
    for (uint32_t done = 0; done < count;) {
        const uint32_t part = std::min(count - done, kMaxPointsPerPartition);
        const bool more = done + part < count;
        AppendWord(uint16_t(part * kPointSize) | (more ? kPartitionFlag : 0));
        for (uint32_t i = done; i < done + part; ++i) {
            AppendWord(uint16_t(points[i].x));
            AppendWord(uint16_t(points[i].y));
        }
        done += part;
    }
}

bool CCgmDevice::Begin(const char* title, const char* fileName, const char*, double width, double height) {
    fileName_ = fileName ? fileName : "";
    polyline_.Clear();
    currentColour_ = 0;
    document_.clear();
    const std::string description = FileTitleOf(title);
    AppendStringElement(kBeginMetafile, "Tracemill output cgm file", true);
    AppendIntegerElement(kMetafileVersion, 1);
    AppendStringElement(kMetafileDescription, description, true);
    AppendHeader(kMetafileElementList, 6); // one entry: the drawing-plus-control set
    AppendWord(1);
    AppendWord(uint16_t(-1));
    AppendWord(1);
    AppendStringElement(kBeginPicture, description, true);
    AppendIntegerElement(kColourSelectionMode, 1);          // direct
    AppendIntegerElement(kEdgeWidthSpecificationMode, 0);   // absolute
    AppendIntegerElement(kLineWidthSpecificationMode, 0);   // absolute
    AppendHeader(kVdcExtent, 8);
    AppendWord(0);
    AppendWord(0);
    AppendWord(uint16_t(CgmCoordinate(width)));
    AppendWord(uint16_t(CgmCoordinate(height)));
    AppendHeader(kBeginPictureBody, 0);
    AppendIntegerElement(kEdgeVisibility, 1);
    AppendIntegerElement(kEdgeWidth, 1);
    AppendIntegerElement(kEdgeType, 1);      // solid
    AppendIntegerElement(kInteriorStyle, 1); // solid
    AppendIntegerElement(kLineWidth, 1);
    AppendIntegerElement(kLineType, 1); // solid
    return true;
}

bool CCgmDevice::End() {
    FlushPolyline();
    AppendHeader(kEndPicture, 0);
    AppendHeader(kEndMetafile, 0);
    if (fileName_.empty()) return false;
    return WriteFileBytes(fileName_, std::span<const uint8_t>(document_));
}

void CCgmDevice::FlushPolyline() {
    // A polyline longer than one element holds goes on in the next element from the last
    // point of the one before.
    const uint32_t n = polyline_.Count();
    for (uint32_t start = 0; n >= 2 && start + 1 < n;) {
        const uint32_t count = std::min(n - start, kMaxPointsPerPartition);
        AppendPointsElement(kPolyline, polyline_.Data() + start, count);
        start += count - 1;
    }
    polyline_.Clear();
}

void CCgmDevice::MoveTo(double x, double y) {
    FlushPolyline();
    polyline_.AddPoint(CgmCoordinate(x), CgmCoordinate(y));
}

void CCgmDevice::LineTo(double x, double y) { polyline_.AddPoint(CgmCoordinate(x), CgmCoordinate(y)); }

void CCgmDevice::FillPolygon(int32_t first, int32_t last, DevicePoint* points) {
    FlushPolyline();
    if (first < 0 || last < first || uint64_t(last) - uint64_t(first) + 1 < 3) return;
    std::vector<ShortPoint> polygon;
    polygon.reserve(size_t(last - first) + 1);
    for (int32_t i = first; i <= last; ++i) polygon.push_back({CgmCoordinate(points[i].x), CgmCoordinate(points[i].y)});
    AppendPointsElement(kPolygon, polygon.data(), uint32_t(polygon.size()));
}

void CCgmDevice::SetPen(ColorRef colour, double) {
    if (colour == currentColour_) return;
    RestartPolylineAtLastPoint(polyline_, [this] { FlushPolyline(); });
    currentColour_ = colour;
    AppendColourElement(kEdgeColour, colour);
    AppendColourElement(kFillColour, colour);
    AppendColourElement(kLineColour, colour);
}

} // namespace tracemill::render
