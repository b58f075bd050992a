#include "app/render/pdf/pdf_content.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <new>
#include <string>

#include "app/render/devices/device_number_format.h"
#include "app/render/devices/zlib_compression.h"

namespace tracemill::render {

namespace {

constexpr int kCoordinateDecimals = 2;
constexpr int kColourDecimals = 3;

} // namespace

CPdfContent::CPdfContent(int32_t* counter)
    : lengthObject_(std::make_unique<CPdfIndirectObject>(counter, std::make_unique<CPdfInteger>(0))) {}

bool CPdfContent::Write(FILE* file, CPdfXrefTable* xref) {
    dictionary_.Set("Length", std::make_unique<CPdfReference>(lengthObject_.get()));
    if (!dictionary_.Write(file, xref) || !PdfPut(file, "\nstream\n")) return false;
    const long start = std::ftell(file);
    if (start < 0 || WriteData(file) < 0) return false;
    const long end = std::ftell(file);
    if (end < start || end - start > INT32_MAX) return false;
    static_cast<CPdfInteger*>(lengthObject_->Value())->SetValue(int32_t(end - start));
    return PdfPut(file, "\nendstream");
}

int64_t CPdfContent::WriteData(FILE* file) {
    return PdfPut(file, std::string_view(reinterpret_cast<const char*>(buffer_.get()), used_)) ? int64_t(used_)
                                                                                               : -1;
}

bool CPdfContent::Append(const void* data, size_t length) {
    if (capacity_ - used_ < length) {
        // Grows in whole steps; the step doubles at every third growth, so large drawings
        // take few copies.
        const size_t capacity = capacity_ + (length / growthStep_ + 1) * growthStep_;
        std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[capacity]);
        if (!block) return false;
        if (used_ > 0) std::memcpy(block.get(), buffer_.get(), used_);
        buffer_ = std::move(block);
        capacity_ = capacity;
        if (++growthCount_ % 3 == 0) growthStep_ *= 2;
    }
    if (length > 0) std::memcpy(buffer_.get() + used_, data, length);
    used_ += length;
    return true;
}

bool CPdfContent::Printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(size_t(std::max(length, 0)) + 1, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    if (length <= 0) return false;
    return Append(text.data(), size_t(length));
}

bool CPdfContent::Operator(const double* numbers, int count, int decimals, const char* op, bool blank) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        AppendDeviceNumber(text, numbers[i], decimals);
        text += ' ';
    }
    text += op;
    if (blank) text += ' ';
    return Append(text.data(), text.size());
}

bool CPdfContent::SetStrokeRgb(double r, double g, double b, bool blank) {
    const double rgb[] = {r, g, b};
    return Operator(rgb, 3, kColourDecimals, "RG", blank);
}

bool CPdfContent::SetStrokeGray(double level, bool blank) {
    return Operator(&level, 1, kColourDecimals, "G", blank);
}

bool CPdfContent::SetFillRgb(double r, double g, double b, bool blank) {
    const double rgb[] = {r, g, b};
    return Operator(rgb, 3, kColourDecimals, "rg", blank);
}

bool CPdfContent::SetFillGray(double level, bool blank) {
    return Operator(&level, 1, kColourDecimals, "g", blank);
}

bool CPdfContent::SetLineCap(int style) {
    const std::string text = std::to_string(std::clamp(style, 0, 2)) + " J ";
    return Append(text.data(), text.size());
}

bool CPdfContent::SetLineJoin(int style) {
    const std::string text = std::to_string(std::clamp(style, 0, 2)) + " j ";
    return Append(text.data(), text.size());
}

bool CPdfContent::SetLineWidth(double width, bool blank) {
    return Operator(&width, 1, kColourDecimals, "w", blank);
}

bool CPdfContent::SetDash(int32_t on, int32_t off, int32_t phase, bool blank) {
    std::string text = "[";
    if (on == 0) {
        text += "] 0";
    } else {
        text += std::to_string(on);
        if (off != 0) text += ' ' + std::to_string(off);
        text += "] " + std::to_string(phase);
    }
    text += blank ? " d " : " d";
    return Append(text.data(), text.size());
}

bool CPdfContent::MoveTo(double x, double y, bool blank) {
    const double point[] = {x, y};
    return Operator(point, 2, kCoordinateDecimals, "m", blank);
}

bool CPdfContent::LineTo(double x, double y, bool blank) {
    const double point[] = {x, y};
    return Operator(point, 2, kCoordinateDecimals, "l", blank);
}

bool CPdfContent::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3, bool blank) {
    const double points[] = {x1, y1, x2, y2, x3, y3};
    return Operator(points, 6, kCoordinateDecimals, "c", blank);
}

bool CPdfContent::CurveToV(double x2, double y2, double x3, double y3, bool blank) {
    const double points[] = {x2, y2, x3, y3};
    return Operator(points, 4, kCoordinateDecimals, "v", blank);
}

bool CPdfContent::CurveToY(double x1, double y1, double x3, double y3, bool blank) {
    const double points[] = {x1, y1, x3, y3};
    return Operator(points, 4, kCoordinateDecimals, "y", blank);
}

bool CPdfContent::Rectangle(double x, double y, double width, double height, bool blank) {
    const double box[] = {x, y, width, height};
    return Operator(box, 4, kCoordinateDecimals, "re", blank);
}

bool CPdfContent::Stroke(bool blank) { return Operator(nullptr, 0, 0, "S", blank); }
bool CPdfContent::CloseFillStroke(bool blank) { return Operator(nullptr, 0, 0, "b", blank); }
bool CPdfContent::ClosePath(bool blank) { return Operator(nullptr, 0, 0, "h", blank); }
bool CPdfContent::EvenOddFillStroke(bool blank) { return Operator(nullptr, 0, 0, "B*", blank); }

bool CPdfContent::FillPolygon(int32_t first, int32_t last, const DevicePoint* points) {
    if (last < first) return true;
    bool ok = MoveTo(points[first].x, points[first].y);
    for (int32_t i = first + 1; i <= last; ++i) ok = LineTo(points[i].x, points[i].y) && ok;
    return CloseFillStroke() && ok;
}

bool CPdfContent::FillPolyPolygon(const DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) {
    bool ok = true;
    bool drawn = false;
    for (uint32_t k = 0; k < polygonCount; ++k) {
        if (counts[k] > 0) {
            drawn = true;
            ok = MoveTo(points[0].x, points[0].y) && ok;
            for (uint32_t i = 1; i < counts[k]; ++i) ok = LineTo(points[i].x, points[i].y) && ok;
            ok = ClosePath() && ok;
        }
        points += counts[k];
    }
    return drawn ? EvenOddFillStroke() && ok : ok;
}

CPdfCompressedContent::CPdfCompressedContent(int32_t* counter) : CPdfContent(counter) {
    auto filter = std::make_unique<CPdfArray>();
    filter->AddName("FlateDecode");
    StreamDictionary().Set("Filter", std::move(filter));
}

int64_t CPdfCompressedContent::WriteData(FILE* file) {
    const std::optional<std::vector<uint8_t>> packed = CompressZlibStream(Data(), Size());
    if (!packed) return -1;
    return PdfPut(file, std::string_view(reinterpret_cast<const char*>(packed->data()), packed->size()))
               ? int64_t(packed->size())
               : -1;
}

} // namespace tracemill::render
