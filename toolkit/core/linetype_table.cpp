// The LTYPE table, in which "ByBlock" and "ByLayer" stay last.
#include "toolkit/core/table_access.h"

namespace tracemill {

bool dbIsByBlockOrByLayerName(std::string_view name) {
    return dbEqualsNoCase(name, "BYBLOCK") || dbEqualsNoCase(name, "BYLAYER");
}

namespace {

// The node a new linetype goes in front of: the first of the trailing run of "BYBLOCK" and
// "BYLAYER" records, however long (a file may hold more than the two); null: at the end.
ListLink* placementOf(const LinetypeList& list, std::string_view name) {
    if (dbIsByBlockOrByLayerName(name)) return nullptr;
    ListLink* before = nullptr;
    for (ListLink* node = list.last; node; node = node->previous) {
        if (!dbIsByBlockOrByLayerName(LinetypeList::asNode(node)->record.name)) break;
        before = node;
    }
    return before;
}

} // namespace

int dbLtypeRewind(Drawing* drawing) { return drawing ? table::rewind(drawing->linetypes) : 0; }

int dbLtypeNext(Drawing* drawing, LinetypeRecord& out) { return drawing ? table::next(drawing->linetypes, out) : 0; }

int dbLtypeGet(Drawing* drawing, Handle handle, LinetypeRecord& out) {
    return drawing ? table::get(*drawing, drawing->linetypes, handle, out) : 0;
}

int dbLtypeFindByName(Drawing* drawing, std::string_view name, Handle& out) {
    out = Handle();
    return drawing ? table::findByName(drawing->linetypes, name, out) : 0;
}

int dbLtypeUpdate(Drawing* drawing, const LinetypeRecord& record) {
    return drawing ? table::update(*drawing, drawing->linetypes, record) : 0;
}

int32_t dbLtypeCount(Drawing* drawing) { return drawing ? table::count(drawing->linetypes) : 0; }

int dbLtypeAdd(Drawing* drawing, const LinetypeRecord& record) {
    if (!drawing) return 0;
    ListLink* before = placementOf(drawing->linetypes, record.name);
    return dbAddTableRecord(record.handle, drawing->handleIndex, StoredRecord<LinetypeRecord>(record),
                            &drawing->linetypes, before ? kInsertBefore : kInsertAtEnd, before)
               ? 1
               : 0;
}

int dbLtypeDelete(Drawing* drawing, Handle handle) {
    dbSetError(0);
    if (!drawing) return 0;
    LinetypeList& list = drawing->linetypes;
    if (dbListCount(&list) == 0) return dbSetError(kErrorLinetypeTableEmpty);
    for (auto& node : list) {
        if (node.record.handle != handle) continue;
        dbListUnlinkOne(&list, &node);
        LinetypeList::freeNode(&node);
        dbHandleTreeRemove(drawing->handleIndex, handle);
        return 1;
    }
    return dbSetError(kErrorLinetypeNotFound);
}

} // namespace tracemill
