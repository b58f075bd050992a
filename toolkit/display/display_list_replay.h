// The replay of the display-list cache: a pass whose view the recorded cells still serve sends
// what the cells hold to the host instead of walking the database.
#pragma once

namespace tracemill {

struct Drawing;

// Replays the cells the window overlaps, in replay order, through the window to the host's own
// hooks (slots 21-29): lines clipped to the device rectangle, fills clipped to it, state changes
// when the colour or width changes, host records. Reports progress (bytes replayed, then 100),
// calls the refresh hook every refresh interval of primitives, and stops when the walks'
// continue flag is cleared. Without memory for its work buffers it reports through the error
// callback (2) and draws nothing.
void genDlistReplay(Drawing* drawing);

} // namespace tracemill
