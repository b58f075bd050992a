#include <gtest/gtest.h>

#include "toolkit/core/bmp_format.h"
#include "app/image/gif_format.h"
#include "app/image/pcx_format.h"

namespace tracemill {
namespace {

TEST(FormatLayout, BitmapInfoHeaderDecodesLittleEndianFieldsInOrder) {
    BitmapInfoHeaderLayout::Bytes bytes{};
    writeLe32(&bytes[0], 40);
    writeLe32(&bytes[4], 3);
    writeLe32(&bytes[8], uint32_t(-5)); // top-down
    writeLe16(&bytes[12], 1);
    writeLe16(&bytes[14], 24);
    writeLe32(&bytes[16], kBiBitfields);
    writeLe32(&bytes[20], 60);
    writeLe32(&bytes[24], 3780);
    writeLe32(&bytes[28], 11811);
    writeLe32(&bytes[32], 7);
    writeLe32(&bytes[36], 2);
    BitmapInfoHeader h = BitmapInfoHeaderLayout::decode(bytes);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biHeight, -5);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, kBiBitfields);
    EXPECT_EQ(h.biSizeImage, 60u);
    EXPECT_EQ(h.biXPelsPerMeter, 3780);
    EXPECT_EQ(h.biYPelsPerMeter, 11811);
    EXPECT_EQ(h.biClrUsed, 7u);
    EXPECT_EQ(h.biClrImportant, 2u);
    EXPECT_EQ(BitmapInfoHeaderLayout::encode(h), bytes);
}

TEST(FormatLayout, HeadersRoundTripThroughTheirLayouts) {
    BitmapFileHeader file{kBitmapFileType, 1078 + 16, 0, 0, 1078};
    auto fileBytes = BitmapFileHeaderLayout::encode(file);
    EXPECT_EQ(fileBytes[0], 'B');
    EXPECT_EQ(fileBytes[1], 'M');
    EXPECT_EQ(readLe32(&fileBytes[10]), 1078u);

    GifImageDescriptor image{1, 2, 0x1234, 4, kGifInterlacedFlag};
    auto imageBytes = GifImageDescriptorLayout::encode(image);
    EXPECT_EQ(imageBytes[4], 0x34);
    EXPECT_EQ(imageBytes[5], 0x12);
    EXPECT_EQ(imageBytes[8], kGifInterlacedFlag);
    EXPECT_EQ(GifImageDescriptorLayout::decode(imageBytes).width, 0x1234);

    PcxHeader pcx;
    pcx.manufacturer = kPcxManufacturer;
    pcx.xMax = 639;
    pcx.colourMap[47] = 0xAB;
    pcx.planes = 3;
    pcx.bytesPerLine = 640;
    auto pcxBytes = PcxHeaderLayout::encode(pcx);
    EXPECT_EQ(readLe16(&pcxBytes[8]), 639);
    EXPECT_EQ(pcxBytes[16 + 47], 0xAB);
    EXPECT_EQ(pcxBytes[65], 3);
    EXPECT_EQ(readLe16(&pcxBytes[66]), 640);
    PcxHeader back = PcxHeaderLayout::decode(pcxBytes);
    EXPECT_EQ(back.colourMap, pcx.colourMap);
    EXPECT_EQ(back.bytesPerLine, 640);
}

TEST(FormatLayout, RowLengthPadsToFourBytesWithoutOverflow) {
    EXPECT_EQ(dibRowLength(3, 24), 12u);
    EXPECT_EQ(dibRowLength(33, 1), 8u);
    EXPECT_EQ(dibRowLength(0xFFFFFFFFull, 32), 0x3FFFFFFFCull);
}

} // namespace
} // namespace tracemill
