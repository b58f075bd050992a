#include "toolkit/acis/geometry/point_vector.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "acis_test_support.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/row_arrays.h"

namespace tracemill {
namespace {

using test::AcisKernelTest;
using test::expectVectorNear;

class PointVectorTest : public AcisKernelTest {};

TEST_F(PointVectorTest, ComponentQueryGivesTheHomogeneousCoordinate) {
    const aVector v(1, 2, 3);
    const aPoint p(4, 5, 6);
    const struct {
        int index;
        double vector, point;
    } rows[] = {{-1, 0.0, 1.0}, {0, 1, 4}, {1, 2, 5}, {2, 3, 6}, {3, 0.0, 0.0}, {-2, 0.0, 0.0}};
    for (const auto& row : rows) {
        EXPECT_EQ(v.component(row.index), row.vector) << row.index;
        EXPECT_EQ(p.component(row.index), row.point) << row.index;
    }
}

TEST_F(PointVectorTest, NormalizeLeavesShortVectorsAndReturnsTheLength) {
    const struct {
        aVector in;
        double length;
        aVector out;
    } rows[] = {
        {{1e-7, 0, 0}, 1e-7, {1e-7, 0, 0}},
        {{3, 4, 0}, 5, {0.6, 0.8, 0}},
        {{0, 0, 0}, 0, {0, 0, 0}},
        {{0, -2, 0}, 2, {0, -1, 0}},
        {{1e-6, 0, 0}, 1e-6, {1e-6, 0, 0}},  // at the tolerance: left as it is
    };
    for (const auto& row : rows) {
        aVector v = row.in;
        EXPECT_DOUBLE_EQ(v.normalize(), row.length);
        expectVectorNear(v, row.out, 1e-15);
        aVector unit;
        EXPECT_DOUBLE_EQ(row.in.unitVector(unit), row.length);
        expectVectorNear(unit, row.out, 1e-15);
    }
}

TEST_F(PointVectorTest, CrossDotAndArithmetic) {
    const aVector a(1, 2, 3), b(-4, 5, 0.5);
    expectVectorNear(a.cross(b), aVector(2 * 0.5 - 3 * 5, 3 * -4 - 1 * 0.5, 1 * 5 - (-4) * 2), 0);
    EXPECT_DOUBLE_EQ(a.dot(b), -4 + 10 + 1.5);
    expectVectorNear(a + b, aVector(-3, 7, 3.5), 0);
    expectVectorNear(a - b, aVector(5, -3, 2.5), 0);
    expectVectorNear(-a, aVector(-1, -2, -3), 0);
    expectVectorNear(2.0 * a, aVector(2, 4, 6), 0);
    expectVectorNear(a / 2.0, aVector(0.5, 1, 1.5), 0);
    aVector c = a;
    expectVectorNear(c += b, a + b, 0);
    expectVectorNear(c, a + b, 0);
    EXPECT_DOUBLE_EQ(a.lengthSquared(), 14);
    expectVectorNear(aPoint(1, 1, 1) - aPoint(0, 2, 3), aVector(1, -1, -2), 0);
    std::ostringstream text;
    text << aVector(1, -2.5, 0) << aPoint(3, 4, 5);
    EXPECT_EQ(text.str(), "(1,-2.5,0)(3,4,5)");
}

TEST_F(PointVectorTest, SnapToAxes) {
    const struct {
        aVector in, out;
    } rows[] = {
        {{1e-4, 0.99995, -0.99995}, {0, 1, -1}},
        {{-1e-4, 0.5, 1.00002}, {0, 0.5, 1}},
        {{0.01, -0.5, 0.9}, {0.01, -0.5, 0.9}},
    };
    for (const auto& row : rows) {
        aVector v = row.in;
        v.snapToAxes(1e-3);
        expectVectorNear(v, row.out, 0);
    }
}

TEST_F(PointVectorTest, PerpendicularFollowsTheSmallestComponent) {
    const struct {
        aVector in, out;
    } rows[] = {
        {{0, 0, 1}, {1, 0, 0}},       // x and y tie: y smallest, |x| below tolerance
        {{1, 2, 3}, {0, -3, 2}},      // x smallest, |y| <= |z|
        {{1, 3, 2}, {0, 2, -3}},      // x smallest, |y| > |z|
        {{2, 1, 3}, {-3, 0, 2}},      // y smallest, tol <= |x| <= |z|
        {{3, 1, 2}, {2, 0, -3}},      // y smallest, |x| > |z|
        {{2, 3, 1}, {-3, 2, 0}},      // z smallest, |x| <= |y|
        {{3, 2, 1}, {2, -3, 0}},      // z smallest, |x| > |y|
    };
    for (const auto& row : rows) {
        const aVector p = row.in.perpendicular();
        expectVectorNear(p, row.out, 0);
        EXPECT_NEAR(p.dot(row.in), 0.0, 1e-15);
    }
}

TEST_F(PointVectorTest, DecomposeAndParallel) {
    aVector parallel, across;
    aVector(0, 0, 1).decompose({3, 4, 5}, parallel, across);
    expectVectorNear(parallel, {0, 0, 5}, 0);
    expectVectorNear(across, {3, 4, 0}, 0);
    EXPECT_TRUE(aVector::parallelTo({1, 0, 0}, {-2, 0, 0}));
    EXPECT_TRUE(aVector::parallelTo({1, 1, 0}, {3, 3, 0}));
    EXPECT_FALSE(aVector::parallelTo({1, 0, 0}, {1, 0.01, 0}));
}

TEST_F(PointVectorTest, CompleteFrameRows) {
    const struct {
        const char* name;
        aVector u, w;
        aVector uOut, vOut, wOut;
    } rows[] = {
        {"zero w gives the axes", {5, 5, 5}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"u parallel to w", {0, 0, 1}, {0, 0, 2}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"u along w is removed", {1, 0, 7}, {0, 0, 3}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"zero hint", {0, 0, 0}, {0, 2, 0}, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        aVector u = row.u, v, w = row.w;
        aVector::completeFrame(u, v, w);
        expectVectorNear(u, row.uOut, 1e-15);
        expectVectorNear(v, row.vOut, 1e-15);
        expectVectorNear(w, row.wOut, 1e-15);
    }
    test::RandomGeometry random(121);
    for (int i = 0; i < 200; ++i) {
        aVector u = random.unitVector() * random.uniform(0.1, 5), v, w = random.unitVector() * random.uniform(0.1, 5);
        const aVector hint = u, axis = w / w.length();
        aVector::completeFrame(u, v, w);
        expectVectorNear(w, axis, 1e-15);
        EXPECT_NEAR(u.length(), 1, 1e-14);
        EXPECT_NEAR(u.dot(w), 0, 1e-14);
        expectVectorNear(u.cross(v), w, 1e-14);
        // u is the hint with its part along w removed.
        const aVector expected = (hint - hint.dot(axis) * axis) / (hint - hint.dot(axis) * axis).length();
        expectVectorNear(u, expected, 1e-12);
    }
}

TEST_F(PointVectorTest, HomogeneousConversions) {
    const float in[4] = {2, 4, 6, 2};
    const aPoint p = aPoint::fromHomogeneous(in);
    EXPECT_EQ(p, aPoint(1, 2, 3));
    const float tiny[4] = {2, 4, 6, 1e-7f};
    EXPECT_EQ(aPoint::fromHomogeneous(tiny), aPoint(2, 4, 6));  // weight too small to divide by
    float out[4];
    aPoint(1, 2, 3).toHomogeneous(0.5, out);
    EXPECT_EQ(out[0], 0.5f);
    EXPECT_EQ(out[1], 1.0f);
    EXPECT_EQ(out[2], 1.5f);
    EXPECT_EQ(out[3], 0.5f);
}

TEST_F(PointVectorTest, CoincidenceAndAddUnique) {
    EXPECT_EQ(aPoint::getCoincidenceTolerance(), 0.0);
    EXPECT_FALSE(aPoint(1, 2, 3).coincident(aPoint(1, 2, 3)));  // nothing coincides before a setup
    aPoint::setCoincidenceTolerance(0.01);
    aPoint::setCoincidenceTolerance(-1);
    EXPECT_EQ(aPoint::getCoincidenceTolerance(), 0.01);
    EXPECT_TRUE(aPoint(1, 2, 3).coincident(aPoint(1, 2, 3.005)));
    EXPECT_FALSE(aPoint(1, 2, 3).coincident(aPoint(1, 2, 3.0101)));

    std::array<aPoint, 3> points;
    int count = 0;
    const struct {
        aPoint p;
        int countAfter;
    } rows[] = {
        {{0, 0, 0}, 1}, {{0, 0, 0.005}, 1}, {{1, 0, 0}, 2}, {{1.001, 0, 0}, 2}, {{2, 0, 0}, 3}, {{5, 0, 0}, 3},
    };
    for (const auto& row : rows) {
        aPoint::addUnique(row.p, points, count);
        EXPECT_EQ(count, row.countAfter);
    }
    EXPECT_EQ(points[1], aPoint(1, 0, 0));
    EXPECT_EQ(points[2], aPoint(2, 0, 0));
    aPoint::setCoincidenceTolerance(0.0);
    EXPECT_EQ(aPoint::getCoincidenceTolerance(), 0.0);
}

TEST_F(PointVectorTest, DistancesAndConstants) {
    EXPECT_DOUBLE_EQ(aPoint(1, 2, 3).distanceSquared(aPoint(2, 4, 5)), 9);
    EXPECT_DOUBLE_EQ(aPoint(1, 2, 3).distance(aPoint(2, 4, 5)), 3);
    EXPECT_EQ(kZAxis, aVector(0, 0, 1));
    EXPECT_EQ(kUnitPointY, aPoint(0, 1, 0));
    EXPECT_EQ(aVector(kUnitPointX), kXAxis);
}

TEST_F(PointVectorTest, ToleranceStartValuesAndScopedChange) {
    GeometryTolerances& t = geometryTolerances();
    EXPECT_EQ(t.BasicAngleTol, 0.001);
    EXPECT_EQ(t.BasicDistanceTol, 1e-6);
    EXPECT_EQ(t.BasicDistanceSquaredTol, 0.0002);
    EXPECT_EQ(t.BasicUnitTol, 1e-6);
    EXPECT_EQ(t.coincTol, 0.0);
    auto leaveEarly = [&](bool early) {
        ScopedTolerance boost(t.BasicDistanceTol, 1.0);
        if (early) return 1;
        return 2;
    };
    leaveEarly(true);
    leaveEarly(false);
    EXPECT_EQ(t.BasicDistanceTol, 1e-6);
}

TEST_F(PointVectorTest, RowArrays) {
    PointerRows rows = allocPointerRows(3, 4);
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows) EXPECT_EQ(row, std::vector<std::int32_t>(4, 0));
    freePointerRows(rows);
    EXPECT_TRUE(rows.empty());
    freePointerRows(rows);
    EXPECT_TRUE(allocPointerRows(0, 5).empty());
}

} // namespace
} // namespace tracemill
