// The pieces of a file path, tests for files and folders, creating a folder path, temporary
// files and the ordering of files by kind. Paths are POSIX paths: '/' separates folders and
// there is no drive. A path splits into its folder (up to and with the last '/'), its file
// title and its extension (from the last '.' of the file name on, with the dot).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tracemill {

// "/data/plan.dwg": folder "/data/", file name "plan.dwg", title "plan", extension ".dwg".
// Each piece is empty when the path has none.
std::string GetPathFolder(std::string_view path);
std::string GetPathFileName(std::string_view path);
std::string GetPathTitle(std::string_view path);
std::string GetPathExt(std::string_view path);
// Folder and title with `extension` (given with its dot) in place of the path's own; an
// empty extension removes it.
std::string ChangePathExt(std::string_view path, std::string_view extension);

// True when the path names an entry that is not a directory.
bool FileExists(const std::string& path);
// True when the path names a directory (a trailing '/' makes no difference).
bool DirectoryExists(const std::string& path);
// Creates every missing folder of the path; true when it exists as a directory afterwards
// (an empty path, or one that ends in '/', is true once its folders exist).
bool CreateDirectoryPath(const std::string& path);
// Creates a new empty file "dwg" + a unique part in the temporary folder ($TMPDIR, else
// /tmp) and returns its full path; empty when none could be created. The name is chosen and
// the file created in one step, so no other process can take it in between.
std::string MakeTempFileName();
// The size of the file, 0 when there is none.
int64_t GetFileSizeByName(const std::string& path);

// The kind of a file by its extension (with the dot, any case): 0 ".dwg", 1 ".dxf",
// 2 ".dwt", 3 raster images, 4 ".shx", 5 ".ttf", 6 ".ttc", 7 ".pc3", 8 ".stb", 9 ".fmp",
// 10 anything else.
int GetFileKind(std::string_view extension);
// Orders files by kind, then extension, title and folder, each without regard to case:
// negative, 0 or positive.
int CompareFilesByKind(std::string_view a, std::string_view b);

} // namespace tracemill
