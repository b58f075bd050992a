#include "toolkit/display/draw_order.h"

#include <algorithm>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
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

} // namespace tracemill
