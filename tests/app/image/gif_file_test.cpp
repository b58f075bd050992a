#include <gtest/gtest.h>

#include <fstream>

#include "app/image/gif_file.h"
#include "app/image/image_file_io.h"
#include "external_tools.h"
#include "raster_test_images.h"

namespace tracemill {
namespace {

using test::tempFile;

// Header, screen, 256-entry table and image descriptor of a width x height GIF87a file.
std::vector<uint8_t> expectedHead(int width, int height, const std::vector<uint8_t>& table) {
    std::vector<uint8_t> head = {'G', 'I', 'F', '8', '7', 'a', uint8_t(width), uint8_t(width >> 8), uint8_t(height),
                                 uint8_t(height >> 8), 0xE7, 0, 0};
    head.insert(head.end(), table.begin(), table.end());
    head.insert(head.end(), {0x2C, 0, 0, 0, 0, uint8_t(width), uint8_t(width >> 8), uint8_t(height),
                             uint8_t(height >> 8), 0, 8});
    return head;
}

// One pixel: clear (256), the pixel, end (257) at 9 bits: 27 bits in one packet of 4 bytes.
TEST(GifFile, OnePixelIsByteExact) {
    CDib dib;
    ASSERT_TRUE(dib.Create(1, 1, 24));
    test::setPixel24(dib, 0, 0, gdi::rgb(10, 20, 30));
    const auto path = tempFile("one.gif");
    CGifFile gif(dib);
    ASSERT_TRUE(gif.Save(path));
    std::vector<uint8_t> table(768, 0);
    table[0] = 10;
    table[1] = 20;
    table[2] = 30;
    std::vector<uint8_t> expected = expectedHead(1, 1, table);
    expected.insert(expected.end(), {4, 0x00, 0x01, 0x04, 0x04, 0, 0x3B});
    EXPECT_EQ(*ReadFileBytes(path), expected);
    EXPECT_EQ(gif.GetErrorString(), "No Error");
    std::filesystem::remove(path);
}

// Noise needs more than 4,096 codes: the coder clears its table (at 12 bits) and starts
// again; our reader and ImageMagick both get the quantised picture back exactly.
TEST(GifFile, NoiseRoundTripsThroughTheCodeTableClear) {
    const CDib noise = test::noiseImage(211, 97, 3);
    CDib quantised = std::move(*noise.Clone());
    ASSERT_TRUE(quantised.ChangeBitCountQuantized(8));
    const auto path = tempFile("noise.gif");
    ASSERT_TRUE(CGifFile().Save(path, &noise));
    EXPECT_GT(std::filesystem::file_size(path), 211u * 97u); // incompressible: codes of 9..12 bits

    CGifFile reader;
    ASSERT_TRUE(reader.Load(path)) << reader.GetErrorString();
    const CDib* loaded = reader.GetDib();
    ASSERT_EQ(loaded->GetBitCount(), 24);
    const auto image = test::readWithImageMagick(path);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 211);
    int mismatches = 0;
    for (int y = 0; y < 97; ++y)
        for (int x = 0; x < 211; ++x) {
            const gdi::ColorRef want = quantised.GetPixel(x, y);
            const uint8_t* p = image->rgb.data() + (size_t(y) * 211 + x) * 3;
            if (loaded->GetPixel(x, y) != want || gdi::rgb(p[0], p[1], p[2]) != want) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
    std::filesystem::remove(path);
}

TEST(GifFile, FewColoursGetATableWithBlackAfterThem) {
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 1, 24));
    test::setPixel24(dib, 0, 0, gdi::rgb(255, 0, 0));
    test::setPixel24(dib, 1, 0, gdi::rgb(0, 255, 0));
    test::setPixel24(dib, 2, 0, gdi::rgb(0, 0, 255));
    const auto path = tempFile("three.gif");
    ASSERT_TRUE(CGifFile(dib).Save(path));
    const std::vector<uint8_t> file = *ReadFileBytes(path);
    const std::vector<uint8_t> firstThree(file.begin() + 13, file.begin() + 22);
    EXPECT_EQ(firstThree, (std::vector<uint8_t>{0, 0, 255, 0, 255, 0, 255, 0, 0}));
    for (size_t i = 22; i < 13 + 768; ++i) ASSERT_EQ(file[i], 0) << i;
    std::filesystem::remove(path);
}

TEST(GifFile, SaveFailures) {
    CGifFile gif;
    EXPECT_FALSE(gif.Save(tempFile("none.gif")));
    CDib dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    EXPECT_FALSE(gif.Save("/nonexistent-folder/a.gif", &dib));
    EXPECT_EQ(gif.GetErrorString(), "Can't open GIF for writing");
    EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder/a.gif"));
}

void writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(GifFile, LoadReportsEachDamage) {
    CDib dib;
    ASSERT_TRUE(dib.Create(4, 3, 24));
    const auto path = tempFile("good.gif");
    ASSERT_TRUE(CGifFile(dib).Save(path));
    const std::vector<uint8_t> good = *ReadFileBytes(path);
    const auto damaged = tempFile("damaged.gif");
    const auto with = [&](auto change) {
        std::vector<uint8_t> f = good;
        change(f);
        return f;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        std::string error;
        bool loads;
    } cases[] = {
        {"magic", {'G', 'I'}, "Error reading GIF Magic #\n" + damaged.string(), false},
        {"not gif", with([](auto& f) { f[0] = 'P'; }), "Error, " + damaged.string() + " is not a valid .GIF file", false},
        {"version", with([](auto& f) { f[4] = '8'; }), "Error, Bad GIF Version number", false},
        {"screen", with([](auto& f) { f.resize(10); }), "Error, failed to GIF read screen descriptor.\nGiving up", false},
        {"colormap", with([](auto& f) { f.resize(100); }), "Error reading GIF colormap", false},
        {"eof", with([](auto& f) { f.resize(781); }), "Unexpected EOF in GIF.\nGiving up", false},
        {"dimensions", with([](auto& f) { f.resize(786); }), "Error on dimension read\nGiving up", false},
        {"aspect 49", with([](auto& f) { f[12] = 49; }), "No Error", true},
        {"aspect 2", with([](auto& f) { f[12] = 2; }), "Non-square pixels in GIF image.\nIgnoring that fact...", true},
        {"cut data", with([](auto& f) { f.resize(795); }), "No Error", true},
    };
    for (const auto& c : cases) {
        writeFile(damaged, c.file);
        CGifFile gif;
        EXPECT_EQ(gif.Load(damaged), c.loads) << c.name;
        EXPECT_EQ(gif.GetErrorString(), c.error) << c.name;
    }
    CGifFile gif;
    EXPECT_FALSE(gif.Load(""));
    EXPECT_EQ(gif.GetErrorString(), "No Name Given");
    EXPECT_FALSE(gif.Load("/nonexistent-folder/x.gif"));
    EXPECT_EQ(gif.GetErrorString(), "Cant open GIF :\n/nonexistent-folder/x.gif");
    std::filesystem::remove(path);
    std::filesystem::remove(damaged);
}

} // namespace
} // namespace tracemill
