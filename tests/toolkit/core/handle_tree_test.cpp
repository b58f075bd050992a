#include "toolkit/core/handle_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "toolkit_fixture.h"

namespace tracemill {
namespace {

// Stand-ins for stored nodes: the tree only keeps the pointers.
ListLink* nodeFor(uint64_t value) { return reinterpret_cast<ListLink*>(uintptr_t(value * 16 + 8)); }

std::vector<uint64_t> keysOf(const HandleTree& tree) {
    std::vector<uint64_t> keys;
    tree.forEach([&](Handle handle, ListLink* node) {
        EXPECT_EQ(node, nodeFor(handle.value));
        keys.push_back(handle.value);
    });
    return keys;
}

class HandleTreeTest : public test::ToolkitTest {};

TEST_F(HandleTreeTest, FindsWhatWasInsertedAndNothingOutside) {
    HandleTree tree;
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(5)), nullptr);
    for (uint64_t h = 10; h <= 1000; h += 10) ASSERT_EQ(dbHandleTreeInsert(tree, Handle(h), nodeFor(h)), 1);
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(500)), nodeFor(500));
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(1)), nullptr) << "smaller than every key";
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(5000)), nullptr) << "larger than every key";
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(505)), nullptr);
    EXPECT_TRUE(tree.isConsistent());
}

TEST_F(HandleTreeTest, DuplicateIsRefusedWithTheHandleKept) {
    HandleTree tree;
    ASSERT_EQ(dbHandleTreeInsert(tree, Handle(0x2F), nodeFor(1)), kHandleTreeInserted);
    EXPECT_EQ(dbHandleTreeInsert(tree, Handle(0x2F), nodeFor(2)), kHandleTreeDuplicate);
    EXPECT_EQ(gSystemContext->errorNumber, kErrorHandleIndexedTwice);
    EXPECT_EQ(gSystemContext->errorHandle, Handle(0x2F));
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(0x2F)), nodeFor(1)) << "the tree is unchanged";
    EXPECT_EQ(tree.size(), 1u);
}

TEST_F(HandleTreeTest, LargestHandleOnlyGrows) {
    HandleTree tree;
    dbHandleTreeInsert(tree, Handle(0x100), nodeFor(1));
    dbHandleTreeInsert(tree, Handle(0x20), nodeFor(2));
    EXPECT_EQ(gSystemContext->largestHandle, Handle(0x100));
    dbHandleTreeInsert(tree, Handle(0xFFFFFFFFFFFFFFFFull), nodeFor(3));
    EXPECT_EQ(gSystemContext->largestHandle, Handle(0xFFFFFFFFFFFFFFFFull));
    dbHandleTreeRemove(tree, Handle(0xFFFFFFFFFFFFFFFFull));
    EXPECT_EQ(gSystemContext->largestHandle, Handle(0xFFFFFFFFFFFFFFFFull)) << "kept over removals";
}

