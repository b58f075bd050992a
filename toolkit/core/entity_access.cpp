#include "toolkit/core/entity_access.h"

#include <algorithm>
#include <new>
#include <type_traits>

#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/viewport_index.h"

namespace tracemill {
namespace {

bool isPaperSpaceViewport(const Drawing& drawing, const EntityList* list, const EntityRecord& entity) {
    return entity.header.type == kEntityViewport && list && list == drawing.paperSpace;
}

const InsertBody* insertBody(const EntityRecord& entity) {
    return entity.header.type == kEntityInsert ? entity.body.getIf<InsertBody>() : nullptr;
}

void removeInsertReference(Drawing& drawing, const EntityRecord& entity) {
    const InsertBody* insert = insertBody(entity);
    if (!insert) return;
    BlockNode* block = dbLookupBlock(drawing, insert->block);
    if (!block) return;
    std::erase(block->record.insertReferences, entity.header.handle);
}

// Where a new entity goes: after `after`, at the front when `after` is null and `atEnd` is
// false, or at the end.
struct Placement {
    ListLink* after = nullptr;
    bool atEnd = false;
};

// Checks an INSERT's block; 0 with error 232 when it is missing.
int checkInsertBlock(Drawing& drawing, const EntityRecord& entity, BlockNode** block) {
    *block = nullptr;
    const InsertBody* insert = insertBody(entity);
    if (!insert) return 1;
    *block = dbLookupBlock(drawing, insert->block);
    if (!*block) return dbSetError(kErrorInsertBlockMissing);
    return 1;
}

// Indexes a handle for a node: 1, or 0 with error 172 (duplicate) or 173.
int indexHandle(Drawing& drawing, Handle handle, ListLink* node) {
    const int indexed = dbHandleTreeInsert(drawing.handleIndex, handle, node);
    if (indexed == kHandleTreeInserted) return 1;
    if (indexed == kHandleTreeDuplicate) {
        if (gSystemContext) gSystemContext->errorHandle = handle;
        return dbSetError(kErrorDuplicateRecordHandle);
    }
    return dbSetError(kErrorRecordHandleNotIndexed);
}

int insertEntity(Drawing& drawing, EntityList& list, EntityRecord&& entity, Placement placement) {
    const Handle handle = entity.header.handle;
    if (handle.isNull()) return dbSetError(kErrorNullRecordHandle);
    BlockNode* block = nullptr;
    if (!checkInsertBlock(drawing, entity, &block)) return 0;

    EntityNode* node = new (std::nothrow) EntityNode(std::move(entity));
    if (!node) return dbReportError(kErrorNoMemoryForAppend, kErrorReasonNoMemory);
    if (!indexHandle(drawing, handle, node)) {
        delete node;
        return 0;
    }
    if (placement.atEnd) {
        dbListAppendNode(&list, node);
    } else {
        dbListInsertChainAfter(&list, placement.after, node);
    }
    try {
        if (block) block->record.insertReferences.push_back(handle);
        if (isPaperSpaceViewport(drawing, &list, node->record) && !dbViewportIndexAdd(drawing, node)) {
            throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        if (block) std::erase(block->record.insertReferences, handle);
        dbHandleTreeRemove(drawing.handleIndex, handle);
        dbListUnlinkOne(&list, node);
        delete node;
        return dbReportError(kErrorNoMemoryForAppend, kErrorReasonNoMemory);
    }
    dbMarkClassUsed(drawing.classes, node->record.header.type);
    return 1;
}

} // namespace

int dbNewHandle(Drawing* drawing, Handle& out) {
    if (!drawing) return 0;
    out = drawing->handleSeed;
    dbHandleIncrement(drawing->handleSeed);
    return 1;
}

Handle dbNewHandle(Drawing& drawing) {
    Handle handle;
    dbNewHandle(&drawing, handle);
    return handle;
}

void dbSetHandleSeed(Drawing* drawing, Handle handle) {
    if (!drawing) return;
    drawing->handleSeed = handle;
    if (drawing->header) drawing->header->handseed = handle;
}

void dbSetHandleSeedFromContext(Drawing* drawing) {
    if (!drawing) return;
    dbSetHandleSeed(drawing, Handle(1));
    if (drawing->header) drawing->header->handling = 1;
}

int dbAddEntity(Drawing* drawing, EntityList* list, EntityRecord entity, const Handle* after) {
    if (!drawing || !list) return dbSetError(kErrorNoEntityList);
    Placement placement;
    if (after && !after->isNull()) {
        placement.after = dbLookupNode(*drawing, *list, *after);
        if (!placement.after) return dbSetError(kErrorEntityNotFound);
    }
    return insertEntity(*drawing, *list, std::move(entity), placement);
}

int dbAppendEntity(Drawing* drawing, EntityList* list, EntityRecord entity) {
    if (!drawing || !list) return dbSetError(kErrorNoEntityList);
    Placement placement;
    placement.atEnd = true;
    return insertEntity(*drawing, *list, std::move(entity), placement);
}

int dbReadEntity(EntityList* list, EntityRecord& out) {
    const EntityRecord* stored = dbReadStoredEntity(list);
    if (!stored) return 0;
    out = *stored;
    return 1;
}

const EntityRecord* dbReadStoredEntity(EntityList* list) {
    EntityNode* node = dbListReadNextNode(list);
    return node ? &node->record : nullptr;
}

int dbRewindEntityList(EntityList* list) {
    if (!list) return 0;
    dbListRewind(list);
    return 1;
}

int dbReadEntityByHandle(Drawing* drawing, EntityList* list, Handle handle, EntityRecord& out) {
    if (!drawing || !list) return dbSetError(kErrorNoEntityList);
    LookupResult result;
    EntityNode* node = dbLookupNode(*drawing, *list, handle, &result);
    if (!node) return dbSetError(result == LookupResult::NotIndexed ? kErrorHandleNotIndexed : kErrorHandleOfOtherTable);
    dbListSeek(list, node);
    return dbReadEntity(list, out);
}

EntityNode* dbFindEntityNode(Drawing* drawing, EntityList* list, Handle handle) {
    if (!drawing || !list) return nullptr;
    return dbLookupNode(*drawing, *list, handle);
}

int dbUpdateEntity(Drawing* drawing, EntityList* list, Handle handle, EntityRecord entity) {
    if (!drawing || !list) return dbSetError(kErrorEntityNotFoundForUpdate);
    EntityNode* node = dbLookupNode(*drawing, *list, handle);
    if (!node) return dbSetError(kErrorEntityNotFoundForUpdate);
    const Handle newHandle = entity.header.handle;
    if (newHandle.isNull()) return dbSetError(kErrorNullRecordHandle);
    if (newHandle != handle && dbHandleTreeFind(drawing->handleIndex, newHandle)) {
        if (gSystemContext) gSystemContext->errorHandle = newHandle;
        return dbSetError(kErrorDuplicateRecordHandle);
    }
    BlockNode* block = nullptr;
    if (!checkInsertBlock(*drawing, entity, &block)) return 0;
    if (newHandle != handle && !indexHandle(*drawing, newHandle, node)) return 0;

    removeInsertReference(*drawing, node->record);
    if (isPaperSpaceViewport(*drawing, list, node->record)) dbViewportIndexRemove(*drawing, handle);
    if (newHandle != handle) dbHandleTreeRemove(drawing->handleIndex, handle);
    dbReleaseEntityHostData(*drawing, node->record);
    node->record = std::move(entity);
    try {
        if (block) block->record.insertReferences.push_back(newHandle);
        if (isPaperSpaceViewport(*drawing, list, node->record) && !dbViewportIndexAdd(*drawing, node)) {
            throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        return dbReportError(kErrorNoMemoryForAppend, kErrorReasonNoMemory);
    }
    dbMarkClassUsed(drawing->classes, node->record.header.type);
    return 1;
}

int dbRemoveEntityNode(Drawing* drawing, EntityList* list, EntityNode* node) {
    if (!drawing || !list || !node || node->owner != list) return 0;
    removeInsertReference(*drawing, node->record);
    if (isPaperSpaceViewport(*drawing, list, node->record)) {
        dbViewportIndexRemove(*drawing, node->record.header.handle);
    }
    dbHandleTreeRemove(drawing->handleIndex, node->record.header.handle);
    dbListUnlinkOne(list, node);
    dbReleaseEntityHostData(*drawing, node->record);
    delete node;
    return 1;
}

int dbDeleteEntity(Drawing* drawing, EntityList* list, Handle handle) {
    if (!drawing || !list) return dbSetError(kErrorNoEntityList);
    EntityNode* node = dbLookupNode(*drawing, *list, handle);
    if (!node) return dbSetError(kErrorEntityNotFound);
    return dbRemoveEntityNode(drawing, list, node);
}

void dbReleaseEntityHostData(const Drawing& drawing, const EntityRecord& entity) {
    const EntityDataReleaseHook release = gSystemContext ? gSystemContext->entityDataRelease : nullptr;
    if (!release) return;
    const RasterImageBody* image = entity.body.getIf<RasterImageBody>();
    if (image && image->picture) release(image->picture.get(), drawing.hostContext);
}

void dbReleaseEntityHostData(const Drawing& drawing, const EntityList& list) {
    if (!gSystemContext || !gSystemContext->entityDataRelease) return;
    for (const EntityNode& node : list) dbReleaseEntityHostData(drawing, node.record);
}

int dbFreeEntityData(Drawing* drawing, EntityRecord& entity) {
    if (!drawing) return 0;
    dbReleaseEntityHostData(*drawing, entity);
    entity.header.xdata.reset();
    entity.header.xdataSize = 0;
    entity.header.reactors = {};
    entity.body.visit([](auto& body) {
        using Body = std::decay_t<decltype(body)>;
        if constexpr (std::is_same_v<Body, SplineBody>) {
            body.data = {};
        } else if constexpr (std::is_same_v<Body, AcisBody>) {
            body.satText.reset();
            body.trailingBits.reset();
        } else if constexpr (std::is_same_v<Body, ViewportBody>) {
            body.frozenLayers = {};
        } else if constexpr (std::is_same_v<Body, MtextBody>) {
            body.text = {};
        } else if constexpr (std::is_same_v<Body, LeaderBody>) {
            body.points = {};
        } else if constexpr (std::is_same_v<Body, MlineBody>) {
            body.vertices = {};
        } else if constexpr (std::is_same_v<Body, LwpolylineBody>) {
            body.vertices = {};
        } else if constexpr (std::is_same_v<Body, HatchBody>) {
            body.paths = {};
            body.patternLines = {};
            body.seedPoints = {};
        } else if constexpr (std::is_same_v<Body, RasterImageBody>) {
            body.clipVertices = {};
            body.graphics.reset();
            body.picture.reset();
        } else if constexpr (std::is_same_v<Body, Ole2FrameBody>) {
            body.data.reset();
        } else if constexpr (std::is_same_v<Body, RtextBody> || std::is_same_v<Body, ArcAlignedTextBody>) {
            body.graphics.reset();
        } else if constexpr (std::is_same_v<Body, ProxyEntityBody>) {
            body.data.reset();
            body.dataBitCount = 0;
            body.references = {};
            body.graphics.reset();
            body.satText.reset();
        }
    });
    return 1;
}

EntityList* dbGetBlockEntityList(Drawing* drawing, Handle block) {
    BlockNode* node = drawing ? dbLookupBlock(*drawing, block) : nullptr;
    if (!node) {
        dbSetError(kErrorBlockNotFound);
        return nullptr;
    }
    return node->entityList.get();
}

int32_t dbCountBlockEntities(Drawing* drawing, Handle block) {
    BlockNode* node = drawing ? dbLookupBlock(*drawing, block) : nullptr;
    return node && node->entityList ? dbListCount(node->entityList.get()) : 0;
}

} // namespace tracemill
