#include <gtest/gtest.h>

#include "app/image/image_file_io.h"
#include "app/image/pcx_file.h"
#include "external_tools.h"
#include "raster_test_images.h"

namespace tracemill {
namespace {

using test::tempFile;

TEST(PcxFile, RowEncodingRule) {
    const struct {
        const char* name;
        std::vector<uint8_t> row, encoded;
    } cases[] = {
        {"run of three", {0x41, 0x41, 0x41, 0x42}, {0xC2, 0x41, 0x41, 0x42}},
        {"single high byte", {0xC5}, {0xC1, 0xC5}},
        {"high byte run", {0xC5, 0xC5}, {0xC1, 0xC5, 0xC1, 0xC5}},
        {"plain", {1, 2, 3}, {1, 2, 3}},
        {"130 equal", std::vector<uint8_t>(130, 7), {0xFF, 7, 0xFF, 7, 0xC3, 7, 7}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out;
        EncodePcxRow(c.row, out);
        EXPECT_EQ(out, c.encoded) << c.name;
    }
}

TEST(PcxFile, HeaderIsByteExactWithAnOddWidth) {
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    const auto path = tempFile("odd.pcx");
    ASSERT_TRUE(CPcxFile(dib).Save(path));
    const std::vector<uint8_t> file = *ReadFileBytes(path);
    std::vector<uint8_t> header(128, 0);
    header[0] = 10;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    header[8] = 2;                                 // x max
    header[10] = 1;                                // y max
    header[19] = header[20] = header[21] = 255;    // colour map entry 1 white
    header[65] = 1;                                // planes
    header[66] = 3;                                // bytes per line: the odd width
    header[68] = 2;                                // palette information
    ASSERT_GE(file.size(), 128u + 769u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 128), header);
    EXPECT_EQ(file[file.size() - 769], 12);
    std::filesystem::remove(path);
}

// Pictures of odd widths come back the same through ImageMagick and our reader; a
// true-colour picture gets a palette with black after its octree colours.
TEST(PcxFile, ImageMagickAndOurReaderReadItBack) {
    for (int width : {1, 3, 70, 131}) {
        SCOPED_TRACE(width);
        CDib dib;
        ASSERT_TRUE(dib.Create(width, 5, 24));
        const gdi::ColorRef colours[4] = {gdi::rgb(250, 0, 0), gdi::rgb(0, 0, 0), gdi::rgb(0xC8, 0xC8, 0xC8),
                                          gdi::rgb(1, 2, 3)};
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < width; ++x) test::setPixel24(dib, x, y, colours[(x / 3 + y) % 4]);
        const auto path = tempFile("back.pcx");
        ASSERT_TRUE(CPcxFile().Save(path, &dib));
        const std::vector<uint8_t> file = *ReadFileBytes(path);
        for (size_t i = file.size() - 768 + 4 * 3; i < file.size(); ++i) ASSERT_EQ(file[i], 0) << i;

        const auto image = test::readWithImageMagick(path);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->width, width);
        CPcxFile pcx;
        ASSERT_TRUE(pcx.Load(path));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < width; ++x) {
                const gdi::ColorRef want = colours[(x / 3 + y) % 4];
                const uint8_t* p = image->rgb.data() + (size_t(y) * width + x) * 3;
                EXPECT_EQ(gdi::rgb(p[0], p[1], p[2]), want) << x << "," << y;
                EXPECT_EQ(pcx.GetDib()->GetPixel(x, y), want) << x << "," << y;
            }
        std::filesystem::remove(path);
    }
}

TEST(PcxFile, FailuresReturnFalse) {
    CPcxFile pcx;
    EXPECT_FALSE(pcx.Save(tempFile("none.pcx")));
    CDib dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    EXPECT_FALSE(pcx.Save("/nonexistent-folder/a.pcx", &dib));
    EXPECT_FALSE(pcx.Load("/nonexistent-folder/a.pcx"));
    // A truncated file fails without reading past its end.
    const auto path = tempFile("cut.pcx");
    ASSERT_TRUE(CPcxFile(test::noiseImage(40, 40, 1)).Save(path));
    std::filesystem::resize_file(path, 900);
    EXPECT_FALSE(pcx.Load(path));
    std::filesystem::remove(path);
}

} // namespace
} // namespace tracemill
