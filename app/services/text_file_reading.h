// Reading lines and NUL-terminated strings from a file opened by the caller, one byte at a
// time: language files, linetype files and pen-set files.
#pragma once

#include <istream>
#include <string>

namespace tracemill {

// The next line: CR, LF and NUL bytes before it are passed over, then bytes are collected up
// to the next CR, LF or NUL (consumed, not stored) or the end of the file. Empty at the end
// of the file, so empty lines never come back.
std::string ReadTextLine(std::istream& file);

// The bytes up to the next NUL (consumed, not stored) or the end of the file; empty at the
// end of the file.
std::string ReadNulTerminatedString(std::istream& file);

} // namespace tracemill
