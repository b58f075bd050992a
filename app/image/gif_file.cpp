#include "app/image/gif_file.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "app/image/gif_format.h"
#include "app/image/image_file_io.h"

namespace tracemill {
namespace {

// The coder's hash table and its probing are part of the file format's exact output.
constexpr int kHashSize = 5003;
constexpr int kHashShift = 4;
constexpr int kInitialCodeBits = 9;
constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kFirstFreeCode = 258;
constexpr int kPacketLimit = 254;
// A picture larger than this many pixels is refused by the reader, and so is one larger
// than its data can hold: a 12-bit code stands for at most 4,096 pixels.
constexpr uint64_t kMaxReadPixels = uint64_t(1) << 28;
constexpr uint64_t kMaxPixelsPerDataByte = 4096;

// Variable-length LZW with 8-bit pixels, codes packed least significant bit first into
// packets of at most 254 bytes.
class GifLzwEncoder {
public:
    explicit GifLzwEncoder(FILE* out) : out_(out) {}

    void Compress(const std::vector<uint8_t>& pixels) {
        hashKeys_.fill(-1);
        Output(kClearCode);
        if (pixels.empty()) {
            Output(kEndCode);
            Finish();
            return;
        }
        int ent = pixels[0];
        for (size_t p = 1; p < pixels.size(); ++p) {
            const int c = pixels[p];
            const int32_t key = (int32_t(c) << kGifMaxCodeBits) + ent;
            int i = (c << kHashShift) ^ ent;
            if (hashKeys_[size_t(i)] == key) {
                ent = codes_[size_t(i)];
                continue;
            }
            bool found = false;
            if (hashKeys_[size_t(i)] >= 0) {
                const int step = i == 0 ? 1 : kHashSize - i;
                do {
                    i -= step;
                    if (i < 0) i += kHashSize;
                    if (hashKeys_[size_t(i)] == key) {
                        ent = codes_[size_t(i)];
                        found = true;
                        break;
                    }
                } while (hashKeys_[size_t(i)] > 0);
            }
            if (found) continue;
            Output(ent);
            ent = c;
            if (nextCode_ < kGifMaxCodes) {
                codes_[size_t(i)] = uint16_t(nextCode_++);
                hashKeys_[size_t(i)] = key;
            } else {
                hashKeys_.fill(-1);
                nextCode_ = kFirstFreeCode;
                clearFlag_ = true;
                Output(kClearCode);
            }
        }
        Output(ent);
        Output(kEndCode);
        Finish();
    }

private:
    void Output(int code) {
        accumulator_ &= (uint32_t(1) << accumulatedBits_) - 1;
        if (accumulatedBits_ > 0) accumulator_ |= uint32_t(code) << accumulatedBits_;
        else accumulator_ = uint32_t(code);
        accumulatedBits_ += codeBits_;
        while (accumulatedBits_ >= 8) {
            Byte(uint8_t(accumulator_));
            accumulator_ >>= 8;
            accumulatedBits_ -= 8;
        }
        if (nextCode_ > maxCode_ || clearFlag_) {
            if (clearFlag_) {
                codeBits_ = kInitialCodeBits;
                maxCode_ = (1 << codeBits_) - 1;
                clearFlag_ = false;
            } else {
                ++codeBits_;
                maxCode_ = codeBits_ == kGifMaxCodeBits ? kGifMaxCodes : (1 << codeBits_) - 1;
            }
        }
    }

    void Finish() {
        while (accumulatedBits_ > 0) {
            Byte(uint8_t(accumulator_));
            accumulator_ >>= 8;
            accumulatedBits_ = accumulatedBits_ > 8 ? accumulatedBits_ - 8 : 0;
        }
        FlushPacket();
    }

    void Byte(uint8_t b) {
        packet_[size_t(packetBytes_++)] = b;
        if (packetBytes_ >= kPacketLimit) FlushPacket();
    }

    void FlushPacket() {
        if (packetBytes_ == 0) return;
        std::fputc(packetBytes_, out_);
        std::fwrite(packet_.data(), 1, size_t(packetBytes_), out_);
        packetBytes_ = 0;
    }

