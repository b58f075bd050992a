#include <gtest/gtest.h>

#include <algorithm>
#include <array>

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

// LZW data of 16-colour pixels, each one a literal code of 5 bits; a clear code every 12
// pixels keeps the table from growing to 6-bit codes.
Bytes lzwLiterals(const std::vector<uint8_t>& pixels) {
    constexpr uint32_t kClear = 16, kEnd = 17, kBits = 5;
    std::vector<uint32_t> codes{kClear};
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i > 0 && i % 12 == 0) codes.push_back(kClear);
        codes.push_back(pixels[i]);
    }
    codes.push_back(kEnd);
    Bytes data;
    uint32_t accumulator = 0, bits = 0;
    for (uint32_t code : codes) {
        accumulator |= code << bits;
        for (bits += kBits; bits >= 8; bits -= 8, accumulator >>= 8) data.push_back(uint8_t(accumulator));
    }
    if (bits > 0) data.push_back(uint8_t(accumulator));
    Bytes blocks{4}; // minimum code size
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        blocks.push_back(uint8_t(n));
        blocks.insert(blocks.end(), data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + n));
    }
    blocks.push_back(0);
    return blocks;
}

// 16 entries of red, green, blue.
using ColourTable = std::array<RgbQuad, 16>;
Bytes tableBytes(const ColourTable& table) {
    Bytes bytes;
    for (const RgbQuad& c : table) bytes.insert(bytes.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue});
    return bytes;
}

