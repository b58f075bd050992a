// The code pages of stored drawings: the CodePageTable of the 42 code-page numbers with their
// table slots, and conversion of single-byte and double-byte codes to Unicode through the
// tables of the initialisation data, each slot read on first use.
#pragma once

#include <cstdint>

namespace tracemill {

struct CodePageRow {
    const char* name;
    int slot;  // table slot in the init data
};

inline constexpr int kCodePageCount = 42;

// Row number = the code-page number stored in drawings.
inline constexpr CodePageRow kCodePageTable[kCodePageCount] = {
    {"undefined", 0},  {"ascii", 1},      {"iso8859-1", 2},  {"iso8859-2", 3},
    {"iso8859-3", 4},  {"iso8859-4", 5},  {"iso8859-5", 6},  {"iso8859-6", 7},
    {"iso8859-7", 8},  {"iso8859-8", 9},  {"iso8859-9", 10}, {"dos437", 11},
    {"dos850", 12},    {"dos852", 13},    {"dos855", 14},    {"dos857", 15},
    {"dos860", 16},    {"dos861", 17},    {"dos863", 18},    {"dos864", 19},
    {"dos865", 20},    {"dos869", 21},    {"dos932", 34},    {"mac-roman", 22},
    {"big5", 37},      {"ksc5601", 36},   {"johab", 23},     {"dos866", 24},
    {"ansi_1250", 25}, {"ansi_1251", 26}, {"ansi_1252", 27}, {"gb2312", 35},
    {"ansi_1253", 28}, {"ansi_1254", 29}, {"ansi_1255", 30}, {"ansi_1256", 31},
    {"ansi_1257", 32}, {"ansi_874", 33},  {"ansi_932", 34},  {"ansi_936", 35},
    {"ansi_949", 36},  {"ansi_950", 37},
};

// Loads the tables of a code page's slot when they are not loaded yet: the slot, or -1 for
// a number outside 0..41, a page without tables ("johab"), or tables that cannot be read
// (tried again on the next use).
int dbCodePageLoad(int number);

// Converts a code of the page to Unicode. A code below 256 goes through the byte map
// (1, even when the map holds 0). A double-byte code found in the page gives its value and
// 1; one not found stores the code itself and gives 0; a page without double-byte codes, or
// one that cannot be loaded, gives 0 and stores nothing.
int dbCodePageToUnicode(int number, uint16_t code, uint16_t& out);

// 1 when the byte starts a double-byte character of the page.
int dbIsLeadByte(uint8_t byte, int number);

// Finds a code page by name without regard to case: 1 and its number, or 0 and number 0.
int dbCodePageFromName(const char* name, int& number);

// The name of a code page, null outside 0..41.
const char* dbCodePageName(int number);

// The code page given to every new header (the system context's), 0 without a context.
int dbGetHeaderCodePage();

} // namespace tracemill
