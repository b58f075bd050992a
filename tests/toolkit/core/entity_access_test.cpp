// Adding, reading, finding, replacing and deleting entities, with the handle index, the INSERT
// references of blocks and the viewport index kept consistent.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "drawing_fixture.h"
#include "toolkit/core/block_name_index.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/table_release.h"

namespace tracemill {
namespace {

using test::DrawingTest;

std::vector<uint64_t> handlesOf(EntityList* list) {
    std::vector<uint64_t> handles;
    for (const EntityNode& node : *list) handles.push_back(node.record.header.handle.value);
    return handles;
}

HandleList referencesOf(Drawing* drawing, Handle block) {
    BlockRecord record;
    EXPECT_EQ(dbBlockGet(drawing, block, record), 1);
    return record.insertReferences;
}

class EntityAccess : public DrawingTest {
protected:
    EntityRecord insert(Handle block) {
        EntityRecord entity;
        entity.header.type = kEntityInsert;
        dbInitEntity(drawing, entity);
        entity.header.handle = dbNewHandle(*drawing);
        entity.bodyAs<InsertBody>().block = block;
        return entity;
    }
    EntityRecord viewport(int16_t status) {
        EntityRecord entity;
        entity.header.type = kEntityViewport;
        dbInitEntity(drawing, entity);
        entity.header.handle = dbNewHandle(*drawing);
        entity.bodyAs<ViewportBody>().status = status;
        return entity;
    }
    std::vector<uint64_t> viewportIndex() {
        std::vector<uint64_t> handles;
        for (const auto& node : drawing->viewportIndex) handles.push_back(node.record.viewport.value);
        return handles;
    }
};

TEST_F(EntityAccess, AnEntityReadBackEqualsTheEntityAdded) {
    EntityRecord hatch;
    hatch.header.type = drawing->classes.numbers[size_t(ClassKind::Hatch)];
    dbInitEntity(drawing, hatch);
    hatch.header.handle = dbNewHandle(*drawing);
    hatch.header.colour = 3;
    hatch.header.reactors = {Handle(0x42)};
    hatch.header.xdata.create(4096)->bytes = {1, 2, 3};
    HatchPath path;
    path.flags = kHatchPathPolyline;
    path.vertices = {{{0, 0}, 0.5}, {{1, 0}, 0.0}, {{1, 1}, 0.0}};
    path.boundaryObjects = {Handle(0x99)};
    hatch.bodyAs<HatchBody>().paths = {path};
    hatch.bodyAs<HatchBody>().patternName = "SOLID";

    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, hatch), 1);
    EntityRecord back;
    ASSERT_EQ(dbRewindEntityList(drawing->modelSpace), 1);
    ASSERT_EQ(dbReadEntity(drawing->modelSpace, back), 1);
    EXPECT_EQ(back, hatch);
    EXPECT_EQ(dbReadEntity(drawing->modelSpace, back), 0);

    // The caller's copy is its own: changing it leaves the stored entity as it was.
    back.header.xdata.get()->bytes.push_back(4);
    back.bodyAs<HatchBody>().paths.clear();
    EntityRecord again;
    ASSERT_EQ(dbReadEntityByHandle(drawing, drawing->modelSpace, hatch.header.handle, again), 1);
    EXPECT_EQ(again, hatch);
}

TEST_F(EntityAccess, EveryKindReadsBackExactlyAsItWasStored) {
    const ClassNumberTable& classes = drawing->classes.numbers;
    std::vector<uint16_t> types = {kEntityOfClassData, classes[size_t(ClassKind::Lwpolyline)],
                                   classes[size_t(ClassKind::Hatch)], classes[size_t(ClassKind::Image)],
                                   classes[size_t(ClassKind::Ole2Frame)]};
    for (uint16_t type = 1; type <= 35; ++type) {
        if (!dbEntityTypeName(type).empty() && type != kEntityInsert) types.push_back(type);
    }
    for (uint16_t type : types) {
        SCOPED_TRACE(type);
        EntityRecord entity;
        entity.header.type = type;
        dbInitEntity(drawing, entity);
        entity.header.handle = dbNewHandle(*drawing);
        if (auto* vertex = entity.body.getIf<VertexBody>()) vertex->point = {1, 2, 0};  // a shortened vertex
        ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, entity), 1);
        EntityRecord back;
        ASSERT_EQ(dbReadEntityByHandle(drawing, drawing->modelSpace, entity.header.handle, back), 1);
        EXPECT_EQ(back, entity);
    }
}

