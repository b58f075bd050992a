#include "toolkit/display/entity_walk.h"

#include <memory>
#include <string>

#include "toolkit/display/display_access.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/xref_layer_state.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/entity_begin_info.h"
#include "toolkit/display/entity_vectoriser.h"

namespace tracemill {
namespace {

// The rectangle an external reference's own context is made with; the host's viewports
// replace its view before it draws.
constexpr HostRect kReferenceRect{0, 0, 100, 100};
// The colour BYBLOCK entities of a layout take.
constexpr uint16_t kTopByBlockColour = 7;

// The current layer and linetype of a list: the first records of their tables; layer "0" is
// the one entities of blocks take their reference's layer for.
void takeCurrentRecords(Drawing& drawing, DisplayContext& context) {
    context.currentLayer = drawing.layers.first ? LayerList::asNode(drawing.layers.first)->record : LayerRecord{};
    context.layerZero = Handle();
    for (const auto& layer : drawing.layers) {
        if (layer.record.name == "0") {
            context.layerZero = layer.record.handle;
            break;
        }
    }
    const auto* first = drawing.linetypes.first ? LinetypeList::asNode(drawing.linetypes.first) : nullptr;
    context.currentLinetype = first ? first->record : LinetypeRecord{};
    context.defaultLinetype = first ? first->record.handle : Handle();
    context.defaultLinetypeRecord = first ? &first->record : nullptr;
    context.cachedLayer = nullptr;
    context.cachedLinetype = nullptr;
    context.cachedLinetypeDrawing = nullptr;
}

// The header values a referenced drawing takes from its host while it is drawn inside it.
void adaptReferencedHeader(const HeaderBlock& host, double hostLtscale, HeaderBlock& reference) {
    reference.attmode = host.attmode;
    reference.qtextmode = host.qtextmode;
    reference.fillmode = host.fillmode;
    reference.pdmode = host.pdmode;
    reference.pdsize = host.pdsize;
    reference.psltscale = host.psltscale;
    reference.splframe = host.splframe;
    reference.ltscale = hostLtscale;
    reference.pstylemode = host.pstylemode;
}

// Draws one external reference inside its host: the reference's layers take the host's view,
// its header the host's display settings, and its model space is drawn with the reference's
// transform, inherited properties and clips.
void drawReference(Drawing* host, Drawing* reference, DeferredReference& record, double hostLtscale) {
    DisplayContext& hostContext = *host->displayContext;
    DisplayContext& context = *reference->displayContext;
    std::unique_ptr<LayerStateSnapshot> layers = dbSaveLayerState(reference);
    const HeaderBlock savedHeader = *reference->header;

    context.referenceHandle = record.reference;
    dbApplyXrefLayerState(reference, record.hostLayer);
    context.paperSpacePass = record.paperSpacePass;
    context.paperSpaceReference = record.paperSpaceReference;
    context.paperSpace = hostContext.paperSpace;
    context.linetypeEnable = 1;
    adaptReferencedHeader(*host->header, hostLtscale, *reference->header);
    reference->hostContext = host->hostContext;
    context.linetypeScale = hostLtscale;
    context.lastPercent = 0;
    if (gOutputHookTable->progress) gOutputHookTable->progress(0, host->hostContext);

    context.viewportCount = hostContext.viewportCount;
    context.paperSpaceViewportCount = hostContext.paperSpaceViewportCount;
    context.viewports = hostContext.viewports;
    context.hostRect = hostContext.hostRect;
    context.paperSpaceWithViewports = hostContext.paperSpaceWithViewports;
    context.visibleMask = hostContext.visibleMask;
    context.clipBoundaries.clear();
    context.clipEntries.clear();
    genPushClipBoundary(context, nullptr, nullptr);
    context.xclipFrame = hostContext.xclipFrame;
    context.imageFrame = hostContext.imageFrame;
    context.wipeoutFrame = hostContext.wipeoutFrame;

    const Point3& base = reference->header->insbase;
    for (const ClipRequest& clip : record.clips) {
        const bool own = clip.filterDrawing == record.ownerDrawing && clip.blockReference == record.reference;
        Matrix4 matrix = clip.matrix;
        if (own) genMatrixTranslate({-base.x, -base.y, -base.z}, matrix);
        genPushClipEntry(reference, context, clip.filterDrawing, clip.filter, own ? Handle() : clip.blockReference,
                         matrix);
    }
    context.passPlotStyleTable = hostContext.passPlotStyleTable;

    Matrix4 insertion = record.insertion;
    genMatrixTranslate({-base.x, -base.y, -base.z}, insertion);
    context.clipWindowX = 32766;
    context.clipWindowY = 32767;
    hostContext.tickCounter = 0;
    takeCurrentRecords(*reference, context);

    dbRewindEntityList(reference->modelSpace);
    gOutputHookTable->currentDrawing = reference;
    genVectoriseEntityList(reference, reference->modelSpace, insertion, record.byBlockColour, &record.byBlockLinetype,
                           record.hasPlotStyle ? &record.byBlockPlotStyle : nullptr, record.byBlockLineweight, 0, int16_t(record.xrefDepth + 1), record.hiddenMask,
                           record.chain, nullptr);
    gOutputHookTable->currentDrawing = host;

    while (!context.clipEntries.empty()) genPopClipEntry(context);
    dbRestoreLayerState(reference, layers);
    *reference->header = savedHeader;
}

// Opens and draws the external references queued while a list was drawn, including those the
// references themselves queue.
void drawDeferredReferences(Drawing* drawing, double ltscale) {
    DisplayContext& context = *drawing->displayContext;
    OutputHookTable& table = *gOutputHookTable;
    const uint8_t paperSpace = context.paperSpace;
    const int16_t viewportCount = context.viewportCount;
    table.xrefPass = 1;
    DeferredReference record;
    while (table.walkContinue != 0 && genTakeDeferredReference(context.deferredReferences, record)) {
        table.xrefBlockName = record.blockName;
        if (table.xrefOpen) {
            const XrefReference reference{record.ownerDrawing, record.reference};
            table.xrefOpen(record.fileName, reference, drawing->hostContext);
        }
        Drawing* referenced = gSystemContext && gSystemContext->referenceOpener
                                  ? gSystemContext->referenceOpener(drawing, record.fileName.c_str())
                                  : nullptr;
        if (!referenced || referenced == drawing || referenced->displayContext) {
            dbSetError(kErrorXrefMissing);
            if (table.xrefMissing) table.xrefMissing(record.fileName.c_str(), drawing->hostContext);
            continue;
        }
        if (table.xrefOpened) table.xrefOpened(referenced, drawing->hostContext);
        ViewBlock view;
        if (genCreateDisplayContext(referenced, view, kReferenceRect, nullptr, drawing, nullptr)) {
            drawReference(drawing, referenced, record, ltscale);
            dbFreeDisplayContext(referenced);
        } else if (table.xrefMissing) {
            table.xrefMissing(record.fileName.c_str(), drawing->hostContext);
        }
        if (table.xrefDone) table.xrefDone(referenced, drawing->hostContext);
    }
    table.xrefPass = 0;
    table.xrefBlockName.clear();
    context.paperSpace = paperSpace;
    context.viewportCount = viewportCount;
}

} // namespace

int genDrawEntityList(Drawing* drawing, EntityList* list, const DrawOrderTable* sortTable) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || !drawing->header) return 0;
    OutputHookTable& table = *gOutputHookTable;
    genSetColour(drawing, -1);
    table.currentDrawing = drawing;
    const uint8_t paperSpace = context->paperSpace;
    const double ltscale = drawing->header->ltscale;
    context->linetypeScale = ltscale;
    table.xrefBlockName.clear();

    dbRewindEntityList(list);
    context->tickCounter = 0;
    context->solidCounter = 1;
    context->linetypeEntityIdentity = 0;
    context->deferredReferences.clear();
    context->clipWindowX = 32766;
    context->clipWindowY = 32767;
    context->firstViewportSeen = 0;
    context->paperSpaceReference = 0;
    context->referenceLayer = Handle();
    for (int i = 0; i < context->viewportCount; ++i) {
        ViewportRecord& viewport = context->viewports[size_t(i)];
        viewport.deviceScale = viewport.baseDeviceScale = genMatrixDeviceScale(viewport.worldToDevice);
    }
    context->linetypeEnable = 1;
    table.xrefPass = 0;
    context->sourceFormat = uint8_t(drawing->sourceFormat);
    takeCurrentRecords(*drawing, *context);

    ReferenceChain chain;
    genChainAddPath(chain, drawing->filePath);
    genVectoriseEntityList(drawing, list, kIdentityMatrix4, kTopByBlockColour, &context->currentLinetype, nullptr, 0, 0,
                           0, 0, chain, sortTable);
    if (!context->deferredReferences.empty()) drawDeferredReferences(drawing, ltscale);

    context->paperSpacePass = 0;
    context->paperSpace = paperSpace;
    context->deferredReferences.clear();
    return 1;
}

int genDrawBlockByHandle(Drawing* drawing, Handle block) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    EntityList* list = context ? dbGetBlockEntityList(drawing, block) : nullptr;
    if (!list) return 0;
    context->totalEntities = uint32_t(dbCountBlockEntities(drawing, block));
    context->entitiesDone = 0;
    return genDrawEntityList(drawing, list, nullptr);
}

} // namespace tracemill
