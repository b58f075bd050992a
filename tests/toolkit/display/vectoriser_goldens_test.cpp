// Goldens of the entity vectoriser: what each kind and each edge case of visibility, properties
// and draw order records through the hook table, on drawings built through the database API.
// The square view maps world (x, y) to device (x, y) (truncated), so that the goldens read as
// world coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "error_callback_test.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/draw_order.h"
#include "toolkit/display/entity_plot_style.h"
#include "toolkit/display/file_stream.h"
#include "toolkit/display/ole_frame.h"
#include "vectoriser_fixture.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;
int32_t gOleBytesSeen = -1;
using Fixture = test::VectoriserFixture;
const std::set<std::string> kStrokes{"moveTo", "lineTo"};
const std::set<std::string> kFills{"moveTo", "lineTo", "polygon"};

class VectoriserGoldenTest : public test::VectoriserFixture {};

TEST_F(VectoriserGoldenTest, PointsByPdmode) {
    const auto points = [](int16_t pdmode, double pdsize) {
        return [pdmode, pdsize](Fixture& f) {
            f.drawing->header->pdmode = pdmode;
            f.drawing->header->pdsize = pdsize;
            f.add(f.point({20, 30, 0}));
        };
    };
    checkGoldens({
        {"PDMODE 1 draws no point", points(1, 4), kStrokes, {}},
        {"PDMODE 0 draws a dot", points(0, 4), kStrokes, {"moveTo 20 30", "lineTo 20 30"}},
        {"PDMODE 2 draws a plus of PDSIZE", points(2, 4), kStrokes,
         {"moveTo 18 30", "lineTo 22 30", "moveTo 20 28", "lineTo 20 32"}},
        {"PDMODE 3 draws a cross", points(3, 4), kStrokes,
         {"moveTo 19 29", "lineTo 21 31", "moveTo 19 31", "lineTo 21 29"}},
        {"PDMODE 4 draws a tick upwards", points(4, 4), kStrokes, {"moveTo 20 30", "lineTo 20 32"}},
        {"PDMODE 66 draws a plus in a square", points(66, 4), kStrokes,
         {"moveTo 18 30", "lineTo 22 30", "moveTo 20 28", "lineTo 20 32", "moveTo 18 28", "lineTo 22 28",
          "lineTo 22 32", "lineTo 18 32", "lineTo 18 28"}},
        {"PDSIZE 0 is 2 per cent of the view's height", points(2, 0), kStrokes,
         {"moveTo 19 30", "lineTo 21 30", "moveTo 20 29", "lineTo 20 31"}},
        {"a negative PDSIZE is a share of the view's height", points(2, -10), kStrokes,
         {"moveTo 18 30", "lineTo 23 30", "moveTo 20 28", "lineTo 20 33"}},
        {"a point on DEFPOINTS is a dot whatever PDMODE", [](Fixture& f) {
             f.drawing->header->pdmode = 34;
             f.drawing->header->pdsize = 4;
             EntityRecord p = f.point({20, 30, 0});
             p.header.layer = f.addLayer("DEFPOINTS", 7);
             f.add(p);
         }, kStrokes, {"moveTo 20 30", "lineTo 20 30"}},
        {"a point of its own coordinate system lies where the world says", [](Fixture& f) {
             f.drawing->header->pdmode = 2;
             f.drawing->header->pdsize = 4;
             EntityRecord p = f.point({20, 30, 0});
             p.header.extrusion = {0, 0, -1};
             p.header.flags |= kEntityHasExtrusion;
             f.add(p);
         }, kStrokes, {"moveTo 22 30", "lineTo 18 30", "moveTo 20 28", "lineTo 20 32"}},
    });
}

TEST_F(VectoriserGoldenTest, PdmodeThirtyFourIsAPlusInsideACircle) {
    drawing->header->pdmode = 34;
    drawing->header->pdsize = 20;
    add(point({50, 50, 0}));
    begin();
    const Lines strokes = drawStrokes();
    ASSERT_GT(strokes.size(), 8u);
    EXPECT_EQ(Lines(strokes.begin(), strokes.begin() + 4),
              (Lines{"moveTo 40 50", "lineTo 60 50", "moveTo 50 40", "lineTo 50 60"}));
    // The circle of radius 10 about the point: every chord end lies on it.
    for (size_t i = 4; i < strokes.size(); ++i) {
        int x = 0, y = 0;
        ASSERT_EQ(std::sscanf(strokes[i].c_str() + 7, "%d %d", &x, &y), 2) << strokes[i];
        EXPECT_NEAR(std::hypot(x - 50.0, y - 50.0), 10.0, 1.5) << strokes[i];
    }
}

