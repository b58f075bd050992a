// The two encodings of the program's text files: UTF-8, and Windows-1252 for files written
// on the platform the program came from.
#pragma once

#include <string>
#include <string_view>

namespace tracemill {

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing
// above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 text as UTF-8. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number.
std::string Utf8FromWindows1252(std::string_view bytes);

// The text of a file that is UTF-8 when it is valid UTF-8 (a leading byte-order mark
// dropped), else Windows-1252.
std::string DecodeTextFile(std::string_view bytes);

} // namespace tracemill
