// Fills in device space: quadrilaterals shown filled or as outlines, the rectangle clipper,
// clip regions, loops with and without the poly-polygon hook, pictures and scratch buffers.
#include "toolkit/display/device_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/rectangle_clipper.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;

class DeviceFillTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        begin();
        context().planMask = 1;
        context().entity = DrawnEntity{};
        context().entity.kind = kEntitySolid;
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
    }
    const Matrix4* matrices() {
        viewportMatrices.clear();
        for (int i = 0; i < context().viewportCount; ++i) viewportMatrices.push_back(context().viewports[size_t(i)].worldToDevice);
        return viewportMatrices.data();
    }
    Lines fill(Point3 a, Point3 b, Point3 c, Point3 d) {
        recorder.clear();
        genFillQuad(drawing, a, b, c, d, matrices());
        return recorder.lines();
    }
    std::vector<Matrix4> viewportMatrices;
};

TEST_F(DeviceFillTest, QuadrilateralsInSolidOrder) {
    const struct {
        const char* name;
        Point3 a, b, c, d;
        Lines expected;
    } cases[] = {
        {"a square: corners 1, 2, 4, 3 around it", {10, 10, 0}, {20, 10, 0}, {10, 20, 0}, {20, 20, 0},
         {"polygon 10,10 20,10 20,20 10,20"}},
        {"third and fourth corner equal: a triangle", {10, 10, 0}, {20, 10, 0}, {15, 20, 0}, {15, 20, 0},
         {"polygon 15,20 10,10 20,10"}},
        {"four equal corners: nothing", {10, 10, 0}, {10, 10, 0}, {10, 10, 0}, {10, 10, 0}, {}},
        {"two distinct corners: a line", {10, 10, 0}, {10, 10, 0}, {30, 10, 0}, {30, 10, 0},
         {"moveTo 10 10", "lineTo 30 10"}},
        {"all on one line: nothing to fill", {10, 10, 0}, {20, 10, 0}, {30, 10, 0}, {40, 10, 0}, {}},
        {"lying exactly on the right edge", {100, 10, 0}, {100, 20, 0}, {100, 10, 0}, {100, 30, 0}, {}},
        {"cut by the rectangle", {80, 80, 0}, {120, 80, 0}, {80, 120, 0}, {120, 120, 0},
         {"polygon 100,80 100,100 80,100 80,80"}},
    };
    for (const auto& c : cases) EXPECT_EQ(fill(c.a, c.b, c.c, c.d), c.expected) << c.name;
}

TEST_F(DeviceFillTest, WithFillmodeOffAQuadrilateralIsItsOutline) {
    drawing->header->fillmode = 0;
    EXPECT_EQ(fill({10, 10, 0}, {20, 10, 0}, {10, 20, 0}, {20, 20, 0}),
              (Lines{"moveTo 10 10", "lineTo 20 10", "lineTo 20 20", "lineTo 10 20", "lineTo 10 10"}));
    context().entity.kind = dbClassHatch(drawing->classes);
    EXPECT_EQ(fill({10, 10, 0}, {20, 10, 0}, {10, 20, 0}, {20, 20, 0}), (Lines{"polygon 10,10 20,10 20,20 10,20"}))
        << "hatch fills stay filled";
    context().entity.kind = kEntityText;
    EXPECT_EQ(fill({10, 10, 0}, {20, 10, 0}, {10, 20, 0}, {20, 20, 0}).size(), 1u) << "and so do glyphs";
}

TEST_F(DeviceFillTest, AFillSeenEdgeOnIsItsOutline) {
    context().planMask = 0;
    EXPECT_EQ(fill({10, 10, 0}, {20, 10, 0}, {10, 20, 0}, {20, 20, 0}).size(), 5u) << "a move and four lines";
    context().entity.flags = kEntityHasExtrusion;
    context().entity.extrusion = {0, 0, -1};
    genOcsMatrix({0, 0, -1}, context().entity.objectMatrix);
    EXPECT_EQ(fill({-20, 10, 0}, {-10, 10, 0}, {-20, 20, 0}, {-10, 20, 0}), (Lines{"polygon 20,20 10,20 10,10 20,10"}))
        << "a normal along the view direction is filled, through its own coordinate system";
}

