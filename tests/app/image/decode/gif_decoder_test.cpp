#include <gtest/gtest.h>

#include "app/image/decode/cx_image_gif.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;
using Bytes = std::vector<uint8_t>;

bool decode(const Bytes& bytes, CxImageGIF& image) {
    test::MemoryStream stream(bytes);
    return image.Decode(stream.stream());
}

// The second frame (index 3 with index 15 transparent, at 2,1) over the first.
TEST(GifDecoder, ComposesTheSecondFrameByTheFirstFramesDisposal) {
    const uint8_t frame1[2][4] = {{3, 15, 3, 3}, {15, 3, 3, 15}};
    for (int method : {1, 2}) {
        CxImageGIF image;
        image.SetFrame(1);
        ASSERT_TRUE(decode(test::readBytes(imageFixture("gif_anim_dispose" + std::to_string(method) + ".gif")),
                           image));
        EXPECT_EQ(image.GetFrameCount(), 2);
        EXPECT_EQ(image.GetTransparentIndex(), 15);
        EXPECT_EQ(image.GetFrameDelay(), 9u);
        EXPECT_EQ(image.GetComment(), "tenletters");
        EXPECT_EQ(image.GetLoopCount(), 3);
        for (uint32_t y = 0; y < test::kIndexedH; ++y) {
            for (uint32_t x = 0; x < test::kIndexedW; ++x) {
                uint8_t want = method == 2 ? 15 : test::indexedIndex(x, y);
                if (x >= 2 && x < 6 && y >= 1 && y < 3 && frame1[y - 1][x - 2] != 15) want = frame1[y - 1][x - 2];
                EXPECT_EQ(image.GetPixelIndex(x, test::kIndexedH - 1 - y), want)
                    << "method " << method << " at " << x << "," << y;
            }
        }
    }
}

TEST(GifDecoder, AFrameBeyondTheCountFailsAndStillReportsTheCount) {
    CxImage image(CXIMAGE_FORMAT_UNKNOWN);
    image.SetFrame(3);
    EXPECT_FALSE(image.Load(imageFixture("gif_anim_dispose1.gif").c_str(), CXIMAGE_FORMAT_GIF));
    EXPECT_EQ(image.GetFrameCount(), 2);
}

TEST(GifDecoder, CodesGrowToEightBitPicturesOf256Colours) {
    CxImageGIF image;
    ASSERT_TRUE(decode(test::readBytes(imageFixture("gif_256.gif")), image));
    ASSERT_EQ(image.GetBitCount(), 8u);
    ASSERT_EQ(image.GetWidth(), 64u);
    for (uint32_t y = 0; y < 48; ++y)
        for (uint32_t x = 0; x < 64; ++x) {
            const uint32_t k = (x + y * 7) % 256;
            ASSERT_EQ(image.GetPixelColor(x, 47 - y), (RgbQuad{uint8_t(k * 7 % 256), uint8_t(255 - k), uint8_t(k), 0}))
                << x << "," << y;
        }
}

TEST(GifDecoder, AFrameLargerThanTheScreenIsSkippedAndNotCounted) {
    const Bytes base = test::readBytes(imageFixture("gif_indexed.gif"));
    const size_t head = 13 + 48;
    Bytes bytes(base.begin(), base.begin() + head);
    const Bytes tooBig = {',', 0, 0, 0, 0, 50, 0, 5, 0, 0, 4, 2, 0x11, 0x11, 0};
    bytes.insert(bytes.end(), tooBig.begin(), tooBig.end());
    bytes.insert(bytes.end(), base.begin() + head, base.end());
    CxImageGIF image;
    ASSERT_TRUE(decode(bytes, image));
    EXPECT_EQ(image.GetFrameCount(), 1);
    EXPECT_EQ(image.GetPixelIndex(4, 0), test::indexedIndex(4, test::kIndexedH - 1));
}

TEST(GifDecoder, DamagedDataNeverFailsUnsafelyAndAWrongControlBlockEndsDecoding) {
    const Bytes base = test::readBytes(imageFixture("gif_256.gif"));
    for (size_t cut : {size_t(13), size_t(800), size_t(790 + 9), base.size() / 2, base.size() - 3}) {
        CxImageGIF image;
        decode(Bytes(base.begin(), base.begin() + std::ptrdiff_t(cut)), image); // must not crash
    }
    Bytes noisy = base;
    for (size_t i = 800; i < noisy.size(); i += 37) noisy[i] ^= 0x5A;
    CxImageGIF repaired;
    decode(noisy, repaired);

    Bytes control(base.begin(), base.begin() + 13 + 768);
    const Bytes wrongSize = {'!', 0xF9, 5, 1, 0, 0, 0, 0, 0};
    control.insert(control.end(), wrongSize.begin(), wrongSize.end());
    control.insert(control.end(), base.begin() + 13 + 768, base.end());
    CxImageGIF ended;
    EXPECT_FALSE(decode(control, ended));
    EXPECT_FALSE(ended.IsValid());

    CxImageGIF notGif;
    EXPECT_FALSE(decode(Bytes{'G', 'I', 'F', '7', 'a', 0, 0, 0, 0, 0, 0, 0, 0}, notGif));
}

} // namespace
} // namespace tracemill
