// The colour and the line width of what display generation draws: the only way it changes the
// host's colour (output hook slot 5) and line width (slot 33). Each is sent only when it
// differs from the last one sent in the pass.
#pragma once

#include <cstdint>

namespace tracemill {

struct Drawing;
struct DisplayContext;

// The display context that keeps the state of the whole pass: the host drawing's, also while
// an external reference draws.
DisplayContext* genPassContext(Drawing* drawing);

// Sends the colour (already mapped through the colour-index map) through slot 5 when it differs
// from the last one sent; -1 forgets the last one, so that the next colour is always sent.
void genSetColour(Drawing* drawing, int32_t colour);

// Sends a colour index of the drawing (0..255) through the colour-index map as genSetColour
// does; any other value sends nothing.
void genSetIndexColour(Drawing* drawing, int32_t colour);

// Sends the lineweight's width in drawing units, truncated to an integer, through slot 33 when
// that slot is set and the width differs from the last one sent.
void genSetLineWeight(Drawing* drawing, int32_t lineweight);

} // namespace tracemill
