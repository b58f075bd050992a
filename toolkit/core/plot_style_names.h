// Named plot styles of a drawing: the plot style "Normal" that new layers take, and the plot
// style table that the current layout names, attached to the display for a pass.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/handle.h"

namespace tracemill {

// The bit of a layout's plot flags that makes it plot with its plot style table.
inline constexpr int16_t kLayoutUsesPlotStyles = 0x20;

// The handle of the entry "Normal" of the drawing's ACAD_PLOTSTYLENAME dictionary, the plot
// style of a new layer; the zero handle without that dictionary or entry.
Handle dbDefaultLayerPlotStyle(Drawing* drawing);

// Attaches the plot style table that the display's current layout names when the layout plots
// with plot styles: the file is found through output hook slot 32 (without a hook the name is
// the path) and read into the display context. With named plot styles (PSTYLEMODE 0) its
// styles are linked to the ACAD_PLOTSTYLENAME entries; with colour-dependent ones a table
// without a colour table is dropped again. 1 when a table was read, else 0.
int dbLoadLayoutPlotStyleTable(Drawing* drawing);

} // namespace tracemill
