// Every fixture of tests/data/image decodes to its reference picture, depth and resolution.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/image/decode/cx_image.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;

enum class Pattern { Indexed, Bilevel, Rgb, Grey };

struct Fixture {
    const char* file;
    uint32_t type;
    uint32_t bitCount;
    Pattern pattern;
    int32_t dpi;
    int tolerance; // per channel, for lossy formats
};

void PrintTo(const Fixture& f, std::ostream* os) { *os << f.file; }

uint32_t patternWidth(Pattern p) {
    switch (p) {
    case Pattern::Indexed: return test::kIndexedW;
    case Pattern::Bilevel: return test::kBilevelW;
    case Pattern::Rgb: return test::kRgbW;
    case Pattern::Grey: return test::kGreyW;
    }
    return 0;
}

uint32_t patternHeight(Pattern p) {
    switch (p) {
    case Pattern::Indexed: return test::kIndexedH;
    case Pattern::Bilevel: return test::kBilevelH;
    case Pattern::Rgb: return test::kRgbH;
    case Pattern::Grey: return test::kGreyH;
    }
    return 0;
}

// The reference colour at (x, y), y counted from the top.
RgbQuad expected(Pattern p, uint32_t x, uint32_t y) {
    switch (p) {
    case Pattern::Indexed: return test::indexedPalette(test::indexedIndex(x, y));
    case Pattern::Bilevel: return test::kBilevelPalette[test::bilevelIndex(x, y)];
    case Pattern::Rgb: return test::rgbColour(x, y);
    case Pattern::Grey: return test::grey(test::greyValue(x, y));
    }
    return {};
}

class ImageFixtureTest : public ::testing::TestWithParam<Fixture> {};

TEST_P(ImageFixtureTest, DecodesToTheReferencePicture) {
    const Fixture& f = GetParam();
    CxImage image(imageFixture(f.file).c_str(), f.type);
    ASSERT_TRUE(image.IsValid()) << image.GetLastError();
    EXPECT_EQ(image.GetType(), f.type);
    EXPECT_EQ(image.GetBitCount(), f.bitCount);
    EXPECT_EQ(image.HasPalette(), f.bitCount <= 8);
    EXPECT_EQ(image.GetXResolution(), f.dpi);
    EXPECT_EQ(image.GetYResolution(), f.dpi);
    const uint32_t w = patternWidth(f.pattern), h = patternHeight(f.pattern);
    ASSERT_EQ(image.GetWidth(), w);
    ASSERT_EQ(image.GetHeight(), h);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const RgbQuad want = expected(f.pattern, x, y);
            const RgbQuad got = image.GetPixelColor(x, h - 1 - y);
            EXPECT_LE(std::abs(got.rgbRed - want.rgbRed), f.tolerance) << "red at " << x << "," << y;
            EXPECT_LE(std::abs(got.rgbGreen - want.rgbGreen), f.tolerance) << "green at " << x << "," << y;
            EXPECT_LE(std::abs(got.rgbBlue - want.rgbBlue), f.tolerance) << "blue at " << x << "," << y;
        }
    }
}

