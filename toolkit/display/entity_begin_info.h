// What the vectoriser tells the host about an entity before drawing it (output hook slot 15).
#pragma once

#include <cstdint>

#include "toolkit/core/entity_record.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/table_records.h"

namespace tracemill {

struct EntityBeginInfo {
    const EntityRecord* entity = nullptr;
    int32_t lineweight = 0;  // resolved, in hundredths of a millimetre
    int16_t colour = 0;      // resolved: an index, negative on a layer that is off
    const LinetypeRecord* linetype = nullptr;  // resolved
    const PlotStyle* plotStyle = nullptr;      // null without one
};

// The parameters of an external reference about to be opened (output hook slot 11).
struct XrefReference {
    Drawing* owner = nullptr;  // the drawing whose list met the reference
    Handle reference;          // the block reference
};

} // namespace tracemill
