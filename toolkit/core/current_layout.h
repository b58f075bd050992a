// The layout of the space that is shown: a 2000 drawing's model and paper space block records
// each name a LAYOUT object with the plot settings of that space.
#pragma once

#include "toolkit/core/drawing.h"
#include "toolkit/core/object_record.h"

namespace tracemill {

// The LAYOUT named by the block record of the current space (`paperSpace` chooses it), copied
// into `out`. 0 for a drawing older than 2000 or when the block record names no LAYOUT.
int dbApplyCurrentLayout(Drawing* drawing, bool paperSpace, LayoutBody& out);

} // namespace tracemill
