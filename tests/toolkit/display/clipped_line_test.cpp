// Clipped line output and loop sets: segments in device units cut by the viewport's rectangle
// and by clip regions, the geometric tests under them, and the region operations.
#include "toolkit/display/clip/clipped_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/display/clip/loop_set.h"
#include "toolkit/display/clip_stack.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;

class ClippedLineTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        begin();
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
    }
    // Pushes a clip region (device points) above the viewports' own rectangles.
    void pushRegion(const std::vector<Point3>& loop) { genPushClipBoundary(context(), &loop, nullptr); }
    Lines draw(Point2 a, Point2 b) {
        genDrawClippedLine(drawing, a, b, 0);
        return strokes();
    }
};

struct SegmentCase {
    const char* name;
    Point2 a, b;
    Lines expected;
};

TEST_F(ClippedLineTest, SegmentsAgainstTheViewportRectangle) {
    // The viewport is x and y from 0 to 100.5.
    const SegmentCase cases[] = {
        {"wholly left", {-20, 10}, {-5, 90}, {}},
        {"wholly above", {10, 150}, {90, 200}, {}},
        {"inside", {10, 10}, {90, 20}, {"moveTo 10 10", "lineTo 90 20"}},
        {"inside end first: the piece runs from the cut back to it", {50, 50}, {150, 50}, {"moveTo 100 50", "lineTo 50 50"}},
        {"outside end first", {150, 50}, {50, 50}, {"moveTo 100 50", "lineTo 50 50"}},
        {"through both sides", {-50, 20}, {150, 20}, {"moveTo 100 20", "lineTo 0 20"}},
        {"across a corner, outside", {90, 120}, {120, 90}, {}},
        {"diagonal through", {-10, -10}, {110, 110}, {"moveTo 100 100", "lineTo 0 0"}},
        {"on the edge counts as inside", {0, 0}, {0, 100}, {"moveTo 0 0", "lineTo 0 100"}},
    };
    for (const SegmentCase& c : cases) {
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        EXPECT_EQ(draw(c.a, c.b), c.expected) << c.name;
    }
}

TEST_F(ClippedLineTest, APieceStartingWhereThePenStandsNeedsNoMove) {
    draw({10, 10}, {20.7, 10.2});
    draw({20.2, 10.9}, {30, 30});
    EXPECT_EQ(strokes(), (Lines{"moveTo 10 10", "lineTo 20 10", "lineTo 30 30"}));
}

TEST_F(ClippedLineTest, CoordinatesTruncateTowardZero) {
    context().viewports[0].clampedRect = {-100.0, -100.0, 100.0, 100.0};
    draw({-10.9, 10.9}, {-0.5, -3.7});
    EXPECT_EQ(strokes(), (Lines{"moveTo -10 10", "lineTo 0 -3"}));
}

TEST_F(ClippedLineTest, AHorizontalSegmentThroughASquareRegion) {
    pushRegion({{20, 20, 0}, {60, 20, 0}, {60, 60, 0}, {20, 60, 0}});
    EXPECT_EQ(draw({0, 40}, {90, 40}), (Lines{"moveTo 20 40", "lineTo 60 40"}));
    recorder.clear();
    EXPECT_EQ(draw({90, 30}, {0, 30}), (Lines{"moveTo 60 30", "lineTo 20 30"})) << "sorted along the segment";
}

TEST_F(ClippedLineTest, RegionCasesAtCornersAndHoles) {
    struct RegionCase {
        const char* name;
        Point2 a, b;
        Lines expected;
    };
    // A square region with a square hole.
    Loop outer{{{10, 10}, {90, 10}, {90, 90}, {10, 90}}, 0};
    Loop hole{{{40, 40}, {60, 40}, {60, 60}, {40, 60}}, 1};
    ClipBoundaryEntry entry;
    entry.regions.assign(1, LoopSet{{outer, hole}});
    context().clipBoundaries.push_back(entry);
    const RegionCase cases[] = {
        {"through the hole", {0, 50}, {100, 50}, {"moveTo 10 50", "lineTo 40 50", "moveTo 60 50", "lineTo 90 50"}},
        {"through a corner of the region: the midpoint decides", {0, 20}, {20, 0}, {}},
        {"diagonal through corners", {0, 0}, {100, 100}, {"moveTo 10 10", "lineTo 40 40", "moveTo 60 60", "lineTo 90 90"}},
        {"wholly inside the ring", {15, 15}, {30, 15}, {"moveTo 15 15", "lineTo 30 15"}},
        {"wholly inside the hole", {45, 45}, {55, 55}, {}},
    };
    for (const RegionCase& c : cases) {
        recorder.clear();
        gOutputHookTable->penPosition = {kPenPositionUnset, kPenPositionUnset};
        EXPECT_EQ(draw(c.a, c.b), c.expected) << c.name;
    }
}

