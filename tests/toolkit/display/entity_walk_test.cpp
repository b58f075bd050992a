// The entity walk: draw order from SORTENTSTABLE, the chain of external references, external
// references drawn inside their host, and the clip stacks of block and reference clipping.
#include "toolkit/display/entity_walk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "test_paths.h"
#include "toolkit/core/file_finder.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/deferred_reference.h"
#include "toolkit/display/draw_order.h"
#include "toolkit/display/entity_begin_info.h"
#include "toolkit/display/reference_chain.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill {
namespace {

using Lines = std::vector<std::string>;

TEST(ReferenceChain, PathsMatchWholeAndWithoutCase) {
    ReferenceChain chain;
    genChainAddPath(chain, "C:\\drawings\\AB.DWG");
    const struct {
        const char* path;
        int found;
    } cases[] = {
        {"C:\\drawings\\AB.DWG", 1},
        {"c:/Drawings/ab.dwg", 1},
        {"C:\\drawings\\.\\AB.DWG", 1},
        {"C:\\drawings\\B.DWG", 0},
        {"B.DWG", 0},
        {"C:\\drawings\\AB.DWG.bak", 0},
        {"C:\\", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(genChainHasPath(chain, c.path), c.found) << c.path;
    ReferenceChain copy;
    genChainCopy(chain, copy);
    genChainAddPath(copy, "X.DXF");
    EXPECT_EQ(genChainHasPath(chain, "X.DXF"), 0) << "a copy grows on its own";
    EXPECT_EQ(genChainHasPath(copy, "x.dxf"), 1);
}

TEST(ReferenceChain, AnExistingFileMatchesByItsResolvedPath) {
    const std::filesystem::path file = test::testDataDir() / "display" / "xref_part.dxf";
    ReferenceChain chain;
    genChainAddPath(chain, file.string());
    const std::filesystem::path dotted = file.parent_path() / ".." / "display" / "XREF_PART.DXF";
    EXPECT_EQ(genChainHasPath(chain, dotted.string()), 1);
}

TEST(DeferredReferences, TakenFirstOrByName) {
    std::vector<DeferredReference> list(3);
    list[0].fileName = "a.dwg";
    list[1].fileName = "b.dwg";
    list[2].fileName = "c.dwg";
    DeferredReference out;
    EXPECT_EQ(genFindDeferredReference(list, out, "c.dwg"), 1);
    EXPECT_EQ(out.fileName, "c.dwg");
    EXPECT_EQ(genFindDeferredReference(list, out, "C.DWG"), 0) << "names compare byte by byte";
    EXPECT_EQ(genTakeDeferredReference(list, out), 1);
    EXPECT_EQ(out.fileName, "a.dwg");
    EXPECT_EQ(genTakeDeferredReference(list, out), 1);
    EXPECT_EQ(genTakeDeferredReference(list, out), 0);
}

class EntityWalkTest : public test::DisplayTest {
protected:
    // Gives the model-space block a SORTENTSTABLE of these pairs.
    void sortModelSpace(const std::vector<SortEntry>& pairs) {
        SortentsTableBody table;
        table.entries = pairs;
        const Handle tableHandle = addObject(dbClassSortentsTable(drawing->classes), table);
        DictionaryBody dictionary;
        dictionary.entries.push_back({"ACAD_SORTENTS", tableHandle});
        const Handle dictionaryHandle = addObject(kObjectDictionary, dictionary);
        dbLookupBlock(*drawing, drawing->handles.modelSpaceBlock)->record.extensionDictionary = dictionaryHandle;
    }
};

TEST_F(EntityWalkTest, TheDrawOrderTableKeepsThePairsOfEntitiesInTheBlock) {
    const Handle a = add(lineFrom({1, 1, 0}, {1, 2, 0}));
    const Handle b = add(lineFrom({2, 1, 0}, {2, 2, 0}));
    sortModelSpace({{b, Handle(0x9000)}, {Handle(0x7777), Handle(0x1)}, {a, Handle(0x9001)}});
    DrawOrderTable table;
    ASSERT_EQ(genBuildDrawOrderTable(drawing, drawing->modelSpace, drawing->handles.modelSpaceBlock, table), 1);
    ASSERT_EQ(table.entries.size(), 2u) << "the pair of a deleted entity is dropped";
    EXPECT_EQ(table.entries[0].entity, a);
    EXPECT_EQ(table.entries[1].entity, b);
    genFreeDrawOrderTable(table);
    EXPECT_TRUE(table.entries.empty());
    EXPECT_EQ(genBuildDrawOrderTable(drawing, drawing->modelSpace, Handle(0x7777), table), 0);
    EXPECT_EQ(dbGetError(), kErrorBlockNotFound);
}

TEST_F(EntityWalkTest, EntitiesAreDrawnInSortHandleOrder) {
    const Handle a = add(lineFrom({1, 1, 0}, {1, 2, 0}));
    add(lineFrom({2, 1, 0}, {2, 2, 0}));
    const Handle c = add(lineFrom({3, 1, 0}, {3, 2, 0}));
    // c sorts first, a last; b keeps its own handle, between them.
    sortModelSpace({{a, Handle(0xFFFF00)}, {c, Handle(0x1)}});
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 3 1", "lineTo 3 2", "moveTo 2 1", "lineTo 2 2", "moveTo 1 1",
                                    "lineTo 1 2"}));
}

