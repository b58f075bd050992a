// The records every drawing has besides its tables: the handles of the table-control objects,
// the named object dictionary with ACAD_GROUP, ACAD_MLINESTYLE and the multiline style
// "Standard", and the two layout blocks of model space and paper space.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"

namespace tracemill {

// Gives the table controls and the two layout block records their handles: from the set
// (indexes 0-11), or new handles in the order BLOCK, LAYER, STYLE, LTYPE, VIEW, UCS, VPORT,
// APPID and DIMSTYLE controls, model-space and paper-space block records, viewport-entity-
// header control.
int dbAssignTableHandles(Drawing* drawing, const HandleSet* handleSet);

// Adds the named object dictionary, ACAD_GROUP, ACAD_MLINESTYLE and the multiline style
// "Standard" (handles from set indexes 24-27 or new), and sets the header's CMLSTYLE. On a
// failure the object list is emptied and the result is 0.
int dbCreateDefaultDictionaries(Drawing* drawing, HeaderBlock& header, const HandleSet* handleSet);

// Adds the block records of model space and then paper space at the end of the block list,
// each with a new empty entity list that becomes the drawing's model-space or paper-space
// list. A zero block handle is replaced by a new one, written back. On a failure nothing is
// left added and the result is 0.
int dbCreateSpaceBlocks(Drawing* drawing, Handle& modelSpaceBlock, Handle& paperSpaceBlock,
                        Handle modelSpaceBlockEntity, Handle paperSpaceBlockEntity, Handle modelSpaceEndBlockEntity,
                        Handle paperSpaceEndBlockEntity, std::string_view modelSpaceName,
                        std::string_view paperSpaceName, uint8_t modelSpaceFlags, uint8_t paperSpaceFlags);

} // namespace tracemill
