// Linetypes named by their position in the LTYPE table, as multiline styles and the graphics of
// proxy entities name them: 32767 stands for BYLAYER and 32766 for BYBLOCK.
#pragma once

#include <cstdint>

#include "toolkit/core/geometry_lists.h"
#include "toolkit/core/table_records.h"

namespace tracemill {

struct Drawing;

// The linetype at that position of the drawing's LTYPE table (counted from 0); `byLayer` for
// kMlineLinetypeByLayer (32767) and `byBlock` for kMlineLinetypeByBlock (32766); null for a
// position the table does not reach.
const LinetypeRecord* genLinetypeAtIndex(Drawing* drawing, int32_t index, const LinetypeRecord* byLayer,
                                         const LinetypeRecord* byBlock);

} // namespace tracemill
