#include "app/image/packed_dib.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "app/image/color_quantizer.h"

namespace tracemill {
namespace {

constexpr uint32_t kMaskBytes = 12;

bool isValidBitCount(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

bool isRunLength(const BitmapInfoHeader& h) { return h.biCompression == kBiRle8 || h.biCompression == kBiRle4; }

uint32_t maskBytes(const BitmapInfoHeader& h) { return h.biCompression == kBiBitfields ? kMaskBytes : 0; }

RgbQuad quadOf(const PaletteEntry& e) { return RgbQuad{e.blue, e.green, e.red, 0}; }

bool isIndexed(const BitmapInfoHeader& h) {
    return !isRunLength(h) && (h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8);
}

// Whether the image has a positive size and every row of its pixels.
bool hasAllRows(const PackedDib& dib) {
    const BitmapInfoHeader& h = dib.header;
    return h.biWidth > 0 && h.biHeight > 0 && dib.bits.size() >= DibBytesPerLine(h) * uint64_t(h.biHeight);
}

// The index of pixel x of a stored row of a 1-, 4- or 8-bit image.
uint8_t rowIndex(const uint8_t* row, size_t x, int bitCount) {
    switch (bitCount) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    default:
        return row[x];
    }
}

// Sets pixel x of a zeroed stored row of a 1-, 4- or 8-bit image.
void putRowIndex(uint8_t* row, size_t x, int bitCount, uint8_t index) {
    switch (bitCount) {
    case 1:
        if (index & 1) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        break;
    case 4:
        row[x / 2] |= x % 2 == 0 ? uint8_t(index << 4) : uint8_t(index & 0x0F);
        break;
    default:
        row[x] = index;
    }
}

// Finds the nearest table entry of each colour, remembering earlier answers.
class NearestColour {
public:
    explicit NearestColour(const std::vector<RgbQuad>& table) : table_(table) {}
    uint8_t operator()(uint32_t rgb) {
        // Neighbouring pixels mostly share their colour.
        if (rgb == lastColour_ && haveLast_) return lastIndex_;
        haveLast_ = true;
        lastColour_ = rgb;
        lastIndex_ = find(rgb);
        return lastIndex_;
    }

private:
    uint8_t find(uint32_t rgb) {
        const auto found = cache_.find(rgb);
        if (found != cache_.end()) return found->second;
        const int r = int(rgb >> 16) & 0xFF, g = int(rgb >> 8) & 0xFF, b = int(rgb) & 0xFF;
        int best = 0;
        int bestDistance = 1 << 30;
        for (size_t i = 0; i < table_.size() && i < 256; ++i) {
            const int dr = r - table_[i].rgbRed, dg = g - table_[i].rgbGreen, db = b - table_[i].rgbBlue;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = int(i);
            }
        }
        cache_.emplace(rgb, uint8_t(best));
        return uint8_t(best);
    }

