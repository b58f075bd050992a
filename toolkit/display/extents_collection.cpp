#include "toolkit/display/extents_collection.h"

#include <cmath>

#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"

namespace tracemill {

DisplayContext* genExtentsCollector(Drawing* drawing, int16_t viewport) {
    if (viewport != 0 || !gOutputHookTable || gOutputHookTable->regenFlags != 0) return nullptr;
    DisplayContext* pass = genPassContext(drawing);
    return pass && pass->extentsFlag == 0 ? pass : nullptr;
}

namespace {

// Drawing coordinates beyond this are damage (a proxy graphic's 1e304), not geometry.
constexpr double kFarthestCoordinate = 1e18;

// True when the device point comes from drawing coordinates within the farthest coordinate:
// the bound is taken to device units through viewport 0's scale and offset.
bool withinDrawingRange(const DisplayContext& context, const Point2& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    const Matrix4& m = context.viewports[0].worldToDevice;
    const double scale = genMatrixDeviceScale(m);
    if (!std::isfinite(scale) || scale <= 0.0) return true;
    const double reach = kFarthestCoordinate * scale;
    return std::fabs(p.x - m.at(3, 0)) <= reach && std::fabs(p.y - m.at(3, 1)) <= reach;
}

} // namespace

void genWidenExtents(DisplayContext& context, const Point2& p) {
    if (!withinDrawingRange(context, p)) return;
    context.extentsMinX = std::fmin(context.extentsMinX, p.x);
    context.extentsMinY = std::fmin(context.extentsMinY, p.y);
    context.extentsMaxX = std::fmax(context.extentsMaxX, p.x);
    context.extentsMaxY = std::fmax(context.extentsMaxY, p.y);
}

} // namespace tracemill
