#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/image/dib.h"
#include "external_tools.h"

namespace tracemill {
namespace {

std::filesystem::path tempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("tracemill_dib_" + std::to_string(::getpid()) + "_" + name);
}

TEST(Dib, CreateRoundsTheBitCount) {
    const struct {
        int requested, made;
    } cases[] = {{0, 1}, {1, 1}, {3, 4}, {4, 4}, {5, 8}, {8, 8}, {16, 24}, {24, 24}, {32, 4}};
    for (const auto& c : cases) {
        CDib dib;
        ASSERT_TRUE(dib.Create(5, 3, c.requested));
        EXPECT_EQ(dib.GetBitCount(), c.made) << "requested " << c.requested;
        EXPECT_EQ(dib.GetColorCount(), c.made <= 8 ? 1u << c.made : 0u);
    }
    CDib dib;
    EXPECT_FALSE(dib.Create(0, 3, 8));
    EXPECT_FALSE(dib.Create(100000, 100000, 24)); // larger than the library makes
    EXPECT_TRUE(dib.IsEmpty());
}

// A 5 x 3 image of each bit count with distinct pixels, written as a ".bmp" file image: the
// headers, offsets and padded rows are checked byte by byte, and ImageMagick reads back the
// same pixels.
TEST(Dib, WriteIsByteExactAndReadableByImageMagick) {
    const PaletteEntry palette[16] = {{0, 0, 0, 0},       {255, 255, 255, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},
                                      {0, 0, 255, 0},     {255, 255, 0, 0},   {0, 255, 255, 0}, {255, 0, 255, 0},
                                      {128, 0, 0, 0},     {0, 128, 0, 0},     {0, 0, 128, 0},   {128, 128, 0, 0},
                                      {0, 128, 128, 0},   {128, 0, 128, 0},   {64, 64, 64, 0},  {200, 100, 50, 0}};
    for (int bitCount : {1, 4, 8, 24}) {
        SCOPED_TRACE(bitCount);
        const int width = 5, height = 3;
        CDib dib;
        ASSERT_TRUE(dib.Create(width, height, bitCount));
        ASSERT_TRUE(dib.SetPaletteEntries(palette));
        const uint32_t stride = dib.GetBytesPerLine();
        EXPECT_EQ(stride, ((width * bitCount + 31) / 32) * 4u);
        // Pixel (x, y) from the top: index (x + 2y) mod the colour count, or its colour.
        const int colours = bitCount == 1 ? 2 : 16;
        uint8_t* bits = dib.GetBits();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const int index = (x + 2 * y) % colours;
                uint8_t* row = bits + size_t(height - 1 - y) * stride;
                if (bitCount == 1) row[x / 8] |= uint8_t(index << (7 - x % 8));
                else if (bitCount == 4) row[x / 2] |= uint8_t(x % 2 ? index : index << 4);
                else if (bitCount == 8) row[x] = uint8_t(index);
                else {
                    row[x * 3] = palette[index].blue;
                    row[x * 3 + 1] = palette[index].green;
                    row[x * 3 + 2] = palette[index].red;
                }
            }

        std::vector<uint8_t> file;
        ASSERT_TRUE(dib.Write(file));
        const uint32_t table = bitCount <= 8 ? (1u << bitCount) * 4 : 0;
        const uint32_t offBits = 14 + 40 + table;
        const uint32_t imageSize = stride * height;
        std::vector<uint8_t> expected = {'B', 'M'};
        const auto le = [&](uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i) expected.push_back(uint8_t(v >> (8 * i)));
        };
        le(offBits + imageSize, 4);
        le(0, 4);
        le(offBits, 4);
        le(40, 4);
        le(width, 4);
        le(height, 4);
        le(1, 2);
        le(bitCount, 2);
        le(0, 4);
        le(imageSize, 4);
        expected.insert(expected.end(), 16, 0); // resolutions and colour counts
        for (uint32_t i = 0; i < table / 4; ++i) {
            const PaletteEntry e = i < 16 && (bitCount > 1 || i < 2) ? palette[i] : PaletteEntry{};
            expected.insert(expected.end(), {e.blue, e.green, e.red, 0});
        }
        expected.insert(expected.end(), bits, bits + imageSize);
        EXPECT_EQ(file, expected);
        // Padding bytes of each row stay zero.
        const uint32_t used = (width * bitCount + 7) / 8;
        for (int r = 0; r < height; ++r)
            for (uint32_t b = used; b < stride; ++b) EXPECT_EQ(bits[r * stride + b], 0);

