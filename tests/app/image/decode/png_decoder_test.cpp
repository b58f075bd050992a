#include <gtest/gtest.h>

#include <filesystem>

#include "app/image/decode/cx_image_png.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;

bool decode(const std::string& name, CxImagePNG& image) {
    test::MemoryStream stream(test::readBytes(imageFixture(name)));
    return image.Decode(stream.stream());
}

TEST(PngDecoder, TwoBitGreyBecomesFourBitsWithFourGreys) {
    CxImagePNG image;
    ASSERT_TRUE(decode("png_grey2.png", image)) << image.GetLastError();
    ASSERT_EQ(image.GetBitCount(), 4u);
    for (uint8_t i = 0; i < 4; ++i) EXPECT_EQ(image.GetPaletteColor(i), test::grey(uint8_t(85 * i)));
    for (uint32_t y = 0; y < test::kBilevelH; ++y)
        for (uint32_t x = 0; x < test::kBilevelW; ++x)
            EXPECT_EQ(image.GetPixelIndex(x, test::kBilevelH - 1 - y), (x + y) % 4) << x << "," << y;
}

TEST(PngDecoder, PaletteTransparencyGoesIntoThePalette) {
    CxImagePNG single;
    ASSERT_TRUE(decode("png_palette4_trns0.png", single));
    EXPECT_EQ(single.GetTransparentIndex(), 0);
    EXPECT_FALSE(single.IsAlphaPaletteEnabled());

    CxImagePNG several;
    ASSERT_TRUE(decode("png_palette8_trns.png", several));
    EXPECT_EQ(several.GetTransparentIndex(), -1);
    EXPECT_TRUE(several.IsAlphaPaletteEnabled());
    EXPECT_EQ(several.GetPalette()[0].rgbReserved, 0);
    EXPECT_EQ(several.GetPalette()[1].rgbReserved, 0x80);
    EXPECT_EQ(several.GetPalette()[2].rgbReserved, 0xFF);
    EXPECT_EQ(several.GetPalette()[200].rgbReserved, 0xFF);
}

TEST(PngDecoder, AlphaIsComposedOverGreyOrKeptAsTheBackgroundColour) {
    CxImagePNG composed;
    ASSERT_TRUE(decode("png_rgba16.png", composed)) << composed.GetLastError();
    EXPECT_EQ(composed.GetBitCount(), 24u);
    EXPECT_EQ(composed.GetPixelColor(0, test::kRgbH - 1), test::grey(192)); // the transparent pixel
    EXPECT_EQ(composed.GetPixelColor(3, 1), test::rgbColour(3, test::kRgbH - 2));

    CxImagePNG background;
    ASSERT_TRUE(decode("png_rgba8_bkgd.png", background));
    EXPECT_EQ(background.GetTransparentColor(), (RgbQuad{30, 20, 10, 0}));
}

TEST(PngDecoder, InterlacedFilesSetTheFormatOptionAndTruncatedFilesFail) {
    CxImagePNG interlaced;
    ASSERT_TRUE(decode("png_interlaced.png", interlaced));
    EXPECT_EQ(interlaced.GetFormatOption(CXIMAGE_FORMAT_PNG), 1u);
    CxImagePNG plain;
    ASSERT_TRUE(decode("png_rgb_phys.png", plain));
    EXPECT_EQ(plain.GetFormatOption(CXIMAGE_FORMAT_PNG), 0u);

    CxImagePNG truncated;
    EXPECT_FALSE(decode("png_truncated.png", truncated));
    EXPECT_STREQ(truncated.GetLastError(), "Read Error");
}

TEST(PngDecoder, APngNamedBmpLoadsAsPngWhenNoTypeIsForced) {
    const auto path = std::filesystem::temp_directory_path() / "tm_image_png_named.bmp";
    std::filesystem::copy_file(imageFixture("png_rgb_phys.png"), path,
                               std::filesystem::copy_options::overwrite_existing);
    CxImage image(path.string().c_str(), CXIMAGE_FORMAT_BMP);
    EXPECT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetType(), CXIMAGE_FORMAT_PNG);

    // A damaged file named ".bmp" that nothing accepts keeps the BMP decoder's text.
    std::vector<uint8_t> damaged = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 20, 0, 0, 0};
    damaged.resize(80, 0x33);
    const auto bad = std::filesystem::temp_directory_path() / "tm_image_damaged.bmp";
    {
        FILE* f = std::fopen(bad.string().c_str(), "wb");
        std::fwrite(damaged.data(), 1, damaged.size(), f);
        std::fclose(f);
    }
    CxImage failed(bad.string().c_str(), CXIMAGE_FORMAT_BMP);
    EXPECT_FALSE(failed.IsValid());
    EXPECT_STREQ(failed.GetLastError(), "Error reading BMP info");
    std::filesystem::remove(path);
    std::filesystem::remove(bad);
}

} // namespace
} // namespace tracemill
