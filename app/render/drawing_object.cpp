#include "app/render/drawing_object.h"

namespace tracemill {

CDrawingObject::CDrawingObject() : palette_(&ColorWorkingTable()) {}

CDrawingObject::~CDrawingObject() = default;

void CDrawingObject::SetColorMode(int16_t mode) {
    colorMode_ = mode;
    if (mode == kColorModeBlackWhite) palette_ = &BlackColorTable();
    else if (mode == kColorModeGray) palette_ = &GrayWorkingTable();
    else palette_ = &ColorWorkingTable();
}

} // namespace tracemill
