// Record lists: the doubly linked lists that hold every collection of the drawing database
// (entity lists, symbol tables, objects).
//
// A list is intrusive: a stored record type derives from `ListLink`, so a node is the record
// itself with three pointers in front and costs no heap block besides its own. A list header
// keeps the node count, the first and last node and a cursor through which tables are read in
// order. Every node names the list that owns it; operations given a node check that owner.
//
// Layers:
// - `ListHeader` and the untyped operations (cursor, chains, unlinking) work on links alone;
// - `RecordList<Node>` owns its nodes and frees them with the list; `Node` derives from
//   `ListLink` and may be a polymorphic base (then it needs a virtual destructor);
// - the record operations copy records in and out (`dbListAppendRecord`, `dbListReadNext`,
//   `dbListInsertRecord`, `dbAddTableRecord`), as the caller owns its record.
#pragma once

#include <cstdint>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>

#include "toolkit/core/handle.h"
#include "toolkit/core/handle_tree.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

struct ListHeader;

// The link in front of every stored record. A copy of a record is a new, unlinked node, and
// assigning one record to another keeps the target's place in its list: copying records in
// and out of lists never copies list membership.
struct ListLink {
    ListLink* next = nullptr;
    ListLink* previous = nullptr;
    ListHeader* owner = nullptr;

    ListLink() = default;
    ListLink(const ListLink&) noexcept {}
    ListLink& operator=(const ListLink&) noexcept { return *this; }
};

// Position codes for inserting a record.
inline constexpr uint16_t kInsertAtFront = 0xFFFF;
inline constexpr uint16_t kInsertAtEnd = 0xFFFE;
inline constexpr uint16_t kInsertBefore = 0xFFFD;

// Result of dbListSeek for a null list or a node of another list.
inline constexpr int kListSeekRefused = 65535;

// Results of the chain insertions besides the number of nodes inserted.
inline constexpr int32_t kChainNoList = -1;       // null list (or, before the cursor, no cursor)
inline constexpr int32_t kChainForeignNode = -2;  // a given node is not a node of this list

// Error numbers of the record operations.
inline constexpr int kErrorNoMemoryForList = 218;
inline constexpr int kErrorNoMemoryForAppend = 222;
inline constexpr int kErrorNoMemoryForInsert = 223;
inline constexpr int kErrorDuplicateRecordHandle = 172;
inline constexpr int kErrorRecordHandleNotIndexed = 173;
inline constexpr int kErrorNullRecordHandle = 231;

// The list header. It is neither copied nor moved (its nodes point at it); `RecordList`
// frees the nodes.
struct ListHeader {
    int32_t count = 0;
    ListLink* first = nullptr;
    ListLink* current = nullptr;  // the node the next read returns; null at the end
    ListLink* last = nullptr;

    ListHeader() = default;
    ListHeader(const ListHeader&) = delete;
    ListHeader& operator=(const ListHeader&) = delete;

protected:
    ~ListHeader() = default;
};

// --- Untyped operations -----------------------------------------------------------------------

int32_t dbListCount(const ListHeader* list);  // 0 for a null list
ListLink* dbListFirst(const ListHeader* list);
ListLink* dbListLast(const ListHeader* list);
ListLink* dbListCurrent(const ListHeader* list);
void dbListRewind(ListHeader* list);

// Sets the cursor to the node (null: the end). 0, or kListSeekRefused for a null list or a
// node of another list (the cursor stays).
int dbListSeek(ListHeader* list, ListLink* node);

// Chains are runs of nodes linked by `next` up to a null `next`, given by their first node.
// The insertions link the chain in, make the list its owner and return the number of its
// nodes; kChainNoList for a null list, kChainForeignNode when the given position node is not
// in this list or a chain node already belongs to a list (nothing is changed then), 0 for an
// empty chain. Into an empty list the chain becomes the whole list and the cursor its first
// node; otherwise the cursor stays.
int32_t dbListInsertChainAfter(ListHeader* list, ListLink* after, ListLink* chain);  // null: front
int32_t dbListInsertChainFront(ListHeader* list, ListLink* chain);
int32_t dbListAppendChain(ListHeader* list, ListLink* chain);
int32_t dbListInsertChainBeforeCurrent(ListHeader* list, ListLink* chain);  // kChainNoList: no cursor
int32_t dbListInsertChainBefore(ListHeader* list, ListLink* node, ListLink* chain);
int32_t dbListInsertChainAfterNode(ListHeader* list, ListLink* node, ListLink* chain);

