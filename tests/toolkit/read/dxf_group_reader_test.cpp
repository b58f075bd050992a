#include "toolkit/read/dxf_group_reader.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "test_paths.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dxf_value_type.h"
#include "error_callback_test.h"

namespace tracemill {
namespace {

using namespace std::string_literals;

// One group as a test sees it: the code and every value field.
struct Seen {
    uint16_t code;
    std::string text;
    double real;
    int16_t shortValue;
    int32_t longValue;
    uint64_t handle;
    friend bool operator==(const Seen&, const Seen&) = default;
    friend void PrintTo(const Seen& g, std::ostream* os) {
        *os << "{" << g.code << " '" << g.text << "' " << g.real << " " << g.shortValue << " " << g.longValue << " "
            << g.handle << "}";
    }
};

class DxfGroups : public test::ErrorCallbackTest {
protected:
    static int badLineCalls() { return callbacks(kErrorReasonBadDxfLine); }

    DxfGroupReader& ascii(const std::string& text) { return open(text, SourceFormat::AsciiDxf, kVersionUnknown); }
    DxfGroupReader& binary(const std::string& bytes, int versionIndex) {
        return open(bytes, SourceFormat::BinaryDxf, versionIndex);
    }
    DxfGroupReader& open(const std::string& bytes, SourceFormat format, int versionIndex) {
        data_ = bytes;
        reader_ = std::make_unique<DxfGroupReader>();
        reader_->input.openMemory({reinterpret_cast<const uint8_t*>(data_.data()), data_.size()});
        reader_->sourceFormat = format;
        reader_->versionIndex = versionIndex;
        return *reader_;
    }
    static Seen seen(const DxfGroup& g) {
        return {g.code, g.text, g.real, g.shortValue, g.longValue, g.handle.value};
    }
    // Reads every group up to the end or a failure.
    static std::vector<Seen> readAll(DxfGroupReader& reader) {
        std::vector<Seen> groups;
        while (rdDxfReadGroup(reader)) groups.push_back(seen(reader.group));
        return groups;
    }

private:
    std::string data_;
    std::unique_ptr<DxfGroupReader> reader_;
};

TEST(DxfValueType, RangesOfTheGroupCodes) {
    struct Case {
        uint16_t code;
        DxfValueType type;
    } cases[] = {
        {0, DxfValueType::Text},     {1, DxfValueType::Text},     {5, DxfValueType::Handle},
        {9, DxfValueType::Text},     {10, DxfValueType::Real},    {59, DxfValueType::Real},
        {60, DxfValueType::Short},   {79, DxfValueType::Short},   {80, DxfValueType::Text},
        {90, DxfValueType::Long},    {99, DxfValueType::Long},    {100, DxfValueType::Text},
        {105, DxfValueType::Handle}, {110, DxfValueType::Real},   {149, DxfValueType::Real},
        {170, DxfValueType::Short},  {210, DxfValueType::Real},   {239, DxfValueType::Real},
        {270, DxfValueType::Short},  {299, DxfValueType::Short},  {300, DxfValueType::Text},
        {310, DxfValueType::BinaryChunk}, {311, DxfValueType::BinaryChunk}, {319, DxfValueType::BinaryChunk}, {320, DxfValueType::Handle},
        {369, DxfValueType::Handle}, {370, DxfValueType::Short},  {389, DxfValueType::Short},
        {390, DxfValueType::Handle}, {399, DxfValueType::Handle}, {400, DxfValueType::Short},
        {409, DxfValueType::Short},  {410, DxfValueType::Text},   {999, DxfValueType::Text},
        {1000, DxfValueType::Text},  {1004, DxfValueType::BinaryChunk}, {1005, DxfValueType::Handle},
        {1010, DxfValueType::Real},  {1059, DxfValueType::Real},  {1060, DxfValueType::Short},
        {1070, DxfValueType::Short}, {1071, DxfValueType::Long},  {1072, DxfValueType::Text},
        {65535, DxfValueType::Text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(dxfValueType(c.code), c.type);
    }
    struct Form {
        uint16_t code;
        DxfBinaryForm binary;
    } forms[] = {
        {0, DxfBinaryForm::String},         {10, DxfBinaryForm::Double},   {70, DxfBinaryForm::Int16},
        {289, DxfBinaryForm::Int16},        {290, DxfBinaryForm::Byte},    {299, DxfBinaryForm::Byte},
        {90, DxfBinaryForm::Int32},         {310, DxfBinaryForm::Chunk},   {318, DxfBinaryForm::Chunk},
        {1004, DxfBinaryForm::Chunk},       {330, DxfBinaryForm::String},  {420, DxfBinaryForm::Int32AsText},
        {429, DxfBinaryForm::Int32AsText},  {430, DxfBinaryForm::String},  {440, DxfBinaryForm::Int32AsText},
        {459, DxfBinaryForm::Int32AsText},  {460, DxfBinaryForm::DoubleAsText}, {469, DxfBinaryForm::DoubleAsText},
        {470, DxfBinaryForm::String},       {1071, DxfBinaryForm::Int32},  {2000, DxfBinaryForm::String},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.code);
        EXPECT_EQ(dxfCodeForm(f.code).binary, f.binary);
    }
}

TEST_F(DxfGroups, AsciiValuesByTheirCodes) {
    DxfGroupReader& r = ascii("  0\r\nLINE\r\n  5\r\n1a2B\r\n 10\r\n  -2.5e3\r\n 70\r\n    12abc\r\n"
                              " 90\r\n4294967295\r\n 62\r\n70000\r\n 40\r\n+7\r\n 41\r\n.5\r\n");
    std::vector<Seen> groups = readAll(r);
    ASSERT_EQ(groups.size(), 8u);
    EXPECT_EQ(groups[0].code, 0);
    EXPECT_EQ(groups[0].text, "LINE");
    EXPECT_EQ(groups[1].handle, 0x1A2Bu);
    EXPECT_EQ(groups[2].real, -2500.0);
    EXPECT_EQ(groups[3].shortValue, 12);
    EXPECT_EQ(groups[4].longValue, -1) << "wraps like the C library's conversion";
    EXPECT_EQ(groups[5].shortValue, int16_t(70000 - 65536));
    EXPECT_EQ(groups[6].real, 7.0);
    EXPECT_EQ(groups[7].real, 0.5);
    // The text of a numeric group stays in the text buffer.
    EXPECT_EQ(groups[2].text, "  -2.5e3");
}

TEST_F(DxfGroups, AsciiNumbersThatAreNotNumbers) {
    struct Case {
        const char* value;
        double real;
        int16_t shortValue;
    } cases[] = {
        {"", 0.0, 0},          {"abc", 0.0, 0},       {"inf", 0.0, 0},         {"nan", 0.0, 0},
        {"1e400", 0.0, 1},     {"-1e400", 0.0, -1},   {"1e-400", 0.0, 1},      {"  12.75xyz", 12.75, 12},
        {"-", 0.0, 0},         {"0x10", 0.0, 0},      {"\t3", 3.0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        DxfGroupReader& r = ascii(std::string(" 40\n") + c.value + "\n 70\n" + c.value + "\n");
        std::vector<Seen> groups = readAll(r);
        ASSERT_EQ(groups.size(), 2u);
        EXPECT_EQ(groups[0].real, c.real);
        EXPECT_FALSE(std::signbit(groups[0].real) && c.real == 0.0 && c.value[0] != '-');
        EXPECT_EQ(groups[1].shortValue, c.shortValue);
    }
}

TEST_F(DxfGroups, LinesEmptyLinesAndLineEnds) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::pair<uint16_t, std::string>> groups;
    } cases[] = {
        {"LF", "  0\nSECTION\n  2\nHEADER\n", {{0, "SECTION"}, {2, "HEADER"}}},
        {"CR LF", "  0\r\nSECTION\r\n  2\r\nHEADER\r\n", {{0, "SECTION"}, {2, "HEADER"}}},
        {"LF CR", "  0\n\rSECTION\n\r  2\n\rHEADER\n\r", {{0, "SECTION"}, {2, "HEADER"}}},
        {"CR", "  0\rSECTION\r  2\rHEADER\r", {{0, "SECTION"}, {2, "HEADER"}}},
        {"empty lines before a code line", "\n\r\n\n  8\nA\n", {{8, "A"}}},
        {"empty value line", "  1\n\n 40\n\n", {{1, ""}, {40, ""}}},
        {"a blank line is a code line", " \nX\n", {{0, "X"}}},
        {"the last line without its end", "  1\nlast", {{1, "last"}}},
        {"tab kept, control cut", "  1\nab\t\n  1\nab\x01" "cd\n  3\nx\x7f\n", {{1, "ab\t"}, {1, "ab"}, {3, "x\x7f"}}},
        {"bytes above 127 kept", "  1\n\xc4\xd6\xdc\n", {{1, "\xc4\xd6\xdc"}}},
        {"trailing blanks of 0 and 2 removed", "  0\nLINE  \n  2\nA B  \n  8\nA  \n  2\n   \n",
         {{0, "LINE"}, {2, "A B"}, {8, "A  "}, {2, " "}}},
        {"a code line with sign and blanks", "  -1\nx\n+8\ny\n", {{65535, "x"}, {8, "y"}}},
        {"a code line with a tab, a trailing blank or a fraction", "\t62\na\n 10 \nb\n 70.9\nc\n",
         {{62, "a"}, {10, "b"}, {70, "c"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Seen> groups = readAll(ascii(c.file));
        ASSERT_EQ(groups.size(), c.groups.size());
        for (size_t i = 0; i < groups.size(); ++i) {
            EXPECT_EQ(groups[i].code, c.groups[i].first);
            EXPECT_EQ(groups[i].text, c.groups[i].second);
        }
        EXPECT_EQ(dbGetError(), 0);
    }
}

TEST_F(DxfGroups, LettersInACodeLineFailWith299) {
    for (const char* file : {"8A\nx\n", "1e3\nx\n", "  0\nLINE\nSECTION\nx\n"}) {
        SCOPED_TRACE(file);
        gSystemContext->errorNumber = 0;
        forgetCallbacks();
        DxfGroupReader& r = ascii(file);
        while (rdDxfReadGroup(r)) {
        }
        EXPECT_EQ(dbGetError(), 299);
        EXPECT_EQ(badLineCalls(), 1);
    }
}

TEST_F(DxfGroups, LinesOverTheLengthLimitFailWith298) {
    const std::string longest(kMaxDxfLineLength, 'x');
    std::vector<Seen> groups = readAll(ascii("  1\n" + longest + "\n"));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].text, longest);
    EXPECT_EQ(dbGetError(), 0);

    DxfGroupReader& r = ascii("  1\n" + longest + "y\n  2\nnext\n");
    EXPECT_EQ(rdDxfReadGroup(r), 0);
    EXPECT_EQ(dbGetError(), 298);
    EXPECT_EQ(badLineCalls(), 1);

    // The limit applies to the text before the cut.
    groups = readAll(ascii("  1\nab\x02" + std::string(5000, 'z') + "\n  2\nnext\n"));
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].text, "ab");
    EXPECT_EQ(groups[1].text, "next");
}

