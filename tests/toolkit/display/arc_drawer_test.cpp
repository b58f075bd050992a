// Curves as chords: chord counts, arcs with their linetype fitted, ellipses, and the curves,
// fills and polylines the vectoriser draws with them.
#include "toolkit/display/arc_drawer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/core/arc_segments.h"
#include "toolkit/display/hatch/pattern_lines.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;
constexpr double kPi = std::numbers::pi;

class ArcTest : public test::DisplayTest {
protected:
    size_t lineTos() const { return recorder.linesOf("lineTo").size(); }
};

TEST_F(ArcTest, ChordCountsByResolutionAndRadius) {
    begin();
    DisplayContext& c = context();
    c.viewScale = 1.0;
    EXPECT_EQ(dbArcSegmentCount(10, kPi, 0), 20) << "a half circle at resolution 10";
    const struct {
        double radius;
        int32_t chords;
    } cases[] = {{1.0, 4}, {4.0, 12}, {1000.0, 64}, {0.0, 4}, {-5.0, 4}, {std::nan(""), 4}, {1e300, 64}};
    for (const auto& k : cases) EXPECT_EQ(genCircleSegmentCount(c, k.radius), k.chords) << k.radius;
    gOutputHookTable->circleChordLimit = 30;
    EXPECT_EQ(genCircleSegmentCount(c, 1000.0), 30);
    EXPECT_EQ(genCircleSegmentCount(c, 16.0), 24) << "25.1 rounded down to a multiple of 4";
    dbSetCurveResolution(0);
    gOutputHookTable->circleChordLimit = 0;
    c.entity.flags = 0;
    EXPECT_EQ(genArcChords(c, kPi, 4.0), 6) << "half of the circle's 12";
    c.entity.flags = kEntityAltCurveResolution;
    EXPECT_EQ(genArcChords(c, kPi, 4.0), 20) << "the alternate resolution, 10";
}

TEST_F(ArcTest, ALinetypeIsFittedToTheArc) {
    // An arc of length 10 (radius 10 over 1 radian) with LTSCALE and entity scale 1.
    begin();
    const struct {
        double pattern;
        double scale;
    } cases[] = {{3.2, 10.0 / 9.6}, {3.0, 10.0 / 12.0}, {4.1, 10.0 / 12.3}, {9.0, 10.0 / 18.0}, {12.0, 1.0}, {0.0, 1.0}};
    for (const auto& k : cases) {
        LinetypeRecord linetype;
        linetype.dashCount = 2;
        linetype.dashes[0].length = k.pattern / 2;
        linetype.dashes[1].length = -k.pattern / 2;
        linetype.patternLength = k.pattern;
        context().entity.linetypeScale = 1.0;
        std::vector<Matrix4> matrices(1, context().viewports[0].worldToDevice);
        genDrawArc(drawing, {50, 50, 0}, 0.0, 1.0, 10.0, matrices.data(), true, nullptr, nullptr, &linetype);
        EXPECT_NEAR(context().entity.linetypeScale, k.scale, 1e-12) << "pattern " << k.pattern;
    }
}

TEST_F(ArcTest, ArcsAndCirclesAsChords) {
    dbSetCurveResolution(10);
    EntityRecord circle = entity(kEntityCircle);
    circle.bodyAs<CircleBody>() = {{50, 50, 0}, 20};
    add(circle);
    begin();
    drawStrokes();
    EXPECT_EQ(lineTos(), 40u) << "4 x the resolution";
    EXPECT_EQ(strokes().front(), "moveTo 70 50");
    EXPECT_EQ(strokes().back(), "lineTo 70 50") << "the circle closes";

    clearModelSpace();
    EntityRecord arc = entity(kEntityArc);
    arc.bodyAs<ArcBody>() = {{50, 50, 0}, 20, 350 * kPi / 180, 10 * kPi / 180};
    add(arc);
    begin();
    drawStrokes();
    EXPECT_EQ(lineTos(), 2u) << "20 degrees through 0, not backwards";
    EXPECT_EQ(strokes().front(), "moveTo 70 47");
}

