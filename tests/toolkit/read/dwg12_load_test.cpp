// The DWG files before R13 loaded as the host loads a drawing (rdOpenDrawing): the sample
// drawings load whole and match their DXF twins; damaged files fail with an error.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/dump_values.h"
#include "tests/support/test_paths.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/drawing_dump.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"

namespace tracemill::test {
namespace {

using Dwg12LoadTest = ToolkitTest;

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

DrawingPtr loadBytes(const std::string& bytes) {
    TempFile file(bytes, ".dwg");
    return loadFile(file.path());
}

TEST_F(Dwg12LoadTest, SamplesLoadWholeWithNoRecordSkipped) {
    TM_REQUIRE_SAMPLES(samples);
    struct Case {
        const char* file;
        int version;
        size_t modelSpace;
        size_t blocks;  // besides the two layout blocks
    } cases[] = {
        {"r2.6_entities.dwg", 1, 21, 3},
        {"r9_entities.dwg", 2, 26, 3},
        {"r10_entities.dwg", 3, 26, 3},
        {"r11_entities-2d.dwg", 4, 19, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        DrawingPtr drawing = loadFile((samples / "dwg" / c.file).string());
        ASSERT_TRUE(drawing) << "error " << dbGetError();
        EXPECT_EQ(drawing->versionIndex, c.version);
        EXPECT_EQ(drawing->unplacedRecords, 0u);
        EXPECT_EQ(entities(drawing->modelSpace).size(), c.modelSpace);
        EXPECT_EQ(dbListCount(&drawing->blocks), c.blocks + 2);
    }
}

// One dump line made comparable: the fields in which the twins truly differ are left out.
struct Difference {
    const char* line;   // the start of the lines concerned
    const char* field;  // the field left out
};

// Where a DWG file before R13 and the DXF file its program wrote of the same drawing hold
// different values (besides the DXF's six significant digits):
// - the DXF reader gives every block that is no unloaded external reference the state 255;
//   these DWG files store no such state;
// - a DXF SHAPE names its shape, whose number and style only the shape file knows;
// - these DWG files give DIMENSIONs the attachment and line spacing of R13, which their DXF
//   does not carry;
// - the DXF writes the user text " " (text suppressed) as an empty line.
constexpr Difference kTwinDifferences[] = {
    {"BLOCK_RECORD ", "xrefState="},
    {"ENTITY SHAPE ", "shapeNumber="},
    {"ENTITY SHAPE ", "style="},
    {"ENTITY DIMENSION ", "attachment="},
    {"ENTITY DIMENSION ", "lineSpacingStyle="},
    {"ENTITY DIMENSION ", "lineSpacingFactor="},
    {"ENTITY DIMENSION ", "userText="},
};

// The end of the field that starts at `i`: the next space outside a quoted text.
size_t fieldEnd(const std::string& line, size_t i) {
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == '\\') ++i;
        else if (line[i] == '"') quoted = !quoted;
        else if (line[i] == ' ' && !quoted) break;
    }
    return std::min(i, line.size());
}

std::string withoutDifferences(const std::string& line) {
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
        const size_t end = fieldEnd(line, i);
        const std::string_view token(line.data() + i, end - i);
        bool skip = false;
        for (const Difference& d : kTwinDifferences) skip = skip || (line.starts_with(d.line) && token.starts_with(d.field));
        if (!skip) out.append(token).push_back(' ');
        i = end + 1;
    }
    return out;
}

// The DXF files of these drawings give numbers with six significant digits.
constexpr NumberTolerance kDxfPrecision{1e-6, 1e-6};

// The dump lines of the tables, the blocks and the entities.
std::vector<std::string> recordLines(const Drawing& drawing) {
    static const char* const kKept[] = {"LTYPE ", "LAYER ", "STYLE ", "VIEW ", "UCS ", "VPORT ", "APPID ",
                                        "DIMSTYLE ", "BLOCK_RECORD ", "ENTITIES ", "ENTITY "};
    std::vector<std::string> lines;
    std::istringstream dump(dbDumpDrawingText(drawing));
    for (std::string line; std::getline(dump, line);) {
        for (const char* kept : kKept) {
            if (line.starts_with(kept)) lines.push_back(withoutDifferences(line));
        }
    }
    return lines;
}

TEST_F(Dwg12LoadTest, SamplesMatchTheirDxfTwins) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"r2.6_entities", "r11_entities-2d"}) {
        SCOPED_TRACE(name);
        DrawingPtr dwg = loadFile((samples / "dwg" / (std::string(name) + ".dwg")).string());
        DrawingPtr dxf = loadFile((samples / "dxf" / (std::string(name) + ".dxf")).string());
        ASSERT_TRUE(dwg && dxf) << "error " << dbGetError();
        const std::vector<std::string> a = recordLines(*dwg);
        const std::vector<std::string> b = recordLines(*dxf);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_TRUE(sameDumpValue(a[i], b[i], kDxfPrecision)) << "DWG: " << a[i] << "\nDXF: " << b[i];
        }
    }
}

