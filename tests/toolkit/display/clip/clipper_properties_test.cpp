// The clipper against what the test computes on its own, over seeded random pairs of
// polygons on an integer grid: simple and self-intersecting contours, holes, edges and
// vertices the two polygons share, horizontal edges. For every operation: each sample point
// off the edges lies in the result exactly when the operation of its even-odd membership in
// both inputs says so, and is covered once by the strips; the areas add up; result contours
// have three or more vertices and hole flags that follow their nesting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "region_measures.h"
#include "toolkit/display/clip/polygon_clipper.h"

namespace tracemill {
namespace {

using test::edgeDistance;
using test::insideEvenOdd;
using test::resultArea;
using test::stripArea;
using test::stripCover;

constexpr int kGrid = 12;

class PolygonMaker {
  public:
    explicit PolygonMaker(uint32_t seed) : random_(seed) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    Point2 gridPoint() { return {double(pick(0, kGrid)), double(pick(0, kGrid))}; }

    // Random points in random order: mostly self-intersecting.
    Loop tangle() {
        Loop loop;
        for (int n = pick(3, 8); n > 0; --n)
            loop.points.push_back(gridPoint());
        return loop;
    }

    // Points sorted by angle about their middle: a simple contour (up to collinear runs).
    Loop star() {
        Loop loop = tangle();
        Point2 middle;
        for (const Point2& p : loop.points)
            middle = {middle.x + p.x, middle.y + p.y};
        middle = {middle.x / double(loop.points.size()) + 0.01, middle.y / double(loop.points.size()) + 0.02};
        std::sort(loop.points.begin(), loop.points.end(), [&](Point2 a, Point2 b) {
            return std::atan2(a.y - middle.y, a.x - middle.x) < std::atan2(b.y - middle.y, b.x - middle.x);
        });
        return loop;
    }

    // Alternating horizontal and vertical steps: many horizontal edges at shared heights.
    Loop staircase() {
        Loop loop;
        Point2 p = gridPoint();
        for (int n = pick(2, 5); n > 0; --n) {
            loop.points.push_back(p);
            p.x = pick(0, kGrid);
            loop.points.push_back(p);
            p.y = pick(0, kGrid);
        }
        loop.points.push_back(p);
        loop.points.push_back({loop.points[0].x, p.y});
        return loop;
    }

    Loop rectangle() {
        const int x0 = pick(0, kGrid - 1), y0 = pick(0, kGrid - 1);
        const int x1 = pick(x0 + 1, kGrid), y1 = pick(y0 + 1, kGrid);
        return {{{double(x0), double(y0)},
                 {double(x1), double(y0)},
                 {double(x1), double(y1)},
                 {double(x0), double(y1)}},
                0};
    }

    Loop anyContour() {
        switch (pick(0, 3)) {
        case 0:
            return tangle();
        case 1:
            return star();
        case 2:
            return staircase();
        default:
            return rectangle();
        }
    }

    LoopSet polygon() {
        LoopSet set;
        for (int n = pick(1, 3); n > 0; --n)
            set.loops.push_back(anyContour());
        if (pick(0, 2) == 0) { // an outer rectangle with a hole
            Loop outer = rectangle();
            const double x0 = outer.points[0].x, y0 = outer.points[0].y, x1 = outer.points[2].x,
                         y1 = outer.points[2].y;
            set.loops.push_back(outer);
            if (x1 - x0 >= 3 && y1 - y0 >= 3)
                set.loops.push_back(
                    {{{x0 + 1, y0 + 1}, {x0 + 1, y1 - 1}, {x1 - 1, y1 - 1}, {x1 - 1, y0 + 1}}, 1});
        }
        return set;
    }

    // A second polygon that shares vertices and edges with the first: some of its contours
    // reuse runs of the first's vertices.
    LoopSet sharing(const LoopSet& first) {
        LoopSet set = polygon();
        const Loop& source = first.loops[size_t(pick(0, int(first.loops.size()) - 1))];
        Loop shared;
        const size_t start = size_t(pick(0, int(source.points.size()) - 1));
        const size_t run = size_t(pick(2, int(source.points.size())));
        for (size_t k = 0; k < run; ++k)
            shared.points.push_back(source.points[(start + k) % source.points.size()]);
        for (int n = pick(1, 3); n > 0; --n)
            shared.points.push_back(gridPoint());
        set.loops[0] = shared;
        return set;
    }

