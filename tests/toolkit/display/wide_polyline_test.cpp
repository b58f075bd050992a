// Wide polylines and meshes: the quadrilaterals of wide segments with their mitres, bulge arcs
// as fans of pieces, closed polylines, outlines and patterns, the linetype adaptation, memory
// failures, polyface and polygon meshes. Output is recorded at 1,000 device units per drawing
// unit and read back in drawing units.
#include "toolkit/display/wide_polyline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "error_callback_test.h"
#include "rounded_text.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/polygon_mesh.h"
#include "toolkit/display/quad_outline.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;

// A vertex of constant width.
PolylineVertex at(double x, double y, double width = 0.0, double bulge = 0.0) {
    return {{x, y, 0.0}, bulge, width, width};
}
PolylineVertex tapered(double x, double y, double startWidth, double endWidth, double bulge = 0.0) {
    return {{x, y, 0.0}, bulge, startWidth, endWidth};
}

class WidePolylineTest : public test::DisplayTest {
protected:
    // A device of 100,000 units square showing (-20, -20) to (80, 80): 1,000 device units a
    // drawing unit.
    void SetUp() override {
        DisplayTest::SetUp();
        ViewBlock view = squareView();
        view.target = {30.0, 30.0, 0.0, 1.0};
        begin(nullptr, {0, 0, 100000, 100000}, view);
        context().entity = DrawnEntity{};
        context().entity.kind = kEntityPolyline;
        context().planMask = 1;  // fills seen along their normal are filled
        ViewportRecord& viewport = context().viewports[0];  // as a pass sets it when a list starts
        viewport.deviceScale = viewport.baseDeviceScale = genMatrixDeviceScale(viewport.worldToDevice);
        dbSetCurveResolution(1);  // a half circle in two pieces
        matrices.assign(1, context().viewports[0].worldToDevice);
        Point4 origin, unit;
        genPointTransform({0, 0, 0, 1}, matrices[0], origin);
        genPointTransform({1, 1, 0, 1}, matrices[0], unit);
        originX = std::trunc(origin.x);
        originY = std::trunc(origin.y);
        scaleX = unit.x - origin.x;
        scaleY = unit.y - origin.y;
    }

    // The recorded hook calls with their device points in drawing units.
    Lines drawn() const {
        Lines out;
        for (const std::string& line : recorder.lines()) out.push_back(inDrawingUnits(line));
        return out;
    }
    std::string inDrawingUnits(const std::string& line) const {
        std::istringstream in(line);
        std::string word, out;
        in >> word;
        out = word;
        if (word == "moveTo" || word == "lineTo") {
            long x = 0, y = 0;
            in >> x >> y;
            return out + " " + point(x, y);
        }
        if (word != "polygon") return line;
        while (in >> word) {
            const size_t comma = word.find(',');
            out += " " + point(std::stol(word.substr(0, comma)), std::stol(word.substr(comma + 1)));
        }
        return out;
    }
    std::string point(long x, long y) const {
        return test::roundedText((double(x) - originX) / scaleX) + "," + test::roundedText((double(y) - originY) / scaleY);
    }

    Lines draw(const std::vector<PolylineVertex>& vertices, uint8_t flags = 0, const LinetypeRecord* linetype = nullptr,
               int* result = nullptr) {
        recorder.clear();
        const int drawnResult = genDrawWidePolyline(drawing, vertices, flags, false, matrices.data(), linetype);
        if (result) *result = drawnResult;
        return drawn();
    }

    std::vector<Matrix4> matrices;
    double originX = 0, originY = 0, scaleX = 1, scaleY = 1;
};

// A dashed linetype: dash 2, gap 2.
LinetypeRecord dashedLinetype(Drawing* drawing) {
    LinetypeRecord linetype;
    linetype.name = "DASHED";
    linetype.handle = dbNewHandle(*drawing);
    linetype.dashCount = 2;
    linetype.dashes[0].length = 2.0;
    linetype.dashes[1].length = -2.0;
    linetype.patternLength = 4.0;
    linetype.drawing = drawing;
    return linetype;
}

