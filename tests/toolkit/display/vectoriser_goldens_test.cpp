// Goldens of the entity vectoriser: what each kind and each edge case of visibility, properties
// and draw order records through the hook table, on drawings built through the database API.
// The square view maps world (x, y) to device (x, y) (truncated), so that the goldens read as
// world coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "error_callback_test.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/display/draw_order.h"
#include "toolkit/display/entity_plot_style.h"
#include "vectoriser_fixture.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;
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

} // namespace
} // namespace tracemill
