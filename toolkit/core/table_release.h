// Releasing a drawing's tables one at a time, as a load that fails or starts a table again
// needs: each operation frees every record of its list and takes the records' handles out of
// the handle index, so that no handle is left naming a freed record.
#pragma once

#include "toolkit/core/drawing.h"

namespace tracemill {

// Frees every record of a table list and takes the records' handles out of the handle index;
// the list stays, empty. Each table's operation below goes through here.
template <class Node>
void dbFreeTableRecords(Drawing& drawing, RecordList<Node>& list) {
    for (const Node& node : list) {
        if constexpr (requires { node.record.header; }) {
            dbHandleTreeRemove(drawing.handleIndex, node.record.header.handle);
        } else {
            dbHandleTreeRemove(drawing.handleIndex, node.record.handle);
        }
    }
    list.clear();
}

void dbFreeLayers(Drawing* drawing);
void dbFreeLinetypes(Drawing* drawing);
void dbFreeUcss(Drawing* drawing);
void dbFreeViews(Drawing* drawing);
void dbFreeVports(Drawing* drawing);
void dbFreeViewportIndex(Drawing* drawing);
void dbFreeDimStyles(Drawing* drawing);
void dbFreeAppIds(Drawing* drawing);
void dbFreeStyles(Drawing* drawing);
void dbFreeObjectList(Drawing* drawing);
// The class list with its class-number table, zombie numbers and per-class kinds.
void dbFreeClasses(Drawing* drawing);
// Every block record with its entities; the drawing's model-space and paper-space lists are
// gone with them.
void dbFreeBlocks(Drawing* drawing);
// Every entity of the list (the list itself stays, empty).
void dbFreeEntityList(Drawing* drawing, EntityList* list);

} // namespace tracemill
