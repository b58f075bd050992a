// Why a file cannot be read or written, in the system's words: the reason the tools and the
// program give beside the toolkit's error numbers when a drawing cannot be opened or an
// output cannot be written.
#pragma once

#include <string>

namespace tracemill {

// Why `path` cannot be read as a drawing before any reader looks at it: the system's reason
// ("No such file or directory", "Permission denied"), or "is a directory, not a drawing file",
// "is not a regular file", "is empty, not a drawing". Empty for a readable, non-empty file.
std::string dbReadProblem(const std::string& path);

// Why no file can be written at `path`: the system's reason for its folder ("No such file or
// directory", "Permission denied", "Read-only file system", "No space left on device"), or
// "is a directory" when a folder stands at the path itself. Found by making and removing a
// file in the folder; empty when that works.
std::string dbWriteProblem(const std::string& path);

} // namespace tracemill
