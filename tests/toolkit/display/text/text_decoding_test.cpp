#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_test_support.h"
#include "toolkit/core/fonts/shape_font.h"
#include "toolkit/display/text/shape_text_state.h"
#include "toolkit/display/text/text_decoding.h"

namespace tracemill {
namespace {

constexpr uint8_t kSimplex = kFontKindShapes11;
constexpr uint8_t kGdt = kFontKindShapes11 | kFontKindBuiltinGdt;
constexpr int kAnsi1252 = 30;
constexpr int kDos850 = 12;
constexpr int kDos932 = 22;
constexpr int kAnsi1251 = 29;

// Every character of the string as "code/plain/decoration", to the end code.
std::string decodedCharacters(const std::string& text, uint8_t fontFlags, const ShapeTextState& state, int codePage) {
    std::string out;
    const char* cursor = text.c_str();
    uint8_t decoration = 0;
    for (int guard = 0; guard < 64; ++guard) {
        uint8_t plain = 9;
        const uint16_t code = genDecodeTextChar(cursor, fontFlags, state, codePage, plain, decoration);
        if (code == 0) break;
        if (!out.empty()) out += ' ';
        out += std::to_string(code) + "/" + std::to_string(plain) + "/" + std::to_string(decoration);
    }
    EXPECT_EQ(*cursor, '\0') << "the cursor stops on the string's end";
    return out;
}

TEST(SpecialSigns, CodesByFontKind) {
    const struct {
        const char* name;
        uint8_t flags;
        uint16_t degree, plusMinus, diameter;
    } cases[] = {
        {"built-in SIMPLEX (1.1)", kSimplex, 256, 257, 258},
        {"shape font 1.0", kFontKindShapes10, 127, 128, 129},
        {"GDT", kGdt, 126, 96, 110},
        {"shapes 127 and 248", kFontKindShapes127Or248, 248, 241, 237},
        {"TrueType", kFontKindTrueType, 176, 177, 216},
        {"unifont", kFontKindUnifont, 176, 177, 8709},
        {"SIMPLEX6", kFontKindSimplex6 | kFontKindShapes10, 127, 177, 129},
        {"big font", kFontKindBigFont, 256, 257, 258},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(genDegreeCode(c.flags), c.degree);
        EXPECT_EQ(genPlusMinusCode(c.flags), c.plusMinus);
        EXPECT_EQ(genDiameterCode(c.flags), c.diameter);
    }
}

// The code pages' lead bytes come from the system context's initialisation data.
class TextDecodingTest : public test::ToolkitTest {};

TEST_F(TextDecodingTest, ControlCodesAndEscapes) {
    const ShapeTextState state;
    const struct {
        const char* name;
        std::string text;
        uint8_t flags;
        int codePage;
        std::string expected;  // code/plain/decoration per character
    } cases[] = {
        {"signs in SIMPLEX", "%%d%%P%%c", kSimplex, 0, "256/1/0 257/1/0 258/1/0"},
        {"signs in a 1.0 font", "%%D%%p%%C", kFontKindShapes10, 0, "127/1/0 128/1/0 129/1/0"},
        {"signs in GDT", "%%d%%p%%c", kGdt, 0, "126/1/0 96/1/0 110/1/0"},
        {"signs in a unifont are final", "%%d%%p%%c", kFontKindUnifont, 0, "176/0/0 177/0/0 8709/0/0"},
        {"percent sign", "%%%", kSimplex, 0, "37/1/0"},
        {"lone percent keeps the next byte", "%A", kSimplex, 0, "37/1/0 65/1/0"},
        {"percent at the end", "A%", kSimplex, 0, "65/1/0 37/1/0"},
        {"unknown code gives its byte", "%%x", kSimplex, 0, "120/1/0"},
        {"decimal code", "%%065", kSimplex, 0, "65/1/0"},
        {"decimal code above 127 is final", "%%200", kSimplex, 0, "200/0/0"},
        {"three digits at most", "%%0651", kSimplex, 0, "65/1/0 49/1/0"},
        {"one digit", "%%7B", kSimplex, 0, "7/1/0 66/1/0"},
        {"two digits above 127 stay plain", "%%99", kSimplex, 0, "99/1/0"},
        {"over- and underline toggle and go on", "%%o%%uAB", kSimplex, 0, "65/1/3 66/1/3"},
        {"toggled off again", "%%oA%%OB", kSimplex, 0, "65/1/1 66/1/0"},
        {"toggle before a lone percent", "%%u%A", kSimplex, 0, "37/1/2 65/1/2"},
        {"toggle at the end", "A%%u", kSimplex, 0, "65/1/0"},
        {"percent pair at the end", "A%%", kSimplex, 0, "65/1/0"},
        {"degree escape", "\\U+00B0", kSimplex, 0, "256/0/0"},
        {"escape stops at a non-digit", "\\U+12G4", kSimplex, 0, "18/0/0 71/1/0 52/1/0"},
        {"four digits at most", "\\U+00412", kSimplex, 0, "65/0/0 50/1/0"},
        {"lower-case u is no escape", "\\u+00B0", kSimplex, 0, "92/1/0 117/1/0 43/1/0 48/1/0 48/1/0 66/1/0 48/1/0"},
        {"lower-case digits are no digits", "\\U+b", kSimplex, 0, "92/1/0 85/1/0 43/1/0 98/1/0"},
        {"multibyte escape", "\\M+18341", kSimplex, 0, "33601/0/0"},
        {"multibyte escape of page 6 is none", "\\M+6", kSimplex, 0, "92/1/0 77/1/0 43/1/0 54/1/0"},
        {"byte 248 in ansi_1252, 1.0 font", "\xf8\xf1\xed", kFontKindShapes10, kAnsi1252, "127/1/0 128/1/0 129/1/0"},
        {"byte 248 in dos850, SIMPLEX", "\xf8\xf1\xed", kSimplex, kDos850, "256/1/0 257/1/0 258/1/0"},
        {"byte 248 in ansi_1252, GDT", "\xf8\xf1\xed", kGdt, kAnsi1252, "126/1/0 96/1/0 258/1/0"},
        {"byte 248 in a unifont stays", "\xf8", kFontKindUnifont, kAnsi1252, "248/1/0"},
        {"byte 248 in another code page stays", "\xf8", kFontKindShapes10, kAnsi1251, "248/1/0"},
        {"byte 176 becomes the font's degree", "\xb0\xb1", kSimplex, kAnsi1252, "256/1/0 257/1/0"},
        {"byte 176 of a unifont is converted later", "\xb0", kFontKindUnifont, kAnsi1252, "176/1/0"},
        {"double-byte character of dos932", "\x82\xa0" "A", kSimplex, kDos932, "33440/1/0 65/1/0"},
        {"lead byte on the string's end", "A\x82", kSimplex, kDos932, "65/1/0"},
        {"no lead bytes in ansi_1252", "\x82\xa0", kSimplex, kAnsi1252, "130/1/0 160/1/0"},
        {"decimal lead byte takes the next byte", "%%130\xa0", kSimplex, kDos932, "33440/0/0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(decodedCharacters(c.text, c.flags, state, c.codePage), c.expected);
    }
}

TEST_F(TextDecodingTest, CursorStopsWhereTheEscapeEnds) {
    const ShapeTextState state;
    const std::string text = "\\U+12G4";
    const char* cursor = text.c_str();
    uint8_t plain = 1;
    uint8_t decoration = 0;
    EXPECT_EQ(genDecodeTextChar(cursor, kSimplex, state, 0, plain, decoration), 0x12);
    EXPECT_EQ(plain, 0);
    EXPECT_EQ(*cursor, 'G');
    const std::string percent = "%%%B";
    cursor = percent.c_str();
    EXPECT_EQ(genDecodeTextChar(cursor, kSimplex, state, 0, plain, decoration), 37);
    EXPECT_EQ(*cursor, 'B') << "the three bytes of %%% are used";
    const std::string empty;
    cursor = empty.c_str();
    EXPECT_EQ(genDecodeTextChar(cursor, kSimplex, state, 0, plain, decoration), 0);
    EXPECT_EQ(cursor, empty.c_str());
}

TEST_F(TextDecodingTest, DoubleByteCharactersOfBigFontsAndTrueType) {
    ShapeFont bigFont;
    bigFont.kind = kFontKindBigFont;
    bigFont.ranges = {{0x81, 0x9F}, {0xE0, 0xFC}};
    ShapeFont trueType;
    trueType.kind = kFontKindTrueType;
    ShapeTextState withBigFont;
    withBigFont.bigFont = &bigFont;
    ShapeTextState withTrueType;
    withTrueType.mainFont = &trueType;
    const struct {
        const char* name;
        const ShapeTextState& state;
        uint8_t flags;
        int characterSet;
        int codePage;
        std::string text;
        std::string expected;
    } cases[] = {
        {"big font range, any code page", withBigFont, kSimplex, 0, kAnsi1252, "\x88\xa0\xe0\x41", "34976/1/0 57409/1/0"},
        {"big font: outside its ranges", withBigFont, kSimplex, 0, kDos932, "\xa1\xa1", "161/1/0 161/1/0"},
        {"big font: a sign of %% is no lead byte", withBigFont, kFontKindShapes127Or248, 0, kAnsi1252, "%%dA",
         "248/1/0 65/1/0"},
        {"big font: a decimal code is no lead byte", withBigFont, kSimplex, 0, kAnsi1252, "%%136A", "136/0/0 65/1/0"},
        {"big font: an escape is no lead byte", withBigFont, kSimplex, 0, kAnsi1252, "\\U+0088A", "136/0/0 65/1/0"},
        {"big font: lead byte on the end", withBigFont, kSimplex, 0, kAnsi1252, "\x88", ""},
        {"TrueType Shift-JIS", withTrueType, kFontKindTrueType, 128, kAnsi1252, "\x82\xa0", "33440/1/0"},
        {"TrueType Hangul", withTrueType, kFontKindTrueType, 129, kAnsi1252, "\xb0\xa1", "45217/1/0"},
        {"TrueType GB 2312", withTrueType, kFontKindTrueType, 134, kAnsi1252, "\xb0\xa1", "45217/1/0"},
        {"TrueType Big5", withTrueType, kFontKindTrueType, 136, kAnsi1252, "\xa4\x40", "42048/1/0"},
        {"TrueType Johab is single-byte", withTrueType, kFontKindTrueType, 130, kDos932, "\x82\xa0", "130/1/0 160/1/0"},
        {"TrueType Western ignores the code page", withTrueType, kFontKindTrueType, 0, kDos932, "\x82\xa0",
         "130/1/0 160/1/0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        trueType.trueType.params = c.characterSet << 8;
        EXPECT_EQ(decodedCharacters(c.text, c.flags, c.state, c.codePage), c.expected);
    }
}

} // namespace
} // namespace tracemill