        const auto path = tempPath("write.bmp");
        ASSERT_TRUE(dib.Save(path));
        const auto image = test::readWithImageMagick(path);
        std::filesystem::remove(path);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width, width);
        ASSERT_EQ(image->height, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const PaletteEntry e = palette[(x + 2 * y) % colours];
                const uint8_t* p = image->rgb.data() + (size_t(y) * width + x) * 3;
                EXPECT_EQ((std::array<uint8_t, 3>{p[0], p[1], p[2]}), (std::array<uint8_t, 3>{e.red, e.green, e.blue}))
                    << "pixel " << x << "," << y;
            }
    }
}

TEST(Dib, OnePixelWideRowsArePaddedToFourBytes) {
    CDib dib;
    ASSERT_TRUE(dib.Create(1, 7, 24));
    EXPECT_EQ(dib.GetBytesPerLine(), 4u);
    std::vector<uint8_t> file;
    ASSERT_TRUE(dib.Write(file));
    EXPECT_EQ(readLe32(&file[14 + 20]), 28u); // biSizeImage
    EXPECT_EQ(readLe32(&file[10]), 54u);      // bfOffBits
}

TEST(Dib, ReadRoundTripsAndRefusesDamagedFiles) {
    CDib source;
    ASSERT_TRUE(source.Create(6, 4, 8));
    source.GetBits()[3] = 77;
    std::vector<uint8_t> good;
    ASSERT_TRUE(source.Write(good));

    CDib dib;
    ASSERT_TRUE(dib.Read(good));
    EXPECT_EQ(dib.GetWidth(), 6);
    EXPECT_EQ(dib.GetBits()[3], 77);

    std::vector<uint8_t> wrongSize = good;
    writeLe32(&wrongSize[2], 99999); // bfSize disagrees with the length: the length is used
    EXPECT_TRUE(dib.Read(wrongSize));

    const auto damaged = [&](auto change) {
        std::vector<uint8_t> f = good;
        change(f);
        return f;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> file;
    } bad[] = {
        {"not BM", damaged([](auto& f) { f[0] = 'X'; })},
        {"core header", damaged([](auto& f) { writeLe32(&f[14], 12); })},
        {"108-byte header", damaged([](auto& f) { writeLe32(&f[14], 108); })},
        {"short pixels", damaged([](auto& f) { f.resize(f.size() - 1); })},
        {"short header", damaged([](auto& f) { f.resize(30); })},
        {"huge height", damaged([](auto& f) { writeLe32(&f[22], 0x7FFFFFFF); })},
        {"negative width", damaged([](auto& f) { writeLe32(&f[18], uint32_t(-6)); })},
        {"bit count 7", damaged([](auto& f) { writeLe16(&f[28], 7); })},
        {"RLE4 on 8 bits", damaged([](auto& f) { writeLe32(&f[30], kBiRle4); })},
    };
    for (const auto& c : bad) {
        ASSERT_TRUE(dib.Read(good));
        EXPECT_FALSE(dib.Read(c.file)) << c.name;
        EXPECT_EQ(dib.GetWidth(), 6) << c.name << ": the old image stays";
    }
}

TEST(Dib, SetPaletteEntriesByBitCount) {
    std::vector<PaletteEntry> entries(300);
    for (size_t i = 0; i < entries.size(); ++i) entries[i] = {uint8_t(i), 1, 2, 3};
    CDib dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    ASSERT_TRUE(dib.SetPaletteEntries(entries));
    const Palette palette = dib.GetPalette();
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[255], (PaletteEntry{255, 1, 2, 0}));

    CDib colour;
    ASSERT_TRUE(colour.Create(2, 2, 24));
    EXPECT_TRUE(colour.SetPaletteEntries(entries));
    EXPECT_TRUE(colour.GetPalette().empty());
    EXPECT_FALSE(CDib().SetPaletteEntries(entries));
}