const Fixture kFixtures[] = {
    {"bmp_1bit.bmp", CXIMAGE_FORMAT_BMP, 1, Pattern::Bilevel, 300, 0},
    {"bmp_4bit.bmp", CXIMAGE_FORMAT_BMP, 4, Pattern::Indexed, 96, 0},
    {"bmp_8bit.bmp", CXIMAGE_FORMAT_BMP, 8, Pattern::Indexed, 96, 0},
    {"bmp_rle8.bmp", CXIMAGE_FORMAT_BMP, 8, Pattern::Indexed, 96, 0},
    {"bmp_rle4.bmp", CXIMAGE_FORMAT_BMP, 4, Pattern::Indexed, 96, 0},
    {"bmp_os2.bmp", CXIMAGE_FORMAT_BMP, 8, Pattern::Indexed, 96, 0},
    {"bmp_noheader.dib", CXIMAGE_FORMAT_BMP, 4, Pattern::Indexed, 96, 0},
    {"bmp_24.bmp", CXIMAGE_FORMAT_BMP, 24, Pattern::Rgb, 96, 0},
    {"bmp_24_topdown.bmp", CXIMAGE_FORMAT_BMP, 24, Pattern::Rgb, 96, 0},
    {"bmp_24_v4.bmp", CXIMAGE_FORMAT_BMP, 24, Pattern::Rgb, 96, 0},
    {"bmp_32.bmp", CXIMAGE_FORMAT_BMP, 24, Pattern::Rgb, 96, 0},
    {"bmp_16_555.bmp", CXIMAGE_FORMAT_BMP, 24, Pattern::Rgb, 96, 0},
    {"bmp_16_565.bmp", CXIMAGE_FORMAT_BMP, 24, Pattern::Rgb, 96, 0},
    {"gif_indexed.gif", CXIMAGE_FORMAT_GIF, 4, Pattern::Indexed, 96, 0},
    {"gif_interlaced.gif", CXIMAGE_FORMAT_GIF, 4, Pattern::Indexed, 96, 0},
    {"png_palette4_trns0.png", CXIMAGE_FORMAT_PNG, 4, Pattern::Indexed, 96, 0},
    {"png_palette8_trns.png", CXIMAGE_FORMAT_PNG, 8, Pattern::Indexed, 96, 0},
    {"png_grey16.png", CXIMAGE_FORMAT_PNG, 8, Pattern::Grey, 96, 0},
    {"png_rgb_phys.png", CXIMAGE_FORMAT_PNG, 24, Pattern::Rgb, 300, 0},
    {"png_interlaced.png", CXIMAGE_FORMAT_PNG, 24, Pattern::Rgb, 96, 0},
    {"png_rgba8_bkgd.png", CXIMAGE_FORMAT_PNG, 24, Pattern::Rgb, 96, 0},
    {"tif_rgb.tif", CXIMAGE_FORMAT_TIF, 24, Pattern::Rgb, 96, 0},
    {"tif_grey8_lzw.tif", CXIMAGE_FORMAT_TIF, 8, Pattern::Grey, 96, 0},
    {"tif_grey16.tif", CXIMAGE_FORMAT_TIF, 8, Pattern::Grey, 96, 0},
    {"tif_palette.tif", CXIMAGE_FORMAT_TIF, 4, Pattern::Indexed, 96, 0},
    {"tif_res_cm.tif", CXIMAGE_FORMAT_TIF, 8, Pattern::Grey, 300, 0},
    {"tif_grey_alpha.tif", CXIMAGE_FORMAT_TIF, 8, Pattern::Grey, 96, 0},
    {"tga_24.tga", CXIMAGE_FORMAT_TGA, 24, Pattern::Rgb, 96, 0},
    {"tga_24_topdown.tga", CXIMAGE_FORMAT_TGA, 24, Pattern::Rgb, 96, 0},
    {"tga_24_mirrored.tga", CXIMAGE_FORMAT_TGA, 24, Pattern::Rgb, 96, 0},
    {"tga_16.tga", CXIMAGE_FORMAT_TGA, 24, Pattern::Rgb, 96, 0},
    {"tga_32.tga", CXIMAGE_FORMAT_TGA, 24, Pattern::Rgb, 96, 0},
    {"tga_cmap8.tga", CXIMAGE_FORMAT_TGA, 8, Pattern::Indexed, 96, 0},
    {"tga_rle_cmap8.tga", CXIMAGE_FORMAT_TGA, 8, Pattern::Indexed, 96, 0},
    {"tga_grey8.tga", CXIMAGE_FORMAT_TGA, 8, Pattern::Grey, 96, 0},
    {"pcx_4planes.pcx", CXIMAGE_FORMAT_PCX, 4, Pattern::Indexed, 150, 0},
    {"pcx_4bit_packed.pcx", CXIMAGE_FORMAT_PCX, 4, Pattern::Indexed, 150, 0},
    {"pcx_8bit.pcx", CXIMAGE_FORMAT_PCX, 8, Pattern::Indexed, 150, 0},
    {"pcx_24.pcx", CXIMAGE_FORMAT_PCX, 24, Pattern::Rgb, 150, 0},
};

INSTANTIATE_TEST_SUITE_P(AllFormats, ImageFixtureTest, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<Fixture>& info) {
                             std::string name = info.param.file;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

} // namespace
} // namespace tracemill
