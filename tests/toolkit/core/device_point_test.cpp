#include "toolkit/core/device_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tracemill {
namespace {

TEST(DevicePoint, CoordinatesRoundToNearestAndClampToThe32BitRange) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        double value;
        int32_t expected;
    } cases[] = {
        {0.0, 0},
        {0.49, 0},
        {0.5, 1},
        {-0.5, -1},
        {-1.6, -2},
        {123456.7, 123457},
        {2147483646.6, kMax},
        {2147483647.4, kMax},
        {1e20, kMax},
        {-2147483648.4, kMin},
        {-1e20, kMin},
        {INFINITY, kMax},
        {-INFINITY, kMin},
        {NAN, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(dbDeviceCoordinate(c.value), c.expected);
    }
}

} // namespace
} // namespace tracemill
