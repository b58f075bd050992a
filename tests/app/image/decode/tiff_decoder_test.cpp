#include <gtest/gtest.h>

#include "app/image/decode/cx_image_tif.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;

bool decode(const std::string& name, CxImageTIF& image) {
    test::MemoryStream stream(test::readBytes(imageFixture(name)));
    return image.Decode(stream.stream());
}

TEST(TiffDecoder, PagesAreCountedAndAMissingPageFails) {
    CxImageTIF second;
    second.SetFrame(1);
    ASSERT_TRUE(decode("tif_multipage.tif", second)) << second.GetLastError();
    EXPECT_EQ(second.GetFrameCount(), 2);
    EXPECT_EQ(second.GetWidth(), test::kGreyW);
    CxImageTIF missing;
    missing.SetFrame(2);
    EXPECT_FALSE(decode("tif_multipage.tif", missing));
    EXPECT_STREQ(missing.GetLastError(), "Error: page not present in TIFF file");
    EXPECT_EQ(missing.GetFrameCount(), 2);
}

TEST(TiffDecoder, MinIsWhiteTiledLzwAndOrientedPages) {
    CxImageTIF white;
    ASSERT_TRUE(decode("tif_miniswhite.tif", white));
    EXPECT_EQ(white.GetBitCount(), 1u);
    EXPECT_EQ(white.GetPaletteColor(0), test::grey(255));
    for (uint32_t y = 0; y < test::kBilevelH; ++y)
        for (uint32_t x = 0; x < test::kBilevelW; ++x)
            EXPECT_EQ(white.GetPixelColor(x, test::kBilevelH - 1 - y), test::grey(255 * test::bilevelIndex(x, y)));

    CxImageTIF tiled;
    ASSERT_TRUE(decode("tif_tiled.tif", tiled)) << tiled.GetLastError();
    for (uint32_t y = 0; y < 20; ++y)
        for (uint32_t x = 0; x < 40; ++x)
            ASSERT_EQ(tiled.GetPixelColor(x, 19 - y), test::grey(uint8_t((x * 5 + y * 3) % 256))) << x << "," << y;

    CxImageTIF lzw;
    ASSERT_TRUE(decode("tif_grey8_lzw.tif", lzw));
    EXPECT_EQ(lzw.GetFormatOption(CXIMAGE_FORMAT_TIF), 5u);

    CxImageTIF half;
    ASSERT_TRUE(decode("tif_orient3.tif", half));
    EXPECT_EQ(half.GetPixelColor(test::kGreyW - 1, 0), test::grey(test::greyValue(0, 0))); // turned half round
    CxImageTIF quarter;
    ASSERT_TRUE(decode("tif_orient6.tif", quarter));
    EXPECT_EQ(quarter.GetWidth(), test::kGreyH);
    EXPECT_EQ(quarter.GetHeight(), test::kGreyW);
}

// An L*a*b* page is converted by colour, so its picture is 24 bits (an 8-bit one would hold
// only the black of its empty palette).
TEST(TiffDecoder, LabPagesKeepTheirColours) {
    CxImageTIF lab;
    ASSERT_TRUE(decode("tif_lab.tif", lab)) << lab.GetLastError();
    ASSERT_EQ(lab.GetBitCount(), 24u);
    for (uint32_t y = 0; y < test::kRgbH; ++y)
        for (uint32_t x = 0; x < test::kRgbW; ++x) {
            const RgbQuad got = lab.GetPixelColor(x, test::kRgbH - 1 - y), want = test::rgbColour(x, y);
            EXPECT_NEAR(got.rgbRed, want.rgbRed, 8) << x << "," << y;
            EXPECT_NEAR(got.rgbGreen, want.rgbGreen, 8) << x << "," << y;
            EXPECT_NEAR(got.rgbBlue, want.rgbBlue, 8) << x << "," << y;
        }
}

TEST(TiffDecoder, DamagedFilesFailCleanly) {
    const std::vector<uint8_t> base = test::readBytes(imageFixture("tif_tiled.tif"));
    for (size_t cut : {size_t(0), size_t(8), size_t(100), base.size() / 2}) {
        test::MemoryStream stream(std::vector<uint8_t>(base.begin(), base.begin() + std::ptrdiff_t(cut)));
        CxImageTIF image;
        image.Decode(stream.stream()); // must not crash or print
    }
    test::MemoryStream junk(std::vector<uint8_t>(64, 0x49));
    CxImageTIF image;
    EXPECT_FALSE(image.Decode(junk.stream()));
    EXPECT_STREQ(image.GetLastError(), "Error encountered while opening TIFF file");
}

} // namespace
} // namespace tracemill