TEST_F(DxfGroups, AsciiHandles) {
    std::vector<Seen> groups = readAll(ascii("  5\nFFFFFFFFFFFFFFFF\n  5\n1A\n330\n10000000000000000\n"
                                             "  5\n\n  5\n1G\n"));
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0].handle, ~uint64_t(0));
    EXPECT_EQ(groups[1].handle, 0x1Au);
    EXPECT_EQ(groups[2].handle, 0u) << "17 digits: the null handle, never the previous value";
    EXPECT_EQ(groups[3].handle, 0u);
    EXPECT_EQ(groups[4].handle, 0x10u) << "a character that is not a digit counts as 0";
}

TEST_F(DxfGroups, OnlyTheFieldOfTheCodeIsWritten) {
    DxfGroupReader& r = ascii(" 40\n1.25\n 70\n3\n  1\nabc\n");
    ASSERT_EQ(rdDxfReadGroup(r), 1);
    ASSERT_EQ(rdDxfReadGroup(r), 1);
    ASSERT_EQ(rdDxfReadGroup(r), 1);
    EXPECT_EQ(r.group.real, 1.25);
    EXPECT_EQ(r.group.shortValue, 3);
    EXPECT_EQ(r.group.text, "abc");
}

TEST_F(DxfGroups, CommentsArePassedOverExceptALastOne) {
    std::vector<Seen> groups = readAll(ascii("999\nfirst\n999\nsecond\n  0\nSECTION\n999\nbetween\n  0\nEOF\n999\nlast\n"));
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].text, "SECTION");
    EXPECT_EQ(groups[1].text, "EOF");
    EXPECT_EQ(groups[2].code, 999);
    EXPECT_EQ(groups[2].text, "last");
    // A comment followed by nothing but line ends is not the last group: the read ends.
    groups = readAll(ascii("  0\nEOF\n999\nlast\n\n"));
    EXPECT_EQ(groups.size(), 1u);
}

