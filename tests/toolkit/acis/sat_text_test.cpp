#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "toolkit/acis/sat/sat_text.h"

namespace tracemill {
namespace {

// Numbers are read in the forms stream extraction accepts, whatever the locale, and a number
// that is not one fails without moving on.
TEST(SatTextTest, FloatsInTheFormsStreamExtractionReads) {
    const struct {
        const char* text;
        bool read;
        double value;
        const char* rest;  // what is left after the number
    } rows[] = {
        {"1.5 x", true, 1.5, "x"},
        {"  -0.25\n", true, -0.25, ""},
        {"+3", true, 3.0, ""},
        {".5", true, 0.5, ""},
        {"5.", true, 5.0, ""},
        {"1e3", true, 1000.0, ""},
        {"9.999999999999999547e-07", true, 9.999999999999999547e-07, ""},
        {"-2.5E-3#", true, -0.0025, "#"},
        {"1e-400", true, 0.0, ""},                // too small: zero
        {"0.0000001e-320", true, 0.0, ""},
        {"1e400", false, 0.0, "1e400"},           // too large: fails
        {"inf", false, 0.0, "inf"},
        {"nan", false, 0.0, "nan"},
        {"+-1", false, 0.0, "+-1"},
        {"-", false, 0.0, "-"},
        {"forward", false, 0.0, "forward"},
        {"#", false, 0.0, "#"},                    // the end of a record is never a number
        {"}", false, 0.0, "}"},
        {"", false, 0.0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        SatText text(row.text);
        double value = 0.0;
        EXPECT_EQ(text.readDouble(value), row.read);
        EXPECT_EQ(text.failed(), !row.read);
        if (row.read) {
            EXPECT_EQ(value, row.value);
        }
        std::string_view rest = std::string_view(row.text).substr(text.position());
        while (!rest.empty() && isSatSpace(rest.front())) rest.remove_prefix(1);
        EXPECT_EQ(rest, row.rest);
    }
}

TEST(SatTextTest, IntegersAndStickyFailure) {
    SatText text("42 +7 -3 12.5 2147483648 word 9");
    int32_t value = 0;
    ASSERT_TRUE(text.readInteger(value));
    EXPECT_EQ(value, 42);
    ASSERT_TRUE(text.readInteger(value));
    EXPECT_EQ(value, 7);
    ASSERT_TRUE(text.readInteger(value));
    EXPECT_EQ(value, -3);
    ASSERT_TRUE(text.readInteger(value));  // an integer stops at the point
    EXPECT_EQ(value, 12);
    double fraction = 0.0;
    ASSERT_TRUE(text.readDouble(fraction));
    EXPECT_EQ(fraction, 0.5);
    EXPECT_FALSE(text.readInteger(value));  // beyond 32 bits
    // The failure sticks: nothing is read until it is cleared, and the text stays where it was.
    std::string_view word;
    EXPECT_FALSE(text.readWord(word));
    text.clearFailure();
    ASSERT_TRUE(text.readWord(word));
    EXPECT_EQ(word, "2147483648");
    EXPECT_FALSE(text.readInteger(value));
    text.clearFailure();
    ASSERT_TRUE(text.readWord(word));
    EXPECT_EQ(word, "word");
    ASSERT_TRUE(text.readInteger(value));
    EXPECT_EQ(value, 9);
    EXPECT_TRUE(text.atEnd());
}

TEST(SatTextTest, TokensAndCountedStrings) {
    SatText text("-12 body $-1 $7 $x -abc $99999999999999999999 15 Tracemill tests 3 a{# 5 abc");
    const struct {
        SatToken::Kind kind;
        int64_t number;
        const char* word;
    } tokens[] = {
        {SatToken::Dash, 12, ""},       {SatToken::Word, 0, "body"},  {SatToken::Dollar, -1, ""},
        {SatToken::Dollar, 7, ""},      {SatToken::Word, 0, "$x"},    {SatToken::Word, 0, "-abc"},
        {SatToken::Dollar, std::numeric_limits<int64_t>::max(), ""},
    };
    for (const auto& expected : tokens) {
        const SatToken token = text.readToken();
        EXPECT_EQ(token.kind, expected.kind) << expected.word;
        if (expected.kind == SatToken::Word) {
            EXPECT_EQ(token.word, expected.word);
        } else {
            EXPECT_EQ(token.number, expected.number);
        }
    }
    std::string_view counted;
    ASSERT_TRUE(text.readCountedString(counted));
    EXPECT_EQ(counted, "Tracemill tests");
    // A counted string takes its characters as they come, frame characters too.
    ASSERT_TRUE(text.readCountedString(counted));
    EXPECT_EQ(counted, "a{#");
    // A count beyond the text takes what is left and fails.
    EXPECT_FALSE(text.readCountedString(counted));
    EXPECT_EQ(counted, "abc");
    EXPECT_TRUE(text.atEnd());
}

// Frame characters end a record or a block: no word or token is taken from them, so a record
// that is short of fields cannot swallow the '#' that ends it.
TEST(SatTextTest, FrameCharactersAreNeverTakenAsItems) {
    for (const char* framed : {"#", "{", "}", "  #next"}) {
        SCOPED_TRACE(framed);
        SatText text(framed);
        std::string_view word;
        EXPECT_FALSE(text.readWord(word));
        text.clearFailure();
        EXPECT_EQ(text.readToken().kind, SatToken::None);
        EXPECT_TRUE(text.failed());
        char c = 0;
        ASSERT_TRUE(text.peekChar(c));
        EXPECT_TRUE(isSatFrame(c));
    }
    SatText text("abc}def #");
    text.skipFrameWord();
    char c = 0;
    ASSERT_TRUE(text.nextChar(c));
    EXPECT_EQ(c, '}');
}

} // namespace
} // namespace tracemill
