// The plot style of an entity being drawn and the line weight it sets: by colour (PSTYLEMODE
// on), by layer, by block or by the entity's own plot-style handle, looked up in the plot style
// table of the current layout.
#pragma once

#include <cstdint>

#include "toolkit/core/entity_header.h"
#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/table_records.h"

namespace tracemill {

struct Drawing;

// The width in 1/100 mm of a plot style's line weight code: 1 to 27 from the table of the
// codes (1 -> 0, 2 -> 5, ... 26 -> 200, 27 -> 211), 0 for any other code.
int32_t genPlotStyleLineweight(int32_t code);

// The plot style of the entity, or null: with the drawing's PSTYLEMODE on, the table's style of
// the resolved colour (an index 1 to 255; any other colour has none); else with the entity's
// plot-style-by-layer flag the layer's style (in the table of the drawing the layer belongs
// to), with its by-block flag the inherited style when there is one with a name, otherwise
// the style of the entity's own handle. No style without a table or when the layer is off.
const PlotStyle* genEntityPlotStyle(const Drawing& drawing, const EntityHeader& header, int32_t colour,
                                    const LayerRecord& layer, const PlotStyle* inherited, const PlotStyleTable* table);

} // namespace tracemill
