// The differences a save as a DWG file before R13 must make to a drawing, each with its reason:
// what the round-trip comparison allows between the first load and the load of the written
// file.
#pragma once

#include <span>

#include "round_trip.h"

namespace tracemill::test {

// For a drawing saved as another version or format than its own.
std::span<const AllowedDifference> dwg12AllowedDifferences();
// For a DWG file before R13 saved as its own version.
std::span<const AllowedDifference> dwg12OwnVersionDifferences();

} // namespace tracemill::test
