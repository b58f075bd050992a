#include "toolkit/write/dxf/dxf_names.h"

#include "toolkit/core/name_compare.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

template <class List>
void indexList(const List& list, OutputContext& output) {
    int32_t position = 0;
    for (const auto& node : list) output.recordPositions[node.record.handle.value] = position++;
}

template <class Record>
int nameOf(const Drawing& drawing, const RecordList<StoredRecord<Record>>& list, Handle handle, std::string& name,
           int error) {
    const auto* node = handle.isNull() ? nullptr : dbLookupNode(drawing, list, handle);
    if (!node) return dbSetError(error);
    name = node->record.name;
    return 1;
}

} // namespace

void wrIndexRecordPositions(const Drawing& drawing, OutputContext& output) {
    output.recordPositions.clear();
    indexList(drawing.layers, output);
    indexList(drawing.linetypes, output);
    indexList(drawing.styles, output);
    indexList(drawing.views, output);
    indexList(drawing.ucss, output);
    indexList(drawing.vports, output);
    indexList(drawing.appIds, output);
    indexList(drawing.dimStyles, output);
    // Blocks are numbered among the blocks other than the two layout blocks: the same numbers
    // whether a drawing keeps its layout blocks last (as the formats' readers do) or first.
    // A deleted block keeps its number but is not written.
    output.blockOrder.clear();
    int32_t position = 0;
    for (const BlockNode& node : drawing.blocks) {
        const Handle handle = node.record.handle;
        const bool layout = handle == drawing.handles.modelSpaceBlock || handle == drawing.handles.paperSpaceBlock;
        // Before 2000 the paper-space blocks of further layouts are not written nor counted.
        const bool extraLayout = output.versionIndex < kVersionAC1015 &&
                                 dbCompareNoCaseN(node.record.name, "*PAPER_SPACE", 12) == 0;
        if (layout || extraLayout) {
            output.recordPositions[handle.value] = 0;
            continue;
        }
        output.recordPositions[handle.value] = position++;
        if (!node.record.deleted) output.blockOrder.push_back(&node);
    }
}

int32_t wrRecordPosition(const OutputContext& output, Handle handle) {
    const auto found = output.recordPositions.find(handle.value);
    return found == output.recordPositions.end() ? 0 : found->second;
}

int wrLinetypeNameByHandle(const Drawing& drawing, Handle handle, std::string& name) {
    if (!handle.isNull() && handle == drawing.handles.byBlockLinetype) {
        name = "ByBlock";
        return 1;
    }
    const auto* node = handle.isNull() ? nullptr : dbLookupNode(drawing, drawing.linetypes, handle);
    if (!node || handle == drawing.handles.byLayerLinetype) {
        name = "ByLayer";
        return 1;
    }
    name = node->record.name;
    return 1;
}

int wrLayerNameByHandle(const Drawing& drawing, Handle handle, std::string& name) {
    return nameOf(drawing, drawing.layers, handle, name, kErrorNoSuchLayer);
}

int wrStyleNameByHandle(const Drawing& drawing, Handle handle, std::string& name) {
    return nameOf(drawing, drawing.styles, handle, name, kErrorNoSuchStyle);
}

int wrDimStyleNameByHandle(const Drawing& drawing, Handle handle, std::string& name) {
    if (handle.isNull()) {
        name = "*UNNAMED";
        return 1;
    }
    return nameOf(drawing, drawing.dimStyles, handle, name, kErrorNoSuchDimStyle);
}

int wrUcsNameByHandle(const Drawing& drawing, Handle handle, std::string& name) {
    return nameOf(drawing, drawing.ucss, handle, name, kErrorNoSuchUcs);
}

int wrAppIdNameByHandle(const Drawing& drawing, Handle handle, std::string& name) {
    return nameOf(drawing, drawing.appIds, handle, name, kErrorNoSuchAppId);
}

std::string wrRenumberedBlockName(std::string_view name, int32_t position) {
    if (name.empty() || name[0] != '*' || dbCompareNoCaseN(name, "*PAPER_SPACE", 12) == 0 ||
        dbCompareNoCaseN(name, "*MODEL_SPACE", 12) == 0) {
        return std::string(name);
    }
    std::string renumbered(name.substr(0, 2));
    renumbered += std::to_string(position);
    return renumbered;
}

int wrBlockNameByHandle(const Drawing& drawing, const OutputContext& output, Handle handle, std::string& name) {
    const BlockNode* node = handle.isNull() ? nullptr : dbLookupBlock(drawing, handle);
    if (!node) return dbSetError(kErrorNoSuchBlock);
    name = wrRenumberedBlockName(node->record.name, wrRecordPosition(output, handle));
    return 1;
}

} // namespace tracemill
