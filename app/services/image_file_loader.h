// Turns the image file a raster-image entity refers to into a ".bmp" file image in memory,
// whatever its format, for drawing it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tracemill {

// The decoder by the file's extension (any case): ".bmp", ".jpg", ".jpeg", ".tif", ".tiff",
// ".pcx", ".png", ".tga", ".gif" and ".wbmp". The result starts with "BM"; none for another
// extension and for a file that is missing or does not decode.
std::optional<std::vector<uint8_t>> LoadImageFileAsDib(const std::string& path);

} // namespace tracemill
