#include <gtest/gtest.h>

#include <vector>

#include "app/image/dib.h"
#include "grid_device_context.h"
#include "metafile_writer.h"
#include "platform/ole/metafile_format.h"
#include "app/render/metafile_player.h"

namespace tracemill::test {
namespace {

using namespace tracemill::ole;

constexpr gdi::ColorRef kWhite = 0xFFFFFF;
constexpr gdi::ColorRef kRed = gdi::rgb(255, 0, 0);
constexpr gdi::ColorRef kGreen = gdi::rgb(0, 255, 0);
constexpr gdi::ColorRef kBlue = gdi::rgb(0, 0, 255);
constexpr gdi::ColorRef kYellow = gdi::rgb(255, 255, 0);

// A 2 x 2 24-bit packed bitmap: red, green on the top row, blue, yellow below.
std::vector<uint8_t> fourColourDib() {
    CDib dib;
    EXPECT_TRUE(dib.Create(2, 2, 24));
    uint8_t* bits = dib.GetBits();
    // Rows of 8 bytes, the bottom row first, blue, green, red per pixel.
    const uint8_t rows[16] = {255, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    std::copy(rows, rows + 16, bits);
    return PackedDibBytes(*dib.GetHandle());
}

TEST(MetafilePlayer, WindowMapsOntoTheFrameWithPensBrushesAndShapes) {
    GridContext dc(40, 40);
    MetafileWriter w;
    w.window(0, 0, 100, 100)
        .pen(kMetaPenNull, 0, 0)
        .brush(0, kRed)
        .select(0)
        .select(1)
        .record(kMetaRectangle, {50, 50, 10, 10})  // bottom, right, top, left
        .pen(0, 0, kBlue)
        .select(2)
        .poly(kMetaPolyline, {0, 90, 100, 90});
    ASSERT_TRUE(PlayMetafile(dc, w.bytes(), {0, 0, 40, 40}));
    EXPECT_EQ(dc.at(4, 4), kRed);
    EXPECT_EQ(dc.at(19, 19), kRed);
    EXPECT_EQ(dc.at(21, 21), kWhite);
    EXPECT_EQ(dc.at(3, 3), kWhite);
    EXPECT_EQ(dc.at(10, 36), kBlue) << "y 90 of 100 lands at 36 of 40";
    // The context's own pen and brush are back.
    EXPECT_EQ(dc.pen().color, 0u);
    EXPECT_EQ(dc.brush().color, kWhite);
}

TEST(MetafilePlayer, FrameOffsetAndMirroredFrameKeepThePictureUpright) {
    MetafileWriter w;
    w.window(0, 0, 10, 10).pen(kMetaPenNull, 0, 0).brush(0, kGreen).select(0).select(1)
        .poly(kMetaPolygon, {0, 0, 10, 0, 10, 5, 0, 5});  // the upper half
    const std::vector<uint8_t> metafile = w.bytes();
    GridContext down(20, 20);
    PlayMetafile(down, metafile, {10, 0, 20, 10});
    EXPECT_EQ(down.at(15, 2), kGreen);
    EXPECT_EQ(down.at(15, 7), kWhite);
    EXPECT_EQ(down.at(5, 2), kWhite);
    // A frame whose top lies below its bottom (a y-up mapping): the upper half stays on top.
    GridContext up(20, 20);
    up.setMapMode(gdi::MapMode::Anisotropic);
    up.setWindowExt({20, -20});
    up.setViewportExt({20, 20});
    up.setWindowOrg({0, 20});
    PlayMetafile(up, metafile, {0, 20, 10, 10});
    EXPECT_EQ(up.at(5, 2), kGreen);
    EXPECT_EQ(up.at(5, 7), kWhite);
}

TEST(MetafilePlayer, EllipsesPolyPolygonsAndFillModes) {
    GridContext dc(40, 40);
    MetafileWriter w;
    w.window(0, 0, 40, 40).pen(kMetaPenNull, 0, 0).brush(0, kBlue).select(0).select(1)
        .record(kMetaEllipse, {20, 20, 0, 0});
    // Two nested squares: a hole under the alternate rule, filled under winding.
    std::vector<uint8_t> squares;
    for (int16_t v : {20, 20, 40, 20, 40, 40, 20, 40, 25, 25, 35, 25, 35, 35, 25, 35}) {
        squares.push_back(uint8_t(v));
        squares.push_back(uint8_t(uint16_t(v) >> 8));
    }
    w.record(kMetaPolyPolygon, {2, 4, 4}, squares);
    ASSERT_TRUE(PlayMetafile(dc, w.bytes(), {0, 0, 40, 40}));
    EXPECT_EQ(dc.at(10, 10), kBlue) << "centre of the ellipse";
    EXPECT_EQ(dc.at(1, 1), kWhite) << "corner outside the ellipse";
    EXPECT_EQ(dc.at(22, 22), kBlue);
    EXPECT_EQ(dc.at(30, 30), kWhite) << "alternate rule: the inner square is a hole";

    GridContext winding(40, 40);
    MetafileWriter w2;
    w2.window(0, 0, 40, 40).pen(kMetaPenNull, 0, 0).brush(0, kBlue).select(0).select(1)
        .record(kMetaSetPolyFillMode, {2})
        .record(kMetaPolyPolygon, {2, 4, 4}, squares);
    PlayMetafile(winding, w2.bytes(), {0, 0, 40, 40});
    EXPECT_EQ(winding.at(30, 30), kBlue) << "winding rule fills both turns";
}

TEST(MetafilePlayer, EmbeddedBitmapsStretchIntoTheirRectangle) {
    const std::vector<uint8_t> dib = fourColourDib();
    const struct {
        const char* name;
        uint16_t function;
        std::initializer_list<int32_t> words;
    } cases[] = {
        // raster op (2 words), colour use, source h, w, y, x, destination h, w, y, x
        {"stretch bitmap", kMetaStretchDib, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 20, 20, 0, 0}},
        // raster op, source h, w, y, x, destination h, w, y, x
        {"bitmap stretch blit", kMetaDibStretchBlt, {0x0020, 0x00CC, 2, 2, 0, 0, 20, 20, 0, 0}},
    };
    for (const auto& c : cases) {
        GridContext dc(20, 20);
        MetafileWriter w;
        w.window(0, 0, 20, 20).record(c.function, c.words, dib);
        ASSERT_TRUE(PlayMetafile(dc, w.bytes(), {0, 0, 20, 20})) << c.name;
        EXPECT_EQ(dc.at(5, 5), kRed) << c.name;
        EXPECT_EQ(dc.at(15, 5), kGreen) << c.name;
        EXPECT_EQ(dc.at(5, 15), kBlue) << c.name;
        EXPECT_EQ(dc.at(15, 15), kYellow) << c.name;
    }
    // A bitmap blit at its own size.
    GridContext dc(20, 20);
    MetafileWriter w;
    w.window(0, 0, 20, 20).record(kMetaDibBitBlt, {0x0020, 0x00CC, 0, 0, 2, 2, 3, 4}, dib);
    PlayMetafile(dc, w.bytes(), {0, 0, 20, 20});
    EXPECT_EQ(dc.at(4, 3), kRed);
    EXPECT_EQ(dc.at(5, 4), kYellow);
    EXPECT_EQ(dc.at(6, 3), kWhite);
}

TEST(MetafilePlayer, ObjectsTakeTheLowestFreeEntryWhateverTheirKind) {
    GridContext dc(10, 10);
    MetafileWriter w;
    w.window(0, 0, 10, 10).pen(kMetaPenNull, 0, 0).brush(0, kRed);
    // A font takes entry 2, the deleted red brush's entry 1 goes to the green one.
    w.record(kMetaCreateFontIndirect, {12, 0, 0, 0, 400, 0, 0, 0, 0});
    w.record(kMetaDeleteObject, {1}).brush(0, kGreen);
    w.select(0).select(1).select(2).record(kMetaRectangle, {10, 10, 0, 0});
    PlayMetafile(dc, w.bytes(), {0, 0, 10, 10});
    EXPECT_EQ(dc.at(5, 5), kGreen);
}

TEST(MetafilePlayer, DamagedRecordsEndThePlay) {
    GridContext dc(10, 10);
    EXPECT_FALSE(PlayMetafile(dc, std::vector<uint8_t>{1, 0, 9}, {0, 0, 10, 10}));
    EXPECT_FALSE(PlayMetafile(dc, std::vector<uint8_t>(40, 0xAB), {0, 0, 10, 10}));
    MetafileWriter w;
    w.window(0, 0, 10, 10).pen(kMetaPenNull, 0, 0).brush(0, kRed).select(0).select(1);
    // A polygon that claims more points than its record holds is skipped; a record whose
    // size runs past the end stops the play before the last rectangle.
    w.record(kMetaPolygon, {30000, 0, 0, 10, 0});
    std::vector<uint8_t> bytes = w.record(kMetaRectangle, {5, 5, 0, 0}).bytes();
    const size_t last = bytes.size() - 6 - 14;  // the rectangle record before the end record
    bytes[last] = 0xFF;
    bytes[last + 1] = 0xFF;
    EXPECT_TRUE(PlayMetafile(dc, bytes, {0, 0, 10, 10}));
    EXPECT_EQ(dc.count(kRed), 0);
    // An embedded bitmap whose rows run past its record is left out.
    const std::vector<uint8_t> dib = fourColourDib();
    MetafileWriter cut;
    cut.window(0, 0, 10, 10).record(kMetaDibBitBlt, {0x0020, 0x00CC, 0, 0, 2, 2, 0, 0},
                                    std::span<const uint8_t>(dib).first(dib.size() - 4));
    PlayMetafile(dc, cut.bytes(), {0, 0, 10, 10});
    EXPECT_EQ(dc.count(kWhite), 100);
}

} // namespace
} // namespace tracemill::test
