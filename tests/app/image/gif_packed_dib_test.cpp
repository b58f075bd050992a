#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "app/image/gif_format.h"
#include "app/image/gif_lzw.h"
#include "app/image/gif_packed_dib.h"
#include "app/image/image_file_io.h"
#include "external_tools.h"
#include "raster_test_images.h"

namespace tracemill {
namespace {

using test::tempFile;

// An indexed image of the given indices (rows top-down) and table.
PackedDib indexedDib(int width, int height, int bits, const std::vector<uint8_t>& indices, const Palette& table) {
    std::optional<PackedDib> dib = CreateDib(width, height, bits);
    EXPECT_TRUE(dib);
    for (size_t i = 0; i < table.size() && i < dib->colors.size(); ++i)
        dib->colors[i] = RgbQuad{table[i].blue, table[i].green, table[i].red, 0};
    EXPECT_TRUE(PackDibFromIndices(*dib, indices));
    return *dib;
}

// One column of five rows; interlaced files store the rows 0, 4, 2, 1, 3. The codes
// (minimum code size 2, so 3 bits growing to 4) are worked out by hand:
// plain:      clear 4, 0, 1, 1 (now 4 bits) string 6 = "0 1", end 5;
// interlaced: clear 4, 0, 1, string 7 = "1 1" (now 4 bits), 0, end 5.
TEST(Gif89, SmallFileIsByteExact) {
    const PackedDib dib = indexedDib(1, 5, 1, {0, 1, 1, 0, 1}, {{10, 20, 30, 0}, {200, 100, 50, 0}});
    const struct {
        bool interlace;
        uint8_t descriptorFlags;
        std::vector<uint8_t> data;
    } cases[] = {
        {false, 0x00, {0x44, 0x62, 0x05}},
        {true, 0x40, {0x44, 0x0E, 0x05}},
    };
    for (const auto& c : cases) {
        const auto path = tempFile("gif89-small.gif");
        ASSERT_TRUE(SaveDibAsGif89(path, dib, c.interlace));
        std::vector<uint8_t> expected = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 5, 0,
                                         0x80, // global table, colour resolution 1 bit, 2 entries
                                         0, 0, 10, 20, 30, 200, 100, 50,
                                         0x2C, 0, 0, 0, 0, 1, 0, 5, 0, c.descriptorFlags,
                                         2, // minimum code size: at least 2
                                         3};
        expected.insert(expected.end(), c.data.begin(), c.data.end());
        expected.insert(expected.end(), {0, 0x3B});
        EXPECT_EQ(*ReadFileBytes(path), expected) << "interlace " << c.interlace;
        const std::optional<PackedDib> back = ReadGifToDib(path);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->header.biBitCount, 1);
        EXPECT_EQ(back->colors, dib.colors);
        EXPECT_EQ(back->bits, dib.bits);
        std::filesystem::remove(path);
    }
}

// The packed byte carries the bit count as colour resolution and table size; the table
// has 2^bits entries, black past the image's own; the LZW root codes are the bit count.
TEST(Gif89, ScreenAndCodeSizeFollowTheBitCount) {
    const struct {
        int bits;
        uint8_t screenFlags;
        size_t tableEntries;
        uint8_t minimumCodeSize;
    } cases[] = {{1, 0x80, 2, 2}, {4, 0xB3, 16, 4}, {8, 0xF7, 256, 8}};
    for (const auto& c : cases) {
        PackedDib dib = indexedDib(3, 2, c.bits, {0, 1, 1, 0, 1, 0}, {{1, 2, 3, 0}, {4, 5, 6, 0}});
        dib.colors.resize(2); // a table shorter than the bit count allows
        dib.header.biClrUsed = 2;
        const auto path = tempFile("gif89-screen.gif");
        ASSERT_TRUE(SaveDibAsGif89(path, dib, false));
        const std::vector<uint8_t> file = *ReadFileBytes(path);
        const size_t tableEnd = 13 + 3 * c.tableEntries;
        ASSERT_GT(file.size(), tableEnd + 11);
        EXPECT_EQ(file[10], c.screenFlags) << c.bits;
        std::vector<uint8_t> table(3 * c.tableEntries, 0);
        for (int i = 0; i < 6; ++i) table[size_t(i)] = uint8_t(i + 1);
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + 13, file.begin() + std::ptrdiff_t(tableEnd)), table) << c.bits;
        EXPECT_EQ(file[tableEnd], kGifImageSeparator) << c.bits;
        EXPECT_EQ(file[tableEnd + 10], c.minimumCodeSize) << c.bits;
        const std::optional<PackedDib> back = ReadGifToDib(path);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->header.biBitCount, c.bits);
        EXPECT_EQ(ExpandDibToIndices(*back), ExpandDibToIndices(dib)) << c.bits;
        std::filesystem::remove(path);
    }
}

