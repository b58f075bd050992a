// The octree colour quantiser: a palette of at most N colours for a picture, so that it can
// be reduced to 8, 4 or 1 bits per pixel. The tree lives for one call only.
#pragma once

#include <optional>

#include "app/image/packed_dib.h"

namespace tracemill {

// A palette of at most `maxColours` entries from the pixels of `dib` (visited in stored row
// order, bottom row first, left to right), with the tree cut at `depth` levels. None for a
// depth above 8, fewer than one colour, or a bit count the quantiser cannot read.
std::optional<Palette> CreateOctreePaletteFromDib(const PackedDib& dib, int maxColours, int depth);

} // namespace tracemill
