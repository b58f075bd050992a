#include "toolkit/core/drawing.h"

#include <algorithm>
#include <new>

#include "toolkit/core/default_records.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/fixed_records.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/load_defaults.h"

namespace tracemill {
namespace {

inline constexpr int kErrorNoMemoryForHeader = 181;

// The current-entry handles of a new drawing's header: the first record of each table.
void setCurrentEntries(Drawing& drawing) {
    CurrentEntryHandles& current = drawing.header->current;
    current.textstyle = dbFirstRecordHandle(drawing.styles);
    current.dimtxsty = current.textstyle;
    current.clayer = dbFirstRecordHandle(drawing.layers);
    current.celtype = dbFirstRecordHandle(drawing.linetypes);
    current.dimstyle = dbFirstRecordHandle(drawing.dimStyles);
    current.pucsname = Handle();
    current.ucsname = Handle();
}

Drawing* failCreate(Drawing* drawing) {
    const int error = dbGetError();
    delete drawing;
    dbSetError(error);
    return nullptr;
}

} // namespace

Drawing::Drawing() = default;

// Every entity list belongs to its block record, so freeing the block list frees each list
// exactly once whatever the order of the blocks (a layout switch moves blocks around).
Drawing::~Drawing() {
    referencedDrawings.clear();
    for (const BlockNode& block : blocks) {
        if (block.entityList) dbReleaseEntityHostData(*this, *block.entityList);
    }
    modelSpace = nullptr;
    paperSpace = nullptr;
    viewportIndex.clear();
    objects.clear();
    blocks.clear();
    dbHandleTreeFree(handleIndex);
}

Drawing* dbAllocDrawing() {
    dbSetError(1);
    Drawing* drawing = new (std::nothrow) Drawing();
    if (!drawing) {
        dbReportError(kErrorNoMemoryForList, kErrorReasonNoMemory);
        return nullptr;
    }
    dbSetError(0);
    return drawing;
}

Drawing* dbCreateDrawing(const HandleSet* handleSet, const ClassEntry* classes, int16_t classCount,
                         uint16_t versionIndex) {
    dbSetError(0);
    Drawing* drawing = dbAllocDrawing();
    if (!drawing) return nullptr;
    Drawing& d = *drawing;

    d.header.reset(new (std::nothrow) HeaderBlock());
    if (!d.header) {
        dbReportError(kErrorNoMemoryForHeader, kErrorReasonNoMemory);
        return failCreate(drawing);
    }
    dbInitHeader(*d.header);
    dbSetHandleSeedFromContext(drawing);
    if (handleSet) {
        // With a set the seed goes behind its largest handle at once: a record whose entry is
        // zero takes a new handle, which must not be one of the set's.
        Handle largest = *std::max_element(handleSet->begin(), handleSet->end());
        dbHandleIncrement(largest);
        d.handleSeed = std::max(d.handleSeed, largest);
    }
    d.flags = 0;
    d.creationVersion = versionIndex;
    d.versionIndex = int16_t(std::min<uint16_t>(versionIndex, uint16_t(kVersionIndex2000)));

    dbAssignTableHandles(drawing, handleSet);
    if (handleSet) {
        d.handles.modelSpaceBlockEntity = (*handleSet)[kHandleSetModelSpaceBlockEntity];
        d.handles.modelSpaceEndBlockEntity = (*handleSet)[kHandleSetModelSpaceEndBlockEntity];
        d.handles.paperSpaceBlockEntity = (*handleSet)[kHandleSetPaperSpaceBlockEntity];
        d.handles.paperSpaceEndBlockEntity = (*handleSet)[kHandleSetPaperSpaceEndBlockEntity];
    } else {
        d.handles.modelSpaceBlockEntity = dbNewHandle(d);
        d.handles.modelSpaceEndBlockEntity = dbNewHandle(d);
        d.handles.paperSpaceBlockEntity = dbNewHandle(d);
        d.handles.paperSpaceEndBlockEntity = dbNewHandle(d);
    }

    if (!classes) {
        if (!dbAddDefaultClasses(d.classes)) return failCreate(drawing);
    } else {
        for (int16_t i = 0; i < classCount; ++i) {
            if (!dbAppendClass(d.classes, classes[i])) return failCreate(drawing);
        }
    }

    if (!dbAddByBlockByLayerLinetypes(d, handleSet) || !dbAddContinuousLinetype(d, handleSet) ||
        !dbAddLayerZero(d, handleSet) || !dbAddActiveVport(d, handleSet) || !dbAddAcadAppId(d, handleSet) ||
        !dbAddStandardStyle(d, handleSet) || !dbAddStandardDimStyle(d, handleSet)) {
        return failCreate(drawing);
    }

    if (!dbCreateDefaultDictionaries(drawing, *d.header, handleSet)) return failCreate(drawing);
    if (!dbCreateSpaceBlocks(drawing, d.handles.modelSpaceBlock, d.handles.paperSpaceBlock,
                             d.handles.modelSpaceBlockEntity, d.handles.paperSpaceBlockEntity,
                             d.handles.modelSpaceEndBlockEntity, d.handles.paperSpaceEndBlockEntity, "*MODEL_SPACE",
                             "*PAPER_SPACE", 0, 0)) {
        return failCreate(drawing);
    }
    // A 2000 drawing has its plot styles and layouts from the start.
    if (d.versionIndex >= kVersionIndex2000 && !rdFinishLoadDefaults(d, handleSet)) return failCreate(drawing);

    setCurrentEntries(d);
    d.header->handseed = d.handleSeed;
    return drawing;
}

Handle dbHandleFromSet(Drawing& drawing, const HandleSet* handleSet, int index) {
    if (handleSet && !(*handleSet)[size_t(index)].isNull()) return (*handleSet)[size_t(index)];
    return dbNewHandle(drawing);
}

int dbFreeDrawing(Drawing* drawing) {
    if (!drawing) return 0;
    delete drawing;
    return 1;
}

void dbSetHostContext(Drawing* drawing, void* context) {
    if (drawing) drawing->hostContext = context;
}

HeaderBlock* dbGetHeaderBlock(Drawing* drawing) { return drawing ? drawing->header.get() : nullptr; }

int16_t dbGetVersionIndex(const Drawing* drawing) { return drawing ? drawing->versionIndex : 0; }

uint8_t dbGetSourceFormat(const Drawing* drawing) { return drawing ? uint8_t(drawing->sourceFormat) : 0; }

int dbIsPreR12OrForced(const Drawing* drawing, int flag) {
    return flag || dbGetVersionIndex(drawing) < kVersionAC1009 ? 1 : 0;
}

void dbClearHeaderNameRefs(Drawing* drawing) {
    if (!drawing) return;
    drawing->nameRefState.fill(0xFF);
    drawing->nameRefHandles.fill(Handle());
    for (std::string& name : drawing->nameRefNames) name.clear();
}

} // namespace tracemill
