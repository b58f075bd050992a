// The device interface's shared pieces: number text, point buffers, the factory.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/render/devices/cgm_device.h"
#include "app/render/devices/device_number_format.h"
#include "app/render/devices/eps_device.h"
#include "app/render/devices/hpgl_device.h"
#include "app/render/devices/point_buffer.h"
#include "app/render/devices/svg_device.h"
#include "render_test_support.h"

namespace tracemill::render {
namespace {

struct NumberCase {
    double value;
    int decimals;
    const char* trimmed; // FormatDeviceNumber
    const char* fixed;   // FormatFixed, as "%-.Nf" in the C locale
};

const NumberCase kNumberCases[] = {
    {12.50, 2, "12.5", "12.50"},    {3.0, 2, "3", "3.00"},          {0.0, 2, "0", "0.00"},
    {-0.004, 2, "-0", "-0.00"},     {1.0, 2, "1", "1.00"},          {100.0, 1, "100", "100.0"},
    {0.5, 3, "0.5", "0.500"},       {2.0, 0, "2", "2"},             {-12.345, 2, "-12.35", "-12.35"},
    {0.125, 2, "0.12", "0.12"},     {1e9, 2, "1000000000", "1000000000.00"},
    {0.0005, 3, "0.001", "0.001"}, {250.0 / 255.0, 3, "0.98", "0.980"},
};

void ExpectNumberCases() {
    for (const NumberCase& c : kNumberCases) {
        SCOPED_TRACE(std::string(c.fixed) + " at " + std::to_string(c.decimals));
        EXPECT_EQ(FormatDeviceNumber(c.value, c.decimals), c.trimmed);
        char text[kDeviceNumberBufferSize];
        EXPECT_EQ(std::string(text, FormatFixed(c.value, text, c.decimals)), c.fixed);
        // The fixed form is what the C locale's printf gives.
        char printed[64];
        std::snprintf(printed, sizeof printed, "%-.*f", c.decimals, c.value);
        EXPECT_STREQ(text, printed);
    }
}

TEST(DeviceNumberFormat, FixedAndTrimmedTextOfTheTable) { ExpectNumberCases(); }

TEST(DeviceNumberFormat, SameTextUnderAGermanLocale) {
    TM_USE_GERMAN_LOCALE(locale);
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 0.5);
    ASSERT_STREQ(printed, "0,5") << "the locale is not in force";
    for (const NumberCase& c : kNumberCases) {
        EXPECT_EQ(FormatDeviceNumber(c.value, c.decimals), c.trimmed);
        std::string fixed;
        AppendFixed(fixed, c.value, c.decimals);
        EXPECT_EQ(fixed, c.fixed);
    }
}

TEST(DeviceNumberFormat, ExtremeValuesFitTheBuffer) {
    char text[kDeviceNumberBufferSize];
    const size_t length = FormatFixed(-1.7976931348623157e308, text, 40);
    EXPECT_EQ(length, 1 + 309 + 1 + size_t(kMaxDeviceDecimals));
    EXPECT_EQ(FormatDeviceNumber(-1.7976931348623157e308, text, 2), 1 + 309u);
}

TEST(PointBuffer, RepeatedLastPointDroppedOtherEqualPointsKept) {
    PointBuffer buffer;
    const DevicePoint script[] = {{1, 2}, {1, 2}, {3, 4}, {1, 2}, {1, 2}, {1, 2.0000001}};
    for (const DevicePoint& p : script) buffer.AddPoint(p.x, p.y);
    ASSERT_EQ(buffer.Count(), 4u);
    EXPECT_EQ(buffer[0], (DevicePoint{1, 2}));
    EXPECT_EQ(buffer[1], (DevicePoint{3, 4}));
    EXPECT_EQ(buffer[2], (DevicePoint{1, 2}));
    EXPECT_EQ(buffer[3], (DevicePoint{1, 2.0000001}));

    ShortPointBuffer shorts;
    shorts.AddPoint(5, -7);
    shorts.AddPoint(5, -7);
    shorts.AddPoint(-7, 5);
    shorts.AddPoint(5, -7);
    EXPECT_EQ(shorts.Count(), 3u);
    shorts.Clear();
    EXPECT_EQ(shorts.Count(), 0u);
    EXPECT_EQ(shorts.Capacity(), 0u);
    EXPECT_EQ(shorts.Data(), nullptr);
}

TEST(PointBuffer, GrowsByFourForFewPointsAndByNPlusFourForMore) {
    PointBuffer buffer;
    // Capacity after each single point: room runs out when count + 1 reaches the capacity.
    const uint32_t expected[] = {4, 4, 4, 8, 8, 8, 8, 12};
    for (uint32_t i = 0; i < 8; ++i) {
        buffer.AddPoint(i, 0);
        EXPECT_EQ(buffer.Capacity(), expected[i]) << "after point " << i;
    }
    buffer.Reserve(4); // 8 + 4 reaches 12: grows by 4
    EXPECT_EQ(buffer.Capacity(), 16u);
    buffer.Reserve(5); // 8 + 5 is below 16: no growth
    EXPECT_EQ(buffer.Capacity(), 16u);
    buffer.Reserve(10); // 8 + 10 reaches 16: grows by 14
    EXPECT_EQ(buffer.Capacity(), 30u);
    for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(buffer[i].x, double(i)); // kept across growth
}

TEST(PointBuffer, LongPolylinesDoubleTheCapacity) {
    // A polyline of 100,000 points grows a few dozen times, not 25,000 (which took seconds).
    PointBuffer buffer;
    uint32_t growths = 0;
    uint32_t capacity = 0;
    for (uint32_t i = 0; i < 100000; ++i) {
        buffer.AddPoint(i, 0);
        if (buffer.Capacity() != capacity) {
            if (capacity >= 64) {
                EXPECT_GE(buffer.Capacity(), 2 * capacity);
            }
            capacity = buffer.Capacity();
            ++growths;
        }
    }
    EXPECT_LT(growths, 40u);
    EXPECT_EQ(buffer[99999].x, 99999.0);
}

TEST(OutputDeviceFactory, MakesTheFormatsItServes) {
    for (int id : {0, 4, 5, 9, -1}) EXPECT_EQ(CreateOutputDevice(id), nullptr) << "id " << id;
    auto svg = CreateOutputDevice(1);
    ASSERT_NE(dynamic_cast<CSvgDevice*>(svg.get()), nullptr);
    EXPECT_FALSE(static_cast<CSvgDevice&>(*svg).Compresses());
    EXPECT_FALSE(svg->UsePenWidths());
    auto svgz = CreateOutputDevice(6);
    ASSERT_NE(dynamic_cast<CSvgDevice*>(svgz.get()), nullptr);
    EXPECT_TRUE(static_cast<CSvgDevice&>(*svgz).Compresses());
    EXPECT_TRUE(svgz->SupportsPolyPolygon());
    for (int id : {2, 3}) {
        auto hpgl = CreateOutputDevice(id);
        EXPECT_NE(dynamic_cast<CHpglDevice*>(hpgl.get()), nullptr) << "id " << id;
    }
    auto cgm = CreateOutputDevice(7);
    ASSERT_NE(dynamic_cast<CCgmDevice*>(cgm.get()), nullptr);
    EXPECT_FALSE(cgm->SupportsPolyPolygon());
    auto eps = CreateOutputDevice(8);
    ASSERT_NE(dynamic_cast<CEpsDevice*>(eps.get()), nullptr);
    EXPECT_TRUE(eps->SupportsPolyPolygon());
}

} // namespace
} // namespace tracemill::render