// Random indices need far more than 4,096 codes, so the coder must clear its table (at
// 12 bits) and start again; ImageMagick and our reader get every pixel back, with the
// rows stored in file order or in the four interlace passes.
TEST(Gif89, NoiseThroughTheTableClearReadsBackTheSame) {
    const struct {
        int bits;
        int width;
        int height;
    } sizes[] = {{1, 403, 251}, {4, 251, 121}, {8, 211, 97}};
    for (const auto& s : sizes)
        for (const bool interlace : {false, true}) {
            std::mt19937 random(unsigned(s.bits * 2 + interlace));
            Palette table(size_t(1) << s.bits);
            for (PaletteEntry& e : table) e = {uint8_t(random()), uint8_t(random()), uint8_t(random()), 0};
            std::vector<uint8_t> indices(size_t(s.width) * size_t(s.height));
            for (uint8_t& i : indices) i = uint8_t(random() % table.size());
            const PackedDib dib = indexedDib(s.width, s.height, s.bits, indices, table);
            const std::string name = std::to_string(s.bits) + (interlace ? " bits interlaced" : " bits");

            const auto path = tempFile("gif89-noise.gif");
            ASSERT_TRUE(SaveDibAsGif89(path, dib, interlace)) << name;
            const size_t dataBytes = std::filesystem::file_size(path) - (13 + 3 * table.size() + 10);
            EXPECT_GT(dataBytes * 8, size_t(kGifMaxCodeBits) * kGifMaxCodes) << name << ": more codes than a table holds";

            const std::optional<PackedDib> back = ReadGifToDib(path);
            ASSERT_TRUE(back) << name;
            EXPECT_EQ(back->header.biBitCount, s.bits) << name;
            EXPECT_EQ(back->colors, dib.colors) << name;
            EXPECT_TRUE(back->bits == dib.bits) << name;

            const auto image = test::readWithImageMagick(path);
            ASSERT_TRUE(image) << name;
            ASSERT_EQ(image->width, s.width);
            ASSERT_EQ(image->height, s.height);
            size_t mismatches = 0;
            for (size_t i = 0; i < indices.size(); ++i) {
                const PaletteEntry& e = table[indices[i]];
                if (image->rgb[i * 3] != e.red || image->rgb[i * 3 + 1] != e.green || image->rgb[i * 3 + 2] != e.blue)
                    ++mismatches;
            }
            EXPECT_EQ(mismatches, 0u) << name;
            std::filesystem::remove(path);
        }
}

// A GIF file put together from its parts: tables of entry i = (i, 255 - i, 7 * i) globally
// and (i, i, 255 - i) locally, any blocks before the image, the indices coded by our LZW.
struct GifParts {
    int globalEntries = 0; // 0: no global table
    std::vector<uint8_t> extensions;
    int localEntries = 0; // 0: no local table
    std::vector<uint8_t> indices;
    int width = 0;
    int height = 0;
};

uint8_t tableSizeField(int entries) {
    uint8_t field = 0;
    while ((2 << field) < entries) ++field;
    return field;
}