TEST_F(DxfGroups, PositionsCanBeRestoredToReadAGroupAgain) {
    DxfGroupReader& r = ascii("  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n");
    ASSERT_EQ(rdDxfReadGroup(r), 1);
    const uint64_t before = r.input.tell();
    ASSERT_EQ(rdDxfReadGroup(r), 1);
    EXPECT_EQ(r.group.text, "ENTITIES");
    ASSERT_EQ(rdDxfReadGroup(r), 1);
    ASSERT_TRUE(r.input.seek(before));
    ASSERT_EQ(rdDxfReadGroup(r), 1);
    EXPECT_EQ(r.group.text, "ENTITIES");
    EXPECT_FALSE(r.input.seek(r.input.length() + 1));
}

TEST_F(DxfGroups, ReadLineCutsAtTheFirstControlCharacter) {
    DxfGroupReader& r = ascii("abc\x03" "def\r\nxyz");
    ASSERT_EQ(rdDxfReadLine(r), 1);
    EXPECT_EQ(r.group.text, "abc");
    ASSERT_EQ(rdDxfReadLine(r), 1);
    EXPECT_EQ(r.group.text, "xyz");
    EXPECT_EQ(rdDxfReadLine(r), 0);
    EXPECT_EQ(dbGetError(), 0);
}

