// Every sample DXF loads whole: no record left unplaced, and the entities by kind are those a
// trivial scan of the file's code-0 groups counts. The binary twin of example_2000 gives the
// same tables and entities as the ASCII file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <charconv>
#include <map>
#include <sstream>
#include <string>

#include "tests/support/test_paths.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/class_list.h"
#include "toolkit/core/drawing_dump.h"

namespace tracemill::test {
namespace {

using DxfSamplesTest = ToolkitTest;
using Counts = std::map<std::string, int>;

std::string trim(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ')) s.pop_back();
    size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

// The code-0 names in the ENTITIES and BLOCKS sections of an ASCII DXF, read line by line. The
// BLOCK and ENDBLK of the two layout blocks are the layouts', not entities of a block.
Counts scanEntityNames(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    Counts counts;
    std::string codeLine;
    std::string value;
    std::string section;
    bool layoutBlock = false;
    bool awaitingName = false;
    bool inBlock = false;
    while (std::getline(in, codeLine) && std::getline(in, value)) {
        const int code = std::stoi(trim(codeLine));
        value = trim(value);
        if (code == 2 && awaitingName) {
            awaitingName = false;
            layoutBlock = value == "*Model_Space" || value == "*MODEL_SPACE" || value == "*Paper_Space" ||
                          value == "*PAPER_SPACE";
            if (!layoutBlock) ++counts["BLOCK"];
        }
        if (code != 0) continue;
        if (value == "SECTION") {
            std::getline(in, codeLine);
            std::getline(in, section);
            section = trim(section);
            continue;
        }
        if (value == "ENDSEC") section.clear();
        if (section != "ENTITIES" && section != "BLOCKS") continue;
        if (value == "BLOCK") {
            awaitingName = true;
            inBlock = true;
            continue;
        }
        if (value == "ENDBLK") {
            if (!layoutBlock) ++counts["ENDBLK"];
            inBlock = false;
            continue;
        }
        (void)inBlock;
        ++counts[value == "3DLINE" ? "LINE" : value];
    }
    return counts;
}

// The entities of every block by the DXF name of their kind.
Counts loadedEntityNames(const Drawing& drawing) {
    Counts counts;
    for (const BlockNode& block : drawing.blocks) {
        if (!block.entityList) continue;
        for (const EntityNode& node : *block.entityList) {
            const EntityRecord& entity = node.record;
            std::string name(dbEntityTypeName(entity.header.type));
            uint16_t classNumber = entity.header.type;
            if (const ProxyEntityBody* proxy = entity.body.getIf<ProxyEntityBody>()) {
                if (proxy->proxyClassId != 0) name = "ACAD_PROXY_ENTITY";
                else classNumber = proxy->classNumber;
            }
            if (name.empty()) {
                const std::string* className = dbClassNameByNumber(drawing.classes, classNumber);
                name = className ? *className : std::to_string(classNumber);
            }
            ++counts[name];
        }
    }
    return counts;
}

std::string describe(const Counts& counts) {
    std::ostringstream out;
    for (const auto& [name, count] : counts) out << name << ' ' << count << "; ";
    return out.str();
}

TEST_F(DxfSamplesTest, EverySampleLoadsWholeWithTheEntitiesItContains) {
    TM_REQUIRE_SAMPLES(samples);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples / "dxf")) {
        if (entry.path().extension() != ".dxf") continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        DrawingPtr drawing = loadFile(entry.path().string());
        ASSERT_TRUE(drawing) << "error " << dbGetError();
        EXPECT_EQ(drawing->unplacedRecords, 0u);
        const Counts expected = scanEntityNames(entry.path());
        const Counts loaded = loadedEntityNames(*drawing);
        EXPECT_EQ(loaded, expected) << "loaded: " << describe(loaded) << "\nfile: " << describe(expected);
    }
    EXPECT_GE(files, 7);
}

// Records as compared between two loads: everything but the addresses of their drawing and
// of their entity list.
template <class Record>
Record comparable(Record record) {
    if constexpr (requires { record.drawing; }) record.drawing = nullptr;
    if constexpr (requires { record.entities; }) record.entities = nullptr;
    return record;
}

template <class List>
void expectSameTable(const List& a, const List& b, const char* table) {
    auto i = a.begin();
    auto j = b.begin();
    for (; i != a.end() && j != b.end(); ++i, ++j) {
        EXPECT_TRUE(comparable(i->record) == comparable(j->record)) << table << " " << i->record.name;
    }
    EXPECT_TRUE(i == a.end() && j == b.end()) << table << ": the tables differ in length";
}

TEST_F(DxfSamplesTest, TheBinaryTwinHasTheSameTablesAndEntities) {
    TM_REQUIRE_SAMPLES(samples);
    DrawingPtr ascii = loadFile((samples / "dxf" / "example_2000.dxf").string());
    DrawingPtr binary = loadFile((samples / "dxf" / "example_2000.dxfb").string());
    ASSERT_TRUE(ascii && binary) << dbGetError();
    EXPECT_EQ(binary->sourceFormat, SourceFormat::BinaryDxf);
    EXPECT_EQ(binary->unplacedRecords, 0u);
    expectSameTable(ascii->layers, binary->layers, "LAYER");
    expectSameTable(ascii->linetypes, binary->linetypes, "LTYPE");
    expectSameTable(ascii->styles, binary->styles, "STYLE");
    expectSameTable(ascii->views, binary->views, "VIEW");
    // The two files differ where their writer saved them differently: the *Active view (its
    // centre and aspect), doubles that the ASCII text rounds (DIMALTF of ISO-25) and the
    // proxy flags of four classes. Those records are compared by name and handle.
    EXPECT_EQ(names(ascii->vports), names(binary->vports));
    expectSameTable(ascii->appIds, binary->appIds, "APPID");
    EXPECT_EQ(names(ascii->dimStyles), names(binary->dimStyles));
    expectSameTable(ascii->ucss, binary->ucss, "UCS");
    auto a = ascii->blocks.begin();
    auto b = binary->blocks.begin();
    for (; a != ascii->blocks.end() && b != binary->blocks.end(); ++a, ++b) {
        EXPECT_TRUE(comparable(a->record) == comparable(b->record)) << "BLOCK " << a->record.name;
    }
    ASSERT_EQ(ascii->classes.entries.size(), binary->classes.entries.size());
    for (size_t i = 0; i < ascii->classes.entries.size(); ++i) {
        EXPECT_EQ(ascii->classes.entries[i].dxfName, binary->classes.entries[i].dxfName);
        EXPECT_EQ(ascii->classes.entries[i].number, binary->classes.entries[i].number);
    }
    EXPECT_EQ(loadedEntityNames(*binary), scanEntityNames(samples / "dxf" / "example_2000.dxf"));
}

// An entity's dump line with every number written to 11 significant digits and without the
// fields in which the twins differ by how their writer saved them.
std::string comparableEntityLine(const std::string& line) {
    static const char* const kDiffering[] = {"extensionDictionary=", "xdataSize=", "xdata=", "satText=",
                                             "graphics=", "data=", "dataBitCount="};
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
        const size_t end = std::min(line.find(' ', i), line.size());
        const std::string_view token(line.data() + i, end - i);
        bool skip = false;
        for (const char* field : kDiffering) skip = skip || token.starts_with(field);
        if (!skip) {
            for (size_t k = 0; k < token.size();) {
                double value = 0;
                const bool numberStart = (std::isdigit(uint8_t(token[k])) || token[k] == '-') &&
                                         (k == 0 || std::string_view("=(,[").find(token[k - 1]) != std::string::npos);
                const auto [ptr, ec] = numberStart ? std::from_chars(token.data() + k, token.data() + token.size(), value)
                                                   : std::from_chars_result{token.data() + k, std::errc::invalid_argument};
                if (ec != std::errc()) {
                    out.push_back(token[k++]);
                    continue;
                }
                char buffer[32];
                out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 11).ptr);
                k = size_t(ptr - token.data());
            }
            out.push_back(' ');
        }
        i = end + 1;
    }
    return out;
}

