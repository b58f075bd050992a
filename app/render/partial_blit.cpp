#include "app/render/partial_blit.h"

#include <chrono>
#include <utility>

#include "app/render/drawing_object.h"
#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"

namespace tracemill {
namespace {

uint32_t steadyTicks() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

TickSource tickSource = steadyTicks;

} // namespace

TickSource SetTickSource(TickSource source) { return std::exchange(tickSource, source ? source : steadyTicks); }

void BlitPartialRegen(HostWord host) {
    if (GetGdiOutputState().deviceHooks || !host) return;
    CDrawingObject* drawingObject = DrawingObjectOfHost(host);
    if (!drawingObject || !drawingObject->HasWindow()) return;
    const uint32_t now = tickSource();
    if (now - drawingObject->GetLastBlitTick() < kPartialBlitInterval) return;
    drawingObject->RepaintWindow();
    drawingObject->SetLastBlitTick(now);
}

} // namespace tracemill
