// The handle index of a drawing: finds the stored node of every record that has a database
// handle.
//
// It is a B+ tree over the 64-bit handle values (comparing the values is comparing the
// big-endian bytes). Leaves hold sorted arrays of {handle, node}, inner nodes sorted
// separators, so a lookup is a few binary searches over contiguous arrays. Handles mostly
// arrive in ascending order (the seed counts up, files list records by handle): a leaf or inner
// node that overflows at the right edge of the tree is not halved but left full and continued
// in a new node, so an ascending load packs nodes completely (about 16 bytes per handle); so
// is a leaf that overflows at its own end, and a run of handles that ascends inside the tree
// splits a full leaf where it inserts. The leaf of the last insert and the range of
// handles it covers are remembered: a run of handles that fall in it needs no descent;
// elsewhere full nodes split in halves, and removals borrow from or merge with a sibling so
// that the tree stays balanced.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/core/handle.h"

namespace tracemill {

struct ListLink;

// Results of dbHandleTreeInsert.
inline constexpr int kHandleTreeNoMemory = 0;
inline constexpr int kHandleTreeInserted = 1;
inline constexpr int kHandleTreeDuplicate = 2;
// Results of dbHandleTreeRemove.
inline constexpr int kHandleTreeRemoved = 1;
inline constexpr int kHandleTreeAbsent = 4;

// Error numbers.
inline constexpr int kErrorHandleIndexedTwice = 292;
inline constexpr int kErrorNoMemoryForHandleNode = 214;

class HandleTree {
public:
    HandleTree() = default;
    ~HandleTree();
    HandleTree(HandleTree&& other) noexcept;
    HandleTree& operator=(HandleTree&& other) noexcept;
    HandleTree(const HandleTree&) = delete;
    HandleTree& operator=(const HandleTree&) = delete;

    // kHandleTreeInserted, kHandleTreeDuplicate (the tree unchanged) or kHandleTreeNoMemory
    // (the tree unchanged). Sets no error number: dbHandleTreeInsert does.
    int insert(Handle handle, ListLink* node);
    ListLink* find(Handle handle) const;  // null when absent
    Handle largest() const;               // the largest handle held; null for an empty tree
    int remove(Handle handle);            // kHandleTreeRemoved or kHandleTreeAbsent
    void clear();

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Calls visit(Handle, ListLink*) for every entry in ascending handle order.
    template <class Visit> void forEach(Visit&& visit) const {
        if (root_) visitSubtree(root_, height_, visit);
    }

    // Checks the tree's structure (sorted keys, separators bounding their subtrees, leaves at
    // one depth, counts); for tests.
    bool isConsistent() const;

private:
    struct Node;
    struct Leaf;
    struct Inner;
    struct Path;

    template <class Visit> static void visitSubtree(const Node* node, int height, Visit& visit);
    static const Leaf* asLeaf(const Node* node);
    static const Inner* asInner(const Node* node);
    static uint16_t countOf(const Node* node);
    static const uint64_t* leafKeys(const Node* node);
    static ListLink* const* leafValues(const Node* node);
    static const Node* const* innerChildren(const Node* node);

    static void freeSubtree(Node* node, int height);
    static void insertIntoLeaf(Leaf* leaf, int at, uint64_t key, ListLink* value);
    int insertKey(uint64_t key, ListLink* value);
    Leaf* descend(uint64_t key, Path& path) const;
    // The remembered leaf when it covers the key, else null.
    Leaf* fingerFor(uint64_t key) const;
    void rebalanceAfterRemoval(Leaf* leaf, Path& path);
    bool checkSubtree(const Node* node, int height, int depth, const uint64_t* low, const uint64_t* high,
                      bool isRoot, void* state) const;

    // The leaf that the last descent of an insert or removal reached and the handles it covers: low <= handle, and
    // handle < high unless highOpen. Forgotten (leaf null) whenever leaves split or merge.
    struct Finger {
        Leaf* leaf = nullptr;
        uint64_t low = 0;
        uint64_t high = 0;
        bool highOpen = true;
    };

    Node* root_ = nullptr;
    mutable Finger finger_;
    uint64_t lastInserted_ = 0;  // the handle of the last successful insert
    int height_ = 0;  // 0 for an empty tree, 1 when the root is a leaf
    size_t size_ = 0;
};

template <class Visit> void HandleTree::visitSubtree(const Node* node, int height, Visit& visit) {
    uint16_t count = countOf(node);
    if (height == 1) {
        const uint64_t* keys = leafKeys(node);
        ListLink* const* values = leafValues(node);
        for (uint16_t i = 0; i < count; ++i) visit(Handle(keys[i]), values[i]);
        return;
    }
    const Node* const* children = innerChildren(node);
    for (uint16_t i = 0; i <= count; ++i) visitSubtree(children[i], height - 1, visit);
}

// Empties the tree.
void dbHandleTreeInit(HandleTree& tree);

// Indexes the handle with its node: 1; 2 when the handle is already indexed (error 292, the
// handle copied into the context's errorHandle); 0 when memory is exhausted (error 214,
// error callback 2). After a successful insert the context's largestHandle is raised to the
// handle when it is larger.
int dbHandleTreeInsert(HandleTree& tree, Handle handle, ListLink* node);

// The node of the handle, null when absent.
ListLink* dbHandleTreeFind(const HandleTree& tree, Handle handle);

// 1 when removed, 4 when the handle is absent. Removal needs no memory of its own.
int dbHandleTreeRemove(HandleTree& tree, Handle handle);

// Releases every node of the tree (not the records it points at).
void dbHandleTreeFree(HandleTree& tree);

} // namespace tracemill
