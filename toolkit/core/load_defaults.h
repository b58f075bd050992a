// The defaults a drawing of 2000 has and older files lack: made by the last step of
// dbCreateDrawing, and by the loader and the save driver for drawings read from older files.
#pragma once

#include "toolkit/core/drawing.h"

namespace tracemill {

// What a drawing before "AC1015" lacks against a 2000 drawing: the plot-style dictionary with
// its "Normal" placeholder, the layouts "Model" and "Layout1" when there are none, the plot
// settings dictionary, and the named object dictionary's entries for them. The objects made
// take their handles from entries 28-34 of the handle set when one is given. Also the last
// step of dbCreateDrawing.
int rdFinishLoadDefaults(Drawing& drawing, const HandleSet* handleSet);

// The handle seed never stays at or below the largest handle the load met.
void rdRaiseHandleSeed(Drawing& drawing);

} // namespace tracemill
