// The search path of an installed CAD program (support folders for linetype files and
// referenced files). No such program is installed here: the optional setting "Option"
// "CadSupportPath" names the folders instead.
#pragma once

namespace tracemill {

// Hands a non-empty "CadSupportPath" to SetCadSupportDir; nothing happens without one.
void FindCadSearchPath();

} // namespace tracemill
