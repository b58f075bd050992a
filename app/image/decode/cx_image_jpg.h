// Decoder of baseline and progressive JPEG files through libjpeg, reading through an
// ImageStream; the resolution comes from EXIF when present, else from the JFIF density.
#pragma once

#include <memory>

#include "app/image/decode/cx_image.h"
#include "app/image/decode/exif_reader.h"

namespace tracemill {

// Format option bits of CXIMAGE_FORMAT_JPG.
enum : uint32_t {
    kJpegDecodeGreyscale = 0x80,
    kJpegQuantize = 0x100,
    kJpegDither = 0x200,
    kJpegOnePass = 0x400,
    kJpegNoFancyUpsampling = 0x800,
};

class CxImageJPG : public CxImage {
public:
    CxImageJPG() : CxImage(CXIMAGE_FORMAT_JPG) {}
    bool Decode(ImageStream& stream);
    bool ReadExif(ImageStream& stream);
    const ExifInfo& GetExifInfo() const { return exifInfo_; }
    const ExifReader* GetExifReader() const { return exif_.get(); }

private:
    std::unique_ptr<ExifReader> exif_;
    ExifInfo exifInfo_;
};

} // namespace tracemill
