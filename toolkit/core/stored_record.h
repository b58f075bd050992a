// A record as a node of a record list: the list link in front of the record. Entities,
// objects, table records and viewport index entries are stored this way; callers copy records
// in and out, and the display and the writers may read a stored record in place. Nodes come
// from the node pools (node_pool.h).
#pragma once

#include <utility>

#include "toolkit/core/node_pool.h"
#include "toolkit/core/record_list.h"

namespace tracemill {

template <class Record>
struct StoredRecord : ListLink, PooledNode<StoredRecord<Record>> {
    Record record;

    StoredRecord() = default;
    explicit StoredRecord(const Record& r) : record(r) {}
    explicit StoredRecord(Record&& r) : record(std::move(r)) {}
};

// The stored record of a list node (the caller knows the list's record type).
template <class Record>
StoredRecord<Record>* dbStoredRecord(ListLink* node) {
    return static_cast<StoredRecord<Record>*>(node);
}

} // namespace tracemill
