#include <gtest/gtest.h>

#include "app/image/decode/cx_image_bmp.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;
using Bytes = std::vector<uint8_t>;

// A bitmap file of the given header fields, palette and pixel bytes.
Bytes bitmap(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t colours,
             const Bytes& palette, const Bytes& pixels, uint32_t headerSize = 40) {
    BitmapInfoHeader info;
    info.biSize = headerSize;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = bits;
    info.biCompression = compression;
    info.biClrUsed = colours;
    auto infoBytes = BitmapInfoHeaderLayout::encode(info);
    BitmapFileHeader file{kBitmapFileType, 0, 0, 0, uint32_t(14 + 40 + palette.size())};
    auto fileBytes = BitmapFileHeaderLayout::encode(file);
    Bytes out(fileBytes.size() + infoBytes.size());
    std::copy(fileBytes.begin(), fileBytes.end(), out.begin());
    std::copy(infoBytes.begin(), infoBytes.end(), out.begin() + std::ptrdiff_t(fileBytes.size()));
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

bool decode(const Bytes& bytes, CxImageBMP& image) {
    test::MemoryStream stream(bytes);
    return image.Decode(stream.stream());
}

TEST(BmpDecoder, RefusesWhatItCannotReadWithItsTexts) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* error;
    } cases[] = {
        {"short file", Bytes{'B', 'M', 1}, "Not a BMP"},
        {"header size 20", bitmap(2, 2, 8, 0, 0, {}, Bytes(16), 20), "Error reading BMP info"},
        {"32 bits RLE", bitmap(2, 2, 32, 1, 0, {}, Bytes(16)), "unknown compression"},
        {"24 bits bitfields", bitmap(2, 2, 24, 3, 0, {}, Bytes(16)), "unknown compression"},
        {"8 bits compression 4", bitmap(2, 2, 8, 4, 1, Bytes(4), Bytes(8)), "compression type not supported"},
        {"negative width", bitmap(-2, 2, 8, 0, 1, Bytes(4), Bytes(8)), "Can't allocate memory"},
        {"huge", bitmap(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, 0, {}, Bytes(8)), "Can't allocate memory"},
    };
    for (const Case& c : cases) {
        CxImageBMP image;
        EXPECT_FALSE(decode(c.bytes, image)) << c.name;
        EXPECT_STREQ(image.GetLastError(), c.error) << c.name;
    }
}

TEST(BmpDecoder, RunsStayInsideTheirRowAndThePicture) {
    // 4 x 2 RLE8: a run of 9 fills the bottom row and spills nothing into the next; a delta
    // and an absolute block past the right edge are dropped; a run far above the picture too.
    const Bytes rle = {9, 7,  0, 0, 0, 2, 3, 0, 0, 3, 1, 2, 3, 0, 0, 2, 0, 50,
                       5, 1, 0, 0, 2, 6, 0, 1};
    CxImageBMP image;
    ASSERT_TRUE(decode(bitmap(4, 2, 8, 1, 1, Bytes(4), rle), image)) << image.GetLastError();
    EXPECT_EQ(Bytes(image.GetRow(0), image.GetRow(0) + 4), (Bytes{7, 7, 7, 7}));
    EXPECT_EQ(Bytes(image.GetRow(1), image.GetRow(1) + 4), (Bytes{0, 0, 0, 1}));

    // RLE4: a run of 9 nibbles in a 4-pixel row (4 bytes with padding) keeps to the row.
    CxImageBMP nibbles;
    ASSERT_TRUE(decode(bitmap(4, 2, 4, 2, 1, Bytes(4), {9, 0x12, 0, 1}), nibbles));
    EXPECT_EQ(nibbles.GetRow(1)[0], 0);
    EXPECT_EQ(Bytes(nibbles.GetRow(0), nibbles.GetRow(0) + 4), (Bytes{0x12, 0x12, 0x12, 0x12}));
}

TEST(BmpDecoder, APaletteLargerThanTheBitDepthIsCutToTheDepth) {
    Bytes palette(300 * 4, 0xEE);
    palette[4] = 1; // entry 1 blue
    CxImageBMP image;
    ASSERT_TRUE(decode(bitmap(2, 1, 1, 0, 300, palette, {0x40, 0, 0, 0}), image));
    EXPECT_EQ(image.GetPaletteSize(), 8u);
    EXPECT_EQ(image.GetPaletteColor(1), (RgbQuad{1, 0xEE, 0xEE, 0}));
    EXPECT_EQ(image.GetPixelIndex(1, 0), 1);
}

TEST(BmpDecoder, AShortFileKeepsClearedRowsAndDimensionsOnlyStopsAfterTheHeader) {
    CxImageBMP image;
    ASSERT_TRUE(decode(bitmap(3, 4, 24, 0, 0, {}, {1, 2, 3}), image));
    EXPECT_EQ(image.GetPixelColor(0, 0), (RgbQuad{1, 2, 3, 0}));
    EXPECT_EQ(image.GetPixelColor(0, 3), RgbQuad{});

    CxImageBMP dimensions;
    dimensions.SetEscape(-1);
    EXPECT_TRUE(decode(test::readBytes(imageFixture("bmp_24.bmp")), dimensions));
    EXPECT_FALSE(dimensions.IsValid());
    EXPECT_EQ(dimensions.GetWidth(), test::kRgbW);
    EXPECT_EQ(dimensions.GetHeight(), test::kRgbH);
    EXPECT_STREQ(dimensions.GetLastError(), "output dimensions returned");

    CxImageBMP garbage;
    garbage.SetEscape(-1);
    EXPECT_FALSE(decode(Bytes(60, 0x11), garbage)); // a failure stays a failure
    EXPECT_STREQ(garbage.GetLastError(), "Error reading BMP info");

    CxImageBMP cancelled;
    cancelled.SetEscape(1);
    EXPECT_FALSE(decode(test::readBytes(imageFixture("bmp_24.bmp")), cancelled));
    EXPECT_STREQ(cancelled.GetLastError(), "Cancelled");
}

} // namespace
} // namespace tracemill
