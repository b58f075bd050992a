#include "app/render/gdi_output_state.h"

namespace tracemill {

namespace {

uint16_t backgroundColorIndex = 0;

} // namespace

void SetBackgroundColorIndex(uint16_t index) { backgroundColorIndex = index; }

uint16_t GetBackgroundColorIndex() { return backgroundColorIndex; }

} // namespace tracemill