  private:
    std::mt19937 random_;
};

bool expectedInside(ClipOp op, bool a, bool b) {
    switch (op) {
    case ClipOp::kDifference:
        return a && !b;
    case ClipOp::kIntersection:
        return a && b;
    case ClipOp::kExclusiveOr:
        return a != b;
    default:
        return a || b;
    }
}

// Sample points spread over the grid at uneven offsets, so that few fall on an edge.
std::vector<Point2> samplePoints() {
    std::vector<Point2> points;
    for (int i = 0; i < 18; ++i)
        for (int j = 0; j < 18; ++j)
            points.push_back(
                {-0.4 + i * 0.75 + 0.0731 * ((j * 7) % 5), -0.35 + j * 0.75 + 0.0593 * ((i * 3) % 7)});
    return points;
}

// How many other contours of the result hold a contour (judged at one of its vertices or edge
// middles that does not lie on the other contour).
int nestingDepth(const LoopSet& result, size_t index) {
    int depth = 0;
    const std::vector<Point2>& own = result.loops[index].points;
    for (size_t other = 0; other < result.loops.size(); ++other) {
        if (other == index) continue;
        const LoopSet single{{result.loops[other]}};
        for (size_t k = 0; k < 2 * own.size(); ++k) {
            const Point2 a = own[k / 2], b = own[(k / 2 + 1) % own.size()];
            const Point2 probe = k % 2 ? Point2{(a.x + b.x) / 2, (a.y + b.y) / 2} : a;
            if (edgeDistance(single, probe) < 1e-9) continue;
            depth += insideEvenOdd(single, probe);
            break;
        }
    }
    return depth;
}

std::string describe(const LoopSet& set) {
    std::string text;
    for (const Loop& loop : set.loops) {
        text += loop.hole ? " hole[" : " [";
        for (const Point2& p : loop.points)
            text += " " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y));
        text += " ]";
    }
    return text;
}

int failedParts() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
}

const char* const kOpNames[] = {"difference", "intersection", "exclusive-or", "union"};

TEST(ClipperProperties, RandomPairsOnAGridObeyMembershipAreasStripsAndNesting) {
    const std::vector<Point2> samples = samplePoints();
    const double extent = kGrid + 1.0;
    const double tolerance = 1e-9 * extent * extent;
    int failures = 0;
    for (uint32_t seed = 1; seed <= 1000 && failures < 5; ++seed) {
        PolygonMaker maker(seed);
        const LoopSet a = maker.polygon();
        const LoopSet b = maker.pick(0, 1) ? maker.sharing(a) : maker.polygon();
        SCOPED_TRACE("seed " + std::to_string(seed) + "\nA:" + describe(a) + "\nB:" + describe(b));
        const int partsBefore = failedParts();

        LoopSet results[4];
        StripSet strips[4];
        for (ClipOp op : {ClipOp::kDifference, ClipOp::kIntersection, ClipOp::kExclusiveOr, ClipOp::kUnion}) {
            genClipPolygons(op, a, b, results[int(op)]);
            genClipToStrips(op, a, b, strips[int(op)]);
        }
        LoopSet aAlone, bAlone;
        genClipPolygons(ClipOp::kUnion, a, LoopSet{}, aAlone);
        genClipPolygons(ClipOp::kUnion, b, LoopSet{}, bAlone);

        for (const Point2& p : samples) {
            if (edgeDistance(a, p) < 1e-6 || edgeDistance(b, p) < 1e-6) continue;
            const bool inA = insideEvenOdd(a, p), inB = insideEvenOdd(b, p);
            EXPECT_EQ(insideEvenOdd(aAlone, p), inA) << "A alone at " << p.x << "," << p.y;
            for (int op = 0; op < 4; ++op) {
                const bool expected = expectedInside(ClipOp(op), inA, inB);
                EXPECT_EQ(insideEvenOdd(results[op], p), expected)
                    << kOpNames[op] << " at " << p.x << "," << p.y;
                const int cover = stripCover(strips[op], p);
                if (cover >= 0) {
                    EXPECT_EQ(cover, expected ? 1 : 0) << kOpNames[op] << " strips at " << p.x << "," << p.y;
                }
            }
        }

        const double areaA = resultArea(aAlone), areaB = resultArea(bAlone);
        const double unionArea = resultArea(results[3]), intersectionArea = resultArea(results[1]);
        EXPECT_NEAR(unionArea + intersectionArea, areaA + areaB, tolerance);
        EXPECT_NEAR(resultArea(results[2]), unionArea - intersectionArea, tolerance);
        EXPECT_NEAR(resultArea(results[0]), areaA - intersectionArea, tolerance);
        for (int op = 0; op < 4; ++op) {
            EXPECT_NEAR(stripArea(strips[op]), resultArea(results[op]), tolerance) << kOpNames[op];
            for (size_t c = 0; c < results[op].loops.size(); ++c) {
                EXPECT_GE(results[op].loops[c].points.size(), 3u) << kOpNames[op];
                EXPECT_EQ(results[op].loops[c].hole != 0, nestingDepth(results[op], c) % 2 == 1)
                    << kOpNames[op] << " contour " << c << ":" << describe(results[op]);
            }
        }
        if (failedParts() != partsBefore) ++failures; // a few failing seeds tell enough
    }
}

} // namespace
} // namespace tracemill
