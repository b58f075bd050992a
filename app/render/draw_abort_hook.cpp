#include "app/render/draw_abort_hook.h"

#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/services/progress_step.h"
#include "toolkit/display/display_access.h"
#include "toolkit/display/display_interface.h"

namespace tracemill {
namespace {

bool abortHookOn = false;

} // namespace

void SetDrawAbortHook(bool on) {
    dbSetProgressHook(on ? ToolkitProgressCallback : nullptr);
    abortHookOn = on;
}

bool GetDrawAbortHook() { return abortHookOn; }

void ToolkitProgressCallback(int32_t percent, HostWord host) {
    if (!ProgressStep(percent)) return;
    const CDrawingObject* drawingObject = DrawingObjectOfHost(host);
    if (!drawingObject || !drawingObject->GetDrawing()) return;
    genStopDisplay();
    dbFreeDisplayContext(drawingObject->GetDrawing());
}

} // namespace tracemill
