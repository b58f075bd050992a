#include "toolkit/core/memory_services.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tracemill {
namespace {

class ToolkitHeap : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(dbHeapStartup(), 1); }
    void TearDown() override {
        dbFailAllocationAfter(-1);
        dbHeapShutdown();
    }
};

TEST_F(ToolkitHeap, GuardedCopiesStayInsideOneLiveBlock) {
    auto* block = static_cast<uint8_t*>(dbHeapAlloc(16));
    auto* next = static_cast<uint8_t*>(dbHeapAlloc(16));
    ASSERT_NE(block, nullptr);
    ASSERT_NE(next, nullptr);
    const uint8_t src[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    uint8_t dest[17] = {};
    struct Case {
        const char* name;
        size_t offset;
        size_t count;
        int result;
    } cases[] = {
        {"whole block", 0, 16, 1},
        {"tail of the block", 12, 4, 1},
        {"nothing at the end", 16, 0, 1},
        {"one byte too many", 0, 17, 0},
        {"across the end", 15, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dbGuardedWrite(block + c.offset, src, c.count), c.result);
        EXPECT_EQ(dbGuardedRead(dest, block + c.offset, c.count), c.result);
    }
    EXPECT_EQ(dbGuardedWrite(block, src, 16), 1);
    EXPECT_EQ(dbGuardedRead(dest, block, 16), 1);
    EXPECT_EQ(0, std::memcmp(dest, src, 16));

    uint8_t outside[4];
    EXPECT_EQ(dbGuardedRead(dest, outside, 4), 0) << "memory that is no heap block";
    EXPECT_EQ(dbGuardedFree(block + 1), 0) << "not the start of a block";
    EXPECT_EQ(dbGuardedFree(block), 1);
    EXPECT_EQ(dbGuardedRead(dest, block, 4), 0) << "a freed block";
    EXPECT_EQ(dbGuardedWrite(block, src, 4), 0);
    EXPECT_EQ(dbGuardedFree(block), 0) << "freed twice";
    EXPECT_EQ(dbHeapBlockCount(), 1u);
    EXPECT_EQ(dbGuardedFree(next), 1);
}

TEST_F(ToolkitHeap, ShutdownReleasesEveryLiveBlock) {
    for (int i = 0; i < 5; ++i) ASSERT_NE(dbHeapAlloc(100), nullptr);
    EXPECT_EQ(dbHeapBlockCount(), 5u);
    EXPECT_EQ(dbHeapShutdown(), 1);
    EXPECT_EQ(dbHeapBlockCount(), 0u);
}

TEST_F(ToolkitHeap, InjectedFailureHitsExactlyTheChosenAllocation) {
    dbFailAllocationAfter(2);
    void* a = dbMalloc(8);
    void* b = dbHeapAlloc(8);
    void* c = dbMalloc(8);
    void* d = dbMalloc(8);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(c, nullptr);
    EXPECT_NE(d, nullptr) << "one failure only";
    dbFree(a);
    dbFree(d);

    std::vector<int> v{1, 2};
    dbFailAllocationAfter(0);
    EXPECT_FALSE(dbTryResize(v, 1000));
    EXPECT_EQ(v.size(), 2u) << "a failed resize keeps the contents";
    EXPECT_TRUE(dbTryResize(v, 1000));
    EXPECT_EQ(v.size(), 1000u);
    dbFailAllocationAfter(0);
    EXPECT_EQ(dbNewObject<int>(5), nullptr);
    EXPECT_EQ(*dbNewObject<int>(5), 5);
}

} // namespace
} // namespace tracemill
