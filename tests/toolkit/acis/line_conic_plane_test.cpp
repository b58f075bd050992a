#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <sstream>

#include "acis_test_support.h"
#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/matrix4x4.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/trace_switches.h"

namespace tracemill {
namespace {

using test::AcisKernelTest;
using test::expectPointNear;
using test::expectVectorNear;
using test::kPi;

class LineConicPlaneTest : public AcisKernelTest {};

TEST_F(LineConicPlaneTest, LineConstructionAndQueries) {
    EXPECT_EQ(c_Line().direction(), kZAxis);
    EXPECT_EQ(c_Line(kOrigin, {0, 0, 0}).direction(), kZAxis);
    EXPECT_EQ(c_Line(kOrigin, {1e-7, 0, 0}).direction(), kZAxis);
    const c_Line line({1, 2, 3}, {0, 3, 4});
    expectVectorNear(line.direction(), {0, 0.6, 0.8}, 1e-15);
    aPoint p;
    EXPECT_TRUE(line.getPointAt(5, p));
    expectPointNear(p, {1, 5, 7}, 1e-14);
    EXPECT_NEAR(line.getParameterOf({7, 5, 7}), 5, 1e-14);
    EXPECT_EQ(line.tangentAt(p), line.direction());

    aPoint::setCoincidenceTolerance(1e-6);
    EXPECT_TRUE(line.contains({1, 5, 7}));
    EXPECT_FALSE(line.contains({1, 5, 7.001}));
    EXPECT_TRUE(line.sameClass(c_Line({1, 8, 11}, {0, -0.6, -0.8})));
    EXPECT_FALSE(line.sameClass(c_Line({1, 8, 11.1}, {0, 0.6, 0.8})));
    EXPECT_FALSE(line.sameClass(c_Line({1, 2, 3}, {1, 0, 0})));

    const LineRecord record = std::get<LineRecord>(line.makeOldStyleEntity());
    EXPECT_EQ(record.point, aPoint(1, 2, 3));
    EXPECT_EQ(record.direction, line.direction());
}

TEST_F(LineConicPlaneTest, LineRefusesCloneAndTransformAsDoesTheCircleClone) {
    c_Line line;
    EXPECT_EQ(line.clone(), nullptr);
    line.transform(c_Matrix4x4());
    const c_Circle circle(kOrigin, kZAxis, 2);
    EXPECT_EQ(circle.clone(), nullptr);
    EXPECT_EQ(messages.text(), "Cannot clone instances of c_Line\nCannot transform instances of c_Line\n"
                               "Cannot clone instances of c_Circle\n");
    const c_Ellipse ellipse(kOrigin, kXAxis, kZAxis, 3, 1);
    const auto copy = ellipse.clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->className(), "c_Ellipse");
    aPoint p;
    copy->getPointAt(0, p);
    EXPECT_EQ(p, aPoint(3, 0, 0));
}

TEST_F(LineConicPlaneTest, EllipseRadiusRows) {
    const struct {
        const char* name;
        double a, b;
        double aOut, bOut;
        bool swapped;
    } rows[] = {
        {"ordered", 3, 2, 3, 2, false},
        {"a below b swaps", 2, 3, 3, 2, true},
        {"tiny a", 1e-7, 0.5, 1.5, 0.5, false},
        {"tiny b", 4, 0, 4, 1.0, false},
        {"both tiny", 0, 0, 1.5, 1.0, false},
        {"tiny a below b", 1e-9, 2, 2, 1.5, true},
        {"not a number", std::nan(""), 1, 1.5, 1, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const c_Ellipse e({1, 1, 1}, kXAxis, kZAxis, row.a, row.b);
        EXPECT_EQ(e.majorRadius(), row.aOut);
        EXPECT_EQ(e.minorRadius(), row.bOut);
        expectVectorNear(e.u(), row.swapped ? kYAxis : kXAxis, 0);
        expectVectorNear(e.v(), row.swapped ? kXAxis : kYAxis, 0);
        expectVectorNear(e.w(), row.swapped ? -kZAxis : kZAxis, 0);
        expectVectorNear(e.u().cross(e.v()), e.w(), 0);
    }
    EXPECT_EQ(c_Circle(kOrigin, kZAxis, 1e-7).radius(), 1.0);
    EXPECT_EQ(c_Circle(kOrigin, kZAxis, -2).radius(), 1.0);
}

TEST_F(LineConicPlaneTest, EllipseAndCircleEvaluation) {
    test::RandomGeometry random(107);
    aPoint::setCoincidenceTolerance(1e-9);
    for (int i = 0; i < 200; ++i) {
        const test::Frame f = random.frame(10);
        const double a = random.uniform(1, 5), b = random.uniform(0.2, 1);
        const c_Ellipse e(f.origin, f.u, f.w * 3, a, b);
        const c_Circle c(f.origin, f.u, f.w, a);
        const double t = random.uniform(-kPi, kPi);
        aPoint pe, pc;
        e.getPointAt(t, pe);
        c.getPointAt(t, pc);
        expectPointNear(pe, f.at(a * std::cos(t), b * std::sin(t), 0), 1e-12);
        expectPointNear(pc, f.at(a * std::cos(t), a * std::sin(t), 0), 1e-12);
        EXPECT_NEAR(e.getParameterOf(pe), t, 1e-9);
        EXPECT_NEAR(c.getParameterOf(pc), t, 1e-9);
        EXPECT_TRUE(e.contains(pe));
        EXPECT_TRUE(c.contains(pc));
        EXPECT_FALSE(e.contains(pe + 1e-4 * f.w));
        EXPECT_FALSE(c.contains(pc + 1e-4 * f.w));
        expectVectorNear(e.tangentAt(pe), ((-a * std::sin(t)) * f.u + (b * std::cos(t)) * f.v) /
                                              std::hypot(a * std::sin(t), b * std::cos(t)), 1e-9);
        expectVectorNear(c.tangentAt(pc), -std::sin(t) * f.u + std::cos(t) * f.v, 1e-9);
        // The circle's own snap moves a point off the circle onto it radially.
        aPoint off = pc + 0.5 * (pc - f.origin) + 2.0 * f.w;
        ASSERT_TRUE(c.snapToCurve(off));
        expectPointNear(off, pc, 1e-9);
    }
    const c_Ellipse round(kOrigin, kXAxis, kZAxis, 2, 2);
    EXPECT_STREQ(round.className(), "c_Ellipse");
    aPoint p;
    round.getPointAt(kPi / 2, p);
    expectPointNear(p, {0, 2, 0}, 1e-15);
    aPoint onAxis(0, 0, 5);
    EXPECT_FALSE(c_Circle(kOrigin, kZAxis, 1).snapToCurve(onAxis));
}

TEST_F(LineConicPlaneTest, CircleContainsOnlyPointsInItsPlane) {
    const c_Circle c({1, 2, 3}, kXAxis, kZAxis, 2);
    EXPECT_TRUE(c.contains({3, 2, 3}));
    EXPECT_FALSE(c.contains({1, 2, 5}));            // at distance r, but on the axis
    EXPECT_FALSE(c.contains({1 + std::sqrt(2.0), 2, 3 + std::sqrt(2.0)}));  // at distance r, off the plane
    EXPECT_TRUE(c.contains({3.00004, 2, 3}));       // within the squared-distance tolerance
    EXPECT_FALSE(c.contains({3.0001, 2, 3}));
}

TEST_F(LineConicPlaneTest, ConicEquality) {
    aPoint::setCoincidenceTolerance(1e-6);
    const c_Circle c({1, 2, 3}, kXAxis, kZAxis, 2);
    EXPECT_TRUE(c.sameClass(c_Circle({1, 2, 3}, kYAxis, -kZAxis, 2 + 1e-7)));
    EXPECT_FALSE(c.sameClass(c_Circle({1, 2, 3}, kXAxis, kZAxis, 2.1)));
    EXPECT_FALSE(c.sameClass(c_Circle({1, 2, 3}, kXAxis, kXAxis, 2)));
    EXPECT_FALSE(c.sameClass(c_Ellipse({1, 2, 3}, kXAxis, kZAxis, 2, 2)));
    const c_Ellipse e({1, 2, 3}, kXAxis, kZAxis, 3, 2);
    EXPECT_TRUE(e.sameClass(c_Ellipse({1, 2, 3}, -kXAxis, kZAxis, 3, 2)));
    EXPECT_FALSE(e.sameClass(c_Ellipse({1, 2, 3}, kYAxis, kZAxis, 3, 2)));
    EXPECT_FALSE(e.sameClass(c_Ellipse({1, 2, 3.1}, kXAxis, kZAxis, 3, 2)));
    EXPECT_FALSE(e.sameClass(c_Ellipse({1, 2, 3}, kXAxis, kZAxis, 3, 2.01)));
}

TEST_F(LineConicPlaneTest, ParamInIntervalWrapRows) {
    const c_Circle circle(kOrigin, kZAxis, 1);
    const c_Ellipse ellipse(kOrigin, kXAxis, kZAxis, 4, 1);
    const struct {
        const char* name;
        double t, s, e;
        bool forward;
        bool circle, ellipse;
    } rows[] = {
        {"forward inside", 0.5, 0, 1, true, true, true},
        {"forward at the start", 0, 0, 1, true, true, true},
        {"forward outside", 1.5, 0, 1, true, false, false},
        {"forward wrapping, past the start", 3, 2, -2, true, true, true},
        {"forward wrapping, before the end", -3, 2, -2, true, true, true},
        {"forward wrapping, outside", 0, 2, -2, true, false, false},
        {"backward inside", 0.5, 1, 0, false, true, true},
        {"backward outside", 1.5, 1, 0, false, false, false},
        {"backward wrapping", 3, -2, 2, false, true, true},
        {"backward wrapping, outside", 0, -2, 2, false, false, false},
        {"full turn for the circle", 1.0005, 1, 1.0009, true, true, true},
        {"a tolerance divided by a for the ellipse", 2, 1, 1.0009, true, true, false},
        {"full turn for both", 2, 1, 1.0002, true, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(circle.paramInInterval(row.t, row.s, row.e, row.forward), row.circle);
        EXPECT_EQ(ellipse.paramInInterval(row.t, row.s, row.e, row.forward), row.ellipse);
    }
    EXPECT_EQ(geometryTolerances().BasicAngleTol, 0.001);
}

TEST_F(LineConicPlaneTest, TessellationCountsFollowTheStepAngle) {
    const c_Circle circle(kOrigin, kZAxis, 2);
    const c_Ellipse ellipse(kOrigin, kXAxis, kZAxis, 4, 1);
    auto stepCount = [](double span, double tolerance, double r, int most) {
        const double step = (tolerance > 1e-6 && tolerance < r) ? 2 * std::acos(1 - tolerance / r) : kPi;
        int n = std::clamp(int(std::trunc(std::fabs(span) / step + 0.5)) + 1, 2, most);
        while (n < most && std::fabs(span) / (n - 1) >= kPi) ++n;
        return n;
    };
    const struct {
        const char* name;
        const c_Conic* conic;
        double r;
        double tolerance;
        bool reversed;
        bool bounded;
        double lower, upper;
        int most;
        double span;
    } rows[] = {
        {"full circle, fine", &circle, 2, 0.01, false, false, 0, 0, 1000, 2 * kPi},
        {"full circle, reversed", &circle, 2, 0.01, true, false, 0, 0, 1000, -2 * kPi},
        {"tolerance above the radius", &circle, 2, 5, false, false, 0, 0, 1000, 2 * kPi},
        {"tolerance at 1e-6 uses pi", &circle, 2, 1e-6, false, false, 0, 0, 1000, 2 * kPi},
        {"reversed, coarse: still no chord of half a turn", &circle, 2, 5, true, false, 0, 0, 1000, -2 * kPi},
        {"quarter arc", &circle, 2, 0.001, false, true, 0, kPi / 2, 1000, kPi / 2},
        {"arc across pi", &circle, 2, 0.001, false, true, 3, -3, 1000, 2 * kPi - 6},
        {"reversed arc", &circle, 2, 0.001, true, true, 1, -1, 1000, -2},
        {"reversed arc wrapping", &circle, 2, 0.001, true, true, -1, 1, 1000, -(2 * kPi - 2)},
        {"bounds beyond pi are normalised", &circle, 2, 0.01, false, true, 7, 8, 1000, 1},
        {"capped", &circle, 2, 1e-4, false, false, 0, 0, 10, 2 * kPi},
        {"ellipse uses the major radius", &ellipse, 4, 0.01, false, false, 0, 0, 1000, 2 * kPi},
    };
    std::array<aPoint, 1000> points;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        c_Interval interval;
        if (row.bounded) interval = c_Interval(row.lower, row.upper);
        const int n = row.conic->tessellate(row.tolerance, std::span(points).first(size_t(row.most)), row.reversed,
                                            row.bounded ? &interval : nullptr);
        EXPECT_EQ(n, stepCount(row.span, row.tolerance, row.r, row.most));
        ASSERT_GE(n, 2);
        const double start = row.bounded ? std::remainder(row.lower, 2 * kPi) : -kPi;
        for (int i = 0; i < n; ++i) {
            aPoint expected;
            row.conic->getPointAt(start + i * row.span / (n - 1), expected);
            expectPointNear(points[size_t(i)], expected, 1e-12);
        }
    }
    EXPECT_EQ(circle.tessellate(0.1, std::span(points).first(0), false, nullptr), 0);
    EXPECT_EQ(circle.tessellate(0.1, std::span(points).first(1), false, nullptr), 1);
    const c_Interval broken(std::nan(""), 1);
    EXPECT_EQ(circle.tessellate(0.1, points, false, &broken), 0);
}

TEST_F(LineConicPlaneTest, ConicTransformAndRecords) {
    c_Circle circle({1, 0, 0}, kXAxis, kZAxis, 2);
    const c_Matrix4x4 turnAndMove(0, -1, 0, 5, 1, 0, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1);
    circle.transform(turnAndMove);
    expectPointNear(circle.centre(), {5, 7, 7}, 0);
    expectVectorNear(circle.u(), kYAxis, 0);
    expectVectorNear(circle.v(), -kXAxis, 0);
    const CircleRecord record = std::get<CircleRecord>(circle.makeOldStyleEntity());
    EXPECT_EQ(record.radius, 2);
    EXPECT_EQ(record.normal, kZAxis);
    const EllipseRecord ellipse = std::get<EllipseRecord>(c_Ellipse(kOrigin, kXAxis, kZAxis, 1, 3).makeOldStyleEntity());
    EXPECT_EQ(ellipse.a, 3);
    EXPECT_EQ(ellipse.major, kYAxis);
    std::ostringstream text;
    c_Circle(kOrigin, kXAxis, kZAxis, 1.5).print(text);
    EXPECT_EQ(text.str(), "c_Circle( C=(0,0,0) , u=(1,0,0) , v=(0,1,0) , w=(0,0,1) , r=1.5 )");
}

TEST_F(LineConicPlaneTest, PlaneRows) {
    const struct {
        const char* name;
        c_Plane plane;
        aPoint point;
        aVector normal;
    } rows[] = {
        {"default", c_Plane(), {0, 0, 0}, {0, 0, 1}},
        {"normal normalised", c_Plane({1, 2, 3}, {0, 0, 5}), {1, 2, 3}, {0, 0, 1}},
        {"zero normal", c_Plane({1, 2, 3}, {0, 0, 0}), {1, 2, 3}, {0, 0, 1}},
        {"short normal", c_Plane({1, 2, 3}, {1e-7, 0, 0}), {1, 2, 3}, {0, 0, 1}},
        {"three points", c_Plane({1, 0, 0}, {1, 1, 0}, {1, 0, 1}), {1, 0, 0}, {1, 0, 0}},
        {"collinear points", c_Plane({1, 1, 1}, {2, 2, 2}, {3, 3, 3}), {1, 1, 1}, {0, 0, 1}},
        {"coincident points", c_Plane({4, 4, 4}, {4, 4, 4}, {4, 4, 4}), {4, 4, 4}, {0, 0, 1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.plane.point(), row.point);
        expectVectorNear(row.plane.normal(), row.normal, 1e-15);
        expectVectorNear(row.plane.normalAt({100, -3, 8}), row.normal, 1e-15);
        const PlaneRecord record = std::get<PlaneRecord>(row.plane.makeOldStyleEntity());
        EXPECT_EQ(record.point, row.point);
    }
    const c_Plane plane({0, 0, 1}, {0, 0, 2});
    EXPECT_DOUBLE_EQ(plane.signedDistance({5, 5, 3}), 2);
    EXPECT_DOUBLE_EQ(plane.signedDistance({5, 5, -1}), -2);
    std::ostringstream text;
    plane.print(text);
    EXPECT_EQ(text.str(), "c_Plane( (0,0,1) , (0,0,1) )");
    EXPECT_EQ(messages.text(), "");
    traceSwitches().plane = true;
    c_Plane({0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(messages.text(), "c_Plane::validateData: vectorLength=0\nAttempt to create a plane with a zero normal vector.");
}

} // namespace
} // namespace tracemill
