// CHpglDevice: writes an HP-GL/2 plot file as it draws. Polylines are collected and written
// as one pen-up move and one pen-down list; fills use polygon mode. Every stroke uses pen 1
// (colours are not written); with pen widths, each segment of a wide polyline is drawn as a
// filled rectangle. Numbers are "%-.3f" in the C locale's form; lines end in CR LF.
#pragma once

#include "app/render/devices/device_output_file.h"
#include "app/render/devices/output_device.h"
#include "app/render/devices/point_buffer.h"

namespace tracemill::render {

class CHpglDevice : public COutputDevice {
public:
    bool Begin(const char* title, const char* fileName, const char* reserved, double width,
               double height) override;
    bool End() override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void FillPolygon(int32_t first, int32_t last, DevicePoint* points) override;
    void FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) override;
    bool SupportsPolyPolygon() const override { return true; }
    // Only a width change (with pen widths) matters: the polyline goes on from its last point.
    void SetPen(ColorRef colour, double width) override;

private:
    void FlushPolyline();
    void WriteWideSegment(const DevicePoint& p1, const DevicePoint& p2);
    // "x,y" of a point.
    void AppendPoint(const DevicePoint& p);
    // The points first+1 .. last of a pen-down list, each followed by ",", with a line break
    // after every index that is a multiple of 5.
    void AppendPenDownList(const DevicePoint* points, uint64_t first, uint64_t last);

    DeviceOutputFile file_;
    PointBuffer polyline_;
    double currentWidth_ = 0; // inches
};

} // namespace tracemill::render
