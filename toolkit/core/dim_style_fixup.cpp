#include "toolkit/core/dim_style_fixup.h"

#include "toolkit/core/arrow_blocks.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill {
namespace {

constexpr int32_t kMaxArrowFit = 3;

// The block a deferred name stands for. A name the file also defined as a block (a DXF file
// reads its BLOCKS after its TABLES) is that block; building another block of the same name
// would give the drawing two blocks of one name.
Handle arrowheadBlock(Drawing& drawing, const std::string& name) {
    Handle block;
    if (dbBlockFindByName(&drawing, name, block)) return block;
    dbCreateArrowBlock(&drawing, block, name);
    return block;
}

Handle* arrowField(DimStyleRecord& style, ArrowheadField field) {
    switch (field) {
    case ArrowheadField::Dimblk:
        return &style.dimblk;
    case ArrowheadField::Dimblk1:
        return &style.dimblk1;
    case ArrowheadField::Dimblk2:
        return &style.dimblk2;
    }
    return nullptr;
}

void splitFit(uint8_t& atfit, int16_t& tmove) {
    if (atfit > kMaxArrowFit) dbSplitDimFit(atfit, atfit, tmove);
}

} // namespace

void dbSplitDimFit(int32_t fit, uint8_t& atfit, int16_t& tmove) {
    if (fit > kMaxArrowFit) {
        atfit = uint8_t(kMaxArrowFit);
        tmove = int16_t(fit - kMaxArrowFit);
    } else {
        atfit = uint8_t(fit);
        tmove = 0;
    }
}

int dbFixupDimStyles(Drawing* drawing) {
    if (!drawing) return 0;
    for (const DeferredArrowhead& deferred : drawing->deferredArrowheads) {
        auto* node = dbLookupNode(*drawing, drawing->dimStyles, deferred.dimStyle);
        if (!node) continue;
        const Handle block = arrowheadBlock(*drawing, deferred.blockName);
        Handle* field = arrowField(node->record, deferred.field);
        if (field && !block.isNull()) *field = block;
    }
    drawing->deferredArrowheads = {};
    if (drawing->versionIndex < kVersionIndex2000) {
        if (HeaderBlock* header = drawing->header.get()) dbSplitDimFit(header->dimatfit, header->dimatfit, header->dimtmove);
        for (auto& node : drawing->dimStyles) splitFit(node.record.dimatfit, node.record.dimtmove);
    }
    return 1;
}

} // namespace tracemill
