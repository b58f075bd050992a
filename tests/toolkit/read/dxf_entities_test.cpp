// DXF entities: common groups, the kinds' own groups and the lists they build, class-based
// entities kept as bit-coded data.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/read/dwg_bit_reader.h"

namespace tracemill::test {
namespace {

using DxfEntitiesTest = ToolkitTest;

std::string rdText(BitReader& reader) {
    std::string text;
    rdBitText(reader, text, 65535);
    return text;
}

std::vector<const EntityRecord*> modelEntities(const std::string& version, const DxfGroups& entitiesSection,
                                               DrawingPtr& holder, const DxfGroups& classes = {}) {
    if (classes.empty()) holder = loadText(dxfDrawing(version, {{"ENTITIES", entitiesSection}}));
    else holder = loadText(dxfDrawing(version, {{"CLASSES", classes}, {"ENTITIES", entitiesSection}}));
    EXPECT_TRUE(holder) << dbGetError();
    return holder ? entities(holder->modelSpace) : std::vector<const EntityRecord*>{};
}

TEST_F(DxfEntitiesTest, CommonGroups) {
    DrawingPtr drawing;
    const auto list = modelEntities("AC1009", {
        {0, "LINE"}, {5, "2A"}, {8, "0"}, {6, "CONTINUOUS"}, {39, "2.5"}, {48, "3.0"}, {60, "1"}, {62, "-7"},
        {10, "1.0"}, {20, "2.0"}, {30, "3.0"}, {11, "4.0"}, {21, "5.0"}, {31, "6.0"},
        {210, "0.0"}, {220, "0.0"}, {230, "1.0"},
        {0, "3DLINE"}, {8, "0"}, {62, "256"}, {38, "7.0"}, {10, "1.0"}, {20, "1.0"}, {11, "2.0"}, {21, "2.0"},
        {210, "0.0"}, {220, "0.0"}, {230, "-1.0"},
    }, drawing);
    ASSERT_EQ(list.size(), 2u);
    const EntityHeader& line = list[0]->header;
    EXPECT_EQ(line.handle, Handle(0x2A));
    EXPECT_EQ(line.thickness, 2.5);
    EXPECT_EQ(line.linetypeScale, 3.0);
    EXPECT_TRUE(line.flags & kEntityInvisible);
    EXPECT_EQ(line.colour, 7) << "an entity takes the magnitude of a negative colour";
    EXPECT_FALSE(line.flags & kEntityHasExtrusion) << "an extrusion of exactly (0, 0, 1) is none";
    EXPECT_EQ(list[0]->bodyAs<LineBody>().end, (Point3{4.0, 5.0, 6.0}));

    const EntityHeader& line3d = list[1]->header;
    EXPECT_EQ(line3d.type, kEntityLine) << "a 3DLINE is a LINE";
    EXPECT_EQ(line3d.colour, kColourByLayer);
    EXPECT_TRUE(line3d.flags & kEntityHasExtrusion);
    EXPECT_EQ(line3d.extrusion, (Point3{0.0, 0.0, -1.0}));
    EXPECT_EQ(list[1]->bodyAs<LineBody>().start, (Point3{1.0, 1.0, 7.0})) << "the elevation is the points' z";
}

TEST_F(DxfEntitiesTest, AnUnknownNameIsPassedOverWithItsGroups) {
    DrawingPtr drawing;
    const auto list = modelEntities("AC1009", {
        {0, "LINE"}, {8, "0"}, {10, "1.0"},
        {0, "NOSUCHTHING"}, {8, "0"}, {10, "9.0"}, {1, "LINE"},
        {0, "LINE"}, {8, "0"}, {10, "2.0"},
    }, drawing);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]->bodyAs<LineBody>().start.x, 2.0);
    EXPECT_EQ(drawing->unplacedRecords, 1u) << "the record that could not be placed is counted";
}