    const std::vector<RgbQuad>& table_;
    std::unordered_map<uint32_t, uint8_t> cache_;
    bool haveLast_ = false;
    uint32_t lastColour_ = 0;
    uint8_t lastIndex_ = 0;
};

std::optional<PackedDib> parseBlock(std::span<const uint8_t> block, std::optional<uint64_t> bitsOffset) {
    if (block.size() < 4) return std::nullopt;
    const uint32_t headerSize = readLe32(block.data());
    PackedDib dib;
    uint64_t pos = 0;
    bool core = false;
    if (headerSize == kBitmapInfoHeaderSize && block.size() >= kBitmapInfoHeaderSize) {
        dib.header = BitmapInfoHeaderLayout::decode(block.data());
        pos = kBitmapInfoHeaderSize;
    } else if (headerSize == kBitmapCoreHeaderSize && block.size() >= kBitmapCoreHeaderSize) {
        const BitmapCoreHeader c = BitmapCoreHeaderLayout::decode(block.data());
        dib.header = BitmapInfoHeader{kBitmapInfoHeaderSize, c.bcWidth, c.bcHeight, c.bcPlanes, c.bcBitCount};
        pos = kBitmapCoreHeaderSize;
        core = true;
    } else {
        return std::nullopt;
    }
    BitmapInfoHeader& h = dib.header;
    const int bitCount = h.biBitCount;
    if (h.biWidth < 1 || h.biHeight < 1 || h.biPlanes != 1 || !isValidBitCount(bitCount)) return std::nullopt;
    const bool compressionFits = h.biCompression == kBiRgb || (h.biCompression == kBiRle8 && bitCount == 8) ||
                                 (h.biCompression == kBiRle4 && bitCount == 4) ||
                                 (h.biCompression == kBiBitfields && (bitCount == 16 || bitCount == 32));
    if (!compressionFits) return std::nullopt;
    if (h.biCompression == kBiBitfields) {
        if (pos + kMaskBytes > block.size()) return std::nullopt;
        for (int i = 0; i < 3; ++i) dib.masks[size_t(i)] = readLe32(block.data() + pos + 4 * i);
        pos += kMaskBytes;
    }
    const uint32_t entries = DibNumColors(h);
    const uint32_t entrySize = core ? kRgbTripleSize : 4;
    if (pos + uint64_t(entries) * entrySize > block.size()) return std::nullopt;
    dib.colors.resize(entries);
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* e = block.data() + pos + uint64_t(i) * entrySize;
        dib.colors[i] = RgbQuad{e[0], e[1], e[2], core ? uint8_t(0) : e[3]};
    }
    pos += uint64_t(entries) * entrySize;
    const uint64_t imageSize = isRunLength(h) ? h.biSizeImage : DibBytesPerLine(h) * uint64_t(h.biHeight);
    if (imageSize == 0 || imageSize > kMaxDibImageBytes) return std::nullopt;
    if (bitsOffset && *bitsOffset >= pos && *bitsOffset + imageSize <= block.size()) pos = *bitsOffset;
    if (pos + imageSize > block.size()) return std::nullopt;
    h.biSizeImage = uint32_t(imageSize);
    dib.bits.assign(block.begin() + std::ptrdiff_t(pos), block.begin() + std::ptrdiff_t(pos + imageSize));
    return dib;
}

// Picks a channel out of a bit-field pixel and brings it to 8 bits: the top 8 bits of a
// wider mask, a narrower one shifted up when `widen`.
uint8_t channelFromMask(uint32_t pixel, uint32_t mask, bool widen) {
    if (mask == 0) return 0;
    int low = 0;
    while (!((mask >> low) & 1)) ++low;
    int bits = 0;
    while (low + bits < 32 && ((mask >> (low + bits)) & 1)) ++bits;
    uint32_t v = (pixel & mask) >> low;
    if (bits > 8) v >>= bits - 8;
    else if (widen) v <<= 8 - bits;
    return uint8_t(v);
}

} // namespace

Palette HalftonePalette() {
    Palette p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back({uint8_t(r * 51), uint8_t(g * 51), uint8_t(b * 51), 0});
    return p;
}

int RoundDibBitCount(int requested) {
    if (requested <= 1) return 1;
    if (requested <= 4) return 4;
    if (requested <= 8) return 8;
    if (requested <= 24) return 24;
    return 4;
}

int RoundDeviceBitCount(int depth) {
    if (depth <= 1) return 1;
    if (depth <= 4) return 4;
    if (depth <= 8) return 8;
    return 24;
}

