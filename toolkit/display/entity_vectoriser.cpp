#include "toolkit/display/entity_vectoriser.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "toolkit/core/display_entity_fetch.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/file_name_resolver.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/vector_utilities.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/entity_begin_info.h"
#include "toolkit/display/extents_collection.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/text/mtext_display.h"
#include "toolkit/display/text/shape_text.h"
#include "toolkit/display/text/single_line_text.h"
#include "toolkit/display/text/text_alignment.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {
namespace {

// The flag bit of the regeneration flags set while an entity without extents (RAY, XLINE) is
// drawn, so that it does not widen the collected extents.
constexpr uint8_t kRegenNoExtents = 0x01;
// Polylines whose pattern runs on across their vertices.
constexpr int16_t kPolylineContinuousLinetype = 0x80;
constexpr int16_t kPolylineClosed = 0x01;
constexpr int16_t kPolyline3d = 0x08;
constexpr int16_t kPolylineMesh = 0x10;
constexpr int16_t kPolylinePolyface = 0x40;
constexpr uint8_t kVertexSplineFrame = 0x10;
constexpr uint8_t kBlockRecordExternal = 0x04;
// Flags of ATTRIB and ATTDEF.
constexpr uint8_t kAttributeInvisible = 0x01;
constexpr uint8_t kAttributeConstant = 0x02;
// A DIMENSION whose block rotation is above this is not drawn.
constexpr double kUnusableRotation = 1e90;
// Bulges smaller than this are straight segments.
constexpr double kStraightBulge = 5e-5;
constexpr double kFullTurn = 6.283185307179586;

// What a layer handle that names no layer stands for: a layer that is on, in colour 7.
const LayerRecord& missingLayer() {
    static const LayerRecord layer = [] {
        LayerRecord r;
        r.colour = 7;
        return r;
    }();
    return layer;
}

bool hasDrawingExtension(std::string_view path) {
    auto contains = [path](std::string_view ext) {
        for (size_t i = 0; i + ext.size() <= path.size(); ++i) {
            bool same = true;
            for (size_t k = 0; k < ext.size() && same; ++k) {
                const char c = path[i + k];
                same = (c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c) == ext[k];
            }
            if (same) return true;
        }
        return false;
    };
    return contains(".DWG") || contains(".DXF");
}

class ListVectoriser {
public:
    ListVectoriser(Drawing* drawing, EntityList* list, const Matrix4& transform, uint16_t colour,
                   const LinetypeRecord* linetype, const PlotStyle* plotStyle, int16_t lineweight, int16_t depth,
                   int16_t xrefDepth, uint64_t hiddenMask, const ReferenceChain& chain)
        : drawing_(drawing), context_(*drawing->displayContext), list_(list), transform_(transform),
          colour_(colour), linetype_(linetype), plotStyle_(plotStyle), lineweight_(lineweight), depth_(depth),
          xrefDepth_(xrefDepth), hiddenMask_(hiddenMask), chain_(chain) {}

    int run(const DrawOrderTable* sortTable);

private:
    struct Unit {
        EntityNode* node;
        Handle key;
    };

