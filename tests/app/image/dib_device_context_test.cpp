#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <set>

#include "app/image/dib_device_context.h"

namespace tracemill {
namespace {

class DibDrawing : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "image_dib_drawing_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }
};

// Drawing into an 8-bit bitmap leaves only indices of its palette: each drawn colour
// becomes the nearest palette colour.
TEST_F(DibDrawing, EightBitBitmapsKeepPaletteIndices) {
    CDib dib;
    ASSERT_TRUE(dib.Create(40, 30, 8));
    const PaletteEntry palette[4] = {{255, 255, 255, 0}, {0, 0, 0, 0}, {250, 0, 0, 0}, {0, 0, 200, 0}};
    ASSERT_TRUE(dib.SetPaletteEntries(palette));
    {
        DibDeviceContext dc(dib);
        ASSERT_TRUE(dc.IsValid());
        dc.fillRect({0, 0, 40, 30}, gdi::rgb(255, 255, 255));
        dc.selectPen({gdi::PenStyle::Solid, 0, gdi::rgb(255, 0, 0)});
        dc.moveTo({0, 5});
        dc.lineTo({10, 5});
        dc.selectPen({gdi::PenStyle::Null, 0, 0});
        dc.selectBrush({gdi::BrushStyle::Solid, gdi::rgb(20, 30, 230)});
        const gdi::Point triangle[3] = {{20, 10}, {39, 10}, {30, 29}};
        dc.polygon(triangle);
        dc.textOut({2, 15}, "Tx");
        ASSERT_TRUE(dc.Finish());
    }
    EXPECT_EQ(dib.GetBitCount(), 8);
    std::set<int> used;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) used.insert(dib.GetBits()[dib.GetPixelOffset(x, y)]);
    EXPECT_TRUE(std::includes(std::set<int>{0, 1, 2, 3}.begin(), std::set<int>{0, 1, 2, 3}.end(), used.begin(),
                              used.end()));
    EXPECT_EQ(dib.GetBits()[dib.GetPixelOffset(9, 5)], 2);   // the red line, up to x = 9
    EXPECT_EQ(dib.GetBits()[dib.GetPixelOffset(10, 5)], 0);  // its end pixel left out
    EXPECT_EQ(dib.GetBits()[dib.GetPixelOffset(30, 15)], 3); // inside the triangle
    EXPECT_EQ(used.count(1), 1u);                            // the text, black
}

TEST_F(DibDrawing, OneBitAndTwentyFourBitBitmaps) {
    CDib mask;
    ASSERT_TRUE(mask.Create(16, 4, 1));
    const PaletteEntry blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    ASSERT_TRUE(mask.SetPaletteEntries(blackWhite));
    CDib image;
    ASSERT_TRUE(image.Create(16, 4, 24));
    {
        DibDeviceContext maskDc(mask), imageDc(image);
        for (gdi::DeviceContext* dc : {static_cast<gdi::DeviceContext*>(&maskDc), static_cast<gdi::DeviceContext*>(&imageDc)}) {
            dc->selectPen({gdi::PenStyle::Solid, 0, gdi::rgb(255, 255, 255)});
            dc->moveTo({2, 1});
            dc->lineTo({12, 1});
        }
    }
    for (int x = 0; x < 16; ++x) {
        const gdi::ColorRef want = x >= 2 && x < 12 ? 0xFFFFFF : 0;
        EXPECT_EQ(mask.GetPixel(x, 1), want) << x;
        EXPECT_EQ(image.GetPixel(x, 1), want) << x;
    }
}

TEST_F(DibDrawing, BlitsBetweenBitmaps) {
    CDib source;
    ASSERT_TRUE(source.Create(2, 2, 24));
    const gdi::ColorRef colours[4] = {gdi::rgb(255, 0, 0), gdi::rgb(0, 255, 0), gdi::rgb(0, 0, 255),
                                      gdi::rgb(255, 255, 0)};
    for (int i = 0; i < 4; ++i) {
        uint8_t* p = source.GetBits() + source.GetPixelOffset(i % 2, i / 2);
        p[0] = gdi::blueOf(colours[i]);
        p[1] = gdi::greenOf(colours[i]);
        p[2] = gdi::redOf(colours[i]);
    }
    CDib target;
    ASSERT_TRUE(target.Create(8, 8, 24));
    {
        DibDeviceContext dc(target);
        EXPECT_TRUE(source.StretchDraw(dc, 0, 0, 4, 4, 0, 0, 2, 2));
        EXPECT_TRUE(source.Draw(dc, 6, 6));
        EXPECT_TRUE(source.DrawTransparent(dc, 4, 0, colours[0]));
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(target.GetPixel(x, y), colours[(y / 2) * 2 + x / 2]) << x << "," << y;
    EXPECT_EQ(target.GetPixel(7, 7), colours[3]);
    EXPECT_EQ(target.GetPixel(4, 0), 0u); // the transparent colour left out
    EXPECT_EQ(target.GetPixel(5, 0), colours[1]);
    CDib empty;
    DibDeviceContext dc(target);
    EXPECT_FALSE(empty.Draw(dc, 0, 0));
}

} // namespace
} // namespace tracemill
