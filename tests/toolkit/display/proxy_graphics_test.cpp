// Proxy graphics from small hand-made streams: the 4-byte-aligned readers, the records, the mesh
// and shell parsers, and the player's drawing of each record kind with the state records
// (colour, layer, linetype, fill, transforms, clip boundary) and damaged streams. A view of 10
// device units per drawing unit.
#include "toolkit/display/proxy/proxy_graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "entity_drawing_fixture.h"
#include "proxy_graphics_builder.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/proxy/proxy_mesh.h"
#include "toolkit/display/proxy/proxy_stream.h"

namespace tracemill {
namespace {

using test::ProxyBody;
using test::proxyStream;
using test::Stroke;

std::vector<uint8_t> bytesOf(const ProxyBody& body) { return body.bytes(); }

TEST(ProxyReaders, StringsAndArraysKeepTheStreamAligned) {
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t buffer;
        int count;  // what the reader gives
        std::string kept;
        size_t position;  // after the read
    } strings[] = {
        {"3 characters fill 4 bytes", bytesOf(ProxyBody().string("abc").longs({7})), 64, 4, "abc", 4},
        {"4 characters take 8", bytesOf(ProxyBody().string("abcd").longs({7})), 64, 5, "abcd", 8},
        {"cut to its buffer, still aligned", bytesOf(ProxyBody().string("abcdef").longs({7})), 3, 7, "ab", 8},
        {"no terminator", {'a', 'b', 'c'}, 64, 0, "", 0},
    };
    for (const auto& c : strings) {
        ProxyCursor cursor(c.bytes);
        std::string out;
        EXPECT_EQ(pgGetPaddedString(cursor, out, c.buffer), c.count) << c.name;
        EXPECT_EQ(out, c.kept) << c.name;
        EXPECT_EQ(cursor.position, c.position) << c.name;
    }

    const std::vector<uint8_t> shorts = bytesOf(ProxyBody().shorts({1, 2, 3}).longs({9}));
    ProxyCursor cursor(shorts);
    std::vector<int16_t> values;
    ASSERT_EQ(pgGetShortArray(cursor, 3, values), 1);
    EXPECT_EQ(values, (std::vector<int16_t>{1, 2, 3}));
    EXPECT_EQ(cursor.position, 8u) << "3 values and a pad";
    int32_t after = 0;
    ASSERT_EQ(pgGetLong(cursor, after), 1);
    EXPECT_EQ(after, 9);

