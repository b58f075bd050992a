#include "toolkit/display/colour_and_width.h"

#include "toolkit/core/drawing.h"
#include "toolkit/display/lineweights.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_context.h"

namespace tracemill {

DisplayContext* genPassContext(Drawing* drawing) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (context && context->ownerDrawing && context->ownerDrawing != drawing && context->ownerDrawing->displayContext)
        return context->ownerDrawing->displayContext.get();
    return context;
}

void genSetColour(Drawing* drawing, int32_t colour) {
    DisplayContext* context = genPassContext(drawing);
    if (!context || !gOutputHookTable) return;
    if (colour != -1 && colour != context->colourSent && gOutputHookTable->color)
        gOutputHookTable->color(int16_t(colour), drawing->hostContext);
    context->colourSent = colour;
}

void genSetIndexColour(Drawing* drawing, int32_t colour) {
    if (colour >= 0 && colour <= 255 && gOutputHookTable)
        genSetColour(drawing, gOutputHookTable->colorIndexMap[size_t(colour)]);
}

void genSetLineWeight(Drawing* drawing, int32_t lineweight) {
    DisplayContext* context = genPassContext(drawing);
    if (!context || !gOutputHookTable) return;
    const int32_t width = int32_t(dbLineweightToDrawingUnits(drawing, lineweight));
    if (!gOutputHookTable->lineWidth || width == context->lineWidthSent) return;
    gOutputHookTable->lineWidth(width, drawing->hostContext);
    context->lineWidthSent = width;
}

} // namespace tracemill
