// The wireframe of solids: a fake renderer in place of the solids kernel reads the SAT text
// through the callback record and reports wires; the wires come out as strokes. The vertex
// accumulator's growth and its failure; the vectoriser hands 3DSOLID, REGION and BODY to slot 34.
#include "toolkit/display/solid_wireframe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entity_drawing_fixture.h"
#include "toolkit/acis/sat/solid_drawing_bridge.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/paged_stream.h"

namespace tracemill {
namespace {

struct ScriptedWire {
    int32_t kind = 0;
    std::vector<Point3> vertices;
};

// What the fake renderer reports, and what it saw of the record.
struct RendererScript {
    std::vector<ScriptedWire> wires;
    std::string textRead;
    SatCallbackRecord record;
};

RendererScript& script() {
    static RendererScript s;
    return s;
}

int32_t scriptedRenderer(const SatCallbackRecord& record) {
    RendererScript& s = script();
    s.record = record;
    s.textRead.clear();
    char buffer[512];
    for (int32_t n; (n = record.read(buffer, 512, record.user)) > 0;) s.textRead.append(buffer, size_t(n));
    for (const ScriptedWire& wire : s.wires) {
        record.begin(wire.kind, record.user);
        for (const Point3& v : wire.vertices) record.vertex(v.x, v.y, v.z, record.user);
        record.end(record.user);
    }
    return 0;
}

std::vector<Point3> verticesAlongX(int count) {
    std::vector<Point3> out;
    for (int i = 0; i < count; ++i) out.push_back({1.0 + 8.0 * i / std::max(count - 1, 1), 5.0 + (i % 2), 0.0});
    return out;
}

class SolidWireframeTest : public test::EntityDrawingTest {
protected:
    void SetUp() override {
        EntityDrawingTest::SetUp();
        start(kEntitySolid3d, 10.0);
        OpenStream* out = dbStreamOpenWrite(sat.create(4096));
        const std::string text(1300, 'x');  // more than two reads of 512
        dbStreamPutBytes(out, text.data(), text.size());
        dbStreamCloseWrite(out);
        parameters.satText = sat.get();
        parameters.drawing = drawing;
        parameters.matrices = matrices.data();
        parameters.identity = 77;
        parameters.curveResolution = 12;
    }
    void TearDown() override {
        dbFailAllocationAfter(-1);
        EntityDrawingTest::TearDown();
    }