std::vector<uint8_t> gifBytes(const GifParts& parts) {
    std::vector<uint8_t> out;
    const auto put = [&](const auto& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
    const uint8_t screenFlags =
        parts.globalEntries ? uint8_t(kGifColourTableFlag | tableSizeField(parts.globalEntries)) : 0;
    put(GifScreenDescriptorLayout::encode({{'G', 'I', 'F', '8', '9', 'a'},
                                           uint16_t(parts.width),
                                           uint16_t(parts.height),
                                           screenFlags,
                                           0,
                                           0}));
    for (int i = 0; i < parts.globalEntries; ++i) put(std::vector<uint8_t>{uint8_t(i), uint8_t(255 - i), uint8_t(7 * i)});
    put(parts.extensions);
    out.push_back(kGifImageSeparator);
    const uint8_t imageFlags = parts.localEntries ? uint8_t(kGifColourTableFlag | tableSizeField(parts.localEntries)) : 0;
    put(GifImageDescriptorLayout::encode({0, 0, uint16_t(parts.width), uint16_t(parts.height), imageFlags}));
    for (int i = 0; i < parts.localEntries; ++i) put(std::vector<uint8_t>{uint8_t(i), uint8_t(i), uint8_t(255 - i)});
    put(EncodeGifImageData(parts.indices, GifLzwSettings{8, 5003, 255}));
    out.push_back(kGifTrailer);
    return out;
}

RgbQuad globalEntry(int i) { return RgbQuad{uint8_t(7 * i), uint8_t(255 - i), uint8_t(i), 0}; }
RgbQuad localEntry(int i) { return RgbQuad{uint8_t(255 - i), uint8_t(i), uint8_t(i), 0}; }
RgbQuad quad(const PaletteEntry& e) { return RgbQuad{e.blue, e.green, e.red, 0}; }

TEST(Gif89, ReadChoosesTheBitCountByItsTable) {
    const std::vector<uint8_t> low = {0, 1, 1, 0, 1, 0};
    const Palette halftone = HalftonePalette();
    const struct {
        const char* name;
        int globalEntries;
        int localEntries;
        std::vector<uint8_t> indices;
        int bits;
        std::function<RgbQuad(int)> colour; // entries past the file's table are black
        int fileEntries;
    } cases[] = {
        {"2 entries", 2, 0, low, 1, globalEntry, 2},
        {"4 entries", 4, 0, low, 4, globalEntry, 4},
        {"16 entries", 16, 0, low, 4, globalEntry, 16},
        {"32 entries", 32, 0, low, 8, globalEntry, 32},
        {"256 entries", 256, 0, low, 8, globalEntry, 256},
        {"local table first", 256, 16, low, 4, localEntry, 16},
        {"local table only", 0, 2, low, 1, localEntry, 2},
        {"indices past the table", 2, 0, {0, 3, 1, 0, 1, 2}, 4, globalEntry, 2},
        {"no table, 2 indices", 0, 0, low, 1, [](int i) { return i ? RgbQuad{255, 255, 255, 0} : RgbQuad{}; }, 2},
        {"no table, 16 indices", 0, 0, {0, 9, 1, 0, 1, 0}, 4,
         [](int i) { return quad(kDefaultPalette[size_t(i)]); }, 16},
        {"no table, 256 indices", 0, 0, {0, 200, 1, 0, 1, 0}, 8,
         [&](int i) { return quad(halftone[size_t(i)]); }, int(halftone.size())},
    };
    const auto path = tempFile("gif89-tables.gif");
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteFileBytes(path, gifBytes({c.globalEntries, {}, c.localEntries, c.indices, 3, 2})));
        const std::optional<PackedDib> dib = ReadGifToDib(path);
        ASSERT_TRUE(dib) << c.name;
        EXPECT_EQ(dib->header.biBitCount, c.bits) << c.name;
        ASSERT_EQ(dib->colors.size(), size_t(1) << c.bits) << c.name;
        for (int i = 0; i < int(dib->colors.size()); ++i)
            ASSERT_EQ(dib->colors[size_t(i)], i < c.fileEntries ? c.colour(i) : RgbQuad{}) << c.name << " entry " << i;
        EXPECT_EQ(*ExpandDibToIndices(*dib), c.indices) << c.name;
    }
    std::filesystem::remove(path);
}