TEST_F(DxfEntitiesTest, InsertsWithoutCountsHaveOneColumnAndRow) {
    const DxfGroups blocks = {{0, "BLOCK"}, {8, "0"}, {2, "B"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                              {0, "ENDBLK"}, {8, "0"}};
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"BLOCKS", blocks},
                                                        {"ENTITIES", {{0, "INSERT"}, {8, "0"}, {2, "B"}, {70, "0"},
                                                                      {71, "0"}, {41, "2.0"}, {50, "90.0"}}}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const InsertBody& insert = entities(drawing->modelSpace).at(0)->bodyAs<InsertBody>();
    EXPECT_EQ(insert.columnCount, 1);
    EXPECT_EQ(insert.rowCount, 1);
    EXPECT_EQ(insert.scale, (Point3{2.0, 1.0, 1.0}));
    EXPECT_DOUBLE_EQ(insert.rotation, std::numbers::pi / 2);
}

TEST_F(DxfEntitiesTest, MtextKeepsItsPiecesInOrder) {
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "MTEXT"}, {5, "30"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbMText"}, {10, "1.0"}, {20, "2.0"},
        {30, "0.0"}, {40, "2.5"}, {41, "40.0"}, {71, "5"}, {72, "1"}, {3, "first "}, {3, "second "}, {1, "last"},
        {50, "90.0"}, {73, "1"}, {44, "1.5"},
    }, drawing);
    ASSERT_EQ(list.size(), 1u);
    const MtextBody& mtext = list[0]->bodyAs<MtextBody>();
    EXPECT_EQ(mtext.text, "first second last");
    EXPECT_EQ(mtext.attachment, 5);
    EXPECT_EQ(mtext.textHeight, 2.5);
    EXPECT_NEAR(mtext.xDirection.x, 0.0, 1e-15);
    EXPECT_NEAR(mtext.xDirection.y, 1.0, 1e-15);
    EXPECT_EQ(mtext.lineSpacingFactor, 1.5);
}

TEST_F(DxfEntitiesTest, AcisTextIsDecodedWholeAndLosesTheBlankAfterAnA) {
    // 33 and 126 swap; blanks and bytes above 126 stay; a 1 group ends a line, a 3 group does not.
    auto encode = [](std::string plain) {
        for (char& c : plain) {
            if (c >= 33 && c <= 126) c = char(159 - c);
        }
        return plain;
    };
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "3DSOLID"}, {5, "31"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbModelerGeometry"}, {70, "1"},
        {1, encode("Ab ~!")}, {3, encode("A")}, {1, encode(" x")},
    }, drawing);
    ASSERT_EQ(list.size(), 1u);
    const OwnedStream& sat = list[0]->bodyAs<AcisBody>().satText;
    const std::string text(sat.bytes().begin(), sat.bytes().end());
    // "Ab ~!\r\n" then "A" (a 3 group: no line end) and " x\r\n": the blank after that A goes
    // although it comes in the next group.
    EXPECT_EQ(text, "Ab ~!\r\nAx\r\n");
}

TEST_F(DxfEntitiesTest, LightweightPolylinesKeepWidthsAndBulges) {
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "LWPOLYLINE"}, {5, "40"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbPolyline"}, {90, "3"}, {70, "129"},
        {43, "0.0"}, {38, "4.0"}, {10, "0.0"}, {20, "0.0"}, {10, "1.0"}, {20, "0.0"}, {42, "0.5"},
        {10, "1.0"}, {20, "1.0"}, {40, "0.1"}, {41, "0.2"},
    }, drawing);
    ASSERT_EQ(list.size(), 1u);
    const LwpolylineBody& polyline = list[0]->bodyAs<LwpolylineBody>();
    ASSERT_EQ(polyline.vertices.size(), 3u);
    EXPECT_EQ(polyline.flags, kLwpolylineClosed | kLwpolylineContinuousLinetype | kLwpolylineHasBulges |
                                  kLwpolylineHasWidths);
    EXPECT_EQ(polyline.elevation, 4.0);
    EXPECT_EQ(polyline.vertices[1].bulge, 0.5);
    EXPECT_EQ(polyline.vertices[2].startWidth, 0.1);
    EXPECT_EQ(polyline.vertices[2].endWidth, 0.2);
}

