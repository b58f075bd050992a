// Loading R13-2000 DWG files through the load driver: every sample loads whole, the refusals,
// damaged copies, and the two drawings that have a DXF twin hold the same tables, objects and
// entities as their twin.
//
// The twins are compared through the canonical dump: records are matched by kind and handle
// and compared field by field (doubles equal within 1e-9 relative). The fields in which the two
// files truly differ are listed in kDifferences with the reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "dump_values.h"
#include "dwg13_test_support.h"
#include "test_paths.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/drawing_dump.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg13_file_header.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

class Dwg13Loading : public test::ToolkitTest {};

struct DrawingDeleter {
    void operator()(Drawing* drawing) const { dbFreeDrawing(drawing); }
};
using DrawingPtr = std::unique_ptr<Drawing, DrawingDeleter>;

DrawingPtr load(const std::filesystem::path& path) { return DrawingPtr(rdOpenDrawing(path.string().c_str(), 1, 0)); }

// --- The dump, record by record ----------------------------------------------------------------

// A dump line split into its kind ("LAYER", "ENTITY LINE", "HEADER DIMASZ", ...) and its fields
// (name=value, values with their quotes, brackets and parentheses whole).
struct DumpRecord {
    std::string kind;
    std::map<std::string, std::string> fields;
};

std::vector<std::string> topLevelTokens(std::string_view line) {
    std::vector<std::string> out;
    std::string token;
    int depth = 0;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            token += c;
            if (c == '\\' && i + 1 < line.size()) token += line[++i];
            else if (c == '"') quoted = false;
            continue;
        }
        if (c == '"') quoted = true;
        if (c == '[' || c == '(' || c == '{') ++depth;
        if (c == ']' || c == ')' || c == '}') --depth;
        if (c == ' ' && depth == 0) {
            if (!token.empty()) out.push_back(std::move(token));
            token.clear();
            continue;
        }
        token += c;
    }
    if (!token.empty()) out.push_back(std::move(token));
    return out;
}

// The records of a dump by kind and handle (header variables by name; records without a
// handle by their line).
std::map<std::pair<std::string, std::string>, DumpRecord> dumpRecords(const Drawing& drawing) {
    std::map<std::pair<std::string, std::string>, DumpRecord> records;
    std::istringstream dump(dbDumpDrawingText(drawing));
    for (std::string line; std::getline(dump, line);) {
        const std::vector<std::string> tokens = topLevelTokens(line);
        if (tokens.empty() || tokens[0] == "PREVIEW" || tokens[0] == "DRAWING") continue;
        DumpRecord record;
        size_t first = 1;
        if (tokens[0] == "HEADER" && tokens.size() >= 2) {
            record.kind = "HEADER " + tokens[1];
            std::string value;
            for (size_t i = 2; i < tokens.size(); ++i) value += (i > 2 ? " " : "") + tokens[i];
            record.fields["value"] = value;
            records[{record.kind, ""}] = std::move(record);
            continue;
        }
        record.kind = tokens[0];
        if (tokens[0] == "ENTITY" && tokens.size() >= 2) {
            record.kind += " " + tokens[1];
            first = 2;
        }
        for (size_t i = first; i < tokens.size(); ++i) {
            const size_t equals = tokens[i].find('=');
            if (equals == std::string::npos) continue;
            std::string name = tokens[i].substr(0, equals);
            // The entity header and a body may both have a field of one name (flags).
            while (record.fields.count(name)) name += "'";
            record.fields[name] = tokens[i].substr(equals + 1);
        }
        // Records without a handle: a class by its number, a block's entity list by its block,
        // a viewport by its entity; the fixed handles and the DWG header values stand alone.
        std::string key;
        if (const auto handle = record.fields.find("handle"); handle != record.fields.end()) key = handle->second;
        else if (record.kind == "CLASS" || record.kind == "ENTITIES" || record.kind == "VIEWPORT_INDEX")
            key = tokens.size() > 1 ? tokens[1] : "";
        records[{record.kind, key}] = std::move(record);
    }
    return records;
}

