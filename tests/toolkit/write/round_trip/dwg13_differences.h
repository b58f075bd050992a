// The differences a save as DWG "AC1012", "AC1014" or "AC1015" must make to a drawing, each with
// its reason: what the round-trip comparison allows between the first load and the load of the
// written file.
#pragma once

#include <span>

#include "round_trip.h"

namespace tracemill::test {

std::span<const AllowedDifference> dwg13AllowedDifferences();

// The lines the comparison takes: the header, classes, tables and objects.
DumpLines dwg13ComparedLines(const DumpLines& lines);

} // namespace tracemill::test
