#include "toolkit/core/viewport_index.h"

#include "toolkit/core/entity_types.h"

namespace tracemill {

int dbViewportIndexAdd(Drawing& drawing, EntityNode* viewport) {
    const auto* body = viewport->record.body.getIf<ViewportBody>();
    ViewportIndexEntry entry;
    entry.viewport = viewport->record.header.handle;
    entry.node = viewport;
    if (body) entry.viewportEntityHeader = body->viewportEntityHeader;
    const uint16_t code = body && body->status == 1 ? kInsertAtFront : kInsertAtEnd;
    return dbListInsertRecord(StoredRecord<ViewportIndexEntry>(entry), &drawing.viewportIndex, code, nullptr)
               ? 1
               : 0;
}

int dbViewportIndexRemove(Drawing& drawing, Handle viewport) {
    for (auto& node : drawing.viewportIndex) {
        if (node.record.viewport == viewport) {
            dbListUnlinkOne(&drawing.viewportIndex, &node);
            ViewportIndexList::freeNode(&node);
            return 1;
        }
    }
    return 0;
}

int dbViewportIndexMoveFirst(Drawing& drawing, const EntityNode* viewport) {
    for (auto& entry : drawing.viewportIndex) {
        if (entry.record.node != viewport) continue;
        if (&entry != drawing.viewportIndex.first) {
            dbListUnlinkOne(&drawing.viewportIndex, &entry);
            dbListPlaceNode(&drawing.viewportIndex, &entry, kInsertAtFront, nullptr);
        }
        return 1;
    }
    return 0;
}

} // namespace tracemill
