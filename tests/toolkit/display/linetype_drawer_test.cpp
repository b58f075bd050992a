// Linetype patterns laid along pieces: the stepper, centring, the solid fallbacks, pattern
// continuation across pieces of one entity, thickness, and wide pieces with their joins.
#include "toolkit/display/linetype_drawer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/display/line_intersection.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;

class LinetypeTest : public test::DisplayTest {
protected:
    // Adds a linetype of these element lengths; returns its handle.
    Handle addLinetype(const std::vector<double>& elements) {
        LinetypeRecord record;
        record.name = "PATTERN" + std::to_string(++linetypes);
        record.handle = dbNewHandle(*drawing);
        record.dashCount = int16_t(elements.size());
        for (size_t i = 0; i < elements.size(); ++i) {
            record.dashes[i].length = elements[i];
            record.patternLength += std::fabs(elements[i]);
        }
        EXPECT_EQ(dbLtypeAdd(drawing, record), 1);
        return record.handle;
    }
    EntityRecord dashedLine(Point3 a, Point3 b, Handle linetype) {
        EntityRecord e = lineFrom(a, b);
        e.header.linetype = linetype;
        return e;
    }
    // The strokes as {start x, end x} of each dash along y = 50.
    std::vector<std::pair<int, int>> dashes() const {
        std::vector<std::pair<int, int>> out;
        int start = 0;
        for (const std::string& line : strokes()) {
            const int x = std::stoi(line.substr(7));
            if (line.starts_with("moveTo")) start = x;
            else out.push_back({start, x}), start = x;
        }
        return out;
    }
    int linetypes = 0;
};

TEST_F(LinetypeTest, APatternIsCentredOnTheEntity) {
    // (0.5, -0.25) at pattern scale 10 on 100 device units: P = 7.5, 13 repetitions, 2.5 left
    // over; the line begins and ends with a dash of 3.75, twelve of 5 between them.
    add(dashedLine({0, 50, 0}, {100, 50, 0}, addLinetype({0.5, -0.25})));
    drawing->header->ltscale = 10.0;
    begin();
    drawStrokes();
    const auto d = dashes();
    ASSERT_EQ(d.size(), 14u);
    EXPECT_EQ(d.front(), std::make_pair(0, 4)) << "0.5 to 4.25";
    EXPECT_EQ(d[1], std::make_pair(6, 11)) << "6.75 to 11.75";
    EXPECT_EQ(d.back(), std::make_pair(96, 100)) << "96.75 to 100.5";
}

TEST_F(LinetypeTest, AStepperWalkLaysTheExactLengths) {
    begin();
    LinetypeRecord linetype;
    linetype.dashCount = 2;
    linetype.dashes[0].length = 0.5;
    linetype.dashes[1].length = -0.25;
    linetype.patternLength = 0.75;
    LinetypeState state;
    state.repetitions = state.repetitionsLeft = 13;
    state.owedStart = 0.375;
    state.entityStartPending = 0;
    PatternWalk walk;
    walk.unit = {1, 0, 0};
    walk.scale = 10;
    walk.remaining = 100;
    std::vector<double> steps;
    Point3 at{0, 0, 0};
    while (walk.remaining > 1e-10) {
        Point3 out;
        bool completed = false;
        const double d = genNextPatternStep(drawing, state, linetype, walk, at, out, completed);
        EXPECT_TRUE(completed);
        EXPECT_NEAR(out.x - at.x, std::fabs(d), 1e-12);
        steps.push_back(d);
        walk.remaining -= std::fabs(d);
        at = out;
    }
    std::vector<double> expected{3.75, -2.5};
    for (int i = 0; i < 12; ++i) expected.insert(expected.end(), {5.0, -2.5});
    expected.push_back(3.75);
    ASSERT_EQ(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_NEAR(steps[i], expected[i], 1e-12) << "step " << i;
}

TEST_F(LinetypeTest, WhenAPatternIsDrawnSolid) {
    const struct {
        const char* name;
        std::vector<double> elements;
        double ltscale;
        Lines expected;
    } cases[] = {
        {"elements averaging 1.5 device units", {0.5, -0.25}, 4.0, {"moveTo 0 50", "lineTo 100 50"}},
        {"a pattern of length 0", {0.0, 0.0}, 10.0, {"moveTo 0 50", "lineTo 100 50"}},
        {"a dash and a dot", {0.5, 0.0}, 10.0, {"moveTo 0 50", "lineTo 100 50"}},
        {"a thousand repetitions", {0.0025, -0.005}, 10.0, {"moveTo 0 50", "lineTo 100 50"}},
        {"longer than the line, without a dash: a dot at each end", {-150.0, 0.0}, 1.0,
         {"moveTo 0 50", "lineTo 0 50", "moveTo 100 50", "lineTo 100 50"}},
    };
    for (const auto& c : cases) {
        clearModelSpace();
        add(dashedLine({0, 50, 0}, {100, 50, 0}, addLinetype(c.elements)));
        drawing->header->ltscale = c.ltscale;
        begin();
        EXPECT_EQ(drawStrokes(), c.expected) << c.name;
    }
}

TEST_F(LinetypeTest, APatternRunsOnAcrossAVertexOfOneEntityAndRestartsWithAnother) {
    // Each half alone: a dash of 5 at each end around six repetitions of (5, -2.5).
    const Handle linetype = addLinetype({0.5, -0.25});
    EntityRecord continuing = lwpolyline({{0, 50}, {50, 50}, {100, 50}}, kLwpolylineContinuousLinetype);
    continuing.header.linetype = linetype;
    add(continuing);
    drawing->header->ltscale = 10.0;
    begin();
    drawStrokes();
    auto d = dashes();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d.back(), std::make_pair(53, 100)) << "the second half goes on after the gap that follows the first";

    clearModelSpace();
    EntityRecord restarting = lwpolyline({{0, 50}, {50, 50}, {100, 50}});
    restarting.header.linetype = linetype;
    add(restarting);
    begin();
    drawStrokes();
    d = dashes();
    const auto second = std::find_if(d.begin(), d.end(), [](const auto& dash) { return dash.first >= 50; });
    ASSERT_NE(second, d.end());
    EXPECT_EQ(*second, std::make_pair(50, 55)) << "the second half starts afresh with its own centred dash";
    EXPECT_EQ(d.back(), std::make_pair(95, 100));
}

