// Screen colours of drawings.
#pragma once

#include <cstdint>

namespace tracemill {

// Makes the colour index (0 to 255) the background of drawings on screen. Until the screen
// palettes exist it only remembers the index.
void SetBackgroundColorIndex(uint16_t index);
// The index last made the background (0 at start).
uint16_t GetBackgroundColorIndex();

} // namespace tracemill
