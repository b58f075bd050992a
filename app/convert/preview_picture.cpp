#include "app/convert/preview_picture.h"

#include <cstring>
#include <new>

#include "app/image/image_file_io.h"
#include "app/image/packed_dib.h"
#include "app/convert/conversion_library.h"
#include "toolkit/core/owned_stream.h"
#include "toolkit/read/dwg13_file_header.h"
#include "toolkit/read/dwg13_preview.h"
#include "toolkit/read/file_recognition.h"

namespace tracemill {

std::optional<std::vector<uint8_t>> PreviewBitmapFileImage(std::span<const uint8_t> file) {
    const int versionIndex = rdDwgVersionIndex(file, true);
    if (versionIndex < kVersionAC1012) return std::nullopt;
    Dwg13FileHeader header;
    if (!rdDwg13ReadFileHeader(file, versionIndex, header)) return std::nullopt;
    OwnedStream bitmap;
    OwnedStream metafile;
    if (!rdDwg13ReadPreview(file, header.imagePosition, bitmap, metafile) || !bitmap) return std::nullopt;
    std::optional<PackedDib> dib = ParsePackedDib(bitmap.bytes());
    if (!dib) return std::nullopt;
    return WriteBmpFileImage(*dib);
}

bool lppp(const char* path, uint8_t** data, uint32_t* size) {
    if (!data || !size) return false;
    *data = nullptr;
    *size = 0;
    if (!path) return false;
    const std::optional<std::vector<uint8_t>> file = ReadFileBytes(path);
    if (!file) return false;
    const std::optional<std::vector<uint8_t>> image = PreviewBitmapFileImage(*file);
    if (!image || image->empty() || image->size() > UINT32_MAX) return false;
    uint8_t* buffer = new (std::nothrow) uint8_t[image->size()];
    if (!buffer) return false;
    std::memcpy(buffer, image->data(), image->size());
    *data = buffer;
    *size = uint32_t(image->size());
    return true;
}

void ppll(uint8_t** data) {
    if (!data) return;
    delete[] *data;
    *data = nullptr;
}

} // namespace tracemill
