// The entity walk: one entity list of a pass with its draw order, then the external references
// the vectoriser met in it, each opened and drawn inside the host with its layers renamed, its
// header adapted and its clips applied.
#pragma once

#include "toolkit/core/entity_record.h"
#include "toolkit/core/handle.h"
#include "toolkit/display/draw_order.h"

namespace tracemill {

struct Drawing;

// Draws one entity list of the drawing (sorted by the table when given), then its external
// references. 1; 0 when the drawing has no display context.
int genDrawEntityList(Drawing* drawing, EntityList* list, const DrawOrderTable* sortTable);

// Draws the block's entities, the progress counted over that block. 1; 0 without a display
// context or block.
int genDrawBlockByHandle(Drawing* drawing, Handle block);

} // namespace tracemill
