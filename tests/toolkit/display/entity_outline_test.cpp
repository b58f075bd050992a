// Entity outlines: the point lists of circles, ellipses, polylines and regions (a stand-in for
// the SAT body drawer reports a region's edges), the boundary of a spatial filter, and the
// frame drawn along such a boundary.
#include "toolkit/display/entity_outline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/object_record.h"
#include "toolkit/core/paged_stream.h"

namespace tracemill {
namespace {

constexpr double kOutlinePi = std::numbers::pi;

std::string pointsText(const std::vector<Point2>& points) {
    std::string text;
    for (const Point2& p : points) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%s%g,%g", text.empty() ? "" : " ", std::round(p.x * 1e6) / 1e6 + 0.0,
                      std::round(p.y * 1e6) / 1e6 + 0.0);
        text += buffer;
    }
    return text;
}

class EntityOutline : public test::DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        dbSetCurveResolutionAlt(5);
    }
    void TearDown() override {
        dbSetCurveResolutionAlt(10);
        DisplayTest::TearDown();
    }
    std::vector<Point2> outline(Handle handle, int expected = 1) {
        std::vector<Point2> points{{9, 9}};
        EXPECT_EQ(genEntityOutline(drawing, handle, points), expected);
        return points;
    }
    Handle addLwpolyline(const std::vector<LwpolylineVertex>& vertices) {
        EntityRecord e = lwpolyline({});
        e.bodyAs<LwpolylineBody>().vertices.assign(vertices.begin(), vertices.end());
        return add(std::move(e));
    }
};

TEST_F(EntityOutline, CurvesAndPolylines) {
    EntityRecord circle = entity(kEntityCircle);
    circle.bodyAs<CircleBody>() = {{10, 20, 0}, 5.0};
    const Handle circleHandle = add(std::move(circle));
    const std::vector<Point2> circlePoints = outline(circleHandle);
    ASSERT_EQ(circlePoints.size(), 4u * 5 + 1) << "4 x count + 1 points";
    EXPECT_EQ(pointsText({circlePoints.front()}), "15,20");
    EXPECT_EQ(pointsText({circlePoints.back()}), "15,20");
    EXPECT_EQ(pointsText({circlePoints[5]}), "10,25") << "a quarter turn on";
    // The entity now takes the alternate curve resolution.
    EXPECT_NE(dbFindEntityNode(drawing, drawing->modelSpace, circleHandle)->record.header.flags & kEntityAltCurveResolution, 0);

    EntityRecord ellipse = entity(kEntityEllipse);
    ellipse.bodyAs<EllipseBody>() = {{0, 0, 0}, {0, 4, 0}, 0.5, 0.0, kOutlinePi};
    const std::vector<Point2> half = outline(add(std::move(ellipse)));
    ASSERT_EQ(half.size(), 2u * 5 + 1);
    EXPECT_EQ(pointsText({half.front(), half[5], half.back()}), "0,4 -2,0 0,-4");

    const struct {
        const char* name;
        std::vector<LwpolylineVertex> vertices;
        std::string expected;
    } polylines[] = {
        {"coincident vertices written once", {{{0, 0}}, {{0, 0}}, {{3, 0}}, {{3, 0}}, {{3, 4}}}, "0,0 3,0 3,4"},
        {"a straight closing segment is not written", {{{0, 0}}, {{2, 0}}, {{2, 2}}}, "0,0 2,0 2,2"},
        {"bulge 1 on the last vertex: the closing half circle", {{{0, 0}}, {{2, 0}}, {{2, 2}, 1.0}}, ""},
    };
    for (const auto& c : polylines) {
        SCOPED_TRACE(c.name);
        const std::vector<Point2> points = outline(addLwpolyline(c.vertices));
        if (!c.expected.empty()) {
            EXPECT_EQ(pointsText(points), c.expected);
            continue;
        }
        // From (2, 2) counter-clockwise about (1, 1) round to (0, 0): 2 x count chords, halfway
        // at (0, 2).
        ASSERT_EQ(points.size(), 3u + 10);
        EXPECT_EQ(pointsText({points[0], points[1], points[2], points[7], points.back()}), "0,0 2,0 2,2 0,2 0,0");
        for (size_t i = 2; i < points.size(); ++i)
            EXPECT_NEAR(std::hypot(points[i].x - 1, points[i].y - 1), std::sqrt(2.0), 1e-9);
    }

    // Kinds without an outline, and handles of nothing: 0 and no points.
    EXPECT_TRUE(outline(add(lineFrom({0, 0, 0}, {1, 1, 0})), 0).empty());
    EXPECT_TRUE(outline(Handle{0x7FFF}, 0).empty());
}