TEST_F(EntityAccess, NewHandlesCountUpWithCarry) {
    drawing->handleSeed = Handle(0xFF);
    Handle handle;
    ASSERT_EQ(dbNewHandle(drawing, handle), 1);
    EXPECT_EQ(handle, Handle(0xFF));
    EXPECT_EQ(drawing->handleSeed, Handle(0x100));
    dbSetHandleSeed(drawing, Handle(0x1234));
    EXPECT_EQ(drawing->header->handseed, Handle(0x1234));
    EXPECT_EQ(dbNewHandle(*drawing), Handle(0x1234));
}

TEST_F(EntityAccess, PlacementFollowsTheAfterHandle) {
    EntityList* list = drawing->modelSpace;
    const EntityRecord a = line(1), b = line(2), c = line(3), d = line(4);
    ASSERT_EQ(dbAppendEntity(drawing, list, a), 1);
    ASSERT_EQ(dbAppendEntity(drawing, list, b), 1);
    ASSERT_EQ(dbAddEntity(drawing, list, c, nullptr), 1);                 // front
    ASSERT_EQ(dbAddEntity(drawing, list, d, &a.header.handle), 1);        // after a
    const Handle zero;
    const EntityRecord e = line(5), f = line(6);
    ASSERT_EQ(dbAddEntity(drawing, list, e, &zero), 1);                   // front
    ASSERT_EQ(dbAddEntity(drawing, list, f, &b.header.handle), 1);        // after the last
    EXPECT_EQ(handlesOf(list), (std::vector<uint64_t>{e.header.handle.value, c.header.handle.value,
                                                      a.header.handle.value, d.header.handle.value,
                                                      b.header.handle.value, f.header.handle.value}));

    const Handle missing(0xDEAD);
    EXPECT_EQ(dbAddEntity(drawing, list, line(7), &missing), 0);
    EXPECT_EQ(dbGetError(), kErrorEntityNotFound);
    EXPECT_EQ(dbListCount(list), 6);
}

TEST_F(EntityAccess, ADuplicateHandleIsRefusedAndTheListStaysUnchanged) {
    EntityList* list = drawing->modelSpace;
    const EntityRecord first = line(1);
    ASSERT_EQ(dbAppendEntity(drawing, list, first), 1);
    ASSERT_EQ(dbAppendEntity(drawing, list, line(2)), 1);
    const std::vector<uint64_t> before = handlesOf(list);

    EntityRecord twin = line(3);
    twin.header.handle = first.header.handle;
    EXPECT_EQ(dbAppendEntity(drawing, list, twin), 0);
    EXPECT_EQ(dbGetError(), kErrorDuplicateRecordHandle);
    EXPECT_EQ(gSystemContext->errorHandle, first.header.handle);
    EXPECT_EQ(dbAddEntity(drawing, drawing->paperSpace, twin, nullptr), 0);
    EXPECT_EQ(dbGetError(), kErrorDuplicateRecordHandle);

    EXPECT_EQ(handlesOf(list), before);
    EXPECT_EQ(dbListCount(drawing->paperSpace), 0);
    EntityRecord found;
    ASSERT_EQ(dbReadEntityByHandle(drawing, list, first.header.handle, found), 1);
    EXPECT_EQ(found, first);
}

