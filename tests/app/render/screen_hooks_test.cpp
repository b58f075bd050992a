#include <cmath>

#include "app/render/drawing_object.h"
#include "app/render/gdi_hook_primitives.h"
#include "app/render/screen_colors.h"
#include "app/services/language_texts.h"
#include "hook_test_support.h"

namespace tracemill::test {
namespace {

constexpr QRgb kWhiteRgb = qRgb(255, 255, 255);

using ScreenHooks = HookSetTest;

struct LengtheningCase {
    const char* name;
    gdi::Point from;
    gdi::Point to;
    gdi::Point drawnTo;
};

// The line is drawn one pixel further so that its end point is drawn too.
const LengtheningCase kLengtheningCases[] = {
    {"horizontal", {0, 0}, {10, 0}, {11, 0}},
    {"horizontal backwards", {10, 5}, {0, 5}, {-1, 5}},
    {"vertical downwards", {0, 0}, {0, -5}, {0, -6}},
    {"s = 3 lengthens both", {0, 0}, {8, 3}, {9, 4}},
    {"s = 2 lengthens x only", {0, 0}, {8, 2}, {9, 2}},
    {"s = 19 lengthens both", {0, 0}, {8, 19}, {9, 20}},
    {"s = 20 lengthens y only", {0, 0}, {8, 20}, {8, 21}},
    {"s = -3 lengthens both backwards", {0, 0}, {-8, 3}, {-9, 4}},
    {"steep short line lengthens y", {0, 0}, {2, 8}, {2, 9}},
    {"flat line lengthens x", {0, 0}, {10, 1}, {11, 1}},
    {"at the end of the coordinate range", {0, 0}, {INT32_MAX, 0}, {INT32_MAX, 0}},
};

TEST(LineLengthening, FollowsTheSlopeRule) {
    for (const LengtheningCase& c : kLengtheningCases) {
        EXPECT_EQ(LengthenedLineEnd(c.from, c.to), c.drawnTo) << c.name;
    }
}

TEST_F(ScreenHooks, LinesAreDrawnToTheLengthenedEndAndLeaveThePenAtTheTrueEnd) {
    for (const LengtheningCase& c : kLengtheningCases) {
        if (c.to.x == INT32_MAX) continue;
        startImage(40, 40);
        const gdi::Point shift{15, 15};
        color(1);
        moveTo(c.from.x + shift.x, c.from.y + shift.y);
        lineTo(c.to.x + shift.x, c.to.y + shift.y);
        EXPECT_EQ(dc->currentPosition(), (gdi::Point{c.to.x + shift.x, c.to.y + shift.y})) << c.name;
        finishImage();
        const QImage drawn = image.copy();

        startImage(40, 40);
        dc->selectPen(SolidPen(0, gdi::rgb(255, 0, 0)));
        dc->moveTo({c.from.x + shift.x, c.from.y + shift.y});
        dc->lineTo({c.drawnTo.x + shift.x, c.drawnTo.y + shift.y});
        finishImage();
        EXPECT_EQ(drawn, image) << c.name;
    }
}

TEST_F(ScreenHooks, HorizontalLineColoursElevenPixelsAndAZeroLengthLineOne) {
    startImage(20, 4);
    color(1);
    moveTo(0, 0);
    lineTo(10, 0);
    moveTo(5, 2);
    lineTo(5, 2);
    finishImage();
    std::vector<gdi::Point> expected;
    for (int x = 0; x <= 10; ++x) expected.push_back({x, 0});
    expected.push_back({5, 2});
    EXPECT_EQ(pixelsOf(qRgb(255, 0, 0)), expected);
}

TEST_F(ScreenHooks, CoordinatesBeyondSixteenBitsDrawNoStrayLine) {
    startImage(4500, 16);
    color(5);
    moveTo(70000, 2);   // 70,000 cut to 16 bits would be 4,464, inside the image
    lineTo(70000, 12);
    moveTo(0, 8);
    lineTo(70000, 8);
    finishImage();
    const std::vector<gdi::Point> blue = pixelsOf(qRgb(0, 0, 255));
    ASSERT_EQ(blue.size(), 4500u);
    for (const gdi::Point& p : blue) EXPECT_EQ(p.y, 8);
}

TEST_F(ScreenHooks, ColoursTwentyToTwentyNineTakeTheRotatingSlotsInTurn) {
    startImage(4, 4);
    const GdiOutputState& state = GetGdiOutputState();
    const int16_t expectedSlots[] = {8, 9, 10, 11, 12, 13, 14, 15, 8, 9};
    for (int16_t i = 0; i < 10; ++i) {
        color(int16_t(20 + i));
        EXPECT_EQ(state.currentSlot, expectedSlots[i]) << "colour " << 20 + i;
        EXPECT_EQ(state.penCache[size_t(expectedSlots[i])].colorIndex, 20 + i);
        EXPECT_EQ(dc->pen().color, DefaultAciColors()[size_t(20 + i)]);
    }
    EXPECT_EQ(state.nextSlot, 10);
    color(22); // still in slot 10: found, nothing replaced
    EXPECT_EQ(state.currentSlot, 10);
    EXPECT_EQ(state.nextSlot, 10);
    color(3); // a fixed slot
    EXPECT_EQ(state.currentSlot, 3);
    color(-4);
    EXPECT_EQ(state.colorIndex, 0);
    color(999);
    EXPECT_EQ(state.colorIndex, 255);
}

TEST_F(ScreenHooks, WithALineWeightEveryColourChangeMakesANewPen) {
    startImage(4, 4);
    GdiOutputState& state = GetGdiOutputState();
    state.lineWeightValue = 30;
    state.penWidth = 2;
    color(1);
    EXPECT_EQ(state.currentSlot, 8);
    color(1);
    EXPECT_EQ(state.currentSlot, 9);
    EXPECT_EQ(dc->pen().width, 2);
    EXPECT_EQ(dc->pen().color, gdi::rgb(255, 0, 0));
}

TEST_F(ScreenHooks, LineWeightsMakeThePenAnewOnlyWhileTheyAreShown) {
    startImage(4, 4);
    GdiOutputState& state = GetGdiOutputState();
    color(2);
    gOutputHookTable->lineWidth(50, nullptr);
    EXPECT_EQ(state.lineWeightValue, 0);
    EXPECT_EQ(state.currentSlot, 2);
    state.lineWeightFlag = 1;
    gOutputHookTable->lineWidth(50, nullptr);
    EXPECT_EQ(state.lineWeightValue, 50);
    EXPECT_EQ(state.currentSlot, 8);
    EXPECT_EQ(state.penCache[8].colorIndex, 2);
}

TEST_F(ScreenHooks, BlackAndWhiteModeDrawsEverythingWithTheBlackPen) {
    startImage(12, 4);
    CDrawingObject drawingObject;
    drawingObject.SetColorMode(kColorModeBlackWhite);
    GdiOutputState& state = GetGdiOutputState();
    color(5, &drawingObject);
    EXPECT_EQ(state.currentSlot, 0);
    EXPECT_EQ(state.colorIndex, 5);
    EXPECT_EQ(dc->pen().color, gdi::ColorRef(0));
    moveTo(0, 1, &drawingObject);
    lineTo(9, 1, &drawingObject);
    moveTo(3, 3, &drawingObject);
    lineTo(3, 3, &drawingObject);
    finishImage();
    EXPECT_EQ(pixelsOf(qRgb(0, 0, 0)).size(), 11u);
}

TEST_F(ScreenHooks, ARotatingPenTakesTheDrawingObjectsPalette) {
    startImage(4, 4);
    CDrawingObject drawingObject;
    drawingObject.SetColorMode(kColorModeGray);
    color(30, &drawingObject);
    const int grey = GrayValue(DefaultAciColors()[30]);
    EXPECT_EQ(dc->pen().color, gdi::rgb(uint8_t(grey), uint8_t(grey), uint8_t(grey)));
}

TEST_F(ScreenHooks, FilledShapesKeepAOnePixelOutlineWithWidePens) {
    startImage(30, 30);
    GdiOutputState& state = GetGdiOutputState();
    state.penWidth = 5;
    RebuildPenCache(5, ColorWorkingTable());
    color(3);
    polygon({{5, 5}, {15, 5}, {15, 15}, {5, 15}});
    const gdi::FillMode before = dc->setPolyFillMode(gdi::FillMode::Winding);
    polyPolygon({{18, 2}, {28, 2}, {28, 12}, {18, 12}, {21, 5}, {25, 5}, {25, 9}, {21, 9}}, {4, 4});
    EXPECT_EQ(dc->polyFillMode(), gdi::FillMode::Winding);
    dc->setPolyFillMode(before);
    EXPECT_EQ(dc->pen().width, 5); // the cached pen is back after the fill
    finishImage();
    const QRgb green = qRgb(0, 255, 0);
    EXPECT_EQ(image.pixel(10, 10), green);
    EXPECT_EQ(image.pixel(15, 15), green);    // the outline's last corner
    EXPECT_EQ(image.pixel(16, 10), kWhiteRgb);  // a 5-pixel outline would reach here
    EXPECT_EQ(image.pixel(23, 7), kWhiteRgb);   // the hole of the alternate fill
    EXPECT_EQ(image.pixel(19, 3), green);
}

TEST_F(ScreenHooks, APolygonRangeSelectsItsPoints) {
    startImage(20, 20);
    color(1);
    const std::vector<DevicePoint> points{{0, 0}, {2, 2}, {12, 2}, {12, 12}, {2, 12}, {19, 19}};
    gOutputHookTable->polygon(PointRange{1, 4}, points.data(), nullptr);
    gOutputHookTable->polygon(PointRange{3, 1}, points.data(), nullptr); // an empty range
    finishImage();
    EXPECT_EQ(pixelsOf(qRgb(255, 0, 0)).size(), 121u);
    EXPECT_EQ(image.pixel(19, 19), kWhiteRgb);
}

TEST_F(ScreenHooks, FillDcBlackClearsTheRectangleAndKeepsPenAndBrush) {
    startImage(6, 5);
    const gdi::Pen pen = SolidPen(3, gdi::rgb(1, 2, 3));
    dc->selectPen(pen);
    dc->selectBrush(SolidBrush(gdi::rgb(4, 5, 6)));
    FillDcBlack(*dc, 6, 5);
    EXPECT_EQ(dc->pen().color, pen.color);
    EXPECT_EQ(dc->brush().color, gdi::rgb(4, 5, 6));
    finishImage();
    EXPECT_EQ(pixelsOf(qRgb(0, 0, 0)).size(), 30u);
}

TEST_F(ScreenHooks, StartUpStateHasTheFixedPensAndTheIdentityColourMap) {
    const GdiOutputState& state = GetGdiOutputState();
    for (uint16_t i = 0; i < kPenCacheSlots; ++i) {
        EXPECT_EQ(state.penCache[i].colorIndex, i);
        EXPECT_EQ(state.penCache[i].pen.color, DefaultAciColors()[i]);
        EXPECT_EQ(state.penCache[i].brush.color, DefaultAciColors()[i]);
    }
    EXPECT_EQ(state.nextSlot, 8);
    EXPECT_EQ(state.whitePen.color, gdi::rgb(255, 255, 255));
    const ColorIndexMap& remap = *dbGetColorIndexMap();
    for (size_t i = 0; i < remap.size(); ++i) EXPECT_EQ(remap[i], int16_t(i));
}

TEST_F(ScreenHooks, BackgroundSevenThenOne) {
    SetBackgroundColorIndex(7);
    EXPECT_EQ(ColorWorkingTable()[7], gdi::ColorRef(0));
    EXPECT_EQ(GrayWorkingTable()[7], gdi::ColorRef(0));
    for (size_t i = 0; i < kColorIndexCount; ++i) {
        if (i != 7) {
            EXPECT_EQ(ColorWorkingTable()[i], DefaultAciColors()[i]) << i;
        }
    }
    SetBackgroundColorIndex(1);
    EXPECT_EQ(ColorWorkingTable()[7], gdi::rgb(255, 255, 255)); // red's grey value 76 is dark
    EXPECT_EQ(ColorWorkingTable()[1], gdi::rgb(0xCC, 0, 0));
    EXPECT_EQ(GrayWorkingTable()[1], gdi::rgb(60, 60, 60)); // 0.299 x 204, truncated
    EXPECT_EQ(GetBackgroundColorIndex(), 1);
    SetBackgroundColorIndex(2); // yellow is light: black stands out; red is red again
    EXPECT_EQ(ColorWorkingTable()[7], gdi::ColorRef(0));
    EXPECT_EQ(ColorWorkingTable()[1], gdi::rgb(255, 0, 0));
    EXPECT_EQ(ColorWorkingTable()[2], gdi::rgb(0xCC, 0xCC, 0));
    SetBackgroundColorIndex(256); // no such index: nothing changes
    EXPECT_EQ(GetBackgroundColorIndex(), 2);
}

struct AciColourCase {
    int16_t index;
    bool forceWhite7;
    gdi::ColorRef colour;
    const char* name;
};

TEST_F(ScreenHooks, AciColoursAndTheirNames) {
    SetBackgroundColorIndex(7);
    const AciColourCase cases[] = {
        {1, false, gdi::rgb(255, 0, 0), "Red"},
        {7, false, gdi::rgb(0, 0, 0), "White"},
        {7, true, gdi::rgb(255, 255, 255), "White"},
        {8, false, gdi::rgb(0x98, 0x98, 0x98), "Dark Gray"},
        {9, false, gdi::rgb(0xC0, 0xC0, 0xC0), "Color 9"},
        {255, false, gdi::rgb(255, 255, 255), "Color 255"},
        {300, false, gdi::rgb(0xDE, 0xDE, 0xDE), "Color 300"},
        {-1, false, gdi::rgb(0xDE, 0xDE, 0xDE), "Color -1"},
    };
    for (const AciColourCase& c : cases) {
        std::string name;
        EXPECT_EQ(GetAciColor(c.index, &name, c.forceWhite7), c.colour) << c.index;
        EXPECT_EQ(name, c.name) << c.index;
    }
    GetLanguageTable().LoadBytes("Test\nclColor=Farbe\nclRed=Rot\n");
    std::string name;
    GetAciColor(300, &name);
    EXPECT_EQ(name, "Farbe 300");
    GetAciColor(1, &name);
    EXPECT_EQ(name, "Rot");
    GetLanguageTable().Clear();
}

TEST(ScreenPalettes, ColourGreyAndMonoPalettes) {
    const Palette& colour = GetColorDibPalette();
    ASSERT_EQ(colour.size(), 256u);
    EXPECT_EQ(colour[10], (PaletteEntry{255, 0, 0, 2}));
    EXPECT_EQ(colour[250], (PaletteEntry{0x54, 0x54, 0x54, 2}));
    const Palette& grey = GetGrayDibPalette();
    ASSERT_EQ(grey.size(), 256u);
    EXPECT_EQ(grey[77], (PaletteEntry{77, 77, 77, 2}));
    EXPECT_EQ(GetMonoDibPalette(), (Palette{{0, 0, 0, 2}, {255, 255, 255, 2}}));
}

} // namespace
} // namespace tracemill::test
