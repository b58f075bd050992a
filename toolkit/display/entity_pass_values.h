// What the vectoriser hands the drawers of one entity besides its geometry: the list's
// transform and its per-viewport matrices, the entity's resolved properties, and what a block
// drawn for the entity (an arrowhead) needs to be vectorised as the entity's own reference.
#pragma once

#include <cstdint>

#include "toolkit/core/entity_header.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/reference_chain.h"

namespace tracemill {

struct EntityPassValues {
    Matrix4 transform = kIdentityMatrix4;  // the list's coordinates to the world
    const Matrix4* matrices = nullptr;     // per viewport: the list's coordinates to the device
    int32_t colour = 7;                    // the entity's resolved colour (before the colour map)
    int16_t byLayerColour = 7;             // the colour of the entity's layer
    int16_t byBlockColour = 7;             // what colour 0 (BYBLOCK) stands for
    const LinetypeRecord* linetype = nullptr;         // the entity's resolved linetype
    const LinetypeRecord* byLayerLinetype = nullptr;  // the linetype of the entity's layer
    const LinetypeRecord* byBlockLinetype = nullptr;  // what BYBLOCK stands for
    const PlotStyle* plotStyle = nullptr;
    int16_t lineweight = kLineweightDefault;  // the entity's resolved lineweight
    int16_t depth = 0;                        // of the list the entity lies in
    int16_t xrefDepth = 0;
    uint64_t hiddenMask = 0;
    const ReferenceChain* chain = nullptr;
};

} // namespace tracemill
