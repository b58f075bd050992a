#include <gtest/gtest.h>

#include "app/image/decode/cx_image.h"

namespace tracemill {
namespace {

TEST(CxImage, CreateRoundsTheBitCountAndPadsRows) {
    struct Case {
        uint32_t width, requested, bitCount, colours, rowLength;
    } cases[] = {{5, 0, 1, 2, 4}, {33, 1, 1, 2, 8}, {5, 3, 4, 16, 4}, {5, 8, 8, 256, 8},
                 {3, 16, 24, 0, 12}, {3, 32, 24, 0, 12}};
    for (const Case& c : cases) {
        CxImage image(c.width, 2, c.requested, CXIMAGE_FORMAT_BMP);
        ASSERT_TRUE(image.IsValid()) << c.requested;
        EXPECT_EQ(image.GetBitCount(), c.bitCount);
        EXPECT_EQ(image.GetHeader().biClrUsed, c.colours);
        EXPECT_EQ(image.GetRowLength(), c.rowLength);
        EXPECT_EQ(image.GetHeader().biSizeImage, c.rowLength * 2);
        EXPECT_EQ(image.GetDibSize(), 40 + 4 * c.colours + c.rowLength * 2);
        EXPECT_EQ(image.MakePackedDib().size(), image.GetDibSize());
        for (uint32_t i = 0; i < image.GetHeader().biSizeImage; ++i) ASSERT_EQ(image.GetBits()[i], 0);
    }
}

TEST(CxImage, CreateRefusesEmptyAndOversizedPicturesBeforeAllocating) {
    CxImage image(4, 4, 8, CXIMAGE_FORMAT_BMP);
    EXPECT_FALSE(image.Create(0, 5, 8, CXIMAGE_FORMAT_BMP));
    EXPECT_STREQ(image.GetLastError(), "CxImage::Create : width and height must be greater than zero");
    EXPECT_FALSE(image.IsValid()); // the old picture went first
    const uint32_t huge[][3] = {{16001, 16000, 8}, {0x7FFFFFFF, 1, 24}, {0x80000000u, 1, 1}, {1, 0xFFFFFFFFu, 1},
                                {65535, 65535, 24}};
    for (const auto& h : huge) {
        EXPECT_FALSE(image.Create(h[0], h[1], h[2], CXIMAGE_FORMAT_BMP));
        EXPECT_STREQ(image.GetLastError(), "CXIMAGE_MAX_MEMORY exceeded");
    }
}

TEST(CxImage, AHostMayLowerTheMemoryLimitButNeverRaiseIt) {
    EXPECT_EQ(CxImage::GetMemoryLimit(), CXIMAGE_MAX_MEMORY);
    CxImage::SetMemoryLimit(2048);
    CxImage image;
    EXPECT_TRUE(image.Create(32, 32, 8, CXIMAGE_FORMAT_BMP)); // 1024 bytes of palette and 1024 of rows
    EXPECT_FALSE(image.Create(33, 32, 8, CXIMAGE_FORMAT_BMP));
    EXPECT_STREQ(image.GetLastError(), "CXIMAGE_MAX_MEMORY exceeded");
    CxImage::SetMemoryLimit(CXIMAGE_MAX_MEMORY * 2);
    EXPECT_EQ(CxImage::GetMemoryLimit(), CXIMAGE_MAX_MEMORY);
    EXPECT_FALSE(image.Create(16001, 16000, 8, CXIMAGE_FORMAT_BMP));
}

TEST(CxImage, ResolutionFormatOptionsAndTakeOver) {
    CxImage image(CXIMAGE_FORMAT_PNG);
    EXPECT_EQ(image.GetXResolution(), 96);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 3780);
    image.SetXResolution(0);
    EXPECT_EQ(image.GetXResolution(), 96);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 3780);
    image.SetXResolution(300);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 11811);
    image.SetXResolution(0x7FFFFFFF);
    EXPECT_EQ(image.GetHeader().biXPelsPerMeter, 0x7FFFFFFF);

    EXPECT_TRUE(image.SetFormatOption(7, 0)); // own type
    EXPECT_EQ(image.GetFormatOption(CXIMAGE_FORMAT_PNG), 7u);
    EXPECT_EQ(image.GetFormatOption(0), 7u);
    EXPECT_FALSE(image.SetFormatOption(1, 9));
    EXPECT_FALSE(image.SetFormatOption(1, -1));
    EXPECT_EQ(image.GetFormatOption(9), 0u);

    CxImage source(2, 2, 24, CXIMAGE_FORMAT_TGA);
    source.SetPixelColor(1, 1, RgbQuad{1, 2, 3, 9});
    ASSERT_TRUE(image.TakeOver(source));
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_TGA);
    EXPECT_EQ(image.GetPixelColor(1, 1), (RgbQuad{1, 2, 3, 0}));
}

