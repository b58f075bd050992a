// The clipper's cases that matter one by one: empty inputs, identical polygons, holes, the
// contours an intersection leaves out early, the orientation of a result, inputs that are
// also the result, coordinates that are not finite and memory that runs out.
#include "toolkit/display/clip/polygon_clipper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "error_callback_test.h"
#include "region_measures.h"
#include "toolkit/core/memory_services.h"

namespace tracemill {
namespace {

using test::insideEvenOdd;
using test::resultArea;
using test::stripArea;
using test::stripCover;

Loop rectangle(double x0, double y0, double x1, double y1, int32_t hole = 0) {
    return {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, hole};
}

const char* opName(ClipOp op) {
    static const char* const names[] = {"difference", "intersection", "exclusive-or", "union"};
    return names[int(op)];
}

constexpr ClipOp kOps[] = {ClipOp::kDifference, ClipOp::kIntersection, ClipOp::kExclusiveOr, ClipOp::kUnion};

// The region of `actual` is `expected` at every point of a fine grid over both (at offsets
// that keep the points off the edges and diagonals of the fixtures), and the strips cover it
// once.
void expectSameRegion(const LoopSet& actual, const LoopSet& expected, const StripSet* strips = nullptr) {
    for (double y = -20.31; y < 20; y += 0.5)
        for (double x = -20.13; x < 20; x += 0.5) {
            const bool inside = insideEvenOdd(expected, {x, y});
            ASSERT_EQ(insideEvenOdd(actual, {x, y}), inside) << "at " << x << "," << y;
            if (strips) {
                ASSERT_EQ(stripCover(*strips, {x, y}), inside ? 1 : 0) << "strips at " << x << "," << y;
            }
        }
}

TEST(PolygonClipper, EmptyInputsGiveTheOtherInputOrNothingAndLeaveItAlone) {
    const LoopSet square{{rectangle(0, 0, 10, 10)}};
    const LoopSet triangle{{{{{2, -5}, {15, 5}, {2, 15}}, 0}}};
    const LoopSet empty;
    struct Row {
        const char* name;
        ClipOp op;
        const LoopSet* subject;
        const LoopSet* clip;
        const LoopSet* expected; // the region of the result; null: no contour at all
    };
    const Row rows[] = {
        {"both empty, difference", ClipOp::kDifference, &empty, &empty, nullptr},
        {"both empty, intersection", ClipOp::kIntersection, &empty, &empty, nullptr},
        {"both empty, exclusive-or", ClipOp::kExclusiveOr, &empty, &empty, nullptr},
        {"both empty, union", ClipOp::kUnion, &empty, &empty, nullptr},
        {"empty subject, difference", ClipOp::kDifference, &empty, &triangle, nullptr},
        {"empty subject, intersection", ClipOp::kIntersection, &empty, &triangle, nullptr},
        {"empty subject, exclusive-or", ClipOp::kExclusiveOr, &empty, &triangle, &triangle},
        {"empty subject, union", ClipOp::kUnion, &empty, &triangle, &triangle},
        {"empty clip, difference", ClipOp::kDifference, &square, &empty, &square},
        {"empty clip, intersection", ClipOp::kIntersection, &square, &empty, nullptr},
        {"empty clip, exclusive-or", ClipOp::kExclusiveOr, &square, &empty, &square},
        {"empty clip, union", ClipOp::kUnion, &square, &empty, &square},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const LoopSet subjectBefore = *row.subject;
        const LoopSet clipBefore = *row.clip;
        LoopSet result{{rectangle(-1, -1, 1, 1)}}; // whatever was there goes
        StripSet strips{{{{0, 0}, {1, 0}, {0, 1}}}};
        genClipPolygons(row.op, *row.subject, *row.clip, result);
        genClipToStrips(row.op, *row.subject, *row.clip, strips);
        EXPECT_EQ(*row.subject, subjectBefore);
        EXPECT_EQ(*row.clip, clipBefore);
        if (!row.expected) {
            EXPECT_TRUE(result.loops.empty());
            EXPECT_TRUE(strips.strips.empty());
            continue;
        }
        EXPECT_EQ(result.loops.size(), 1u);
        EXPECT_DOUBLE_EQ(resultArea(result), resultArea(*row.expected));
        EXPECT_DOUBLE_EQ(stripArea(strips), resultArea(*row.expected));
        expectSameRegion(result, *row.expected, &strips);
    }
}

TEST(PolygonClipper, IdenticalSquaresAreTheSquareOrNothing) {
    const LoopSet square{{rectangle(0, 0, 10, 10)}};
    const double expectedArea[] = {0, 100, 0, 100};
    for (ClipOp op : kOps) {
        SCOPED_TRACE(opName(op));
        LoopSet result;
        StripSet strips;
        genClipPolygons(op, square, square, result);
        genClipToStrips(op, square, square, strips);
        const double area = expectedArea[int(op)];
        if (area == 0) {
            EXPECT_TRUE(result.loops.empty());
            EXPECT_TRUE(strips.strips.empty());
            continue;
        }
        ASSERT_EQ(result.loops.size(), 1u);
        EXPECT_EQ(result.loops[0].points.size(), 4u);
        EXPECT_EQ(result.loops[0].hole, 0);
        EXPECT_DOUBLE_EQ(resultArea(result), area);
        EXPECT_DOUBLE_EQ(stripArea(strips), area);
        expectSameRegion(result, square, &strips);
    }
}

TEST(PolygonClipper, ASquareWithAHoleBecomesStripsOfTheRingWhateverTheHoleFlag) {
    for (int32_t flag : {0, 1}) {
        SCOPED_TRACE("hole flag " + std::to_string(flag));
        const LoopSet ring{{rectangle(0, 0, 10, 10), rectangle(4, 4, 6, 6, flag)}};
        StripSet strips;
        genPolygonToStrips(ring, strips);
        EXPECT_DOUBLE_EQ(stripArea(strips), 96.0);
        expectSameRegion(ring, ring, &strips);
        EXPECT_EQ(stripCover(strips, {5, 5}), 0);
        EXPECT_EQ(stripCover(strips, {1.3, 0.6}), 1);
        EXPECT_EQ(genLoopSetToStrips(ring, strips), int32_t(strips.strips.size()));
        EXPECT_DOUBLE_EQ(stripArea(strips), 96.0);
    }
}

TEST(PolygonClipper, ResultHoleFlagsFollowNesting) {
    const LoopSet big{{rectangle(0, 0, 10, 10)}};
    const LoopSet middle{{rectangle(3, 3, 7, 7)}};
    LoopSet ring;
    genClipPolygons(ClipOp::kDifference, big, middle, ring);
    ASSERT_EQ(ring.loops.size(), 2u);
    EXPECT_DOUBLE_EQ(resultArea(ring), 84.0);
    for (const Loop& loop : ring.loops) {
        const bool inner =
            std::all_of(loop.points.begin(), loop.points.end(), [](Point2 p) { return p.x > 1; });
        EXPECT_EQ(loop.hole != 0, inner) << "the inner contour is the hole";
    }
}

// Contours of one polygon apart from every contour of the other are left out of an
// intersection (and the clip's of a difference) before any edge is built; the inputs keep
// every contour and vertex.
TEST(PolygonClipper, ContoursApartFromTheOtherPolygonLeaveTheInputsAsTheyWere) {
    const LoopSet subject{
        {rectangle(0, 0, 10, 10), rectangle(100, 100, 110, 110), rectangle(-50, 0, -40, 10)}};
    const LoopSet clip{
        {rectangle(5, 5, 15, 15), rectangle(-100, -100, -90, -90), {{{-60, 20}, {-45, 20}, {-45, 25}}, 0}}};
    const LoopSet subjectBefore = subject;
    const LoopSet clipBefore = clip;
    struct Row {
        ClipOp op;
        double area;
    };
    for (const Row& row :
         {Row{ClipOp::kIntersection, 25.0}, Row{ClipOp::kDifference, 75.0 + 100.0 + 100.0}}) {
        SCOPED_TRACE(opName(row.op));
        LoopSet result;
        genClipPolygons(row.op, subject, clip, result);
        EXPECT_DOUBLE_EQ(resultArea(result), row.area);
        EXPECT_EQ(subject, subjectBefore);
        EXPECT_EQ(clip, clipBefore);
    }
}

// Contours come out in reverse order of their left vertex lists, so a result's orientation
// is fixed by the sweep, not by the input's.
TEST(PolygonClipper, ASquareClippedByALargerOneComesBackInAFixedOrientation) {
    const std::vector<Point2> golden = {{10, 0}, {0, 0}, {0, 10}, {10, 10}};
    const LoopSet counterClockwise{{rectangle(0, 0, 10, 10)}};
    const LoopSet clockwise{{{{{0, 0}, {0, 10}, {10, 10}, {10, 0}}, 0}}};
    const LoopSet larger{{rectangle(-5, -5, 15, 15)}};
    for (const LoopSet* subject : {&counterClockwise, &clockwise}) {
        LoopSet result;
        genClipPolygons(ClipOp::kIntersection, *subject, larger, result);
        ASSERT_EQ(result.loops.size(), 1u);
        EXPECT_EQ(result.loops[0].points, golden);
        EXPECT_EQ(result.loops[0].hole, 0);
    }
}

TEST(PolygonClipper, TheResultMayBeEitherInput) {
    const LoopSet a{{rectangle(0, 0, 10, 10)}};
    const LoopSet b{{rectangle(5, -5, 15, 5)}};
    LoopSet expected;
    genClipPolygons(ClipOp::kUnion, a, b, expected);
    ASSERT_DOUBLE_EQ(resultArea(expected), 175.0);
    LoopSet subject = a;
    genClipPolygons(ClipOp::kUnion, subject, b, subject);
    EXPECT_EQ(subject, expected);
    LoopSet clip = b;
    genClipPolygons(ClipOp::kUnion, a, clip, clip);
    EXPECT_EQ(clip, expected);
}

TEST(PolygonClipper, ContoursWithCoordinatesThatAreNotFiniteAreLeftOut) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const LoopSet square{{rectangle(0, 0, 10, 10)}};
    const LoopSet clip{{rectangle(5, 5, 15, 15)}};
    for (const Loop& bad : {Loop{{{1, 1}, {nan, 2}, {3, 5}}, 0}, Loop{{{1, 1}, {2, inf}, {3, 5}}, 0},
                            Loop{{{-inf, 1}, {2, 2}, {3, 5}}, 0}}) {
        LoopSet withBad = square;
        withBad.loops.push_back(bad);
        for (ClipOp op : kOps) {
            SCOPED_TRACE(opName(op));
            LoopSet expected, actual;
            genClipPolygons(op, square, clip, expected);
            genClipPolygons(op, withBad, clip, actual);
            EXPECT_EQ(actual, expected);
            StripSet expectedStrips, actualStrips;
            genClipToStrips(op, square, clip, expectedStrips);
            genClipToStrips(op, withBad, clip, actualStrips);
            EXPECT_EQ(actualStrips, expectedStrips);
        }
    }
}

// Coincident edges are recognised within the rounding at the size of the coordinates, so the
// same drawing at any scale clips alike: here a degenerate (collinear) triangle over another
// one, and two squares that share a side.
TEST(PolygonClipper, TheScaleOfTheCoordinatesDoesNotChangeTheResult) {
    const LoopSet a{{{{{3, 4}, {4, 1}, {1, 10}}, 0}, rectangle(5, 0, 9, 4)}};
    const LoopSet b{{{{{0, 1}, {4, 8}, {6, 5}}, 0}, rectangle(9, 0, 12, 4)}};
    for (ClipOp op : kOps) {
        LoopSet reference;
        genClipPolygons(op, a, b, reference);
        for (double scale : {1e-200, 1e-7, 3.0, 1e9, 1e200}) {
            SCOPED_TRACE(std::string(opName(op)) + " at scale " + std::to_string(scale));
            LoopSet scaledA = a, scaledB = b;
            for (LoopSet* set : {&scaledA, &scaledB})
                for (Loop& loop : set->loops)
                    for (Point2& p : loop.points)
                        p = {p.x * scale, p.y * scale};
            LoopSet result;
            genClipPolygons(op, scaledA, scaledB, result);
            ASSERT_EQ(result.loops.size(), reference.loops.size());
            for (Loop& loop : result.loops)
                for (Point2& p : loop.points)
                    p = {p.x / scale, p.y / scale}; // the area itself would underflow or overflow
            EXPECT_NEAR(resultArea(result), resultArea(reference), 1e-9 * resultArea(reference));
        }
    }
}

TEST(PolygonClipper, AddingAndFreeingContours) {
    LoopSet polygon;
    std::vector<Point2> contour = {{0, 0}, {4, 0}, {0, 3}};
    genClipAddContour(polygon, contour, 0);
    genClipAddContour(polygon, {{1, 1}, {2, 1}, {1, 2}}, 7);
    contour[0] = {9, 9}; // a copy was taken
    ASSERT_EQ(polygon.loops.size(), 2u);
    EXPECT_EQ(polygon.loops[0].points, (std::vector<Point2>{{0, 0}, {4, 0}, {0, 3}}));
    EXPECT_EQ(polygon.loops[1].hole, 7);
    genClipFreePolygon(polygon);
    EXPECT_TRUE(polygon.loops.empty());
    StripSet strips{{{{0, 0}, {1, 0}, {0, 1}}}};
    genClipFreeStrips(strips);
    EXPECT_TRUE(strips.strips.empty());
}

using PolygonClipperMemory = test::ErrorCallbackTest;

// Every allocation of a call may fail: the call then leaves an empty result and calls the
// error callback with 2 once; the first call that gets all it needs gives the full result.
TEST_F(PolygonClipperMemory, EachFailedAllocationGivesAnEmptyResultAndTheCallback) {
    const LoopSet subject{{rectangle(0, 0, 10, 10), {{{2, 2}, {12, 5}, {2, 8}}, 0}}};
    const LoopSet clip{{rectangle(5, -5, 15, 15), rectangle(6, 6, 8, 8)}};
    for (ClipOp op : kOps) {
        SCOPED_TRACE(opName(op));
        LoopSet expected;
        StripSet expectedStrips;
        genClipPolygons(op, subject, clip, expected);
        genClipToStrips(op, subject, clip, expectedStrips);
        ASSERT_FALSE(expected.loops.empty());
        ASSERT_FALSE(expectedStrips.strips.empty());
        for (int strips = 0; strips < 2; ++strips) {
            for (long step = 0;; ++step) {
                SCOPED_TRACE((strips ? "strips, allocation " : "contours, allocation ") +
                             std::to_string(step));
                ASSERT_LT(step, 1000) << "the call never succeeded";
                forgetCallbacks();
                LoopSet result{{rectangle(0, 0, 1, 1)}};
                StripSet resultStrips{{{{0, 0}, {1, 0}, {0, 1}}}};
                dbFailAllocationAfter(step);
                if (strips)
                    genClipToStrips(op, subject, clip, resultStrips);
                else
                    genClipPolygons(op, subject, clip, result);
                const bool failed = callbacks(kErrorReasonNoMemory) > 0;
                dbFailAllocationAfter(-1);
                if (!failed) {
                    if (strips)
                        EXPECT_EQ(resultStrips, expectedStrips);
                    else
                        EXPECT_EQ(result, expected);
                    break;
                }
                EXPECT_EQ(callbacks(kErrorReasonNoMemory), 1);
                if (strips)
                    EXPECT_TRUE(resultStrips.strips.empty());
                else
                    EXPECT_TRUE(result.loops.empty());
            }
        }
    }
}

} // namespace
} // namespace tracemill
