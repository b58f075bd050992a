// The hint of a menu or toolbar command: shown in the status bar while its menu entry is
// highlighted and as the toolbar button's tooltip.
#pragma once

#include <string>

namespace tracemill {

// The language text of the command's hint; empty for a command without one.
std::string GetCommandHint(int commandId);

} // namespace tracemill
