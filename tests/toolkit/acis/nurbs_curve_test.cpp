#include "toolkit/acis/geometry/nurbs_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "acis_test_support.h"
#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/intersection_result.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/matrix4x4.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/rat_bezier_curve.h"
#include "toolkit/acis/geometry/sphere.h"

namespace tracemill {
namespace {

using test::AcisKernelTest;
using test::expectPointNear;
using test::RandomGeometry;
using test::kPi;

class NURBSCurveTest : public AcisKernelTest {
protected:
    void SetUp() override {
        AcisKernelTest::SetUp();
        aPoint::setCoincidenceTolerance(1e-6);  // as the renderer's tolerance setup leaves it
    }
};

struct RandomCurve {
    std::vector<HomogeneousPoint> points;
    std::vector<float> knots;
    int order;
};

// Clamped knots with inner knots of multiplicity 1 up to the degree, and control points with
// weights of 1 (polynomial) or random weights (rational).
RandomCurve randomCurve(RandomGeometry& random, int degree, bool rational, int maxMultiplicity = 0) {
    RandomCurve c;
    c.order = degree + 1;
    c.knots.assign(size_t(c.order), 0.0f);
    float at = 0.0f;
    const int inner = random.integer(0, 3);
    for (int i = 0; i < inner; ++i) {
        at += float(random.uniform(0.25, 1.5));
        const int multiplicity = random.integer(1, maxMultiplicity > 0 ? maxMultiplicity : std::max(degree, 1));
        c.knots.insert(c.knots.end(), size_t(multiplicity), at);
    }
    at += float(random.uniform(0.25, 1.5));
    c.knots.insert(c.knots.end(), size_t(c.order), at);
    const size_t n = c.knots.size() - size_t(c.order);
    for (size_t i = 0; i < n; ++i) {
        const aPoint p = random.point(10);
        const double w = rational ? random.uniform(0.3, 3) : 1.0;
        c.points.push_back({float(w * p.x), float(w * p.y), float(w * p.z), float(w)});
    }
    return c;
}

// de Boor's algorithm in homogeneous coordinates, in doubles, over the stored values.
aPoint deBoor(const RandomCurve& c, double t) {
    const int k = c.order, p = k - 1, n = int(c.points.size());
    int s = p;
    while (s < n - 1 && t >= c.knots[size_t(s + 1)]) ++s;
    std::vector<std::array<double, 4>> d(static_cast<size_t>(k));
    for (int j = 0; j <= p; ++j) {
        for (size_t q = 0; q < 4; ++q) d[size_t(j)][q] = c.points[size_t(j + s - p)][q];
    }
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            const double lo = c.knots[size_t(j + s - p)], hi = c.knots[size_t(j + 1 + s - r)];
            const double alpha = (t - lo) / (hi - lo);
            for (size_t q = 0; q < 4; ++q) d[size_t(j)][q] = (1 - alpha) * d[size_t(j - 1)][q] + alpha * d[size_t(j)][q];
        }
    }
    const auto& h = d[size_t(p)];
    return {h[0] / h[3], h[1] / h[3], h[2] / h[3]};
}

