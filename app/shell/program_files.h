// Files the program ships beside itself (language files, the help file): looked for in the
// program's folder, then in "../share/tracemill/" from it, as an installed program keeps them.
#pragma once

#include <string>
#include <vector>

namespace tracemill {

// The folders searched, in order, for a program folder given with its trailing '/'.
std::vector<std::string> ProgramFileFolders(const std::string& programFolder);
// The path of the first file of that name in those folders; empty when there is none.
std::string FindProgramFile(const std::string& programFolder, const std::string& fileName);

} // namespace tracemill
