// The entity vectoriser's contract: which entities draw (space, layers on, off and frozen,
// visibility), their colour and lineweight (BYLAYER, BYBLOCK, DEFAULT) and what reaches the
// host, progress and stopping, block references by nested lists and polylines.
#include "toolkit/display/entity_vectoriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/entity_begin_info.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;

class VectoriserTest : public test::DisplayTest {
protected:
    Handle addBlockWith(const std::string& name, std::vector<EntityRecord> entities) {
        const Handle block = addBlock(name);
        for (EntityRecord& e : entities) add(std::move(e), dbGetBlockEntityList(drawing, block));
        return block;
    }
    EntityRecord onLayer(EntityRecord e, Handle layer, int16_t colour = kColourByLayer) {
        e.header.layer = layer;
        e.header.colour = colour;
        return e;
    }
    Lines lines(std::string_view slot) const { return recorder.linesOf(slot); }
};

TEST_F(VectoriserTest, WhatIsDrawnByLayerAndSpace) {
    const Handle on = addLayer("ON", 3);
    const Handle off = addLayer("OFF", -4);
    const Handle frozen = addLayer("FROZEN", 5, kLayerFrozen);
    add(onLayer(lineFrom({1, 1, 0}, {1, 2, 0}), on));
    add(onLayer(lineFrom({2, 1, 0}, {2, 2, 0}), off));
    add(onLayer(lineFrom({3, 1, 0}, {3, 2, 0}), frozen));
    EntityRecord invisible = onLayer(lineFrom({4, 1, 0}, {4, 2, 0}), on);
    invisible.header.flags |= kEntityInvisible;
    add(invisible);
    EntityRecord paper = onLayer(lineFrom({5, 1, 0}, {5, 2, 0}), on);
    paper.header.flags |= kEntityInPaperSpace;
    add(paper);
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 1 1", "lineTo 1 2"}))
        << "layers off and frozen, invisible entities and paper space in a model-space display draw nothing";
}

TEST_F(VectoriserTest, AnInsertOnALayerThatIsOffDrawsItsEntitiesOfOtherLayers) {
    const Handle off = addLayer("OFF", -4);
    const Handle green = addLayer("GREEN", 3);
    const Handle block = addBlockWith("B", {onLayer(lineFrom({0, 0, 0}, {1, 0, 0}), green),
                                             onLayer(lineFrom({0, 1, 0}, {1, 1, 0}), layerZero())});
    add(onLayer(insertOf(block, {10, 10, 0}), off));
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 10 10", "lineTo 11 10"}))
        << "the entity on layer 0 takes the INSERT's layer, which is off";
    EXPECT_EQ(lines("color"), (Lines{"color 3"})) << "BYLAYER is the entity's own layer";
}

TEST_F(VectoriserTest, AFrozenInsertSkipsItsAttributesWithIt) {
    const Handle frozen = addLayer("FROZEN", 5, kLayerFrozen);
    const Handle block = addBlockWith("B", {lineFrom({0, 0, 0}, {1, 0, 0})});
    EntityRecord insert = onLayer(insertOf(block, {10, 10, 0}), frozen);
    insert.bodyAs<InsertBody>().attributesFollow = 1;
    add(insert);
    add(entity(kEntityAttribute));
    add(entity(kEntitySequenceEnd));
    add(lineFrom({1, 1, 0}, {1, 2, 0}));
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 1 1", "lineTo 1 2"}));
    EXPECT_EQ(lines("entityBegin").size(), 1u) << "only the LINE after the SEQEND was announced";
}

TEST_F(VectoriserTest, ColoursResolveAndReachTheHostOnlyWhenTheyChange) {
    const Handle red = addLayer("RED", 1);
    const Handle block = addBlockWith("B", {onLayer(lineFrom({0, 0, 0}, {1, 0, 0}), red, kColourByBlock),
                                             onLayer(lineFrom({0, 1, 0}, {1, 1, 0}), layerZero()),
                                             onLayer(lineFrom({0, 2, 0}, {1, 2, 0}), red, 200)});
    add(onLayer(lineFrom({1, 1, 0}, {1, 2, 0}), red));                       // 1 by its layer
    add(onLayer(lineFrom({2, 1, 0}, {2, 2, 0}), red, 1));                    // 1 again: not sent
    add(onLayer(lineFrom({3, 1, 0}, {3, 2, 0}), red, kColourByBlock));       // 7 at the top
    add(onLayer(insertOf(block, {10, 10, 0}), addLayer("BLUE", 5), 6));      // BYBLOCK takes 6
    begin();
    drawStrokes();
    // In the block: BYBLOCK 6, layer 0 is the INSERT's layer BLUE (5), 200 maps to 15.
    EXPECT_EQ(lines("color"), (Lines{"color 1", "color 7", "color 6", "color 5", "color 15"}));
    recorder.clear();
    *dbGetColorIndexMap() = [] {
        ColorIndexMap identity;
        for (size_t i = 0; i < identity.size(); ++i) identity[i] = int16_t(i);
        return identity;
    }();
    genDrawDrawing(drawing);
    EXPECT_EQ(lines("color").back(), "color 200") << "with the identity map";
}

