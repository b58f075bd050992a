// The EPS device, byte for byte on scripted device calls with a fixed clock.
#include <gtest/gtest.h>

#include <functional>

#include "app/render/devices/eps_device.h"
#include "external_tools.h"
#include "ink_compare.h"
#include "render_test_support.h"
#include "scripted_page.h"
#include "time_zone.h"

namespace tracemill::render {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;

constexpr std::time_t kMondayDecember7Noon = 1796644800; // 2026-12-07 12:00 UTC

std::string Header(const std::string& title, const std::string& box) {
    return "%!PS-Adobe-3.0 EPSF-3.0\r\n%%Creator: Tracemill export\r\n%%Title: " + title +
           "\r\n%%BoundingBox: 0 0 " + box +
           "\r\n%%Pages: 1\r\n%%CreationDate: Monday, December 07, 2026\r\n%%EndComments\r\n%%BeginProlog\r\n"
           "/m {moveto} def\r\n/l {lineto} def\r\n/sw {setlinewidth} def\r\n/sc {setrgbcolor} def\r\n"
           "/np {newpath} def\r\n/cp {closepath} def\r\n/st {stroke} def\r\n/f {fill} def\r\n"
           "/ef {eofill} def\r\n%%EndProlog\r\n%%BeginSetup\r\n%%EndSetup\r\n";
}

const char kTrailer[] = "showpage\r\n%%Trailer\r\n";

struct EpsCase {
    const char* name;
    bool usePenWidths;
    std::function<void(CEpsDevice&)> draw;
    std::string body; // between the header and the trailer
};

std::vector<EpsCase> EpsCases() {
    return {
        {"NoPrimitives", false, [](CEpsDevice&) {}, ""},
        {"FirstBlackPenWritesItsColour", false, [](CEpsDevice& d) { d.SetPen(0, 0.01); },
         "0.000 0.000 0.000 sc\r\n"},
        {"WidthOnlyWithPenWidths", true,
         [](CEpsDevice& d) {
             d.SetPen(gdi::rgb(255, 128, 0), 0.01);
             d.SetPen(gdi::rgb(255, 128, 0), 0.01);
             d.SetPen(gdi::rgb(255, 128, 0), 0.02);
         },
         "1.000 0.502 0.000 sc\r\n0.720 sw\r\n1.440 sw\r\n"},
        {"SameColourOtherWidthWithoutPenWidthsWritesNothing", false,
         [](CEpsDevice& d) {
             d.SetPen(0, 0.01);
             d.SetPen(0, 0.02);
         },
         "0.000 0.000 0.000 sc\r\n"},
        {"TwoPointPolyline", false,
         [](CEpsDevice& d) {
             d.MoveTo(1, 2);
             d.LineTo(3, 4);
         },
         "np\r\n1.000 2.000 m\r\n3.000 4.000 l\r\nst\r\n"},
        {"PenChangeContinuesFromTheLastPoint", false,
         [](CEpsDevice& d) {
             d.MoveTo(1, 2);
             d.LineTo(3, 4);
             d.SetPen(gdi::rgb(0, 0, 255), 0);
             d.LineTo(5, 6);
         },
         "np\r\n1.000 2.000 m\r\n3.000 4.000 l\r\nst\r\n0.000 0.000 1.000 sc\r\n"
         "np\r\n3.000 4.000 m\r\n5.000 6.000 l\r\nst\r\n"},
        {"MoveToAloneOrToTheSamePointWritesNoPolyline", false,
         [](CEpsDevice& d) {
             d.MoveTo(1, 1);
             d.MoveTo(2, 2);
             d.LineTo(2, 2);
             d.MoveTo(3, 3);
         },
         ""},
        {"FillAndPolyPolygon", false,
         [](CEpsDevice& d) {
             DevicePoint points[] = {{0, 0}, {10, 0}, {0, 10}, {1, 1}, {2, 1}, {1, 2}};
             d.FillPolygon(1, 2, points);
             const uint32_t counts[] = {3, 3};
             d.FillPolyPolygon(points, counts, 2);
         },
         "np\r\n10.000 0.000 m\r\n0.000 10.000 l\r\nf\r\n"
         "np\r\n0.000 0.000 m\r\n10.000 0.000 l\r\n0.000 10.000 l\r\ncp\r\n"
         "1.000 1.000 m\r\n2.000 1.000 l\r\n1.000 2.000 l\r\ncp\r\nef\r\n"},
    };
}

TEST(EpsDevice, ScriptedSequencesByteForByte) {
    test::TimeZone zone("UTC");
    ScratchFolder folder("eps-device");
    for (const EpsCase& c : EpsCases()) {
        SCOPED_TRACE(c.name);
        CEpsDevice device;
        device.SetClock([] { return kMondayDecember7Noon; });
        device.SetUsePenWidths(c.usePenWidths);
        const std::string file = (folder / "plan.eps").string();
        ASSERT_TRUE(device.Begin("", file.c_str(), "", 800, 600.5));
        c.draw(device);
        ASSERT_TRUE(device.End());
        EXPECT_EQ(ReadWholeFile(file), Header("plan.eps", "800.000 600.500") + c.body + kTrailer);
    }
}

TEST(EpsDevice, TitleAfterTheLastSlashOrBackslashAndEnglishDateUnderAGermanLocale) {
    TM_USE_GERMAN_LOCALE(locale);
    test::TimeZone zone("UTC");
    ScratchFolder folder("eps-title");
    CEpsDevice device;
    device.SetClock([] { return kMondayDecember7Noon; });
    const std::string file = (folder / "C:\\out\\plan.eps").string();
    ASSERT_TRUE(device.Begin("", file.c_str(), "", 12.5, 7.25));
    device.MoveTo(0.5, 1.5);
    device.LineTo(2.5, 3.5);
    ASSERT_TRUE(device.End());
    EXPECT_EQ(ReadWholeFile(file), Header("plan.eps", "12.500 7.250") +
                                       "np\r\n0.500 1.500 m\r\n2.500 3.500 l\r\nst\r\n" + kTrailer);
}

TEST(EpsDevice, FailuresReportedAndLeaveNoFile) {
    ScratchFolder folder("eps-fail");
    CEpsDevice nowhere;
    EXPECT_FALSE(nowhere.Begin("", (folder / "missing" / "a.eps").c_str(), "", 10, 10));
    EXPECT_FALSE(nowhere.End());
    {
        CEpsDevice abandoned;
        ASSERT_TRUE(abandoned.Begin("", (folder / "abandoned.eps").c_str(), "", 10, 10));
    }
    EXPECT_TRUE(folder.Files().empty());
    std::filesystem::create_directories(folder / "taken" / "inside");
    CEpsDevice onFolder;
    ASSERT_TRUE(onFolder.Begin("", (folder / "taken").c_str(), "", 10, 10));
    EXPECT_FALSE(onFolder.End());
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"taken"});
}

