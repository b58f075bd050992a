#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "render_test_support.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/sat/sat_memory_stream.h"

namespace tracemill {
namespace {

using test::RecordedPrimitive;
using test::SolidDrawingHost;

class SolidDrawingBridgeTest : public test::AcisKernelTest {};

TEST_F(SolidDrawingBridgeTest, TheRecordSetsTheRenderer) {
    const struct {
        int32_t isoLines;
        int32_t hint;
    } hints[] = {{0, 5}, {-1, 5}, {11, 5}, {1, 1}, {10, 10}, {7, 7}};
    for (const auto& h : hints) {
        SatCallbackRecord record;
        record.isoLineCount = h.isoLines;
        EXPECT_EQ(satRendererSettings(record).isoLineCount, h.hint) << h.isoLines;
    }
    SatCallbackRecord record;
    record.settingsWordA = 4;
    record.settingsWordB = 2;
    const GL_RendererSettings settings = satRendererSettings(record);
    EXPECT_EQ(settings.curveCounts, (std::array<int32_t, 5>{4, 2, 0, 4, 4}));
    test::expectVectorNear(settings.viewDirection, aVector(1, 1, 1) / std::sqrt(3.0), 1e-15);
    EXPECT_EQ(settings.upVector, aVector(0, 1, 0));
    EXPECT_EQ(settings.switches, (std::array<bool, 4>{true, true, true, true}));
}

// Texts that do not parse into a model draw nothing; the call answers 0 whatever happens.
TEST_F(SolidDrawingBridgeTest, TextsWithoutAModelDrawNothing) {
    std::string cube = test::satFixture("cube_400.sat");
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"version 102", "102" + cube.substr(3)},
        {"version 700", "700" + cube.substr(3)},
        {"no body", test::satHeader(400) + "point $-1 1 2 3 #\n"},
        {"header cut short", "400 0 1"},
    };
    for (const auto& c : cases) {
        SolidDrawingHost host(c.text);
        EXPECT_EQ(host.draw(), 0) << c.name;
        EXPECT_TRUE(host.primitives.empty()) << c.name;
        EXPECT_GT(host.reads, 0) << c.name;
    }
}

// A text that ends in the middle of a record draws what it holds; everything is freed (the
// sanitizer build checks).
TEST_F(SolidDrawingBridgeTest, ATextCutShortIsDrawnAsFarAsItGoes) {
    const std::string cube = test::satFixture("cube_400.sat");
    for (size_t length : {size_t(40), cube.size() / 3, cube.size() / 2, cube.size() - 30}) {
        SolidDrawingHost host(cube.substr(0, length));
        EXPECT_EQ(host.draw(), 0);
        EXPECT_LE(host.primitives.size(), 12u);
        EXPECT_EQ(host.unbalanced, 0);
        EXPECT_EQ(host.nonFinite, 0);
    }
}

// The text comes through the read callback in pieces of any size up to 512 bytes; a count
// above the size asked for is taken as the size, a negative count ends the text.
TEST_F(SolidDrawingBridgeTest, TheReadCallbackFeedsTheText) {
    const std::string cylinder = test::satFixture("render_cylinder_400.sat");
    SolidDrawingHost whole(cylinder);
    whole.draw();
    ASSERT_EQ(whole.primitives.size(), 3u);
    EXPECT_EQ(whole.reads, int(cylinder.size() / 512) + 2);

    struct Feed {
        const std::string* text;
        size_t offset;
        int mode;  // 0: one byte a time; 1: claims 100 more than asked; 2: -1 after the first piece
    };
    for (int mode = 0; mode < 3; ++mode) {
        SolidDrawingHost host(cylinder);
        Feed feed{&cylinder, 0, mode};
        // The host's own callbacks record, this read feeds.
        static Feed* current;
        current = &feed;
        host.record.read = [](char* buffer, int32_t maximum, void*) -> int32_t {
            Feed& f = *current;
            if (f.mode == 2 && f.offset > 0) return -1;
            const size_t n = std::min(f.mode == 0 ? size_t(1) : size_t(maximum), f.text->size() - f.offset);
            std::memcpy(buffer, f.text->data() + f.offset, n);
            f.offset += n;
            return n == 0 ? 0 : int32_t(n) + (f.mode == 1 ? 100 : 0);
        };
        EXPECT_EQ(host.draw(), 0);
        if (mode < 2) {
            ASSERT_EQ(host.primitives.size(), whole.primitives.size()) << mode;
            for (size_t i = 0; i < host.primitives.size(); ++i) EXPECT_EQ(host.primitives[i].vertices, whole.primitives[i].vertices);
        } else {
            EXPECT_TRUE(host.primitives.empty());
        }
    }
}

