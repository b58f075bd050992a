// The differences a DWG file before R13 saved as its own version may show, each with its
// reason. A drawing saved as another version or form is compared after the rows of
// `version_differences.h`, which hold every difference of these files.
#pragma once

#include <span>

#include "round_trip.h"

namespace tracemill::test {

// For a DWG file before R13 saved as its own version.
std::span<const AllowedDifference> dwg12OwnVersionDifferences();

} // namespace tracemill::test