    // Counts that the bytes cannot hold read nothing.
    const std::vector<uint8_t> few = bytesOf(ProxyBody().longs({1, 2}));
    ProxyCursor short_(few);
    std::vector<int32_t> longs;
    EXPECT_EQ(pgGetLongArray(short_, 3, longs), 0);
    EXPECT_EQ(pgGetLongArray(short_, -1, longs), 0);
    EXPECT_EQ(pgSkipPoints(short_, 1), 0);
    EXPECT_EQ(short_.position, 0u);
    EXPECT_EQ(pgGetLongArray(short_, 2, longs), 1);
}

// The first record of a stream, as pgReadRecord gives it.
ProxyRecord firstRecord(const std::vector<uint8_t>& stream, int* result = nullptr) {
    ProxyCursor cursor(stream);
    pgSkipHead(cursor);
    ProxyRecord record;
    const int read = pgReadRecord(cursor, record);
    if (result) *result = read;
    return record;
}

ProxyBody textWithOptions(const std::string& text, int32_t length) {
    return ProxyBody()
        .points({{1, 2, 0}, {0, 0, 1}, {1, 0, 0}})
        .string(text)
        .longs({length, 1})
        .doubles({0.5, 1.0, 0.0, 0.0})
        .longs({0, 0, 0, 0, 0})
        .string("romans.shx")
        .string("");
}

TEST(ProxyRecords, RecordsAsThePlayerReadsThem) {
    ProxyRecord record = firstRecord(proxyStream({{kProxyTextWithOptions, textWithOptions("ABCDEFGH", 5)}}));
    EXPECT_EQ(record.type, kProxyTextWithOptions);
    EXPECT_EQ(record.text.text, "ABCDE") << "a length of 5 shows 5 characters";
    EXPECT_EQ(record.text.fontFile, "romans.shx");
    EXPECT_EQ(record.text.height, 0.5);
    EXPECT_EQ(firstRecord(proxyStream({{kProxyTextWithOptions, textWithOptions("ABCDEFGH", -1)}})).text.text, "ABCDEFGH");

    EXPECT_EQ(firstRecord(proxyStream({{kProxyLinetype, ProxyBody().longs({-1})}})).value, kMlineLinetypeByLayer);
    EXPECT_EQ(firstRecord(proxyStream({{kProxyLinetype, ProxyBody().longs({-2})}})).value, kMlineLinetypeByBlock);
    EXPECT_EQ(firstRecord(proxyStream({{kProxyLinetype, ProxyBody().longs({3})}})).value, 3);

    // A body its record cannot hold is passed over by the record's size; a record shorter than
    // its head, or reaching past the stream, ends the stream.
    int read = 0;
    record = firstRecord(proxyStream({{kProxyPolyline, ProxyBody().longs({5}).point({1, 1, 1})}}), &read);
    EXPECT_EQ(read, 1);
    EXPECT_EQ(record.type, 0);
    EXPECT_EQ(record.next, 8u + 8u + 4u + 24u);
    firstRecord(proxyStream({{kProxyColour, ProxyBody().longs({1}), -9}}), &read);
    EXPECT_EQ(read, 0) << "size 3";
    firstRecord(proxyStream({{kProxyColour, ProxyBody().longs({1}), 4}}), &read);
    EXPECT_EQ(read, 0) << "past the stream";
}

TEST(ProxyMeshes, CountsOfMeshesAndShells) {
    // A mesh of 2 x 3 vertices: 7 edges and 2 faces, here with edge visibility and face colours.
    ProxyBody mesh;
    mesh.points({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}})
        .longs({kProxyVisibility, 0, 0, 0, 0, 0, 0, 0})
        .longs({kProxyColours})
        .shorts({1, 2})
        .longs({0});
    ProxyCursor cursor(mesh.bytes());
    ProxyMesh m;
    ASSERT_EQ(pgReadMesh(cursor, 2, 3, m), 1);
    EXPECT_EQ(m.edgeCount, 7);
    EXPECT_EQ(m.faceCount, 2);
    EXPECT_EQ(m.edges.visibility.size(), 7u);
    EXPECT_EQ(m.faces.colours, (std::vector<int16_t>{1, 2}));
    EXPECT_EQ(cursor.left(), 0u);

    ProxyCursor huge(mesh.bytes());
    EXPECT_EQ(pgReadMesh(huge, 0x7FFFFFFF, 0x7FFFFFFF, m), 0) << "counts that overflow";
    ProxyCursor negative(mesh.bytes());
    EXPECT_EQ(pgReadMesh(negative, -2, -3, m), 0);

    // A shell: a face of 4 and a hole of 3; 7 edges, 1 face.
    ProxyBody shell;
    shell.points({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {1, 1, 0}, {2, 1, 0}, {1, 2, 0}})
        .longs({9, 4, 0, 1, 2, 3, -3, 4, 5, 6})
        .longs({0, 0, 0});
    ProxyCursor s(shell.bytes());
    ProxyShell sh;
    ASSERT_EQ(pgReadShell(s, 7, sh), 1);
    EXPECT_EQ(sh.faceCount, 1);
    EXPECT_EQ(sh.edgeCount, 7);

    ProxyBody broken;
    broken.points({{0, 0, 0}}).longs({3, 5, 0, 0}).longs({0, 0, 0});
    ProxyCursor b(broken.bytes());
    EXPECT_EQ(pgReadShell(b, 1, sh), 0) << "a loop running past its list";
}

