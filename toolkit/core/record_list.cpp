#include "toolkit/core/record_list.h"

namespace tracemill {

int32_t dbListCount(const ListHeader* list) { return list ? list->count : 0; }
ListLink* dbListFirst(const ListHeader* list) { return list ? list->first : nullptr; }
ListLink* dbListLast(const ListHeader* list) { return list ? list->last : nullptr; }
ListLink* dbListCurrent(const ListHeader* list) { return list ? list->current : nullptr; }

void dbListRewind(ListHeader* list) {
    if (list) list->current = list->first;
}

int dbListSeek(ListHeader* list, ListLink* node) {
    if (!list || (node && node->owner != list)) return kListSeekRefused;
    list->current = node;
    return 0;
}

int32_t dbListInsertChainAfter(ListHeader* list, ListLink* after, ListLink* chain) {
    if (!list) return kChainNoList;
    if (after && after->owner != list) return kChainForeignNode;
    if (!chain) return 0;

    // Take the chain over while counting it. A node that already belongs to a list (this one
    // included, which is also how a chain that runs into itself shows) is refused, and the
    // nodes taken so far are given back.
    int32_t added = 0;
    ListLink* chainLast = nullptr;
    for (ListLink* node = chain; node; node = node->next) {
        if (node->owner) {
            ListLink* undo = chain;
            for (int32_t i = 0; i < added; ++i, undo = undo->next) undo->owner = nullptr;
            return kChainForeignNode;
        }
        node->owner = list;
        chainLast = node;
        ++added;
    }
    list->count += added;

    if (!list->first) {
        chain->previous = nullptr;
        chainLast->next = nullptr;
        list->first = list->current = chain;
        list->last = chainLast;
    } else if (after) {
        ListLink* following = after->next;
        chain->previous = after;
        chainLast->next = following;
        if (following)
            following->previous = chainLast;
        else
            list->last = chainLast;
        after->next = chain;
    } else {
        chain->previous = nullptr;
        chainLast->next = list->first;
        list->first->previous = chainLast;
        list->first = chain;
    }
    return added;
}

int32_t dbListInsertChainFront(ListHeader* list, ListLink* chain) {
    return dbListInsertChainAfter(list, nullptr, chain);
}

int32_t dbListAppendChain(ListHeader* list, ListLink* chain) {
    if (!list) return kChainNoList;
    return dbListInsertChainAfter(list, list->last, chain);
}

int32_t dbListInsertChainBeforeCurrent(ListHeader* list, ListLink* chain) {
    if (!list || !list->current) return kChainNoList;
    return dbListInsertChainAfter(list, list->current->previous, chain);
}

int32_t dbListInsertChainBefore(ListHeader* list, ListLink* node, ListLink* chain) {
    if (!list) return kChainNoList;
    if (!node || node->owner != list) return kChainForeignNode;
    return dbListInsertChainAfter(list, node->previous, chain);
}

int32_t dbListInsertChainAfterNode(ListHeader* list, ListLink* node, ListLink* chain) {
    return dbListInsertChainAfter(list, node, chain);
}

int dbListAppendNode(ListHeader* list, ListLink* node) {
    if (!list) return -1;
    if (!node) return 0;
    if (node->owner) return kChainForeignNode;
    node->owner = list;
    node->next = nullptr;
    node->previous = list->last;
    if (list->last)
        list->last->next = node;
    else
        list->first = list->current = node;
    list->last = node;
    ++list->count;
    return 1;
}

ListLink* dbListUnlinkChain(ListHeader* list, ListLink* first, ListLink* last) {
    if (!list || !first || !last || list->count == 0) return nullptr;
    if (first->owner != list || last->owner != list) return nullptr;

    int32_t length = 1;
    bool holdsCursor = false;
    for (ListLink* node = first;; node = node->next, ++length) {
        if (!node) return nullptr;  // `last` does not follow `first`
        if (node == list->current) holdsCursor = true;
        if (node == last) break;
    }

    ListLink* before = first->previous;
    ListLink* after = last->next;
    if (before)
        before->next = after;
    else
        list->first = after;
    if (after)
        after->previous = before;
    else
        list->last = before;
    if (holdsCursor) list->current = after;
    list->count -= length;

    first->previous = nullptr;
    last->next = nullptr;
    for (ListLink* node = first; node; node = node->next) node->owner = nullptr;
    return first;
}

ListLink* dbListUnlinkOne(ListHeader* list, ListLink* node) { return dbListUnlinkChain(list, node, node); }

ListLink* dbListUnlinkLast(ListHeader* list) {
    if (!list) return nullptr;
    return dbListUnlinkChain(list, list->last, list->last);
}

int dbListPlaceNode(ListHeader* list, ListLink* node, uint16_t code, ListLink* before) {
    int32_t placed;
    switch (code) {
    case kInsertAtFront: placed = dbListInsertChainFront(list, node); break;
    case kInsertAtEnd: placed = dbListAppendChain(list, node); break;
    case kInsertBefore: placed = dbListInsertChainBefore(list, before, node); break;
    default: return 0;
    }
    return placed == 1 ? 1 : 0;
}

} // namespace tracemill