// Binary group builders.
std::string code1(uint8_t code) { return std::string(1, char(code)); }
std::string code2(uint16_t code) { return std::string{char(code & 0xFF), char(code >> 8)}; }
std::string realBytes(uint64_t bits) {
    std::string s(8, '\0');
    putLe64(reinterpret_cast<uint8_t*>(s.data()), bits);
    return s;
}
std::string realBytes(double value) { return realBytes(doubleBits(value)); }

TEST_F(DxfGroups, BinaryR12WithOneByteCodes) {
    std::string file = code1(0) + "SECTION\0"s + code1(10) + realBytes(1.5) + code1(70) + "\xfe\xff"s +
                       code1(90) + "\x01\x00\x00\x80"s + code1(5) + "2F\0"s + code1(255) + code2(1000) +
                       "xdata\0"s + code1(255) + code2(1071) + "\x07\x00\x00\x00"s;
    std::vector<Seen> groups = readAll(binary(file, 4));
    ASSERT_EQ(groups.size(), 7u);
    EXPECT_EQ(groups[0].text, "SECTION");
    EXPECT_EQ(groups[1].real, 1.5);
    EXPECT_EQ(groups[2].shortValue, -2);
    EXPECT_EQ(groups[3].longValue, int32_t(0x80000001));
    EXPECT_EQ(groups[4].handle, 0x2Fu);
    EXPECT_EQ(groups[5].code, 1000);
    EXPECT_EQ(groups[5].text, "xdata");
    EXPECT_EQ(groups[6].code, 1071);
    EXPECT_EQ(groups[6].longValue, 7);
}

