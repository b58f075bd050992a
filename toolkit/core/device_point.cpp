#include "toolkit/core/device_point.h"

#include <cmath>
#include <limits>

namespace tracemill {

namespace {

int32_t clampedInteger(double whole) {
    if (std::isnan(whole)) return 0;
    if (whole >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (whole <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return int32_t(whole);
}

} // namespace

int32_t dbDeviceCoordinate(double value) { return clampedInteger(std::round(value)); }

} // namespace tracemill