using test::sameDumpValue;

// --- What truly differs between the DWG files and their DXF twins -------------------------------

struct Difference {
    const char* kind;   // record kind, or a prefix of it ending in '*'
    const char* field;
    const char* reason;
};

constexpr Difference kDifferences[] = {
    // The files were saved at different times by different releases of their writer.
    {"HEADER ACADMAINTVER", "value", "the twin's writer is a later maintenance release"},
    {"HEADER HANDSEED", "value", "the twin's writer handed out further handles"},
    {"HEADER TD*", "value", "creation, update and editing times of two different saves"},
    {"HEADER EXTMIN", "value", "the twin's writer computed the extents again (their z differs)"},
    {"HEADER EXTMAX", "value", "the twin's writer computed the extents again (their z differs)"},
    {"HEADER-DWG", "*", "values of the DWG header section that DXF files do not carry"},
    {"HANDLES", "viewportEntityHeaderControl", "DXF files have no viewport entity headers: the load gives a new handle"},
    {"HANDLES", "viewportEntityHeader", "DXF files have no viewport entity headers: the DWG file's header of no viewport"},
    {"VPORT", "centre", "the *Active view of the twin was saved after a pan and zoom"},
    {"VPORT", "height", "the *Active view of the twin was saved after a pan and zoom"},
    {"VPORT", "aspect", "the *Active view of the twin was saved in another window size"},
    // The referenced bit (64) of table records: the DWG files store it set, the twin's writer
    // writes the 70 groups without it.
    {"LTYPE", "flags", "bit 64 (referenced) is not written to DXF"},
    {"LAYER", "flags", "bit 64 (referenced) is not written to DXF"},
    {"STYLE", "flags", "bit 64 (referenced) is not written to DXF"},
    {"VIEW", "flags", "bit 64 (referenced) is not written to DXF"},
    {"VPORT", "flags", "bit 64 (referenced) is not written to DXF"},
    {"APPID", "flags", "bit 64 (referenced) is not written to DXF"},
    {"DIMSTYLE", "flags", "bit 64 (referenced) is not written to DXF"},
    {"BLOCK_RECORD", "flags", "bit 64 (referenced) is not written to DXF"},
    {"BLOCK_RECORD", "xrefState", "the state of the BLOCK entity's 71 group, which DWG files do not have"},
    {"CLASS", "dxfName", "the twin's writer names the data-table class \"ACDBDATATABLE\""},
    // Forms of data that the two formats store differently.
    {"ENTITY *", "xdataSize", "the size of the extended data as each file stores it"},
    {"OBJECT", "data", "objects of classes without a reader keep their data in the file's own form"},
    {"OBJECT", "dataBitCount", "objects of classes without a reader keep their data in the file's own form"},
    {"OBJECT", "references", "DWG data of unread classes carries its handle references, DXF groups do not"},
    {"ENTITY 498", "*", "proxy entities keep their data, references and graphics in the file's own form"},
    {"ENTITY 3DSOLID", "satText", "SAT text: DWG lines end in LF after padded values, DXF lines in CR LF"},
    {"ENTITY REGION", "satText", "SAT text: DWG lines end in LF after padded values, DXF lines in CR LF"},
    {"ENTITY 3DSOLID", "trailingBits", "the bits after the SAT data exist only in DWG"},
    {"ENTITY REGION", "trailingBits", "the bits after the SAT data exist only in DWG"},
    {"ENTITY SPLINE", "*", "DWG stores splines given by fit points without knots and control points"},
    {"ENTITY SHAPE", "*", "DWG gives a shape by number and style, DXF by name"},
    {"ENTITY TOLERANCE", "text", "the twin writes the line break in caret notation (^J)"},
    {"ENTITY ELLIPSE", "flags", "the twin writes the extrusion as (0, 0, 0.9999999999999998)"},
    {"ENTITY DIMENSION", "userText", "the DWG stores one space, the twin an empty text"},
    {"ENTITY MTEXT", "extentsWidth", "the twin's writer leaves out the extents (42, 43)"},
    {"ENTITY MTEXT", "extentsHeight", "the twin's writer leaves out the extents (42, 43)"},
    {"ENTITY LWPOLYLINE", "xdata", "the DWG carries a block of extended data (a material) that the twin's writer left out"},
    {"VIEWPORT_INDEX", "viewportEntityHeader", "DXF files have no viewport entity headers"},
    {"ENTITY VIEWPORT", "viewportEntityHeader", "DXF files have no viewport entity headers"},
    // Objects whose handles the twin's writer changed (the extension dictionaries of layouts
    // and of entities, and what they hold): who refers to them differs by that handle.
    {"*", "extensionDictionary", "the twin's writer gave extension dictionaries new handles"},
    {"OBJECT", "owner", "the twin's writer gave extension dictionaries new handles"},
    {"OBJECT", "entries", "dictionaries list entries by the handles the writer gave"},
};

