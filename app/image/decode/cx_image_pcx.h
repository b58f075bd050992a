// Decoder of PCX files: 1 to 8 bits in one plane, up to four 1-bit planes, and 24-bit
// pictures in three 8-bit planes.
#pragma once

#include "app/image/decode/cx_image.h"

namespace tracemill {

class CxImagePCX : public CxImage {
public:
    CxImagePCX() : CxImage(CXIMAGE_FORMAT_PCX) {}
    bool Decode(ImageStream& stream);

    // One index per pixel from a line of `bytesPerLine` bytes per plane; `pixels` holds at
    // least bytesPerLine x 8 entries.
    static void UnpackPixels(uint8_t* pixels, const uint8_t* line, uint32_t bytesPerLine, uint32_t planes,
                             uint32_t bitsPerPixel);
    static void PlanesToPixels(uint8_t* pixels, const uint8_t* line, uint32_t bytesPerLine, uint32_t planes,
                               uint32_t bitsPerPixel);

private:
    void DecodeBody(ImageStream& stream);
};

} // namespace tracemill
