#include "toolkit/core/handle_tree.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

#include "toolkit/core/node_pool.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

namespace {

constexpr int kLeafCapacity = 64;
constexpr int kInnerCapacity = 64;  // separators; one child more
constexpr int kLeafMinimum = kLeafCapacity / 2;
constexpr int kInnerMinimum = kInnerCapacity / 2;
// Deeper than any tree of 2^64 handles can grow with half-full inner nodes.
constexpr int kMaxHeight = 40;

// Index of the first key >= key. A key above all (the usual case of an ascending run) needs no
// search.
int lowerBound(const uint64_t* keys, int count, uint64_t key) {
    if (count > 0 && key > keys[count - 1]) return count;
    return int(std::lower_bound(keys, keys + count, key) - keys);
}

// Index of the first key > key: the child that holds the key.
int upperBound(const uint64_t* keys, int count, uint64_t key) {
    return int(std::upper_bound(keys, keys + count, key) - keys);
}

} // namespace

struct HandleTree::Node {
    uint16_t count = 0;  // entries of a leaf, separators of an inner node
};

// Leaves and inner nodes come from the node pools: a large drawing has tens of thousands.
struct HandleTree::Leaf : Node, PooledNode<HandleTree::Leaf> {
    std::array<uint64_t, kLeafCapacity> keys;
    std::array<ListLink*, kLeafCapacity> values;
};

// Child i holds the keys k with keys[i-1] <= k < keys[i].
struct HandleTree::Inner : Node, PooledNode<HandleTree::Inner> {
    std::array<uint64_t, kInnerCapacity> keys;
    std::array<Node*, kInnerCapacity + 1> children;
};

// The inner nodes passed on the way down and the child taken in each, root first.
struct HandleTree::Path {
    struct Step {
        Inner* node;
        int child;
    };
    std::array<Step, kMaxHeight> steps;
    int depth = 0;
};

const HandleTree::Leaf* HandleTree::asLeaf(const Node* node) { return static_cast<const Leaf*>(node); }
const HandleTree::Inner* HandleTree::asInner(const Node* node) { return static_cast<const Inner*>(node); }
uint16_t HandleTree::countOf(const Node* node) { return node->count; }
const uint64_t* HandleTree::leafKeys(const Node* node) { return asLeaf(node)->keys.data(); }
ListLink* const* HandleTree::leafValues(const Node* node) { return asLeaf(node)->values.data(); }
const HandleTree::Node* const* HandleTree::innerChildren(const Node* node) {
    return asInner(node)->children.data();
}

// Shifts the entries from `at` on to make room; the leaf has room.
void HandleTree::insertIntoLeaf(Leaf* leaf, int at, uint64_t key, ListLink* value) {
    std::copy_backward(leaf->keys.begin() + at, leaf->keys.begin() + leaf->count,
                       leaf->keys.begin() + leaf->count + 1);
    std::copy_backward(leaf->values.begin() + at, leaf->values.begin() + leaf->count,
                       leaf->values.begin() + leaf->count + 1);
    leaf->keys[at] = key;
    leaf->values[at] = value;
    ++leaf->count;
}

HandleTree::~HandleTree() { clear(); }

HandleTree::HandleTree(HandleTree&& other) noexcept
    : root_(std::exchange(other.root_, nullptr)), finger_(std::exchange(other.finger_, Finger{})),
      height_(std::exchange(other.height_, 0)), size_(std::exchange(other.size_, 0)) {}

