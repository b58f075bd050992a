// The differences a save as DWG "AC1012", "AC1014" or "AC1015" may make to a drawing: the one
// table of `version_differences.h` joined with the rows only this writer needs, each with its
// reason.
#pragma once

#include <span>
#include <string_view>

#include "round_trip.h"

namespace tracemill::test {

std::span<const AllowedDifference> dwg13AllowedDifferences();

// Whether a row may still be needed by a DWG file saved as its own version, which should need
// none: each that remains says why in `dwg13_differences.cpp`.
bool dwg13RemainsForOwnVersion(std::string_view id);

// The lines the comparison takes: the header, classes, tables and objects.
DumpLines dwg13ComparedLines(const DumpLines& lines);

} // namespace tracemill::test
