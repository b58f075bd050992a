#include "toolkit/display/display_interface.h"

#include <charconv>
#include <cmath>
#include <new>
#include <string_view>

#include "toolkit/core/current_layout.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/paper_space_switch.h"
#include "toolkit/display/layout_plot_style.h"
#include "toolkit/core/version_index.h"
#include "toolkit/display/display_list_recorder.h"
#include "toolkit/display/display_list_replay.h"
#include "toolkit/display/display_list_view.h"
#include "toolkit/display/draw_order.h"
#include "toolkit/display/entity_walk.h"
#include "toolkit/display/viewports.h"

namespace tracemill {
namespace {

// Bit of a layout's plot flags: its viewports are drawn before model space.
constexpr int16_t kLayoutDrawViewportsFirst = 0x200;

// The integer value of the dictionary variable of that name (a DICTIONARYVAR entry of any
// dictionary, the name compared without case), or `fallback`.
int dictionaryVariable(Drawing& drawing, std::string_view name, int fallback) {
    const uint16_t variableClass = dbClassDictionaryVar(drawing.classes);
    for (const ObjectNode& node : drawing.objects) {
        if (node.record.header.type != kObjectDictionary) continue;
        const DictionaryBody* dictionary = node.record.body.getIf<DictionaryBody>();
        if (!dictionary) continue;
        for (const DictionaryEntry& entry : dictionary->entries) {
            if (!dbEqualsNoCase(entry.name, name)) continue;
            const ObjectRecord* object = dbFindStoredObject(&drawing, entry.handle);
            if (!object || variableClass == 0 || object->header.type != variableClass) continue;
            const DictionaryVarBody* variable = object->body.getIf<DictionaryVarBody>();
            if (!variable) continue;
            int value = 0;
            const std::string& text = variable->value;
            const char* begin = text.data();
            while (begin < text.data() + text.size() && *begin == ' ') ++begin;
            std::from_chars(begin, text.data() + text.size(), value);
            return value;
        }
    }
    return fallback;
}

// The frame switches of raster images and wipeouts, from the objects that keep them.
void readFrameSwitches(Drawing& drawing, DisplayContext& context) {
    context.imageFrame = 1;
    context.wipeoutFrame = 1;
    bool image = false, wipeout = false;
    for (const ObjectNode& node : drawing.objects) {
        if (const auto* raster = node.record.body.getIf<RasterVariablesBody>(); raster && !image) {
            context.imageFrame = uint8_t(raster->displayFrame);
            image = true;
        } else if (const auto* wipe = node.record.body.getIf<WipeoutVariablesBody>(); wipe && !wipeout) {
            context.wipeoutFrame = uint8_t(wipe->displayFrame);
            wipeout = true;
        }
        if (image && wipeout) break;
    }
}

Handle acadApplication(const Drawing& drawing) {
    for (const auto& node : drawing.appIds) {
        if (dbEqualsNoCase(node.record.name, "ACAD")) return node.record.handle;
    }
    return Handle();
}

void walkBlock(Drawing* drawing, Handle block) {
    EntityList* list = dbGetBlockEntityList(drawing, block);
    if (!list) return;
    DrawOrderTable table;
    genBuildDrawOrderTable(drawing, list, block, table);
    genDrawEntityList(drawing, list, table.entries.empty() ? nullptr : &table);
    genFreeDrawOrderTable(table);
}

} // namespace

DisplayContextPtr genNewDisplayContext() {
    return DisplayContextPtr(new (std::nothrow) DisplayContext(), [](DisplayContext* context) { delete context; });
}

int genCreateDisplayContext(Drawing* drawing, ViewBlock& view, const HostRect& deviceRect, HostRect* cacheRect,
                            Drawing* owner, const Handle* layout) {
    if (!drawing || !drawing->header) return 0;
    DisplayContextPtr made = genNewDisplayContext();
    if (!made) return dbReportError(kErrorNoDisplayContext, kErrorReasonNoMemory);
    DisplayContext* context = made.get();
    drawing->displayContext = std::move(made);
    context->ownerDrawing = owner ? owner : drawing;
    context->displayListMode = gOutputHookTable ? gOutputHookTable->displayListMode : 0;
    context->sourceFormat = uint8_t(drawing->sourceFormat);
    if (context->ownerDrawing != drawing && gOutputHookTable) context->xrefBlockName = gOutputHookTable->xrefBlockName;
    if (gOutputHookTable) gOutputHookTable->regenFlags = 0;

    const bool modelSpace = drawing->versionIndex < kVersionAC1009 || drawing->header->tilemode != 0;
    dbSetPaperSpaceActive(drawing, !modelSpace);
    if (context->ownerDrawing == drawing) {
        readFrameSwitches(*drawing, *context);
        context->xclipFrame = uint8_t(dictionaryVariable(*drawing, "XCLIPFRAME", 0) != 0);
        // With the display-list cache the viewports are laid on its grid, which stands for the
        // device rectangle.
        HostRect grid;
        const bool onGrid = context->displayListMode && genDlistSetGrid(drawing, deviceRect, grid);
        genSetupViewports(drawing, onGrid ? grid : deviceRect, view, layout ? *layout : Handle());
        if (onGrid) {
            genDlistSaveView(drawing, view);
            genDlistSetWindow(drawing, view, deviceRect);
            if (cacheRect) *cacheRect = grid;
        }
        context->lastView = view;
        genComputeExtentsView(drawing);
    } else {
        context->lastView = view;
    }
    drawing->acadAppId = acadApplication(*drawing);
    return 1;
}

int genBeginDisplay(Drawing* drawing, ViewBlock& view, const HostRect& deviceRect, HostRect* cacheRect,
                    const Handle* layout) {
    if (!drawing) return 0;
    if (drawing->displayContext && drawing->displayContext->passDepth > 0) return dbSetError(kErrorNotDisplayed);
    if (layout) drawing->layoutBlockToShow = *layout;
    const Handle shown = drawing->layoutBlockToShow;
    return genCreateDisplayContext(drawing, view, deviceRect, cacheRect, drawing, shown.isNull() ? nullptr : &shown);
}

int genPrepareView(Drawing* drawing, ViewBlock& view, const HostRect& deviceRect, HostRect* cacheRect) {
    if (!drawing || !drawing->displayContext) return 0;
    view.direction.w = 0.0;
    view.target.w = 1.0;
    view.up.w = 0.0;
    DisplayContext& context = *drawing->displayContext;
    if (!context.displayListMode || context.ownerDrawing != drawing) {
        genApplyView(drawing, view, deviceRect);
        return 0;
    }
    DisplayList& list = context.displayList;
    if (context.viewCacheValid && !genDlistViewChanged(drawing, view, deviceRect)) {
        genDlistSetWindow(drawing, view, deviceRect);
        if (cacheRect) *cacheRect = {0, 0, list.gridWidth, list.gridHeight};
        return 0;
    }
    // The recorded cells do not serve this view: the grid is laid anew for it, and the next
    // pass regenerates. A view without size or a device without area leaves the transforms
    // (and with them the grid) as they were.
    context.viewCacheValid = 0;
    const bool usable = deviceRect.right > deviceRect.left && deviceRect.bottom > deviceRect.top &&
                        view.width > 0.0 && view.height > 0.0;
    HostRect grid;
    if (!usable || !genDlistSetGrid(drawing, deviceRect, grid)) {
        if (usable) list.active = false;
        genApplyView(drawing, view, deviceRect);
        return 0;
    }
    genApplyView(drawing, view, grid);
    genDlistSaveView(drawing, view);
    genDlistSetWindow(drawing, view, deviceRect);
    if (cacheRect) *cacheRect = grid;
    return 1;
}

int genDrawDrawing(Drawing* drawing) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || !drawing->header) return dbSetError(kErrorNotDisplayed);
    OutputHookTable& table = *gOutputHookTable;
    ++context->passDepth;
    table.walkContinue = 1;
    table.penPosition = {kPenPositionUnset, kPenPositionUnset};
    DisplayList& list = context->displayList;
    if (list.active && list.recording) {
        // A pass of the drawing asked for from a hook of its own recording pass draws into that
        // recording: it neither replays nor starts the cells again.
    } else if (list.active && context->viewCacheValid) {
        genDlistReplay(drawing);
        if (--context->passDepth == 0 && context->freeRequested) dbFreeDisplayContext(drawing);
        return 1;
    }
    const bool record = list.active && !list.recording;

    const Handle modelBlock = drawing->handles.modelSpaceBlock;
    const Handle paperBlock =
        context->paperSpaceDisplayBlock.isNull() ? drawing->handles.paperSpaceBlock : context->paperSpaceDisplayBlock;
    context->totalEntities =
        uint32_t(dbCountBlockEntities(drawing, modelBlock)) + uint32_t(dbCountBlockEntities(drawing, paperBlock));
    context->entitiesDone = 0;
    context->lastPercent = 0;
    if (table.progress) table.progress(0, drawing->hostContext);
    if (record) {
        genDlistStartRecording(drawing);
        genDlistClear(drawing);
        genDlistBeginPass(drawing);
    }

    context->layout = LayoutBody{};
    context->plotStyleTable.reset();
    bool viewportsFirst = false;
    if (dbApplyCurrentLayout(drawing, context->paperSpace != 0, context->layout)) {
        dbLoadLayoutPlotStyleTable(drawing);
        viewportsFirst = (context->layout.settings.plotLayoutFlags & kLayoutDrawViewportsFirst) != 0;
    }
    context->passPlotStyleTable = context->plotStyleTable.get();

    auto walkPaper = [&] {
        context->paperSpacePass = 1;
        walkBlock(drawing, paperBlock);
        context->paperSpacePass = 0;
    };
    if (viewportsFirst) {
        walkBlock(drawing, modelBlock);
        walkPaper();
    } else {
        walkPaper();
        walkBlock(drawing, modelBlock);
    }

    if (context->extentsMinX != 1e300 || context->extentsMinY != 1e300 || context->extentsMaxX != -1e300 ||
        context->extentsMaxY != -1e300)
        context->extentsFlag = 1;
    genComputeExtentsView(drawing);
    if (record) {
        genDlistCloseCells(drawing);
        genDlistStopRecording(drawing);
        // A pass that was stopped, or that could not keep all it drew, is not replayed.
        context->viewCacheValid = uint8_t(table.walkContinue != 0 && !list.incomplete);
    }
    if (table.progress) table.progress(100, drawing->hostContext);
    context->passPlotStyleTable = nullptr;
    context->plotStyleTable.reset();

    if (--context->passDepth == 0 && context->freeRequested) dbFreeDisplayContext(drawing);
    return 1;
}

