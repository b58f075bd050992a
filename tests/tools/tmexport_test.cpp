// tmexport as a user runs it: every output named, one written path a line, the failures with
// their messages, and a print through the print driver onto a PDF printer.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "compound_file_writer.h"
#include "external_tools.h"
#include "test_paths.h"

namespace tracemill {
namespace {

struct ExportRun {
    std::string output;  // standard output
    std::string errors;  // standard error
    int status = -1;
};

ExportRun tmexport(const std::string& arguments, const std::filesystem::path& folder) {
    ExportRun run;
    const std::filesystem::path errors = folder / "errors.txt";
    // The settings the program keeps go into the test's folder, not the user's.
    const std::string command = "XDG_CONFIG_HOME=" + test::shellQuote(folder.string()) + " " +
                                std::string(TMEXPORT_PATH) + " " + arguments + " 2>" + errors.string();
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    run.status = ::pclose(pipe);
    const std::vector<uint8_t> bytes = test::readFileBytes(errors);
    run.errors.assign(bytes.begin(), bytes.end());
    std::filesystem::remove(errors);
    return run;
}

class Tmexport : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("tmexport-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string fixture(const char* name) const { return (test::testDataDir() / "render" / name).string(); }
    std::string out(const char* name) const { return (folder_ / name).string(); }
    // The drawing exported at that size into the image `name`, as ImageMagick reads it.
    std::optional<test::RgbImage> exportedImage(const std::string& drawing, const std::string& size, const char* name) {
        const ExportRun run = tmexport("--size " + size + " " + drawing + " " + out(name), folder_);
        EXPECT_EQ(run.status, 0) << run.errors;
        return test::readWithImageMagick(out(name));
    }

    std::filesystem::path folder_;
};

TEST_F(Tmexport, WritesEveryOutputAndNamesEachFile) {
    const ExportRun run = tmexport("--size 320x200 --mask " + fixture("model_lines.dxf") + " " + out("a.svg") + " " +
                                       out("b.HGL") + " " + out("c.pdf") + " " + out("d.gif"),
                                   folder_);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, out("a.svg") + "\n" + out("b.hgl") + "\n" + out("c.pdf") + "\n" + out("d.gif") + "\n" +
                              out("d_mask.bmp") + "\n");
    for (const char* name : {"a.svg", "b.hgl", "c.pdf", "d.gif", "d_mask.bmp"}) {
        EXPECT_GT(std::filesystem::file_size(out(name)), 0u) << name;
    }
}

TEST_F(Tmexport, TheColourModeReachesTheRasters) {
    const ExportRun run = tmexport("--size 64x32 --colour-mode 1 " + fixture("model_lines.dxf") + " " + out("bw.bmp"),
                                   folder_);
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::vector<uint8_t> bytes = test::readFileBytes(out("bw.bmp"));
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(bytes[28], 1);  // black and white: 1 bit a pixel
}

TEST_F(Tmexport, FailuresSayWhyAndExitNonZero) {
    struct Case {
        const char* name;
        std::string arguments;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"no output", fixture("model_lines.dxf"), 2, "usage: tmexport"},
        {"an unknown extension", fixture("model_lines.dxf") + " " + out("a.txt"), 2, "names no export format"},
        {"a bad size", "--size 0x0 " + fixture("model_lines.dxf") + " " + out("a.svg"), 2, "usage: tmexport"},
        {"print to a raster", "--print " + fixture("model_lines.dxf") + " " + out("a.bmp"), 2, ".pdf files only"},
        {"a missing drawing", out("none.dxf") + " " + out("a.svg"), 1, "none.dxf: "},
        {"an unwritable output", fixture("model_lines.dxf") + " " + out("no/such/folder/a.svg"), 1,
         "cannot be written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ExportRun run = tmexport(c.arguments, folder_);
        EXPECT_TRUE(WIFEXITED(run.status));
        EXPECT_EQ(WEXITSTATUS(run.status), c.exitCode);
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
        EXPECT_EQ(run.output, "");
    }
    EXPECT_FALSE(std::filesystem::exists(out("a.svg")));
}

TEST_F(Tmexport, PrintsThroughThePrintDriverIntoAPdf) {
    TM_REQUIRE_TOOL("qpdf");
    TM_REQUIRE_TOOL("pdftoppm");
    const ExportRun run = tmexport("--print " + fixture("model_lines.dxf") + " " + out("printed.pdf"), folder_);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.output, out("printed.pdf") + "\n");
    ASSERT_TRUE(test::runCommand("qpdf --check " + test::shellQuote(out("printed.pdf"))));
    ASSERT_TRUE(test::runCommand("pdftoppm -r 50 -png -singlefile " + test::shellQuote(out("printed.pdf")) + " " +
                                 test::shellQuote(out("printed"))));
    const std::optional<test::RgbImage> page = test::readWithImageMagick(out("printed.png"));
    ASSERT_TRUE(page);
    EXPECT_GT(page->width, page->height);  // a wide drawing prints across the page
    size_t ink = 0;
    for (size_t i = 0; i + 2 < page->rgb.size(); i += 3) ink += page->rgb[i] + page->rgb[i + 1] + page->rgb[i + 2] < 300;
    EXPECT_GT(ink, 300u);
}

