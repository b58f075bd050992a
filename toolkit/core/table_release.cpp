#include "toolkit/core/table_release.h"

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/entity_access.h"

namespace tracemill {
namespace {

Handle handleOf(const auto& node) {
    if constexpr (requires { node.record.header; }) {
        return node.record.header.handle;
    } else {
        return node.record.handle;
    }
}

template <class Node>
void releaseTable(Drawing* drawing, RecordList<Node>& list) {
    for (const Node& node : list) dbHandleTreeRemove(drawing->handleIndex, handleOf(node));
    list.clear();
}

} // namespace

void dbFreeLayers(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->layers);
}
void dbFreeLinetypes(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->linetypes);
}
void dbFreeUcss(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->ucss);
}
void dbFreeViews(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->views);
}
void dbFreeVports(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->vports);
}
void dbFreeViewportIndex(Drawing* drawing) {
    if (drawing) drawing->viewportIndex.clear();
}
void dbFreeDimStyles(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->dimStyles);
}
void dbFreeAppIds(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->appIds);
}
void dbFreeStyles(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->styles);
}
void dbFreeObjectList(Drawing* drawing) {
    if (drawing) releaseTable(drawing, drawing->objects);
}

void dbFreeEntityList(Drawing* drawing, EntityList* list) {
    if (!drawing || !list) return;
    while (list->first) dbRemoveEntityNode(drawing, list, EntityList::asNode(list->first));
}

void dbFreeBlocks(Drawing* drawing) {
    if (!drawing) return;
    drawing->viewportIndex.clear();
    for (const BlockNode& block : drawing->blocks) {
        if (!block.entityList) continue;
        for (const EntityNode& entity : *block.entityList) {
            dbHandleTreeRemove(drawing->handleIndex, entity.record.header.handle);
        }
    }
    drawing->modelSpace = nullptr;
    drawing->paperSpace = nullptr;
    releaseTable(drawing, drawing->blocks);
    dbMarkBlockIndexStale(drawing);
}

} // namespace tracemill
