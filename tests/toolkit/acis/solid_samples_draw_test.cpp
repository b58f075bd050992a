#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "render_test_support.h"
#include "sat_test_support.h"
#include "test_paths.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/solid_texts.h"
#include "toolkit/core/drawing.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill {
namespace {

using test::SolidDrawingHost;

class SolidSamplesDrawTest : public test::AcisSamplesTest {
protected:
    // The SAT texts of the solids of a sample drawing, kept beyond the drawing.
    std::vector<std::string> solidTexts(const std::filesystem::path& path) {
        std::vector<std::string> texts;
        Drawing* drawing = rdOpenDrawing(path.string().c_str(), kOpenOrdinary, 0);
        EXPECT_NE(drawing, nullptr) << path;
        if (!drawing) return texts;
        for (const SolidText& solid : acisSolidTexts(*drawing)) texts.emplace_back(solid.text);
        dbFreeDrawing(drawing);
        return texts;
    }
};

// The box of the SAT point records of a text.
BoundingBox satPointBox(const satParser& parser) {
    BoundingBox box;
    const double* b = parser.modelBox().bounds;
    if (!parser.modelBox().hasPoint) return box;
    box.add({b[0], b[2], b[4]});
    box.add({b[1], b[3], b[5]});
    return box;
}

double diagonalOf(const BoundingBox& box) { return box.low.distance(box.high); }

// The regions and the solid of the small examples: plane faces and straight edges, drawn as
// their edges; the vertices span exactly the points.
TEST_F(SolidSamplesDrawTest, TheSolidsOfTheExamplesAreTheirEdges) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* file : {"dwg/example_r13.dwg", "dwg/example_r14.dwg", "dwg/example_2000.dwg", "dxf/example_2000.dxf",
                             "dxf/example_2000.dxfb"}) {
        SCOPED_TRACE(file);
        const std::vector<std::string> texts = solidTexts(samples / file);
        ASSERT_EQ(texts.size(), 3u);
        const int segments[] = {4, 18, 4};
        for (size_t i = 0; i < texts.size(); ++i) {
            SolidDrawingHost host(texts[i]);
            EXPECT_EQ(host.draw(), 0);
            EXPECT_EQ(host.count(1), segments[i]);
            EXPECT_EQ(host.segments(), segments[i]);
            EXPECT_EQ(host.count(3), 0);
            EXPECT_EQ(host.nonFinite, 0);
            satParser parser(texts[i]);
            ASSERT_EQ(parser.parse(), satParser::kParsed);
            const BoundingBox points = satPointBox(parser), drawn = host.box();
            const double tolerance = 1e-9 * diagonalOf(points);
            test::expectPointNear(drawn.low, points.low, tolerance);
            test::expectPointNear(drawn.high, points.high, tolerance);
        }
    }
}

// The oscilloscope case: 544 edges on intersection curves, each one strip; the vertices hold
// the points (up to the single precision of the curves' control points) and stay within the
// points and the control points.
TEST_F(SolidSamplesDrawTest, TheOscilloscopeCaseIsOneStripPerEdge) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<std::string> texts = solidTexts(samples / "dwg/oscilloscope_case_2000.dwg");
    ASSERT_EQ(texts.size(), 1u);
    SolidDrawingHost host(texts[0]);
    EXPECT_EQ(host.draw(), 0);
    EXPECT_EQ(host.count(3), 544);
    EXPECT_EQ(int(host.primitives.size()), 544);
    EXPECT_EQ(host.nonFinite, 0);
    EXPECT_EQ(host.unbalanced, 0);

    satParser parser(texts[0]);
    ASSERT_EQ(parser.parse(), satParser::kParsed);
    const BoundingBox points = satPointBox(parser), drawn = host.box();
    BoundingBox reach = points;
    for (int i = 0; i < parser.tableSize(); ++i) {
        const auto* edge = acis_cast<acis_Edge>(parser.entityAt(i));
        if (!edge) continue;
        const c_Curve* curve = edge->curve() ? edge->curve()->kernelCurve() : nullptr;
        const auto* nurbs = dynamic_cast<const c_NURBSCurve*>(curve);
        ASSERT_NE(nurbs, nullptr) << i;
        for (int k = 0; k < nurbs->numControlPoints(); ++k) {
            aPoint p;
            if (nurbs->controlPoint(k, p)) reach.add(p);
        }
    }
    const double diagonal = diagonalOf(points);
    for (const aPoint& corner : {points.low, points.high}) EXPECT_TRUE(drawn.contains(corner, 1e-5 * diagonal)) << corner;
    for (const aPoint& corner : {drawn.low, drawn.high}) EXPECT_TRUE(reach.contains(corner, 1e-12 * diagonal)) << corner;
}

// Every solid of every sample that loads draws, with balanced primitives and finite vertices.
TEST_F(SolidSamplesDrawTest, EverySolidOfTheSamplesDraws) {
    TM_REQUIRE_SAMPLES(samples);
    int solids = 0;
    for (const char* folder : {"dwg", "dxf"}) {
        for (const auto& entry : std::filesystem::directory_iterator(samples / folder)) {
            Drawing* drawing = rdOpenDrawing(entry.path().string().c_str(), kOpenOrdinary, 0);
            if (!drawing) continue;
            for (const SolidText& solid : acisSolidTexts(*drawing)) {
                SCOPED_TRACE(entry.path().filename().string());
                SolidDrawingHost host{std::string(solid.text)};
                EXPECT_EQ(host.draw(), 0);
                EXPECT_GT(host.primitives.size(), 0u);
                EXPECT_EQ(host.nonFinite, 0);
                EXPECT_EQ(host.unbalanced, 0);
                ++solids;
            }
            dbFreeDrawing(drawing);
        }
    }
    EXPECT_EQ(solids, 16);
}

} // namespace
} // namespace tracemill
