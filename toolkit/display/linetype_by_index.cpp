#include "toolkit/display/linetype_by_index.h"

#include "toolkit/core/drawing.h"

namespace tracemill {

const LinetypeRecord* genLinetypeAtIndex(Drawing* drawing, int32_t index, const LinetypeRecord* byLayer,
                                         const LinetypeRecord* byBlock) {
    if (index == kMlineLinetypeByLayer) return byLayer;
    if (index == kMlineLinetypeByBlock) return byBlock;
    if (!drawing || index < 0) return nullptr;
    int32_t position = 0;
    for (const auto& node : drawing->linetypes) {
        if (position++ == index) return &node.record;
    }
    return nullptr;
}

} // namespace tracemill
