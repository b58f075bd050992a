// The save entry: the version check, the output file and its failures, the changes a version
// needs made for the length of the save only.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "round_trip.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/handle_tree.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/out_file.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/write/byte_output.h"
#include "toolkit_fixture.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

std::vector<int>& replies() {
    static std::vector<int> seen;
    return seen;
}
int gReply = 0;

class SaveDriverTest : public test::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        replies().clear();
    }
    void TearDown() override {
        dbSetOutFileWriteLimit(-1);
        for (Drawing* d : drawings_) dbFreeDrawing(d);
        ToolkitTest::TearDown();
    }
    Drawing* make(uint16_t version) {
        Drawing* d = dbCreateDrawing(nullptr, nullptr, 0, version);
        drawings_.push_back(d);
        return d;
    }
    Drawing* load(const std::filesystem::path& path) {
        Drawing* d = rdOpenDrawing(path.c_str(), kOpenOrdinary, 0);
        if (d) drawings_.push_back(d);
        return d;
    }
    ObjectRecord newObject(Drawing* d, uint16_t type, Handle owner) {
        ObjectRecord object;
        object.header.type = type;
        dbInitObject(d, object);
        object.header.handle = dbNewHandle(*d);
        object.header.owner = owner;
        object.header.reactors = {owner};
        return object;
    }
    // An "AC1014" drawing with an external-reference block, two inserts of it and the
    // "ACAD_BLKREFS" entry its block keeps in that version.
    Drawing* drawingWithXref() {
        Drawing* d = make(6);
        BlockRecord xref;
        xref.name = "XREF1";
        xref.flags = kBlockExternalReference;
        xref.xrefPath = "C:\\xref\\part.dwg";
        xref.handle = dbNewHandle(*d);
        EXPECT_EQ(dbBlockAdd(d, xref), 1);
        for (int i = 0; i < 2; ++i) {
            EntityRecord insert;
            insert.header.type = kEntityInsert;
            dbInitEntity(d, insert);
            insert.header.handle = dbNewHandle(*d);
            insert.bodyAs<InsertBody>().block = xref.handle;
            EXPECT_EQ(dbAppendEntity(d, d->modelSpace, insert), 1);
        }
        ObjectRecord dictionary = newObject(d, kObjectDictionary, xref.handle);
        ObjectRecord buffer = newObject(d, dbAddDefaultClass(d->classes, ClassKind::IdBuffer), dictionary.header.handle);
        BlockRecord stored;
        EXPECT_EQ(dbBlockGet(d, xref.handle, stored), 1);
        buffer.bodyAs<IdBufferBody>().ids = stored.insertReferences;
        dictionary.bodyAs<DictionaryBody>().entries = {{"ACAD_BLKREFS", buffer.header.handle}};
        stored.extensionDictionary = dictionary.header.handle;
        EXPECT_EQ(dbAddObject(d, dictionary), 1);
        EXPECT_EQ(dbAddObject(d, buffer), 1);
        EXPECT_EQ(dbBlockUpdate(d, stored), 1);
        return d;
    }
    std::vector<Drawing*> drawings_;
    test::TemporaryFolder folder_;
};

TEST_F(SaveDriverTest, VersionTheDrawingCannotTakeFailsBeforeAnyFile) {
    Drawing* d = make(6);
    const auto path = folder_ / "new.dxf";
    EXPECT_EQ(test::saveAs(d, path, kSaveFormatAsciiDxf, 7), 0);
    EXPECT_EQ(dbGetError(), kErrorSaveVersion);
    EXPECT_TRUE(folder_.files().empty());
    for (int16_t version : {int16_t(-1), int16_t(8), int16_t(300)}) {
        EXPECT_EQ(test::saveAs(d, path, kSaveFormatAsciiDxf, version), 0) << version;
        EXPECT_EQ(dbGetError(), kErrorSaveVersion);
    }
    EXPECT_TRUE(folder_.files().empty());
    // A drawing with no recorded version may be saved as "AC1015".
    d->creationVersion = kCreationVersionLoaded;
    EXPECT_EQ(test::saveAs(d, path, kSaveFormatAsciiDxf, 7), 1) << dbGetError();
}

TEST_F(SaveDriverTest, APathThatCannotBeCreatedFailsWithThree) {
    Drawing* d = make(7);
    const test::DumpLines before = test::dumpLines(*d);
    EXPECT_EQ(test::saveAs(d, folder_ / "missing" / "out.dxf", kSaveFormatAsciiDxf, 7), 0);
    EXPECT_EQ(dbGetError(), kErrorSaveOpen);
    EXPECT_EQ(test::dumpLines(*d), before);
}

