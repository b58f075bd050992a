// Decoder of TGA files: colour-mapped, true-colour and black-and-white, plain and
// run-length encoded.
#pragma once

#include "toolkit/core/binary_layout.h"
#include "app/image/decode/cx_image.h"

namespace tracemill {

struct TgaHeader {
    uint8_t idLength = 0;
    uint8_t colourMapType = 0;
    uint8_t imageType = 0;
    uint16_t colourMapFirst = 0;
    uint16_t colourMapLength = 0;
    uint8_t colourMapEntrySize = 0;
    uint16_t xOrigin = 0;
    uint16_t yOrigin = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t pixelDepth = 0;
    uint8_t descriptor = 0; // bit 4 right-to-left, bit 5 top-to-bottom
};
using TgaHeaderLayout =
    LittleEndianLayout<&TgaHeader::idLength, &TgaHeader::colourMapType, &TgaHeader::imageType,
                       &TgaHeader::colourMapFirst, &TgaHeader::colourMapLength, &TgaHeader::colourMapEntrySize,
                       &TgaHeader::xOrigin, &TgaHeader::yOrigin, &TgaHeader::width, &TgaHeader::height,
                       &TgaHeader::pixelDepth, &TgaHeader::descriptor>;
static_assert(TgaHeaderLayout::kSize == 18);

class CxImageTGA : public CxImage {
public:
    CxImageTGA() : CxImage(CXIMAGE_FORMAT_TGA) {}
    bool Decode(ImageStream& stream);

    // Reads one run-length encoded line and returns the packet left over for the next line
    // (kNoLeftover when none).
    static constexpr int kNoLeftover = 255;
    int ReadRunLine(uint8_t* row, const TgaHeader& header, ImageStream& stream, uint32_t width, int leftover);
    void ReadRawPixels(uint8_t* row, const TgaHeader& header, ImageStream& stream, uint32_t count, uint32_t x);

private:
    void DecodeBody(ImageStream& stream);
};

} // namespace tracemill
