// Classes and objects as the writers give them: the class records of both formats, the CLASSES
// section, the objects a version carries, dictionaries, and objects and entities of classes
// the toolkit knows only by their groups.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg13_classes_section.h"
#include "toolkit/write/dwg_class_records.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

using test::DxfCheckGroup;

ClassEntry readClassRecord(const BitWriter& bits, int version) {
    BitReader reader{std::span<const uint8_t>(bits.bytes())};
    Dwg13FieldReader io(reader, version);
    ClassEntry entry;
    dwg13ClassRecord(io, entry);
    EXPECT_FALSE(reader.overrun());
    return entry;
}

TEST(DwgClassRecords, ReadBackThroughTheClassesSectionLayout) {
    struct Row {
        const char* name;
        ClassEntry stored;
        std::string r14Application;
        int16_t r14Flags;
    };
    const Row rows[] = {
        {"lower-case hatch gets HATCH's name", {510, "hatch", "AcDbHatch", "stored", 5, 0, 498}, "\"ACAD_SEDONA\"", 0},
        {"image", {511, "IMAGE", "AcDbRasterImage", "app", 0, 0, 498}, "ISM", 127},
        {"layout", {512, "LAYOUT", "AcDbLayout", "ObjectDBX", 0, 0, 499}, "\"AutoCAD 2000\"", 1},
        {"a class the writer does not know", {513, "ZOMBIE_X", "AcDbZombie", "Own app", 1153, 1, 499}, "Own app", 1153},
    };
    for (const Row& row : rows) {
        BitWriter r14;
        ASSERT_EQ(wrDwgClassR13(r14, row.stored), 1);
        const ClassEntry read14 = readClassRecord(r14, 6);
        EXPECT_EQ(read14.number, row.stored.number) << row.name;
        EXPECT_EQ(read14.dxfName, row.stored.dxfName) << row.name;
        EXPECT_EQ(read14.className, row.stored.className) << row.name;
        EXPECT_EQ(read14.applicationName, row.r14Application) << row.name;
        EXPECT_EQ(read14.proxyFlags, row.r14Flags) << row.name;
        EXPECT_EQ(read14.wasAZombie, row.stored.wasAZombie) << row.name;
        EXPECT_EQ(read14.itemClassId, row.stored.itemClassId) << row.name;

        BitWriter r2000;
        ASSERT_EQ(wrDwgClassR2000(r2000, row.stored), 1);
        EXPECT_EQ(readClassRecord(r2000, 7), row.stored) << row.name << ": 2000 files keep the stored values";
    }
}

class DxfObjectsTest : public test::WriterTest {
protected:
    std::vector<DxfCheckGroup> save(Drawing* d, int16_t version, uint8_t format = kSaveFormatAsciiDxf) {
        const auto path = folder_ / ("out" + std::to_string(version) + "." + std::to_string(format));
        EXPECT_EQ(test::saveAs(d, path, format, version), 1) << "error " << dbGetError();
        const test::DxfCheckResult result = test::checkDxfFile(path, std::string(kVersionSignatures[version]));
        EXPECT_TRUE(result.ok()) << result.report();
        return result.groups;
    }
};

std::vector<std::string> objectNames(const std::vector<DxfCheckGroup>& groups) {
    std::vector<std::string> names;
    const size_t start = test::findGroup(groups, 2, "OBJECTS");
    for (size_t i = start + 1; i < groups.size(); ++i) {
        if (groups[i].code == 0 && groups[i].value == "ENDSEC") break;
        if (groups[i].code == 0) names.push_back(groups[i].value);
    }
    return names;
}

