#include <gtest/gtest.h>

#include <random>
#include <set>

#include "app/image/color_quantizer.h"

namespace tracemill {
namespace {

// A 24-bit bottom-up image whose stored pixels are `rgb` (0xRRGGBB), `width` per row.
PackedDib image24(int width, const std::vector<uint32_t>& rgb) {
    const int height = int(rgb.size()) / width;
    PackedDib dib = *CreateDib(width, height, 24);
    const uint64_t stride = DibBytesPerLine(dib.header);
    for (size_t i = 0; i < rgb.size(); ++i) {
        uint8_t* p = dib.bits.data() + (i / size_t(width)) * stride + (i % size_t(width)) * 3;
        p[0] = uint8_t(rgb[i]);
        p[1] = uint8_t(rgb[i] >> 8);
        p[2] = uint8_t(rgb[i] >> 16);
    }
    return dib;
}

TEST(ColorQuantizer, FewColoursAreKeptExactlyInChildIndexOrder) {
    const auto palette = CreateOctreePaletteFromDib(image24(4, {0xFFFFFF, 0x000000, 0x102030, 0xFFFFFF}), 256, 8);
    ASSERT_TRUE(palette);
    ASSERT_EQ(palette->size(), 3u);
    EXPECT_EQ((*palette)[0], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ((*palette)[1], (PaletteEntry{0x10, 0x20, 0x30, 0}));
    EXPECT_EQ((*palette)[2], (PaletteEntry{255, 255, 255, 0}));
}

TEST(ColorQuantizer, NeverMoreThanTheRequestedColours) {
    std::mt19937 random(7);
    std::vector<uint32_t> noise(64 * 64);
    for (uint32_t& c : noise) c = random() & 0xFFFFFF;
    const PackedDib dib = image24(64, noise);
    for (int limit : {1, 2, 16, 236, 256}) {
        const auto palette = CreateOctreePaletteFromDib(dib, limit, 8);
        ASSERT_TRUE(palette) << limit;
        EXPECT_LE(palette->size(), size_t(limit));
        EXPECT_GE(palette->size(), 1u);
    }
}

TEST(ColorQuantizer, DepthZeroGivesTheAverage) {
    const auto palette = CreateOctreePaletteFromDib(image24(2, {0x000000, 0x0A141E}), 256, 0);
    ASSERT_TRUE(palette);
    ASSERT_EQ(palette->size(), 1u);
    EXPECT_EQ((*palette)[0], (PaletteEntry{5, 10, 15, 0}));
}

TEST(ColorQuantizer, RefusesDepthNineAndZeroColours) {
    const PackedDib dib = image24(1, {0x123456});
    EXPECT_FALSE(CreateOctreePaletteFromDib(dib, 256, 9));
    EXPECT_FALSE(CreateOctreePaletteFromDib(dib, 0, 8));
    EXPECT_FALSE(CreateOctreePaletteFromDib(dib, -3, 8));
}

// With at most 2 colours at depth 1, a third top-bit class makes the root absorb its
// children: one entry, the average of everything.
TEST(ColorQuantizer, ThirdClassCollapsesToOneEntry) {
    const auto palette = CreateOctreePaletteFromDib(image24(4, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}), 2, 1);
    ASSERT_TRUE(palette);
    ASSERT_EQ(palette->size(), 1u);
    EXPECT_EQ((*palette)[0], (PaletteEntry{63, 63, 63, 0}));
}

TEST(ColorQuantizer, SixteenBitPixelsWithAndWithoutBitFields) {
    PackedDib dib = *CreateDib(2, 1, 24);
    dib.header.biBitCount = 16;
    dib.bits.assign(4, 0);
    writeLe16(&dib.bits[0], 0x7C00); // 5-5-5 red
    writeLe16(&dib.bits[2], 0x001F); // blue
    auto palette = CreateOctreePaletteFromDib(dib, 256, 8);
    ASSERT_TRUE(palette);
    ASSERT_EQ(palette->size(), 2u);
    EXPECT_EQ((*palette)[0], (PaletteEntry{0, 0, 248, 0}));
    EXPECT_EQ((*palette)[1], (PaletteEntry{248, 0, 0, 0}));

    // 32-bit masks of 10 bits take their top 8 bits.
    PackedDib wide = *CreateDib(1, 1, 24);
    wide.header.biBitCount = 32;
    wide.header.biCompression = kBiBitfields;
    wide.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    wide.bits.assign(4, 0);
    writeLe32(&wide.bits[0], (0x3FFu << 20) | (0x200u << 10) | 0x004u);
    palette = CreateOctreePaletteFromDib(wide, 256, 8);
    ASSERT_TRUE(palette);
    ASSERT_EQ(palette->size(), 1u);
    EXPECT_EQ((*palette)[0], (PaletteEntry{255, 128, 1, 0}));
}

} // namespace
} // namespace tracemill
