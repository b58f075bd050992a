#include "toolkit/core/display_entity_fetch.h"

#include <gtest/gtest.h>

#include <vector>

#include "drawing_fixture.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill {
namespace {

struct Fetched {
    uint16_t type;
    Handle layer;
    HostWord host;
};
std::vector<Fetched> gFetched;

// A host that sees every fetched entity and marks its colour.
void fetchHook(EntityRecord& entity, HostWord host) {
    gFetched.push_back({entity.header.type, entity.header.layer, host});
    entity.header.colour = 7;
}

class DisplayEntityFetchTest : public test::DrawingTest {
protected:
    void SetUp() override {
        test::DrawingTest::SetUp();
        gFetched.clear();
        ASSERT_EQ(dbCreateOutputHookTable(), 1);
        dbSetEntityFetchHook(fetchHook);
        dbSetHostContext(drawing, &hostWord);
        list = drawing->modelSpace;
    }
    void TearDown() override {
        dbDestroyOutputHookTable();
        test::DrawingTest::TearDown();
    }

    void append(uint16_t type, Handle layer) {
        EntityRecord entity;
        entity.header.type = type;
        ASSERT_EQ(dbInitEntity(drawing, entity), 1);
        entity.header.handle = dbNewHandle(*drawing);
        entity.header.layer = layer;
        ASSERT_EQ(dbAppendEntity(drawing, list, entity), 1);
    }

    int hostWord = 0;
    EntityList* list = nullptr;
    const Handle layerZero{0x10};
    const Handle otherLayer{0x20};
    const Handle referenceLayer{0x30};
};

TEST_F(DisplayEntityFetchTest, EntitiesOnLayerZeroInABlockTakeTheReferenceLayerButAttributesKeepIt) {
    append(kEntityLine, layerZero);
    append(kEntityAttribute, layerZero);
    append(kEntityCircle, otherLayer);
    dbRewindEntityList(list);
    const BlockLayerSubstitution inBlock{layerZero, referenceLayer};
    EntityRecord out;
    struct Expected {
        uint16_t type;
        Handle layer;
    } expected[] = {{kEntityLine, referenceLayer}, {kEntityAttribute, layerZero}, {kEntityCircle, otherLayer}};
    for (const Expected& e : expected) {
        ASSERT_EQ(dbReadEntityForDisplay(drawing, list, &inBlock, out), 1);
        EXPECT_EQ(out.header.type, e.type);
        EXPECT_EQ(out.header.layer, e.layer);
        EXPECT_EQ(out.header.colour, 7) << "the host saw the entity and may change it";
    }
    EXPECT_EQ(dbReadEntityForDisplay(drawing, list, &inBlock, out), 0);
    ASSERT_EQ(gFetched.size(), 3u);
    EXPECT_EQ(gFetched[0].layer, referenceLayer) << "the hook sees the substituted layer";
    EXPECT_EQ(gFetched[0].host, &hostWord);

    // Outside a block, layer "0" stays.
    dbRewindEntityList(list);
    ASSERT_EQ(dbReadEntityForDisplay(drawing, list, nullptr, out), 1);
    EXPECT_EQ(out.header.layer, layerZero);
}

TEST_F(DisplayEntityFetchTest, SkippingToSeqendAnnouncesOnlyTheSeqend) {
    append(kEntityPolyline, otherLayer);
    append(kEntityVertex, otherLayer);
    append(kEntityVertex, otherLayer);
    append(kEntitySequenceEnd, otherLayer);
    append(kEntityLine, otherLayer);
    dbRewindEntityList(list);
    EntityRecord out;
    ASSERT_EQ(dbReadEntityForDisplay(drawing, list, nullptr, out), 1);
    ASSERT_EQ(dbSkipToSeqend(drawing, list, out), 1);
    EXPECT_EQ(out.header.type, kEntitySequenceEnd);
    ASSERT_EQ(gFetched.size(), 2u);
    EXPECT_EQ(gFetched[1].type, kEntitySequenceEnd);
    ASSERT_EQ(dbReadEntityForDisplay(drawing, list, nullptr, out), 1);
    EXPECT_EQ(out.header.type, kEntityLine) << "the walk goes on after the SEQEND";
    EXPECT_EQ(dbSkipToSeqend(drawing, list, out), 0) << "the list ends without a SEQEND";
    EXPECT_EQ(gFetched.size(), 3u);
}

TEST_F(DisplayEntityFetchTest, WithoutAHookOrATableEntitiesAreStillRead) {
    append(kEntityLine, otherLayer);
    dbDestroyOutputHookTable();
    dbRewindEntityList(list);
    EntityRecord out;
    EXPECT_EQ(dbReadEntityForDisplay(drawing, list, nullptr, out), 1);
    EXPECT_TRUE(gFetched.empty());
}

} // namespace
} // namespace tracemill
