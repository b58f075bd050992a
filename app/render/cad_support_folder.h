// The folder list of an installed CAD program's search path, where linetype files and
// referenced files are also looked for.
#pragma once

#include <string>
#include <string_view>

namespace tracemill {

// Keeps the path unless it is empty.
void SetCadSupportDir(std::string_view path);
// Empty until set.
const std::string& GetCadSupportDir();

} // namespace tracemill
