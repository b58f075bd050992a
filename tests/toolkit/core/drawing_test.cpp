// A new drawing: its handles in the order they are handed out, a caller's handle set, the
// named object dictionary and the layout blocks.
#include <gtest/gtest.h>

#include <numbers>

#include "drawing_fixture.h"
#include "toolkit/core/fixed_records.h"
#include "toolkit/core/object_access.h"

namespace tracemill {
namespace {

using test::DrawingTest;
using test::ToolkitTest;

// The largest handle in the drawing's index.
Handle largestIndexed(const Drawing& drawing) {
    Handle largest;
    drawing.handleIndex.forEach([&](Handle handle, ListLink*) { largest = std::max(largest, handle); });
    return largest;
}

ObjectRecord object(Drawing* drawing, Handle handle) {
    ObjectRecord record;
    EXPECT_EQ(dbObjectGet(drawing, handle, record), 1) << dbHandleToHex(handle);
    return record;
}

TEST_F(DrawingTest, HandlesAreHandedOutInTheOrderOfCreation) {
    const DrawingHandles& h = drawing->handles;
    const Handle expected[] = {h.blockControl,    h.layerControl,         h.styleControl,
                               h.linetypeControl, h.viewControl,          h.ucsControl,
                               h.vportControl,    h.appIdControl,         h.dimStyleControl,
                               h.modelSpaceBlock, h.paperSpaceBlock,      h.viewportEntityHeaderControl,
                               h.modelSpaceBlockEntity, h.modelSpaceEndBlockEntity, h.paperSpaceBlockEntity,
                               h.paperSpaceEndBlockEntity};
    for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(expected[i], Handle(i + 1)) << i;

    // The dictionaries follow each other, and the seed is the next free handle.
    EXPECT_GT(h.namedObjectDictionary, Handle(0x10));
    EXPECT_EQ(h.groupDictionary.value, h.namedObjectDictionary.value + 1);
    EXPECT_EQ(h.mlineStyleDictionary.value, h.namedObjectDictionary.value + 2);
    EXPECT_EQ(drawing->header->current.cmlstyle.value, h.namedObjectDictionary.value + 3);
    Handle next = largestIndexed(*drawing);
    dbHandleIncrement(next);
    EXPECT_EQ(drawing->handleSeed, next);
    EXPECT_EQ(drawing->header->handseed, next);
    EXPECT_EQ(drawing->header->handling, 1);
    EXPECT_EQ(drawing->creationVersion, kVersionIndex2000);
    EXPECT_EQ(dbGetVersionIndex(drawing), kVersionIndex2000);
}

TEST_F(ToolkitTest, AHandleSetGivesTheFixedRecordsTheirHandlesAndTheSeedFollowsItsLargest) {
    HandleSet set;
    for (int i = 0; i < kHandleSetSize; ++i) set[size_t(i)] = Handle(0x2F - i);  // largest first
    Drawing* drawing = dbCreateDrawing(&set, nullptr, 0, 6);
    ASSERT_NE(drawing, nullptr);
    const DrawingHandles& h = drawing->handles;
    EXPECT_EQ(h.blockControl, set[kHandleSetBlockControl]);
    EXPECT_EQ(h.viewportEntityHeaderControl, set[kHandleSetViewportEntityHeaderControl]);
    EXPECT_EQ(h.modelSpaceBlock, set[kHandleSetModelSpaceBlock]);
    EXPECT_EQ(h.paperSpaceEndBlockEntity, set[kHandleSetPaperSpaceEndBlockEntity]);
    EXPECT_EQ(h.namedObjectDictionary, set[kHandleSetNamedObjectDictionary]);
    EXPECT_EQ(drawing->header->current.cmlstyle, set[kHandleSetStandardMlineStyle]);
    EXPECT_EQ(drawing->handleSeed, Handle(0x30));
    EXPECT_EQ(drawing->header->handseed, Handle(0x30));
    EXPECT_EQ(dbFreeDrawing(drawing), 1);
}

// Entries left zero take new handles, which lie behind the set's handles; HANDSEED stays the
// next free handle.
TEST_F(ToolkitTest, AHandleSetWithZeroEntriesGivesNewHandlesBehindItsOwn) {
    HandleSet set{};
    for (int i = 0; i <= kHandleSetPaperSpaceEndBlockEntity; ++i) set[size_t(i)] = Handle(0x40 + i);
    set[kHandleSetLayerZero] = Handle(0x3);
    Drawing* drawing = dbCreateDrawing(&set, nullptr, 0, 6);  // 6: no layout objects
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(drawing->handles.blockControl, Handle(0x40));
    EXPECT_EQ(drawing->handles.byBlockLinetype, Handle(0x50)) << "the first new handle";
    EXPECT_EQ(drawing->layers.begin()->record.handle, Handle(0x3));
    EXPECT_EQ(drawing->header->current.cmlstyle, Handle(0x5A));
    EXPECT_EQ(drawing->handleSeed, Handle(0x5B));
    EXPECT_EQ(drawing->header->handseed, Handle(0x5B));
    Handle next;
    ASSERT_EQ(dbNewHandle(drawing, next), 1);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, next), nullptr);
    EXPECT_EQ(dbFreeDrawing(drawing), 1);
}

