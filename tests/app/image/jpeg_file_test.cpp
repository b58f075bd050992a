#include <gtest/gtest.h>

#include <fstream>

#include "app/image/image_file_io.h"
#include "app/image/jpeg_file.h"
#include "external_tools.h"
#include "raster_test_images.h"

namespace tracemill {
namespace {

using test::tempFile;

// The frame marker (0xFFC0 baseline, 0xFFC2 progressive ...) and its component count.
struct Frame {
    int marker = 0;
    int components = 0;
};
Frame frameOf(const std::vector<uint8_t>& jpeg) {
    for (size_t i = 2; i + 9 < jpeg.size();) {
        if (jpeg[i] != 0xFF) return {};
        const int marker = jpeg[i + 1];
        const size_t length = (size_t(jpeg[i + 2]) << 8) | jpeg[i + 3];
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            return {0xFF00 | marker, jpeg[i + 9]};
        i += 2 + length;
    }
    return {};
}

// The export's quality options 1 to 10 become qualities 10 to 100.
TEST(JpegFile, EveryQualityOptionWritesABaselineFileDjpegReads) {
    const CDib picture = test::noiseImage(33, 17, 5);
    const auto path = tempFile("q.jpg");
    for (int option = 1; option <= 10; ++option) {
        for (bool colour : {true, false}) {
            SCOPED_TRACE(testing::Message() << "option " << option << " colour " << colour);
            JpegFile jpeg(picture);
            ASSERT_TRUE(jpeg.Save(path, nullptr, colour, option * 10)) << jpeg.GetErrorString();
            const Frame frame = frameOf(*ReadFileBytes(path));
            EXPECT_EQ(frame.marker, 0xFFC0);
            EXPECT_EQ(frame.components, colour ? 3 : 1);
            const auto pnm = test::runCommand("djpeg " + test::shellQuote(path.string()) + " 2>&1");
            ASSERT_TRUE(pnm);
            EXPECT_EQ(pnm->substr(0, 2), colour ? "P6" : "P5");
        }
    }
    std::filesystem::remove(path);
}

TEST(JpegFile, EightBitImagesAreSavedAsTrueColour) {
    CDib dib;
    ASSERT_TRUE(dib.Create(8, 8, 8));
    const PaletteEntry red[1] = {{250, 0, 0, 0}};
    ASSERT_TRUE(dib.SetPaletteEntries(red));
    const auto path = tempFile("red.jpg");
    ASSERT_TRUE(JpegFile().Save(path, &dib, true, 100));
    JpegFile loaded;
    ASSERT_TRUE(loaded.Load(path));
    const gdi::ColorRef c = loaded.GetDib()->GetPixel(3, 3);
    EXPECT_NEAR(gdi::redOf(c), 250, 3);
    EXPECT_NEAR(gdi::greenOf(c), 0, 3);
    std::filesystem::remove(path);
}

TEST(JpegFile, GreyFilesLoadAsTwentyFourBitsWithEqualChannels) {
    const auto path = tempFile("grey.jpg");
    ASSERT_TRUE(JpegFile(test::noiseImage(1, 5, 9)).Save(path, nullptr, false, 90));
    JpegFile jpeg;
    ASSERT_TRUE(jpeg.Load(path)) << jpeg.GetErrorString();
    const CDib* dib = jpeg.GetDib();
    EXPECT_EQ(dib->GetBitCount(), 24);
    EXPECT_EQ(dib->GetBytesPerLine(), 4u); // one pixel wide: 3 bytes padded to 4
    for (int y = 0; y < 5; ++y) {
        const gdi::ColorRef c = dib->GetPixel(0, y);
        EXPECT_EQ(gdi::redOf(c), gdi::greenOf(c));
        EXPECT_EQ(gdi::redOf(c), gdi::blueOf(c));
    }
    std::filesystem::remove(path);
}

TEST(JpegFile, FailuresKeepTheirText) {
    CDib dib;
    ASSERT_TRUE(dib.Create(2, 2, 24));
    JpegFile jpeg(dib);
    EXPECT_FALSE(jpeg.Save("/nonexistent-folder/a.jpg", nullptr, true, 50));
    EXPECT_EQ(jpeg.GetErrorString(), "JpegFile :\nCan't open /nonexistent-folder/a.jpg\n");
    EXPECT_FALSE(jpeg.Load("/nonexistent-folder/a.jpg"));
    EXPECT_EQ(jpeg.GetErrorString(), "JPEG :\nCan't open /nonexistent-folder/a.jpg\n");

    // A damaged file fails with libjpeg's message and keeps the owned image.
    const auto path = tempFile("bad.jpg");
    ASSERT_TRUE(jpeg.Save(path, nullptr, true, 50));
    std::vector<uint8_t> bytes = *ReadFileBytes(path);
    bytes.resize(bytes.size() / 3);
    bytes[2] = 0x00;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_FALSE(jpeg.Load(path));
    EXPECT_NE(jpeg.GetErrorString(), "No Error");
    EXPECT_EQ(jpeg.GetDib()->GetWidth(), 2);
    std::filesystem::remove(path);
}

} // namespace
} // namespace tracemill
