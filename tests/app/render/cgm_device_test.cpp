// The CGM device: bytes of its elements, and its files read back by the test reader.
#include <gtest/gtest.h>

#include <functional>

#include "app/render/devices/cgm_device.h"
#include "cgm_test_reader.h"
#include "render_test_support.h"
#include "scripted_page.h"

namespace tracemill::render {
namespace {

using test::ReadCgm;
using test::ScratchFolder;
using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Begin with an empty title and a picture of 800.9 x 600.2.
const Bytes kHeader = Join({
    {0x00, 0x3F, 0x00, 0x1A, 0x19}, Text("Tracemill output cgm file"),
    {0x10, 0x22, 0x00, 0x01},                         // metafile version 1
    {0x10, 0x5F, 0x00, 0x01, 0x00, 0x00},             // description: empty string, padded
    {0x11, 0x66, 0x00, 0x01, 0xFF, 0xFF, 0x00, 0x01}, // element list
    {0x00, 0x7F, 0x00, 0x01, 0x00, 0x00},             // begin picture, empty name
    {0x20, 0x42, 0x00, 0x01},                         // colour selection: direct
    {0x20, 0xA2, 0x00, 0x00},                         // edge width: absolute
    {0x20, 0x62, 0x00, 0x00},                         // line width: absolute
    {0x20, 0xC8, 0x00, 0x00, 0x00, 0x00, 0x03, 0x20, 0x02, 0x58}, // VDC extent 0 0 800 600
    {0x00, 0x80},                                     // begin picture body
    {0x53, 0xC2, 0x00, 0x01}, {0x53, 0x82, 0x00, 0x01}, {0x53, 0x62, 0x00, 0x01},
    {0x52, 0xC2, 0x00, 0x01}, {0x50, 0x62, 0x00, 0x01}, {0x50, 0x42, 0x00, 0x01},
});
const Bytes kEnd = {0x00, 0xA0, 0x00, 0x40};

struct CgmCase {
    const char* name;
    std::function<void(CCgmDevice&)> draw;
    Bytes body; // between the header and the end
};

std::vector<CgmCase> CgmCases() {
    const Bytes orange = {0x53, 0xA3, 0xFF, 0x80, 0x00, 0x00, 0x52, 0xE3, 0xFF, 0x80,
                          0x00, 0x00, 0x50, 0x83, 0xFF, 0x80, 0x00, 0x00};
    return {
        {"NoPrimitives", [](CCgmDevice&) {}, {}},
        {"PolylineTruncatesItsPoints",
         [](CCgmDevice& d) {
             d.MoveTo(10.7, 20.2);
             d.LineTo(30.0, 40.9);
         },
         {0x40, 0x3F, 0x00, 0x08, 0x00, 0x0A, 0x00, 0x14, 0x00, 0x1E, 0x00, 0x28}},
        {"BlackFirstWritesNoColourOrangeWritesThree",
         [](CCgmDevice& d) {
             d.SetPen(gdi::rgb(0, 0, 0), 0.5);
             d.SetPen(gdi::rgb(255, 128, 0), 0.5);
             d.SetPen(gdi::rgb(255, 128, 0), 0.1);
         },
         orange},
        {"TwoPointFillWritesNothingAfterThePendingPolyline",
         [](CCgmDevice& d) {
             d.MoveTo(1, 2);
             d.LineTo(3, 4);
             DevicePoint points[] = {{5, 6}, {7, 8}};
             d.FillPolygon(0, 1, points);
             d.LineTo(9, 9);
         },
         {0x40, 0x3F, 0x00, 0x08, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04}},
        {"FillPolygonOfThreePoints",
         [](CCgmDevice& d) {
             DevicePoint points[] = {{9, 9}, {-1.5, 2}, {3, 4}, {5, 6}};
             d.FillPolygon(1, 3, points);
             const uint32_t counts[] = {4};
             d.FillPolyPolygon(points, counts, 1); // not served: the caller splits
         },
         {0x40, 0xFF, 0x00, 0x0C, 0xFF, 0xFF, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00, 0x06}},
        {"PenChangeContinuesThePolyline",
         [](CCgmDevice& d) {
             d.MoveTo(1, 1);
             d.LineTo(2, 2);
             d.SetPen(gdi::rgb(255, 128, 0), 0);
             d.LineTo(3, 3);
         },
         Join({{0x40, 0x3F, 0x00, 0x08, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00, 0x02},
               orange,
               {0x40, 0x3F, 0x00, 0x08, 0x00, 0x02, 0x00, 0x02, 0x00, 0x03, 0x00, 0x03}})},
        {"MoveToAloneOrToTheSamePointWritesNoPolyline",
         [](CCgmDevice& d) {
             d.MoveTo(1, 1);
             d.MoveTo(2.2, 2);
             d.LineTo(2.9, 2.5); // the same integer point
             d.MoveTo(5, 5);
         },
         {}},
        {"CoordinatesClampedTo16Bits",
         [](CCgmDevice& d) {
             d.MoveTo(40000, -40000);
             d.LineTo(-1e12, 1e12);
         },
         {0x40, 0x3F, 0x00, 0x08, 0x7F, 0xFF, 0x80, 0x00, 0x80, 0x00, 0x7F, 0xFF}},
    };
}

TEST(CgmDevice, ScriptedSequencesByteForByte) {
    ScratchFolder folder("cgm-device");
    for (const CgmCase& c : CgmCases()) {
        SCOPED_TRACE(c.name);
        CCgmDevice device;
        const std::string file = (folder / "plan.cgm").string();
        ASSERT_TRUE(device.Begin("", file.c_str(), "", 800.9, 600.2));
        c.draw(device);
        ASSERT_TRUE(device.End());
        const std::string written = test::ReadWholeFile(file);
        EXPECT_EQ(Bytes(written.begin(), written.end()), Join({kHeader, c.body, kEnd}));
        EXPECT_EQ(ReadCgm(Bytes(written.begin(), written.end())).error, "");
    }
}

TEST(CgmDevice, DescriptionIsTheTitlesFileTitle) {
    CCgmDevice device;
    ASSERT_TRUE(device.Begin("C:\\out\\plan.dwg", "unused.cgm", "", 10, 10));
    const test::CgmFile file = ReadCgm(Join({device.Document(), kEnd}));
    EXPECT_EQ(file.error, "");
    EXPECT_EQ(file.name, "Tracemill output cgm file");
    EXPECT_EQ(file.description, "plan");
    EXPECT_EQ(file.pictureName, "plan");
}

TEST(CgmDevice, LongPolylineAndPolygonSplitWithinTheElementLimit) {
    ScratchFolder folder("cgm-long");
    std::vector<DevicePoint> points;
    for (int i = 0; i < 10000; ++i) points.push_back({double(i % 3000), double(i / 3)});
    CCgmDevice device;
    const std::string path = (folder / "long.cgm").string();
    ASSERT_TRUE(device.Begin("", path.c_str(), "", 3000, 3400));
    device.MoveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) device.LineTo(points[i].x, points[i].y);
    device.FillPolygon(0, int32_t(points.size()) - 1, points.data());
    ASSERT_TRUE(device.End());
    const std::string written = test::ReadWholeFile(path);
    const test::CgmFile file = ReadCgm(Bytes(written.begin(), written.end()));
    ASSERT_EQ(file.error, "");

