// The one table of the differences a save as another version or form makes to a drawing, each
// once with its reason, for every writer (DXF, DWG before R13, R13-2000 DWG): kinds, fields,
// tables and objects a version cannot hold, names it converts, handles it does not carry, what
// one reader keeps that another does not. A row that applies to some versions or forms only
// says so. The DXF and R13-2000 DWG suites join these rows with those only their writer needs
// (`joinedRows`).
#pragma once

#include <span>

#include "round_trip.h"

namespace tracemill::test {

std::span<const AllowedDifference> versionAllowedDifferences();

} // namespace tracemill::test
