// The BLOCK table: block records with the entity lists of their blocks. The two layout blocks
// ("*Model_Space" and the current "*Paper_Space") stand last, and new blocks go in front of
// them.
#include <memory>
#include <new>

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/table_access.h"
#include "toolkit/core/table_release.h"
#include "toolkit/core/viewport_index.h"

namespace tracemill {
namespace {

constexpr std::string_view kModelSpaceName = "*MODEL_SPACE";
constexpr std::string_view kPaperSpaceName = "*PAPER_SPACE";

// The node a new block goes in front of: "*MODEL_SPACE" among the last three nodes, else the
// earliest of the nodes looked at; null for an empty list.
ListLink* placementOf(const BlockList& list) {
    ListLink* before = nullptr;
    ListLink* node = list.last;
    for (int examined = 0; node && examined < 3; ++examined, node = node->previous) {
        before = node;
        if (dbEqualsNoCase(BlockList::asNode(node)->record.name, kModelSpaceName)) break;
    }
    return before;
}

// Rebuilds the viewport index from the VIEWPORT entities of the current paper space.
void rebuildViewportIndex(Drawing& drawing) {
    drawing.viewportIndex.clear();
    if (!drawing.paperSpace) return;
    for (EntityNode& node : *drawing.paperSpace) {
        if (node.record.header.type == kEntityViewport) dbViewportIndexAdd(drawing, &node);
    }
}

} // namespace

int dbBlockRewind(Drawing* drawing) { return drawing ? table::rewind(drawing->blocks) : 0; }

int dbBlockNext(Drawing* drawing, BlockRecord& out) { return drawing ? table::next(drawing->blocks, out) : 0; }

int dbBlockGet(Drawing* drawing, Handle handle, BlockRecord& out) {
    return drawing ? table::get(*drawing, drawing->blocks, handle, out) : 0;
}

int dbBlockFindByName(Drawing* drawing, std::string_view name, Handle& out) {
    out = Handle();
    if (!drawing) return 0;
    if (dbBlockIndexNeedsRebuild(drawing, dbListCount(&drawing->blocks)) && !dbRebuildBlockNameIndex(drawing)) {
        return 0;
    }
    return dbFindBlockInIndex(drawing, name, out);
}

int dbBlockUpdate(Drawing* drawing, const BlockRecord& record) {
    if (!drawing) return 0;
    BlockNode* node = table::storedNodeOf(*drawing, drawing->blocks, record.handle);
    if (!node) return 0;
    if (node->record.name != record.name) dbMarkBlockIndexStale(drawing);
    HandleList references = std::move(node->record.insertReferences);
    node->record = record;
    node->record.insertReferences = std::move(references);
    node->record.entities = node->entityList.get();
    return 1;
}

int32_t dbBlockCount(Drawing* drawing) { return drawing ? table::count(drawing->blocks) : 0; }

int dbBlockAdd(Drawing* drawing, const BlockRecord& record) {
    if (!drawing) return 0;
    BlockNode node(record);
    node.record.insertReferences.clear();
    node.entityList.reset(new (std::nothrow) EntityList());
    if (!node.entityList) return dbReportError(kErrorNoMemoryForBlock, kErrorReasonNoMemory);
    node.record.entities = node.entityList.get();
    ListLink* before = placementOf(drawing->blocks);
    if (!dbAddTableRecord(record.handle, drawing->handleIndex, std::move(node), &drawing->blocks,
                          before ? kInsertBefore : kInsertAtEnd, before)) {
        return 0;
    }
    dbMarkBlockIndexStale(drawing);
    return 1;
}

int dbBlockDelete(Drawing* drawing, Handle handle) {
    dbSetError(0);
    if (!drawing) return 0;
    BlockList& list = drawing->blocks;
    if (dbListCount(&list) == 0) return dbSetError(kErrorBlockTableEmpty);
    for (BlockNode& node : list) {
        if (node.record.handle != handle) continue;
        EntityList* entities = node.entityList.get();
        if (entities) {
            dbFreeEntityList(drawing, entities);
            if (drawing->modelSpace == entities) drawing->modelSpace = nullptr;
            if (drawing->paperSpace == entities) drawing->paperSpace = nullptr;
        }
        dbListUnlinkOne(&list, &node);
        BlockList::freeNode(&node);
        dbHandleTreeRemove(drawing->handleIndex, handle);
        dbMarkBlockIndexStale(drawing);
        return 1;
    }
    return dbSetError(kErrorBlockRecordNotFound);
}

int dbMakeLayoutBlockCurrent(Drawing* drawing, Handle block) {
    if (!drawing) return 0;
    if (block.isNull()) return 1;  // model space
    BlockNode* chosen = table::storedNodeOf(*drawing, drawing->blocks, block);
    if (!chosen) return 0;
    const std::string& name = chosen->record.name;
    if (dbEqualsNoCase(name, kModelSpaceName)) return 1;
    if (dbCompareNoCaseN(name, kPaperSpaceName, long(kPaperSpaceName.size())) != 0) return dbSetError(kErrorBlockRecordNotFound);
    BlockNode* current = dbLookupBlock(*drawing, drawing->handles.paperSpaceBlock);
    if (current == chosen) return 1;

    if (current) std::swap(current->record.name, chosen->record.name);
    drawing->handles.paperSpaceBlock = chosen->record.handle;
    drawing->handles.paperSpaceBlockEntity = chosen->record.blockEntity;
    drawing->handles.paperSpaceEndBlockEntity = chosen->record.endBlockEntity;
    drawing->paperSpace = chosen->entityList.get();
    if (current) {
        dbListUnlinkOne(&drawing->blocks, current);
        dbListAppendNode(&drawing->blocks, current);
    }
    dbMarkBlockIndexStale(drawing);
    rebuildViewportIndex(*drawing);
    return 1;
}

int dbBuildBlockHandleTable(Drawing* drawing) {
    if (!drawing) return 0;
    drawing->blockHandleTable.clear();
    try {
        for (const BlockNode& node : drawing->blocks) drawing->blockHandleTable.push_back(node.record.handle);
    } catch (const std::bad_alloc&) {
        drawing->blockHandleTable = {};
        return dbReportError(kErrorNoMemoryForList, kErrorReasonNoMemory);
    }
    return 1;
}

Handle dbBlockHandleAt(const Drawing* drawing, int32_t i) {
    if (!drawing || i < 0 || size_t(i) >= drawing->blockHandleTable.size()) return Handle();
    return drawing->blockHandleTable[size_t(i)];
}

} // namespace tracemill