int gTicks = 0;
void countTick(HostWord) { ++gTicks; }

TEST_F(ClippedLineTest, TheRefreshHookTicksEveryHundredSegments) {
    gTicks = 0;
    dbSetRefreshHook(countTick);
    for (int i = 0; i < 99; ++i) draw({-20, 0}, {-10, 0});
    EXPECT_EQ(gTicks, 0);
    draw({-20, 0}, {-10, 0});
    EXPECT_EQ(gTicks, 1) << "every clipped segment counts, visible or not";
    EXPECT_EQ(context().tickCounter, 0);
    for (int i = 0; i < 100; ++i) draw({-20, 0}, {-10, 0});
    EXPECT_EQ(gTicks, 2);
}

TEST_F(ClippedLineTest, SegmentsWidenTheCollectedExtentsBeforeClipping) {
    DisplayContext& c = context();
    c.extentsFlag = 0;
    c.extentsMinX = c.extentsMinY = 1e300;
    c.extentsMaxX = c.extentsMaxY = -1e300;
    draw({-50, 20}, {150, 30});
    EXPECT_EQ(c.extentsMinX, -50);
    EXPECT_EQ(c.extentsMaxX, 150);
    c.entity.flags = kEntityExtentsAfterClipping;
    draw({-80, 40}, {50, 40});
    EXPECT_EQ(c.extentsMinX, -50) << "with the flag only the visible piece widens the extents";
    c.extentsFlag = 1;
    c.entity.flags = 0;
    draw({-500, 20}, {10, 10});
    EXPECT_EQ(c.extentsMinX, -50) << "extents are collected only until the flag is set";
}

