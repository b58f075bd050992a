#include <gtest/gtest.h>

#include <algorithm>

#include "font_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/fonts/shape_access.h"
#include "toolkit/core/fonts/shape_file_reader.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::fixtureFont;
using test::fontFromBytes;
using test::nameAtCursor;

std::vector<uint8_t> bytesOf(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

TEST(ShapeFileHeader, KindFromTheHeaderText) {
    const std::string pad20(20, ' ');
    const struct {
        const char* name;
        std::string header;  // followed by zero bytes up to 60 bytes
        int recognised;
        uint8_t kind;
        size_t end;  // where the fields begin
    } cases[] = {
        {"shape font 1.0", "shapes 1.0" + std::string(13, ' ') + "\x1a", 1, 0x02, 24},
        {"shape font 1.1", "shapes 1.1" + std::string(13, ' ') + "\x1a", 1, 0x04, 24},
        {"bigfont before 1.0", "bigfont 1.0" + std::string(12, ' ') + "\x1a", 1, 0x08, 24},
        {"unifont before 1.0", "unifont 1.0" + std::string(12, ' ') + "\x1a", 1, 0x10, 24},
        {"no kind", "shapes 2.0" + std::string(13, ' ') + "\x1a", 0, 0, 24},
        {"text up to its NUL", std::string("shapes\0 1.0", 11) + std::string(12, ' ') + "\x1a", 0, 0, 24},
        {"0x1A after 24 bytes", pad20 + "shapes 1.0\r\n\x1a", 1, 0x02, 33},
        {"no 0x1A in 41 bytes", pad20 + "shapes 1.1" + pad20, 1, 0x04, 41},
        {"kind beyond 41 bytes", pad20 + pad20 + "1.1 and more", 0, 0, 41},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> file = bytesOf(c.header);
        file.resize(std::max<size_t>(file.size(), 60), 0);
        ShapeFont font;
        ShapeFileInput input{file, 0};
        EXPECT_EQ(genReadShapeFileHeader(input, font), c.recognised);
        EXPECT_EQ(font.kind, c.kind);
        if (c.recognised) {
            EXPECT_EQ(input.position, c.end);
        }
    }
    const std::vector<uint8_t> shortFile = bytesOf("shapes 1.0\x1a");
    ShapeFont font;
    ShapeFileInput input{shortFile, 0};
    EXPECT_EQ(genReadShapeFileHeader(input, font), 0) << "shorter than 24 bytes";
}

TEST(ShapeFileReader, FixturesOfEveryKind) {
    const struct {
        const char* file;
        uint8_t kind;
        int16_t above, below, modes;
        uint16_t first, last, count;
        std::vector<uint16_t> numbers;  // index in file order
    } cases[] = {
        {"shapes10.shx", 0x02, 9, 3, 0, 0, 66, 5, {0, 66, 65, 32, 10}},
        {"shapes11.shx", 0x04, 21, 7, 2, 0, 67, 3, {0, 63, 67}},
        {"shapes127.shx", 0x01, 6, 2, 0, 0, 248, 3, {0, 127, 248}},
        {"unifont.shx", 0x10, 10, 2, 0, 0, 0, 4, {0, 0x41, 0x410, 0x3F}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto font = fixtureFont(c.file);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->kind, c.kind);
        EXPECT_EQ(font->above, c.above);
        EXPECT_EQ(font->below, c.below);
        EXPECT_EQ(font->modes, c.modes);
        EXPECT_EQ(font->firstShape, c.first);
        EXPECT_EQ(font->lastShape, c.last);
        EXPECT_EQ(font->shapeCount, c.count);
        std::vector<uint16_t> numbers;
        for (const ShapeIndexEntry& entry : font->index) numbers.push_back(entry.number);
        EXPECT_EQ(numbers, c.numbers) << "the index keeps the file's order";
        EXPECT_TRUE(std::is_sorted(font->sortedIndex.begin(), font->sortedIndex.end(),
                                   [](auto& a, auto& b) { return genCompareShapeNumbers(a, b) < 0; }));
        EXPECT_EQ(font->sortedIndex.size(), font->index.size());
    }

    const auto big = fixtureFont("bigfont.shx");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->kind, 0x08);
    EXPECT_EQ(big->bigHeight, 12);
    EXPECT_EQ(big->bigWidth, 14) << "extended form: b1 0, width in b3";
    EXPECT_EQ(big->modes, 0);
    EXPECT_EQ(big->bigIndexSize, 8);
    EXPECT_EQ(big->ranges, (std::vector<BigFontRange>{{0x81, 0x9F}, {0xE0, 0xFC}}));
    EXPECT_EQ(big->dataStart, 24u + 6 + 8 + 8 * 8);
    EXPECT_EQ(big->shapeBytes().size(), test::fileBytes(test::fontFixtureDir() / "bigfont.shx").size() - big->dataStart)
        << "a big font keeps its data from dataStart on";
}

