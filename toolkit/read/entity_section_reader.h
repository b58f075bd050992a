// The entity section reader: one step of an entity pass. It asks the driver for the next
// entity, completes what the file leaves open (handle, layer, linetype, text style, dimension
// style and block references, the space of the entities of a POLYLINE or INSERT sequence) and
// stores it in the model-space list, the paper-space list or the block's list.
#pragma once

#include <cstdint>

#include "toolkit/core/entity_record.h"

namespace tracemill {

struct Drawing;

// Load errors of the entity reader (the session's loadError).
inline constexpr int kErrorEntityXDataNotCopied = 288;
inline constexpr int kErrorEntityNotAppended = 289;

// Reads one entity and stores it; the result is its kind, 0 at the end of the section or on a
// failure (the session's load error tells which). A layer the file names but does not have is
// created once; an unknown linetype gives BYLAYER, an unknown dimension style the null handle,
// an empty or unknown text style the first STYLE record.
int rdReadEntities(Drawing& drawing, EntityList* modelList, EntityList* paperList, bool assignNewHandles,
                   bool blockMode);

} // namespace tracemill