TEST_F(VectoriserGoldenTest, PointSymbolsStayUprightInATwistedView) {
    drawing->header->pdmode = 66;
    drawing->header->pdsize = 10;
    add(point({50, 50, 0}));
    add(lineFrom({50, 50, 0}, {70, 50, 0}));
    ViewBlock view = squareView();
    view.up = {1, 0, 0, 0};  // the view turned by a quarter: world x is up on the device
    begin(nullptr, kDevice, view);
    const Lines strokes = drawStrokes();
    ASSERT_EQ(strokes.size(), 11u);
    EXPECT_EQ(strokes[9], "moveTo 50 50");
    EXPECT_TRUE(strokes[10] == "lineTo 50 70" || strokes[10] == "lineTo 50 30") << "the line turned: " << strokes[10];
    // Every stroke of the symbol is horizontal or vertical on the device.
    int x0 = 0, y0 = 0;
    for (size_t i = 0; i < 9; ++i) {
        int x = 0, y = 0;
        ASSERT_EQ(std::sscanf(strokes[i].c_str() + 7, "%d %d", &x, &y), 2);
        if (strokes[i].starts_with("lineTo")) {
            EXPECT_TRUE(x == x0 || y == y0) << strokes[i - 1] << " " << strokes[i];
        }
        x0 = x;
        y0 = y;
    }
}

TEST_F(VectoriserGoldenTest, CurvesFillsAndFaces) {
    checkGoldens({
        {"an ARC from 350 to 10 degrees runs through 0", [](Fixture& f) { f.add(f.arc({50, 50, 0}, 20, 350, 10)); },
         kStrokes, {"moveTo 70 47", "lineTo 70 50", "lineTo 70 53"}},
        {"a SOLID whose fourth corner is its first is filled as a triangle", [](Fixture& f) {
             f.add(f.solid(kEntitySolid, {Point3{10, 10, 0}, {30, 10, 0}, {10, 30, 0}, {10, 10, 0}}));
         }, kFills, {"polygon 10,30 10,10 30,10"}},
        {"... and outlined by two runs with FILLMODE 0", [](Fixture& f) {
             f.drawing->header->fillmode = 0;
             f.add(f.solid(kEntitySolid, {Point3{10, 10, 0}, {30, 10, 0}, {10, 30, 0}, {10, 10, 0}}));
         }, kFills, {"moveTo 10 10", "lineTo 30 10", "moveTo 10 10", "lineTo 10 30"}},
        {"a TRACE with FILLMODE 0 is its outline 1-2, 2-4, 4-3, 3-1", [](Fixture& f) {
             f.drawing->header->fillmode = 0;
             f.add(f.solid(kEntityTrace, {Point3{10, 10, 0}, {30, 10, 0}, {10, 30, 0}, {30, 30, 0}}));
         }, kFills, {"moveTo 10 10", "lineTo 30 10", "lineTo 30 30", "lineTo 10 30", "lineTo 10 10"}},
        {"a 3DFACE with invisible-edge flags 5 draws its edges 2 and 4", [](Fixture& f) {
             f.add(f.face({Point3{10, 10, 0}, {30, 10, 0}, {30, 30, 0}, {10, 30, 0}}, 5));
         }, kStrokes, {"moveTo 30 10", "lineTo 30 30", "moveTo 10 30", "lineTo 10 10"}},
        {"... and all four with SPLFRAME set", [](Fixture& f) {
             f.drawing->header->splframe = 1;
             f.add(f.face({Point3{10, 10, 0}, {30, 10, 0}, {30, 30, 0}, {10, 30, 0}}, 5));
         }, kStrokes, {"moveTo 10 10", "lineTo 30 10", "lineTo 30 30", "lineTo 10 30", "lineTo 10 10"}},
    });
}

