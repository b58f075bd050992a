// Decoder of PNG files through libpng, mapping every colour type onto 1-, 4-, 8- and 24-bit
// pictures and composing or dropping alpha on the way.
#pragma once

#include "app/image/decode/cx_image.h"

namespace tracemill {

class CxImagePNG : public CxImage {
public:
    CxImagePNG() : CxImage(CXIMAGE_FORMAT_PNG) {}
    bool Decode(ImageStream& stream);
    // Widens a row of 2-bit pixels in place into 4-bit pixels.
    static void Expand2To4(uint8_t* row, uint32_t width);
};

} // namespace tracemill