TEST_F(LinetypeTest, AComplexElementWithoutItsStyleDrawsNothingButTheDashes) {
    const Handle linetype = addLinetype({0.5, -0.25, -0.25});
    for (auto& node : drawing->linetypes) {
        if (node.record.handle == linetype) {
            node.record.dashes[1].complexFlags = 2;
            node.record.dashes[1].style = Handle(0xDEAD);
        }
    }
    add(dashedLine({0, 50, 0}, {100, 50, 0}, linetype));
    drawing->header->ltscale = 10.0;
    begin();
    drawStrokes();
    EXPECT_EQ(dashes().size(), 11u) << "a dash of each repetition, the text left out";
}

TEST_F(LinetypeTest, AThickLineDrawsItsExtrudedCopy) {
    EntityRecord line = lineFrom({10, 10, 0}, {30, 10, 0});
    line.header.thickness = 5;
    line.header.extrusion = {0, 1, 0};
    add(line);
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 10 10", "lineTo 30 10", "lineTo 30 15", "lineTo 10 15", "lineTo 10 10"}));
}

TEST_F(LinetypeTest, WidePiecesAreFilledAndJoinedAtTheirVertex) {
    // An open polyline (20,20), (30,20), (30,30) with all widths 4 (widths under three device
    // units are drawn as lines): the first quadrilateral runs from (20,22), (20,18) to the
    // mitred corners (28,22) and (32,18); the second from there to (28,30) and (32,30).
    EntityRecord polyline = lwpolyline({{20, 20}, {30, 20}, {30, 30}}, kLwpolylineConstantWidth);
    polyline.bodyAs<LwpolylineBody>().constantWidth = 4;
    add(polyline);
    begin();
    context().planMask = 1;
    recorder.clear();
    genDrawDrawing(drawing);
    EXPECT_EQ(recorder.linesOf("polygon"),
              (Lines{"polygon 20,22 20,18 32,18 28,22", "polygon 28,22 32,18 32,30 28,30"}));
    polyline = lwpolyline({{20, 50}, {30, 50}}, kLwpolylineConstantWidth);
    polyline.bodyAs<LwpolylineBody>().constantWidth = 2;
    clearModelSpace();
    add(polyline);
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 20 50", "lineTo 30 50"})) << "a width under three device units is a line";
}

TEST(LineIntersection, LinesSegmentsAndParallels) {
    const struct {
        const char* name;
        Point2 a1, a2, b1, b2;
        int meets, crosses;
        Point2 at;
    } cases[] = {
        {"crossing", {0, 0}, {2, 2}, {0, 2}, {2, 0}, 1, 1, {1, 1}},
        {"lines meet beyond the segments", {0, 0}, {1, 1}, {5, 0}, {6, -1}, 1, 0, {2.5, 2.5}},
        {"parallel apart", {0, 0}, {1, 0}, {0, 1}, {1, 1}, 0, 0, {}},
        {"collinear sharing an end", {0, 0}, {1, 0}, {1, 0}, {2, 0}, 1, 1, {1, 0}},
        {"touching at an end", {0, 0}, {1, 0}, {1, -1}, {1, 1}, 1, 1, {1, 0}},
    };
    for (const auto& c : cases) {
        Point2 point;
        EXPECT_EQ(genLinesMeet(c.a1, c.a2, c.b1, c.b2, point), c.meets) << c.name;
        if (c.meets) {
            EXPECT_NEAR(point.x, c.at.x, 1e-12) << c.name;
            EXPECT_NEAR(point.y, c.at.y, 1e-12) << c.name;
        }
        EXPECT_EQ(genSegmentsCross(c.a1, c.a2, c.b1, c.b2), c.crosses) << c.name;
    }
}

TEST(WideOutline, CornersLieOnTheSideOfTheCapAngle) {
    WideSegment wide;
    Point3 start[2], end[2];
    genWideSegmentOutline({0, 0, 0}, {10, 0, 0}, wide, 2, 4, start, end);
    const Point3 expected[4] = {{0, 1, 0}, {0, -1, 0}, {10, 2, 0}, {10, -2, 0}};
    const Point3 actual[4] = {start[0], start[1], end[0], end[1]};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-12) << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-12) << i;
    }
    wide.startCapAngle = -3.14159265358979 / 2;  // the opposite side: turned back
    genWideSegmentOutline({0, 0, 0}, {10, 0, 0}, wide, 2, 4, start, end);
    EXPECT_NEAR(start[0].y, 1.0, 1e-9);
}

} // namespace
} // namespace tracemill
