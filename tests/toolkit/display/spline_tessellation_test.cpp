// SPLINE chords: de Boor evaluation against curves written out here, rational arcs, fit-point
// interpolation, data that make no B-spline, memory failures, and the chords drawn through the
// linetype drawer as one run.
#include "toolkit/display/spline_tessellation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "error_callback_test.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/memory_services.h"

namespace tracemill {
namespace {

constexpr int16_t kRationalFlag = 4;

SplineBody splineThrough(int degree, std::vector<Point3> controls, std::vector<double> knots = {},
                         std::vector<double> weights = {}) {
    SplineBody spline;
    spline.degree = int16_t(degree);
    spline.flags = weights.empty() ? 0 : kRationalFlag;
    spline.data.controlPoints = std::move(controls);
    spline.data.knots = std::move(knots);
    spline.data.weights = std::move(weights);
    return spline;
}

SplineBody splineOfFitPoints(std::vector<Point3> fit) {
    SplineBody spline;
    spline.degree = 3;
    spline.data.fitPoints = std::move(fit);
    return spline;
}

// The chords of the spline as a list of points (two per chord).
std::vector<Point2> chordsOf(const SplineBody& spline, int segments, int* result = nullptr) {
    std::vector<Point2> chords;
    const int drawn = genDrawSpline(nullptr, spline, nullptr, nullptr, nullptr, segments, &chords);
    if (result) *result = drawn;
    return chords;
}

// The B-spline basis function N(i, p) at t over the knots (Cox-de Boor, right end included).
double basis(const std::vector<double>& knots, int i, int p, double t) {
    if (p == 0) {
        const bool last = t == knots.back() && knots[size_t(i)] < knots[size_t(i) + 1] && knots[size_t(i) + 1] == knots.back();
        return (knots[size_t(i)] <= t && t < knots[size_t(i) + 1]) || last ? 1.0 : 0.0;
    }
    double value = 0.0;
    const double left = knots[size_t(i + p)] - knots[size_t(i)];
    const double right = knots[size_t(i + p + 1)] - knots[size_t(i + 1)];
    if (left > 0.0) value += (t - knots[size_t(i)]) / left * basis(knots, i, p - 1, t);
    if (right > 0.0) value += (knots[size_t(i + p + 1)] - t) / right * basis(knots, i + 1, p - 1, t);
    return value;
}

Point2 curveAt(const std::vector<Point3>& controls, const std::vector<double>& knots, int degree, double t) {
    Point2 p;
    for (size_t i = 0; i < controls.size(); ++i) {
        const double n = basis(knots, int(i), degree, t);
        p.x += n * controls[i].x;
        p.y += n * controls[i].y;
    }
    return p;
}

void expectNear(const Point2& actual, const Point2& expected, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << what;
}

// Chords i and i + 1 meet, so the chords are checked by their start points and the last end.
void expectChordsAlong(const std::vector<Point2>& chords, const std::function<Point2(size_t)>& point) {
    const size_t count = chords.size() / 2;
    for (size_t i = 0; i < count; ++i) {
        expectNear(chords[2 * i], point(i), "start of chord " + std::to_string(i));
        expectNear(chords[2 * i + 1], point(i + 1), "end of chord " + std::to_string(i));
    }
}

class SplineTest : public test::DisplayTest {};

TEST_F(SplineTest, ClampedCubicFollowsItsBernsteinForm) {
    const std::vector<Point3> p{{0, 0, 0}, {1, 3, 0}, {4, -1, 0}, {6, 2, 0}};
    const auto bernstein = [&](double t) {
        const double s = 1.0 - t;
        const double b0 = s * s * s, b1 = 3 * t * s * s, b2 = 3 * t * t * s, b3 = t * t * t;
        return Point2{b0 * p[0].x + b1 * p[1].x + b2 * p[2].x + b3 * p[3].x,
                      b0 * p[0].y + b1 * p[1].y + b2 * p[2].y + b3 * p[3].y};
    };
    const struct {
        const char* name;
        std::vector<double> knots;
    } cases[] = {
        {"knots 0 and 1", {0, 0, 0, 0, 1, 1, 1, 1}},
        {"knots 2 and 5", {2, 2, 2, 2, 5, 5, 5, 5}},
        {"no knots: clamped and uniform", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<Point2> chords = chordsOf(splineThrough(3, p, c.knots), 7);
        ASSERT_EQ(chords.size(), 14u) << "segments-per-span chords";
        expectChordsAlong(chords, [&](size_t i) { return bernstein(double(i) / 7.0); });
    }
}

TEST_F(SplineTest, KnotSpansAndChordCounts) {
    const std::vector<Point3> six{{0, 0, 0}, {1, 2, 0}, {2, -1, 0}, {3, 3, 0}, {4, 0, 0}, {5, 1, 0}};
    const std::vector<Point3> four(six.begin(), six.begin() + 4);
    const struct {
        const char* name;
        SplineBody spline;
        int segments;
        size_t chords;
    } cases[] = {
        {"degree 1: the control polygon", splineThrough(1, four, {0, 0, 1, 2, 3, 3}), 5, 3},
        {"repeated inner knots: zero spans give nothing", splineThrough(3, six, {0, 0, 0, 0, 1, 1, 2, 2, 2, 2}), 4, 8},
        {"uniform clamped knots of six points", splineThrough(3, six), 4, 12},
        {"quadratic", splineThrough(2, four, {0, 0, 0, 1, 2, 2, 2}), 3, 6},
        {"segments 0 mean 10", splineThrough(3, four), 0, 10},
        {"negative segments mean 10", splineThrough(3, four), -3, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int result = 0;
        const std::vector<Point2> chords = chordsOf(c.spline, c.segments, &result);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(chords.size(), 2 * c.chords);
    }
    // The degree-1 chords are the control points themselves.
    const std::vector<Point2> polygon = chordsOf(splineThrough(1, four), 5);
    ASSERT_EQ(polygon.size(), 6u);
    expectChordsAlong(polygon, [&](size_t i) { return Point2{four[i].x, four[i].y}; });
    // Every span of a curve with inner knots follows the curve the knots define.
    const std::vector<double> knots{0, 0, 0, 0, 1, 3, 3, 3, 3};
    const std::vector<Point3> five(six.begin(), six.begin() + 5);
    const std::vector<Point2> chords = chordsOf(splineThrough(3, five, knots), 4);
    ASSERT_EQ(chords.size(), 16u);
    expectChordsAlong(chords, [&](size_t i) {
        const double t = i < 4 ? i / 4.0 : 1.0 + (i - 4) * 0.5;
        return curveAt(five, knots, 3, t);
    });
}

TEST_F(SplineTest, RationalQuarterCircleLiesOnTheCircle) {
    const double w = std::sqrt(0.5);
    const SplineBody arc = splineThrough(2, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {0, 0, 0, 1, 1, 1}, {1, w, 1});
    const std::vector<Point2> chords = chordsOf(arc, 16);
    ASSERT_EQ(chords.size(), 32u);
    for (const Point2& p : chords) EXPECT_NEAR(std::hypot(p.x, p.y), 1.0, 1e-9) << p.x << "," << p.y;
    expectNear(chords.front(), {1, 0}, "first point");
    expectNear(chords.back(), {0, 1}, "last point");
    expectNear(chords[15], {std::sqrt(0.5), std::sqrt(0.5)}, "the middle of the parameter range");

    SplineBody plain = arc;
    plain.flags = 0;
    const std::vector<Point2> parabola = chordsOf(plain, 16);
    EXPECT_NEAR(parabola[15].x, 0.75, 1e-9) << "without its weights the curve is a parabola";
}

TEST_F(SplineTest, FitPointsAreInterpolated) {
    const std::vector<Point3> fit{{0, 0, 0}, {3, 4, 0}, {5, 4, 0}, {9, -2, 0}, {10, 0, 0}};
    std::vector<double> u;
    std::vector<Point3> controls;
    ASSERT_EQ(genInterpolateFitPoints(fit, u, controls), 1);
    ASSERT_EQ(u.size(), 5u);
    ASSERT_EQ(controls.size(), 7u);
    EXPECT_DOUBLE_EQ(u[1], std::sqrt(5.0)) << "centripetal: the root of the chord length";
    EXPECT_DOUBLE_EQ(u[2], std::sqrt(5.0) + std::sqrt(2.0));
    // The clamped cubic on these control points passes through every fit point.
    std::vector<double> knots{u[0], u[0], u[0]};
    knots.insert(knots.end(), u.begin(), u.end());
    knots.insert(knots.end(), {u[4], u[4], u[4]});
    for (size_t i = 0; i < fit.size(); ++i) {
        expectNear(curveAt(controls, knots, 3, u[i]), {fit[i].x, fit[i].y}, "fit point " + std::to_string(i));
    }
    // The drawn chords follow that curve span by span, through the fit points.
    const std::vector<Point2> chords = chordsOf(splineOfFitPoints(fit), 5);
    ASSERT_EQ(chords.size(), 40u);
    expectChordsAlong(chords, [&](size_t i) {
        const size_t span = std::min<size_t>(i / 5, 3);
        const double t = i == 20 ? u[4] : u[span] + (u[span + 1] - u[span]) * double(i - 5 * span) / 5.0;
        return curveAt(controls, knots, 3, t);
    });
    for (size_t i = 0; i < fit.size(); ++i) {
        const Point2& at = i < 4 ? chords[10 * i] : chords.back();
        expectNear(at, {fit[i].x, fit[i].y}, "chord at fit point " + std::to_string(i));
    }
}

TEST_F(SplineTest, FitPointEdgeCases) {
    // Two fit points: a straight line with its control points at a third and two thirds.
    std::vector<double> u;
    std::vector<Point3> controls;
    ASSERT_EQ(genInterpolateFitPoints({{0, 0, 0}, {3, 6, 0}}, u, controls), 1);
    ASSERT_EQ(controls.size(), 4u);
    EXPECT_EQ(controls[1], (Point3{1, 2, 0}));
    EXPECT_EQ(controls[2], (Point3{2, 4, 0}));
    for (const Point2& p : chordsOf(splineOfFitPoints({{0, 0, 0}, {3, 6, 0}}), 6)) EXPECT_NEAR(p.y, 2 * p.x, 1e-12);

    const struct {
        const char* name;
        std::vector<Point3> fit;
        size_t chords;
    } cases[] = {
        {"points equal to the one before are dropped", {{0, 0, 0}, {0, 0, 0}, {1, 1, 0}, {1, 1, 0}, {2, 0, 0}}, 2 * 4},
        {"equal points apart are kept", {{0, 0, 0}, {1, 1, 0}, {0, 0, 0}}, 2 * 4},
        {"all points equal: no span", {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, 0},
        {"one point", {{1, 1, 1}}, 0},
        {"points too close to tell apart: their polygon", {{0, 0, 0}, {1e300, 0, 0}, {1e300, 1e-300, 0}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int result = 0;
        EXPECT_EQ(chordsOf(splineOfFitPoints(c.fit), 4, &result).size(), 2 * c.chords);
        EXPECT_EQ(result, 1);
    }
    // Fit points given by the caller take the record's place.
    const std::vector<Point3> given{{0, 0, 0}, {2, 0, 0}};
    std::vector<Point2> chords;
    EXPECT_EQ(genDrawSpline(nullptr, splineOfFitPoints({{5, 5, 0}, {6, 6, 0}, {7, 5, 0}}), nullptr, nullptr, &given, 3,
                            &chords),
              1);
    ASSERT_EQ(chords.size(), 6u);
    expectNear(chords.back(), {2, 0}, "the given fit points");
}

TEST_F(SplineTest, DataThatMakeNoBSplineDrawTheControlPolygon) {
    const std::vector<Point3> four{{0, 0, 0}, {1, 2, 0}, {2, -1, 0}, {3, 3, 0}};
    const struct {
        const char* name;
        SplineBody spline;
    } cases[] = {
        {"knot count other than points + degree + 1", splineThrough(3, four, {0, 0, 0, 0, 1, 1, 1})},
        {"no more points than the degree", splineThrough(4, four)},
        {"decreasing knots", splineThrough(3, four, {0, 0, 0, 0, 1, 1, 0.5, 1})},
        {"a knot that is no number", splineThrough(3, four, {0, 0, 0, 0, std::nan(""), 1, 1, 1})},
        {"a weight of 0", splineThrough(3, four, {0, 0, 0, 0, 1, 1, 1, 1}, {1, 0, 1, 1})},
        {"weights missing", splineThrough(3, four, {0, 0, 0, 0, 1, 1, 1, 1}, {1, 1})},
        {"degree 0", splineThrough(0, four)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int result = 0;
        const std::vector<Point2> chords = chordsOf(c.spline, 8, &result);
        EXPECT_EQ(result, 1);
        ASSERT_EQ(chords.size(), 6u);
        expectChordsAlong(chords, [&](size_t i) { return Point2{four[i].x, four[i].y}; });
    }
    int result = 0;
    EXPECT_TRUE(chordsOf(splineThrough(3, {{1, 1, 0}}), 8, &result).empty()) << "one control point";
    EXPECT_EQ(result, 1);
}

TEST_F(SplineTest, HighDegreeUnclampedKnotsStayInsideTheirArrays) {
    // Degree 5 over eight points with the uniform knots 0..13: the spans next to the ends read
    // beyond the knots and are left out; the others are drawn.
    std::vector<Point3> points;
    std::vector<double> knots;
    for (int i = 0; i < 8; ++i) points.push_back({double(i), double(i % 3), 0.0});
    for (int i = 0; i < 14; ++i) knots.push_back(i);
    const std::vector<Point2> chords = chordsOf(splineThrough(5, points, knots), 2);
    EXPECT_EQ(chords.size(), 2u * 2 * 5) << "spans 4 to 8 of 4 to 10";
    for (const Point2& p : chords) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    expectNear(chords[2 * 2 * 1], curveAt(points, knots, 5, 5.0), "the curve where its knots define it");
}

TEST_F(SplineTest, MemoryFailuresLeaveNothingDrawn) {
    test::recordErrorReasons();
    std::vector<Point3> fit;
    for (int i = 0; i < 6; ++i) fit.push_back({double(i), double(i * i % 5), 0.0});
    const SplineBody splines[] = {
        splineThrough(2, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {0, 0, 0, 1, 1, 1}, {1, std::sqrt(0.5), 1}),
        splineOfFitPoints(fit),
    };
    std::vector<int> seen;
    for (const SplineBody& spline : splines) {
        for (long failAt = 0;; ++failAt) {
            std::vector<Point2> chords;
            gSystemContext->errorNumber = 0;
            dbFailAllocationAfter(failAt);
            const int result = genDrawSpline(nullptr, spline, nullptr, nullptr, nullptr, 4, &chords);
            dbFailAllocationAfter(-1);
            if (result == 1) {
                EXPECT_FALSE(chords.empty());
                break;
            }
            EXPECT_TRUE(chords.empty()) << "failure " << failAt;
            seen.push_back(gSystemContext->errorNumber);
            ASSERT_LT(failAt, 40);
        }
    }
    EXPECT_NE(std::count(seen.begin(), seen.end(), kErrorSplineNoMemory), 0);
    EXPECT_NE(std::count(seen.begin(), seen.end(), kErrorFitInterpolationNoMemory), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), kErrorSplineNoMemory) +
                  std::count(seen.begin(), seen.end(), kErrorFitInterpolationNoMemory),
              long(seen.size()));
    EXPECT_EQ(test::recordedErrorReasons(), std::vector<int>(seen.size(), kErrorReasonNoMemory));
}

TEST_F(SplineTest, ChordsAreDrawnAsOneRun) {
    begin();
    const std::vector<Matrix4> matrices(1, context().viewports[0].worldToDevice);
    const SplineBody spline = splineThrough(3, {{10, 10, 0}, {20, 40, 0}, {60, 0, 0}, {90, 30, 0}});
    const uint32_t before = context().segmentCounter;
    recorder.clear();
    EXPECT_EQ(genDrawSpline(drawing, spline, matrices.data(), nullptr, nullptr, 6, nullptr), 1);
    EXPECT_EQ(context().segmentCounter, before + 1) << "one run for the whole curve";
    EXPECT_EQ(context().segmentRunEnd, 1);
    EXPECT_EQ(recorder.linesOf("lineTo").size(), 6u);
    EXPECT_EQ(strokes().front(), "moveTo 10 10");
    EXPECT_EQ(strokes().back(), "lineTo 90 30");

    recorder.clear();
    std::vector<Point2> chords;
    EXPECT_EQ(genDrawSpline(drawing, spline, matrices.data(), nullptr, nullptr, 6, &chords), 1);
    EXPECT_TRUE(recorder.linesOf("lineTo").empty()) << "collected chords are not drawn";
    EXPECT_EQ(chords.size(), 12u);
}

} // namespace
} // namespace tracemill
