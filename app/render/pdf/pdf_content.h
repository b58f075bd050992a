// A page's content stream: drawing operators appended as text into a memory buffer, written
// as a stream object whose length lives in an indirect object of its own (written after the
// stream, when the length is known). CPdfCompressedContent writes the data deflated.
#pragma once

#include <cstdint>
#include <memory>

#include "app/render/devices/output_device.h"
#include "app/render/pdf/pdf_objects.h"

namespace tracemill::render {

class CPdfContent : public CPdfObject {
public:
    // The length object takes the next number of the counter.
    explicit CPdfContent(int32_t* counter);

    bool Write(FILE* file, CPdfXrefTable* xref) override;
    bool IsStream() const override { return true; }
    int64_t WriteData(FILE* file) override;

    // Copies bytes to the end of the stream; false when memory runs out (the stream keeps
    // what it had).
    bool Append(const void* data, size_t length);
    // Appends printf-formatted text; false when it is empty. Numbers with a fraction are
    // formatted by the caller (FormatDeviceNumber), so the text does not follow the locale.
    bool Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // One operator each; colour components and widths with 3 decimals, coordinates with 2.
    // `blank`: the text ends with one blank.
    bool SetStrokeRgb(double r, double g, double b, bool blank = true);
    bool SetStrokeGray(double level, bool blank = true);
    bool SetFillRgb(double r, double g, double b, bool blank = true);
    bool SetFillGray(double level, bool blank = true);
    bool SetLineCap(int style);  // clamped to 0..2
    bool SetLineJoin(int style); // clamped to 0..2
    bool SetLineWidth(double width, bool blank = true);
    bool SetDash(int32_t on, int32_t off, int32_t phase, bool blank = true);
    bool MoveTo(double x, double y, bool blank = true);
    bool LineTo(double x, double y, bool blank = true);
    bool CurveTo(double x1, double y1, double x2, double y2, double x3, double y3, bool blank = true);
    bool CurveToV(double x2, double y2, double x3, double y3, bool blank = true);
    bool CurveToY(double x1, double y1, double x3, double y3, bool blank = true);
    bool Rectangle(double x, double y, double width, double height, bool blank = true);
    bool Stroke(bool blank = true);
    bool CloseFillStroke(bool blank = true);
    bool ClosePath(bool blank = true);
    bool EvenOddFillStroke(bool blank = true);
    // Moves to points[first], lines to the rest up to points[last], closes, fills, strokes.
    bool FillPolygon(int32_t first, int32_t last, const DevicePoint* points);
    // Per polygon a move, lines and a close; then one even-odd fill and stroke.
    bool FillPolyPolygon(const DevicePoint* points, const uint32_t* counts, uint32_t polygonCount);

    const uint8_t* Data() const { return buffer_.get(); }
    size_t Size() const { return used_; }
    CPdfDictionary& StreamDictionary() { return dictionary_; }
    CPdfIndirectObject& LengthObject() { return *lengthObject_; }

private:
    // Numbers (each followed by a blank) and the operator, with or without a trailing blank.
    bool Operator(const double* numbers, int count, int decimals, const char* op, bool blank);

    std::unique_ptr<uint8_t[]> buffer_;
    size_t capacity_ = 0;
    size_t used_ = 0;
    size_t growthStep_ = size_t(1) << 20;
    int growthCount_ = 0;
    std::unique_ptr<CPdfIndirectObject> lengthObject_;
    CPdfDictionary dictionary_;
};

class CPdfCompressedContent : public CPdfContent {
public:
    explicit CPdfCompressedContent(int32_t* counter);
    // The zlib stream of the data; -1 when compression or the write fails.
    int64_t WriteData(FILE* file) override;
};

} // namespace tracemill::render
