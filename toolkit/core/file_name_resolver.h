// The one resolver that maps a file name written the Windows way, as drawings and search
// lists write them ("..\fonts\Romans.SHX", "C:\xref\a.dwg"), to a file on this machine.
// Every lookup of a file a drawing names (fonts, external references, images, linetype and
// language files) goes through it.
//
// Backslashes become slashes; a drive-letter prefix ("C:") is removed and the rest is taken
// from the root; each path component is matched without regard to ASCII case (an exact
// match wins; among several others the first in byte order); "." and ".." keep their
// meaning. Relative names are relative to the current directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

// The native path of the existing file (anything but a directory) that the name names, or
// nothing.
std::optional<std::string> dbResolveFileName(std::string_view name);

// The entries of a search list separated by ';', in order, without empty entries.
std::vector<std::string> dbSplitSearchList(std::string_view list);

// True when the name starts with a drive letter and a colon.
bool dbHasDrivePrefix(std::string_view name);

} // namespace tracemill