TEST(CxImage, PixelIndicesPackIntoTheirBitsAndNearestColourPrefersTheLowerIndex) {
    CxImage image(9, 2, 1, CXIMAGE_FORMAT_BMP);
    image.SetPixelIndex(0, 0, 1);
    image.SetPixelIndex(8, 1, 3); // only the low bit counts
    EXPECT_EQ(image.GetRow(0)[0], 0x80);
    EXPECT_EQ(image.GetRow(1)[1], 0x80);
    EXPECT_EQ(image.GetPixelIndex(8, 1), 1);
    image.SetPixelIndex(9, 0, 1); // outside: ignored
    EXPECT_EQ(image.GetRow(0)[1], 0);

    CxImage nibbles(3, 1, 4, CXIMAGE_FORMAT_BMP);
    nibbles.SetPixelIndex(0, 0, 0xA);
    nibbles.SetPixelIndex(1, 0, 0x15);
    EXPECT_EQ(nibbles.GetRow(0)[0], 0xA5);
    EXPECT_EQ(nibbles.GetPixelIndex(1, 0), 5);

    CxImage palette(1, 1, 8, CXIMAGE_FORMAT_BMP);
    palette.SetPaletteColor(3, 10, 20, 30);
    palette.SetPaletteColor(7, 10, 20, 30);
    palette.SetPaletteColor(300, 1, 1, 1); // beyond the palette: ignored
    EXPECT_EQ(palette.FindNearestIndex(RgbQuad{30, 20, 10, 0}), 3);
    EXPECT_EQ(palette.FindNearestIndex(RgbQuad{28, 21, 10, 0}), 3);
    palette.SetPixelColor(0, 0, RgbQuad{30, 20, 12, 0});
    EXPECT_EQ(palette.GetPixelIndex(0, 0), 3);
    EXPECT_EQ(palette.GetPaletteColor(256), RgbQuad{});

    CxImage greys(1, 1, 4, CXIMAGE_FORMAT_BMP);
    greys.SetGreyPalette();
    EXPECT_EQ(greys.GetPaletteColor(15), (RgbQuad{255, 255, 255, 0}));
    EXPECT_EQ(greys.GetPaletteColor(1), (RgbQuad{17, 17, 17, 0}));
}

// A 3 x 2 picture with distinct pixels; the transforms are checked pixel by pixel.
void number(CxImage& image, uint32_t bitCount) {
    image.Create(3, 2, bitCount, CXIMAGE_FORMAT_BMP);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 3; ++x) {
            if (bitCount == 24) image.SetPixelColor(x, y, RgbQuad{uint8_t(x), uint8_t(y), 0, 0});
            else image.SetPixelIndex(x, y, uint8_t(x + 3 * y));
        }
}

uint32_t value(CxImage& image, uint32_t x, uint32_t y) {
    if (image.GetBitCount() == 24) {
        RgbQuad c = image.GetPixelColor(x, y);
        return c.rgbBlue + 3u * c.rgbGreen;
    }
    return image.GetPixelIndex(x, y);
}

TEST(CxImage, MirrorFlipAndQuarterTurnsMovePixelsToTheirPlaces) {
    for (uint32_t bits : {4u, 8u, 24u}) {
        CxImage m;
        number(m, bits);
        ASSERT_TRUE(m.MirrorHorizontally());
        EXPECT_EQ(value(m, 0, 0), 2u);
        EXPECT_EQ(value(m, 2, 1), 3u);
        CxImage f;
        number(f, bits);
        ASSERT_TRUE(f.FlipVertically());
        EXPECT_EQ(value(f, 0, 0), 3u);
        // Stored rows count from the bottom: a clockwise turn takes the bottom-left pixel
        // to the bottom-right.
        CxImage r;
        number(r, bits);
        ASSERT_TRUE(r.TurnQuarterRight());
        ASSERT_EQ(r.GetWidth(), 2u);
        ASSERT_EQ(r.GetHeight(), 3u);
        EXPECT_EQ(value(r, 0, 2), 0u);
        EXPECT_EQ(value(r, 1, 2), 3u);
        EXPECT_EQ(value(r, 0, 0), 2u);
        CxImage l;
        number(l, bits);
        CxImage target;
        ASSERT_TRUE(l.TurnQuarterLeft(&target));
        EXPECT_TRUE(l.IsValid()); // untouched when a target is given
        EXPECT_EQ(value(target, 1, 0), 0u);
        EXPECT_EQ(value(target, 0, 0), 3u);
        EXPECT_EQ(value(target, 1, 2), 2u);
    }
}

} // namespace
} // namespace tracemill
