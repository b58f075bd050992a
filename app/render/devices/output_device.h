// The vector output device that export draws through, one implementation per file format,
// and the factory that makes one from an export format id.
//
// Coordinates are device units with the origin at the lower left and y growing upwards;
// pen widths are inches; colours are 0x00BBGGRR values. A device serves one output:
// Begin, any sequence of SetPen, MoveTo, LineTo, FillPolygon and FillPolyPolygon, then End
// (only after a Begin that returned true), then it is deleted.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi/gdi_types.h"

namespace tracemill::render {

using gdi::ColorRef;

// A point in device units (the toolkit's integer DevicePoint divided by the device scale).
struct DevicePoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

class COutputDevice {
public:
    virtual ~COutputDevice() = default;

    // Starts the output of a picture of width x height device units. False when the file
    // cannot be started; the caller then skips End. `title` is read by the CGM device only,
    // `reserved` by none.
    virtual bool Begin(const char* title, const char* fileName, const char* reserved, double width,
                       double height) = 0;
    // Finishes the output and writes the file; false when anything could not be written, in
    // which case no file (or the old one) is left at the target.
    virtual bool End() = 0;
    // Starts a new polyline at (x, y).
    virtual void MoveTo(double x, double y) = 0;
    // Extends the current polyline to (x, y).
    virtual void LineTo(double x, double y) = 0;
    // Fills points[first..last] (inclusive) as one closed polygon.
    virtual void FillPolygon(int32_t first, int32_t last, DevicePoint* points) = 0;
    // Fills polygonCount polygons as one shape; polygon k has counts[k] points, which follow
    // those of polygon k-1 in `points`.
    virtual void FillPolyPolygon(DevicePoint* points, const uint32_t* counts, uint32_t polygonCount) = 0;
    // False: the caller breaks poly-polygons into simple polygons for FillPolygon.
    virtual bool SupportsPolyPolygon() const { return false; }
    virtual void SetPen(ColorRef colour, double width) = 0;

    // Set before Begin: the devices honour the widths given to SetPen.
    void SetUsePenWidths(bool on) { usePenWidths_ = on; }
    bool UsePenWidths() const { return usePenWidths_; }

private:
    bool usePenWidths_ = false;
};

// The index of the last polygon of a poly-polygon that has points; polygonCount when none
// has any (such polygons add nothing to the shape).
inline uint32_t LastPolygonWithPoints(const uint32_t* counts, uint32_t polygonCount) {
    for (uint32_t k = polygonCount; k > 0; --k) {
        if (counts[k - 1] > 0) return k - 1;
    }
    return polygonCount;
}

// Export format ids that have a device made by the factory.
enum OutputFormatId : int {
    kFormatSvg = 1,
    kFormatPlt = 2,
    kFormatHgl = 3,
    kFormatPdfNew = 4,
    kFormatPdfPage = 5,
    kFormatSvgz = 6,
    kFormatCgm = 7,
    kFormatEps = 8,
};

// A new device for the format id; none for a format without one (PDF pages are drawn through
// a CPdfDeviceAdapter that the export builds itself) and when memory runs out.
std::unique_ptr<COutputDevice> CreateOutputDevice(int formatId);

} // namespace tracemill::render
