#include "toolkit/core/display_entity_fetch.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill {

namespace {

void announceFetchedEntity(Drawing* drawing, EntityRecord& entity) {
    if (gOutputHookTable && gOutputHookTable->entityFetch)
        gOutputHookTable->entityFetch(entity, drawing ? drawing->hostContext : nullptr);
}

} // namespace

int dbReadEntityForDisplay(Drawing* drawing, EntityList* list, const BlockLayerSubstitution* inBlock,
                           EntityRecord& out) {
    if (!dbReadEntity(list, out)) return 0;
    if (inBlock && out.header.type != kEntityAttribute && out.header.layer == inBlock->layerZero)
        out.header.layer = inBlock->referenceLayer;
    announceFetchedEntity(drawing, out);
    return 1;
}

int dbSkipToSeqend(Drawing* drawing, EntityList* list, EntityRecord& out) {
    while (dbReadEntity(list, out)) {
        if (out.header.type == kEntitySequenceEnd) {
            announceFetchedEntity(drawing, out);
            return 1;
        }
    }
    return 0;
}

} // namespace tracemill