TEST_F(DxfGroups, BinaryWithTwoByteCodesAndChunks) {
    std::string file = code2(0) + "LINE\0"s + code2(310) + "\x03\x01\xab\xff"s + code2(1004) + "\x02\x00\x7f"s +
                       code2(999) + "comment\0"s + code2(330) + "1F0\0"s + code2(1005) + "11111111111111111\0"s +
                       code2(310) + "\x00"s + code2(1004) + "\x90"s + std::string(0x90, '\x05');
    std::vector<Seen> groups = readAll(binary(file, 7));
    ASSERT_EQ(groups.size(), 7u);
    EXPECT_EQ(groups[1].text, "01ABFF");
    EXPECT_EQ(groups[2].text, "\x00\x7f"s);
    EXPECT_EQ(groups[3].handle, 0x1F0u);
    EXPECT_EQ(groups[4].handle, 0u) << "17 digits: the null handle";
    EXPECT_EQ(groups[5].text, "");
    EXPECT_EQ(groups[6].text, std::string(0x90, '\x05')) << "a length byte of 128 or more is unsigned";
}

// Values that binary files store otherwise than their type's width; in ASCII files the same
// groups are text lines.
TEST_F(DxfGroups, BinaryFormsOfOtherPrograms) {
    std::string file = code2(290) + "\x01"s + code2(70) + "\x05\x00"s + code2(311) + "\x02\x50\x4b"s +
                       code2(460) + realBytes(100.0) + code2(461) + realBytes(-0.125) + code2(420) +
                       "\xff\xff\xff\xff"s + code2(450) + "\x10\x00\x00\x00"s + code2(430) + "name\0"s;
    std::vector<Seen> groups = readAll(binary(file, 7));
    ASSERT_EQ(groups.size(), 8u);
    EXPECT_EQ(groups[0].shortValue, 1);
    EXPECT_EQ(groups[1].shortValue, 5);
    EXPECT_EQ(groups[2].text, "504B");
    EXPECT_EQ(groups[3].text, "100");
    EXPECT_EQ(groups[4].text, "-0.125");
    EXPECT_EQ(groups[5].text, "-1");
    EXPECT_EQ(groups[6].text, "16");
    EXPECT_EQ(groups[7].text, "name");

    groups = readAll(ascii("290\n     1\n311\n504B\n460\n100.0\n"));
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].shortValue, 1);
    EXPECT_EQ(groups[1].text, "504B");
    EXPECT_EQ(groups[2].text, "100.0");
}

TEST_F(DxfGroups, BinaryDoublesAreSanitised) {
    const uint64_t patterns[] = {0x7FF8000000000000, 0x7FF0000000000000, 0xFFF0000000000000,
                                 0x8000000000000000, 0x0000000000000001, 0x800FFFFFFFFFFFFF};
    for (uint64_t pattern : patterns) {
        SCOPED_TRACE(pattern);
        std::vector<Seen> groups = readAll(binary(code2(10) + realBytes(pattern), 7));
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_EQ(doubleBits(groups[0].real), 0u) << "+0.0";
    }
}

