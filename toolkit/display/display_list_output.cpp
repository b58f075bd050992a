#include "toolkit/display/display_list_output.h"

#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/display_list_view.h"
#include "toolkit/display/rectangle_clipper.h"
#include "toolkit/display/scratch_buffer.h"

namespace tracemill {
namespace {

Point2 onDevice(const DisplayList& list, int32_t x, int32_t y) {
    return genDlistGridToDevice(list, {double(x), double(y)});
}

// One loop taken to the device and clipped; appended to the fill's points when it keeps its
// area.
void addLoop(DisplayList& list, const DevicePoint* points, int32_t count) {
    DisplayListScratch& scratch = list.scratch;
    if (count < 3 || !genBufferEnsure(scratch.loop, size_t(count))) return;
    scratch.loop.clear();
    for (int32_t i = 0; i < count; ++i)
        scratch.loop.push_back(onDevice(list, points[i].x, points[i].y));
    const ClipWindow window{double(list.deviceLeft), double(list.deviceTop), double(list.deviceRight),
                            double(list.deviceBottom)};
    if (!genBufferEnsure(scratch.clipped, size_t(count) + 8)) return;
    if (!genClipPolygonToWindow(window, scratch.loop, scratch.clipped)) return;
    if (!genPolygonSpansBothAxes(scratch.clipped.data(), int32_t(scratch.clipped.size()))) return;
    if (!genBufferReserve(scratch.points, scratch.points.size() + scratch.clipped.size()) ||
        !genBufferReserve(scratch.counts, scratch.counts.size() + 1))
        return;
    scratch.points.insert(scratch.points.end(), scratch.clipped.begin(), scratch.clipped.end());
    scratch.counts.push_back(int32_t(scratch.clipped.size()));
}

} // namespace

DevicePoint genDlistDevicePoint(const DisplayList& list, int32_t x, int32_t y) {
    const Point2 p = onDevice(list, x, y);
    return {dbDeviceCoordinateTruncated(p.x), dbDeviceCoordinateTruncated(p.y)};
}

void genDlistSendLine(DisplayList& list, int32_t x0, int32_t y0, int32_t x1, int32_t y1, HostWord host) {
    const OutputHookTable* table = gOutputHookTable;
    if (!table) return;
    Point2 a = onDevice(list, x0, y0), b = onDevice(list, x1, y1);
    // The device rectangle as the view transform's clip rectangle is: half a unit on at the far edges.
    const DeviceRect rect{double(list.deviceLeft), double(list.deviceTop), double(list.deviceRight) + 0.5,
                          double(list.deviceBottom) + 0.5};
    auto inside = [&](const Point2& p) {
        return p.x >= rect.x0 && p.x <= rect.x1 && p.y >= rect.y0 && p.y <= rect.y1;
    };
    if (!(inside(a) && inside(b)) && !genClipSegmentToRect(a, b, rect)) return;
    const DevicePoint from{dbDeviceCoordinateTruncated(a.x), dbDeviceCoordinateTruncated(a.y)};
    const DevicePoint to{dbDeviceCoordinateTruncated(b.x), dbDeviceCoordinateTruncated(b.y)};
    if (from != list.hostPen) genDlistCallHost(list, table->hostMoveTo, from.x, from.y, host);
    genDlistCallHost(list, table->hostLineTo, to.x, to.y, host);
    list.hostPen = to;
}

void genDlistSendFill(DisplayList& list, const DevicePoint* points, const int32_t* counts, int32_t loopCount,
                      bool holes, HostWord host) {
    const OutputHookTable* table = gOutputHookTable;
    if (!table || !points || !counts) return;
    DisplayListScratch& scratch = list.scratch;
    scratch.points.clear();
    scratch.counts.clear();
    int32_t first = 0;
    for (int32_t i = 0; i < loopCount && (holes || i == 0); ++i) {
        addLoop(list, points + first, counts[i]);
        first += counts[i];
    }
    if (scratch.counts.empty()) return;
    if (holes) {
        genDlistCallHost(list, table->hostPolyPolygon, scratch.points.data(), scratch.counts.data(),
                         int32_t(scratch.counts.size()), host);
    } else {
        genDlistCallHost(list, table->hostPolygon, PointRange{0, scratch.counts[0] - 1},
                         scratch.points.data(), host);
    }
}

} // namespace tracemill
