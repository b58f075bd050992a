// Block references in the vectoriser: INSERT (with rows and columns), the block of a DIMENSION,
// the BLOCK entity that opens a block's list, and external references queued for the entity
// walk.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/file_name_resolver.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/entity_vectoriser.h"
#include "toolkit/display/list_vectoriser.h"

namespace tracemill {
namespace {

// A DIMENSION whose block rotation is above this is not drawn.
constexpr double kUnusableRotation = 1e90;

// Where the cells of a reference lie: rows along the block's y axis, columns along its x axis.
struct BlockReferenceRecord {
    int16_t rows = 1;
    int16_t columns = 1;
    double rotation = 0.0;
    Point3 scale{1.0, 1.0, 1.0};
    Point3 insertion;
    double columnSpacing = 0.0;
    double rowSpacing = 0.0;
    Handle block;
};

// Whether the path names a drawing file by its extension (in either case).
bool hasDrawingExtension(std::string_view path) {
    const auto contains = [path](std::string_view ext) {
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

// The base point of a block: its BLOCK entity's, else its record's.
Point3 blockBasePoint(const BlockNode& block) {
    const EntityList* list = block.entityList.get();
    const EntityNode* first = list && list->first ? EntityList::asNode(list->first) : nullptr;
    if (first && first->record.header.type == kEntityBlock) return first->record.bodyAs<BlockBeginBody>().basePoint;
    return block.record.basePoint;
}

// Whether a block's list holds nothing between its BLOCK and its ENDBLK.
bool blockIsEmpty(const BlockNode& block) {
    const EntityList* list = block.entityList.get();
    ListLink* link = list ? list->first : nullptr;
    if (link && EntityList::asNode(link)->record.header.type == kEntityBlock) link = link->next;
    return !link || EntityList::asNode(link)->record.header.type == kEntityEndBlock;
}

} // namespace

void ListVectoriser::drawBlockReference(const ResolvedEntity& e) {
    const EntityRecord& entity = *e.entity;
    const uint16_t type = entity.header.type;
    const uint64_t hiddenMask = context_.hiddenMask;
    const uint64_t planMask = context_.planMask;
    const bool setPaperReference = !context_.paperSpaceReference && (entity.header.flags & kEntityInPaperSpace);
    if (setPaperReference) context_.paperSpaceReference = 1;
    std::unique_ptr<BlockReferenceRecord> place = dbNewObject<BlockReferenceRecord>();
    if (!place) {
        fail(kErrorBlockReferenceRecord);
        if (setPaperReference) context_.paperSpaceReference = 0;
        return;
    }
    // Points inside a dimension's block are dots.
    const int16_t savedPdmode = drawing_->header->pdmode;
    if (type == kEntityDimension) drawing_->header->pdmode = 0;

    Matrix4 referenceTransform = transform_;
    if (entity.header.flags & kEntityHasExtrusion)
        genMatrixMultiply(context_.entity.objectMatrix, transform_, referenceTransform);
    ListLink* kept = list_->current;

    bool drawn = true;
    if (type == kEntityDimension) {
        const DimensionBody& dimension = entity.bodyAs<DimensionBody>();
        place->block = dimension.block;
        place->insertion = dimension.cloneInsertionPoint;
        place->rotation = dimension.insertionRotation;
        drawn = place->rotation <= kUnusableRotation;
    } else {
        const InsertBody& insert = entity.bodyAs<InsertBody>();
        place->block = insert.block;
        place->insertion = insert.insertion;
        place->rotation = insert.rotation;
        place->scale = {insert.scale.x, insert.scale.y, insert.scale.z == 0.0 ? 1.0 : insert.scale.z};
        place->rows = std::max<int16_t>(insert.rowCount, 1);
        place->columns = std::max<int16_t>(insert.columnCount, 1);
        place->rowSpacing = insert.rowSpacing;
        place->columnSpacing = insert.columnSpacing;
    }
    const BlockNode* block = dbLookupBlock(*drawing_, place->block);
    const bool external = block && (block->record.flags & kBlockExternalReference);
    if (external && ((xrefDepth_ > 0 && block->record.overlay) || block->record.xrefDisabled)) drawn = false;
    EntityList* blockList = block ? block->entityList.get() : nullptr;
    // A block inside itself, directly or through others, and nesting beyond the limit draw
    // nothing.
    const bool cycle = blockList && std::find(context_.activeLists.begin(), context_.activeLists.end(),
                                              static_cast<const void*>(blockList)) != context_.activeLists.end();
    const bool drawable = external || (blockList && !cycle && depth_ < kMaxBlockNesting);

    Handle filter;
    const bool clipped = drawn && drawable && genReadSpatialFilter(drawing_, entity.header, filter);
    const double tolerance = context_.threeUnitTolerance;
    const double viewScale = context_.viewScale;
    const double cs = std::cos(place->rotation), sn = std::sin(place->rotation);
    bool pushed = false;
    for (int16_t r = 0; drawn && drawable && r < place->rows; ++r) {
        for (int16_t c = 0; c < place->columns && drawn && gOutputHookTable->walkContinue != 0; ++c) {
            const double dx = c * place->columnSpacing, dy = r * place->rowSpacing;
            const Point3 cell = type == kEntityDimension
                                    ? place->insertion
                                    : Point3{place->insertion.x + dx * cs - dy * sn,
                                             place->insertion.y + dx * sn + dy * cs, place->insertion.z};
            // A host can stop a reference of many cells even when they draw nothing.
            genRefreshTick(drawing_);
            Matrix4 cellTransform = referenceTransform;
            genMatrixTranslate(cell, cellTransform);
            if (place->rotation != 0.0) genMatrixRotateZ(place->rotation, cellTransform);
            genMatrixScale(place->scale.x, place->scale.y, place->scale.z, cellTransform);
            if (r == 0 && c == 0 && clipped) {
                // One clip for all cells, in the block's own coordinates; an empty block draws
                // nothing. An external block's entities are in its drawing.
                if (!external && blockIsEmpty(*block)) {
                    drawn = false;
                    break;
                }
                const Point3 base = blockBasePoint(*block);
                Matrix4 baseTransform = cellTransform;
                genMatrixTranslate({-base.x, -base.y, -base.z}, baseTransform);
                const Handle key = external ? entity.header.handle : Handle();
                pushed = genPushClipEntry(drawing_, context_, drawing_, filter, key, baseTransform) != 0;
            }
            if (external) {
                // The referenced drawing is drawn after the list, in place of the block's entities.
                queueExternalReference(block->record, cellTransform, e, hiddenMask);
                continue;
            }
            dbRewindEntityList(blockList);
            genVectoriseEntityList(drawing_, blockList, cellTransform, uint16_t(e.colour), e.linetype, e.plotStyle,
                                   int16_t(e.lineweight), int16_t(depth_ + 1), xrefDepth_, hiddenMask, chain_, nullptr);
        }
    }
    if (pushed) genPopClipEntry(context_);

    context_.planMask = planMask;
    context_.threeUnitTolerance = tolerance;
    context_.viewScale = viewScale;
    context_.hiddenMask = hiddenMask;
    drawing_->header->pdmode = savedPdmode;
    dbListSeek(list_, kept);
    if (setPaperReference) context_.paperSpaceReference = 0;
}

// The BLOCK that opens a block's list: the block's base point lands on the insertion point.
void ListVectoriser::drawBlockBegin(const EntityRecord& entity) {
    const Point3& p = entity.bodyAs<BlockBeginBody>().basePoint;
    genMatrixTranslate({-p.x, -p.y, -p.z}, transform_);
    computeMatrices();
}

// Queues the drawing of an external reference on the pass's display context, unless it cannot
// be found (error 20, hook 8) or is already being drawn in the chain of references.
void ListVectoriser::queueExternalReference(const BlockRecord& block, const Matrix4& transform,
                                            const ResolvedEntity& e, uint64_t hiddenMask) {
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
    queued.byBlockColour = uint16_t(e.colour);
    if (e.linetype) queued.byBlockLinetype = *e.linetype;
    if (e.plotStyle) queued.byBlockPlotStyle = *e.plotStyle;
    queued.hasPlotStyle = e.plotStyle != nullptr;
    queued.byBlockLineweight = int16_t(e.lineweight);
    queued.hiddenMask = hiddenMask;
    queued.paperSpacePass = context_.paperSpacePass;
    queued.paperSpaceReference = context_.paperSpaceReference;
    if (const auto* layer = dbLookupNode(*drawing_, drawing_->layers, context_.referenceLayer))
        queued.hostLayer = layer->record;
    queued.ownerDrawing = drawing_;
    queued.reference = e.entity->header.handle;
    queued.nestingLevel = depth_;
    queued.xrefDepth = xrefDepth_;
    genChainCopy(chain_, queued.chain);
    genChainAddPath(queued.chain, *existing);
    for (auto entry = context_.clipEntries.rbegin(); entry != context_.clipEntries.rend(); ++entry)
        queued.clips.push_back({entry->filterDrawing, entry->filter, entry->blockReference, entry->matrix});
    outer->deferredReferences.push_back(std::move(queued));
}

} // namespace tracemill
