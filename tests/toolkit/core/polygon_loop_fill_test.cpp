// Polygons with holes filled as triangle strips: the loops become one region for the polygon
// clipper, whose strips leave through the strip hook or as single triangles.
#include "toolkit/core/polygon_loop_fill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/core/toolkit_startup.h"
#include "toolkit_fixture.h"

namespace tracemill {

// Stands in for the polygon clipper's conversion: keeps the region it is given and answers
// with one strip per loop, the loop's points in order.
LoopSet gRegion;
int32_t genLoopSetToStrips(const LoopSet& set, StripSet& out) {
    gRegion = set;
    out.strips.clear();
    for (const Loop& loop : set.loops) out.strips.push_back(loop.points);
    return int32_t(out.strips.size());
}

namespace {

std::vector<std::string> gCalls;
int gHost = 0;

std::string pointsText(const DevicePoint* points, int32_t first, int32_t last) {
    std::string text;
    for (int32_t i = first; i <= last; ++i) text += " " + std::to_string(points[i].x) + "," + std::to_string(points[i].y);
    return text;
}
void strip(const DevicePoint* points, int32_t count, HostWord host) {
    gCalls.push_back("strip" + pointsText(points, 0, count - 1) + (host == &gHost ? "" : " (wrong host)"));
}
void polygon(PointRange range, const DevicePoint* points, HostWord host) {
    gCalls.push_back("triangle" + pointsText(points, range.first, range.last) + (host == &gHost ? "" : " (wrong host)"));
}

class PolygonLoopFill : public test::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        ASSERT_EQ(dbInitToolkit(), 1);
        gCalls.clear();
        gRegion = {};
    }
    void TearDown() override {
        dbTermToolkit();
        ToolkitTest::TearDown();
    }
};

const DevicePoint kPoints[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {2, 2}, {4, 2}, {3, 4}};
const int32_t kCounts[] = {4, 3};

TEST_F(PolygonLoopFill, TheLoopsBecomeOneRegion) {
    dbFillPolygonLoops(kPoints, kCounts, 2, &gHost);
    ASSERT_EQ(gRegion.loops.size(), 2u);
    EXPECT_EQ(gRegion.loops[0].points, (std::vector<Point2>{{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
    EXPECT_EQ(gRegion.loops[1].points, (std::vector<Point2>{{2, 2}, {4, 2}, {3, 4}}));
}

TEST_F(PolygonLoopFill, StripsGoToTheStripHook) {
    dbSetTriangleStripHook(strip);
    dbFillPolygonLoops(kPoints, kCounts, 2, &gHost);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"strip 0,0 10,0 10,10 0,10", "strip 2,2 4,2 3,4"}));
}

TEST_F(PolygonLoopFill, WithoutAStripHookEachTriangleIsAPolygon) {
    dbSetPolygonHook(polygon);
    dbFillPolygonLoops(kPoints, kCounts, 2, &gHost);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"triangle 0,0 10,0 10,10", "triangle 10,0 10,10 0,10",
                                                "triangle 2,2 4,2 3,4"}));
}

TEST_F(PolygonLoopFill, StripPointsAreRoundedToDeviceCoordinates) {
    dbSetTriangleStripHook(strip);
    StripSet strips;
    strips.strips = {{{0.4, 0.6}, {-1.5, 2.5}, {1e300, -1e300}}};
    dbSendTriangleStrips(strips, &gHost);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"strip 0,1 -2,3 2147483647,-2147483648"}));
}

TEST_F(PolygonLoopFill, NoLoopsNoOutput) {
    dbSetTriangleStripHook(strip);
    const int32_t negative[] = {-3};
    dbFillPolygonLoops(kPoints, negative, 1, &gHost);
    dbFillPolygonLoops(kPoints, kCounts, 0, &gHost);
    dbFillPolygonLoops(nullptr, kCounts, 2, &gHost);
    EXPECT_TRUE(gCalls.empty()) << "a negative count is an empty loop, which makes no triangle";
}

} // namespace
} // namespace tracemill
