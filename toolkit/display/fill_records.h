// The records display generation hands the host with a picture inside a polygon (output hook
// slot 18) and with a raster image's frame and clip (slot 19).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/core/device_point.h"
#include "toolkit/core/point.h"

namespace tracemill {

struct PagedStream;

struct PictureRecord {
    // The device rectangle of the picture: x and y of its first corner, then of the opposite one.
    std::array<int32_t, 4> rect{};
    int32_t pointCount = 0;
    const DevicePoint* points = nullptr;  // the polygon the picture shows through
    PagedStream* picture = nullptr;       // the stored picture; its first byte gives its kind
};

// Where a raster image lies: its insertion point, the vectors of one pixel along its rows and
// its columns, and its size in pixels.
struct ImagePlacement {
    Point3 origin;
    Point3 u;
    Point3 v;
    double width = 0.0;
    double height = 0.0;
};

struct FillRecord {
    std::array<DevicePoint, 4> corners{};  // the image's corners on the device
    int32_t polygonCount = 0;              // the frame, clipped to the viewport
    const DevicePoint* polygon = nullptr;
    std::vector<Point2> boundary;          // the image's own clip boundary, in pixels
    int32_t boundaryCount = 0;             // that boundary on the device, clipped to the viewport
    const DevicePoint* boundaryPoints = nullptr;
};

} // namespace tracemill
