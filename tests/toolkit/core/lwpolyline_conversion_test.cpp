// LWPOLYLINE entities written for formats without them: a POLYLINE, its VERTEX entities and a
// SEQEND, with handles from the run reserved before the save.
#include "toolkit/core/lwpolyline_conversion.h"

#include <gtest/gtest.h>

#include <vector>

#include "drawing_fixture.h"

namespace tracemill {
namespace {

using test::DrawingTest;

class LwpolylineConversion : public DrawingTest {
protected:
    EntityRecord lwpolyline(int16_t flags, LwpolylineVertices vertices, double constantWidth = 0.0) {
        EntityRecord entity;
        entity.header.type = dbClassLwpolyline(drawing->classes);
        dbInitEntity(drawing, entity);
        entity.header.handle = dbNewHandle(*drawing);
        entity.header.colour = 3;
        entity.header.reactors = {Handle(0x300)};
        entity.header.extensionDictionary = Handle(0x301);
        OpenStream* xdata = dbStreamOpenWrite(entity.header.xdata.create(4096));
        dbStreamPutByte(xdata, 1);
        dbStreamCloseWrite(xdata);
        LwpolylineBody& body = entity.bodyAs<LwpolylineBody>();
        body.flags = flags;
        body.constantWidth = constantWidth;
        body.elevation = 2.5;
        body.vertices = std::move(vertices);
        return entity;
    }

    // Writes the entity through a writer that collects what it is given.
    std::vector<EntityRecord> write(const EntityRecord& entity, int16_t version = 5) {
        std::vector<EntityRecord> written;
        EXPECT_EQ(dbWriteLwpolyAsPolyline(drawing, version, conversion, entity,
                                          [&](const EntityRecord& e) {
                                              written.push_back(e);
                                              return 1;
                                          }),
                  1);
        return written;
    }

    LwpolyConversion conversion;
};

TEST_F(LwpolylineConversion, BulgesAndWidthsBecomeVertices) {
    const EntityRecord source = lwpolyline(kLwpolylineHasBulges | kLwpolylineHasWidths | kLwpolylineClosed,
                                           {{{0, 0}, 1.0, 0.0, 0.5}, {{4, 0}, -0.5, 0.5, 0.5}, {{4, 3}, 0.0, 0.0, 0.0}});
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, source), 1);
    const Handle seed = drawing->handleSeed;
    ASSERT_EQ(dbReserveLwpolyHandles(drawing, conversion), 1);
    EXPECT_EQ(drawing->handleSeed, Handle(seed.value + 4 + 2)) << "three vertices and the SEQEND, and two more";

    const std::vector<EntityRecord> written = write(source);
    ASSERT_EQ(written.size(), 5u);
    const EntityRecord& polyline = written[0];
    EXPECT_EQ(polyline.header.type, kEntityPolyline);
    EXPECT_EQ(polyline.header.handle, source.header.handle);
    EXPECT_EQ(polyline.header.colour, 3);
    EXPECT_EQ(polyline.header.xdata, source.header.xdata);
    EXPECT_EQ(polyline.header.reactors, source.header.reactors);
    PolylineBody expectedPolyline;
    expectedPolyline.flags = 1;
    expectedPolyline.elevation = 2.5;
    EXPECT_EQ(polyline.bodyAs<PolylineBody>(), expectedPolyline);

    struct Vertex {
        Point3 point;
        double bulge, start, end;
        int16_t hasStart, hasEnd;
    };
    const std::vector<Vertex> expected = {
        {{0, 0, 0}, 1.0, 0.0, 0.5, 0, 1}, {{4, 0, 0}, -0.5, 0.5, 0.5, 1, 1}, {{4, 3, 0}, 0.0, 0.0, 0.0, 0, 0}};
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const EntityRecord& vertex = written[i + 1];
        EXPECT_EQ(vertex.header.type, kEntityVertex);
        EXPECT_EQ(vertex.header.handle, Handle(seed.value + 1 + i)) << "from the reserved run";
        EXPECT_EQ(vertex.header.layer, source.header.layer);
        EXPECT_EQ(vertex.header.colour, 3);
        EXPECT_FALSE(vertex.header.xdata) << "extended data stays with the POLYLINE";
        EXPECT_TRUE(vertex.header.reactors.empty());
        EXPECT_TRUE(vertex.header.extensionDictionary.isNull());
        const VertexBody& body = vertex.bodyAs<VertexBody>();
        EXPECT_EQ(body.point, expected[i].point);
        EXPECT_EQ(body.bulge, expected[i].bulge);
        EXPECT_EQ(body.startWidth, expected[i].start);
        EXPECT_EQ(body.endWidth, expected[i].end);
        EXPECT_EQ(body.hasStartWidth, expected[i].hasStart);
        EXPECT_EQ(body.hasEndWidth, expected[i].hasEnd);
    }
    EXPECT_EQ(written[4].header.type, kEntitySequenceEnd);
    EXPECT_EQ(written[4].header.handle, Handle(seed.value + 4));
    EXPECT_TRUE(written[4].body.holds<std::monostate>());
}