    FILE* out_;
    std::array<int32_t, kHashSize> hashKeys_{};
    std::array<uint16_t, kHashSize> codes_{};
    int nextCode_ = kFirstFreeCode;
    int codeBits_ = kInitialCodeBits;
    int maxCode_ = (1 << kInitialCodeBits) - 1;
    bool clearFlag_ = false;
    uint32_t accumulator_ = 0;
    int accumulatedBits_ = 0;
    std::array<uint8_t, 256> packet_{};
    int packetBytes_ = 0;
};

void put16(FILE* f, int v) {
    std::fputc(v & 0xFF, f);
    std::fputc((v / 256) & 0xFF, f);
}

// Reads the file's first image as red, green, blue bytes, top row first.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

class GifReader {
public:
    GifReader(std::span<const uint8_t> data, std::string& error) : data_(data), error_(error) {}

    std::optional<RgbPicture> Read(const std::string& path) {
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
        std::array<uint8_t, 768> globalTable{};
        if (screen.flags & kGifColourTableFlag) {
            if (!ReadTable(gifTableEntries(screen.flags), globalTable)) {
                error_ = "Error reading GIF colormap";
                return std::nullopt;
            }
        }
        if (screen.aspect != 0 && screen.aspect != 49) error_ = "Non-square pixels in GIF image.\nIgnoring that fact...";
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
                return ReadImage(globalTable);
            }
        }
    }

private:
    bool ReadTable(int entries, std::array<uint8_t, 768>& table) {
        const size_t bytes = size_t(entries) * 3;
        if (pos_ + bytes > data_.size()) return false;
        std::memcpy(table.data(), data_.data() + pos_, bytes);
        pos_ += bytes;
        return true;
    }

    void SkipSubBlocks() {
        while (pos_ < data_.size()) {
            const uint8_t n = data_[pos_++];
            if (n == 0) return;
            pos_ += n;
        }
    }

    std::optional<RgbPicture> ReadImage(const std::array<uint8_t, 768>& globalTable) {
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
        RgbPicture picture{d.width, d.height, std::vector<uint8_t>(size_t(d.width) * d.height * 3, 0)};
        const bool local = d.flags & kGifColourTableFlag;
        std::array<uint8_t, 768> localTable{};
        if (local && !ReadTable(gifTableEntries(d.flags), localTable)) {
            error_ = "Error reading GIF colormap\nGiving up";
            return std::nullopt;
        }
        const std::array<uint8_t, 768>& table = local ? localTable : globalTable;
        if (!Decode(picture, table, d.flags & kGifInterlacedFlag)) {
            error_ = local ? "Error reading GIF file\nLocalColorMap\nGiving up"
                           : "Error reading GIF file\nGIFScreen Colormap\nGiving up";
            return std::nullopt;
        }
        return picture;
    }

