// The preview picture a drawing file carries: the bitmap of the preview image section of an
// "AC1012" to "AC1015" DWG file, as a ".bmp" file image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tracemill {

// The ".bmp" file image of the preview bitmap of a DWG file's bytes; nothing for a file of
// another kind or version, without a preview, or whose preview is damaged.
std::optional<std::vector<uint8_t>> PreviewBitmapFileImage(std::span<const uint8_t> file);

} // namespace tracemill