TEST_F(NURBSCurveTest, EvaluationAgreesWithDeBoor) {
    RandomGeometry random(122);
    for (int trial = 0; trial < 160; ++trial) {
        const int degree = 1 + trial % 4;
        const bool rational = (trial / 4) % 2 == 1;
        const RandomCurve rc = randomCurve(random, degree, rational);
        const c_NURBSCurve curve(rc.points, rc.knots);
        ASSERT_EQ(curve.order(), degree + 1);
        SCOPED_TRACE(::testing::Message() << "trial " << trial << " degree " << degree << (rational ? " rational" : ""));
        std::vector<double> parameters;
        for (float knot : rc.knots) parameters.push_back(knot);
        for (size_t i = 0; i + 1 < rc.knots.size(); ++i) parameters.push_back(0.5 * (rc.knots[i] + rc.knots[i + 1]));
        for (int i = 0; i < 10; ++i) parameters.push_back(random.uniform(curve.minParam(), curve.maxParam()));
        for (double t : parameters) {
            aPoint p;
            ASSERT_TRUE(curve.getPointAt(t, p)) << t;
            if (t >= curve.maxParam()) continue;  // de Boor here takes half-open spans
            const aPoint expected = deBoor(rc, t);
            expectPointNear(p, expected, 1e-6 * (1 + aVector(expected).length()));
        }
        aPoint last, end;
        curve.controlPoint(curve.numControlPoints() - 1, last);
        curve.getPointAt(curve.maxParam(), end);
        expectPointNear(end, last, 1e-5 * (1 + aVector(last).length()));
        aPoint outside(9, 9, 9);
        EXPECT_FALSE(curve.getPointAt(curve.maxParam() + 0.1, outside));
        EXPECT_EQ(outside, kOrigin);
        EXPECT_FALSE(curve.getPointAt(curve.minParam() - 0.1, outside));
        EXPECT_EQ(outside, kOrigin);
    }
}

TEST_F(NURBSCurveTest, RationalBasisRows) {
    // A quadratic on three control points: the Bernstein weights, and the last point at the end.
    const float knots[6] = {0, 0, 0, 1, 1, 1};
    const double weights[3] = {1, 2, 1};
    double r[3];
    ASSERT_EQ(rationalBasis(3, 0.5, 3, knots, weights, r), 0);
    const double b[3] = {0.25, 0.5 * 2, 0.25};
    const double sum = b[0] + b[1] + b[2];
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(r[i], b[i] / sum, 1e-15);
    ASSERT_EQ(rationalBasis(3, 1.0, 3, knots, weights, r), 0);
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[1], 0);
    EXPECT_EQ(r[2], 1);
    EXPECT_EQ(rationalBasis(3, 0.5, 3, std::span<const float>(knots, 5), weights, r), 1);
    // Outside the knots every function is 0.
    ASSERT_EQ(rationalBasis(3, 2.0, 3, knots, weights, r), 0);
    EXPECT_EQ(r[0] + r[1] + r[2], 0);
}

TEST_F(NURBSCurveTest, DerivativesMatchCentralDifferences) {
    RandomGeometry random(1221);
    for (int trial = 0; trial < 80; ++trial) {
        const RandomCurve rc = randomCurve(random, 2 + trial % 3, trial % 2 == 1);
        const c_NURBSCurve curve(rc.points, rc.knots);
        for (int sample = 0; sample < 10; ++sample) {
            const double t = random.uniform(curve.minParam(), curve.maxParam()), h = 1e-4;
            const int span = curve.knotSequence().findSpan(t);
            if (t - 2 * h < curve.knotSequence().knot(span) || t + 2 * h > curve.knotSequence().knot(span + 1)) continue;
            std::array<aVector, 5> c, before, after;
            ASSERT_TRUE(curve.derivativesAt(t, 2, c));
            ASSERT_TRUE(curve.derivativesAt(t - h, 2, before));
            ASSERT_TRUE(curve.derivativesAt(t + h, 2, after));
            for (int order = 1; order <= 2; ++order) {
                const aVector difference = (after[size_t(order - 1)] - before[size_t(order - 1)]) / (2 * h);
                EXPECT_LT((c[size_t(order)] - difference).length(), 1e-3 * (1 + difference.length()))
                    << "trial " << trial << " order " << order;
            }
            aPoint p;
            curve.getPointAt(t, p);
            expectPointNear(aPoint(c[0]), p, 1e-5 * (1 + aVector(p).length()));
            const aVector unit = c[1] / c[1].length();
            EXPECT_LT((curve.tangentAt(t) - unit).length(), 1e-12);
        }
    }
    const RandomCurve rc = randomCurve(random, 3, false);
    const c_NURBSCurve curve(rc.points, rc.knots);
    std::array<aVector, 5> c;
    EXPECT_FALSE(curve.derivativesAt(curve.minParam(), 5, c));
    EXPECT_FALSE(curve.derivativesAt(curve.minParam(), 0, c));
    EXPECT_TRUE(curve.derivativesAt(curve.minParam(), 4, c));
    EXPECT_FALSE(curve.derivativesAt(curve.maxParam() + 1, 1, c));
}