TEST_F(VectoriserTest, TheBeginHookSeesTheResolvedColourAndLineweight) {
    const Handle layer = addLayer("THICK", 2);
    for (auto& node : drawing->layers) {
        if (node.record.handle == layer) node.record.lineweight = 50;
    }
    EntityRecord byLayer = onLayer(lineFrom({1, 1, 0}, {1, 2, 0}), layer);
    byLayer.header.lineweight = kLineweightByLayer;
    add(byLayer);
    EntityRecord byDefault = onLayer(lineFrom({2, 1, 0}, {2, 2, 0}), layer, 4);
    byDefault.header.lineweight = kLineweightDefault;
    add(byDefault);
    EntityRecord byBlock = onLayer(lineFrom({3, 1, 0}, {3, 2, 0}), layer);
    byBlock.header.lineweight = kLineweightByBlock;
    const Handle block = addBlockWith("B", {byBlock});
    EntityRecord insert = onLayer(insertOf(block, {0, 0, 0}), layer);
    insert.header.lineweight = 70;
    add(insert);
    dbSetLineweightScale(100.0);
    begin();
    drawStrokes();
    const Lines begins = lines("entityBegin");
    ASSERT_EQ(begins.size(), 4u);
    EXPECT_NE(begins[0].find("colour 2 lineweight 50"), std::string::npos) << begins[0];
    EXPECT_NE(begins[1].find("colour 4 lineweight 25"), std::string::npos) << "DEFAULT: the setting's 25";
    EXPECT_NE(begins[3].find("colour 2 lineweight 70"), std::string::npos) << "BYBLOCK: the INSERT's";
    EXPECT_EQ(lines("lineWidth"), (Lines{"lineWidth 50", "lineWidth 25", "lineWidth 70"}))
        << "widths in drawing units (the scale makes mm x 100), sent when they change";
}

std::vector<int> gProgress;
void collectProgress(int32_t percent, HostWord) { gProgress.push_back(percent); }

TEST_F(VectoriserTest, ProgressRisesInStepsOfFivePerCent) {
    for (int i = 0; i < 40; ++i) add(lineFrom({double(i), 0, 0}, {double(i), 1, 0}));
    gProgress.clear();
    dbSetProgressHook(collectProgress);
    begin();
    genDrawDrawing(drawing);
    std::vector<int> expected;
    for (int p = 0; p <= 95; p += 5) expected.push_back(p);
    expected.push_back(100);
    EXPECT_EQ(gProgress, expected);
}

void stopInsideBlock(const EntityBeginInfo& info, HostWord) {
    if (info.entity->header.type == kEntityLine && info.colour == 2) genStopDisplay();
}

TEST_F(VectoriserTest, StoppingInsideABlockEndsEveryList) {
    const Handle block = addBlockWith("B", {lineFrom({0, 0, 0}, {1, 0, 0}), onLayer(lineFrom({0, 1, 0}, {1, 1, 0}),
                                                                                     layerZero(), 2),
                                             lineFrom({0, 2, 0}, {1, 2, 0})});
    add(insertOf(block, {10, 10, 0}));
    add(lineFrom({1, 1, 0}, {1, 2, 0}));
    dbSetEntityBeginHook(stopInsideBlock);
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 10 10", "lineTo 11 10", "moveTo 10 11", "lineTo 11 11"}))
        << "the entity that stopped the pass is drawn, nothing after it";
}

int gRefreshes = 0;

TEST_F(VectoriserTest, AHostCanStopAMultipleInsertOfAnEmptyBlock) {
    // 10,000 cells that draw nothing: the refresh hook still gets its turn, and stops the pass.
    EntityRecord insert = insertOf(addBlockWith("EMPTY", {}), {10, 10, 0});
    insert.bodyAs<InsertBody>().rowCount = 100;
    insert.bodyAs<InsertBody>().columnCount = 100;
    add(insert);
    add(lineFrom({1, 1, 0}, {2, 1, 0}));
    gRefreshes = 0;
    dbSetRefreshHook([](HostWord) {
        ++gRefreshes;
        genStopDisplay();
    });
    begin();
    EXPECT_TRUE(drawStrokes().empty()) << "the pass ended inside the reference";
    EXPECT_EQ(gRefreshes, 1);
}

TEST_F(VectoriserTest, AMultipleInsertDrawsItsBlockInRowsAndColumns) {
    const Handle block = addBlockWith("B", {lineFrom({0, 0, 0}, {1, 0, 0})});
    EntityRecord insert = insertOf(block, {10, 10, 0});
    InsertBody& body = insert.bodyAs<InsertBody>();
    body.rowCount = 3;
    body.columnCount = 2;
    body.rowSpacing = 20;
    body.columnSpacing = 30;
    add(insert);
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 10 10", "lineTo 11 10", "moveTo 40 10", "lineTo 41 10", "moveTo 10 30",
                                    "lineTo 11 30", "moveTo 40 30", "lineTo 41 30", "moveTo 10 50", "lineTo 11 50",
                                    "moveTo 40 50", "lineTo 41 50"}));
}