TEST(ShapeFileReader, BigFontInformationForms) {
    // Header, no ranges, two slots: the font information and one shape.
    const auto bigFont = [](std::vector<uint8_t> information) {
        std::vector<uint8_t> file = bytesOf("bigfont 1.0" + std::string(12, ' ') + "\x1a");
        put16(file, 0);
        put16(file, 1);
        put16(file, 0);
        const uint32_t dataStart = uint32_t(file.size() + 8);
        put16(file, 0);
        put16(file, uint16_t(information.size()));
        put16(file, uint16_t(dataStart));
        put16(file, 0);
        file.insert(file.end(), information.begin(), information.end());
        return file;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> information;
        uint8_t height, width;
        int16_t modes;
    } cases[] = {
        {"plain form", {'B', 0, 10, 12, 1}, 10, 12, 1},
        {"extended form", {'B', 0, 10, 0, 1, 16}, 10, 16, 1},
        {"height 0 taken as 8", {'B', 0, 0, 9, 0}, 8, 9, 0},
        {"information cut short", {'B', 0, 7}, 7, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto font = fontFromBytes(bigFont(c.information));
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->bigHeight, c.height);
        EXPECT_EQ(font->bigWidth, c.width);
        EXPECT_EQ(font->modes, c.modes);
    }
}

TEST(ShapeFileReader, BigFontKeepsEveryRange) {
    // 250 ranges of one lead byte each (0x01..0xFA), one slot with the code 0xF0F1.
    std::vector<uint8_t> file = bytesOf("bigfont 1.0" + std::string(12, ' ') + "\x1a");
    put16(file, 0);
    put16(file, 1);
    put16(file, 250);
    for (uint16_t lead = 1; lead <= 250; ++lead) {
        put16(file, lead);
        put16(file, lead);
    }
    const uint32_t dataStart = uint32_t(file.size() + 8);
    put16(file, 0xF0F1);
    put16(file, 5);
    put16(file, uint16_t(dataStart));
    put16(file, uint16_t(dataStart >> 16));
    for (const char c : std::string("LAST\0", 5)) file.push_back(uint8_t(c));
    const auto big = fontFromBytes(file);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->ranges.size(), 250u);
    EXPECT_EQ(big->ranges.back(), (BigFontRange{250, 250}));
    ShapeFont primary;
    ASSERT_EQ(genFindShape(nullptr, &primary, big.get(), 0xF0F1, 0), big.get()) << "a code of the 240th range";
    EXPECT_EQ(nameAtCursor(*big), "LAST");
}