bool matches(std::string_view pattern, std::string_view text) {
    if (!pattern.empty() && pattern.back() == '*') return text.starts_with(pattern.substr(0, pattern.size() - 1));
    return pattern == text;
}

const Difference* knownDifference(std::string_view kind, std::string_view field) {
    for (const Difference& d : kDifferences)
        if (matches(d.kind, kind) && matches(d.field, field)) return &d;
    return nullptr;
}

struct Comparison {
    std::vector<std::string> differing;  // fields that differ without a reason
    size_t matched = 0;
    std::map<std::string, int> onlyDwg;  // records without a match, by kind and type
    std::map<std::string, int> onlyDxf;
};

Comparison compareTwins(const Drawing& dwg, const Drawing& dxf) {
    auto a = dumpRecords(dwg);
    auto b = dumpRecords(dxf);
    Comparison out;
    auto unmatched = [](const DumpRecord& record) {
        const auto type = record.fields.find("type");
        return record.kind + (record.kind == "OBJECT" && type != record.fields.end() ? " " + type->second : "");
    };
    // The *Active VPORT may have another handle in each file: it pairs by name.
    auto pairVports = [&](auto& x, auto& y) {
        for (auto it = x.begin(); it != x.end(); ++it) {
            if (it->first.first != "VPORT" || y.count(it->first)) continue;
            for (auto jt = y.begin(); jt != y.end(); ++jt) {
                if (jt->first.first == "VPORT" && !x.count(jt->first) && jt->second.fields["name"] == it->second.fields["name"]) {
                    DumpRecord moved = std::move(jt->second);
                    y.erase(jt);
                    y[it->first] = std::move(moved);
                    break;
                }
            }
        }
    };
    pairVports(a, b);
    for (auto& [key, record] : a) {
        const auto other = b.find(key);
        if (other == b.end()) {
            ++out.onlyDwg[unmatched(record)];
            continue;
        }
        ++out.matched;
        std::set<std::string> names;
        for (const auto& [name, value] : record.fields) names.insert(name);
        for (const auto& [name, value] : other->second.fields) names.insert(name);
        for (const std::string& name : names) {
            if (name == "handle") continue;
            const auto x = record.fields.find(name);
            const auto y = other->second.fields.find(name);
            const std::string vx = x == record.fields.end() ? "<none>" : x->second;
            const std::string vy = y == other->second.fields.end() ? "<none>" : y->second;
            if (sameDumpValue(vx, vy) || knownDifference(record.kind, name)) continue;
            out.differing.push_back(record.kind + " " + key.second + " " + name + ": DWG " + vx.substr(0, 200) +
                                    " | DXF " + vy.substr(0, 200));
        }
    }
    for (const auto& [key, record] : b)
        if (!a.count(key)) ++out.onlyDxf[unmatched(record)];
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

size_t linesStarting(const std::string& text, std::string_view start) {
    size_t count = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) count += line.starts_with(start) ? 1 : 0;
    return count;
}

