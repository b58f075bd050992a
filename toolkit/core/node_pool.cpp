#include "toolkit/core/node_pool.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tracemill {

// The head of every slab; its slots follow it.
struct NodePool::Slab {
    Slab* previous = nullptr;
    Slab* next = nullptr;
    void* freeSlots = nullptr;  // freed slots, each holding the next one
    std::size_t untouched = 0;  // index of the first slot never handed out
    std::size_t live = 0;
    bool full = false;
};

namespace {

constexpr std::size_t kSlotAlignment = 16;
constexpr std::size_t kSlabHeadBytes = (sizeof(void*) * 6 + kSlotAlignment - 1) / kSlotAlignment * kSlotAlignment;

std::size_t roundToSlot(std::size_t size) {
    return size == 0 ? kSlotAlignment : (size + kSlotAlignment - 1) / kSlotAlignment * kSlotAlignment;
}

// kNodePoolSlabBytes of memory aligned to its size; null when memory is exhausted.
void* mapSlab(bool adviseHugePages) {
#if defined(__linux__)
    const std::size_t span = kNodePoolSlabBytes * 2;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kNodePoolSlabBytes - 1) & ~(std::uintptr_t(kNodePoolSlabBytes) - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const std::uintptr_t end = aligned + kNodePoolSlabBytes;
    if (start + span > end) munmap(reinterpret_cast<void*>(end), start + span - end);
    auto* slab = reinterpret_cast<void*>(aligned);
#if defined(MADV_HUGEPAGE)
    // Only advice: where the kernel has no huge pages to give, the slab is faulted in by pages.
    if (adviseHugePages) madvise(slab, kNodePoolSlabBytes, MADV_HUGEPAGE);
#else
    (void)adviseHugePages;
#endif
    return slab;
#else
    (void)adviseHugePages;
    return std::aligned_alloc(kNodePoolSlabBytes, kNodePoolSlabBytes);
#endif
}

void unmapSlab(void* slab) {
#if defined(__linux__)
    munmap(slab, kNodePoolSlabBytes);
#else
    std::free(slab);
#endif
}

} // namespace

NodePool::NodePool(std::size_t slotSize)
    : slotSize_(roundToSlot(slotSize)), slotsPerSlab_((kNodePoolSlabBytes - kSlabHeadBytes) / slotSize_) {
    static_assert(sizeof(Slab) <= kSlabHeadBytes, "the slab head fits in front of the slots");
}

NodePool::~NodePool() {
    for (Slab* list : {partial_, full_}) {
        while (list) {
            Slab* next = list->next;
            list->~Slab();
            unmapSlab(list);
            list = next;
        }
    }
}

NodePool::Slab* NodePool::newSlab() {
    void* memory = mapSlab(slabCount_ > 0);
    if (!memory) return nullptr;
    ++slabCount_;
    return new (memory) Slab();
}

void NodePool::pushPartial(Slab* slab) noexcept {
    slab->previous = nullptr;
    slab->next = partial_;
    if (partial_) partial_->previous = slab;
    partial_ = slab;
}

void NodePool::unlinkSlab(Slab* slab) noexcept {
    Slab*& head = slab->full ? full_ : partial_;
    if (slab->previous)
        slab->previous->next = slab->next;
    else
        head = slab->next;
    if (slab->next) slab->next->previous = slab->previous;
    slab->previous = slab->next = nullptr;
}

void* NodePool::allocate() {
    if (!partial_) {
        Slab* slab = newSlab();
        if (!slab) return nullptr;
        pushPartial(slab);
    }
    Slab* slab = partial_;
    void* slot;
    if (slab->freeSlots) {
        slot = slab->freeSlots;
        slab->freeSlots = *static_cast<void**>(slot);
    } else {
        slot = reinterpret_cast<char*>(slab) + kSlabHeadBytes + slab->untouched * slotSize_;
        ++slab->untouched;
    }
    ++slab->live;
    ++liveSlots_;
    if (!slab->freeSlots && slab->untouched == slotsPerSlab_) {
        unlinkSlab(slab);
        slab->full = true;
        slab->next = full_;
        if (full_) full_->previous = slab;
        full_ = slab;
    }
    return slot;
}

void NodePool::release(void* slot) noexcept {
    if (!slot) return;
    auto* slab = reinterpret_cast<Slab*>(reinterpret_cast<std::uintptr_t>(slot) &
                                         ~(std::uintptr_t(kNodePoolSlabBytes) - 1));
    *static_cast<void**>(slot) = slab->freeSlots;
    slab->freeSlots = slot;
    --slab->live;
    --liveSlots_;
    if (slab->full) {
        unlinkSlab(slab);
        slab->full = false;
        pushPartial(slab);
    }
    if (slab->live == 0 && slabCount_ > 1) {
        unlinkSlab(slab);
        slab->~Slab();
        unmapSlab(slab);
        --slabCount_;
    }
}

namespace {

// The process's pools by slot size in steps of 16 bytes. They live as long as the process:
// nodes may outlive any object that could own them.
std::array<NodePool*, kNodePoolLargestSlot / kSlotAlignment + 1>& processPools() {
    static std::array<NodePool*, kNodePoolLargestSlot / kSlotAlignment + 1> pools{};
    return pools;
}

} // namespace

namespace {
bool gNodePoolBypassed = kNodePoolBypassedByDefault;
} // namespace

bool dbNodePoolBypassed() noexcept {
    if constexpr (!kNodePoolBypassedByDefault) return false;
    return gNodePoolBypassed;
}

NodePoolSlabsInUse::NodePoolSlabsInUse() noexcept : previous_(gNodePoolBypassed) { gNodePoolBypassed = false; }

NodePoolSlabsInUse::~NodePoolSlabsInUse() { gNodePoolBypassed = previous_; }

NodePool* dbNodePoolFor(std::size_t size) {
    const std::size_t slot = roundToSlot(size);
    if (slot > kNodePoolLargestSlot) return nullptr;
    NodePool*& pool = processPools()[slot / kSlotAlignment];
    if (!pool) pool = new (std::nothrow) NodePool(slot);
    return pool;
}

void* dbNodeTryAllocate(std::size_t size) noexcept {
    if (dbNodePoolBypassed() || size > kNodePoolLargestSlot) return ::operator new(size, std::nothrow);
    NodePool* pool = dbNodePoolFor(size);
    return pool ? pool->allocate() : nullptr;
}

void* dbNodeAllocate(std::size_t size) {
    void* node = dbNodeTryAllocate(size);
    if (!node) throw std::bad_alloc();
    return node;
}

void dbNodeFree(void* node, std::size_t size) noexcept {
    if (!node) return;
    if (dbNodePoolBypassed() || size > kNodePoolLargestSlot) {
        ::operator delete(node);
        return;
    }
    processPools()[roundToSlot(size) / kSlotAlignment]->release(node);
}

} // namespace tracemill
