#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "acis_test_support.h"
#include "toolkit/acis/geometry/bspline_basis.h"
#include "toolkit/acis/geometry/curve.h"
#include "toolkit/acis/geometry/interval.h"
#include "toolkit/acis/geometry/matrix3x3.h"
#include "toolkit/acis/geometry/matrix4x4.h"
#include "toolkit/acis/geometry/surface.h"
#include "toolkit/acis/geometry/trace_switches.h"

namespace tracemill {
namespace {

using test::AcisKernelTest;
using test::expectPointNear;
using test::expectVectorNear;
using test::kPi;

class GeometryBaseTest : public AcisKernelTest {};

TEST_F(GeometryBaseTest, RotationMatrixRows) {
    const struct {
        const char* name;
        aVector axis;
        double angle;
        aVector in, out;
    } rows[] = {
        {"zero axis", {0, 0, 0}, 1.0, {1, 2, 3}, {1, 2, 3}},
        {"axis shorter than 1e-6", {1e-7, 0, 0}, 2.0, {1, 2, 3}, {1, 2, 3}},
        {"angle 0", {1, 1, 1}, 0.0, {1, 2, 3}, {1, 2, 3}},
        {"quarter turn about z", {0, 0, 5}, kPi / 2, {1, 0, 0}, {0, 1, 0}},
        {"half turn about x", {2, 0, 0}, kPi, {0, 1, 1}, {0, -1, -1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        expectVectorNear(c_Matrix3x3::rotation(row.axis, row.angle) * row.in, row.out, 1e-15);
    }
    // Against the rotation formula v cos + (k x v) sin + k (k.v)(1 - cos).
    test::RandomGeometry random(1403);
    for (int i = 0; i < 200; ++i) {
        const aVector k = random.unitVector(), v = random.unitVector() * random.uniform(0.1, 10);
        const double angle = random.uniform(-7, 7);
        const aVector expected =
            std::cos(angle) * v + std::sin(angle) * k.cross(v) + (k.dot(v) * (1 - std::cos(angle))) * k;
        expectVectorNear(c_Matrix3x3::rotation(k * random.uniform(0.5, 3), angle) * v, expected, 1e-13);
    }
}

TEST_F(GeometryBaseTest, Matrix3x3Operations) {
    const aVector a(1, 2, 3), b(4, -5, 6), v(0.5, -1, 2);
    const c_Matrix3x3 outer = c_Matrix3x3::outerProduct(a, b);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) EXPECT_EQ(outer.at(i, j), a.component(i) * b.component(j));
    }
    expectVectorNear(c_Matrix3x3::crossMatrix(a) * v, a.cross(v), 0);
    const c_Matrix3x3 m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    expectVectorNear(m * v, aVector(0.5 - 2 + 6, 2 - 5 + 12, 3.5 - 8 + 18), 0);
    const c_Matrix3x3 sum = m + m * 2.0;
    EXPECT_EQ(sum.at(1, 2), 18);
    EXPECT_EQ(c_Matrix3x3().at(1, 1), 1);
    EXPECT_EQ(c_Matrix3x3().at(0, 1), 0);
}

TEST_F(GeometryBaseTest, Matrix4x4Rows) {
    aPoint out;
    c_Matrix4x4().transformPoint({1, 2, 3}, out);
    EXPECT_EQ(out, aPoint(1, 2, 3));
    EXPECT_EQ(c_Matrix4x4::zero().at(3, 3), 0);

    const c_Matrix4x4 flatBottom(2, 0, 0, 1, 0, 2, 0, 1, 0, 0, 2, 1, 0, 0, 0, 0);
    flatBottom.transformPoint({1, 2, 3}, out);
    EXPECT_EQ(out, aPoint(3, 5, 7));  // w' = 0: undivided

    const c_Matrix4x4 projective(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2);
    projective.transformPoint({2, 4, 6}, out);
    EXPECT_EQ(out, aPoint(1, 2, 3));

    const c_Matrix4x4 moved(1, 0, 0, 10, 0, 1, 0, 20, 0, 0, 1, 30, 0, 0, 0, 1);
    aVector v;
    moved.transformVector({1, 2, 3}, v);
    EXPECT_EQ(v, aVector(1, 2, 3));
    moved.transformPoint({1, 2, 3}, out);
    EXPECT_EQ(out, aPoint(11, 22, 33));

    test::RandomGeometry random(123);
    for (int i = 0; i < 100; ++i) {
        const c_Matrix3x3 r = c_Matrix3x3::rotation(random.unitVector(), random.uniform(-3, 3));
        const aPoint p = random.point(50);
        c_Matrix4x4 m;
        m.rotationAboutPoint(r, p);
        m.transformPoint(p, out);
        expectPointNear(out, p, 1e-12);
        const aPoint q = random.point(50);
        m.transformPoint(q, out);
        expectPointNear(out, p + r * (q - p), 1e-12);
        const aVector t(1, -2, 3);
        m.setRotationTranslation(r, t);
        m.transformPoint(q, out);
        expectPointNear(out, aPoint(r * aVector(q)) + t, 1e-12);
        EXPECT_EQ(m.at(3, 0), 0);
        EXPECT_EQ(m.at(3, 3), 1);
    }
}

TEST_F(GeometryBaseTest, IntervalPrinting) {
    const struct {
        bool lower, upper;
        double lowerValue, upperValue;
        const char* text;
    } rows[] = {
        {false, false, 0, 0, "I I "},
        {false, true, 0, 2, "I F 2 "},
        {true, false, -1.5, 0, "F -1.5 I "},
        {true, true, 0.25, 3, "F 0.25 F 3 "},
    };
    for (const auto& row : rows) {
        c_Interval interval;
        if (row.lower) interval.setLower(row.lowerValue);
        if (row.upper) interval.setUpper(row.upperValue);
        std::ostringstream text;
        interval.print(text);
        EXPECT_EQ(text.str(), row.text);
        double value = 99;
        EXPECT_EQ(interval.lower(value), row.lower);
        EXPECT_EQ(value, row.lowerValue);
        EXPECT_EQ(interval.upper(value), row.upper);
        EXPECT_EQ(value, row.upperValue);
    }
}

c_BSplineBasisFcns basis(int k, std::vector<float> knots) {
    return c_BSplineBasisFcns(int(knots.size()) - k - 1, k, knots.data());
}

TEST_F(GeometryBaseTest, FindSpanRows) {
    const struct {
        const char* name;
        int order;
        std::vector<float> knots;
        double u;
        int span;
    } rows[] = {
        {"range start", 3, {0, 0, 0, 1, 2, 3, 3, 3}, 0.0, 2},
        {"inner knot", 3, {0, 0, 0, 1, 2, 3, 3, 3}, 1.0, 3},
        {"between knots", 3, {0, 0, 0, 1, 2, 3, 3, 3}, 2.5, 4},
        {"range end", 3, {0, 0, 0, 1, 2, 3, 3, 3}, 3.0, 4},
        {"within the tolerance past the end", 3, {0, 0, 0, 1, 2, 3, 3, 3}, 3.0 + 1e-6, 4},
        {"within the tolerance before the start", 3, {0, 0, 0, 1, 2, 3, 3, 3}, -1e-6, 2},
        {"below the range", 3, {0, 0, 0, 1, 2, 3, 3, 3}, -0.01, -1},
        {"above the range", 3, {0, 0, 0, 1, 2, 3, 3, 3}, 3.01, -1},
        {"end knot repeated beyond the order", 3, {0, 0, 0, 1, 1, 1, 1}, 1.0, 2},
        {"repeated inner knot", 3, {0, 0, 0, 1, 1, 2, 2, 2}, 1.0, 4},
        {"decreasing knots", 2, {0, 0, 2, 1, 3, 3}, 0.5, -1},
        {"all knots equal", 2, {1, 1, 1, 1}, 1.0, -1},
        {"not a number", 2, {0, 0, 1, 1}, std::nan(""), -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(basis(row.order, row.knots).findSpan(row.u), row.span);
    }
}

TEST_F(GeometryBaseTest, KnotSequenceQueries) {
    const c_BSplineBasisFcns b = basis(3, {0, 0, 0, 1, 1, 2, 3, 3, 3});
    EXPECT_EQ(b.order(), 3);
    EXPECT_EQ(b.numKnots(), 9);
    EXPECT_EQ(b.knot(-1), -9999.0);
    EXPECT_EQ(b.knot(9), -9999.0);
    EXPECT_EQ(b.knot(4), 1.0);
    EXPECT_EQ(b.minParam(), 0.0);
    EXPECT_EQ(b.maxParam(), 3.0);
    EXPECT_TRUE(b.paramInRange(3.0));
    EXPECT_FALSE(b.paramInRange(3.0001));
    EXPECT_EQ(b.knotMultiplicity(0.0), 3);
    EXPECT_EQ(b.knotMultiplicity(1.0005), 2);
    EXPECT_EQ(b.knotMultiplicity(1.5), 0);
    EXPECT_EQ(b.knotMultiplicity(3.0), 3);

    const c_BSplineBasisFcns inserted = b.insertKnot(1.5);
    EXPECT_EQ(inserted.lastIndex(), b.lastIndex() + 1);
    const std::vector<float> expected = {0, 0, 0, 1, 1, 1.5, 2, 3, 3, 3};
    EXPECT_EQ(std::vector<float>(inserted.knots().begin(), inserted.knots().end()), expected);
    EXPECT_EQ(b.insertKnot(5.0).numKnots(), 0);

    const c_BSplineBasisFcns empty(0, 3, nullptr);
    EXPECT_EQ(empty.numKnots(), 0);
    EXPECT_EQ(empty.order(), 0);
    EXPECT_EQ(empty.minParam(), 0.0);
    EXPECT_EQ(empty.maxParam(), 0.0);
    EXPECT_EQ(empty.findSpan(0.0), -1);
}

TEST_F(GeometryBaseTest, EvaluateWithoutWorkArrayWarns) {
    const c_BSplineBasisFcns b = basis(2, {0, 0, 1, 1});
    EXPECT_EQ(b.Evaluate(0.5, std::span<float>()), -1);
    EXPECT_EQ(messages.text(), "*** Warning: c_BSplineBasisFcns::Evaluate: N is NULL.\n");
}

// Random knot vectors: clamped ends, inner knots with multiplicities up to the degree.
std::vector<float> randomKnots(test::RandomGeometry& random, int order, int inner) {
    std::vector<float> knots(size_t(order), 0.0f);
    float at = 0.0f;
    for (int i = 0; i < inner; ++i) {
        at += float(random.uniform(0.2, 1.5));
        const int multiplicity = random.integer(1, std::max(order - 1, 1));
        for (int m = 0; m < multiplicity; ++m) knots.push_back(at);
    }
    at += float(random.uniform(0.2, 1.5));
    for (int i = 0; i < order; ++i) knots.push_back(at);
    return knots;
}

TEST_F(GeometryBaseTest, BasisFunctionsSumToOneOnEverySpan) {
    test::RandomGeometry random(14);
    for (int trial = 0; trial < 60; ++trial) {
        const int order = random.integer(1, 5);
        // (One control point makes no sequence: at least two.)
        const c_BSplineBasisFcns b = basis(order, randomKnots(random, order, random.integer(order == 1 ? 1 : 0, 4)));
        std::vector<float> n(static_cast<size_t>(order));
        for (int i = order - 1; i <= b.lastIndex(); ++i) {
            if (b.knot(i) >= b.knot(i + 1)) continue;
            for (double f : {0.0, 0.13, 0.5, 0.87}) {
                const double u = b.knot(i) + f * (b.knot(i + 1) - b.knot(i));
                ASSERT_EQ(b.Evaluate(u, n), i) << "u " << u;
                double sum = 0;
                for (float value : n) {
                    EXPECT_GE(value, -1e-6f);
                    sum += value;
                }
                EXPECT_NEAR(sum, 1.0, 1e-6);
            }
        }
        ASSERT_GE(b.Evaluate(b.maxParam(), n), 0);
        double sum = 0;
        for (float value : n) sum += value;
        EXPECT_NEAR(sum, 1.0, 1e-6);
        EXPECT_NEAR(n[size_t(order - 1)], 1.0, 1e-6);  // the last function alone at the end
    }
}

TEST_F(GeometryBaseTest, BasisDerivativesMatchCentralDifferences) {
    test::RandomGeometry random(1402);
    for (int trial = 0; trial < 60; ++trial) {
        const int order = random.integer(2, 5);
        const c_BSplineBasisFcns b = basis(order, randomKnots(random, order, random.integer(0, 3)));
        const int d = random.integer(1, 3);
        for (int sample = 0; sample < 10; ++sample) {
            const double u = random.uniform(b.minParam(), b.maxParam());
            const int span = b.findSpan(u);
            // Central differences need both neighbours inside the same span.
            const double h = 1e-4;
            if (b.findSpan(u - 2 * h) != span || b.findSpan(u + 2 * h) != span) continue;
            if (u - 2 * h < b.knot(span) || u + 2 * h > b.knot(span + 1)) continue;
            std::vector<double> rows, before, after;
            ASSERT_EQ(b.evaluateDerivatives(u, d, rows), span);
            ASSERT_EQ(rows.size(), size_t((d + 1) * order));
            b.evaluateDerivatives(u - h, d, before);
            b.evaluateDerivatives(u + h, d, after);
            for (int j = 0; j < order; ++j) {
                for (int level = 1; level <= d; ++level) {
                    const size_t below = size_t((level - 1) * order + j), at = size_t(level * order + j);
                    const double difference = (after[below] - before[below]) / (2 * h);
                    EXPECT_NEAR(rows[at], difference, 1e-4 * (1 + std::fabs(difference)))
                        << "order " << order << " derivative " << level << " function " << j;
                }
            }
            std::vector<float> n(static_cast<size_t>(order));
            b.Evaluate(u, n);
            for (int j = 0; j < order; ++j) EXPECT_NEAR(rows[size_t(j)], n[size_t(j)], 1e-6);
        }
    }
}

// A curve of the base class's defaults: the unit segment of the x axis.
class SegmentCurve : public c_Curve {
public:
    void print(std::ostream& out) const override { out << "segment"; }
    bool contains(const aPoint& p) const override { return p.y == 0 && p.z == 0; }
    double getParameterOf(const aPoint& p) const override { return p.x; }
    bool getPointAt(double t, aPoint& p) const override {
        p = {t, 0, 0};
        return true;
    }
    aVector tangentAt(const aPoint&) const override { return kXAxis; }
    const char* className() const override { return "SegmentCurve"; }
    bool validParameter(double t) const override { return t >= 0 && t <= 1; }
};

class OtherCurve : public SegmentCurve {
public:
    const char* className() const override { return "OtherCurve"; }
};

TEST_F(GeometryBaseTest, CurveDefaults) {
    SegmentCurve curve;
    EXPECT_EQ(curve.clone(), nullptr);
    curve.transform(c_Matrix4x4());
    EXPECT_EQ(messages.text(), "Cannot clone instances of SegmentCurve\nCannot transform instances of SegmentCurve\n");
    EXPECT_FALSE(curve.isClosed());

    const struct {
        double t;
        bool inside;
    } rows[] = {{0.25, true}, {0.25 - 1e-12, false}, {0.75, true}, {0.75 + 1e-12, false}, {0.5, true}};
    for (const auto& row : rows) EXPECT_EQ(curve.paramInInterval(row.t, 0.25, 0.75, true), row.inside) << row.t;

    aPoint p(0.5, 3, 0);
    EXPECT_TRUE(curve.snapToCurve(p));
    EXPECT_EQ(p, aPoint(0.5, 0, 0));
    aPoint outside(2, 3, 0);
    EXPECT_FALSE(curve.snapToCurve(outside));
    EXPECT_EQ(outside, aPoint(2, 3, 0));

    EXPECT_TRUE(curve.sameClass(SegmentCurve()));
    EXPECT_FALSE(curve.sameClass(OtherCurve()));

    messages.clear();
    EXPECT_EQ(recordKind(curve.makeOldStyleEntity()), RecordKind::None);
    EXPECT_EQ(messages.text(), "");
    traceSwitches().curveBase = true;
    EXPECT_EQ(recordKind(curve.makeOldStyleEntity()), RecordKind::None);
    EXPECT_EQ(messages.text(), "c_Curve::makeOldStyleEntity making NULL entity (SegmentCurve).\n");
}

class BareSurface : public c_Surface {
public:
    void print(std::ostream& out) const override { out << "bare"; }
    const char* className() const override { return "BareSurface"; }
};

TEST_F(GeometryBaseTest, SurfaceDefaults) {
    BareSurface surface;
    CurveArray curves;
    IntersectionList items;
    EXPECT_EQ(surface.silhouetteCurves(kZAxis, curves), 0);
    EXPECT_EQ(surface.isoCurves(4, curves), 0);
    EXPECT_EQ(surface.curvesThrough(kOrigin, curves, 3), 0);
    EXPECT_TRUE(curves.empty());
    SegmentCurve line;
    EXPECT_EQ(surface.intersect(line, items), 0);
    EXPECT_EQ(surface.normalAt(kOrigin), kZeroVector);
    EXPECT_EQ(recordKind(surface.makeOldStyleEntity()), RecordKind::None);
    EXPECT_EQ(messages.text(), "");

    traceSwitches().surface = true;
    surface.intersect(line, items);
    surface.normalAt(kOrigin);
    surface.makeOldStyleEntity();
    EXPECT_EQ(messages.text(), "c_Surface::intersect called.\nc_Surface::normalAt returning a zero vector.\n"
                               "c_Surface::makeOldStyleEntity making NULL entity (BareSurface).\n");
}

} // namespace
} // namespace tracemill
