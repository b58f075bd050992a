// Reading text as single-line text and MTEXT see it, a token at a time: the plain character
// reader (genNextTextToken: %% codes and the \U+ escape), the number reader of format codes
// (genReadTextNumber), the byte reader that passes over line feeds while MTEXT wraps
// (genNextTextByte) and the reduction of a font's kind to the kind that decides its symbol
// codes (genFontKindForSymbols).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tracemill {

// Where a reader stands in a text. The text ends at its NUL or at `end`, whichever comes
// first; no reader ever reads past it.
struct TextCursor {
    const char* at = nullptr;
    const char* end = nullptr;
    uint8_t skipLineFeeds = 0;  // on: genNextTextByte passes over line feeds

    TextCursor() = default;
    explicit TextCursor(std::string_view text) : at(text.data()), end(text.data() + text.size()) {}
    bool atEnd() const { return at >= end || *at == 0; }
    // The byte `ahead` places on, or 0 beyond the end.
    uint8_t peek(size_t ahead = 0) const {
        for (size_t i = 0; i <= ahead; ++i)
            if (at + i >= end || at[i] == 0) return 0;
        return uint8_t(at[ahead]);
    }
};

// Format codes of a token: 'F' font, 'H' height, 'T' tracking, 'Q' oblique, 'W' width factor,
// 'A' alignment, 'P' paragraph break, '{' and '}' the format stack; 0 none.
struct FormatToken {
    uint16_t code = 0;
    double value = 0.0;
    uint8_t relative = 0;  // the number ended in 'x'
    std::string fontName;  // at most kFontNameLength - 1 characters
    uint8_t alignment = 0;
};
inline constexpr size_t kFontNameLength = 128;

// The codes of the symbols in a font of each symbol kind (see genFontKindForSymbols).
inline constexpr uint16_t kUnicodeDegree = 0xB0;
inline constexpr uint16_t kUnicodePlusMinus = 0xB1;
inline constexpr uint16_t kUnicodeDiameter = 0x2205;

// The next byte; while the cursor's line-feed switch is on, line feeds are passed over. 0 at
// the end, which is not passed.
uint8_t genNextTextByte(TextCursor& cursor);

// Reads a number of a format code: up to 19 characters among digits, '.', '-', 'x' and 'X',
// stopping after an 'x' or 'X' (which sets `relative`); a ';' after it is skipped. The value
// is the decimal number read (0 when none).
void genReadTextNumber(TextCursor& cursor, double& value, uint8_t& relative);

// The first of the kind bits 0x40, 0x04, 0x01, 0x10, 0x20 that the font's kind holds, else
// 0x02.
uint16_t genFontKindForSymbols(uint8_t kind);

// The font's code of a Unicode symbol (degree, plus-minus, diameter); other codes unchanged.
uint16_t genSymbolCode(uint16_t unicode, uint16_t symbolKind);

// The plain character reader: the next character's code (0 and result 0 at the end).
// "%%d", "%%p", "%%c" (either case) give the font's symbol codes, "%%v" a space (and no
// format); "\U+XXXX" with four characters following the '+' a Unicode code (other than
// hexadecimal digits among the four are passed over); any other backslash is dropped before
// the character it stands before. `inCodePage` is 1 for a character of the drawing's code page,
// 0 for a Unicode code.
int genNextTextToken(TextCursor& cursor, uint16_t symbolKind, uint16_t& code, FormatToken& token,
                     uint8_t& inCodePage);

// 1 when the text is empty or only spaces.
int genIsBlankText(std::string_view text);

} // namespace tracemill
