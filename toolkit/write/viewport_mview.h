// The "MVIEW" extended data of the application "ACAD" that carries a VIEWPORT's view in files
// before 2000: the same items for every writer of those files, in the order the readers take
// them back (toolkit/read/load_fixups.h).
#pragma once

#include <vector>

#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/handle.h"
#include "toolkit/core/xdata_items.h"

namespace tracemill {

// The items: 1001 the application (`acad`); 1000 "MVIEW"; 1002 "{"; 1070 16; 1010 the view
// target and direction; 1040 the twist, the view height, the view centre's x and y, the lens
// length, the front and back clip distances; 1070 the view mode (status bits 0-4), the circle
// zoom, fast zoom (bit 7), the UCS icon (bits 5 and 6 as 0 to 3), snap (bit 8), grid (bit 9),
// snap style (bit 10) and the isometric plane (1 for bit 12, 2 for bit 13, else 0); 1040 the
// snap angle, snap base, snap spacing and grid spacing; 1070 hidden-line plot (bit 11); 1002
// "{"; one 1003 per frozen layer; 1002 "}"; 1002 "}".
std::vector<XDataItem> wrViewportMviewItems(const ViewportBody& viewport, Handle acad);

// The extended data of a VIEWPORT in a file before 2000: the "MVIEW" items built from its
// fields first, then its own items (`xdata`) but for its own "ACAD" data that starts with
// "MVIEW", which is what the fields were read from (or an older copy of them).
std::vector<XDataItem> wrViewportXDataItems(const ViewportBody& viewport, Handle acad, const OwnedStream& xdata);

} // namespace tracemill
