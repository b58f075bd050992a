// The header variables an R13-2000 DWG file of a version carries, for the writer tests: those
// its header variables section passes (found by running the section's layout over a field
// stream that notes the members it is given) and those the file keeps elsewhere (the code page,
// MEASUREMENT, the 2000 flag word, the R13/R14 unit code).
#pragma once

#include <set>
#include <string>

namespace tracemill::test {

// The names of the variables (without "$"), handles among them.
std::set<std::string> dwg13CarriedHeaderVariables(int versionIndex);

} // namespace tracemill::test
