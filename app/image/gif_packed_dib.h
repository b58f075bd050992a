// GIF files straight from and to packed DIBs: a 1-, 4- or 8-bit image written as a GIF89a
// file with its own colour table (optionally interlaced), and a GIF file's first image read
// into a 1-, 4- or 8-bit image with the file's table.
#pragma once

#include <filesystem>
#include <optional>

#include "app/image/packed_dib.h"

namespace tracemill {

// Writes `dib` (1, 4 or 8 bits, not run-length encoded, sides up to 65,535) through a
// temporary file renamed over `path`. False when the image cannot be stored so or the file
// cannot be written; an existing file then stays as it was.
bool SaveDibAsGif89(const std::filesystem::path& path, const PackedDib& dib, bool interlace);

// Reads a GIF87a or GIF89a file's first image. The bit count follows the colour table: 2
// entries give 1 bit, up to 16 give 4 bits, more give 8 bits (more when the pixels use
// higher indices than the table holds). Without a table a 1-bit image is black and white,
// a 4-bit one takes the default palette's first 16 colours and an 8-bit one the halftone
// palette. None when the file cannot be read or holds no image.
std::optional<PackedDib> ReadGifToDib(const std::filesystem::path& path);

} // namespace tracemill
