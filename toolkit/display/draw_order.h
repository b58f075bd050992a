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

// One unit of a list drawn in sort order: the node of its first entity (a POLYLINE with its
// vertices, an INSERT with its attributes, any other entity alone) and the key it is sorted by.
struct SortUnit {
    EntityNode* node = nullptr;
    Handle key;
};

// Comparators of sort units: by the own handle of the entity at each node, and by key; -1, 0
// or 1 (handles compare as their big-endian bytes, numerically).
int genCompareNodeHandle(const SortUnit& a, const SortUnit& b);
int genCompareSortKey(const SortUnit& a, const SortUnit& b);

// The units of the list from its cursor to its ENDBLK or its end, in drawing order: each takes
// the sort handle the table gives its entity, else the entity's own handle; units of equal keys
// keep their list order. The units are counted as they are collected. 1; 0 when memory runs
// out (`out` is then empty).
int genOrderSortUnits(const EntityList& list, const DrawOrderTable& table, std::vector<SortUnit>& out);

} // namespace tracemill