TEST_F(NURBSCurveTest, KnotInsertionAndBezierSegmentsKeepTheCurve) {
    RandomGeometry random(1222);
    for (int trial = 0; trial < 60; ++trial) {
        const RandomCurve rc = randomCurve(random, 1 + trial % 4, trial % 2 == 1);
        const c_NURBSCurve curve(rc.points, rc.knots);
        const double u = random.uniform(curve.minParam(), curve.maxParam());
        const c_NURBSCurve refined = c_NURBSCurve::insertKnot(curve, u);
        ASSERT_EQ(refined.numControlPoints(), curve.numControlPoints() + 1);
        for (int i = 0; i <= 20; ++i) {
            const double t = curve.minParam() + i * (curve.maxParam() - curve.minParam()) / 20;
            aPoint a, b;
            curve.getPointAt(t, a);
            refined.getPointAt(t, b);
            expectPointNear(b, a, 2e-5 * (1 + aVector(a).length()));
        }
        for (int span = curve.order() - 1; span < curve.numControlPoints(); ++span) {
            const double lo = curve.knotSequence().knot(span), hi = curve.knotSequence().knot(span + 1);
            const auto segment = curve.bezierSegment(span);
            if (hi - lo < geometryTolerances().BasicAngleTol) {
                EXPECT_EQ(segment, nullptr);
                continue;
            }
            ASSERT_NE(segment, nullptr);
            EXPECT_EQ(segment->degree(), curve.order() - 1);
            for (double f : {0.0, 0.3, 0.75, 1.0}) {
                aPoint a, b;
                curve.getPointAt(lo + f * (hi - lo), a);
                segment->getPointAt(f, b);
                expectPointNear(b, a, 2e-5 * (1 + aVector(a).length()));
            }
        }
    }
    EXPECT_EQ(c_NURBSCurve::insertKnot(c_NURBSCurve(), 0.5).numControlPoints(), 0);
}

TEST_F(NURBSCurveTest, BezierSegmentOfAZeroLengthSpanIsNull) {
    const std::vector<HomogeneousPoint> points = {{0, 0, 0, 1}, {1, 0, 0, 1}, {2, 1, 0, 1}, {3, 0, 0, 1}};
    const std::vector<float> knots = {0, 0, 0, 1, 1, 1, 1};  // the last span has no width
    const c_NURBSCurve curve(points, std::span<const float>(knots.data(), 7));
    ASSERT_EQ(curve.order(), 3);
    EXPECT_NE(curve.bezierSegment(2), nullptr);
    EXPECT_EQ(curve.bezierSegment(3), nullptr);
}