TEST(Dib, ChangeBitCountToTheSameCountLeavesTheBlock) {
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 3, 8));
    const uint8_t* before = dib.GetBits();
    EXPECT_TRUE(dib.ChangeBitCount(8));
    EXPECT_EQ(dib.GetBits(), before);
    EXPECT_FALSE(CDib().ChangeBitCount(8));
}

// A 24-bit picture of three colours converted to 8 bits without a palette: the table
// starts with the octree colours (in child-index order) and the rest is black; every pixel
// keeps its colour.
TEST(Dib, ConvertingThreeColoursTo8BitsMakesAnOctreeTable) {
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 2, 24));
    const gdi::ColorRef colours[3] = {gdi::rgb(200, 10, 10), gdi::rgb(10, 200, 10), gdi::rgb(10, 10, 200)};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint8_t* p = dib.GetBits() + dib.GetPixelOffset(x, y);
            p[0] = gdi::blueOf(colours[x]);
            p[1] = gdi::greenOf(colours[x]);
            p[2] = gdi::redOf(colours[x]);
        }
    ASSERT_TRUE(dib.ChangeBitCount(8));
    const Palette palette = dib.GetPalette();
    ASSERT_EQ(palette.size(), 256u);
    // Child index of the top bits: blue (001) < green (010) < red (100).
    EXPECT_EQ(palette[0], (PaletteEntry{10, 10, 200, 0}));
    EXPECT_EQ(palette[1], (PaletteEntry{10, 200, 10, 0}));
    EXPECT_EQ(palette[2], (PaletteEntry{200, 10, 10, 0}));
    for (size_t i = 3; i < 256; ++i) EXPECT_EQ(palette[i], PaletteEntry{}) << i;
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dib.GetPixel(x, 1), colours[x]);
}

TEST(Dib, GetPixelOfOneBitImagesIgnoresTheTable) {
    CDib dib;
    ASSERT_TRUE(dib.Create(9, 2, 1));
    const PaletteEntry red[2] = {{255, 0, 0, 0}, {0, 255, 0, 0}};
    ASSERT_TRUE(dib.SetPaletteEntries(red));
    dib.GetBits()[dib.GetPixelOffset(8, 0)] |= 0x80; // pixel (8, 0), top row
    EXPECT_EQ(dib.GetPixel(8, 0), 0xFFFFFFu);
    EXPECT_EQ(dib.GetPixel(7, 0), 0u);
    EXPECT_EQ(dib.GetPixel(9, 0), 0u); // outside
    EXPECT_EQ(dib.GetPixel(-1, 0), 0u);
}

TEST(Dib, QuantizedReductionKeepsFewColoursExactly) {
    CDib dib;
    ASSERT_TRUE(dib.Create(4, 4, 24));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            uint8_t* p = dib.GetBits() + dib.GetPixelOffset(x, y);
            p[0] = p[1] = p[2] = (x + y) % 2 ? 255 : 0;
        }
    ASSERT_TRUE(dib.ChangeBitCountQuantized(1));
    EXPECT_EQ(dib.GetBitCount(), 1);
    const Palette palette = dib.GetPalette();
    EXPECT_EQ(palette[0], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(palette[1], (PaletteEntry{255, 255, 255, 0}));
    EXPECT_EQ(dib.GetPixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(dib.GetPixel(0, 0), 0u);
}

TEST(Dib, SaveToAMissingFolderFailsAndLeavesNothing) {
    CDib dib;
    ASSERT_TRUE(dib.Create(2, 2, 24));
    EXPECT_FALSE(dib.Save("/nonexistent-folder/x.bmp"));
    EXPECT_FALSE(CDib().Save(tempPath("empty.bmp")));
    EXPECT_FALSE(std::filesystem::exists(tempPath("empty.bmp")));
}

} // namespace
} // namespace tracemill
