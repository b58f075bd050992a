#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sat_test_support.h"
#include "test_paths.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/kernel_state.h"
#include "toolkit/acis/sat/acis_int_cur.h"
#include "toolkit/acis/sat/acis_intcurve.h"
#include "toolkit/acis/sat/acis_pcurve.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_spl_sur.h"
#include "toolkit/acis/sat/acis_spline.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/solid_texts.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit_fixture.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill {
namespace {

using SatSamplesTest = test::AcisSamplesTest;

// What a solid's model holds, counted over its entity table.
struct ModelCounts {
    int faces = 0, exactSplineFaces = 0, planeFaces = 0;
    int edges = 0, intcurveEdges = 0, straightEdges = 0;
    int pcurves = 0, points = 0, attributes = 0;
};

ModelCounts countModel(const satParser& parser) {
    ModelCounts counts;
    for (int i = 0; i < parser.tableSize(); ++i) {
        const acis_Entity* entity = parser.entityAt(i);
        if (const auto* face = acis_cast<acis_Face>(entity)) {
            ++counts.faces;
            const auto* spline = acis_cast<acis_Spline>(face->surface());
            if (spline && spline->splineData() && spline->splineData()->name() == "exactsur" &&
                spline->getNURBSSurface())
                ++counts.exactSplineFaces;
            if (face->surface() && face->surface()->kind() == AcisKind::PlaneSurface) ++counts.planeFaces;
        }
        if (const auto* edge = acis_cast<acis_Edge>(entity)) {
            ++counts.edges;
            const auto* curve = acis_cast<acis_Intcurve>(edge->curve());
            if (curve && curve->curveData() && curve->kernelCurve()) ++counts.intcurveEdges;
            if (edge->curve() && edge->curve()->kind() == AcisKind::StraightCurve) ++counts.straightEdges;
        }
        if (const auto* pcurve = acis_cast<acis_PCurve>(entity)) {
            if (pcurve->curveData() && pcurve->curveData()->curve()) ++counts.pcurves;
        }
        if (acis_cast<acis_Point>(entity)) ++counts.points;
        if (entity && isAcisAttribKind(entity->kind())) ++counts.attributes;
    }
    return counts;
}

// Every REGION, 3DSOLID and BODY of the samples parses with a body, without a message, and
// with an entity at every record index.
TEST_F(SatSamplesTest, EverySolidOfTheSamplesParses) {
    TM_REQUIRE_SAMPLES(samples);
    const struct {
        const char* file;
        int version;
        int solids;
    } files[] = {
        {"dwg/oscilloscope_case_2000.dwg", 400, 1}, {"dwg/example_r13.dwg", 106, 3},  {"dwg/example_r14.dwg", 106, 3},
        {"dwg/example_2000.dwg", 400, 3},           {"dxf/example_2000.dxf", 400, 3}, {"dxf/example_2000.dxfb", 400, 3},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.file);
        Drawing* drawing = rdOpenDrawing((samples / file.file).string().c_str(), kOpenOrdinary, 0);
        ASSERT_NE(drawing, nullptr);
        const std::vector<SolidText> solids = acisSolidTexts(*drawing);
        EXPECT_EQ(int(solids.size()), file.solids);
        for (const SolidText& solid : solids) {
            SCOPED_TRACE(dbHandleToHex(solid.handle));
            KernelDiagnosticsCapture messages;
            satParser parser(solid.text);
            ASSERT_EQ(parser.parse(), satParser::kParsed);
            EXPECT_EQ(parser.version(), file.version);
            EXPECT_EQ(parser.messageCount(), 0) << messages.text();
            EXPECT_EQ(parser.skippedRecords(), 0);
            EXPECT_EQ(parser.bodyCount(), 1);
            ASSERT_GT(parser.recordCount(), 0);
            EXPECT_EQ(parser.entitiesMade(), parser.recordCount());
            for (int i = 0; i < parser.recordCount(); ++i) ASSERT_NE(parser.entityAt(i), nullptr) << i;
            const ModelCounts counts = countModel(parser);
            if (file.solids == 3) {
                // The regions and the block of the small examples: plane faces, straight edges,
                // the block's history attributes read past as attributes.
                EXPECT_GT(counts.faces, 0);
                EXPECT_EQ(counts.planeFaces, counts.faces);
                EXPECT_EQ(counts.straightEdges, counts.edges);
                if (solid.type == kEntitySolid3d) {
                    EXPECT_GT(counts.attributes, 0);
                }
            }
        }
        dbFreeDrawing(drawing);
    }
}

TEST_F(SatSamplesTest, TheOscilloscopeCaseIsSplineGeometry) {
    TM_REQUIRE_SAMPLES(samples);
    Drawing* drawing = rdOpenDrawing((samples / "dwg/oscilloscope_case_2000.dwg").string().c_str(), kOpenOrdinary, 0);
    ASSERT_NE(drawing, nullptr);
    const std::vector<SolidText> solids = acisSolidTexts(*drawing);
    ASSERT_EQ(solids.size(), 1u);
    EXPECT_EQ(solids[0].type, kEntitySolid3d);
    satParser parser(solids[0].text);
    ASSERT_EQ(parser.parse(), satParser::kParsed);
    EXPECT_EQ(parser.recordCount(), 4557);
    const ModelCounts counts = countModel(parser);
    EXPECT_EQ(counts.faces, 183);
    EXPECT_EQ(counts.exactSplineFaces, 183);
    EXPECT_EQ(counts.edges, 544);
    EXPECT_EQ(counts.intcurveEdges, 544);
    EXPECT_EQ(counts.pcurves, 1088);
    EXPECT_EQ(counts.points, 362);
    // Every vertex lies on the curve of its edge.
    for (int i = 0; i < parser.tableSize(); ++i) {
        const auto* edge = acis_cast<acis_Edge>(parser.entityAt(i));
        if (!edge) continue;
        ASSERT_NE(edge->curve(), nullptr);
        for (const acis_Vertex* vertex : {edge->start(), edge->end()}) {
            ASSERT_NE(vertex, nullptr);
            aPoint on;
            ASSERT_TRUE(edge->curve()->getPointAt(edge->curve()->getParameterOf(vertex->position()), on));
            EXPECT_LT(on.distance(vertex->position()), 1e-3) << i;
        }
    }
    // The model box spans the points.
    EXPECT_TRUE(parser.modelBox().hasPoint);
    EXPECT_LT(parser.modelBox().bounds[0], parser.modelBox().bounds[1]);
    dbFreeDrawing(drawing);
}

} // namespace
} // namespace tracemill