TEST_F(SolidDrawingBridgeTest, TheStreamBufferRefusesWritingAndPutsBackWhatItRead) {
    SolidDrawingHost host("400 0 1 0");
    SatMemoryStream buffer(host.record);
    EXPECT_EQ(buffer.sputc('x'), std::char_traits<char>::eof());
    EXPECT_EQ(buffer.sungetc(), std::char_traits<char>::eof());  // nothing read yet
    EXPECT_EQ(buffer.sbumpc(), '4');
    EXPECT_EQ(buffer.sbumpc(), '0');
    EXPECT_EQ(buffer.sputbackc('0'), '0');
    EXPECT_EQ(buffer.sbumpc(), '0');
}

// Missing callbacks are skipped; a callback that throws ends the call, which answers 0 and
// leaves the kernel's tolerances as they were.
TEST_F(SolidDrawingBridgeTest, MissingAndFailingCallbacks) {
    const std::string cube = test::satFixture("cube_400.sat");
    SolidDrawingHost noRead(cube);
    noRead.record.read = nullptr;
    EXPECT_EQ(noRead.draw(), 0);
    EXPECT_TRUE(noRead.primitives.empty());

    SolidDrawingHost onlyVertices(cube);
    onlyVertices.record.begin = nullptr;
    onlyVertices.record.end = nullptr;
    EXPECT_EQ(onlyVertices.draw(), 0);  // vertices outside a primitive: counted as unbalanced
    EXPECT_EQ(onlyVertices.unbalanced, 24);

    geometryTolerances().BasicDistanceTol = 0.125;
    geometryTolerances().coincTol = 0.25;
    SolidDrawingHost throwing(cube);
    throwing.record.vertex = [](double, double, double, void*) { throw std::runtime_error("host failure"); };
    EXPECT_EQ(throwing.draw(), 0);
    EXPECT_EQ(geometryTolerances().BasicDistanceTol, 0.125);
    EXPECT_EQ(geometryTolerances().coincTol, 0.25);

    SolidDrawingHost drawn(cube);
    drawn.draw();
    EXPECT_EQ(drawn.primitives.size(), 12u);
    EXPECT_EQ(geometryTolerances().BasicDistanceTol, 0.125);
}

// Word 5 sets the segments per span of the curve emitters; 0 takes their defaults. A circle
// is a NURBS arc of 4 spans (9 control points, order 3).
TEST_F(SolidDrawingBridgeTest, WordFiveSetsTheSegmentsOfCurves) {
    for (const auto& [resolution, vertices] : {std::pair{0, 25u}, {10, 41u}, {1, 5u}}) {
        SolidDrawingHost host(test::satFixture("render_cylinder_400.sat"), resolution);
        host.draw();
        ASSERT_EQ(host.count(3), 2);
        for (const RecordedPrimitive& p : host.primitives) {
            if (p.mode == 3) {
                EXPECT_EQ(p.vertices.size(), vertices) << resolution;
            }
        }
    }
}

// A body placed where its vertices overflow: the primitives with a vertex that is not finite
// are dropped whole; no such vertex reaches the host.
TEST_F(SolidDrawingBridgeTest, PrimitivesWithVerticesThatAreNotFiniteAreDropped) {
    std::string text = test::satFixture("render_transformed_cube_400.sat");
    const std::string placement = "5.0 6.0 7.0 2.0 rotate";
    text.replace(text.find(placement), placement.size(), "1e308 6.0 7.0 1e308 rotate");
    SolidDrawingHost host(text);
    EXPECT_EQ(host.draw(), 0);
    EXPECT_EQ(host.nonFinite, 0);
    EXPECT_GT(host.primitives.size(), 0u);
    EXPECT_LT(host.primitives.size(), 12u);
}

} // namespace
} // namespace tracemill
