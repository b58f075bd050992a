// The plot style table that the current layout names, attached to the display for a pass.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/plot_style_names.h"

namespace tracemill {

// Attaches the plot style table that the display's current layout names when the layout plots
// with plot styles: the file is found through output hook slot 32 (without a hook the name is
// the path) and read into the display context. With named plot styles (PSTYLEMODE 0) its
// styles are linked to the ACAD_PLOTSTYLENAME entries; with colour-dependent ones a table
// without a colour table is dropped again. 1 when a table was read, else 0.
int dbLoadLayoutPlotStyleTable(Drawing* drawing);

} // namespace tracemill