class ProxyPlayerTest : public test::EntityDrawingTest {
protected:
    void SetUp() override {
        EntityDrawingTest::SetUp();
        start(kEntityOfClassData, 10.0);
        context().linetypeEnable = 1;
        context().viewports[0].baseDeviceScale = 10.0;
        dashed.handle = dbNewHandle(*drawing);
        dashed.name = "DASHES";
        dashed.drawing = drawing;
        dashed.dashCount = 2;
        dashed.patternLength = 1.0;
        dashed.dashes[0].length = 0.5;
        dashed.dashes[1].length = -0.5;
        ASSERT_EQ(dbLtypeAdd(drawing, dashed), 1);
        layerColour4 = addLayer("FOUR", 4);
    }
    EntityPassValues values() const {
        EntityPassValues v = pass();
        v.byLayerColour = 7;
        v.byBlockColour = 2;
        v.byLayerLinetype = &dashed;
        v.byBlockLinetype = nullptr;
        return v;
    }
    int play(const std::vector<test::ProxyRecordImage>& records) {
        restart();
        return genPlayProxyGraphics(drawing, EntityHeader{}, proxyStream(records), values());
    }
    int32_t indexOfLayer(Handle handle) {
        int32_t index = 0;
        for (const auto& node : drawing->layers) {
            if (node.record.handle == handle) return index;
            ++index;
        }
        return -1;
    }

    LinetypeRecord dashed;
    Handle layerColour4;
};

ProxyBody segmentBody(Point3 a, Point3 b) { return ProxyBody().pointList({a, b}); }
ProxyBody squareBody() { return ProxyBody().pointList({{1, 1, 0}, {4, 1, 0}, {4, 4, 0}, {1, 4, 0}}); }

TEST_F(ProxyPlayerTest, PolylinesPolygonsAndTheFillRecord) {
    EXPECT_EQ(play({{kProxyPolyline, ProxyBody().pointList({{1, 1, 0}, {5, 1, 0}, {5, 5, 0}})}}), 1);
    EXPECT_EQ(strokes(), (std::set<Stroke>{stroke({1, 1, 0}, {5, 1, 0}), stroke({5, 1, 0}, {5, 5, 0})}));

    drawing->header->fillmode = 0;
    play({{kProxyPolygon, squareBody()}});
    EXPECT_EQ(strokes().size(), 4u) << "n lines for n points, the closing one included";
    EXPECT_TRUE(fills().empty());

    drawing->header->fillmode = 1;
    play({{kProxyPolygon, squareBody()}});
    EXPECT_TRUE(strokes().empty());
    EXPECT_EQ(fills().size(), 1u);

    // A fill record governs the rest of its stream only.
    play({{kProxyFill, ProxyBody().longs({0})}, {kProxyPolygon, squareBody()}});
    EXPECT_EQ(strokes().size(), 4u);
    EXPECT_EQ(drawing->header->fillmode, 1) << "FILLMODE is back after the stream";
}

TEST_F(ProxyPlayerTest, MeshesAndShells) {
    ProxyBody points;
    points.points({{1, 1, 0}, {3, 1, 0}, {5, 1, 0}, {1, 3, 0}, {3, 3, 0}, {5, 3, 0}});
    auto mesh = [&](bool hiddenEdges) {
        ProxyBody body;
        body.longs({2, 3});
        for (uint8_t b : points.bytes()) body.raw({b});
        if (hiddenEdges) body.longs({kProxyVisibility, 0, 0, 0, 0, 0, 0, 0});
        else body.longs({0});
        body.longs({0, 0});
        return body;
    };
    drawing->header->fillmode = 1;
    play({{kProxyMesh, mesh(false)}});
    EXPECT_EQ(strokes().size(), 7u) << "the edges";
    EXPECT_EQ(fills().size(), 2u) << "the faces filled";
    play({{kProxyMesh, mesh(true)}});
    EXPECT_TRUE(strokes().empty()) << "edges of visibility 0 are not drawn";
    EXPECT_EQ(fills().size(), 2u);
    drawing->header->fillmode = 0;
    play({{kProxyMesh, mesh(true)}});
    EXPECT_EQ(strokes().size(), 7u) << "the faces' outlines, the middle edge shared";
    EXPECT_TRUE(fills().empty());

    ProxyBody shell;
    shell.longs({7})
        .points({{1, 1, 0}, {8, 1, 0}, {8, 8, 0}, {1, 8, 0}, {3, 3, 0}, {5, 3, 0}, {3, 5, 0}})
        .longs({9, 4, 0, 1, 2, 3, -3, 4, 5, 6})
        .longs({0, 0, 0});
    play({{kProxyShell, shell}});
    EXPECT_EQ(strokes(), (std::set<Stroke>{stroke({1, 1, 0}, {8, 1, 0}), stroke({8, 1, 0}, {8, 8, 0}),
                                          stroke({8, 8, 0}, {1, 8, 0}), stroke({1, 8, 0}, {1, 1, 0})}))
        << "the face's four edges; the hole is passed over";
}

