// The DXF group writers: every value form in ASCII and binary, the number formats, escaped
// texts, dates and converted symbol names; the same bytes under a comma-decimal locale.
#include <clocale>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "toolkit/core/drawing.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/byte_output.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

using test::ToolkitTest;

struct GroupCase {
    const char* name;
    int16_t version;
    uint8_t format;
    std::function<int(OutputContext&)> write;
    std::string expected;
};

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(char(v));
    return s;
}

std::string le64(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    std::string s;
    for (int i = 0; i < 8; ++i) s.push_back(char(bits >> (8 * i)));
    return s;
}

constexpr uint8_t kAscii = kSaveFormatAsciiDxf;
constexpr int kDoubleBytePage = 38;  // "ansi_932": 0x81 leads a double-byte character
constexpr uint8_t kBinary = kSaveFormatBinaryDxf;

std::vector<GroupCase> groupCases() {
    return {
        {"code 0 ascii", 7, kAscii, [](OutputContext& o) { return wrDxfGroupCode(o, 0); }, "  0\r\n"},
        {"code 1001 ascii", 7, kAscii, [](OutputContext& o) { return wrDxfGroupCode(o, 1001); }, "1001\r\n"},
        {"code 10 binary R12", 4, kBinary, [](OutputContext& o) { return wrDxfGroupCode(o, 10); }, bytes({0x0A})},
        {"code 1001 binary R12", 4, kBinary, [](OutputContext& o) { return wrDxfGroupCode(o, 1001); },
         bytes({0xFF, 0xE9, 0x03})},
        {"code 255 binary R12", 4, kBinary, [](OutputContext& o) { return wrDxfGroupCode(o, 255); },
         bytes({0xFF, 0xFF, 0x00})},
        {"code 10 binary R13", 5, kBinary, [](OutputContext& o) { return wrDxfGroupCode(o, 10); }, bytes({0x0A, 0})},
        {"int16 width of the precision", 7, kAscii, [](OutputContext& o) { return wrDxfInt16(o, 70, 3); },
         " 70\r\n     3\r\n"},
        {"int16 negative", 7, kAscii, [](OutputContext& o) { return wrDxfInt16(o, 62, -7); }, " 62\r\n    -7\r\n"},
        {"int8 sign-extended", 7, kAscii, [](OutputContext& o) { return wrDxfInt8(o, 70, int8_t(-128)); },
         " 70\r\n  -128\r\n"},
        {"int32 nine columns", 7, kAscii, [](OutputContext& o) { return wrDxfInt32(o, 90, 42); },
         " 90\r\n       42\r\n"},
        {"int16 binary", 7, kBinary, [](OutputContext& o) { return wrDxfInt16(o, 70, 0x1234); },
         bytes({70, 0, 0x34, 0x12})},
        {"290 binary is one byte", 7, kBinary, [](OutputContext& o) { return wrDxfInt16(o, 290, 1); },
         bytes({0x22, 0x01, 1})},
        {"int32 binary", 7, kBinary, [](OutputContext& o) { return wrDxfInt32(o, 90, -2); },
         bytes({90, 0, 0xFE, 0xFF, 0xFF, 0xFF})},
        {"1.0", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, 1.0); }, " 40\r\n1.0\r\n"},
        {"0.1", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, 0.1); }, " 40\r\n0.1\r\n"},
        {"2.5", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, 2.5); }, " 40\r\n2.5\r\n"},
        {"123.456789 unchanged", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, 123.456789); },
         " 40\r\n123.456789\r\n"},
        {"4e-07 is zero", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, 4e-07); }, " 40\r\n0.0\r\n"},
        {"-4e-07 is zero", 7, kAscii,
         [](OutputContext& o) {
             o.numbers.keepNegativeZero = 0;
             return wrDxfDouble(o, 40, -4e-07);
         },
         " 40\r\n0.0\r\n"},
        {"-4e-07 keeps its sign", 7, kAscii,
         [](OutputContext& o) {
             o.numbers.keepNegativeZero = 1;
             return wrDxfDouble(o, 40, -4e-07);
         },
         " 40\r\n-0.0\r\n"},
        {"-0.0 is 0.0", 7, kAscii,
         [](OutputContext& o) {
             o.numbers.keepNegativeZero = 0;
             return wrDxfDouble(o, 40, -0.0);
         },
         " 40\r\n0.0\r\n"},
        {"-0.0 keeps its sign when negative zeros are kept", 7, kAscii,
         [](OutputContext& o) {
             o.numbers.keepNegativeZero = 1;
             return wrDxfDouble(o, 40, -0.0);
         },
         " 40\r\n-0.0\r\n"},
        {"1e16 exponent", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, 1e16); },
         " 40\r\n1.000000E+16\r\n"},
        {"-2.5e20 exponent", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, -2.5e20); },
         " 40\r\n-2.500000E+20\r\n"},
        {"NaN is 0.0", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, std::nan("")); },
         " 40\r\n0.0\r\n"},
        {"infinity is 0.0", 7, kAscii, [](OutputContext& o) { return wrDxfDouble(o, 40, INFINITY); },
         " 40\r\n0.0\r\n"},
        {"infinity binary is 0.0", 7, kBinary, [](OutputContext& o) { return wrDxfDouble(o, 40, -INFINITY); },
         bytes({40, 0}) + le64(0.0)},
        {"binary double as stored", 7, kBinary, [](OutputContext& o) { return wrDxfDouble(o, 10, 1.5); },
         bytes({10, 0}) + le64(1.5)},
        {"full 0.5", 7, kAscii, [](OutputContext& o) { return wrDxfDoubleFull(o, 210, 0.5); }, "210\r\n0.5\r\n"},
        {"full 3.0", 7, kAscii, [](OutputContext& o) { return wrDxfDoubleFull(o, 210, 3.0); }, "210\r\n3.0\r\n"},
        {"full keeps 16 decimals", 7, kAscii, [](OutputContext& o) { return wrDxfDoubleFull(o, 210, 0.1234567890123); },
         "210\r\n0.1234567890123\r\n"},
        {"angle pi/2", 7, kAscii, [](OutputContext& o) { return wrDxfAngle(o, 50, std::numbers::pi / 2); },
         " 50\r\n90.0\r\n"},
        {"text ascii", 7, kAscii, [](OutputContext& o) { return wrDxfString(o, 1, "abc"); }, "  1\r\nabc\r\n"},
        {"text binary", 7, kBinary, [](OutputContext& o) { return wrDxfString(o, 1, "abc"); },
         bytes({1, 0, 'a', 'b', 'c', 0})},
        {"caret escaped", 7, kAscii, [](OutputContext& o) { return wrDxfEscapedString(o, 1, "A^B", 26); },
         "  1\r\nA^ B\r\n"},
        {"line feed escaped", 7, kAscii, [](OutputContext& o) { return wrDxfEscapedString(o, 1, "x\ny", 26); },
         "  1\r\nx^Jy\r\n"},
        {"tab escaped", 7, kAscii, [](OutputContext& o) { return wrDxfEscapedString(o, 1, "a\tb", 26); },
         "  1\r\na^Ib\r\n"},
        {"trailing caret", 7, kAscii, [](OutputContext& o) { return wrDxfEscapedString(o, 1, "a^", 26); },
         "  1\r\na^  \r\n"},
        {"caret as trail byte of a double-byte character", 7, kAscii,
         [](OutputContext& o) { return wrDxfEscapedString(o, 1, "a\x81^^", kDoubleBytePage); }, "  1\r\na\x81^^  \r\n"},
        {"unicode and multibyte escapes kept whole", 7, kAscii,
         [](OutputContext& o) { return wrDxfEscapedString(o, 1, "108\\U+00B0 \\M+1A1A2^", 26); },
         "  1\r\n108\\U+00B0 \\M+1A1A2^  \r\n"},
        {"character", 7, kAscii, [](OutputContext& o) { return wrDxfChar(o, 1002, '{'); }, "1002\r\n{\r\n"},
        {"character binary", 7, kBinary, [](OutputContext& o) { return wrDxfChar(o, 1002, '}'); },
         bytes({0xEA, 0x03, '}', 0})},
        {"handle", 7, kAscii, [](OutputContext& o) { return wrDxfHandle(o, 5, Handle(0x2A)); }, "  5\r\n2A\r\n"},
        {"chunk ascii", 7, kAscii,
         [](OutputContext& o) {
             const uint8_t data[] = {0x00, 0xAB, 0x10};
             return wrDxfBinaryChunk(o, 310, data);
         },
         "310\r\n00AB10\r\n"},
        {"chunk binary", 7, kBinary,
         [](OutputContext& o) {
             const uint8_t data[] = {0x00, 0xAB};
             return wrDxfBinaryChunk(o, 310, data);
         },
         bytes({0x36, 0x01, 2, 0x00, 0xAB})},
        {"date calendar", 7, kAscii,
         [](OutputContext& o) { return wrDxfHeaderDate(o, "TDCREATE", HeaderDate{2451545, 43200000}, 9); },
         "  9\r\n$TDCREATE\r\n 40\r\n2451545.500000006\r\n"},  // the middle of the millisecond
        {"date duration", 7, kAscii,
         [](OutputContext& o) { return wrDxfHeaderDate(o, "TDINDWG", HeaderDate{0, 43200000}, 10); },
         "  9\r\n$TDINDWG\r\n 40\r\n0.5000000058\r\n"},
        {"header point", 3, kAscii,
         [](OutputContext& o) { return wrDxfHeaderPoint2d(o, "LIMMIN", 10, Point2{1.0, -2.0}); },
         "  9\r\n$LIMMIN\r\n 10\r\n1.0\r\n 20\r\n-2.0\r\n"},
    };
}

