// The HP-GL/2 device, byte for byte on scripted device calls.
#include <gtest/gtest.h>

#include <functional>

#include "app/render/devices/hpgl_device.h"
#include "external_tools.h"
#include "render_test_support.h"
#include "scripted_page.h"

namespace tracemill::render {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;

const std::string kFirstLine = "IN;SP1;SC0.0,0.0,800.000,600.000;\r\n";

struct HpglCase {
    const char* name;
    bool usePenWidths;
    std::function<void(CHpglDevice&)> draw;
    std::string body; // between the first line and "PG;"
};

std::vector<DevicePoint> Diagonal(int count) {
    std::vector<DevicePoint> points;
    for (int i = 0; i < count; ++i) points.push_back({double(i), 2.0 * i});
    return points;
}

void Polyline(CHpglDevice& d, const std::vector<DevicePoint>& points) {
    d.MoveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) d.LineTo(points[i].x, points[i].y);
}

std::vector<HpglCase> HpglCases() {
    return {
        {"NoPrimitives", false, [](CHpglDevice&) {}, ""},
        {"TwoPointPolyline", false, [](CHpglDevice& d) { Polyline(d, {{1, 2}, {3.25, 4}}); },
         "PU1.000,2.000;PD3.250,4.000;\r\n"},
        {"TwelvePointsBreakAfterIndexes5And10", false, [](CHpglDevice& d) { Polyline(d, Diagonal(12)); },
         "PU0.000,0.000;PD1.000,2.000,2.000,4.000,3.000,6.000,4.000,8.000,5.000,10.000,\r\n"
         "6.000,12.000,7.000,14.000,8.000,16.000,9.000,18.000,10.000,20.000,\r\n11.000,22.000;\r\n"},
        {"FillOverIndexes3To12", false,
         [](CHpglDevice& d) {
             std::vector<DevicePoint> points = Diagonal(14);
             d.FillPolygon(3, 12, points.data());
         },
         "PU3.000,6.000;FT2;PM0;PD3.000,6.000,4.000,8.000,5.000,10.000,\r\n"
         "6.000,12.000,7.000,14.000,8.000,16.000,9.000,18.000,10.000,20.000,\r\n"
         "11.000,22.000,12.000,24.000,3.000,6.000;PM2;FP;\r\n"},
        {"PolyPolygon", false,
         [](CHpglDevice& d) {
             DevicePoint points[] = {{0, 0}, {10, 0}, {0, 10}, {1, 1}, {2, 1}, {1, 2}};
             const uint32_t counts[] = {3, 3};
             d.FillPolyPolygon(points, counts, 2);
         },
         "PU0.000,0.000;FT2;PM0;PD10.000,0.000,0.000,10.000,0.000,0.000;PM1;\r\n"
         "PU1.000,1.000;PD2.000,1.000,1.000,2.000,\r\n1.000,1.000;PM2;\r\nFP;\r\n"}, // index 5 breaks
        {"WideSegmentIsARectangle", true,
         [](CHpglDevice& d) {
             d.SetPen(0, 0.01);
             Polyline(d, {{10, 10}, {20, 10}});
         },
         "PU10.000,15.080;FT2;PM0;PD10.000,15.080,20.000,15.080,20.000,4.920,10.000,4.920,10.000,15.080;"
         "PM2;FP;\r\n"},
        {"CornerBelowZeroWrittenAsFiveHundredths", true,
         [](CHpglDevice& d) {
             d.SetPen(0, 0.01);
             Polyline(d, {{0, 2}, {10, 2}});
         },
         "PU0.000,7.080;FT2;PM0;PD0.000,7.080,10.000,7.080,10.000,0.050,0.000,0.050,0.000,7.080;PM2;FP;\r\n"},
        {"ColourChangeWithTheSameWidthWritesNothing", true,
         [](CHpglDevice& d) {
             d.MoveTo(0, 0);
             d.LineTo(1, 1);
             d.SetPen(gdi::rgb(255, 0, 0), 0.0005);
             d.LineTo(2, 2);
         },
         "PU0.000,0.000;PD1.000,1.000,2.000,2.000;\r\n"},
        {"WidthChangeContinuesFromTheLastPoint", true,
         [](CHpglDevice& d) {
             d.SetPen(0, 0.01);
             Polyline(d, {{10, 10}, {20, 10}});
             d.SetPen(0, 0);
             d.LineTo(30, 10);
         },
         "PU10.000,15.080;FT2;PM0;PD10.000,15.080,20.000,15.080,20.000,4.920,10.000,4.920,10.000,15.080;"
         "PM2;FP;\r\nPU20.000,10.000;PD30.000,10.000;\r\n"},
        {"WidthsIgnoredWithoutPenWidths", false,
         [](CHpglDevice& d) {
             d.SetPen(0, 0.01);
             Polyline(d, {{10, 10}, {20, 10}});
         },
         "PU10.000,10.000;PD20.000,10.000;\r\n"},
        {"MoveToAloneOrToTheSamePointWritesNoPolyline", false,
         [](CHpglDevice& d) {
             d.MoveTo(1, 1);
             d.MoveTo(2, 2);
             d.LineTo(2, 2);
             d.MoveTo(3, 3);
         },
         ""},
    };
}

