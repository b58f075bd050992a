// The standard dimension arrowheads as real blocks. Files before R2000 name an arrowhead
// ("_OPEN", "_DOT" ...) without storing its block, so after a load the toolkit builds each
// named standard arrowhead out of ordinary entities: LINEs, CIRCLEs, ARCs, SOLIDs and
// POLYLINEs, drawn for an arrow of unit size with its tip at the origin, pointing in +x.
#pragma once

#include <array>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/handle.h"

namespace tracemill {

inline constexpr int kStandardArrowheadCount = 17;

// The standard arrowhead names as blocks carry them.
inline constexpr std::array<std::string_view, kStandardArrowheadCount> kStandardArrowheadNames = {
    "_NONE",     "_CLOSED",   "_DOT",        "_CLOSEDBLANK", "_OBLIQUE",     "_ARCHTICK",
    "_OPEN",     "_ORIGIN",   "_OPEN90",     "_OPEN30",      "_DOTBLANK",    "_DOTSMALL",
    "_BOXFILLED", "_BOXBLANK", "_DATUMFILLED", "_DATUMBLANK", "_INTEGRAL"};

// The position of the standard arrowhead a name stands for in kStandardArrowheadNames (with or
// without its leading underscore, without regard to case), -1 for any other name.
int dbStandardArrowheadIndex(std::string_view name);

// Builds the arrowhead block of a standard name: a new block record named with the given name,
// its BLOCK entity, the entities of the shape and its ENDBLK. 1 with the block's handle; 0 for
// a name that is none of the standard names (no block is made) or when an entity cannot be
// added (the half-built block is deleted again). Every entity lies on layer "0" with colour,
// linetype and lineweight BYBLOCK, so that the arrow takes the dimension's properties.
int dbCreateArrowBlock(Drawing* drawing, Handle& block, std::string_view name);

} // namespace tracemill
