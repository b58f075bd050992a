#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "acis_test_support.h"
#include "toolkit/acis/intersect/conic_kernels.h"
#include "toolkit/acis/intersect/intersection_dispatch.h"
#include "toolkit/acis/intersect/plane_sections.h"
#include "toolkit/acis/intersect/record_geometry.h"

namespace tracemill {
namespace {

using test::AcisKernelTest;
using test::expectPointNear;
using test::Frame;
using test::RandomGeometry;
using test::kPi;

class IntersectionKernelTest : public AcisKernelTest {};

// Distances of a point from the objects, computed here from their definitions.
double offPlane(const aPoint& p, const aPoint& q, const aVector& n) { return std::fabs((p - q).dot(n)); }
double offLine(const aPoint& p, const aPoint& q, const aVector& d) {
    const aVector w = p - q;
    return (w - w.dot(d) * d).length();
}
double offSphere(const aPoint& p, const aPoint& c, double r) { return std::fabs(p.distance(c) - r); }
double offCylinder(const aPoint& p, const CylinderRecord& s) {
    return std::fabs(offLine(p, s.axisPoint, s.axis) - s.radius);
}
double offCone(const aPoint& p, const ConeRecord& s) {
    const double z = (p - s.apex).dot(s.axis);
    return std::fabs(offLine(p, s.apex, s.axis) - std::fabs(z) * std::tan(s.halfAngle)) * std::cos(s.halfAngle);
}
double offCircle(const aPoint& p, const CircleRecord& c) {
    const aVector d = p - c.centre;
    const double h = d.dot(c.normal);
    const double radial = (d - h * c.normal).length();
    return std::hypot(h, radial - c.radius);
}

LineRecord lineRecord(const aPoint& p, aVector d) { return {p, d / d.length()}; }
CircleRecord circleRecord(const Frame& f, double r) { return {f.origin, f.u, f.v, f.w, r}; }

std::vector<aPoint> points(const IntersectionList& list) {
    std::vector<aPoint> found;
    for (const IntersectionItem& item : list.used()) {
        EXPECT_EQ(item.kind(), RecordKind::Point);
        if (item.point()) found.push_back(*item.point());
    }
    return found;
}

// The situations a table row builds.
enum class Meeting { Crossing, Touching, Missing };
const char* name(Meeting m) { return m == Meeting::Crossing ? "crossing" : m == Meeting::Touching ? "touching" : "missing"; }

void expectMeeting(int result, const IntersectionList& list, Meeting meeting, int crossings) {
    if (meeting == Meeting::Missing) {
        EXPECT_EQ(result, kIntersectNone);
        return;
    }
    ASSERT_EQ(result, kIntersectDone);
    ASSERT_EQ(list.count, meeting == Meeting::Touching ? 1 : crossings);
    for (const IntersectionItem& item : list.used()) EXPECT_EQ(item.tangent, meeting == Meeting::Touching);
}

TEST_F(IntersectionKernelTest, TheTwentyFirstItemIsDroppedWithTheMessage) {
    IntersectionList list;
    for (int i = 0; i < 20; ++i) addIntersectionPoint({double(i), 0, 0}, false, list);
    EXPECT_EQ(messages.text(), "");
    addIntersectionPoint({20, 0, 0}, false, list);
    EXPECT_EQ(list.count, 20);
    EXPECT_EQ(*list.items[19].point(), aPoint(19, 0, 0));
    EXPECT_EQ(messages.text(), "*\n*\n*\n***** TOO MANY INTERSECTION POINTS\n*\n*\n*\n\n");

    IntersectionList more;
    addIntersectionCircle({{1, 2, 3}, kXAxis, kYAxis, kZAxis, 4}, true, more);
    appendIntersections(more, list);
    EXPECT_EQ(list.count, 20);  // appended items beyond 20 are dropped silently
    EXPECT_EQ(messages.text(), "*\n*\n*\n***** TOO MANY INTERSECTION POINTS\n*\n*\n*\n\n");
    copyIntersections(more, list);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.items[0].kind(), RecordKind::Circle);
    EXPECT_TRUE(list.items[0].tangent);
    EXPECT_EQ(list.items[0].point(), nullptr);
    EXPECT_EQ(std::get<CircleRecord>(list.items[0].curveRecord()).radius, 4);
}

TEST_F(IntersectionKernelTest, ResultCodeRows) {
    const PlaneRecord xy{{0, 0, 0}, kZAxis};
    const CircleRecord small{{0, 0, 0}, kXAxis, kYAxis, kZAxis, 1};
    const CircleRecord big{{0, 0, 0}, kXAxis, kYAxis, kZAxis, 2};
    const struct {
        const char* name;
        OldStyleRecord a, b;
        bool surface;
        int result;
    } rows[] = {
        {"-1 first circle inside the second", small, big, false, -1},
        {"-1 also for concentric circles, the first smaller", small, CircleRecord{{0.5, 0, 0}, kXAxis, kYAxis, kZAxis, 3}, false, -1},
        {"-2 second circle inside the first", big, small, false, -2},
        {"-3 circle parallel to a plane, off it", small, PlaneRecord{{0, 0, 1}, kZAxis}, true, -3},
        {"-4 circle inside the sphere's section", small, SphereRecord{{0, 0, 1}, 3}, true, -4},
        {"-5 line inside a cylinder along its axis", LineRecord{{0.5, 0, 0}, kZAxis},
         CylinderRecord{kOrigin, kXAxis, kYAxis, kZAxis, 1}, true, -5},
        {"-6 parallel lines 1e-3 apart", LineRecord{{0, 0, 0}, kXAxis}, LineRecord{{0, 1e-3, 0}, kXAxis}, false, -6},
        {"-7 line parallel to a plane 1e-6 above it", LineRecord{{0, 0, 1e-6}, kXAxis}, xy, true, -7},
        {"0 line in a plane", LineRecord{{3, 4, 0}, kYAxis}, xy, true, 0},
        {"0 the same line twice", LineRecord{{0, 0, 0}, kXAxis}, LineRecord{{5, 0, 0}, -kXAxis}, false, 0},
        {"0 coincident circles", small, small, false, 0},
        {"0 circle in a plane", small, xy, true, 0},
        {"0 circle on a cylinder", small, CylinderRecord{{0, 0, 7}, kXAxis, kYAxis, kZAxis, 1}, true, 0},
        {"0 circle on a sphere", small, SphereRecord{{0, 0, 0}, 1}, true, 0},
        {"0 line on a cylinder along its axis", LineRecord{{1, 0, 0}, kZAxis},
         CylinderRecord{kOrigin, kXAxis, kYAxis, kZAxis, 1}, true, 0},
        {"1 line outside a cylinder along its axis", LineRecord{{2, 0, 0}, kZAxis},
         CylinderRecord{kOrigin, kXAxis, kYAxis, kZAxis, 1}, true, 1},
        {"0 a generator of a cone", LineRecord{{1, 0, 1}, aVector(1, 0, 1) / std::sqrt(2.0)},
         makeConeRecord(kOrigin, kXAxis, kYAxis, kZAxis, kPi / 4), true, 0},
        {"1 parallel to a generator, off the cone and its tangent plane",
         LineRecord{{1, 1, 1}, aVector(1, 0, 1) / std::sqrt(2.0)}, makeConeRecord(kOrigin, kXAxis, kYAxis, kZAxis, kPi / 4),
         true, 1},
        {"1 skew lines", LineRecord{{0, 0, 0}, kXAxis}, LineRecord{{0, 0, 1}, kYAxis}, false, 1},
        {"1 two ellipses", EllipseRecord{kOrigin, kXAxis, kYAxis, kZAxis, 2, 1},
         EllipseRecord{kOrigin, kXAxis, kYAxis, kZAxis, 3, 1}, false, 1},
        {"1 ellipse and parabola", EllipseRecord{kOrigin, kXAxis, kYAxis, kZAxis, 2, 1},
         ParabolaRecord{kOrigin, kXAxis, kYAxis, kZAxis, 1}, false, 1},
        {"1 null record", std::monostate{}, small, false, 1},
        {"1 null surface", small, std::monostate{}, true, 1},
        {"1 ellipse against a plane", EllipseRecord{kOrigin, kXAxis, kYAxis, kZAxis, 2, 1}, xy, true, 1},
        {"1 not finite", LineRecord{{std::nan(""), 0, 0}, kXAxis}, xy, true, 1},
        {"1 infinite radius", LineRecord{{0, 0, 0}, kXAxis}, SphereRecord{kOrigin, INFINITY}, true, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        IntersectionList list;
        addIntersectionPoint({9, 9, 9}, false, list);
        const int result = row.surface ? intersectCurveSurface(row.a, row.b, list) : intersectCurveCurve(row.a, row.b, list);
        EXPECT_EQ(result, row.result);
        if (result == 0) {
            EXPECT_EQ(list.count, 0);
        }
    }
    IntersectionList list;
    EXPECT_EQ(intersectSurfaceSurface(PlaneRecord{{0, 0, 1}, kZAxis}, xy, list), -8);
    EXPECT_EQ(intersectSurfaceSurface(PlaneRecord{{5, 5, 0}, -kZAxis}, xy, list), 0);
    EXPECT_EQ(list.count, 0);

    // Pairs without a kernel leave the list untouched.
    addIntersectionPoint({1, 2, 3}, false, list);
    EXPECT_EQ(intersectCurveCurve(EllipseRecord{kOrigin, kXAxis, kYAxis, kZAxis, 2, 1},
                                  HyperbolaRecord{kOrigin, kXAxis, kYAxis, kZAxis, 1, 1}, list), 1);
    EXPECT_EQ(intersectCurveCurve(std::monostate{}, std::monostate{}, list), 1);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(*list.items[0].point(), aPoint(1, 2, 3));
}

TEST_F(IntersectionKernelTest, CircleAgainstPlaneTable) {
    RandomGeometry random(43161);
    for (int row = 0; row < 400; ++row) {
        const Frame f = random.frame(10);
        const double r = random.uniform(0.5, 5);
        const CircleRecord circle = circleRecord(f, r);
        const int kind = row % 5;
        SCOPED_TRACE(::testing::Message() << "row " << row << " kind " << kind);
        IntersectionList list;
        if (kind >= 3) {
            // Parallel planes: off the circle's plane (-3) or holding it (0, empty).
            const double off = kind == 3 ? random.uniform(0.01, 3) : 0.0;
            const PlaneRecord plane{f.at(random.uniform(-5, 5), random.uniform(-5, 5), off), random.integer(0, 1) ? f.w : -f.w};
            EXPECT_EQ(intersectCurveSurface(circle, plane, list), kind == 3 ? -3 : 0);
            if (kind == 4) {
                EXPECT_EQ(list.count, 0);
            }
            continue;
        }
        // The plane crosses the circle's plane along the line F + s u at distance delta from
        // the centre, tilted by phi about that line.
        const Meeting meeting = Meeting(kind);
        const double delta = meeting == Meeting::Crossing ? random.uniform(0, 0.95) * r : meeting == Meeting::Touching ? r : random.uniform(1.05, 3) * r;
        const double phi = random.uniform(0.2, kPi - 0.2);
        const aPoint foot = f.at(delta, 0, 0);
        const aVector n = std::cos(phi) * f.w + std::sin(phi) * f.u;
        const PlaneRecord plane{foot + random.uniform(-5, 5) * f.v + random.uniform(-3, 3) * n.cross(f.v), n};
        const int result = intersectCurveSurface(circle, plane, list);
        expectMeeting(result, list, meeting, 2);
        if (result != 0) continue;
        const double size = std::max(r, 10.0);
        for (const aPoint& p : points(list)) {
            EXPECT_LT(offCircle(p, circle), 1e-9 * size);
            EXPECT_LT(offPlane(p, plane.point, n), 1e-9 * size);
        }
        if (meeting == Meeting::Crossing) {
            // First the point along n x w.
            const aVector along = n.cross(f.w) / n.cross(f.w).length();
            const double h = std::sqrt(r * r - delta * delta);
            expectPointNear(*list.items[0].point(), foot + h * along, 1e-9 * size);
            expectPointNear(*list.items[1].point(), foot - h * along, 1e-9 * size);
        } else {
            expectPointNear(*list.items[0].point(), foot, 1e-9 * size);
        }
    }
}

TEST_F(IntersectionKernelTest, LineAgainstSphereTable) {
    RandomGeometry random(43162);
    for (int row = 0; row < 300; ++row) {
        const Meeting meeting = Meeting(row % 3);
        SCOPED_TRACE(::testing::Message() << "row " << row << " " << name(meeting));
        const SphereRecord sphere{random.point(10), random.uniform(0.5, 5)};
        const Frame f = random.frame(1);
        const double q = meeting == Meeting::Crossing ? random.uniform(0, 0.95) : meeting == Meeting::Touching ? 1.0 : random.uniform(1.05, 3);
        const LineRecord line{sphere.centre + (q * sphere.radius) * f.u + random.uniform(-8, 8) * f.w, f.w};
        IntersectionList list;
        const int result = intersectCurveSurface(line, sphere, list);
        expectMeeting(result, list, meeting, 2);
        if (result != 0) continue;
        const double size = std::max(sphere.radius, 10.0);
        for (const aPoint& p : points(list)) {
            EXPECT_LT(offSphere(p, sphere.centre, sphere.radius), 1e-9 * size);
            EXPECT_LT(offLine(p, line.point, line.direction), 1e-9 * size);
        }
        if (list.count == 2) {
            EXPECT_GT((*list.items[0].point() - *list.items[1].point()).dot(line.direction), 0);
        }
    }
}

TEST_F(IntersectionKernelTest, LineAgainstCylinderTable) {
    RandomGeometry random(43163);
    for (int row = 0; row < 300; ++row) {
        const Meeting meeting = Meeting(row % 3);
        SCOPED_TRACE(::testing::Message() << "row " << row << " " << name(meeting));
        const Frame f = random.frame(10);
        const CylinderRecord cylinder{f.origin, f.u, f.v, f.w, random.uniform(0.5, 5)};
        // A line whose common perpendicular with the axis is u, at distance q r.
        const double q = meeting == Meeting::Crossing ? random.uniform(0, 0.95) : meeting == Meeting::Touching ? 1.0 : random.uniform(1.05, 3);
        const double tilt = random.uniform(0.3, kPi - 0.3);
        const aVector d = std::cos(tilt) * f.w + std::sin(tilt) * f.v;
        const LineRecord line{f.at(q * cylinder.radius, 0, random.uniform(-5, 5)) + random.uniform(-5, 5) * d, d};
        IntersectionList list;
        const int result = intersectCurveSurface(line, cylinder, list);
        expectMeeting(result, list, meeting, 2);
        if (result != 0) continue;
        const double size = std::max(cylinder.radius, 10.0);
        for (const aPoint& p : points(list)) {
            EXPECT_LT(offCylinder(p, cylinder), 1e-9 * size);
            EXPECT_LT(offLine(p, line.point, line.direction), 1e-9 * size);
        }
        // The point of the larger line parameter first.
        if (list.count == 2) {
            EXPECT_GT((*list.items[0].point() - *list.items[1].point()).dot(d), 0);
        }
    }
}

TEST_F(IntersectionKernelTest, LineAgainstConeTable) {
    RandomGeometry random(43164);
    for (int row = 0; row < 300; ++row) {
        const Meeting meeting = Meeting(row % 3);
        SCOPED_TRACE(::testing::Message() << "row " << row << " " << name(meeting));
        const Frame f = random.frame(10);
        const double theta = random.uniform(0.2, 1.2);
        const ConeRecord cone = makeConeRecord(f.origin, f.u, f.v, f.w, theta);
        auto onCone = [&](double h, double phi) {
            return f.origin + h * (f.w + std::tan(theta) * (std::cos(phi) * f.u + std::sin(phi) * f.v));
        };
        LineRecord line;
        aPoint x1, x2;
        if (meeting == Meeting::Crossing) {
            // Through two points of the cone, on one nappe or on both.
            x1 = onCone(random.uniform(0.5, 4), random.uniform(-kPi, kPi));
            x2 = onCone(random.uniform(0.5, 4) * (random.integer(0, 1) ? 1 : -1), random.uniform(-kPi, kPi));
            if (x1.distance(x2) < 0.5) continue;
            line = lineRecord(x1 - 2.0 * (x2 - x1), x2 - x1);
        } else if (meeting == Meeting::Touching) {
            // In the tangent plane along the generator through x1, across the generator.
            const double phi = random.uniform(-kPi, kPi), h = random.uniform(0.5, 4) * (random.integer(0, 1) ? 1 : -1);
            x1 = onCone(h, phi);
            const aVector across = -std::sin(phi) * f.u + std::cos(phi) * f.v;
            const aVector generator = (onCone(1, phi) - f.origin) / (onCone(1, phi) - f.origin).length();
            line = lineRecord(x1 + random.uniform(-3, 3) * (across + 0.3 * generator), across + 0.3 * generator);
        } else {
            // Across the axis at height h, farther from the axis than the cone's section there.
            const double h = random.uniform(0.5, 4);
            const double radius = h * std::tan(theta);
            const double phi = random.uniform(-kPi, kPi);
            const aVector out = std::cos(phi) * f.u + std::sin(phi) * f.v, across = -std::sin(phi) * f.u + std::cos(phi) * f.v;
            line = lineRecord(f.origin + h * f.w + random.uniform(1.05, 3) * radius * out, across);
        }
        IntersectionList list;
        const int result = intersectCurveSurface(line, cone, list);
        expectMeeting(result, list, meeting, 2);
        if (result != 0) continue;
        const double size = 10.0;
        for (const aPoint& p : points(list)) {
            EXPECT_LT(offCone(p, cone), 1e-9 * size);
            EXPECT_LT(offLine(p, line.point, line.direction), 1e-9 * size);
        }
        if (meeting == Meeting::Touching) expectPointNear(*list.items[0].point(), x1, 1e-6);
        if (list.count == 2) {
            // The point of the smaller line parameter first.
            EXPECT_LT((*list.items[0].point() - *list.items[1].point()).dot(line.direction), 0);
            const double d1 = std::min(list.items[0].point()->distance(x1), list.items[1].point()->distance(x1));
            const double d2 = std::min(list.items[0].point()->distance(x2), list.items[1].point()->distance(x2));
            EXPECT_LT(std::max(d1, d2), 1e-8);
        }
    }
}

// Sample points of a section curve item.
std::vector<aPoint> samples(const IntersectionItem& item) {
    std::vector<aPoint> found;
    for (double s : {-1.3, -0.4, 0.0, 0.5, 1.1, 2.7}) {
        if (const aPoint* p = item.point()) found.push_back(*p);
        else if (const auto* line = std::get_if<LineRecord>(&item.geometry)) found.push_back(line->point + (3 * s) * line->direction);
        else if (const auto* c = std::get_if<CircleRecord>(&item.geometry)) found.push_back(c->centre + (c->radius * std::cos(s)) * c->u + (c->radius * std::sin(s)) * c->v);
        else if (const auto* e = std::get_if<EllipseRecord>(&item.geometry)) found.push_back(ellipsePoint(*e, s));
        else if (const auto* h = std::get_if<HyperbolaRecord>(&item.geometry)) found.push_back(hyperbolaPoint(*h, s * 0.5));
        else if (const auto* p = std::get_if<ParabolaRecord>(&item.geometry)) found.push_back(parabolaPoint(*p, s));
    }
    return found;
}

struct SectionCase {
    const char* name;
    RecordKind kind;
    int count;
    bool tangent;
};

// Every section item has the expected kind and flag, and its points lie on the surface (the
// distance function given) and in the plane, within 1e-9 of the objects' size.
template <typename OffSurface>
void expectSections(const IntersectionList& list, const SectionCase& c, const PlaneRecord& plane, aPoint origin,
                    OffSurface offSurface) {
    ASSERT_EQ(list.count, c.count);
    for (const IntersectionItem& item : list.used()) {
        EXPECT_EQ(item.kind(), c.kind);
        EXPECT_EQ(item.tangent, c.tangent);
        for (const aPoint& p : samples(item)) {
            const double size = 10 * (1 + p.distance(origin));
            EXPECT_LT(offSurface(p), 1e-9 * size);
            EXPECT_LT(offPlane(p, plane.point, plane.normal), 1e-9 * size);
        }
    }
}

TEST_F(IntersectionKernelTest, PlaneSectionsOfCylinders) {
    RandomGeometry random(43165);
    const SectionCase cases[] = {
        {"perpendicular: circle", RecordKind::Circle, 1, false},
        {"tilted: ellipse", RecordKind::Ellipse, 1, false},
        {"parallel inside: two lines", RecordKind::Line, 2, false},
        {"parallel at the radius: one tangent line", RecordKind::Line, 1, true},
        {"parallel outside: none", RecordKind::None, 0, false},
    };
    for (int row = 0; row < 300; ++row) {
        const auto& c = cases[row % 5];
        SCOPED_TRACE(::testing::Message() << "row " << row << " " << c.name);
        const Frame f = random.frame(10);
        const double r = random.uniform(0.5, 5);
        const CylinderRecord cylinder{f.origin, f.u, f.v, f.w, r};
        PlaneRecord plane;
        double tilt = 0;
        switch (row % 5) {
        case 0: plane = {f.at(random.uniform(-2, 2), random.uniform(-2, 2), random.uniform(-5, 5)), random.integer(0, 1) ? f.w : -f.w}; break;
        case 1:
            tilt = random.uniform(0.1, 1.3);
            plane = {f.at(random.uniform(-2, 2), 0, random.uniform(-5, 5)), std::cos(tilt) * f.w + std::sin(tilt) * f.u};
            break;
        case 2: plane = {f.at(random.uniform(-0.95, 0.95) * r, 0, random.uniform(-5, 5)) + random.uniform(-3, 3) * f.v, f.u}; break;
        case 3: plane = {f.at(r, 0, random.uniform(-5, 5)), -f.u}; break;
        default: plane = {f.at(random.uniform(1.05, 3) * r, random.uniform(-3, 3), 0), f.u}; break;
        }
        IntersectionList list;
        const int result = intersectSurfaceSurface(plane, cylinder, list);
        if (c.count == 0) {
            EXPECT_EQ(result, 1);
            continue;
        }
        ASSERT_EQ(result, 0);
        expectSections(list, c, plane, f.origin, [&](const aPoint& p) { return offCylinder(p, cylinder); });
        ASSERT_EQ(list.count, c.count);
        if (c.kind == RecordKind::Ellipse) {
            const auto& e = std::get<EllipseRecord>(list.items[0].geometry);
            EXPECT_NEAR(e.a, r / std::cos(tilt), 1e-9);
            EXPECT_NEAR(e.b, r, 1e-12);
        }
        if (c.kind == RecordKind::Circle) {
            EXPECT_NEAR(std::get<CircleRecord>(list.items[0].geometry).radius, r, 1e-12);
        }
    }
}

TEST_F(IntersectionKernelTest, PlaneSectionsOfCones) {
    RandomGeometry random(43166);
    const SectionCase cases[] = {
        {"perpendicular: circle", RecordKind::Circle, 1, false},
        {"steeper than the generators: ellipse", RecordKind::Ellipse, 1, false},
        {"at the generators' slope: parabola", RecordKind::Parabola, 1, false},
        {"flatter than the generators: hyperbola", RecordKind::Hyperbola, 1, false},
        {"through the apex, steep: the apex", RecordKind::Point, 1, false},
        {"through the apex, at the slope: one tangent line", RecordKind::Line, 1, true},
        {"through the apex, flat: two lines", RecordKind::Line, 2, false},
    };
    for (int row = 0; row < 350; ++row) {
        const auto& c = cases[row % 7];
        SCOPED_TRACE(::testing::Message() << "row " << row << " " << c.name);
        const Frame f = random.frame(10);
        const double theta = random.uniform(0.2, 1.2);
        const ConeRecord cone = makeConeRecord(f.origin, f.u, f.v, f.w, theta);
        const double s = std::sin(theta);
        // The plane normal makes n.a = cosine with the axis (c > sin theta: ellipse).
        double cosine = 1;
        switch (row % 7) {
        case 1: case 4: cosine = s + (1 - s) * random.uniform(0.1, 0.9); break;
        case 2: case 5: cosine = s; break;
        case 3: case 6: cosine = s * random.uniform(0.1, 0.9); break;
        default: break;
        }
        const double sideways = std::sqrt(1 - cosine * cosine);
        const double spin = random.uniform(-kPi, kPi);
        const aVector radial = std::cos(spin) * f.u + std::sin(spin) * f.v;
        aVector n = cosine * f.w + sideways * radial;
        if (random.integer(0, 1)) n = -n;
        const bool throughApex = row % 7 >= 4;
        const double height = random.uniform(0.5, 4) * (random.integer(0, 1) ? 1 : -1);
        const aVector inPlane = n.cross(f.w).length() > 1e-3 ? n.cross(f.w) / n.cross(f.w).length() : f.u;
        const PlaneRecord plane{f.origin + (throughApex ? 0.0 : height) * f.w + random.uniform(-3, 3) * inPlane, n};
        IntersectionList list;
        ASSERT_EQ(intersectSurfaceSurface(cone, plane, list), 0);
        expectSections(list, c, plane, f.origin, [&](const aPoint& p) { return offCone(p, cone); });
        ASSERT_EQ(list.count, c.count);
        if (c.kind == RecordKind::Circle) {
            EXPECT_NEAR(std::get<CircleRecord>(list.items[0].geometry).radius, std::fabs(height) * std::tan(theta), 1e-9);
        }
    }
}

TEST_F(IntersectionKernelTest, CirclesAgainstCylindersAndCones) {
    RandomGeometry random(43167);
    for (int row = 0; row < 200; ++row) {
        SCOPED_TRACE(::testing::Message() << "row " << row);
        const Frame f = random.frame(10);
        const double r = random.uniform(0.5, 3);
        const CylinderRecord cylinder{f.origin, f.u, f.v, f.w, r};
        const ConeRecord cone = makeConeRecord(f.origin, f.u, f.v, f.w, random.uniform(0.3, 1.0));
        // A circle in a tilted plane through a point of the axis, large enough to reach out.
        const double tilt = random.uniform(0.2, 1.2);
        const aVector normal = std::cos(tilt) * f.w + std::sin(tilt) * f.u;
        const aPoint centre = f.at(0, 0, random.uniform(1, 3));
        const Frame cf{centre, f.v, normal.cross(f.v), normal};
        const CircleRecord circle = circleRecord(cf, random.uniform(1.2, 2) * std::max(r, 3.0 * std::tan(1.0)));
        IntersectionList list;
        if (intersectCurveSurface(circle, cylinder, list) == 0) {
            EXPECT_GE(list.count, 2);
            for (const aPoint& p : points(list)) {
                EXPECT_LT(offCylinder(p, cylinder), 1e-8);
                EXPECT_LT(offCircle(p, circle), 1e-8);
            }
        }
        if (intersectCurveSurface(circle, cone, list) == 0) {
            EXPECT_GE(list.count, 1);
            for (const aPoint& p : points(list)) {
                EXPECT_LT(offCone(p, cone), 1e-7);
                EXPECT_LT(offCircle(p, circle), 1e-7);
            }
        }
    }
}

TEST_F(IntersectionKernelTest, TouchingCircleEllipseAndParabola) {
    RandomGeometry random(43162);
    for (int row = 0; row < 200; ++row) {
        SCOPED_TRACE(::testing::Message() << "row " << row);
        const Frame f = random.frame(10);
        const double scale = random.uniform(0.5, 3);
        // A circle of radius 2 and an ellipse with a = 2, b = 1 about one centre touch at the
        // two ends of the major axis.
        const CircleRecord circle{f.origin, f.v, f.w.cross(f.v), f.w, 2 * scale};
        const EllipseRecord ellipse{f.origin, f.u, f.v, f.w, 2 * scale, scale};
        IntersectionList list;
        ASSERT_EQ(intersectCurveCurve(ellipse, circle, list), 0);
        ASSERT_EQ(list.count, 2);
        EXPECT_TRUE(list.items[0].tangent);
        EXPECT_TRUE(list.items[1].tangent);
        const aPoint a = *list.items[0].point(), b = *list.items[1].point();
        const aPoint end1 = f.at(2 * scale, 0, 0), end2 = f.at(-2 * scale, 0, 0);
        EXPECT_LT(std::min(a.distance(end1), a.distance(end2)), 1e-9 * 10);
        EXPECT_LT(std::min(b.distance(end1), b.distance(end2)), 1e-9 * 10);
        EXPECT_GT(a.distance(b), scale);

        // A circle about a parabola's focus with the focal distance as radius touches it at
        // the vertex only.
        const double p = random.uniform(0.3, 3);
        const ParabolaRecord parabola{f.origin, f.v, f.u, f.w, p};
        const CircleRecord atFocus{f.at(p, 0, 0), f.u, f.v, f.w, p};
        ASSERT_EQ(intersectCurveCurve(atFocus, parabola, list), 0);
        ASSERT_EQ(list.count, 1);
        EXPECT_TRUE(list.items[0].tangent);
        expectPointNear(*list.items[0].point(), f.origin, 1e-9 * 10);

        // Crossing: a circle between the two radii meets the ellipse four times.
        const CircleRecord between{f.origin, f.u, f.v, f.w, 1.5 * scale};
        ASSERT_EQ(intersectCurveCurve(between, ellipse, list), 0);
        ASSERT_EQ(list.count, 4);
        for (const aPoint& q : points(list)) {
            EXPECT_LT(offCircle(q, between), 1e-9 * 10);
            EXPECT_TRUE(isOnEllipse(q, ellipse));
        }
        for (const IntersectionItem& item : list.used()) EXPECT_FALSE(item.tangent);

        // Crossing: a circle about a hyperbola's centre, wider than a, meets both branches twice.
        const HyperbolaRecord hyperbola{f.origin, f.u, f.v, f.w, scale, 0.7 * scale};
        const CircleRecord wide{f.origin, f.u, f.v, f.w, 2 * scale};
        ASSERT_EQ(intersectCurveCurve(wide, hyperbola, list), 0);
        ASSERT_EQ(list.count, 4);
        for (const aPoint& q : points(list)) {
            EXPECT_LT(offCircle(q, wide), 1e-9 * 10);
            EXPECT_TRUE(isOnHyperbola(q, hyperbola));
        }
        // A circle crossing the parabola's plane at two points of the parabola.
        const aPoint q1 = parabolaPoint(parabola, 0.7), q2 = parabolaPoint(parabola, -1.1);
        const aPoint mid(aVector(q1) * 0.5 + aVector(q2) * 0.5);
        const aVector chord = (q2 - q1) / (q2 - q1).length();
        const aVector lift = f.w;
        const double half = q1.distance(q2) / 2, height = random.uniform(0.2, 2);
        const aPoint centre = mid + height * lift;
        const aVector normal = chord.cross(lift);
        const CircleRecord crossing{centre, chord, lift, normal / normal.length(), std::hypot(half, height)};
        ASSERT_EQ(intersectCurveCurve(crossing, parabola, list), 0);
        ASSERT_EQ(list.count, 2);
        for (const aPoint& q : points(list)) EXPECT_LT(std::min(q.distance(q1), q.distance(q2)), 1e-9 * 10);
    }
}

TEST_F(IntersectionKernelTest, LinesAndCirclesRows) {
    IntersectionList list;
    // Two lines crossing at a right angle.
    ASSERT_EQ(intersectCurveCurve(LineRecord{{1, 2, 3}, kXAxis}, LineRecord{{4, -1, 3}, kYAxis}, list), 0);
    ASSERT_EQ(list.count, 1);
    expectPointNear(*list.items[0].point(), {4, 2, 3}, 1e-15);

    // Two coplanar circles touching from outside: on the line of centres, tangent.
    const CircleRecord a{{0, 0, 0}, kXAxis, kYAxis, kZAxis, 1}, b{{3, 0, 0}, kXAxis, kYAxis, kZAxis, 2};
    ASSERT_EQ(intersectCurveCurve(a, b, list), 0);
    ASSERT_EQ(list.count, 1);
    EXPECT_TRUE(list.items[0].tangent);
    expectPointNear(*list.items[0].point(), {1, 0, 0}, 1e-15);
    // ... from inside.
    ASSERT_EQ(intersectCurveCurve(CircleRecord{{1, 0, 0}, kXAxis, kYAxis, kZAxis, 1},
                                  CircleRecord{{0, 0, 0}, kXAxis, kYAxis, kZAxis, 2}, list), 0);
    ASSERT_EQ(list.count, 1);
    expectPointNear(*list.items[0].point(), {2, 0, 0}, 1e-15);
    // Concentric circles differing by a hair more than the tolerance touch nowhere sensible:
    // they report containment, never a point in an undefined direction.
    EXPECT_EQ(intersectCurveCurve(CircleRecord{{0, 0, 0}, kXAxis, kYAxis, kZAxis, 1},
                                  CircleRecord{{5e-8, 0, 0}, kXAxis, kYAxis, kZAxis, 1 + 1.2e-7}, list), 0);
    ASSERT_EQ(list.count, 1);
    EXPECT_TRUE(isFinite(*list.items[0].point()));

    // Circles in crossing planes through each other's rims.
    RandomGeometry random(4316);
    for (int row = 0; row < 200; ++row) {
        const Frame f = random.frame(10);
        const double r = random.uniform(0.5, 4);
        const CircleRecord first = circleRecord(f, r);
        // A second circle through two points of the first, in another plane.
        const double t1 = random.uniform(-kPi, 0), t2 = random.uniform(0.3, kPi);
        const aPoint p1 = f.at(r * std::cos(t1), r * std::sin(t1), 0), p2 = f.at(r * std::cos(t2), r * std::sin(t2), 0);
        const aPoint mid(aVector(p1) * 0.5 + aVector(p2) * 0.5);
        const aVector chord = (p2 - p1) / (p2 - p1).length();
        const aVector up = std::cos(0.7) * f.w + std::sin(0.7) * chord.cross(f.w);
        const aVector lift = (up - up.dot(chord) * chord) / (up - up.dot(chord) * chord).length();
        const double height = random.uniform(-2, 2), half = p1.distance(p2) / 2;
        const aVector normal = chord.cross(lift);
        const CircleRecord second{mid + height * lift, chord, lift, normal / normal.length(), std::hypot(half, height)};
        ASSERT_EQ(intersectCurveCurve(first, second, list), 0) << row;
        ASSERT_EQ(list.count, 2);
        for (const aPoint& q : points(list)) EXPECT_LT(std::min(q.distance(p1), q.distance(p2)), 1e-9 * 10);
        // A line through p1 and p2 meets the first circle there.
        ASSERT_EQ(intersectCurveCurve(lineRecord(p1, p2 - p1), first, list), 0);
        ASSERT_EQ(list.count, 2);
        // A line through p1 out of the plane meets it at p1 only.
        ASSERT_EQ(intersectCurveCurve(lineRecord(p1 + 2.0 * lift, lift), first, list), 0);
        ASSERT_EQ(list.count, 1);
        expectPointNear(*list.items[0].point(), p1, 1e-9 * 10);
    }
}

TEST_F(IntersectionKernelTest, PlanePlaneAndConeHelpers) {
    IntersectionList list;
    ASSERT_EQ(intersectPlanePlane({{0, 0, 1}, kZAxis}, {{2, 0, 0}, kXAxis}, list), 0);
    ASSERT_EQ(list.count, 1);
    const auto& line = std::get<LineRecord>(list.items[0].geometry);
    EXPECT_NEAR(line.point.x, 2, 1e-15);
    EXPECT_NEAR(line.point.z, 1, 1e-15);
    EXPECT_NEAR(std::fabs(line.direction.y), 1, 1e-15);

    const ConeRecord cone = makeConeRecord({0, 0, 0}, kXAxis, kYAxis, kZAxis, kPi / 4);
    double azimuth;
    EXPECT_DOUBLE_EQ(projectOntoConeFrame(cone, {0, 2, 2}, azimuth), 2);
    EXPECT_DOUBLE_EQ(azimuth, kPi / 2);
    EXPECT_DOUBLE_EQ(projectOntoConeFrame(cone, {0, 2, -2}, azimuth), -2);
    EXPECT_DOUBLE_EQ(azimuth, -kPi / 2);  // measured on the nappe behind the apex
    projectOntoConeFrame(cone, {0, 0, 5}, azimuth);
    EXPECT_EQ(azimuth, 0);
    aVector normal;
    EXPECT_EQ(coneNormalDirection(cone, {1, 0, 1}, normal), 2);
    test::expectVectorNear(normal, aVector(1, 0, -1) / std::sqrt(2.0), 1e-15);
    EXPECT_EQ(coneNormalDirection(cone, {1, 0, -1}, normal), 1);
    test::expectVectorNear(normal, aVector(1, 0, 1) / std::sqrt(2.0), 1e-15);
    EXPECT_EQ(coneNormalDirection(cone, {1e-8, 0, 0}, normal), -1);
    EXPECT_EQ(normal, kXAxis);
}

TEST_F(IntersectionKernelTest, RecordVectorHelpers) {
    aVector v(3, 4, 0);
    EXPECT_EQ(normalize3(v), 5);
    aVector tiny(1e-8, 0, 0);
    EXPECT_EQ(normalize3(tiny), 0);
    EXPECT_EQ(tiny, aVector(1e-8, 0, 0));
    aVector out(7, 7, 7);
    EXPECT_EQ(normalizedCopy3(0, 0, 1e-8, out), 0);
    EXPECT_EQ(out, aVector(7, 7, 7));
    EXPECT_TRUE(pointsCoincide3({1, 1, 1}, {1, 1, 1 + 9e-8}));
    EXPECT_FALSE(pointsCoincide3({1, 1, 1}, {1, 1, 1 + 2e-7}));
    EXPECT_DOUBLE_EQ(lawOfCosines(3, 4, 5), 0);
    EXPECT_TRUE(std::isnan(max2(1, std::nan(""))));  // b when unordered
    EXPECT_EQ(max2(std::nan(""), 1), 1);
    EXPECT_EQ(max2(2, 1), 2);
    for (const aVector& d : {aVector(0, 0, 1), aVector(1, 2, 3), aVector(3, 1, 2), aVector(2, 3, 1), aVector(1e-9, 1, 1)}) {
        const aVector p = perpendicularUnit3(d);
        EXPECT_NEAR(p.length(), 1, 1e-15);
        EXPECT_NEAR(p.dot(d), 0, 1e-15);
    }
    aVector u, w;
    EXPECT_EQ(makePlaneFrame({0, 0, 1e-8}, u, w), 0);
    EXPECT_EQ(makePlaneFrame({0, 0, 2}, u, w), 1);
    test::expectVectorNear(u.cross(w), kZAxis, 1e-15);
    // The on-plane test is a test of direction.
    const PlaneRecord plane{kOrigin, kZAxis};
    EXPECT_TRUE(isOnPlane({1000, 0, 5e-6}, plane));
    EXPECT_FALSE(isOnPlane({1, 0, 5e-6}, plane));
    EXPECT_TRUE(isOnPlane({5e-8, 0, 5e-8}, plane));  // within 1e-7 of the plane's point
}

} // namespace
} // namespace tracemill
