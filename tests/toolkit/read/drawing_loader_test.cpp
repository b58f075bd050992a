// The load driver: recognition, the stages and their error numbers, progress, the continue
// flag, handles after a load, and the cache of referenced drawings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/test_paths.h"
#include "tests/support/time_zone.h"
#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/table_access.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill::test {
namespace {

using LoaderTest = ToolkitTest;

std::string fixture(const char* name) { return (testDataDir() / "dxf" / name).string(); }

std::vector<int> gProgress;
std::vector<int> gCallbackReasons;
int gStopAt = -1;

void recordProgress(int percent) {
    gProgress.push_back(percent);
    if (percent == gStopAt) gSystemContext->continueFlag = 0;
}
void recordReason(int reason) { gCallbackReasons.push_back(reason); }

TEST_F(LoaderTest, MinimalFileOpensWithTheDefaultTables) {
    DrawingPtr drawing = loadFile(fixture("minimal.dxf"));
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(dbGetError(), 0);
    EXPECT_EQ(drawing->versionIndex, 4);
    EXPECT_EQ(drawing->sourceFormat, SourceFormat::AsciiDxf);
    EXPECT_EQ(names(drawing->linetypes), (std::vector<std::string>{"Continuous", "ByBlock", "ByLayer"}));
    EXPECT_EQ(names(drawing->layers), (std::vector<std::string>{"0"}));
    EXPECT_EQ(names(drawing->vports), (std::vector<std::string>{"*ACTIVE"}));
    EXPECT_EQ(names(drawing->appIds), (std::vector<std::string>{"ACAD"}));
    EXPECT_EQ(names(drawing->styles), (std::vector<std::string>{"Standard"}));
    EXPECT_EQ(names(drawing->dimStyles), (std::vector<std::string>{"Standard"}));
    EXPECT_EQ(names(drawing->blocks), (std::vector<std::string>{"*Model_Space", "*Paper_Space"}));
    EXPECT_TRUE(entities(drawing->modelSpace).empty());
    EXPECT_EQ(drawing->filePath, fixture("minimal.dxf"));
    EXPECT_EQ(drawing->load, nullptr);
}

TEST_F(LoaderTest, EachFailingStageLeavesItsErrorNumber) {
    struct Case {
        const char* name;
        std::string path;
        int error;
    } cases[] = {
        {"missing file", fixture("absent.dxf"), 3},
        {"not a drawing", fixture("no_section.dxf"), 5},
        {"AC1013 while not enabled", fixture("ac1013.dwg"), 286},
        {"no EOF", fixture("no_eof.dxf"), 30},
        {"letter in a code line", fixture("code_letter.dxf"), 299},
        {"line over the length limit", fixture("long_line.dxf"), 298},
    };
    for (const Case& c : cases) {
        Drawing* out = reinterpret_cast<Drawing*>(1);
        Drawing* drawing = ReadDrawingFile(c.path.c_str(), 1, &out, 0, nullptr);
        EXPECT_EQ(drawing, nullptr) << c.name;
        EXPECT_EQ(out, nullptr) << c.name << ": the caller's pointer never names a freed drawing";
        EXPECT_EQ(dbGetError(), c.error) << c.name;
        dbFreeDrawing(drawing);
    }
}

// A refusal names what was found: DWG files of versions this program does not read (older ones
// too) are refused as such (8), never as files that are no DXF (5); a damaged file that reuses
// a handle gives the number that says so. Every number has its meaning.
TEST_F(LoaderTest, RefusalsNameWhatWasFound) {
    const std::string zeros(64, '\0');
    struct Case {
        const char* name;
        std::string bytes;  // empty: the fixture of that name
        const char* suffix;
        int error;
        const char* meaning;  // a part of the meaning
    } cases[] = {
        {"DWG of release 1.4", "AC1.40" + zeros, ".dwg", 8, "a version this program does not read"},
        {"DWG of release 2.10", "AC2.10" + zeros, ".dwg", 8, "a version this program does not read"},
        {"DWG of release 2.21 named .dxf", "AC2.21" + zeros, ".dxf", 8, "a version this program does not read"},
        {"DWG 2004", "AC1018" + zeros, ".dwg", 8, "a version this program does not read"},
        {"duplicate_handle.dxf", "", ".dxf", 172, "already in use"},
        {"a text file", "This is a text file\nand not a drawing.\n", ".dwg", 5, "neither a DWG drawing nor a DXF file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.bytes, c.suffix);
        EXPECT_FALSE(loadFile(c.bytes.empty() ? fixture(c.name) : file.path()));
        EXPECT_EQ(dbGetError(), c.error);
        EXPECT_NE(std::string(dbErrorMeaning(c.error)).find(c.meaning), std::string::npos) << dbErrorMeaning(c.error);
    }
}

// A DXF file of a version newer than the reader knows loads as "AC1009" without its classes and
// objects; the load says so: the error callback hears a warning of its own, the context tells
// the version the file names and what was not kept, and the drawing keeps the same note.
TEST_F(LoaderTest, ANewerDxfLoadsAsAc1009WithAWarningOfWhatWasNotKept) {
    gCallbackReasons.clear();
    gSystemContext->errorCallback = recordReason;
    DrawingPtr drawing = loadFile(fixture("newer_version.dxf"));
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(dbGetError(), 0);
    EXPECT_EQ(gCallbackReasons, (std::vector<int>{kErrorReasonVersionFallback}));
    const VersionFallbackNote& warning = dbGetVersionFallbackWarning();
    EXPECT_EQ(warning.fileVersion, "AC1018");
    EXPECT_EQ(warning.classesNotKept, 2);
    EXPECT_EQ(warning.objectsNotKept, 3);
    EXPECT_EQ(warning.recordsNotKept(), 5);
    EXPECT_EQ(drawing->versionFallback.fileVersion, "AC1018");
    EXPECT_EQ(drawing->versionFallback.recordsNotKept(), 5);
    EXPECT_EQ(drawing->versionIndex, kVersionAC1009);
    EXPECT_EQ(drawing->header->acadver, "AC1009");
    // What it does hold is there: the layer and both entities on it.
    ASSERT_EQ(entities(drawing->modelSpace).size(), 2u);
    Handle walls;
    ASSERT_TRUE(table::findByName(drawing->layers, "WALLS", walls));
    for (const EntityRecord* entity : entities(drawing->modelSpace)) EXPECT_EQ(entity->header.layer, walls);

    // The next load, of a file read as it is, clears the warning and gives none.
    gCallbackReasons.clear();
    DrawingPtr minimal = loadFile(fixture("minimal.dxf"));
    ASSERT_TRUE(minimal) << dbGetError();
    EXPECT_TRUE(gCallbackReasons.empty());
    EXPECT_FALSE(dbGetVersionFallbackWarning().any());
    EXPECT_FALSE(minimal->versionFallback.any());
    // A file that names no version is read as "AC1009" too, but it lost nothing.
    DrawingPtr unnamed = loadFile(fixture("entities_only.dxf"));
    ASSERT_TRUE(unnamed) << dbGetError();
    EXPECT_FALSE(unnamed->versionFallback.any());
    EXPECT_TRUE(gCallbackReasons.empty());
}

TEST_F(LoaderTest, BadLinesCallTheErrorCallbackWithSix) {
    gCallbackReasons.clear();
    gSystemContext->errorCallback = recordReason;
    EXPECT_FALSE(loadFile(fixture("code_letter.dxf")));
    EXPECT_FALSE(loadFile(fixture("long_line.dxf")));
    EXPECT_EQ(gCallbackReasons, (std::vector<int>{6, 6}));
}

TEST_F(LoaderTest, MissingSectionsAreNoError) {
    DrawingPtr drawing = loadFile(fixture("entities_only.dxf"));
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(drawing->versionIndex, 4) << "a DXF without a version is read as AC1009";
    EXPECT_EQ(drawing->header->acadver, "AC1009");
    EXPECT_EQ(names(drawing->layers), (std::vector<std::string>{"0"}));
}

TEST_F(LoaderTest, ACommentedHeadWithoutSectionIsAccepted) {
    DxfGroups comments;
    for (int i = 0; i < 30; ++i) comments.push_back({999, std::string(100, 'c')});
    const std::string text = dxfText(comments) + dxfText({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "0"},
                                                          {0, "ENDSEC"}, {0, "EOF"}});
    ASSERT_EQ(text.find("SECTION") > 2000, true);
    DrawingPtr drawing = loadText(text);
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(entities(drawing->modelSpace).size(), 1u);
}

TEST_F(LoaderTest, ProgressRisesFromZeroToOneHundred) {
    gProgress.clear();
    gStopAt = -1;
    dbSetLoadProgress(recordProgress);
    DrawingPtr drawing = loadFile(fixture("progress.dxf"));
    ASSERT_TRUE(drawing) << dbGetError();
    ASSERT_GE(gProgress.size(), 14u);
    const std::vector<int> tables(gProgress.begin(), gProgress.begin() + 12);
    EXPECT_EQ(tables, (std::vector<int>{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 46}));
    EXPECT_TRUE(std::is_sorted(gProgress.begin(), gProgress.end()));
    EXPECT_EQ(gProgress.back(), 100);
    EXPECT_EQ(gProgress[gProgress.size() - 2], 96);
    // The space pass reports within 46 to 71; the blocks (three and the two layout blocks)
    // report 71 + 25 i / 5.
    const auto space = std::find(gProgress.begin(), gProgress.end(), 76);
    ASSERT_NE(space, gProgress.end());
    EXPECT_GT(space - gProgress.begin(), 13) << "the space pass reported its progress";
    EXPECT_TRUE(std::all_of(gProgress.begin() + 12, space, [](int p) { return p >= 46 && p <= 71; }));
    for (int blockStep : {81, 86, 91}) {
        EXPECT_NE(std::find(gProgress.begin(), gProgress.end(), blockStep), gProgress.end()) << blockStep;
    }
}

TEST_F(LoaderTest, ClearingTheContinueFlagStopsTheLoadAtTheNextStage) {
    gProgress.clear();
    gStopAt = 12;  // reported after the layer pass
    dbSetLoadProgress(recordProgress);
    Drawing* out = nullptr;
    Drawing* drawing = ReadDrawingFile(fixture("progress.dxf").c_str(), 1, &out, 0, nullptr);
    EXPECT_EQ(drawing, nullptr);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(dbGetError(), 47) << "the class pass is the next stage";
    EXPECT_EQ(gProgress.back(), 12);
    gStopAt = -1;
}

TEST_F(LoaderTest, TheHandleSeedEndsPastTheLargestHandle) {
    const std::string text = dxfText({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1014"},
                                      {9, "$HANDSEED"}, {5, "20"}, {0, "ENDSEC"},
                                      {0, "SECTION"}, {2, "ENTITIES"},
                                      {0, "LINE"}, {5, "4A0"}, {8, "0"},
                                      {0, "ENDSEC"}, {0, "EOF"}});
    DrawingPtr drawing = loadText(text);
    ASSERT_TRUE(drawing) << dbGetError();
    ASSERT_EQ(entities(drawing->modelSpace).size(), 1u);
    EXPECT_EQ(entities(drawing->modelSpace)[0]->header.handle, Handle(0x4A0));
    EXPECT_GT(drawing->handleSeed, Handle(0x4A0));
    EXPECT_EQ(drawing->header->handseed, drawing->handleSeed);
}

// Files without handles (or whose version had to be assumed) give every entity a new handle;
// R12 files with handles keep theirs.
TEST_F(LoaderTest, NewHandlesFollowTheVersionAndTheHandlingFlag) {
    auto lineHandle = [](const std::string& version, const std::string& handling) {
        DxfGroups header{{0, "SECTION"}, {2, "HEADER"}};
        if (!version.empty()) header.insert(header.end(), {{9, "$ACADVER"}, {1, version}});
        header.insert(header.end(), {{9, "$HANDLING"}, {70, handling}, {0, "ENDSEC"}});
        DxfGroups rest{{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {5, "7F0"}, {8, "0"},
                       {0, "ENDSEC"}, {0, "EOF"}};
        header.insert(header.end(), rest.begin(), rest.end());
        DrawingPtr drawing = loadText(dxfText(header));
        EXPECT_TRUE(drawing) << dbGetError();
        return drawing ? entities(drawing->modelSpace).at(0)->header.handle : Handle();
    };
    EXPECT_EQ(lineHandle("AC1009", "1"), Handle(0x7F0));
    EXPECT_NE(lineHandle("AC1009", "0"), Handle(0x7F0));
    EXPECT_EQ(lineHandle("AC1006", "1"), Handle(0x7F0));
    EXPECT_NE(lineHandle("AC1004", "1"), Handle(0x7F0));
    EXPECT_NE(lineHandle("", "1"), Handle(0x7F0)) << "a version the header does not name";
}

// Dimension styles and the header name arrowheads that files before R2000 do not store as
// blocks; the end of the load builds the standard ones under the names given.
TEST_F(LoaderTest, ArrowheadsNamedButNotStoredAreBuiltAtTheEnd) {
    const DxfGroups header{{9, "$ACADVER"}, {1, "AC1009"}, {9, "$DIMBLK"}, {1, "ARCHTICK"}, {9, "$DIMBLK1"}, {1, "NOSUCH"}};
    const DxfGroups tables{{0, "TABLE"}, {2, "DIMSTYLE"}, {70, "1"},
                           {0, "DIMSTYLE"}, {2, "ARROWS"}, {70, "0"}, {5, "_DOT"}, {6, "MISSING"}, {7, "OPEN"},
                           {0, "ENDTAB"}};
    const DxfGroups blocks{{0, "BLOCK"}, {8, "0"}, {2, "_DOT"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                           {0, "ENDBLK"}, {8, "0"}};
    DxfGroups groups{{0, "SECTION"}, {2, "HEADER"}};
    groups.insert(groups.end(), header.begin(), header.end());
    groups.push_back({0, "ENDSEC"});
    for (const auto& [name, body] : {std::pair{"TABLES", tables}, std::pair{"BLOCKS", blocks}}) {
        groups.insert(groups.end(), {{0, "SECTION"}, {2, name}});
        groups.insert(groups.end(), body.begin(), body.end());
        groups.push_back({0, "ENDSEC"});
    }
    groups.push_back({0, "EOF"});
    const std::string text = dxfText(groups);

    for (const int16_t build : {1, 0}) {
        SCOPED_TRACE(build ? "arrowBlocks on" : "arrowBlocks off");
        gSystemContext->arrowBlocks = build;
        DrawingPtr drawing = loadText(text);
        ASSERT_TRUE(drawing) << dbGetError();
        EXPECT_EQ(dbGetError(), 0);
        const DimStyleRecord* style = nullptr;
        for (const auto& node : drawing->dimStyles) {
            if (node.record.name == "ARROWS") style = &node.record;
        }
        ASSERT_NE(style, nullptr);
        Handle dot, open, archTick;
        ASSERT_EQ(dbBlockFindByName(drawing.get(), "_DOT", dot), 1);
        EXPECT_EQ(style->dimblk, dot) << "a block of the file";
        EXPECT_TRUE(style->dimblk1.isNull()) << "no standard arrowhead has that name";
        EXPECT_TRUE(drawing->header->arrowBlocks.dimblk1.isNull());
        EXPECT_TRUE(drawing->deferredArrowheads.empty());
        if (build) {
            ASSERT_EQ(dbBlockFindByName(drawing.get(), "OPEN", open), 1);
            EXPECT_EQ(style->dimblk2, open);
            EXPECT_GT(entities(dbLookupBlock(*drawing, open)->entityList.get()).size(), 2u) << "BLOCK, the shape, ENDBLK";
            ASSERT_EQ(dbBlockFindByName(drawing.get(), "ARCHTICK", archTick), 1);
            EXPECT_EQ(drawing->header->arrowBlocks.dimblk, archTick);
        } else {
            EXPECT_TRUE(style->dimblk2.isNull());
            EXPECT_TRUE(drawing->header->arrowBlocks.dimblk.isNull());
            EXPECT_EQ(dbBlockFindByName(drawing.get(), "OPEN", open), 0);
        }
    }
}

// Before R2000 one fit value held both the arrow fit and the text movement.
TEST_F(LoaderTest, OldFitValuesAreSplitAtTheEnd) {
    auto fits = [](const std::string& version) {
        const std::string text = dxfText({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, version},
                                          {9, "$DIMFIT"}, {70, "5"}, {0, "ENDSEC"},
                                          {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "DIMSTYLE"}, {70, "2"},
                                          {0, "DIMSTYLE"}, {105, "30"}, {2, "FOUR"}, {70, "0"}, {287, "4"},
                                          {0, "DIMSTYLE"}, {105, "31"}, {2, "TWO"}, {70, "0"}, {287, "2"},
                                          {0, "ENDTAB"}, {0, "ENDSEC"}, {0, "EOF"}});
        DrawingPtr drawing = loadText(text);
        EXPECT_TRUE(drawing) << dbGetError();
        std::vector<int> out;
        if (!drawing) return out;
        out = {drawing->header->dimatfit, drawing->header->dimtmove};
        for (const auto& node : drawing->dimStyles) {
            if (node.record.name == "FOUR" || node.record.name == "TWO") {
                out.insert(out.end(), {node.record.dimatfit, node.record.dimtmove});
            }
        }
        return out;
    };
    EXPECT_EQ(fits("AC1014"), (std::vector<int>{3, 2, 3, 1, 2, 0}));
    EXPECT_EQ(fits("AC1015"), (std::vector<int>{5, 0, 4, 0, 2, 0})) << "R2000 files keep the two apart";
}

// Files before R2000 keep only the local update time: the UTC one is computed from it.
TEST_F(LoaderTest, TheUtcUpdateTimeFollowsFromTheLocalOneWhenTheFileLacksIt) {
    const TimeZone zone("CET-1");  // UTC+1 all year
    auto updateTimes = [](const DxfGroups& dates) {
        DxfGroups groups{{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1014"}};
        groups.insert(groups.end(), dates.begin(), dates.end());
        groups.insert(groups.end(), {{0, "ENDSEC"}, {0, "EOF"}});
        DrawingPtr drawing = loadText(dxfText(groups));
        EXPECT_TRUE(drawing) << dbGetError();
        return drawing ? std::pair{drawing->header->tdupdate, drawing->header->tduupdate} : std::pair<HeaderDate, HeaderDate>{};
    };
    const HeaderDate noon{2459037, 12 * 3600 * 1000};
    const HeaderDate elevenUtc{2459037, 11 * 3600 * 1000};
    EXPECT_EQ(updateTimes({{9, "$TDUPDATE"}, {40, "2459037.5"}}), std::pair(noon, elevenUtc));
    EXPECT_EQ(updateTimes({{9, "$TDUPDATE"}, {40, "2459037.5"}, {9, "$TDUUPDATE"}, {40, "2459037.25"}}),
              std::pair(noon, HeaderDate{2459037, 6 * 3600 * 1000}))
        << "a stored UTC time stays";
    EXPECT_EQ(updateTimes({}), std::pair(HeaderDate{}, HeaderDate{})) << "no time at all";
}

TEST_F(LoaderTest, ReferencedDrawingsAreOpenedOncePerPath) {
    DrawingPtr host = loadFile(fixture("minimal.dxf"));
    ASSERT_TRUE(host);
    const std::string path = fixture("progress.dxf");
    Drawing* first = rdOpenXrefDrawing(host.get(), path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(rdOpenXrefDrawing(host.get(), path.c_str()), first);
    const std::string otherSpelling = (testDataDir() / "dxf" / "." / "progress.dxf").string();
    Drawing* second = rdOpenXrefDrawing(host.get(), otherSpelling.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(rdOpenXrefDrawing(host.get(), fixture("no_eof.dxf").c_str()), nullptr);
    EXPECT_EQ(host->referencedDrawings.size(), 2u);
}

} // namespace
} // namespace tracemill::test
