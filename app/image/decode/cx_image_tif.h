// Decoder of one page of a TIFF file through libtiff: colour pages through libtiff's RGBA
// reader, palette and grey pages strip by strip or tile by tile, CIE L*a*b* by a conversion
// of our own; then turned upright by the orientation tag.
#pragma once

#include <tiffio.h>

#include "app/image/decode/cx_image.h"

namespace tracemill {

class CxImageTIF : public CxImage {
public:
    CxImageTIF() : CxImage(CXIMAGE_FORMAT_TIF) {}
    ~CxImageTIF() override;
    bool Decode(ImageStream& stream);
    static void CopyTileRows(uint8_t* destination, const uint8_t* source, uint32_t rows, uint64_t columns,
                             uint64_t destinationSkip, uint64_t sourceSkip);

private:
    void DecodeBody(ImageStream& stream);
    void Close();
    TIFF* tif_ = nullptr;
};

} // namespace tracemill
