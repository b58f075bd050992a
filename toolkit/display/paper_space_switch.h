// The paper-space switch of a drawing's display: whether the current layout shows paper space
// with its viewports or model space through one viewport.
#pragma once

#include "toolkit/core/drawing.h"

namespace tracemill {

// Sets the switch; the viewports in use become the paper-space count the viewport setup found
// when on, the one model-space viewport when off. Nothing without a display context.
void dbSetPaperSpaceActive(Drawing* drawing, bool on);

} // namespace tracemill
