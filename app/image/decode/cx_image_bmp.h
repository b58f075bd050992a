// Decoder of Windows and OS/2 bitmaps: 1 to 32 bits, RLE4 and RLE8, bit-field masks, with or
// without the file header.
#pragma once

#include "app/image/decode/cx_image.h"

namespace tracemill {

class CxImageBMP : public CxImage {
public:
    CxImageBMP() : CxImage(CXIMAGE_FORMAT_BMP) {}
    bool Decode(ImageStream& stream);
    // Reads the info header of any accepted size and normalises it into a 40-byte header.
    static bool ReadInfoHeader(ImageStream& stream, BitmapInfoHeader& header);

private:
    void DecodeBody(ImageStream& stream);
    void ReadRle8(ImageStream& stream);
    void ReadRle4(ImageStream& stream);
    void ReadBitfieldRows(ImageStream& stream, uint32_t bitCount, uint32_t redMask, uint32_t greenMask,
                          uint32_t blueMask);
};

} // namespace tracemill