TEST_F(ProxyPlayerTest, ColourLayerAndLinetypeRecords) {
    auto colours = [&] { return recorder.linesOf("color"); };
    const struct {
        const char* name;
        std::vector<test::ProxyRecordImage> records;
        std::vector<std::string> sent;
    } cases[] = {
        {"0 is the block's colour", {{kProxyColour, ProxyBody().longs({0})}}, {"color 2"}},
        {"256 the layer's", {{kProxyColour, ProxyBody().longs({256})}}, {"color 7"}},
        {"an index as it is", {{kProxyColour, ProxyBody().longs({5})}}, {"color 5"}},
        {"no colour beyond the table", {{kProxyColour, ProxyBody().longs({300})}}, {}},
        {"a layer's colour while the colour is by layer",
         {{kProxyLayer, ProxyBody().longs({indexOfLayer(layerColour4)})}}, {"color 4"}},
        {"-1 leaves the layer", {{kProxyLayer, ProxyBody().longs({-1})}}, {}},
        {"a layer beyond the table is passed over", {{kProxyLayer, ProxyBody().longs({4000})}}, {}},
        {"not while a colour is set",
         {{kProxyColour, ProxyBody().longs({5})}, {kProxyLayer, ProxyBody().longs({indexOfLayer(layerColour4)})}},
         {"color 5"}},
    };
    for (const auto& c : cases) {
        play(c.records);
        EXPECT_EQ(colours(), c.sent) << c.name;
    }

    // Linetype -1 is the current layer's linetype (dashes), -2 the block's (here continuous).
    play({{kProxyLinetype, ProxyBody().longs({-1})}, {kProxyPolyline, segmentBody({1, 5, 0}, {9, 5, 0})}});
    EXPECT_GT(strokes().size(), 4u) << "dashes";
    play({{kProxyLinetype, ProxyBody().longs({-1})}, {kProxyLinetype, ProxyBody().longs({-2})},
          {kProxyPolyline, segmentBody({1, 5, 0}, {9, 5, 0})}});
    EXPECT_EQ(strokes().size(), 1u);
    play({{kProxyLinetype, ProxyBody().longs({9999})}, {kProxyPolyline, segmentBody({1, 5, 0}, {9, 5, 0})}});
    EXPECT_EQ(strokes().size(), 1u) << "a linetype beyond the table leaves the current one";
}

// Circles and arcs: every chord point on the circle; a three-point arc runs through its
// middle point.
TEST_F(ProxyPlayerTest, CirclesAndArcs) {
    const test::DevicePair centre = device({5, 5, 0});
    auto onCircle = [&](double radius) {
        for (const Stroke& s : strokes())
            for (const test::DevicePair& p : {s.first, s.second})
                EXPECT_NEAR(std::hypot(p.first - centre.first, p.second - centre.second), radius * 10.0, 1.5);
    };
    play({{kProxyCircle, ProxyBody().point({5, 5, 0}).doubles({3}).point({0, 0, 1})}});
    EXPECT_GE(strokes().size(), 8u);
    onCircle(3);
    play({{kProxyCircle3P, ProxyBody().points({{8, 5, 0}, {5, 8, 0}, {2, 5, 0}})}});
    EXPECT_GE(strokes().size(), 8u);
    onCircle(3);

    // The half above and the half below the centre, by the middle point.
    const int up = device({5, 8, 0}).second - centre.second;
    for (const double side : {1.0, -1.0}) {
        play({{kProxyArc3P, ProxyBody().points({{8, 5, 0}, {5, 5 + 3 * side, 0}, {2, 5, 0}}).longs({0})}});
        onCircle(3);
        EXPECT_GE(strokes().size(), 4u);
        for (const Stroke& s : strokes())
            for (const test::DevicePair& p : {s.first, s.second}) EXPECT_GE((p.second - centre.second) * up * side, -1);
    }
    // A quarter from the start vector counter-clockwise.
    play({{kProxyArc, ProxyBody().point({5, 5, 0}).doubles({3}).point({0, 0, 1}).point({1, 0, 0}).doubles({1.5707963267948966}).longs({0})}});
    onCircle(3);
    for (const Stroke& s : strokes())
        for (const test::DevicePair& p : {s.first, s.second}) {
            EXPECT_GE(p.first, centre.first - 1);
            EXPECT_GE((p.second - centre.second) * up, -1);
        }
}