TEST(ShapeFileReader, DamagedFilesAreRefusedOrReadAsFarAsTheyGo) {
    const std::vector<uint8_t> shapes11 = test::fileBytes(test::fontFixtureDir() / "shapes11.shx");
    const std::vector<uint8_t> unifont = test::fileBytes(test::fontFixtureDir() / "unifont.shx");
    const std::vector<uint8_t> big = test::fileBytes(test::fontFixtureDir() / "bigfont.shx");

    // A shape font whose index runs past the file.
    std::vector<uint8_t> bigCount = shapes11;
    bigCount[28] = 0xFF;
    bigCount[29] = 0xFF;
    // A shape font cut inside its counts.
    std::vector<uint8_t> noCounts(shapes11.begin(), shapes11.begin() + 27);
    // A big font whose ranges run past the file, and one whose slots do.
    std::vector<uint8_t> bigRanges = big;
    bigRanges[28] = 0xFF;
    std::vector<uint8_t> bigSlots = big;
    bigSlots[26] = 0xFF;
    bigSlots[27] = 0x7F;

    const struct {
        const char* name;
        const std::vector<uint8_t>& bytes;
        int result;
    } refused[] = {
        {"shape index past the end", bigCount, kShapeFileDamaged},
        {"shape counts past the end", noCounts, kShapeFileDamaged},
        {"big-font ranges past the end", bigRanges, kShapeFileDamaged},
        {"big-font slots past the end", bigSlots, kShapeFileDamaged},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        int result = 0;
        EXPECT_EQ(fontFromBytes(c.bytes, &result), nullptr);
        EXPECT_EQ(result, c.result);
    }

    // A unifont cut inside its third entry keeps the two whole entries and the head of the
    // third; the cut shape ends where the file ends.
    std::vector<uint8_t> cut(unifont.begin(), unifont.begin() + 24 + 2 + 16 + 16 + 4 + 3);
    auto font = fontFromBytes(cut);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->shapeCount, 4);
    ASSERT_EQ(font->index.size(), 3u);
    ASSERT_EQ(genFindShape(nullptr, font.get(), nullptr, 0x410, 0), font.get());
    EXPECT_EQ(nameAtCursor(*font), "CYR");
    EXPECT_EQ(genNextShapeByte(*font), 0);
    EXPECT_EQ(genNextShapeByte(*font), 0) << "past the end every read is the end code";
}

