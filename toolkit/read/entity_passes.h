// The entity passes of a load: the entities of model and paper space, then those of every
// other block, read through the driver one by one (rdReadEntities) and stored.
#pragma once

#include "toolkit/core/entity_record.h"

namespace tracemill {

struct Drawing;

// Model and paper space; progress from 46 to 71 as the section is read.
int rdLoadSpaceEntities(Drawing& drawing);

// Every block but the two layout blocks and external references, each into its own list;
// progress from 71 to 96. DXF files from R13 on give the layout blocks' BLOCK and ENDBLK
// entity handles here.
int rdLoadBlockEntities(Drawing& drawing);

// One pass: reads entities into the lists (in block mode both are the block's list) until the
// section or the block ends. 1 on success (also when the continue flag was cleared: the loader
// stops at its next check); 0 with the session's load error as the context's error.
int rdLoadEntities(Drawing& drawing, EntityList* modelList, EntityList* paperList, bool assignNewHandles,
                   bool blockMode);

// Stores an entity read from a file: a handle already in use is replaced by a new one, then
// the entity is appended to the list and indexed. 1; 0 with the session's load error set (289
// when it cannot be appended).
int rdAddLoadedEntity(Drawing& drawing, EntityList* list, EntityRecord&& entity);

} // namespace tracemill
