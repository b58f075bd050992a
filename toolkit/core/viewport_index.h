// The viewport index: the VIEWPORT entities of paper space, found without a walk over the
// entities. The viewport whose status is 1 (the paper-space viewport itself) stands first.
#pragma once

#include "toolkit/core/drawing.h"

namespace tracemill {

// Adds the entry of a stored VIEWPORT entity; 0 when memory is exhausted.
int dbViewportIndexAdd(Drawing& drawing, EntityNode* viewport);
// Removes the entry of the viewport with that handle; 0 when it has none.
int dbViewportIndexRemove(Drawing& drawing, Handle viewport);
// Puts the entry of a stored VIEWPORT entity first (the viewport pass of a load, which learns
// only after the entities which viewport is the paper-space one); 0 when it has none.
int dbViewportIndexMoveFirst(Drawing& drawing, const EntityNode* viewport);

} // namespace tracemill