// A stand-in for the SAT body drawer: reads all the text and reports the edges of a test.
std::vector<std::vector<Point2>> gRegionEdges;
int32_t gRegionCount = 0;
int32_t reportEdges(const SatCallbackRecord& record) {
    char buffer[512];
    while (record.read(buffer, 512, record.user) > 0) {
    }
    gRegionCount = record.outputValue;
    for (const std::vector<Point2>& edge : gRegionEdges) {
        record.begin(edge.size() == 2 ? 1 : 3, record.user);
        for (const Point2& p : edge) record.vertex(p.x, p.y, 0.0, record.user);
        record.end(record.user);
    }
    return 1;
}

TEST(RegionOutline, EdgesJoinIntoChains) {
    AcisBody region;
    region.satText.create(64)->bytes = {'4', '0', '0'};
    const struct {
        const char* name;
        std::vector<std::vector<Point2>> edges;
        std::string expected;
    } cases[] = {
        {"four edges of a square in order", {{{0, 0}, {1, 0}}, {{1, 0}, {1, 1}}, {{1, 1}, {0, 1}}, {{0, 1}, {0, 0}}},
         "0,1 0,0 1,0 1,1 0,1"},
        {"four edges in any order and direction",
         {{{0, 0}, {1, 0}}, {{1, 1}, {1, 0}}, {{1, 1}, {0, 1}}, {{0, 0}, {0, 1}}}, "1,1 1,0 0,0 0,1 1,1"},
        {"ends that meet within the tolerance", {{{0, 0}, {1, 0}}, {{1 + 1e-8, 0}, {1, 1}}, {{1, 1}, {0, 0}}},
         "1,1 0,0 1,0 1,1"},
        {"two squares: tied back to the first chain's start",
         {{{0, 0}, {1, 0}}, {{1, 0}, {1, 1}}, {{1, 1}, {0, 0}}, {{5, 5}, {6, 5}}, {{6, 5}, {6, 6}}, {{6, 6}, {5, 5}}},
         "1,1 0,0 1,0 1,1 6,6 5,5 6,5 6,6 1,1"},
        {"an open chain repeats its last point", {{{0, 0}, {1, 0}}, {{1, 0}, {1, 1}}}, "0,0 1,0 1,1 1,1"},
        {"a polyline edge of three points", {{{0, 0}, {1, 0}, {1, 1}}, {{1, 1}, {0, 0}}}, "1,1 0,0 1,0 1,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gRegionEdges = c.edges;
        std::vector<Point2> points;
        genRegionOutline(region, 7, points, reportEdges);
        EXPECT_EQ(pointsText(points), c.expected);
        EXPECT_EQ(gRegionCount, 7);
    }
    // A region without SAT text adds nothing.
    std::vector<Point2> points;
    genRegionOutline(AcisBody{}, 7, points, reportEdges);
    EXPECT_TRUE(points.empty());
}

TEST_F(EntityOutline, ClipBoundariesAndFrames) {
    SpatialFilterBody filter;
    // The clip transform moves by (10, 0, 0); the inverse block transform scales by 2.
    filter.clipTransform = {1, 0, 0, 0, 1, 0, 0, 0, 1, 10, 0, 0};
    filter.inverseBlockTransform = {2, 1e-13, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0};
    filter.boundary = {{10, 20}, {30, 40}};
    std::vector<Point3> boundary;
    genClipBoundaryPoints(filter, boundary);
    ASSERT_EQ(boundary.size(), 4u) << "a rectangle's four corners";
    const Point3 corners[] = {{0, 40, 0}, {40, 40, 0}, {40, 80, 0}, {0, 80, 0}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(boundary[i].x, corners[i].x, 1e-9) << i;
        EXPECT_NEAR(boundary[i].y, corners[i].y, 1e-9) << i;
        EXPECT_EQ(boundary[i].z, 0.0) << i;
    }
    filter.boundary = {{10, 20}, {30, 40}, {10, 40}};
    genClipBoundaryPoints(filter, boundary);
    EXPECT_EQ(boundary.size(), 3u) << "a polygon's points";

    begin();
    context().planMask = 1;
    std::vector<Matrix4> matrices;
    for (int i = 0; i < context().viewportCount; ++i) matrices.push_back(context().viewports[size_t(i)].worldToDevice);
    recorder.clear();
    genDrawClipFrame(drawing, {{10, 10, 0}, {60, 10, 0}, {60, 40, 0}}, matrices.data(), nullptr);
    std::vector<std::string> lines = strokes();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "lineTo 10 10") << "closed back to the first point";
    recorder.clear();
    genDrawClipFrame(drawing, {}, matrices.data(), nullptr);
    EXPECT_TRUE(recorder.lines().empty()) << "no points, nothing drawn";
}

} // namespace
} // namespace tracemill
