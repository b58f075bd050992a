// The PDF device adapter: the operators each device call appends to the page's stream.
#include <gtest/gtest.h>

#include <functional>

#include "app/render/devices/pdf_device_adapter.h"
#include "app/render/pdf/pdf_content.h"

namespace tracemill::render {
namespace {

std::string StreamText(const CPdfContent& content) {
    return std::string(reinterpret_cast<const char*>(content.Data()), content.Size());
}

struct AdapterCase {
    const char* name;
    bool usePenWidths;
    std::function<void(CPdfDeviceAdapter&)> calls;
    const char* appended; // after Begin's "1 J 1 j "
};

TEST(PdfDeviceAdapter, CallsAndTheTextTheyAppend) {
    const AdapterCase cases[] = {
        {"repeated point skipped, final S without blank", false,
         [](CPdfDeviceAdapter& d) {
             d.MoveTo(0, 0);
             d.LineTo(10, 0);
             d.LineTo(10, 0);
             d.End();
         },
         "15 15 m 25 15 l S"},
        {"LineTo without MoveTo", false, [](CPdfDeviceAdapter& d) { d.LineTo(5, 5); }, ""},
        {"pen change drops the pending move", false,
         [](CPdfDeviceAdapter& d) {
             d.MoveTo(0, 0);
             d.SetPen(gdi::rgb(0, 0, 0), 0);
             d.LineTo(10, 0);
         },
         "0 G 0 g "},
        {"grey pen", false, [](CPdfDeviceAdapter& d) { d.SetPen(gdi::rgb(128, 128, 128), 0.01); },
         "0.502 G 0.502 g "},
        {"red pen with its width", true, [](CPdfDeviceAdapter& d) { d.SetPen(gdi::rgb(255, 0, 0), 0.01); },
         "1 0 0 RG 1 0 0 rg 0.72 w "},
        {"pen change inside a path goes on from its last point", false,
         [](CPdfDeviceAdapter& d) {
             d.MoveTo(0, 0);
             d.LineTo(10, 0);
             d.SetPen(gdi::rgb(0, 0, 255), 0);
             d.LineTo(10, 10);
             d.End();
         },
         "15 15 m 25 15 l S 0 0 1 RG 0 0 1 rg 25 15 m 25 25 l S"},
        {"fill strokes the open path first and ends it", false,
         [](CPdfDeviceAdapter& d) {
             d.MoveTo(0, 0);
             d.LineTo(1, 0);
             DevicePoint points[] = {{9, 9}, {0, 0}, {10, 0}, {0, 10}};
             d.FillPolygon(1, 3, points);
             d.LineTo(5, 5);
             d.End();
         },
         "15 15 m 16 15 l S 15 15 m 25 15 l 15 25 l b "},
        {"poly-polygon", false,
         [](CPdfDeviceAdapter& d) {
             DevicePoint points[] = {{0, 0}, {10, 0}, {0, 10}, {1, 1}, {2, 1}, {1, 2}};
             const uint32_t counts[] = {3, 3};
             d.FillPolyPolygon(points, counts, 2);
         },
         "15 15 m 25 15 l 15 25 l h 16 16 m 17 16 l 16 17 l h B* "},
    };
    for (const AdapterCase& c : cases) {
        int32_t counter = 1;
        CPdfContent content(&counter);
        CPdfDeviceAdapter adapter;
        adapter.SetUsePenWidths(c.usePenWidths);
        adapter.SetContent(&content);
        adapter.SetOrigin(15, 15);
        ASSERT_TRUE(adapter.Begin("", "", "", 100, 100));
        c.calls(adapter);
        EXPECT_EQ(StreamText(content), std::string("1 J 1 j ") + c.appended) << c.name;
    }
}

TEST(PdfDeviceAdapter, PolygonComesBackWithTheOriginAdded) {
    int32_t counter = 1;
    CPdfContent content(&counter);
    CPdfDeviceAdapter adapter;
    adapter.SetContent(&content);
    adapter.SetOrigin(15, 15);
    ASSERT_TRUE(adapter.Begin("", "", "", 100, 100));
    DevicePoint points[] = {{-1, -1}, {0, 0}, {10, 0}, {0, 10}, {-1, -1}};
    adapter.FillPolygon(1, 3, points);
    EXPECT_EQ(points[0], (DevicePoint{-1, -1}));
    EXPECT_EQ(points[1], (DevicePoint{15, 15}));
    EXPECT_EQ(points[3], (DevicePoint{15, 25}));
    EXPECT_EQ(points[4], (DevicePoint{-1, -1}));
}

TEST(PdfDeviceAdapter, WithoutAStreamBeginFails) {
    CPdfDeviceAdapter adapter;
    EXPECT_FALSE(adapter.Begin("", "", "", 100, 100));
    adapter.MoveTo(0, 0);
    adapter.LineTo(1, 1);
    adapter.SetPen(0, 1);
    EXPECT_FALSE(adapter.End());
}

} // namespace
} // namespace tracemill::render
