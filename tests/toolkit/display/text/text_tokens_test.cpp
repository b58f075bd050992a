// The two text readers side by side: the plain reader of single-line text and stacked
// fractions (genNextTextToken) and the MTEXT reader (genNextMTextToken) differ on purpose, so
// every case has a column per reader. Characters print as themselves, other codes as <hex>,
// format codes as [code value].
#include "toolkit/display/text/text_tokens.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/mtext_tokens.h"

namespace tracemill {
namespace {

std::string codeText(uint16_t code) {
    if (code >= 0x20 && code < 0x7F) return std::string(1, char(code));
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "<%X>", code);
    return buffer;
}

std::string plainReading(const std::string& text, uint16_t kind) {
    TextCursor cursor(text);
    std::string out;
    uint16_t code = 0;
    uint8_t inCodePage = 1;
    FormatToken token;
    for (int guard = 0; guard < 100 && genNextTextToken(cursor, kind, code, token, inCodePage); ++guard)
        out += codeText(code);
    return out;
}

std::string mtextReading(const std::string& text, uint16_t kind) {
    MTextCursor cursor(text);
    std::string out;
    uint16_t code = 0;
    uint8_t inCodePage = 1;
    FormatToken token;
    for (int guard = 0; guard < 100 && genNextMTextToken(nullptr, cursor, kind, code, token, inCodePage, nullptr);
         ++guard) {
        if (token.code == 0) {
            out += codeText(code);
            continue;
        }
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "[%c%g%s]", char(token.code), token.value, token.relative ? "x" : "");
        out += token.code == 'F' ? "[F" + token.fontName + "]" : token.code == 'H' || token.code == 'W' ||
                                                                         token.code == 'Q' || token.code == 'T'
                                                                     ? std::string(buffer)
                                                                     : "[" + std::string(1, char(token.code)) + "]";
    }
    return out;
}

constexpr uint16_t kSimplex = kFontKindShapes11;  // the built-in fonts
constexpr uint16_t kVersion10 = kFontKindShapes10;
constexpr uint16_t kUnifont = kFontKindUnifont;