TEST(EpsDevice, GhostscriptRendersTheScriptedPageInsideItsBox) {
    TM_REQUIRE_TOOL("gs");
    TM_REQUIRE_TOOL("rsvg-convert");
    TM_REQUIRE_TOOL("convert");
    ScratchFolder folder("eps-page");
    CEpsDevice device;
    device.SetUsePenWidths(true);
    const std::string eps = (folder / "page.eps").string();
    ASSERT_TRUE(device.Begin("", eps.c_str(), "", test::kPageWidth, test::kPageHeight));
    test::DrawScriptedPage(device);
    ASSERT_TRUE(device.End());

    const std::optional<std::string> box =
        test::runCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox " + test::shellQuote(eps) + " 2>&1");
    ASSERT_TRUE(box) << "ghostscript refused the file";
    const size_t at = box->find("%%BoundingBox:");
    ASSERT_NE(at, std::string::npos) << *box;
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    ASSERT_EQ(std::sscanf(box->c_str() + at, "%%%%BoundingBox: %d %d %d %d", &x0, &y0, &x1, &y1), 4) << *box;
    EXPECT_TRUE(x0 >= 0 && y0 >= 0 && x1 <= 800 && y1 <= 600 && x0 < x1 && y0 < y1) << *box;

    const std::string png = (folder / "eps.png").string();
    ASSERT_TRUE(test::runCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -r72 -sDEVICE=png16m -sOutputFile=" +
                                 test::shellQuote(png) + " " + test::shellQuote(eps) + " 2>&1"));
    const std::optional<test::RgbImage> image = test::readWithImageMagick(png);
    const std::optional<test::RgbImage> svg = test::RenderScriptedPageAsSvg(folder.path());
    ASSERT_TRUE(image && svg);
    ASSERT_EQ(image->width, 800);
    ASSERT_EQ(image->height, 600);
    // The same picture as the SVG device's: ink at the same places.
    int ink = 0;
    EXPECT_GE(test::InkMatch(*image, *svg, 0, 0, 2, &ink), 0.98);
    EXPECT_GE(test::InkMatch(*svg, *image, 0, 0, 2, &ink), 0.98);
    EXPECT_GT(ink, 40000);
}

} // namespace
} // namespace tracemill::render