TEST_F(SaveDriverTest, RoundTripRecordIsHiddenFromOtherVersionsAndComesBackInItsPlace) {
    Drawing* d = make(7);
    ObjectRecord* root = dbNamedObjectDictionary(*d);
    ASSERT_NE(root, nullptr);
    const Handle rootHandle = root->header.handle;
    ObjectRecord record = newObject(d, dbAddDefaultClass(d->classes, ClassKind::Xrecord), rootHandle);
    const Handle recordHandle = record.header.handle;
    ASSERT_EQ(dbAddObject(d, record), 1);
    auto& entries = dbNamedObjectDictionary(*d)->bodyAs<DictionaryBody>().entries;
    entries.insert(entries.begin() + 1, DictionaryEntry{"ACDBHEADERROUNDTRIPXREC", recordHandle});
    const test::DumpLines before = test::dumpLines(*d);
    const std::string hex = dbHandleToHex(recordHandle);

    ASSERT_EQ(test::saveAs(d, folder_ / "same.dxf", kSaveFormatAsciiDxf, 7), 1);
    test::DxfCheckResult same = test::checkDxfFile(folder_ / "same.dxf", "AC1015");
    EXPECT_LT(test::findGroup(same.groups, 3, "ACDBHEADERROUNDTRIPXREC"), same.groups.size());

    ASSERT_EQ(test::saveAs(d, folder_ / "r14.dxf", kSaveFormatAsciiDxf, 6), 1);
    test::DxfCheckResult r14 = test::checkDxfFile(folder_ / "r14.dxf", "AC1014");
    EXPECT_TRUE(r14.ok()) << r14.report();
    EXPECT_EQ(test::findGroup(r14.groups, 3, "ACDBHEADERROUNDTRIPXREC"), r14.groups.size());
    const size_t headerEnd = test::findGroup(r14.groups, 0, "ENDSEC");
    EXPECT_EQ(test::findGroup(r14.groups, 5, hex, headerEnd), r14.groups.size()) << "the record's object is left out too";

    EXPECT_EQ(test::dumpLines(*d), before) << "the entry is back where it was";
    EXPECT_NE(dbHandleTreeFind(d->handleIndex, recordHandle), nullptr);
    EXPECT_EQ(dbNamedObjectDictionary(*d)->bodyAs<DictionaryBody>().entries[1].name, "ACDBHEADERROUNDTRIPXREC");
}

TEST_F(SaveDriverTest, DependentNameBudgets) {
    Drawing* d = make(4);
    BlockRecord xref;
    xref.name = "XR";
    xref.flags = kBlockExternalReference;
    xref.handle = dbNewHandle(*d);
    ASSERT_EQ(dbBlockAdd(d, xref), 1);
    struct Row {
        std::string layer;
        int32_t budget;
    };
    const Row rows[] = {{"XR|" + std::string(27, 'a'), 4}, {"XR|" + std::string(40, 'b'), 4}, {"XR|WALLS", 25}};
    for (const Row& row : rows) {
        OutputContext output;
        for (auto& layer : d->layers) {
            if (layer.record.name.find('|') != std::string::npos) layer.record.name = row.layer;
        }
        if (std::none_of(d->layers.begin(), d->layers.end(),
                         [](const auto& l) { return l.record.name.find('|') != std::string::npos; })) {
            LayerRecord layer;
            layer.name = row.layer;
            layer.handle = dbNewHandle(*d);
            ASSERT_EQ(dbLayerAdd(d, layer), 1);
        }
        wrBuildXrefNameBudgets(*d, output);
        ASSERT_EQ(output.xrefNameBudgets.size(), 1u) << row.layer;
        EXPECT_EQ(output.xrefNameBudgets[0].block, xref.handle);
        EXPECT_EQ(output.xrefNameBudgets[0].budget, row.budget) << row.layer;
    }
    const test::DumpLines before = test::dumpLines(*d);
    ASSERT_EQ(test::saveAs(d, folder_ / "r12.dxf", kSaveFormatAsciiDxf, 4), 1) << dbGetError();
    EXPECT_EQ(test::dumpLines(*d), before) << "budgets live in the save, not in the style list";
}

TEST_F(SaveDriverTest, ASaveNeverAltersTheDrawing) {
    Drawing* d = drawingWithXref();
    const test::DumpLines before = test::dumpLines(*d);
    const Handle seed = d->handleSeed;
    for (int16_t version = 0; version <= 7; ++version) {
        for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
            const auto path = folder_ / ("out" + std::to_string(version) + "." + std::to_string(format));
            const int saved = test::saveAs(d, path, format, version);
            EXPECT_EQ(saved, version == 7 ? 0 : 1) << version;
            EXPECT_EQ(test::dumpLines(*d), before) << "version " << version << " format " << int(format);
            EXPECT_EQ(d->handleSeed, seed);
            EXPECT_EQ(test::saveAs(d, folder_ / "no" / "such.dxf", format, version), 0);
            EXPECT_EQ(test::dumpLines(*d), before) << "failed save, version " << version;
        }
    }
}