TEST(TextReaders, EachReaderReadsTheCasesItsOwnWay) {
    const struct {
        const char* name;
        std::string text;
        uint16_t kind;
        std::string plain;
        std::string mtext;
    } cases[] = {
        {"%%d in SIMPLEX", "%%d", kSimplex, "<100>", "<100>"},
        {"%%D in a 1.0 font", "%%D", kVersion10, "<7F>", "<7F>"},
        {"%%p and %%c in SIMPLEX", "%%p%%C", kSimplex, "<101><102>", "<101><102>"},
        {"%%c in a unifont: the Unicode diameter", "%%c", kUnifont, "<2205>", "<2205>"},
        {"\\U+00B0 is the font's degree sign", "\\U+00B0", kSimplex, "<100>", "<100>"},
        {"\\U+00B0 in a 1.0 font", "\\U+00B0", kVersion10, "<7F>", "<7F>"},
        {"\\U+41: fewer than five characters after the U", "\\U+41", kSimplex, "U+41", "A"},
        {"\\UXY keeps its backslash in MTEXT", "\\UXY", kSimplex, "UXY", "\\UXY"},
        {"\\U+ at the end", "\\U+", kSimplex, "U+", "\\U+"},
        {"\\M+ at the end", "\\M+", kSimplex, "M+", "\\M+"},
        {"\\M+1 with a double-byte code", "\\M+1B0A1", kSimplex, "M+1B0A1", "<B0A1>"},
        {"%% as the last characters", "A%%", kSimplex, "A%%", "A%%"},
        {"%% before another letter", "%%x", kSimplex, "%%x", "%%x"},
        {"%%v is a space", "A%%vB", kSimplex, "A B", "A B"},
        {"a backslash at the very end", "A\\", kSimplex, "A\\", "A\\"},
        {"escaped backslash and braces", "\\\\\\{\\}", kSimplex, "\\{}", "\\{}"},
        {"{\\H2x;AB}C", "{\\H2x;AB}C", kSimplex, "{H2x;AB}C", "[{][H2x]AB[}]C"},
        {"font, oblique, width, tracking", "\\Fgdt;\\Q15;\\W0.8;\\T1.1;x", kSimplex, "Fgdt;Q15;W0.8;T1.1;x",
         "[Fgdt][Q15][W0.8][T1.1]x"},
        {"colour, decoration, stack, non-breaking space", "\\C1;\\L\\l\\O\\o\\S1/2;\\~", kSimplex,
         "C1;LlOoS1/2;~", "<E002><E203><E204><E201><E202><E206>1/2;<E000>"},
        {"paragraph break; trailing spaces vanish in MTEXT", "A\\PB  ", kSimplex, "APB  ", "A[P]B"},
        {"a space before \\P gives way to it", "A \\PB", kSimplex, "A PB", "A[P]B"},
        {"spaces only", "   ", kSimplex, "   ", ""},
        {"a line feed is a paragraph break in MTEXT", "A\nB", kSimplex, "A<A>B", "A[P]B"},
        {"a colour beyond 500 is passed over", "\\C501;A", kSimplex, "C501;A", "A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plainReading(c.text, c.kind), c.plain) << c.name;
        EXPECT_EQ(mtextReading(c.text, c.kind), c.mtext) << c.name;
    }
}

TEST(TextReaders, UnicodeSymbolsLeaveTheCodePage) {
    const std::string text = "%%d\\U+2205A";
    TextCursor cursor(text);
    uint16_t code = 0;
    uint8_t inCodePage = 9;
    FormatToken token;
    ASSERT_EQ(genNextTextToken(cursor, kUnifont, code, token, inCodePage), 1);
    EXPECT_EQ(code, 0xB0);
    EXPECT_EQ(inCodePage, 0) << "the Unicode degree of a unifont";
    ASSERT_EQ(genNextTextToken(cursor, kUnifont, code, token, inCodePage), 1);
    EXPECT_EQ(code, 0x2205);
    EXPECT_EQ(inCodePage, 0);
    ASSERT_EQ(genNextTextToken(cursor, kUnifont, code, token, inCodePage), 1);
    EXPECT_EQ(inCodePage, 1);
    EXPECT_EQ(genNextTextToken(cursor, kUnifont, code, token, inCodePage), 0);
    EXPECT_EQ(code, 0);
}

TEST(TextReaders, NumbersOfFormatCodes) {
    const struct {
        std::string text;
        double value;
        uint8_t relative;
        std::string rest;
    } cases[] = {
        {"2.5;A", 2.5, 0, "A"},
        {"2x;A", 2.0, 1, "A"},
        {"1.5XA", 1.5, 1, "A"},
        {"-30;", -30.0, 0, ""},
        {"12345678901234567890123", 1234567890123456789.0, 0, "0123"},
        {";A", 0.0, 0, "A"},
        {"", 0.0, 0, ""},
    };
    for (const auto& c : cases) {
        TextCursor cursor(c.text);
        double value = -1;
        uint8_t relative = 9;
        genReadTextNumber(cursor, value, relative);
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        EXPECT_EQ(relative, c.relative) << c.text;
        EXPECT_EQ(std::string(cursor.at, cursor.end), c.rest) << c.text;
    }
}

TEST(TextReaders, LineFeedsArePassedOverWhileTheSwitchIsOn) {
    const std::string text = "A\n\nB";
    TextCursor cursor(text);
    cursor.skipLineFeeds = 1;
    EXPECT_EQ(genNextTextByte(cursor), 'A');
    EXPECT_EQ(genNextTextByte(cursor), 'B');
    EXPECT_EQ(genNextTextByte(cursor), 0);
    EXPECT_EQ(genNextTextByte(cursor), 0) << "the end is not passed";
    const std::string cut("AB\0CD", 5);
    TextCursor early(cut);
    EXPECT_EQ(genNextTextByte(early), 'A');
    EXPECT_EQ(genNextTextByte(early), 'B');
    EXPECT_EQ(genNextTextByte(early), 0) << "a NUL ends the text";
}

TEST(TextReaders, SymbolKindOfAFont) {
    const struct {
        uint8_t kind;
        uint16_t symbols;
    } cases[] = {
        {kFontKindShapes11, kFontKindShapes11},
        {kFontKindBuiltinGdt | kFontKindShapes11, kFontKindBuiltinGdt},
        {kFontKindShapes127Or248, kFontKindShapes127Or248},
        {kFontKindUnifont, kFontKindUnifont},
        {kFontKindTrueType, kFontKindTrueType},
        {kFontKindBigFont, kFontKindShapes10},
        {0, kFontKindShapes10},
    };
    for (const auto& c : cases) EXPECT_EQ(genFontKindForSymbols(c.kind), c.symbols) << int(c.kind);
    EXPECT_EQ(genIsBlankText("   "), 1);
    EXPECT_EQ(genIsBlankText(""), 1);
    EXPECT_EQ(genIsBlankText(" a "), 0);
}

TEST(MTextReader, StackedFractionParts) {
    const struct {
        std::string text;
        std::string top, bottom;
        char separator;
        std::string rest;
    } cases[] = {
        {"1/2;x", "1", "2", '/', "x"},
        {"a^b;", "a", "b", '^', ""},
        {"3#4", "3", "4", '#', ""},
        {"1\\/2/3;", "1/2", "3", '/', ""},
        {"12;x", "12", "", 0, "x"},
    };
    for (const auto& c : cases) {
        TextCursor cursor(c.text);
        std::vector<StackCharacter> top, bottom;
        char separator = '?';
        genReadStackParts(cursor, kSimplex, top, bottom, separator);
        std::string t, b;
        for (const StackCharacter& s : top) t += char(s.code);
        for (const StackCharacter& s : bottom) b += char(s.code);
        EXPECT_EQ(t, c.top) << c.text;
        EXPECT_EQ(b, c.bottom) << c.text;
        EXPECT_EQ(separator, c.separator) << c.text;
        EXPECT_EQ(std::string(cursor.at, cursor.end), c.rest) << c.text;
    }
}

TEST(MTextReader, WithCodesOffOnlyLineBreaksAndTabsMeanAnything) {
    MTextCursor cursor(std::string_view("\\P%%d\r\nA\tB\nC"));
    cursor.interpretCodes = 0;
    std::string out;
    uint16_t code = 0;
    uint8_t inCodePage = 1;
    FormatToken token;
    while (genNextMTextToken(nullptr, cursor, kSimplex, code, token, inCodePage, nullptr))
        out += token.code ? "[" + std::string(1, char(token.code)) + "]" : codeText(code);
    EXPECT_EQ(out, "\\P%%d[P]A B[P]C");
}

} // namespace
} // namespace tracemill
