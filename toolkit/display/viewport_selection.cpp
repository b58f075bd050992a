#include "toolkit/display/viewport_selection.h"

#include "toolkit/core/entity_header.h"

namespace tracemill {

ViewportRange genEntityViewports(const DisplayContext& context) {
    const bool sheetOnly = !context.paperSpaceWithViewports || (context.entity.flags & kEntityInPaperSpace) ||
                           context.paperSpacePass || context.paperSpaceReference;
    if (sheetOnly) return {0, 0};
    return {1, context.viewportCount - 1};
}

} // namespace tracemill
