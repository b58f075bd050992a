// Named plot styles of a drawing: the plot style "Normal" that new layers take (the plot style
// table a layout names is attached by display generation: toolkit/display/layout_plot_style.h).
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/handle.h"

namespace tracemill {

// The bit of a layout's plot flags that makes it plot with its plot style table.
inline constexpr int16_t kLayoutUsesPlotStyles = 0x20;

// The handle of the entry "Normal" of the drawing's ACAD_PLOTSTYLENAME dictionary, the plot
// style of a new layer; the zero handle without that dictionary or entry.
Handle dbDefaultLayerPlotStyle(Drawing* drawing);

} // namespace tracemill