class DxfGroupOutputTest : public ToolkitTest {
protected:
    std::string run(const GroupCase& c) {
        OutputContext output;
        output.format = c.format;
        output.versionIndex = c.version;
        DxfNumberFormats(output, 0, 6, 0);
        EXPECT_EQ(c.write(output), 1) << c.name;
        return output.pending;
    }
};

TEST_F(DxfGroupOutputTest, EveryFormWritesItsBytes) {
    for (const GroupCase& c : groupCases()) EXPECT_EQ(run(c), c.expected) << c.name;
}

TEST_F(DxfGroupOutputTest, SameBytesUnderACommaDecimalLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
    bool set = false;
    for (const char* name : locales) set = set || std::setlocale(LC_ALL, name) != nullptr;
    if (!set) GTEST_SKIP() << "no comma-decimal locale installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    for (const GroupCase& c : groupCases()) EXPECT_EQ(run(c), c.expected) << c.name;
    std::setlocale(LC_ALL, saved.c_str());
}

// The reals of ASCII files against the C library's "%.6f" (and "%.3f") of the same values, over
// magnitudes from 1e-7 to 1e12 and halves that sit on the rounding edge.
TEST_F(DxfGroupOutputTest, RealsMatchTheCLibrarysFixedForm) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-7, 12);
    for (int precision : {6, 3}) {
        DxfNumberFormat numbers;
        numbers.precision = int16_t(precision);
        numbers.zeroThreshold = 0.5 * std::pow(0.1, precision);
        auto reference = [&](double v) {
            char text[400];
            std::snprintf(text, sizeof text, "%.*f", precision, v);
            std::string r = text;
            for (int removed = 0; removed < precision - 1 && r.back() == '0'; ++removed) r.pop_back();
            return r;
        };
        for (int i = 0; i < 200000; ++i) {
            double v = mantissa(rng) * std::pow(10.0, exponent(rng));
            if (i % 5 == 0) v = std::round(v * 1e6) / 1e6 + 5e-7;  // near a half of the last decimal
            if (std::fabs(v) <= numbers.zeroThreshold) continue;
            ASSERT_EQ(wrFormatDxfDouble(numbers, v), reference(v)) << v;
        }
    }
}

