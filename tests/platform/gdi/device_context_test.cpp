#include <gtest/gtest.h>

#include <vector>

#include "grid_device_context.h"
#include "platform/gdi/device_context.h"

namespace tracemill::gdi {
namespace {

constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kRed = 0x0000FF;
constexpr ColorRef kBlue = 0xFF0000;

using test::GridContext;

void usePen(DeviceContext& dc, PenStyle style, int width, ColorRef color) { dc.selectPen({style, width, color}); }

TEST(DeviceContext, LinesLeaveOutTheirEndPixel) {
    const struct {
        const char* name;
        Point from, to;
        int pixels;
        Point lastIn, firstOut;
    } cases[] = {
        {"horizontal", {0, 0}, {10, 0}, 10, {9, 0}, {10, 0}},
        {"leftwards", {10, 3}, {0, 3}, 10, {1, 3}, {0, 3}},
        {"vertical", {2, 0}, {2, 10}, 10, {2, 9}, {2, 10}},
        {"diagonal", {0, 0}, {10, 10}, 10, {9, 9}, {10, 10}},
        {"shallow", {0, 0}, {8, 3}, 8, {7, 3}, {8, 3}},
    };
    for (const auto& c : cases) {
        GridContext dc(20, 20);
        usePen(dc, PenStyle::Solid, 0, kRed);
        dc.moveTo(c.from);
        dc.lineTo(c.to);
        EXPECT_EQ(dc.count(kRed), c.pixels) << c.name;
        EXPECT_EQ(dc.at(c.from.x, c.from.y), kRed) << c.name;
        EXPECT_EQ(dc.at(c.lastIn.x, c.lastIn.y), kRed) << c.name;
        EXPECT_EQ(dc.at(c.firstOut.x, c.firstOut.y), kWhite) << c.name;
        EXPECT_EQ(dc.currentPosition(), c.to) << c.name;
    }
}

TEST(DeviceContext, ZeroLengthNullAndFarLines) {
    GridContext dc(10, 10);
    usePen(dc, PenStyle::Solid, 0, kRed);
    dc.moveTo({3, 3});
    dc.lineTo({3, 3});
    usePen(dc, PenStyle::Null, 0, kRed);
    dc.lineTo({8, 3});
    usePen(dc, PenStyle::Solid, 0, kRed);
    dc.moveTo({-2000000000, 5}); // far outside: only the visible part is walked
    dc.lineTo({2000000000, 5});
    EXPECT_EQ(dc.count(kRed), 10);
}

TEST(DeviceContext, DashedPenDrawsEighteenAndLeavesSix) {
    GridContext dc(60, 2);
    usePen(dc, PenStyle::Dash, 0, kRed);
    dc.moveTo({0, 0});
    dc.lineTo({30, 0});
    dc.lineTo({50, 0}); // the pattern goes on along a connected line
    for (int x = 0; x < 50; ++x) EXPECT_EQ(dc.at(x, 0), x % 24 < 18 ? kRed : kWhite) << x;
}

// A wide pen has round ends: around the end point (40, 20) of a 9-pixel pen the pixels
// within 4.5 are drawn.
TEST(DeviceContext, WidePenHasRoundEnds) {
    GridContext dc(60, 40);
    usePen(dc, PenStyle::Solid, 9, kRed);
    dc.moveTo({20, 20});
    dc.lineTo({40, 20});
    const struct {
        Point p;
        bool drawn;
    } cases[] = {{{44, 20}, true},  {{45, 20}, false}, {{43, 23}, true},  {{44, 24}, false}, {{40, 24}, true},
                 {{40, 25}, false}, {{16, 20}, true},  {{15, 20}, false}, {{30, 16}, true},  {{30, 15}, false},
                 {{40, 20}, true},  {{17, 23}, true},  {{16, 24}, false}};
    for (const auto& c : cases) EXPECT_EQ(dc.at(c.p.x, c.p.y) == kRed, c.drawn) << c.p.x << "," << c.p.y;
    // Body 21 x 9 and the two halves of a 69-pixel disc of radius 4.5 beyond it.
    EXPECT_EQ(dc.count(kRed), 21 * 9 + 69 - 9);
}

TEST(DeviceContext, PolygonInteriorAndOutline) {
    const Point square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    GridContext filled(20, 20);
    usePen(filled, PenStyle::Null, 0, 0);
    filled.selectBrush({BrushStyle::Solid, kBlue});
    filled.polygon(square);
    EXPECT_EQ(filled.count(kBlue), 100); // right and bottom edges stay outside
    EXPECT_EQ(filled.at(9, 9), kBlue);
    EXPECT_EQ(filled.at(10, 5), kWhite);

    GridContext outlined(20, 20);
    usePen(outlined, PenStyle::Solid, 0, kRed);
    outlined.selectBrush({BrushStyle::Solid, kBlue});
    outlined.polygon(square);
    EXPECT_EQ(outlined.count(kRed), 40); // every edge, all corners
    EXPECT_EQ(outlined.count(kBlue), 81);
    EXPECT_EQ(outlined.at(10, 10), kRed);

    const Point triangle[3] = {{0, 0}, {8, 0}, {0, 8}};
    GridContext tri(20, 20);
    usePen(tri, PenStyle::Null, 0, 0);
    tri.selectBrush({BrushStyle::Solid, kBlue});
    tri.polygon(triangle);
    EXPECT_EQ(tri.count(kBlue), 28); // centres (x + 0.5, y + 0.5) below the diagonal: x + y <= 6
    EXPECT_EQ(tri.at(3, 3), kBlue);
    EXPECT_EQ(tri.at(4, 4), kWhite);
}

// A five-pointed star drawn in one stroke: its centre is inside under the winding rule and
// outside under the alternate rule; nested squares of the same direction likewise.
TEST(DeviceContext, FillModes) {
    const Point star[5] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
    const Point nested[8] = {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {10, 10}, {20, 10}, {20, 20}, {10, 20}};
    const int counts[2] = {4, 4};
    for (FillMode mode : {FillMode::Alternate, FillMode::Winding}) {
        GridContext dc(50, 50);
        usePen(dc, PenStyle::Null, 0, 0);
        dc.selectBrush({BrushStyle::Solid, kBlue});
        dc.setPolyFillMode(mode);
        dc.polygon(star);
        EXPECT_EQ(dc.at(20, 20) == kBlue, mode == FillMode::Winding);
        EXPECT_EQ(dc.at(20, 5), kBlue); // a point of the star

        GridContext loops(40, 40);
        usePen(loops, PenStyle::Null, 0, 0);
        loops.selectBrush({BrushStyle::Solid, kBlue});
        loops.setPolyFillMode(mode);
        loops.polyPolygon(nested, counts);
        EXPECT_EQ(loops.at(15, 15) == kBlue, mode == FillMode::Winding);
        EXPECT_EQ(loops.count(kBlue), mode == FillMode::Winding ? 900 : 800);
    }
}

TEST(DeviceContext, RectangleWithAndWithoutPen) {
    GridContext dc(20, 20);
    dc.selectBrush({BrushStyle::Solid, kBlue});
    usePen(dc, PenStyle::Solid, 0, kRed);
    dc.rectangle({0, 0, 10, 10});
    EXPECT_EQ(dc.count(kRed) + dc.count(kBlue), 100);
    EXPECT_EQ(dc.count(kRed), 36);

    GridContext bare(20, 20);
    bare.selectBrush({BrushStyle::Solid, kBlue});
    usePen(bare, PenStyle::Null, 0, 0);
    bare.rectangle({0, 0, 10, 10});
    EXPECT_EQ(bare.count(kBlue), 81);
}

TEST(DeviceContext, FullArcIsAClosedRing) {
    GridContext dc(30, 30);
    usePen(dc, PenStyle::Solid, 0, kRed);
    dc.fullArc({10, 10, 21, 21}); // centre (15, 15), radius 5
    EXPECT_EQ(dc.at(15, 10), kRed);
    EXPECT_EQ(dc.at(20, 15), kRed);
    EXPECT_EQ(dc.at(10, 15), kRed);
    EXPECT_EQ(dc.at(15, 20), kRed);
    EXPECT_EQ(dc.at(15, 15), kWhite);
    EXPECT_GT(dc.count(kRed), 20);
}

// The mapping of the drivers: window extent (1, -1) and origin (0, bottom) turn y-up
// coordinates into y-down pixels.
TEST(DeviceContext, YFlipMapping) {
    GridContext dc(10, 20);
    dc.setMapMode(MapMode::Anisotropic);
    const Size old = dc.setWindowExt({1, -1});
    EXPECT_EQ(old, (Size{1, 1}));
    dc.setWindowOrg({0, 19});
    EXPECT_EQ(dc.logicalToDevice({0, 0}), (Point{0, 19}));
    EXPECT_EQ(dc.logicalToDevice({3, 19}), (Point{3, 0}));
    dc.setPixel({2, 0}, kRed);
    EXPECT_EQ(dc.at(2, 19), kRed);
    usePen(dc, PenStyle::Solid, 0, kRed);
    dc.moveTo({5, 0});
    dc.lineTo({5, 10}); // upwards on the device, end pixel left out
    EXPECT_EQ(dc.at(5, 19), kRed);
    EXPECT_EQ(dc.at(5, 10), kRed);
    EXPECT_EQ(dc.at(5, 9), kWhite);
    EXPECT_EQ(dc.textExtent("abc"), (Size{21, 13})); // logical units: positive
    dc.setMapMode(MapMode::Text);
    EXPECT_EQ(dc.windowExt(), (Size{1, 1}));
}

TEST(DeviceContext, SaveAndRestore) {
    GridContext dc(10, 10);
    usePen(dc, PenStyle::Solid, 0, kRed);
    EXPECT_EQ(dc.saveDc(), 1);
    usePen(dc, PenStyle::Dash, 3, kBlue);
    dc.setMapMode(MapMode::Anisotropic);
    dc.setWindowOrg({4, 4});
    EXPECT_EQ(dc.saveDc(), 2);
    EXPECT_TRUE(dc.restoreDc(1));
    EXPECT_EQ(dc.pen().color, kRed);
    EXPECT_EQ(dc.mapMode(), MapMode::Text);
    EXPECT_EQ(dc.windowOrg(), (Point{0, 0}));
    EXPECT_FALSE(dc.restoreDc(-1)); // nothing saved any more
    EXPECT_FALSE(dc.intersectClipPolygon(std::vector<Point>{{0, 0}, {1, 1}}));
}

// Nearest-neighbour stretch: each source pixel becomes a 2 x 2 block; a mirrored
// destination mirrors.
TEST(DeviceContext, StretchAndTransparentBlits) {
    const ColorRef table[2] = {kRed, kBlue};
    const uint8_t bits[8] = {0x40, 0, 0, 0, 0x80, 0, 0, 0}; // bottom row: 0 1, top row: 1 0
    const DibView view{2, 2, 1, table, bits};
    EXPECT_EQ(dibViewPixel(view, 0, 0), kBlue);
    EXPECT_EQ(dibViewPixel(view, 1, 1), kBlue);

    GridContext dc(10, 10);
    dc.stretchDib({0, 0, 4, 4}, {0, 0, 2, 2}, view, RasterOp::SrcCopy);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dc.at(x, y), (x / 2 + y / 2) % 2 ? kRed : kBlue) << x << "," << y;

    GridContext mirrored(10, 10);
    mirrored.stretchDib({2, 0, 0, 1}, {0, 0, 2, 1}, view, RasterOp::SrcCopy);
    EXPECT_EQ(mirrored.at(0, 0), kRed);
    EXPECT_EQ(mirrored.at(1, 0), kBlue);

    GridContext keyed(10, 10);
    keyed.transparentDib({8, 8}, view, kRed); // cut at the device's edge too
    EXPECT_EQ(keyed.at(8, 8), kBlue);
    EXPECT_EQ(keyed.at(9, 8), kWhite);
    EXPECT_EQ(keyed.count(kBlue), 2);
}

} // namespace
} // namespace tracemill::gdi
