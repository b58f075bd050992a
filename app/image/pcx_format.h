// The PCX header layout and run-length constants, shared by the PCX reader and writer.
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/core/binary_layout.h"

namespace tracemill {

struct PcxHeader {
    uint8_t manufacturer = 0; // kPcxManufacturer
    uint8_t version = 0;
    uint8_t encoding = 0; // kPcxRunLengthEncoding
    uint8_t bitsPerPixel = 0;
    uint16_t xMin = 0;
    uint16_t yMin = 0;
    uint16_t xMax = 0;
    uint16_t yMax = 0;
    uint16_t hResolution = 0;
    uint16_t vResolution = 0;
    std::array<uint8_t, 48> colourMap{}; // 16 entries red, green, blue
    uint8_t reserved = 0;
    uint8_t planes = 0;
    uint16_t bytesPerLine = 0;
    uint16_t paletteInfo = 0;
    std::array<uint8_t, 58> filler{};
};
using PcxHeaderLayout =
    LittleEndianLayout<&PcxHeader::manufacturer, &PcxHeader::version, &PcxHeader::encoding,
                       &PcxHeader::bitsPerPixel, &PcxHeader::xMin, &PcxHeader::yMin, &PcxHeader::xMax,
                       &PcxHeader::yMax, &PcxHeader::hResolution, &PcxHeader::vResolution,
                       &PcxHeader::colourMap, &PcxHeader::reserved, &PcxHeader::planes,
                       &PcxHeader::bytesPerLine, &PcxHeader::paletteInfo, &PcxHeader::filler>;
static_assert(PcxHeaderLayout::kSize == 128);

inline constexpr uint8_t kPcxManufacturer = 10;
inline constexpr uint8_t kPcxRunLengthEncoding = 1;
// A byte with both top bits set is a run count (low 6 bits) followed by the value to repeat.
inline constexpr uint8_t kPcxRunFlag = 0xC0;
inline constexpr uint8_t kPcxRunCountMask = 0x3F;
// The 256-colour palette follows the pixel data behind this byte.
inline constexpr uint8_t kPcxPaletteMarker = 12;
inline constexpr int kPcxHeaderColours = 16;
inline constexpr int kPcxPaletteColours = 256;

} // namespace tracemill
