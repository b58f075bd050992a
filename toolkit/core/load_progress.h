// The load progress of the entity passes: how much of the range that holds the entities of
// model and paper space has been read, in percent.
#pragma once

#include <cstdint>

#include "toolkit/core/format_driver.h"

namespace tracemill {

// The percent for a position in its range, given the previous result: the share read + 1;
// an empty range gives 100. A result below 1 or above 100 keeps the previous
// one, and no result falls below the previous one, so the figure never goes back even where
// a reader's positions do.
int16_t dbProgressPercent(const EntityRangePosition& position, int16_t previous);

} // namespace tracemill
