#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "render_test_support.h"
#include "sat_test_support.h"
#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/render/gl_callback_output.h"
#include "toolkit/acis/render/gl_renderer.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_topology.h"

namespace tracemill {
namespace {

using test::RecordedPrimitive;
using test::RecordingGlOutput;
using test::SolidDrawingHost;

class WireframeRendererTest : public test::SatParserTest {};

ModelBox modelBoxOf(const aPoint& low, const aPoint& high) {
    ModelBox box;
    box.add(low);
    box.add(high);
    return box;
}

TEST_F(WireframeRendererTest, TheTolerancesFollowTheHintAndTheSizeOfTheBody) {
    // Half diagonals 5 (R < 10), 25 and 0.05 (taken as 1).
    const ModelBox five = modelBoxOf({0, 0, 0}, {6, 0, 8});
    const ModelBox large = modelBoxOf({0, 0, 0}, {30, 0, 40});
    const ModelBox tiny = modelBoxOf({0, 0, 0}, {0.1, 0, 0});
    const struct {
        const char* name;
        int hint;
        const ModelBox* box;
        double r, angle, distance, unit;
    } cases[] = {
        {"5", 5, &five, 5, 0.001, 5 * 0.00025, 1e-6},
        {"1", 1, &five, 5, 1e-5, 5e-6, 1e-8},
        {"10", 10, &five, 5, 0.006, 25 * 5 * 0.00025, 0.001},
        {"3: halfway from 1 to 5", 3, &five, 5, 0.000505, 0.5 * (5e-6 + 5 * 0.00025), 5.05e-7},
        {"7: two fifths from 5 to 10", 7, &five, 5, 0.003, 5 * 0.00025 * (1 + 24 * 0.4), 0.0004006},
        {"0 counts as 5", 0, &five, 5, 0.001, 5 * 0.00025, 1e-6},
        {"-1 counts as 5", -1, &five, 5, 0.001, 5 * 0.00025, 1e-6},
        {"11 counts as 5", 11, &five, 5, 0.001, 5 * 0.00025, 1e-6},
        {"R from 10 on: 0.0004 R", 5, &large, 25, 0.001, 25 * 0.0004, 1e-6},
        {"R below 0.1 is 1", 5, &tiny, 1, 0.001, 0.00025, 1e-6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GL_Renderer::setTolerances(c.hint, *c.box);
        const GeometryTolerances& tol = geometryTolerances();
        EXPECT_NEAR(tol.BasicAngleTol, c.angle, 1e-12);
        EXPECT_NEAR(tol.BasicDistanceTol, c.distance, 1e-12);
        EXPECT_NEAR(tol.BasicUnitTol, c.unit, 1e-12);
        EXPECT_NEAR(tol.BasicDistanceSquaredTol, (2 * c.r + c.distance) * c.distance, 1e-12);
        EXPECT_EQ(tol.coincTol, tol.BasicDistanceTol);
    }
}

TEST_F(WireframeRendererTest, ABodyWithoutLumpsIsAnEmptyDisplayList) {
    ASSERT_EQ(parse(test::satHeader(400) + "body $-1 $-1 $-1 $-1 #\n"), satParser::kParsed);
    RecordingGlOutput output;
    GL_Renderer renderer(*parser().firstBody(), GL_RendererSettings{}, output, parser().modelBox());
    EXPECT_EQ(renderer.render(3), 7);
    EXPECT_EQ(output.calls, (std::vector<std::string>{"newList 3 4864", "color 1 1 1", "endList"}));
}

// The buffers take the largest count of curves any kind makes, and two silhouettes.
TEST_F(WireframeRendererTest, TheCurveBuffersFitEveryKind) {
    ASSERT_EQ(parse(test::satHeader(400) + "body $-1 $-1 $-1 $-1 #\n"), satParser::kParsed);
    RecordingGlOutput output;
    const struct {
        std::array<int32_t, 5> counts;
        bool silhouettes;
        int size;
    } cases[] = {
        {{4, 0, 0, 4, 4}, true, 14}, {{4, 0, 0, 4, 4}, false, 12}, {{0, 0, 0, 0, 0}, false, 0},
        {{0, 5, 0, 0, 0}, true, 12}, {{7, 0, 0, 0, 0}, false, 7},  {{0, 0, 3, 0, 2}, false, 6},
    };
    for (const auto& c : cases) {
        GL_RendererSettings settings;
        settings.curveCounts = c.counts;
        settings.switches[GL_RendererSettings::kSilhouettes] = c.silhouettes;
        EXPECT_EQ(GL_Renderer(*parser().firstBody(), settings, output, parser().modelBox()).bufferSize(), c.size);
    }
}

// Each edge of a unit box once, as a segment: 12 mode-1 primitives and nothing else.
TEST_F(WireframeRendererTest, AUnitBoxGivesItsTwelveEdges) {
    SolidDrawingHost host(test::satFixture("cube_400.sat"));
    EXPECT_EQ(host.draw(), 0);
    ASSERT_EQ(host.primitives.size(), 12u);
    std::set<std::pair<std::array<double, 3>, std::array<double, 3>>> edges;
    for (const RecordedPrimitive& p : host.primitives) {
        EXPECT_EQ(p.mode, 1);
        ASSERT_EQ(p.vertices.size(), 2u);
        const aPoint a = p.vertices[0], b = p.vertices[1];
        EXPECT_NEAR(a.distance(b), 1.0, 1e-15);
        for (double v : {a.x, a.y, a.z, b.x, b.y, b.z}) EXPECT_TRUE(v == 0.0 || v == 1.0);
        std::array<double, 3> low{a.x, a.y, a.z}, high{b.x, b.y, b.z};
        if (high < low) std::swap(low, high);
        edges.insert({low, high});
    }
    EXPECT_EQ(edges.size(), 12u);
    EXPECT_EQ(host.segments(), 12);
    EXPECT_EQ(host.unbalanced, 0);
}

// The body's colour attribute is pushed around its faces, and only while its switch is on.
TEST_F(WireframeRendererTest, ColourAttributesApplyByTheirSwitches) {
    ASSERT_EQ(parse(test::satFixture("cube_400.sat")), satParser::kParsed);
    for (bool on : {true, false}) {
        RecordingGlOutput output;
        GL_RendererSettings settings;
        settings.switches[GL_RendererSettings::kTslColour] = on;
        GL_Renderer(*parser().firstBody(), settings, output, parser().modelBox()).render(0);
        EXPECT_EQ(output.countOf("pushAttrib 1"), on ? 1 : 0);
        EXPECT_EQ(output.countOf("colorAttrib"), on ? 1 : 0);
        EXPECT_EQ(output.countOf("popAttrib"), on ? 1 : 0);
        EXPECT_EQ(output.countOf("begin 1"), 12);
        if (on) {
            // Colour 3 of the colour-index table: green.
            EXPECT_EQ(output.calls[2], "pushAttrib 1");
            EXPECT_EQ(output.calls[3], "colorAttrib 0 1 0");
            EXPECT_EQ(output.calls[output.calls.size() - 2], "popAttrib");
        }
    }
}

// The unit polar angle of a point about the z axis.
double polarAngle(const aPoint& p) { return std::atan2(p.y, p.x); }

// The side: 4 rulings cut at the two caps and 2 silhouette rulings, one primitive of 6
// segments; the caps: the two circles, each one closed strip.
TEST_F(WireframeRendererTest, ACylinderGivesItsCirclesRulingsAndSilhouettes) {
    SolidDrawingHost host(test::satFixture("render_cylinder_400.sat"));
    host.draw();
    ASSERT_EQ(host.count(3), 2);
    ASSERT_EQ(host.count(1), 1);
    std::vector<double> heights;
    for (const RecordedPrimitive& p : host.primitives) {
        if (p.mode != 3) continue;
        // A full turn of a circle of radius 2 about the axis, closed.
        ASSERT_GT(p.vertices.size(), 8u);
        test::expectPointNear(p.vertices.front(), p.vertices.back(), 1e-6);
        double widestStep = 0;
        for (size_t i = 0; i < p.vertices.size(); ++i) {
            EXPECT_NEAR(std::hypot(p.vertices[i].x, p.vertices[i].y), 2.0, 1e-6);
            EXPECT_NEAR(p.vertices[i].z, p.vertices[0].z, 1e-12);
            if (i > 0) widestStep = std::max(widestStep, p.vertices[i].distance(p.vertices[i - 1]));
        }
        EXPECT_LT(widestStep, 1.0);
        heights.push_back(p.vertices[0].z);
    }
    std::sort(heights.begin(), heights.end());
    EXPECT_EQ(heights, (std::vector<double>{0.0, 3.0}));

    const RecordedPrimitive& side = *std::find_if(host.primitives.begin(), host.primitives.end(),
                                                  [](const RecordedPrimitive& p) { return p.mode == 1; });
    ASSERT_EQ(side.vertices.size(), 12u);
    const aVector view = aVector(1, 1, 1) / std::sqrt(3.0);
    aVector across = view.cross(kZAxis);
    across.normalize();
    std::vector<double> expected;
    for (int k = 0; k < 4; ++k) expected.push_back(normalizeAngle(0.2162 + k * test::kPi / 2));
    expected.push_back(polarAngle(aPoint(across)));
    expected.push_back(polarAngle(aPoint(-across)));
    std::vector<double> angles;
    for (size_t i = 0; i < 12; i += 2) {
        const aPoint a = side.vertices[i], b = side.vertices[i + 1];
        EXPECT_NEAR(a.x, b.x, 1e-9);
        EXPECT_NEAR(a.y, b.y, 1e-9);
        EXPECT_NEAR(std::hypot(a.x, a.y), 2.0, 1e-9);
        EXPECT_NEAR(std::min(a.z, b.z), 0.0, 1e-9);
        EXPECT_NEAR(std::max(a.z, b.z), 3.0, 1e-9);
        angles.push_back(polarAngle(a));
    }
    std::sort(angles.begin(), angles.end());
    std::sort(expected.begin(), expected.end());
    for (size_t i = 0; i < 6; ++i) EXPECT_NEAR(angles[i], expected[i], 1e-9);
}

// A cone with its apex as a loop of its own: each ruling crosses the base circle once, and the
// apex ends it; 4 rulings and 2 silhouettes from the base to the apex, and the base circle.
TEST_F(WireframeRendererTest, ConeRulingsRunFromTheBaseToTheApex) {
    SolidDrawingHost host(test::satFixture("render_cone_400.sat"));
    host.draw();
    ASSERT_EQ(host.count(3), 1);
    ASSERT_EQ(host.count(1), 1);
    for (const RecordedPrimitive& p : host.primitives) {
        if (p.mode == 3) {
            for (const aPoint& v : p.vertices) EXPECT_NEAR(std::hypot(v.x, v.y), 2.0, 1e-6);
            continue;
        }
        ASSERT_EQ(p.vertices.size(), 12u);
        for (size_t i = 0; i < p.vertices.size(); i += 2) {
            aPoint base = p.vertices[i], apex = p.vertices[i + 1];
            if (base.z > apex.z) std::swap(base, apex);
            test::expectPointNear(apex, {0, 0, 3}, 1e-9);
            EXPECT_NEAR(base.z, 0.0, 1e-9);
            EXPECT_NEAR(std::hypot(base.x, base.y), 2.0, 1e-9);
        }
    }
}

// An apple torus (major radius 1 below the minor radius 2): its meridians end where they meet
// the axis, at the minor angles -+2 pi / 3; its parallels lie inside that range.
TEST_F(WireframeRendererTest, TheMeridiansOfAnAppleEndOnTheAxis) {
    SolidDrawingHost host(test::satHeader(400) +
                          "body $-1 $1 $-1 $-1 #\n"
                          "lump $-1 $-1 $2 $0 #\n"
                          "shell $-1 $-1 $-1 $3 $-1 $1 #\n"
                          "face $-1 $-1 $-1 $2 $-1 $4 forward single #\n"
                          "torus-surface $-1 0 0 0 0 0 1 1 2 1 0 0 forward I I I I #\n");
    host.draw();
    ASSERT_EQ(host.primitives.size(), 8u);
    int meridians = 0;
    for (const RecordedPrimitive& p : host.primitives) {
        ASSERT_EQ(p.mode, 3);
        for (const aPoint& v : p.vertices) {
            const double ring = std::hypot(v.x, v.y) - 1.0;
            EXPECT_NEAR(ring * ring + v.z * v.z, 4.0, 1e-5);
        }
        const aPoint& a = p.vertices.front();
        const aPoint& b = p.vertices.back();
        if (a.distance(b) < 1e-6) continue;  // a parallel: a closed circle
        ++meridians;
        test::expectPointNear(a, {0, 0, -std::sqrt(3.0)}, 1e-5);
        test::expectPointNear(b, {0, 0, std::sqrt(3.0)}, 1e-5);
    }
    EXPECT_EQ(meridians, 4);
}

// Parameter lines of a spline face (2 of constant u, 2 of constant v) on the quarter cylinder
// of the fixture: every point drawn lies on the face.
TEST_F(WireframeRendererTest, SplineFacesGetTheirParameterLines) {
    ASSERT_EQ(parse(test::satFixture("spline_face_400.sat")), satParser::kParsed);
    SolidDrawingHost host("");
    GlCallbackOutput output(host.record);
    GL_RendererSettings settings;
    settings.curveCounts[GL_RendererSettings::kNURBSCurves] = 2;
    GL_Renderer(*parser().firstBody(), settings, output, parser().modelBox()).render(0);
    EXPECT_EQ(host.count(3), 8);
    EXPECT_EQ(int(host.primitives.size()), 8);
    for (const RecordedPrimitive& p : host.primitives) {
        for (const aPoint& v : p.vertices) {
            EXPECT_NEAR(std::hypot(v.x - 22, v.y - 18), 2.0, 1e-4) << v;
            EXPECT_GE(v.z, 10.5 - 1e-4);
            EXPECT_LE(v.z, 16.5 + 1e-4);
            EXPECT_LE(v.x, 22 + 1e-4);
            EXPECT_LE(v.y, 20 + 1e-4);
        }
    }
}

// A spherical cap: the section circles and the silhouette are cut where they cross the cap's
// boundary circle, the circles wholly outside the cap are left out, and every point drawn lies
// on the cap.
TEST_F(WireframeRendererTest, SectionCirclesOfASphericalCapStayOnTheCap) {
    SolidDrawingHost host(test::satHeader(400) + test::kSphericalCap);
    host.draw();
    EXPECT_EQ(host.count(1), 0);
    int pieces = 0, closed = 0;
    for (const RecordedPrimitive& p : host.primitives) {
        for (const aPoint& v : p.vertices) {
            EXPECT_NEAR(v.distance(kOrigin), 3.0, 1e-5);
            EXPECT_GE(v.z, 2.0 - 1e-5) << v;
        }
        if (p.vertices.front().distance(p.vertices.back()) < 1e-6) ++closed;
        else ++pieces;
    }
    // The boundary circle is the one closed strip. The 8 section circles across x and y (radii
    // 2.33 to 2.96 about points of the axes) and the silhouette reach above z = 2: 9 arcs; the
    // 4 across z lie below it.
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(pieces, 9);
}

// The wall of a hole of radius 1 from z = 0 to z = 2, written either way: a reversed face on an
// outward cylinder, or a forward face on a cylinder turned inside out (a negative cosine). Its
// rulings and silhouettes run from the bottom circle to the top one.
TEST_F(WireframeRendererTest, TheWallOfAHoleGetsItsRulings) {
    const auto wall = [](const char* sense, const char* cosine) {
        return test::satHeader(400) + "body $-1 $1 $-1 $-1 #\n"
               "lump $-1 $-1 $2 $0 #\n"
               "shell $-1 $-1 $-1 $3 $-1 $1 #\n" +
               "face $-1 $-1 $4 $2 $-1 $5 " + sense + " single #\n" +
               "loop $-1 $6 $7 $3 #\n"
               "cone-surface $-1 0 0 0 0 0 1 1 0 0 1 I I 0 " + cosine + " 1 forward I I I I #\n" +
               "loop $-1 $-1 $8 $3 #\n"
               "coedge $-1 $7 $7 $-1 $9 reversed $4 $-1 #\n"
               "coedge $-1 $8 $8 $-1 $10 forward $6 $-1 #\n"
               "edge $-1 $11 $11 $7 $13 forward #\n"
               "edge $-1 $12 $12 $8 $14 forward #\n"
               "vertex $-1 $9 $15 #\n"
               "vertex $-1 $10 $16 #\n"
               "ellipse-curve $-1 0 0 0 0 0 1 1 0 0 1 I I #\n"
               "ellipse-curve $-1 0 0 2 0 0 1 1 0 0 1 I I #\n"
               "point $-1 1 0 0 #\n"
               "point $-1 1 0 2 #\n";
    };
    for (const auto& [sense, cosine] : {std::pair{"reversed", "1"}, {"forward", "-1"}}) {
        SCOPED_TRACE(sense);
        SolidDrawingHost host(wall(sense, cosine));
        host.draw();
        EXPECT_EQ(host.count(3), 2);
        ASSERT_EQ(host.count(1), 1);
        for (const RecordedPrimitive& p : host.primitives) {
            if (p.mode != 1) continue;
            EXPECT_EQ(p.vertices.size(), 12u);
            for (size_t i = 0; i + 1 < p.vertices.size(); i += 2) {
                EXPECT_NEAR(std::min(p.vertices[i].z, p.vertices[i + 1].z), 0.0, 1e-9);
                EXPECT_NEAR(std::max(p.vertices[i].z, p.vertices[i + 1].z), 2.0, 1e-9);
            }
        }
    }
    // Turned the wrong way round (a forward face on an outward cylinder), the same loops bound
    // the rest of the infinite cylinder: the rulings between the circles are outside.
    SolidDrawingHost outside(wall("forward", "1"));
    outside.draw();
    EXPECT_EQ(outside.count(3), 2);
    EXPECT_EQ(outside.count(1), 0);
}

// A sphere face gives its 12 section circles and its silhouette across (1, 1, 1); a torus face
// its 4 pairs of circles (no silhouettes). Both faces are unbounded: every circle is drawn.
TEST_F(WireframeRendererTest, SpheresAndToriGiveTheirCircles) {
    SolidDrawingHost host(test::satFixture("sphere_torus_600.sat"));
    host.draw();
    EXPECT_EQ(host.count(1), 0);
    int sphere = 0, silhouette = 0, torus = 0;
    for (const RecordedPrimitive& p : host.primitives) {
        ASSERT_EQ(p.mode, 3);
        bool onSphere = true, onTorus = true, acrossView = true;
        for (const aPoint& v : p.vertices) {
            onSphere = onSphere && std::fabs(v.distance(kOrigin) - 3.0) < 1e-5;
            const double ring = std::hypot(v.x - 10, v.y) - 4.0;
            onTorus = onTorus && std::fabs(ring * ring + v.z * v.z - 1.0) < 1e-5;
            acrossView = acrossView && std::fabs(v.x + v.y + v.z) < 1e-5;
        }
        sphere += onSphere ? 1 : 0;
        silhouette += onSphere && acrossView ? 1 : 0;
        torus += onTorus ? 1 : 0;
    }
    EXPECT_EQ(sphere, 13);
    EXPECT_EQ(silhouette, 1);
    EXPECT_EQ(torus, 8);
    EXPECT_EQ(int(host.primitives.size()), 21);
}

// The body's transform (a turn by 30 degrees about z, the scale 2, the move (5, 6, 7)) places
// every vertex.
TEST_F(WireframeRendererTest, ABodyWithATransformIsDrawnTransformed) {
    SolidDrawingHost host(test::satFixture("render_transformed_cube_400.sat"));
    host.draw();
    ASSERT_EQ(host.primitives.size(), 12u);
    const double c = std::cos(test::kPi / 6), s = std::sin(test::kPi / 6);
    std::vector<aPoint> corners;
    for (int z = 0; z < 2; ++z) {
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) corners.push_back({2 * (x * c - y * s) + 5, 2 * (x * s + y * c) + 6, 2.0 * z + 7});
        }
    }
    for (const RecordedPrimitive& p : host.primitives) {
        ASSERT_EQ(p.vertices.size(), 2u);
        EXPECT_NEAR(p.vertices[0].distance(p.vertices[1]), 2.0, 1e-12);
        for (const aPoint& v : p.vertices) {
            const bool corner = std::any_of(corners.begin(), corners.end(), [&](const aPoint& q) { return q.distance(v) < 1e-12; });
            EXPECT_TRUE(corner) << v;
        }
    }
}

// The bodies are drawn in the reverse of their order in the text.
TEST_F(WireframeRendererTest, TheLastBodyOfTheTextIsDrawnFirst) {
    SolidDrawingHost host(test::satFixture("render_two_cubes_400.sat"));
    host.draw();
    ASSERT_EQ(host.primitives.size(), 24u);
    for (size_t i = 0; i < 24; ++i) {
        for (const aPoint& v : host.primitives[i].vertices) EXPECT_EQ(v.x >= 3.0, i < 12) << i;
    }
}

TEST_F(WireframeRendererTest, PartitionPoints) {
    ASSERT_EQ(parse(test::satHeader(400) + "body $-1 $-1 $-1 $-1 #\n"), satParser::kParsed);
    RecordingGlOutput output;
    GL_Renderer renderer(*parser().firstBody(), GL_RendererSettings{}, output, parser().modelBox());
    const double tolerance = geometryTolerances().BasicAngleTol;
    acis_Edge first, second, third;
    acis_CoEdge a, b, c, d;
    a.setPointerField(803, &first);
    b.setPointerField(803, &first);
    c.setPointerField(803, &second);
    d.setPointerField(803, &third);
    GL_Renderer::SurfaceCurve curve;
    curve.curve = std::make_unique<c_Circle>(kOrigin, kZAxis, 1.0);
    GL_Renderer::PartitionNode overlap;
    overlap.pairs = 2;
    overlap.parameters[0] = 1.0;
    overlap.parameters[1] = 1.2;
    curve.partitions.push_back(overlap);
    // What the list holds after each step: the coedge of each node, or 'o' for the overlap.
    const struct {
        const char* name;
        double t;
        const acis_CoEdge* coedge;
        const char* nodes;
        bool changed;
    } steps[] = {
        {"the first point goes before the larger ones", 0.5, &a, "ao", true},
        {"a point of another edge within the tolerance is added after it", 0.5 + tolerance / 2, &c, "aco", true},
        {"a point of the same edge removes the first", 0.5, &b, "co", true},
        {"a point of a third edge at an equal parameter goes before", 0.5 + tolerance / 2, &d, "dco", true},
        {"nothing joins a node of two pairs", 1.0 + tolerance / 2, &a, "dco", false},
        {"nothing joins its second pair either", 1.2 - tolerance / 2, &a, "dco", false},
        {"a point beyond the overlap", 2.0, &a, "dcoa", true},
        {"a point without a coedge goes before an equal one", 2.0, nullptr, "dcona", true},
    };
    const auto code = [&](const GL_Renderer::PartitionNode& node) {
        return node.pairs == 2 ? 'o' : node.coedge == &a || node.coedge == &b ? 'a' : node.coedge == &c ? 'c' : node.coedge == &d ? 'd' : 'n';
    };
    for (const auto& step : steps) {
        renderer.clearPartitionsChanged();
        renderer.addPartitionPoint(curve, kOrigin, step.t, step.coedge);
        std::string nodes;
        for (const auto& node : curve.partitions) nodes += code(node);
        EXPECT_EQ(nodes, step.nodes) << step.name;
        EXPECT_EQ(renderer.partitionsChanged(), step.changed) << step.name;
    }
    // A curve with a bound takes nothing beyond it.
    GL_Renderer::SurfaceCurve bounded;
    bounded.curve = std::make_unique<c_Circle>(kOrigin, kZAxis, 1.0);
    bounded.periodic = true;
    bounded.bound = 2.0;
    for (double t : {-2.5, 2.5, 2.0, -2.0}) renderer.addPartitionPoint(bounded, kOrigin, t, nullptr);
    ASSERT_EQ(bounded.partitions.size(), 2u);
    EXPECT_EQ(bounded.partitions[0].parameters[0], -2.0);
    EXPECT_EQ(bounded.partitions[1].parameters[0], 2.0);
}

} // namespace
} // namespace tracemill
