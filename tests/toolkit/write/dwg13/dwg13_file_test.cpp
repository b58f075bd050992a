// Whole R13-2000 DWG files from the writer: their layout (checked by the structure check), new
// drawings of each version, every header variable, the table controls and records, the
// dictionaries and class objects, write failures and damaged drawings.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "dwg13_header_coverage.h"
#include "dwg13_structure_check.h"
#include "round_trip.h"
#include "test_paths.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg13_file_layout.h"
#include "toolkit/read/dwg13_header_layout.h"
#include "toolkit/read/dwg13_object_layouts.h"
#include "toolkit/read/dwg13_object_source.h"
#include "toolkit/read/dwg13_classes_section.h"
#include "toolkit/read/dwg13_file_header.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/write/dwg13/object_map_writer.h"
#include "toolkit/write/dwg13/object_writer.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

class Dwg13FileTest : public test::WriterTest {
protected:
    Drawing* make(int16_t version) { return keep(dbCreateDrawing(nullptr, nullptr, 0, uint16_t(version))); }
    Drawing* load(const std::filesystem::path& path) { return keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0)); }
    // Saves as DWG of the version; the file passes the structure check.
    std::filesystem::path save(Drawing* d, int16_t version, const std::string& name = "out.dwg") {
        const auto path = folder_ / name;
        EXPECT_EQ(test::saveAs(d, path, kSaveFormatDwg, version), 1) << "error " << dbGetError();
        const test::Dwg13CheckResult check = test::checkDwg13File(path);
        EXPECT_TRUE(check.ok()) << check.report();
        return path;
    }
};

// Opens the records of a file the way the reader finds them.
struct FileRecords {
    explicit FileRecords(const std::filesystem::path& path) : bytes(test::readFileBytes(path)) {
        const int version = bytes[5] == '2' ? kVersionAC1012 : bytes[5] == '4' ? kVersionAC1014 : kVersionAC1015;
        rdDwg13ReadFileHeader(bytes, version, header);
        objects.reset(bytes, version);
        rdReadObjectMap(bytes, header.locators[dwg13::kLocatorObjectMap].position, objects.map());
        rdDwg13ReadClasses(bytes, header, classes);
        objects.setClasses(classes);
    }
    std::vector<uint8_t> bytes;
    Dwg13FileHeader header;
    Dwg13Objects objects;
    std::vector<ClassEntry> classes;
};

// The file's layout per version: where the header variables start, the locators, the classes
// an R13 file adds, the image section of a drawing without preview.
TEST_F(Dwg13FileTest, FileLayoutOfEachVersion) {
    struct Row {
        int16_t version;
        uint32_t headerVariables;
        uint32_t locators;
    } rows[] = {{kVersionAC1012, 79, 4}, {kVersionAC1014, 88, 5}, {kVersionAC1015, 220, 6}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.version);
        Drawing* d = make(row.version);
        const auto path = save(d, row.version);
        const test::Dwg13CheckResult check = test::checkDwg13File(path);
        ASSERT_EQ(check.locatorCount, row.locators);
        EXPECT_EQ(check.locators[0].first, row.headerVariables);
        const std::vector<uint8_t> bytes = test::readFileBytes(path);
        EXPECT_TRUE(std::equal(dwg13::kHeaderVariablesStart.begin(), dwg13::kHeaderVariablesStart.end(),
                               bytes.begin() + row.headerVariables));
        // No preview: the image section holds its header entry alone.
        const uint32_t image = getLe32(&bytes[dwg13::kImageOffsetField]);
        EXPECT_EQ(bytes[image + 20], 1);
        EXPECT_EQ(bytes[image + 21], dwg13::kImageEntryHeader);
        // An R13 file declares the two zombie classes the drawing lacks, after its own.
        FileRecords records(path);
        std::vector<std::string> names;
        for (const ClassEntry& c : records.classes) names.push_back(c.dxfName);
        const bool zombies = std::count(names.begin(), names.end(), "DxfZombieEntity") == 1 &&
                             std::count(names.begin(), names.end(), "DxfZombieObject") == 1;
        EXPECT_EQ(zombies, row.version == kVersionAC1012);
        if (zombies) {
            EXPECT_EQ(names[names.size() - 2], "DxfZombieEntity");
            EXPECT_EQ(records.classes.back().itemClassId, kClassOfObjects);
            EXPECT_EQ(records.classes.back().number, records.classes[records.classes.size() - 2].number + 1);
        }
    }
}

