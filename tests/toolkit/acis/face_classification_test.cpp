#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "render_test_support.h"
#include "sat_test_support.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/render/gl_renderer.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_topology.h"

namespace tracemill {
namespace {

// Parses a text and sets the tolerances the renderer would set for it.
class FaceClassificationTest : public test::SatParserTest {
protected:
    acis_Face& faceOf(const std::string& text, int index = 0) {
        EXPECT_EQ(parse(text), satParser::kParsed);
        GL_Renderer::setTolerances(5, parser().modelBox());
        acis_Face* face = parser().firstBody()->lump()->shell()->face();
        for (int i = 0; i < index; ++i) face = face->next();
        return *face;
    }
};

// The square hole of render_holed_face_400.sat (see make_fixtures.py).
std::array<aPoint, 4> holeCorners() {
    const double cx = 4, cy = 5, h = 2, a = 20 * test::kPi / 180;
    std::array<aPoint, 4> corners;
    const double xy[4][2] = {{-h, -h}, {-h, h}, {h, h}, {h, -h}};
    for (int i = 0; i < 4; ++i) {
        const double x = xy[i][0], y = xy[i][1];
        corners[size_t(i)] = {cx + x * std::cos(a) - y * std::sin(a), cy + x * std::sin(a) + y * std::cos(a), 0};
    }
    return corners;
}

// Crossing-number point-in-polygon test.
bool polygonHolds(const std::array<aPoint, 4>& polygon, const aPoint& p) {
    bool inside = false;
    for (size_t i = 0, j = 3; i < 4; j = i++) {
        const aPoint& a = polygon[i];
        const aPoint& b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

double segmentDistance(const aPoint& a, const aPoint& b, const aPoint& p) {
    const aVector d = b - a;
    const double t = std::clamp((p - a).dot(d) / d.lengthSquared(), 0.0, 1.0);
    return p.distance(a + t * d);
}

// Every point of a 50 x 50 grid over the face and around it is classified as a plain
// point-in-polygon test of the outer square and the hole says (points within 1e-3 of the
// boundary left out), by the rays alone.
TEST_F(FaceClassificationTest, APlaneFaceWithAHoleClassifiesAGridAsPointInPolygonDoes) {
    acis_Face& face = faceOf(test::satFixture("render_holed_face_400.sat"));
    const std::array<aPoint, 4> outer = {aPoint(0, 0, 0), aPoint(10, 0, 0), aPoint(10, 10, 0), aPoint(0, 10, 0)};
    const std::array<aPoint, 4> hole = holeCorners();
    int checked = 0, inside = 0;
    for (int i = 0; i < 50; ++i) {
        for (int j = 0; j < 50; ++j) {
            const aPoint p(-1.0 + 12.0 * (i + 0.5) / 50, -1.0 + 12.0 * (j + 0.5) / 50, 0.0);
            double nearest = 1e9;
            for (size_t k = 0; k < 4; ++k) {
                nearest = std::min(nearest, segmentDistance(outer[k], outer[(k + 1) % 4], p));
                nearest = std::min(nearest, segmentDistance(hole[k], hole[(k + 1) % 4], p));
            }
            if (nearest < 1e-3) continue;
            const bool expected = polygonHolds(outer, p) && !polygonHolds(hole, p);
            ++checked;
            inside += expected ? 1 : 0;
            ASSERT_EQ(face.classify(p), expected ? kFaceInside : kFaceOutside) << p;
        }
    }
    EXPECT_GT(checked, 2400);
    EXPECT_GT(inside, 1000);
}

// The first ray of a plane leaves the point at 0.2834 rad from the plane's u direction (x
// here): points on a line through a corner in that direction meet the corner first.
TEST_F(FaceClassificationTest, ARayThroughAVertexIsJudgedByBothCoedgesThere) {
    acis_Face& face = faceOf(test::satFixture("render_holed_face_400.sat"));
    const aVector ray(std::cos(0.2834), std::sin(0.2834), 0);
    const struct {
        const char* name;
        aPoint point;
        int result;
    } cases[] = {
        // The ray grazes the corner (10, 0) from outside: the two coedges there disagree, the
        // next ray decides.
        {"grazing the corner from outside", aPoint(10, 0, 0) + 2.0 * ray, kFaceOutside},
        {"grazing the corner, before it", aPoint(10, 0, 0) - 2.0 * ray, kFaceOutside},
        // The ray leaves the face through the corner (0, 0): both coedges put the point inside.
        {"leaving through the corner", aPoint(0, 0, 0) + 3.0 * ray, kFaceInside},
    };
    for (const auto& c : cases) EXPECT_EQ(face.classify(c.point), c.result) << c.name;
}

// Great circles through the point are the rays; the circle of the cap's boundary is the only
// edge they can meet.
TEST_F(FaceClassificationTest, PointsOfASphereClassifyByTheBoundaryCircle) {
    acis_Face& face = faceOf(test::satHeader(400) + test::kSphericalCap);
    const double boundary = std::acos(2.0 / 3.0);
    for (double polar : {0.0, 0.3, 0.7, 0.95, 1.5, 2.2, 3.0, test::kPi}) {
        for (int k = 0; k < 6; ++k) {
            const double azimuth = 0.4 + k * test::kPi / 3;
            const aPoint p(3 * std::sin(polar) * std::cos(azimuth), 3 * std::sin(polar) * std::sin(azimuth),
                           3 * std::cos(polar));
            EXPECT_EQ(face.classify(p), polar < boundary ? kFaceInside : kFaceOutside) << polar << " " << azimuth;
        }
    }
}

TEST_F(FaceClassificationTest, FacesWithoutBoundaryOrSurface) {
    // A sphere face without loops holds every point.
    acis_Face& sphere = faceOf(test::satFixture("sphere_torus_600.sat"));
    EXPECT_EQ(sphere.classify({0, 0, 3}), kFaceInside);
    EXPECT_EQ(sphere.classify({0, 0, -3}), kFaceInside);
    // Without a kernel surface (spline data without an approximation) nothing is decided, and
    // the tolerances are as they were.
    std::string text = test::satHeader(400) + test::kSphericalCap;
    const std::string sphereRecord = "sphere-surface $-1 0 0 0 3 1 0 0 0 0 1 forward";
    text.replace(text.find(sphereRecord), sphereRecord.size(), "spline-surface $-1 forward { offsur }");
    acis_Face& unknown = faceOf(text);
    const GeometryTolerances before = geometryTolerances();
    EXPECT_EQ(unknown.classify({0, 0, 3}), kFaceUndetermined);
    EXPECT_EQ(geometryTolerances().coincTol, before.coincTol);
    EXPECT_EQ(geometryTolerances().BasicDistanceTol, before.BasicDistanceTol);
    EXPECT_EQ(geometryTolerances().BasicDistanceSquaredTol, before.BasicDistanceSquaredTol);
}

TEST_F(FaceClassificationTest, EdgePointQueries) {
    acis_Face& face = faceOf(test::satFixture("render_holed_face_400.sat"));
    const acis_CoEdge* first = face.loop()->coedge();
    const acis_Edge& edge = *first->edge();  // (0, 0) to (10, 0)
    const struct {
        const char* name;
        aPoint point;
        AcisEdgeClass expected;
    } cases[] = {
        {"start vertex", {0, 0, 0}, ecOnStartV},     {"end vertex", {10, 0, 0}, ecOnEndV},
        {"inside", {5, 0, 0}, ecIn},                 {"on the line beyond the end", {12, 0, 0}, ecOut},
        {"on the line before the start", {-1, 0, 0}, ecOut}, {"off the line", {5, 1, 0}, ecOut},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edge.pointClass(c.point), c.expected) << c.name;
        EXPECT_EQ(first->pointClass(c.point), c.expected) << c.name;
    }
    EXPECT_EQ(acis_CoEdge().pointClass({0, 0, 0}), ecOut);
    test::expectPointNear(edge.midpoint(), {5, 0, 0}, 1e-12);
    EXPECT_FALSE(edge.isClosed());
    EXPECT_EQ(face.loopCurveCount(), 8);

    // A closed circle: at its vertex on both ends, elsewhere inside.
    acis_Face& cap = faceOf(test::satHeader(400) + test::kSphericalCap);
    const acis_Edge& circle = *cap.loop()->coedge()->edge();
    EXPECT_TRUE(circle.isClosed());
    EXPECT_EQ(circle.pointClass({2.2360679774997898, 0, 2}), ecOnStartAndEndV);
    EXPECT_EQ(circle.pointClass({0, 2.2360679774997898, 2}), ecIn);
    EXPECT_EQ(circle.pointClass({0, 2, 2}), ecOut);
    EXPECT_EQ(cap.loopCurveCount(), 1);
}

// An arc of a circle from 135 to -135 degrees, forward: across the seam at 180 degrees.
TEST_F(FaceClassificationTest, TheMiddleOfAnEdgeAcrossTheSeam) {
    parse(test::satHeader(400) +
          "edge $-1 $1 $2 $-1 $3 forward #\n"
          "vertex $-1 $0 $4 #\n"
          "vertex $-1 $0 $5 #\n"
          "ellipse-curve $-1 0 0 0 0 0 1 1 0 0 1 I I #\n"
          "point $-1 -0.70710678118654757 0.70710678118654757 0 #\n"
          "point $-1 -0.70710678118654757 -0.70710678118654757 0 #\n"
          "edge $-1 $2 $1 $-1 $3 reversed #\n");
    GL_Renderer::setTolerances(5, parser().modelBox());
    const auto* across = at<acis_Edge>(0);
    ASSERT_NE(across, nullptr);
    const aPoint middle = across->midpoint();
    test::expectPointNear(middle, {std::cos(7 * test::kPi / 8), std::sin(7 * test::kPi / 8), 0}, 1e-12);
    EXPECT_TRUE(across->parameterOnEdge(test::kPi));
    EXPECT_FALSE(across->parameterOnEdge(0.0));
    // The same arc written the other way: the edge runs against the curve from -135 to 135.
    const auto* reversed = at<acis_Edge>(6);
    ASSERT_NE(reversed, nullptr);
    EXPECT_TRUE(reversed->parameterOnEdge(test::kPi));
    EXPECT_FALSE(reversed->parameterOnEdge(0.0));
}

// The nearest edge judges: the box when the face has several curves, else the plane through
// the edge across the face.
TEST_F(FaceClassificationTest, TheNearestEdgeJudgement) {
    acis_Face& holed = faceOf(test::satFixture("render_holed_face_400.sat"));
    EXPECT_EQ(holed.classify2({4, 5, 0}), kFaceOutside);  // no box yet: the edge plane of the hole
    holed.box().add({0, 0, 0});
    holed.box().add({10, 10, 0});
    EXPECT_EQ(holed.classify2({4, 5, 0}), kFaceInside);  // inside the box, though in the hole
    EXPECT_EQ(holed.classify2({11, 5, 0}), kFaceOutside);

    acis_Face& top = faceOf(test::satFixture("render_cylinder_400.sat"), 2);  // the cap at z = 3
    EXPECT_EQ(top.loopCurveCount(), 1);
    EXPECT_EQ(top.classify2({0, 0, 3}), kFaceInside);
    EXPECT_EQ(top.classify2({1.5, 0, 3}), kFaceInside);
    EXPECT_EQ(top.classify2({3, 0, 3}), kFaceOutside);
}

// Faces on surfaces of holes and cavities: the face normal points at the axis or the centre,
// and turns again for a reversed face.
TEST_F(FaceClassificationTest, NormalsOfFacesOnSurfacesTurnedInsideOut) {
    const struct {
        const char* surface;
        const char* sense;
        aPoint at;
        aVector normal;
    } cases[] = {
        {"cone-surface $-1 0 0 0 0 0 1 2 0 0 1 I I 0 -1 1 forward I I I I", "forward", {2, 0, 1}, {-1, 0, 0}},
        {"cone-surface $-1 0 0 0 0 0 1 2 0 0 1 I I 0 1 1 forward I I I I", "forward", {2, 0, 1}, {1, 0, 0}},
        {"cone-surface $-1 0 0 0 0 0 1 2 0 0 1 I I 0 -1 1 forward I I I I", "reversed", {2, 0, 1}, {1, 0, 0}},
        {"sphere-surface $-1 0 0 0 -3 1 0 0 0 0 1 forward I I I I", "forward", {0, 3, 0}, {0, -1, 0}},
        {"sphere-surface $-1 0 0 0 3 1 0 0 0 0 1 forward I I I I", "forward", {0, 3, 0}, {0, 1, 0}},
        {"sphere-surface $-1 0 0 0 3 1 0 0 0 0 1 forward I I I I", "reversed", {0, 3, 0}, {0, -1, 0}},
        {"plane-surface $-1 0 0 0 0 0 1 1 0 0 forward_v I I I I", "reversed", {1, 1, 0}, {0, 0, -1}},
    };
    for (const auto& c : cases) {
        parse(test::satHeader(400) + "face $-1 $-1 $-1 $-1 $-1 $1 " + c.sense + " single #\n" + c.surface + " #\n");
        test::expectVectorNear(at<acis_Face>(0)->faceNormal(c.at), c.normal, 1e-12);
    }
}

} // namespace
} // namespace tracemill
