#include "app/services/image_file_loader.h"

#include <string_view>

#include "app/image/decode/cx_image.h"
#include "app/image/dib.h"
#include "app/services/file_paths.h"
#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace {

uint32_t formatOfExtension(std::string_view extension) {
    struct Format {
        std::string_view extension;
        uint32_t format;
    };
    static constexpr Format kFormats[] = {
        {".jpg", CXIMAGE_FORMAT_JPG}, {".jpeg", CXIMAGE_FORMAT_JPG}, {".bmp", CXIMAGE_FORMAT_BMP},
        {".tif", CXIMAGE_FORMAT_TIF}, {".tiff", CXIMAGE_FORMAT_TIF}, {".pcx", CXIMAGE_FORMAT_PCX},
        {".png", CXIMAGE_FORMAT_PNG}, {".tga", CXIMAGE_FORMAT_TGA},  {".gif", CXIMAGE_FORMAT_GIF},
        {".wbmp", CXIMAGE_FORMAT_WBMP},
    };
    for (const Format& f : kFormats)
        if (dbEqualsNoCase(extension, f.extension)) return f.format;
    return CXIMAGE_FORMAT_UNKNOWN;
}

} // namespace

std::optional<std::vector<uint8_t>> LoadImageFileAsDib(const std::string& path) {
    const uint32_t format = formatOfExtension(GetPathExt(path));
    if (format == CXIMAGE_FORMAT_UNKNOWN) return std::nullopt;
    CxImage image;
    if (!image.Load(path.c_str(), format) || !image.IsValid()) return std::nullopt;
    CDib dib;
    if (!dib.CreateFromPackedDib(image.MakePackedDib())) return std::nullopt;
    std::vector<uint8_t> fileImage;
    if (!dib.Write(fileImage) || fileImage.empty()) return std::nullopt;
    return fileImage;
}

} // namespace tracemill
