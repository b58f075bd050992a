#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <vector>

#include "acis_test_support.h"
#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/cone.h"
#include "toolkit/acis/geometry/cylinder.h"
#include "toolkit/acis/geometry/ell_cylinder.h"
#include "toolkit/acis/geometry/intersection_result.h"
#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/sphere.h"
#include "toolkit/acis/geometry/torus.h"
#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/intersect/conic_kernels.h"

namespace tracemill {
namespace {

using test::AcisKernelTest;
using test::expectPointNear;
using test::expectVectorNear;
using test::Frame;
using test::RandomGeometry;
using test::kPi;

class SurfacesTest : public AcisKernelTest {
protected:
    void SetUp() override {
        AcisKernelTest::SetUp();
        aPoint::setCoincidenceTolerance(1e-6);
    }
};

// The value of the implicit equation at p, from the ten coefficients.
double implicitValue(const double (&c)[10], const aPoint& p) {
    return c[0] * p.x * p.x + c[1] * p.y * p.y + c[2] * p.z * p.z + c[3] * p.x * p.y + c[4] * p.y * p.z +
           c[5] * p.z * p.x + c[6] * p.x + c[7] * p.y + c[8] * p.z + c[9];
}

// Points along a curve handed back by a surface (a line is sampled over a stretch).
std::vector<aPoint> samplesOf(const c_Curve& curve) {
    std::vector<aPoint> points;
    for (double t : {-2.0, -0.7, 0.0, 0.4, 1.3, 2.9}) {
        aPoint p;
        curve.getPointAt(t, p);
        points.push_back(p);
    }
    return points;
}

template <typename Surface> void expectOnSurface(const Surface& surface, const CurveArray& curves, double tolerance) {
    double c[10];
    surface.algebraicCoefficients(c);
    for (const auto& curve : curves) {
        ASSERT_NE(curve, nullptr);
        for (const aPoint& p : samplesOf(*curve)) {
            const double scale = 1 + aVector(p).lengthSquared();
            EXPECT_LT(std::fabs(implicitValue(c, p)), tolerance * scale) << curve->className();
        }
    }
}

TEST_F(SurfacesTest, QuadricCurvesSatisfyTheEquation) {
    RandomGeometry random(143);
    for (int row = 0; row < 200; ++row) {
        SCOPED_TRACE(::testing::Message() << "row " << row);
        const Frame f = random.frame(10);
        const c_Cylinder cylinder(f.origin, f.w, random.uniform(0.5, 4));
        const c_Cone cone(f.origin, f.w, random.uniform(0.2, 1.2));
        const c_Sphere sphere(f.origin, random.uniform(0.5, 4));
        const int n = random.integer(1, 7);
        CurveArray curves;
        EXPECT_EQ(cylinder.isoCurves(n, curves), n);
        EXPECT_EQ(cone.isoCurves(n, curves), n);
        EXPECT_EQ(int(curves.size()), 2 * n);
        expectOnSurface(cylinder, CurveArray(std::make_move_iterator(curves.begin()), std::make_move_iterator(curves.begin() + n)), 1e-9);
        expectOnSurface(cone, CurveArray(std::make_move_iterator(curves.begin() + n), std::make_move_iterator(curves.end())), 1e-9);

        // Curves through a point of the cone, and through its apex.
        const double h = random.uniform(-3, 3), phi = random.uniform(-kPi, kPi);
        const aPoint onCone = f.origin + h * (f.w + std::tan(cone.halfAngle()) * (std::cos(phi) * cone.u() + std::sin(phi) * cone.v()));
        CurveArray through;
        EXPECT_EQ(cone.curvesThrough(onCone, through, 4), 1);
        EXPECT_EQ(cone.curvesThrough(f.origin, through, 4), 4);
        expectOnSurface(cone, through, 1e-9);
        EXPECT_TRUE(through[0]->contains(onCone));

        // The sphere: its section circles and the great circles through a point.
        CurveArray circles;
        EXPECT_EQ(sphere.sectionCircles(n, circles), 3 * n);
        const aPoint onSphere = f.origin + sphere.radius() * random.unitVector();
        EXPECT_EQ(sphere.curvesThrough(onSphere, circles, 3), 3);
        expectOnSurface(sphere, circles, 1e-9);
        for (size_t i = size_t(3 * n); i < circles.size(); ++i) {
            aPoint p = onSphere;
            EXPECT_TRUE(static_cast<const c_Circle&>(*circles[i]).contains(p));
        }
    }
    CurveArray none;
    EXPECT_EQ(c_Cylinder(kOrigin, kZAxis, 1).isoCurves(0, none), 0);
    EXPECT_EQ(c_Sphere().sectionCircles(0, none), 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(SurfacesTest, SilhouettesTouchWhereTheNormalIsAcrossTheView) {
    RandomGeometry random(1431);
    for (int row = 0; row < 200; ++row) {
        SCOPED_TRACE(::testing::Message() << "row " << row);
        const Frame f = random.frame(10);
        const aVector view = random.unitVector();
        const double a = random.uniform(1, 4), b = a * random.uniform(0.3, 1);
        const c_EllCylinder ellCylinder(f.origin, f.u, f.w, a, b);
        const c_Cylinder cylinder(f.origin, f.w, a);
        const c_Cone cone(f.origin, f.w, random.uniform(0.2, 1.0));
        const c_EllCone ellCone(f.origin, f.u, f.w, random.uniform(0.2, 1.0), random.uniform(0.4, 1.0));
        const c_Surface* surfaces[] = {&ellCylinder, &cylinder, &cone, &ellCone};
        for (const c_Surface* surface : surfaces) {
            CurveArray curves;
            const int n = surface->silhouetteCurves(view, curves);
            if (n == 0) continue;  // a view inside a cone sees no outline
            ASSERT_EQ(n, 2) << surface->className();
            for (const auto& curve : curves) {
                for (const aPoint& p : samplesOf(*curve)) {
                    if (p.distance(f.origin) < 1e-3) continue;  // the apex
                    aVector normal = surface->normalAt(p);
                    normal.normalize();
                    EXPECT_LT(std::fabs(normal.dot(view)), 1e-9) << surface->className();
                }
            }
        }
        CurveArray outline;
        ASSERT_EQ(c_Sphere(f.origin, a).silhouetteCurves(view, outline), 1);
        const auto& circle = static_cast<const c_Circle&>(*outline[0]);
        EXPECT_LT(std::fabs(std::fabs(circle.w().dot(view)) - 1), 1e-12);
        EXPECT_EQ(circle.radius(), a);
    }
}

TEST_F(SurfacesTest, EllipticCylinderIntersections) {
    RandomGeometry random(1432);
    for (int row = 0; row < 200; ++row) {
        SCOPED_TRACE(::testing::Message() << "row " << row);
        const Frame f = random.frame(10);
        const double a = random.uniform(0.5, 4);
        const c_EllCylinder round(f.origin, f.u, f.w, a, a);

        // A plane across the axis: a circle of radius a.
        IntersectionList items;
        const c_Plane across(f.at(0, 0, random.uniform(-3, 3)), f.w * (random.integer(0, 1) ? 1 : -1));
        ASSERT_EQ(round.intersectPlane(across, items), 2);
        ASSERT_EQ(items.count, 1);
        const auto* circle = std::get_if<CircleRecord>(&items.items[0].geometry);
        ASSERT_NE(circle, nullptr);
        EXPECT_NEAR(circle->radius, a, 1e-6);

        // A tilted plane: an ellipse of major semi-axis a / |w.n|.
        const double tilt = random.uniform(0.1, 1.3);
        const aVector n = std::cos(tilt) * f.w + std::sin(tilt) * f.v;
        items.clear();
        ASSERT_EQ(round.intersectPlane(c_Plane(f.at(0, 0, random.uniform(-3, 3)), n), items), 2);
        const auto* ellipse = std::get_if<EllipseRecord>(&items.items[0].geometry);
        ASSERT_NE(ellipse, nullptr);
        EXPECT_NEAR(ellipse->a, a / std::cos(tilt), 1e-6 * a);
        EXPECT_NEAR(ellipse->b, a, 1e-6 * a);
        for (double t : {0.0, 1.0, 2.5}) {
            const aPoint p = ellipsePoint(*ellipse, t);
            EXPECT_NEAR((p - f.origin - (p - f.origin).dot(f.w) * f.w).length(), a, 1e-6 * a);
        }

        // A line through the axis: two points at distance a; a tangent line: one, tangent.
        const aVector d = std::cos(0.7) * f.u + std::sin(0.7) * f.w;
        const c_IntersectionResult through(c_Line(f.at(0, 0, 1), d), round);
        ASSERT_EQ(through.status(), 2);
        ASSERT_EQ(through.itemCount(), 2);
        for (int i = 0; i < 2; ++i) {
            aPoint p;
            c_IntersectionResult::point(through.item(i), p);
            EXPECT_NEAR((p - f.origin - (p - f.origin).dot(f.w) * f.w).length(), a, 1e-9 * 10);
            EXPECT_FALSE(through.item(i).item->tangent);
        }
        const c_IntersectionResult touching(c_Line(f.at(a, 0, 0), f.v), round);
        ASSERT_EQ(touching.status(), 2);
        ASSERT_EQ(touching.itemCount(), 1);
        EXPECT_TRUE(touching.item(0).item->tangent);
        aPoint p;
        c_IntersectionResult::point(touching.item(0), p);
        expectPointNear(p, f.at(a, 0, 0), 1e-6);
        EXPECT_EQ(c_IntersectionResult(c_Line(f.at(0.5 * a, 0, 0), f.w), round).status(), 1);

        // A circle crossing the cylinder: its points lie on both.
        const c_Circle ring(f.at(a, 0, 1), f.w, 0.5 * a);
        const c_IntersectionResult withRing(ring, round);
        ASSERT_EQ(withRing.status(), 2);
        ASSERT_EQ(withRing.itemCount(), 2);
        for (int i = 0; i < 2; ++i) {
            c_IntersectionResult::point(withRing.item(i), p);
            EXPECT_NEAR((p - f.origin - (p - f.origin).dot(f.w) * f.w).length(), a, 1e-6 * a);
            EXPECT_NEAR(p.distance(f.at(a, 0, 1)), 0.5 * a, 1e-6 * a);
        }
    }
    // An elliptic section across the axis of an elliptic cylinder keeps both radii.
    const c_EllCylinder oval(kOrigin, kXAxis, kZAxis, 3, 2);
    IntersectionList items;
    ASSERT_EQ(oval.intersectPlane(c_Plane({0, 0, 1}, kZAxis), items), 2);
    const auto& e = std::get<EllipseRecord>(items.items[0].geometry);
    EXPECT_NEAR(e.a, 3, 1e-9);
    EXPECT_NEAR(e.b, 2, 1e-9);
    EXPECT_EQ(oval.intersectPlane(c_Plane({0, 0, 1}, kXAxis), items), 1);
}

TEST_F(SurfacesTest, QuadricConstructionAndMessages) {
    const c_EllCylinder swapped(kOrigin, kXAxis, kZAxis, 1, 2);
    EXPECT_EQ(swapped.majorRadius(), 2.0);
    EXPECT_EQ(swapped.minorRadius(), 1.0);
    EXPECT_EQ(c_EllCylinder(kOrigin, kXAxis, kZAxis, 3, 0).majorRadius(), 2.0);
    EXPECT_EQ(c_Cylinder(kOrigin, kZAxis, 0).radius(), 1.0);
    EXPECT_EQ(c_Cone(kOrigin, kZAxis, 0.0001).halfAngle(), kPi / 4);
    EXPECT_EQ(c_EllCone(kOrigin, kXAxis, kZAxis, 0.5, 0).ratio(), 1.0);
    EXPECT_EQ(c_Sphere(kOrigin, -1).radius(), 1.0);

    double c[10];
    EXPECT_EQ(c_EllCone(kOrigin, kXAxis, kZAxis, 0.5, 0.5).algebraicCoefficients(c), 0);
    for (double value : c) EXPECT_EQ(value, 0.0);
    swapped.algebraicCoefficients(c);
    EXPECT_EQ(messages.text(), "*** Warning: c_EllCone::algebraicCoefficients not yet implemented.\n"
                               "*** Warning (c_EllCylinder::algebraicCoefficients): returning cylinder algebraic coefficients.\n");
    messages.clear();

    // Records: the elliptic forms become circular ones.
    EXPECT_EQ(std::get<CylinderRecord>(swapped.makeOldStyleEntity()).radius, 1.5);
    const ConeRecord cone = std::get<ConeRecord>(c_Cone(kOrigin, kZAxis, 0.5).makeOldStyleEntity());
    EXPECT_DOUBLE_EQ(cone.tanHalfAngle, std::tan(0.5));
    EXPECT_EQ(std::get<SphereRecord>(c_Sphere({1, 2, 3}, 4).makeOldStyleEntity()).radius, 4);
    EXPECT_EQ(recordKind(c_Torus().makeOldStyleEntity()), RecordKind::None);
    EXPECT_EQ(messages.text(), "");

    // Normals.
    expectVectorNear(c_Cylinder(kOrigin, kZAxis, 2).normalAt({0, 2, 5}), kYAxis, 1e-15);
    expectVectorNear(c_Sphere({1, 1, 1}, 2).normalAt({1, 1, 3}), kZAxis, 1e-15);
    EXPECT_EQ(swapped.normalAt({0, 0, 4}), kZeroVector);
    // The elliptic cylinder's normal is across its tangent.
    for (double t : {0.3, 1.2, 2.8}) {
        const aPoint p(2 * std::cos(t), std::sin(t), 0.5);
        const aVector tangent(-2 * std::sin(t), std::cos(t), 0);
        EXPECT_NEAR(swapped.normalAt(p).dot(tangent), 0, 1e-12);
    }
    const c_Cone upright(kOrigin, kZAxis, kPi / 4);
    expectVectorNear(upright.normalAt({1, 0, 1}), aVector(1, 0, -1) / std::sqrt(2.0), 1e-15);
    std::ostringstream text;
    c_Sphere({1, 2, 3}, 4).print(text);
    EXPECT_EQ(text.str(), "c_Sphere( (1,2,3) , 4 )");
}

TEST_F(SurfacesTest, TorusCircles) {
    const c_Torus doughnut;
    EXPECT_EQ(doughnut.type(), c_Torus::Doughnut);
    EXPECT_EQ(doughnut.maxMinorAngle(), kPi);
    const c_Torus apple({0, 0, 0}, kXAxis, kZAxis, 1, 2);
    EXPECT_EQ(apple.type(), c_Torus::Apple);
    EXPECT_DOUBLE_EQ(apple.maxMinorAngle(), kPi - std::acos(0.5));
    const c_Torus lemon({0, 0, 0}, kXAxis, kZAxis, -1, 2);
    EXPECT_EQ(lemon.type(), c_Torus::Lemon);
    EXPECT_EQ(lemon.majorRadius(), 1);
    const c_Torus insideOut({0, 0, 0}, kXAxis, kZAxis, 3, -1);
    EXPECT_TRUE(insideOut.insideOut());
    EXPECT_EQ(insideOut.minorRadius(), 1);

    // The apple's major circle at the limit is moved 0.02 inside it.
    const double limit = apple.maxMinorAngle();
    const c_Circle clamped = apple.majorCircle(limit);
    EXPECT_NEAR(clamped.radius(), 1 + 2 * std::cos(limit - 0.02), 1e-12);
    EXPECT_NEAR(clamped.centre().z, 2 * std::sin(limit - 0.02), 1e-12);
    EXPECT_NEAR(apple.majorCircle(-limit).centre().z, 2 * std::sin(0.02 - limit), 1e-12);
    EXPECT_NEAR(doughnut.majorCircle(kPi / 2).radius(), 2, 1e-12);

    // Every generated circle lies on its torus: (x^2 + y^2 + z^2 + R^2 - r^2)^2 = 4 R^2 (x^2 + y^2).
    const struct {
        const char* name;
        const c_Torus* torus;
    } rows[] = {{"doughnut", &doughnut}, {"apple", &apple}, {"inside out", &insideOut}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CurveArray circles;
        EXPECT_EQ(row.torus->generateCircles(5, circles), 10);
        ASSERT_EQ(circles.size(), 10u);
        for (const auto& curve : circles) {
            for (const aPoint& p : samplesOf(*curve)) {
                const double R = row.torus->majorRadius(), r = row.torus->minorRadius();
                const double s = p.x * p.x + p.y * p.y + p.z * p.z + R * R - r * r;
                EXPECT_NEAR(s * s, 4 * R * R * (p.x * p.x + p.y * p.y), 1e-9);
            }
        }
        CurveArray through;
        const aPoint p = doughnut.centre() + 2.5 * kXAxis + (std::sqrt(0.75)) * kZAxis;
        if (row.torus == &doughnut) {
            EXPECT_EQ(row.torus->curvesThrough(p, through, 2), 2);
            for (const auto& curve : through) EXPECT_TRUE(static_cast<const c_Circle&>(*curve).contains(p));
        }
    }
    CurveArray none;
    EXPECT_EQ(doughnut.generateCircles(0, none), 0);
    IntersectionList items;
    EXPECT_EQ(c_IntersectionResult(c_Line(kOrigin, kXAxis), doughnut).status(), 1);
    EXPECT_EQ(c_IntersectionResult(c_Circle(kOrigin, kZAxis, 2), doughnut).status(), 1);
    EXPECT_EQ(messages.text(), "");
    traceSwitches().torus = true;
    doughnut.intersect(c_Line(kOrigin, kXAxis), items);
    EXPECT_EQ(messages.text(), "----> c_Torus::intersect(c_Line( (0,0,0) , (1,0,0) )) called\n");
    std::ostringstream text;
    apple.print(text);
    EXPECT_NE(text.str().find("compact , apple"), std::string::npos);
    expectVectorNear(doughnut.normalAt({3, 0, 0}), kXAxis, 1e-15);
    expectVectorNear(insideOut.normalAt({4, 0, 0}), -kXAxis, 1e-15);
}

TEST_F(SurfacesTest, ResultItemViews) {
    // Status 1: no items, every view empty.
    const c_IntersectionResult none(c_Line({0, 0, 1}, kXAxis), c_Plane());
    EXPECT_EQ(none.status(), 1);
    EXPECT_EQ(none.itemCount(), 0);
    EXPECT_EQ(c_IntersectionResult::kind(none.item(0)), 0);
    // Status 2 with an empty list: one overlap.
    const c_IntersectionResult lying(c_Line({0, 0, 0}, kXAxis), c_Plane());
    EXPECT_EQ(lying.status(), 2);
    EXPECT_EQ(lying.itemCount(), 1);
    EXPECT_EQ(c_IntersectionResult::kind(lying.item(0)), 1);
    EXPECT_EQ(c_IntersectionResult::kind(lying.item(7)), 1);
    aPoint p(1, 1, 1);
    EXPECT_FALSE(c_IntersectionResult::point(lying.item(0), p));
    EXPECT_EQ(p, kOrigin);
    // A point result: item(-1) and item(count) are empty.
    const c_IntersectionResult crossing(c_Line({0, 0, 5}, {0, 0, -1}), c_Plane());
    ASSERT_EQ(crossing.status(), 2);
    ASSERT_EQ(crossing.itemCount(), 1);
    EXPECT_EQ(c_IntersectionResult::kind(crossing.item(0)), 2);
    EXPECT_EQ(c_IntersectionResult::kind(crossing.item(-1)), 0);
    EXPECT_EQ(c_IntersectionResult::kind(crossing.item(1)), 0);
    EXPECT_TRUE(c_IntersectionResult::point(crossing.item(0), p));
    EXPECT_EQ(p, kOrigin);
    c_Line line;
    EXPECT_FALSE(c_IntersectionResult::line(crossing.item(0), line));
    EXPECT_EQ(line.direction(), kXAxis);
    // Two planes: a line item.
    const c_IntersectionResult planes(c_Plane(), c_Plane({1, 0, 0}, kXAxis));
    ASSERT_EQ(planes.status(), 2);
    EXPECT_EQ(c_IntersectionResult::kind(planes.item(0)), 3);
    EXPECT_TRUE(c_IntersectionResult::line(planes.item(0), line));
    EXPECT_NEAR(std::fabs(line.direction().y), 1, 1e-15);
    // A surface without a record form meets nothing.
    EXPECT_EQ(c_IntersectionResult(c_Torus(), c_Plane()).status(), 1);
    // A NURBS curve against a surface it cannot meet reports so.
    const std::vector<HomogeneousPoint> points = {{0, 0, 0, 1}, {1, 0, 0, 1}};
    const std::vector<float> knots = {0, 0, 1, 1};
    EXPECT_EQ(c_IntersectionResult(c_NURBSCurve(points, knots), c_Torus()).status(), 1);
    EXPECT_EQ(messages.text(), "Cannot intersect a NURBS curve with a c_Torus\n");
}

// A bilinear patch over the unit square: x = u, y = v, z = u v (knots 0, 0, 1, 1).
c_NURBSSurface bilinear(double lift = 1.0) {
    const std::vector<HomogeneousPoint> net = {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, float(lift), 1}};
    const std::vector<float> knots = {0, 0, 1, 1};
    return c_NURBSSurface(net, 2, 2, knots, knots);
}

TEST_F(SurfacesTest, NURBSSurfaceEvaluation) {
    const c_NURBSSurface patch = bilinear();
    for (double u : {0.0, 0.25, 0.5, 1.0}) {
        for (double v : {0.0, 0.125, 0.75, 1.0}) {
            aPoint p;
            ASSERT_TRUE(patch.getPointAt(u, v, p));
            EXPECT_EQ(p, aPoint(u, v, u * v));
        }
    }
    aPoint p(3, 3, 3);
    EXPECT_FALSE(patch.getPointAt(1.5, 2, p));
    EXPECT_EQ(p, kOrigin);
    const c_NURBSSurface bare({}, 2, 2, {}, {});
    EXPECT_FALSE(bare.getPointAt(0.5, 0.5, p));
    EXPECT_EQ(p, kOrigin);
    double u, v;
    EXPECT_EQ(bare.getParameterOf({0, 0, 0}, u, v), -1);
    EXPECT_EQ(u, 10);
    EXPECT_EQ(v, 10);

    std::ostringstream text;
    patch.print(text);
    EXPECT_EQ(text.str().substr(0, text.str().find('\n')), "c_NURBSSurface 1 1 4 4");
}

TEST_F(SurfacesTest, PlanarPatchNormalsAndProjection) {
    // A tilted planar cubic patch: every point lies in the plane through the origin with
    // normal n.
    const aVector e1(1, 0, 0.5), e2(0, 1, -0.25);
    const aVector n = e1.cross(e2) / e1.cross(e2).length();
    std::vector<HomogeneousPoint> net;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            const aVector p = (i + 0.1 * j * j) * e1 + (j + 0.2 * i) * e2;
            net.push_back({float(p.x), float(p.y), float(p.z), 1});
        }
    }
    const std::vector<float> knots = {0, 0, 0, 0, 1, 1, 1, 1};
    const c_NURBSSurface patch(net, 4, 4, knots, knots);
    for (int i = 1; i < 5; ++i) {
        for (int j = 1; j < 5; ++j) {
            aPoint p;
            patch.getPointAt(i / 5.0, j / 5.0, p);
            const aVector normal = patch.normalAt(p);
            EXPECT_LT(std::fabs(std::fabs(normal.dot(n)) - 1), 1e-5) << i << "," << j;
            double u, v;
            EXPECT_EQ(patch.getParameterOf(p, u, v), 0);
            aPoint back;
            patch.getPointAt(u, v, back);
            EXPECT_LT(back.distance(p), 1e-5);
            // Off the surface: the nearest point, the residual along the normal.
            const aPoint off = p + 0.5 * n;
            EXPECT_EQ(patch.getParameterOf(off, u, v), -2);
            patch.getPointAt(u, v, back);
            const aVector residual = off - back;
            EXPECT_NEAR(residual.length(), 0.5, 1e-4);
            EXPECT_LT((residual / residual.length()).cross(n).length(), 1e-4);
        }
    }
    CurveArray curves;
    EXPECT_EQ(patch.isoCurves(3, curves), 6);
    for (const auto& curve : curves) {
        for (double t : {0.0, 0.3, 1.0}) {
            aPoint p;
            curve->getPointAt(t, p);
            EXPECT_NEAR(aVector(p).dot(n), 0, 1e-5);
        }
    }
    aPoint onPatch;
    patch.getPointAt(0.3, 0.6, onPatch);
    EXPECT_EQ(patch.curvesThrough(onPatch, curves, 2), 2);
    EXPECT_TRUE(static_cast<const c_NURBSCurve&>(*curves[6]).contains(onPatch));
    EXPECT_TRUE(static_cast<const c_NURBSCurve&>(*curves[7]).contains(onPatch));
}

TEST_F(SurfacesTest, ClosedDirectionsWrapAndOpenOnesClamp) {
    // Rows u = 0 and u = 2 coincide: closed in u, open in v.
    const std::vector<HomogeneousPoint> net = {{0, 0, 0, 1}, {1, 0, 1, 1}, {0, 0, 0, 1},
                                               {0, 1, 0, 1}, {1, 1, 1, 1}, {0, 1, 0, 1}};
    const std::vector<float> uKnots = {0, 0, 0, 1, 1, 1}, vKnots = {0, 0, 1, 1};
    const c_NURBSSurface surface(net, 3, 2, uKnots, vKnots);
    EXPECT_TRUE(surface.closedInU());
    EXPECT_FALSE(surface.closedInV());
    EXPECT_FALSE(bilinear().closedInU());
    const struct {
        bool closed;
        double t, result;
    } rows[] = {{true, -0.1, 0.9}, {true, 1.25, 0.25}, {true, 0.5, 0.5}, {false, -0.1, 0.0}, {false, 1.25, 1.0}};
    for (const auto& row : rows) {
        EXPECT_NEAR(c_NURBSSurface::adjustParameter(row.closed, row.t, 0, 1), row.result, 1e-15);
    }
}

} // namespace
} // namespace tracemill