TEST_F(SaveDriverTest, XrefEntriesOfAC1014ComeAndGoWithTheVersion) {
    Drawing* d = drawingWithXref();
    // Saved as another version the block's ACAD_BLKREFS entry is left out...
    ASSERT_EQ(test::saveAs(d, folder_ / "r13.dxf", kSaveFormatAsciiDxf, 5), 1);
    const test::DxfCheckResult r13 = test::checkDxfFile(folder_ / "r13.dxf", "AC1012");
    EXPECT_EQ(test::findGroup(r13.groups, 3, "ACAD_BLKREFS"), r13.groups.size());
    // ...and a loaded "AC1015" drawing saved as "AC1014" gets it, under 360, with its inserts.
    d->versionIndex = 7;
    BlockRecord xref;
    Handle xrefHandle;
    ASSERT_EQ(dbBlockFindByName(d, "XREF1", xrefHandle), 1);
    ASSERT_EQ(dbBlockGet(d, xrefHandle, xref), 1);
    const test::DumpLines before = test::dumpLines(*d);
    ObjectRecord dictionary;
    ASSERT_EQ(dbObjectGet(d, xref.extensionDictionary, dictionary), 1);
    dbDeleteObject(d, dictionary.bodyAs<DictionaryBody>().entries[0].handle);
    dictionary.bodyAs<DictionaryBody>().entries.clear();
    ASSERT_EQ(dbUpdateObject(d, dictionary), 1);
    const test::DumpLines withoutEntry = test::dumpLines(*d);
    ASSERT_EQ(test::saveAs(d, folder_ / "r14.dxf", kSaveFormatAsciiDxf, 6), 1);
    const test::DxfCheckResult r14 = test::checkDxfFile(folder_ / "r14.dxf", "AC1014");
    EXPECT_TRUE(r14.ok()) << r14.report();
    const size_t entry = test::findGroup(r14.groups, 3, "ACAD_BLKREFS");
    ASSERT_LT(entry + 1, r14.groups.size());
    EXPECT_EQ(r14.groups[entry + 1].code, 360);
    const size_t buffer = test::findGroup(r14.groups, 0, "IDBUFFER");
    ASSERT_LT(buffer, r14.groups.size());
    const auto record = test::recordAt(r14.groups, buffer);
    const auto marker = std::find_if(record.begin(), record.end(),
                                     [](const test::DxfCheckGroup& g) { return g.value == "AcDbIdBuffer"; });
    EXPECT_EQ(std::count_if(marker, record.end(), [](const test::DxfCheckGroup& g) { return g.code == 330; }), 2)
        << "the two inserts";
    EXPECT_EQ(test::dumpLines(*d), withoutEntry);
    EXPECT_NE(before, withoutEntry);
}

TEST_F(SaveDriverTest, LoadedDrawingWithoutLayoutsGetsThemForA2000SaveOnly) {
    Drawing* d = make(6);
    d->creationVersion = kCreationVersionLoaded;
    const test::DumpLines before = test::dumpLines(*d);
    const Handle seed = d->handleSeed;
    ASSERT_EQ(test::saveAs(d, folder_ / "out.dxf", kSaveFormatAsciiDxf, 7), 1) << dbGetError();
    EXPECT_EQ(test::dumpLines(*d), before);
    EXPECT_EQ(d->handleSeed, seed);
    Drawing* reloaded = load(folder_ / "out.dxf");
    ASSERT_NE(reloaded, nullptr) << dbGetError();
    std::vector<std::string> layouts;
    for (const ObjectNode& node : reloaded->objects) {
        if (const auto* layout = node.record.body.getIf<LayoutBody>()) layouts.push_back(layout->name);
    }
    std::sort(layouts.begin(), layouts.end());
    EXPECT_EQ(layouts, (std::vector<std::string>{"Layout1", "Model"}));
}

TEST_F(SaveDriverTest, ALoadedDrawingWithoutObjectsSavesAs2000) {
    const auto source = folder_ / "bare.dxf";
    {
        std::ofstream out(source, std::ios::binary);
        out << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
               "0\nLINE\n5\n100\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n0\nENDSEC\n0\nEOF\n";
    }
    Drawing* d = load(source);
    ASSERT_NE(d, nullptr) << dbGetError();
    const test::DumpLines before = test::dumpLines(*d);
    for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
        const auto path = folder_ / ("out." + std::to_string(format));
        ASSERT_EQ(test::saveAs(d, path, format, 7), 1) << dbGetError();
        const test::DxfCheckResult result = test::checkDxfFile(path, "AC1015");
        EXPECT_TRUE(result.ok()) << result.report();
        EXPECT_NE(load(path), nullptr);
    }
    EXPECT_EQ(test::dumpLines(*d), before);
}