// --- Pictures in exported images.

using Rgb = std::array<uint8_t, 3>;
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};
constexpr Rgb kCyan{0, 255, 255}, kMagenta{255, 0, 255}, kBlack{0, 0, 0}, kWhite{255, 255, 255};

// Where world points land in an exported image, found from the two marks the fixtures draw in
// white: one at (-10, -10) (the leftmost white pixels) and one ending at `far` (the rightmost).
class ExportedPicture {
public:
    ExportedPicture(test::RgbImage image, double farX, double farY) : image_(std::move(image)) {
        int left = image_.width, right = -1, leftY = 0, rightY = 0;
        for (int y = 0; y < image_.height; ++y)
            for (int x = 0; x < image_.width; ++x) {
                if (at(x, y) != kWhite) continue;
                if (x < left) left = x, leftY = y;
                if (x > right) right = x, rightY = y;
            }
        scaleX_ = (right - left) / (farX + 10.0);
        scaleY_ = (rightY - leftY) / (farY + 10.0);
        originX_ = left + 10.0 * scaleX_;
        originY_ = leftY + 10.0 * scaleY_;
    }
    Rgb at(int x, int y) const {
        const size_t i = 3 * (size_t(y) * size_t(image_.width) + size_t(x));
        return {image_.rgb[i], image_.rgb[i + 1], image_.rgb[i + 2]};
    }
    // The colour at a world point (y upwards).
    Rgb atWorld(double x, double y) const { return at(int(originX_ + x * scaleX_), int(originY_ + y * scaleY_)); }

private:
    test::RgbImage image_;
    double scaleX_ = 1, scaleY_ = 1, originX_ = 0, originY_ = 0;
};

// The colours at the centres of the 4 x 2 pixels of an image 10 units a pixel, inserted at x0.
std::vector<Rgb> imagePixels(const ExportedPicture& picture, double x0) {
    std::vector<Rgb> pixels;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            pixels.push_back(picture.atWorld(x0 + 10.0 * column + 5.0, 15.0 - 10.0 * row));
    return pixels;
}

TEST_F(Tmexport, AnImageIsExportedWithItsPicturesColoursWhereItLies) {
    TM_REQUIRE_TOOL("identify");
    const std::optional<test::RgbImage> image = exportedImage(fixture("image_bmp.dxf"), "480x240", "image.bmp");
    ASSERT_TRUE(image);
    const ExportedPicture picture(*image, 50.0, 30.0);
    EXPECT_EQ(imagePixels(picture, 0.0),
              (std::vector<Rgb>{kRed, kGreen, kBlue, kYellow, kCyan, kMagenta, kBlack, kWhite}));
    EXPECT_EQ(picture.atWorld(45.0, 10.0), kBlack) << "beside the image";
}

