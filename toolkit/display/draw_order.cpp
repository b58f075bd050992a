#include "toolkit/display/draw_order.h"

#include <algorithm>
#include <new>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"

namespace tracemill {

int genBuildDrawOrderTable(Drawing* drawing, EntityList* list, Handle block, DrawOrderTable& table) {
    table.entries.clear();
    const BlockNode* record = drawing ? dbLookupBlock(*drawing, block) : nullptr;
    if (!record) return dbSetError(kErrorBlockNotFound);
    const ObjectRecord* dictionary = dbFindStoredObject(drawing, record->record.extensionDictionary);
    const DictionaryBody* entries = dictionary && dictionary->header.type == kObjectDictionary
                                        ? dictionary->body.getIf<DictionaryBody>()
                                        : nullptr;
    if (!entries || entries->entries.empty()) return 0;
    const ObjectRecord* sortTable = nullptr;
    for (const DictionaryEntry& entry : entries->entries) {
        if (dbEqualsNoCase(entry.name, "ACAD_SORTENTS")) {
            sortTable = dbFindStoredObject(drawing, entry.handle);
            break;
        }
    }
    const uint16_t sortClass = dbClassSortentsTable(drawing->classes);
    if (!sortTable || sortClass == 0 || sortTable->header.type != sortClass) return 0;
    const SortentsTableBody* body = sortTable->body.getIf<SortentsTableBody>();
    if (!body || body->entries.empty()) return 0;
    for (const SortEntry& pair : body->entries) {
        if (dbFindEntityNode(drawing, list, pair.entity)) table.entries.push_back(pair);
    }
    std::stable_sort(table.entries.begin(), table.entries.end(),
                     [](const SortEntry& a, const SortEntry& b) { return a.entity < b.entity; });
    return table.entries.empty() ? 0 : 1;
}

void genFreeDrawOrderTable(DrawOrderTable& table) { table.entries = {}; }

namespace {

int compareHandles(Handle a, Handle b) { return a < b ? -1 : (b < a ? 1 : 0); }

// The entities behind a POLYLINE, and behind an INSERT whose attributes follow, up to their
// SEQEND belong to its unit.
bool opensSequence(const EntityRecord& entity) {
    if (entity.header.type == kEntityPolyline) return true;
    return entity.header.type == kEntityInsert && entity.bodyAs<InsertBody>().attributesFollow != 0;
}

} // namespace

int genCompareNodeHandle(const SortUnit& a, const SortUnit& b) {
    return compareHandles(a.node->record.header.handle, b.node->record.header.handle);
}

int genCompareSortKey(const SortUnit& a, const SortUnit& b) { return compareHandles(a.key, b.key); }

int genOrderSortUnits(const EntityList& list, const DrawOrderTable& table, std::vector<SortUnit>& out) {
    out.clear();
    // Visits the first node of every unit from the cursor on.
    const auto forEachUnit = [&list](auto&& visit) {
        bool inSequence = false;
        for (ListLink* link = list.current; link; link = link->next) {
            EntityNode* node = EntityList::asNode(link);
            const uint16_t type = node->record.header.type;
            if (type == kEntityEndBlock) break;
            if (inSequence) {
                inSequence = type != kEntitySequenceEnd;
                continue;
            }
            visit(node);
            inSequence = opensSequence(node->record);
        }
    };
    size_t count = 0;
    forEachUnit([&count](EntityNode*) { ++count; });
    if (!dbAllocationAllowed()) return 0;
    try {
        out.reserve(count);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    forEachUnit([&out](EntityNode* node) { out.push_back({node, node->record.header.handle}); });
    std::stable_sort(out.begin(), out.end(),
                     [](const SortUnit& a, const SortUnit& b) { return genCompareNodeHandle(a, b) < 0; });
    // The table and the units both ascend by entity handle: one walk pairs them.
    size_t next = 0;
    for (SortUnit& unit : out) {
        const Handle own = unit.node->record.header.handle;
        while (next < table.entries.size() && table.entries[next].entity < own) ++next;
        if (next < table.entries.size() && table.entries[next].entity == own) unit.key = table.entries[next++].sortHandle;
    }
    std::stable_sort(out.begin(), out.end(), [](const SortUnit& a, const SortUnit& b) { return genCompareSortKey(a, b) < 0; });
    return 1;
}

} // namespace tracemill
