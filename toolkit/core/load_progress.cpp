#include "toolkit/core/load_progress.h"

#include <algorithm>

namespace tracemill {

int16_t dbProgressPercent(const EntityRangePosition& position, int16_t previous) {
    previous = std::clamp<int16_t>(previous, 0, 100);
    const double span = double(position.end) - double(position.start);
    if (!(span > 0.0)) return 100;
    const double percent = (double(position.position) - double(position.start)) / span * 100.0 + 1.0;
    if (!(percent >= 1.0) || percent >= 101.0) return previous;
    return std::max(previous, int16_t(percent));
}

} // namespace tracemill
