#include "toolkit/core/device_point.h"

#include <cmath>
#include <limits>

namespace tracemill {

int32_t dbDeviceCoordinate(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::round(value);
    if (rounded >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (rounded <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return int32_t(rounded);
}

} // namespace tracemill