// A leader without 211 runs along the x axis of its plane: (1, 0, 0), or for an extrusion the
// x axis the arbitrary axis rule gives that plane. A direction given in part keeps 0 for the
// groups left out.
TEST_F(DxfEntitiesTest, LeadersWithoutADirectionRunAlongTheXAxisOfTheirPlane) {
    struct Case {
        const char* name;
        DxfGroups groups;
        Point3 direction;
    } cases[] = {
        {"no direction", {}, {1.0, 0.0, 0.0}},
        {"no direction, extrusion -z", {{210, "0.0"}, {220, "0.0"}, {230, "-1.0"}}, {-1.0, 0.0, 0.0}},
        {"no direction, extrusion x", {{210, "2.0"}, {220, "0.0"}, {230, "0.0"}}, {0.0, 1.0, 0.0}},
        {"no direction, extrusion of length 0", {{210, "0.0"}, {220, "0.0"}, {230, "0.0"}}, {1.0, 0.0, 0.0}},
        {"direction given", {{211, "0.0"}, {221, "1.0"}, {231, "0.0"}}, {0.0, 1.0, 0.0}},
        {"direction given without 211", {{221, "-1.0"}}, {0.0, -1.0, 0.0}},
        {"direction given with an extrusion", {{211, "0.6"}, {221, "0.8"}, {231, "0.0"}, {230, "-1.0"}},
         {0.6, 0.8, 0.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DxfGroups leader = {{0, "LEADER"}, {5, "40"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbLeader"},
                            {76, "2"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {10, "1.0"}, {20, "1.0"}, {30, "0.0"}};
        leader.insert(leader.end(), c.groups.begin(), c.groups.end());
        DrawingPtr drawing;
        const auto list = modelEntities("AC1015", leader, drawing);
        ASSERT_EQ(list.size(), 1u);
        const Point3 direction = list[0]->bodyAs<LeaderBody>().horizontalDirection;
        EXPECT_NEAR(direction.x, c.direction.x, 1e-15);
        EXPECT_NEAR(direction.y, c.direction.y, 1e-15);
        EXPECT_NEAR(direction.z, c.direction.z, 1e-15);
    }
}

// A VERTEX of a 2D POLYLINE without a width of its own takes the polyline's default width (its
// flags still tell that it has none of its own); 3D polylines and meshes have no widths.
TEST_F(DxfEntitiesTest, VerticesWithoutWidthsTakeTheDefaultWidthsOfTheirPolyline) {
    auto vertex = [](const char* x, DxfGroups widths) {
        DxfGroups v = {{0, "VERTEX"}, {8, "0"}, {10, x}, {20, "0.0"}, {30, "0.0"}};
        v.insert(v.end(), widths.begin(), widths.end());
        return v;
    };
    DxfGroups groups = {{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"},
                        {40, "0.5"}, {41, "0.25"}};
    for (const DxfGroups& v : {vertex("0.0", {}), vertex("1.0", {{40, "0.0"}, {41, "0.0"}}), vertex("2.0", {{41, "1.0"}}),
                               vertex("3.0", {{40, "2.0"}})}) {
        groups.insert(groups.end(), v.begin(), v.end());
    }
    const DxfGroups rest = {{0, "SEQEND"}, {8, "0"},
                            {0, "POLYLINE"}, {8, "0"}, {66, "1"}, {70, "8"}, {40, "3.0"}, {41, "3.0"},
                            {0, "VERTEX"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {70, "32"},
                            {0, "SEQEND"}, {8, "0"},
                            {0, "VERTEX"}, {8, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}};
    groups.insert(groups.end(), rest.begin(), rest.end());
    for (const char* version : {"AC1009", "AC1015"}) {
        SCOPED_TRACE(version);
        DrawingPtr drawing;
        const auto list = modelEntities(version, groups, drawing);
        ASSERT_EQ(list.size(), 10u);
        struct Expected {
            size_t index;
            double start;
            double end;
            int16_t hasStart;
            int16_t hasEnd;
        } expected[] = {
            {1, 0.5, 0.25, 0, 0},  // none of its own: the polyline's
            {2, 0.0, 0.0, 1, 1},   // its own 0
            {3, 0.5, 1.0, 0, 1},   // its own end width alone
            {4, 2.0, 0.25, 1, 0},  // its own start width alone
            {7, 0.0, 0.0, 0, 0},   // a vertex of a 3D polyline
            {9, 0.0, 0.0, 0, 0},   // a vertex after the sequence ended
        };
        for (const Expected& e : expected) {
            SCOPED_TRACE(e.index);
            const VertexBody& v = list[e.index]->bodyAs<VertexBody>();
            EXPECT_EQ(v.startWidth, e.start);
            EXPECT_EQ(v.endWidth, e.end);
            EXPECT_EQ(v.hasStartWidth, e.hasStart);
            EXPECT_EQ(v.hasEndWidth, e.hasEnd);
        }
    }
}

TEST_F(DxfEntitiesTest, SplinesCollectKnotsWeightsAndPoints) {
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "SPLINE"}, {5, "41"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbSpline"}, {70, "4"}, {71, "2"},
        {72, "6"}, {73, "3"}, {74, "0"}, {40, "0"}, {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"},
        {10, "0"}, {20, "0"}, {30, "0"}, {41, "1"}, {10, "1"}, {20, "1"}, {30, "0"}, {41, "0.5"},
        {10, "2"}, {20, "0"}, {30, "0"}, {41, "1"}, {12, "1"}, {22, "0"}, {32, "0"},
    }, drawing);
    ASSERT_EQ(list.size(), 1u);
    const SplineBody& spline = list[0]->bodyAs<SplineBody>();
    EXPECT_EQ(spline.degree, 2);
    EXPECT_EQ(spline.data.knots, (std::vector<double>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(spline.data.controlPoints, (std::vector<Point3>{{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}));
    EXPECT_EQ(spline.data.weights, (std::vector<double>{1, 0.5, 1}));
    EXPECT_EQ(spline.startTangent, (Point3{1, 0, 0}));
}

TEST_F(DxfEntitiesTest, HatchesReadEveryEdgeType) {
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "HATCH"}, {5, "42"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbHatch"},
        {10, "0"}, {20, "0"}, {30, "2.0"}, {210, "0"}, {220, "0"}, {230, "1"}, {2, "ANSI31"}, {70, "0"}, {71, "1"},
        {91, "2"},
        {92, "7"}, {72, "1"}, {73, "1"}, {93, "2"}, {10, "0"}, {20, "0"}, {42, "0.5"}, {10, "1"}, {20, "0"}, {42, "0"},
        {97, "1"}, {330, "2A"},
        {92, "1"}, {93, "4"},
        {72, "1"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"},
        {72, "2"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "90"}, {73, "1"},
        {72, "3"}, {10, "0"}, {20, "0"}, {11, "2"}, {21, "0"}, {40, "0.5"}, {50, "0"}, {51, "270"}, {73, "1"},
        {72, "4"}, {94, "3"}, {73, "1"}, {74, "0"}, {95, "8"}, {96, "4"},
        {40, "0"}, {40, "0"}, {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"}, {40, "1"},
        {10, "0"}, {20, "0"}, {42, "1"}, {10, "1"}, {20, "1"}, {42, "2"}, {10, "2"}, {20, "1"}, {42, "2"},
        {10, "3"}, {20, "0"}, {42, "1"},
        {97, "0"},
        {75, "1"}, {76, "1"}, {52, "45"}, {41, "2"}, {77, "0"}, {78, "1"},
        {53, "45"}, {43, "0"}, {44, "0"}, {45, "-0.1"}, {46, "0.1"}, {79, "2"}, {49, "0.2"}, {49, "-0.1"},
        {98, "1"}, {10, "0.5"}, {20, "0.5"},
    }, drawing);
    ASSERT_EQ(list.size(), 1u);
    const HatchBody& hatch = list[0]->bodyAs<HatchBody>();
    EXPECT_EQ(hatch.patternName, "ANSI31");
    EXPECT_EQ(hatch.elevation, 2.0);
    ASSERT_EQ(hatch.paths.size(), 2u);
    const HatchPath& polyline = hatch.paths[0];
    EXPECT_TRUE(polyline.isPolyline());
    ASSERT_EQ(polyline.vertices.size(), 2u);
    EXPECT_EQ(polyline.vertices[0].bulge, 0.5);
    EXPECT_EQ(polyline.boundaryObjects, (HandleList{Handle(0x2A)}));
    const HatchPath& edges = hatch.paths[1];
    ASSERT_EQ(edges.edges.size(), 4u);
    for (int type = 1; type <= 4; ++type) EXPECT_EQ(hatchEdgeType(edges.edges[size_t(type - 1)]), type);
    const auto& arc = std::get<HatchArcEdge>(edges.edges[1]);
    EXPECT_DOUBLE_EQ(arc.endAngle, std::numbers::pi / 2);
    const auto& ellipse = std::get<HatchEllipseEdge>(edges.edges[2]);
    // 270 degrees on an ellipse of ratio 0.5 is the parameter -pi/2: both parameters move by 2 pi.
    EXPECT_DOUBLE_EQ(ellipse.startParameter, 2 * std::numbers::pi);
    EXPECT_DOUBLE_EQ(ellipse.endParameter, 1.5 * std::numbers::pi);
    const auto& spline = std::get<HatchSplineEdge>(edges.edges[3]);
    EXPECT_EQ(spline.degree, 3);
    EXPECT_EQ(spline.knots.size(), 8u);
    ASSERT_EQ(spline.controlPoints.size(), 4u);
    EXPECT_EQ(spline.controlPoints[1].weight, 2.0);
    ASSERT_EQ(hatch.patternLines.size(), 1u);
    EXPECT_EQ(hatch.patternLines[0].dashes, (std::vector<double>{0.2, -0.1}));
    EXPECT_EQ(hatch.seedPoints, (std::vector<Point2>{{0.5, 0.5}}));
    EXPECT_DOUBLE_EQ(hatch.patternAngle, std::numbers::pi / 4);
}

// A damaged file that lists a class twice gives its kind two numbers; its entities are still
// read by their own reader, under the number the class list keeps for the kind (they once
// reached a reader whose body they did not have, and the load ended the program).
TEST_F(DxfEntitiesTest, AClassListedTwiceStillReadsItsEntities) {
    DxfGroups classes;
    for (const char* name : {"LWPOLYLINE", "ARCALIGNEDTEXT", "LWPOLYLINE", "ARCALIGNEDTEXT"}) {
        classes.insert(classes.end(), {{0, "CLASS"}, {1, name}, {2, "Twice"}, {3, "Fixture"}, {90, "0"}, {280, "0"},
                                       {281, "1"}});
    }
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "LWPOLYLINE"}, {5, "40"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbPolyline"}, {90, "2"}, {70, "0"},
        {10, "0.0"}, {20, "0.0"}, {10, "3.0"}, {20, "4.0"},
        {0, "ARCALIGNEDTEXT"}, {5, "41"}, {100, "AcDbEntity"}, {8, "0"}, {1, "arc"}, {10, "1.0"}, {20, "2.0"},
    }, drawing, classes);
    ASSERT_EQ(list.size(), 2u);
    ClassKind kind;
    ASSERT_TRUE(dbClassKindByNumber(drawing->classes, list[0]->header.type, kind));
    EXPECT_EQ(kind, ClassKind::Lwpolyline);
    EXPECT_EQ(list[0]->bodyAs<LwpolylineBody>().vertices.size(), 2u);
    ASSERT_TRUE(dbClassKindByNumber(drawing->classes, list[1]->header.type, kind));
    EXPECT_EQ(kind, ClassKind::ArcAlignedText);
    EXPECT_EQ(list[1]->bodyAs<ArcAlignedTextBody>().text, "arc");
}

TEST_F(DxfEntitiesTest, ClassEntitiesWithoutAReaderKeepTheirGroupsAsBits) {
    const DxfGroups classes = {{0, "CLASS"}, {1, "MYENTITY"}, {2, "MyEntity"}, {3, "MyApp"}, {90, "0"}, {280, "0"}, {281, "1"}};
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "MYENTITY"}, {5, "50"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "MyEntity"},
        {10, "1.0"}, {20, "2.0"}, {30, "3.0"}, {40, "0.5"}, {70, "3"}, {1, "hi"}, {340, "2A"},
    }, drawing, classes);
    ASSERT_EQ(list.size(), 1u);
    const ProxyEntityBody& body = list[0]->bodyAs<ProxyEntityBody>();
    ClassEntry entry;
    ASSERT_EQ(dbFindClassByName(drawing->classes, "MYENTITY", entry), 1);
    EXPECT_EQ(list[0]->header.type, kEntityOfClassData);
    EXPECT_EQ(body.classNumber, entry.number);
    EXPECT_EQ(body.references, (std::vector<ObjectReference>{{Handle(0x2A), 2}}));
    // The groups as bit-short code and value: 100 text, the point, the real, the short, the
    // text, the handle group's code, and a 0 at the end.
    BitReader reader(body.data.bytes());
    EXPECT_EQ(rdBitShort(reader), 100);
    EXPECT_EQ(rdText(reader), "MyEntity");
    EXPECT_EQ(rdBitShort(reader), 10);
    EXPECT_EQ(rdBitDouble(reader), 1.0);
    EXPECT_EQ(rdBitDouble(reader), 2.0);
    EXPECT_EQ(rdBitDouble(reader), 3.0);
    EXPECT_EQ(rdBitShort(reader), 40);
    EXPECT_EQ(rdBitDouble(reader), 0.5);
    EXPECT_EQ(rdBitShort(reader), 70);
    EXPECT_EQ(rdBitShort(reader), 3);
    EXPECT_EQ(rdBitShort(reader), 1);
    EXPECT_EQ(rdText(reader), "hi");
    EXPECT_EQ(rdBitShort(reader), 340);
    EXPECT_EQ(rdBitShort(reader), 0);
    EXPECT_EQ(body.dataBitCount, reader.bitPosition());
}

// The proxy graphics are the 92 and 310 groups of the entity part; a 92 of the class's own
// data (a table's column count) is data and leaves the graphics as they are.
TEST_F(DxfEntitiesTest, AClassEntityKeepsItsGraphicsWhenItsOwnDataHasA92) {
    const DxfGroups classes = {{0, "CLASS"}, {1, "MYENTITY"}, {2, "MyEntity"}, {3, "MyApp"}, {90, "0"}, {280, "0"}, {281, "1"}};
    DrawingPtr drawing;
    const auto list = modelEntities("AC1015", {
        {0, "MYENTITY"}, {5, "50"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {92, "4"}, {310, "DEADBEEF"},
        {100, "MyEntity"}, {92, "9"}, {70, "3"},
    }, drawing, classes);
    ASSERT_EQ(list.size(), 1u);
    const ProxyEntityBody& body = list[0]->bodyAs<ProxyEntityBody>();
    EXPECT_EQ(std::vector<uint8_t>(body.graphics.bytes().begin(), body.graphics.bytes().end()),
              (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
    BitReader reader(body.data.bytes());
    EXPECT_EQ(rdBitShort(reader), 100);
    EXPECT_EQ(rdText(reader), "MyEntity");
    EXPECT_EQ(rdBitShort(reader), 92);
    EXPECT_EQ(rdBitLong(reader), 9);
    EXPECT_EQ(rdBitShort(reader), 70);
}

} // namespace
} // namespace tracemill::test
