#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/image/decode/cx_image_jpg.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;

bool decode(const std::string& name, CxImageJPG& image) {
    test::MemoryStream stream(test::readBytes(imageFixture(name)));
    return image.Decode(stream.stream());
}

// The fixtures' 16 x 16 picture: red across, green down, blue 128.
void expectSmooth(CxImage& image, int tolerance) {
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) {
            const RgbQuad c = image.GetPixelColor(x, 15 - y);
            EXPECT_LE(std::abs(c.rgbRed - int(x * 17)), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(c.rgbGreen - int(y * 17)), tolerance) << x << "," << y;
            EXPECT_LE(std::abs(c.rgbBlue - 128), tolerance) << x << "," << y;
        }
}

TEST(JpegDecoder, ResolutionComesFromExifElseFromTheJfifDensity) {
    const std::pair<const char*, int32_t> cases[] = {{"jpeg_exif_inch.jpg", 300}, {"jpeg_exif_cm.jpg", 300},
                                                     {"jpeg_rgb.jpg", 72},         {"jpeg_grey.jpg", 300},
                                                     {"jpeg_density0.jpg", 96}};
    for (const auto& [file, dpi] : cases) {
        CxImageJPG image;
        ASSERT_TRUE(decode(file, image)) << file << ": " << image.GetLastError();
        EXPECT_EQ(image.GetXResolution(), dpi) << file;
        EXPECT_EQ(image.GetYResolution(), dpi) << file;
    }
}

TEST(JpegDecoder, ColourGreyAndCmykPictures) {
    CxImageJPG colour;
    ASSERT_TRUE(decode("jpeg_rgb.jpg", colour));
    EXPECT_EQ(colour.GetBitCount(), 24u);
    expectSmooth(colour, 8);

    CxImageJPG grey;
    ASSERT_TRUE(decode("jpeg_grey.jpg", grey));
    EXPECT_EQ(grey.GetBitCount(), 8u);
    EXPECT_EQ(grey.GetHeader().biClrUsed, 256u);
    EXPECT_EQ(grey.GetPaletteColor(200), test::grey(200));
    EXPECT_NEAR(grey.GetPixelColor(3, 15 - 2).rgbRed, (3 * 16 + 2 * 8) % 256, 6);

    CxImageJPG cmyk;
    ASSERT_TRUE(decode("jpeg_cmyk.jpg", cmyk)) << cmyk.GetLastError();
    EXPECT_EQ(cmyk.GetBitCount(), 24u);
    expectSmooth(cmyk, 12);
}

TEST(JpegDecoder, ATruncatedFileCompletesAndAnEmptyOneFails) {
    CxImageJPG truncated;
    ASSERT_TRUE(decode("jpeg_truncated.jpg", truncated)) << truncated.GetLastError();
    EXPECT_EQ(truncated.GetWidth(), 64u);

    CxImageJPG empty;
    test::MemoryStream stream({});
    EXPECT_FALSE(empty.Decode(stream.stream()));
    EXPECT_STREQ(empty.GetLastError(), "Empty input file");

    CxImageJPG dimensions;
    dimensions.SetEscape(-1);
    ASSERT_TRUE(decode("jpeg_truncated.jpg", dimensions));
    EXPECT_FALSE(dimensions.IsValid());
    EXPECT_EQ(dimensions.GetHeight(), 64u);
}

// A progressive file keeps every coefficient of the picture in libjpeg's memory: a frame
// header that claims a picture beyond the memory limit fails before any of that exists.
TEST(JpegDecoder, ProgressiveFilesDecodeAndOversizedOnesAreRefusedFirst) {
    CxImageJPG progressive;
    ASSERT_TRUE(decode("jpeg_progressive.jpg", progressive)) << progressive.GetLastError();
    expectSmooth(progressive, 8);

    std::vector<uint8_t> bytes = test::readBytes(imageFixture("jpeg_progressive.jpg"));
    const uint8_t frameMarker[] = {0xFF, 0xC2};
    const auto frame =
        std::search(bytes.begin(), bytes.end(), std::begin(frameMarker), std::end(frameMarker));
    ASSERT_NE(frame, bytes.end());
    const size_t at = size_t(frame - bytes.begin()) + 5; // marker, length, precision
    bytes[at] = bytes[at + 2] = 0xEA;                    // 60000 x 60000
    bytes[at + 1] = bytes[at + 3] = 0x60;
    test::MemoryStream stream(bytes);
    CxImageJPG huge;
    EXPECT_FALSE(huge.Decode(stream.stream()));
    EXPECT_STREQ(huge.GetLastError(), "CXIMAGE_MAX_MEMORY exceeded");
}

TEST(JpegDecoder, DamagedExifLeavesTheReadersTextAndNeverFailsTheDecode) {
    std::vector<uint8_t> bytes = test::readBytes(imageFixture("jpeg_exif_inch.jpg"));
    // The EXIF block starts at 4 + 2 ("Exif\0\0") + 8: point its first directory far away.
    bytes[2 + 2 + 2 + 6 + 4] = 0xF0;
    bytes[2 + 2 + 2 + 6 + 8] = 0xFF; // entry count of the first directory
    test::MemoryStream stream(bytes);
    CxImageJPG image;
    ASSERT_TRUE(image.Decode(stream.stream()));
    ASSERT_NE(image.GetExifReader(), nullptr);
    EXPECT_EQ(image.GetExifReader()->GetLastError(), "Illegally sized directory");
    EXPECT_EQ(image.GetXResolution(), 72); // JFIF
}

} // namespace
} // namespace tracemill
