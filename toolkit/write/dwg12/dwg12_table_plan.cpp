#include "toolkit/write/dwg12/dwg12_table_plan.h"

#include "toolkit/core/name_compare.h"
#include "toolkit/read/dwg12_header_layout.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/save_driver.h"

namespace tracemill {

bool wrDwg12IsLayoutBlock(const Drawing& drawing, const BlockRecord& record) {
    if (record.handle == drawing.handles.modelSpaceBlock || record.handle == drawing.handles.paperSpaceBlock)
        return true;
    return dbCompareNoCaseN(record.name, "*PAPER_SPACE", 12) == 0 || dbEqualsNoCase(record.name, "*MODEL_SPACE");
}

bool wrDwg12IsByLayerOrByBlock(const Drawing& drawing, const LinetypeRecord& record) {
    if (!record.handle.isNull() &&
        (record.handle == drawing.handles.byLayerLinetype || record.handle == drawing.handles.byBlockLinetype))
        return true;
    return dbEqualsNoCase(record.name, "BYLAYER") || dbEqualsNoCase(record.name, "BYBLOCK");
}

template <class List> void Dwg12TablePlan::number(Dwg12Table table, const List& list) {
    int32_t position = 0;
    for (const auto& node : list) positions_[table][node.record.handle.value] = position++;
}

Dwg12TablePlan::Dwg12TablePlan(const Drawing& drawing, const OutputContext& output) {
    number(kDwg12Layer, drawing.layers);
    number(kDwg12Style, drawing.styles);
    number(kDwg12View, drawing.views);
    number(kDwg12Ucs, drawing.ucss);
    number(kDwg12Vport, drawing.vports);
    number(kDwg12AppId, drawing.appIds);
    number(kDwg12DimStyle, drawing.dimStyles);
    for (const auto& node : drawing.linetypes) {
        if (wrDwg12IsByLayerOrByBlock(drawing, node.record)) {
            const bool byBlock = node.record.handle == drawing.handles.byBlockLinetype ||
                                 dbEqualsNoCase(node.record.name, "BYBLOCK");
            linetypeCodes_[node.record.handle.value] = byBlock ? kDwg12LinetypeByBlock : kDwg12LinetypeByLayer;
            continue;
        }
        positions_[kDwg12Linetype][node.record.handle.value] = int32_t(linetypes_.size());
        linetypes_.push_back(&node);
    }
    for (const BlockNode& node : drawing.blocks) {
        const BlockRecord& record = node.record;
        if (wrDwg12IsLayoutBlock(drawing, record)) continue;
        const int32_t position = int32_t(blocks_.size());
        positions_[kDwg12Block][record.handle.value] = position;
        blocks_.push_back(&node);
        // An external reference's name keeps the room its dependent names leave.
        const bool xref = (record.flags & (kBlockExternalReference | kBlockOverlay)) || record.overlay;
        const int limit = xref ? wrXrefNameBudget(output, record.handle) : wrSymbolNameLimit();
        blockNames_.push_back(wrConvertSymbolName(drawing, &output, record.name, position, limit));
        if (record.deleted) ++deletedBlocks_;
    }
}

int32_t Dwg12TablePlan::linetype(Handle handle) const {
    if (handle.isNull()) return kDwg12LinetypeByLayer;
    const auto code = linetypeCodes_.find(handle.value);
    return code != linetypeCodes_.end() ? code->second : position(kDwg12Linetype, handle);
}

int32_t Dwg12TablePlan::position(Dwg12Table table, Handle handle) const {
    if (handle.isNull()) return -1;
    const auto found = positions_[table].find(handle.value);
    return found == positions_[table].end() ? -1 : found->second;
}

} // namespace tracemill
