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

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // the OS/2 1.x header: 16-bit width, height, planes, bits
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kLargestHeaderSize = 64;

constexpr uint16_t kTypeBitmap = 0x4D42;  // "BM"
// OS/2 bitmap arrays, colour icons and pointers, icons, pointers.
constexpr uint16_t kOs2Types[] = {0x4142, 0x4943, 0x5043, 0x4349, 0x5450};

// Reads little-endian values from a byte range; a read beyond it gives 0 and marks the reader.
class ByteCursor {
  public:
    ByteCursor(std::span<const uint8_t> bytes, size_t at) : bytes_(bytes), at_(at) {}
    uint32_t u32() { return uint32_t(read(4)); }
    uint16_t u16() { return uint16_t(read(2)); }
    uint8_t u8() { return uint8_t(read(1)); }
    bool overrun() const { return overrun_; }
    size_t at() const { return at_; }

  private:
    uint64_t read(size_t n) {
        if (at_ > bytes_.size() || bytes_.size() - at_ < n) {
            overrun_ = true;
            return 0;
        }
        uint64_t v = 0;
        for (size_t i = 0; i < n; ++i) v |= uint64_t(bytes_[at_ + i]) << (8 * i);
        at_ += n;
        return v;
    }
    std::span<const uint8_t> bytes_;
    size_t at_;
    bool overrun_ = false;
};

uint32_t packColour(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
}

RasterRgb unpackColour(uint32_t colour) {
    return {uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour)};
}

// Reads the fields of an information header of `size` bytes (from its size field on); fields
// the header is too short for stay 0.
void readInfoFields(ByteCursor& in, uint32_t size, RasterBmpInfo& out) {
    BmpInfoHeader& h = out.info;
    auto field = [&](auto& target, uint32_t end) {
        using T = std::remove_reference_t<decltype(target)>;
        if (size < end) return;
        target = sizeof(T) == 2 ? T(in.u16()) : T(in.u32());
    };
    field(h.width, 8);
    field(h.height, 12);
    field(h.planes, 14);
    field(h.bitCount, 16);
    field(h.compression, 20);
    field(h.imageSize, 24);
    field(h.xResolution, 28);
    field(h.yResolution, 32);
    field(h.coloursUsed, 36);
    field(h.coloursImportant, 40);
    BmpOs2Extension& x = out.os2;
    field(x.units, 42);
    field(x.reserved, 44);
    field(x.recording, 46);
    field(x.rendering, 48);
    field(x.size1, 52);
    field(x.size2, 56);
    field(x.colourEncoding, 60);
    field(x.identifier, 64);
}

// The grey value by which the lighter of two colours is chosen.
double greyOf(uint32_t colour) {
    const RasterRgb c = unpackColour(colour);
    return 0.299 * c.red + 0.587 * c.green + 0.114 * c.blue;
}

// Row strides of the stored pixels.
uint64_t strideOf(uint64_t width, int bits) { return (width * uint64_t(bits) + 31) / 32 * 4; }
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
    ByteCursor in(picture, 0);
    out.file.type = in.u16();
    if (in.overrun()) return;
    if (std::find(std::begin(kOs2Types), std::end(kOs2Types), out.file.type) != std::end(kOs2Types)) {
        out.status = kBmpOs2Array;
        return;
    }
    if (out.file.type != kTypeBitmap) return;
    out.file.fileSize = in.u32();
    out.file.reserved1 = in.u16();
    out.file.reserved2 = in.u16();
    out.file.bitsOffset = in.u32();
    const uint32_t size = in.u32();
    out.info.size = size;
    if (in.overrun() || size < kCoreHeaderSize || size > kLargestHeaderSize) return;

    const int64_t tableBytes = int64_t(out.file.bitsOffset) - size - kFileHeaderSize;
    uint32_t entrySize = 4;
    if (size == kCoreHeaderSize) {
        out.info.width = in.u16();
        out.info.height = in.u16();
        out.info.planes = in.u16();
        out.info.bitCount = in.u16();
        out.info.imageSize = uint32_t(uint64_t(std::abs(out.info.height)) *
                                      strideOf(uint64_t(out.info.width) * out.info.planes, out.info.bitCount));
        entrySize = 3;
    } else {
        readInfoFields(in, size, out);
    }
    if (in.overrun() || tableBytes < 0) return;
    out.colourCount = uint32_t(std::min<int64_t>(tableBytes / entrySize, UINT32_MAX));
    if (out.colourCount > out.colourTable.size()) return;  // no table of this size is drawn
    ByteCursor table(picture, kFileHeaderSize + size);
    for (uint32_t i = 0; i < out.colourCount; ++i) {
        const uint8_t blue = table.u8(), green = table.u8(), red = table.u8();
        if (entrySize == 4) table.u8();
        out.colourTable[i] = packColour(red, green, blue);
    }
    if (table.overrun() || out.file.bitsOffset > picture.size()) return;
    out.dataOffset = out.file.bitsOffset;
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
    const int32_t width = info.info.width, height = info.info.height;
    const uint16_t bits = info.info.bitCount;
    const uint32_t compression = info.info.compression;
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    if (bits == 1 && colours != 2) return false;
    if ((bits == 4 || bits == 8) && colours == 0) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    const bool runLength = compression == kBmpRle8 || compression == kBmpRle4;
    if (runLength ? (compression == kBmpRle8 ? bits != 8 : bits != 4) || height < 0
                  : compression != kBmpUncompressed)
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
        if (!runLength && strideOf(w, 4) * h > data.size()) return false;
        if (!allocateRows(out.decoded, stride * h)) return false;
        if (runLength) {
            genDecodeBmpRunLength(data, compression == kBmpRle4, width, int32_t(h), out.decoded);
        } else {
            const uint64_t source = strideOf(w, 4);
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
        const uint64_t stride = strideOf(w, bits);
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
