// Stopping a drawing pass from the progress dialog: while switched on, the toolkit's progress
// hook moves the main frame's progress bar and, when the user pressed Stop, ends the walk of
// the host's drawing.
#pragma once

#include <cstdint>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

// Installs the progress hook (on) or removes it (off), and remembers the choice.
void SetDrawAbortHook(bool on);
bool GetDrawAbortHook();

// The progress hook: a progress step of the main frame; on Stop, with a drawing object, the
// walk ends after the entity being drawn and the drawing's display context is released when
// the walk has returned.
void ToolkitProgressCallback(int32_t percent, HostWord host);

} // namespace tracemill
