#include "toolkit/read/file_recognition.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_paths.h"
#include "toolkit/core/system_context.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(FindSignature, TriesEveryStartPositionWithinTheGivenLength) {
    struct Case {
        const char* name;
        std::string buffer;
        size_t length;
        int found;
    } cases[] = {
        {"at the start", "AC1015 and more", 15, 1},
        {"in the middle", "  $ACADVER\n  1\nAC1015\n", 22, 1},
        {"ending in the last byte", "xxAC1015", 8, 1},
        {"the whole buffer is the text", "AC1015", 6, 1},
        {"one byte more than the text", "AC1015x", 7, 1},
        {"cut off by the length", "xxAC1015", 7, 0},
        {"shorter than the text", "AC10", 4, 0},
        {"empty", "", 0, 0},
        {"zero bytes do not stop the search", std::string("\0\0AC1015", 8), 8, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rdFindSignature(bytesOf(c.buffer).first(c.length), "AC1015"), c.found);
    }
}

TEST(VersionIndexOfHead, TakesTheLowestSignatureAnywhereAndTheTwoExtrasOnlyAtTheStart) {
    struct Case {
        const char* name;
        std::string head;
        int index;
        bool ac1013Seen;
    } cases[] = {
        {"DWG R14", "AC1014", 6, false},
        {"DWG 2000", "AC1015", 7, false},
        {"DXF header within the head", "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n", 4, false},
        {"several signatures give the lowest index", "AC1015 ... AC1003 ... AC1009", 1, false},
        {"AC1013 at the start", "AC1013", 6, true},
        {"AC1500 at the start", "AC1500", 7, false},
        {"AC1013 elsewhere", "xxAC1013", -1, false},
        {"AC1500 elsewhere", "xxAC1500", -1, false},
        {"newer DWG", "AC1018", -1, false},
        {"nothing", "  0\nSECTION\n  2\nHEADER\n", -1, false},
        {"signature as the last bytes of the head", "  0\nSECTION\n  1\nAC1012", 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeadVersion v = rdVersionIndexOfHead(bytesOf(c.head));
        EXPECT_EQ(v.versionIndex, c.index);
        EXPECT_EQ(v.ac1013Seen, c.ac1013Seen);
    }
}

using DwgVersionIndex = test::ToolkitTest;

TEST_F(DwgVersionIndex, TakesTheSixSignatureBytesExactly) {
    struct Case {
        const char* name;
        std::string start;
        bool accept;
        int index;
        int error;
    } cases[] = {
        {"R13", "AC1012xx", false, 5, 0},
        {"R12", "AC1009", false, 4, 0},
        {"2000", "AC1015", false, 7, 0},
        {"AC1500", "AC1500", false, 7, 0},
        {"AC1013 accepted", "AC1013", true, 6, 0},
        {"AC1013 refused", "AC1013", false, -1, 286},
        {"2004", "AC1018", true, -1, 8},
        {"release 1.4", "AC1.40", true, -1, 8},
        {"release 2.10", "AC2.10", true, -1, 8},
        {"a signature not at the start", "xAC1015", true, -1, 8},
        {"a file of five bytes", "AC101", true, -1, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gSystemContext->errorNumber = 0;
        EXPECT_EQ(rdDwgVersionIndex(bytesOf(c.start), c.accept), c.index);
        EXPECT_EQ(dbGetError(), c.error);
    }
}

TEST(RecognizeFile, DwgAsciiAndBinaryDxfFromTheHead) {
    struct Case {
        const char* name;
        std::string head;
        SourceFormat format;
        bool accepted;
    } cases[] = {
        {"DWG", "AC1015", SourceFormat::Dwg, false},
        // DWG versions older than "AC1002" are DWG files too (which the DWG open refuses).
        {"DWG of release 1.4", "AC1.40", SourceFormat::Dwg, false},
        {"DWG of release 2.10", "AC2.10", SourceFormat::Dwg, false},
        {"DWG of release 2.21", "AC2.21 with SECTION later", SourceFormat::Dwg, false},
        {"AC and no digit", "ACME SECTION", SourceFormat::AsciiDxf, true},
        {"AC alone", "AC", SourceFormat::AsciiDxf, false},
        {"ASCII DXF", "  0\nSECTION\n  2\nHEADER\n", SourceFormat::AsciiDxf, true},
        {"binary DXF", std::string("AutoCAD Binary DXF\r\n\x1a\0\0\0SECTION\0", 32), SourceFormat::BinaryDxf, true},
        {"a comment first, no section in the head", "999\nmade by hand\n", SourceFormat::AsciiDxf, true},
        {"neither a section nor a comment", "hello world", SourceFormat::AsciiDxf, false},
        {"a comment not at the start", " 999\nx\n", SourceFormat::AsciiDxf, false},
        {"almost the binary sentinel", "AutoCAD Binary DX", SourceFormat::AsciiDxf, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileKind kind = rdRecognizeFile(bytesOf(c.head));
        EXPECT_EQ(kind.sourceFormat, c.format);
        EXPECT_EQ(kind.dxfAccepted, c.accepted);
    }
}

std::vector<uint8_t> headOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> head(kRecognitionHeadSize);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(size_t(in.gcount()));
    return head;
}

TEST(RecognizeFile, SampleDrawings) {
    TM_REQUIRE_SAMPLES(samples);
    struct Case {
        const char* file;
        SourceFormat format;
        int headIndex;  // from the head search alone
    } cases[] = {
        {"dwg/example_r13.dwg", SourceFormat::Dwg, 5},
        {"dwg/example_r14.dwg", SourceFormat::Dwg, 6},
        {"dwg/example_2000.dwg", SourceFormat::Dwg, 7},
        {"dwg/r11_entities-2d.dwg", SourceFormat::Dwg, 4},
        {"dwg/example_2004.dwg", SourceFormat::Dwg, -1},
        {"dxf/example_2000.dxf", SourceFormat::AsciiDxf, 7},
        {"dxf/example_2000.dxfb", SourceFormat::BinaryDxf, 7},
        {"dxf/sample_r14.dxf", SourceFormat::AsciiDxf, 6},
        {"dxf/example_r12.dxf", SourceFormat::AsciiDxf, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        FileKind kind = rdRecognizeFile(headOf(samples / c.file));
        EXPECT_EQ(kind.sourceFormat, c.format);
        EXPECT_EQ(kind.version.versionIndex, c.headIndex);
        if (c.format != SourceFormat::Dwg) {
            EXPECT_TRUE(kind.dxfAccepted);
        }
    }
}

using DwgSampleVersions = test::ToolkitTest;

TEST_F(DwgSampleVersions, NewerAndOlderDrawingsAreRefusedWithError8) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* file : {"dwg/example_2004.dwg", "dwg/r1.4_entities.dwg"}) {
        SCOPED_TRACE(file);
        gSystemContext->errorNumber = 0;
        EXPECT_EQ(rdDwgVersionIndex(headOf(samples / file), true), -1);
        EXPECT_EQ(dbGetError(), 8);
    }
}

} // namespace
} // namespace tracemill
