#include "app/render/gdi_output_state.h"

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

GdiOutputState& GetGdiOutputState() {
    static GdiOutputState state;
    return state;
}

gdi::Pen SolidPen(int32_t width, gdi::ColorRef colour) { return {gdi::PenStyle::Solid, width, colour}; }
gdi::Brush SolidBrush(gdi::ColorRef colour) { return {gdi::BrushStyle::Solid, colour}; }

void RebuildPenCache(int32_t width, const ColorTable& palette) {
    GdiOutputState& state = GetGdiOutputState();
    for (uint16_t i = 0; i < kPenCacheSlots; ++i) state.penCache[i] = {SolidPen(width, palette[i]), SolidBrush(palette[i]), i};
}

void InitGdiOutputState() {
    if (ColorIndexMap* remap = dbGetColorIndexMap()) {
        for (size_t i = 0; i < remap->size(); ++i) (*remap)[i] = int16_t(i);
    }
    ResetColorTables();
    GdiOutputState& state = GetGdiOutputState();
    state = GdiOutputState{};
    RebuildPenCache(0, ColorWorkingTable());
    state.nextSlot = kFirstRotatingSlot;
    const gdi::ColorRef white = gdi::rgb(0xFF, 0xFF, 0xFF);
    state.whitePen = SolidPen(0, white);
    state.whiteBrush = SolidBrush(white);
}

void FillDcBlack(gdi::DeviceContext& dc, int32_t width, int32_t height) {
    const gdi::Pen previousPen = dc.selectPen(SolidPen(0, 0));
    const gdi::Brush previousBrush = dc.selectBrush(SolidBrush(0));
    dc.rectangle({0, 0, width, height});
    dc.selectPen(previousPen);
    dc.selectBrush(previousBrush);
}

void ReleaseGdiOutputState() { GetGdiOutputState() = GdiOutputState{}; }

} // namespace tracemill
