// A GIF file's first image as colour-table indices with the table that applies to it, read
// from a file image in memory, and a one-image GIF file written from such an image. The GIF
// file class and the packed-DIB GIF routines share both.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/image/gif_lzw.h"
#include "app/image/palette.h"

namespace tracemill {

struct GifIndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices; // width x height, top row first
    // The image's local table, else the file's global one; empty when the file has none.
    Palette table;
};

// Reads the first image of a GIF87a or GIF89a file, skipping extension blocks and undoing
// the interlace. Rows the data do not reach keep index 0. On failure `error` tells why
// (`path` is named in some of the texts); a note about non-square pixels is left there on
// success.
std::optional<GifIndexedImage> ReadGifImage(std::span<const uint8_t> file, const std::string& path,
                                            std::string& error);

struct GifWriteOptions {
    std::array<uint8_t, 6> signature{'G', 'I', 'F', '8', '7', 'a'};
    // The screen descriptor's packed byte: with kGifColourTableFlag the global table of
    // gifTableEntries(screenFlags) entries is written from the image's table (black past
    // its end).
    uint8_t screenFlags = 0;
    bool interlaced = false;
    GifLzwSettings lzw;
};

enum class GifWriteStatus {
    Written,
    Refused,    // no pixels, a side above 65,535 or fewer indices than pixels; nothing written
    CannotOpen, // the file cannot be created
    WriteFailed // writing, closing or renaming failed; no file is left
};

// Writes header, screen descriptor, global table, an image descriptor at (0, 0), the coded
// pixels and the trailer to a temporary file renamed over `path` only when complete.
GifWriteStatus WriteGifImage(const std::filesystem::path& path, const GifIndexedImage& image,
                             const GifWriteOptions& options);

} // namespace tracemill