TEST_F(VectoriserTest, ARotatedScaledInsertWithABasePoint) {
    EntityRecord begin = entity(kEntityBlock);
    begin.bodyAs<BlockBeginBody>().basePoint = {1, 1, 0};
    const Handle block = addBlockWith("B", {begin, lineFrom({1, 1, 0}, {3, 1, 0}), entity(kEntityEndBlock)});
    EntityRecord insert = insertOf(block, {50, 50, 0});
    insert.bodyAs<InsertBody>().rotation = std::numbers::pi / 2;
    insert.bodyAs<InsertBody>().scale = {5, 5, 1};
    add(insert);
    this->begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 50 50", "lineTo 50 60"})) << "(1, 1) lands on (50, 50), x turns to y";
}

TEST_F(VectoriserTest, BlocksThatReferenceThemselvesAreNotDrawnInsideThemselves) {
    const Handle a = addBlock("A");
    const Handle b = addBlock("B");
    add(lineFrom({0, 0, 0}, {1, 0, 0}), dbGetBlockEntityList(drawing, a));
    add(insertOf(b, {0, 10, 0}), dbGetBlockEntityList(drawing, a));
    add(lineFrom({0, 0, 0}, {0, 1, 0}), dbGetBlockEntityList(drawing, b));
    add(insertOf(a, {10, 0, 0}), dbGetBlockEntityList(drawing, b));
    add(insertOf(a, {20, 20, 0}));
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 20 20", "lineTo 21 20", "moveTo 20 30", "lineTo 20 31"}));
}

TEST_F(VectoriserTest, EntitiesOfLayerZeroInABlockAreFetchedOnTheInsertsLayer) {
    const Handle walls = addLayer("WALLS", 3);
    const Handle block = addBlockWith("B", {lineFrom({0, 0, 0}, {1, 0, 0})});
    add(onLayer(insertOf(block, {10, 10, 0}), walls));
    static std::vector<Handle> fetched;
    fetched.clear();
    dbSetEntityFetchHook([](EntityRecord& e, HostWord) { fetched.push_back(e.header.layer); });
    begin();
    drawStrokes();
    EXPECT_EQ(fetched, (std::vector<Handle>{walls, walls}));
    EXPECT_EQ(lines("color"), (Lines{"color 3"}));
}

TEST_F(VectoriserTest, PolylinesDrawTheirSegments) {
    add(lwpolyline({{10, 10}, {20, 10}, {20, 20}}, kLwpolylineClosed));
    EntityRecord polyline = entity(kEntityPolyline);
    polyline.bodyAs<PolylineBody>().flags = 8;  // 3D
    add(polyline);
    for (const Point3& p : {Point3{30, 30, 5}, Point3{40, 30, 5}, Point3{40, 40, 5}}) {
        EntityRecord vertex = entity(kEntityVertex);
        vertex.bodyAs<VertexBody>().point = p;
        add(vertex);
    }
    EntityRecord frame = entity(kEntityVertex);
    frame.bodyAs<VertexBody>().point = {90, 90, 0};
    frame.bodyAs<VertexBody>().flags = 16;  // a spline frame point: passed over
    add(frame);
    add(entity(kEntitySequenceEnd));
    add(lineFrom({1, 1, 0}, {1, 2, 0}));
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 10 10", "lineTo 20 10", "lineTo 20 20", "lineTo 10 10", "moveTo 30 30",
                                    "lineTo 40 30", "lineTo 40 40", "moveTo 1 1", "lineTo 1 2"}));
}

TEST_F(VectoriserTest, ALwpolylineWithItsOwnExtrusionIsDrawnInItsCoordinateSystem) {
    EntityRecord mirrored = lwpolyline({{-10, 10}, {-20, 10}});
    mirrored.header.extrusion = {0, 0, -1};
    mirrored.header.flags |= kEntityHasExtrusion;
    add(mirrored);
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 10 10", "lineTo 20 10"})) << "seen from below, x runs the other way";
}

TEST_F(VectoriserTest, AListThatStartsWithEndblkDrawsNothing) {
    const Handle block = addBlockWith("B", {entity(kEntityEndBlock), lineFrom({0, 0, 0}, {1, 0, 0})});
    ReferenceChain chain;
    begin();
    EntityList* list = dbGetBlockEntityList(drawing, block);
    dbRewindEntityList(list);
    recorder.clear();
    EXPECT_EQ(genVectoriseEntityList(drawing, list, kIdentityMatrix4, 7, nullptr, nullptr, 0, 0, 0, 0, chain, nullptr), 1);
    EXPECT_TRUE(strokes().empty());
}

TEST_F(VectoriserTest, AHiddenViewportMaskKeepsTheListOutOfThatViewport) {
    add(lineFrom({1, 1, 0}, {1, 2, 0}));
    ReferenceChain chain;
    begin();
    dbRewindEntityList(drawing->modelSpace);
    recorder.clear();
    genVectoriseEntityList(drawing, drawing->modelSpace, kIdentityMatrix4, 7, nullptr, nullptr, 0, 1, 0, 1, chain,
                           nullptr);
    EXPECT_TRUE(strokes().empty());
}

} // namespace
} // namespace tracemill
