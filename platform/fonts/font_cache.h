// The faces the font finder accepted, newest first, each opened once with FreeType.
#pragma once

#include <string_view>

#include "platform/fonts/face_matching.h"
#include "platform/fonts/host_font_state.h"

namespace tracemill {

// The entry of a face name (case aside) and style, or null.
FontCacheEntry* dbFontCacheFind(std::string_view face, bool bold, bool italic);

// Adds an accepted face (or returns its entry when the face and style are there already):
// opens the file with FreeType and scales the face so that its capital 'A' (or, without one,
// its default glyph; without an outline there, its ascender) stands 1,000 units above the
// baseline. Null when the file cannot be opened or the services are not started.
FontCacheEntry* dbFontCacheAdd(std::string_view face, bool bold, bool italic, const InstalledFace& installed);

} // namespace tracemill