TEST_F(SaveDriverTest, ProgressRunsFromZeroToHundred) {
    static std::vector<int> seen;
    seen.clear();
    dbSetSaveProgress([](int percent) { seen.push_back(percent); });
    Drawing* d = make(7);
    ASSERT_EQ(test::saveAs(d, folder_ / "out.dxf", kSaveFormatAsciiDxf, 7), 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

TEST_F(SaveDriverTest, WriteFailureKeepsTheTargetAndLeavesNoTemporaryFile) {
    Drawing* d = make(7);
    const auto target = folder_ / "drawing.dxf";
    const std::string original = "the drawing as it was\n";
    struct Row {
        const char* name;
        int reply;
        std::vector<int> reasons;
    };
    const Row rows[] = {
        {"answer 0 closes the file", kWriteReplyClose, {kErrorReasonWriteFailed, kErrorReasonOutputClosed}},
        {"answer 2 gives up", kWriteReplyGiveUp, {kErrorReasonWriteFailed}},
    };
    for (const Row& row : rows) {
        writeText(target, original);
        replies().clear();
        gReply = row.reply;
        gSystemContext->errorReplyCallback = [](int reason) {
            replies().push_back(reason);
            return gReply;
        };
        for (uint8_t format : {kSaveFormatAsciiDxf, kSaveFormatBinaryDxf}) {
            replies().clear();
            dbSetOutFileWriteLimit(3000);
            EXPECT_EQ(test::saveAs(d, target, format, 7), 0) << row.name;
            dbSetOutFileWriteLimit(-1);
            EXPECT_EQ(dbGetError(), kErrorWriteFailed) << row.name;
            EXPECT_EQ(replies(), row.reasons) << row.name;
            const std::vector<uint8_t> bytes = test::readFileBytes(target);
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), original) << row.name;
            EXPECT_EQ(folder_.files(), std::vector<std::string>{"drawing.dxf"}) << row.name;
        }
    }
    // Without an answering callback the plain callback hears 3 and the save gives up.
    gSystemContext->errorReplyCallback = nullptr;
    static int plain;
    plain = 0;
    gSystemContext->errorCallback = [](int reason) {
        if (reason == kErrorReasonWriteFailed) ++plain;
    };
    dbSetOutFileWriteLimit(100);
    EXPECT_EQ(test::saveAs(d, target, kSaveFormatAsciiDxf, 7), 0);
    dbSetOutFileWriteLimit(-1);
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(folder_.files(), std::vector<std::string>{"drawing.dxf"});
}

TEST_F(SaveDriverTest, ARetriedWriteCompletesTheFile) {
    Drawing* d = make(7);
    const auto target = folder_ / "drawing.dxf";
    gSystemContext->errorReplyCallback = [](int reason) {
        replies().push_back(reason);
        dbSetOutFileWriteLimit(-1);  // the host made room
        return 1;
    };
    dbSetOutFileWriteLimit(5000);
    ASSERT_EQ(test::saveAs(d, target, kSaveFormatAsciiDxf, 7), 1) << dbGetError();
    EXPECT_EQ(replies(), std::vector<int>{kErrorReasonWriteFailed});
    const test::DxfCheckResult result = test::checkDxfFile(target, "AC1015");
    EXPECT_TRUE(result.ok()) << result.report();
}

// The folder of a writer test that ended without its fixture (a crash, a time-out) is removed by
// the next test that makes one; a running process keeps its folders.
TEST(WriterTestFolders, FoldersOfEndedProcessesAreRemoved) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const auto temporary = std::filesystem::temp_directory_path();
    const auto ended = temporary / ("tm_write_" + std::to_string(child) + "_Crashed_Case");
    const auto running = temporary / ("tm_write_" + std::to_string(::getpid()) + "_Running_Case");
    for (const auto& folder : {ended, running}) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "first.7.1") << "0\nEOF\n";
    }
    {
        test::TemporaryFolder folder;
        EXPECT_TRUE(std::filesystem::exists(folder.path()));
    }
    EXPECT_FALSE(std::filesystem::exists(ended));
    EXPECT_TRUE(std::filesystem::exists(running));
    std::filesystem::remove_all(running);
}

} // namespace
} // namespace tracemill
