// Symbol tables: the shared access pattern, the LTYPE and BLOCK placement rules, layer state,
// deletion, the block-name index and the layout switch.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "toolkit/core/block_name_index.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/table_release.h"

namespace tracemill {
namespace {

using test::DrawingTest;

class SymbolTables : public DrawingTest {
protected:
    Handle addLayer(const std::string& name, int16_t colour = 7) {
        LayerRecord layer;
        layer.name = name;
        layer.colour = colour;
        layer.handle = dbNewHandle(*drawing);
        EXPECT_EQ(dbLayerAdd(drawing, layer), 1);
        return layer.handle;
    }
    Handle addLinetype(const std::string& name) {
        LinetypeRecord linetype;
        linetype.name = name;
        linetype.handle = dbNewHandle(*drawing);
        EXPECT_EQ(dbLtypeAdd(drawing, linetype), 1) << name;
        return linetype.handle;
    }
    std::vector<std::string> linetypeNames() {
        std::vector<std::string> names;
        LinetypeRecord record;
        dbLtypeRewind(drawing);
        while (dbLtypeNext(drawing, record)) names.push_back(record.name);
        return names;
    }
    std::vector<std::string> blockNames() {
        std::vector<std::string> names;
        BlockRecord record;
        dbBlockRewind(drawing);
        while (dbBlockNext(drawing, record)) names.push_back(record.name);
        return names;
    }
};

TEST_F(SymbolTables, FindByNameIgnoresCaseAndKeepsTheCursor) {
    const Handle walls = addLayer("Walls");
    const Handle doors = addLayer("Doors");
    LayerRecord record;
    dbLayerRewind(drawing);
    while (dbLayerNext(drawing, record) && record.handle != walls) {
    }
    ListLink* cursor = dbListCurrent(&drawing->layers);

    Handle found;
    EXPECT_EQ(dbLayerFindByName(drawing, "dOORS", found), 1);
    EXPECT_EQ(found, doors);
    EXPECT_EQ(dbListCurrent(&drawing->layers), cursor);
    EXPECT_EQ(dbLayerFindByName(drawing, "Roof", found), 0);
    EXPECT_TRUE(found.isNull());
    EXPECT_EQ(dbListCurrent(&drawing->layers), cursor);
}

TEST_F(SymbolTables, GetByHandleTellsTheReasonOfAFailure) {
    const Handle walls = addLayer("Walls");
    LinetypeRecord linetype;
    EXPECT_EQ(dbLtypeGet(drawing, walls, linetype), 0);
    EXPECT_EQ(dbGetError(), kErrorHandleOfOtherTable);
    EXPECT_EQ(dbLtypeGet(drawing, Handle(0xFFFF), linetype), 0);
    EXPECT_EQ(dbGetError(), kErrorHandleNotIndexed);
    LayerRecord layer;
    ASSERT_EQ(dbLayerGet(drawing, walls, layer), 1);
    EXPECT_EQ(layer.name, "Walls");
    EXPECT_EQ(dbListCurrent(&drawing->layers), nullptr);  // behind the last record
}

TEST_F(SymbolTables, UpdateWritesInPlaceByTheRecordsHandle) {
    const Handle walls = addLayer("Walls");
    LayerRecord layer;
    ASSERT_EQ(dbLayerGet(drawing, walls, layer), 1);
    layer.colour = 3;
    ASSERT_EQ(dbLayerUpdate(drawing, layer), 1);
    LayerRecord back;
    ASSERT_EQ(dbLayerGet(drawing, walls, back), 1);
    EXPECT_EQ(back, layer);

    layer.handle = Handle(0x9999);
    EXPECT_EQ(dbLayerUpdate(drawing, layer), 0);
    EXPECT_EQ(dbGetError(), kErrorHandleNotIndexed);
    layer.handle = drawing->handles.modelSpaceBlock;  // a block record, not a layer
    EXPECT_EQ(dbLayerUpdate(drawing, layer), 0);
    EXPECT_EQ(dbGetError(), kErrorHandleOfOtherTable);
}

TEST_F(SymbolTables, LayerStateSwitchesSignAndFlags) {
    const Handle walls = addLayer("Walls", 5);
    int16_t on, frozen, frozenNew, locked;
    ASSERT_EQ(dbLayerSetState(drawing, walls, 0, 1, -1, 2), 1);
    ASSERT_EQ(dbLayerSetState(drawing, walls, 0, 1, -1, 2), 1);
    LayerRecord layer;
    ASSERT_EQ(dbLayerGet(drawing, walls, layer), 1);
    EXPECT_EQ(layer.colour, -5);
    EXPECT_EQ(layer.flags, kLayerFrozen | kLayerLocked);
    ASSERT_EQ(dbLayerGetState(drawing, walls, on, frozen, frozenNew, locked), 1);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(frozen, 1);
    EXPECT_EQ(frozenNew, 0);
    EXPECT_EQ(locked, 1);

    ASSERT_EQ(dbLayerSetState(drawing, walls, 1, 0, 1, -1), 1);
    ASSERT_EQ(dbLayerGet(drawing, walls, layer), 1);
    EXPECT_EQ(layer.colour, 5);
    EXPECT_EQ(layer.flags, kLayerFrozenInNewViewports);
    EXPECT_EQ(dbLayerSetState(drawing, Handle(0x777), 1, 0, 0, 0), 0);
}

TEST_F(SymbolTables, ByBlockAndByLayerStayLastWhateverIsAdded) {
    drawing->linetypes.clear();
    addLinetype("Continuous");
    addLinetype("ByBlock");
    addLinetype("ByLayer");
    addLinetype("Dashed");
    EXPECT_EQ(linetypeNames(), (std::vector<std::string>{"Continuous", "Dashed", "ByBlock", "ByLayer"}));
    addLinetype("BYLAYER");
    EXPECT_EQ(linetypeNames().back(), "BYLAYER");

    // Files may repeat the two names: the rule holds however long their trailing run grows.
    std::mt19937 random(7);
    const char* names[] = {"Center", "byblock", "Hidden", "BYLAYER", "Phantom", "Dot"};
    for (int i = 0; i < 60; ++i) {
        const std::string name = names[random() % 6];
        addLinetype(dbIsByBlockOrByLayerName(name) ? name : name + std::to_string(i));
    }
    const std::vector<std::string> all = linetypeNames();
    size_t firstSpecial = all.size();
    for (size_t i = 0; i < all.size(); ++i) {
        const bool special = dbEqualsNoCase(all[i], "BYBLOCK") || dbEqualsNoCase(all[i], "BYLAYER");
        if (special && firstSpecial == all.size()) firstSpecial = i;
        if (!special) {
            EXPECT_LT(i, firstSpecial) << all[i] << " after a ByBlock/ByLayer";
        }
    }
}

TEST_F(SymbolTables, LinetypeDeletion) {
    drawing->linetypes.clear();
    EXPECT_EQ(dbLtypeDelete(drawing, Handle(1)), 0);
    EXPECT_EQ(dbGetError(), kErrorLinetypeTableEmpty);
    const Handle dashed = addLinetype("Dashed");
    addLinetype("Hidden");
    EXPECT_EQ(dbLtypeDelete(drawing, Handle(0x4444)), 0);
    EXPECT_EQ(dbGetError(), kErrorLinetypeNotFound);
    EXPECT_EQ(dbLtypeDelete(drawing, dashed), 1);
    EXPECT_EQ(dbGetError(), 0);
    EXPECT_EQ(linetypeNames(), (std::vector<std::string>{"Hidden"}));
    Handle found;
    EXPECT_EQ(dbLtypeFindByName(drawing, "dashed", found), 0);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, dashed), nullptr);
}

