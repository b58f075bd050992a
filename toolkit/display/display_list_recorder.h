// The recording side of the display-list cache. While a pass records, the recorders stand in
// output hook slots 0-3, 5, 17-19 and 33: each primitive is written into the smallest cell
// that holds it (display_list_code.h) and sent on, through the window, to the host's own hooks
// (slots 21-29). A primitive with a point off the grid, or one that a cell cannot take, still
// reaches the host but leaves the list incomplete, so that it is not replayed.
//
// The recorders write into one list at a time: the list of the drawing whose pass started last.
#pragma once

namespace tracemill {

struct Drawing;

// Makes the drawing's display list the one the recorders write into and puts them into their
// slots (the host's hooks stay in 21-29).
void genDlistStartRecording(Drawing* drawing);

// Puts the host's hooks back (slots 0, 1, 5, 17, 18, 19 and 33 from their copies, the polygon
// wrappers into 2 and 3). A recorder that a host replaced while the pass ran (a hook set
// through a setter meanwhile) leaves the list incomplete: part of the pass went past it.
void genDlistStopRecording(Drawing* drawing);

// Starts the cells of a pass: each cell's last point off the grid, so that its first line
// writes a move; the current colour, width and pen cleared; the host's pen to (0, 0).
void genDlistBeginPass(Drawing* drawing);

// Closes every cell stream open for writing.
void genDlistCloseCells(Drawing* drawing);

} // namespace tracemill
