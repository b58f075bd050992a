#include "toolkit/display/text/mtext_tokens.h"

#include "toolkit/core/code_pages.h"
#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {
namespace {

int hexDigit(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Up to four hexadecimal digits.
uint16_t readHex(TextCursor& cursor) {
    uint16_t value = 0;
    for (int i = 0; i < 4 && hexDigit(cursor.peek()) >= 0; ++i)
        value = uint16_t(value * 16 + hexDigit(uint8_t(*cursor.at++)));
    return value;
}

bool isSpaceOrControl(uint8_t c) { return c != 0 && c <= 0x20; }

// Code pages whose bytes 0xB0 and 0xB1 are the degree and plus-minus signs of shape fonts.
bool degreeBytePage(int16_t codePage) { return codePage == 2 || codePage == 12 || codePage == 30; }

bool startsDoubleByte(uint8_t c, const MTextCursor& cursor, const MTextFormat* format) {
    if (format && format->bigFont) {
        for (const BigFontRange& range : format->bigFont->ranges)
            if (c >= range.first && c <= range.last) return true;
        return false;
    }
    if (!(c & 0x80)) return false;
    if (format && format->font && (format->font->kind & kFontKindTrueType)) {
        const int charset = (format->font->trueType.params >> 8) & 0xFF;
        if (charset == 128 || charset == 129 || charset == 134 || charset == 136) return true;
    }
    return dbIsLeadByte(c, cursor.codePage) != 0;
}

// A character of the code page at the cursor (its first byte read): a double-byte code is
// joined; 0 when a lead byte ends the text.
uint16_t codePageCharacter(uint8_t c, MTextCursor& cursor, const MTextFormat* format, uint16_t symbolKind,
                           uint8_t& inCodePage) {
    inCodePage = 1;
    if (startsDoubleByte(c, cursor, format)) {
        const uint8_t low = cursor.peek();
        if (low == 0) return 0;
        ++cursor.at;
        return uint16_t(c << 8 | low);
    }
    const bool unifont = format && format->font && (format->font->kind & kFontKindUnifont);
    if (!unifont && (c == 0xB0 || c == 0xB1) && degreeBytePage(cursor.codePage)) {
        inCodePage = 0;
        return genSymbolCode(c == 0xB0 ? kUnicodeDegree : kUnicodePlusMinus, symbolKind);
    }
    return c;
}

} // namespace

int genNextMTextToken(Drawing*, MTextCursor& cursor, uint16_t symbolKind, uint16_t& code, FormatToken& token,
                      uint8_t& inCodePage, const MTextFormat* format) {
    for (;;) {
        token.code = 0;
        code = 0;
        inCodePage = 1;
        const uint8_t c = genNextTextByte(cursor);
        if (c == 0) return 0;
        if (!cursor.interpretCodes) {
            if (c == '\n' || (c == '\r' && cursor.peek() == '\n')) {
                if (c == '\r') ++cursor.at;
                token.code = 'P';
                return 1;
            }
            if (c == '\t') {
                code = ' ';
                return 1;
            }
            code = codePageCharacter(c, cursor, format, symbolKind, inCodePage);
            return code != 0;
        }
        if (c == '{' || c == '}') {
            token.code = c;
            return 1;
        }
        if (c == '\n') {
            token.code = 'P';
            return 1;
        }
        if (c == ' ') {
            // Spaces before the end vanish; a space before \P gives way to it.
            size_t ahead = 0;
            while (isSpaceOrControl(cursor.peek(ahead)) && !(cursor.peek(ahead) == '\n' && !cursor.skipLineFeeds)) ++ahead;
            if (cursor.peek(ahead) == 0) {
                cursor.at += ahead;
                return 0;
            }
            if (cursor.peek(ahead) == '\\' && cursor.peek(ahead + 1) == 'P') {
                cursor.at += ahead + 2;
                token.code = 'P';
                return 1;
            }
            code = ' ';
            return 1;
        }
        if (c == '%' && cursor.peek() == '%') {
            const uint8_t which = cursor.peek(1);
            uint16_t unicode = 0;
            if (which == 'd' || which == 'D') unicode = kUnicodeDegree;
            else if (which == 'p' || which == 'P') unicode = kUnicodePlusMinus;
            else if (which == 'c' || which == 'C') unicode = kUnicodeDiameter;
            if (unicode != 0) {
                cursor.at += 2;
                code = genSymbolCode(unicode, symbolKind);
                if (code == unicode) inCodePage = 0;
                return 1;
            }
            if (which == 'v') {
                cursor.at += 2;
                code = ' ';
                return 1;
            }
            code = '%';
            return 1;
        }
        if (c != '\\') {
            code = codePageCharacter(c, cursor, format, symbolKind, inCodePage);
            return code != 0;
        }
        const uint8_t n = cursor.peek();
        if (n == 0) {
            code = '\\';
            return 1;
        }
        switch (n) {
        case 'F': case 'f': {
            ++cursor.at;
            token.fontName.clear();
            while (cursor.peek() != 0 && cursor.peek() != ';') {
                if (token.fontName.size() + 1 < kFontNameLength) token.fontName += char(cursor.peek());
                ++cursor.at;
            }
            if (cursor.peek() == ';') ++cursor.at;
            token.code = 'F';
            return 1;
        }
        case 'H': case 'Q': case 'W': case 'T':
            ++cursor.at;
            genReadTextNumber(cursor, token.value, token.relative);
            token.code = n;
            return 1;
        case 'A':
            ++cursor.at;
            token.alignment = cursor.peek() >= '0' && cursor.peek() <= '9' ? uint8_t(cursor.peek() - '0') : 0;
            if (cursor.peek() != 0) ++cursor.at;
            if (cursor.peek() == ';') ++cursor.at;
            token.code = 'A';
            return 1;
        case 'C': {
            ++cursor.at;
            double value = 0.0;
            uint8_t relative = 0;
            genReadTextNumber(cursor, value, relative);
            if (!(value >= 0.0 && value <= 500.0)) continue;  // no such colour: passed over
            code = uint16_t(kMTextColourBase + int(value));
            return 1;
        }
        case 'L': ++cursor.at; code = kMTextUnderlineOn; return 1;
        case 'l': ++cursor.at; code = kMTextUnderlineOff; return 1;
        case 'O': ++cursor.at; code = kMTextOverlineOn; return 1;
        case 'o': ++cursor.at; code = kMTextOverlineOff; return 1;
        case 'S': ++cursor.at; code = kMTextStack; return 1;
        case '~': ++cursor.at; code = kMTextNonBreakingSpace; return 1;
        case 'P': ++cursor.at; token.code = 'P'; return 1;
        case 'U':
            if (cursor.peek(1) == '+' && hexDigit(cursor.peek(2)) >= 0) {
                cursor.at += 2;
                code = genSymbolCode(readHex(cursor), symbolKind);
                inCodePage = 0;
                return 1;
            }
            code = '\\';  // the backslash is an ordinary character
            return 1;
        case 'M':
            if (cursor.peek(1) == '+' && cursor.peek(2) >= '0' && cursor.peek(2) <= '5') {
                cursor.at += 3;
                code = readHex(cursor);
                return 1;
            }
            code = '\\';
            return 1;
        default:
            ++cursor.at;
            code = n;
            return 1;
        }
    }
}

void genReadStackParts(TextCursor& cursor, uint16_t symbolKind, std::vector<StackCharacter>& top,
                       std::vector<StackCharacter>& bottom, char& separator) {
    top.clear();
    bottom.clear();
    separator = 0;
    std::vector<StackCharacter>* part = &top;
    for (;;) {
        const uint8_t c = cursor.peek();
        if (c == 0) return;
        if (c == ';') {
            ++cursor.at;
            return;
        }
        if (part == &top && (c == '^' || c == '/' || c == '#')) {
            ++cursor.at;
            separator = char(c);
            part = &bottom;
            continue;
        }
        uint16_t code = 0;
        uint8_t inCodePage = 1;
        FormatToken ignored;
        if (!genNextTextToken(cursor, symbolKind, code, ignored, inCodePage)) return;
        part->push_back({code, inCodePage});
    }
}

} // namespace tracemill