HandleTree& HandleTree::operator=(HandleTree&& other) noexcept {
    if (this != &other) {
        clear();
        root_ = std::exchange(other.root_, nullptr);
        finger_ = std::exchange(other.finger_, Finger{});
        height_ = std::exchange(other.height_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void HandleTree::freeSubtree(Node* node, int height) {
    if (height == 1) {
        delete static_cast<Leaf*>(node);
        return;
    }
    auto* inner = static_cast<Inner*>(node);
    for (int i = 0; i <= inner->count; ++i) freeSubtree(inner->children[i], height - 1);
    delete inner;
}

void HandleTree::clear() {
    if (root_) freeSubtree(root_, height_);
    root_ = nullptr;
    finger_ = Finger{};
    height_ = 0;
    size_ = 0;
}

HandleTree::Leaf* HandleTree::descend(uint64_t key, Path& path) const {
    Node* node = root_;
    path.depth = 0;
    Finger finger;
    for (int level = height_; level > 1; --level) {
        auto* inner = static_cast<Inner*>(node);
        int child = upperBound(inner->keys.data(), inner->count, key);
        path.steps[path.depth++] = {inner, child};
        // The separators around the child bound its keys; deeper ones are tighter.
        if (child > 0) finger.low = inner->keys[size_t(child - 1)];
        if (child < inner->count) {
            finger.high = inner->keys[size_t(child)];
            finger.highOpen = false;
        }
        node = inner->children[child];
    }
    finger.leaf = static_cast<Leaf*>(node);
    finger_ = finger;
    return finger.leaf;
}

HandleTree::Leaf* HandleTree::fingerFor(uint64_t key) const {
    const Finger& f = finger_;
    return f.leaf && key >= f.low && (f.highOpen || key < f.high) ? f.leaf : nullptr;
}

ListLink* HandleTree::find(Handle handle) const {
    if (!root_) return nullptr;
    // A lookup leaves the remembered leaf to the inserts: lookups elsewhere in the tree (of a
    // block or a layer) do not pull it away from a run of new handles.
    const Node* node = fingerFor(handle.value);
    if (!node) {
        node = root_;
        for (int level = height_; level > 1; --level) {
            const Inner* inner = asInner(node);
            node = inner->children[upperBound(inner->keys.data(), inner->count, handle.value)];
        }
    }
    const Leaf* leaf = asLeaf(node);
    int pos = lowerBound(leaf->keys.data(), leaf->count, handle.value);
    return pos < leaf->count && leaf->keys[pos] == handle.value ? leaf->values[pos] : nullptr;
}

Handle HandleTree::largest() const {
    if (!root_) return Handle();
    const Node* node = root_;
    for (int level = height_; level > 1; --level) {
        const Inner* inner = asInner(node);
        node = inner->children[inner->count];
    }
    const Leaf* leaf = asLeaf(node);
    return leaf->count > 0 ? Handle(leaf->keys[leaf->count - 1]) : Handle();
}

int HandleTree::insert(Handle handle, ListLink* value) {
    const int result = insertKey(handle.value, value);
    if (result == kHandleTreeInserted) lastInserted_ = handle.value;
    return result;
}

int HandleTree::insertKey(uint64_t key, ListLink* value) {
    if (!root_) {
        auto* leaf = new (std::nothrow) Leaf;
        if (!leaf) return kHandleTreeNoMemory;
        leaf->count = 1;
        leaf->keys[0] = key;
        leaf->values[0] = value;
        root_ = leaf;
        height_ = 1;
        size_ = 1;
        return kHandleTreeInserted;
    }

    // A run of handles in the leaf of the last descent needs none.
    if (Leaf* near = fingerFor(key); near && near->count < kLeafCapacity) {
        const int at = lowerBound(near->keys.data(), near->count, key);
        if (at < near->count && near->keys[at] == key) return kHandleTreeDuplicate;
        insertIntoLeaf(near, at, key, value);
        ++size_;
        return kHandleTreeInserted;
    }

    Path path;
    Leaf* leaf = descend(key, path);
    int pos = lowerBound(leaf->keys.data(), leaf->count, key);
    if (pos < leaf->count && leaf->keys[pos] == key) return kHandleTreeDuplicate;

    if (leaf->count < kLeafCapacity) {
        insertIntoLeaf(leaf, pos, key, value);
        ++size_;
        return kHandleTreeInserted;
    }
    finger_ = Finger{}; // the leaf splits

    // The leaf splits, and so does every full inner node above it; a full root grows a new
    // root. Every node needed is allocated before anything changes.
    int splittingInners = 0;
    while (splittingInners < path.depth &&
           path.steps[path.depth - 1 - splittingInners].node->count == kInnerCapacity)
        ++splittingInners;
    const bool newRoot = splittingInners == path.depth;
    if (newRoot && height_ + 1 > kMaxHeight) return kHandleTreeNoMemory;

    auto* rightLeaf = new (std::nothrow) Leaf;
    std::array<Inner*, kMaxHeight + 1> inners{};
    const int innerCount = splittingInners + (newRoot ? 1 : 0);
    bool allocated = rightLeaf != nullptr;
    for (int i = 0; allocated && i < innerCount; ++i) {
        inners[i] = new (std::nothrow) Inner;
        allocated = inners[i] != nullptr;
    }
    if (!allocated) {
        delete rightLeaf;
        for (Inner* inner : inners) delete inner;
        return kHandleTreeNoMemory;
    }

    if (pos == leaf->count) {
        // Appending at the end of the leaf (an ascending run): the full leaf stays full.
        rightLeaf->count = 1;
        rightLeaf->keys[0] = key;
        rightLeaf->values[0] = value;
    } else {
        // An ascending run inside the tree (handles beneath records that took larger ones
        // first) splits the leaf where it inserts, so that the run goes on at the end of the
        // left part; other inserts split the leaf in halves.
        const bool run = pos > 0 && leaf->keys[size_t(pos - 1)] == lastInserted_;
        const int at = run ? pos : kLeafCapacity / 2;
        rightLeaf->count = uint16_t(kLeafCapacity - at);
        std::copy(leaf->keys.begin() + at, leaf->keys.end(), rightLeaf->keys.begin());
        std::copy(leaf->values.begin() + at, leaf->values.end(), rightLeaf->values.begin());
        leaf->count = uint16_t(at);
        if (pos < at || run)
            insertIntoLeaf(leaf, pos, key, value);
        else
            insertIntoLeaf(rightLeaf, pos - at, key, value);
    }
    ++size_;

    uint64_t separator = rightLeaf->keys[0];
    Node* newChild = rightLeaf;
    int nextInner = 0;
    for (int d = path.depth - 1; d >= 0; --d) {
        Inner* parent = path.steps[d].node;
        const int child = path.steps[d].child;
        if (parent->count < kInnerCapacity) {
            std::copy_backward(parent->keys.begin() + child, parent->keys.begin() + parent->count,
                               parent->keys.begin() + parent->count + 1);
            std::copy_backward(parent->children.begin() + child + 1,
                               parent->children.begin() + parent->count + 1,
                               parent->children.begin() + parent->count + 2);
            parent->keys[child] = separator;
            parent->children[child + 1] = newChild;
            ++parent->count;
            return kHandleTreeInserted;
        }
        // Split the full inner node around its median.
        std::array<uint64_t, kInnerCapacity + 1> keys;
        std::array<Node*, kInnerCapacity + 2> children;
        std::copy(parent->keys.begin(), parent->keys.begin() + child, keys.begin());
        keys[child] = separator;
        std::copy(parent->keys.begin() + child, parent->keys.end(), keys.begin() + child + 1);
        std::copy(parent->children.begin(), parent->children.begin() + child + 1, children.begin());
        children[child + 1] = newChild;
        std::copy(parent->children.begin() + child + 1, parent->children.end(), children.begin() + child + 2);

        const int leftKeys = (kInnerCapacity + 1) / 2;
        Inner* right = inners[nextInner++];
        parent->count = uint16_t(leftKeys);
        std::copy(keys.begin(), keys.begin() + leftKeys, parent->keys.begin());
        std::copy(children.begin(), children.begin() + leftKeys + 1, parent->children.begin());
        right->count = uint16_t(kInnerCapacity - leftKeys);
        std::copy(keys.begin() + leftKeys + 1, keys.end(), right->keys.begin());
        std::copy(children.begin() + leftKeys + 1, children.end(), right->children.begin());
        separator = keys[leftKeys];
        newChild = right;
    }

    Inner* root = inners[nextInner];
    root->count = 1;
    root->keys[0] = separator;
    root->children[0] = root_;
    root->children[1] = newChild;
    root_ = root;
    ++height_;
    return kHandleTreeInserted;
}

int HandleTree::remove(Handle handle) {
    if (!root_) return kHandleTreeAbsent;
    Path path;
    Leaf* leaf = descend(handle.value, path);
    finger_ = Finger{}; // leaves may merge
    int pos = lowerBound(leaf->keys.data(), leaf->count, handle.value);
    if (pos == leaf->count || leaf->keys[pos] != handle.value) return kHandleTreeAbsent;

    std::copy(leaf->keys.begin() + pos + 1, leaf->keys.begin() + leaf->count, leaf->keys.begin() + pos);
    std::copy(leaf->values.begin() + pos + 1, leaf->values.begin() + leaf->count, leaf->values.begin() + pos);
    --leaf->count;
    --size_;
    rebalanceAfterRemoval(leaf, path);
    return kHandleTreeRemoved;
}

// Brings a node that fell below its minimum back up by borrowing one entry from a sibling
// that can spare it, or merges it with a sibling; a merge takes a separator out of the parent,
// which may then need the same. A root left without keys gives way to its only child.
void HandleTree::rebalanceAfterRemoval(Leaf* leaf, Path& path) {
    Node* node = leaf;
    bool isLeaf = true;
    for (int d = path.depth - 1; d >= 0; --d) {
        const int minimum = isLeaf ? kLeafMinimum : kInnerMinimum;
        if (node->count >= minimum) break;
        Inner* parent = path.steps[d].node;
        const int i = path.steps[d].child;
        Node* left = i > 0 ? parent->children[i - 1] : nullptr;
        Node* right = i < parent->count ? parent->children[i + 1] : nullptr;

        if (isLeaf) {
            auto* self = static_cast<Leaf*>(node);
            if (left && left->count > minimum) {
                auto* from = static_cast<Leaf*>(left);
                std::copy_backward(self->keys.begin(), self->keys.begin() + self->count,
                                   self->keys.begin() + self->count + 1);
                std::copy_backward(self->values.begin(), self->values.begin() + self->count,
                                   self->values.begin() + self->count + 1);
                --from->count;
                self->keys[0] = from->keys[from->count];
                self->values[0] = from->values[from->count];
                ++self->count;
                parent->keys[i - 1] = self->keys[0];
                break;
            }
            if (right && right->count > minimum) {
                auto* from = static_cast<Leaf*>(right);
                self->keys[self->count] = from->keys[0];
                self->values[self->count] = from->values[0];
                ++self->count;
                std::copy(from->keys.begin() + 1, from->keys.begin() + from->count, from->keys.begin());
                std::copy(from->values.begin() + 1, from->values.begin() + from->count, from->values.begin());
                --from->count;
                parent->keys[i] = from->keys[0];
                break;
            }
            auto* into = static_cast<Leaf*>(left ? left : node);
            auto* gone = static_cast<Leaf*>(left ? node : right);
            std::copy(gone->keys.begin(), gone->keys.begin() + gone->count, into->keys.begin() + into->count);
            std::copy(gone->values.begin(), gone->values.begin() + gone->count,
                      into->values.begin() + into->count);
            into->count = uint16_t(into->count + gone->count);
            delete gone;
        } else {
            auto* self = static_cast<Inner*>(node);
            if (left && left->count > minimum) {
                auto* from = static_cast<Inner*>(left);
                std::copy_backward(self->keys.begin(), self->keys.begin() + self->count,
                                   self->keys.begin() + self->count + 1);
                std::copy_backward(self->children.begin(), self->children.begin() + self->count + 1,
                                   self->children.begin() + self->count + 2);
                self->keys[0] = parent->keys[i - 1];
                self->children[0] = from->children[from->count];
                ++self->count;
                parent->keys[i - 1] = from->keys[from->count - 1];
                --from->count;
                break;
            }
            if (right && right->count > minimum) {
                auto* from = static_cast<Inner*>(right);
                self->keys[self->count] = parent->keys[i];
                self->children[self->count + 1] = from->children[0];
                ++self->count;
                parent->keys[i] = from->keys[0];
                std::copy(from->keys.begin() + 1, from->keys.begin() + from->count, from->keys.begin());
                std::copy(from->children.begin() + 1, from->children.begin() + from->count + 1,
                          from->children.begin());
                --from->count;
                break;
            }
            auto* into = static_cast<Inner*>(left ? left : node);
            auto* gone = static_cast<Inner*>(left ? node : right);
            into->keys[into->count] = parent->keys[left ? i - 1 : i];
            std::copy(gone->keys.begin(), gone->keys.begin() + gone->count, into->keys.begin() + into->count + 1);
            std::copy(gone->children.begin(), gone->children.begin() + gone->count + 1,
                      into->children.begin() + into->count + 1);
            into->count = uint16_t(into->count + 1 + gone->count);
            delete gone;
        }
        // The merge removed the separator before the emptied child and that child.
        const int separator = left ? i - 1 : i;
        std::copy(parent->keys.begin() + separator + 1, parent->keys.begin() + parent->count,
                  parent->keys.begin() + separator);
        std::copy(parent->children.begin() + separator + 2, parent->children.begin() + parent->count + 1,
                  parent->children.begin() + separator + 1);
        --parent->count;
        node = parent;
        isLeaf = false;
    }

    if (height_ == 1 && root_->count == 0) {
        delete static_cast<Leaf*>(root_);
        root_ = nullptr;
        height_ = 0;
    } else if (height_ > 1 && root_->count == 0) {
        auto* oldRoot = static_cast<Inner*>(root_);
        root_ = oldRoot->children[0];
        delete oldRoot;
        --height_;
    }
}

namespace {

struct ConsistencyCheck {
    size_t entries = 0;
    int leafDepth = -1;
};

} // namespace

bool HandleTree::checkSubtree(const Node* node, int height, int depth, const uint64_t* low,
                              const uint64_t* high, bool isRoot, void* state) const {
    auto& check = *static_cast<ConsistencyCheck*>(state);
    const int count = node->count;
    auto inBounds = [&](uint64_t key) { return (!low || key >= *low) && (!high || key < *high); };
    if (height == 1) {
        const Leaf* leaf = asLeaf(node);
        if (count > kLeafCapacity || (count == 0 && !isRoot)) return false;
        for (int i = 0; i < count; ++i) {
            if (!inBounds(leaf->keys[i]) || (i > 0 && leaf->keys[i - 1] >= leaf->keys[i])) return false;
        }
        if (check.leafDepth < 0) check.leafDepth = depth;
        check.entries += size_t(count);
        return check.leafDepth == depth;
    }
    const Inner* inner = asInner(node);
    if (count < 1 || count > kInnerCapacity) return false;
    for (int i = 0; i < count; ++i) {
        if (!inBounds(inner->keys[i]) || (i > 0 && inner->keys[i - 1] >= inner->keys[i])) return false;
    }
    for (int i = 0; i <= count; ++i) {
        const uint64_t* childLow = i > 0 ? &inner->keys[i - 1] : low;
        const uint64_t* childHigh = i < count ? &inner->keys[i] : high;
        if (!checkSubtree(inner->children[i], height - 1, depth + 1, childLow, childHigh, false, state))
            return false;
    }
    return true;
}

bool HandleTree::isConsistent() const {
    if (!root_) return height_ == 0 && size_ == 0;
    ConsistencyCheck check;
    return checkSubtree(root_, height_, 0, nullptr, nullptr, true, &check) && check.entries == size_;
}

void dbHandleTreeInit(HandleTree& tree) { tree.clear(); }

int dbHandleTreeInsert(HandleTree& tree, Handle handle, ListLink* node) {
    int result = tree.insert(handle, node);
    if (result == kHandleTreeInserted) {
        if (gSystemContext && handle > gSystemContext->largestHandle) gSystemContext->largestHandle = handle;
    } else if (result == kHandleTreeDuplicate) {
        if (gSystemContext) gSystemContext->errorHandle = handle;
        dbSetError(kErrorHandleIndexedTwice);
    } else {
        dbReportError(kErrorNoMemoryForHandleNode, kErrorReasonNoMemory);
    }
    return result;
}

ListLink* dbHandleTreeFind(const HandleTree& tree, Handle handle) { return tree.find(handle); }

int dbHandleTreeRemove(HandleTree& tree, Handle handle) { return tree.remove(handle); }

void dbHandleTreeFree(HandleTree& tree) { tree.clear(); }

} // namespace tracemill
