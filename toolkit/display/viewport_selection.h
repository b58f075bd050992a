// The viewports an entity is drawn in: the sheet (viewport 0) for model-space display, for
// entities of paper space and while the paper-space block is walked; otherwise every viewport
// of the sheet that looks into model space. Of these, a viewport the entity's layer is frozen
// in, or one that is off, is passed over.
#pragma once

#include "toolkit/display/display_context.h"

namespace tracemill {

struct ViewportRange {
    int first = 0;
    int last = 0;  // included; below `first` when there is none
};

ViewportRange genEntityViewports(const DisplayContext& context);

// Whether viewport i shows the entity being drawn.
inline bool genViewportShows(const DisplayContext& context, int i) {
    const uint64_t bit = uint64_t(1) << i;
    return (context.hiddenMask & bit) == 0 && (context.visibleMask & bit) != 0;
}

} // namespace tracemill