TEST_F(ProxyPlayerTest, TransformsTextAndClipBoundary) {
    // A pushed transform moves what follows until it is popped.
    ProxyBody move;
    move.doubles({1, 0, 0, 2, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1});
    play({{kProxyPushTransform, move}, {kProxyPolyline, segmentBody({0, 0, 0}, {1, 0, 0})}, {kProxyPopTransform, ProxyBody()},
          {kProxyPolyline, segmentBody({5, 5, 0}, {6, 5, 0})}});
    EXPECT_EQ(strokes(), (std::set<Stroke>{stroke({2, 1, 0}, {3, 1, 0}), stroke({5, 5, 0}, {6, 5, 0})}));

    // Text in the scratch style: strokes of the built-in font at the text's place.
    play({{kProxyText, ProxyBody().points({{2, 2, 0}, {0, 0, 1}, {1, 0, 0}}).doubles({1, 1, 0}).string("AB")}});
    ASSERT_GT(strokes().size(), 3u);
    for (const Stroke& s : strokes()) {
        EXPECT_GE(std::min(s.first.first, s.second.first), device({2, 0, 0}).first - 1);
        EXPECT_LE(std::max(s.first.first, s.second.first), device({4, 0, 0}).first);
    }

    // A clip boundary of two corners clips what follows to its rectangle, for this stream only.
    play({{kProxyClipBoundary, ProxyBody().point({0, 0, 1}).point({0, 0, 0}).longs({2}).doubles({0, 0, 5, 10})},
          {kProxyPolyline, segmentBody({1, 5, 0}, {9, 5, 0})}});
    ASSERT_EQ(strokes().size(), 1u);
    EXPECT_LE(std::max(strokes().begin()->first.first, strokes().begin()->second.first), device({5, 0, 0}).first + 1);
    EXPECT_EQ(context().clipBoundaries.size(), 1u) << "popped at the end: only the bottom entry";
}

TEST_F(ProxyPlayerTest, DamagedStreams) {
    // A polyline whose count its record cannot hold is passed over; the next record is drawn.
    play({{kProxyPolyline, ProxyBody().longs({1000}).point({1, 1, 0})}, {kProxyPolyline, segmentBody({1, 5, 0}, {9, 5, 0})}});
    EXPECT_EQ(strokes().size(), 1u);
    // A record shorter than its head ends the stream.
    play({{kProxyColour, ProxyBody().longs({3}), -6}, {kProxyPolyline, segmentBody({1, 5, 0}, {9, 5, 0})}});
    EXPECT_TRUE(strokes().empty());
    // A mesh whose counts overflow is passed over.
    play({{kProxyMesh, ProxyBody().longs({0x10000, 0x10000}).point({0, 0, 0})}, {kProxyPolyline, segmentBody({1, 5, 0}, {9, 5, 0})}});
    EXPECT_EQ(strokes().size(), 1u);
    // A stream cut inside its head draws nothing.
    restart();
    EXPECT_EQ(genPlayProxyGraphics(drawing, EntityHeader{}, std::vector<uint8_t>{1, 2, 3}, values()), 1);
    EXPECT_TRUE(recorder.lines().empty());
    // No stream at all.
    EXPECT_EQ(genDrawProxyGraphics(drawing, EntityHeader{}, nullptr, values()), 0);
    EXPECT_EQ(dbGetError(), kErrorReadFromNullStream);
}

} // namespace
} // namespace tracemill