TEST(RectangleClipper, PolygonsAgainstTheWindow) {
    const ClipWindow window{0, 0, 10, 10};
    const struct {
        const char* name;
        std::vector<Point2> points;
        std::vector<DevicePoint> expected;
    } cases[] = {
        {"inside", {{1, 1}, {5, 1}, {5, 5}}, {{5, 5}, {1, 1}, {5, 1}}},
        {"clockwise: like its counter-clockwise mirror", {{5, 5}, {5, 1}, {1, 1}}, {{5, 5}, {1, 1}, {5, 1}}},
        {"crossing the right edge", {{5, 2}, {15, 2}, {15, 4}, {5, 4}}, {{10, 2}, {10, 4}, {5, 4}, {5, 2}}},
        {"first three points on one line: still clipped", {{2, 2}, {6, 2}, {20, 2}, {20, 8}, {2, 8}},
         {{10, 2}, {10, 8}, {2, 8}, {2, 2}, {6, 2}}},
        {"all right of the window", {{10, 1}, {12, 1}, {12, 3}}, {}},
        {"all below", {{1, -5}, {5, -5}, {5, 0}}, {}},
        {"coordinates truncated after 0.1", {{1.95, 1}, {5, 1}, {5, 5.85}}, {{5, 5}, {2, 1}, {5, 1}}},
    };
    for (const auto& c : cases) {
        std::vector<DevicePoint> out;
        EXPECT_EQ(genClipPolygonToWindow(window, c.points, out), c.expected.empty() ? 0 : 1) << c.name;
        EXPECT_EQ(out, c.expected) << c.name;
    }
}

TEST(RectangleClipper, DuplicatesAndSigns) {
    std::vector<Point2> points{{1, 1}, {1, 1 + 1e-12}, {2, 2}, {1 + 1e-11, 1}};
    genRemoveDuplicatePoints(points);
    EXPECT_EQ(points, (std::vector<Point2>{{1, 1}, {2, 2}}));
    EXPECT_EQ(genSign(1e-11), 0);
    EXPECT_EQ(genSign(-2.0), -1);
    EXPECT_EQ(genSign(3e-10), 1);
}

TEST_F(DeviceFillTest, AClippedLoopOfTenPointsBecomesTrianglesAndOneOfNineOnePolygon) {
    for (int n : {9, 10}) {
        std::vector<Point2> loop;
        for (int i = 0; i < n; ++i) {
            const double angle = 2 * 3.141592653589793 * i / n;
            loop.push_back({50 + 30 * std::cos(angle), 50 + 30 * std::sin(angle)});
        }
        LoopSet region;
        genLoopSetFromPoints(region, n, loop.data());
        recorder.clear();
        genFillLoopSet(drawing, region, nullptr);
        const Lines polygons = recorder.linesOf("polygon");
        if (n == 9) {
            ASSERT_EQ(polygons.size(), 1u) << "nine points: one polygon";
            EXPECT_EQ(std::count(polygons[0].begin(), polygons[0].end(), ','), 9);
        } else {
            EXPECT_GE(polygons.size(), 8u) << "ten points: the triangles of the region";
            for (const std::string& triangle : polygons) EXPECT_EQ(std::count(triangle.begin(), triangle.end(), ','), 3);
        }
    }
}

TEST_F(DeviceFillTest, AQuadrilateralInAClipRegionIsCutByIt) {
    const std::vector<Point3> square{{30, 30, 0}, {60, 30, 0}, {60, 60, 0}, {30, 60, 0}};
    genPushClipBoundary(context(), &square, nullptr);
    const Lines polygons = fill({10, 10, 0}, {50, 10, 0}, {10, 50, 0}, {50, 50, 0});
    ASSERT_FALSE(polygons.empty());
    for (const std::string& polygon : polygons) {
        std::istringstream points(polygon.substr(8));
        std::string point;
        while (points >> point) {
            const int x = std::stoi(point.substr(0, point.find(',')));
            const int y = std::stoi(point.substr(point.find(',') + 1));
            EXPECT_TRUE(x >= 30 && x <= 51 && y >= 30 && y <= 51) << polygon;
        }
    }
}