TEST_F(DxfGroupOutputTest, DecimalsSettingShapesNumbers) {
    OutputContext output;
    output.format = kAscii;
    output.versionIndex = 7;
    DxfNumberFormats(output, 0, 3, 0);
    EXPECT_EQ(output.numbers.zeroThreshold, 0.5 * std::pow(0.1, 3));
    wrDxfDouble(output, 40, 1.23456);
    wrDxfInt16(output, 70, 5);
    wrDxfDouble(output, 40, 0.0004);
    EXPECT_EQ(output.pending, " 40\r\n1.235\r\n 70\r\n  5\r\n 40\r\n0.0\r\n");
}

TEST_F(DxfGroupOutputTest, BinaryTextOverTheLimitIsCutAtACharacterAndWarned) {
    static int warnings;
    warnings = 0;
    gSystemContext->warningCallback = [](int number) {
        if (number == kWarningDxfTextCut) ++warnings;
    };
    test::TemporaryFolder folder;
    OutputContext output;
    output.file.reset(dbOutFileOpen((folder / "cut.dxf").c_str(), "w+b"));
    ASSERT_TRUE(output.file);
    output.format = kBinary;
    output.versionIndex = 7;
    output.header.dwgcodepage = kDoubleBytePage;
    std::string text(kDxfBinaryTextLimit - 1, 'a');
    text += "\x81\x40";  // a double-byte character across the limit
    text += "tail";
    ASSERT_EQ(wrDxfString(output, 1, text), 1);
    EXPECT_EQ(warnings, 1);
    ASSERT_EQ(wrCloseOutput(output), 1);
    const std::vector<uint8_t> written = test::readFileBytes(folder / "cut.dxf");
    EXPECT_EQ(written.size(), 2 + (kDxfBinaryTextLimit - 1) + 1) << "the character across the limit goes whole";
    EXPECT_EQ(written.back(), 0);

    OutputContext ascii;
    ascii.file.reset(dbOutFileOpen((folder / "long.dxf").c_str(), "w+b"));
    ascii.format = kAscii;
    ascii.versionIndex = 7;
    const std::string longText(200000, 'x');
    ASSERT_EQ(wrDxfString(ascii, 1, longText), 1);
    ASSERT_EQ(wrCloseOutput(ascii), 1);
    EXPECT_EQ(test::readFileBytes(folder / "long.dxf").size(), 5 + longText.size() + 2) << "ASCII texts are written whole";
}