TEST_F(NURBSCurveTest, ArcSegmentCountsAndKnots) {
    const c_Circle circle({1, 2, 3}, kXAxis, kZAxis, 2);
    const struct {
        const char* name;
        double a0, a1;
        int segments;
        std::vector<float> knots;
    } rows[] = {
        {"a quarter turn is one segment", 0, kPi / 2, 1, {0, 0, 0, 1, 1, 1}},
        {"just over half a turn is three", 0, kPi + 0.001, 3, {0, 0, 0, 1.f / 3, 1.f / 3, 2.f / 3, 2.f / 3, 1, 1, 1}},
        {"half a turn is two", 0, kPi, 2, {0, 0, 0, 0.5, 0.5, 1, 1, 1}},
        {"equal angles are a full turn of four", 1, 1, 4, {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1}},
        {"an end below the start is raised", 1, 0.5, 4, {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1}},
        {"raised by whole turns", 0.5, 0.5 + 0.3 - 32 * kPi, 1, {0, 0, 0, 1, 1, 1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const c_NURBSArc arc(circle, row.a0, row.a1);
        EXPECT_EQ(arc.segmentCount(), row.segments);
        EXPECT_EQ(arc.numControlPoints(), 2 * row.segments + 1);
        EXPECT_EQ(arc.order(), 3);
        EXPECT_EQ(std::vector<float>(arc.knots().begin(), arc.knots().end()), row.knots);
    }
    const c_NURBSArc broken(circle, std::nan(""), 1.0);
    EXPECT_EQ(broken.numControlPoints(), 0);
    aPoint p(5, 5, 5);
    EXPECT_FALSE(broken.getPointAt(0.5, p));
    EXPECT_EQ(broken.getParameterOf({3, 2, 3}), -1.0);
    const c_NURBSArc infinite(circle, 0, INFINITY);
    EXPECT_EQ(infinite.numControlPoints(), 0);
}

TEST_F(NURBSCurveTest, ArcPointsLieOnTheirConicAndParametersInvert) {
    RandomGeometry random(1223);
    for (int trial = 0; trial < 300; ++trial) {
        const test::Frame f = random.frame(2);
        const double a = random.uniform(0.5, 5), b = a * random.uniform(0.2, 1.0);
        const double a0 = random.uniform(-2 * kPi, 2 * kPi), sweep = random.uniform(0.05, 2 * kPi);
        const bool round = trial % 2 == 0;
        const c_Circle circle(f.origin, f.u, f.w, a);
        const c_Ellipse ellipse(f.origin, f.u, f.w, a, b);
        const c_NURBSArc arc = round ? c_NURBSArc(circle, a0, a0 + sweep) : c_NURBSArc(ellipse, a0, a0 + sweep);
        SCOPED_TRACE(::testing::Message() << "trial " << trial);
        for (int i = 0; i <= 40; ++i) {
            const double t = i / 40.0;
            aPoint p;
            ASSERT_TRUE(arc.getPointAt(t, p));
            // On the conic: its equation in the frame.
            const aVector d = p - f.origin;
            const double x = d.dot(f.u), y = d.dot(f.v), z = d.dot(f.w);
            EXPECT_LT(std::fabs(z), 1e-6 * a);
            if (round) {
                EXPECT_LT(std::fabs(std::hypot(x, y) - a), 1e-6 * a);
            } else {
                EXPECT_LT(std::fabs(std::hypot(x / a, y / b) - 1) * b, 1e-6 * a);
            }
            EXPECT_NEAR(arc.getParameterOf(p), t, 1e-5);
        }
        aPoint start;
        arc.getPointAt(0, start);
        aPoint expected;
        (round ? static_cast<const c_Conic&>(circle) : ellipse).getPointAt(a0, expected);
        expectPointNear(start, expected, 1e-5 * a);
        // A point outside a partial arc lies below the range.
        if (sweep < 2 * kPi - 0.2) {
            aPoint outside;
            (round ? static_cast<const c_Conic&>(circle) : ellipse).getPointAt(a0 - 0.1, outside);
            EXPECT_EQ(arc.getParameterOf(outside), -1.0);
        }
    }
}

TEST_F(NURBSCurveTest, PointsSampledOnACurveAreFoundByTheirParameter) {
    RandomGeometry random(1224);
    for (int trial = 0; trial < 60; ++trial) {
        // Smooth curves: a projection by Newton steps does not cross a corner.
        const RandomCurve rc = randomCurve(random, 2 + trial % 2, trial % 3 == 0, 1);
        const c_NURBSCurve curve(rc.points, rc.knots);
        for (int i = 0; i < 5; ++i) {
            const double t = random.uniform(curve.minParam(), curve.maxParam());
            aPoint p;
            curve.getPointAt(t, p);
            const double found = curve.getParameterOf(p);
            ASSERT_TRUE(curve.validParameter(found)) << "trial " << trial << " t " << t;
            aPoint q;
            curve.getPointAt(found, q);
            EXPECT_LT(q.distance(p), 1e-5 * (1 + aVector(p).length()));
            EXPECT_TRUE(curve.contains(p));
        }
    }
}

// A curve whose projection never converges.
class NeverConverges : public c_NURBSCurve {
public:
    using c_NURBSCurve::c_NURBSCurve;
    int try_getParameterOf(const aPoint&, int m, double& t) const override {
        samples.push_back(m);
        t = 0;
        return -6;
    }
    mutable std::vector<int> samples;
};

TEST_F(NURBSCurveTest, ParameterFailureValues) {
    const std::vector<HomogeneousPoint> points = {{0, 0, 0, 1}, {1, 1, 0, 1}, {2, 0, 0, 1}, {3, 1, 0, 1}};
    const std::vector<float> knots = {0, 0, 1, 2, 3, 3};
    const NeverConverges curve(points, knots);
    EXPECT_EQ(curve.getParameterOf({1, 1, 1}), 200);
    EXPECT_EQ(curve.samples, (std::vector<int>{100, 155, 210}));
    // Without knots: 10 times the range number (1 for a range ending below 1).
    EXPECT_EQ(c_NURBSCurve().getParameterOf({1, 1, 1}), 10);
    double t;
    EXPECT_EQ(c_NURBSCurve().try_getParameterOf({1, 1, 1}, 100, t), -1);
}

TEST_F(NURBSCurveTest, ClosedCurveOfZeroRangeProjectsWithoutHanging) {
    // Every knot equal: a closed control polygon and no range.
    const std::vector<HomogeneousPoint> points = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 0, 0, 1}};
    const std::vector<float> knots = {0, 0, 0, 0, 0, 0};
    const c_NURBSCurve curve(points, knots);
    EXPECT_TRUE(curve.isClosed());
    const double t = curve.getParameterOf({0.5, 1, 0});
    EXPECT_TRUE(std::isfinite(t));
    aPoint p(7, 7, 7);
    EXPECT_FALSE(curve.getPointAt(0, p));
    EXPECT_EQ(p, kOrigin);
}

