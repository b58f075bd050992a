// The screen hook set: every primitive as a drawing call on the target device context.
#include <algorithm>
#include <optional>

#include "app/render/drawing_object.h"
#include "app/render/gdi_hook_primitives.h"
#include "app/render/hook_sets.h"
#include "app/render/picture_hooks.h"
#include "app/render/raster_data_reader.h"

namespace tracemill {
namespace {

constexpr int16_t kLastColorIndex = int16_t(kColorIndexCount - 1);

// Outlines of filled shapes are one pixel wide: a wider cached pen gives way to a one-pixel
// pen of the current colour for the call.
class ThinOutline {
public:
    ThinOutline(gdi::DeviceContext& dc, HostWord host) : dc_(dc) {
        if (GetGdiOutputState().penWidth >= 1) previous_ = dc.selectPen(SolidPen(0, CurrentColourOfHost(host)));
    }
    ~ThinOutline() {
        if (previous_) dc_.selectPen(*previous_);
    }

private:
    gdi::DeviceContext& dc_;
    std::optional<gdi::Pen> previous_;
};

void screenMoveTo(int32_t x, int32_t y, HostWord) {
    GdiOutputState& state = GetGdiOutputState();
    state.lastX = x;
    state.lastY = y;
    if (state.target) state.target->moveTo({x, y});
}

void screenLineTo(int32_t x, int32_t y, HostWord host) {
    GdiOutputState& state = GetGdiOutputState();
    if (!state.target) {
        state.lastX = x;
        state.lastY = y;
        return;
    }
    DrawLengthenedLine(*state.target, x, y, CurrentColourOfHost(host));
}

void screenPolygon(PointRange range, const DevicePoint* points, HostWord host) {
    gdi::DeviceContext* dc = GetGdiOutputState().target;
    if (!dc) return;
    const std::span<const gdi::Point> polygon = PolygonRangePoints(range, points);
    if (polygon.empty()) return;
    ThinOutline outline(*dc, host);
    dc->polygon(polygon);
}

void screenPolyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord host) {
    gdi::DeviceContext* dc = GetGdiOutputState().target;
    if (!dc) return;
    std::vector<int> loopCounts;
    const std::span<const gdi::Point> loops = PolyPolygonPoints(points, counts, polygonCount, loopCounts);
    if (loops.empty()) return;
    ThinOutline outline(*dc, host);
    const gdi::FillMode previous = dc->setPolyFillMode(gdi::FillMode::Alternate);
    dc->polyPolygon(loops, loopCounts);
    dc->setPolyFillMode(previous);
}

PenCacheSlot screenPenSlot(uint16_t index, HostWord host) {
    const gdi::ColorRef colour = PaletteOfHost(host)[index];
    return {SolidPen(GetGdiOutputState().penWidth, colour), SolidBrush(colour), index};
}

} // namespace

int16_t ScreenSetColor(int16_t index, HostWord host) {
    const int16_t clamped = std::clamp<int16_t>(index, 0, kLastColorIndex);
    GdiOutputState& state = GetGdiOutputState();
    const CDrawingObject* drawingObject = DrawingObjectOfHost(host);
    if (drawingObject && drawingObject->GetColorMode() == kColorModeBlackWhite) {
        state.colorIndex = uint16_t(clamped);
        if (state.currentSlot == 0) return clamped;
        state.currentSlot = 0;
        if (state.target) SelectCurrentPenCacheSlot(*state.target);
        return clamped;
    }
    SelectPenCacheSlot(uint16_t(clamped), host, screenPenSlot);
    return clamped;
}

void GdiSetLineWeight(int32_t value, HostWord host) {
    GdiOutputState& state = GetGdiOutputState();
    if (!state.lineWeightFlag) return;
    state.lineWeightValue = value;
    // The colour hook of the set installed (the print set's own for printing), so that the pen
    // made anew is the one that set makes.
    if (gOutputHookTable && gOutputHookTable->hostColor && state.colorIndex < kColorIndexCount)
        gOutputHookTable->hostColor(int16_t(state.colorIndex), host);
}

void InstallScreenHooks() {
    dbSetMoveToHook(screenMoveTo);
    dbSetLineToHook(screenLineTo);
    dbSetPolygonHook(screenPolygon);
    dbSetPolyPolygonHook(screenPolyPolygon);
    dbSetColorHook(ScreenSetColor);
    dbSetLineWidthHook(GdiSetLineWeight);
    dbSetRasterImageHook(LoadRasterImageHook);
    dbSetHook17(ScreenRasterData);
    dbSetPictureHook(ScreenPictureHook);
    // A pass stopped inside a raster image leaves no pixels expected of the next.
    GetRasterDataReader().reset();
    GetGdiOutputState().deviceHooks = 0;
}

} // namespace tracemill