TEST_F(EntityAccess, RefusedAdditionsChangeNothing) {
    struct Case {
        const char* name;
        EntityList* list;
        EntityRecord entity;
        int error;
    };
    EntityRecord unhandled = line(1);
    unhandled.header.handle = Handle();
    const Case cases[] = {
        {"no list", nullptr, line(1), kErrorNoEntityList},
        {"null handle", drawing->modelSpace, unhandled, kErrorNullRecordHandle},
        {"INSERT of a missing block", drawing->modelSpace, insert(Handle(0xBAD)), kErrorInsertBlockMissing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(dbAppendEntity(drawing, c.list, c.entity), 0);
        EXPECT_EQ(dbGetError(), c.error);
        EXPECT_EQ(dbListCount(drawing->modelSpace), 0);
        EXPECT_TRUE(c.entity.header.handle.isNull() ||
                    !dbHandleTreeFind(drawing->handleIndex, c.entity.header.handle));
    }
}

TEST_F(EntityAccess, InsertsAreListedWithTheirBlockAcrossAddUpdateAndDelete) {
    const Handle door = addBlock("DOOR");
    const Handle window = addBlock("WINDOW");
    const EntityRecord a = insert(door), b = insert(door);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, a), 1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->paperSpace, b), 1);
    EXPECT_EQ(referencesOf(drawing, door), (HandleList{a.header.handle, b.header.handle}));

    // Re-pointing an INSERT moves its reference to the other block.
    EntityRecord moved = a;
    moved.bodyAs<InsertBody>().block = window;
    ASSERT_EQ(dbUpdateEntity(drawing, drawing->modelSpace, a.header.handle, moved), 1);
    EXPECT_EQ(referencesOf(drawing, door), (HandleList{b.header.handle}));
    EXPECT_EQ(referencesOf(drawing, window), (HandleList{a.header.handle}));

    // Replacing an INSERT by a LINE drops its reference.
    EntityRecord replacement = line(9);
    replacement.header.handle = b.header.handle;
    ASSERT_EQ(dbUpdateEntity(drawing, drawing->paperSpace, b.header.handle, replacement), 1);
    EXPECT_TRUE(referencesOf(drawing, door).empty());

    ASSERT_EQ(dbDeleteEntity(drawing, drawing->modelSpace, a.header.handle), 1);
    EXPECT_TRUE(referencesOf(drawing, window).empty());
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, a.header.handle), nullptr);
}

TEST_F(EntityAccess, UpdateKeepsThePlaceAndReindexesANewHandle) {
    EntityList* list = drawing->modelSpace;
    const EntityRecord a = line(1), b = line(2), c = line(3);
    for (const EntityRecord& e : {a, b, c}) ASSERT_EQ(dbAppendEntity(drawing, list, e), 1);

    EntityRecord circle;
    circle.header.type = kEntityCircle;
    dbInitEntity(drawing, circle);
    circle.header.handle = Handle(0x7777);
    circle.bodyAs<CircleBody>().radius = 4;
    ASSERT_EQ(dbUpdateEntity(drawing, list, b.header.handle, circle), 1);
    EXPECT_EQ(handlesOf(list), (std::vector<uint64_t>{a.header.handle.value, 0x7777, c.header.handle.value}));
    EXPECT_EQ(dbHandleTreeFind(drawing->handleIndex, b.header.handle), nullptr);
    EntityRecord back;
    ASSERT_EQ(dbReadEntityByHandle(drawing, list, Handle(0x7777), back), 1);
    EXPECT_EQ(back, circle);

    // Taking the handle of another entity is refused; an unknown handle gives 226.
    EntityRecord clash = line(5);
    clash.header.handle = a.header.handle;
    EXPECT_EQ(dbUpdateEntity(drawing, list, c.header.handle, clash), 0);
    EXPECT_EQ(dbGetError(), kErrorDuplicateRecordHandle);
    EXPECT_EQ(dbUpdateEntity(drawing, list, Handle(0xABC), line(6)), 0);
    EXPECT_EQ(dbGetError(), kErrorEntityNotFoundForUpdate);
    EXPECT_EQ(handlesOf(list), (std::vector<uint64_t>{a.header.handle.value, 0x7777, c.header.handle.value}));
}

