// Per-character font fallback: the installed face that draws a character the requested face
// lacks (Korean in text whose style names a Latin face), found through fontconfig's character
// coverage.
#pragma once

#include <cstdint>

#include "platform/fonts/host_font_state.h"

namespace tracemill {

// The opened face, among the installed outline faces in fontconfig's order of preference (the
// requested style first), whose character map holds the character; null when none does. The
// answer for each character and style is kept until the services stop.
FontCacheEntry* dbFallbackFace(uint32_t character, bool bold, bool italic);

} // namespace tracemill
