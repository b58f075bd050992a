#include "app/image/decode/cx_image_wbmp.h"

#include "app/image/decode/image_stream.h"

namespace tracemill {

bool CxImageWBMP::Decode(ImageStream& stream) {
    uint8_t header[4]; // type, fixed header, width, height
    const char* failure = nullptr;
    if (!readExact(stream, header, sizeof header)) failure = "Not a WBMP";
    else if (header[0] != 0) failure = "Unsupported WBMP type";
    else if (header[2] == 0 || header[3] == 0) failure = "Corrupted WBMP";
    else if (!Create(header[2], header[3], 1, CXIMAGE_FORMAT_WBMP)) failure = "WBMP Create failed";
    if (failure) {
        SetLastError(failure);
        return false;
    }
    SetGreyPalette();
    const uint32_t rowBytes = (header[2] + 7u) / 8u;
    for (uint32_t y = 0; y < header[3]; ++y) stream.Read(GetRow(header[3] - 1u - y), 1, rowBytes);
    return true;
}

} // namespace tracemill
