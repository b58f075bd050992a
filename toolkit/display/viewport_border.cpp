#include "toolkit/display/viewport_border.h"

#include "toolkit/core/drawing.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/quad_outline.h"

namespace tracemill {

void genDrawViewportBorder(Drawing* drawing, double x0, double y0, double x1, double y1, double z,
                           const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return;
    const uint8_t runEnd = context->segmentRunEnd;
    context->segmentRunEnd = 1;
    genQuadOutline(drawing, {x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}, matrices, linetype);
    context->segmentRunEnd = runEnd;
}

} // namespace tracemill
