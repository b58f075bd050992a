#include "toolkit/display/polygon_loop_fill.h"

#include <algorithm>
#include <new>

#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

void sendStrips(const StripSet& strips, HostWord host) {
    OutputHookTable* table = gOutputHookTable;
    if (!table) return;
    std::vector<DevicePoint>& device = table->scratchPoints;
    for (const std::vector<Point2>& strip : strips.strips) {
        if (strip.size() < 3) continue;  // no triangle
        device.clear();
        for (const Point2& p : strip) device.push_back({dbDeviceCoordinate(p.x), dbDeviceCoordinate(p.y)});
        dbSendTriangleStrip(device.data(), int32_t(device.size()), host);
    }
}

void fillLoops(const DevicePoint* points, const int32_t* counts, int32_t loopCount, HostWord host) {
    LoopSet region;
    region.loops.resize(size_t(loopCount));
    const DevicePoint* next = points;
    for (size_t i = 0; i < region.loops.size(); ++i) {
        const int32_t count = std::max(counts[i], 0);
        std::vector<Point2>& loop = region.loops[i].points;
        loop.reserve(size_t(count));
        for (int32_t k = 0; k < count; ++k, ++next) loop.push_back({double(next->x), double(next->y)});
    }
    StripSet strips;
    genLoopSetToStrips(region, strips);
    sendStrips(strips, host);
}

} // namespace

// Output that cannot get the memory it needs is left out; the host hears of it through the
// error callback.
void dbFillPolygonLoops(const DevicePoint* points, const int32_t* counts, int32_t loopCount, HostWord host) {
    if (!points || !counts || loopCount <= 0) return;
    try {
        fillLoops(points, counts, loopCount, host);
    } catch (const std::bad_alloc&) {
        dbNotifyError(kErrorReasonNoMemory);
    }
}

void dbSendTriangleStrips(const StripSet& strips, HostWord host) {
    try {
        sendStrips(strips, host);
    } catch (const std::bad_alloc&) {
        dbNotifyError(kErrorReasonNoMemory);
    }
}

} // namespace tracemill
