// Start-up and shut-down of the toolkit around a system context: after dbCreateSystemContext
// the host calls dbInitToolkit, then installs its hooks; at the end dbTermToolkit, then
// dbDestroySystemContext.
#pragma once

namespace tracemill {

// Allocates the toolkit's global state beside the context: the output hook table with its
// display defaults. Needs a context. 1 on success; 0 without an error number when something
// cannot be allocated, after freeing what was allocated so far.
int dbInitToolkit();

// Frees what dbInitToolkit allocated, each part only when present.
void dbTermToolkit();

} // namespace tracemill