TEST_F(EntityWalkTest, AttributesFollowTheirInsertWhateverTheirHandles) {
    const Handle block = addBlock("B");
    add(lineFrom({5, 5, 0}, {6, 6, 0}), dbGetBlockEntityList(drawing, block));
    EntityRecord insert = insertOf(block, {0, 0, 0});
    insert.bodyAs<InsertBody>().attributesFollow = 1;
    const Handle insertHandle = add(insert);
    EntityRecord attribute = entity(kEntityAttribute);
    attribute.header.handle = Handle(0xFFFFFF);  // sorts last of all by its own handle
    add(attribute);
    add(entity(kEntitySequenceEnd));
    const Handle line = add(lineFrom({1, 1, 0}, {1, 2, 0}));
    sortModelSpace({{insertHandle, Handle(0xFFFFFFFF)}, {line, Handle(0x1)}});
    dbSetEntityBeginHook([](const EntityBeginInfo& info, HostWord) {
        if (gOutputHookTable->moveTo) gOutputHookTable->moveTo(-int32_t(info.entity->header.type), 0, nullptr);
    });
    begin();
    drawStrokes();
    // The kinds in drawing order (the begin hook records each kind as a move to -kind).
    Lines kinds;
    for (const std::string& l : strokes()) {
        if (l.starts_with("moveTo -")) kinds.push_back(l);
    }
    EXPECT_EQ(kinds, (Lines{"moveTo -1 0", "moveTo -14 0", "moveTo -1 0", "moveTo -16 0", "moveTo -17 0"}));
}

// The external-reference drawings of the fixtures are found in the fixture folder.
int findInFixtures(const char* name, std::string& out, HostWord) {
    const std::filesystem::path path = test::testDataDir() / "display" / name;
    if (!std::filesystem::exists(path)) {
        out = name;
        return 0;
    }
    out = path.string();
    return 1;
}

struct XrefObservation {
    std::vector<std::string> layersSeen;  // layer names of the reference's entities while drawn
    std::vector<LayerRecord> layersBefore;
    Drawing* reference = nullptr;
};
XrefObservation gXref;

void noteOpened(Drawing* reference, HostWord) {
    gXref.reference = reference;
    gXref.layersBefore.clear();
    for (const auto& layer : reference->layers) gXref.layersBefore.push_back(layer.record);
}
void noteLayer(const EntityBeginInfo& info, HostWord) {
    Drawing* current = gOutputHookTable->currentDrawing;
    if (!current || current != gXref.reference) return;
    for (const auto& layer : current->layers) {
        if (layer.record.handle == info.entity->header.layer) gXref.layersSeen.push_back(layer.record.name);
    }
}

class XrefTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        gXref = {};
        dbSetXrefLoadHook(findInFixtures);
    }
    void TearDown() override {
        dbFreeDrawing(host);
        DisplayTest::TearDown();
    }
    void open(const char* name) {
        const std::string path = (test::testDataDir() / "display" / name).string();
        host = rdOpenDrawing(path.c_str(), kOpenOrdinary, 0);
        ASSERT_NE(host, nullptr) << dbGetError();
        ViewBlock stored;
        ASSERT_EQ(genBeginDisplay(host, stored, kDevice, nullptr, nullptr), 1);
        ViewBlock view = squareView();
        genPrepareView(host, view, kDevice, nullptr);
    }
    Drawing* host = nullptr;
};

