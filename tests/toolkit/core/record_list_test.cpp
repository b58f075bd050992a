#include "toolkit/core/record_list.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <list>
#include <random>
#include <string>
#include <vector>

#include "toolkit_fixture.h"

namespace tracemill {
namespace {

struct TestNode : ListLink {
    int id = 0;
    std::string name;
};

using TestList = RecordList<TestNode>;

TestNode makeNode(int id) {
    TestNode layer;
    layer.id = id;
    layer.name = "L" + std::to_string(id);
    return layer;
}

std::vector<int> idsForward(const TestList& list) {
    std::vector<int> ids;
    for (const TestNode& layer : list) ids.push_back(layer.id);
    return ids;
}

std::vector<int> idsBackward(const TestList& list) {
    std::vector<int> ids;
    for (ListLink* node = list.last; node; node = node->previous) ids.push_back(TestList::asNode(node)->id);
    return ids;
}

int idOf(ListLink* node) { return node ? TestList::asNode(node)->id : -1; }

// A chain of unlinked nodes with the given ids.
ListLink* makeChain(std::initializer_list<int> ids) {
    ListLink* first = nullptr;
    ListLink* previous = nullptr;
    for (int id : ids) {
        auto* node = new TestNode(makeNode(id));
        if (previous)
            previous->next = node;
        else
            first = node;
        node->previous = previous;
        previous = node;
    }
    return first;
}

class RecordListTest : public test::ToolkitTest {};

TEST_F(RecordListTest, AppendSetsEndsAndCursorOnlyForTheFirstNode) {
    TestList list;
    TestNode* a = dbListAppendRecord(makeNode(1), &list);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(list.first, a);
    EXPECT_EQ(list.last, a);
    EXPECT_EQ(list.current, a);
    TestNode* b = dbListAppendRecord(makeNode(2), &list);
    EXPECT_EQ(list.current, a);
    EXPECT_EQ(list.last, b);
    EXPECT_EQ(dbListCount(&list), 2);
    EXPECT_EQ(a->owner, &list);
    EXPECT_EQ(b->name, "L2");
}

TEST_F(RecordListTest, RecordsAreCopiedInAndOutWithoutTheirLinks) {
    TestList list;
    TestNode original = makeNode(7);
    TestNode* stored = dbListAppendRecord(original, &list);
    original.name = "changed";
    EXPECT_EQ(stored->name, "L7");
    EXPECT_EQ(original.owner, nullptr);

    TestNode out;
    ASSERT_EQ(dbListReadNext(&list, out), 1);
    EXPECT_EQ(out.name, "L7");
    EXPECT_EQ(out.owner, nullptr);
    EXPECT_EQ(out.next, nullptr);
    out.name = "mine";
    EXPECT_EQ(stored->name, "L7");
}

TEST_F(RecordListTest, ReadNextAtTheEndCopiesNothing) {
    TestList list;
    dbListAppendRecord(makeNode(1), &list);
    TestNode out = makeNode(99);
    EXPECT_EQ(dbListReadNext(&list, out), 1);
    EXPECT_EQ(out.id, 1);
    out = makeNode(99);
    EXPECT_EQ(dbListReadNext(&list, out), 0);
    EXPECT_EQ(out.id, 99);
    EXPECT_EQ(dbListReadNextNode(&list), nullptr);
    dbListRewind(&list);
    EXPECT_EQ(idOf(dbListReadNextNode(&list)), 1);
}

TEST_F(RecordListTest, UnlinkingTheOnlyNodeEmptiesTheList) {
    TestList list;
    TestNode* a = dbListAppendRecord(makeNode(1), &list);
    EXPECT_EQ(dbListUnlinkOne(&list, a), a);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.current, nullptr);
    EXPECT_EQ(list.last, nullptr);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(a->owner, nullptr);
    delete a;
}

TEST_F(RecordListTest, SeekRefusesNodesOfAnotherListAndKeepsTheCursor) {
    TestList list, other;
    TestNode* a = dbListAppendRecord(makeNode(1), &list);
    TestNode* b = dbListAppendRecord(makeNode(2), &list);
    TestNode* foreign = dbListAppendRecord(makeNode(3), &other);
    EXPECT_EQ(dbListSeek(&list, b), 0);
    EXPECT_EQ(list.current, b);
    EXPECT_EQ(dbListSeek(&list, foreign), kListSeekRefused);
    EXPECT_EQ(list.current, b);
    EXPECT_EQ(dbListSeek(nullptr, a), kListSeekRefused);
    EXPECT_EQ(dbListSeek(&list, nullptr), 0);
    EXPECT_EQ(list.current, nullptr);
}

TEST_F(RecordListTest, NullListsAreHarmless) {
    EXPECT_EQ(dbListCount(nullptr), 0);
    EXPECT_EQ(dbListFirst(nullptr), nullptr);
    EXPECT_EQ(dbListLast(nullptr), nullptr);
    EXPECT_EQ(dbListCurrent(nullptr), nullptr);
    dbListRewind(nullptr);
    EXPECT_EQ(dbListAppendRecord(makeNode(1), static_cast<TestList*>(nullptr)), nullptr);
    EXPECT_EQ(dbListInsertRecord(makeNode(1), static_cast<TestList*>(nullptr), kInsertAtEnd, nullptr), nullptr);
    EXPECT_EQ(dbListAppendNode(nullptr, nullptr), -1);
    EXPECT_EQ(dbListUnlinkLast(nullptr), nullptr);
    EXPECT_EQ(dbListInsertChainFront(nullptr, nullptr), kChainNoList);
}

TEST_F(RecordListTest, PositionCodesPlaceTheRecord) {
    TestList list;
    TestNode* middle = dbListInsertRecord(makeNode(2), &list, kInsertAtEnd, nullptr);
    dbListInsertRecord(makeNode(1), &list, kInsertAtFront, nullptr);
    dbListInsertRecord(makeNode(4), &list, kInsertAtEnd, nullptr);
    dbListInsertRecord(makeNode(3), &list, kInsertBefore, list.last);
    EXPECT_EQ(idsForward(list), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(idsBackward(list), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(list.current, middle) << "the first record into the empty list became the cursor";

    // Another code gives the node back unlinked, for the caller to place or free.
    TestNode* loose = dbListInsertRecord(makeNode(5), &list, 7, nullptr);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->owner, nullptr);
    EXPECT_EQ(list.count, 4);
    EXPECT_EQ(dbListAppendNode(&list, loose), 1);
    EXPECT_EQ(idsForward(list), (std::vector<int>{1, 2, 3, 4, 5}));

    // Before a node of another list: the placement fails and nothing is added.
    TestList other;
    TestNode* foreign = dbListAppendRecord(makeNode(9), &other);
    EXPECT_EQ(dbListInsertRecord(makeNode(6), &list, kInsertBefore, foreign), nullptr);
    EXPECT_EQ(dbListInsertRecord(makeNode(6), &list, kInsertBefore, nullptr), nullptr);
    EXPECT_EQ(list.count, 5);
}

TEST_F(RecordListTest, ChainInsertionsReturnCountsAndKeepTheCursor) {
    TestList list;
    ListLink* refused = makeChain({0});
    EXPECT_EQ(dbListInsertChainBeforeCurrent(&list, refused), kChainNoList) << "empty list: no cursor";
    dbListFreeChain<TestNode>(refused);
    EXPECT_EQ(dbListAppendChain(&list, nullptr), 0);

    ListLink* chain = makeChain({3, 4});
    EXPECT_EQ(dbListAppendChain(&list, chain), 2);
    EXPECT_EQ(list.current, chain) << "into an empty list the chain's first node becomes the cursor";
    EXPECT_EQ(dbListInsertChainFront(&list, makeChain({1, 2})), 2);
    EXPECT_EQ(idOf(list.current), 3);
    EXPECT_EQ(dbListInsertChainBeforeCurrent(&list, makeChain({20, 21})), 2);
    EXPECT_EQ(dbListAppendChain(&list, makeChain({5})), 1);
    EXPECT_EQ(dbListInsertChainAfterNode(&list, list.first, makeChain({10})), 1);
    EXPECT_EQ(dbListInsertChainBefore(&list, list.last, makeChain({40, 41, 42})), 3);
    EXPECT_EQ(idsForward(list), (std::vector<int>{1, 10, 2, 20, 21, 3, 4, 40, 41, 42, 5}));
    EXPECT_EQ(idsBackward(list), (std::vector<int>{5, 42, 41, 40, 4, 3, 21, 20, 2, 10, 1}));
    EXPECT_EQ(list.count, 11);
    EXPECT_EQ(idOf(list.current), 3);
    for (const TestNode& layer : list) EXPECT_EQ(layer.owner, &list);

    // A position node of another list, or chain nodes that belong to a list, are refused.
    TestList other;
    TestNode* foreign = dbListAppendRecord(makeNode(99), &other);
    ListLink* spare = makeChain({7, 8});
    EXPECT_EQ(dbListInsertChainAfter(&list, foreign, spare), kChainForeignNode);
    EXPECT_EQ(dbListInsertChainAfter(&list, list.first, foreign), kChainForeignNode);
    EXPECT_EQ(dbListInsertChainAfter(&list, list.first, list.last), kChainForeignNode);
    EXPECT_EQ(spare->owner, nullptr);
    EXPECT_EQ(list.count, 11);
    EXPECT_EQ(other.count, 1);
    dbListFreeChain<TestNode>(spare);
}

TEST_F(RecordListTest, ChainWithANodeOwnedHalfwayIsGivenBackWhole) {
    TestList list, other;
    TestNode* owned = dbListAppendRecord(makeNode(9), &other);
    ListLink* chain = makeChain({1, 2});
    chain->next->next = owned;  // the chain runs into a node of another list
    EXPECT_EQ(dbListAppendChain(&list, chain), kChainForeignNode);
    EXPECT_EQ(chain->owner, nullptr);
    EXPECT_EQ(chain->next->owner, nullptr);
    EXPECT_EQ(owned->owner, &other);
    EXPECT_EQ(list.count, 0);
    chain->next->next = nullptr;
    dbListFreeChain<TestNode>(chain);
}

TEST_F(RecordListTest, UnlinkedRunsComeOutAsChainsThatCanMove) {
    TestList list, target;
    for (int id = 1; id <= 6; ++id) dbListAppendRecord(makeNode(id), &list);
    ListLink* second = list.first->next;
    ListLink* fourth = second->next->next;
    dbListSeek(&list, second->next);

    EXPECT_EQ(dbListUnlinkChain(&list, fourth, second), nullptr) << "the last node does not follow the first";
    ListLink* run = dbListUnlinkChain(&list, second, fourth);
    ASSERT_EQ(run, second);
    EXPECT_EQ(idsForward(list), (std::vector<int>{1, 5, 6}));
    EXPECT_EQ(idsBackward(list), (std::vector<int>{6, 5, 1}));
    EXPECT_EQ(list.count, 3);
    EXPECT_EQ(idOf(list.current), 5) << "a cursor inside the run moves to the node after it";
    EXPECT_EQ(run->previous, nullptr);
    EXPECT_EQ(fourth->next, nullptr);
    EXPECT_EQ(run->owner, nullptr);

    EXPECT_EQ(dbListAppendChain(&target, run), 3);
    EXPECT_EQ(idsForward(target), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(dbListUnlinkOne(&list, target.first), nullptr) << "a node of another list";

    ListLink* last = dbListUnlinkLast(&list);
    EXPECT_EQ(idOf(last), 6);
    EXPECT_EQ(idOf(list.last), 5);
    EXPECT_EQ(list.last->next, nullptr);
    dbListFreeChain<TestNode>(last);
}

TEST_F(RecordListTest, AddTableRecordIndexesTheHandle) {
    TestList list;
    HandleTree tree;
    TestNode* a = dbAddTableRecord(Handle(0x10), tree, makeNode(1), &list, kInsertAtEnd, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(0x10)), a);
    EXPECT_EQ(gSystemContext->largestHandle, Handle(0x10));

    struct Case {
        const char* name;
        Handle handle;
        uint16_t code;
        bool beforeForeign;
        int error;
    } cases[] = {
        {"duplicate handle", Handle(0x10), kInsertAtEnd, false, kErrorDuplicateRecordHandle},
        {"null handle", Handle(0), kInsertAtEnd, false, kErrorNullRecordHandle},
        {"placement fails", Handle(0x20), kInsertBefore, true, 0},
    };
    TestList other;
    TestNode* foreign = dbListAppendRecord(makeNode(9), &other);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSystemContext->errorNumber = 0;
        EXPECT_EQ(dbAddTableRecord(c.handle, tree, makeNode(2), &list, c.code, c.beforeForeign ? foreign : nullptr),
                  nullptr);
        EXPECT_EQ(gSystemContext->errorNumber, c.error);
        EXPECT_EQ(idsForward(list), (std::vector<int>{1}));
        EXPECT_EQ(tree.size(), 1u);
    }
    EXPECT_EQ(gSystemContext->errorHandle, Handle(0x10));
    EXPECT_EQ(dbHandleTreeFind(tree, Handle(0x20)), nullptr) << "the handle of a failed placement is removed";
}

TEST_F(RecordListTest, PolymorphicNodesAreFreedThroughTheirBase) {
    struct Entity : ListLink {
        virtual ~Entity() = default;
        int kind = 0;
    };
    struct Line : Entity {
        std::vector<double> points = std::vector<double>(6, 1.0);
    };
    RecordList<Entity> list;
    Line line;
    line.kind = 1;
    Line* stored = dbListAppendRecord(line, &list);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->points.size(), 6u);
    EXPECT_EQ(dbListAppendRecord(Entity{}, &list)->kind, 0);
    EXPECT_EQ(list.count, 2);
    // The list's destructor frees the Line with its vector (checked by LeakSanitizer).
}

