#include "app/render/gdi_hook_primitives.h"

#include <cstdint>
#include <cstdlib>

#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"

namespace tracemill {
namespace {

// One thread draws: the buffer is reused by every polygon of a pass.
std::vector<gdi::Point>& pointBuffer() {
    static std::vector<gdi::Point> buffer;
    return buffer;
}

// One unit further in the direction of delta, staying inside the 32-bit range.
int32_t stepOn(int32_t value, int64_t delta) {
    if (delta > 0) return value == INT32_MAX ? value : value + 1;
    return value == INT32_MIN ? value : value - 1;
}

} // namespace

std::span<const gdi::Point> PolygonRangePoints(PointRange range, const DevicePoint* points) {
    std::vector<gdi::Point>& buffer = pointBuffer();
    buffer.clear();
    if (!points || range.first < 0 || range.last < range.first) return {};
    for (int32_t i = range.first; i <= range.last; ++i) buffer.push_back(ToGdiPoint(points[i]));
    return buffer;
}

std::span<const gdi::Point> PolyPolygonPoints(const DevicePoint* points, const int32_t* counts, int32_t polygonCount,
                                              std::vector<int>& countsOut) {
    std::vector<gdi::Point>& buffer = pointBuffer();
    buffer.clear();
    countsOut.clear();
    if (!points || !counts) return {};
    for (int32_t k = 0; k < polygonCount; ++k) countsOut.push_back(counts[k] > 0 ? counts[k] : 0);
    for (int count : countsOut) {
        for (int i = 0; i < count; ++i) buffer.push_back(ToGdiPoint(points[buffer.size()]));
    }
    return buffer;
}

gdi::Point LengthenedLineEnd(gdi::Point from, gdi::Point to) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    gdi::Point end = to;
    bool moveX = dy == 0;
    bool moveY = dx == 0;
    if (dx != 0 && dy != 0) {
        const int64_t s = std::llabs(8 * dy / dx);
        const bool both = s >= 3 && s <= 19;
        moveY = both || std::llabs(dy) > std::llabs(dx);
        moveX = both || !moveY;
    }
    if (moveX) end.x = stepOn(end.x, dx);
    if (moveY) end.y = stepOn(end.y, dy);
    return end;
}

void DrawLengthenedLine(gdi::DeviceContext& dc, int32_t x, int32_t y, gdi::ColorRef pixelColour) {
    GdiOutputState& state = GetGdiOutputState();
    const gdi::Point from{state.lastX, state.lastY};
    const gdi::Point to{x, y};
    state.lastX = x;
    state.lastY = y;
    if (from == to) {
        dc.setPixel(to, pixelColour);
        return;
    }
    dc.lineTo(LengthenedLineEnd(from, to));
    dc.moveTo(to);
}

void SelectPenCacheSlot(uint16_t index, HostWord host, MakePenCacheSlot make) {
    GdiOutputState& state = GetGdiOutputState();
    state.colorIndex = index;
    int16_t slot = -1;
    if (index < kFirstRotatingSlot && state.lineWeightValue == 0) {
        slot = int16_t(index);
    } else if (state.lineWeightValue == 0) {
        for (uint16_t i = kFirstRotatingSlot; i < kPenCacheSlots; ++i) {
            if (state.penCache[i].colorIndex == index) {
                slot = int16_t(i);
                break;
            }
        }
    }
    if (slot < 0) {
        slot = int16_t(state.nextSlot);
        state.penCache[state.nextSlot] = make(index, host);
        state.nextSlot = size_t(state.nextSlot) + 1 < kPenCacheSlots ? uint16_t(state.nextSlot + 1) : kFirstRotatingSlot;
    }
    state.currentSlot = slot;
    if (state.target) SelectCurrentPenCacheSlot(*state.target);
}

void SelectCurrentPenCacheSlot(gdi::DeviceContext& dc) {
    const GdiOutputState& state = GetGdiOutputState();
    const PenCacheSlot& slot = state.penCache[size_t(state.currentSlot)];
    dc.selectPen(slot.pen);
    dc.selectBrush(slot.brush);
}

const ColorTable& PaletteOfHost(HostWord host) {
    const CDrawingObject* drawingObject = DrawingObjectOfHost(host);
    return drawingObject ? drawingObject->GetPalette() : ColorWorkingTable();
}

gdi::ColorRef CurrentColourOfHost(HostWord host) {
    const GdiOutputState& state = GetGdiOutputState();
    if (state.colorIndex < kColorIndexCount) return PaletteOfHost(host)[state.colorIndex];
    return state.target ? state.target->pen().color : 0;
}

} // namespace tracemill
