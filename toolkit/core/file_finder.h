// The toolkit's default file finder: how it looks for a file a drawing needs (a font, a
// referenced drawing) when the host installs no finder of its own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

// The names the default finder tries, in order, written the Windows way ('/' turned into
// '\'): the name itself; the part behind its last '\' (and behind a drive prefix) in the
// current directory; then, unless the name contains ':' (a drive), the name appended to
// each directory of the environment variable "ACAD" (split at ';'), with a '\' between them
// unless the directory already ends in a separator.
std::vector<std::string> dbDefaultFileFinderCandidates(std::string_view name);

// Tries the candidates through the shared resolver. 1 and the native path of the first one
// that exists in outPath; 0 and the name (with '\' separators) in outPath when none does.
int dbDefaultFileFinder(const char* name, std::string& outPath, void* hostContext);

} // namespace tracemill
