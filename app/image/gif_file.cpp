#include "app/image/gif_file.h"

#include <optional>
#include <vector>

#include "app/image/gif_image.h"
#include "app/image/image_file_io.h"

namespace tracemill {
namespace {

// The coder's hash table and its probing are part of the file format's exact output.
constexpr GifLzwSettings kGif87Lzw{8, 5003, 254};
// Global table present, colour-resolution field 6, not sorted, 256 entries.
constexpr uint8_t kGif87ScreenFlags = 0xE7;

} // namespace

CGifFile::CGifFile() = default;
CGifFile::CGifFile(const CDib& dib) : dib_(dib.Clone()) {}
CGifFile::~CGifFile() = default;

bool CGifFile::SetDib(const CDib* dib) {
    if (!dib || dib->IsEmpty()) return false;
    dib_ = dib->Clone();
    return true;
}

bool CGifFile::Save(const std::filesystem::path& path, const CDib* dib) {
    const CDib* image = dib ? dib : dib_.get();
    if (!image || image->IsEmpty()) return false;
    std::unique_ptr<CDib> work = image->Clone();
    if (!work) return false;
    if (work->GetBitCount() != 8 && !work->ChangeBitCountQuantized(8)) return false;
    std::optional<std::vector<uint8_t>> pixels = ExpandDibToIndices(*work->GetHandle());
    if (!pixels) return false;
    const GifIndexedImage gif{work->GetWidth(), work->GetHeight(), std::move(*pixels), work->GetPalette()};
    GifWriteOptions options;
    options.signature = {'G', 'I', 'F', '8', '7', 'a'};
    options.screenFlags = kGif87ScreenFlags;
    options.lzw = kGif87Lzw;
    switch (WriteGifImage(path, gif, options)) {
    case GifWriteStatus::Written:
        return true;
    case GifWriteStatus::Refused:
        return false;
    case GifWriteStatus::CannotOpen:
        error_ = "Can't open GIF for writing";
        return false;
    case GifWriteStatus::WriteFailed:
        break;
    }
    error_ = "Write Error in GIF file";
    return false;
}

bool CGifFile::Load(const std::filesystem::path& path) {
    if (path.empty()) {
        error_ = "No Name Given";
        return false;
    }
    const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
    if (!bytes) {
        error_ = "Cant open GIF :\n" + path.string();
        return false;
    }
    const std::optional<GifIndexedImage> gif = ReadGifImage(*bytes, path.string(), error_);
    if (!gif) return false;
    std::vector<uint8_t> rgb(gif->indices.size() * 3);
    for (size_t i = 0; i < gif->indices.size(); ++i) {
        const size_t index = gif->indices[i];
        const PaletteEntry e = index < gif->table.size() ? gif->table[index] : PaletteEntry{};
        rgb[i * 3] = e.red;
        rgb[i * 3 + 1] = e.green;
        rgb[i * 3 + 2] = e.blue;
    }
    std::optional<PackedDib> block = DibFromRgbRows(rgb, gif->width, gif->height);
    auto image = std::make_unique<CDib>();
    if (!block || !image->Attach(std::move(*block))) {
        error_ = "Out of Memory in GIFRead";
        return false;
    }
    dib_ = std::move(image);
    return true;
}

} // namespace tracemill