TEST_F(DrawingTest, TheNamedObjectDictionaryListsGroupsAndMultilineStyles) {
    const DrawingHandles& h = drawing->handles;
    const ObjectRecord root = object(drawing, h.namedObjectDictionary);
    ASSERT_EQ(root.header.type, kObjectDictionary);
    EXPECT_EQ(root.bodyAs<DictionaryBody>().entries,
              (std::vector<DictionaryEntry>{{"ACAD_GROUP", h.groupDictionary},
                                            {"ACAD_MLINESTYLE", h.mlineStyleDictionary},
                                            {"ACAD_LAYOUT", h.layoutDictionary},
                                            {"ACAD_PLOTSETTINGS", h.plotSettingsDictionary},
                                            {"ACAD_PLOTSTYLENAME", h.plotStyleDictionary}}));
    EXPECT_EQ(root.bodyAs<DictionaryBody>().hardOwner, 1);

    const ObjectRecord groups = object(drawing, h.groupDictionary);
    EXPECT_TRUE(groups.bodyAs<DictionaryBody>().entries.empty());
    EXPECT_EQ(groups.header.reactors, HandleList{h.namedObjectDictionary});

    const ObjectRecord styles = object(drawing, h.mlineStyleDictionary);
    const Handle standard = drawing->header->current.cmlstyle;
    EXPECT_EQ(styles.bodyAs<DictionaryBody>().entries, (std::vector<DictionaryEntry>{{"Standard", standard}}));
    EXPECT_EQ(styles.header.reactors, HandleList{h.namedObjectDictionary});

    const ObjectRecord style = object(drawing, standard);
    ASSERT_EQ(style.header.type, kObjectMlineStyle);
    EXPECT_EQ(style.header.reactors, HandleList{h.mlineStyleDictionary});
    const MlineStyleBody& body = style.bodyAs<MlineStyleBody>();
    EXPECT_EQ(body.name, "Standard");
    EXPECT_EQ(body.elements, (std::vector<MlineStyleElement>{{0.5, 256, kMlineLinetypeByLayer},
                                                              {-0.5, 256, kMlineLinetypeByLayer}}));
    // With the plot styles (placeholder and dictionary), the two layouts with their dictionary
    // and the plot settings dictionary of a 2000 drawing.
    EXPECT_EQ(dbObjectCount(drawing), 10);
}

TEST_F(DrawingTest, TheLayoutBlocksStandLastWithTheirLists) {
    BlockRecord model, paper;
    ASSERT_EQ(dbBlockGet(drawing, drawing->handles.modelSpaceBlock, model), 1);
    ASSERT_EQ(dbBlockGet(drawing, drawing->handles.paperSpaceBlock, paper), 1);
    EXPECT_EQ(model.name, "*MODEL_SPACE");
    EXPECT_EQ(paper.name, "*PAPER_SPACE");
    EXPECT_EQ(model.entities, drawing->modelSpace);
    EXPECT_EQ(paper.entities, drawing->paperSpace);
    EXPECT_EQ(model.blockEntity, drawing->handles.modelSpaceBlockEntity);
    EXPECT_EQ(paper.endBlockEntity, drawing->handles.paperSpaceEndBlockEntity);
    EXPECT_EQ(BlockList::asNode(drawing->blocks.last)->record.handle, drawing->handles.paperSpaceBlock);
}

TEST_F(ToolkitTest, SpaceBlocksWithoutHandlesTakeModelSpaceFirst) {
    Drawing* drawing = dbAllocDrawing();
    ASSERT_NE(drawing, nullptr);
    drawing->handleSeed = Handle(0x40);
    Handle model, paper;
    ASSERT_EQ(dbCreateSpaceBlocks(drawing, model, paper, {}, {}, {}, {}, "*Model_Space", "*Paper_Space", 0, 0), 1);
    EXPECT_EQ(model, Handle(0x40));
    EXPECT_EQ(paper, Handle(0x41));
    EXPECT_NE(drawing->modelSpace, nullptr);
    EXPECT_NE(drawing->paperSpace, nullptr);

    // Handles that are taken already: nothing of the second block stays, nor the first.
    Handle modelAgain, paperAgain = model;
    EXPECT_EQ(dbCreateSpaceBlocks(drawing, modelAgain, paperAgain, {}, {}, {}, {}, "A", "B", 0, 0), 0);
    EXPECT_EQ(dbGetError(), kErrorDuplicateRecordHandle);
    EXPECT_EQ(dbBlockCount(drawing), 2);
    dbFreeDrawing(drawing);
}

TEST_F(ToolkitTest, AllocatedDrawingIsEmptyAndFreeingNullFails) {
    Drawing* drawing = dbAllocDrawing();
    ASSERT_NE(drawing, nullptr);
    EXPECT_EQ(dbGetError(), 0);
    EXPECT_EQ(dbGetHeaderBlock(drawing), nullptr);
    EXPECT_EQ(drawing->creationVersion, kCreationVersionLoaded);
    EXPECT_EQ(dbLayerCount(drawing), 0);
    dbClearHeaderNameRefs(drawing);
    EXPECT_EQ(drawing->nameRefState[9], 0xFF);
    EXPECT_EQ(dbFreeDrawing(drawing), 1);
    EXPECT_EQ(dbFreeDrawing(nullptr), 0);
    EXPECT_EQ(dbGetHeaderBlock(nullptr), nullptr);
}

} // namespace
} // namespace tracemill