TEST_F(VectoriserGoldenTest, PolylinesAndTheirFrames) {
    // A spline-fit polyline: its curve (vertices of flag 8) and its frame (flag 16).
    const auto splineFit = [](int16_t splframe) {
        return [splframe](Fixture& f) {
            f.drawing->header->splframe = splframe;
            f.addPolyline(4, {f.vertex({10, 10, 0}, 16), f.vertex({10, 40, 0}, 16), f.vertex({40, 40, 0}, 16),
                              f.vertex({10, 10, 0}, 8), f.vertex({20, 30, 0}, 8), f.vertex({40, 40, 0}, 8)});
        };
    };
    checkGoldens({
        {"a spline-fit POLYLINE draws its curve", splineFit(0), kStrokes,
         {"moveTo 10 10", "lineTo 20 30", "lineTo 40 40"}},
        {"... and then its frame with SPLFRAME set", splineFit(1), kStrokes,
         {"moveTo 10 10", "lineTo 20 30", "lineTo 40 40", "moveTo 10 10", "lineTo 10 40", "lineTo 40 40"}},
        {"a closed LWPOLYLINE closes back to its first vertex", [](Fixture& f) {
             f.add(f.lwpolyline({{10, 10}, {30, 10}, {30, 30}}, kLwpolylineClosed));
         }, kStrokes, {"moveTo 10 10", "lineTo 30 10", "lineTo 30 30", "lineTo 10 10"}},
        {"a polyface mesh draws its faces' edges", [](Fixture& f) {
             EntityRecord face = f.vertex({}, 128);
             face.bodyAs<VertexBody>().faceVertices = {1, 2, 3, 0};
             face.bodyAs<VertexBody>().faceVertexCount = 3;
             f.addPolyline(64, {f.vertex({10, 10, 0}, 192), f.vertex({30, 10, 0}, 192), f.vertex({30, 30, 0}, 192), face});
         }, kStrokes, {"moveTo 10 10", "lineTo 30 10", "lineTo 30 30", "lineTo 10 10"}},
    });
}

TEST_F(VectoriserGoldenTest, ViewportsAndInfiniteLines) {
    checkGoldens({
        {"the first VIEWPORT of a layout's own list is the sheet: no border; the next has one",
         [](Fixture& f) {
             for (EntityRecord v : {f.viewport({50, 50, 0}, 100, 100), f.viewport({30, 30, 0}, 20, 10)}) {
                 v.header.flags &= uint8_t(~kEntityInPaperSpace);
                 f.add(v);
             }
         },
         kStrokes, {"moveTo 20 25", "lineTo 40 25", "lineTo 40 35", "lineTo 20 35", "lineTo 20 25"}},
        {"a VIEWPORT whose flags hide its border draws none", [](Fixture& f) {
             for (EntityRecord v : {f.viewport({50, 50, 0}, 100, 100), f.viewport({30, 30, 0}, 20, 10, 0x10000)}) {
                 v.header.flags &= uint8_t(~kEntityInPaperSpace);
                 f.add(v);
             }
         }, kStrokes, {}},
        {"an XLINE runs both ways to the edges of the viewport", [](Fixture& f) {
             f.add(f.infiniteLine(kEntityXline, {50, 20, 0}, {1, 0, 0}));
         }, kStrokes, {"moveTo 100 20", "lineTo 0 20"}},
        {"a RAY only from its base point on", [](Fixture& f) {
             f.add(f.infiniteLine(kEntityRay, {50, 20, 0}, {1, 0, 0}));
         }, kStrokes, {"moveTo 100 20", "lineTo 50 20"}},
        {"a RAY whose base lies outside the view is drawn from the view's edge", [](Fixture& f) {
             f.add(f.infiniteLine(kEntityRay, {-500, -500, 0}, {1, 1, 0}));
         }, kStrokes, {"moveTo 100 100", "lineTo 0 0"}},
        {"a RAY along the view's bottom edge is kept", [](Fixture& f) {
             f.add(f.infiniteLine(kEntityRay, {-10, -0.5, 0}, {1, 0, 0}));
         }, kStrokes, {"moveTo 100 0", "lineTo 0 0"}},
        {"a RAY pointing away from the view draws nothing", [](Fixture& f) {
             f.add(f.infiniteLine(kEntityRay, {-10, 20, 0}, {-1, 0, 0}));
         }, kStrokes, {}},
    });
}