// The twins hold the same entities. Besides the fields left out above, the ASCII file writes
// the line break of one TOLERANCE text in caret notation ("^J") where the binary file has the
// byte itself; the reader keeps both as the files give them.
TEST_F(DxfSamplesTest, TheBinaryTwinHasTheSameEntityFields) {
    TM_REQUIRE_SAMPLES(samples);
    DrawingPtr ascii = loadFile((samples / "dxf" / "example_2000.dxf").string());
    DrawingPtr binary = loadFile((samples / "dxf" / "example_2000.dxfb").string());
    ASSERT_TRUE(ascii && binary) << dbGetError();
    auto entityLines = [](const Drawing& drawing) {
        std::vector<std::string> lines;
        std::istringstream dump(dbDumpDrawingText(drawing));
        for (std::string line; std::getline(dump, line);) {
            if (line.starts_with("ENTITY ")) lines.push_back(comparableEntityLine(line));
        }
        return lines;
    };
    const std::vector<std::string> a = entityLines(*ascii);
    const std::vector<std::string> b = entityLines(*binary);
    ASSERT_EQ(a.size(), b.size());
    int differing = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        if (a[i].starts_with("ENTITY TOLERANCE ") && a[i].find("^J") != std::string::npos) continue;
        ++differing;
        ADD_FAILURE() << "ASCII:  " << a[i] << "\nbinary: " << b[i];
    }
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace tracemill::test
