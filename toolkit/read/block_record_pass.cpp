#include "toolkit/read/block_record_pass.h"

#include <string_view>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/fixed_records.h"
#include "toolkit/core/format_driver.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/version_index.h"

namespace tracemill {
namespace {

struct LayoutBlock {
    bool found = false;
    BlockRecord record;
};

// What the file says of a layout block beyond its name, handle and BLOCK/ENDBLK entities goes
// onto the block made for it, so nothing of it is lost.
void keepContents(Drawing& drawing, Handle handle, LayoutBlock& from) {
    if (!from.found) return;
    BlockNode* node = dbLookupBlock(drawing, handle);
    if (!node) return;
    BlockRecord& to = node->record;
    BlockRecord& file = from.record;
    if (!file.owner.isNull()) to.owner = file.owner;
    to.flags = file.flags;
    to.extensionDictionary = file.extensionDictionary;
    to.xdata = std::move(file.xdata);
    to.reactors = std::move(file.reactors);
    to.layout = file.layout;
    to.basePoint = file.basePoint;
    to.xrefPath = std::move(file.xrefPath);
    to.description = std::move(file.description);
    to.preview = std::move(file.preview);
}

// Adding a block places it in front of the last blocks of the list, so that the two layout
// blocks stay last; while a load adds the file's blocks the layout blocks are not there yet,
// and the placement would turn the first three blocks of the file round and put them last.
// The blocks read are put back into the order of the file, so a drawing saved and loaded
// again keeps its order (and the numbers of its anonymous blocks).
void keepFileOrder(Drawing& drawing, const std::vector<Handle>& inFileOrder) {
    for (Handle handle : inFileOrder) {
        BlockNode* node = dbLookupBlock(drawing, handle);
        if (!node || !dbListUnlinkOne(&drawing.blocks, node)) continue;
        dbListAppendNode(&drawing.blocks, node);
    }
}

} // namespace

int rdLoadBlockRecords(Drawing& d) {
    FormatDriver& driver = *d.driver;
    const bool dxf = d.sourceFormat != SourceFormat::Dwg;
    LayoutBlock model;
    LayoutBlock paper;
    std::vector<Handle> inFileOrder;
    if (!driver.seekBlockRecords(d)) return 0;
    for (;;) {
        BlockRecord record;
        uint8_t hasXData = 0;
        if (!driver.readBlockRecord(d, record, hasXData)) return 0;
        if (record.endOfTable) break;
        if (hasXData && !driver.attachExtendedData(d, record.xdata)) return 0;
        if (dbEqualsNoCase(record.name, "*MODEL_SPACE")) {
            model = {true, std::move(record)};
            continue;
        }
        if (dxf && dbEqualsNoCase(record.name, "*PAPER_SPACE")) {
            paper = {true, std::move(record)};
            continue;
        }
        // Before R13 blocks have no handles; a block without one, or with one already in use,
        // gets a new handle too.
        if (d.versionIndex < kVersionAC1012 || record.handle.isNull() || dbHandleTreeFind(d.handleIndex, record.handle)) {
            record.handle = dbNewHandle(d);
        }
        if (!dbBlockAdd(&d, record)) return 0;
        inFileOrder.push_back(record.handle);
    }
    keepFileOrder(d, inFileOrder);
    uint8_t found = 0;
    if (!driver.readLayoutBlockRecords(d, model.record, paper.record, found)) return 0;
    if (found & 1) model.found = true;
    if (found & 2) paper.found = true;

    if (!model.found) model.record.name = "*Model_Space";
    if (!paper.found) paper.record.name = "*Paper_Space";
    Handle modelHandle = model.record.handle;
    Handle paperHandle = paper.record.handle;
    if (!dbCreateSpaceBlocks(&d, modelHandle, paperHandle, model.record.blockEntity, paper.record.blockEntity,
                             model.record.endBlockEntity, paper.record.endBlockEntity, model.record.name,
                             paper.record.name, model.record.flags, paper.record.flags)) {
        return 0;
    }
    d.handles.modelSpaceBlock = modelHandle;
    d.handles.paperSpaceBlock = paperHandle;
    d.handles.modelSpaceBlockEntity = model.record.blockEntity;
    d.handles.modelSpaceEndBlockEntity = model.record.endBlockEntity;
    d.handles.paperSpaceBlockEntity = paper.record.blockEntity;
    d.handles.paperSpaceEndBlockEntity = paper.record.endBlockEntity;
    keepContents(d, modelHandle, model);
    keepContents(d, paperHandle, paper);
    if (BlockNode* node = dbLookupBlock(d, modelHandle)) node->record.entityCount = model.record.entityCount;
    if (BlockNode* node = dbLookupBlock(d, paperHandle)) node->record.entityCount = paper.record.entityCount;
    return 1;
}

} // namespace tracemill