TEST_F(EntityAccess, DeleteReportsItsErrors) {
    const EntityRecord a = line(1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, a), 1);
    EXPECT_EQ(dbDeleteEntity(drawing, nullptr, a.header.handle), 0);
    EXPECT_EQ(dbGetError(), kErrorNoEntityList);
    EXPECT_EQ(dbDeleteEntity(drawing, drawing->paperSpace, a.header.handle), 0);  // another list's
    EXPECT_EQ(dbGetError(), kErrorEntityNotFound);
    EXPECT_EQ(dbDeleteEntity(drawing, drawing->modelSpace, Handle(0x5555)), 0);
    EXPECT_EQ(dbGetError(), kErrorEntityNotFound);
    EXPECT_EQ(dbListCount(drawing->modelSpace), 1);
}

TEST_F(EntityAccess, ReadByHandleTellsAnotherListFromAnUnknownHandle) {
    const EntityRecord a = line(1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, a), 1);
    EntityRecord out;
    EXPECT_EQ(dbReadEntityByHandle(drawing, drawing->paperSpace, a.header.handle, out), 0);
    EXPECT_EQ(dbGetError(), kErrorHandleOfOtherTable);
    EXPECT_EQ(dbReadEntityByHandle(drawing, drawing->modelSpace, Handle(0x4242), out), 0);
    EXPECT_EQ(dbGetError(), kErrorHandleNotIndexed);
}

TEST_F(EntityAccess, PaperSpaceViewportsAreIndexedWithTheSheetViewportFirst) {
    const EntityRecord detail = viewport(2), sheet = viewport(1), other = viewport(3);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->paperSpace, detail), 1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->paperSpace, sheet), 1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->paperSpace, other), 1);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, viewport(4)), 1);  // not paper space
    EXPECT_EQ(viewportIndex(), (std::vector<uint64_t>{sheet.header.handle.value, detail.header.handle.value,
                                                      other.header.handle.value}));
    for (const auto& node : drawing->viewportIndex) {
        EXPECT_EQ(node.record.node->record.header.handle, node.record.viewport);
    }

    ASSERT_EQ(dbDeleteEntity(drawing, drawing->paperSpace, detail.header.handle), 1);
    EXPECT_EQ(viewportIndex(), (std::vector<uint64_t>{sheet.header.handle.value, other.header.handle.value}));
    EntityRecord asLine = line(8);
    asLine.header.handle = other.header.handle;
    ASSERT_EQ(dbUpdateEntity(drawing, drawing->paperSpace, other.header.handle, asLine), 1);
    EXPECT_EQ(viewportIndex(), (std::vector<uint64_t>{sheet.header.handle.value}));
}

TEST_F(EntityAccess, RecordsAreFoundByHandleAfterThousandsOfInsertsAndDeletes) {
    std::mt19937 random(20261210);
    std::map<uint64_t, double> model;  // handle -> the x of the stored line
    std::vector<uint64_t> deleted;
    EntityList* list = drawing->modelSpace;
    for (int step = 0; step < 20000; ++step) {
        const bool remove = !model.empty() && random() % 3 == 0;
        if (remove) {
            auto it = model.begin();
            std::advance(it, random() % model.size());
            ASSERT_EQ(dbDeleteEntity(drawing, list, Handle(it->first)), 1);
            deleted.push_back(it->first);
            model.erase(it);
        } else {
            EntityRecord entity = line(step);
            model[entity.header.handle.value] = step;
            const Handle after = model.size() > 1 && random() % 2 ? Handle(model.begin()->first) : Handle();
            ASSERT_EQ(dbAddEntity(drawing, list, entity, &after), 1);
        }
    }
    ASSERT_EQ(dbListCount(list), int32_t(model.size()));
    EntityRecord out;
    for (const auto& [handle, x] : model) {
        ASSERT_EQ(dbReadEntityByHandle(drawing, list, Handle(handle), out), 1);
        ASSERT_EQ(out.bodyAs<LineBody>().start.x, x);
    }
    for (uint64_t handle : deleted) {
        ASSERT_EQ(dbReadEntityByHandle(drawing, list, Handle(handle), out), 0);
        ASSERT_EQ(dbGetError(), kErrorHandleNotIndexed);
    }
}

