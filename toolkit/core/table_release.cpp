#include "toolkit/core/table_release.h"

#include "toolkit/core/block_name_index.h"
#include "toolkit/core/entity_access.h"

namespace tracemill {

void dbFreeLayers(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->layers);
}
void dbFreeLinetypes(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->linetypes);
}
void dbFreeUcss(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->ucss);
}
void dbFreeViews(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->views);
}
void dbFreeVports(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->vports);
}
void dbFreeViewportIndex(Drawing* drawing) {
    if (drawing) drawing->viewportIndex.clear();
}
void dbFreeDimStyles(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->dimStyles);
}
void dbFreeAppIds(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->appIds);
}
void dbFreeStyles(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->styles);
}
void dbFreeObjectList(Drawing* drawing) {
    if (drawing) dbFreeTableRecords(*drawing, drawing->objects);
}

void dbFreeClasses(Drawing* drawing) {
    if (drawing) drawing->classes = ClassList{};
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
        dbReleaseEntityHostData(*drawing, *block.entityList);
        for (const EntityNode& entity : *block.entityList) {
            dbHandleTreeRemove(drawing->handleIndex, entity.record.header.handle);
        }
    }
    drawing->modelSpace = nullptr;
    drawing->paperSpace = nullptr;
    dbFreeTableRecords(*drawing, drawing->blocks);
    dbMarkBlockIndexStale(drawing);
}

} // namespace tracemill