TEST_F(LwpolylineConversion, AConstantWidthIsThePolylinesWidth) {
    const EntityRecord source =
        lwpolyline(kLwpolylineConstantWidth | kLwpolylineHasWidths | kLwpolylineContinuousLinetype,
                   {{{0, 0}, 0.7, 0.1, 0.2}, {{1, 0}, 0.0, 0.3, 0.4}}, 0.5);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, source), 1);
    ASSERT_EQ(dbReserveLwpolyHandles(drawing, conversion), 1);
    const std::vector<EntityRecord> written = write(source);
    ASSERT_EQ(written.size(), 4u);
    const PolylineBody& polyline = written[0].bodyAs<PolylineBody>();
    EXPECT_EQ(polyline.defaultStartWidth, 0.5);
    EXPECT_EQ(polyline.defaultEndWidth, 0.5);
    EXPECT_EQ(polyline.flags, 128);
    for (const EntityRecord& vertex : {written[1], written[2]}) {
        EXPECT_EQ(vertex.bodyAs<VertexBody>().hasStartWidth, 0);
        EXPECT_EQ(vertex.bodyAs<VertexBody>().hasEndWidth, 0);
        EXPECT_EQ(vertex.bodyAs<VertexBody>().bulge, 0.0) << "no bulges stored";
    }
}

TEST_F(LwpolylineConversion, TheRunCoversEveryBlockAndRunsOut) {
    const EntityRecord inModel = lwpolyline(0, {{{0, 0}}, {{1, 1}}});
    const EntityRecord inBlock = lwpolyline(0, {{{0, 0}}, {{2, 2}}, {{3, 3}}});
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, inModel), 1);
    ASSERT_EQ(dbAppendEntity(drawing, dbGetBlockEntityList(drawing, addBlock("B")), inBlock), 1);
    const Handle seed = drawing->handleSeed;
    ASSERT_EQ(dbReserveLwpolyHandles(drawing, conversion), 1);
    EXPECT_EQ(drawing->handleSeed, Handle(seed.value + 3 + 4 + 2));
    EXPECT_EQ(write(inBlock).back().header.handle, Handle(seed.value + 4));
    EXPECT_EQ(write(inModel).back().header.handle, Handle(seed.value + 7));
    int calls = 0;
    EXPECT_EQ(dbWriteLwpolyAsPolyline(drawing, 5, conversion, inModel,
                                      [&](const EntityRecord&) { return ++calls; }),
              0)
        << "no handles left";
    EXPECT_EQ(calls, 0);
}

TEST_F(LwpolylineConversion, WithoutAReservationNothingIsConverted) {
    const EntityRecord source = lwpolyline(0, {{{0, 0}}, {{1, 1}}});
    int calls = 0;
    EXPECT_EQ(dbWriteLwpolyAsPolyline(drawing, 5, conversion, source, [&](const EntityRecord&) { return ++calls; }),
              0);
    EXPECT_EQ(calls, 0);
}

TEST_F(LwpolylineConversion, OtherEntitiesAndNewerFilesPassUnchanged) {
    const EntityRecord source = lwpolyline(0, {{{0, 0}}, {{1, 1}}});
    EXPECT_EQ(write(source, kFirstVersionWithLwpolyline), std::vector<EntityRecord>{source});
    const EntityRecord other = line(3.0);
    EXPECT_EQ(write(other, 0), std::vector<EntityRecord>{other});
}

TEST_F(LwpolylineConversion, AFailingWriterStopsTheConversion) {
    const EntityRecord source = lwpolyline(0, {{{0, 0}}, {{1, 1}}, {{2, 2}}});
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, source), 1);
    ASSERT_EQ(dbReserveLwpolyHandles(drawing, conversion), 1);
    int calls = 0;
    EXPECT_EQ(dbWriteLwpolyAsPolyline(drawing, 4, conversion, source,
                                      [&](const EntityRecord&) { return ++calls < 2 ? 1 : 0; }),
              0);
    EXPECT_EQ(calls, 2);
}

TEST_F(LwpolylineConversion, DrawingsWithoutTheClassReserveNothing) {
    const ClassEntry noClasses[1] = {};
    Drawing* plain = dbCreateDrawing(nullptr, noClasses, 0, 5);
    ASSERT_NE(plain, nullptr);
    ASSERT_EQ(dbClassLwpolyline(plain->classes), 0);
    const Handle seed = plain->handleSeed;
    EXPECT_EQ(dbReserveLwpolyHandles(plain, conversion), 1);
    EXPECT_EQ(plain->handleSeed, seed);
    EXPECT_TRUE(conversion.counter.isNull());
    dbFreeDrawing(plain);
}

} // namespace
} // namespace tracemill
