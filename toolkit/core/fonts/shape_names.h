// Shape names and shape numbers of the shape-file text styles: SHAPE entities name their
// shape by number (DWG) or by name (DXF). Both lookups read the shape file of each style
// (flag 1, not a ".ttf") at its fixed positions: the count at offset 28, the index pairs
// {number, length} from offset 30, each shape's bytes starting with its NUL-terminated name.
// The drawing keeps the last ten answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "toolkit/core/handle.h"

namespace tracemill {

struct Drawing;

// The name of shape `number` in the file of the style with that handle: 1 and the name (at
// most 31 characters), or 0 when there is no such style, file or shape. An answer read from a
// file is kept while fewer than ten are kept.
int genShapeNameByNumber(Drawing* drawing, Handle style, uint8_t number, std::string& outName);

// The style and shape number (its low byte) of the first shape-file style, in table order,
// whose file has a shape of that name (compared exactly): 1, or 0 with both outputs cleared.
// An answer read from a file is kept; when ten are kept already, it starts the list anew.
int genShapeNumberByName(Drawing* drawing, std::string_view name, Handle& outStyle, uint8_t& outNumber);

} // namespace tracemill