// Ascending, descending and shuffled loads, then removal of every handle in another order.
TEST_F(HandleTreeTest, LoadsInAnyOrderAndEmptiesAgain) {
    const int n = 20000;
    std::vector<uint64_t> ascending(n);
    for (int i = 0; i < n; ++i) ascending[i] = uint64_t(i) * 3 + 1;
    std::vector<uint64_t> descending(ascending.rbegin(), ascending.rend());
    std::vector<uint64_t> shuffled = ascending;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    // A load whose new records took handles above the file's: the largest come first, then
    // the rest ascending beneath them.
    std::vector<uint64_t> runBeneath(ascending.end() - 100, ascending.end());
    runBeneath.insert(runBeneath.end(), ascending.begin(), ascending.end() - 100);
    struct Case {
        const char* name;
        const std::vector<uint64_t>& insertOrder;
        const std::vector<uint64_t>& removeOrder;
    } cases[] = {
        {"ascending, removed ascending", ascending, ascending},
        {"ascending, removed descending", ascending, descending},
        {"descending, removed shuffled", descending, shuffled},
        {"shuffled, removed ascending", shuffled, ascending},
        {"ascending beneath the largest, removed shuffled", runBeneath, shuffled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HandleTree tree;
        for (uint64_t h : c.insertOrder) ASSERT_EQ(dbHandleTreeInsert(tree, Handle(h), nodeFor(h)), 1);
        ASSERT_TRUE(tree.isConsistent());
        EXPECT_EQ(keysOf(tree), ascending);
        for (size_t i = 0; i < c.removeOrder.size(); ++i) {
            ASSERT_EQ(dbHandleTreeRemove(tree, Handle(c.removeOrder[i])), kHandleTreeRemoved);
            if (i % 997 == 0) {
                ASSERT_TRUE(tree.isConsistent());
            }
        }
        EXPECT_TRUE(tree.empty());
        EXPECT_TRUE(tree.isConsistent());
        EXPECT_EQ(dbHandleTreeRemove(tree, Handle(1)), kHandleTreeAbsent);
    }
}

TEST_F(HandleTreeTest, FreeEmptiesAndTheTreeCanBeReused) {
    HandleTree tree;
    for (uint64_t h = 1; h <= 500; ++h) dbHandleTreeInsert(tree, Handle(h), nodeFor(h));
    dbHandleTreeFree(tree);
    EXPECT_TRUE(tree.empty());
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(7)), nullptr);
    EXPECT_EQ(dbHandleTreeInsert(tree, Handle(7), nodeFor(7)), 1);
    HandleTree moved = std::move(tree);
    EXPECT_EQ(dbHandleTreeFind(moved, Handle(7)), nodeFor(7));
    EXPECT_TRUE(tree.empty());
}

// 100,000 random operations against a std::map model: inserts from a rising seed (as new
// handles come) and at random places, removals, lookups.
TEST_F(HandleTreeTest, RandomOperationsMatchAStdMapModel) {
    HandleTree tree;
    std::map<uint64_t, ListLink*> model;
    std::mt19937_64 rng(1107);
    uint64_t seed = 1;
    Handle largest;
    const int steps = 100000;
    for (int step = 0; step < steps; ++step) {
        // First grow, then shrink, so that both splits and merges run at every level.
        const bool growing = step < steps * 6 / 10;
        const int op = int(rng() % 10);
        const uint64_t randomKey = rng() % 60000;
        if (op < (growing ? 6 : 2)) {
            uint64_t key = op % 2 == 0 ? seed++ * 2 : randomKey;
            int result = dbHandleTreeInsert(tree, Handle(key), nodeFor(key));
            bool fresh = model.emplace(key, nodeFor(key)).second;
            ASSERT_EQ(result, fresh ? kHandleTreeInserted : kHandleTreeDuplicate) << "step " << step;
            if (fresh) largest = std::max(largest, Handle(key));
            ASSERT_EQ(gSystemContext->largestHandle, largest);
        } else if (op < 8) {
            uint64_t key = randomKey;
            if (!model.empty() && op % 2 == 0) {
                auto it = model.lower_bound(randomKey % (model.rbegin()->first + 1));
                if (it != model.end()) key = it->first;
            }
            int result = dbHandleTreeRemove(tree, Handle(key));
            ASSERT_EQ(result, model.erase(key) ? kHandleTreeRemoved : kHandleTreeAbsent) << "step " << step;
        } else {
            auto it = model.find(randomKey);
            ASSERT_EQ(dbHandleTreeFind(tree, Handle(randomKey)), it == model.end() ? nullptr : it->second);
        }
        ASSERT_EQ(tree.size(), model.size());
        ASSERT_EQ(tree.largest(), model.empty() ? Handle() : Handle(model.rbegin()->first)) << "step " << step;
        if (step % 5000 == 0) {
            ASSERT_TRUE(tree.isConsistent()) << "step " << step;
            std::vector<uint64_t> expected;
            for (const auto& entry : model) expected.push_back(entry.first);
            ASSERT_EQ(keysOf(tree), expected);
        }
    }
    ASSERT_TRUE(tree.isConsistent());
    for (const auto& entry : model) ASSERT_EQ(dbHandleTreeRemove(tree, Handle(entry.first)), kHandleTreeRemoved);
    EXPECT_TRUE(tree.empty());
    EXPECT_TRUE(tree.largest().isNull());
}

} // namespace
} // namespace tracemill