    OwnedStream sat;
    SolidHookParameters parameters;
};

TEST_F(SolidWireframeTest, WiresBecomeStrokes) {
    const struct {
        const char* name;
        int32_t kind;
        int vertices;
        size_t strokes;
    } cases[] = {
        {"a connected wire of one vertex draws nothing", kWireConnected, 1, 0},
        {"of two, one segment", kWireConnected, 2, 1},
        {"of five, four", kWireConnected, 5, 4},
        {"five separate vertices make two segments", kWireSeparateSegments, 5, 2},
        {"another kind draws nothing", 2, 5, 0},
        {"300 vertices", kWireConnected, 300, 299},
    };
    for (const auto& c : cases) {
        script().wires = {{c.kind, verticesAlongX(c.vertices)}};
        restart();
        EXPECT_EQ(genDrawSolidWires(parameters, scriptedRenderer), 0) << c.name;
        EXPECT_EQ(recorder.linesOf("lineTo").size(), c.strokes) << c.name;
    }
    EXPECT_EQ(script().textRead, std::string(1300, 'x')) << "the whole SAT text through the read callback";
    const SatCallbackRecord& record = script().record;
    EXPECT_EQ(record.outputValue, 12) << "the curve resolution";
    EXPECT_EQ(record.settingsWordA, 4);
    EXPECT_EQ(record.isoLineCount, 0);
    EXPECT_EQ(record.settingsWordB, 0);
}

TEST_F(SolidWireframeTest, TheBufferGrowsBy128AndAFailedGrowthDropsTheWire) {
    SolidDrawState state;
    state.parameters = &parameters;
    genWireBegin(kWireConnected, &state);
    for (const Point3& v : verticesAlongX(300)) genWireVertex(v.x, v.y, v.z, &state);
    EXPECT_EQ(state.wire.growths, 3);
    EXPECT_EQ(state.wire.vertices.size() + size_t(state.wire.freeSlots), 384u);
    restart();
    genWireEnd(&state);
    EXPECT_EQ(recorder.linesOf("lineTo").size(), 299u);
    EXPECT_TRUE(state.wire.vertices.empty());

    // The second growth fails: the wire is not drawn in part; the next wire is drawn whole.
    genWireBegin(kWireConnected, &state);
    const std::vector<Point3> many = verticesAlongX(200);
    for (size_t i = 0; i < many.size(); ++i) {
        if (i == 128) dbFailAllocationAfter(0);
        genWireVertex(many[i].x, many[i].y, many[i].z, &state);
    }
    dbFailAllocationAfter(-1);
    EXPECT_TRUE(state.wire.outOfMemory);
    restart();
    genWireEnd(&state);
    EXPECT_TRUE(recorder.linesOf("lineTo").empty());
    genWireBegin(kWireConnected, &state);
    for (const Point3& v : verticesAlongX(3)) genWireVertex(v.x, v.y, v.z, &state);
    genWireEnd(&state);
    EXPECT_EQ(recorder.linesOf("lineTo").size(), 2u);
}

// The default hook hands the text to the solids kernel: one that does not parse draws nothing;
// a solid without text never reaches the renderer.
TEST_F(SolidWireframeTest, TheDefaultHookAndASolidWithoutText) {
    EXPECT_EQ(gOutputHookTable->solid, &genDefaultSolidHook);
    EXPECT_EQ(genDefaultSolidHook(parameters), 0);
    EXPECT_TRUE(recorder.lines().empty());
    script().wires = {{kWireConnected, verticesAlongX(2)}};
    SolidHookParameters empty = parameters;
    empty.satText = nullptr;
    EXPECT_EQ(genDrawSolidWires(empty, scriptedRenderer), 0);
    EXPECT_TRUE(recorder.lines().empty());
}

std::vector<SolidHookParameters>& solidsSeen() {
    static std::vector<SolidHookParameters> seen;
    return seen;
}

int captureSolid(SolidHookParameters& parameters) {
    solidsSeen().push_back(parameters);
    return 0;
}

TEST_F(SolidWireframeTest, TheVectoriserHandsSolidsToTheirHook) {
    solidsSeen().clear();
    dbSetSolidHook(captureSolid);
    for (const uint16_t kind : {kEntitySolid3d, kEntityRegion, kEntityBody}) {
        EntityRecord solid = entity(kind);
        solid.bodyAs<AcisBody>().satText = sat;
        if (kind == kEntityBody) solid.header.flags |= kEntityAltCurveResolution;
        add(solid);
    }
    add(entity(kEntitySolid3d));  // without SAT text: the hook gets none (the default draws nothing)
    gOutputHookTable->curveResolution = 7;
    gOutputHookTable->curveResolutionAlt = 3;
    drawStrokes();
    dbSetSolidHook(genDefaultSolidHook);
    ASSERT_EQ(solidsSeen().size(), 4u);
    EXPECT_EQ(solidsSeen()[3].satText, nullptr);
    EXPECT_EQ(solidsSeen()[0].curveResolution, 7);
    EXPECT_EQ(solidsSeen()[2].curveResolution, 3);
    EXPECT_EQ(solidsSeen()[1].identity, solidsSeen()[0].identity + 1) << "each solid a pattern of its own";
    EXPECT_EQ(solidsSeen()[0].drawing, drawing);
    EXPECT_NE(solidsSeen()[0].satText, nullptr);
}

} // namespace
} // namespace tracemill