TEST_F(XrefTest, AReferenceIsDrawnAfterItsListWithItsLayersNamedByItsBlock) {
    open("xref_host.dxf");
    dbSetXrefOpenedHook(noteOpened);
    dbSetEntityBeginHook(noteLayer);
    recorder.clear();
    ASSERT_EQ(genDrawDrawing(host), 1);
    // The host's own LINE first, although the INSERT stands before it; then the reference at
    // (10, 0): its LINE on "DOORS" and its LINE on its layer "0".
    EXPECT_EQ(strokes(), (Lines{"moveTo 0 0", "lineTo 1 1", "moveTo 10 0", "lineTo 11 0", "moveTo 10 0", "lineTo 10 1"}));
    EXPECT_EQ(gXref.layersSeen, (std::vector<std::string>{"PART|DOORS", "WALLS"}))
        << "layer 0 of a reference takes the host layer of its INSERT";
    ASSERT_NE(gXref.reference, nullptr);
    std::vector<LayerRecord> after;
    for (const auto& layer : gXref.reference->layers) after.push_back(layer.record);
    EXPECT_EQ(after, gXref.layersBefore) << "restored exactly after the reference is drawn";
    EXPECT_EQ(recorder.linesOf("xrefOpen").size(), 1u);
    EXPECT_EQ(recorder.linesOf("xrefDone").size(), 1u);
    EXPECT_TRUE(recorder.linesOf("xrefMissing").empty());
    EXPECT_EQ(gXref.reference->displayContext, nullptr) << "a reference's context lives only while it is drawn";
}

TEST_F(XrefTest, AMissingReferenceCallsHookEightOnceAndHookThirteenNever) {
    open("xref_missing_host.dxf");
    recorder.clear();
    ASSERT_EQ(genDrawDrawing(host), 1);
    EXPECT_EQ(recorder.linesOf("xrefMissing"), (Lines{"xrefMissing no_such_drawing.dxf"}));
    EXPECT_TRUE(recorder.linesOf("xrefDone").empty());
    EXPECT_TRUE(recorder.linesOf("xrefOpened").empty());
    EXPECT_EQ(strokes(), (Lines{"moveTo 0 0", "lineTo 1 1"})) << "the rest of the drawing is drawn";
}

TEST_F(XrefTest, ADrawingThatReferencesItselfIsDrawnOnce) {
    // The reference part names itself: its own path is the first entry of the chain.
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tracemill_self_reference";
    std::filesystem::create_directories(dir);
    const std::filesystem::path self = dir / "xref_part.dxf";
    std::ifstream in(test::testDataDir() / "display" / "xref_host.dxf");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(self) << text;  // the host names "xref_part.dxf": in this folder, itself
    dbSetXrefLoadHook([](const char* name, std::string& out, HostWord) {
        out = (std::filesystem::temp_directory_path() / "tracemill_self_reference" / name).string();
        return 1;
    });
    host = rdOpenDrawing(self.string().c_str(), kOpenOrdinary, 0);
    ASSERT_NE(host, nullptr);
    ViewBlock stored;
    ASSERT_EQ(genBeginDisplay(host, stored, kDevice, nullptr, nullptr), 1);
    ViewBlock view = squareView();
    genPrepareView(host, view, kDevice, nullptr);
    recorder.clear();
    ASSERT_EQ(genDrawDrawing(host), 1);
    EXPECT_TRUE(recorder.linesOf("xrefOpen").empty());
    EXPECT_EQ(strokes(), (Lines{"moveTo 0 0", "lineTo 1 1"}));
    std::filesystem::remove_all(dir);
}

