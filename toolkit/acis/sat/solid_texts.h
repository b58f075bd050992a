// The SAT texts that the REGION, 3DSOLID and BODY entities of a drawing carry, in the order of
// the drawing's blocks and their entities (model space and paper space among them).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "toolkit/core/handle.h"

namespace tracemill {

struct Drawing;

struct SolidText {
    Handle handle;
    uint16_t type = 0;      // kEntityRegion, kEntitySolid3d or kEntityBody
    std::string_view text;  // the entity's SAT text as the reader keeps it (empty without one)
};

std::vector<SolidText> acisSolidTexts(const Drawing& drawing);

} // namespace tracemill
