// The entity section reader: references completed after each entity, the sequences of
// POLYLINE and INSERT, the space an entity lands in.
#include <gtest/gtest.h>

#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill::test {
namespace {

using EntitySectionTest = ToolkitTest;

TEST_F(EntitySectionTest, VerticesTakeThePolylineColourUnlessTheyAreFaces) {
    const DxfGroups polyline = {
        {0, "POLYLINE"}, {8, "WALLS"}, {62, "3"}, {66, "1"}, {70, "8"},
        {0, "VERTEX"}, {8, "OTHER"}, {62, "5"}, {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {70, "32"},
        {0, "VERTEX"}, {8, "OTHER"}, {62, "5"}, {70, "128"}, {71, "1"}, {72, "2"}, {73, "-3"},
        {0, "SEQEND"}, {8, "ELSEWHERE"},
    };
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"ENTITIES", polyline}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const auto list = entities(drawing->modelSpace);
    ASSERT_EQ(list.size(), 4u);
    Handle walls;
    ASSERT_EQ(dbLayerFindByName(drawing.get(), "WALLS", walls), 1);
    EXPECT_EQ(list[1]->header.colour, 3) << "a vertex takes the polyline's colour";
    EXPECT_EQ(list[2]->header.colour, 5) << "a face record (flag 128) keeps its own";
    const VertexBody& face = list[2]->bodyAs<VertexBody>();
    EXPECT_EQ(face.faceVertexCount, 3);
    EXPECT_EQ(face.faceVertices[2], -3);
    EXPECT_EQ(list[3]->header.layer, walls) << "the SEQEND closes the polyline on its layer";
    EXPECT_EQ(list[3]->header.colour, 3);
}

TEST_F(EntitySectionTest, ASequenceEndLandsInTheSpaceOfItsInsert) {
    const DxfGroups blocks = {{0, "BLOCK"}, {8, "0"}, {2, "TAGGED"}, {70, "2"}, {10, "0"}, {20, "0"}, {30, "0"},
                              {0, "ATTDEF"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "1"}, {1, "x"}, {3, "?"}, {2, "TAG"}, {70, "0"},
                              {0, "ENDBLK"}, {8, "0"}};
    const DxfGroups insert = {
        {0, "INSERT"}, {8, "0"}, {67, "1"}, {66, "1"}, {2, "TAGGED"}, {10, "5.0"}, {20, "5.0"}, {30, "0.0"},
        {0, "ATTRIB"}, {8, "0"}, {67, "1"}, {10, "5.0"}, {20, "5.0"}, {30, "0.0"}, {40, "1.0"}, {1, "value"}, {2, "TAG"}, {70, "0"},
        {0, "SEQEND"}, {8, "0"},
    };
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"BLOCKS", blocks}, {"ENTITIES", insert}}));
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_TRUE(entities(drawing->modelSpace).empty());
    const auto paper = entities(drawing->paperSpace);
    ASSERT_EQ(paper.size(), 3u);
    EXPECT_EQ(paper[2]->header.type, kEntitySequenceEnd);
    Handle tagged;
    ASSERT_EQ(dbBlockFindByName(drawing.get(), "TAGGED", tagged), 1);
    EXPECT_EQ(paper[0]->bodyAs<InsertBody>().block, tagged);
    EXPECT_EQ(paper[1]->bodyAs<AttributeBody>().tag, "TAG");
}

TEST_F(EntitySectionTest, AnUnknownLayerIsMadeOnceAndFoundAfterwards) {
    const DxfGroups lines = concat({
        {{0, "LINE"}, {8, "NEW"}, {6, "NOSUCH"}},
        {{0, "LINE"}, {8, "new"}},
        {{0, "TEXT"}, {8, "0"}, {7, ""}, {1, "text"}},
        {{0, "LEADER"}, {8, "0"}, {3, "NOSUCH"}},
    });
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"ENTITIES", lines}}));
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(names(drawing->layers), (std::vector<std::string>{"0", "NEW"}));
    const auto list = entities(drawing->modelSpace);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0]->header.layer, list[1]->header.layer);
    EXPECT_EQ(list[0]->header.linetype, drawing->handles.byLayerLinetype) << "an unknown linetype is BYLAYER";
    EXPECT_EQ(list[2]->bodyAs<TextBody>().style, dbFirstRecordHandle(drawing->styles)) << "no style: the first";
    EXPECT_TRUE(list[3]->bodyAs<LeaderBody>().dimensionStyle.isNull()) << "an unknown dimension style";
}

TEST_F(EntitySectionTest, EntitiesOfABlockStayInTheBlock) {
    const DxfGroups blocks = {{0, "BLOCK"}, {8, "0"}, {2, "B"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                              {0, "CIRCLE"}, {8, "0"}, {67, "1"}, {10, "1"}, {20, "1"}, {30, "0"}, {40, "2"},
                              {0, "ENDBLK"}, {8, "0"}};
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"BLOCKS", blocks}}));
    ASSERT_TRUE(drawing) << dbGetError();
    Handle b;
    ASSERT_EQ(dbBlockFindByName(drawing.get(), "B", b), 1);
    const auto contents = entities(dbGetBlockEntityList(drawing.get(), b));
    ASSERT_EQ(contents.size(), 3u);
    EXPECT_EQ(contents[1]->header.type, kEntityCircle);
    EXPECT_EQ(contents[1]->header.flags & kEntityInPaperSpace, 0);
    EXPECT_TRUE(entities(drawing->paperSpace).empty());
}

} // namespace
} // namespace tracemill::test