TEST_F(EntityAccess, TheFirstEntityOfAClassMarksTheClassUsed) {
    const uint16_t lwpolyline = drawing->classes.numbers[size_t(ClassKind::Lwpolyline)];
    ClassEntry entry;
    ASSERT_EQ(dbFindClassByName(drawing->classes, "LWPOLYLINE", entry), 1);
    ASSERT_NE(uint16_t(entry.proxyFlags) & kClassNotInUse, 0);

    EntityRecord polyline;
    polyline.header.type = lwpolyline;
    dbInitEntity(drawing, polyline);
    polyline.header.handle = dbNewHandle(*drawing);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, polyline), 1);
    ASSERT_EQ(dbFindClassByName(drawing->classes, "LWPOLYLINE", entry), 1);
    EXPECT_EQ(uint16_t(entry.proxyFlags) & kClassNotInUse, 0);
}

TEST_F(EntityAccess, BlockListsAreFoundByTheBlockHandle) {
    const Handle door = addBlock("DOOR");
    EntityList* list = dbGetBlockEntityList(drawing, door);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(dbAppendEntity(drawing, list, line(1)), 1);
    ASSERT_EQ(dbAppendEntity(drawing, list, line(2)), 1);
    EXPECT_EQ(dbCountBlockEntities(drawing, door), 2);
    EXPECT_EQ(dbGetBlockEntityList(drawing, drawing->handles.modelSpaceBlock), drawing->modelSpace);

    EXPECT_EQ(dbGetBlockEntityList(drawing, Handle(0x31337)), nullptr);
    EXPECT_EQ(dbGetError(), kErrorBlockNotFound);
    EXPECT_EQ(dbCountBlockEntities(drawing, Handle(0x31337)), 0);
}

TEST_F(EntityAccess, FreeingEntityDataKeepsTheRestOfTheRecord) {
    EntityRecord polyline;
    polyline.header.type = drawing->classes.numbers[size_t(ClassKind::Lwpolyline)];
    dbInitEntity(drawing, polyline);
    polyline.header.colour = 4;
    polyline.header.xdata.create(16);
    polyline.header.reactors = {Handle(7)};
    polyline.bodyAs<LwpolylineBody>().vertices = {{}, {}};
    polyline.bodyAs<LwpolylineBody>().elevation = 2;
    ASSERT_EQ(dbFreeEntityData(drawing, polyline), 1);
    EXPECT_FALSE(polyline.header.xdata);
    EXPECT_TRUE(polyline.header.reactors.empty());
    EXPECT_TRUE(polyline.bodyAs<LwpolylineBody>().vertices.empty());
    EXPECT_EQ(polyline.bodyAs<LwpolylineBody>().elevation, 2);
    EXPECT_EQ(polyline.header.colour, 4);
}

// The release hook records which picture blocks it was given, with which host word.
std::vector<std::pair<const void*, void*>> gReleasedPictures;
void recordRelease(void* block, void* host) { gReleasedPictures.emplace_back(block, host); }

class PictureRelease : public EntityAccess {
protected:
    void SetUp() override {
        EntityAccess::SetUp();
        gReleasedPictures.clear();
        dbSetEntityDataReleaseHook(recordRelease);
        dbSetHostContext(drawing, &hostWord);
    }
    // Appends an IMAGE whose picture the host supplied; returns the picture block.
    const void* addImage(EntityList* list, Handle& handle) {
        EntityRecord image;
        image.header.type = drawing->classes.numbers[size_t(ClassKind::Image)];
        dbInitEntity(drawing, image);
        image.header.handle = handle = dbNewHandle(*drawing);
        image.bodyAs<RasterImageBody>().picture.create(64)->bytes = {'B', 'M'};
        EXPECT_EQ(dbAppendEntity(drawing, list, std::move(image)), 1);
        return dbFindEntityNode(drawing, list, handle)->record.bodyAs<RasterImageBody>().picture.get();
    }
    std::vector<std::pair<const void*, void*>> released(const void* block) { return {{block, &hostWord}}; }
    int hostWord = 0;
};

