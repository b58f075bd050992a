#include "toolkit/display/text/text_decoding.h"

#include "toolkit/core/code_pages.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/shape_text_state.h"

namespace tracemill {

namespace {

// The code pages in which bytes 248, 241 and 237 are the degree, plus/minus and diameter
// signs ("dos850" and "ansi_1252").
constexpr int kCodePageDos850 = 12;
constexpr int kCodePageAnsi1252 = 30;

// The signs as text carries them: in the code page (176, 177) or as Unicode (8709).
constexpr uint16_t kDegreeSign = 176;
constexpr uint16_t kPlusMinusSign = 177;
constexpr uint16_t kDiameterSign = 8709;

// TrueType character sets of double-byte text (Shift-JIS, Hangul, GB 2312, Big5).
bool isDoubleByteCharacterSet(int characterSet) {
    return characterSet == 128 || characterSet == 129 || characterSet == 134 || characterSet == 136;
}

// An upper-case hexadecimal digit's value; -1 for any other byte.
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Up to four hexadecimal digits from p; p moves behind them.
uint16_t readHex(const char*& p) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexDigit(*p);
        if (digit < 0) break;
        value = value * 16 + uint32_t(digit);
        ++p;
    }
    return uint16_t(value);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A byte of the string that is no control code: in "dos850" and "ansi_1252" text the signs'
// bytes become the codes of the font (not for a unifont, which converts the byte itself).
uint16_t plainByte(uint8_t c, uint8_t fontFlags, int codePage) {
    if ((fontFlags & kFontKindUnifont) || (codePage != kCodePageDos850 && codePage != kCodePageAnsi1252)) return c;
    const bool gdt = (fontFlags & kFontKindBuiltinGdt) != 0;
    const bool shapes11 = (fontFlags & kFontKindShapes11) != 0;
    switch (c) {
    case 248: return gdt ? 126 : shapes11 ? 256 : 127;
    case 241: return gdt ? 96 : shapes11 ? 257 : 128;
    case 237: return shapes11 ? 258 : 129;
    default: return c;
    }
}

bool inBigFontRanges(const ShapeFont& bigFont, uint16_t code) {
    for (const BigFontRange& range : bigFont.ranges) {
        if (range.first <= code && code <= range.last) return true;
    }
    return false;
}

// Whether a character read from one byte is the lead byte of a double-byte character.
bool isLeadByte(uint16_t code, bool special, uint8_t fontFlags, const ShapeTextState& state, int codePage) {
    if (state.bigFont) return !special && inBigFontRanges(*state.bigFont, code);
    if (code > 0xFF || !(code & 0x80)) return false;
    if (fontFlags & kFontKindTrueType) {
        return state.mainFont && isDoubleByteCharacterSet((state.mainFont->trueType.params >> 8) & 0xFF);
    }
    return dbIsLeadByte(uint8_t(code), codePage) != 0;
}

} // namespace

uint16_t genDegreeCode(uint8_t fontFlags) {
    if (fontFlags & kFontKindBuiltinGdt) return 126;
    if (fontFlags & kFontKindShapes10) return 127;
    if (fontFlags & kFontKindShapes127Or248) return 248;
    if (fontFlags & (kFontKindUnifont | kFontKindTrueType)) return kDegreeSign;
    return 256;
}

uint16_t genPlusMinusCode(uint8_t fontFlags) {
    if (fontFlags & kFontKindSimplex6) return kPlusMinusSign;
    if (fontFlags & kFontKindBuiltinGdt) return 96;
    if (fontFlags & kFontKindShapes10) return 128;
    if (fontFlags & kFontKindShapes127Or248) return 241;
    if (fontFlags & (kFontKindUnifont | kFontKindTrueType)) return kPlusMinusSign;
    return 257;
}

uint16_t genDiameterCode(uint8_t fontFlags) {
    if (fontFlags & kFontKindBuiltinGdt) return 110;
    if (fontFlags & kFontKindShapes10) return 129;
    if (fontFlags & kFontKindShapes127Or248) return 237;
    if (fontFlags & kFontKindTrueType) return 216;
    if (fontFlags & kFontKindUnifont) return kDiameterSign;
    return 258;
}

uint16_t genDecodeTextChar(const char*& cursor, uint8_t fontFlags, const ShapeTextState& state, int codePage,
                           uint8_t& plainOut, uint8_t& decorationFlags) {
    const char* p = cursor;
    plainOut = 1;
    uint16_t result = 0;
    bool escape = false;   // given by \U+ or \M+
    bool special = false;  // a sign or a decimal code of %%
    if (p[0] == '\\' && p[1] == 'U' && p[2] == '+' && hexDigit(p[3]) >= 0) {
        p += 3;
        result = readHex(p);
        plainOut = 0;
        escape = true;
    } else if (p[0] == '\\' && p[1] == 'M' && p[2] == '+' && p[3] >= '0' && p[3] <= '5') {
        p += 4;
        result = readHex(p);
        plainOut = 0;
        escape = true;
    } else {
        // Over- and underline codes toggle their flag and go on to the next character.
        for (;;) {
            const uint8_t c = uint8_t(*p);
            if (c == 0) break;
            if (c != '%') {
                result = plainByte(c, fontFlags, codePage);
                ++p;
                break;
            }
            if (p[1] != '%') {
                result = '%';
                ++p;
                break;
            }
            const char x = p[2];
            if (x == 0) {  // "%%" ends the string: the cursor stays on its NUL
                p += 2;
                break;
            }
            p += 3;
            if (x == 'O' || x == 'o') {
                decorationFlags ^= kDecorationOverline;
                continue;
            }
            if (x == 'U' || x == 'u') {
                decorationFlags ^= kDecorationUnderline;
                continue;
            }
            if (x == 'D' || x == 'd' || x == 'P' || x == 'p' || x == 'C' || x == 'c') {
                const char sign = char(x | 0x20);
                result = sign == 'd' ? genDegreeCode(fontFlags)
                         : sign == 'p' ? genPlusMinusCode(fontFlags)
                                       : genDiameterCode(fontFlags);
                if (fontFlags & kFontKindUnifont) plainOut = 0;
                special = true;
            } else if (isDigit(x)) {
                int digits = 1;
                uint16_t value = uint16_t(x - '0');
                for (; digits < 3 && isDigit(*p); ++digits, ++p) value = uint16_t(value * 10 + (*p - '0'));
                if (digits == 3 && value >= 128 && value <= 255) plainOut = 0;
                result = value;
                special = true;
            } else {
                result = uint8_t(x);  // "%%%" and any other code: the byte itself
            }
            break;
        }
    }
    if (!escape && result != 0 && isLeadByte(result, special, fontFlags, state, codePage)) {
        // A lead byte on the string's end has no second byte: the string ends there.
        if (*p == 0) {
            result = 0;
        } else {
            result = uint16_t((result & 0xFF) * 256 + uint8_t(*p));
            ++p;
        }
    }
    cursor = p;
    if (result == 0) return 0;
    if ((fontFlags & kFontKindUnifont) && plainOut == 1) return result;
    switch (result) {
    case kDegreeSign: return genDegreeCode(fontFlags);
    case kPlusMinusSign: return genPlusMinusCode(fontFlags);
    case kDiameterSign: return genDiameterCode(fontFlags);
    default: return result;
    }
}

} // namespace tracemill