// Appends one unlinked node: -1 for a null list, 0 for a null node, kChainForeignNode for a
// node that belongs to a list, else 1. The first node of an empty list becomes the cursor.
int dbListAppendNode(ListHeader* list, ListLink* node);

// Removes the run from `first` to `last` (reached from `first` through `next`) and returns
// `first`; null when an argument is null, the list is empty, an end belongs to another list or
// `last` does not follow `first`. The run comes out as a chain of its own: its outer links
// are cleared and its nodes belong to no list. A cursor inside the run moves to the node
// after it.
ListLink* dbListUnlinkChain(ListHeader* list, ListLink* first, ListLink* last);
ListLink* dbListUnlinkOne(ListHeader* list, ListLink* node);
ListLink* dbListUnlinkLast(ListHeader* list);

// Links an unlinked node by position code: kInsertAtFront, kInsertAtEnd, or kInsertBefore
// `before` (a node of this list). 1 when linked, 0 when the list is null, `before` is not
// in it or the code is none of the three.
int dbListPlaceNode(ListHeader* list, ListLink* node, uint16_t code, ListLink* before);

// --- Typed lists -------------------------------------------------------------------------------

template <class Node> class RecordList : public ListHeader {
    static_assert(std::is_base_of_v<ListLink, Node>, "list nodes derive from ListLink");

public:
    RecordList() = default;
    ~RecordList() { clear(); }

    // Frees every node from the first and leaves the list empty.
    void clear() {
        ListLink* node = first;
        while (node) {
            ListLink* next = node->next;
            freeNode(node);
            node = next;
        }
        count = 0;
        first = current = last = nullptr;
    }

    static Node* asNode(ListLink* link) { return static_cast<Node*>(link); }
    static void freeNode(ListLink* link) { delete static_cast<Node*>(link); }

    // Walks the nodes from the first without touching the cursor.
    template <class Value> class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::remove_const_t<Value>;
        using difference_type = std::ptrdiff_t;
        using pointer = Value*;
        using reference = Value&;

        Iterator() = default;
        explicit Iterator(ListLink* link) : link_(link) {}
        reference operator*() const { return *static_cast<Value*>(link_); }
        pointer operator->() const { return static_cast<Value*>(link_); }
        Iterator& operator++() {
            link_ = link_->next;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        ListLink* link_ = nullptr;
    };

    Iterator<Node> begin() { return Iterator<Node>(first); }
    Iterator<Node> end() { return Iterator<Node>(); }
    Iterator<const Node> begin() const { return Iterator<const Node>(first); }
    Iterator<const Node> end() const { return Iterator<const Node>(); }
};

// Frees a chain of unlinked nodes (as dbListUnlinkChain returns them).
template <class Node> void dbListFreeChain(ListLink* chain) {
    while (chain) {
        ListLink* next = chain->next;
        RecordList<Node>::freeNode(chain);
        chain = next;
    }
}

// A new empty list, or null when memory is exhausted (error 218, error callback 2).
template <class Node> RecordList<Node>* dbNewList() {
    auto* list = new (std::nothrow) RecordList<Node>();
    if (!list) dbReportError(kErrorNoMemoryForList, kErrorReasonNoMemory);
    return list;
}

// Frees every node, then the list.
template <class Node> void dbListFree(RecordList<Node>* list) { delete list; }

namespace detail {

// A heap copy of the record as an unlinked node, or null when memory is exhausted (the error
// number and callback are reported). `Record` is the node type or one derived from it.
template <class Node, class Record> std::remove_cvref_t<Record>* copyRecordIntoNode(Record&& record,
                                                                                    int errorNumber) {
    using Stored = std::remove_cvref_t<Record>;
    static_assert(std::is_base_of_v<Node, Stored>, "the record is a node of this list");
    try {
        return new Stored(std::forward<Record>(record));
    } catch (const std::bad_alloc&) {
        dbReportError(errorNumber, kErrorReasonNoMemory);
        return nullptr;
    }
}

} // namespace detail

