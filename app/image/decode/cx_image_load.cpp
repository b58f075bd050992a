// Loading a picture by file name: the named decoder first, then detection by content.
#include <string>

#include "app/image/decode/cx_image.h"
#include "app/image/decode/cx_image_bmp.h"
#include "app/image/decode/cx_image_gif.h"
#include "app/image/decode/cx_image_jpg.h"
#include "app/image/decode/cx_image_pcx.h"
#include "app/image/decode/cx_image_png.h"
#include "app/image/decode/cx_image_tga.h"
#include "app/image/decode/cx_image_tif.h"
#include "app/image/decode/cx_image_wbmp.h"
#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

// Runs one decoder on a fresh object that carries the caller's attributes; on success the
// caller takes the picture over, on failure it gets the decoder's error text and frame count.
template <class Decoder> bool decodeWith(CxImage& target, ImageStream& stream, std::string& error,
                                         int32_t& frameCount) {
    Decoder decoder;
    decoder.CopyAttributes(target);
    if (decoder.Decode(stream)) return target.TakeOver(decoder);
    error = decoder.GetLastError();
    frameCount = decoder.GetFrameCount();
    return false;
}

using DecoderEntry = bool (*)(CxImage&, ImageStream&, std::string&, int32_t&);

DecoderEntry decoderFor(uint32_t type) {
    switch (type) {
    case CXIMAGE_FORMAT_BMP: return decodeWith<CxImageBMP>;
    case CXIMAGE_FORMAT_GIF: return decodeWith<CxImageGIF>;
    case CXIMAGE_FORMAT_JPG: return decodeWith<CxImageJPG>;
    case CXIMAGE_FORMAT_PNG: return decodeWith<CxImagePNG>;
    case CXIMAGE_FORMAT_TIF: return decodeWith<CxImageTIF>;
    case CXIMAGE_FORMAT_TGA: return decodeWith<CxImageTGA>;
    case CXIMAGE_FORMAT_PCX: return decodeWith<CxImagePCX>;
    case CXIMAGE_FORMAT_WBMP: return decodeWith<CxImageWBMP>;
    default: return nullptr;
    }
}

// The order in which detection tries the decoders.
constexpr uint32_t kDetectionOrder[] = {CXIMAGE_FORMAT_BMP, CXIMAGE_FORMAT_JPG, CXIMAGE_FORMAT_GIF,
                                        CXIMAGE_FORMAT_PNG, CXIMAGE_FORMAT_TIF, CXIMAGE_FORMAT_TGA,
                                        CXIMAGE_FORMAT_PCX, CXIMAGE_FORMAT_WBMP};

} // namespace

bool CxImage::Load(const char* fileName, uint32_t type) {
    if (type > CXIMAGE_FORMAT_UNKNOWN && type < CXIMAGE_MAX_FORMATS) {
        StdioImageStream file(fileName, "rb");
        if (!file.IsOpen()) return false;
        if (Decode(file, type)) return true;
    }
    const std::string saved = info_.lastError;
    StdioImageStream file(fileName, "rb");
    if (!file.IsOpen()) return false;
    const bool ok = Decode(file, CXIMAGE_FORMAT_UNKNOWN);
    if (!ok && type != CXIMAGE_FORMAT_UNKNOWN) info_.lastError = saved;
    return ok;
}

bool CxImage::Decode(FILE* file, uint32_t type) {
    StdioImageStream stream(file);
    return Decode(stream, type);
}

bool CxImage::Decode(ImageStream& stream, uint32_t type) {
    std::string error;
    int32_t frameCount = info_.frameCount;
    if (type == CXIMAGE_FORMAT_UNKNOWN) {
        const int64_t start = stream.Tell();
        for (uint32_t candidate : kDetectionOrder) {
            DecoderEntry decode = decoderFor(candidate);
            if (!decode) continue;
            if (decode(*this, stream, error, frameCount)) return true;
            stream.Seek(start, SEEK_SET);
        }
    } else if (DecoderEntry decode = decoderFor(type)) {
        if (decode(*this, stream, error, frameCount)) return true;
        SetLastError(error);
        info_.frameCount = frameCount;
        return false;
    }
    SetLastError("Decode: Unknown or wrong format");
    return false;
}

} // namespace tracemill
