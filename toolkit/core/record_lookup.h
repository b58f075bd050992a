// Finding the stored record of a handle in one list of a drawing through its handle index.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/handle_tree.h"
#include "toolkit/core/record_list.h"

namespace tracemill {

enum class LookupResult { Found, NotIndexed, OtherList };

// The node of the handle when it belongs to `list`; null otherwise, with the reason.
template <class Node>
Node* dbLookupNode(const Drawing& drawing, const RecordList<Node>& list, Handle handle,
                   LookupResult* result = nullptr) {
    ListLink* node = dbHandleTreeFind(drawing.handleIndex, handle);
    LookupResult found = LookupResult::Found;
    if (!node) {
        found = LookupResult::NotIndexed;
    } else if (node->owner != &list) {
        found = LookupResult::OtherList;
        node = nullptr;
    }
    if (result) *result = found;
    return node ? RecordList<Node>::asNode(node) : nullptr;
}

// The handle of a table's first record, the zero handle for an empty table.
template <class Record>
Handle dbFirstRecordHandle(const RecordList<StoredRecord<Record>>& list) {
    return list.first ? static_cast<const StoredRecord<Record>*>(list.first)->record.handle : Handle();
}

// The block node of a handle, null when no block record has it.
inline BlockNode* dbLookupBlock(const Drawing& drawing, Handle handle) {
    return dbLookupNode(drawing, drawing.blocks, handle);
}

} // namespace tracemill
