// The arrow settings of a dimension or leader: the arrow kind of a block name, and the
// effective scale, arrow size, gap, placement, arrow blocks and colour from the entity's
// dimension style and its "DSTYLE" overrides.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/handle.h"

namespace tracemill {

// Arrow kinds: the arrowheads display generation draws itself, by block name.
enum ArrowKind : int16_t {
    kArrowDefault = 0,  // empty name: closed and filled
    kArrowClosed = 1,
    kArrowOpen = 2,
    kArrowDot = 3,
    kArrowOrigin = 4,
    kArrowOpen90 = 5,
    kArrowNone = 6,
    kArrowOblique = 7,
    kArrowOther = 8,  // any other name: a block
};

// The kind of a block name, compared without regard to case. Always 1.
int dbArrowKindFromBlockName(std::string_view name, int16_t& kind);

struct DimArrowSettings {
    double scale = 1.0;        // DIMSCALE
    double arrowSize = 0.09;   // DIMASZ
    double gap = 0.09;         // DIMGAP
    uint16_t placement = 0;    // DIMTAD
    uint16_t separateArrows = 0;  // DIMSAH
    Handle arrowBlock;         // the arrowhead block, null for the default arrow
    Handle secondArrowBlock;   // set by the overrides of DIMBLK2
    uint32_t colour = 0;       // DIMCLRD
    friend bool operator==(const DimArrowSettings&, const DimArrowSettings&) = default;
};

// Starts from the defaults, takes the values of the DIMSTYLE of that handle and then the
// entity's "DSTYLE" overrides: 40 scale, 41 arrow size, 147 gap, 77 placement, 173 separate
// arrows, 176 colour, 5 (a block name) and 341, 342 (handles) the arrow block, 7 (a block
// name) and 343, 344 (handles) the second arrow block. The style's arrow block is DIMBLK1 when
// its DIMSAH is set, else DIMBLK, or in drawings of version index 7 DIMLDRBLK (the leader's
// arrow, which those files keep besides DIMBLK). 1, or 0 with `out` at the defaults when the
// DIMSTYLE cannot be read.
int dbGetDimArrowSettings(Drawing* drawing, const EntityHeader& entity, DimArrowSettings& out, Handle dimStyle);

} // namespace tracemill
