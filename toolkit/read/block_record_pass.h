// The block-record pass of a load: the block records of the file become the drawing's BLOCK
// table, and the two layout blocks (model space and the current paper space) are made.
#pragma once

namespace tracemill {

struct Drawing;

// Reads the block records through the driver. The records of "*MODEL_SPACE" (and in DXF
// "*PAPER_SPACE"), compared without case, become the layout blocks, made after every other
// block with their handles, names and contents; without them the layout blocks are named
// "*Model_Space" and "*Paper_Space" and get new handles. Before R13 every block gets a new
// handle. 1, or 0 when a read or an add fails.
int rdLoadBlockRecords(Drawing& drawing);

} // namespace tracemill
