// CEpsDevice: writes an Encapsulated PostScript file as it draws: a comment header, a prolog
// of short procedure names, the drawing as paths and a trailer. One device unit is one
// PostScript point; widths in inches are multiplied by 72. Numbers are "%-.3f" in the C
// locale's form; lines end in CR LF.
#pragma once

#include <ctime>
#include <functional>

#include "app/render/devices/device_output_file.h"
#include "app/render/devices/output_device.h"
#include "app/render/devices/point_buffer.h"

namespace tracemill::render {

class CEpsDevice : public COutputDevice {
public:
    CEpsDevice();

    // The clock that dates the file (the system's by default).
    void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

    bool Begin(const char* title, const char* fileName, const char* reserved, double width,
               double height) override;
    bool End() override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void FillPolygon(int32_t first, int32_t last, DevicePoint* points) override;
    void FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) override;
    bool SupportsPolyPolygon() const override { return true; }
    // Writes the colour when it changes and, with pen widths, the width when it changes; the
    // polyline goes on from its last point.
    void SetPen(ColorRef colour, double width) override;

private:
    void FlushPolyline();
    // "x y m" or "x y l" and a line end.
    void AppendPointLine(const DevicePoint& p, const char* op);
    void AppendPolygonPath(const DevicePoint* points, uint64_t count);

    std::function<std::time_t()> clock_;
    DeviceOutputFile file_;
    PointBuffer polyline_;
    double currentWidth_ = -1.0;
    uint32_t currentColour_ = 0xFFFFFFFF; // no colour has all 32 bits set
};

// "%A, %B %d, %Y" with English names whatever the locale: "Monday, December 07, 2026".
std::string EpsCreationDate(const std::tm& local);

} // namespace tracemill::render