TEST(ClipGeometry, PointNearSegment) {
    const struct {
        const char* name;
        Point2 p, a, b;
        double tol;
        int expected;
    } cases[] = {
        {"on the segment", {5, 0}, {0, 0}, {10, 0}, 0.1, 1},
        {"beside it within tol", {5, 0.09}, {0, 0}, {10, 0}, 0.1, 1},
        {"beside it beyond tol", {5, 0.11}, {0, 0}, {10, 0}, 0.1, 0},
        {"beyond the end", {10.2, 0}, {0, 0}, {10, 0}, 0.1, 0},
        {"near the end", {10.05, 0.05}, {0, 0}, {10, 0}, 0.1, 1},
        {"segment shorter than tol", {0.05, 0}, {0, 0}, {0.01, 0}, 0.1, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(genPointNearSegment(c.p, c.a, c.b, c.tol), c.expected) << c.name;
}

TEST(ClipGeometry, PointInLoopAndLoops) {
    const Point2 square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(genPointInLoop({5, 5}, 4, square, 1e-6), 1);
    EXPECT_EQ(genPointInLoop({15, 5}, 4, square, 1e-6), 0);
    EXPECT_EQ(genPointInLoop({10, 5}, 4, square, 1e-6), 1) << "on the outline";
    EXPECT_EQ(genPointInLoop({10.5, 5}, 4, square, 1.0), 1) << "within tol of the outline";
    EXPECT_EQ(genPointInLoop({5, 5}, 0, square, 1e-6), 0);
    LoopSet region{{Loop{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 0}, Loop{{{4, 4}, {6, 4}, {6, 6}, {4, 6}}, 1}}};
    EXPECT_EQ(genPointInLoops(2, 2, region, 1e-6), 1);
    EXPECT_EQ(genPointInLoops(5, 5, region, 1e-6), 0) << "inside the hole";
    EXPECT_EQ(genPointInLoops(20, 5, region, 1e-6), 0);
}

TEST(ClipGeometry, IntersectSegments) {
    const struct {
        const char* name;
        Point2 p1, p2, q1, q2;
        std::vector<Point2> expected;
    } cases[] = {
        {"crossing", {0, 0}, {10, 10}, {0, 10}, {10, 0}, {{5, 5}}},
        {"apart", {0, 0}, {1, 1}, {5, 0}, {6, -1}, {}},
        {"touching at an end", {0, 0}, {10, 0}, {10, -5}, {10, 5}, {{10, 0}}},
        {"parallel apart", {0, 0}, {10, 0}, {0, 1}, {10, 1}, {}},
        {"overlapping: the ends inside the other", {0, 0}, {10, 0}, {5, 0}, {15, 0}, {{10, 0}, {5, 0}}},
        {"one inside the other", {2, 0}, {4, 0}, {0, 0}, {10, 0}, {{2, 0}, {4, 0}}},
    };
    for (const auto& c : cases) {
        Point2 out[2];
        const int n = genIntersectSegments(c.p1, c.p2, c.q1, c.q2, out);
        ASSERT_EQ(size_t(n), c.expected.size()) << c.name;
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(out[i].x, c.expected[size_t(i)].x, 1e-9) << c.name;
            EXPECT_NEAR(out[i].y, c.expected[size_t(i)].y, 1e-9) << c.name;
        }
    }
}

double area(const std::vector<Point2>& loop) {
    double sum = 0.0;
    for (size_t i = 0, j = loop.size() - 1; i < loop.size(); j = i++) sum += loop[j].x * loop[i].y - loop[i].x * loop[j].y;
    return std::fabs(sum) / 2.0;
}

double regionArea(const LoopSet& set) {
    double sum = 0.0;
    for (const Loop& loop : set.loops) sum += loop.hole ? -area(loop.points) : area(loop.points);
    return sum;
}

double stripArea(const StripSet& strips) {
    double sum = 0.0;
    for (const auto& strip : strips.strips) {
        for (size_t i = 0; i + 2 < strip.size(); ++i) sum += area({strip[i], strip[i + 1], strip[i + 2]});
    }
    return sum;
}

TEST(LoopSets, ConstructionAndCopies) {
    LoopSet set;
    const int32_t none[1] = {0};
    genLoopSetInit(set, 0, none);
    EXPECT_EQ(genLoopCount(set), 0);
    LoopSet square;
    const Point2 points[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    genLoopSetFromPoints(square, 4, points);
    LoopSet result;
    EXPECT_EQ(genLoopSetIntersect(set, square, result), 0) << "the empty region cuts everything away";
    EXPECT_EQ(genLoopSetIntersect(square, set, result), 0);

    genLoopSetAddLoop(set, 3, nullptr, 1);
    ASSERT_EQ(genLoopCount(set), 1);
    EXPECT_EQ(genLoopPointCount(set, 0), 3);
    genLoopPoints(set, 0)[2] = {7, 8};
    EXPECT_EQ(set.loops[0].hole, 1);

    LoopSet copy;
    genLoopSetCopy(copy, square);
    genLoopSetFree(copy);
    EXPECT_EQ(genLoopCount(copy), 0);
    EXPECT_EQ(genLoopPointCount(square, 0), 4) << "the source outlives its freed copy";
}

TEST(LoopSets, IntersectionsWithAConvexRegion) {
    const struct {
        const char* name;
        std::vector<Point2> subject, window;
        double expectedArea;
    } cases[] = {
        {"overlapping squares", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{5, 5}, {15, 5}, {15, 15}, {5, 15}}, 25.0},
        {"window clockwise", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {{5, 5}, {5, 15}, {15, 15}, {15, 5}}, 25.0},
        {"inside", {{2, 2}, {4, 2}, {4, 4}, {2, 4}}, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, 4.0},
        {"disjoint", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{5, 5}, {6, 5}, {6, 6}}, 0.0},
        {"concave subject", {{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}}, {{0, 0}, {10, 0}, {10, 4}, {0, 4}}, 40.0},
    };
    for (const auto& c : cases) {
        LoopSet subject, window, result;
        genLoopSetFromPoints(subject, int32_t(c.subject.size()), c.subject.data());
        genLoopSetFromPoints(window, int32_t(c.window.size()), c.window.data());
        genLoopSetIntersect(subject, window, result);
        EXPECT_NEAR(regionArea(result), c.expectedArea, 1e-9) << c.name;
        StripSet strips;
        genStripSetIntersect(subject, window, strips);
        EXPECT_NEAR(stripArea(strips), c.expectedArea, 1e-9) << c.name;
    }
}

TEST(LoopSets, StripsCoverTheRegion) {
    const std::vector<std::vector<Point2>> loops = {
        {{0, 0}, {4, 0}, {4, 4}, {0, 4}},
        {{0, 0}, {10, 0}, {10, 10}, {5, 3}, {0, 10}},
        {{0, 0}, {6, 0}, {6, 1}, {1, 1}, {1, 5}, {6, 5}, {6, 6}, {0, 6}},
        {{0, 6}, {0, 0}, {6, 0}},
    };
    for (const auto& loop : loops) {
        LoopSet set;
        genLoopSetFromPoints(set, int32_t(loop.size()), loop.data());
        StripSet strips;
        genLoopSetToStrips(set, strips);
        EXPECT_NEAR(stripArea(strips), area(loop), 1e-9) << loop.size() << " points";
        for (int32_t i = 0; i < genStripCount(strips); ++i) EXPECT_GE(genStripVertexCount(strips, i), 3);
    }
}

} // namespace
} // namespace tracemill
