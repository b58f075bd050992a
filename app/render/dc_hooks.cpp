// The DC hook set of the raster export: every primitive drawn into the target in its colour
// and into the mask in white, each context turned to y-up coordinates for the call.
#include "app/render/gdi_hook_primitives.h"
#include "app/render/hook_sets.h"
#include "app/render/picture_hooks.h"
#include "app/render/raster_data_reader.h"

namespace tracemill {
namespace {

// For one drawing call: the anisotropic mapping with window extent (saved x, -saved y) and
// window origin (0, height), and afterwards the saved origin, extent and mapping mode.
class YUpMapping {
public:
    YUpMapping(gdi::DeviceContext& dc, const SavedMapping& saved) : dc_(dc), saved_(saved) {
        dc.setMapMode(gdi::MapMode::Anisotropic);
        dc.setWindowExt({saved.windowExt.cx, -saved.windowExt.cy});
        dc.setWindowOrg({0, GetGdiOutputState().height});
    }
    ~YUpMapping() {
        dc_.setWindowOrg(saved_.windowOrg);
        dc_.setWindowExt(saved_.windowExt);
        dc_.setMapMode(saved_.mapMode);
    }

private:
    gdi::DeviceContext& dc_;
    const SavedMapping& saved_;
};

// Calls draw(dc) for the target and then for the mask, each under its y-up mapping.
template <class Draw> void drawInBoth(Draw draw) {
    const GdiOutputState& state = GetGdiOutputState();
    if (state.target) {
        YUpMapping mapping(*state.target, state.targetMapping);
        draw(*state.target, false);
    }
    if (state.mask) {
        YUpMapping mapping(*state.mask, state.maskMapping);
        draw(*state.mask, true);
    }
}

void dcMoveTo(int32_t x, int32_t y, HostWord) {
    GdiOutputState& state = GetGdiOutputState();
    state.lastX = x;
    state.lastY = y;
    drawInBoth([&](gdi::DeviceContext& dc, bool) { dc.moveTo({x, y}); });
}

void dcLineTo(int32_t x, int32_t y, HostWord host) {
    GdiOutputState& state = GetGdiOutputState();
    const int32_t fromX = state.lastX;
    const int32_t fromY = state.lastY;
    const gdi::ColorRef colour = CurrentColourOfHost(host);
    drawInBoth([&](gdi::DeviceContext& dc, bool isMask) {
        state.lastX = fromX;
        state.lastY = fromY;
        DrawLengthenedLine(dc, x, y, isMask ? state.whitePen.color : colour);
    });
    state.lastX = x;
    state.lastY = y;
}

void dcPolygon(PointRange range, const DevicePoint* points, HostWord) {
    const std::span<const gdi::Point> polygon = PolygonRangePoints(range, points);
    if (polygon.empty()) return;
    drawInBoth([&](gdi::DeviceContext& dc, bool isMask) {
        if (!isMask) SelectCurrentPenCacheSlot(dc);
        dc.polygon(polygon);
    });
}

void dcPolyPolygon(const DevicePoint* points, const int32_t* counts, int32_t polygonCount, HostWord) {
    std::vector<int> loopCounts;
    const std::span<const gdi::Point> loops = PolyPolygonPoints(points, counts, polygonCount, loopCounts);
    if (loops.empty()) return;
    drawInBoth([&](gdi::DeviceContext& dc, bool isMask) {
        if (!isMask) SelectCurrentPenCacheSlot(dc);
        const gdi::FillMode previous = dc.setPolyFillMode(gdi::FillMode::Alternate);
        dc.polyPolygon(loops, loopCounts);
        dc.setPolyFillMode(previous);
    });
}

} // namespace

void DrawInTargetAndMask(const std::function<void(gdi::DeviceContext& dc, bool isMask)>& draw) { drawInBoth(draw); }

void SetDcOutputHooks(bool enable, gdi::DeviceContext* maskDc) {
    GdiOutputState& state = GetGdiOutputState();
    state.deviceHooks = 0;
    if (!enable || !maskDc) {
        state.mask = nullptr;
        InstallScreenHooks();
        return;
    }
    state.mask = maskDc;
    dbSetMoveToHook(dcMoveTo);
    dbSetLineToHook(dcLineTo);
    dbSetPolygonHook(dcPolygon);
    dbSetPolyPolygonHook(dcPolyPolygon);
    dbSetColorHook(ScreenSetColor);
    dbSetHook17(DcRasterData);
    dbSetPictureHook(DcPictureHook);
    GetRasterDataReader().reset();
    maskDc->selectPen(state.whitePen);
    maskDc->selectBrush(state.whiteBrush);
}

} // namespace tracemill