int genGetViewBlock(Drawing* drawing, ViewBlock& view) {
    if (!drawing || !drawing->displayContext) return dbSetError(kErrorNotDisplayed);
    view = drawing->displayContext->extentsView;
    return 1;
}

int genResetViewCache(Drawing* drawing) {
    if (!drawing || !drawing->displayContext) return 0;
    drawing->displayContext->viewCacheValid = 0;
    return 1;
}

const char* genDrawingPath(const Drawing* drawing) { return drawing ? drawing->filePath.c_str() : nullptr; }

void genStopDisplay() {
    if (gOutputHookTable) gOutputHookTable->walkContinue = 0;
}

int genCollectedExtents(const Drawing* drawing, Point3& min, Point3& max) {
    const DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !context->extentsFlag) return 0;
    Matrix4 inverse = context->viewports[0].worldToDevice;
    if (!genMatrixInverse(inverse)) return 0;
    Point4 a, b;
    genPointTransform({context->extentsMinX, context->extentsMinY, 0.0, 1.0}, inverse, a);
    genPointTransform({context->extentsMaxX, context->extentsMaxY, 0.0, 1.0}, inverse, b);
    min = {std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmin(a.z, b.z)};
    max = {std::fmax(a.x, b.x), std::fmax(a.y, b.y), std::fmax(a.z, b.z)};
    return 1;
}

} // namespace tracemill