TEST(ShapeAccess, FindsCharactersInAnIndexOutOfOrder) {
    const auto font = fixtureFont("shapes10.shx");
    ASSERT_NE(font, nullptr);
    const struct {
        uint16_t code;
        const char* shape;
    } cases[] = {{'A', "ARROW"}, {'B', "BOX"}, {' ', "SPACE"}, {10, "LF"}, {'Z', "SPACE"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_EQ(genFindShape(nullptr, font.get(), nullptr, c.code, 0), font.get());
        EXPECT_EQ(nameAtCursor(*font), c.shape);
    }
}

TEST(ShapeAccess, QuestionMarkThenSpaceStandInForAMissingCharacter) {
    const auto withQuestion = fixtureFont("shapes11.shx");
    const auto withSpace = fixtureFont("shapes10.shx");
    const auto withNeither = fixtureFont("shapes127.shx");
    ASSERT_TRUE(withQuestion && withSpace && withNeither);
    ASSERT_EQ(genFindShape(nullptr, withQuestion.get(), nullptr, 'Z', 0), withQuestion.get());
    EXPECT_EQ(nameAtCursor(*withQuestion), "QUESTION");
    ASSERT_EQ(genFindShape(nullptr, withSpace.get(), nullptr, 'Z', 0), withSpace.get());
    EXPECT_EQ(nameAtCursor(*withSpace), "SPACE");
    EXPECT_EQ(genFindShape(nullptr, withNeither.get(), nullptr, 'Z', 0), nullptr);
    EXPECT_EQ(genFindShape(nullptr, nullptr, nullptr, 'Z', 0), nullptr);
}

TEST(ShapeAccess, BigFontSlotsAndRanges) {
    const auto primary = fixtureFont("shapes11.shx");
    const auto big = fixtureFont("bigfont.shx");
    ASSERT_TRUE(primary && big);
    const struct {
        const char* name;
        uint16_t code;
        uint16_t flags;
        bool inBigFont;
        const char* shape;
    } cases[] = {
        {"in a range", 0x8140, 0, true, "KANJI 8140"},
        {"slot before the start slot", 0x8341, 0, true, "KANJI 8341"},
        {"second range", 0x88A0, 0, true, "KANJI 88A0"},
        {"code 200 counts as in range", 200, 0, true, "CODE 200"},
        {"in a range, absent", 0x8999, 0, false, "QUESTION"},
        {"in no range", 0xA1A1, 0, false, "QUESTION"},
        {"in no range, big font searched all the same", 0xA1A1, kFindShapeAlwaysBigFont, true, "OUTSIDE A1A1"},
        {"primary character", 'C', 0, false, "CIRCLE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeFont* found = genFindShape(nullptr, primary.get(), big.get(), c.code, c.flags);
        ASSERT_EQ(found, c.inBigFont ? big.get() : primary.get());
        EXPECT_EQ(nameAtCursor(*found), c.shape);
    }

    // Without slots nothing is found in the big font.
    ShapeFont empty = ShapeFont();
    empty.kind = kFontKindBigFont;
    empty.ranges = {{0x81, 0x9F}};
    EXPECT_EQ(genFindShape(nullptr, primary.get(), &empty, 0x8140, 0), primary.get());
}

TEST(ShapeAccess, BigFontSlotOutsideItsDataReadsAsAnEmptyShape) {
    std::vector<uint8_t> file = test::fileBytes(test::fontFixtureDir() / "bigfont.shx");
    // Slot 4 (0x8140) points before the data.
    const size_t slot4 = 24 + 6 + 8 + 4 * 8;
    file[slot4 + 4] = 3;
    file[slot4 + 5] = file[slot4 + 6] = file[slot4 + 7] = 0;
    const auto big = fontFromBytes(file);
    const auto primary = fixtureFont("shapes11.shx");
    ASSERT_TRUE(big && primary);
    ASSERT_EQ(genFindShape(nullptr, primary.get(), big.get(), 0x8140, 0), big.get());
    EXPECT_EQ(genNextShapeByte(*big), 0);
}

TEST(ShapeAccess, TrueTypeFontIsReturnedAtOnce) {
    ShapeFont trueType;
    trueType.kind = kFontKindTrueType;
    EXPECT_EQ(genFindShape(nullptr, &trueType, nullptr, 'A', 0), &trueType);
}

class ShapeAccessInDrawing : public test::ToolkitTest {};

TEST_F(ShapeAccessInDrawing, UnifontConvertsCodesOfTheDrawingsCodePage) {
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
    ASSERT_NE(drawing, nullptr);
    drawing->header->dwgcodepage = 29;  // ansi_1251: 0xC0 is U+0410
    const auto unifont = fixtureFont("unifont.shx");
    ASSERT_NE(unifont, nullptr);
    ASSERT_EQ(genFindShape(drawing, unifont.get(), nullptr, 0xC0, kFindShapeConvertCode), unifont.get());
    EXPECT_EQ(nameAtCursor(*unifont), "CYRILLIC A");
    ASSERT_EQ(genFindShape(drawing, unifont.get(), nullptr, 0xC0, 0), unifont.get());
    EXPECT_EQ(nameAtCursor(*unifont), "QUESTION") << "without the flag the code is taken as it is";
    const auto shapeFont = fixtureFont("shapes11.shx");
    ASSERT_EQ(genFindShape(drawing, shapeFont.get(), nullptr, 0xC0, kFindShapeConvertCode), shapeFont.get());
    EXPECT_EQ(nameAtCursor(*shapeFont), "QUESTION") << "only a unifont converts";
    dbFreeDrawing(drawing);
}

TEST(ShapeAccess, CursorSavedAndRestored) {
    const auto font = fixtureFont("shapes11.shx");
    ASSERT_NE(font, nullptr);
    ASSERT_NE(genFindShape(nullptr, font.get(), nullptr, 'C', 0), nullptr);
    const ShapeCursor saved = genGetShapeCursor(*font);
    EXPECT_EQ(nameAtCursor(*font), "CIRCLE");
    const uint8_t first = genNextShapeByte(*font);
    ASSERT_NE(genFindShape(nullptr, font.get(), nullptr, '?', 0), nullptr);
    EXPECT_EQ(nameAtCursor(*font), "QUESTION");
    EXPECT_EQ(genSetShapeCursor(*font, saved), 1);
    EXPECT_EQ(nameAtCursor(*font), "CIRCLE");
    EXPECT_EQ(genNextShapeByte(*font), first);

    genSetShapeCursor(*font, ShapeCursor{uint32_t(font->shapeBytes().size())});
    EXPECT_EQ(genNextShapeByte(*font), 0);
    genSetShapeCursor(*font, ShapeCursor{0xFFFFFFFF});
    EXPECT_EQ(genNextShapeByte(*font), 0);
}

TEST(ShapeAccess, ShapeNumbersCompareUnsigned) {
    const ShapeIndexEntry low{1, 0}, high{0x8000, 0};
    EXPECT_EQ(genCompareShapeNumbers(low, high), -1);
    EXPECT_EQ(genCompareShapeNumbers(high, low), 1);
    EXPECT_EQ(genCompareShapeNumbers(high, high), 0);
}

} // namespace
} // namespace tracemill