// Copies (or moves) the record into a new node at the end of the list; returns the node, or
// null (error 222 and error callback 2 when memory is exhausted; nothing is added for a
// null list).
template <class Node, class Record> std::remove_cvref_t<Record>* dbListAppendRecord(Record&& record,
                                                                                   RecordList<Node>* list) {
    if (!list) return nullptr;
    auto* node = detail::copyRecordIntoNode<Node>(std::forward<Record>(record), kErrorNoMemoryForAppend);
    if (node) dbListAppendNode(list, node);
    return node;
}

// Copies the record under the cursor into `dest` and moves the cursor on; 1, or 0 at the end
// (nothing copied). `dest` keeps its own place in any list.
template <class Node> int dbListReadNext(RecordList<Node>* list, Node& dest) {
    if (!list || !list->current) return 0;
    ListLink* node = list->current;
    dest = *RecordList<Node>::asNode(node);
    list->current = node->next;
    return 1;
}

// The node under the cursor without a copy, the cursor moved on; null at the end.
template <class Node> Node* dbListReadNextNode(RecordList<Node>* list) {
    if (!list || !list->current) return nullptr;
    ListLink* node = list->current;
    list->current = node->next;
    return RecordList<Node>::asNode(node);
}

// Copies the record into a new node placed by the position code (kInsertAtFront,
// kInsertAtEnd, kInsertBefore `before`). Any other code returns the node unlinked: the caller
// then owns it (to link it as a chain or to free it). Null when memory is exhausted (error
// 223, error callback 2) or the placement fails (the node is freed).
template <class Node, class Record>
std::remove_cvref_t<Record>* dbListInsertRecord(Record&& record, RecordList<Node>* list, uint16_t code,
                                                ListLink* before) {
    if (!list) return nullptr;
    auto* node = detail::copyRecordIntoNode<Node>(std::forward<Record>(record), kErrorNoMemoryForInsert);
    if (!node) return nullptr;
    if (code != kInsertAtFront && code != kInsertAtEnd && code != kInsertBefore) return node;
    if (!dbListPlaceNode(list, node, code, before)) {
        RecordList<Node>::freeNode(node);
        return nullptr;
    }
    return node;
}

// As dbListInsertRecord for a record with a database handle, which is indexed in the handle
// tree with the new node. Errors: 231 for the null handle; 172 when the handle is already
// indexed (the handle is copied into the context's errorHandle); 173 when it cannot be
// indexed otherwise. A placement that fails frees the node and removes the handle again.
// The list is unchanged on every failure.
template <class Node, class Record>
std::remove_cvref_t<Record>* dbAddTableRecord(Handle handle, HandleTree& tree, Record&& record,
                                              RecordList<Node>* list, uint16_t code, ListLink* before) {
    if (handle.isNull()) {
        dbSetError(kErrorNullRecordHandle);
        return nullptr;
    }
    if (!list) return nullptr;
    auto* node = detail::copyRecordIntoNode<Node>(std::forward<Record>(record), kErrorNoMemoryForInsert);
    if (!node) return nullptr;
    int indexed = dbHandleTreeInsert(tree, handle, node);
    if (indexed != kHandleTreeInserted) {
        RecordList<Node>::freeNode(node);
        if (indexed == kHandleTreeDuplicate) {
            if (gSystemContext) gSystemContext->errorHandle = handle;
            dbSetError(kErrorDuplicateRecordHandle);
        } else {
            dbSetError(kErrorRecordHandleNotIndexed);
        }
        return nullptr;
    }
    if (code != kInsertAtFront && code != kInsertAtEnd && code != kInsertBefore) return node;
    if (!dbListPlaceNode(list, node, code, before)) {
        dbHandleTreeRemove(tree, handle);
        RecordList<Node>::freeNode(node);
        return nullptr;
    }
    return node;
}

} // namespace tracemill
