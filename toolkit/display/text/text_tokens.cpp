#include "toolkit/display/text/text_tokens.h"

#include <cstdlib>

#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/text_decoding.h"

namespace tracemill {
namespace {

constexpr int kNumberLength = 19;

int hexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

uint8_t genNextTextByte(TextCursor& cursor) {
    for (;;) {
        if (cursor.atEnd()) return 0;
        const uint8_t c = uint8_t(*cursor.at++);
        if (c == '\n' && cursor.skipLineFeeds) continue;
        return c;
    }
}

void genReadTextNumber(TextCursor& cursor, double& value, uint8_t& relative) {
    char digits[kNumberLength + 1];
    int n = 0;
    relative = 0;
    while (n < kNumberLength) {
        const uint8_t c = cursor.peek();
        if (c == 'x' || c == 'X') {
            ++cursor.at;
            relative = 1;
            break;
        }
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-')) break;
        digits[n++] = char(c);
        ++cursor.at;
    }
    digits[n] = 0;
    if (cursor.peek() == ';') ++cursor.at;
    value = std::strtod(digits, nullptr);
}

uint16_t genFontKindForSymbols(uint8_t kind) {
    for (uint8_t bit : {kFontKindBuiltinGdt, kFontKindShapes11, kFontKindShapes127Or248, kFontKindUnifont,
                        kFontKindTrueType})
        if (kind & bit) return bit;
    return kFontKindShapes10;
}

uint16_t genSymbolCode(uint16_t unicode, uint16_t symbolKind) {
    const uint8_t kind = uint8_t(symbolKind);
    if (unicode == kUnicodeDegree) return genDegreeCode(kind);
    if (unicode == kUnicodePlusMinus) return genPlusMinusCode(kind);
    if (unicode == kUnicodeDiameter) return genDiameterCode(kind);
    return unicode;
}

int genNextTextToken(TextCursor& cursor, uint16_t symbolKind, uint16_t& code, FormatToken& token,
                     uint8_t& inCodePage) {
    inCodePage = 1;
    const uint8_t c = genNextTextByte(cursor);
    if (c == 0) {
        code = 0;
        return 0;
    }
    code = c;
    if (c == '%' && cursor.peek() == '%') {
        uint16_t unicode = 0;
        switch (cursor.peek(1)) {
        case 'd': case 'D': unicode = kUnicodeDegree; break;
        case 'p': case 'P': unicode = kUnicodePlusMinus; break;
        case 'c': case 'C': unicode = kUnicodeDiameter; break;
        case 'v':
            cursor.at += 2;
            code = ' ';
            token = FormatToken{};
            return 1;
        default: return 1;  // an ordinary '%'
        }
        cursor.at += 2;
        code = genSymbolCode(unicode, symbolKind);
        if (code == unicode) inCodePage = 0;
        return 1;
    }
    if (c != '\\') return 1;
    const uint8_t next = cursor.peek();
    if (next == 0) return 1;  // a backslash that ends the text stays one
    ++cursor.at;
    code = next;
    if (next != 'U') return 1;
    // "\U+XXXX": five characters must follow the 'U', the first a '+'.
    for (size_t i = 0; i < 5; ++i)
        if (cursor.peek(i) == 0) return 1;
    if (cursor.peek() != '+') return 1;
    ++cursor.at;
    uint16_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(uint8_t(*cursor.at++));
        if (digit >= 0) value = uint16_t(value * 16 + digit);
    }
    inCodePage = 0;
    code = genSymbolCode(value, symbolKind);
    return 1;
}

int genIsBlankText(std::string_view text) {
    for (char c : text) {
        if (c == 0) break;
        if (c != ' ') return 0;
    }
    return 1;
}

} // namespace tracemill
