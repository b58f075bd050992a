// The dimension-style fix-up after a load: the arrowhead blocks that DIMSTYLE records named
// before the blocks were read, and the old DIMFIT value split into DIMATFIT and DIMTMOVE.
#pragma once

#include <cstdint>

#include "toolkit/core/drawing.h"

namespace tracemill {

// An old fit value above 3 is DIMATFIT 3 and DIMTMOVE the rest; others stay with DIMTMOVE 0.
void dbSplitDimFit(int32_t fit, uint8_t& atfit, int16_t& tmove);

// Resolves every deferred arrowhead: the block of that name when the drawing has one by now,
// else the standard arrowhead block built for the name (dbCreateArrowBlock), goes into the
// DIMSTYLE field the record names; a name that is neither leaves the field as it is. Then the
// deferred records are dropped. In a drawing read from a version before R2000 (index below 7)
// the header's DIMFIT and every DIMSTYLE's fit value above 3 are split (dbSplitDimFit). 1, 0
// for a null drawing.
int dbFixupDimStyles(Drawing* drawing);

} // namespace tracemill
