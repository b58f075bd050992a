#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "render_test_support.h"
#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/render/gl_callback_output.h"
#include "toolkit/acis/render/nurbs_curve_emitter.h"

namespace tracemill {
namespace {

using test::RecordingGlOutput;
using test::SolidDrawingHost;

class EmitterTest : public test::AcisKernelTest {};

// A GlOutput that keeps the vertices of its strips and answers a segment count of choice.
class StripOutput : public GlOutput {
public:
    explicit StripOutput(int32_t perSpan) : mPerSpan(perSpan) {}
    void begin(int32_t mode) override {
        ++begins;
        lastMode = mode;
    }
    void end() override { ++ends; }
    void vertex(double x, double y, double z) override { points.push_back({x, y, z}); }
    int32_t segmentsPerSpan() override { return mPerSpan; }

    int begins = 0, ends = 0, lastMode = 0;
    std::vector<aPoint> points;

private:
    int32_t mPerSpan;
};

// Control points on the x axis at 0, 1, 2 ... (weight 1) and clamped uniform knots.
struct AxisCurve {
    std::vector<HomogeneousPoint> points;
    std::vector<float> knots;
};

AxisCurve axisCurve(int count, int order) {
    AxisCurve c;
    for (int i = 0; i < count; ++i) c.points.push_back({float(i), 0.0f, 0.0f, 1.0f});
    if (count < order) {
        // Fewer points than the order: the knots still number count + order.
        c.knots.assign(size_t(order), 0.0f);
        c.knots.resize(size_t(count + order), 1.0f);
        return c;
    }
    const int spans = count - order + 1;
    for (int i = 0; i < order; ++i) c.knots.push_back(0.0f);
    for (int i = 1; i < spans; ++i) c.knots.push_back(float(i));
    for (int i = 0; i < order; ++i) c.knots.push_back(float(spans));
    return c;
}

// Clamped curves over the axis points: the segment count asked for and the strip drawn, one
// vertex more than the segments (none without a point; -1: not drawn here, a strip of a million
// vertices takes seconds under the sanitizers).
struct EmitterCase {
    const char* name;
    int order, points;
    int32_t perSpan;
    int64_t segments;
    int64_t vertices;
};
const EmitterCase kEmitterCases[] = {
    {"quadratic, 10 per span: 10 b / 2", 3, 3, 10, 10, 11},
    {"cubic, default: b k", 4, 5, 0, 16, 17},
    {"quadratic, 1 per span, two points: the last point alone", 3, 2, 1, 0, 1},
    {"quadratic, negative: default", 3, 3, -1, 6, 7},
    {"cubic, negative: default instead of a count below zero", 4, 5, -3, 16, 17},
    {"cubic, another negative count: the default", 4, 5, -5, 16, 17},
    {"cubic, 7 per span: 7 b", 4, 5, 7, 28, 29},
    {"linear: b k whatever asked", 2, 4, 10, 6, 7},
    {"a count beyond the limit is cut", 4, 1000, 2147483647, kMostEmitterSegments, -1},
    {"no point: none", 4, 0, 10, 0, 0},
};

TEST_F(EmitterTest, SegmentCountsFollowTheOrderAndTheSegmentsPerSpan) {
    for (const EmitterCase& c : kEmitterCases)
        EXPECT_EQ(emitterSegmentCount(c.order, c.points, c.perSpan), c.segments) << c.name;
}

TEST_F(EmitterTest, AStripRunsFromTheFirstKnotToTheLastInEvenSteps) {
    for (const EmitterCase& c : kEmitterCases) {
        if (c.vertices < 0) continue;
        SCOPED_TRACE(c.name);
        const AxisCurve curve = axisCurve(c.points, c.order);
        StripOutput out(c.perSpan);
        NURBSCurveEmitter(out, curve.knots, curve.points, c.order);
        ASSERT_EQ(int64_t(out.points.size()), c.vertices);
        if (c.vertices == 0) {
            EXPECT_EQ(out.begins, 0);
            continue;
        }
        EXPECT_EQ(out.begins, 1);
        EXPECT_EQ(out.ends, 1);
        EXPECT_EQ(out.lastMode, GlOutput::kStrip);
        // A curve over the axis points runs from the first to the last, x growing.
        EXPECT_EQ(out.points.back(), aPoint(c.points - 1, 0, 0));
        if (c.vertices > 1) {
            EXPECT_EQ(out.points.front(), aPoint(0, 0, 0));
        }
        const auto notGrowing = std::adjacent_find(out.points.begin(), out.points.end(),
                                                   [](const aPoint& a, const aPoint& b) { return b.x <= a.x; });
        EXPECT_EQ(notGrowing, out.points.end()) << "x stops growing at vertex " << notGrowing - out.points.begin();
    }
}

TEST_F(EmitterTest, CurvesThatCannotBeDrawnGiveNoCallAtAll) {
    const AxisCurve curve = axisCurve(4, 3);
    const std::vector<float> noKnots;
    // Knots that call for more control points than there are.
    const std::vector<float> tooMany = {0, 0, 0, 1, 2, 3, 4, 4, 4};
    RecordingGlOutput out;
    NURBSCurveEmitter(out, noKnots, curve.points, 3);
    NURBSCurveEmitter(out, tooMany, curve.points, 3);
    NURBSCurveEmitter(out, curve.knots, {}, 3);
    NURBSCurveEmitter(out, curve.knots, curve.points, 0);
    EXPECT_TRUE(out.calls.empty());
}

TEST_F(EmitterTest, EqualFirstAndLastKnotsEndTheStrip) {
    // A curve of no extent: every step lands on the same parameter, and the strip still ends.
    const std::vector<HomogeneousPoint> points = {{1, 2, 3, 1}, {1, 2, 3, 1}, {1, 2, 3, 1}};
    const std::vector<float> knots(6, 2.0f);
    StripOutput out(10);
    NURBSCurveEmitter(out, knots, points, 3);
    EXPECT_EQ(out.begins, 1);
    EXPECT_EQ(out.ends, 1);
    EXPECT_LE(out.points.size(), 11u);
}

TEST_F(EmitterTest, RationalCurvesAreEvaluatedWithTheirWeights) {
    // A quarter of the unit circle.
    const float w = float(std::sqrt(0.5));
    const std::vector<HomogeneousPoint> points = {{1, 0, 0, 1}, {w, w, 0, w}, {0, 1, 0, 1}};
    const std::vector<float> knots = {0, 0, 0, 1, 1, 1};
    StripOutput out(20);
    NURBSCurveEmitter(out, knots, points, 3);
    ASSERT_EQ(out.points.size(), 21u);
    for (const aPoint& p : out.points) EXPECT_NEAR(std::hypot(p.x, p.y), 1.0, 1e-6);
}

TEST_F(EmitterTest, TheBaseOutputDrawsNothing) {
    GlOutput base;
    const c_NURBSCurve segment(aPoint(0, 0, 0), aPoint(1, 0, 0));
    EXPECT_FALSE(base.drawNURBSCurve(segment, nullptr));
    EXPECT_EQ(base.segmentsPerSpan(), 10);
    EXPECT_EQ(base.endList(), 0);
}

class CallbackOutputTest : public test::AcisKernelTest {};

// drawCurve turns an ellipse or circle into a NURBS arc: from t0 to t1, a full turn when they
// are equal; the record's word 5 sets the segments per span (0: the emitter's default).
TEST_F(CallbackOutputTest, ArcsAreDrawnBetweenTheirParameters) {
    const c_Circle circle(aPoint(1, 2, 3), kXAxis, kZAxis, 2.0);
    const c_Ellipse ellipse(aPoint(0, 0, 0), kXAxis, kZAxis, 4.0, 1.0);
    const struct {
        const char* name;
        const c_Curve* curve;
        double t0, t1;
        int32_t perSpan;
        int vertices;  // 4 spans of a full turn: 9 points; half a turn: 2 spans, 5 points
    } cases[] = {
        {"full circle, t1 = t0, default segments", &circle, 0.5, 0.5, 0, 25},
        {"full circle, 10 per span", &circle, 0.0, 2 * test::kPi, 10, 41},
        {"half circle", &circle, 0.0, test::kPi, 10, 21},
        {"half ellipse backwards: t1 below t0 goes round", &ellipse, test::kPi, 0.0, 0, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SolidDrawingHost host("", c.perSpan);
        GlCallbackOutput output(host.record);
        output.drawCurve(*c.curve, c.t0, c.t1, nullptr);
        ASSERT_EQ(host.primitives.size(), 1u);
        const auto& strip = host.primitives[0];
        EXPECT_EQ(strip.mode, 3);
        ASSERT_EQ(int(strip.vertices.size()), c.vertices);
        aPoint first, last;
        c.curve->getPointAt(c.t0, first);
        c.curve->getPointAt(c.t1, last);
        test::expectPointNear(strip.vertices.front(), first, 1e-5);
        test::expectPointNear(strip.vertices.back(), last, 1e-5);
        if (c.curve == &circle) {
            for (const aPoint& p : strip.vertices) EXPECT_NEAR(p.distance(circle.centre()), 2.0, 1e-5);
        }
    }
    // A line is no conic: nothing.
    SolidDrawingHost host("");
    GlCallbackOutput output(host.record);
    output.drawCurve(c_Line(kOrigin, kXAxis), 0.0, 1.0, nullptr);
    EXPECT_TRUE(host.primitives.empty());
}

// Only begin, vertex and end reach the record; a primitive with a vertex that is not finite is
// dropped whole; the current matrix moves every vertex.
TEST_F(CallbackOutputTest, PrimitivesReachTheRecordWhole) {
    SolidDrawingHost host("");
    GlCallbackOutput output(host.record);
    output.newList(0, GlOutput::kCompileList);
    output.color(1, 0, 0);
    output.pushAttrib(1);
    output.vertex(9, 9, 9);  // outside a primitive: ignored
    output.begin(1);
    output.vertex(0, 0, 0);
    output.vertex(1, 0, 0);
    output.end();
    output.begin(3);
    output.vertex(0, 0, 0);
    output.vertex(std::numeric_limits<double>::quiet_NaN(), 0, 0);
    output.end();
    output.begin(3);
    output.vertex(std::numeric_limits<double>::infinity(), 0, 0);
    output.end();
    // A turn by 90 degrees about z, a scale of 2 and a move by (5, 6, 7), column by column.
    output.pushMatrix();
    output.multMatrix({0, 2, 0, 0, -2, 0, 0, 0, 0, 0, 2, 0, 5, 6, 7, 1});
    output.begin(1);
    output.vertex(1, 0, 0);
    output.vertex(0, 0, 1);
    output.end();
    output.popMatrix();
    output.begin(1);
    output.vertex(1, 0, 0);
    output.end();
    output.popAttrib();
    output.endList();
    EXPECT_EQ(output.droppedPrimitives(), 2);
    ASSERT_EQ(host.primitives.size(), 3u);
    EXPECT_EQ(host.primitives[0].vertices, (std::vector<aPoint>{{0, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ(host.primitives[1].vertices, (std::vector<aPoint>{{5, 8, 7}, {5, 6, 9}}));
    EXPECT_EQ(host.primitives[2].vertices, (std::vector<aPoint>{{1, 0, 0}}));
    EXPECT_EQ(host.nonFinite, 0);
    EXPECT_EQ(host.unbalanced, 0);
    EXPECT_EQ(output.segmentsPerSpan(), 0);
}

} // namespace
} // namespace tracemill
