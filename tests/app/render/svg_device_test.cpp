// The SVG device, byte for byte on scripted device calls.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "app/render/devices/svg_colour_text.h"
#include "app/render/devices/svg_device.h"
#include "render_test_support.h"
#include "external_tools.h"

namespace tracemill::render {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;

constexpr ColorRef kBlack = gdi::rgb(0, 0, 0);
constexpr ColorRef kRed = gdi::rgb(255, 0, 0);

const char kXmlDeclaration[] = "<?xml version=\"1.0\" standalone=\"no\"?>";
const char kTitleAndDesc[] = "  <title>Tracemill convert result</title>\n"
                             "  <desc>Tracemill convert result</desc>\n";
// Begin(200, 100): shown 600 wide.
const std::string kHeader200x100 = std::string(kXmlDeclaration) +
                                   "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"600.0\" height=\"300.000\" "
                                   "viewBox=\"0.0 0.0 200.000 100.000\">\n" +
                                   kTitleAndDesc;

std::string StrokeEnd(const char* colour, const char* width) {
    return std::string("\"\nfill=\"none\" stroke=\"") + colour + "\" stroke-width=\"" + width + "\"/>\n";
}

struct SvgCase {
    const char* name;
    bool usePenWidths;
    std::function<void(CSvgDevice&)> draw;
    std::string body; // between the header and "</svg>\n"
};

const DevicePoint kTwoSquares[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {2, 2}, {8, 2}, {8, 8}, {2, 8}};

std::vector<SvgCase> SvgCases() {
    return {
        {"OneSegmentFlipsY", false,
         [](CSvgDevice& d) {
             d.MoveTo(10, 10);
             d.LineTo(20, 10);
         },
         "<path d=\"M10 90L20 90" + StrokeEnd("black", "0.2")},
        {"SecondPolylineSamePenContinuesTheElement", false,
         [](CSvgDevice& d) {
             d.MoveTo(10, 80);
             d.LineTo(30, 60);
             d.LineTo(50, 40);
             d.LineTo(50, 40); // repeated point: nothing
             d.MoveTo(70, 20);
             d.LineTo(90, 0);
         },
         "<path d=\"M10 20L30 40 50 60M70 80L90 100" + StrokeEnd("black", "0.2")},
        {"WidthChangeOfHalfAThousandthChangesNothing", false,
         [](CSvgDevice& d) {
             d.SetPen(kRed, 0.01);
             d.MoveTo(0, 0);
             d.LineTo(10, 0);
             d.SetPen(kRed, 0.0105);
             d.LineTo(20, 0.25);
         },
         "<path d=\"M0 100L10 100 20 99.75" + StrokeEnd("red", "0.2")},
        {"MoveToThenPenChangeThenLineToDrawsNothing", false,
         [](CSvgDevice& d) {
             d.SetPen(kBlack, 0);
             d.MoveTo(0, 0);
             d.SetPen(kRed, 0);
             d.LineTo(10, 10);
             d.LineTo(20, 10);
         },
         ""},
        {"LineToWithoutMoveToDrawsNothing", false, [](CSvgDevice& d) { d.LineTo(5, 5); }, ""},
        {"PenChangeInsideAPolylineGoesOnFromItsLastPoint", false,
         [](CSvgDevice& d) {
             d.SetPen(kBlack, 0);
             d.MoveTo(0, 0);
             d.LineTo(10, 0);
             d.SetPen(kRed, 0);
             d.LineTo(20, 0);
         },
         "<path d=\"M0 100L10 100" + StrokeEnd("black", "0.2") + "<path d=\"M10 100L20 100" +
             StrokeEnd("red", "0.2")},
        {"PenWidthsInMillimetres", true,
         [](CSvgDevice& d) {
             d.SetPen(kBlack, 0.01);
             d.MoveTo(0, 0);
             d.LineTo(1.234, 5.678);
             d.SetPen(kBlack, 0);
             d.MoveTo(1, 1);
             d.LineTo(2, 2);
         },
         "<path d=\"M0 100L1.23 94.32" + StrokeEnd("black", "0.3mm") + "<path d=\"M1 99L2 98" +
             StrokeEnd("black", "0.2")},
        {"WidthsIgnoredWithoutPenWidths", false,
         [](CSvgDevice& d) {
             d.SetPen(kBlack, 0.5);
             d.MoveTo(0, 0);
             d.LineTo(1, 1);
         },
         "<path d=\"M0 100L1 99" + StrokeEnd("black", "0.2")},
        {"TwoSquarePolyPolygon", false,
         [](CSvgDevice& d) {
             DevicePoint points[8];
             std::copy(std::begin(kTwoSquares), std::end(kTwoSquares), points);
             const uint32_t counts[] = {4, 4};
             d.FillPolyPolygon(points, counts, 2);
         },
         "<path d=\"M0 100L10 100 10 90 0 90Z\nM2 98L8 98 8 92 2 92Z\"\nfill-rule=\"evenodd\" fill=\"black\"/>\n"},
        {"FillClosesTheStrokeElementAndDropsThePendingMove", false,
         [](CSvgDevice& d) {
             d.SetPen(gdi::rgb(1, 2, 3), 0);
             d.MoveTo(0, 0);
             d.LineTo(5, 0);
             DevicePoint points[8];
             std::copy(std::begin(kTwoSquares), std::end(kTwoSquares), points);
             d.FillPolygon(1, 3, points);
             d.LineTo(7, 7);
         },
         "<path d=\"M0 100L5 100" + StrokeEnd("RGB(1,2,3)", "0.2") +
             "<path d=\"M10 100L10 90 0 90Z\"\nfill-rule=\"nonzero\" fill=\"RGB(1,2,3)\"/>\n"},
    };
}

TEST(SvgDevice, ScriptedSequencesByteForByte) {
    ScratchFolder folder("svg-device");
    for (const SvgCase& c : SvgCases()) {
        SCOPED_TRACE(c.name);
        CSvgDevice device;
        device.SetUsePenWidths(c.usePenWidths);
        const std::string file = (folder / (std::string(c.name) + ".svg")).string();
        ASSERT_TRUE(device.Begin("", file.c_str(), "", 200, 100));
        c.draw(device);
        ASSERT_TRUE(device.End());
        EXPECT_EQ(ReadWholeFile(file), kHeader200x100 + c.body + "</svg>\n");
    }
}

TEST(SvgDevice, HeaderFitsThePictureTo600WideOr450High) {
    struct HeaderCase {
        double width, height;
        const char* svgElement;
    };
    const HeaderCase cases[] = {
        {800, 600, "width=\"600.0\" height=\"450.000\" viewBox=\"0.0 0.0 800.000 600.000\""},
        {400, 500, "width=\"360.000\" height=\"450\" viewBox=\"0.0 0.0 400.000 500.000\""},
        {300, 400, "width=\"600.0\" height=\"800.000\" viewBox=\"0.0 0.0 300.000 400.000\""},
    };
    ScratchFolder folder("svg-header");
    for (const HeaderCase& c : cases) {
        CSvgDevice device;
        const std::string file = (folder / "header.svg").string();
        ASSERT_TRUE(device.Begin("", file.c_str(), "", c.width, c.height));
        ASSERT_TRUE(device.End());
        EXPECT_EQ(ReadWholeFile(file), std::string(kXmlDeclaration) +
                                           "<svg xmlns=\"http://www.w3.org/2000/svg\" " + c.svgElement + ">\n" +
                                           kTitleAndDesc + "</svg>\n");
    }
}

TEST(SvgDevice, SvgzIsAGzipFileOfTheSvgText) {
    ScratchFolder folder("svgz");
    CSvgDevice device(true);
    const std::string file = (folder / "plan.svgz").string();
    ASSERT_TRUE(device.Begin("", file.c_str(), "", 200, 100));
    device.MoveTo(10, 10);
    device.LineTo(20, 10);
    ASSERT_TRUE(device.End());
    const std::string bytes = ReadWholeFile(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(uint8_t(bytes[0]), 0x1F);
    EXPECT_EQ(uint8_t(bytes[1]), 0x8B);
    const std::optional<std::string> unpacked = test::runCommand("gunzip -c " + test::shellQuote(file));
    ASSERT_TRUE(unpacked) << "gunzip refused the file";
    EXPECT_EQ(*unpacked, device.Document());
    EXPECT_EQ(*unpacked, kHeader200x100 + "<path d=\"M10 90L20 90" + StrokeEnd("black", "0.2") + "</svg>\n");
}

TEST(SvgDevice, FailedWriteReportedAndLeavesNoFile) {
    ScratchFolder folder("svg-fail");
    for (bool compress : {false, true}) {
        // A folder where the file should go: the rename fails.
        std::filesystem::create_directories(folder / "taken" / "inside");
        CSvgDevice device(compress);
        const std::string file = (folder / "taken").string();
        ASSERT_TRUE(device.Begin("", file.c_str(), "", 200, 100));
        device.MoveTo(0, 0);
        device.LineTo(1, 1);
        EXPECT_FALSE(device.End());
        EXPECT_EQ(folder.Files(), std::vector<std::string>{"taken"});
        EXPECT_TRUE(std::filesystem::is_directory(folder / "taken" / "inside"));

        CSvgDevice missingFolder(compress);
        const std::string nowhere = (folder / "no-such-folder" / "plan.svg").string();
        ASSERT_TRUE(missingFolder.Begin("", nowhere.c_str(), "", 200, 100));
        EXPECT_FALSE(missingFolder.End());
    }
}

TEST(SvgDevice, ExistingFileReplacedWhole) {
    ScratchFolder folder("svg-replace");
    const std::string file = (folder / "plan.svg").string();
    std::ofstream(file) << std::string(100000, 'x');
    CSvgDevice device;
    ASSERT_TRUE(device.Begin("", file.c_str(), "", 200, 100));
    ASSERT_TRUE(device.End());
    EXPECT_EQ(ReadWholeFile(file), kHeader200x100 + "</svg>\n");
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"plan.svg"});
}

