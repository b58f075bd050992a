// Decoder of wireless bitmaps (type 0, sizes of one byte each way).
#pragma once

#include "app/image/decode/cx_image.h"

namespace tracemill {

class CxImageWBMP : public CxImage {
public:
    CxImageWBMP() : CxImage(CXIMAGE_FORMAT_WBMP) {}
    bool Decode(ImageStream& stream);
};

} // namespace tracemill