bool hasName(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST_F(DxfObjectsTest, ObjectsOfEachVersionAndTheRootDictionary) {
    Drawing* d = keep(dbCreateDrawing(nullptr, nullptr, 0, 7));
    ASSERT_NE(d, nullptr);
    ObjectRecord buffer;
    buffer.header.type = dbAddDefaultClass(d->classes, ClassKind::IdBuffer);
    dbInitObject(d, buffer);
    buffer.header.handle = dbNewHandle(*d);
    buffer.header.owner = d->handles.namedObjectDictionary;
    ASSERT_EQ(dbAddObject(d, buffer), 1);

    const std::vector<DxfCheckGroup> r2000 = save(d, 7);
    const std::vector<std::string> names2000 = objectNames(r2000);
    EXPECT_TRUE(hasName(names2000, "LAYOUT"));
    EXPECT_TRUE(hasName(names2000, "IDBUFFER"));
    EXPECT_LT(test::findGroup(r2000, 3, "ACAD_LAYOUT"), r2000.size());

    Drawing* r14drawing = keep(dbCreateDrawing(nullptr, nullptr, 0, 7));
    const std::vector<DxfCheckGroup> r14 = save(r14drawing, 6);
    const std::vector<std::string> names14 = objectNames(r14);
    for (const char* absent : {"LAYOUT", "PLOTSETTINGS", "VBA_PROJECT", "WIPEOUTVARIABLES", "ACDBDICTIONARYWDFLT"})
        EXPECT_FALSE(hasName(names14, absent)) << absent;
    for (const char* entry :
         {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS", "ACAD_PLOTSTYLENAME", "ACDBHEADERROUNDTRIPXREC"})
        EXPECT_EQ(test::findGroup(r14, 3, entry), r14.size()) << entry;
    // Nor the dictionaries those entries name, which no dictionary of the file would own.
    for (Handle dictionary : {r14drawing->handles.layoutDictionary, r14drawing->handles.plotSettingsDictionary}) {
        ASSERT_FALSE(dictionary.isNull());
        char hex[17];
        std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(dictionary.value));
        EXPECT_EQ(test::findGroup(r14, 5, hex), r14.size()) << hex;
    }

    const std::vector<DxfCheckGroup> r13 = save(d, 5);
    const std::vector<std::string> names13 = objectNames(r13);
    EXPECT_FALSE(hasName(names13, "IDBUFFER")) << "AC1012 files carry no id buffers";
    EXPECT_TRUE(hasName(names13, "DICTIONARY"));
}

TEST_F(DxfObjectsTest, ClassesCarryTheWritersApplicationNames) {
    Drawing* d = keep(dbCreateDrawing(nullptr, nullptr, 0, 7));
    ASSERT_NE(d, nullptr);
    dbAddDefaultClass(d->classes, ClassKind::Image);
    for (ClassEntry& entry : d->classes.entries) entry.applicationName = "Stored";
    const std::vector<DxfCheckGroup> groups = save(d, 7);
    const size_t image = test::findGroup(groups, 1, "IMAGE");
    ASSERT_LT(image + 2, groups.size());
    EXPECT_EQ(groups[image + 2].code, 3);
    EXPECT_EQ(groups[image + 2].value, "ISM");
    const size_t entry = test::findGroup(groups, 0, "CLASS");
    EXPECT_EQ(test::codesOf(test::recordAt(groups, entry)), (std::vector<int>{0, 1, 2, 3, 90, 280, 281}));
    EXPECT_EQ(d->classes.entries.front().applicationName, "Stored") << "the drawing keeps its own names";
}

TEST_F(DxfObjectsTest, BlkrefsEntryUses360OnlyInAC1014) {
    Drawing* d = keep(dbCreateDrawing(nullptr, nullptr, 0, 7));
    ObjectRecord* root = dbNamedObjectDictionary(*d);
    ASSERT_NE(root, nullptr);
    root->bodyAs<DictionaryBody>().entries.push_back({"ACAD_BLKREFS", root->header.handle});
    for (int16_t version : {5, 6, 7}) {
        const std::vector<DxfCheckGroup> groups = save(d, version);
        const size_t entry = test::findGroup(groups, 3, "ACAD_BLKREFS");
        ASSERT_LT(entry + 1, groups.size()) << version;
        EXPECT_EQ(groups[entry + 1].code, version == 6 ? 360 : 350) << version;
    }
}

// A DXF file with an entity and an object of a class the toolkit knows only by name.
std::string unknownClassFile(const std::string& chunk) {
    std::string hex;
    static const char digits[] = "0123456789ABCDEF";
    for (unsigned char c : chunk) {
        hex.push_back(digits[c >> 4]);
        hex.push_back(digits[c & 15]);
    }
    std::string text =
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n9\n$HANDSEED\n5\n9000\n0\nENDSEC\n"
        "0\nSECTION\n2\nCLASSES\n"
        "0\nCLASS\n1\nMYENTITY\n2\nMyEntity\n3\nMine\n90\n0\n280\n0\n281\n1\n"
        "0\nCLASS\n1\nMYOBJECT\n2\nMyObject\n3\nMine\n90\n0\n280\n0\n281\n0\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n"
        "0\nMYENTITY\n5\n8001\n100\nAcDbEntity\n8\n0\n100\nMyEntityData\n1\nhello\n10\n1.5\n20\n2.5\n30\n0.0\n"
        "40\n3.25\n70\n7\n90\n123456\n";
    for (size_t at = 0; at < hex.size(); at += 254) text += "310\n" + hex.substr(at, 254) + "\n";
    text += "0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n"
            "0\nDICTIONARY\n5\nC\n100\nAcDbDictionary\n3\nMINE\n350\n8002\n"
            "0\nMYOBJECT\n5\n8002\n330\nC\n100\nMyObjectData\n1\nworld\n71\n-3\n";
    for (size_t at = 0; at < hex.size(); at += 254) text += "310\n" + hex.substr(at, 254) + "\n";
    text += "0\nENDSEC\n0\nEOF\n";
    return text;
}

std::vector<std::pair<int, std::string>> recordGroups(const std::vector<DxfCheckGroup>& groups, const std::string& name) {
    std::vector<std::pair<int, std::string>> record;
    const size_t at = test::findGroup(groups, 0, name);
    for (const DxfCheckGroup& g : test::recordAt(groups, at)) {
        if (g.code == 5 || g.code == 330 || g.code == 102 || g.code == 360) continue;  // handles and owners
        std::string value = g.value;
        value.erase(0, value.find_first_not_of(' '));
        record.emplace_back(g.code, value);
    }
    return record;
}

TEST_F(DxfObjectsTest, UnknownClassesAreWrittenBackWithTheirGroups) {
    std::string chunk(2000, '\0');
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = char(i * 7 + 3);
    const auto source = folder_ / "unknown.dxf";
    {
        std::ofstream out(source, std::ios::binary);
        out << unknownClassFile(chunk);
    }
    const test::DxfCheckResult original = test::checkDxfFile(source);
    Drawing* d = keep(rdOpenDrawing(source.c_str(), kOpenOrdinary, 0));
    ASSERT_NE(d, nullptr) << dbGetError();
    for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
        const std::vector<DxfCheckGroup> written = save(d, 7, format);
        for (const char* name : {"MYENTITY", "MYOBJECT"}) {
            std::vector<std::pair<int, std::string>> before = recordGroups(original.groups, name);
            std::vector<std::pair<int, std::string>> after = recordGroups(written, name);
            // The reals read back in the form the file gives them.
            for (auto* record : {&before, &after}) {
                for (auto& [code, value] : *record) {
                    if ((code >= 10 && code < 60)) value = std::to_string(std::stod(value));
                }
            }
            EXPECT_EQ(after, before) << name << " format " << int(format);
        }
        std::string bytes;
        for (const DxfCheckGroup& g : written) {
            if (g.code == 310 && test::findGroup(written, 0, "MYOBJECT") < written.size()) bytes += g.value;
        }
        EXPECT_GE(bytes.size(), 2 * 2 * chunk.size()) << "both 2,000-byte values are kept whole";
    }
}

// An XRECORD holds groups of every value form: the reader keeps each as a group item and the
// writer gives it back. Before 2000 a record has no cloning flag, so its first 280 is data; groups
// from 1000 on are data until an application name starts the extended data.
TEST_F(DxfObjectsTest, XrecordsKeepEveryGroupTheyHold) {
    const std::string data =
        "1\nfirst\n10\n1.5\n20\n-2.5\n30\n3.0\n40\n0.125\n70\n-7\n90\n70000\n280\n5\n290\n1\n"
        "300\nthree hundred\n310\n0A0B0C\n340\nC\n420\n16711680\n460\n100.0\n1000\nDSTYLE\n"
        "1002\n{\n1070\n278\n1002\n}\n70\n44\n";
    struct Case {
        int16_t version;
        std::string afterMarker;  // the cloning flag of a 2000 file, nothing before
    };
    const Case cases[] = {{7, "280\n1\n"}, {6, ""}};
    for (const Case& c : cases) {
        const std::string signature(kVersionSignatures[c.version]);
        const std::string file =
            "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + signature +
            "\n9\n$HANDSEED\n5\n9000\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nENDSEC\n"
            "0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n100\nAcDbDictionary\n3\nMINE\n350\n8002\n"
            "0\nXRECORD\n5\n8002\n330\nC\n100\nAcDbXrecord\n" +
            c.afterMarker + data + "1001\nACAD\n1000\nextended\n0\nENDSEC\n0\nEOF\n";
        const auto source = folder_ / ("xrecord" + signature + ".dxf");
        {
            std::ofstream out(source, std::ios::binary);
            out << file;
        }
        const test::DxfCheckResult original = test::checkDxfFile(source);
        Drawing* d = keep(rdOpenDrawing(source.c_str(), kOpenOrdinary, 0));
        ASSERT_NE(d, nullptr) << signature << " error " << dbGetError();
        auto normalised = [](std::vector<std::pair<int, std::string>> record) {
            for (auto& [code, value] : record) {
                if ((code >= 10 && code < 60) || (code >= 460 && code < 470)) value = std::to_string(std::stod(value));
            }
            return record;
        };
        const auto before = normalised(recordGroups(original.groups, "XRECORD"));
        for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
            const auto after = normalised(recordGroups(save(d, c.version, format), "XRECORD"));
            EXPECT_EQ(after, before) << signature << " format " << int(format);
        }
    }
}

} // namespace
} // namespace tracemill