    std::vector<ShortPoint> expected;
    for (const DevicePoint& p : points) expected.push_back({int16_t(p.x), int16_t(p.y)});
    // Polyline: elements of at most 8,191 points, each starting where the one before ended.
    ASSERT_EQ(file.polylines.size(), 2u);
    std::vector<ShortPoint> joined = file.polylines[0].points;
    EXPECT_EQ(joined.size(), 8191u);
    EXPECT_EQ(file.polylines[1].points.front(), joined.back());
    joined.insert(joined.end(), file.polylines[1].points.begin() + 1, file.polylines[1].points.end());
    EXPECT_EQ(joined, expected);
    // Polygon: one element in two partitions.
    ASSERT_EQ(file.polygons.size(), 1u);
    EXPECT_EQ(file.polygons[0].partitions, 2);
    EXPECT_EQ(file.polygons[0].points, expected);
}

TEST(CgmDevice, ScriptedPageReadsBack) {
    ScratchFolder folder("cgm-page");
    CCgmDevice device;
    EXPECT_FALSE(device.SupportsPolyPolygon());
    const std::string path = (folder / "page.cgm").string();
    ASSERT_TRUE(device.Begin("", path.c_str(), "", test::kPageWidth, test::kPageHeight));
    test::DrawScriptedPage(device);
    ASSERT_TRUE(device.End());
    const std::string written = test::ReadWholeFile(path);
    const test::CgmFile file = ReadCgm(Bytes(written.begin(), written.end()));
    ASSERT_EQ(file.error, "");
    EXPECT_EQ(std::vector<int16_t>(file.vdcExtent, file.vdcExtent + 4), (std::vector<int16_t>{0, 0, 800, 600}));

    const auto toShort = [](const std::vector<DevicePoint>& points) {
        std::vector<ShortPoint> out;
        for (const DevicePoint& p : points) out.push_back({int16_t(p.x), int16_t(p.y)});
        return out;
    };
    ASSERT_EQ(file.polylines.size(), test::ScriptedPolylines().size());
    for (size_t i = 0; i < file.polylines.size(); ++i) {
        EXPECT_EQ(file.polylines[i].colour, test::ScriptedPolylines()[i].colour) << i;
        EXPECT_EQ(file.polylines[i].points, toShort(test::ScriptedPolylines()[i].points)) << i;
    }
    // The fill with a hole arrives as its two polygons.
    std::vector<test::CgmPrimitive> expected;
    for (const test::ScriptedFill& fill : test::ScriptedFills()) {
        size_t first = 0;
        for (uint32_t count : fill.counts) {
            expected.push_back({fill.colour, toShort({fill.points.begin() + std::ptrdiff_t(first),
                                                      fill.points.begin() + std::ptrdiff_t(first + count)}),
                                1});
            first += count;
        }
    }
    ASSERT_EQ(file.polygons.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(file.polygons[i].colour, expected[i].colour) << i;
        EXPECT_EQ(file.polygons[i].points, expected[i].points) << i;
    }
}

TEST(CgmDevice, FailedWriteReportedAndLeavesNoFile) {
    ScratchFolder folder("cgm-fail");
    std::filesystem::create_directories(folder / "taken" / "inside");
    CCgmDevice device;
    ASSERT_TRUE(device.Begin("", (folder / "taken").c_str(), "", 10, 10));
    EXPECT_FALSE(device.End());
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"taken"});
    CCgmDevice nowhere;
    ASSERT_TRUE(nowhere.Begin("", (folder / "missing" / "a.cgm").c_str(), "", 10, 10));
    EXPECT_FALSE(nowhere.End());
}

TEST(CgmTestReader, RefusesDamagedFiles) {
    CCgmDevice device;
    ASSERT_TRUE(device.Begin("", "unused.cgm", "", 10, 10));
    device.MoveTo(1, 1);
    device.LineTo(2, 2);
    const Bytes good = Join({device.Document(), kEnd});
    ASSERT_EQ(ReadCgm(good).error, "");
    struct Damage {
        const char* name;
        std::function<void(Bytes&)> apply;
    };
    const Damage damages[] = {
        {"cut in the middle", [](Bytes& b) { b.resize(b.size() - 7); }},
        {"no end", [](Bytes& b) { b.resize(b.size() - 2); }},
        {"bytes after the end", [](Bytes& b) { b.push_back(0); }},
        {"pad byte set", [](Bytes& b) { b[39] = 1; }}, // after the empty description
        {"string longer than its element", [](Bytes& b) { b[4] = 0x1A; }},
    };
    for (const Damage& d : damages) {
        Bytes bytes = good;
        d.apply(bytes);
        EXPECT_NE(ReadCgm(bytes).error, "") << d.name;
    }
}

} // namespace
} // namespace tracemill::render