TEST_F(DxfGroups, BinaryValuesCutOffByTheEndOfTheFile) {
    // A string without its zero byte keeps what is there; a number cut off ends the read.
    std::vector<Seen> groups = readAll(binary(code2(1) + "no end", 7));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].text, "no end");
    EXPECT_TRUE(readAll(binary(code2(10) + "\x01\x02\x03"s, 7)).empty());
    EXPECT_TRUE(readAll(binary(code2(70) + "\x01"s, 7)).empty());
    EXPECT_TRUE(readAll(binary(code2(90) + "\x01\x02"s, 7)).empty());
    EXPECT_TRUE(readAll(binary("\x01"s, 7)).empty());
    EXPECT_TRUE(readAll(binary("\xff\x01"s, 4)).empty());
    groups = readAll(binary(code2(310) + "\x09\x01\x02"s, 7));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].text, "0102");
    EXPECT_EQ(dbGetError(), 0);

    EXPECT_TRUE(readAll(binary(code2(1) + std::string(kMaxDxfBinaryText + 1, 'x') + '\0', 7)).empty());
    EXPECT_EQ(dbGetError(), 298);
    groups = readAll(binary(code2(1) + std::string(kMaxDxfBinaryText, 'x') + '\0', 7));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].text.size(), kMaxDxfBinaryText);
}

TEST_F(DxfGroups, RawReaders) {
    DxfGroupReader& r = binary(realBytes(2.0) + realBytes(uint64_t(0x7FF0000000000000)) + "\x04\x03\x02\x01\xfe\xff\x01"s, 7);
    EXPECT_EQ(rdDxfReadRawDouble(r), 2.0);
    EXPECT_EQ(rdDxfReadRawDouble(r), 0.0);
    EXPECT_EQ(rdDxfReadRawLong(r), 0x01020304);
    EXPECT_EQ(rdDxfReadRawShort(r), -2);
    EXPECT_EQ(rdDxfReadRawLong(r), 0) << "fewer than 4 bytes left";
    EXPECT_EQ(rdDxfReadRawShort(r), 0);
    EXPECT_EQ(rdDxfReadRawDouble(r), 0.0);
}