TEST_F(ArcTest, CurvesWithoutSizeDrawNothingOrADot) {
    for (double radius : {0.0, -3.0}) {
        EntityRecord circle = entity(kEntityCircle);
        circle.bodyAs<CircleBody>() = {{50, 50, 0}, radius};
        add(circle);
    }
    EntityRecord ellipse = entity(kEntityEllipse);
    ellipse.bodyAs<EllipseBody>() = {{30, 30, 0}, {0, 0, 0}, 0.5, 0, 2 * kPi};
    add(ellipse);
    begin();
    drawStrokes();
    for (const std::string& line : strokes()) {
        EXPECT_TRUE(line.ends_with(" 30 30")) << "only the ellipse without an axis, as points at its centre: " << line;
    }
    std::vector<Matrix4> matrices(1, context().viewports[0].worldToDevice);
    recorder.clear();
    genDrawArc(drawing, {10, 10, 0}, 1.0, 1.0, 0.0, matrices.data(), true, nullptr, nullptr, nullptr);
    EXPECT_EQ(lineTos(), 2u) << "an arc of zero sweep and radius: two chords of length 0";
}

TEST_F(ArcTest, AFullEllipseSweepsTwoPi) {
    dbSetCurveResolution(10);
    EntityRecord ellipse = entity(kEntityEllipse);
    ellipse.bodyAs<EllipseBody>() = {{50, 50, 0}, {30, 0, 0}, 0.5, 0, 0};
    add(ellipse);
    begin();
    drawStrokes();
    EXPECT_EQ(lineTos(), 40u);
    EXPECT_EQ(strokes().front(), "moveTo 80 50");
    EXPECT_EQ(strokes().back(), "lineTo 80 50");
    bool reachedMinor = false;
    for (const std::string& line : strokes()) reachedMinor = reachedMinor || line == "lineTo 50 65";
    EXPECT_TRUE(reachedMinor) << "the minor axis is half the major";
}

TEST_F(ArcTest, SolidsAndTracesFillOrShowTheirOutline) {
    EntityRecord solid = entity(kEntitySolid);
    solid.bodyAs<SolidBody>().corners = {Point3{10, 10, 0}, Point3{20, 10, 0}, Point3{10, 20, 0}, Point3{10, 10, 0}};
    add(solid);
    begin();
    drawStrokes();
    EXPECT_EQ(recorder.linesOf("polygon").size(), 1u) << "a triangle: corners 1, 2, 4, 3";
    drawing->header->fillmode = 0;
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 10 10", "lineTo 20 10", "moveTo 10 10", "lineTo 10 20"}))
        << "a SOLID whose fourth corner is its first: two runs";
}

TEST_F(ArcTest, AFaceDrawsItsVisibleEdges) {
    EntityRecord face = entity(kEntityFace3d);
    face.bodyAs<FaceBody>() = {{Point3{10, 10, 0}, Point3{20, 10, 0}, Point3{20, 20, 0}, Point3{10, 20, 0}}, 5};
    add(face);
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 20 10", "lineTo 20 20", "moveTo 10 20", "lineTo 10 10"}))
        << "invisible-edge flags 5: edges 2 and 4";
    drawing->header->splframe = 1;
    EXPECT_EQ(drawStrokes().size(), 5u) << "SPLFRAME shows all four";
}

TEST_F(ArcTest, APolylineBulgeIsAnArc) {
    dbSetCurveResolution(10);
    EntityRecord polyline = lwpolyline({{30, 50}, {70, 50}});
    polyline.bodyAs<LwpolylineBody>().vertices[0].bulge = 1.0;  // a half circle
    add(polyline);
    begin();
    drawStrokes();
    EXPECT_EQ(lineTos(), 20u);
    EXPECT_EQ(strokes().front(), "moveTo 30 50");
    EXPECT_EQ(strokes().back(), "lineTo 70 50");
    bool below = false;
    for (const std::string& line : strokes()) below = below || line == "lineTo 50 30";
    EXPECT_TRUE(below) << "a positive bulge turns counter-clockwise: from (30,50) through (50,30)";
}

TEST(HatchPatternLines, AreReadWithTheirFlags) {
    HatchBody hatch;
    hatch.patternType = 1;
    hatch.patternLines = {{0.7, {1, 2}, {0, 3}, {0.5, -0.25}}, {0.0, {0, 0}, {1, 1}, {}}};
    HatchPatternLines lines;
    ASSERT_EQ(genReadHatchPatternLines(hatch, lines), 1);
    EXPECT_EQ(lines.lines, hatch.patternLines);
    EXPECT_EQ(lines.patternFlags, 1);
    genFreeHatchPatternLines(lines);
    EXPECT_TRUE(lines.lines.empty());
}

} // namespace
} // namespace tracemill
