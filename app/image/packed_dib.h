// The packed device-independent bitmap (header, colour table, bottom-up rows padded to 4
// bytes) and the library of functions over it: creation, measurement, palettes, conversion
// between bit counts, and the ".bmp" file image. CDib owns one; everything that does not
// need a window system lives here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/core/bmp_format.h"
#include "app/image/palette.h"

namespace tracemill {

// Largest pixel block the library makes or accepts (1 GiB).
inline constexpr uint64_t kMaxDibImageBytes = uint64_t(1) << 30;

struct PackedDib {
    BitmapInfoHeader header;             // always the 40-byte form in memory
    std::array<uint32_t, 3> masks{};     // red, green, blue bit fields when biCompression is kBiBitfields
    std::vector<RgbQuad> colors;         // DibNumColors entries
    std::vector<uint8_t> bits;           // the rows (or the run-length data of RLE images)
};

// Bit count of new images: <=1 -> 1, 2..4 -> 4, 5..8 -> 8, 9..24 -> 24, above 24 -> 4.
int RoundDibBitCount(int requested);
// Colour depth of a device read into a bitmap: <=1 -> 1, <=4 -> 4, <=8 -> 8, more -> 24.
int RoundDeviceBitCount(int depth);

// A zeroed image (black pixels, zeroed table) of the rounded bit count; none for a size
// that is not positive or too large.
std::optional<PackedDib> CreateDib(int32_t width, int32_t height, int bitCount);

uint32_t DibNumColors(const BitmapInfoHeader& header);
uint32_t DibPaletteSize(const BitmapInfoHeader& header);
uint64_t DibBytesPerLine(const BitmapInfoHeader& header);
// biSizeImage, or bytes per row x height when it is 0 (or the image is not compressed).
uint64_t DibImageSize(const BitmapInfoHeader& header);
// Bytes of the block: header, bit-field masks, colour table and pixels.
uint64_t DibBlockSize(const PackedDib& dib);

// The block as bytes, as a packed DIB in memory or behind a file header; and back. Parsing
// takes a 40-byte or a 12-byte core header (converted to the 40-byte form) and refuses
// anything whose counts do not fit the bytes present.
std::vector<uint8_t> PackedDibBytes(const PackedDib& dib);
std::optional<PackedDib> ParsePackedDib(std::span<const uint8_t> bytes);

// The colour table as palette entries (flags 0); empty for images without a table.
Palette CreateDibPalette(const PackedDib& dib);

// One pixel as 0x00RRGGBB; y counts stored rows (0 = the bottom row).
uint32_t DibStoredPixelRgb(const PackedDib& dib, int32_t x, int32_t storedRow);

// The target table for a conversion to `target.header.biBitCount`: black and white for 1
// bit; for 4 and 8 bits the palette's colours, else the source's own table when it has the
// same bit count, else the default palette's first 16 (4 bits) or an octree palette of at
// most 236 colours (8 bits). Entries past a shorter palette are black.
void CopyColorTable(PackedDib& target, const PackedDib& source, const Palette* palette);

struct DibResize {
    int32_t width = 0;
    int32_t height = 0;
    bool stretch = false; // nearest-neighbour stretch; otherwise cut or padded with black
};

// The image at another bit count (1, 4, 8, 16, 24 or 32), each pixel mapped to the nearest
// colour of the target table; none for run-length images or bad counts.
std::optional<PackedDib> ConvertDibFormat(const PackedDib& source, int bitCount, const Palette* palette,
                                          std::optional<DibResize> resize = std::nullopt);

// Reduced to `bitCount` bits with an octree palette of at most `colours` entries.
std::optional<PackedDib> QuantizeDib(const PackedDib& source, int bitCount, int colours);

// Rewrites an 8-bit image's pixels to the nearest entries of `palette` and takes its first
// 256 colours as the table.
bool MapDibToPalette(PackedDib& dib, const Palette& palette);

// The pixels as 0xFFRRGGBB, rows top-down, and back (to the nearest table colour for 1, 4
// and 8 bits). Both refuse run-length images.
std::optional<std::vector<uint32_t>> ExpandDibTo32(const PackedDib& dib);
bool PackDibFrom32(PackedDib& dib, std::span<const uint32_t> pixels);

// The colour-table indices of a 1-, 4- or 8-bit image, rows top-down, and back (each index
// cut to the bit count). Both refuse other bit counts, run-length images and short rows.
std::optional<std::vector<uint8_t>> ExpandDibToIndices(const PackedDib& dib);
bool PackDibFromIndices(PackedDib& dib, std::span<const uint8_t> indices);

// A 24-bit image from red, green, blue bytes, rows top-down without padding.
std::optional<PackedDib> DibFromRgbRows(std::span<const uint8_t> rgb, int32_t width, int32_t height);

// The ".bmp" file image: a 14-byte file header and the block. Writing stores biSizeImage
// (bytes per row x height unless run-length encoded) and refuses headers other than 40 bytes.
std::optional<std::vector<uint8_t>> WriteBmpFileImage(PackedDib& dib);
std::optional<PackedDib> ReadBmpFileImage(std::span<const uint8_t> file);

} // namespace tracemill
