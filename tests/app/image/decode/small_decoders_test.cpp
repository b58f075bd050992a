// TGA, PCX and WBMP: the variants the fixture table cannot show and their failures.
#include <gtest/gtest.h>

#include "app/image/decode/cx_image_pcx.h"
#include "app/image/decode/cx_image_tga.h"
#include "app/image/decode/cx_image_wbmp.h"
#include "app/image/pcx_format.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;
using Bytes = std::vector<uint8_t>;

template <class Decoder> bool decode(const Bytes& bytes, Decoder& image) {
    test::MemoryStream stream(bytes);
    return image.Decode(stream.stream());
}

Bytes tgaHeader(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint16_t mapLength = 0) {
    TgaHeader header;
    header.imageType = type;
    header.colourMapLength = mapLength;
    header.width = w;
    header.height = h;
    header.pixelDepth = depth;
    auto bytes = TgaHeaderLayout::encode(header);
    return Bytes(bytes.begin(), bytes.end());
}

TEST(TgaDecoder, RunsThatCrossLineEndsContinueOnTheNextLine) {
    const RgbQuad rows[4][4] = {{{8, 8, 8, 0}, {16, 16, 16, 0}, {40, 40, 40, 0}, {40, 40, 40, 0}},
                                {{40, 40, 40, 0}, {40, 40, 40, 0}, {0, 0, 64, 0}, {0, 64, 0, 0}},
                                {{64, 0, 0, 0}, {0, 64, 64, 0}, {0, 64, 64, 0}, {0, 64, 64, 0}},
                                {{0, 64, 64, 0}, {3, 2, 1, 0}, {6, 5, 4, 0}, {9, 8, 7, 0}}};
    CxImageTGA image;
    ASSERT_TRUE(decode(test::readBytes(imageFixture("tga_rle24.tga")), image)) << image.GetLastError();
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(image.GetPixelColor(x, 3 - y), rows[y][x]) << x << "," << y;

    // A 16-bit pixel 0x7FFF is 248 in each channel.
    Bytes white = tgaHeader(2, 1, 1, 16);
    white.insert(white.end(), {0xFF, 0x7F});
    CxImageTGA one;
    ASSERT_TRUE(decode(white, one));
    EXPECT_EQ(one.GetPixelColor(0, 0), (RgbQuad{248, 248, 248, 0}));
}

TEST(TgaDecoder, RefusesBadHeadersAndShortData) {
    struct Case {
        const char* name;
        Bytes bytes;
        const char* error;
    } cases[] = {
        {"short", Bytes(10), "Not a TGA"},
        {"type 4", tgaHeader(4, 2, 2, 24), "Unknown TGA image type"},
        {"depth 12", tgaHeader(2, 2, 2, 12), "bad TGA header"},
        {"map of 300", tgaHeader(1, 2, 2, 8, 300), "bad TGA header"},
        {"zero width", tgaHeader(2, 0, 2, 24), "bad TGA header"},
        {"huge and empty", tgaHeader(2, 60000, 60000, 8), "corrupted TGA"},
        {"huge run-length and empty", tgaHeader(10, 16000, 16000, 8), "corrupted TGA"},
    };
    for (const Case& c : cases) {
        CxImageTGA image;
        EXPECT_FALSE(decode(c.bytes, image)) << c.name;
        EXPECT_STREQ(image.GetLastError(), c.error) << c.name;
    }
    // A run far longer than the picture only fills the picture.
    Bytes longRun = tgaHeader(10, 3, 2, 24);
    longRun.insert(longRun.end(), {0xFF, 1, 2, 3});
    CxImageTGA image;
    ASSERT_TRUE(decode(longRun, image));
    EXPECT_EQ(image.GetPixelColor(2, 1), (RgbQuad{1, 2, 3, 0}));
}

Bytes pcxHeader(uint8_t bits, uint8_t planes, uint16_t width, uint16_t height, uint16_t bytesPerLine) {
    PcxHeader header;
    header.manufacturer = kPcxManufacturer;
    header.encoding = kPcxRunLengthEncoding;
    header.bitsPerPixel = bits;
    header.planes = planes;
    header.xMax = uint16_t(width - 1);
    header.yMax = uint16_t(height - 1);
    header.bytesPerLine = bytesPerLine;
    auto bytes = PcxHeaderLayout::encode(header);
    return Bytes(bytes.begin(), bytes.end());
}

TEST(PcxDecoder, OneBitPicturesAreBlackAndWhite) {
    CxImagePCX image;
    ASSERT_TRUE(decode(test::readBytes(imageFixture("pcx_1bit.pcx")), image)) << image.GetLastError();
    ASSERT_EQ(image.GetBitCount(), 1u);
    EXPECT_EQ(image.GetPaletteColor(0), (RgbQuad{0, 0, 0, 0}));
    EXPECT_EQ(image.GetPaletteColor(1), (RgbQuad{255, 255, 255, 0}));
    for (uint32_t y = 0; y < test::kBilevelH; ++y)
        for (uint32_t x = 0; x < test::kBilevelW; ++x)
            EXPECT_EQ(image.GetPixelIndex(x, test::kBilevelH - 1 - y), test::bilevelIndex(x, y));
}