TEST_F(WidePolylineTest, SegmentsJoinsAndArcs) {
    const struct {
        const char* name;
        std::vector<PolylineVertex> vertices;
        uint8_t flags;
        Lines expected;
    } cases[] = {
        {"no widths: the strokes of a plain polyline", {at(0, 0), at(10, 0), at(10, 10)}, 0,
         {"moveTo 0,0", "lineTo 10,0", "lineTo 10,10"}},
        {"a right turn: the mitre of two widths of 2", {at(0, 0, 2), at(10, 0, 2), at(10, 10, 2)}, 0,
         {"polygon 0,1 0,-1 11,-1 9,1", "polygon 9,1 11,-1 11,10 9,10"}},
        {"in line with equal widths: the next segment's own start", {at(0, 0, 2), tapered(10, 0, 2, 4), at(20, 0)}, 0,
         {"polygon 0,1 0,-1 10,-1 10,1", "polygon 10,1 10,-1 20,-2 20,2"}},
        {"a turn sharper than the mitre limit keeps both ends", {at(0, 0, 2), at(10, 0, 2), at(0, 5, 2)}, 0,
         {"polygon 0,1 0,-1 10,-1 10,1", "polygon 9.553,-0.894 10.447,0.895 0.447,5.895 -0.447,4.106"}},
        {"a line meets an arc: radial ends, pieces on their common radial edge",
         {at(0, 0, 2), at(10, 0, 2, 1), at(20, 0, 2), at(20, 10, 2)}, 0,
         {"polygon 0,1 0,-1 10,-1 10,1", "polygon 11,0 9,0 15,-6 15,-4", "polygon 15,-4 15,-6 21,0 19,0",
          "polygon 19,0 21,0 21,10 19,10"}},
        {"arc widths above the diameter are limited to it", {at(0, 0, 20, 1), at(2, 0, 20)}, 0,
         {"polygon 1,0 -1,0 1,-2", "polygon 1,0 1,-2 3,0"}},
        {"a segment of no length draws nothing", {at(5, 5, 2), {{5, 5, 1}, 0, 2, 2}}, 0, {}},
        {"equal vertices pass on their widths", {at(0, 0, 2), at(10, 0, 2), at(10, 0, 4), at(20, 0)}, 0,
         {"polygon 0,1 0,-1 10,-1 10,1", "polygon 10,2 10,-2 20,-2 20,2"}},
        {"a closed polyline draws its first segment last", {at(0, 0, 2), at(10, 0, 2), at(10, 10, 2), at(0, 10, 2)},
         kWidePolylineClosed,
         {"polygon 9,1 11,-1 11,11 9,9", "polygon 9,9 11,11 -1,11 1,9", "polygon 1,9 -1,11 -1,-1 1,1",
          "polygon 1,1 -1,-1 11,-1 9,1"}},
        {"a closed polyline whose first segment has no width", {at(0, 0), at(10, 0, 2), at(10, 10, 2)},
         kWidePolylineClosed,
         {"moveTo 0,0", "lineTo 10,0", "polygon 9,0 11,0 11,12.414 9,7.586",
          "polygon 9,7.586 11,12.414 -0.707,0.707 0.707,-0.707"}},
        {"a closed polyline that starts and ends with arcs: the first piece last, from the closing arc's end",
         {at(0, 0, 2, 1), at(10, 0, 2), at(10, 10, 2), at(0, 10, 2, 0.5)}, kWidePolylineClosed,
         {"polygon 5,-4 5,-6 11,0 9,0", "polygon 9,0 11,0 11,11 9,9", "polygon 9,9 11,11 0,11 0,9",
          "polygon 0,9 0,11 -3.5,5 -1.5,5", "polygon -1.5,5 -3.5,5 -0.6,-0.8 0.6,0.8",
          "polygon 0.6,0.8 -0.6,-0.8 5,-6 5,-4"}},
        {"a closed polyline of two vertices: there and back", {at(0, 0, 2), at(10, 0, 2)}, kWidePolylineClosed,
         {"polygon 0,1 0,-1 10,-1 10,1", "polygon 0,1 0,-1 10,-1 10,1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int result = 0;
        EXPECT_EQ(draw(c.vertices, c.flags, nullptr, &result), c.expected);
        EXPECT_EQ(result, 1);
        EXPECT_FALSE(context().widePolyline.ring[0] || context().widePolyline.closing) << "the buffers are freed";
    }
}

TEST_F(WidePolylineTest, CornersOfTheFirstSegment) {
    // (0,0), (10,0), (10,10) with widths of 2: own corners, then the mitred end at the turn.
    WideVertex a;
    a.point = {0, 0, 0};
    a.startWidth = a.endWidth = 2.0;
    WideCorners start, end;
    genCapAngles(a, {10, 0, 0}, start, end);
    const Point3 expected[4] = {{0, 1, 0}, {0, -1, 0}, {10, 1, 0}, {10, -1, 0}};
    const Point3 corners[4] = {start[0], start[1], end[0], end[1]};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(corners[i].x, expected[i].x, 1e-9) << i;
        EXPECT_NEAR(corners[i].y, expected[i].y, 1e-9) << i;
    }
    const struct {
        double cap;
        double corner0;  // angle of corner 0 about the start
    } caps[] = {{1.0, 1.0}, {5.0, 5.0 - 3.14159265358979323846}, {-1.0, 3.14159265358979323846 - 1.0}};
    for (const auto& c : caps) {
        a.startCapAngle = c.cap;  // turned to the side of the segment's normal when it points away
        genCapAngles(a, {10, 0, 0}, start, end);
        EXPECT_NEAR(start[0].x, std::cos(c.corner0), 1e-12) << c.cap;
        EXPECT_NEAR(start[0].y, std::sin(c.corner0), 1e-12) << c.cap;
        EXPECT_NEAR(start[1].x, -std::cos(c.corner0), 1e-12) << c.cap;
    }

    genBeginWidePolyline(drawing, 0, false);
    for (const Point3 p : {Point3{0, 0, 0}, Point3{10, 0, 0}, Point3{10, 10, 0}}) {
        WideVertex& v = context().widePolyline.input;
        v = WideVertex{};
        v.point = p;
        v.startWidth = v.endWidth = 2.0;
        ASSERT_EQ(genPolylineVertex(drawing, matrices.data(), nullptr), 1);
    }
    const WideCorners& next = context().widePolyline.cornerMemory;
    EXPECT_NEAR(next[0].x, 9.0, 1e-9);
    EXPECT_NEAR(next[0].y, 1.0, 1e-9);
    EXPECT_NEAR(next[1].x, 11.0, 1e-9);
    EXPECT_NEAR(next[1].y, -1.0, 1e-9);
    genEndWidePolyline(drawing);
}

TEST_F(WidePolylineTest, MitreLimits) {
    const auto vertex = [](double x, double y, double startWidth, double endWidth) {
        WideVertex v;
        v.point = {x, y, 0};
        v.startWidth = startWidth;
        v.endWidth = endWidth;
        return v;
    };
    EXPECT_EQ(genJoinLimit(vertex(0, 0, 2, 2), vertex(10, 0, 2, 2), vertex(10, 5, 0, 0)), kMitreAngleLimit);
    EXPECT_NEAR(genJoinLimit(vertex(0, 0, 2, 4), vertex(10, 0, 4, 4), vertex(10, 40, 0, 0)),
                kMitreAngleLimit + (1.0 / 40.0) * 2.0, 1e-15)
        << "widths changing by 2 over segments of 10 and 40";
    EXPECT_EQ(genJoinLimit(vertex(0, 0, 2, 4), vertex(0, 0, 4, 4), vertex(10, 40, 0, 0)), kMitreAngleLimit)
        << "a segment of no length";
}

TEST_F(WidePolylineTest, OutlinesWithoutFill) {
    drawing->header->fillmode = 0;
    const uint32_t before = context().segmentCounter;
    EXPECT_EQ(draw({at(0, 0, 2), at(10, 0, 2)}),
              (Lines{"moveTo 0,-1", "lineTo 0,1", "lineTo 10,1", "lineTo 10,-1", "lineTo 0,-1"}))
        << "start edge, side 0, end edge, side 1";
    // The polyline's run, one for each of the two vertices and one for each of the four strokes.
    EXPECT_EQ(context().segmentCounter, before + 1 + 2 + 4);
}

TEST_F(WidePolylineTest, PatternsAlongWideSegments) {
    const LinetypeRecord dashed = dashedLinetype(drawing);
    const Lines plain{"polygon 0,0.5 0,-0.5 10,-0.5 10,0.5"};
    // A width of 1 spans 2 x 1 x 1,000 device units: the dashes are drawn, each as wide as the
    // segment.
    Lines dashes = draw({at(0, 0, 1), at(10, 0, 1)}, 0, &dashed);
    ASSERT_GT(dashes.size(), 1u);
    for (const std::string& line : dashes) EXPECT_TRUE(line.starts_with("polygon")) << line;
    EXPECT_EQ(drawing->header->ltscale, 1.0) << "LTSCALE is put back";
    EXPECT_EQ(context().linetypeEnable, 1);
    EXPECT_EQ(context().minimumElementLength, 0.0);

    // A width of 0.001 spans 2 device units: too small for a pattern, the quadrilateral is filled.
    EXPECT_EQ(draw({at(0, 0, 0.001), at(10, 0, 0.001)}, 0, &dashed),
              (Lines{"polygon 0,0.001 0,0 10,0 10,0.001"}));
    EXPECT_EQ(context().linetypeEnable, 1);

    // With PSLTSCALE 1 the width does not switch the pattern off.
    drawing->header->psltscale = 1;
    dashes = draw({at(0, 0, 0.001), at(10, 0, 0.001)}, 0, &dashed);
    EXPECT_GT(dashes.size(), 1u);
    EXPECT_EQ(draw({at(0, 0, 1), at(10, 0, 1)}), plain) << "no linetype: the quadrilateral";
}

TEST_F(WidePolylineTest, LinetypeAdaptation) {
    const struct {
        const char* name;
        double startWidth, endWidth, curveLength, arcRadius;
        int16_t psltscale;
        uint8_t paperSpace;
        uint8_t linetypeEnable;
        double minimum, ltscale;
    } cases[] = {
        {"wide enough for its pattern", 1.0, 2.0, 0.0, 0.0, 0, 0, 1, 0.5, 2.0},
        {"too thin", 0.001, 0.001, 0.0, 0.0, 0, 0, 0, 0.0005, 2.0},
        {"too thin in paper space", 0.001, 0.001, 0.0, 0.0, 0, 1, 1, 0.0005, 2.0},
        {"a piece of an arc", 2.0, 2.0, 3.0, 4.0, 0, 0, 1, 1.0, 2.0 * (4.0 - (0.5 - 1.0 / 32.0)) / 4.0},
        {"a width of 0 keeps the pattern's own scale", 0.0, 2.0, 0.0, 0.0, 0, 0, 1, 0.0, 2.0},
        {"PSLTSCALE 1 changes nothing", 0.001, 0.001, 3.0, 4.0, 1, 0, 1, 0.0, 2.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drawing->header->ltscale = 2.0;
        drawing->header->psltscale = c.psltscale;
        context().paperSpace = c.paperSpace;
        context().linetypeEnable = 1;
        WideVertex v;
        v.startWidth = c.startWidth;
        v.endWidth = c.endWidth;
        v.smallerWidth = std::min(c.startWidth, c.endWidth);
        v.curveLength = c.curveLength;
        v.arcRadius = c.arcRadius;
        genWideLinetypeBegin(drawing, v);
        EXPECT_EQ(context().linetypeEnable, c.linetypeEnable);
        EXPECT_DOUBLE_EQ(context().minimumElementLength, c.minimum);
        EXPECT_EQ(context().minimumElementOff, c.minimum == 0.0 ? 1 : 0);
        EXPECT_DOUBLE_EQ(drawing->header->ltscale, c.ltscale);
        genWideLinetypeEnd(drawing);
        EXPECT_EQ(drawing->header->ltscale, 2.0);
        EXPECT_EQ(context().linetypeEnable, 1);
        EXPECT_EQ(context().minimumElementLength, 0.0);
        EXPECT_EQ(context().minimumElementOff, 1);
    }
}

TEST_F(WidePolylineTest, WaitingWidePiecesAreFilledAtTheEnd) {
    // A pattern too long for the drawer to lay along the segment: the drawer draws the segment
    // as one wide piece that waits to be joined to the next; the polyline's end fills it.
    LinetypeRecord sparse = dashedLinetype(drawing);
    sparse.dashes[0].length = 1e-3;
    sparse.dashes[1].length = -1e-3;
    sparse.patternLength = 2e-3;
    const Lines lines = draw({at(0, 0, 2), at(10, 0, 2)}, 0, &sparse);
    EXPECT_EQ(lines, (Lines{"polygon 0,1 0,-1 10,-1 10,1"}));
    for (const LinetypeState& state : context().linetypeStates) EXPECT_EQ(state.widePending, 0);
}

TEST_F(WidePolylineTest, MemoryFailures) {
    test::recordErrorReasons();
    const struct {
        const char* name;
        std::vector<PolylineVertex> vertices;
        uint8_t flags;
        int expected;
    } cases[] = {
        {"a ring slot", {at(0, 0, 2), at(10, 0, 2)}, 0, kErrorRingSlotNoMemory},
        {"the closing copy of a zero-width first segment", {at(0, 0), at(10, 0), at(10, 10)}, kWidePolylineClosed,
         kErrorClosingCopyNoMemory},
        {"the closing copy of a wide first segment", {at(0, 0, 2), at(10, 0, 2), at(10, 10, 2)}, kWidePolylineClosed,
         kErrorWideClosingCopyNoMemory},
        {"the work vertex of an arc", {at(0, 0, 2, 1), at(10, 0, 2)}, 0, kErrorArcVertexNoMemory},
    };
    const std::vector<int> ours{kErrorRingSlotNoMemory, kErrorClosingCopyNoMemory, kErrorWideClosingCopyNoMemory,
                                kErrorArcVertexNoMemory};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> seen;
        for (long failAt = 0;; ++failAt) {
            ASSERT_LT(failAt, 200);
            gSystemContext->errorNumber = 0;
            test::recordedErrorReasons().clear();
            dbFailAllocationAfter(failAt);
            const int result = genDrawWidePolyline(drawing, c.vertices, c.flags, false, matrices.data(), nullptr);
            dbFailAllocationAfter(-1);
            const int error = gSystemContext->errorNumber;
            if (result == 0) {
                EXPECT_NE(std::find(ours.begin(), ours.end(), error), ours.end()) << error;
                EXPECT_EQ(test::recordedErrorReasons(), std::vector<int>{kErrorReasonNoMemory});
                EXPECT_FALSE(context().widePolyline.ring[0] || context().widePolyline.closing);
                seen.push_back(error);
            } else if (error == 0) {
                break;
            }
        }
        EXPECT_NE(std::find(seen.begin(), seen.end(), c.expected), seen.end());
    }
}

class MeshTest : public WidePolylineTest {
protected:
    EntityRecord vertexRecord(double x, double y, uint8_t flags) {
        EntityRecord e = entity(kEntityVertex);
        VertexBody& v = e.bodyAs<VertexBody>();
        v.point = {x, y, 0};
        v.flags = flags;
        return e;
    }
    EntityRecord faceRecord(std::initializer_list<int16_t> corners, int16_t colour = kColourByLayer) {
        EntityRecord e = entity(kEntityVertex);
        e.header.colour = colour;
        VertexBody& v = e.bodyAs<VertexBody>();
        v.flags = 128;
        v.faceVertexCount = int16_t(corners.size());
        std::copy(corners.begin(), corners.end(), v.faceVertices.begin());
        return e;
    }
    std::vector<const EntityRecord*> pointers(const std::vector<EntityRecord>& records) {
        std::vector<const EntityRecord*> out;
        for (const EntityRecord& r : records) out.push_back(&r);
        return out;
    }
    // Each line-to as the edge from where the pen stood.
    static std::vector<std::string> edges(const Lines& lines) {
        std::vector<std::string> out;
        std::string pen;
        for (const std::string& line : lines) {
            if (line.starts_with("lineTo")) out.push_back(pen + "-" + line.substr(7));
            if (line.starts_with("moveTo") || line.starts_with("lineTo")) pen = line.substr(7);
        }
        return out;
    }
    // A 3 x 3 grid of vertices 10 apart, then the SEQEND.
    std::vector<EntityRecord> grid(int rows, int columns) {
        std::vector<EntityRecord> records;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) records.push_back(vertexRecord(10.0 * c, 10.0 * r, 64));
        records.push_back(entity(kEntitySequenceEnd));
        return records;
    }
};

