#include "toolkit/core/toolkit_startup.h"

#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/text/glyph_output.h"

namespace tracemill {

// The global state beside the context, in order of allocation; a failed start-up and
// dbTermToolkit free it in reverse order. Later parts join here with the code that owns
// them: the entity header and body buffers of display generation, its scratch blocks and
// the glyph fill routine.
int dbInitToolkit() {
    if (!gSystemContext) return 0;
    gSystemContext->glyphFill = genFillTrueTypeGlyph;
    return dbCreateOutputHookTable();
}

void dbTermToolkit() { dbDestroyOutputHookTable(); }

} // namespace tracemill
