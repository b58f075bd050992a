#include "toolkit/display/raster/bmp_picture.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/raster/raster_data_block.h"

namespace tracemill {
namespace {

constexpr uint32_t kFileHeaderSize = uint32_t(BitmapFileHeaderLayout::kSize);

// OS/2 bitmap arrays, colour icons and pointers, icons, pointers.
constexpr uint16_t kOs2Types[] = {0x4142, 0x4943, 0x5043, 0x4349, 0x5450};

uint32_t packColour(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
}

RasterRgb unpackColour(uint32_t colour) {
    return {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
}

// Decodes a layout from the bytes at `at`, of which the header holds `available` (the rest of
// the layout reads as 0).
template <class Layout>
typename Layout::Struct decodePart(std::span<const uint8_t> picture, size_t at, size_t available) {
    typename Layout::Bytes bytes{};
    const size_t n = std::min({available, bytes.size(), picture.size() > at ? picture.size() - at : size_t(0)});
    std::copy_n(picture.begin() + long(at), n, bytes.begin());
    return Layout::decode(bytes);
}

// The grey value by which the lighter of two colours is chosen.
double greyOf(uint32_t colour) {
    const RasterRgb c = unpackColour(colour);
    return 0.299 * c.red + 0.587 * c.green + 0.114 * c.blue;
}

// Row stride of decoded rows of one byte per pixel.
uint64_t byteRowStride(uint64_t width) { return (width + 3) & ~uint64_t(3); }

bool allocateRows(std::vector<uint8_t>& rows, uint64_t size) {
    if (size > kMaxDecodedPictureBytes) return false;
    if (!dbTryResize(rows, size_t(size))) {
        dbNotifyError(kErrorReasonNoMemory);
        return false;
    }
    return true;
}

} // namespace

void genReadBmpHeader(std::span<const uint8_t> picture, RasterBmpInfo& out) {
    out = RasterBmpInfo{};
    if (picture.size() < 2) return;
    const uint16_t type = uint16_t(picture[0] | picture[1] << 8);
    out.file.bfType = type;
    if (std::find(std::begin(kOs2Types), std::end(kOs2Types), type) != std::end(kOs2Types)) {
        out.status = kBmpOs2Array;
        return;
    }
    if (type != kBitmapFileType || picture.size() < kFileHeaderSize + 4) return;
    out.file = BitmapFileHeaderLayout::decode(picture.data());
    const uint32_t size = readLe32(picture.data() + kFileHeaderSize);
    out.info.biSize = size;
    if (size < kBitmapCoreHeaderSize || size > kBitmapOs2V2HeaderSize || picture.size() < kFileHeaderSize + size)
        return;

    uint32_t entrySize = 4;
    if (size == kBitmapCoreHeaderSize) {
        const BitmapCoreHeader core = BitmapCoreHeaderLayout::decode(picture.data() + kFileHeaderSize);
        out.info.biWidth = core.bcWidth;
        out.info.biHeight = core.bcHeight;
        out.info.biPlanes = core.bcPlanes;
        out.info.biBitCount = core.bcBitCount;
        out.info.biSizeImage =
            uint32_t(uint64_t(core.bcHeight) * dibRowLength(uint64_t(core.bcWidth) * core.bcPlanes, core.bcBitCount));
        entrySize = kRgbTripleSize;
    } else {
        // Headers of 16 to 64 bytes: the fields they hold, then the OS/2 extension.
        out.info = decodePart<BitmapInfoHeaderLayout>(picture, kFileHeaderSize, size);
        out.info.biSize = size;
        if (size > kBitmapInfoHeaderSize)
            out.os2 = decodePart<BitmapOs2ExtensionLayout>(picture, kFileHeaderSize + kBitmapInfoHeaderSize, size - kBitmapInfoHeaderSize);
    }
    const int64_t tableBytes = int64_t(out.file.bfOffBits) - size - kFileHeaderSize;
    if (tableBytes < 0) return;
    out.colourCount = uint32_t(std::min<int64_t>(tableBytes / entrySize, UINT32_MAX));
    if (out.colourCount > out.colourTable.size()) return;  // no table of this size is drawn
    const size_t table = kFileHeaderSize + size;
    if (picture.size() - table < uint64_t(out.colourCount) * entrySize) return;
    for (uint32_t i = 0; i < out.colourCount; ++i) {
        const uint8_t* entry = picture.data() + table + i * entrySize;
        out.colourTable[i] = packColour(entry[2], entry[1], entry[0]);
    }
    if (out.file.bfOffBits > picture.size()) return;
    out.dataOffset = out.file.bfOffBits;
    out.status = kBmpUsable;
}

int genReadBmpPixel(int64_t column, int64_t storedRow, const RasterBmpInfo& info, const RasterPixels& pixels,
                    RasterRgb& out) {
    out = {};
    if (column < 0 || column >= pixels.width || storedRow < 0 || storedRow >= std::abs(int64_t(pixels.height)))
        return 0;
    const uint64_t row = pixels.dataOffset + uint64_t(storedRow) * pixels.stride;
    const uint64_t at = row + (pixels.bitsPerPixel == 1    ? uint64_t(column) / 8
                               : pixels.bitsPerPixel == 8 ? uint64_t(column)
                                                          : 3 * uint64_t(column));
    const uint64_t need = pixels.bitsPerPixel == 24 ? 3 : 1;
    if (at > pixels.bytes.size() || pixels.bytes.size() - at < need) return 0;
    const uint8_t* p = pixels.bytes.data() + at;
    if (pixels.bitsPerPixel == 1) {
        out = unpackColour(info.colourTable[(p[0] >> (7 - column % 8)) & 1]);
    } else if (pixels.bitsPerPixel == 8) {
        out = unpackColour(info.colourTable[p[0]]);
    } else {
        out = {p[2], p[1], p[0]};
    }
    return 1;
}

void genDecodeBmpRunLength(std::span<const uint8_t> codes, bool nibbles, int32_t width, int32_t height,
                           std::span<uint8_t> rows) {
    const uint64_t stride = byteRowStride(uint64_t(std::max(width, 0)));
    uint64_t x = 0, y = 0;
    auto put = [&](uint8_t value) {
        if (x < uint64_t(width) && y < uint64_t(height)) rows[size_t(y * stride + x)] = value;
        ++x;
    };
    size_t at = 0;
    auto left = [&] { return codes.size() - at; };
    while (left() >= 2 && y < uint64_t(height)) {
        const uint8_t count = codes[at], value = codes[at + 1];
        at += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count; ++i) put(nibbles ? uint8_t(i % 2 ? value & 0x0F : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (left() < 2) return;
            x += codes[at];
            y += codes[at + 1];
            at += 2;
        } else {
            // An absolute run of `value` pixels, its bytes padded to a whole 16-bit word.
            const size_t bytes = nibbles ? size_t((value + 3) / 4) * 2 : size_t(value + 1) / 2 * 2;
            const size_t run = std::min(bytes, left());
            for (uint32_t i = 0; i < value; ++i) {
                const size_t byte = nibbles ? i / 2 : i;
                if (byte >= run) break;
                const uint8_t b = codes[at + byte];
                put(nibbles ? uint8_t(i % 2 ? b & 0x0F : b >> 4) : b);
            }
            at += run;
        }
    }
}

bool genPrepareRasterPicture(std::span<const uint8_t> picture, RasterPicture& out) {
    out.decoded.clear();
    RasterBmpInfo& info = out.info;
    genReadBmpHeader(picture, info);
    if (info.status != kBmpUsable) return false;
    const uint32_t colours = info.colourCount;
    if (colours != 0 && colours != 2 && colours != 16 && colours != 256) return false;
    const int32_t width = info.info.biWidth, height = info.info.biHeight;
    const uint16_t bits = info.info.biBitCount;
    const uint32_t compression = info.info.biCompression;
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    if (bits == 1 && colours != 2) return false;
    if ((bits == 4 || bits == 8) && colours == 0) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    const bool runLength = compression == kBiRle8 || compression == kBiRle4;
    if (runLength ? (compression == kBiRle8 ? bits != 8 : bits != 4) || height < 0
                  : compression != kBiRgb)
        return false;

    const uint64_t w = uint64_t(width), h = uint64_t(std::abs(int64_t(height)));
    RasterPixels& pixels = out.pixels;
    pixels.width = width;
    pixels.height = int32_t(h);
    pixels.topDown = height < 0;
    const std::span<const uint8_t> data = picture.subspan(info.dataOffset);
    if (runLength || bits == 4) {
        const uint64_t stride = byteRowStride(w);
        if (h > kMaxDecodedPictureBytes / stride) return false;
        if (!runLength && dibRowLength(w, 4) * h > data.size()) return false;
        if (!allocateRows(out.decoded, stride * h)) return false;
        if (runLength) {
            genDecodeBmpRunLength(data, compression == kBiRle4, width, int32_t(h), out.decoded);
        } else {
            const uint64_t source = dibRowLength(w, 4);
            for (uint64_t row = 0; row < h; ++row) {
                const uint8_t* from = data.data() + row * source;
                uint8_t* to = out.decoded.data() + row * stride;
                for (uint64_t column = 0; column < w; ++column)
                    to[column] = column % 2 ? from[column / 2] & 0x0F : from[column / 2] >> 4;
            }
        }
        pixels.bytes = out.decoded;
        pixels.dataOffset = 0;
        pixels.bitsPerPixel = 8;
        pixels.stride = size_t(stride);
    } else {
        const uint64_t stride = dibRowLength(w, bits);
        if (h > data.size() / stride) return false;
        pixels.bytes = picture;
        pixels.dataOffset = info.dataOffset;
        pixels.bitsPerPixel = bits;
        pixels.stride = size_t(stride);
    }
    out.format = bits == 1 ? kRasterFormatTwoColours : kRasterFormatRgb;
    out.lightIndex = bits == 1 && greyOf(info.colourTable[0]) > greyOf(info.colourTable[1]) ? 0 : 1;
    return true;
}

} // namespace tracemill