TEST_F(SymbolTables, BlocksGoInFrontOfTheLayoutBlocks) {
    EXPECT_EQ(blockNames(), (std::vector<std::string>{"*MODEL_SPACE", "*PAPER_SPACE"}));
    std::mt19937 random(11);
    for (int i = 0; i < 40; ++i) {
        const std::string name = (random() % 2 ? "*U" : "PART") + std::to_string(i);
        addBlock(name);
        const std::vector<std::string> names = blockNames();
        ASSERT_EQ(names.back(), "*PAPER_SPACE");
        ASSERT_EQ(names[names.size() - 2], "*MODEL_SPACE");
        ASSERT_EQ(names[names.size() - 3], name);
    }
    EXPECT_EQ(dbBlockCount(drawing), 42);
}

TEST_F(SymbolTables, ARenamedBlockIsFoundByItsNewName) {
    const Handle door = addBlock("DOOR");
    Handle found;
    ASSERT_EQ(dbBlockFindByName(drawing, "door", found), 1);
    EXPECT_EQ(found, door);

    BlockRecord record;
    ASSERT_EQ(dbBlockGet(drawing, door, record), 1);
    record.name = "GATE";
    ASSERT_EQ(dbBlockUpdate(drawing, record), 1);
    EXPECT_EQ(dbBlockFindByName(drawing, "DOOR", found), 0);
    ASSERT_EQ(dbBlockFindByName(drawing, "Gate", found), 1);
    EXPECT_EQ(found, door);

    // A block added or deleted afterwards is seen by the next lookup.
    const Handle fence = addBlock("FENCE");
    ASSERT_EQ(dbBlockFindByName(drawing, "fence", found), 1);
    EXPECT_EQ(found, fence);
    ASSERT_EQ(dbBlockDelete(drawing, fence), 1);
    EXPECT_EQ(dbBlockFindByName(drawing, "fence", found), 0);
}

