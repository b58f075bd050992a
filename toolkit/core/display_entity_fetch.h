// Fetching entities for display: each entity the display walk reads is announced to the host
// through output hook slot 14, which may look at it and change it before it is drawn.
#pragma once

#include "toolkit/core/entity_record.h"
#include "toolkit/core/handle.h"

namespace tracemill {

struct Drawing;

// Inside a block reference, an entity on layer "0" is drawn on the reference's layer.
struct BlockLayerSubstitution {
    Handle layerZero;       // the handle of layer "0"
    Handle referenceLayer;  // the layer of the block reference being drawn
};

// Copies the entity under the list's cursor into `out` and moves the cursor on (dbReadEntity);
// 0 at the end. When `inBlock` is given, an entity other than an ATTRIB whose layer is layer
// "0" takes the reference's layer. Then slot 14 is called with the entity and the drawing's
// host word, when set.
int dbReadEntityForDisplay(Drawing* drawing, EntityList* list, const BlockLayerSubstitution* inBlock,
                           EntityRecord& out);

// Reads on past the entities of a complex entity until a SEQEND has been read, then announces
// the SEQEND through slot 14. 1 when a SEQEND was read; 0 when the list ended first.
int dbSkipToSeqend(Drawing* drawing, EntityList* list, EntityRecord& out);

} // namespace tracemill
