#include "toolkit/core/code_pages.h"

#include <gtest/gtest.h>

#include "toolkit/core/system_context.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using CodePages = test::ToolkitTest;

TEST_F(CodePages, ConvertsThroughTheByteMapAndTheDoubleByteCodes) {
    struct Case {
        const char* name;
        int page;
        uint16_t code;
        int result;
        uint16_t value;
    } cases[] = {
        {"ascii letter", 1, 0x41, 1, 0x41},
        {"ascii has nothing above 0x7F", 1, 0x80, 1, 0},
        {"undefined is the identity", 0, 0xE9, 1, 0xE9},
        {"ansi_1252 euro", 30, 0x80, 1, 0x20AC},
        {"ansi_1252 unassigned byte", 30, 0x81, 1, 0},
        {"dos437 box corner", 11, 0xC9, 1, 0x2554},
        {"ansi_1251 Cyrillic A", 29, 0xC0, 1, 0x0410},
        {"mac-roman e acute", 23, 0x8E, 1, 0xE9},
        {"ansi_932 ideographic space", 38, 0x8140, 1, 0x3000},
        {"ansi_932 half-width katakana byte", 38, 0xB1, 1, 0xFF71},
        {"ansi_936 first code", 39, 0x8140, 1, 0x4E02},
        {"ansi_949 hangul GA", 40, 0xB0A1, 1, 0xAC00},
        {"ansi_950 ideographic comma", 41, 0xA142, 1, 0x3001},
        {"code missing from a double-byte page", 38, 0x8100, 0, 0x8100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint16_t value = 0xABCD;
        EXPECT_EQ(dbCodePageToUnicode(c.page, c.code, value), c.result);
        EXPECT_EQ(value, c.value);
    }
    uint16_t value = 0xABCD;
    EXPECT_EQ(dbCodePageToUnicode(30, 0x8140, value), 0) << "a single-byte page has no double-byte codes";
    EXPECT_EQ(value, 0xABCD) << "and stores nothing";
    EXPECT_EQ(dbCodePageToUnicode(42, 0x41, value), 0);
    EXPECT_EQ(dbCodePageToUnicode(-1, 0x41, value), 0);
}

TEST_F(CodePages, JohabNeverConverts) {
    uint16_t value = 0xABCD;
    EXPECT_EQ(dbCodePageLoad(26), -1);
    EXPECT_EQ(dbCodePageToUnicode(26, 0x41, value), 0);
    EXPECT_EQ(dbCodePageToUnicode(26, 0x8841, value), 0);
    EXPECT_EQ(value, 0xABCD);
    EXPECT_EQ(dbIsLeadByte(0x88, 26), 0);
}

TEST_F(CodePages, PagesThatShareASlotLoadTogether) {
    const auto& slots = gSystemContext->initData.slots;
    EXPECT_FALSE(slots[34].loaded()) << "pages load on first use";
    EXPECT_EQ(dbCodePageLoad(22), 34);
    EXPECT_TRUE(slots[34].loaded());
    EXPECT_EQ(dbCodePageLoad(38), 34);
    EXPECT_FALSE(slots[35].loaded()) << "only the page asked for";
    EXPECT_EQ(dbCodePageLoad(31), 35);
    EXPECT_EQ(dbCodePageLoad(39), 35);
}

TEST_F(CodePages, TheLastCodeAndTheLastLeadByteOfEveryDoubleBytePageAreFound) {
    for (int page : {38, 39, 40, 41}) {
        SCOPED_TRACE(page);
        const int slot = dbCodePageLoad(page);
        ASSERT_GE(slot, 0);
        const CodePageSlot& table = gSystemContext->initData.slots[slot];
        ASSERT_FALSE(table.codes.empty());
        uint16_t value = 0;
        EXPECT_EQ(dbCodePageToUnicode(page, table.codes.back(), value), 1);
        EXPECT_EQ(value, table.values.back());
        EXPECT_EQ(dbCodePageToUnicode(page, table.codes.front(), value), 1);
        EXPECT_EQ(value, table.values.front());
        EXPECT_EQ(dbIsLeadByte(table.leadBytes.back(), page), 1);
        EXPECT_EQ(dbIsLeadByte(table.leadBytes.front(), page), 1);
        EXPECT_EQ(dbIsLeadByte(uint8_t(table.leadBytes.front() - 1), page), 0);
        EXPECT_EQ(dbIsLeadByte(0x41, page), 0);
    }
    EXPECT_EQ(dbIsLeadByte(0x81, 30), 0) << "a single-byte page has no lead bytes";
    EXPECT_EQ(dbIsLeadByte(0x81, 38), 1);
    EXPECT_EQ(dbIsLeadByte(0xA0, 38), 0);
}

TEST_F(CodePages, NamesAndNumbers) {
    int number = -1;
    EXPECT_EQ(dbCodePageFromName("ANSI_1252", number), 1);
    EXPECT_EQ(number, 30);
    EXPECT_EQ(dbCodePageFromName("Mac-Roman", number), 1);
    EXPECT_EQ(number, 23);
    EXPECT_EQ(dbCodePageFromName("utf-8", number), 0);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(dbCodePageFromName(nullptr, number), 0);
    EXPECT_STREQ(dbCodePageName(0), "undefined");
    EXPECT_STREQ(dbCodePageName(26), "johab");
    EXPECT_STREQ(dbCodePageName(41), "ansi_950");
    EXPECT_EQ(dbCodePageName(42), nullptr);
    EXPECT_EQ(dbCodePageName(-1), nullptr);
    EXPECT_EQ(dbGetHeaderCodePage(), 0);
}

} // namespace
} // namespace tracemill