// Records named by position become handles: the two anonymous blocks stored as "*D" are two
// blocks, each inserted once.
TEST_F(Dwg12LoadTest, InsertsNameTheirOwnAnonymousBlock) {
    DrawingPtr drawing = loadFile((testDataDir() / "dwg12" / "anonymous_blocks.dwg").string());
    ASSERT_TRUE(drawing) << "error " << dbGetError();
    Handle first;
    Handle second;
    ASSERT_TRUE(dbBlockFindByName(drawing.get(), "*D0", first));
    ASSERT_TRUE(dbBlockFindByName(drawing.get(), "*D1", second));
    const std::vector<const EntityRecord*> inserts = entities(drawing->modelSpace);
    ASSERT_EQ(inserts.size(), 2u);
    EXPECT_EQ(inserts[0]->bodyAs<InsertBody>().block, first);
    EXPECT_EQ(inserts[1]->bodyAs<InsertBody>().block, second);
}

// A wide 2D polyline reads alike from a DWG file before R13 and its DXF twin: a vertex without
// widths of its own takes the polyline's default widths in both.
TEST_F(Dwg12LoadTest, AWidePolylineReadsAlikeFromDwgAndDxf) {
    DrawingPtr dwg = loadFile((testDataDir() / "dwg12" / "wide_polyline_ac1009.dwg").string());
    DrawingPtr dxf = loadText(dxfDrawing("AC1009", {{"ENTITIES",
                                                     {{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {40, "0.5"}, {41, "0.25"},
                                                      {0, "VERTEX"}, {8, "0"}, {10, "0.0"}, {20, "0.0"},
                                                      {0, "VERTEX"}, {8, "0"}, {10, "1.0"}, {20, "0.0"}, {40, "2.0"},
                                                      {0, "SEQEND"}, {8, "0"}}}}));
    ASSERT_TRUE(dwg && dxf) << "error " << dbGetError();
    for (const Drawing* drawing : {dwg.get(), dxf.get()}) {
        SCOPED_TRACE(drawing->sourceFormat == SourceFormat::Dwg ? "DWG" : "DXF");
        const std::vector<const EntityRecord*> list = entities(drawing->modelSpace);
        ASSERT_EQ(list.size(), 4u);
        const VertexBody& plain = list[1]->bodyAs<VertexBody>();
        const VertexBody& own = list[2]->bodyAs<VertexBody>();
        EXPECT_EQ(plain.startWidth, 0.5);
        EXPECT_EQ(plain.endWidth, 0.25);
        EXPECT_EQ(plain.hasStartWidth, 0);
        EXPECT_EQ(own.startWidth, 2.0);
        EXPECT_EQ(own.endWidth, 0.25);
        EXPECT_EQ(own.hasStartWidth, 1);
        EXPECT_EQ(own.hasEndWidth, 0);
    }
}

// The fixtures load whole; the damaged ones fail with the number of their damage.
TEST_F(Dwg12LoadTest, FixturesLoadOrFailWithTheirError) {
    struct Case {
        const char* file;
        int error;  // 0: loads
    } cases[] = {
        {"kinds_ac1002.dwg", 0},        {"kinds_ac1004.dwg", 0},     {"kinds_ac1006.dwg", 0},
        {"kinds_ac1009.dwg", 0},        {"edges_ac1009.dwg", 0},     {"anonymous_blocks.dwg", 0},
        {"block_without_endblk.dwg", 0}, {"wide_polyline_ac1009.dwg", 0},
        {"jump_beyond_file.dwg", 283}, {"jump_loop.dwg", 283},
        {"record_past_section.dwg", 282},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        DrawingPtr drawing = loadFile((testDataDir() / "dwg12" / c.file).string());
        EXPECT_EQ(bool(drawing), c.error == 0);
        EXPECT_EQ(dbGetError(), c.error);
        if (drawing) {
            EXPECT_EQ(drawing->unplacedRecords, 0u);
        }
    }
}

TEST_F(Dwg12LoadTest, ACorruptedHeaderChecksumFailsWith185) {
    TM_REQUIRE_SAMPLES(samples);
    std::string bytes = fileBytes(samples / "dwg" / "r11_entities-2d.dwg");
    bytes[0x100] = char(bytes[0x100] ^ 0x01);  // a header variable
    EXPECT_FALSE(loadBytes(bytes));
    EXPECT_EQ(dbGetError(), 185);
}

// A file cut anywhere before the end of its last section fails with an error and never reads
// outside the bytes present; cut in its trailer (sentinels and checksums) it still loads.
TEST_F(Dwg12LoadTest, TruncatedFilesFailWithAnError) {
    TM_REQUIRE_SAMPLES(samples);
    struct Case {
        const char* file;
        size_t sectionsEnd;
    } cases[] = {
        {"r2.6_entities.dwg", 0xD13},
        {"r11_entities-2d.dwg", 0x146E},  // the extra entity section's end
    };
    for (const Case& c : cases) {
        const std::string bytes = fileBytes(samples / "dwg" / c.file);
        for (size_t length = 0; length < bytes.size(); length += 53) {
            SCOPED_TRACE(std::string(c.file) + " cut at " + std::to_string(length));
            DrawingPtr drawing = loadBytes(bytes.substr(0, length));
            if (length < c.sectionsEnd) {
                EXPECT_FALSE(drawing);
                EXPECT_NE(dbGetError(), 0);
            }
        }
    }
}

} // namespace
} // namespace tracemill::test
