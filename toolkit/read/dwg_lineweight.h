// Lineweights as DWG files of 2000 code them: a 5-bit index into the table of standard widths
// (in 1/100 mm) or one of the codes BYLAYER, BYBLOCK and DEFAULT. The database keeps the width
// itself (entity_header.h), as DXF files store it.
#pragma once

#include <cstdint>

namespace tracemill {

// The width of an index: 0..23 the standard widths, 24..27 0, 28 and 29 BYLAYER (-1), 30
// BYBLOCK (-2), 31 DEFAULT (-3); an index outside 0..31 gives 0.
int16_t rdLineweightFromIndex(int index);

// The index of a width: a standard width gives its index, -1, -2 and -3 give 29, 30 and 31; any
// other width the index of the largest standard width below it (0 for widths below 5).
int rdLineweightToIndex(int16_t lineweight);

} // namespace tracemill