    // LZW decoding through the data sub-blocks. Corrupt codes end the decoding and keep the
    // rows decoded so far; only a missing code size fails.
    bool Decode(RgbPicture& picture, const std::array<uint8_t, 768>& table, bool interlaced) {
        if (pos_ >= data_.size()) return false;
        const int minCodeSize = data_[pos_++];
        if (minCodeSize < 1 || minCodeSize > 11) return false;
        std::vector<uint8_t> codes;
        while (pos_ < data_.size()) {
            const uint8_t n = data_[pos_++];
            if (n == 0) break;
            const size_t take = std::min<size_t>(n, data_.size() - pos_);
            codes.insert(codes.end(), data_.begin() + std::ptrdiff_t(pos_), data_.begin() + std::ptrdiff_t(pos_ + take));
            pos_ += take;
        }
        const int clear = 1 << minCodeSize, end = clear + 1;
        std::vector<uint16_t> prefix(kGifMaxCodes);
        std::vector<uint8_t> suffix(kGifMaxCodes), stack;
        stack.reserve(kGifMaxCodes);
        for (int i = 0; i < clear; ++i) suffix[size_t(i)] = uint8_t(i);
        int codeBits = minCodeSize + 1, next = clear + 2, previous = -1;
        uint8_t first = 0;
        size_t bitPos = 0;
        const uint64_t total = uint64_t(picture.width) * picture.height;
        uint64_t written = 0;
        int pass = 0, row = 0, column = 0;
        const auto put = [&](uint8_t index) {
            if (written >= total) return;
            uint8_t* px = picture.rgb.data() + (size_t(row) * picture.width + size_t(column)) * 3;
            px[0] = table[size_t(index) * 3];
            px[1] = table[size_t(index) * 3 + 1];
            px[2] = table[size_t(index) * 3 + 2];
            ++written;
            if (++column < picture.width) return;
            column = 0;
            if (!interlaced) {
                ++row;
                return;
            }
            row += kGifInterlacePasses[size_t(pass)].step;
            while (row >= picture.height && ++pass < int(kGifInterlacePasses.size()))
                row = kGifInterlacePasses[size_t(pass)].start;
            if (pass >= int(kGifInterlacePasses.size())) written = total;
        };
        while (written < total) {
            if (bitPos + size_t(codeBits) > codes.size() * 8) break;
            int code = 0;
            for (int b = 0; b < codeBits; ++b, ++bitPos)
                code |= ((codes[bitPos / 8] >> (bitPos % 8)) & 1) << b;
            if (code == clear) {
                codeBits = minCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end) break;
            if (previous < 0) {
                if (code >= clear) break;
                put(uint8_t(code));
                previous = code;
                first = uint8_t(code);
                continue;
            }
            if (code > next || (code == next && next >= kGifMaxCodes)) break;
            int walk = code;
            stack.clear();
            if (code == next) {
                stack.push_back(first);
                walk = previous;
            }
            while (walk >= clear) {
                stack.push_back(suffix[size_t(walk)]);
                walk = prefix[size_t(walk)];
            }
            stack.push_back(uint8_t(walk));
            first = uint8_t(walk);
            for (auto it = stack.rbegin(); it != stack.rend(); ++it) put(*it);
            if (next < kGifMaxCodes) {
                prefix[size_t(next)] = uint16_t(previous);
                suffix[size_t(next)] = first;
                ++next;
                if (next == (1 << codeBits) && codeBits < kGifMaxCodeBits) ++codeBits;
            }
            previous = code;
        }
        return true;
    }

    std::span<const uint8_t> data_;
    std::string& error_;
    size_t pos_ = 0;
};

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
    const int width = work->GetWidth(), height = work->GetHeight();
    if (width > 0xFFFF || height > 0xFFFF) return false;
    const Palette palette = work->GetPalette();
    std::vector<uint8_t> pixels(size_t(width) * size_t(height));
    const uint8_t* bits = work->GetBits();
    const size_t stride = work->GetBytesPerLine();
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.data() + size_t(y) * size_t(width), bits + size_t(height - 1 - y) * stride, size_t(width));

    AtomicFileWriter writer(path);
    FILE* f = writer.Open();
    if (!f) {
        error_ = "Can't open GIF for writing";
        return false;
    }
    std::fwrite("GIF87a", 1, 6, f);
    put16(f, width);
    put16(f, height);
    std::fputc(0xE7, f); // global table, colour resolution 6, 256 entries
    std::fputc(0, f);    // background
    std::fputc(0, f);    // aspect
    for (int i = 0; i < kGifMaxColours; ++i) {
        const PaletteEntry e = size_t(i) < palette.size() ? palette[size_t(i)] : PaletteEntry{};
        std::fputc(e.red, f);
        std::fputc(e.green, f);
        std::fputc(e.blue, f);
    }
    std::fputc(kGifImageSeparator, f);
    put16(f, 0);
    put16(f, 0);
    put16(f, width);
    put16(f, height);
    std::fputc(0, f);                    // no local table, not interlaced
    std::fputc(kInitialCodeBits - 1, f); // LZW minimum code size
    GifLzwEncoder(f).Compress(pixels);
    std::fputc(0, f);
    std::fputc(kGifTrailer, f);
    if (!writer.Commit()) {
        error_ = "Write Error in GIF file";
        return false;
    }
    return true;
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
    std::optional<RgbPicture> picture = GifReader(*bytes, error_).Read(path.string());
    if (!picture) return false;
    std::optional<PackedDib> block = DibFromRgbRows(picture->rgb, picture->width, picture->height);
    auto image = std::make_unique<CDib>();
    if (!block || !image->Attach(std::move(*block))) {
        error_ = "Out of Memory in GIFRead";
        return false;
    }
    dib_ = std::move(image);
    return true;
}

} // namespace tracemill