// Every way a stored IMAGE is freed hands its picture to the host first, once.
TEST_F(PictureRelease, EveryWayOfFreeingAnImageHandsItsPictureToTheHost) {
    struct Case {
        const char* name;
        std::function<void(Drawing*, EntityList*, Handle)> free;
    };
    const Case cases[] = {
        {"delete", [](Drawing* d, EntityList* list, Handle h) { ASSERT_EQ(dbDeleteEntity(d, list, h), 1); }},
        {"replace", [this](Drawing* d, EntityList* list, Handle h) {
             EntityRecord replacement = line(1);
             replacement.header.handle = h;
             ASSERT_EQ(dbUpdateEntity(d, list, h, replacement), 1);
         }},
        {"free the list", [](Drawing* d, EntityList* list, Handle) { dbFreeEntityList(d, list); }},
        {"free the blocks", [](Drawing* d, EntityList*, Handle) { dbFreeBlocks(d); }},
        {"delete the block", [](Drawing* d, EntityList* list, Handle) {
             for (const BlockNode& block : d->blocks) {
                 if (block.entityList.get() == list) {
                     ASSERT_EQ(dbBlockDelete(d, block.record.handle), 1);
                     return;
                 }
             }
             FAIL() << "no block owns the list";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gReleasedPictures.clear();
        const Handle door = addBlock(std::string("DOOR-") + c.name);
        EntityList* list = dbGetBlockEntityList(drawing, door);
        Handle handle;
        const void* picture = addImage(list, handle);
        EXPECT_TRUE(gReleasedPictures.empty());
        c.free(drawing, list, handle);
        EXPECT_EQ(gReleasedPictures, released(picture));
        if (drawing->blocks.count == 0) {  // the block release took the layout blocks too
            dbFreeDrawing(drawing);
            drawing = dbCreateDrawing(nullptr, nullptr, 0, kVersionIndex2000);
            ASSERT_NE(drawing, nullptr);
            dbSetHostContext(drawing, &hostWord);
        }
    }
}

TEST_F(PictureRelease, FreeingTheDrawingHandsOverThePicturesOfEveryBlockOnce) {
    Handle model, paper;
    const void* modelPicture = addImage(drawing->modelSpace, model);
    const void* paperPicture = addImage(drawing->paperSpace, paper);
    const Handle layout = addBlock("*Paper_Space0");
    ASSERT_EQ(dbMakeLayoutBlockCurrent(drawing, layout), 1);  // the former paper space moves last
    EXPECT_TRUE(gReleasedPictures.empty());
    ASSERT_EQ(dbFreeDrawing(drawing), 1);
    drawing = nullptr;
    EXPECT_EQ(gReleasedPictures.size(), 2u);
    EXPECT_EQ(std::count(gReleasedPictures.begin(), gReleasedPictures.end(), released(modelPicture)[0]), 1);
    EXPECT_EQ(std::count(gReleasedPictures.begin(), gReleasedPictures.end(), released(paperPicture)[0]), 1);
}

TEST_F(PictureRelease, FreeingEntityDataHandsOverOnlyAPictureThatIsThere) {
    Handle handle;
    addImage(drawing->modelSpace, handle);
    EntityRecord copy;
    ASSERT_EQ(dbReadEntityByHandle(drawing, drawing->modelSpace, handle, copy), 1);
    ASSERT_EQ(dbFreeEntityData(drawing, copy), 1);
    EXPECT_EQ(gReleasedPictures.size(), 1u);
    EXPECT_FALSE(copy.bodyAs<RasterImageBody>().picture);
    ASSERT_EQ(dbFreeEntityData(drawing, copy), 1);  // nothing left to hand over
    EXPECT_EQ(gReleasedPictures.size(), 1u);

    // Neither a caller's copy going out of scope nor an IMAGE without a picture calls the host.
    gReleasedPictures.clear();
    { EntityRecord another = copy; }
    ASSERT_EQ(dbDeleteEntity(drawing, drawing->modelSpace, handle), 1);
    EXPECT_EQ(gReleasedPictures.size(), 1u);
    copy.header.handle = dbNewHandle(*drawing);
    ASSERT_EQ(dbAppendEntity(drawing, drawing->modelSpace, copy), 1);
    ASSERT_EQ(dbDeleteEntity(drawing, drawing->modelSpace, copy.header.handle), 1);
    EXPECT_EQ(gReleasedPictures.size(), 1u);
}

} // namespace
} // namespace tracemill
