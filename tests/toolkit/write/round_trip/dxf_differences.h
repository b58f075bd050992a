// The differences a save as DXF of a version and form must make to a drawing, each with its
// reason: what the round-trip comparison allows between the first load and the load of the
// written file.
#pragma once

#include <span>

#include "round_trip.h"

namespace tracemill::test {

std::span<const AllowedDifference> dxfAllowedDifferences();

} // namespace tracemill::test
