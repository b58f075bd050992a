// The Windows and OS/2 bitmap layouts: file header, info headers and colour-table entries,
// shared by every reader and writer of ".bmp" files and packed DIBs.
#pragma once

#include <cstdint>

#include "toolkit/core/binary_layout.h"

namespace tracemill {

inline constexpr uint16_t kBitmapFileType = 0x4D42; // "BM"

struct BitmapFileHeader {
    uint16_t bfType = 0;
    uint32_t bfSize = 0;
    uint16_t bfReserved1 = 0;
    uint16_t bfReserved2 = 0;
    uint32_t bfOffBits = 0; // from the start of the file header
};
using BitmapFileHeaderLayout =
    LittleEndianLayout<&BitmapFileHeader::bfType, &BitmapFileHeader::bfSize, &BitmapFileHeader::bfReserved1,
                       &BitmapFileHeader::bfReserved2, &BitmapFileHeader::bfOffBits>;
static_assert(BitmapFileHeaderLayout::kSize == 14);

struct BitmapInfoHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0; // positive: rows bottom-up
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
using BitmapInfoHeaderLayout =
    LittleEndianLayout<&BitmapInfoHeader::biSize, &BitmapInfoHeader::biWidth, &BitmapInfoHeader::biHeight,
                       &BitmapInfoHeader::biPlanes, &BitmapInfoHeader::biBitCount,
                       &BitmapInfoHeader::biCompression, &BitmapInfoHeader::biSizeImage,
                       &BitmapInfoHeader::biXPelsPerMeter, &BitmapInfoHeader::biYPelsPerMeter,
                       &BitmapInfoHeader::biClrUsed, &BitmapInfoHeader::biClrImportant>;
static_assert(BitmapInfoHeaderLayout::kSize == 40);

// The OS/2 core header: 16-bit sizes, colour-table entries of 3 bytes.
struct BitmapCoreHeader {
    uint32_t bcSize = 0;
    uint16_t bcWidth = 0;
    uint16_t bcHeight = 0;
    uint16_t bcPlanes = 0;
    uint16_t bcBitCount = 0;
};
using BitmapCoreHeaderLayout =
    LittleEndianLayout<&BitmapCoreHeader::bcSize, &BitmapCoreHeader::bcWidth, &BitmapCoreHeader::bcHeight,
                       &BitmapCoreHeader::bcPlanes, &BitmapCoreHeader::bcBitCount>;
static_assert(BitmapCoreHeaderLayout::kSize == 12);

// The fields an OS/2 2.x information header (up to 64 bytes) adds after the 40 of the
// Windows one; a shorter header holds the first of them.
struct BitmapOs2Extension {
    uint16_t units = 0;
    uint16_t reserved = 0;
    uint16_t recording = 0;
    uint16_t rendering = 0;
    uint32_t size1 = 0;
    uint32_t size2 = 0;
    uint32_t colourEncoding = 0;
    uint32_t identifier = 0;
};
using BitmapOs2ExtensionLayout =
    LittleEndianLayout<&BitmapOs2Extension::units, &BitmapOs2Extension::reserved, &BitmapOs2Extension::recording,
                       &BitmapOs2Extension::rendering, &BitmapOs2Extension::size1, &BitmapOs2Extension::size2,
                       &BitmapOs2Extension::colourEncoding, &BitmapOs2Extension::identifier>;
static_assert(BitmapOs2ExtensionLayout::kSize == 24);

// The sizes an information header gives itself (biSize, bcSize): those of the layouts; an OS/2
// 2.x header is the Windows one and its extension.
inline constexpr uint32_t kBitmapInfoHeaderSize = uint32_t(BitmapInfoHeaderLayout::kSize);
inline constexpr uint32_t kBitmapCoreHeaderSize = uint32_t(BitmapCoreHeaderLayout::kSize);
inline constexpr uint32_t kBitmapOs2V2HeaderSize = kBitmapInfoHeaderSize + uint32_t(BitmapOs2ExtensionLayout::kSize);
static_assert(kBitmapOs2V2HeaderSize == 64);

// biCompression values.
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiRle8 = 1;
inline constexpr uint32_t kBiRle4 = 2;
inline constexpr uint32_t kBiBitfields = 3;

// A colour-table entry as stored: blue, green, red, reserved (3 bytes in core tables).
struct RgbQuad {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
    friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};
using RgbQuadLayout =
    LittleEndianLayout<&RgbQuad::rgbBlue, &RgbQuad::rgbGreen, &RgbQuad::rgbRed, &RgbQuad::rgbReserved>;
inline constexpr uint32_t kRgbTripleSize = 3;

// Bytes per pixel row, padded to a multiple of 4; in 64 bits so that no size overflows.
inline constexpr uint64_t dibRowLength(uint64_t width, uint64_t bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}

} // namespace tracemill
