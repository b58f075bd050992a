// Loading by file name: the named decoder, detection by content and the surviving error text.
#include <gtest/gtest.h>

#include <fstream>

#include "app/image/decode/cx_image.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using test::imageFixture;

TEST(ImageLoad, AFileThatCannotBeOpenedFailsWithoutText) {
    CxImage image(CXIMAGE_FORMAT_UNKNOWN);
    image.SetLastError("before");
    EXPECT_FALSE(image.Load("/nonexistent/picture.bmp", CXIMAGE_FORMAT_BMP));
    EXPECT_STREQ(image.GetLastError(), "before");
}

TEST(ImageLoad, UnknownFormatsAndUnrecognisedContentFailWithTheDetectionText) {
    const std::string junk = (std::filesystem::temp_directory_path() / "tm_image_junk.bin").string();
    std::ofstream(junk, std::ios::binary) << "this is not a picture of any kind at all";
    CxImage image(CXIMAGE_FORMAT_UNKNOWN);
    EXPECT_FALSE(image.Load(junk.c_str(), CXIMAGE_FORMAT_UNKNOWN));
    EXPECT_STREQ(image.GetLastError(), "Decode: Unknown or wrong format");

    test::MemoryStream stream(test::readBytes(imageFixture("bmp_24.bmp")));
    EXPECT_FALSE(image.Decode(stream.stream(), 9));
    EXPECT_STREQ(image.GetLastError(), "Decode: Unknown or wrong format");
    std::filesystem::remove(junk);
}

} // namespace
} // namespace tracemill
