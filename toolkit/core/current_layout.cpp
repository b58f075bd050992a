#include "toolkit/core/current_layout.h"

#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"

namespace tracemill {

int dbApplyCurrentLayout(Drawing* drawing, bool paperSpace, LayoutBody& out) {
    if (!drawing || drawing->versionIndex < kVersionIndex2000) return 0;
    const BlockNode* block =
        dbLookupBlock(*drawing, paperSpace ? drawing->handles.paperSpaceBlock : drawing->handles.modelSpaceBlock);
    if (!block) return 0;
    const ObjectRecord* layout = dbFindStoredObject(drawing, block->record.layout);
    const uint16_t layoutClass = dbClassLayout(drawing->classes);
    if (!layout || layoutClass == 0 || layout->header.type != layoutClass) return 0;
    const LayoutBody* body = layout->body.getIf<LayoutBody>();
    if (!body) return 0;
    out = *body;
    return 1;
}

} // namespace tracemill
