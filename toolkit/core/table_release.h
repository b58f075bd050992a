// Releasing a drawing's tables one at a time, as a load that fails or starts a table again
// needs: each operation frees every record of its list and takes the records' handles out of
// the handle index, so that no handle is left naming a freed record.
#pragma once

#include "toolkit/core/drawing.h"

namespace tracemill {

void dbFreeLayers(Drawing* drawing);
void dbFreeLinetypes(Drawing* drawing);
void dbFreeUcss(Drawing* drawing);
void dbFreeViews(Drawing* drawing);
void dbFreeVports(Drawing* drawing);
void dbFreeViewportIndex(Drawing* drawing);
void dbFreeDimStyles(Drawing* drawing);
void dbFreeAppIds(Drawing* drawing);
void dbFreeStyles(Drawing* drawing);
void dbFreeObjectList(Drawing* drawing);
// Every block record with its entities; the drawing's model-space and paper-space lists are
// gone with them.
void dbFreeBlocks(Drawing* drawing);
// Every entity of the list (the list itself stays, empty).
void dbFreeEntityList(Drawing* drawing, EntityList* list);

} // namespace tracemill
