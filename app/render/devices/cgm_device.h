// CCgmDevice: writes a binary Computer Graphics Metafile of one picture with integer VDC
// coordinates, polylines and filled polygons in direct colour. The metafile is built in
// memory and written at End. Widths are not used (every line has width 1); poly-polygons
// arrive as simple polygons. Coordinates are truncated toward zero and clamped to 16 bits.
#pragma once

#include <string>
#include <vector>

#include "app/render/devices/cgm_format.h"
#include "app/render/devices/output_device.h"
#include "app/render/devices/point_buffer.h"

namespace tracemill::render {

class CCgmDevice : public COutputDevice {
public:
    // The metafile header and the picture's attributes; `title` gives the description.
    bool Begin(const char* title, const char* fileName, const char* reserved, double width,
               double height) override;
    bool End() override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void FillPolygon(int32_t first, int32_t last, DevicePoint* points) override;
    void FillPolyPolygon(DevicePoint*, const uint32_t*, uint32_t) override {}
    void SetPen(ColorRef colour, double width) override;

    // The metafile so far.
    const std::vector<uint8_t>& Document() const { return document_; }

private:
    void FlushPolyline();
    void AppendWord(uint16_t word);
    void AppendHeader(cgm::ElementId element, uint16_t length);
    void AppendIntegerElement(cgm::ElementId element, int16_t value);
    // A string in the short form, padded to an even length; the long-form header when asked.
    void AppendStringElement(cgm::ElementId element, const std::string& text, bool longForm);
    void AppendColourElement(cgm::ElementId element, ColorRef colour);
    // Points in the long form, partitioned after every kMaxPointsPerPartition points.
    void AppendPointsElement(cgm::ElementId element, const ShortPoint* points, uint32_t count);

    std::string fileName_;
    std::vector<uint8_t> document_;
    ShortPointBuffer polyline_;
    ColorRef currentColour_ = 0;
};

// A device coordinate as a CGM integer: truncated toward zero, clamped to -32,768..32,767
// (NaN gives 0).
int16_t CgmCoordinate(double value);

} // namespace tracemill::render
