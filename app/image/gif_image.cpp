#include "app/image/gif_image.h"

#include <cstdio>
#include <cstring>

#include "app/image/gif_format.h"
#include "app/image/image_file_io.h"

namespace tracemill {
namespace {

// A picture larger than this many pixels is refused by the reader, and so is one larger
// than its data can hold: a 12-bit code stands for at most 4,096 pixels.
constexpr uint64_t kMaxReadPixels = uint64_t(1) << 28;
constexpr uint64_t kMaxPixelsPerDataByte = 4096;
constexpr uint8_t kSquarePixelsAspect = 49;

class GifReader {
public:
    GifReader(std::span<const uint8_t> data, std::string& error) : data_(data), error_(error) {}

    std::optional<GifIndexedImage> Read(const std::string& path) {
        if (data_.size() < 6) {
            error_ = "Error reading GIF Magic #\n" + path;
            return std::nullopt;
        }
        if (std::memcmp(data_.data(), "GIF", 3) != 0) {
            error_ = "Error, " + path + " is not a valid .GIF file";
            return std::nullopt;
        }
        if (std::memcmp(data_.data() + 3, "87a", 3) != 0 && std::memcmp(data_.data() + 3, "89a", 3) != 0) {
            error_ = "Error, Bad GIF Version number";
            return std::nullopt;
        }
        if (data_.size() < GifScreenDescriptorLayout::kSize) {
            error_ = "Error, failed to GIF read screen descriptor.\nGiving up";
            return std::nullopt;
        }
        const GifScreenDescriptor screen = GifScreenDescriptorLayout::decode(data_.data());
        pos_ = GifScreenDescriptorLayout::kSize;
        Palette globalTable;
        if ((screen.flags & kGifColourTableFlag) && !ReadTable(gifTableEntries(screen.flags), globalTable)) {
            error_ = "Error reading GIF colormap";
            return std::nullopt;
        }
        if (screen.aspect != 0 && screen.aspect != kSquarePixelsAspect)
            error_ = "Non-square pixels in GIF image.\nIgnoring that fact...";
        for (;;) {
            if (pos_ >= data_.size()) {
                error_ = "Unexpected EOF in GIF.\nGiving up";
                return std::nullopt;
            }
            const uint8_t introducer = data_[pos_++];
            if (introducer == kGifExtensionIntroducer) {
                if (pos_ >= data_.size()) {
                    error_ = "Error on extension read.\nGiving up";
                    return std::nullopt;
                }
                ++pos_; // the label; the graphic control values are not used
                SkipSubBlocks();
            } else if (introducer == kGifImageSeparator) {
                return ReadImage(std::move(globalTable));
            }
        }
    }

private:
    bool ReadTable(int entries, Palette& table) {
        const size_t bytes = size_t(entries) * 3;
        if (pos_ + bytes > data_.size()) return false;
        table.resize(size_t(entries));
        for (PaletteEntry& e : table) {
            e = PaletteEntry{data_[pos_], data_[pos_ + 1], data_[pos_ + 2], 0};
            pos_ += 3;
        }
        return true;
    }

    void SkipSubBlocks() {
        while (pos_ < data_.size()) {
            const uint8_t n = data_[pos_++];
            if (n == 0) return;
            pos_ += n;
        }
    }