TEST_F(Tmexport, OneBitPicturesShowTheColoursOfTheirTable) {
    TM_REQUIRE_TOOL("identify");
    const std::optional<test::RgbImage> image = exportedImage(fixture("image_twins.dxf"), "800x240", "twins.bmp");
    ASSERT_TRUE(image);
    const ExportedPicture picture(*image, 150.0, 30.0);
    const std::vector<Rgb> expected{kWhite, kBlack, kBlack, kWhite, kBlack, kWhite, kWhite, kBlack};
    EXPECT_EQ(imagePixels(picture, 0.0), expected) << "table [black, white]";
    EXPECT_EQ(imagePixels(picture, 50.0), expected) << "table [white, black], bits inverted";
    EXPECT_EQ(imagePixels(picture, 100.0), expected) << "24 bits";
}

// A DXF drawing with one OLE2FRAME from (0, 20) to (40, 0) holding `object`, and two white
// marks at (-10, -10) and (50, 30).
std::string oleFrameDrawing(const std::vector<uint8_t>& object) {
    std::vector<uint8_t> data(128, 0);
    const double corners[4][3] = {{0, 20, 0}, {40, 20, 0}, {40, 0, 0}, {0, 0, 0}};
    std::memcpy(data.data() + 2, corners, sizeof corners);
    data.insert(data.end(), object.begin(), object.end());
    std::string dxf = "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n"
                      "0\nSECTION\n2\nCLASSES\n0\nCLASS\n1\nOLE2FRAME\n2\nAcDbOle2Frame\n3\nAutoCAD 2000\n90\n0\n"
                      "280\n0\n281\n1\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
                      "0\nOLE2FRAME\n5\n40\n100\nAcDbEntity\n8\n0\n100\nAcDbOle2Frame\n70\n2\n3\nPaintbrush Picture\n"
                      "10\n0.0\n20\n20.0\n30\n0.0\n11\n40.0\n21\n0.0\n31\n0.0\n71\n2\n72\n0\n90\n" +
                      std::to_string(data.size()) + "\n";
    static const char* kHex = "0123456789ABCDEF";
    for (size_t at = 0; at < data.size(); at += 127) {
        dxf += "310\n";
        for (size_t i = at; i < std::min(data.size(), at + 127); ++i) {
            dxf += kHex[data[i] >> 4];
            dxf += kHex[data[i] & 15];
        }
        dxf += "\n";
    }
    dxf += "1\nOLE\n0\nLINE\n8\n0\n10\n-10.0\n20\n-10.0\n30\n0.0\n11\n-9.0\n21\n-10.0\n31\n0.0\n"
           "0\nLINE\n8\n0\n10\n50.0\n20\n30.0\n30\n0.0\n11\n49.0\n21\n30.0\n31\n0.0\n0\nENDSEC\n0\nEOF\n";
    return dxf;
}

// A 24-bit ".bmp" file image of 2 x 2 pixels: red, green on top, blue, yellow below.
std::vector<uint8_t> quadrantBmp() {
    const uint8_t rows[16] = {255, 0, 0, 0, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};  // bottom row first
    std::vector<uint8_t> bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0,
                                0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0};
    bmp.resize(54, 0);
    bmp.insert(bmp.end(), rows, rows + 16);
    return bmp;
}

TEST_F(Tmexport, AnEmbeddedPaintingIsExportedInItsFrame) {
    TM_REQUIRE_TOOL("identify");
    std::vector<uint8_t> native = {70, 0, 0, 0};
    const std::vector<uint8_t> bmp = quadrantBmp();
    native.insert(native.end(), bmp.begin(), bmp.end());
    const std::vector<uint8_t> object = test::WriteCompoundFile({{test::StreamName("\x01Ole10Native"), native}}).bytes;
    {
        std::ofstream dxf(out("painting.dxf"), std::ios::binary);
        dxf << oleFrameDrawing(object);
    }
    const std::optional<test::RgbImage> image = exportedImage(out("painting.dxf"), "480x320", "painting.bmp");
    ASSERT_TRUE(image);
    const ExportedPicture picture(*image, 50.0, 30.0);
    EXPECT_EQ(picture.atWorld(10.0, 15.0), kRed);
    EXPECT_EQ(picture.atWorld(30.0, 15.0), kGreen);
    EXPECT_EQ(picture.atWorld(10.0, 5.0), kBlue);
    EXPECT_EQ(picture.atWorld(30.0, 5.0), kYellow);
    EXPECT_EQ(picture.atWorld(45.0, 10.0), kBlack) << "beside the frame";
}

} // namespace
} // namespace tracemill
