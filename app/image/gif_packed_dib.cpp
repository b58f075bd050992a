#include "app/image/gif_packed_dib.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/image/gif_format.h"
#include "app/image/gif_image.h"
#include "app/image/image_file_io.h"

namespace tracemill {
namespace {

// Any prime above 4,096 serves these files: the table size shows in no output byte.
constexpr int kGif89HashSize = 5051;

} // namespace

bool SaveDibAsGif89(const std::filesystem::path& path, const PackedDib& dib, bool interlace) {
    const int bits = dib.header.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8) return false;
    std::optional<std::vector<uint8_t>> indices = ExpandDibToIndices(dib);
    if (!indices) return false;
    const GifIndexedImage image{dib.header.biWidth, dib.header.biHeight, std::move(*indices), CreateDibPalette(dib)};
    GifWriteOptions options;
    options.signature = {'G', 'I', 'F', '8', '9', 'a'};
    // Global table of 2^bits entries, colour resolution of the same bits.
    options.screenFlags = uint8_t(kGifColourTableFlag | (bits - 1) << 4 | (bits - 1));
    options.interlaced = interlace;
    options.lzw = GifLzwSettings{std::max(bits, 2), kGif89HashSize, kGifMaxSubBlock};
    return WriteGifImage(path, image, options) == GifWriteStatus::Written;
}

std::optional<PackedDib> ReadGifToDib(const std::filesystem::path& path) {
    const std::optional<std::vector<uint8_t>> file = ReadFileBytes(path);
    if (!file) return std::nullopt;
    std::string error;
    const std::optional<GifIndexedImage> gif = ReadGifImage(*file, path.string(), error);
    if (!gif) return std::nullopt;
    const size_t highestIndex = *std::max_element(gif->indices.begin(), gif->indices.end());
    const size_t entries = std::max(gif->table.size(), highestIndex + 1);
    std::optional<PackedDib> dib = CreateDib(gif->width, gif->height, entries <= 2 ? 1 : entries <= 16 ? 4 : 8);
    if (!dib) return std::nullopt;
    if (gif->table.empty()) {
        CopyColorTable(*dib, PackedDib{}, nullptr);
    } else {
        for (size_t i = 0; i < dib->colors.size() && i < gif->table.size(); ++i) {
            const PaletteEntry& e = gif->table[i];
            dib->colors[i] = RgbQuad{e.blue, e.green, e.red, 0};
        }
    }
    if (!PackDibFromIndices(*dib, gif->indices)) return std::nullopt;
    return dib;
}

} // namespace tracemill