TEST_F(RecordListTest, NewListAndFree) {
    RecordList<TestNode>* list = dbNewList<TestNode>();
    ASSERT_NE(list, nullptr);
    dbListAppendRecord(makeNode(1), list);
    dbListFree(list);
}

// 100,000 random operations against a std::list model of the order and the cursor.
TEST_F(RecordListTest, RandomOperationsMatchAStdListModel) {
    TestList list;
    std::list<TestNode*> model;
    auto cursor = model.end();
    std::vector<ListLink*> looseChains;  // unlinked runs waiting to go back in
    std::mt19937 rng(1105);
    int nextId = 1;

    auto pick = [&]() {
        auto it = model.begin();
        std::advance(it, rng() % model.size());
        return it;
    };
    auto checkMatches = [&]() {
        ASSERT_EQ(list.count, int32_t(model.size()));
        auto it = model.begin();
        ListLink* previous = nullptr;
        for (ListLink* node = list.first; node; node = node->next, ++it) {
            ASSERT_NE(it, model.end());
            ASSERT_EQ(node, *it);
            ASSERT_EQ(node->previous, previous);
            ASSERT_EQ(node->owner, &list);
            previous = node;
        }
        ASSERT_EQ(it, model.end());
        ASSERT_EQ(list.last, previous);
        ASSERT_EQ(list.current, cursor == model.end() ? nullptr : *cursor);
    };

    for (int step = 0; step < 100000; ++step) {
        const int op = int(rng() % 12);
        if (op <= 1) {  // append a record
            TestNode* node = dbListAppendRecord(makeNode(nextId++), &list);
            bool wasEmpty = model.empty();
            model.push_back(node);
            if (wasEmpty) cursor = model.begin();
        } else if (op == 2) {  // insert by position code
            uint16_t code = std::array<uint16_t, 3>{kInsertAtFront, kInsertAtEnd, kInsertBefore}[rng() % 3];
            if (code == kInsertBefore && model.empty()) continue;
            auto before = code == kInsertBefore ? pick() : model.end();
            TestNode* node = dbListInsertRecord(makeNode(nextId++), &list, code,
                                             code == kInsertBefore ? *before : nullptr);
            ASSERT_NE(node, nullptr);
            bool wasEmpty = model.empty();
            if (code == kInsertAtFront)
                model.push_front(node);
            else if (code == kInsertAtEnd)
                model.push_back(node);
            else
                model.insert(before, node);
            if (wasEmpty) cursor = model.begin();
        } else if (op == 3 && !model.empty()) {  // unlink a run
            auto first = pick();
            auto last = first;
            for (int extra = int(rng() % 4); extra > 0 && std::next(last) != model.end(); --extra) ++last;
            auto after = std::next(last);
            bool cursorInside = false;
            for (auto it = first; it != after; ++it) cursorInside = cursorInside || it == cursor;
            ListLink* run = dbListUnlinkChain(&list, *first, *last);
            ASSERT_EQ(run, *first);
            model.erase(first, after);
            if (cursorInside) cursor = after;
            looseChains.push_back(run);
        } else if (op == 4 && !looseChains.empty()) {  // put a run back somewhere
            ListLink* chain = looseChains.back();
            looseChains.pop_back();
            std::vector<TestNode*> nodes;
            for (ListLink* node = chain; node; node = node->next) nodes.push_back(TestList::asNode(node));
            int where = int(rng() % 3);
            bool wasEmpty = model.empty();
            int32_t added;
            auto position = model.begin();
            if (where == 0 || model.empty()) {
                added = dbListInsertChainFront(&list, chain);
            } else if (where == 1) {
                added = dbListAppendChain(&list, chain);
                position = model.end();
            } else {
                auto after = pick();
                added = dbListInsertChainAfterNode(&list, *after, chain);
                position = std::next(after);
            }
            ASSERT_EQ(added, int32_t(nodes.size()));
            model.insert(position, nodes.begin(), nodes.end());
            if (wasEmpty) cursor = model.begin();
        } else if (op == 5 && !model.empty()) {  // unlink the last node and free it
            auto last = std::prev(model.end());
            ListLink* node = dbListUnlinkLast(&list);
            ASSERT_EQ(node, *last);
            if (cursor == last) cursor = model.end();
            model.erase(last);
            dbListFreeChain<TestNode>(node);
        } else if (op == 6) {  // seek
            if (model.empty() || rng() % 5 == 0) {
                ASSERT_EQ(dbListSeek(&list, nullptr), 0);
                cursor = model.end();
            } else {
                auto it = pick();
                ASSERT_EQ(dbListSeek(&list, *it), 0);
                cursor = it;
            }
        } else if (op == 7) {
            dbListRewind(&list);
            cursor = model.begin();
        } else if (op <= 9) {  // read through the cursor
            TestNode out = makeNode(-1);
            int read = dbListReadNext(&list, out);
            if (cursor == model.end()) {
                ASSERT_EQ(read, 0);
                ASSERT_EQ(out.id, -1);
            } else {
                ASSERT_EQ(read, 1);
                ASSERT_EQ(out.id, (*cursor)->id);
                ++cursor;
            }
        } else if (op == 10 && !model.empty() && cursor != model.end()) {  // chain before the cursor
            ListLink* chain = makeChain({nextId, nextId + 1});
            std::vector<TestNode*> nodes{TestList::asNode(chain), TestList::asNode(chain->next)};
            nextId += 2;
            ASSERT_EQ(dbListInsertChainBeforeCurrent(&list, chain), 2);
            model.insert(cursor, nodes.begin(), nodes.end());
        } else if (op == 11 && model.size() > 150) {  // keep the list short enough to walk
            while (model.size() > 50) {
                auto first = model.begin();
                if (cursor == first) cursor = std::next(first);
                dbListFreeChain<TestNode>(dbListUnlinkOne(&list, *first));
                model.erase(first);
            }
        }
        checkMatches();
        if (HasFatalFailure()) {
            ADD_FAILURE() << "at step " << step << ", operation " << op;
            break;
        }
    }
    for (ListLink* chain : looseChains) dbListFreeChain<TestNode>(chain);
}

} // namespace
} // namespace tracemill
