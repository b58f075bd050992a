// Stepping through texts of a code page: double-byte characters (a lead byte of the page and
// the byte after it) and the escapes \M+nXXXX (backslash, M, plus, five hexadecimal digits)
// and \U+XXXX (backslash, U, plus, four hexadecimal digits) each count as one character.
// A lead byte at the very end of a text stands alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tracemill {

// Change 'a'..'z' to upper case (or 'A'..'Z' to lower case) in place, leaving both bytes of
// every double-byte character of the page untouched.
void dbUpperCaseCp(std::string& text, int codePage);
void dbLowerCaseCp(std::string& text, int codePage);

// Reads one character and advances the cursor past it: a lead byte with the byte after it
// gives (lead << 8) + trail, any other byte itself; 0 for an empty cursor.
uint16_t dbNextChar(std::string_view& cursor, int codePage);

// Bytes taken by the character at the start of p: 8 for a \M+ escape, 7 for a \U+ escape
// (M and U in either case), 2 for a double-byte character, 1 otherwise, 0 for an empty text.
int dbCharWidth(std::string_view p, int codePage);

// Characters in a text, by dbCharWidth.
int dbCountChars(std::string_view text, int codePage);

// Appends n characters (fewer when the source ends) of src to dest and advances src.
void dbCopyChars(std::string& dest, std::string_view& src, int n, int codePage);

// Bytes in the longest start of `text` that fits `limit` bytes without cutting a character.
size_t dbFittingLength(std::string_view text, size_t limit, int codePage);

// Byte position of the first character whose dbNextChar value is `code`, npos when none.
size_t dbFindChar(std::string_view text, uint16_t code, int codePage);

} // namespace tracemill
