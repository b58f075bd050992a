#include "app/services/image_file_loader.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <gtest/gtest.h>

#include "app/image/decode/cx_image.h"
#include "app/image/packed_dib.h"
#include "temp_folder.h"
#include "test_paths.h"

namespace tracemill {
namespace {

std::string fixture(const char* name) { return (test::testDataDir() / "image" / name).string(); }

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The ".bmp" file image shows exactly the pixels its decoder gives.
void expectDecoderPixels(const std::vector<uint8_t>& bmp, const std::string& path, uint32_t format) {
    ASSERT_GE(bmp.size(), 2u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    CxImage decoded;
    ASSERT_TRUE(decoded.Load(path.c_str(), format));
    const std::optional<PackedDib> dib = ReadBmpFileImage(bmp);
    ASSERT_TRUE(dib);
    ASSERT_EQ(uint32_t(dib->header.biWidth), decoded.GetWidth());
    ASSERT_EQ(uint32_t(dib->header.biHeight), decoded.GetHeight());
    EXPECT_EQ(uint32_t(dib->header.biBitCount), decoded.GetBitCount());
    for (uint32_t y = 0; y < decoded.GetHeight(); ++y) {
        for (uint32_t x = 0; x < decoded.GetWidth(); ++x) {
            const RgbQuad c = decoded.GetPixelColor(x, y);
            const uint32_t expected = (uint32_t(c.rgbRed) << 16) | (uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
            ASSERT_EQ(DibStoredPixelRgb(*dib, int32_t(x), int32_t(y)), expected) << x << "," << y;
        }
    }
}

TEST(ImageFileLoader, EveryFormatBecomesABmpFileImage) {
    struct Case {
        const char* file;
        uint32_t format;
    } const cases[] = {
        {"bmp_24.bmp", CXIMAGE_FORMAT_BMP},     {"bmp_rle8.bmp", CXIMAGE_FORMAT_BMP},
        {"jpeg_rgb.jpg", CXIMAGE_FORMAT_JPG},   {"jpeg_grey.jpg", CXIMAGE_FORMAT_JPG},
        {"tif_rgb.tif", CXIMAGE_FORMAT_TIF},    {"tif_palette.tif", CXIMAGE_FORMAT_TIF},
        {"pcx_8bit.pcx", CXIMAGE_FORMAT_PCX},   {"pcx_24.pcx", CXIMAGE_FORMAT_PCX},
        {"png_rgb_phys.png", CXIMAGE_FORMAT_PNG}, {"png_palette4_trns0.png", CXIMAGE_FORMAT_PNG},
        {"tga_24.tga", CXIMAGE_FORMAT_TGA},     {"tga_cmap8.tga", CXIMAGE_FORMAT_TGA},
        {"gif_indexed.gif", CXIMAGE_FORMAT_GIF}, {"gif_interlaced.gif", CXIMAGE_FORMAT_GIF},
        {"wbmp_11x5.wbmp", CXIMAGE_FORMAT_WBMP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::optional<std::vector<uint8_t>> bmp = LoadImageFileAsDib(fixture(c.file));
        ASSERT_TRUE(bmp);
        expectDecoderPixels(*bmp, fixture(c.file), c.format);
    }
}

TEST(ImageFileLoader, ExtensionsInAnyCase) {
    const test::TempFolder folder;
    const std::string jpeg = readFile(fixture("jpeg_rgb.jpg"));
    const std::optional<std::vector<uint8_t>> lower = LoadImageFileAsDib(folder.write("photo.jpg", jpeg));
    const std::optional<std::vector<uint8_t>> upper = LoadImageFileAsDib(folder.write("photo.JPG", jpeg));
    const std::optional<std::vector<uint8_t>> jpegExtension = LoadImageFileAsDib(folder.write("photo.Jpeg", jpeg));
    ASSERT_TRUE(lower);
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(jpegExtension, lower);
    EXPECT_TRUE(LoadImageFileAsDib(folder.write("scan.GIF", readFile(fixture("gif_indexed.gif")))));
    EXPECT_TRUE(LoadImageFileAsDib(folder.write("logo.WBMP", readFile(fixture("wbmp_11x5.wbmp")))));
}

TEST(ImageFileLoader, RefusesWhatItCannotDecode) {
    const test::TempFolder folder;
    const std::string png = readFile(fixture("png_rgb_phys.png"));
    std::string hugeBmp = readFile(fixture("bmp_24.bmp"));
    hugeBmp[18] = hugeBmp[19] = hugeBmp[20] = char(0x7F); // width about 8 million
    hugeBmp[22] = hugeBmp[23] = hugeBmp[24] = char(0x7F);
    struct Case {
        const char* name;
        std::string path;
    } const cases[] = {
        {"unknown extension", folder.write("photo.xyz", png)},
        {"no extension", folder.write("photo", png)},
        {"missing file", folder / "missing.png"},
        {"empty file", folder.write("empty.bmp", "")},
        {"cut after the signature", folder.write("cut.png", png.substr(0, 40))},
        {"noise", folder.write("noise.tif", std::string(300, '\x5A'))},
        {"huge declared picture", folder.write("huge.bmp", hugeBmp)},
        {"a folder", folder.path().string() + "/dir.png"},
    };
    std::filesystem::create_directory(folder.path() / "dir.png");
    for (const Case& c : cases) EXPECT_FALSE(LoadImageFileAsDib(c.path)) << c.name;
}

} // namespace
} // namespace tracemill
