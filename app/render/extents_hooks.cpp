// The extents hook set: the bounding box of every point drawn, in device units.
#include <algorithm>

#include "app/render/gdi_hook_primitives.h"
#include "app/render/hook_sets.h"

namespace tracemill {
namespace {

ExtentsState& extents() {
    static ExtentsState state;
    return state;
}

void addPoint(int32_t x, int32_t y) {
    ExtentsState& e = extents();
    if (e.firstPoint) {
        e.minX = e.maxX = x;
        e.minY = e.maxY = y;
        e.firstPoint = 0;
        return;
    }
    e.minX = std::min(e.minX, x);
    e.maxX = std::max(e.maxX, x);
    e.minY = std::min(e.minY, y);
    e.maxY = std::max(e.maxY, y);
}

void extentsMoveTo(int32_t x, int32_t y, HostWord) {
    ExtentsState& e = extents();
    e.pendingX = x;
    e.pendingY = y;
    e.pendingMove = 1;
}

void extentsLineTo(int32_t x, int32_t y, HostWord) {
    ExtentsState& e = extents();
    if (e.pendingMove) {
        e.pendingMove = 0;
        addPoint(e.pendingX, e.pendingY);
    }
    addPoint(x, y);
}

void extentsPolygon(PointRange range, const DevicePoint* points, HostWord) {
    extents().pendingMove = 0;
    if (!points || range.first < 0) return;
    for (int32_t i = range.first; i <= range.last; ++i) addPoint(points[i].x, points[i].y);
}

void extentsPolyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord) {
    extents().pendingMove = 0;
    if (!points || !counts) return;
    int64_t total = 0;
    for (int32_t k = 0; k < polygonCount; ++k) total += std::max(counts[k], 0);
    for (int64_t i = 0; i < total; ++i) addPoint(points[i].x, points[i].y);
}

} // namespace

const ExtentsState& GetExtentsState() { return extents(); }

void InstallExtentsHooks() {
    ExtentsState& e = extents();
    e.firstPoint = 1;
    e.pendingMove = 1;
    dbSetMoveToHook(extentsMoveTo);
    dbSetLineToHook(extentsLineTo);
    dbSetPolygonHook(extentsPolygon);
    dbSetPolyPolygonHook(extentsPolyPolygon);
    InstallColourlessPictureHooks();
}

} // namespace tracemill