TEST_F(SymbolTables, BlockUpdateKeepsTheStoredEntitiesAndReferences) {
    const Handle door = addBlock("DOOR");
    EntityRecord reference;
    reference.header.type = kEntityInsert;
    dbInitEntity(drawing, reference);
    reference.header.handle = dbNewHandle(*drawing);
    reference.bodyAs<InsertBody>().block = door;
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, reference), 1);

    BlockRecord record;
    ASSERT_EQ(dbBlockGet(drawing, door, record), 1);
    EntityList* stored = record.entities;
    ASSERT_NE(stored, nullptr);
    record.entities = nullptr;
    record.insertReferences.clear();
    record.basePoint = {1, 2, 3};
    ASSERT_EQ(dbBlockUpdate(drawing, record), 1);
    BlockRecord back;
    ASSERT_EQ(dbBlockGet(drawing, door, back), 1);
    EXPECT_EQ(back.entities, stored);
    EXPECT_EQ(back.insertReferences, HandleList{reference.header.handle});
    EXPECT_EQ(back.basePoint, (Point3{1, 2, 3}));
}

TEST_F(SymbolTables, DeletingABlockDeletesItsEntities) {
    EXPECT_EQ(dbBlockDelete(drawing, Handle(0x7654)), 0);
    EXPECT_EQ(dbGetError(), kErrorBlockRecordNotFound);
    const Handle door = addBlock("DOOR");
    const EntityRecord a = line(1), b = line(2);
    ASSERT_EQ(dbAppendEntity(drawing, dbGetBlockEntityList(drawing, door), a), 1);
    ASSERT_EQ(dbAppendEntity(drawing, dbGetBlockEntityList(drawing, door), b), 1);
    ASSERT_EQ(dbBlockDelete(drawing, door), 1);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, door), nullptr);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, a.header.handle), nullptr);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, b.header.handle), nullptr);

    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, line(3)), 1);
    ASSERT_EQ(dbBlockDelete(drawing, drawing->handles.modelSpaceBlock), 1);
    ASSERT_EQ(dbBlockDelete(drawing, drawing->handles.paperSpaceBlock), 1);
    EXPECT_EQ(drawing->modelSpace, nullptr);
    EXPECT_EQ(drawing->paperSpace, nullptr);
    EXPECT_EQ(dbBlockDelete(drawing, door), 0);
    EXPECT_EQ(dbGetError(), kErrorBlockTableEmpty);
}

TEST_F(SymbolTables, BlockHandleTableFollowsTheBlockList) {
    const Handle door = addBlock("DOOR");
    ASSERT_EQ(dbBuildBlockHandleTable(drawing), 1);
    EXPECT_EQ(dbBlockHandleAt(drawing, 0), door);
    EXPECT_EQ(dbBlockHandleAt(drawing, 1), drawing->handles.modelSpaceBlock);
    EXPECT_EQ(dbBlockHandleAt(drawing, 2), drawing->handles.paperSpaceBlock);
    EXPECT_TRUE(dbBlockHandleAt(drawing, 3).isNull());
    EXPECT_TRUE(dbBlockHandleAt(drawing, -1).isNull());
}

TEST_F(SymbolTables, ReleasedTablesLeaveNoHandleBehind) {
    const Handle walls = addLayer("Walls");
    const Handle dashed = addLinetype("Dashed");
    const Handle door = addBlock("DOOR");
    const EntityRecord inDoor = line(1), inModel = line(2);
    ASSERT_EQ(dbAppendEntity(drawing, dbGetBlockEntityList(drawing, door), inDoor), 1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, inModel), 1);

    dbFreeLayers(drawing);
    dbFreeLinetypes(drawing);
    EXPECT_EQ(dbLayerCount(drawing), 0);
    EXPECT_EQ(dbLtypeCount(drawing), 0);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, walls), nullptr);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, dashed), nullptr);

    dbFreeEntityList(drawing, drawing->modelSpace);
    EXPECT_EQ(dbListCount(drawing->modelSpace), 0);
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, inModel.header.handle), nullptr);

    dbFreeBlocks(drawing);
    EXPECT_EQ(dbBlockCount(drawing), 0);
    EXPECT_EQ(drawing->modelSpace, nullptr);
    EXPECT_EQ(drawing->paperSpace, nullptr);
    for (Handle gone : {door, inDoor.header.handle, drawing->handles.modelSpaceBlock}) {
        EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, gone), nullptr);
    }
    Handle found;
    EXPECT_EQ(dbBlockFindByName(drawing, "DOOR", found), 0);
}

