// Case-insensitive comparison of table-record, class and code-page names: only the ASCII
// letters 'A'..'Z' are folded.
#pragma once

#include <string_view>

namespace tracemill {

// 0 when equal, 1 when a is greater, -1 when a is smaller; the first difference decides and a
// name that ends first is the smaller.
int dbCompareNoCase(std::string_view a, std::string_view b);

// The same over at most n characters; n < 1 compares nothing (0).
int dbCompareNoCaseN(std::string_view a, std::string_view b, long n);

// 0 when the two characters are equal after folding, 1 when a is greater, -1 when smaller.
int dbCharCompareNoCase(char a, char b);

inline bool dbEqualsNoCase(std::string_view a, std::string_view b) { return dbCompareNoCase(a, b) == 0; }

} // namespace tracemill
