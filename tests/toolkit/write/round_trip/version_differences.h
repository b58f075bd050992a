// The differences a save as another version must make to a drawing whatever the file's form
// (DXF or DWG), each with its reason: kinds, fields, tables and objects a version cannot hold,
// names it converts, handles it does not carry. A suite's table joins these rows with the rows
// of its form (`joinedRows`).
#pragma once

#include <span>

#include "round_trip.h"

namespace tracemill::test {

std::span<const AllowedDifference> versionAllowedDifferences();

} // namespace tracemill::test
