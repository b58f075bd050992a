// Polygons with holes filled as triangle strips: the loops become one region for the polygon
// clipper, whose strips leave through the strip hook or as single triangles.
#include "toolkit/display/polygon_loop_fill.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/toolkit_startup.h"
#include "toolkit_fixture.h"

namespace tracemill {

namespace {

std::vector<std::string> gFillCalls;
std::vector<std::vector<Point2>> gFillShapes; // the points of every strip or triangle sent
int gFillHost = 0;

void keepFillShape(const DevicePoint* points, int32_t first, int32_t last) {
    std::vector<Point2>& shape = gFillShapes.emplace_back();
    for (int32_t i = first; i <= last; ++i)
        shape.push_back({double(points[i].x), double(points[i].y)});
}

std::string fillPointsText(const DevicePoint* points, int32_t first, int32_t last) {
    std::string text;
    for (int32_t i = first; i <= last; ++i)
        text += " " + std::to_string(points[i].x) + "," + std::to_string(points[i].y);
    return text;
}
void stripHook(const DevicePoint* points, int32_t count, HostWord host) {
    keepFillShape(points, 0, count - 1);
    gFillCalls.push_back("strip" + fillPointsText(points, 0, count - 1) +
                         (host == &gFillHost ? "" : " (wrong host)"));
}
void polygonHook(PointRange range, const DevicePoint* points, HostWord host) {
    keepFillShape(points, range.first, range.last);
    gFillCalls.push_back("triangle" + fillPointsText(points, range.first, range.last) +
                         (host == &gFillHost ? "" : " (wrong host)"));
}

class PolygonLoopFill : public test::ToolkitTest {
  protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        ASSERT_EQ(dbInitToolkit(), 1);
        gFillCalls.clear();
        gFillShapes.clear();
    }
    void TearDown() override {
        dbTermToolkit();
        ToolkitTest::TearDown();
    }
};

const DevicePoint kLoopPoints[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {2, 2}, {4, 2}, {3, 4}};
const int32_t kLoopCounts[] = {4, 3};

// How many of the triangles (of strips, or single) hold the point strictly inside.
int triangleCover(Point2 p) {
    int count = 0;
    for (const std::vector<Point2>& s : gFillShapes)
        for (size_t i = 2; i < s.size(); ++i) {
            const Point2 a = s[i - 2], b = s[i - 1], c = s[i];
            const double d1 = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
            const double d2 = (c.x - b.x) * (p.y - b.y) - (c.y - b.y) * (p.x - b.x);
            const double d3 = (a.x - c.x) * (p.y - c.y) - (a.y - c.y) * (p.x - c.x);
            if ((d1 > 0 && d2 > 0 && d3 > 0) || (d1 < 0 && d2 < 0 && d3 < 0)) ++count;
        }
    return count;
}

// The square less the triangle inside it, which the even-odd rule makes a hole (judged at
// points off the sides and diagonals of the triangles).
void expectTheSquareWithATriangularHole() {
    for (double y = -0.7129; y < 11; y += 0.5)
        for (double x = -0.6317; x < 11; x += 0.5) {
            const bool inSquare = x > 0 && x < 10 && y > 0 && y < 10;
            const bool inTriangle = y > 2 && y < 4 && x > 2 + (y - 2) / 2 && x < 4 - (y - 2) / 2;
            ASSERT_EQ(triangleCover({x, y}), inSquare && !inTriangle ? 1 : 0) << "at " << x << "," << y;
        }
}

TEST_F(PolygonLoopFill, StripsGoToTheStripHookAndCoverTheLoopsAsOneRegion) {
    dbSetTriangleStripHook(stripHook);
    dbFillPolygonLoops(kLoopPoints, kLoopCounts, 2, &gFillHost);
    ASSERT_FALSE(gFillCalls.empty());
    for (const std::string& call : gFillCalls)
        EXPECT_EQ(call.rfind("strip ", 0), 0u) << call;
    for (const std::string& call : gFillCalls)
        EXPECT_EQ(call.find("wrong host"), std::string::npos) << call;
    expectTheSquareWithATriangularHole();
}

TEST_F(PolygonLoopFill, WithoutAStripHookEachTriangleIsAPolygon) {
    dbSetPolygonHook(polygonHook);
    dbFillPolygonLoops(kLoopPoints, kLoopCounts, 2, &gFillHost);
    ASSERT_FALSE(gFillCalls.empty());
    for (const std::string& call : gFillCalls)
        EXPECT_EQ(call.rfind("triangle ", 0), 0u) << call;
    for (const std::vector<Point2>& shape : gFillShapes)
        EXPECT_EQ(shape.size(), 3u);
    expectTheSquareWithATriangularHole();
}

TEST_F(PolygonLoopFill, StripPointsAreRoundedToDeviceCoordinates) {
    dbSetTriangleStripHook(stripHook);
    StripSet strips;
    strips.strips = {{{0.4, 0.6}, {-1.5, 2.5}, {1e300, -1e300}}};
    dbSendTriangleStrips(strips, &gFillHost);
    EXPECT_EQ(gFillCalls, (std::vector<std::string>{"strip 0,1 -2,3 2147483647,-2147483648"}));
}

TEST_F(PolygonLoopFill, NoLoopsNoOutput) {
    dbSetTriangleStripHook(stripHook);
    const int32_t negative[] = {-3};
    dbFillPolygonLoops(kLoopPoints, negative, 1, &gFillHost);
    dbFillPolygonLoops(kLoopPoints, kLoopCounts, 0, &gFillHost);
    dbFillPolygonLoops(nullptr, kLoopCounts, 2, &gFillHost);
    EXPECT_TRUE(gFillCalls.empty()) << "a negative count is an empty loop, which makes no triangle";
}

} // namespace
} // namespace tracemill
