#include "toolkit/display/extents_collection.h"

#include <cmath>

#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"

namespace tracemill {

DisplayContext* genExtentsCollector(Drawing* drawing, int16_t viewport) {
    if (viewport != 0 || !gOutputHookTable || gOutputHookTable->regenFlags != 0) return nullptr;
    DisplayContext* pass = genPassContext(drawing);
    return pass && pass->extentsFlag == 0 ? pass : nullptr;
}

void genWidenExtents(DisplayContext& context, const Point2& p) {
    context.extentsMinX = std::fmin(context.extentsMinX, p.x);
    context.extentsMinY = std::fmin(context.extentsMinY, p.y);
    context.extentsMaxX = std::fmax(context.extentsMaxX, p.x);
    context.extentsMaxY = std::fmax(context.extentsMaxY, p.y);
}

} // namespace tracemill