TEST_F(DxfGroups, BinaryStartSkipsTheSentinelAndDetectsTwoByteCodes) {
    const std::string sentinel = "AutoCAD Binary DXF\r\n\x1a\0"s;
    struct Case {
        const char* name;
        std::string file;
        int versionIndex;
        bool twoByteCodes;
    } cases[] = {
        {"R12, one-byte codes", sentinel + "\0SECTION\0"s, -1, false},
        {"unknown version, two-byte codes", sentinel + "\0\0SECTION\0"s, -1, true},
        {"known R12 version keeps one-byte codes", sentinel + "\0\0SECTION\0"s, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DxfGroupReader& r = binary(c.file, c.versionIndex);
        ASSERT_EQ(rdDxfBeginBinary(r), 1);
        EXPECT_EQ(r.twoByteCodes, c.twoByteCodes);
        ASSERT_EQ(rdDxfReadGroup(r), 1);
        if (c.versionIndex == -1) {
            EXPECT_EQ(r.group.text, "SECTION");
        }
    }
    EXPECT_EQ(rdDxfBeginBinary(binary("no zero byte", -1)), 0);
}

// Reading the same file from memory and from disk through windows of every small size gives
// the same groups: no line, string or value is lost or changed at a window boundary.
TEST_F(DxfGroups, WindowBoundariesChangeNothing) {
    std::string asciiFile = "999\ncomment\n  0\r\nSECTION\r\n\n  2\nENTITIES\n  0\nLINE\n  5\n1A\n 10\n1.5\n"
                            "  1\nab\x01" + std::string(300, 'q') + "\n 70\n  42\n  1\n" + std::string(2050, 'w') +
                            "\n\r  1\nx\r 40\n2.25";
    std::string binaryFile = code2(0) + "SECTION\0"s + code2(10) + realBytes(1.5) + code2(310) + "\x02\x0a\x0b"s +
                             code2(1) + std::string(500, 'b') + '\0' + code2(90) + "\x05\x00\x00\x00"s;
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "tracemill_dxf_window_test.dxf";
    for (bool isBinary : {false, true}) {
        const std::string& content = isBinary ? binaryFile : asciiFile;
        const SourceFormat format = isBinary ? SourceFormat::BinaryDxf : SourceFormat::AsciiDxf;
        std::vector<Seen> expected = readAll(open(content, format, 7));
        ASSERT_GE(expected.size(), 5u);
        {
            std::ofstream out(path, std::ios::binary);
            out << content;
        }
        for (size_t block : {1, 2, 3, 7, 64, 511, 4096}) {
            SCOPED_TRACE(block);
            DxfGroupReader reader;
            reader.input.setBlockSize(block);
            ASSERT_TRUE(reader.input.openFile(path.string()));
            reader.sourceFormat = format;
            reader.versionIndex = 7;
            const std::vector<Seen> groups = readAll(reader);
            ASSERT_EQ(groups.size(), expected.size()) << ::testing::PrintToString(groups[0]) << ::testing::PrintToString(groups.back());
            for (size_t i = 0; i < groups.size(); ++i) ASSERT_EQ(groups[i], expected[i]) << "group " << i;
            EXPECT_EQ(reader.input.tell(), content.size());
        }
    }
    std::filesystem::remove(path);
    DxfGroupReader missing;
    EXPECT_FALSE(missing.input.openFile(path.string()));
}

// Skimming to the next code-0 group finds the same groups at the same positions as reading
// group by group, whatever the window size, the code width and the values in between.
TEST_F(DxfGroups, SkimmingToCodeZeroFindsWhatReadingGroupByGroupFinds) {
    const std::string values = code2(10) + realBytes(1.5) + code2(310) + "\x03\x01\x02\x03"s + code2(1) +
                               std::string(300, 'b') + '\0' + code2(999) + "note\0"s + code2(90) + "\x05\x00\x00\x00"s +
                               code2(290) + "\x01"s + code2(70) + "\x02\x00"s + code2(5) + "1F\0"s;
    const std::string wide = code2(0) + "SECTION\0"s + code2(2) + "ENTITIES\0"s + code2(0) + "LINE\0"s + values +
                             code2(0) + "ARC\0"s + values + values + code2(0) + "ENDSEC\0"s + values;
    const std::string narrow = code1(0) + "LINE\0"s + code1(10) + realBytes(2.0) + code1(255) + code2(1000) +
                               "x\0"s + code1(0) + "ENDSEC\0"s + code1(70) + "\x01\x00"s;
    struct Case {
        const char* name;
        const std::string* file;
        int versionIndex;
    } cases[] = {{"two-byte codes", &wide, 7}, {"one-byte codes", &narrow, 4}};
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "tracemill_dxf_skim_test.dxf";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // What reading group by group finds: each code-0 group's start, text and the groups read.
        std::vector<std::tuple<uint64_t, std::string, uint64_t>> expected;
        {
            DxfGroupReader& r = binary(*c.file, c.versionIndex);
            uint64_t groups = 0;
            for (uint64_t start = 0; rdDxfReadGroup(r); start = r.input.tell()) {
                ++groups;
                if (r.group.code == 0) expected.emplace_back(start, r.group.text, groups);
            }
        }
        ASSERT_GE(expected.size(), 2u);
        {
            std::ofstream out(path, std::ios::binary);
            out << *c.file;
        }
        for (size_t block : {0, 1, 2, 3, 7, 64, 4096}) {
            SCOPED_TRACE(block);
            DxfGroupReader file;
            DxfGroupReader& r = block == 0 ? binary(*c.file, c.versionIndex) : file;
            if (block > 0) {
                r.input.setBlockSize(block);
                ASSERT_TRUE(r.input.openFile(path.string()));
                r.sourceFormat = SourceFormat::BinaryDxf;
                r.versionIndex = c.versionIndex;
            }
            std::vector<std::tuple<uint64_t, std::string, uint64_t>> found;
            uint64_t position = 0;
            uint64_t groups = 0;
            while (rdDxfSkimToCodeZero(r, position, groups)) found.emplace_back(position, r.group.text, groups);
            EXPECT_EQ(found, expected);
            EXPECT_EQ(r.input.tell(), c.file->size());
            EXPECT_EQ(dbGetError(), 0);
        }
    }
    std::filesystem::remove(path);

    // A string over the length limit fails as it does group by group.
    uint64_t position = 0;
    uint64_t groups = 0;
    DxfGroupReader& r = binary(code2(1) + std::string(kMaxDxfBinaryText + 1, 'x') + '\0' + code2(0) + "EOF\0"s, 7);
    EXPECT_EQ(rdDxfSkimToCodeZero(r, position, groups), 0);
    EXPECT_EQ(dbGetError(), 298);
}