uint32_t DibNumColors(const BitmapInfoHeader& h) {
    if (h.biSize == kBitmapInfoHeaderSize && h.biClrUsed != 0) return h.biClrUsed & 0xFFFF;
    switch (h.biBitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

uint32_t DibPaletteSize(const BitmapInfoHeader& h) { return DibNumColors(h) * 4; }

uint64_t DibBytesPerLine(const BitmapInfoHeader& h) {
    return dibRowLength(uint64_t(std::max(h.biWidth, 0)), uint64_t(h.biBitCount) * std::max<uint16_t>(h.biPlanes, 1));
}

uint64_t DibImageSize(const BitmapInfoHeader& h) {
    if (isRunLength(h) && h.biSizeImage != 0) return h.biSizeImage;
    return DibBytesPerLine(h) * uint64_t(std::max(h.biHeight, 0));
}

uint64_t DibBlockSize(const PackedDib& dib) {
    return kBitmapInfoHeaderSize + maskBytes(dib.header) + uint64_t(dib.colors.size()) * 4 + dib.bits.size();
}

std::optional<PackedDib> CreateDib(int32_t width, int32_t height, int bitCount) {
    return ConvertDibFormat(PackedDib{}, RoundDibBitCount(bitCount), nullptr, DibResize{width, height, false});
}

std::vector<uint8_t> PackedDibBytes(const PackedDib& dib) {
    std::vector<uint8_t> out;
    out.reserve(size_t(DibBlockSize(dib)));
    BitmapInfoHeader h = dib.header;
    h.biSize = kBitmapInfoHeaderSize;
    const auto header = BitmapInfoHeaderLayout::encode(h);
    out.insert(out.end(), header.begin(), header.end());
    if (dib.header.biCompression == kBiBitfields) {
        for (uint32_t m : dib.masks) {
            uint8_t b[4];
            writeLe32(b, m);
            out.insert(out.end(), b, b + 4);
        }
    }
    for (const RgbQuad& q : dib.colors) {
        const auto e = RgbQuadLayout::encode(q);
        out.insert(out.end(), e.begin(), e.end());
    }
    out.insert(out.end(), dib.bits.begin(), dib.bits.end());
    return out;
}

std::optional<PackedDib> ParsePackedDib(std::span<const uint8_t> bytes) { return parseBlock(bytes, std::nullopt); }

Palette CreateDibPalette(const PackedDib& dib) {
    Palette p;
    p.reserve(dib.colors.size());
    for (const RgbQuad& q : dib.colors) p.push_back({q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
    return p;
}

uint32_t DibStoredPixelRgb(const PackedDib& dib, int32_t x, int32_t row) {
    const BitmapInfoHeader& h = dib.header;
    if (x < 0 || row < 0 || x >= h.biWidth || row >= h.biHeight || isRunLength(h)) return 0;
    const uint64_t base = uint64_t(row) * DibBytesPerLine(h);
    const auto byteAt = [&](uint64_t offset) -> uint32_t {
        return base + offset < dib.bits.size() ? dib.bits[base + offset] : 0;
    };
    const auto table = [&](uint32_t index) -> uint32_t {
        if (index >= dib.colors.size()) return 0;
        const RgbQuad& q = dib.colors[index];
        return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
    };
    const auto fields = [&](uint32_t pixel, std::array<uint32_t, 3> defaults, bool widen) {
        const auto& m = h.biCompression == kBiBitfields ? dib.masks : defaults;
        return (uint32_t(channelFromMask(pixel, m[0], widen)) << 16) |
               (uint32_t(channelFromMask(pixel, m[1], widen)) << 8) | channelFromMask(pixel, m[2], widen);
    };
    const uint64_t ux = uint64_t(x);
    switch (h.biBitCount) {
    case 1:
        return table((byteAt(ux / 8) >> (7 - ux % 8)) & 1);
    case 4:
        return table(ux % 2 == 0 ? byteAt(ux / 2) >> 4 : byteAt(ux / 2) & 0x0F);
    case 8:
        return table(byteAt(ux));
    case 16:
        return fields(byteAt(ux * 2) | (byteAt(ux * 2 + 1) << 8), {0x7C00, 0x03E0, 0x001F}, true);
    case 24:
        return (byteAt(ux * 3 + 2) << 16) | (byteAt(ux * 3 + 1) << 8) | byteAt(ux * 3);
    case 32:
        return fields(byteAt(ux * 4) | (byteAt(ux * 4 + 1) << 8) | (byteAt(ux * 4 + 2) << 16) |
                          (byteAt(ux * 4 + 3) << 24),
                      {0xFF0000, 0x00FF00, 0x0000FF}, true);
    default:
        return 0;
    }
}

void CopyColorTable(PackedDib& target, const PackedDib& source, const Palette* palette) {
    const int bitCount = target.header.biBitCount;
    target.colors.clear();
    const auto fromPalette = [&](const Palette& p, size_t entries) {
        target.colors.assign(entries, RgbQuad{});
        for (size_t i = 0; i < entries && i < p.size(); ++i) target.colors[i] = quadOf(p[i]);
    };
    const auto fromSource = [&](size_t entries) {
        target.colors.assign(entries, RgbQuad{});
        for (size_t i = 0; i < entries && i < source.colors.size(); ++i) {
            target.colors[i] = source.colors[i];
            target.colors[i].rgbReserved = 0;
        }
    };
    if (bitCount == 1) {
        target.colors = {RgbQuad{0, 0, 0, 0}, RgbQuad{255, 255, 255, 0}};
    } else if (bitCount == 4) {
        if (palette) fromPalette(*palette, 16);
        else if (source.header.biBitCount != 4) fromPalette(Palette(kDefaultPalette.begin(), kDefaultPalette.end()), 16);
        else fromSource(16);
    } else if (bitCount == 8) {
        if (palette) {
            fromPalette(*palette, 256);
        } else if (source.header.biBitCount != 8) {
            std::optional<Palette> octree = CreateOctreePaletteFromDib(source, 236, 8);
            fromPalette(octree ? *octree : HalftonePalette(), 256);
        } else {
            fromSource(256);
        }
    }
}

std::optional<std::vector<uint32_t>> ExpandDibTo32(const PackedDib& dib) {
    const BitmapInfoHeader& h = dib.header;
    if (isRunLength(h) || h.biWidth < 1 || h.biHeight < 1) return std::nullopt;
    std::vector<uint32_t> out(size_t(h.biWidth) * size_t(h.biHeight));
    for (int32_t y = 0; y < h.biHeight; ++y) {
        uint32_t* row = out.data() + size_t(y) * size_t(h.biWidth);
        for (int32_t x = 0; x < h.biWidth; ++x) row[x] = 0xFF000000u | DibStoredPixelRgb(dib, x, h.biHeight - 1 - y);
    }
    return out;
}

bool PackDibFrom32(PackedDib& dib, std::span<const uint32_t> pixels) {
    const BitmapInfoHeader& h = dib.header;
    if (isRunLength(h) || h.biWidth < 1 || h.biHeight < 1) return false;
    const size_t width = size_t(h.biWidth), height = size_t(h.biHeight);
    if (pixels.size() < width * height) return false;
    const uint64_t stride = DibBytesPerLine(h);
    dib.bits.assign(size_t(stride * height), 0);
    NearestColour nearest(dib.colors);
    for (size_t y = 0; y < height; ++y) {
        const uint32_t* src = pixels.data() + y * width;
        uint8_t* row = dib.bits.data() + (height - 1 - y) * stride;
        for (size_t x = 0; x < width; ++x) {
            const uint32_t c = src[x] & 0xFFFFFF;
            const uint8_t r = uint8_t(c >> 16), g = uint8_t(c >> 8), b = uint8_t(c);
            switch (h.biBitCount) {
            case 1:
            case 4:
            case 8:
                putRowIndex(row, x, h.biBitCount, nearest(c));
                break;
            case 16: {
                const uint16_t w = uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                row[x * 2] = uint8_t(w);
                row[x * 2 + 1] = uint8_t(w >> 8);
                break;
            }
            case 24:
                row[x * 3] = b;
                row[x * 3 + 1] = g;
                row[x * 3 + 2] = r;
                break;
            case 32:
                row[x * 4] = b;
                row[x * 4 + 1] = g;
                row[x * 4 + 2] = r;
                break;
            default:
                return false;
            }
        }
    }
    return true;
}

std::optional<std::vector<uint8_t>> ExpandDibToIndices(const PackedDib& dib) {
    const BitmapInfoHeader& h = dib.header;
    if (!isIndexed(h) || !hasAllRows(dib)) return std::nullopt;
    const size_t width = size_t(h.biWidth), height = size_t(h.biHeight);
    const uint64_t stride = DibBytesPerLine(h);
    std::vector<uint8_t> out(width * height);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* row = dib.bits.data() + (height - 1 - y) * stride;
        for (size_t x = 0; x < width; ++x) out[y * width + x] = rowIndex(row, x, h.biBitCount);
    }
    return out;
}

bool PackDibFromIndices(PackedDib& dib, std::span<const uint8_t> indices) {
    const BitmapInfoHeader& h = dib.header;
    if (!isIndexed(h) || h.biWidth < 1 || h.biHeight < 1) return false;
    const size_t width = size_t(h.biWidth), height = size_t(h.biHeight);
    if (indices.size() < width * height) return false;
    const uint64_t stride = DibBytesPerLine(h);
    dib.bits.assign(size_t(stride * height), 0);
    for (size_t y = 0; y < height; ++y) {
        uint8_t* row = dib.bits.data() + (height - 1 - y) * stride;
        for (size_t x = 0; x < width; ++x) putRowIndex(row, x, h.biBitCount, indices[y * width + x]);
    }
    return true;
}

std::optional<PackedDib> ConvertDibFormat(const PackedDib& source, int bitCount, const Palette* palette,
                                          std::optional<DibResize> resize) {
    if (!isValidBitCount(bitCount)) return std::nullopt;
    const int32_t width = resize ? resize->width : source.header.biWidth;
    const int32_t height = resize ? resize->height : source.header.biHeight;
    if (width < 1 || height < 1) return std::nullopt;
    PackedDib target;
    target.header = BitmapInfoHeader{kBitmapInfoHeaderSize, width, height, 1, uint16_t(bitCount)};
    const uint64_t imageSize = DibBytesPerLine(target.header) * uint64_t(height);
    if (imageSize > kMaxDibImageBytes) return std::nullopt;
    target.header.biSizeImage = uint32_t(imageSize);
    const bool hasSource = source.header.biWidth > 0 && source.header.biHeight > 0;
    if (!hasSource) {
        // A new image: zeroed table and black pixels.
        target.colors.assign(bitCount <= 8 ? size_t(1) << bitCount : 0, RgbQuad{});
        target.bits.assign(size_t(imageSize), 0);
        return target;
    }
    std::optional<std::vector<uint32_t>> pixels = ExpandDibTo32(source);
    if (!pixels) return std::nullopt;
    if (resize) {
        const int32_t sw = source.header.biWidth, sh = source.header.biHeight;
        std::vector<uint32_t> sized(size_t(width) * size_t(height), 0xFF000000u);
        for (int32_t y = 0; y < height; ++y) {
            const int64_t sy = resize->stretch ? (int64_t(y) * 2 + 1) * sh / (int64_t(height) * 2) : y;
            if (sy >= sh) continue;
            for (int32_t x = 0; x < width; ++x) {
                const int64_t sx = resize->stretch ? (int64_t(x) * 2 + 1) * sw / (int64_t(width) * 2) : x;
                if (sx < sw) sized[size_t(y) * size_t(width) + size_t(x)] = (*pixels)[size_t(sy) * size_t(sw) + size_t(sx)];
            }
        }
        pixels = std::move(sized);
    }
    CopyColorTable(target, source, palette);
    if (!PackDibFrom32(target, *pixels)) return std::nullopt;
    return target;
}

std::optional<PackedDib> QuantizeDib(const PackedDib& source, int bitCount, int colours) {
    std::optional<Palette> palette = CreateOctreePaletteFromDib(source, colours, bitCount);
    if (!palette) return std::nullopt;
    return ConvertDibFormat(source, bitCount, &*palette);
}

bool MapDibToPalette(PackedDib& dib, const Palette& palette) {
    if (dib.header.biBitCount != 8 || isRunLength(dib.header) || palette.empty()) return false;
    std::vector<RgbQuad> table;
    for (size_t i = 0; i < palette.size() && i < 256; ++i) table.push_back(quadOf(palette[i]));
    NearestColour nearest(table);
    std::array<uint8_t, 256> map{};
    for (size_t i = 0; i < 256; ++i) {
        const RgbQuad q = i < dib.colors.size() ? dib.colors[i] : RgbQuad{};
        map[i] = nearest((uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue);
    }
    for (uint8_t& b : dib.bits) b = map[b];
    for (size_t i = 0; i < dib.colors.size() && i < table.size(); ++i) {
        dib.colors[i].rgbRed = table[i].rgbRed;
        dib.colors[i].rgbGreen = table[i].rgbGreen;
        dib.colors[i].rgbBlue = table[i].rgbBlue;
    }
    return true;
}

std::optional<PackedDib> DibFromRgbRows(std::span<const uint8_t> rgb, int32_t width, int32_t height) {
    std::optional<PackedDib> dib = CreateDib(width, height, 24);
    if (!dib || rgb.size() < size_t(width) * size_t(height) * 3) return std::nullopt;
    const uint64_t stride = DibBytesPerLine(dib->header);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = rgb.data() + size_t(y) * size_t(width) * 3;
        uint8_t* dst = dib->bits.data() + size_t(height - 1 - y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            dst[x * 3] = src[x * 3 + 2];
            dst[x * 3 + 1] = src[x * 3 + 1];
            dst[x * 3 + 2] = src[x * 3];
        }
    }
    return dib;
}

std::optional<std::vector<uint8_t>> WriteBmpFileImage(PackedDib& dib) {
    BitmapInfoHeader& h = dib.header;
    if (h.biSize != kBitmapInfoHeaderSize || h.biWidth < 1 || h.biHeight < 1) return std::nullopt;
    const uint64_t imageSize = isRunLength(h) ? h.biSizeImage : DibBytesPerLine(h) * uint64_t(h.biHeight);
    if (imageSize > dib.bits.size()) return std::nullopt;
    h.biSizeImage = uint32_t(imageSize);
    const uint64_t offBits = 14 + uint64_t(kBitmapInfoHeaderSize) + maskBytes(h) + uint64_t(dib.colors.size()) * 4;
    const uint64_t fileSize = offBits + imageSize;
    if (fileSize > 0xFFFFFFFFu) return std::nullopt;
    BitmapFileHeader fh;
    fh.bfType = kBitmapFileType;
    fh.bfSize = uint32_t(fileSize);
    fh.bfOffBits = uint32_t(offBits);
    const auto fileHeader = BitmapFileHeaderLayout::encode(fh);
    std::vector<uint8_t> out(fileHeader.begin(), fileHeader.end());
    std::vector<uint8_t> block = PackedDibBytes(dib);
    block.resize(size_t(fileSize - 14));
    out.insert(out.end(), block.begin(), block.end());
    return out;
}

std::optional<PackedDib> ReadBmpFileImage(std::span<const uint8_t> file) {
    if (file.size() < BitmapFileHeaderLayout::kSize + kBitmapInfoHeaderSize) return std::nullopt;
    const BitmapFileHeader fh = BitmapFileHeaderLayout::decode(file.data());
    if (fh.bfType != kBitmapFileType) return std::nullopt;
    const std::span<const uint8_t> block = file.subspan(BitmapFileHeaderLayout::kSize);
    if (readLe32(block.data()) != kBitmapInfoHeaderSize) return std::nullopt;
    // Counts the file leaves open are filled in as the block would hold them.
    std::vector<uint8_t> copy(block.begin(), block.end());
    BitmapInfoHeader h = BitmapInfoHeaderLayout::decode(copy.data());
    if (h.biClrUsed == 0 && (h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8))
        h.biClrUsed = 1u << h.biBitCount;
    const auto encoded = BitmapInfoHeaderLayout::encode(h);
    std::copy(encoded.begin(), encoded.end(), copy.begin());
    std::optional<uint64_t> bitsOffset;
    if (fh.bfOffBits >= BitmapFileHeaderLayout::kSize) bitsOffset = fh.bfOffBits - BitmapFileHeaderLayout::kSize;
    return parseBlock(copy, bitsOffset);
}

} // namespace tracemill