TEST(Gif89, ReadSkipsExtensionBlocks) {
    const std::vector<uint8_t> extensions = {
        kGifExtensionIntroducer, kGifLabelGraphicControl, 4, 0x05, 10, 0, 1, 0,
        kGifExtensionIntroducer, kGifLabelComment, 3, 'a', 'b', 'c', 2, ',', ';', 0,
        kGifExtensionIntroducer, kGifLabelApplication, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0',
        3, 1, 0, 0, 0,
        kGifExtensionIntroducer, kGifLabelPlainText, 12, 0, 0, 0, 0, 3, 0, 2, 0, 8, 8, 1, 0, 2, 'h', 'i', 0,
    };
    const std::vector<uint8_t> indices = {3, 1, 2, 0, 1, 3};
    const auto path = tempFile("gif89-extensions.gif");
    ASSERT_TRUE(WriteFileBytes(path, gifBytes({4, extensions, 0, indices, 3, 2})));
    const std::optional<PackedDib> dib = ReadGifToDib(path);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib->header.biBitCount, 4);
    EXPECT_EQ(*ExpandDibToIndices(*dib), indices);
    std::filesystem::remove(path);
}

TEST(Gif89, RefusalsLeaveNoFileAndKeepTheOldOne) {
    const PackedDib good = indexedDib(2, 2, 8, {1, 2, 3, 4}, {});
    PackedDib rle = good;
    rle.header.biCompression = kBiRle8;
    PackedDib shortRows = good;
    shortRows.bits.resize(4);
    std::optional<PackedDib> trueColour = CreateDib(2, 2, 24);
    std::optional<PackedDib> tooWide = CreateDib(65536, 1, 1);
    ASSERT_TRUE(trueColour && tooWide);
    const auto path = tempFile("gif89-refused.gif");
    ASSERT_TRUE(WriteFileBytes(path, std::vector<uint8_t>{'o', 'l', 'd'}));
    const struct {
        const char* name;
        const PackedDib& dib;
    } cases[] = {{"24 bits", *trueColour}, {"run-length", rle}, {"short rows", shortRows}, {"65,536 wide", *tooWide}};
    for (const auto& c : cases) {
        EXPECT_FALSE(SaveDibAsGif89(path, c.dib, false)) << c.name;
        EXPECT_EQ(*ReadFileBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'})) << c.name;
    }
    EXPECT_FALSE(SaveDibAsGif89("/nonexistent-folder/a.gif", good, false));
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder/a.gif"));
    std::filesystem::remove(path);
}

TEST(Gif89, DamagedFilesReadSafely) {
    const std::vector<uint8_t> indices = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3};
    const std::vector<uint8_t> good = gifBytes({4, {}, 0, indices, 3, 4});
    const auto path = tempFile("gif89-damaged.gif");
    const auto read = [&](std::vector<uint8_t> bytes) {
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return ReadGifToDib(path);
    };
    EXPECT_FALSE(ReadGifToDib("/nonexistent-folder/x.gif"));
    EXPECT_FALSE(read({'G', 'I', 'F', '8', '9'}));
    EXPECT_FALSE(read(std::vector<uint8_t>(good.begin(), good.begin() + 20))) << "no image";
    std::vector<uint8_t> zeroWidth = good;
    zeroWidth[13 + 12 + 5] = 0;
    EXPECT_FALSE(read(zeroWidth));
    // The data end after the first codes: the rows decoded so far stay, the rest is index 0.
    // Four bytes hold three 9-bit codes: clear and the first two pixels.
    std::vector<uint8_t> cut(good.begin(), good.begin() + 13 + 12 + 10 + 6);
    cut[13 + 12 + 11] = 4;
    cut.insert(cut.end(), {0, kGifTrailer});
    const std::optional<PackedDib> partial = read(cut);
    ASSERT_TRUE(partial);
    std::vector<uint8_t> expected(indices.size(), 0);
    expected[0] = 1;
    expected[1] = 2;
    EXPECT_EQ(*ExpandDibToIndices(*partial), expected);
    std::filesystem::remove(path);
}

} // namespace
} // namespace tracemill
