// Storage of stored records: slabs of equal slots, one run of slabs per slot size.
//
// A drawing holds one stored node per record, so a large drawing allocates millions of nodes
// of a few sizes. Taking each from the general heap costs a heap header per node, scatters the
// nodes of one list over the heap and, above all, makes the kernel fault in the heap a page at
// a time. The node pool carves nodes out of 2 MiB slabs instead: nodes of one size lie side by
// side, a slab is found from a node's address, and once a size has filled a slab its further
// slabs are advised to the kernel as candidates for huge pages (on Linux), so that a large load
// faults in 2 MiB at a time. A size's first slab gets no such advice: a small drawing then
// touches only the pages it uses.
//
// Nodes are freed one by one in any order; a slab whose last node is freed goes back to the
// system unless it is the only slab its size has left. Sizes above kNodePoolLargestSlot come
// from the general heap. Like the rest of the toolkit's state the pool is meant for one thread.
//
// Builds with AddressSanitizer give every node its own heap block instead (see
// kNodePoolBypassedByDefault), so the sanitizer checks each node for overruns, use after free
// and leaks; a test can still run the slabs there (NodePoolSlabsInUse).
#pragma once

#include <cstddef>
#include <new>

namespace tracemill {

inline constexpr std::size_t kNodePoolSlabBytes = std::size_t(2) << 20;
inline constexpr std::size_t kNodePoolLargestSlot = 2048;

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kNodePoolBypassedByDefault = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kNodePoolBypassedByDefault = true;
#else
inline constexpr bool kNodePoolBypassedByDefault = false;
#endif
#else
inline constexpr bool kNodePoolBypassedByDefault = false;
#endif

// Whether nodes come from the general heap instead of the slabs: always false without
// AddressSanitizer; under it true unless a NodePoolSlabsInUse lives.
bool dbNodePoolBypassed() noexcept;

// While an object of this class lives, nodes come from the slabs under AddressSanitizer too,
// so that tests of the pools' use run in a sanitizer build. Nodes taken while it lives must be
// freed while it lives (and nodes taken before, after it), since a node goes back to where the
// mode of the moment says.
class NodePoolSlabsInUse {
public:
    NodePoolSlabsInUse() noexcept;
    ~NodePoolSlabsInUse();
    NodePoolSlabsInUse(const NodePoolSlabsInUse&) = delete;
    NodePoolSlabsInUse& operator=(const NodePoolSlabsInUse&) = delete;

private:
    bool previous_;
};

// A pool of slots of one size (a multiple of 16 bytes, at most kNodePoolLargestSlot).
class NodePool {
public:
    explicit NodePool(std::size_t slotSize);
    ~NodePool();  // releases every slab, live slots included
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;

    void* allocate();  // null when memory is exhausted
    void release(void* slot) noexcept;

    std::size_t slotSize() const { return slotSize_; }
    std::size_t liveSlots() const { return liveSlots_; }
    std::size_t slabCount() const { return slabCount_; }

private:
    struct Slab;
    Slab* newSlab();
    void unlinkSlab(Slab* slab) noexcept;
    void pushPartial(Slab* slab) noexcept;

    std::size_t slotSize_;
    std::size_t slotsPerSlab_;
    Slab* partial_ = nullptr;  // slabs with free slots, the one allocated from first
    Slab* full_ = nullptr;     // slabs without free slots
    std::size_t liveSlots_ = 0;
    std::size_t slabCount_ = 0;
};

// The process's node storage: a slot of at least `size` bytes from the pool of its size, or
// from the general heap for sizes above kNodePoolLargestSlot (and under AddressSanitizer).
// dbNodeAllocate throws std::bad_alloc as operator new does; dbNodeTryAllocate returns null.
void* dbNodeAllocate(std::size_t size);
void* dbNodeTryAllocate(std::size_t size) noexcept;
void dbNodeFree(void* node, std::size_t size) noexcept;

// The process's pool for `size` (rounded up to 16 bytes), created on first use; null for
// sizes above kNodePoolLargestSlot. For tests and measurements.
NodePool* dbNodePoolFor(std::size_t size);

// Class-level allocation for a node type `Self` that derives from PooledNode<Self>: its nodes
// come from the node pools. Nodes are deleted through their own type (node types are not
// polymorphic and nothing derives from them).
template <class Self> struct PooledNode {
    static void* operator new(std::size_t size) { return dbNodeAllocate(size); }
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return dbNodeTryAllocate(size); }
    static void operator delete(void* node) noexcept { dbNodeFree(node, sizeof(Self)); }
    static void operator delete(void* node, const std::nothrow_t&) noexcept { dbNodeFree(node, sizeof(Self)); }
};

// An allocator for the element arrays that records own (LWPOLYLINE vertices, say): arrays up
// to kNodePoolLargestSlot bytes come from the node pools, as the records holding them do, so
// that a large drawing faults in its arrays as it does its nodes; larger ones from the heap.
template <class T> struct PooledAllocator {
    using value_type = T;
    static_assert(alignof(T) <= 16, "pool slots are aligned to 16 bytes");

    PooledAllocator() noexcept = default;
    template <class U> PooledAllocator(const PooledAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(dbNodeAllocate(count * sizeof(T)));
    }
    void deallocate(T* array, std::size_t count) noexcept { dbNodeFree(array, count * sizeof(T)); }

    template <class U> friend bool operator==(const PooledAllocator&, const PooledAllocator<U>&) noexcept {
        return true;
    }
};

} // namespace tracemill