TEST_F(DeviceFillTest, LoopsWithAHoleGoToThePolyPolygonHookInOneCall) {
    const std::vector<Point3> points{{10, 10, 0}, {40, 10, 0}, {40, 40, 0}, {10, 40, 0},
                                     {20, 20, 0}, {30, 20, 0}, {30, 30, 0}, {20, 30, 0}};
    const int32_t counts[] = {4, 4};
    recorder.clear();
    EXPECT_EQ(genFillLoops(drawing, points.data(), counts, 2, matrices()), 1);
    const Lines calls = recorder.linesOf("polyPolygon");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("|"), std::string::npos) << "two counts in one call: " << calls[0];
    EXPECT_TRUE(recorder.linesOf("polygon").empty());

    dbSetPolyPolygonHook(nullptr);
    recorder.clear();
    genFillLoops(drawing, points.data(), counts, 2, matrices());
    EXPECT_TRUE(recorder.linesOf("polyPolygon").empty());
    EXPECT_GE(recorder.linesOf("polygon").size(), 2u) << "the outer loop alone, as triangles";
    for (const std::string& triangle : recorder.linesOf("polygon"))
        EXPECT_EQ(triangle.find("20,20"), std::string::npos) << "the hole plays no part: " << triangle;
    const int32_t none[] = {0};
    EXPECT_EQ(genFillLoops(drawing, points.data(), none, 1, matrices()), 0) << "no points";
}

TEST_F(DeviceFillTest, AFailedScratchBufferOutputsNothingAndTheNextFillWorks) {
    gOutputHookTable->fillDevicePoints = {};
    gOutputHookTable->fillPoints = {};
    dbFailAllocationAfter(1);  // the transforms are made, the scratch buffer is refused
    EXPECT_TRUE(fill({10, 10, 0}, {20, 10, 0}, {10, 20, 0}, {20, 20, 0}).empty());
    dbFailAllocationAfter(-1);
    EXPECT_EQ(fill({10, 10, 0}, {20, 10, 0}, {10, 20, 0}, {20, 20, 0}), (Lines{"polygon 10,10 20,10 20,20 10,20"}));
}

struct SeenPicture {
    std::array<int32_t, 4> rect;
    int32_t count;
};
std::vector<SeenPicture> gPictures;
void notePicture(const PictureRecord& picture, HostWord) { gPictures.push_back({picture.rect, picture.pointCount}); }

TEST_F(DeviceFillTest, APictureFillsItsQuadrilateral) {
    gPictures.clear();
    dbSetPictureHook(notePicture);
    const Point3 corners[4] = {{10, 10, 0}, {30, 10, 0}, {30, 20, 0}, {10, 20, 0}};
    PictureRecord picture;
    EXPECT_EQ(genPictureQuad(drawing, corners, matrices(), picture), 1);
    ASSERT_EQ(gPictures.size(), 1u);
    EXPECT_EQ(gPictures[0].rect, (std::array<int32_t, 4>{10, 10, 30, 20}));
    EXPECT_EQ(gPictures[0].count, 4);
}

struct SeenImage {
    std::array<DevicePoint, 4> corners;
    int32_t polygonCount;
    int32_t boundaryCount;
};
std::vector<SeenImage> gImages;
void noteImage(const FillRecord& image, HostWord) {
    gImages.push_back({image.corners, image.polygonCount, image.boundaryCount});
}

TEST_F(DeviceFillTest, AnImageFrameReachesTheHostWithItsClipBoundary) {
    gImages.clear();
    dbSetFillRecordHook(noteImage);
    ImagePlacement placement{{10, 10, 0}, {0.5, 0, 0}, {0, 0.5, 0}, 40, 20};
    FillRecord image;
    image.boundary = {{0, 0}, {40, 0}, {40, 20}};
    EXPECT_EQ(genImageFrame(drawing, placement, matrices(), image), 1);
    ASSERT_EQ(gImages.size(), 1u);
    EXPECT_EQ(gImages[0].corners[0], (DevicePoint{11, 11}));
    EXPECT_EQ(gImages[0].corners[2], (DevicePoint{31, 21}));
    EXPECT_EQ(gImages[0].polygonCount, 4);
    EXPECT_EQ(gImages[0].boundaryCount, 3);
    EXPECT_EQ(image.boundary.size(), 3u) << "the record's own boundary is kept";
}

} // namespace
} // namespace tracemill
