// The draw order of a block: the pairs {entity, sort handle} of the block's SORTENTSTABLE
// (reached through its block record's extension dictionary, entry "ACAD_SORTENTS"), sorted by
// entity handle. An entity without a pair is drawn by its own handle.
#pragma once

#include <vector>

#include "toolkit/core/entity_record.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/object_record.h"

namespace tracemill {

struct Drawing;

struct DrawOrderTable {
    std::vector<SortEntry> entries;  // ascending by entity handle
};

// Fills the table from the block's SORTENTSTABLE, keeping the pairs whose entity is in the
// block's list. 1 when a table with at least one entry was built, else 0 with the table empty
// (error 73 when no block record has the handle).
int genBuildDrawOrderTable(Drawing* drawing, EntityList* list, Handle block, DrawOrderTable& table);

void genFreeDrawOrderTable(DrawOrderTable& table);

} // namespace tracemill