TEST(PlotStyleLineweights, CodesOneToTwentySevenHaveWidthsAndOthersNone) {
    const int32_t widths[] = {0,  5,  9,  10, 13, 15,  18,  20,  25,  30,  35,  40,  45,  50,
                              53, 60, 65, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    for (int32_t code = 1; code <= 27; ++code) EXPECT_EQ(genPlotStyleLineweight(code), widths[code - 1]) << code;
    for (int32_t code : {0, 28, -1, 255}) EXPECT_EQ(genPlotStyleLineweight(code), 0) << code;
}

// A table of two styles: "Thin" (code 2) and "Bold" (code 26), the colour 3 printing as "Bold".
class EntityPlotStyleTest : public test::VectoriserFixture {
protected:
    void SetUp() override {
        VectoriserFixture::SetUp();
        table.styles = {PlotStyle{}, PlotStyle{}};
        table.styles[0].name = "Thin";
        table.styles[0].lineweight = 2;
        table.styles[0].dictionaryHandle = Handle(0x100);
        table.styles[1].name = "Bold";
        table.styles[1].lineweight = 26;
        table.styles[1].dictionaryHandle = Handle(0x200);
        table.aciStyles.assign(255, -1);
        table.aciStyles[2] = 1;
        layer.colour = 1;
        layer.plotStyle = Handle(0x100);
        inherited.name = "Inherited";
    }
    PlotStyleTable table;
    LayerRecord layer;
    PlotStyle inherited;
};

TEST_F(EntityPlotStyleTest, ByColourByLayerByBlockAndByHandle) {
    struct Case {
        const char* name;
        uint8_t pstylemode;
        uint8_t flags;
        int32_t colour;
        bool withInherited;
        bool layerOff;
        const char* expected;  // null: no style
    };
    const Case cases[] = {
        {"by colour: the colour's style", 1, 0, 3, false, false, "Bold"},
        {"by colour: a colour without a style", 1, 0, 4, false, false, nullptr},
        {"by colour: BYBLOCK has none", 1, 0, 0, false, false, nullptr},
        {"by colour: BYLAYER has none", 1, 0, 256, false, false, nullptr},
        {"by colour: a negative colour has none", 1, 0, -3, false, false, nullptr},
        {"by colour: a colour out of range has none", 1, 0, 300, false, false, nullptr},
        {"by layer", 0, kEntityPlotStyleByLayer, 3, false, false, "Thin"},
        {"by block, with an inherited style", 0, kEntityPlotStyleByBlock, 3, true, false, "Inherited"},
        {"by block without one: the entity's own handle", 0, kEntityPlotStyleByBlock, 3, false, false, "Bold"},
        {"by handle", 0, 0, 3, false, false, "Bold"},
        {"a layer that is off has none", 0, 0, 3, false, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        drawing->header->pstylemode = c.pstylemode;
        EntityHeader header;
        header.flags = c.flags;
        header.plotStyle = Handle(0x200);
        LayerRecord onOff = layer;
        if (c.layerOff) onOff.colour = -1;
        const PlotStyle* style =
            genEntityPlotStyle(*drawing, header, c.colour, onOff, c.withInherited ? &inherited : nullptr, &table);
        if (c.expected) {
            ASSERT_NE(style, nullptr);
            EXPECT_EQ(style->name, c.expected);
        } else {
            EXPECT_EQ(style, nullptr) << style->name;
        }
    }
    EXPECT_EQ(genEntityPlotStyle(*drawing, EntityHeader{}, 3, layer, nullptr, nullptr), nullptr) << "no table";
}

TEST_F(EntityPlotStyleTest, AStyleSetsTheLineweightTheHostIsTold) {
    drawing->header->pstylemode = 0;
    EntityRecord bold = lineFrom({10, 10, 0}, {20, 10, 0});
    bold.header.plotStyle = Handle(0x200);
    bold.header.lineweight = 35;
    add(bold);
    EntityRecord plain = lineFrom({10, 20, 0}, {20, 20, 0});
    plain.header.lineweight = 35;
    add(plain);
    begin();
    context().passPlotStyleTable = &table;
    recorder.clear();
    ASSERT_EQ(vectoriseModelSpace(), 1);
    const Lines begins = recorder.linesOf("entityBegin");
    ASSERT_EQ(begins.size(), 2u);
    EXPECT_NE(begins[0].find("lineweight 200 kind LINE"), std::string::npos) << begins[0];
    EXPECT_NE(begins[0].find("plotStyle Bold"), std::string::npos) << begins[0];
    EXPECT_NE(begins[1].find("lineweight 35 kind LINE"), std::string::npos) << begins[1];
    EXPECT_NE(begins[1].find("plotStyle -"), std::string::npos) << begins[1];
    context().passPlotStyleTable = nullptr;
}

// Every work record of the vectoriser that cannot be had: its error, the error callback with
// 2, and the list's result 0.
TEST_F(VectoriserGoldenTest, EachWorkRecordThatCannotBeHadEndsTheListWithItsError) {
    const Handle block = addBlockOf("B", {lineFrom({0, 0, 0}, {1, 0, 0})});
    EntityRecord paperPolyline = entity(kEntityPolyline);
    paperPolyline.header.flags |= kEntityInPaperSpace;
    add(paperPolyline);
    add(vertex({0, 0, 0}));
    add(entity(kEntitySequenceEnd));
    EntityRecord ownPoint = point({20, 30, 0});
    ownPoint.header.extrusion = {0, 0, -1};
    ownPoint.header.flags |= kEntityHasExtrusion;
    add(ownPoint);
    add(entity(kEntityShape));
    addPolyline(1, {vertex({10, 10, 0}), vertex({30, 10, 0}), vertex({30, 30, 0})});
    add(lwpolyline({{10, 10}, {30, 10}, {30, 30}}, kLwpolylineClosed));
    add(insertOf(block, {50, 50, 0}));
    add(entity(kEntityMline));
    begin();

    std::set<int> errors;
    test::recordErrorReasons();
    for (long after = 0; after < 400; ++after) {
        test::recordedErrorReasons().clear();
        dbSetError(0);
        dbFailAllocationAfter(after);
        const int result = vectoriseModelSpace();
        dbFailAllocationAfter(-1);
        if (result == 0) {
            errors.insert(dbGetError());
            EXPECT_EQ(test::recordedErrorReasons(), std::vector<int>{kErrorReasonNoMemory}) << "error " << dbGetError();
        }
    }
    gSystemContext->errorCallback = nullptr;
    EXPECT_EQ(errors, (std::set<int>{kErrorVectoriserLinetypeRecord, kErrorVectoriserStyleRecord,
                                     kErrorVectoriserMatrices, kErrorVectoriserSkipBuffer, kErrorPointMatrices,
                                     kErrorShapeMatrices, kErrorPolylineWorkRecord, kErrorPolylineVertices,
                                     kErrorPolylineClosing, kErrorBlockReferenceRecord, kErrorMlineLinetypeRecord}));
    recorder.clear();
    EXPECT_EQ(vectoriseModelSpace(), 1) << "the next pass draws again";
}

TEST_F(VectoriserGoldenTest, BlockReferences) {
    // A chain of 200 blocks, each a LINE one unit above the last and a reference to the next.
    const auto deepChain = [](Fixture& f) {
        Handle next;
        for (int level = 199; level >= 0; --level) {
            std::vector<EntityRecord> entities{f.lineFrom({0, 0, 0}, {1, 0, 0})};
            if (!next.isNull()) entities.push_back(f.insertOf(next, {0, 0.25, 0}));
            next = f.addBlockOf("LEVEL" + std::to_string(level), entities);
        }
        f.add(f.insertOf(next, {10, 10, 0}));
    };
    const auto deepLines = [] {
        Lines lines;
        for (int level = 0; level < 200; ++level) {
            const int y = int(10 + 0.25 * level + 0.5);
            lines.push_back("moveTo 10 " + std::to_string(y));
            lines.push_back("lineTo 11 " + std::to_string(y));
        }
        return lines;
    }();
    checkGoldens({
        {"a deep legal nesting draws whole", deepChain, kStrokes, deepLines},
        {"a MINSERT's rows and columns turn with it: rows first, columns inside them", [](Fixture& f) {
             EntityRecord insert = f.insertOf(f.addBlockOf("B", {f.lineFrom({0, 0, 0}, {1, 0, 0})}), {50, 10, 0});
             InsertBody& body = insert.bodyAs<InsertBody>();
             body.rotation = std::numbers::pi / 2;
             body.rowCount = 2;
             body.rowSpacing = 20;
             body.columnCount = 2;
             body.columnSpacing = 30;
             f.add(insert);
         }, kStrokes, {"moveTo 50 10", "lineTo 50 11", "moveTo 50 40", "lineTo 50 41", "moveTo 30 10", "lineTo 30 11",
                       "moveTo 30 40", "lineTo 30 41"}},
        {"an INSERT of paper space draws nothing in model space", [](Fixture& f) {
             EntityRecord insert = f.insertOf(f.addBlockOf("B", {f.lineFrom({0, 0, 0}, {1, 0, 0})}), {10, 10, 0});
             insert.header.flags |= kEntityInPaperSpace;
             f.add(insert);
         }, kStrokes, {}},
        {"points inside a DIMENSION's block are dots; PDMODE is back afterwards", [](Fixture& f) {
             f.drawing->header->pdmode = 2;
             f.drawing->header->pdsize = 4;
             EntityRecord dimension = f.entity(kEntityDimension);
             dimension.bodyAs<DimensionBody>().block = f.addBlockOf("*D1", {f.point({0, 0, 0})});
             dimension.bodyAs<DimensionBody>().cloneInsertionPoint = {20, 20, 0};
             f.add(dimension);
             f.add(f.point({50, 50, 0}));
         }, kStrokes, {"moveTo 20 20", "lineTo 20 20", "moveTo 48 50", "lineTo 52 50", "moveTo 50 48", "lineTo 50 52"}},
        {"a DIMENSION whose block rotation is unusable draws nothing", [](Fixture& f) {
             EntityRecord dimension = f.entity(kEntityDimension);
             dimension.bodyAs<DimensionBody>().block = f.addBlockOf("*D1", {f.lineFrom({0, 0, 0}, {1, 0, 0})});
             dimension.bodyAs<DimensionBody>().insertionRotation = 1e91;
             f.add(dimension);
         }, kStrokes, {}},
    });
}

TEST_F(VectoriserGoldenTest, SortUnitsAreCountedFromTheCursor) {
    // LINE, POLYLINE with two vertices and SEQEND, INSERT with an attribute and SEQEND, LINE.
    const Handle first = add(lineFrom({0, 0, 0}, {1, 0, 0}));
    addPolyline(0, {vertex({0, 0, 0}), vertex({1, 1, 0})});
    EntityRecord insert = insertOf(addBlockOf("B", {}), {0, 0, 0});
    insert.bodyAs<InsertBody>().attributesFollow = 1;
    const Handle insertHandle = add(insert);
    add(entity(kEntityAttribute));
    add(entity(kEntitySequenceEnd));
    const Handle last = add(lineFrom({0, 1, 0}, {1, 1, 0}));

    DrawOrderTable table;
    table.entries.push_back({first, Handle(0xFFFFFF)});  // the first LINE goes last
    std::vector<SortUnit> units;
    dbRewindEntityList(drawing->modelSpace);
    ASSERT_EQ(genOrderSortUnits(*drawing->modelSpace, table, units), 1);
    std::vector<uint16_t> kinds;
    for (const SortUnit& unit : units) kinds.push_back(unit.node->record.header.type);
    EXPECT_EQ(kinds, (std::vector<uint16_t>{kEntityPolyline, kEntityInsert, kEntityLine, kEntityLine}));
    EXPECT_EQ(units.back().node->record.header.handle, first);
    EXPECT_EQ(units[2].node->record.header.handle, last);

    // From the INSERT on: two units, whatever the list counts.
    dbRewindEntityList(drawing->modelSpace);
    while (drawing->modelSpace->current &&
           EntityList::asNode(drawing->modelSpace->current)->record.header.handle != insertHandle)
        drawing->modelSpace->current = drawing->modelSpace->current->next;
    ASSERT_EQ(genOrderSortUnits(*drawing->modelSpace, table, units), 1);
    ASSERT_EQ(units.size(), 2u);
    EXPECT_EQ(units[0].node->record.header.handle, insertHandle);
    EXPECT_EQ(units[1].node->record.header.handle, last);
}

TEST_F(VectoriserGoldenTest, ATextWithoutStyleIsDrawnInStandard) {
    const auto text = [](bool named) {
        return [named](Fixture& f) {
            EntityRecord e = f.entity(kEntityText);
            TextBody& body = e.bodyAs<TextBody>();
            body.insertion = {10, 40, 0};
            body.height = 20;
            body.widthFactor = 1;
            body.text = "HI";
            body.style = Handle();
            if (named) {
                ASSERT_EQ(dbFindStyleHandle(f.drawing, "Standard", body.style), 1);
            }
            f.add(e);
        };
    };
    freshDrawing();
    text(true)(*this);
    begin();
    const Lines standard = drawStrokes();
    ASSERT_GT(standard.size(), 6u) << "the letters are drawn";
    checkGoldens({{"a null style handle", text(false), kStrokes, standard}});
}

// What the begin hook announces, entity by entity, and whether the entity drew a stroke: its
// kind and resolved colour.
Lines announcedAndDrawn(const Lines& recorded) {
    Lines out;
    for (const std::string& line : recorded) {
        if (line.starts_with("entityBegin ")) {
            std::istringstream words(line);
            std::string word, handle, colour, kind;
            words >> word >> handle >> word >> colour;
            while (words >> word && word != "kind") {
            }
            words >> kind;
            out.push_back(kind + " " + colour);
        } else if (line.starts_with("lineTo") && !out.empty() && !out.back().ends_with(" drawn")) {
            out.back() += " drawn";
        }
    }
    return out;
}

TEST_F(VectoriserGoldenTest, WhatIsAnnouncedAndDrawnWithAttributes) {
    const auto drawingOf = [](int16_t attmode) {
        return [attmode](Fixture& f) {
            f.drawing->header->attmode = attmode;
            EntityRecord off = f.lineFrom({0, 0, 0}, {1, 0, 0});
            off.header.layer = f.addLayer("OFF", -3);
            f.add(off);
            EntityRecord frozen = f.lineFrom({0, 1, 0}, {1, 1, 0});
            frozen.header.layer = f.addLayer("FROZEN", 2, kLayerFrozen);
            f.add(frozen);
            EntityRecord invisible = f.lineFrom({0, 2, 0}, {1, 2, 0});
            invisible.header.flags |= kEntityInvisible;
            f.add(invisible);
            EntityRecord inBlock = f.lineFrom({0, 0, 0}, {1, 0, 0});
            inBlock.header.colour = kColourByBlock;
            EntityRecord insert = f.insertOf(f.addBlockOf("B", {inBlock}), {10, 10, 0});
            insert.header.colour = 5;
            insert.bodyAs<InsertBody>().attributesFollow = 1;
            f.add(insert);
            // A visible attribute in BYLAYER and an invisible one (flag 1) in colour 3.
            for (const auto& [flags, colour, y] : {std::tuple{uint8_t(0), int16_t(kColourByLayer), 30.0},
                                                   std::tuple{uint8_t(1), int16_t(3), 60.0}}) {
                EntityRecord attribute = f.entity(kEntityAttribute);
                AttributeBody& body = attribute.bodyAs<AttributeBody>();
                body.insertion = Point3{10, y, 0};
                body.height = 10;
                body.widthFactor = 1;
                body.text = "A";
                body.tag = "T";
                body.flags = flags;
                attribute.header.colour = colour;
                f.add(attribute);
            }
            f.add(f.entity(kEntitySequenceEnd));
        };
    };
    // The LINE on a layer that is off is announced with the layer's colour but not drawn; the
    // frozen and the invisible LINE are not announced; the block's BYBLOCK LINE and the
    // attribute in BYLAYER on layer "0" take the INSERT's colour.
    const Lines lead{"LINE -3", "INSERT 5", "LINE 5 drawn"};
    const auto with = [&lead](const Lines& rest) {
        Lines all = lead;
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    };
    const std::vector<std::pair<int16_t, Lines>> cases{
        {0, with({"ATTRIB 5", "ATTRIB 3", "SEQEND 7"})},
        {1, with({"ATTRIB 5 drawn", "ATTRIB 3", "SEQEND 7"})},
        {2, with({"ATTRIB 5 drawn", "ATTRIB 3 drawn", "SEQEND 7"})},
    };
    for (const auto& [attmode, expected] : cases) {
        SCOPED_TRACE("ATTMODE " + std::to_string(attmode));
        freshDrawing();
        drawingOf(attmode)(*this);
        begin();
        recorder.clear();
        ASSERT_EQ(genDrawDrawing(drawing), 1);
        EXPECT_EQ(announcedAndDrawn(recorder.lines()), expected) << joined(announcedAndDrawn(recorder.lines()));
    }
}

TEST_F(VectoriserGoldenTest, AnExternalPathWithoutExtensionTakesTheHostsFormat) {
    struct Case {
        const char* name;
        SourceFormat format;
        const char* path;
        const char* asked;  // what the file finder (slot 10) is asked for
    };
    const Case cases[] = {
        {"a DWG host: .dwg", SourceFormat::Dwg, "parts/door", "parts/door.dwg"},
        {"a DXF host: .dxf", SourceFormat::AsciiDxf, "parts/door", "parts/door.dxf"},
        {"a path ending in .DXF stays as it is", SourceFormat::Dwg, "parts/DOOR.DXF", "parts/DOOR.DXF"},
        {"... and so does one with .dwg inside it", SourceFormat::BinaryDxf, "parts.dwg/door", "parts.dwg/door"},
    };
    static std::vector<std::string> asked;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshDrawing();
        drawing->sourceFormat = c.format;
        const Handle block = addBlock("DOOR");
        BlockNode* node = dbLookupBlock(*drawing, block);
        ASSERT_NE(node, nullptr);
        node->record.flags |= kBlockExternalReference;
        node->record.xrefPath = c.path;
        add(insertOf(block, {10, 10, 0}));
        begin();
        asked.clear();
        dbSetXrefLoadHook([](const char* name, std::string& out, HostWord) {
            asked.push_back(name);
            out.clear();
            return 0;
        });
        recorder.clear();
        ASSERT_EQ(genDrawDrawing(drawing), 1);
        dbSetXrefLoadHook(nullptr);
        EXPECT_EQ(asked, std::vector<std::string>{c.asked});
        EXPECT_EQ(recorder.linesOf("xrefMissing"), Lines{std::string("xrefMissing ") + c.asked}) << "nothing is queued";
        EXPECT_EQ(dbGetError(), kErrorXrefMissing);
    }
}

// An OLE2FRAME's data: the 128-byte frame header with the corners (10, 10) to (30, 20), then
// `objectBytes` bytes of the object.
OwnedStream oleData(int objectBytes) {
    PagedStream* stream = dbStreamCreate(4096);
    OpenStream* out = dbStreamOpenWrite(stream);
    const uint8_t lead[2] = {1, 0};
    dbStreamPutBytes(out, lead, 2);
    for (Point3 corner : {Point3{10, 20, 0}, Point3{30, 20, 0}, Point3{30, 10, 0}, Point3{10, 10, 0}})
        dbStreamPutPoint3(out, corner);
    const std::vector<uint8_t> rest(size_t(30 + objectBytes), 7);
    dbStreamPutBytes(out, rest.data(), rest.size());
    dbStreamCloseWrite(out);
    return OwnedStream(stream);
}

// The host's answer to slot 30: a picture of three bytes.
void answerWithPicture(PagedStream* data, OleObjectInfo& object, HostWord) {
    object.picture = dbStreamCreate(4096);
    OpenStream* out = dbStreamOpenWrite(object.picture);
    const uint8_t bytes[3] = {0, 1, 2};
    dbStreamPutBytes(out, bytes, 3);
    dbStreamCloseWrite(out);
    gOleBytesSeen = dbStreamSizeOf(data);
}

TEST_F(VectoriserGoldenTest, EmbeddedObjectsGoToTheHostWithoutTheirFrameHeader) {
    const auto frame = [](int objectBytes) {
        return [objectBytes](Fixture& f) {
            const uint16_t type = dbClassOle2Frame(f.drawing->classes);
            ASSERT_NE(type, 0);
            EntityRecord e = f.entity(type);
            e.bodyAs<Ole2FrameBody>().data = oleData(objectBytes);
            f.add(e);
        };
    };
    checkGoldens({
        {"data of the header alone: nothing for the host", frame(0), {"oleData", "picture"}, {}},
        {"one byte more: the host gets that byte", frame(1), {"oleData", "picture"}, {"oleData 1"}},
    });
    // A host that answers with a picture: drawn in the frame of the header.
    freshDrawing();
    frame(5)(*this);
    begin();
    dbSetOleDataHook(answerWithPicture);
    gOleBytesSeen = -1;
    recorder.clear();
    ASSERT_EQ(genDrawDrawing(drawing), 1);
    EXPECT_EQ(gOleBytesSeen, 5);
    const Lines pictures = recorder.linesOf("picture");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_NE(pictures[0].find("bytes 3"), std::string::npos) << pictures[0];
    for (const char* corner : {"10,20", "30,20", "30,10", "10,10"})
        EXPECT_NE(pictures[0].find(corner), std::string::npos) << corner << " in " << pictures[0];
}

TEST_F(VectoriserGoldenTest, AnRtextFromAFileDrawsAsTheMtextOfItsText) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "tracemill_rtext_test.txt";
    std::ofstream(file) << "AB";
    const auto rtext = [&file](int16_t flags) {
        return [&file, flags](Fixture& f) {
            const uint16_t type = f.rtextClass();
            ASSERT_NE(type, 0);
            EntityRecord e = f.entity(type);
            RtextBody& body = e.bodyAs<RtextBody>();
            body.insertion = {10, 50, 0};
            body.height = 20;
            body.flags = flags;
            body.contents = file.string();
            f.add(e);
        };
    };
    freshDrawing();
    EntityRecord mtext = entity(kEntityMtext);
    MtextBody& body = mtext.bodyAs<MtextBody>();
    body.insertion = {10, 50, 0};
    body.xDirection = {1, 0, 0};
    body.textHeight = 20;
    body.attachment = 1;
    body.drawingDirection = 1;
    body.text = "AB";
    add(mtext);
    begin();
    const Lines expected = drawStrokes();
    ASSERT_GT(expected.size(), 6u);
    checkGoldens({
        {"an RTEXT naming a file", rtext(1), kStrokes, expected},
        {"an RTEXT with its text stored draws its proxy graphics: none here", rtext(0), kStrokes,
         {}},
    });
    std::filesystem::remove(file);
    checkGoldens({{"an RTEXT naming a file that is gone draws nothing", rtext(1), kStrokes, {}}});
}

TEST(FileStream, HoldsTheWholeFileOrIsNull) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "tracemill_file_stream_test.txt";
    std::string text;
    for (int i = 0; i < 1300; ++i) text += char('a' + i % 26);  // more than two chunks of 512
    std::ofstream(path, std::ios::binary) << text;
    PagedStream* stream = genReadFileToStream(path.string().c_str());
    ASSERT_NE(stream, nullptr);
    std::string read(size_t(dbStreamSizeOf(stream)), '\0');
    OpenStream* in = dbStreamOpenRead(stream);
    ASSERT_NE(dbStreamGetBytes(in, read.data(), read.size()), 0);
    dbStreamCloseRead(in);
    dbStreamDestroy(stream);
    EXPECT_EQ(read, text);
    std::filesystem::remove(path);
    EXPECT_EQ(genReadFileToStream(path.string().c_str()), nullptr);
    EXPECT_EQ(genReadFileToStream(nullptr), nullptr);
}

} // namespace
} // namespace tracemill