    std::optional<GifIndexedImage> ReadImage(Palette globalTable) {
        if (pos_ + GifImageDescriptorLayout::kSize > data_.size()) {
            error_ = "Error on dimension read\nGiving up";
            return std::nullopt;
        }
        const GifImageDescriptor d = GifImageDescriptorLayout::decode(data_.data() + pos_);
        pos_ += GifImageDescriptorLayout::kSize;
        if (d.width == 0 || d.height == 0) {
            error_ = "Error on dimension read\nGiving up";
            return std::nullopt;
        }
        const uint64_t pixels = uint64_t(d.width) * d.height;
        if (pixels > kMaxReadPixels || pixels > kMaxPixelsPerDataByte * (data_.size() - pos_ + 1)) {
            error_ = "Out of Memory in GIFRead";
            return std::nullopt;
        }
        GifIndexedImage image{d.width, d.height, std::vector<uint8_t>(size_t(pixels), 0), std::move(globalTable)};
        const bool local = d.flags & kGifColourTableFlag;
        if (local && !ReadTable(gifTableEntries(d.flags), image.table)) {
            error_ = "Error reading GIF colormap\nGiving up";
            return std::nullopt;
        }
        const bool interlaced = d.flags & kGifInterlacedFlag;
        std::vector<uint8_t> fileOrder;
        std::span<uint8_t> target = image.indices;
        if (interlaced) {
            fileOrder.assign(image.indices.size(), 0);
            target = fileOrder;
        }
        if (!DecodeGifImageData(data_.subspan(pos_), target)) {
            error_ = local ? "Error reading GIF file\nLocalColorMap\nGiving up"
                           : "Error reading GIF file\nGIFScreen Colormap\nGiving up";
            return std::nullopt;
        }
        if (interlaced) {
            const std::vector<int> rows = gifFileRowOrder(image.height, true);
            const size_t width = size_t(image.width);
            for (size_t i = 0; i < rows.size(); ++i)
                std::memcpy(image.indices.data() + size_t(rows[i]) * width, fileOrder.data() + i * width, width);
        }
        return image;
    }

    std::span<const uint8_t> data_;
    std::string& error_;
    size_t pos_ = 0;
};

template <class Layout> void putLayout(std::vector<uint8_t>& out, const typename Layout::Struct& value) {
    const auto bytes = Layout::encode(value);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

} // namespace

std::optional<GifIndexedImage> ReadGifImage(std::span<const uint8_t> file, const std::string& path,
                                            std::string& error) {
    return GifReader(file, error).Read(path);
}

GifWriteStatus WriteGifImage(const std::filesystem::path& path, const GifIndexedImage& image,
                             const GifWriteOptions& options) {
    const int width = image.width, height = image.height;
    if (width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF ||
        image.indices.size() < size_t(width) * size_t(height))
        return GifWriteStatus::Refused;
    std::vector<uint8_t> head;
    putLayout<GifScreenDescriptorLayout>(
        head, GifScreenDescriptor{options.signature, uint16_t(width), uint16_t(height), options.screenFlags, 0, 0});
    if (options.screenFlags & kGifColourTableFlag) {
        const size_t entries = size_t(gifTableEntries(options.screenFlags));
        for (size_t i = 0; i < entries; ++i) {
            const PaletteEntry e = i < image.table.size() ? image.table[i] : PaletteEntry{};
            head.insert(head.end(), {e.red, e.green, e.blue});
        }
    }
    head.push_back(kGifImageSeparator);
    putLayout<GifImageDescriptorLayout>(
        head, GifImageDescriptor{0, 0, uint16_t(width), uint16_t(height),
                                 uint8_t(options.interlaced ? kGifInterlacedFlag : 0)});

    std::span<const uint8_t> pixels(image.indices.data(), size_t(width) * size_t(height));
    std::vector<uint8_t> fileOrder;
    if (options.interlaced) {
        fileOrder.reserve(pixels.size());
        for (const int row : gifFileRowOrder(height, true)) {
            const auto rowPixels = pixels.subspan(size_t(row) * size_t(width), size_t(width));
            fileOrder.insert(fileOrder.end(), rowPixels.begin(), rowPixels.end());
        }
        pixels = fileOrder;
    }
    const std::vector<uint8_t> data = EncodeGifImageData(pixels, options.lzw);

    AtomicFileWriter writer(path);
    FILE* f = writer.Open();
    if (!f) return GifWriteStatus::CannotOpen;
    std::fwrite(head.data(), 1, head.size(), f);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fputc(kGifTrailer, f);
    return writer.Commit() ? GifWriteStatus::Written : GifWriteStatus::WriteFailed;
}

} // namespace tracemill
