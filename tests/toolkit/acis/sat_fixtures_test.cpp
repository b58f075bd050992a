#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "sat_test_support.h"
#include "test_paths.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/sat/acis_analytic_curves.h"
#include "toolkit/acis/sat/acis_analytic_surfaces.h"
#include "toolkit/acis/sat/acis_attrib.h"
#include "toolkit/acis/sat/acis_int_cur.h"
#include "toolkit/acis/sat/acis_intcurve.h"
#include "toolkit/acis/sat/acis_pcurve.h"
#include "toolkit/acis/sat/acis_spline.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/acis_transform.h"

namespace tracemill {
namespace {

using test::SatParserTest;

class SatFixturesTest : public SatParserTest {
protected:
    int parseFixture(const char* name) {
        const std::vector<uint8_t> bytes = test::readFileBytes(test::testDataDir() / "acis" / name);
        EXPECT_FALSE(bytes.empty()) << name;
        return parse(std::string(bytes.begin(), bytes.end()));
    }
};

// The faces of a body by the walks: lumps, shells, faces.
std::vector<const acis_Face*> facesOf(const acis_Body* body) {
    std::vector<const acis_Face*> faces;
    for (const acis_Lump* lump = body->lump(); lump; lump = lump->next()) {
        for (const acis_Shell* shell = lump->shell(); shell; shell = shell->next()) {
            for (const acis_Face* face = shell->face(); face; face = face->next()) faces.push_back(face);
        }
    }
    return faces;
}

// The coedges of a loop, walked until the first comes back.
std::vector<const acis_CoEdge*> coedgesOf(const acis_Loop* loop) {
    std::vector<const acis_CoEdge*> coedges;
    const acis_CoEdge* first = loop->coedge();
    for (const acis_CoEdge* coedge = first; coedge && coedges.size() < 100; coedge = coedge->next()) {
        coedges.push_back(coedge);
        if (coedge->next() == first) break;
    }
    return coedges;
}

// Every vertex of the body's edges lies on its edge's curve, at the curve's start or end as the
// edge runs.
void expectVerticesOnCurves(const acis_Body* body, double tolerance) {
    for (const acis_Face* face : facesOf(body)) {
        for (const acis_Loop* loop = face->loop(); loop; loop = loop->next()) {
            for (const acis_CoEdge* coedge : coedgesOf(loop)) {
                const acis_Edge* edge = coedge->edge();
                ASSERT_NE(edge, nullptr);
                ASSERT_NE(edge->curve(), nullptr);
                EXPECT_EQ(coedge->loop(), loop);
                if (coedge->partner()) {
                    EXPECT_EQ(coedge->partner()->partner(), coedge);
                }
                for (const acis_Vertex* vertex : {edge->start(), edge->end()}) {
                    ASSERT_NE(vertex, nullptr);
                    aPoint on;
                    ASSERT_TRUE(edge->curve()->getPointAt(edge->curve()->getParameterOf(vertex->position()), on));
                    EXPECT_LT(on.distance(vertex->position()), tolerance);
                }
            }
        }
    }
}

TEST_F(SatFixturesTest, EveryFixtureParses) {
    const struct {
        const char* file;
        int result;
        int entities;
        const char* messages;
    } rows[] = {
        {"cube_106.sat", satParser::kParsed, 85, ""},
        {"cube_400.sat", satParser::kParsed, 87, ""},
        {"cylinder_500.sat", satParser::kParsed, 27, ""},
        {"sphere_torus_600.sat", satParser::kParsed, 9, ""},
        {"spline_face_400.sat", satParser::kParsed, 30, ""},
        {"spline_face_500.sat", satParser::kParsed, 30, ""},
        {"pcurve_104.sat", satParser::kParsed, 12, ""},
        {"hostile_reference.sat", satParser::kParsed, 2, ""},
        {"hostile_record_count.sat", satParser::kParsed, 2, ""},
        {"hostile_counted_string.sat", satParser::kHeaderUnreadable, 0, ""},
        {"hostile_nurbs.sat", satParser::kParsed, 4,
         "*** ERROR: Syntax error at sequence number 1: Bad NURBS data\n"
         "*** ERROR: Syntax error at sequence number 2: Bad NURBS data\n"},
        {"hostile_nesting.sat", satParser::kParsed, 3,
         "*** ERROR: Syntax error at sequence number 1: Subtype blocks nested too deeply\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        ASSERT_EQ(parseFixture(row.file), row.result);
        EXPECT_EQ(parser().entitiesMade(), row.entities);
        EXPECT_EQ(messages.text(), row.messages);
        EXPECT_EQ(parser().skippedRecords(), 0);
        // However much a text claims, the entity table holds no more than the text can.
        EXPECT_LE(parser().tableSize(), 200);
        if (row.result == satParser::kParsed) {
            EXPECT_EQ(parser().bodyCount(), 1);
        }
    }
}

// The cube in the forms of the oldest writers and in words reads as the same model.
TEST_F(SatFixturesTest, TheCubeInBothForms) {
    for (const char* file : {"cube_106.sat", "cube_400.sat"}) {
        SCOPED_TRACE(file);
        ASSERT_EQ(parseFixture(file), satParser::kParsed);
        const acis_Body* body = parser().firstBody();
        const std::vector<const acis_Face*> faces = facesOf(body);
        ASSERT_EQ(faces.size(), 6u);
        std::set<const acis_Edge*> edges;
        for (const acis_Face* face : faces) {
            EXPECT_EQ(face->sense(), 0);
            EXPECT_EQ(face->sides(), 0);
            EXPECT_EQ(face->containment(), 2);
            ASSERT_NE(acis_cast<acis_Plane>(face->surface()), nullptr);
            const std::vector<const acis_CoEdge*> coedges = coedgesOf(face->loop());
            ASSERT_EQ(coedges.size(), 4u);
            for (const acis_CoEdge* coedge : coedges) {
                edges.insert(coedge->edge());
                ASSERT_NE(coedge->partner(), nullptr);
                EXPECT_NE(coedge->partner()->sense(), coedge->sense());
                // Each corner of the face lies in its plane.
                const aPoint corner = coedge->alongCurve() ? coedge->edge()->start()->position()
                                                           : coedge->edge()->end()->position();
                EXPECT_NEAR(acis_cast<acis_Plane>(face->surface())->plane().signedDistance(corner), 0.0, 1e-12);
            }
        }
        EXPECT_EQ(edges.size(), 12u);
        for (const acis_Edge* edge : edges) {
            const auto* straight = acis_cast<acis_Straight>(edge->curve());
            ASSERT_NE(straight, nullptr);
            double lower = -1, upper = -1;
            EXPECT_TRUE(straight->range().lower(lower));
            EXPECT_TRUE(straight->range().upper(upper));
            EXPECT_EQ(lower, 0.0);
            EXPECT_EQ(upper, 1.0);
        }
        expectVerticesOnCurves(body, 1e-12);
        EXPECT_EQ(parser().modelBox().bounds[0], 0.0);
        EXPECT_EQ(parser().modelBox().bounds[5], 1.0);
    }
    // The words form carries a colour on the body and a history attribute on a face.
    const auto* colour = acis_cast<acis_TslColourAttrib>(parser().firstBody()->attribute());
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->colour(), (std::array<double, 3>{0, 1, 0}));
    EXPECT_EQ(facesOf(parser().firstBody())[2]->attribute()->kind(), AcisKind::IgnoredAttrib);
}

TEST_F(SatFixturesTest, AnalyticSolids) {
    ASSERT_EQ(parseFixture("cylinder_500.sat"), satParser::kParsed);
    const acis_Body* body = parser().firstBody();
    ASSERT_NE(body->transform(), nullptr);
    EXPECT_EQ(body->transform()->at(3, 0), 5.0);
    EXPECT_EQ(body->transform()->at(3, 2), 7.0);
    const std::vector<const acis_Face*> faces = facesOf(body);
    ASSERT_EQ(faces.size(), 3u);
    const auto* side = acis_cast<acis_Cone>(faces[0]->surface());
    ASSERT_NE(side, nullptr);
    EXPECT_EQ(side->coneKind(), 1);
    EXPECT_EQ(faces[2]->sense(), 1);
    ASSERT_NE(faces[0]->loop()->next(), nullptr);
    expectVerticesOnCurves(body, 1e-9);
    EXPECT_EQ(parser().geometryCounts().coneKinds[1], 1);

    ASSERT_EQ(parseFixture("sphere_torus_600.sat"), satParser::kParsed);
    const std::vector<const acis_Face*> shapes = facesOf(parser().firstBody());
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_NE(acis_cast<acis_Sphere>(shapes[0]->surface()), nullptr);
    EXPECT_NE(acis_cast<acis_Torus>(shapes[1]->surface()), nullptr);
    EXPECT_EQ(shapes[1]->containment(), 0);
    EXPECT_EQ(shapes[0]->loop(), nullptr);

    ASSERT_EQ(parseFixture("pcurve_104.sat"), satParser::kParsed);
    const acis_Face* face = facesOf(parser().firstBody()).at(0);
    EXPECT_EQ(face->sense(), 1);
    const acis_CoEdge* coedge = face->loop()->coedge();
    ASSERT_NE(coedge->pcurve(), nullptr);
    ASSERT_NE(coedge->pcurve()->curveData(), nullptr);
    EXPECT_NE(acis_cast<acis_Plane>(coedge->pcurve()->curveData()->surface1()), nullptr);
    expectVerticesOnCurves(parser().firstBody(), 1e-9);
}

// The spline face: its edges on intcurves, and each coedge's parameter curve mapped through the
// shared surface data onto its edge's curve.
TEST_F(SatFixturesTest, TheSplineFace) {
    for (const char* file : {"spline_face_400.sat", "spline_face_500.sat"}) {
        SCOPED_TRACE(file);
        ASSERT_EQ(parseFixture(file), satParser::kParsed);
        const acis_Face* face = facesOf(parser().firstBody()).at(0);
        const auto* spline = acis_cast<acis_Spline>(face->surface());
        ASSERT_NE(spline, nullptr);
        const c_NURBSSurface* surface = spline->getNURBSSurface();
        ASSERT_NE(surface, nullptr);
        expectVerticesOnCurves(parser().firstBody(), 1e-5);
        const std::vector<const acis_CoEdge*> coedges = coedgesOf(face->loop());
        ASSERT_EQ(coedges.size(), 4u);
        for (const acis_CoEdge* coedge : coedges) {
            const auto* curve = acis_cast<acis_Intcurve>(coedge->edge()->curve());
            ASSERT_NE(curve, nullptr);
            ASSERT_NE(curve->curveData(), nullptr);
            // The intcurve's surface is a record of its own that shares the face's data.
            const acis_Spline* restored = acis_cast<acis_Spline>(curve->curveData()->surface1());
            EXPECT_NE(restored, spline);
            ASSERT_NE(restored, nullptr);
            EXPECT_EQ(restored->splineData(), spline->splineData());  // shared through "ref 0"
            const acis_int_cur* data = coedge->pcurve() ? coedge->pcurve()->curveData() : nullptr;
            ASSERT_NE(data, nullptr);
            ASSERT_NE(data->curve(), nullptr);
            for (double s : {0.0, 0.25, 0.5, 1.0}) {
                const double t = data->curve()->minParam() + s * (data->curve()->maxParam() - data->curve()->minParam());
                aPoint uv, onSurface, onCurve;
                ASSERT_TRUE(data->curve()->getPointAt(t, uv));
                ASSERT_TRUE(surface->getPointAt(uv.x, uv.y, onSurface));
                ASSERT_TRUE(curve->getPointAt(curve->getParameterOf(onSurface), onCurve));
                EXPECT_LT(onCurve.distance(onSurface), 1e-4) << s;
            }
        }
    }
}

} // namespace
} // namespace tracemill