TEST(PcxDecoder, RefusesWhatItCannotReadWithItsTexts) {
    Bytes wrongMaker = pcxHeader(8, 1, 2, 2, 2);
    wrongMaker[0] = 5;
    Bytes inverted = pcxHeader(8, 1, 2, 2, 2);
    writeLe16(&inverted[8], 0); // X max below X min
    writeLe16(&inverted[4], 5);
    inverted.insert(inverted.end(), {1, 2, 3, 4});
    Bytes spans = pcxHeader(8, 1, 2, 2, 2);
    spans.insert(spans.end(), {0xC5, 7});
    struct Case {
        const char* name;
        Bytes bytes;
        const char* error;
    } cases[] = {
        {"short", Bytes(100), "Can't read PCX image"},
        {"maker", wrongMaker, "Error: Not a PCX file"},
        {"five planes", pcxHeader(1, 5, 2, 2, 2), "Can't handle image with more than 4 planes"},
        {"no planes", [] {
             Bytes b = pcxHeader(8, 0, 2, 2, 2);
             b.insert(b.end(), {1, 2, 3, 4});
             return b;
         }(), "PCX file has no colour planes"},
        {"4 planes of 8 bits", [] {
             Bytes b = pcxHeader(8, 4, 1, 1, 1);
             b.insert(b.end(), {1, 2, 3, 4});
             return b;
         }(), "Can't handle more than 1 bit per pixel"},
        {"no data", pcxHeader(8, 1, 2, 2, 2), "corrupted PCX"},
        {"huge and empty", pcxHeader(8, 1, 16000, 16000, 16000), "corrupted PCX"},
        {"run past the end", spans, "repeat count spans end of image"},
        {"inverted window", inverted, "CxImage::Create : width and height must be greater than zero"},
    };
    for (const Case& c : cases) {
        CxImagePCX image;
        EXPECT_FALSE(decode(c.bytes, image)) << c.name;
        EXPECT_STREQ(image.GetLastError(), c.error) << c.name;
    }
    CxImagePCX badMarker;
    EXPECT_FALSE(decode(test::readBytes(imageFixture("pcx_8bit_badmarker.pcx")), badMarker));
    EXPECT_STREQ(badMarker.GetLastError(), "bad color map signature");
}

TEST(PcxDecoder, PlanesWiderThanTheirLineKeepToTheLine) {
    // 24 bits in three planes of 1 byte for a picture 3 pixels wide.
    Bytes narrow = pcxHeader(8, 3, 3, 1, 1);
    narrow.insert(narrow.end(), {10, 20, 30});
    CxImagePCX image;
    ASSERT_TRUE(decode(narrow, image));
    EXPECT_EQ(image.GetPixelColor(0, 0), (RgbQuad{30, 20, 10, 0}));
    EXPECT_EQ(image.GetPixelColor(2, 0), RgbQuad{});
}

TEST(WbmpDecoder, ReadsRowsFromTheTopAndRefusesOtherTypes) {
    CxImageWBMP image;
    ASSERT_TRUE(decode(test::readBytes(imageFixture("wbmp_11x5.wbmp")), image));
    EXPECT_EQ(image.GetBitCount(), 1u);
    EXPECT_EQ(image.GetPaletteColor(1), (RgbQuad{255, 255, 255, 0}));
    for (uint32_t y = 0; y < test::kBilevelH; ++y)
        for (uint32_t x = 0; x < test::kBilevelW; ++x)
            EXPECT_EQ(image.GetPixelIndex(x, test::kBilevelH - 1 - y), test::bilevelIndex(x, y));

    CxImageWBMP nine;
    ASSERT_TRUE(decode(Bytes{0, 0, 9, 2, 0xFF, 0x80, 0x01, 0x00}, nine));
    EXPECT_EQ(nine.GetPixelIndex(8, 1), 1); // 2 bytes per row
    EXPECT_EQ(nine.GetPixelIndex(7, 0), 1);

    const std::pair<Bytes, const char*> failures[] = {{Bytes{0, 0}, "Not a WBMP"},
                                                      {Bytes{1, 0, 2, 2}, "Unsupported WBMP type"},
                                                      {Bytes{0, 0, 0, 2}, "Corrupted WBMP"}};
    for (const auto& [bytes, error] : failures) {
        CxImageWBMP bad;
        EXPECT_FALSE(decode(bytes, bad));
        EXPECT_STREQ(bad.GetLastError(), error);
    }
}

} // namespace
} // namespace tracemill
