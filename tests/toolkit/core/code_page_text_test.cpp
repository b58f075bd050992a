#include "toolkit/core/code_page_text.h"

#include <gtest/gtest.h>

#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using CodePageText = test::ToolkitTest;

constexpr int kShiftJis = 38;   // ansi_932: lead bytes 81-9F, E0-FC
constexpr int kLatin1 = 30;     // ansi_1252: no lead bytes

TEST_F(CodePageText, CountsEscapesAndDoubleByteCharactersAsOne) {
    struct Case {
        const char* name;
        std::string text;
        int page;
        int count;
        std::vector<int> widths;
    } cases[] = {
        {"U escape between letters", "A\\U+00B0B", kLatin1, 3, {1, 7, 1}},
        {"M escape", "\\M+18140", kLatin1, 1, {8}},
        {"lower-case escape letters", "\\u+00b0\\m+18140", kLatin1, 2, {7, 8}},
        {"backslash starting no escape", "\\X", kLatin1, 2, {1, 1}},
        {"escape with a non-hex digit", "\\U+00G0", kLatin1, 7, {1, 1, 1, 1, 1, 1, 1}},
        {"escape cut short", "\\U+00B", kLatin1, 6, {1, 1, 1, 1, 1, 1}},
        {"double-byte character", "a\x82\xA0z", kShiftJis, 3, {1, 2, 1}},
        {"the same bytes in a single-byte page", "a\x82\xA0z", kLatin1, 4, {1, 1, 1, 1}},
        {"lead byte at the very end", "a\x82", kShiftJis, 2, {1, 1}},
        {"empty", "", kLatin1, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dbCountChars(c.text, c.page), c.count);
        std::vector<int> widths;
        for (std::string_view p = c.text; !p.empty(); p.remove_prefix(size_t(widths.back())))
            widths.push_back(dbCharWidth(p, c.page));
        EXPECT_EQ(widths, c.widths);
    }
}

TEST_F(CodePageText, NextCharCombinesLeadAndTrailBytes) {
    std::string_view cursor = "a\x82\xA0\\";
    EXPECT_EQ(dbNextChar(cursor, kShiftJis), 'a');
    EXPECT_EQ(dbNextChar(cursor, kShiftJis), 0x82A0);
    EXPECT_EQ(dbNextChar(cursor, kShiftJis), '\\');
    EXPECT_TRUE(cursor.empty());
    EXPECT_EQ(dbNextChar(cursor, kShiftJis), 0);
    std::string_view latin = "\xE9";
    EXPECT_EQ(dbNextChar(latin, kLatin1), 0xE9);
}

TEST_F(CodePageText, CaseChangesLeaveDoubleByteCharactersAlone) {
    // 0x82 0x61 is one character in ansi_932: its trail byte 'a' must not change.
    std::string text = "ab\x82" "a" "c\\u+00e9";
    dbUpperCaseCp(text, kShiftJis);
    EXPECT_EQ(text, "AB\x82" "a" "C\\U+00E9");
    dbLowerCaseCp(text, kShiftJis);
    EXPECT_EQ(text, "ab\x82" "a" "c\\u+00e9");
    std::string latin = "ab\x82" "a";
    dbUpperCaseCp(latin, kLatin1);
    EXPECT_EQ(latin, "AB\x82" "A");
}

TEST_F(CodePageText, CopyAndFindStepByCharacters) {
    std::string_view src = "\\U+00B0x\x82\xA0yz";
    std::string dest;
    dbCopyChars(dest, src, 3, kShiftJis);
    EXPECT_EQ(dest, "\\U+00B0x\x82\xA0");
    EXPECT_EQ(src, "yz");
    dbCopyChars(dest, src, 10, kShiftJis);
    EXPECT_EQ(dest, "\\U+00B0x\x82\xA0yz") << "copying stops at the end of the source";
    EXPECT_TRUE(src.empty());

    const std::string_view text = "a\x82|b|";
    EXPECT_EQ(dbFindChar(text, '|', kShiftJis), 4u) << "the | after a lead byte is its trail byte";
    EXPECT_EQ(dbFindChar(text, '|', kLatin1), 2u);
    EXPECT_EQ(dbFindChar(text, 0x827C, kShiftJis), 1u);
    EXPECT_EQ(dbFindChar("", 'a', kLatin1), std::string_view::npos);
    EXPECT_EQ(dbFindChar("abc", 'x', kLatin1), std::string_view::npos);
}

} // namespace
} // namespace tracemill
