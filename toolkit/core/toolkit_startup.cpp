#include "toolkit/core/toolkit_startup.h"

#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

int dbInitToolkit() {
    if (!gSystemContext) return 0;
    return dbCreateOutputHookTable();
}

void dbTermToolkit() { dbDestroyOutputHookTable(); }

} // namespace tracemill
