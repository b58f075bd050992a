#include "toolkit/acis/sat/solid_texts.h"

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"

namespace tracemill {

std::vector<SolidText> acisSolidTexts(const Drawing& drawing) {
    std::vector<SolidText> solids;
    for (const BlockNode& block : drawing.blocks) {
        if (!block.entityList) continue;
        for (const auto& node : *block.entityList) {
            const uint16_t type = node.record.header.type;
            if (type != kEntityRegion && type != kEntitySolid3d && type != kEntityBody) continue;
            std::string_view text;
            if (const AcisBody* body = node.record.body.template getIf<AcisBody>()) {
                const std::span<const uint8_t> bytes = body->satText.bytes();
                text = std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            }
            solids.push_back({node.record.header.handle, type, text});
        }
    }
    return solids;
}

} // namespace tracemill
