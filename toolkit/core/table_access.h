// The access pattern every symbol table shares, over any list whose nodes hold a `record`.
#pragma once

#include <string_view>

#include "toolkit/core/entity_access.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"

namespace tracemill::table {

template <class Node>
int rewind(RecordList<Node>& list) {
    dbListRewind(&list);
    return 1;
}

template <class Node, class Record>
int next(RecordList<Node>& list, Record& out) {
    Node* node = dbListReadNextNode(&list);
    if (!node) return 0;
    out = node->record;
    return 1;
}

// Reads the record of a handle; the cursor is left behind it.
template <class Node, class Record>
int get(Drawing& drawing, RecordList<Node>& list, Handle handle, Record& out) {
    LookupResult result;
    Node* node = dbLookupNode(drawing, list, handle, &result);
    if (!node) {
        return dbSetError(result == LookupResult::NotIndexed ? kErrorHandleNotIndexed : kErrorHandleOfOtherTable);
    }
    dbListSeek(&list, node);
    if (!next(list, out)) return dbSetError(kErrorTableRecordUnreadable);
    return 1;
}

// The handle of the first record of that name (without regard to case); the cursor is kept.
template <class Node>
int findByName(const RecordList<Node>& list, std::string_view name, Handle& out) {
    for (const Node& node : list) {
        if (dbEqualsNoCase(node.record.name, name)) {
            out = node.record.handle;
            return 1;
        }
    }
    out = Handle();
    return 0;
}

// The stored node of a record's own handle, null with error 303 (304: another table's).
template <class Node>
Node* storedNodeOf(Drawing& drawing, RecordList<Node>& list, Handle handle) {
    LookupResult result;
    Node* node = dbLookupNode(drawing, list, handle, &result);
    if (!node) dbSetError(result == LookupResult::NotIndexed ? kErrorHandleNotIndexed : kErrorHandleOfOtherTable);
    return node;
}

// Writes the record over the stored one with the same handle.
template <class Node, class Record>
int update(Drawing& drawing, RecordList<Node>& list, const Record& record) {
    Node* node = storedNodeOf(drawing, list, record.handle);
    if (!node) return 0;
    node->record = record;
    return 1;
}

template <class Node>
int32_t count(const RecordList<Node>& list) {
    return dbListCount(&list);
}

} // namespace tracemill::table