// One frame: descriptor, optional local table and data; rows from the top, stored in
// interlace order when asked.
Bytes gifFrame(uint16_t left, uint16_t top, uint16_t width, const std::vector<std::vector<uint8_t>>& rows,
               bool interlaced, const ColourTable* local) {
    const uint16_t height = uint16_t(rows.size());
    std::vector<uint8_t> pixels;
    std::vector<uint32_t> order;
    if (interlaced) {
        for (const GifInterlacePass& pass : kGifInterlacePasses)
            for (uint32_t y = uint32_t(pass.start); y < height; y += uint32_t(pass.step)) order.push_back(y);
    } else {
        for (uint32_t y = 0; y < height; ++y) order.push_back(y);
    }
    for (uint32_t y : order) pixels.insert(pixels.end(), rows[y].begin(), rows[y].end());
    const uint8_t tableFlags = local ? kGifColourTableFlag | 3 : 0; // 16 entries
    const uint8_t flags = uint8_t((interlaced ? kGifInterlacedFlag : 0) | tableFlags);
    GifImageDescriptor desc{left, top, width, height, flags};
    const auto descBytes = GifImageDescriptorLayout::encode(desc);
    Bytes bytes{kGifImageSeparator};
    bytes.insert(bytes.end(), descBytes.begin(), descBytes.end());
    if (local) {
        const Bytes t = tableBytes(*local);
        bytes.insert(bytes.end(), t.begin(), t.end());
    }
    const Bytes data = lzwLiterals(pixels);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

Bytes gifFile(uint16_t width, uint16_t height, const ColourTable* global, const std::vector<Bytes>& frames) {
    const uint8_t flags = global ? kGifColourTableFlag | 3 : 0; // 16 entries
    GifScreenDescriptor screen{{'G', 'I', 'F', '8', '9', 'a'}, width, height, flags, 0, 0};
    const auto head = GifScreenDescriptorLayout::encode(screen);
    Bytes bytes(head.begin(), head.end());
    if (global) {
        const Bytes t = tableBytes(*global);
        bytes.insert(bytes.end(), t.begin(), t.end());
    }
    for (const Bytes& frame : frames) bytes.insert(bytes.end(), frame.begin(), frame.end());
    bytes.push_back(kGifTrailer);
    return bytes;
}

ColourTable makeTable(uint8_t blue) {
    ColourTable table;
    for (uint8_t i = 0; i < 16; ++i) table[i] = RgbQuad{blue, uint8_t(255 - 16 * i), uint8_t(16 * i), 0};
    return table;
}

std::vector<std::vector<uint8_t>> pattern(uint32_t width, uint32_t height, uint32_t step) {
    std::vector<std::vector<uint8_t>> rows(height, std::vector<uint8_t>(width));
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) rows[y][x] = uint8_t((x * step + 5 * y) % 16);
    return rows;
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

// A later frame with a two-colour local table over a 16-colour picture: the picture takes
// the frame's two colours and keeps the rest of its own table.
TEST(GifDecoder, ALaterFrameWithASmallerTableReplacesOnlyItsOwnColours) {
    const ColourTable global = makeTable(60);
    const auto rows = pattern(3, 2, 1);
    const RgbQuad dark{1, 2, 3, 0}, light{250, 251, 252, 0};
    Bytes second = {',', 1, 0, 1, 0, 1, 0, 1, 0, kGifColourTableFlag}; // 1x1 at (1,1), 2 colours
    second.insert(second.end(), {dark.rgbRed, dark.rgbGreen, dark.rgbBlue, light.rgbRed, light.rgbGreen, light.rgbBlue});
    // Minimum code size 2; the 3-bit codes clear (4), index 1, end (5).
    second.insert(second.end(), {2, 2, 0x4C, 0x01, 0});
    CxImageGIF image;
    image.SetFrame(1);
    ASSERT_TRUE(decode(gifFile(3, 2, &global, {gifFrame(0, 0, 3, rows, false, nullptr), second}), image));
    ASSERT_EQ(image.GetBitCount(), 4u);
    EXPECT_EQ(image.GetPixelColor(1, 0), light);
    EXPECT_EQ(image.GetPaletteColor(0), dark);
    for (uint32_t i = 2; i < 16; ++i) EXPECT_EQ(image.GetPaletteColor(i), global[i]) << i;
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

// Every height whose passes leave some of the four interlace passes empty, and heights where
// passes wrap several times.
TEST(GifDecoder, InterlacedFramesDecodeToThePixelsOfTheirPlainTwins) {
    const ColourTable table = makeTable(7);
    for (uint16_t height : {1, 2, 3, 4, 5, 7, 8, 9, 16, 17}) {
        const auto rows = pattern(3, height, 1);
        CxImageGIF plain, interlaced;
        ASSERT_TRUE(decode(gifFile(3, height, &table, {gifFrame(0, 0, 3, rows, false, nullptr)}), plain));
        ASSERT_TRUE(decode(gifFile(3, height, &table, {gifFrame(0, 0, 3, rows, true, nullptr)}), interlaced))
            << height;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < 3; ++x) {
                EXPECT_EQ(plain.GetPixelIndex(x, height - 1 - y), rows[y][x]) << "height " << height;
                EXPECT_EQ(interlaced.GetPixelIndex(x, height - 1 - y), rows[y][x]) << "height " << height;
            }
    }
}

// No global table and a first frame smaller than the screen both ways: with more than one
// frame every frame is painted by colour into a 24-bit picture; a global table, or a single
// frame, keeps the file an ordinary palette picture.
TEST(GifDecoder, TrueColourFilesPaintEveryFrameByColour) {
    const ColourTable first = makeTable(40), second = makeTable(200);
    const auto rows0 = pattern(3, 2, 1), rows1 = pattern(3, 2, 3);
    const Bytes frame0 = gifFrame(0, 0, 3, rows0, false, &first);
    const Bytes frame1 = gifFrame(3, 2, 3, rows1, true, &second);

    CxImageGIF trueColour;
    ASSERT_TRUE(decode(gifFile(6, 4, nullptr, {frame0, frame1}), trueColour));
    ASSERT_EQ(trueColour.GetBitCount(), 24u);
    EXPECT_EQ(trueColour.GetFrameCount(), 2);
    EXPECT_EQ(trueColour.GetFrame(), 1); // the last frame ends the decode
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 6; ++x) {
            RgbQuad want{};
            if (x < 3 && y < 2) want = first[rows0[y][x]];
            if (x >= 3 && y >= 2) want = second[rows1[y - 2][x - 3]];
            EXPECT_EQ(trueColour.GetPixelColor(x, 3 - y), want) << x << "," << y;
        }

    const ColourTable global = makeTable(90);
    CxImageGIF withGlobalTable;
    ASSERT_TRUE(decode(gifFile(6, 4, &global, {frame0, frame1}), withGlobalTable));
    EXPECT_EQ(withGlobalTable.GetBitCount(), 4u);
    EXPECT_EQ(withGlobalTable.GetFrame(), 0);
    EXPECT_EQ(withGlobalTable.GetPixelIndex(1, 3), rows0[0][1]);
    EXPECT_EQ(withGlobalTable.GetPaletteColor(rows0[0][1]), first[rows0[0][1]]);

    CxImageGIF singleFrame;
    ASSERT_TRUE(decode(gifFile(6, 4, nullptr, {frame0}), singleFrame));
    EXPECT_EQ(singleFrame.GetBitCount(), 4u);
}

} // namespace
} // namespace tracemill
