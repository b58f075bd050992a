// CPdfDeviceAdapter: the output device that draws into the content stream of a PDF page
// instead of a file. One device unit is one PDF unit (1/72 inch); widths in inches are
// multiplied by 72; the origin offset is added to every coordinate written. The stream, the
// page and the document belong to the caller, who saves the document.
#pragma once

#include "app/render/devices/output_device.h"
#include "app/render/devices/stroke_state.h"

namespace tracemill::render {

class CPdfContent;

class CPdfDeviceAdapter : public COutputDevice {
public:
    CPdfDeviceAdapter() = default;

    // The stream to draw into; set before Begin.
    void SetContent(CPdfContent* content) { content_ = content; }
    void SetOrigin(double x, double y) {
        originX_ = x;
        originY_ = y;
    }

    // Round caps and joins; false without a content stream.
    bool Begin(const char* title, const char* fileName, const char* reserved, double width,
               double height) override;
    // Ends an open path; false when the stream could not take every operator (no memory).
    bool End() override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    // Adds the origin to the points in the caller's array, then fills and strokes them.
    void FillPolygon(int32_t first, int32_t last, DevicePoint* points) override;
    void FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) override;
    bool SupportsPolyPolygon() const override { return true; }
    // Strokes an open path (the next LineTo goes on from its last point), then writes the
    // stroke and fill colour (grey when red, green and blue are equal) and, with pen widths,
    // the line width.
    void SetPen(ColorRef colour, double width) override;

private:
    void Check(bool appended) { failed_ = failed_ || !appended; }

    double originX_ = 0;
    double originY_ = 0;
    StrokeState stroke_; // its open path: stroke operators that no "S" has ended yet
    bool failed_ = false;
    CPdfContent* content_ = nullptr;
};

} // namespace tracemill::render
