#include "toolkit/read/entity_passes.h"

#include <string>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/format_driver.h"
#include "toolkit/core/table_load.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/entity_section_reader.h"
#include "toolkit/read/load_session.h"

namespace tracemill {
namespace {

inline constexpr int kErrorNotAppended = 289;
inline constexpr int kErrorBlockRecordUnreadable = 130;

bool continueFlagSet() { return gSystemContext && gSystemContext->continueFlag != 0; }

// Raises the progress step of the space pass in steps of 5 towards the share of the section
// read, and reports 46 + step / 4 when it moved.
void reportSpaceProgress(Drawing& drawing, LoadSession& session) {
    const int16_t percent = dbLoadProgress(drawing);
    const int16_t before = session.progressStep;
    while (session.progressStep + 5 <= percent) session.progressStep = int16_t(session.progressStep + 5);
    if (session.progressStep > 100) session.progressStep = 100;
    if (session.progressStep != before) rdReportLoadProgress(&drawing, 46 + session.progressStep / 4);
}

// DXF files from R13 on give the BLOCK and ENDBLK entities of a layout block in the BLOCKS
// section: their handles are the layout's.
void readLayoutBlockEntities(Drawing& drawing, LoadSession& session, const BlockRecord& block) {
    FormatDriver& driver = *drawing.driver;
    session.currentBlock = block.handle;
    session.currentBlockName = block.name;
    if (!driver.seekBlockEntities(drawing)) return;
    Handle begin;
    Handle end;
    for (int i = 0; i < 2; ++i) {
        EntityRecord entity;
        uint8_t hasXData = 0;
        if (!driver.readEntity(drawing, entity, hasXData)) break;
        if (entity.header.type == kEntityBlock) begin = entity.header.handle;
        if (entity.header.type == kEntityEndBlock) end = entity.header.handle;
    }
    const bool model = block.handle == drawing.handles.modelSpaceBlock;
    (model ? drawing.handles.modelSpaceBlockEntity : drawing.handles.paperSpaceBlockEntity) = begin;
    (model ? drawing.handles.modelSpaceEndBlockEntity : drawing.handles.paperSpaceEndBlockEntity) = end;
    if (BlockNode* node = dbLookupBlock(drawing, block.handle)) {
        node->record.blockEntity = begin;
        node->record.endBlockEntity = end;
    }
}

} // namespace

int rdAddLoadedEntity(Drawing& drawing, EntityList* list, EntityRecord&& entity) {
    LoadSession& session = *drawing.load;
    if (entity.header.handle.isNull() || dbHandleTreeFind(drawing.handleIndex, entity.header.handle)) {
        entity.header.handle = dbNewHandle(drawing);
    }
    if (const InsertBody* insert = entity.body.getIf<InsertBody>()) {
        // An INSERT of a block the file does not have refers to nothing: it is not placed.
        if (!dbLookupBlock(drawing, insert->block)) {
            ++session.unplacedRecords;
            return 1;
        }
    }
    if (!dbAppendEntity(&drawing, list, std::move(entity))) {
        session.loadError = kErrorNotAppended;
        return 0;
    }
    return 1;
}

int rdLoadEntities(Drawing& drawing, EntityList* modelList, EntityList* paperList, bool assignNewHandles,
                   bool blockMode) {
    LoadSession& session = *drawing.load;
    session.loadError = 0;
    for (uint32_t count = 1;; ++count) {
        if (!continueFlagSet()) return 1;
        const int kind = rdReadEntities(drawing, modelList, paperList, assignNewHandles, blockMode);
        if (kind == 0) {
            if (session.loadError == 0) return 1;
            return dbSetError(session.loadError);
        }
        if (blockMode && kind == kEntityEndBlock) return 1;
        if (!blockMode && count % 10 == 0) reportSpaceProgress(drawing, session);
    }
}

int rdLoadSpaceEntities(Drawing& drawing) {
    if (!drawing.driver->seekSpaceEntities(drawing)) return 0;
    return rdLoadEntities(drawing, drawing.modelSpace, drawing.paperSpace, drawing.load->spaceNewHandles, false);
}

int rdLoadBlockEntities(Drawing& drawing) {
    LoadSession& session = *drawing.load;
    FormatDriver& driver = *drawing.driver;
    const bool dxf = drawing.sourceFormat != SourceFormat::Dwg;
    std::vector<Handle> blocks;
    for (const BlockNode& node : drawing.blocks) blocks.push_back(node.record.handle);
    const size_t n = blocks.size();
    for (size_t i = 0; i < n; ++i) {
        rdReportLoadProgress(&drawing, int(71 + 25 * (i + 1) / n));
        BlockNode* node = dbLookupBlock(drawing, blocks[i]);
        if (!node) return dbSetError(kErrorBlockRecordUnreadable);
        const BlockRecord& block = node->record;
        const bool layout =
            block.handle == drawing.handles.modelSpaceBlock || block.handle == drawing.handles.paperSpaceBlock;
        if (layout) {
            if (dxf && drawing.versionIndex >= kVersionAC1012) readLayoutBlockEntities(drawing, session, block);
            continue;
        }
        if (block.flags & kBlockExternalReference) continue;
        session.currentBlock = block.handle;
        session.currentBlockName = block.name;
        if (!driver.seekBlockEntities(drawing)) return 0;
        EntityList* list = node->entityList.get();
        if (!rdLoadEntities(drawing, list, list, session.blockNewHandles, true)) return 0;
        // A block record that did not name its ENDBLK (DXF) takes the one its list ends with.
        if (BlockNode* read = dbLookupBlock(drawing, blocks[i]); read && read->record.endBlockEntity.isNull() && list &&
            list->last && static_cast<EntityNode*>(list->last)->record.header.type == kEntityEndBlock) {
            read->record.endBlockEntity = static_cast<EntityNode*>(list->last)->record.header.handle;
        }
    }
    return 1;
}

} // namespace tracemill
