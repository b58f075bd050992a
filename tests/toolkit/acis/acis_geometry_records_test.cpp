#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "sat_test_support.h"
#include "toolkit/acis/geometry/cone.h"
#include "toolkit/acis/geometry/cylinder.h"
#include "toolkit/acis/geometry/ell_cylinder.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/sat/acis_analytic_curves.h"
#include "toolkit/acis/sat/acis_analytic_surfaces.h"
#include "toolkit/acis/sat/acis_int_cur.h"
#include "toolkit/acis/sat/acis_intcurve.h"
#include "toolkit/acis/sat/acis_pcurve.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_spl_sur.h"
#include "toolkit/acis/sat/acis_spline.h"

namespace tracemill {
namespace {

using test::expectPointNear;
using test::expectVectorNear;
using test::kPi;
using test::SatParserTest;

class AcisGeometryRecordsTest : public SatParserTest {
protected:
    // The body, then the record under test at index 1, then a point at index 2 that shows
    // that reading went on in step.
    int parseRecord(int version, const std::string& record) {
        return parseRecords(version, "body $-1 $-1 $-1 $-1 #\n" + record + "\npoint $-1 7 8 9 #\n");
    }
    void expectReadInStep() {
        const acis_Point* point = at<acis_Point>(2);
        ASSERT_NE(point, nullptr);
        EXPECT_EQ(point->position(), aPoint(7, 8, 9));
    }
};

// The value of a quadric's implicit equation at p.
double quadricValue(const c_QuadricSurface& surface, const aPoint& p) {
    double c[10];
    surface.algebraicCoefficients(c);
    return c[0] * p.x * p.x + c[1] * p.y * p.y + c[2] * p.z * p.z + c[3] * p.x * p.y + c[4] * p.y * p.z +
           c[5] * p.z * p.x + c[6] * p.x + c[7] * p.y + c[8] * p.z + c[9];
}

// A bilinear square of side 1 in z = 0, as non-rational approximation data.
constexpr const char* kSquare = "nubs 1 1 open open none none 2 2 0 1 1 1 0 1 1 1 0 0 0 1 0 0 0 1 0 1 1 0";

// A cone record becomes one of five kernel surfaces by its half-angle and its base ellipse.
TEST_F(AcisGeometryRecordsTest, ConeKinds) {
    const struct {
        const char* fields;  // ratio, range, sine and cosine
        double ratio, sine;
        int kind;
        const char* className;
    } rows[] = {
        {"1 I I 0.99998 0.005", 1.0, 0.99998, 0, "c_Plane"},
        {"1 I I 0.99998 -0.005", 1.0, 0.99998, 0, "c_Plane"},
        {"0.9995 I I 0.005 0.5", 0.9995, 0.005, 1, "c_Cylinder"},
        {"0.9 I I 0.005 0.5", 0.9, 0.005, 2, "c_EllCylinder"},
        {"1 I I 0.5 0.8660254037844386", 1.0, 0.5, 3, "c_Cone"},
        {"1 F 0 F 1 -0.5 0.8660254037844386", 1.0, -0.5, 3, "c_Cone"},
        {"0.5 I I 0.5 0.8660254037844386", 0.5, 0.5, 4, "c_EllCone"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.className);
        ASSERT_EQ(parseRecord(400, std::string("cone-surface $-1 1 2 3 0 0 1 10 0 0 ") + row.fields + " 2 reversed I I I I #"),
                  satParser::kParsed);
        expectReadInStep();
        EXPECT_EQ(messages.text(), "");
        const acis_Cone* cone = at<acis_Cone>(1);
        ASSERT_NE(cone, nullptr);
        EXPECT_EQ(cone->coneKind(), row.kind);
        ASSERT_NE(cone->kernelSurface(), nullptr);
        EXPECT_STREQ(cone->kernelSurface()->className(), row.className);
        EXPECT_EQ(cone->scale(), 2.0);
        EXPECT_EQ(cone->sense(), 1);
        EXPECT_EQ(parser().geometryCounts().lastConeKind, row.kind);
        EXPECT_EQ(parser().geometryCounts().coneKinds[row.kind], 1);
        // The base ellipse lies on the surface.
        const double a = 10.0, b = 10.0 * row.ratio;
        if (row.kind == 1) {
            const auto& cylinder = dynamic_cast<const c_Cylinder&>(*cone->kernelSurface());
            EXPECT_NEAR(cylinder.radius(), 10.0, 1e-12);
            EXPECT_NEAR(quadricValue(cylinder, {11, 2, 3}), 0.0, 1e-9);
            EXPECT_NEAR(quadricValue(cylinder, {1, 12, 50}), 0.0, 1e-9);
        }
        if (row.kind == 2) {
            const auto& cylinder = dynamic_cast<const c_EllCylinder&>(*cone->kernelSurface());
            EXPECT_NEAR(cylinder.majorRadius(), a, 1e-12);
            EXPECT_NEAR(cylinder.minorRadius(), b, 1e-12);
        }
        if (row.kind == 3) {
            // The cone widens along the normal for a positive sine and narrows for a negative one.
            const auto& kernelCone = dynamic_cast<const c_Cone&>(*cone->kernelSurface());
            EXPECT_NEAR(kernelCone.halfAngle(), kPi / 6, 1e-12);
            const double step = row.sine > 0 ? std::tan(kPi / 6) : -std::tan(kPi / 6);
            for (double h : {0.0, 2.0, -3.0}) {
                EXPECT_NEAR(quadricValue(kernelCone, {1 + (a + h * step), 2, 3 + h}), 0.0, 1e-9) << h;
                EXPECT_NEAR(quadricValue(kernelCone, {1, 2 - (a + h * step), 3 + h}), 0.0, 1e-9) << h;
            }
        }
        if (row.kind == 4) {
            const auto& kernelCone = dynamic_cast<const c_EllCone&>(*cone->kernelSurface());
            EXPECT_NEAR(kernelCone.halfAngle(), kPi / 6, 1e-12);
            EXPECT_NEAR(kernelCone.ratio(), 0.5, 1e-12);
        }
    }
    // Before version 400 a cone has no scale.
    ASSERT_EQ(parseRecord(300, "cone-surface $-1 0 0 0 0 0 1 10 0 0 1 I I 0.5 0.8660254037844386 forward I I I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(at<acis_Cone>(1)->scale(), 1.0);
    EXPECT_EQ(at<acis_Cone>(1)->coneKind(), 3);
    EXPECT_EQ(parser().geometryCounts().coneKinds[3], 1);
}

// The sense of surfaces and curves: an integer before version 200, a word from it; the ranges
// from version 106, "F" and a value for a finite end (the oldest writers: 1 and a value).
TEST_F(AcisGeometryRecordsTest, PlaneSenseAndRanges) {
    const struct {
        int version;
        const char* tail;
        int sense;
        bool hasU0, hasU1;
        double u0, u1;
        const char* message;
    } rows[] = {
        {105, "0", 0, false, false, 0, 0, ""},
        {105, "1", 1, false, false, 0, 0, ""},
        {105, "0 F 0 F 10 I I", 0, false, false, 0, 0, "*** ERROR: Syntax error at sequence number 1: Expected '#'\n"},
        {106, "1 F 0 F 10 I I", 1, true, true, 0, 10, ""},
        {106, "5 0 1 10 0 0", 3, false, true, 0, 10, ""},
        {106, "0 I F -2.5 F 1 F 2", 0, false, true, 0, -2.5, ""},
        {200, "forward_v I I I I", 0, false, false, 0, 0, ""},
        {400, "reverse_v F 1 I I I", 1, true, false, 1, 0, ""},
        {400, "reversed I I I I", 1, false, false, 0, 0, ""},
        {400, "0 I I I I", 3, false, false, 0, 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.version) + " " + row.tail);
        ASSERT_EQ(parseRecord(row.version, std::string("plane-surface $-1 1 2 3 0 0 2 1 0 0 ") + row.tail + " #"),
                  satParser::kParsed);
        expectReadInStep();
        EXPECT_EQ(messages.text(), row.message);
        const acis_Plane* plane = at<acis_Plane>(1);
        ASSERT_NE(plane, nullptr);
        EXPECT_EQ(plane->sense(), row.sense);
        double u0 = 0.0, u1 = 0.0;
        EXPECT_EQ(plane->uRange().lower(u0), row.hasU0);
        EXPECT_EQ(plane->uRange().upper(u1), row.hasU1);
        EXPECT_EQ(u0, row.u0);
        EXPECT_EQ(u1, row.u1);
        EXPECT_EQ(plane->plane().point(), aPoint(1, 2, 3));
        EXPECT_EQ(plane->plane().normal(), aVector(0, 0, 1));
        EXPECT_EQ(plane->normalAt({5, 5, 3}), aVector(0, 0, 1));
        EXPECT_STREQ(plane->typeName(), "plane");
        aPoint p;
        EXPECT_FALSE(plane->getPointAt(1, 2, p));  // an analytic record has no parametrisation
        EXPECT_EQ(p, aPoint(1, 2, 0));
    }
}

TEST_F(AcisGeometryRecordsTest, SpheresAndTori) {
    ASSERT_EQ(parseRecord(400, "sphere-surface $-1 1 2 3 -5 1 0 0 0 0 1 reversed I I I I #"), satParser::kParsed);
    expectReadInStep();
    const acis_Sphere* sphere = at<acis_Sphere>(1);
    EXPECT_EQ(sphere->radius(), -5.0);
    EXPECT_EQ(sphere->sphere().radius(), 5.0);
    EXPECT_EQ(sphere->sphere().centre(), aPoint(1, 2, 3));
    expectVectorNear(sphere->normalAt({6, 2, 3}), {1, 0, 0}, 1e-12);
    EXPECT_EQ(sphere->poleDirection(), aVector(0, 0, 1));

    const struct {
        const char* radii;
        int type;
        bool insideOut;
    } tori[] = {{"5 1", c_Torus::Doughnut, false}, {"1 2", c_Torus::Apple, false}, {"-1 2", c_Torus::Lemon, false},
                {"5 -1", c_Torus::Doughnut, true}};
    for (const auto& row : tori) {
        SCOPED_TRACE(row.radii);
        ASSERT_EQ(parseRecord(400, std::string("torus-surface $-1 0 0 0 0 0 1 ") + row.radii + " 1 0 0 forward I I I I #"),
                  satParser::kParsed);
        expectReadInStep();
        EXPECT_EQ(messages.text(), "");
        EXPECT_EQ(at<acis_Torus>(1)->torus().type(), row.type);
        EXPECT_EQ(parser().geometryCounts().torusTypes[row.type], 1);
        EXPECT_EQ(parser().geometryCounts().insideOutTori, row.insideOut ? 1 : 0);
    }
}

TEST_F(AcisGeometryRecordsTest, StraightAndEllipseCurves) {
    ASSERT_EQ(parseRecord(400, "straight-curve $-1 1 2 3 0 0 1 F 0 F 4 #"), satParser::kParsed);
    expectReadInStep();
    const acis_Straight* straight = at<acis_Straight>(1);
    aPoint p;
    ASSERT_TRUE(straight->getPointAt(2, p));
    EXPECT_EQ(p, aPoint(1, 2, 5));
    EXPECT_TRUE(straight->contains({1, 2, -7}));
    EXPECT_FALSE(straight->contains({1, 3, 0}));
    EXPECT_EQ(straight->getParameterOf({1, 2, 4}), 1.0);
    EXPECT_TRUE(straight->isStraight());
    EXPECT_FALSE(straight->isClosed());
    EXPECT_EQ(straight->minParam(), 0.0);
    EXPECT_EQ(straight->maxParam(), 1.0);
    EXPECT_EQ(straight->tangentAt(0.3), aVector(0, 0, 1));
    c_Plane plane;
    EXPECT_FALSE(straight->isPlanar(plane));
    double upper = 0.0;
    EXPECT_TRUE(straight->range().upper(upper));
    EXPECT_EQ(upper, 4.0);

    ASSERT_EQ(parseRecord(400, "ellipse-curve $-1 1 1 0 0 0 1 2 0 0 0.5 I I #"), satParser::kParsed);
    expectReadInStep();
    const acis_Ellipse* ellipse = at<acis_Ellipse>(1);
    ASSERT_TRUE(ellipse->getPointAt(0, p));
    expectPointNear(p, {3, 1, 0}, 1e-12);
    ASSERT_TRUE(ellipse->getPointAt(kPi / 2, p));
    expectPointNear(p, {1, 2, 0}, 1e-12);
    EXPECT_TRUE(ellipse->isClosed());
    EXPECT_FALSE(ellipse->isStraight());
    EXPECT_EQ(ellipse->minParam(), -kPi);
    EXPECT_EQ(ellipse->maxParam(), kPi);
    ASSERT_TRUE(ellipse->isPlanar(plane));
    EXPECT_EQ(plane.normal(), aVector(0, 0, 1));
    EXPECT_EQ(plane.point(), aPoint(1, 1, 0));
    expectVectorNear(ellipse->tangentAt(0), {0, 1, 0}, 1e-12);
    EXPECT_NEAR(ellipse->getParameterOf({1, 2, 0}), kPi / 2, 1e-9);
}

// An intcurve answers from its 3D approximation; its direction decides which way its
// parameter interval runs.
TEST_F(AcisGeometryRecordsTest, IntcurveWithAnApproximation) {
    const std::string data = "{ exactcur nubs 1 open 2 0 1 1 1 0 0 0 10 0 0 0.0001 null_surface null_surface nullbs nullbs I I }";
    ASSERT_EQ(parseRecord(400, "intcurve-curve $-1 forward " + data + " F 0 F 1 #"), satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "");
    const acis_Intcurve* curve = at<acis_Intcurve>(1);
    ASSERT_NE(curve->curveData(), nullptr);
    EXPECT_EQ(curve->curveData()->name(), "exactcur");
    EXPECT_EQ(curve->curveData()->fitTolerance(), 0.0001);
    EXPECT_EQ(curve->curveData()->surface1(), nullptr);
    ASSERT_NE(curve->kernelCurve(), nullptr);
    aPoint p;
    ASSERT_TRUE(curve->getPointAt(0.5, p));
    expectPointNear(p, {5, 0, 0}, 1e-6);
    EXPECT_TRUE(curve->contains({3, 0, 0}));
    EXPECT_NEAR(curve->getParameterOf({7, 0, 0}), 0.7, 1e-6);
    EXPECT_EQ(curve->minParam(), 0.0);
    EXPECT_EQ(curve->maxParam(), 1.0);
    expectVectorNear(curve->tangentAt(0.5), {1, 0, 0}, 1e-9);
    EXPECT_TRUE(curve->paramInInterval(0.5, 0.2, 0.8, true));
    EXPECT_FALSE(curve->paramInInterval(0.5, 0.8, 0.2, true));
    EXPECT_TRUE(curve->paramInInterval(0.5, 0.8, 0.2, false));

    ASSERT_EQ(parseRecord(400, "intcurve-curve $-1 reversed " + data + " I I #"), satParser::kParsed);
    EXPECT_EQ(at<acis_Intcurve>(1)->reversed(), 1);
    EXPECT_TRUE(at<acis_Intcurve>(1)->paramInInterval(0.5, 0.8, 0.2, true));
    EXPECT_FALSE(at<acis_Intcurve>(1)->paramInInterval(0.5, 0.2, 0.8, true));
}

// Without a 3D approximation an intcurve is its parameter curve on the first surface with a
// NURBS approximation.
TEST_F(AcisGeometryRecordsTest, IntcurveThroughItsParameterCurve) {
    ASSERT_EQ(parseRecord(400, std::string("intcurve-curve $-1 forward { surfintcur nullbs 0 spline forward { exactsur ") +
                                   kSquare + " } I I I I null_surface nubs 1 open 2 0 1 1 1 0 0 1 0.5 nullbs I I } I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "");
    const acis_Intcurve* curve = at<acis_Intcurve>(1);
    ASSERT_NE(curve->curveData(), nullptr);
    EXPECT_EQ(curve->curveData()->curve(), nullptr);
    ASSERT_NE(curve->curveData()->pcurve1(), nullptr);
    EXPECT_EQ(curve->kernelCurve(), nullptr);
    aPoint p;
    ASSERT_TRUE(curve->getPointAt(0.5, p));
    expectPointNear(p, {0.5, 0.25, 0}, 1e-6);
    EXPECT_NEAR(curve->getParameterOf({0.8, 0.4, 0}), 0.8, 1e-4);
    EXPECT_TRUE(curve->contains({0.8, 0.4, 0}));
    EXPECT_EQ(curve->maxParam(), 1.0);
    // A surface restored inside subtype data has no record index.
    std::ostringstream printed;
    curve->curveData()->surface1()->print(printed);
    EXPECT_EQ(printed.str(), "<*> spline-surface ---NULL--- spline sense=0 I I I I ");
}

TEST_F(AcisGeometryRecordsTest, IntcurvesWithoutUsableData) {
    ASSERT_EQ(parseRecord(400, "intcurve-curve $-1 sideways { offsur 1 2 } I I #"), satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "*** ERROR: Bad direction flag in acis_Intcurve::readData (sideways)\n"
                               "acis_Intcurve::readData: expected int_cur; found spl_sur\n");
    const acis_Intcurve* curve = at<acis_Intcurve>(1);
    EXPECT_EQ(curve->reversed(), 0);
    EXPECT_EQ(curve->curveData(), nullptr);
    messages.clear();
    aPoint p;
    EXPECT_FALSE(curve->getPointAt(0.5, p));
    EXPECT_FALSE(curve->contains(p));
    EXPECT_EQ(curve->getParameterOf(p), 0.0);
    EXPECT_EQ(curve->kernelCurve(), nullptr);
    EXPECT_EQ(messages.text(), "");  // those messages only under the error-detail switch
    EXPECT_EQ(curve->tangentAt(0.5), kZeroVector);
    EXPECT_EQ(messages.text(), "acis_Intcurve::tangentAt returning (0,0,0)\n");

    // A surface of an unknown kind inside the data is a syntax error named by its word.
    ASSERT_EQ(parseRecord(400, "intcurve-curve $-1 forward { exactcur nullbs 0 blob 1 2 3 } I I #"), satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "*** ERROR: Syntax error at sequence number 1: blob\n");
    // A missing block.
    ASSERT_EQ(parseRecord(400, "intcurve-curve $-1 forward I I #"), satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "*** ERROR: Syntax error at sequence number 1: Expected '{'\n");
}

// From version 500 the approximation of an intcurve is "full", "summary" or another form.
TEST_F(AcisGeometryRecordsTest, IntcurveDataForms) {
    const std::string surfaces = " null_surface null_surface nullbs nullbs I I }";
    ASSERT_EQ(parseRecord(500, "intcurve-curve $-1 forward { exactcur full nubs 1 open 2 0 1 1 1 0 0 0 10 0 0 0.001" +
                                   surfaces + " I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_NE(at<acis_Intcurve>(1)->curveData()->curve(), nullptr);
    ASSERT_EQ(parseRecord(500, "intcurve-curve $-1 forward { exactcur summary 3 0 0.5 1 0.001 tag" + surfaces + " I I #"),
              satParser::kParsed);
    expectReadInStep();
    const acis_int_cur* summary = at<acis_Intcurve>(1)->curveData();
    EXPECT_EQ(summary->curve(), nullptr);
    EXPECT_EQ(summary->summaryParameters(), (std::vector<double>{0, 0.5, 1}));
    EXPECT_EQ(summary->fitTolerance(), 0.001);
    ASSERT_EQ(parseRecord(600, "intcurve-curve $-1 forward { exactcur other F 0 F 1 tag" + surfaces + " I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(at<acis_Intcurve>(1)->curveData()->curve(), nullptr);
    EXPECT_EQ(messages.text(), "");
    // Before version 107 no range follows the parameter curves.
    ASSERT_EQ(parseRecord(106, "intcurve-curve $-1 0 { exactcur nullbs 0 null_surface null_surface nullbs nullbs } 0 0 #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "");
}

TEST_F(AcisGeometryRecordsTest, ParameterCurves) {
    // Version 104: the data in place, without braces.
    ASSERT_EQ(parseRecord(104, "pcurve $-1 0 forward nubs 1 open 2 0 1 1 1 0 0 1 1 0.0001 null_surface 0.5 1.5 #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "");
    const acis_PCurve* pcurve = at<acis_PCurve>(1);
    ASSERT_NE(pcurve->curveData(), nullptr);
    EXPECT_EQ(pcurve->curveData()->name(), "exppc");
    ASSERT_NE(pcurve->curveData()->curve(), nullptr);
    aPoint uv;
    ASSERT_TRUE(pcurve->curveData()->curve()->getPointAt(0.5, uv));
    expectPointNear(uv, {0.5, 0.5, 0}, 1e-6);
    EXPECT_EQ(pcurve->parameter1(), 0.5);
    EXPECT_EQ(pcurve->parameter2(), 1.5);

    ASSERT_EQ(parseRecord(400, "pcurve $-1 0 reversed { exppc nubs 1 open 2 0 1 1 1 0 0 1 1 0.0001 spline forward { ref 7 } "
                               "I I I I } 0 0 #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "");
    pcurve = at<acis_PCurve>(1);
    EXPECT_EQ(pcurve->reversed(), 1);
    ASSERT_NE(pcurve->curveData(), nullptr);
    EXPECT_TRUE(pcurve->curveData()->isParameterCurve());
    ASSERT_NE(pcurve->curveData()->surface1(), nullptr);
    EXPECT_EQ(pcurve->curveData()->surface2(), nullptr);

    ASSERT_EQ(parseRecord(400, "pcurve $-1 -1 $5 0 0 #"), satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(at<acis_PCurve>(1)->type(), -1);
    EXPECT_EQ(at<acis_PCurve>(1)->curveData(), nullptr);
}

// The approximation of a spline surface: read at once before version 500, after "full" from
// it; knots expanded by their multiplicities, control points with u running fastest.
TEST_F(AcisGeometryRecordsTest, SplineSurfaceApproximations) {
    ASSERT_EQ(parseRecord(400, std::string("spline-surface $-1 reversed { exactsur ") + kSquare +
                                   " 0.0001 0 0 0 F 1 F 0 } F 0 F 1 I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "");
    const acis_Spline* spline = at<acis_Spline>(1);
    EXPECT_EQ(spline->sense(), 1);
    double upper = 0.0;
    EXPECT_TRUE(spline->uRange().upper(upper));
    EXPECT_EQ(upper, 1.0);
    ASSERT_TRUE(spline->hasNURBSApproximation());
    ASSERT_NE(spline->getNURBSSurface(), nullptr);
    EXPECT_EQ(spline->kernelSurface(), spline->getNURBSSurface());
    aPoint p;
    ASSERT_TRUE(spline->getPointAt(0.25, 0.75, p));
    expectPointNear(p, {0.25, 0.75, 0}, 1e-6);
    expectVectorNear(spline->normalAt({0.5, 0.5, 0}), {0, 0, 1}, 1e-6);

    // Version 500: "full" and "summary".
    ASSERT_EQ(parseRecord(500, std::string("spline-surface $-1 forward { exactsur full ") + kSquare + " } I I I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_NE(at<acis_Spline>(1)->getNURBSSurface(), nullptr);
    ASSERT_EQ(parseRecord(500, "spline-surface $-1 forward { exactsur summary 1 2 3 } I I I I #"), satParser::kParsed);
    expectReadInStep();
    EXPECT_FALSE(at<acis_Spline>(1)->hasNURBSApproximation());
    EXPECT_EQ(at<acis_Spline>(1)->getNURBSSurface(), nullptr);
    EXPECT_EQ(messages.text(), "");
    messages.clear();
    EXPECT_EQ(at<acis_Spline>(1)->normalAt({0, 0, 0}), kZeroVector);
    EXPECT_EQ(messages.text(), "acis_spl_sur::normalAt returning (0,0,0)\n");

    // Degree 3 by 3, two knots each written with multiplicity 3: 8 knots and 4 points a way.
    std::string points;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) points += " " + std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(i * j);
    }
    ASSERT_EQ(parseRecord(400, "spline-surface $-1 forward { exactsur nubs 3 3 open open none none 2 2 0 3 1 3 0 3 1 3" +
                                   points + " } I I I I #"),
              satParser::kParsed);
    expectReadInStep();
    const c_NURBSSurface* cubic = at<acis_Spline>(1)->getNURBSSurface();
    ASSERT_NE(cubic, nullptr);
    EXPECT_EQ(cubic->numU(), 4);
    EXPECT_EQ(cubic->numV(), 4);
    EXPECT_EQ(cubic->uKnots().numKnots(), 8);
    EXPECT_EQ(cubic->vKnots().order(), 4);
    ASSERT_TRUE(cubic->getPointAt(1, 1, p));
    expectPointNear(p, {3, 3, 9}, 1e-5);

    // A rational quarter cylinder of radius 2 about x = 22, y = 18, along z from 10.5 to 16.5.
    ASSERT_EQ(parseRecord(400, "spline-surface $-1 forward { exactsur nurbs 1 2 both open open none none 2 2 "
                               "0 1 10 1 0 2 1.5707963267948966 2 "
                               "22 20 10.5 1 22 20 16.5 1 20 20 10.5 0.7071067811865476 20 20 16.5 0.7071067811865476 "
                               "20 18 10.5 1 20 18 16.5 1 } I I I I #"),
              satParser::kParsed);
    expectReadInStep();
    const c_NURBSSurface* quarter = at<acis_Spline>(1)->getNURBSSurface();
    ASSERT_NE(quarter, nullptr);
    for (double u : {0.0, 5.0, 10.0}) {
        for (double v : {0.0, 0.3, 0.9, 1.5}) {
            ASSERT_TRUE(quarter->getPointAt(u, v, p));
            EXPECT_NEAR(std::hypot(p.x - 22, p.y - 18), 2.0, 1e-5) << u << " " << v;
            EXPECT_NEAR(p.z, 10.5 + 0.6 * u, 1e-5);
        }
    }
}

// Every spline-surface subtype is read past in step with its data, whatever it keeps.
TEST_F(AcisGeometryRecordsTest, SplineSurfaceSubtypesAreReadInStep) {
    const std::string square = kSquare;
    const std::string line = "straight 0 0 0 1 0 0 I I";
    const std::string transform = "1 0 0 0 1 0 0 0 1 0 0 0 1 no_rotate no_reflect no_shear";
    const struct {
        int version;
        std::string data;
        bool approximation;
    } rows[] = {
        {400, "netsur 1 0.5 " + line + " 2 0.5 " + line + " 0.7 " + line + " 0.1 0.2 0.3 0.4 " + square, true},
        {600, "skinsur a b c 1 1 2 3 4 5 " + line + " 6 7 8 plane 0 0 0 0 0 1 1 0 0 forward I I I I 9 8 null_law word 1 " +
                  line + " full " + square,
         true},
        {500, "sweepsur w " + line + " " + line + " w 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 8 null_law 8 null_law "
              "3 vec 5 5 TRANS " + transform + " 4 EDGE " + line + " 0 1 4 SURF plane 0 0 0 0 0 1 1 0 0 forward I I I I "
              "I I I I 4 WIRE 1 " + line + " 0 1 I I 6 PCURVE 0 forward { exppc nullbs 0 null_surface } 0 0 0 1 "
              "full " + square,
         true},
        {500, "rbblnsur 11 blendsupsur plane 0 0 0 0 0 1 1 0 0 forward I I I I " + line +
                  " nubs 1 open 2 0 1 1 1 0 0 1 1 1 2 3 11 blendsupcur " + line + " " + line +
                  " 0.5 0.5 one_radius 2 " + line + " F 0 F 1 F 0 F 1 3 0.1 0.2 4 full " + square,
         true},
        {400, "rbblnsur 11 blendsupzro " + line + " 7 unknown " + line + " 0.5 0.5 two_radii 2 3 " + line +
                  " I I I I I I 1 2 I I 3 0.1 0.2 4",
         false},
        {300, "rotsur " + line + " 0 0 0 0 0 1 I I I I 2 0 1 0 1 0 1 0", false},
        {500, "rotsur " + line + " 0 0 0 0 0 1 full " + square, true},
        {400, "offsur 1 2 3 { nested block }", false},
        {400, "pipesur x y z", false},
        {400, "sumsur", false},
        {400, "vertexblendsur 1 2", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.data);
        ASSERT_EQ(parseRecord(row.version, "spline-surface $-1 forward { " + row.data + " } I I I I #"), satParser::kParsed);
        expectReadInStep();
        EXPECT_EQ(messages.text(), "");
        const acis_spl_sur* data = at<acis_Spline>(1)->splineData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->surface() != nullptr, row.approximation);
    }
}

TEST_F(AcisGeometryRecordsTest, SurfaceOfRevolution) {
    ASSERT_EQ(parseRecord(400, "spline-surface $-1 forward { rotsur straight 5 0 0 0 0 1 I I 0 0 0 0 0 2 I I I I 0 0 } "
                               "I I I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "");
    const acis_spl_sur* data = at<acis_Spline>(1)->splineData();
    ASSERT_NE(data, nullptr);
    ASSERT_NE(data->profile(), nullptr);
    EXPECT_EQ(data->axis().direction(), aVector(0, 0, 1));
    expectVectorNear(data->frameU(), {1, 0, 0}, 1e-12);
    expectVectorNear(data->frameV(), {0, 1, 0}, 1e-12);
    EXPECT_EQ(at<acis_Spline>(1)->getNURBSSurface(), nullptr);
    EXPECT_EQ(messages.text(), "Ignoring RotSur in acis_Spline::getNURBSSurface()\n");

    // A profile whose middle lies on the axis leaves the frame to the axis alone.
    ASSERT_EQ(parseRecord(400, "spline-surface $-1 forward { rotsur straight 0 0 0 0 0 1 I I 0 0 0 0 0 1 I I I I 0 0 } "
                               "I I I I #"),
              satParser::kParsed);
    expectReadInStep();
    EXPECT_EQ(messages.text(), "zero U vector in acis_spl_sur::restore_rot_sur.\n");
    data = at<acis_Spline>(1)->splineData();
    EXPECT_NEAR(data->frameU().length(), 1.0, 1e-12);
    EXPECT_NEAR(data->frameU().dot(aVector(0, 0, 1)), 0.0, 1e-12);
}

// NURBS data is held against the rest of the text: no count sizes an allocation beyond it.
TEST_F(AcisGeometryRecordsTest, NurbsDataBeyondTheTextIsASyntaxError) {
    const char* rows[] = {
        "spline-surface $-1 forward { exactsur nubs 1 1 open open none none 2 2 0 1 1 1000000000 0 1 1 1 0 0 0 } I I I I #",
        "spline-surface $-1 forward { exactsur nubs 1 1 open open none none 1000000000 2 0 1 1 1 } I I I I #",
        "spline-surface $-1 forward { exactsur nubs 1 1 open open none none 2 2 0 1 1 1 0 1000000000 1 1000000000 0 } "
        "I I I I #",
        "intcurve-curve $-1 forward { exactcur nurbs 3 open 1000000000 0 1 } I I #",
        "intcurve-curve $-1 forward { exactcur nurbs 2147483647 open 2 0 2147483647 1 2147483647 0 } I I #",
        "intcurve-curve $-1 forward { exactcur nubs 5 open 2 0 1 1 1 0 0 0 1 1 1 } I I #",
        "intcurve-curve $-1 forward { exactcur nubs 1 open 2 0 0 1 1 0 0 0 1 1 1 } I I #",
    };
    for (const char* record : rows) {
        SCOPED_TRACE(record);
        ASSERT_EQ(parseRecord(400, record), satParser::kParsed);
        expectReadInStep();
        EXPECT_EQ(messages.text(), "*** ERROR: Syntax error at sequence number 1: Bad NURBS data\n");
    }
}

} // namespace
} // namespace tracemill
