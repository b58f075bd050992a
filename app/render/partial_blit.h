// The refresh hook of a long screen regeneration: now and then the window of the drawing
// object is asked to show the partly drawn back buffer, at most once per 2,501 milliseconds.
#pragma once

#include <cstdint>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

// Milliseconds of a monotonic clock, wrapping at 2^32.
using TickSource = uint32_t (*)();
// The clock the hook reads (a steady clock unless replaced; null puts it back); returns the
// previous one.
TickSource SetTickSource(TickSource source);

inline constexpr uint32_t kPartialBlitInterval = 2501;

// Nothing during a device pass, without a drawing object or while it has no window; else,
// when at least 2,501 ms passed since its last partial repaint, repaints the window and
// records the tick.
void BlitPartialRegen(HostWord host);

} // namespace tracemill