TEST_F(NURBSCurveTest, BadKnotsEvaluateToNothing) {
    const std::vector<HomogeneousPoint> points = {{0, 0, 0, 1}, {1, 1, 0, 1}, {2, 0, 0, 1}};
    const struct {
        const char* name;
        std::vector<float> knots;
    } rows[] = {
        {"decreasing", {0, 0, 2, 1, 3, 3}},
        {"not a number", {0, 0, std::nanf(""), 1, 1, 1}},
        {"infinite", {0, 0, 1, 1, INFINITY, INFINITY}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const c_NURBSCurve curve(points, row.knots);
        for (double t : {0.0, 0.5, 1.0, 1.5, 2.5}) {
            aPoint p;
            EXPECT_FALSE(curve.getPointAt(t, p));
            EXPECT_EQ(p, kOrigin);
        }
        std::array<aVector, 5> c;
        EXPECT_FALSE(curve.derivativesAt(0.5, 1, c));
        EXPECT_TRUE(std::isfinite(curve.getParameterOf({1, 1, 1})));
    }
}

TEST_F(NURBSCurveTest, ConstructionMessagesAndQueries) {
    c_NURBSCurve curve;
    curve.specifyNCtlPtsAndOrder(0, 0);
    EXPECT_EQ(messages.text(), "*** Warning: c_NURBSCurve::allocateArrays: mNumberCtlPts=0.\n"
                               "*** Warning: c_NURBSCurve::allocateArrays: order=0.\n");
    messages.clear();
    curve.specifyNCtlPtsAndOrder(3, 2);
    EXPECT_EQ(messages.text(), "");
    curve.specifyNCtlPtsAndOrder(4, 2);
    EXPECT_EQ(messages.text(), "*** Warning: c_NURBSCurve::specifyNCtlPtsAndOrder: Overriding previous settings.\n");

    const c_NURBSCurve segment({1, 2, 3}, {4, 6, 3});
    EXPECT_EQ(segment.order(), 2);
    EXPECT_EQ(segment.numSpans(), 1);
    aPoint p;
    segment.getPointAt(0.25, p);
    expectPointNear(p, {1.75, 3, 3}, 1e-6);
    EXPECT_FALSE(segment.controlPoint(2, p));
    EXPECT_FALSE(segment.controlPoint(-1, p));
    aPoint low, high;
    ASSERT_TRUE(segment.boundingBox(low, high));
    EXPECT_EQ(low, aPoint(1, 2, 3));
    EXPECT_EQ(high, aPoint(4, 6, 3));
    EXPECT_TRUE(c_NURBSCurve::boxesOverlap(low, high, {4, 6, 3}, {5, 7, 4}));  // touching counts
    EXPECT_FALSE(c_NURBSCurve::boxesOverlap(low, high, {4.01, 6, 3}, {5, 7, 4}));
    EXPECT_FALSE(segment.sameClass(segment));

    c_NURBSCurve moved = segment;
    moved.transform(c_Matrix4x4(1, 0, 0, 10, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    moved.getPointAt(0, p);
    expectPointNear(p, {11, 2, 3}, 1e-5);
    const auto copy = segment.clone();
    ASSERT_NE(copy, nullptr);
    copy->getPointAt(1, p);
    expectPointNear(p, {4, 6, 3}, 1e-6);

    std::ostringstream text;
    segment.print(text);
    EXPECT_EQ(text.str(), "c_NURBSCurve 2 2\n\t1 2 3 1 \n\t4 6 3 1 \n\t0 0 1 1 \n");
}

TEST_F(NURBSCurveTest, WeightedPointsAndConicArcParameter) {
    const c_WeightedPoint p(2, 4, 6, 2);
    EXPECT_EQ(p.component(-1), 2);
    EXPECT_EQ(p.component(1), 4);
    EXPECT_EQ(p.component(3), 0);
    EXPECT_EQ(p.toPoint(), aPoint(1, 2, 3));
    aPoint out;
    EXPECT_FALSE(c_WeightedPoint(2, 4, 6, 0).toPoint(out));
    EXPECT_EQ(out, aPoint(2, 4, 6));  // weight 0: undivided, never infinite
    const c_WeightedPoint sum = p + p * 0.5;
    EXPECT_EQ(sum.w, 3);
    EXPECT_EQ(sum.wz, 9);

    // A quarter circle as a rational quadratic segment.
    const double w = std::cos(kPi / 4);
    const float p0[4] = {1, 0, 0, 1}, p1[4] = {float(w), float(w), 0, float(w)}, p2[4] = {0, 1, 0, 1};
    for (double t : {0.0, 0.2, 0.5, 0.9, 1.0}) {
        const c_WeightedPoint h = c_RatBezierCurve(std::vector<c_WeightedPoint>{c_WeightedPoint(p0), c_WeightedPoint(p1), c_WeightedPoint(p2)}, 2)
                                      .homogeneousPointAt(t);
        EXPECT_NEAR(parameterOnConicArc(p0, p1, p2, h.toPoint(), kZAxis), t, 1e-6);
    }
    // A degenerate segment gives a finite answer.
    const float same[4] = {1, 1, 1, 1};
    EXPECT_TRUE(std::isfinite(parameterOnConicArc(same, same, same, {1, 1, 1}, kZAxis)));
}

TEST_F(NURBSCurveTest, BezierSegmentIntersection) {
    auto segment = [](std::vector<aPoint> points) {
        std::vector<c_WeightedPoint> weighted;
        for (const aPoint& p : points) weighted.emplace_back(p.x, p.y, p.z, 1.0);
        return c_RatBezierCurve(weighted, int(points.size()) - 1);
    };
    {
        // Two straight segments crossing once.
        std::array<aPoint, 10> found;
        int count = 0;
        segment({{0, 0, 0}, {2, 2, 0}}).intersect(segment({{0, 2, 0}, {2, 0, 0}}), found, count);
        ASSERT_EQ(count, 1);
        expectPointNear(found[0], {1, 1, 0}, 1e-9);
    }
    {
        // The end game on every leg finds the same crossing; an unknown strategy finds nothing.
        for (int strategy : {1, 7}) {
            bezierEndGameStrategy() = strategy;
            std::array<aPoint, 10> found;
            int count = 0;
            segment({{0, 0, 0}, {1, 1, 0}, {2, 2, 0}}).intersect(segment({{0, 2, 0}, {1, 1, 0}, {2, 0, 0}}), found, count);
            EXPECT_EQ(count, strategy == 1 ? 1 : 0);
            if (strategy == 1) expectPointNear(found[0], {1, 1, 0}, 1e-9);
        }
        EXPECT_NE(messages.text().find("c_RatBezierCurve::endGame: Bad strategy.\n"), std::string::npos);
        messages.clear();
        bezierEndGameStrategy() = 0;
    }
    {
        // Boxes apart: nothing.
        std::array<aPoint, 10> found;
        int count = 0;
        segment({{0, 0, 0}, {1, 1, 0}}).intersect(segment({{3, 0, 0}, {4, 1, 0}}), found, count);
        EXPECT_EQ(count, 0);
    }
    {
        // Two quadratic arcs crossing twice.
        std::array<aPoint, 10> found;
        int count = 0;
        const auto a = segment({{0, 0, 0}, {1, 2, 0}, {2, 0, 0}});
        const auto b = segment({{0, 0.5, 0}, {1, -0.5, 0}, {2, 0.5, 0}});
        a.intersect(b, found, count);
        ASSERT_EQ(count, 2);
        for (int i = 0; i < count; ++i) {
            // y_a = 2x(1 - x/2) = 2x - x^2, y_b = 0.5 - 1 * ... : check on both curves.
            const double x = found[size_t(i)].x, ta = x / 2;
            EXPECT_NEAR(found[size_t(i)].y, 2 * 2 * ta * (1 - ta), 1e-5);
            EXPECT_NEAR(found[size_t(i)].y, 0.5 - 2 * ta * (1 - ta), 1e-5);
        }
    }
    {
        // Overlapping arcs: distinct points, at most the capacity.
        std::array<aPoint, 6> found;
        int count = 0;
        const auto whole = segment({{0, 0, 0}, {1, 2, 0}, {2, 0, 0}});
        const auto [left, right] = whole.subdivide(0.6);
        whole.intersect(left, found, count);
        EXPECT_GE(count, 1);
        EXPECT_LE(count, 6);
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < i; ++j) EXPECT_GE(found[size_t(i)].distance(found[size_t(j)]), aPoint::getCoincidenceTolerance());
        }
    }
    const auto whole = segment({{0, 0, 0}, {1, 2, 0}, {2, 0, 0}});
    aPoint p;
    whole.getPointAt(0, p);
    EXPECT_EQ(p, aPoint(0, 0, 0));
    whole.getPointAt(1, p);
    EXPECT_EQ(p, aPoint(2, 0, 0));
    const auto [left, right] = whole.subdivide(0.3);
    aPoint a, b;
    left.getPointAt(1, a);
    whole.getPointAt(0.3, b);
    expectPointNear(a, b, 1e-15);
    EXPECT_EQ(whole.controlPoint(-1).w, 1);
    EXPECT_EQ(whole.controlPoint(3).wx, 0);
    aPoint low, high;
    c_RatBezierCurve().boundingBox(low, high);
    EXPECT_EQ(low, aPoint(-1, -1, -1));
    EXPECT_EQ(whole.tangentAt(p), kZeroVector);
    EXPECT_EQ(messages.text(), "*** c_RatBezierCurve::tangentAt(const aPoint& p) const called\n");

    // contains boosts the tolerances and restores them exactly.
    const GeometryTolerances before = geometryTolerances();
    aPoint mid;
    whole.getPointAt(0.4, mid);
    EXPECT_TRUE(whole.contains(mid));
    EXPECT_FALSE(whole.contains({1, 5, 0}));
    EXPECT_EQ(geometryTolerances().BasicDistanceTol, before.BasicDistanceTol);
    EXPECT_EQ(geometryTolerances().BasicDistanceSquaredTol, before.BasicDistanceSquaredTol);
    EXPECT_EQ(geometryTolerances().coincTol, before.coincTol);
}

TEST_F(NURBSCurveTest, CurveIntersections) {
    // Two curves in the z = 1 plane crossing once.
    const std::vector<HomogeneousPoint> a = {{0, 0, 1, 1}, {1, 0.5, 1, 1}, {2, 1.5, 1, 1}, {3, 3, 1, 1}};
    const std::vector<HomogeneousPoint> b = {{0, 3, 1, 1}, {1, 2, 1, 1}, {2, 1, 1, 1}, {3, 0.5, 1, 1}};
    const std::vector<float> knots = {0, 0, 0, 0.5, 1, 1, 1};
    const c_NURBSCurve ca(a, knots), cb(b, knots);
    const c_IntersectionResult result(ca, cb);
    ASSERT_EQ(result.status(), 2);
    ASSERT_EQ(result.itemCount(), 1);
    EXPECT_EQ(c_IntersectionResult::kind(result.item(0)), 2);
    aPoint p;
    ASSERT_TRUE(c_IntersectionResult::point(result.item(0), p));
    // The crossing found by the curves' own projections.
    aPoint onA, onB;
    ca.getPointAt(ca.getParameterOf(p), onA);
    cb.getPointAt(cb.getParameterOf(p), onB);
    EXPECT_LT(p.distance(onA), 1e-5);
    EXPECT_LT(p.distance(onB), 1e-5);
    EXPECT_NEAR(p.z, 1, 1e-6);

    // A line across curve a.
    const c_Line line({1.5, -1, 1}, {0, 1, 0});
    const c_IntersectionResult withLine(ca, line);
    ASSERT_EQ(withLine.status(), 2);
    ASSERT_EQ(withLine.itemCount(), 1);
    c_IntersectionResult::point(withLine.item(0), p);
    EXPECT_NEAR(p.x, 1.5, 1e-5);
    ca.getPointAt(ca.getParameterOf(p), onA);
    EXPECT_LT(p.distance(onA), 1e-5);

    // Planes and spheres: points sorted along the curve; a curve in the plane lies in it.
    const auto crossings = ca.intersectPlane(c_Plane({1.2, 0, 0}, kXAxis));
    ASSERT_TRUE(crossings.has_value());
    ASSERT_EQ(crossings->size(), 1u);
    EXPECT_NEAR((*crossings)[0].point.x, 1.2, 1e-9);
    const auto inPlane = ca.intersectPlane(c_Plane({0, 0, 1}, kZAxis));
    ASSERT_TRUE(inPlane.has_value());
    EXPECT_TRUE(inPlane->empty());
    EXPECT_FALSE(ca.intersectPlane(c_Plane({0, 0, 5}, kZAxis)).has_value());
    const auto ball = ca.intersectSphere(c_Sphere({0, 0, 1}, 2.0));
    ASSERT_TRUE(ball.has_value());
    ASSERT_EQ(ball->size(), 1u);
    EXPECT_NEAR((*ball)[0].point.distance({0, 0, 1}), 2.0, 1e-9);
    const c_IntersectionResult withPlane(cb, c_Plane({0, 2.5, 0}, kYAxis));
    EXPECT_EQ(withPlane.status(), 2);
    EXPECT_EQ(withPlane.itemCount(), 1);

    // A circle in the curves' plane, and one across it.
    const c_Circle around({1.5, 1.5, 1}, kZAxis, 1.0);
    const c_IntersectionResult withCircle(cb, around);
    ASSERT_EQ(withCircle.status(), 2);
    for (int i = 0; i < withCircle.itemCount(); ++i) {
        c_IntersectionResult::point(withCircle.item(i), p);
        EXPECT_NEAR(p.distance({1.5, 1.5, 1}), 1.0, 1e-4);
    }
    const c_Ellipse oval({1.5, 1.5, 1}, kXAxis, kZAxis, 1.2, 0.8);
    const c_IntersectionResult withEllipse(ca, oval);
    EXPECT_EQ(withEllipse.status(), 2);
    EXPECT_GE(withEllipse.itemCount(), 1);
}

} // namespace
} // namespace tracemill
