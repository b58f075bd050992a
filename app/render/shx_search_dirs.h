// The font search directories: the folders the user adds for fonts, referenced drawings and
// images, searched in their order. The list exists from start-up to shut-down and persists
// in the settings under "Option/ShxDirs" as the strings "Dir0", "Dir1" ...; one lock guards it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tracemill {

// Makes the list (empty) / forgets it.
void CreateShxDirList();
void DeleteShxDirList();

// A copy of the list; nothing before start-up and after shut-down.
std::optional<std::vector<std::string>> GetShxDirList();
// Replaces the entries; false when the list does not exist.
bool SetShxDirList(std::vector<std::string> dirs);

// Reads "Dir0", "Dir1" ... into the list, up to the first value that cannot be read; nothing
// when the list or the settings key does not exist.
void LoadShxSearchDirs();
// Writes the entries as "Dir0", "Dir1" ... (higher numbers already stored stay as they are);
// nothing for a missing or empty list.
void SaveShxSearchDirs();

} // namespace tracemill