// A drawing whose BYLAYER and BYBLOCK linetypes have no handle fields of the drawing (as a DXF
// file without them in its header gives) still names them in the LTYPE control: the file reads
// back (the reader refuses a file without them).
TEST_F(Dwg13FileTest, ByLayerAndByBlockWithoutTheirDrawingHandlesAreFoundByName) {
    for (int16_t version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        SCOPED_TRACE(version);
        Drawing* d = make(version);
        d->handles.byLayerLinetype = Handle();
        d->handles.byBlockLinetype = Handle();
        const auto path = save(d, version);
        Drawing* back = load(path);
        ASSERT_NE(back, nullptr) << "error " << dbGetError();
        EXPECT_FALSE(back->handles.byLayerLinetype.isNull());
        EXPECT_FALSE(back->handles.byBlockLinetype.isNull());
    }
}

// A value other than the one a variable has: an integer with its lowest bit turned (a flag
// stays a flag), a real + 0.5, points moved, a text of the variable's name, a date a day on.
HeaderValue otherValue(const HeaderValue& value, const HeaderVariable& v) {
    if (const auto* i = std::get_if<int32_t>(&value)) return int32_t(*i ^ 1);
    if (const auto* d = std::get_if<double>(&value)) return *d + 0.5;
    if (const auto* p = std::get_if<Point2>(&value)) return Point2{p->x + 0.25, p->y - 0.75};
    if (const auto* p = std::get_if<Point3>(&value)) return Point3{p->x + 0.25, p->y - 0.75, p->z + 1.5};
    if (std::holds_alternative<std::string>(value)) return std::string("X") + std::string(v.name);
    if (const auto* date = std::get_if<HeaderDate>(&value)) return HeaderDate{date->day + 1, date->milliseconds + 3};
    return value;
}

// Every header variable a version's section carries comes back as it was written, every other
// keeps the value a new drawing has: each variable given another value, saved, read back.
TEST_F(Dwg13FileTest, EveryHeaderVariableOfEachVersionDecodesAsWritten) {
    for (int16_t version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        SCOPED_TRACE(version);
        Drawing* d = make(version);
        HeaderBlock& h = *d->header;
        const HeaderBlock defaults = h;
        const std::set<std::string> carried = test::dwg13CarriedHeaderVariables(version);
        // Set apart: what names the file (version, release, seed, handling), the handles of
        // the current entries, EXTNAMES (every 2000 file sets it), DIMUNIT (DIMLUNIT and DIMFRAC
        // say it) and TDUUPDATE (a load without it takes TDUPDATE in universal time).
        const std::set<std::string> apart = {"ACADVER", "ACADMAINTVER", "HANDSEED", "HANDLING", "EXTNAMES",
                                             "DIMUNIT", "TDUUPDATE"};
        std::map<std::string, bool> expectCarried;
        for (const HeaderVariable& v : dbHeaderVariableTable()) {
            const std::string name(v.name);
            if (apart.count(name) || v.type == HeaderValueType::Handle) continue;
            HeaderValue value = otherValue(dbGetHeaderValue(h, v), v);
            if (name == "CELWEIGHT") value = int32_t(35);
            if (name == "DWGCODEPAGE") value = int32_t(29);
            if (name == "DIMLUNIT" && version < kVersionAC1015) value = int32_t(4);
            if (name == "DIMFRAC" && version < kVersionAC1015) value = int32_t(2);
            ASSERT_EQ(dbSetHeaderValue(h, v, value), 1) << name;
            expectCarried[name] = carried.count(name) != 0;
        }
        const test::DumpLines written = test::dumpLines(*d);
        const auto path = save(d, version);
        Drawing* back = load(path);
        ASSERT_NE(back, nullptr) << dbGetError();
        size_t checked = 0;
        for (const HeaderVariable& v : dbHeaderVariableTable()) {
            const std::string name(v.name);
            const auto found = expectCarried.find(name);
            if (found == expectCarried.end()) continue;
            const HeaderValue read = dbGetHeaderValue(*back->header, v);
            const HeaderValue wanted = found->second ? dbGetHeaderValue(h, v) : dbGetHeaderValue(defaults, v);
            EXPECT_TRUE(read == wanted) << name << (found->second ? " is carried" : " is not carried");
            checked += found->second ? 1 : 0;
        }
        EXPECT_GE(checked, version >= kVersionAC1015 ? 170u : 150u);
    }
}

