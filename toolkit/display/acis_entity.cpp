#include "toolkit/display/acis_entity.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/solid_hook_parameters.h"

namespace tracemill {

int genDrawAcisEntity(Drawing* drawing, const Matrix4& transform, const Matrix4* matrices,
                      const LinetypeRecord* linetype, const EntityHeader& header, const PagedStream* satText) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || !gOutputHookTable->solid) return 0;
    SolidHookParameters parameters;
    parameters.satText = satText;
    parameters.drawing = drawing;
    parameters.transform = &transform;
    parameters.matrices = matrices;
    parameters.linetype = linetype;
    parameters.identity = ++context->segmentCounter;
    parameters.curveResolution = genCurveResolution(header.flags);
    return gOutputHookTable->solid(parameters);
}

} // namespace tracemill