// The keyword list of the standard lives in tests/data; the device keeps one name per value.
TEST(SvgColourText, EveryStandardKeywordAndTheRgbForm) {
    std::ifstream list(test::testDataDir() / "render" / "svg_colour_keywords.txt");
    ASSERT_TRUE(list) << "svg_colour_keywords.txt missing";
    int keywords = 0;
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name;
        int red, green, blue;
        ASSERT_TRUE(fields >> name >> red >> green >> blue) << line;
        std::string expected = name;
        if (name == "aqua") expected = "cyan";
        if (name == "magenta") expected = "fuchsia";
        if (const size_t grey = expected.find("grey"); grey != std::string::npos) expected.replace(grey, 4, "gray");
        if (name == "lightgoldenrodyellow") expected = "RGB(250,250,210)";
        EXPECT_EQ(SvgColourText(gdi::rgb(uint8_t(red), uint8_t(green), uint8_t(blue))), expected) << name;
        ++keywords;
    }
    EXPECT_EQ(keywords, 147) << "the standard's list is incomplete";
    EXPECT_EQ(SvgColourText(gdi::rgb(1, 2, 3)), "RGB(1,2,3)");
    EXPECT_EQ(SvgColourText(gdi::rgb(255, 255, 254)), "RGB(255,255,254)");
    EXPECT_EQ(SvgColourText(0xFF000000u), "black"); // the byte above blue is no colour
}

} // namespace
} // namespace tracemill::render
