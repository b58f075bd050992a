#include "toolkit/core/code_page_text.h"

#include <algorithm>

#include "toolkit/core/code_pages.h"
#include "toolkit/core/hex_text.h"

namespace tracemill {

namespace {

bool startsDoubleByte(std::string_view p, int codePage) {
    return p.size() >= 2 && p[1] != '\0' && dbIsLeadByte(uint8_t(p[0]), codePage);
}

bool isEscape(std::string_view p, char letter, size_t digits) {
    if (p.size() < 3 + digits || p[0] != '\\' || (p[1] | 0x20) != letter || p[2] != '+') return false;
    for (size_t i = 3; i < 3 + digits; ++i) {
        if (!dbIsHexDigit(p[i])) return false;
    }
    return true;
}

template <class Change>
void changeCase(std::string& text, int codePage, Change change) {
    for (size_t i = 0; i < text.size();) {
        if (startsDoubleByte(std::string_view(text).substr(i), codePage)) {
            i += 2;
            continue;
        }
        text[i] = change(text[i]);
        ++i;
    }
}

} // namespace

void dbUpperCaseCp(std::string& text, int codePage) {
    changeCase(text, codePage, [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
}

void dbLowerCaseCp(std::string& text, int codePage) {
    changeCase(text, codePage, [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
}

uint16_t dbNextChar(std::string_view& cursor, int codePage) {
    if (cursor.empty()) return 0;
    const uint8_t first = uint8_t(cursor[0]);
    if (startsDoubleByte(cursor, codePage)) {
        const uint16_t code = uint16_t(first << 8 | uint8_t(cursor[1]));
        cursor.remove_prefix(2);
        return code;
    }
    cursor.remove_prefix(1);
    return first;
}

int dbCharWidth(std::string_view p, int codePage) {
    if (p.empty()) return 0;
    if (isEscape(p, 'm', 5)) return 8;
    if (isEscape(p, 'u', 4)) return 7;
    if (startsDoubleByte(p, codePage)) return 2;
    return 1;
}

int dbCountChars(std::string_view text, int codePage) {
    int count = 0;
    while (!text.empty()) {
        text.remove_prefix(size_t(dbCharWidth(text, codePage)));
        ++count;
    }
    return count;
}

void dbCopyChars(std::string& dest, std::string_view& src, int n, int codePage) {
    for (int i = 0; i < n && !src.empty(); ++i) {
        const size_t width = size_t(dbCharWidth(src, codePage));
        dest.append(src.substr(0, width));
        src.remove_prefix(width);
    }
}

size_t dbFittingLength(std::string_view text, size_t limit, int codePage) {
    size_t length = 0;
    while (length < text.size()) {
        const size_t width = size_t(std::max(1, dbCharWidth(text.substr(length), codePage)));
        if (length + width > limit) break;
        length += width;
    }
    return length;
}

size_t dbFindChar(std::string_view text, uint16_t code, int codePage) {
    std::string_view cursor = text;
    while (!cursor.empty()) {
        const size_t position = text.size() - cursor.size();
        if (dbNextChar(cursor, codePage) == code) return position;
    }
    return std::string_view::npos;
}

} // namespace tracemill