// The save tells its progress in steps of 5 % as the records go out: with 2,000 lines every
// step from 0 to 100 comes once, in order, for each version.
TEST_F(Dwg13FileTest, ProgressComesOnceForEachStepOfFivePercent) {
    static std::vector<int> seen;
    std::vector<int> steps;
    for (int percent = 0; percent <= 100; percent += 5) steps.push_back(percent);
    for (int16_t version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        SCOPED_TRACE(version);
        Drawing* d = make(version);
        for (int i = 0; i < 2000; ++i) {
            EntityRecord e = test::newEntity(d, kEntityLine);
            e.bodyAs<LineBody>() = LineBody{{double(i), 0, 0}, {double(i), 1, 0}};
            ASSERT_EQ(dbAppendEntity(d, d->modelSpace, std::move(e)), 1);
        }
        seen.clear();
        dbSetSaveProgress([](int percent) { seen.push_back(percent); });
        save(d, version);
        dbSetSaveProgress(nullptr);
        EXPECT_EQ(seen, steps);
    }
}

TEST_F(Dwg13FileTest, AWriteFailureFailsWith27AndKeepsTheTarget) {
    Drawing* d = make(7);
    const auto target = folder_ / "drawing.dwg";
    {
        std::ofstream out(target, std::ios::binary);
        out << "the drawing as it was";
    }
    for (int16_t version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        for (long long limit : {0LL, 100LL, 3000LL}) {
            dbSetOutFileWriteLimit(limit);
            EXPECT_EQ(test::saveAs(d, target, kSaveFormatDwg, version), 0) << version << " " << limit;
            dbSetOutFileWriteLimit(-1);
            EXPECT_EQ(dbGetError(), kErrorWriteFailed);
            const std::vector<uint8_t> bytes = test::readFileBytes(target);
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "the drawing as it was");
            EXPECT_EQ(folder_.files(), std::vector<std::string>{"drawing.dwg"});
        }
    }
}

// A file before 2000 leaves out the entries of 2000 of the named object dictionary and with
// them the objects they name and everything those own (plot settings, the plot style
// dictionary and its placeholders, wipeout variables, the header round-trip record): every
// object read back that a dictionary owns is named by it. A file of 2000 keeps them all.
TEST_F(Dwg13FileTest, FilesBefore2000LeaveOutTheObjectsOfTheEntriesOf2000) {
    Drawing* source = make(kVersionAC1015);
    const std::unordered_set<uint64_t> of2000 = wrDwgObjectsOf2000(*source);
    ASSERT_FALSE(of2000.empty());
    // What a dictionary names: its entries and its extension dictionary.
    auto namedBy = [](const ObjectRecord& owner, Handle handle) {
        if (owner.header.extensionDictionary == handle) return true;
        const auto* body = owner.body.getIf<DictionaryBody>();
        return !body || std::any_of(body->entries.begin(), body->entries.end(),
                                    [&](const DictionaryEntry& e) { return e.handle == handle; });
    };
    for (int16_t version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        SCOPED_TRACE(version);
        Drawing* back = load(save(source, version));
        ASSERT_NE(back, nullptr) << "error " << dbGetError();
        size_t kept = 0;
        for (const ObjectNode& node : back->objects) {
            const ObjectHeader& h = node.record.header;
            kept += of2000.count(h.handle.value);
            const ObjectNode* owner = h.owner.isNull() ? nullptr : dbLookupNode(*back, back->objects, h.owner);
            if (owner) {
                EXPECT_TRUE(namedBy(owner->record, h.handle)) << "object " << h.handle.value;
            }
        }
        EXPECT_EQ(kept, version == kVersionAC1015 ? of2000.size() : 0u);
    }
}

} // namespace
} // namespace tracemill
