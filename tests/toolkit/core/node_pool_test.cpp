#include "toolkit/core/node_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "toolkit/core/entity_record.h"

namespace tracemill {
namespace {

// Slots stay apart, aligned and intact while others come and go, freed slots are reused, and
// slabs go back once empty (all but the last one).
TEST(NodePool, SlotsAreDistinctAlignedAndKeepTheirBytes) {
    NodePool pool(40);
    EXPECT_EQ(pool.slotSize(), 48u);
    const size_t count = 3 * kNodePoolSlabBytes / pool.slotSize();  // spans several slabs
    std::vector<unsigned char*> slots;
    for (size_t i = 0; i < count; ++i) {
        auto* slot = static_cast<unsigned char*>(pool.allocate());
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(slot) % 16, 0u);
        std::memset(slot, int(i & 0xFF), pool.slotSize());
        slots.push_back(slot);
    }
    EXPECT_EQ(pool.liveSlots(), count);
    EXPECT_GE(pool.slabCount(), 3u);
    std::vector<unsigned char*> sorted = slots;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 1; i < sorted.size(); ++i) EXPECT_GE(size_t(sorted[i] - sorted[i - 1]), pool.slotSize());

    // Free every other slot in a shuffled order: the rest keep their bytes.
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    std::set<unsigned char*> freed;
    for (size_t i : order) {
        if (i % 2) {
            pool.release(slots[i]);
            freed.insert(slots[i]);
        }
    }
    for (size_t i = 0; i < count; i += 2) {
        for (size_t b = 0; b < pool.slotSize(); ++b) ASSERT_EQ(slots[i][b], (unsigned char)(i & 0xFF)) << i;
    }
    // New slots come from the freed ones before any new slab.
    const size_t slabs = pool.slabCount();
    for (size_t i = 0; i < freed.size(); ++i) EXPECT_TRUE(freed.count(static_cast<unsigned char*>(pool.allocate())));
    EXPECT_EQ(pool.slabCount(), slabs);
    EXPECT_EQ(pool.liveSlots(), count);
}

TEST(NodePool, EmptySlabsGoBackButTheLast) {
    NodePool pool(224);
    std::vector<void*> slots;
    const size_t perSlab = kNodePoolSlabBytes / pool.slotSize();
    for (size_t i = 0; i < 4 * perSlab; ++i) slots.push_back(pool.allocate());
    EXPECT_GE(pool.slabCount(), 4u);
    for (void* slot : slots) pool.release(slot);
    EXPECT_EQ(pool.liveSlots(), 0u);
    EXPECT_EQ(pool.slabCount(), 1u);
    // The kept slab serves again.
    void* again = pool.allocate();
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(pool.slabCount(), 1u);
    pool.release(again);
}

TEST(NodePool, SizesShareAPoolPerSixteenBytesAndLargeOnesUseTheHeap) {
    EXPECT_EQ(dbNodePoolFor(1), dbNodePoolFor(16));
    EXPECT_EQ(dbNodePoolFor(200), dbNodePoolFor(208));
    EXPECT_NE(dbNodePoolFor(208), dbNodePoolFor(209));
    EXPECT_EQ(dbNodePoolFor(kNodePoolLargestSlot)->slotSize(), kNodePoolLargestSlot);
    EXPECT_EQ(dbNodePoolFor(kNodePoolLargestSlot + 1), nullptr);

    void* large = dbNodeAllocate(kNodePoolLargestSlot + 1);
    std::memset(large, 1, kNodePoolLargestSlot + 1);
    dbNodeFree(large, kNodePoolLargestSlot + 1);
}

// Stored records and their boxed bodies take their storage from the pools. (Sanitizer
// builds give each node a heap block of its own unless slabs are asked for, as here.)
TEST(NodePool, StoredRecordsAndBoxedBodiesLiveInThePools) {
    const NodePoolSlabsInUse slabs;
    NodePool* nodes = dbNodePoolFor(sizeof(EntityNode));
    NodePool* texts = dbNodePoolFor(sizeof(TextBody));
    const size_t nodesBefore = nodes->liveSlots();
    const size_t textsBefore = texts->liveSlots();
    {
        EntityList list;
        for (int i = 0; i < 100; ++i) {
            EntityRecord entity;
            entity.header.type = 1;
            TextBody text;
            text.text = "text that needs a heap block of its own " + std::to_string(i);
            entity.body = text;
            ASSERT_NE(dbListAppendRecord(EntityNode(std::move(entity)), &list), nullptr);
        }
        EXPECT_EQ(nodes->liveSlots(), nodesBefore + 100);
        EXPECT_EQ(texts->liveSlots(), textsBefore + 100);
        EntityRecord copy = list.begin()->record;  // the copy boxes its own body
        EXPECT_EQ(texts->liveSlots(), textsBefore + 101);
        delete new (std::nothrow) EntityNode();
    }
    EXPECT_EQ(nodes->liveSlots(), nodesBefore);
    EXPECT_EQ(texts->liveSlots(), textsBefore);
}

// Element arrays of records: small ones take pool slots of their byte size, large ones the
// heap; growing, copying and freeing keep the pools' counts right and the elements intact.
TEST(NodePool, PooledArraysGrowCopyAndGiveBackTheirSlots) {
    const NodePoolSlabsInUse slabs;
    NodePool* eight = dbNodePoolFor(8 * sizeof(LwpolylineVertex));
    const size_t eightBefore = eight->liveSlots();
    {
        LwpolylineVertices vertices;
        vertices.reserve(8);
        EXPECT_EQ(eight->liveSlots(), eightBefore + 1);
        // Past the largest slot the array moves to the heap, keeping every vertex.
        const size_t many = kNodePoolLargestSlot / sizeof(LwpolylineVertex) * 3;
        for (size_t i = 0; i < many; ++i) vertices.push_back({{double(i), -double(i)}, 0.5, 0.25, double(i % 3)});
        EXPECT_EQ(eight->liveSlots(), eightBefore);
        LwpolylineVertices copy = vertices;
        copy.resize(8);
        copy.shrink_to_fit();
        EXPECT_EQ(eight->liveSlots(), eightBefore + 1);
        for (size_t i = 0; i < many; ++i) {
            ASSERT_EQ(vertices[i].point.x, double(i)) << i;
            ASSERT_EQ(vertices[i].endWidth, double(i % 3)) << i;
        }
        EXPECT_EQ(copy[7].point.y, -7.0);
    }
    EXPECT_EQ(eight->liveSlots(), eightBefore);
}

} // namespace
} // namespace tracemill