TEST(HpglDevice, ScriptedSequencesByteForByte) {
    ScratchFolder folder("hpgl-device");
    for (const HpglCase& c : HpglCases()) {
        SCOPED_TRACE(c.name);
        CHpglDevice device;
        device.SetUsePenWidths(c.usePenWidths);
        const std::string file = (folder / "plan.plt").string();
        ASSERT_TRUE(device.Begin("", file.c_str(), "", 800, 600));
        c.draw(device);
        ASSERT_TRUE(device.End());
        const std::string written = ReadWholeFile(file);
        EXPECT_EQ(written, kFirstLine + c.body + "PG;");
        for (size_t i = 0; i < written.size(); ++i) {
            if (written[i] == '\n') {
                EXPECT_TRUE(i > 0 && written[i - 1] == '\r') << "bare LF at " << i;
            }
        }
    }
}

TEST(HpglDevice, DecimalPointsUnderAGermanLocale) {
    TM_USE_GERMAN_LOCALE(locale);
    ScratchFolder folder("hpgl-locale");
    CHpglDevice device;
    const std::string file = (folder / "plan.hgl").string();
    ASSERT_TRUE(device.Begin("", file.c_str(), "", 800.5, 600.25));
    device.MoveTo(1.5, 2.25);
    device.LineTo(3.125, 4);
    ASSERT_TRUE(device.End());
    EXPECT_EQ(ReadWholeFile(file), "IN;SP1;SC0.0,0.0,800.500,600.250;\r\nPU1.500,2.250;PD3.125,4.000;\r\nPG;");
}

TEST(HpglDevice, FailuresReportedAndLeaveNoFile) {
    ScratchFolder folder("hpgl-fail");
    CHpglDevice nowhere;
    EXPECT_FALSE(nowhere.Begin("", (folder / "missing" / "a.plt").c_str(), "", 10, 10));
    EXPECT_FALSE(nowhere.End());
    {
        CHpglDevice abandoned; // deleted without End: no file, no temporary
        ASSERT_TRUE(abandoned.Begin("", (folder / "abandoned.plt").c_str(), "", 10, 10));
        abandoned.MoveTo(0, 0);
        abandoned.LineTo(1, 1);
    }
    EXPECT_TRUE(folder.Files().empty());
    std::filesystem::create_directories(folder / "taken" / "inside");
    CHpglDevice onFolder;
    ASSERT_TRUE(onFolder.Begin("", (folder / "taken").c_str(), "", 10, 10));
    EXPECT_FALSE(onFolder.End());
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"taken"});
}

TEST(HpglDevice, PlotterToolRendersTheScriptedPage) {
    TM_REQUIRE_TOOL("hp2xx");
    TM_REQUIRE_TOOL("convert");
    ScratchFolder folder("hpgl-page");
    CHpglDevice device;
    device.SetUsePenWidths(true);
    const std::string file = (folder / "page.plt").string();
    ASSERT_TRUE(device.Begin("", file.c_str(), "", test::kPageWidth, test::kPageHeight));
    test::DrawScriptedPage(device);
    ASSERT_TRUE(device.End());
    const std::string png = (folder / "page.png").string();
    ASSERT_TRUE(test::runCommand("hp2xx -q -m png -f " + test::shellQuote(png) + " " + test::shellQuote(file) +
                                 " 2>&1"))
        << "hp2xx refused the file";
    const std::optional<test::RgbImage> image = test::readWithImageMagick(png);
    ASSERT_TRUE(image);
    size_t ink = 0;
    for (size_t i = 0; i + 2 < image->rgb.size(); i += 3) ink += image->rgb[i] + image->rgb[i + 1] + image->rgb[i + 2] < 384;
    EXPECT_GT(ink, size_t(image->width) * size_t(image->height) / 20) << "the fills are missing";
}

} // namespace
} // namespace tracemill::render