// What a pass over a DXF file sees: the group codes used, and the kinds of record in each
// section (a 0 group's text, counted by section name).
struct FileSurvey {
    std::set<uint16_t> codes;
    std::map<std::string, std::map<std::string, int>> recordsBySection;
    size_t groups = 0;
    std::string lastText;
};

FileSurvey survey(DxfGroupReader& reader) {
    FileSurvey s;
    std::string section;
    bool nameNext = false;
    while (rdDxfReadGroup(reader)) {
        ++s.groups;
        const DxfGroup& g = reader.group;
        s.codes.insert(g.code);
        if (nameNext && g.code == 2) section = g.text;
        nameNext = g.code == 0 && g.text == "SECTION";
        if (g.code == 0 && !nameNext) ++s.recordsBySection[section][g.text];
        s.lastText = g.text;
    }
    return s;
}

// The binary twin of a sample drawing was saved by another program from the same drawing:
// it uses the same group codes and holds the same entities and tables, which it can only show
// when every value of the binary file is read in its width.
TEST_F(DxfGroups, BinaryTwinOfASampleUsesTheSameCodesAndRecords) {
    TM_REQUIRE_SAMPLES(samples);
    DxfGroupReader ascii;
    ASSERT_TRUE(ascii.input.openFile((samples / "dxf/example_2000.dxf").string()));
    DxfGroupReader bin;
    ASSERT_TRUE(bin.input.openFile((samples / "dxf/example_2000.dxfb").string()));
    bin.sourceFormat = SourceFormat::BinaryDxf;
    bin.versionIndex = 7;
    ASSERT_EQ(rdDxfBeginBinary(bin), 1);
    const FileSurvey a = survey(ascii), b = survey(bin);
    EXPECT_EQ(dbGetError(), 0);
    EXPECT_EQ(a.lastText, "EOF");
    EXPECT_EQ(b.lastText, "EOF");
    EXPECT_EQ(b.codes, a.codes);
    for (const char* section : {"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES"}) {
        SCOPED_TRACE(section);
        EXPECT_EQ(b.recordsBySection.at(section), a.recordsBySection.at(section));
    }
    EXPECT_EQ(a.recordsBySection.at("ENTITIES").at("LINE"), 8);
    EXPECT_GT(b.groups, 60000u);
}

TEST_F(DxfGroups, EverySampleDxfReadsToItsEofGroup) {
    TM_REQUIRE_SAMPLES(samples);
    for (const auto& entry : std::filesystem::directory_iterator(samples / "dxf")) {
        if (entry.path().extension() != ".dxf") continue;
        SCOPED_TRACE(entry.path().filename().string());
        DxfGroupReader reader;
        ASSERT_TRUE(reader.input.openFile(entry.path().string()));
        size_t groups = 0;
        while (rdDxfReadGroup(reader)) ++groups;
        EXPECT_EQ(dbGetError(), 0);
        EXPECT_EQ(reader.group.code, 0);
        EXPECT_EQ(reader.group.text, "EOF");
        EXPECT_GT(groups, 100u);
    }
}

} // namespace
} // namespace tracemill
