#include "toolkit/core/arc_segments.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace tracemill {

int32_t dbArcSegmentCount(int32_t resolution, double sweep, int32_t circleChords) {
    constexpr int32_t kFewest = 2;
    const double perCircle = resolution != 0 ? 4.0 * resolution : double(circleChords);
    const double n = std::trunc(std::fabs(sweep) / (2.0 * std::numbers::pi) * perCircle + 0.5);
    if (!(n >= kFewest)) return kFewest;  // also NaN
    if (n >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return int32_t(n);
}

} // namespace tracemill