class LayoutSwitch : public SymbolTables {
protected:
    void SetUp() override {
        SymbolTables::SetUp();
        layout1 = addBlock("*Paper_Space0");
        layout2 = addBlock("*Paper_Space1");
        for (Handle block : {drawing->handles.paperSpaceBlock, layout1, layout2}) {
            EntityList* list = dbGetBlockEntityList(drawing, block);
            for (int i = 0; i < 3; ++i) ASSERT_EQ(dbAppendEntity(drawing, list, line(i)), 1);
        }
        EntityRecord sheet;
        sheet.header.type = kEntityViewport;
        dbInitEntity(drawing, sheet);
        sheet.header.handle = dbNewHandle(*drawing);
        sheet.bodyAs<ViewportBody>().status = 1;
        ASSERT_EQ(dbAppendEntity(drawing, dbGetBlockEntityList(drawing, layout1), sheet), 1);
        layout1Viewport = sheet.header.handle;
    }
    Handle layout1;
    Handle layout2;
    Handle layout1Viewport;
};

TEST_F(LayoutSwitch, TheChosenLayoutBecomesPaperSpace) {
    const Handle formerPaperSpace = drawing->handles.paperSpaceBlock;
    EntityList* chosenList = dbGetBlockEntityList(drawing, layout1);
    ASSERT_EQ(dbMakeLayoutBlockCurrent(drawing, layout1), 1);
    EXPECT_EQ(drawing->handles.paperSpaceBlock, layout1);
    EXPECT_EQ(drawing->paperSpace, chosenList);
    EXPECT_EQ(blockNames(),
              (std::vector<std::string>{"*PAPER_SPACE", "*Paper_Space1", "*MODEL_SPACE", "*Paper_Space0"}));
    Handle found;
    ASSERT_EQ(dbBlockFindByName(drawing, "*paper_space0", found), 1);
    EXPECT_EQ(found, formerPaperSpace);
    ASSERT_EQ(drawing->viewportIndex.count, 1);
    EXPECT_EQ(static_cast<StoredRecord<ViewportIndexEntry>*>(drawing->viewportIndex.first)->record.viewport,
              layout1Viewport);

    EXPECT_EQ(dbMakeLayoutBlockCurrent(drawing, drawing->handles.modelSpaceBlock), 1);
    EXPECT_EQ(dbMakeLayoutBlockCurrent(drawing, Handle()), 1);
    EXPECT_EQ(drawing->handles.paperSpaceBlock, layout1);
}

// The switch moves the former paper-space block to the end of the block list; freeing the
// drawing afterwards must free every block's entities once (checked under the sanitizers).
TEST_F(LayoutSwitch, FreeingAfterSwitchesReleasesEverythingOnce) {
    ASSERT_EQ(dbMakeLayoutBlockCurrent(drawing, layout1), 1);
    ASSERT_EQ(dbMakeLayoutBlockCurrent(drawing, layout2), 1);
    Handle former;
    ASSERT_EQ(dbBlockFindByName(drawing, "*Paper_Space0", former), 1);
    ASSERT_EQ(dbMakeLayoutBlockCurrent(drawing, former), 1);
    EXPECT_EQ(dbListCount(drawing->paperSpace), 3);
    EXPECT_EQ(dbFreeDrawing(drawing), 1);
    drawing = nullptr;
}

TEST_F(LayoutSwitch, OnlyLayoutBlocksCanBeMadeCurrent) {
    const Handle door = addBlock("DOOR");
    EXPECT_EQ(dbMakeLayoutBlockCurrent(drawing, door), 0);
    EXPECT_EQ(dbMakeLayoutBlockCurrent(drawing, Handle(0x123456)), 0);
    EXPECT_EQ(drawing->paperSpace, dbGetBlockEntityList(drawing, drawing->handles.paperSpaceBlock));
}

} // namespace
} // namespace tracemill
