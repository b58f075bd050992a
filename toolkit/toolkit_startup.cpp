#include "toolkit/toolkit_startup.h"

#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/display_list_cells.h"
#include "toolkit/display/solid_wireframe.h"
#include "toolkit/display/text/glyph_output.h"

namespace tracemill {

// The global state beside the context, in order of allocation; a failed start-up and
// dbTermToolkit free it in reverse order. The database core defines the output hook table;
// display generation puts in what it owns: the glyph fill routine, the default solid drawer
// (slot 34) and the cell grid of the display-list cache.
int dbInitToolkit() {
    if (!gSystemContext) return 0;
    gSystemContext->glyphFill = genFillTrueTypeGlyph;
    if (gOutputHookTable) return 1;
    if (!dbCreateOutputHookTable()) return 0;
    gOutputHookTable->solid = genDefaultSolidHook;
    genDlistBuildCellGrid(gOutputHookTable->cellCodes);
    return 1;
}

void dbTermToolkit() { dbDestroyOutputHookTable(); }

} // namespace tracemill
