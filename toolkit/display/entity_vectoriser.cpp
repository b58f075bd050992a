// The walk of one entity list: set-up, draw order, and for each entity its space, layer,
// visibility, colour, linetype, line weight and plot style before the handler of its kind.
#include "toolkit/display/entity_vectoriser.h"

#include <algorithm>
#include <new>

#include "toolkit/core/display_entity_fetch.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/entity_begin_info.h"
#include "toolkit/display/entity_plot_style.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/list_vectoriser.h"

namespace tracemill {
namespace {

// The flag bit of the regeneration flags set while an entity without extents (RAY, XLINE) is
// drawn, so that it does not widen the collected extents.
constexpr uint8_t kRegenNoExtents = 0x01;

// What a layer handle that names no layer stands for: a layer that is on, in colour 7.
const LayerRecord& missingLayer() {
    static const LayerRecord layer = [] {
        LayerRecord r;
        r.colour = 7;
        return r;
    }();
    return layer;
}

bool isReference(uint16_t type) { return type == kEntityInsert || type == kEntityDimension; }

// Kinds between the fixed ones and the class numbers are not drawn (BODY is the exception).
bool isDrawnKind(uint16_t type) { return !(type >= 32 && type < kFirstClassType && type != kEntityBody); }

} // namespace

ListVectoriser::ListVectoriser(Drawing* drawing, EntityList* list, const Matrix4& transform, uint16_t colour,
                               const LinetypeRecord* linetype, const PlotStyle* plotStyle, int16_t lineweight,
                               int16_t depth, int16_t xrefDepth, uint64_t hiddenMask, const ReferenceChain& chain)
    : drawing_(drawing), context_(*drawing->displayContext), list_(list), transform_(transform), colour_(colour),
      linetype_(linetype), plotStyle_(plotStyle), lineweight_(lineweight), depth_(depth), xrefDepth_(xrefDepth),
      hiddenMask_(hiddenMask), chain_(chain) {}

bool ListVectoriser::fail(int error) {
    dbReportError(error, kErrorReasonNoMemory);
    failed_ = true;
    return false;
}

bool ListVectoriser::workBuffer(int error) { return dbAllocationAllowed() || fail(error); }

bool ListVectoriser::setUp() {
    inheritedLinetype_ = dbNewObject<LinetypeRecord>();
    if (!inheritedLinetype_) return fail(kErrorVectoriserLinetypeRecord);
    if (linetype_) *inheritedLinetype_ = *linetype_;
    linetype_ = linetype_ ? inheritedLinetype_.get() : nullptr;
    style_ = dbNewObject<StyleRecord>();
    if (!style_) return fail(kErrorVectoriserStyleRecord);
    if (!dbTryResize(matrices_, size_t(context_.viewportCount))) return fail(kErrorVectoriserMatrices);
    try {
        savedScales_.resize(size_t(context_.viewportCount));
    } catch (const std::bad_alloc&) {
        return fail(kErrorVectoriserMatrices);
    }

    // The plan mask: viewports that look along the list's z axis.
    const Point3 axis = genNormalized({transform_.at(2, 0), transform_.at(2, 1), transform_.at(2, 2)});
    context_.planMask = 0;
    for (int i = 0; i < context_.viewportCount; ++i) {
        const Point4& d = context_.viewports[size_t(i)].direction;
        const Point3 c = genCross(axis, {d.x, d.y, d.z});
        if (c.x * c.x + c.y * c.y + c.z * c.z < 2e-12) context_.planMask |= uint64_t(1) << i;
        savedScales_[size_t(i)] = context_.viewports[size_t(i)].deviceScale;
    }
    computeMatrices();
    // Dashes inside scaled block references keep the drawing's scale.
    savedLtscale_ = drawing_->header->ltscale;
    const double listScale = genMatrixDeviceScale(transform_);
    if (listScale > 0.0) drawing_->header->ltscale = context_.linetypeScale / listScale;
    context_.activeLists.push_back(list_);
    return true;
}

void ListVectoriser::computeMatrices() {
    double largest = 1e-300;
    for (size_t i = 0; i < matrices_.size(); ++i) {
        ViewportRecord& viewport = context_.viewports[i];
        genMatrixMultiply(transform_, viewport.worldToDevice, matrices_[i]);
        viewport.deviceScale = genMatrixDeviceScale(matrices_[i]);
        largest = std::max(largest, viewport.deviceScale);
    }
    context_.threeUnitTolerance = 3.0 / largest;
    context_.viewScale = largest * gOutputHookTable->vectoriserScale * context_.scalePair[0] * 0.2;
}

void ListVectoriser::tearDown() {
    if (savedScales_.empty()) return;  // the set-up failed before it changed anything
    for (size_t i = 0; i < savedScales_.size(); ++i) context_.viewports[i].deviceScale = savedScales_[i];
    drawing_->header->ltscale = savedLtscale_;
    context_.activeLists.pop_back();
}

int ListVectoriser::run(const DrawOrderTable* sortTable) {
    if (!setUp()) {
        tearDown();
        return 0;
    }
    std::vector<SortUnit> units;
    if (sortTable && !sortTable->entries.empty() && genOrderSortUnits(*list_, *sortTable, units)) {
        for (const SortUnit& unit : units) {
            dbListSeek(list_, unit.node);
            if (!drawNext()) break;
            // The attributes behind an INSERT follow it in list order.
            while (inAttributes_ && drawNext()) {
            }
            if (gOutputHookTable->walkContinue == 0 || failed_) break;
        }
    } else {
        while (drawNext()) {
        }
    }
    tearDown();
    return failed_ ? 0 : 1;
}

void ListVectoriser::reportProgress() {
    OutputHookTable& table = *gOutputHookTable;
    if (table.progress) {
        const int64_t percent =
            context_.totalEntities ? int64_t(context_.entitiesDone) * 100 / context_.totalEntities : 0;
        int16_t last = context_.lastPercent;
        while (last + 5 <= percent && last < 100) last = int16_t(std::min(last + 5, 100));
        if (last != context_.lastPercent) {
            context_.lastPercent = last;
            table.progress(last, drawing_->hostContext);
        }
    }
}

const EntityRecord* ListVectoriser::fetch() {
    if (!gOutputHookTable->entityFetch) return dbReadStoredEntity(list_);
    const BlockLayerSubstitution substitution{context_.layerZero, context_.referenceLayer};
    return dbReadEntityForDisplay(drawing_, list_, depth_ > 0 ? &substitution : nullptr, scratch_) ? &scratch_
                                                                                                 : nullptr;
}

const LayerRecord& ListVectoriser::layerOf(Handle handle) {
    if (context_.cachedLayer && handle == context_.cachedLayerHandle) return *context_.cachedLayer;
    const auto* node = dbLookupNode(*drawing_, drawing_->layers, handle);
    context_.cachedLayerHandle = handle;
    context_.cachedLayer = node ? &node->record : &missingLayer();
    return *context_.cachedLayer;
}

const LinetypeRecord* ListVectoriser::linetypeIn(Drawing* drawing, Handle handle) {
    if (handle == context_.cachedLinetypeHandle && drawing == context_.cachedLinetypeDrawing)
        return context_.cachedLinetype;
    const auto* node = dbLookupNode(*drawing, drawing->linetypes, handle);
    context_.cachedLinetypeHandle = handle;
    context_.cachedLinetypeDrawing = drawing;
    context_.cachedLinetype = node ? &node->record : nullptr;
    return context_.cachedLinetype;
}

const LinetypeRecord* ListVectoriser::resolveLinetype(const EntityRecord& entity, const LayerRecord& layer) {
    const Handle handle = entity.header.linetype;
    if (handle == drawing_->handles.byBlockLinetype) return linetype_;
    if (handle == drawing_->handles.byLayerLinetype)
        return linetypeIn(layer.drawing ? layer.drawing : drawing_, layer.linetype);
    return linetypeIn(drawing_, handle);
}

bool ListVectoriser::plainLinetype(const LinetypeRecord* linetype) const {
    return !linetype || linetype->dashCount == 0 || genIsDefaultLinetype(context_, *linetype);
}

// The space the entity belongs to: model-space display draws neither paper space nor what a
// paper-space reference holds; paper-space display leaves paper space out while the external
// references of a list are drawn. A POLYLINE that is passed over takes its vertices with it.
bool ListVectoriser::skipSpace(const EntityRecord& entity) {
    const bool inPaperSpace = (entity.header.flags & kEntityInPaperSpace) != 0;
    const bool skip = context_.paperSpace == 0 ? inPaperSpace || context_.paperSpaceReference != 0
                                               : inPaperSpace && gOutputHookTable->xrefPass != 0;
    if (skip && entity.header.type == kEntityPolyline && workBuffer(kErrorVectoriserSkipBuffer)) skipSequence();
    return skip;
}

// Colour, line weight and plot style, BYLAYER, BYBLOCK and DEFAULT resolved.
void ListVectoriser::resolveProperties(ResolvedEntity& e) {
    const EntityRecord& entity = *e.entity;
    const LayerRecord& layer = *e.layer;
    const uint16_t type = entity.header.type;
    // The inherited colour keeps the sign of a reference on a layer that is off.
    e.colour = entity.header.colour == kColourByBlock   ? int32_t(int16_t(colour_))
               : entity.header.colour == kColourByLayer ? int32_t(layer.colour)
                                                        : int32_t(entity.header.colour);
    // An attribute in BYBLOCK, or in BYLAYER on layer "0", takes the colour of its INSERT.
    if (type == kEntityAttribute && inAttributes_ &&
        (entity.header.colour == kColourByBlock ||
         (entity.header.colour == kColourByLayer && e.layerHandle == context_.layerZero)))
        e.colour = attributeColour_;
    const int32_t byDefault = gOutputHookTable->defaultLineweight;
    if (type == kEntityViewport) {
        e.lineweight = byDefault;
    } else {
        e.lineweight = entity.header.lineweight;
        if (e.lineweight == kLineweightByBlock) e.lineweight = lineweight_;
        if (e.lineweight == kLineweightByLayer) e.lineweight = layer.lineweight;
        if (e.lineweight == kLineweightDefault) e.lineweight = byDefault;
    }
    e.plotStyle = genEntityPlotStyle(*drawing_, entity.header, e.colour, layer, plotStyle_, context_.passPlotStyleTable);
    if (e.plotStyle && e.plotStyle->lineweight != 0) e.lineweight = genPlotStyleLineweight(e.plotStyle->lineweight);
}

void ListVectoriser::announce(const ResolvedEntity& e) {
    const OutputHookTable& table = *gOutputHookTable;
    if (!table.entityBegin) return;
    EntityBeginInfo info;
    info.entity = e.entity;
    info.lineweight = e.lineweight;
    info.colour = int16_t(e.colour);
    info.linetype = e.linetype;
    info.plotStyle = e.plotStyle;
    table.entityBegin(info, drawing_->hostContext);
}

// The entity as the drawers below see it: its kind, flags, thickness, extrusion, linetype
// scale and object coordinate system.
void ListVectoriser::takeEntity(const EntityRecord& entity) {
    DrawnEntity& drawn = context_.entity;
    const uint16_t type = entity.header.type;
    drawn.kind = type;
    drawn.flags = entity.header.flags;
    drawn.thickness = entity.header.thickness;
    drawn.extrusion = entity.header.extrusion;
    drawn.linetypeScale = entity.header.linetypeScale;
    if ((entity.header.flags & kEntityHasExtrusion) && type != kEntityLine && type != kEntityLine3d)
        genOcsMatrix(entity.header.extrusion, drawn.objectMatrix);
    else
        drawn.objectMatrix = kIdentityMatrix4;
}

bool ListVectoriser::drawNext() {
    OutputHookTable& table = *gOutputHookTable;
    if (table.walkContinue == 0 || failed_ || ended_) return false;
    context_.hiddenMask = inAttributes_ ? attributeMask_ : hiddenMask_;

    const EntityRecord* fetched = fetch();
    if (!fetched) return false;
    if (depth_ == 0) {
        reportProgress();
        ++context_.entitiesDone;
    }
    const EntityRecord& entity = *fetched;
    const uint16_t type = entity.header.type;
    if (type == kEntityRay || type == kEntityXline)
        table.regenFlags |= kRegenNoExtents;
    else
        table.regenFlags &= uint8_t(~kRegenNoExtents);
    if (type == kEntitySequenceEnd) inAttributes_ = false;
    if (skipSpace(entity)) return !failed_;

    // The layer: inside a block, layer "0" is the reference's; an attribute's is its INSERT's.
    ResolvedEntity e;
    e.entity = &entity;
    e.layerHandle = entity.header.layer;
    if (depth_ > 0 && type != kEntityAttribute && e.layerHandle == context_.layerZero)
        e.layerHandle = context_.referenceLayer;
    const bool reference = isReference(type);
    const Handle savedReferenceLayer = context_.referenceLayer;
    if (reference) {
        context_.referenceLayer = e.layerHandle;
        ownerLayer_ = e.layerHandle;
    }
    if (type == kEntityAttribute && e.layerHandle == context_.layerZero) e.layerHandle = ownerLayer_;
    struct RestoreReferenceLayer {
        DisplayContext& context;
        Handle saved;
        bool active;
        ~RestoreReferenceLayer() {
            if (active) context.referenceLayer = saved;
        }
    } restore{context_, savedReferenceLayer, reference};

    e.layer = &layerOf(e.layerHandle);
    const bool frozen = (e.layer->flags & kLayerFrozen) != 0;
    const bool attributesFollow = type == kEntityInsert && entity.bodyAs<InsertBody>().attributesFollow != 0;
    if (reference && frozen) {
        if (attributesFollow) skipSequence();
        return true;
    }

    e.linetype = resolveLinetype(entity, *e.layer);
    const bool invisible = (entity.header.flags & kEntityInvisible) != 0;
    const bool frozenSkips = frozen && type != kEntityBlock && type != kEntityEndBlock && type != kEntityViewport;
    if (!isDrawnKind(type) || invisible || frozenSkips) {
        if (type == kEntityPolyline) skipSequence();
        return type != kEntityEndBlock;
    }

    context_.hiddenMask |= e.layer->frozenInViewports;
    resolveProperties(e);
    announce(e);
    if (type == kEntityViewport && frozen) return true;

    genSetLineWeight(drawing_, e.lineweight);
    if (e.colour >= 0) genSetColour(drawing_, table.colorIndexMap[size_t(std::min(e.colour, 255))]);
    if (!e.linetype || e.linetype->dashCount == 0) e.linetype = context_.defaultLinetypeRecord;

    const bool layerOff = e.layer->colour < 0;
    if (layerOff && type != kEntityBlock && type != kEntityEndBlock && type != kEntityInsert &&
        type != kEntityPolyline) {
        if (type == kEntityViewport && depth_ == 0) context_.firstViewportSeen = 1;
        return true;
    }

    takeEntity(entity);
    if (type == kEntityEndBlock) {
        ended_ = true;
        return false;
    }
    if (type == kEntityPolyline) {
        drawPolyline(e, layerOff);
    } else if (reference) {
        if (attributesFollow) {
            inAttributes_ = true;
            attributeMask_ = context_.hiddenMask;
            attributeColour_ = e.colour;
        }
        drawBlockReference(e);
    } else if (type == kEntityBlock) {
        drawBlockBegin(entity);
    } else {
        dispatch(e);
    }
    return !failed_ && !ended_;
}

int genVectoriseEntityList(Drawing* drawing, EntityList* list, const Matrix4& transform, uint16_t colour,
                           const LinetypeRecord* linetype, const PlotStyle* plotStyle, int16_t lineweight,
                           int16_t depth, int16_t xrefDepth, uint64_t hiddenMask, const ReferenceChain& chain,
                           const DrawOrderTable* sortTable) {
    if (!drawing || !drawing->displayContext || !drawing->header || !list || !gOutputHookTable) return 0;
    ListVectoriser vectoriser(drawing, list, transform, colour, linetype, plotStyle, lineweight, depth, xrefDepth,
                              hiddenMask, chain);
    return vectoriser.run(sortTable);
}

} // namespace tracemill
