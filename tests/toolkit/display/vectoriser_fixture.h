// Drawings built through the database API and drawn through the recording hook set, for the
// goldens of the entity vectoriser: entity builders, the lines a pass records of chosen slots,
// and a table runner that checks named cases against their goldens.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/entity_vectoriser.h"
#include "toolkit/display/entity_walk.h"

namespace tracemill::test {

class VectoriserFixture : public DisplayTest {
public:
    // What the cases' builders use.
    using DisplayTest::add;
    using DisplayTest::addLayer;
    using DisplayTest::begin;
    using DisplayTest::context;
    using DisplayTest::entity;
    using DisplayTest::insertOf;
    using DisplayTest::layerZero;
    using DisplayTest::lineFrom;
    using DisplayTest::lwpolyline;
    using DrawingTest::addBlock;
    using DrawingTest::drawing;
    using DrawingTest::nameInRoot;

    using Lines = std::vector<std::string>;

    // One golden: what a drawing built by `build` records of the slots named in `slots`
    // (empty: every slot), drawn once zoomed on the square view.
    struct Golden {
        const char* name;
        std::function<void(VectoriserFixture&)> build;
        std::set<std::string> slots;
        Lines expected;
    };

    void SetUp() override {
        DisplayTest::SetUp();
        recorder.clear();
    }

    // The recorded lines of the slots (empty: all).
    Lines recorded(const std::set<std::string>& slots) const {
        Lines out;
        for (const std::string& line : recorder.lines()) {
            const std::string slot = line.substr(0, line.find(' '));
            if (slots.empty() || slots.count(slot)) out.push_back(line);
        }
        return out;
    }

    // Each case on a fresh drawing: built, drawn, compared with its golden.
    void checkGoldens(const std::vector<Golden>& goldens) {
        for (const Golden& golden : goldens) {
            SCOPED_TRACE(golden.name);
            freshDrawing();
            golden.build(*this);
            if (!drawing->displayContext) begin();
            recorder.clear();
            ASSERT_EQ(genDrawDrawing(drawing), 1);
            const Lines got = recorded(golden.slots);
            EXPECT_EQ(got, golden.expected) << joined(got);
        }
    }

    // The lines as C++ text, for a golden that has to be written again.
    static std::string joined(const Lines& lines) {
        std::ostringstream out;
        for (const std::string& line : lines) out << "\"" << line << "\", ";
        return out.str();
    }

    // A new empty drawing in place of the fixture's (its display context goes with it).
    void freshDrawing() {
        dbFreeDrawing(drawing);
        drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
        ASSERT_NE(drawing, nullptr);
        *dbGetColorIndexMap() = kToolkitColourMap;
        dbSetDefaultLineweight(25);
        dbSetLineweightScale(-1.0);
        dbSetEntityFetchHook(nullptr);
        recorder.install();
    }

    // Draws model space without the walk's pass set-up but with what a list inherits at the
    // top, after one pass has made the context's current records: the result of the list.
    int vectoriseModelSpace(const DrawOrderTable* sortTable = nullptr) {
        ReferenceChain chain;
        dbRewindEntityList(drawing->modelSpace);
        return genVectoriseEntityList(drawing, drawing->modelSpace, kIdentityMatrix4, 7,
                                      &context().currentLinetype, nullptr, 0, 0, 0, 0, chain, sortTable);
    }

    EntityRecord point(Point3 at) {
        EntityRecord e = entity(kEntityPoint);
        e.bodyAs<PointBody>().point = at;
        return e;
    }
    EntityRecord circle(Point3 centre, double radius) {
        EntityRecord e = entity(kEntityCircle);
        e.bodyAs<CircleBody>() = {centre, radius};
        return e;
    }
    EntityRecord arc(Point3 centre, double radius, double startDegrees, double endDegrees) {
        EntityRecord e = entity(kEntityArc);
        e.bodyAs<ArcBody>() = {centre, radius, startDegrees * kRadiansPerDegree, endDegrees * kRadiansPerDegree};
        return e;
    }
    EntityRecord solid(uint16_t type, std::array<Point3, 4> corners) {
        EntityRecord e = entity(type);
        e.bodyAs<SolidBody>().corners = corners;
        return e;
    }
    EntityRecord face(std::array<Point3, 4> corners, int16_t invisibleEdges) {
        EntityRecord e = entity(kEntityFace3d);
        e.bodyAs<FaceBody>() = {corners, invisibleEdges};
        return e;
    }
    EntityRecord infiniteLine(uint16_t type, Point3 base, Point3 direction) {
        EntityRecord e = entity(type);
        e.bodyAs<InfiniteLineBody>() = {base, direction};
        return e;
    }
    EntityRecord viewport(Point3 centre, double width, double height, int32_t statusFlags = 0) {
        EntityRecord e = entity(kEntityViewport);
        ViewportBody& body = e.bodyAs<ViewportBody>();
        body.centre = centre;
        body.width = width;
        body.height = height;
        body.statusFlags = statusFlags;
        e.header.flags |= kEntityInPaperSpace;
        return e;
    }
    EntityRecord vertex(Point3 at, uint8_t flags = 0) {
        EntityRecord e = entity(kEntityVertex);
        e.bodyAs<VertexBody>().point = at;
        e.bodyAs<VertexBody>().flags = flags;
        return e;
    }
    // A POLYLINE with its vertices and SEQEND, appended to model space (or the list given).
    void addPolyline(int16_t flags, const std::vector<EntityRecord>& vertices, EntityList* list = nullptr) {
        EntityRecord polyline = entity(kEntityPolyline);
        polyline.bodyAs<PolylineBody>().flags = flags;
        add(polyline, list);
        for (const EntityRecord& v : vertices) add(v, list);
        add(entity(kEntitySequenceEnd), list);
    }
    Handle addBlockOf(const std::string& name, std::vector<EntityRecord> entities) {
        const Handle block = addBlock(name);
        for (EntityRecord& e : entities) add(std::move(e), dbGetBlockEntityList(drawing, block));
        return block;
    }
    // The class number of RTEXT, the class added when the drawing has none.
    uint16_t rtextClass() {
        if (const uint16_t type = dbClassRtext(drawing->classes)) return type;
        return dbAddClass(drawing->classes, "RTEXT", "RText", "AcadRText", 0, kClassOfEntities, 0);
    }
    LayerRecord* layerRecord(Handle handle) {
        for (auto& node : drawing->layers) {
            if (node.record.handle == handle) return &node.record;
        }
        return nullptr;
    }
    // A linetype of one dash and one gap, `length` long each.
    Handle addDashedLinetype(const std::string& name, double length) {
        LinetypeRecord linetype;
        linetype.name = name;
        linetype.handle = dbNewHandle(*drawing);
        linetype.dashCount = 2;
        linetype.patternLength = 2 * length;
        linetype.dashes[0].length = length;
        linetype.dashes[1].length = -length;
        EXPECT_EQ(dbLtypeAdd(drawing, linetype), 1);
        return linetype.handle;
    }

    static constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
    static inline const ColorIndexMap kToolkitColourMap = [] {
        ColorIndexMap map;
        for (size_t i = 0; i < map.size(); ++i) map[i] = int16_t(i <= 16 ? i : 15);
        return map;
    }();
};

} // namespace tracemill::test
