// The print hook set: every point turned by the print rotation within the page and shifted by
// the print offset; drawn only while the print output flag is set.
#include <algorithm>
#include <vector>

#include "app/render/gdi_hook_primitives.h"
#include "app/render/hook_sets.h"
#include "app/render/picture_hooks.h"
#include "app/render/raster_data_reader.h"
#include "app/render/pen_width_table.h"

namespace tracemill {
namespace {

gdi::Point printPoint(int32_t x, int32_t y) {
    const GdiOutputState& state = GetGdiOutputState();
    const int64_t w = state.width;
    const int64_t h = state.height;
    int64_t px = x;
    int64_t py = y;
    switch (state.printRotation) {
    case 1:
        px = h - y;
        py = x;
        break;
    case 2:
        px = w - x;
        py = h - y;
        break;
    case 3:
        px = y;
        py = w - x;
        break;
    default:
        break;
    }
    px += state.printOffsetX;
    py += state.printOffsetY;
    auto clamp32 = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    return {clamp32(px), clamp32(py)};
}

gdi::DeviceContext* printTarget() {
    const GdiOutputState& state = GetGdiOutputState();
    return state.printOutput ? state.target : nullptr;
}

void printMoveTo(int32_t x, int32_t y, HostWord) {
    GdiOutputState& state = GetGdiOutputState();
    const gdi::Point p = printPoint(x, y);
    state.lastX = p.x;
    state.lastY = p.y;
    if (gdi::DeviceContext* dc = printTarget()) dc->moveTo(p);
}

void printLineTo(int32_t x, int32_t y, HostWord) {
    GdiOutputState& state = GetGdiOutputState();
    const gdi::Point p = printPoint(x, y);
    gdi::DeviceContext* dc = printTarget();
    if (!dc) {
        state.lastX = p.x;
        state.lastY = p.y;
        return;
    }
    DrawLengthenedLine(*dc, p.x, p.y, dc->pen().color);
}

std::vector<gdi::Point>& turnedPoints(std::span<const gdi::Point> points) {
    static std::vector<gdi::Point> turned;
    turned.clear();
    for (const gdi::Point& p : points) turned.push_back(printPoint(p.x, p.y));
    return turned;
}

void printPolygon(PointRange range, const DevicePoint* points, HostWord) {
    gdi::DeviceContext* dc = printTarget();
    if (!dc) return;
    const std::vector<gdi::Point>& polygon = turnedPoints(PolygonRangePoints(range, points));
    if (!polygon.empty()) dc->polygon(polygon);
}

void printPolyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord) {
    gdi::DeviceContext* dc = printTarget();
    if (!dc) return;
    std::vector<int> loopCounts;
    const std::vector<gdi::Point>& loops = turnedPoints(PolyPolygonPoints(points, counts, polygonCount, loopCounts));
    if (loops.empty()) return;
    const gdi::FillMode previous = dc->setPolyFillMode(gdi::FillMode::Alternate);
    dc->polyPolygon(loops, loopCounts);
    dc->setPolyFillMode(previous);
}

// A printer pen: the pen table's print width of the index, in the colour of its mapped index.
PenCacheSlot printPenSlot(uint16_t index, HostWord host) {
    const PenWidthEntry& entry = GetPenWidthTable()[index];
    const int16_t mapped = entry.mappedColorIndex;
    const size_t colourIndex = mapped >= 0 && size_t(mapped) < kColorIndexCount ? size_t(mapped) : index;
    const gdi::ColorRef colour = PaletteOfHost(host)[colourIndex];
    return {SolidPen(entry.printWidth, colour), SolidBrush(colour), index};
}

int16_t printSetColor(int16_t index, HostWord host) {
    const int16_t clamped = std::clamp<int16_t>(index, 0, int16_t(kColorIndexCount - 1));
    SelectPenCacheSlot(uint16_t(clamped), host, printPenSlot);
    return clamped;
}

} // namespace

gdi::Point PrintPagePoint(int32_t x, int32_t y) { return printPoint(x, y); }

void InstallPrintHooks() {
    dbSetMoveToHook(printMoveTo);
    dbSetLineToHook(printLineTo);
    dbSetPolygonHook(printPolygon);
    dbSetPolyPolygonHook(printPolyPolygon);
    dbSetColorHook(printSetColor);
    dbSetLineWidthHook(GdiSetLineWeight);
    dbSetHook17(PrintRasterData);
    dbSetPictureHook(PrintPictureHook);
    GetRasterDataReader().reset();
    GetGdiOutputState().deviceHooks = 0;
}

} // namespace tracemill