    bool setUp();
    void tearDown();
    void computeMatrices();
    std::vector<Unit> drawingOrder(const DrawOrderTable& table);
    bool drawNext();
    const EntityRecord* fetch();
    void reportProgress();
    const LayerRecord& layerOf(Handle handle);
    const LinetypeRecord* linetypeIn(Drawing* drawing, Handle handle);
    const LinetypeRecord* resolveLinetype(const EntityRecord& entity, const LayerRecord& layer);
    void dispatch(const EntityRecord& entity, int32_t colour, const LinetypeRecord* linetype, int32_t lineweight,
                  Handle layerHandle);
    bool plainLinetype(const LinetypeRecord* linetype) const;
    void drawStraight(const Point3& a, const Point3& b, const LinetypeRecord* linetype, uint32_t identity);
    void drawLine(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawPolylineVertices(bool closed, bool continuous, const LinetypeRecord* linetype);
    void drawCurve(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawCorners(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawFace(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawLwpolyline(const EntityRecord& entity, const LinetypeRecord* linetype);
    void drawPolyline(const EntityRecord& entity, const LinetypeRecord* linetype, bool layerOff);
    void drawBlockReference(const EntityRecord& entity, int32_t colour, const LinetypeRecord* linetype,
                            int32_t lineweight);
    bool drawBlockBegin(const EntityRecord& entity);
    void queueExternalReference(const BlockRecord& block, const Matrix4& transform, const EntityRecord& insert,
                                int32_t colour, const LinetypeRecord* linetype, int32_t lineweight,
                                uint64_t hiddenMask);
    void drawViewport(const EntityRecord& entity);
    void drawText(const TextFields& fields, const std::string& text);
    void drawMText(const EntityRecord& entity, int32_t colour, Handle layerHandle);

    Drawing* drawing_;
    DisplayContext& context_;
    EntityList* list_;
    Matrix4 transform_;
    uint16_t colour_;
    const LinetypeRecord* linetype_;
    const PlotStyle* plotStyle_;
    int16_t lineweight_;
    int16_t depth_;
    int16_t xrefDepth_;
    uint64_t hiddenMask_;
    const ReferenceChain& chain_;

    std::vector<Matrix4> matrices_;
    std::vector<double> savedScales_;
    double savedLtscale_ = 1.0;
    EntityRecord scratch_;
    // Attributes behind an INSERT take its hidden mask and its layer for layer "0".
    bool inAttributes_ = false;
    uint64_t attributeMask_ = 0;
    int32_t attributeColour_ = 7;  // the resolved colour of the INSERT whose attributes follow
    Handle ownerLayer_;
};

bool ListVectoriser::setUp() {
    try {
        matrices_.resize(size_t(context_.viewportCount));
        savedScales_.resize(size_t(context_.viewportCount));
    } catch (const std::bad_alloc&) {
        dbReportError(kErrorVectoriserMatrices, kErrorReasonNoMemory);
        return false;
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
    for (size_t i = 0; i < savedScales_.size(); ++i) context_.viewports[i].deviceScale = savedScales_[i];
    drawing_->header->ltscale = savedLtscale_;
    context_.activeLists.pop_back();
}

int ListVectoriser::run(const DrawOrderTable* sortTable) {
    if (!setUp()) return 0;
    if (sortTable && !sortTable->entries.empty()) {
        for (const Unit& unit : drawingOrder(*sortTable)) {
            dbListSeek(list_, unit.node);
            if (!drawNext()) break;
            while (inAttributes_ && gOutputHookTable->walkContinue != 0 && drawNext()) {
            }
            if (gOutputHookTable->walkContinue == 0) break;
        }
    } else {
        while (drawNext()) {
        }
    }
    tearDown();
    return 1;
}

// The units of the list from its cursor (an entity, with its vertices or attributes up to their
// SEQEND) in the order of their sort handles: an entity the table does not name is sorted by
// its own handle.
std::vector<ListVectoriser::Unit> ListVectoriser::drawingOrder(const DrawOrderTable& table) {
    std::vector<Unit> units;
    bool inSequence = false;
    for (ListLink* link = list_->current; link; link = link->next) {
        EntityNode* node = EntityList::asNode(link);
        const EntityRecord& entity = node->record;
        const uint16_t type = entity.header.type;
        if (type == kEntityEndBlock) break;
        if (inSequence) {
            if (type == kEntitySequenceEnd) inSequence = false;
            continue;
        }
        units.push_back({node, entity.header.handle});
        if (type == kEntityPolyline) inSequence = true;
        if (type == kEntityInsert && entity.bodyAs<InsertBody>().attributesFollow != 0) inSequence = true;
    }
    std::sort(units.begin(), units.end(),
              [](const Unit& a, const Unit& b) { return a.node->record.header.handle < b.node->record.header.handle; });
    size_t next = 0;
    for (Unit& unit : units) {
        const Handle own = unit.node->record.header.handle;
        while (next < table.entries.size() && table.entries[next].entity < own) ++next;
        if (next < table.entries.size() && table.entries[next].entity == own) unit.key = table.entries[next++].sortHandle;
    }
    std::stable_sort(units.begin(), units.end(), [](const Unit& a, const Unit& b) { return a.key < b.key; });
    return units;
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
    return !linetype || linetype->dashCount == 0 || linetype == context_.defaultLinetypeRecord;
}

bool ListVectoriser::drawNext() {
    OutputHookTable& table = *gOutputHookTable;
    if (table.walkContinue == 0) return false;
    context_.hiddenMask = inAttributes_ ? attributeMask_ : hiddenMask_;

    const EntityRecord* fetched = fetch();
    if (!fetched) return false;
    if (depth_ == 0) {
        reportProgress();
        ++context_.entitiesDone;
    }
    const EntityRecord& entity = *fetched;
    const uint16_t type = entity.header.type;
    const uint8_t flags = entity.header.flags;
    if (type == kEntityRay || type == kEntityXline) table.regenFlags |= kRegenNoExtents;
    else table.regenFlags &= uint8_t(~kRegenNoExtents);
    if (type == kEntitySequenceEnd) inAttributes_ = false;

    // The space the entity belongs to.
    const bool inPaperSpace = (flags & kEntityInPaperSpace) != 0;
    const bool skipSpace = context_.paperSpace == 0 ? inPaperSpace || context_.paperSpaceReference != 0
                                                    : inPaperSpace && table.xrefPass != 0;
    if (skipSpace) {
        if (type == kEntityPolyline) dbSkipToSeqend(drawing_, list_, scratch_);
        return true;
    }

    // The layer: inside a block, layer "0" is the reference's; an attribute's is its INSERT's.
    Handle layerHandle = entity.header.layer;
    if (depth_ > 0 && type != kEntityAttribute && layerHandle == context_.layerZero)
        layerHandle = context_.referenceLayer;
    const bool reference = type == kEntityInsert || type == kEntityDimension;
    const Handle savedReferenceLayer = context_.referenceLayer;
    if (reference) {
        context_.referenceLayer = layerHandle;
        ownerLayer_ = layerHandle;
    }
    if (type == kEntityAttribute && layerHandle == context_.layerZero) layerHandle = ownerLayer_;
    const LayerRecord& layer = layerOf(layerHandle);
    const bool frozen = (layer.flags & kLayerFrozen) != 0;
    const bool attributesFollow = type == kEntityInsert && entity.bodyAs<InsertBody>().attributesFollow != 0;
    if (reference && frozen) {
        if (attributesFollow) dbSkipToSeqend(drawing_, list_, scratch_);
        context_.referenceLayer = savedReferenceLayer;
        return true;
    }

    const LinetypeRecord* linetype = resolveLinetype(entity, layer);
    const bool drawnKind = !(type >= 32 && type < kFirstClassType && type != kEntityBody);
    const bool invisible = (flags & kEntityInvisible) != 0;
    const bool frozenSkips = frozen && type != kEntityBlock && type != kEntityEndBlock && type != kEntityViewport;
    if (!drawnKind || invisible || frozenSkips) {
        if (type == kEntityPolyline) dbSkipToSeqend(drawing_, list_, scratch_);
        if (reference) context_.referenceLayer = savedReferenceLayer;
        return type != kEntityEndBlock;
    }

    context_.hiddenMask |= layer.frozenInViewports;
    // The inherited colour keeps the sign of a reference on a layer that is off.
    int32_t colour = entity.header.colour == kColourByBlock   ? int32_t(int16_t(colour_))
                     : entity.header.colour == kColourByLayer ? int32_t(layer.colour)
                                                              : int32_t(entity.header.colour);
    // An attribute in BYBLOCK, or BYLAYER on layer "0", takes its INSERT's colour.
    if (type == kEntityAttribute && inAttributes_ &&
        (entity.header.colour == kColourByBlock ||
         (entity.header.colour == kColourByLayer && entity.header.layer == context_.layerZero)))
        colour = attributeColour_;
    int32_t lineweight = entity.header.lineweight;
    if (type == kEntityViewport) {
        lineweight = table.defaultLineweight;
    } else {
        if (lineweight == kLineweightByBlock) lineweight = lineweight_;
        if (lineweight == kLineweightByLayer) lineweight = layer.lineweight;
        if (lineweight == kLineweightDefault) lineweight = table.defaultLineweight;
    }

    if (table.entityBegin) {
        EntityBeginInfo info;
        info.entity = &entity;
        info.lineweight = lineweight;
        info.colour = int16_t(colour);
        info.linetype = linetype;
        info.plotStyle = nullptr;
        table.entityBegin(info, drawing_->hostContext);
    }
    if (type == kEntityViewport && frozen) return true;

    genSetLineWeight(drawing_, lineweight);
    if (colour >= 0) genSetColour(drawing_, table.colorIndexMap[size_t(std::min(colour, 255))]);
    if (!linetype || linetype->dashCount == 0) linetype = context_.defaultLinetypeRecord;

    const bool layerOff = layer.colour < 0;
    if (layerOff && type != kEntityBlock && type != kEntityEndBlock && type != kEntityInsert &&
        type != kEntityPolyline) {
        if (type == kEntityViewport && depth_ == 0) context_.firstViewportSeen = 1;
        if (reference) context_.referenceLayer = savedReferenceLayer;
        return true;
    }

    DrawnEntity& drawn = context_.entity;
    drawn.kind = type;
    drawn.flags = flags;
    drawn.thickness = entity.header.thickness;
    drawn.extrusion = entity.header.extrusion;
    drawn.linetypeScale = entity.header.linetypeScale;
    if ((flags & kEntityHasExtrusion) && type != kEntityLine && type != kEntityLine3d)
        genOcsMatrix(entity.header.extrusion, drawn.objectMatrix);
    else
        drawn.objectMatrix = kIdentityMatrix4;

    if (type == kEntityEndBlock) return false;
    if (type == kEntityPolyline) {
        drawPolyline(entity, linetype, layerOff);
        return true;
    }
    if (reference) {
        if (attributesFollow) {
            inAttributes_ = true;
            attributeMask_ = context_.hiddenMask;
            attributeColour_ = colour;
        }
        drawBlockReference(entity, colour, linetype, lineweight);
        context_.referenceLayer = savedReferenceLayer;
        return true;
    }
    if (type == kEntityBlock) return drawBlockBegin(entity);
    dispatch(entity, colour, linetype, lineweight, layerHandle);
    return true;
}

void ListVectoriser::dispatch(const EntityRecord& entity, int32_t colour, const LinetypeRecord* linetype, int32_t,
                              Handle layerHandle) {
    const uint16_t type = entity.header.type;
    const int16_t attmode = drawing_->header->attmode;
    if (type == kEntityText) {
        const TextBody& text = entity.bodyAs<TextBody>();
        drawText(text, text.text);
    } else if (type == kEntityAttribute) {
        const AttributeBody& attribute = entity.bodyAs<AttributeBody>();
        if (attmode == 2 || (attmode == 1 && !(attribute.flags & kAttributeInvisible)))
            drawText(attribute, attribute.text);
    } else if (type == kEntityAttributeDefinition) {
        const AttributeDefinitionBody& definition = entity.bodyAs<AttributeDefinitionBody>();
        if (depth_ == 0 && xrefDepth_ == 0)
            drawText(definition, definition.tag);
        else if ((definition.flags & kAttributeConstant) && !(definition.flags & kAttributeInvisible) &&
                 (attmode == 1 || attmode == 2))
            drawText(definition, definition.text);
    } else if (type == kEntityMtext) {
        drawMText(entity, colour, layerHandle);
    } else if (type == kEntityLine) {
        drawLine(entity, linetype);
    } else if (type == kEntityLine3d) {
        const LineBody& line = entity.bodyAs<LineBody>();
        drawStraight(line.start, line.end, linetype, ++context_.segmentCounter);
    } else if (type == kEntityViewport) {
        drawViewport(entity);
    } else if (type == kEntityCircle || type == kEntityArc || type == kEntityEllipse) {
        drawCurve(entity, linetype);
    } else if (type == kEntitySolid || type == kEntityTrace) {
        drawCorners(entity, linetype);
    } else if (type == kEntityFace3d) {
        drawFace(entity, linetype);
    } else if (type != 0 && type == dbClassLwpolyline(drawing_->classes)) {
        drawLwpolyline(entity, linetype);
    }
}

// TEXT, ATTRIB and ATTDEF: in their style ("Standard" for none), moved to their justified
// place first when the host asks for it.
void ListVectoriser::drawText(const TextFields& fields, const std::string& text) {
    Handle styleHandle = fields.style;
    if (styleHandle.isNull()) dbFindStyleHandle(drawing_, "Standard", styleHandle);
    StyleRecord style;
    if (!dbGetStyleByHandle(drawing_, styleHandle, style)) return;
    TextFields placed = fields;
    placed.text = text;
    if (gOutputHookTable->alignTextFlag && (fields.horizontalAlign != 0 || fields.verticalAlign != 0)) {
        TextParameters params;
        params.height = fields.height;
        params.rotation = fields.rotation;
        params.widthFactor = fields.widthFactor;
        params.obliqueAngle = fields.obliqueAngle;
        params.generation = fields.generation;
        params.horizontalAlign = fields.horizontalAlign;
        params.verticalAlign = fields.verticalAlign;
        params.alignment = fields.alignment;
        Point2 insertion{fields.insertion.x, fields.insertion.y};
        if (genTextAlignPoint(drawing_, text.c_str(), insertion, params, style.fontFile, style.bigFontFile)) {
            placed.insertion.x = insertion.x;
            placed.insertion.y = insertion.y;
            placed.height = params.height;
            placed.widthFactor = params.widthFactor;
        }
    }
    genDrawText(drawing_, placed, style, transform_, context_.threeUnitTolerance);
}

void ListVectoriser::drawMText(const EntityRecord& entity, int32_t colour, Handle layerHandle) {
    MtextBody body = entity.bodyAs<MtextBody>();
    const int16_t byLayer = layerOf(layerHandle).colour;
    genDrawMText(drawing_, body, transform_, int16_t(colour), byLayer, int16_t(colour_), 1);
}

void ListVectoriser::drawCurve(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const uint16_t type = entity.header.type;
    if (type == kEntityEllipse) {
        genDrawEllipse(drawing_, entity.bodyAs<EllipseBody>(), transform_, linetype);
        return;
    }
    // A radius that is not a positive number draws nothing.
    const Point3& centre = type == kEntityCircle ? entity.bodyAs<CircleBody>().centre : entity.bodyAs<ArcBody>().centre;
    const double radius = type == kEntityCircle ? entity.bodyAs<CircleBody>().radius : entity.bodyAs<ArcBody>().radius;
    if (!(radius > 0.0) || !std::isfinite(radius)) return;
    const LinetypeRecord* pattern = plainLinetype(linetype) ? nullptr : linetype;
    if (type == kEntityCircle) {
        genDrawArc(drawing_, centre, 0.0, kFullTurn, radius, matrices_.data(), true, nullptr, nullptr, pattern);
        return;
    }
    const ArcBody& arc = entity.bodyAs<ArcBody>();
    double end = arc.endAngle;
    if (end < arc.startAngle) end += kFullTurn;
    genDrawArc(drawing_, centre, arc.startAngle, end, radius, matrices_.data(), true, nullptr, nullptr, pattern);
}

// SOLID and TRACE: filled with FILLMODE on, else their outline.
void ListVectoriser::drawCorners(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const std::array<Point3, 4>& c = entity.bodyAs<SolidBody>().corners;
    const bool triangle = entity.header.type == kEntitySolid && c[3] == c[0];
    if (drawing_->header->fillmode != 0) {
        if (triangle) genFillQuad(drawing_, c[0], c[1], c[3], c[2], matrices_.data());
        else genFillQuad(drawing_, c[0], c[1], c[2], c[3], matrices_.data());
        return;
    }
    if (triangle) {
        drawStraight(c[0], c[1], linetype, ++context_.segmentCounter);
        drawStraight(c[0], c[2], linetype, ++context_.segmentCounter);
        return;
    }
    for (const auto& [a, b] : {std::pair{0, 1}, std::pair{1, 3}, std::pair{3, 2}, std::pair{2, 0}})
        drawStraight(c[size_t(a)], c[size_t(b)], linetype, ++context_.segmentCounter);
}

// 3DFACE: its visible edges (all of them with SPLFRAME set).
void ListVectoriser::drawFace(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const FaceBody& face = entity.bodyAs<FaceBody>();
    const bool all = drawing_->header->splframe != 0;
    for (size_t i = 0; i < 4; ++i) {
        if (!all && (face.invisibleEdges & (1 << i))) continue;
        drawStraight(face.corners[i], face.corners[(i + 1) % 4], linetype, ++context_.segmentCounter);
    }
}

void ListVectoriser::drawStraight(const Point3& a, const Point3& b, const LinetypeRecord* linetype,
                                  uint32_t identity) {
    genDrawLinetypedSegment(drawing_, a, b, matrices_.data(), linetype, nullptr, identity, 0.0);
}

void ListVectoriser::drawLine(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const LineBody& line = entity.bodyAs<LineBody>();
    if (!plainLinetype(linetype)) {
        drawStraight(line.start, line.end, linetype, ++context_.segmentCounter);
        return;
    }
    const ViewportRange range = genEntityViewports(context_);
    for (int i = range.first; i <= range.last; ++i) {
        if (genViewportShows(context_, i)) genDrawSegmentInViewport(drawing_, line.start, line.end, matrices_.data(), i);
    }
    ++context_.segmentCounter;
}

// The polyline in the context's vertex buffer: straight segments, arcs for bulges, wide pieces
// for widths. With `continuous` the pattern runs on across the vertices.
void ListVectoriser::drawPolylineVertices(bool closed, bool continuous, const LinetypeRecord* linetype) {
    const std::vector<PolylineVertex>& vertices = context_.polylineVertices;
    if (vertices.empty()) return;
    const LinetypeRecord* pattern = plainLinetype(linetype) ? nullptr : linetype;
    uint32_t identity = ++context_.segmentCounter;
    const size_t segments = closed ? vertices.size() : vertices.size() - 1;
    for (size_t i = 0; i < segments; ++i) {
        if (i > 0 && !continuous) identity = ++context_.segmentCounter;
        const PolylineVertex& a = vertices[i];
        const PolylineVertex& b = vertices[(i + 1) % vertices.size()];
        WideSegment width;
        width.startWidth = a.startWidth < context_.threeUnitTolerance ? 0.0 : a.startWidth;
        width.endWidth = a.endWidth < context_.threeUnitTolerance ? 0.0 : a.endWidth;
        const bool wide = width.startWidth != 0.0 || width.endWidth != 0.0;
        if (std::fabs(a.bulge) >= kStraightBulge) {
            const double sweep = 4.0 * std::atan(a.bulge);
            const ArcFromChord arc = dbArcCenterFromChord({a.point.x, a.point.y}, {b.point.x, b.point.y}, sweep);
            const double start = std::atan2(a.point.y - arc.centre.y, a.point.x - arc.centre.x);
            genDrawArc(drawing_, {arc.centre.x, arc.centre.y, a.point.z}, start, start + sweep, arc.radius,
                       matrices_.data(), true, nullptr, nullptr, pattern, wide ? &width : nullptr, identity);
        } else {
            genDrawLinetypedSegment(drawing_, a.point, b.point, matrices_.data(), pattern, wide ? &width : nullptr,
                                    identity, 0.0);
        }
    }
    genFlushWidePieces(drawing_, matrices_.data());
}

void ListVectoriser::drawLwpolyline(const EntityRecord& entity, const LinetypeRecord* linetype) {
    const LwpolylineBody& body = entity.bodyAs<LwpolylineBody>();
    std::vector<PolylineVertex>& vertices = context_.polylineVertices;
    vertices.clear();
    const bool constant = (body.flags & kLwpolylineConstantWidth) != 0;
    for (const LwpolylineVertex& v : body.vertices) {
        vertices.push_back({{v.point.x, v.point.y, body.elevation}, v.bulge, constant ? body.constantWidth : v.startWidth,
                            constant ? body.constantWidth : v.endWidth});
    }
    drawPolylineVertices((body.flags & kLwpolylineClosed) != 0, (body.flags & kLwpolylineContinuousLinetype) != 0,
                         linetype);
}

void ListVectoriser::drawPolyline(const EntityRecord& entity, const LinetypeRecord* linetype, bool layerOff) {
    const PolylineBody body = entity.bodyAs<PolylineBody>();
    if (layerOff || (body.flags & (kPolylineMesh | kPolylinePolyface))) {
        dbSkipToSeqend(drawing_, list_, scratch_);
        return;
    }
    std::vector<PolylineVertex>& vertices = context_.polylineVertices;
    vertices.clear();
    const bool threeD = (body.flags & kPolyline3d) != 0;
    while (const EntityRecord* vertex = fetch()) {
        if (vertex->header.type == kEntitySequenceEnd) break;
        if (vertex->header.type != kEntityVertex) continue;
        const VertexBody& v = vertex->bodyAs<VertexBody>();
        if (v.flags & kVertexSplineFrame) continue;
        vertices.push_back({{v.point.x, v.point.y, threeD ? v.point.z : body.elevation}, threeD ? 0.0 : v.bulge,
                            v.hasStartWidth ? v.startWidth : body.defaultStartWidth,
                            v.hasEndWidth ? v.endWidth : body.defaultEndWidth});
    }
    drawPolylineVertices((body.flags & kPolylineClosed) != 0, (body.flags & kPolylineContinuousLinetype) != 0,
                         linetype);
}

void ListVectoriser::drawViewport(const EntityRecord& entity) {
    if (depth_ == 0 && !context_.firstViewportSeen) {
        context_.firstViewportSeen = 1;
        return;
    }
    DisplayContext* outer = genPassContext(drawing_);
    if (!outer || outer->extentsFlag) return;
    const ViewportBody& body = entity.bodyAs<ViewportBody>();
    const Point3& c = body.centre;
    for (const Point3& corner : {Point3{c.x - body.width / 2.0, c.y - body.height / 2.0, c.z},
                                 Point3{c.x + body.width / 2.0, c.y + body.height / 2.0, c.z}}) {
        Point4 device;
        genPointTransform({corner.x, corner.y, corner.z, 1.0}, matrices_[0], device);
        genWidenExtents(*outer, {device.x, device.y});
    }
}

void ListVectoriser::drawBlockReference(const EntityRecord& entity, int32_t colour, const LinetypeRecord* linetype,
                                        int32_t lineweight) {
    const uint16_t type = entity.header.type;
    const uint64_t hiddenMask = context_.hiddenMask;
    const uint64_t planMask = context_.planMask;
    const double tolerance = context_.threeUnitTolerance;
    const bool setPaperReference = !context_.paperSpaceReference && (entity.header.flags & kEntityInPaperSpace);
    if (setPaperReference) context_.paperSpaceReference = 1;

    Matrix4 referenceTransform = transform_;
    if (entity.header.flags & kEntityHasExtrusion) genMatrixMultiply(context_.entity.objectMatrix, transform_, referenceTransform);
    ListLink* kept = list_->current;

    struct Placement {
        int16_t rows = 1, columns = 1;
        double rowSpacing = 0.0, columnSpacing = 0.0, rotation = 0.0;
        Point3 scale{1.0, 1.0, 1.0};
        Point3 insertion;
        Handle block;
    } place;
    const int16_t savedPdmode = drawing_->header->pdmode;
    bool drawn = true;
    if (type == kEntityDimension) {
        const DimensionBody& dimension = entity.bodyAs<DimensionBody>();
        place.block = dimension.block;
        place.insertion = dimension.cloneInsertionPoint;
        place.rotation = dimension.insertionRotation;
        drawn = place.rotation <= kUnusableRotation;
        drawing_->header->pdmode = 0;
    } else {
        const InsertBody& insert = entity.bodyAs<InsertBody>();
        place.block = insert.block;
        place.insertion = insert.insertion;
        place.rotation = insert.rotation;
        place.scale = {insert.scale.x, insert.scale.y, insert.scale.z == 0.0 ? 1.0 : insert.scale.z};
        place.rows = std::max<int16_t>(insert.rowCount, 1);
        place.columns = std::max<int16_t>(insert.columnCount, 1);
        place.rowSpacing = insert.rowSpacing;
        place.columnSpacing = insert.columnSpacing;
    }
    const BlockNode* block = dbLookupBlock(*drawing_, place.block);
    const bool external = block && (block->record.flags & kBlockRecordExternal);
    if (external && ((xrefDepth_ > 0 && block->record.overlay) || block->record.xrefDisabled)) drawn = false;
    EntityList* blockList = block ? block->entityList.get() : nullptr;
    const bool cycle = blockList && std::find(context_.activeLists.begin(), context_.activeLists.end(),
                                              static_cast<const void*>(blockList)) != context_.activeLists.end();

    Handle filter;
    const bool clipped = drawn && block && genReadSpatialFilter(drawing_, entity.header, filter);
    const bool drawable = external || (blockList && !cycle);
    bool pushed = false;
    for (int16_t r = 0; drawn && drawable && r < place.rows; ++r) {
        for (int16_t c = 0; c < place.columns && gOutputHookTable->walkContinue != 0; ++c) {
            const double cs = std::cos(place.rotation), sn = std::sin(place.rotation);
            const double dx = c * place.columnSpacing, dy = r * place.rowSpacing;
            const Point3 cell{place.insertion.x + dx * cs - dy * sn, place.insertion.y + dx * sn + dy * cs,
                              place.insertion.z};
            Matrix4 cellTransform = referenceTransform;
            genMatrixTranslate(type == kEntityDimension ? place.insertion : cell, cellTransform);
            if (place.rotation != 0.0) genMatrixRotateZ(place.rotation, cellTransform);
            genMatrixScale(place.scale.x, place.scale.y, place.scale.z, cellTransform);
            if (r == 0 && c == 0 && clipped) {
                // The clip of the whole reference, in the block's own coordinates. An empty
                // block draws nothing; an external block's entities are in its drawing.
                const EntityNode* first = blockList ? EntityList::asNode(blockList->first) : nullptr;
                const ListLink* content = first && first->record.header.type == kEntityBlock ? first->next : first;
                if (!external &&
                    (!content || static_cast<const EntityNode*>(content)->record.header.type == kEntityEndBlock)) {
                    drawn = false;
                    break;
                }
                Point3 basePoint = block->record.basePoint;
                if (first && first->record.header.type == kEntityBlock)
                    basePoint = first->record.bodyAs<BlockBeginBody>().basePoint;
                Matrix4 base = cellTransform;
                genMatrixTranslate({-basePoint.x, -basePoint.y, -basePoint.z}, base);
                const Handle key = external ? entity.header.handle : Handle();
                pushed = genPushClipEntry(drawing_, context_, drawing_, filter, key, base) != 0;
            }
            if (external) {
                // The referenced drawing is drawn after the list, in place of the block's entities.
                queueExternalReference(block->record, cellTransform, entity, colour, linetype, lineweight, hiddenMask);
                continue;
            }
            dbRewindEntityList(blockList);
            genVectoriseEntityList(drawing_, blockList, cellTransform, uint16_t(colour), linetype, plotStyle_,
                                   int16_t(lineweight), int16_t(depth_ + 1), xrefDepth_, hiddenMask, chain_, nullptr);
        }
    }
    if (pushed) genPopClipEntry(context_);

    context_.planMask = planMask;
    context_.threeUnitTolerance = tolerance;
    context_.hiddenMask = hiddenMask;
    if (type == kEntityDimension) drawing_->header->pdmode = savedPdmode;
    dbListSeek(list_, kept);
    if (setPaperReference) context_.paperSpaceReference = 0;
}

bool ListVectoriser::drawBlockBegin(const EntityRecord& entity) {
    const Point3& p = entity.bodyAs<BlockBeginBody>().basePoint;
    genMatrixTranslate({-p.x, -p.y, -p.z}, transform_);
    computeMatrices();
    return true;
}

// Queues the drawing of an external reference on the pass's display context, unless it cannot
// be found (error 20, hook 8) or is already being drawn in the chain of references.
void ListVectoriser::queueExternalReference(const BlockRecord& block, const Matrix4& transform,
                                            const EntityRecord& insert, int32_t colour,
                                            const LinetypeRecord* linetype, int32_t lineweight,
                                            uint64_t hiddenMask) {
    DisplayContext* outer = genPassContext(drawing_);
    const Drawing* outerDrawing = context_.ownerDrawing ? context_.ownerDrawing : drawing_;
    OutputHookTable& table = *gOutputHookTable;
    std::string path = block.xrefPath;
    if (!hasDrawingExtension(path)) path += outerDrawing->sourceFormat == SourceFormat::Dwg ? ".dwg" : ".dxf";
    if (table.xrefLoad) {
        std::string found;
        table.xrefLoad(path.c_str(), found, drawing_->hostContext);
        if (!found.empty()) path = found;
    }
    const std::optional<std::string> existing = dbResolveFileName(path);
    if (!existing) {
        dbSetError(kErrorXrefMissing);
        if (table.xrefMissing) table.xrefMissing(path.c_str(), drawing_->hostContext);
        return;
    }
    if (genChainHasPath(chain_, *existing) || !outer) return;

    DeferredReference queued;
    queued.fileName = *existing;
    queued.blockName = block.name;
    queued.insertion = transform;
    queued.byBlockColour = uint16_t(colour);
    if (linetype) queued.byBlockLinetype = *linetype;
    queued.byBlockLineweight = int16_t(lineweight);
    queued.hiddenMask = hiddenMask;
    queued.paperSpacePass = context_.paperSpacePass;
    queued.paperSpaceReference = context_.paperSpaceReference;
    if (const auto* layer = dbLookupNode(*drawing_, drawing_->layers, context_.referenceLayer)) queued.hostLayer = layer->record;
    queued.ownerDrawing = drawing_;
    queued.reference = insert.header.handle;
    queued.xrefDepth = xrefDepth_;
    genChainCopy(chain_, queued.chain);
    genChainAddPath(queued.chain, *existing);
    for (auto entry = context_.clipEntries.rbegin(); entry != context_.clipEntries.rend(); ++entry)
        queued.clips.push_back({entry->filterDrawing, entry->filter, entry->blockReference, entry->matrix});
    outer->deferredReferences.push_back(std::move(queued));
}

} // namespace

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
