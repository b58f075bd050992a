// The code page a drawing keeps for a text-style name, which the writers ask for.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"

namespace tracemill {

// The code page of the entry of that name (compared without case) in the drawing's style
// list; without one (or without a drawing), the context's default code page.
int16_t dbStyleCodePage(const Drawing* drawing, std::string_view name);

} // namespace tracemill