TEST_F(MeshTest, PolyfaceFacesHideTheirNegativeEdges) {
    const std::vector<EntityRecord> records{
        vertexRecord(0, 0, 192), vertexRecord(10, 0, 192), vertexRecord(10, 10, 192), vertexRecord(0, 10, 192),
        faceRecord({1, 2, -3, 4}, 3), faceRecord({2, 9}), entity(kEntitySequenceEnd), faceRecord({1, 3}),
    };
    const struct {
        const char* name;
        int16_t splframe;
        std::vector<std::string> edges;
    } cases[] = {
        {"edge 3-4 hidden", 0, {"0,0-10,0", "10,0-10,10", "0,10-0,0"}},
        {"SPLFRAME shows it", 1, {"0,0-10,0", "10,0-10,10", "10,10-0,10", "0,10-0,0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        drawing->header->splframe = c.splframe;
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        EXPECT_EQ(genPolyfaceMesh(drawing, pointers(records), 5, matrices.data(), nullptr), 1);
        Lines lines = drawn();
        EXPECT_EQ(lines.front(), "color 3") << "the face's own colour";
        EXPECT_EQ(edges(lines), c.edges) << "no edge to a corner the mesh lacks, none after the SEQEND";
    }
}

TEST_F(MeshTest, PolygonMeshesDrawTheirEdgeNetwork) {
    const std::vector<EntityRecord> nine = grid(3, 3);
    const struct {
        const char* name;
        int16_t flags;
        size_t edges;
    } cases[] = {
        {"open in both directions", 0, 12},
        {"closed in N: an outline of the last and first columns per row", 0x20, 12 + 2 * 4},
        {"closed in M: the first row once more under the last", 0x01, 12 + 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PolylineBody polyline;
        polyline.flags = int16_t(0x10 | c.flags);
        polyline.meshM = 3;
        polyline.meshN = 3;
        recorder.clear();
        EXPECT_EQ(genPolygonMesh(drawing, polyline, pointers(nine), matrices.data(), nullptr), 1);
        EXPECT_EQ(recorder.linesOf("lineTo").size(), c.edges);
    }
    // A mesh whose vertices end early is drawn as far as they go.
    std::vector<EntityRecord> short_ = grid(2, 3);
    PolylineBody polyline;
    polyline.meshM = 3;
    polyline.meshN = 3;
    recorder.clear();
    EXPECT_EQ(genPolygonMesh(drawing, polyline, pointers(short_), matrices.data(), nullptr), 1);
    EXPECT_EQ(recorder.linesOf("lineTo").size(), 7u);
    // The surface densities replace the counts of a smooth surface, after one vertex passed over.
    polyline.curveType = 6;
    polyline.densityM = 2;
    polyline.densityN = 2;
    recorder.clear();
    EXPECT_EQ(genPolygonMesh(drawing, polyline, pointers(nine), matrices.data(), nullptr), 1);
    EXPECT_EQ(edges(drawn()).front(), "10,0-20,0") << "the second vertex starts the mesh";
    EXPECT_EQ(recorder.linesOf("lineTo").size(), 4u);
}

TEST_F(MeshTest, MeshMemoryFailures) {
    const std::vector<EntityRecord> nine = grid(3, 3);
    PolylineBody polyline;
    polyline.flags = 0x01;
    polyline.meshM = 3;
    polyline.meshN = 3;
    std::vector<int> seen;
    for (long failAt = 0; failAt < 3; ++failAt) {
        gSystemContext->errorNumber = 0;
        dbFailAllocationAfter(failAt);
        const int result = genPolygonMesh(drawing, polyline, pointers(nine), matrices.data(), nullptr);
        dbFailAllocationAfter(-1);
        if (result == 0) seen.push_back(gSystemContext->errorNumber);
    }
    EXPECT_EQ(seen, (std::vector<int>{kErrorMeshVerticesNoMemory, kErrorMeshVerticesNoMemory, kErrorMeshFirstRowNoMemory}));
    gSystemContext->errorNumber = 0;
    dbFailAllocationAfter(0);
    EXPECT_EQ(genPolyfaceMesh(drawing, pointers(nine), 7, matrices.data(), nullptr), 0);
    dbFailAllocationAfter(-1);
    EXPECT_EQ(gSystemContext->errorNumber, kErrorMeshVerticesNoMemory);
}

} // namespace
} // namespace tracemill