struct NameCase {
    const char* name;
    std::string input;
    int32_t number;
    int limit;
    std::string expected;
};

TEST_F(DxfGroupOutputTest, SymbolNamesAreConvertedBefore2000) {
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, 4);
    ASSERT_NE(drawing, nullptr);
    const NameCase cases[] = {
        {"short name upper-cased", "Walls", 3, 26, "WALLS"},
        {"spaces and brackets", "My Layer(1)", 0, 26, "MY_LAYER_1_"},
        {"brackets", "a[b]", 0, 26, "A_B_"},
        {"byte 0xBD", "a\xBD" "b", 0, 26, "A_B"},
        {"30 characters at number 12", std::string("abcdefghijklmnopqrstuvwxyz1234"), 12, 26,
         "ABCDEFGHIJKLMNOPQRSTUVWX12"},
        {"budget 4 and a five-digit number", "abcdefgh", 12345, 4, "12345"},
        {"dependent name", "Walls|Wall Paint", 7, 26, "WALLS|WALL_PAINT"},
        {"empty prefix", "|x", 0, 26, "|X"},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(wrConvertSymbolName(*drawing, nullptr, c.input, c.number, c.limit), c.expected) << c.name;
    }
    drawing->header->dwgcodepage = kDoubleBytePage;
    // A double-byte character whose trail byte is a space or a bracket stays as it is.
    EXPECT_EQ(wrConvertSymbolName(*drawing, nullptr, "a\x81 b", 0, 26), "A\x81 B");
    EXPECT_EQ(wrConvertSymbolName(*drawing, nullptr, "\x81[ ", 0, 26), "\x81[_");
    dbFreeDrawing(drawing);
}

TEST_F(DxfGroupOutputTest, SymbolNameWriterConvertsOnlyBefore2000) {
    Drawing* drawing = dbCreateDrawing(nullptr, nullptr, 0, 7);
    ASSERT_NE(drawing, nullptr);
    for (int16_t version : {4, 6, 7}) {
        OutputContext output;
        output.format = kAscii;
        output.versionIndex = version;
        ASSERT_EQ(wrDxfSymbolName(*drawing, output, 2, "My Layer", 1, 26), 1);
        EXPECT_EQ(output.pending, version == 7 ? "  2\r\nMy Layer\r\n" : "  2\r\nMY_LAYER\r\n") << version;
    }
    dbFreeDrawing(drawing);
}

} // namespace
} // namespace tracemill