// Every R13-2000 sample loads whole: the drawing holds every entity and object that the reader
// finds in the file, and nothing is left unplaced.
TEST_F(Dwg13Loading, EverySampleLoadsWhole) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"example_r13.dwg", "example_r14.dwg", "example_2000.dwg", "2000_entities-2d.dwg",
                             "oscilloscope_case_2000.dwg"}) {
        SCOPED_TRACE(name);
        DrawingPtr drawing = load(samples / "dwg" / name);
        ASSERT_TRUE(drawing) << dbGetError();
        EXPECT_EQ(drawing->unplacedRecords, 0u);
        const std::vector<uint8_t> file = test::fileBytes(samples / "dwg" / name);
        Drawing scratch;
        Dwg13Reader reader(file);
        const test::Dwg13Pass pass = test::dwg13ReadEverything(reader, scratch);
        const std::string dump = dbDumpDrawingText(*drawing);
        EXPECT_EQ(linesStarting(dump, "ENTITY "), pass.entities.size());
        EXPECT_EQ(linesStarting(dump, "OBJECT "), pass.objects.size());
        EXPECT_EQ(linesStarting(dump, "LAYER "), pass.records.at("LAYER").size());
    }
}

TEST_F(Dwg13Loading, NewerAndOlderVersionsAreRefusedWithError8) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"example_2004.dwg", "r1.4_entities.dwg"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(load(samples / "dwg" / name));
        EXPECT_EQ(dbGetError(), kErrorDwgUnknownVersion);
    }
}

// Cut and damaged copies of a sample either fail with an error number or load what is intact;
// none crashes, hangs or leaks (the sanitizer build checks).
TEST_F(Dwg13Loading, CutAndDamagedCopiesFailOrLoadWhatIsIntact) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<uint8_t> file = test::fileBytes(samples / "dwg" / "example_2000.dwg");
    const std::filesystem::path copy = std::filesystem::temp_directory_path() / "tracemill_dwg13_damaged.dwg";
    auto tryLoad = [&](const std::vector<uint8_t>& bytes) {
        std::ofstream(copy, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        DrawingPtr drawing = load(copy);
        if (!drawing) {
            EXPECT_NE(dbGetError(), 0);
        }
    };
    for (size_t cut : {size_t(5), size_t(100), file.size() / 10, file.size() / 2, file.size() - 1}) {
        SCOPED_TRACE(cut);
        tryLoad(std::vector<uint8_t>(file.begin(), file.begin() + ptrdiff_t(cut)));
    }
    for (size_t at : {size_t(0x19), size_t(0x30), file.size() / 3, file.size() * 2 / 3}) {
        SCOPED_TRACE(at);
        std::vector<uint8_t> damaged = file;
        for (size_t i = at; i < std::min(at + 64, damaged.size()); ++i) damaged[i] = uint8_t(damaged[i] * 37 + 11);
        tryLoad(damaged);
    }
    std::filesystem::remove(copy);
}

TEST_F(Dwg13Loading, TheDrawingWithItsDxfTwinHoldsTheSameRecords) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"2000_entities-2d", "example_2000"}) {
        SCOPED_TRACE(name);
        DrawingPtr dwg = load(samples / "dwg" / (std::string(name) + ".dwg"));
        DrawingPtr dxf = load(samples / "dxf" / (std::string(name) + ".dxf"));
        ASSERT_TRUE(dwg && dxf) << dbGetError();
        const Comparison c = compareTwins(*dwg, *dxf);
        EXPECT_TRUE(c.differing.empty()) << joined(c.differing);
        EXPECT_GT(c.matched, 250u);
        // Every table record and entity pairs with its twin. Records of one file alone are the
        // objects of extension dictionaries that the twin's writer saved under new handles:
        // dictionaries, proxy objects and objects of classes without a reader.
        for (const auto* only : {&c.onlyDwg, &c.onlyDxf}) {
            for (const auto& [kind, count] : *only) {
                EXPECT_TRUE(kind == "OBJECT 32" || kind == "OBJECT 499" || kind.starts_with("OBJECT 5"))
                    << kind << " x" << count;
            }
        }
    }
}

} // namespace
} // namespace tracemill
