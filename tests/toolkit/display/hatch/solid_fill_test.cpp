// The solid fill of hatch boundary paths, judged as a picture: the quadrilaterals it emits are
// rasterised on a 200 x 200 grid and every pixel must be covered exactly as often as the
// expected region says (once inside, never outside). Also the island rules, the event order
// of long edge lists and the glyph loops.
#include "toolkit/display/hatch/solid_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "error_callback_test.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/hatch/glyph_fill.h"

namespace tracemill {
namespace {

HatchSegments loopOf(const std::vector<Point2>& points) {
    HatchSegments loop;
    for (size_t i = 0; i < points.size(); ++i)
        loop.push_back({points[i], points[(i + 1) % points.size()]});
    return loop;
}

HatchSegments square(double x0, double y0, double x1, double y1) {
    return loopOf({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

struct Quad {
    Point4 corners[4];
};

std::vector<Quad> fill(std::vector<HatchSegments> paths, int16_t style, double elevation = 0.0) {
    std::vector<Quad> quads;
    genHatchSolidFillQuads(paths, style, elevation,
                           [&](const Point4& a, const Point4& b, const Point4& c, const Point4& d) {
                               quads.push_back({{a, b, c, d}});
                           });
    return quads;
}

bool insidePolygon(const std::vector<Point2>& v, Point2 p) {
    bool inside = false;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++)
        if ((v[i].y > p.y) != (v[j].y > p.y) &&
            p.x < (v[j].x - v[i].x) * (p.y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
            inside = !inside;
    return inside;
}

double distanceToSegment(Point2 p, Point2 a, Point2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    const double t =
        length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// Rasterises the quadrilaterals (edges 1-2, 2-4, 4-3, 3-1) over [0, extent]^2 at 200 x 200
// pixel centres and compares the coverage with the expected region; a pixel whose centre lies
// on a boundary segment is not judged.
void expectCoverage(const std::vector<Quad>& quads, const std::vector<HatchSegments>& boundaries,
                    double extent, const std::function<bool(Point2)>& expectedInside) {
    constexpr int kPixels = 200;
    const double pixel = extent / kPixels;
    std::vector<int> cover(kPixels * kPixels, 0);
    for (const Quad& q : quads) {
        const std::vector<Point2> polygon = {{q.corners[0].x, q.corners[0].y},
                                             {q.corners[1].x, q.corners[1].y},
                                             {q.corners[3].x, q.corners[3].y},
                                             {q.corners[2].x, q.corners[2].y}};
        double minX = polygon[0].x, maxX = minX, minY = polygon[0].y, maxY = minY;
        for (const Point2& c : polygon) {
            minX = std::min(minX, c.x);
            maxX = std::max(maxX, c.x);
            minY = std::min(minY, c.y);
            maxY = std::max(maxY, c.y);
        }
        const int c0 = std::max(0, int(std::ceil(minX / pixel - 0.5))),
                  c1 = std::min(kPixels - 1, int(maxX / pixel - 0.5));
        const int r0 = std::max(0, int(std::ceil(minY / pixel - 0.5))),
                  r1 = std::min(kPixels - 1, int(maxY / pixel - 0.5));
        for (int row = r0; row <= r1; ++row)
            for (int column = c0; column <= c1; ++column)
                cover[size_t(row * kPixels + column)] +=
                    insidePolygon(polygon, {(column + 0.5) * pixel, (row + 0.5) * pixel});
    }
    int wrong = 0;
    for (int row = 0; row < kPixels && wrong < 5; ++row)
        for (int column = 0; column < kPixels && wrong < 5; ++column) {
            const Point2 p{(column + 0.5) * pixel, (row + 0.5) * pixel};
            const int expected = expectedInside(p) ? 1 : 0;
            const int actual = cover[size_t(row * kPixels + column)];
            if (actual == expected) continue;
            bool onBoundary = false;
            for (const HatchSegments& path : boundaries)
                for (const HatchSegment& s : path)
                    onBoundary |= distanceToSegment(p, s.start, s.end) < 1e-9;
            if (onBoundary) continue;
            ++wrong;
            ADD_FAILURE() << "pixel at " << p.x << "," << p.y << " covered " << actual << " times, expected "
                          << expected;
        }
}

bool inSquare(Point2 p, double x0, double y0, double x1, double y1) {
    return p.x > x0 && p.x < x1 && p.y > y0 && p.y < y1;
}

TEST(SolidFill, APathIsFilledOnlyWhenItsSegmentsMeet) {
    struct Row {
        const char* name;
        double gap;
        bool filled;
    };
    for (const Row& row :
         {Row{"closed", 0.0, true}, Row{"gap 1e-5", 1e-5, true}, Row{"gap 2e-5", 2e-5, false}}) {
        SCOPED_TRACE(row.name);
        // The last segment ends short of the first start, at the origin, where the gap is exact.
        const HatchSegments path = {
            {{0, 0}, {10, 0}}, {{10, 0}, {10, 10}}, {{10, 10}, {0, 10}}, {{0, 10}, {0, row.gap}}};
        const std::vector<Quad> quads = fill({path}, kHatchStyleNormal);
        EXPECT_EQ(!quads.empty(), row.filled);
        if (row.filled) expectCoverage(quads, {path}, 10, [](Point2 p) { return inSquare(p, 0, 0, 10, 10); });
    }
    // A break inside the path counts as well.
    const HatchSegments broken = {
        {{0, 0}, {10, 0}}, {{10, 2e-5}, {10, 10}}, {{10, 10}, {0, 10}}, {{0, 10}, {0, 0}}};
    EXPECT_TRUE(fill({broken}, kHatchStyleNormal).empty());
}

TEST(SolidFill, VerticalEdgesAreDroppedAndASquareStillFillsWhole) {
    const HatchSegments path = square(2, 3, 17, 19);
    const std::vector<Quad> quads = fill({path}, kHatchStyleNormal, 4.5);
    ASSERT_EQ(quads.size(), 1u) << "one strip between the bottom and the top edge";
    for (const Point4& corner : quads[0].corners) {
        EXPECT_EQ(corner.z, 4.5);
        EXPECT_EQ(corner.w, 1.0);
    }
    expectCoverage(quads, {path}, 20, [](Point2 p) { return inSquare(p, 2, 3, 17, 19); });
}

TEST(SolidFill, NestedLoopsFollowTheHatchStyle) {
    const std::vector<HatchSegments> nested = {square(0, 0, 20, 20), square(4, 4, 16, 16),
                                               square(8, 8, 12, 12)};
    struct Row {
        const char* name;
        int16_t style;
        std::function<bool(Point2)> inside;
    };
    const Row rows[] = {
        {"normal: outer ring and innermost", kHatchStyleNormal,
         [](Point2 p) {
             return (inSquare(p, 0, 0, 20, 20) && !inSquare(p, 4, 4, 16, 16)) || inSquare(p, 8, 8, 12, 12);
         }},
        {"outer: the outer ring only", kHatchStyleOuter,
         [](Point2 p) { return inSquare(p, 0, 0, 20, 20) && !inSquare(p, 4, 4, 16, 16); }},
        {"ignore: the whole outer loop", kHatchStyleIgnore,
         [](Point2 p) { return inSquare(p, 0, 0, 20, 20); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        expectCoverage(fill(nested, row.style), nested, 20, row.inside);
    }
}

TEST(SolidFill, AnIslandThatTouchesItsLoopIsDroppedWhateverTheStyle) {
    const HatchSegments outer = square(0, 0, 20, 20);
    const HatchSegments touching = loopOf({{0, 0}, {8, 3}, {3, 8}});                   // at the outer corner
    const HatchSegments nearly = loopOf({{20 - 1e-4, 20 - 1e-4}, {12, 17}, {17, 12}}); // within 20/100000
    for (int16_t style : {kHatchStyleNormal, kHatchStyleOuter, kHatchStyleIgnore}) {
        SCOPED_TRACE("style " + std::to_string(style));
        std::vector<HatchSegments> paths = {outer, touching, nearly};
        genHatchIslandDepths(paths, style);
        EXPECT_EQ(paths[0], outer);
        EXPECT_TRUE(paths[1].empty());
        EXPECT_TRUE(paths[2].empty());
        expectCoverage(fill({outer, touching, nearly}, style), {outer, touching, nearly}, 20,
                       [](Point2 p) { return inSquare(p, 0, 0, 20, 20); });
    }
    // An island clear of its loop stays under the normal style.
    std::vector<HatchSegments> clear = {outer, loopOf({{2, 2}, {8, 3}, {3, 8}})};
    genHatchIslandDepths(clear, kHatchStyleNormal);
    EXPECT_FALSE(clear[1].empty());
}

TEST(SolidFill, PointInLoopAndBoxOverlap) {
    const HatchSegments loop = loopOf({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    struct Row {
        const char* name;
        Point2 point;
        int inside;
        bool touching;
    };
    const Row rows[] = {
        {"inside", {5, 5}, 1, false},
        {"outside", {15, 5}, 0, false},
        {"left of the loop", {-5, 5}, 0, false},
        {"on an edge", {10, 5}, 1, false},
        {"near an edge", {10.0005, 5}, 1, false},
        {"at a vertex", {10, 10}, 1, true},
        {"near a vertex", {-0.0005, 0.0005}, 1, true},
        {"beyond the tolerance", {-0.002, 5}, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        bool touching = false;
        EXPECT_EQ(genPointInLoop(loop, row.point, touching, 0.001), row.inside);
        EXPECT_EQ(touching, row.touching);
    }
    const FillBox box{0, 0, 10, 10};
    EXPECT_EQ(genBoxesOverlap(box, {5, 5, 15, 15}), 1);
    EXPECT_EQ(genBoxesOverlap(box, {10, 10, 15, 15}), 1) << "touching boxes overlap";
    EXPECT_EQ(genBoxesOverlap(box, {10.5, 0, 15, 10}), 0);
    EXPECT_EQ(genBoxesOverlap(box, {0, -5, 10, -0.5}), 0);
    EXPECT_EQ(genBoxesOverlap({2, 2, 3, 3}, box), 1);
}

TEST(SolidFill, EventsCompareByXThenYDescendingThenSlopeDescending) {
    const EdgeEvent base{1, 2, 3, 0, 1};
    struct Row {
        EdgeEvent other;
        int expected;
    };
    for (const Row& row : {Row{{2, 2, 3, 0, 2}, -1}, Row{{0, 2, 3, 0, 2}, 1}, Row{{1, 1, 3, 0, 2}, -1},
                           Row{{1, 3, 3, 0, 2}, 1}, Row{{1, 2, 2, 0, 2}, -1}, Row{{1, 2, 4, 0, 2}, 1},
                           Row{{1, 2, 3, 9, -5}, 0}}) {
        EXPECT_EQ(genCompareEdgeEvents(base, row.other), row.expected);
        EXPECT_EQ(genCompareEdgeEvents(row.other, base), -row.expected);
    }
}

// More events than one run: each run comes out in full order, but the merge compares x alone,
// so among equal x the events of the earlier run come first.
TEST(SolidFill, LongEventListsAreSortedThroughRunsAndMergedByX) {
    for (size_t count : {size_t(806), size_t(807), size_t(3000)}) {
        SCOPED_TRACE(std::to_string(count) + " events");
        std::mt19937 random{uint32_t(count)};
        std::vector<EdgeEvent> events;
        for (size_t i = 0; i < count; ++i)
            events.push_back(
                {double(random() % 7), double(random() % 5), double(random() % 3), 0.0, int32_t(i + 1)});
        // The expected order: sort each run, then order by (x, run, place in run).
        std::vector<std::tuple<double, size_t, size_t, EdgeEvent>> keyed;
        for (size_t start = 0; start < count; start += kEdgeEventRun) {
            std::vector<EdgeEvent> run(events.begin() + ptrdiff_t(start),
                                       events.begin() + ptrdiff_t(std::min(count, start + kEdgeEventRun)));
            std::stable_sort(run.begin(), run.end(), [](const EdgeEvent& a, const EdgeEvent& b) {
                return genCompareEdgeEvents(a, b) < 0;
            });
            for (size_t k = 0; k < run.size(); ++k)
                keyed.emplace_back(run[k].x, start, k, run[k]);
        }
        std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
            return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a)) <
                   std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b));
        });
        std::vector<EdgeEvent> expected;
        for (const auto& k : keyed)
            expected.push_back(std::get<3>(k));
        double width = -1;
        ASSERT_EQ(genSortEdgeEvents(events, width), 1);
        EXPECT_EQ(events, expected);
        EXPECT_EQ(width, 6.0);
        if (count > kEdgeEventRun) {
            // The tie rule shows: some equal x keep a run's higher y after a later run's lower.
            bool runOrderVisible = false;
            for (size_t i = 1; i < events.size(); ++i)
                runOrderVisible |=
                    events[i].x == events[i - 1].x && genCompareEdgeEvents(events[i - 1], events[i]) > 0;
            EXPECT_TRUE(runOrderVisible);
        }
    }
}

// A comb of 500 teeth stacked up a spine: a vertical line across it meets 1,000 edges at
// once, more than one run of events holds.
TEST(SolidFill, ManyActiveEdgesFillAComb) {
    std::vector<Point2> comb = {{0, 0}};
    for (int tooth = 0; tooth < 500; ++tooth) {
        const double base = tooth * 0.04;
        comb.push_back({2, base});
        comb.push_back({18, base + 0.01});
        comb.push_back({2, base + 0.02});
        comb.push_back({18, base + 0.03});
    }
    comb.push_back({2, 20});
    comb.push_back({0, 20});
    const HatchSegments path = loopOf(comb);
    const std::vector<Quad> quads = fill({path}, kHatchStyleNormal);
    expectCoverage(quads, {path}, 20, [&](Point2 p) { return insidePolygon(comb, p); });
}

using SolidFillMemory = test::ErrorCallbackTest;

TEST_F(SolidFillMemory, AFailedAllocationFillsNothingAndCallsBack) {
    const std::vector<HatchSegments> nested = {square(0, 0, 20, 20), square(4, 4, 16, 16),
                                               square(8, 8, 12, 12)};
    const size_t full = fill(nested, kHatchStyleNormal).size();
    ASSERT_GT(full, 0u);
    for (long step = 0;; ++step) {
        SCOPED_TRACE("allocation " + std::to_string(step));
        ASSERT_LT(step, 100);
        forgetCallbacks();
        dbFailAllocationAfter(step);
        const size_t drawn = fill(nested, kHatchStyleNormal).size();
        dbFailAllocationAfter(-1);
        if (callbacks(kErrorReasonNoMemory) == 0) {
            EXPECT_EQ(drawn, full);
            break;
        }
        EXPECT_EQ(callbacks(kErrorReasonNoMemory), 1);
        EXPECT_EQ(drawn, 0u);
    }
}

TEST(GlyphFill, LoopsStayApartWithAPolyPolygonHostAndAreBridgedWithout) {
    const std::vector<HatchSegments> loops = {
        loopOf({{0, 0}, {10, 0}, {10, 10}}),
        {},
        loopOf({{2, 2}, {3, 2}, {3, 3}, {2, 3}}),
        // ends where it started: no first point repeated
        {{{5, 5}, {6, 5}}, {{6, 5}, {6, 6}}, {{6, 6}, {5, 5}}, {{5, 5}, {5, 5}}}};
    std::vector<Point3> points;
    std::vector<int32_t> counts;
    const std::vector<Point3> starts = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {2, 2, 0}, {3, 2, 0}, {3, 3, 0},
                                        {2, 3, 0}, {5, 5, 0},  {6, 5, 0},   {6, 6, 0}, {5, 5, 0}};
    genGlyphLoopPoints(loops, true, points, counts);
    EXPECT_EQ(counts, (std::vector<int32_t>{3, 4, 4}));
    EXPECT_EQ(points, starts);
    genGlyphLoopPoints(loops, false, points, counts);
    EXPECT_EQ(counts, (std::vector<int32_t>{14}));
    std::vector<Point3> bridged = starts;
    // The last loop ends where it started: only back to the loop before; the second loop: its
    // first point, then back to the first loop.
    bridged.insert(bridged.end(), {{2, 3, 0}, {2, 2, 0}, {10, 10, 0}});
    EXPECT_EQ(points, bridged);
    genGlyphLoopPoints({{}, {}}, false, points, counts);
    EXPECT_TRUE(points.empty());
    EXPECT_TRUE(counts.empty());
}

class GlyphFillHooks : public test::ToolkitTest {};

void polyPolygon(const DevicePoint*, const int32_t*, int32_t, HostWord) {}

TEST_F(GlyphFillHooks, TheHostsPolyPolygonHookDecides) {
    const std::vector<HatchSegments> loops = {loopOf({{0, 0}, {10, 0}, {10, 10}}),
                                              loopOf({{2, 1}, {3, 1}, {3, 2}})};
    std::vector<std::vector<int32_t>> calls;
    const FillLoopsSink sink = [&](const std::vector<Point3>&, const std::vector<int32_t>& counts) {
        calls.push_back(counts);
    };
    genFillGlyphLoopsInto(loops, sink);
    dbSetPolyPolygonHook(polyPolygon);
    genFillGlyphLoopsInto(loops, sink);
    genFillGlyphLoopsInto({}, sink);
    EXPECT_EQ(calls, (std::vector<std::vector<int32_t>>{{8}, {3, 3}}));
}

} // namespace
} // namespace tracemill