TEST_F(XrefTest, ReferencesThatCannotBeDrawnQueueNothing) {
    // Each host draws its own LINE first; the drawings it references follow at (10, 0).
    const Lines partAtTen{"moveTo 10 0", "lineTo 11 0", "moveTo 10 0", "lineTo 10 1"};
    const auto with = [](Lines a, const Lines& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    struct Case {
        const char* name;
        const char* host;
        Lines strokes;
        Lines opened;  // the file names the opening hook is asked for, without their folder
    };
    const Case cases[] = {
        {"a reference to a drawing that references it back: the second reference queues nothing",
         "xref_mutual_a.dxf", {"moveTo 0 0", "lineTo 1 1", "moveTo 10 5", "lineTo 11 6"}, {"xref_mutual_b.dxf"}},
        {"an overlay at the top level is drawn", "xref_overlay_host.dxf",
         with({"moveTo 0 0", "lineTo 1 1"}, partAtTen), {"xref_part.dxf"}},
        {"an overlay inside an external drawing is not", "xref_attach_host.dxf",
         {"moveTo 0 0", "lineTo 1 1", "moveTo 10 5", "lineTo 11 6"}, {"xref_overlay_part.dxf"}},
        {"a path without extension takes the host's", "xref_no_extension.dxf",
         with({"moveTo 0 0", "lineTo 1 1"}, partAtTen), {"xref_part.dxf"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dbFreeDrawing(host);
        host = nullptr;
        open(c.host);
        recorder.clear();
        ASSERT_EQ(genDrawDrawing(host), 1);
        EXPECT_EQ(strokes(), c.strokes);
        Lines opened;
        for (const std::string& line : recorder.linesOf("xrefOpen"))
            opened.push_back(std::filesystem::path(line.substr(line.find(' ') + 1)).filename().string());
        EXPECT_EQ(opened, c.opened);
        EXPECT_TRUE(recorder.linesOf("xrefMissing").empty());
    }
}

// The file finder of external references (slot 10) is asked for the stored path; the path it
// gives back is the file the queued drawing is opened from. Without a finder the stored path is.
TEST_F(XrefTest, TheFileFinderChoosesTheFileAReferenceIsOpenedFrom) {
    static std::vector<std::string> asked;
    static std::string answer;
    const std::string part = (test::testDataDir() / "display" / "xref_part.dxf").string();
    const std::string overlayPart = (test::testDataDir() / "display" / "xref_overlay_part.dxf").string();
    struct Case {
        const char* name;
        std::string stored;   // the path the host's block names
        FileFinderHook finder;
        std::string found;    // what the finder answers
        Lines asked;
        std::string opened;
        Lines strokes;        // after the host's own LINE
    };
    const FileFinderHook answering = [](const char* name, std::string& out, HostWord) {
        asked.push_back(name);
        out = answer;
        return answer.empty() ? 0 : 1;
    };
    const Case cases[] = {
        {"without a finder the stored path", part, nullptr, "", {}, part,
         {"moveTo 10 0", "lineTo 11 0", "moveTo 10 0", "lineTo 10 1"}},
        {"a finder that finds nothing keeps the stored path", part, answering, "", {part}, part,
         {"moveTo 10 0", "lineTo 11 0", "moveTo 10 0", "lineTo 10 1"}},
        {"the finder's path replaces the stored one", part, answering, overlayPart, {part}, overlayPart,
         {"moveTo 10 5", "lineTo 11 6"}},
        {"... also when the stored one does not exist", "no_such_drawing.dxf", answering, part,
         {"no_such_drawing.dxf"}, part, {"moveTo 10 0", "lineTo 11 0", "moveTo 10 0", "lineTo 10 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dbFreeDrawing(host);
        host = nullptr;
        open("xref_host.dxf");
        BlockNode* block = dbLookupBlock(*host, Handle(0x70));
        ASSERT_NE(block, nullptr);
        block->record.xrefPath = c.stored;
        asked.clear();
        answer = c.found;
        dbSetXrefLoadHook(c.finder);
        recorder.clear();
        ASSERT_EQ(genDrawDrawing(host), 1);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(recorder.linesOf("xrefOpen"), Lines{"xrefOpen " + c.opened});
        Lines expected{"moveTo 0 0", "lineTo 1 1"};
        expected.insert(expected.end(), c.strokes.begin(), c.strokes.end());
        EXPECT_EQ(strokes(), expected);
        EXPECT_TRUE(recorder.linesOf("xrefMissing").empty());
    }
}

class ClipStackTest : public EntityWalkTest {
protected:
    // A SPATIAL_FILTER of the rectangle (0, 0)-(10, 10) with the normal given.
    Handle filter(Point3 normal) {
        SpatialFilterBody body;
        body.boundary = {{0, 0}, {10, 10}};
        body.normal = normal;
        body.displayBoundary = 1;
        body.inverseBlockTransform = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        body.clipTransform = body.inverseBlockTransform;
        return addObject(dbClassSpatialFilter(drawing->classes), body);
    }
    // Gives the reference a spatial filter of that rectangle, seen along z.
    void clip(EntityRecord& reference) {
        DictionaryBody filters;
        filters.entries.push_back({"SPATIAL", filter({0, 0, 1})});
        DictionaryBody extension;
        extension.entries.push_back({"ACAD_FILTER", addObject(kObjectDictionary, filters)});
        reference.header.extensionDictionary = addObject(kObjectDictionary, extension);
    }
};

TEST_F(ClipStackTest, ABoundaryClipsTheViewportsThatLookAlongItsNormal) {
    begin();
    DisplayContext& c = context();
    const LoopSet base = c.clipBoundaries.back().regions[0];
    ASSERT_EQ(genPushClipEntry(drawing, c, drawing, filter({0, 0, 1}), Handle(), kIdentityMatrix4), 1);
    EXPECT_EQ(c.clipBoundaries.size(), 2u);
    EXPECT_NE(c.clipBoundaries.back().regions[0], base);
    EXPECT_EQ(gOutputHookTable->regenFlags & kRegenXclipActive, kRegenXclipActive);
    recorder.clear();
    genDrawClippedLine(drawing, {0, 5.5}, {50, 5.5}, 0);
    EXPECT_EQ(strokes(), (Lines{"moveTo 0 5", "lineTo 10 5"}));
    genPopClipEntry(c);
    EXPECT_EQ(c.clipBoundaries.size(), 1u);
    EXPECT_EQ(gOutputHookTable->regenFlags & kRegenXclipActive, 0);

    ASSERT_EQ(genPushClipEntry(drawing, c, drawing, filter({1, 0, 0}), Handle(), kIdentityMatrix4), 1);
    EXPECT_EQ(c.clipBoundaries.back().regions[0], base) << "seen from the side the reference is drawn unclipped";
    genPopClipEntry(c);
}

TEST_F(ClipStackTest, AReferenceClipPushesNoBoundaryUntilItsDrawingIsDrawn) {
    begin();
    DisplayContext& c = context();
    ASSERT_EQ(genPushClipEntry(drawing, c, drawing, filter({0, 0, 1}), Handle(0x42), kIdentityMatrix4), 1);
    EXPECT_EQ(c.clipEntries.size(), 1u);
    EXPECT_EQ(c.clipBoundaries.size(), 1u);
    genPopClipEntry(c);
    EXPECT_TRUE(c.clipEntries.empty());
    EXPECT_EQ(genPushClipEntry(drawing, c, drawing, Handle(0x4242), Handle(), kIdentityMatrix4), 0)
        << "no filter object: nothing pushed";
}

TEST_F(ClipStackTest, AClippedInsertDrawsItsBlockInsideTheBoundary) {
    const Handle block = addBlock("B");
    add(lineFrom({-5, 5, 0}, {20, 5, 0}), dbGetBlockEntityList(drawing, block));
    EntityRecord insert = insertOf(block, {30, 30, 0});
    clip(insert);
    add(insert);
    begin();
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 30 35", "lineTo 40 35"})) << "the block's rectangle 0..10 at (30, 30)";
    EXPECT_TRUE(context().clipEntries.empty());
    EXPECT_EQ(context().clipBoundaries.size(), 1u);
}

TEST_F(ClipStackTest, AClippedMultipleInsertClipsEveryCellByTheFirstCellsBoundary) {
    const Handle block = addBlock("B");
    add(lineFrom({-5, 5, 0}, {20, 5, 0}), dbGetBlockEntityList(drawing, block));
    EntityRecord insert = insertOf(block, {30, 30, 0});
    insert.bodyAs<InsertBody>().columnCount = 2;
    insert.bodyAs<InsertBody>().columnSpacing = 5;
    clip(insert);
    add(insert);
    begin();
    // The second cell's LINE runs from x 30 to 55: the boundary pushed once for the reference
    // (x 30 to 40) cuts it, not one of its own (x 35 to 45).
    EXPECT_EQ(drawStrokes(), (Lines{"moveTo 30 35", "lineTo 40 35", "moveTo 30 35", "lineTo 40 35"}));
    EXPECT_TRUE(context().clipEntries.empty());
    EXPECT_EQ(context().clipBoundaries.size(), 1u);
}

TEST(MatrixDeviceScale, IsTheLengthOfTheImageOfTheUnitDiagonal) {
    Matrix4 m = kIdentityMatrix4;
    EXPECT_DOUBLE_EQ(genMatrixDeviceScale(m), 1.0);
    genMatrixScale(3.0, 3.0, 3.0, m);
    EXPECT_DOUBLE_EQ(genMatrixDeviceScale(m), 3.0);
    genMatrixTranslate({5, 6, 7}, m);
    EXPECT_DOUBLE_EQ(genMatrixDeviceScale(m), 3.0) << "translations do not count";
}

} // namespace
} // namespace tracemill
