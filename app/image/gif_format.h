// The GIF87a/GIF89a layouts and constants shared by the GIF reader and writer: screen and
// image descriptors, block introducers, extension labels and the LZW code limits.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "toolkit/core/binary_layout.h"

namespace tracemill {

// Header and logical screen descriptor: "GIF87a" or "GIF89a", then the screen.
struct GifScreenDescriptor {
    std::array<uint8_t, 6> signature{};
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t flags = 0; // kGifColourTableFlag, colour resolution, table size
    uint8_t background = 0;
    uint8_t aspect = 0;
};
using GifScreenDescriptorLayout =
    LittleEndianLayout<&GifScreenDescriptor::signature, &GifScreenDescriptor::width, &GifScreenDescriptor::height,
                       &GifScreenDescriptor::flags, &GifScreenDescriptor::background,
                       &GifScreenDescriptor::aspect>;
static_assert(GifScreenDescriptorLayout::kSize == 13);

// Image descriptor, after the image separator.
struct GifImageDescriptor {
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t flags = 0; // kGifColourTableFlag, kGifInterlacedFlag, table size
};
using GifImageDescriptorLayout =
    LittleEndianLayout<&GifImageDescriptor::left, &GifImageDescriptor::top, &GifImageDescriptor::width,
                       &GifImageDescriptor::height, &GifImageDescriptor::flags>;
static_assert(GifImageDescriptorLayout::kSize == 9);

// Data of the graphic control extension (after its block size byte of 4).
struct GifGraphicControl {
    uint8_t flags = 0; // bit 0 transparency, bits 2 to 4 disposal method
    uint16_t delay = 0; // hundredths of a second
    uint8_t transparentIndex = 0;
};
using GifGraphicControlLayout = LittleEndianLayout<&GifGraphicControl::flags, &GifGraphicControl::delay,
                                                   &GifGraphicControl::transparentIndex>;
static_assert(GifGraphicControlLayout::kSize == 4);

inline constexpr uint8_t kGifImageSeparator = 0x2C;      // ','
inline constexpr uint8_t kGifExtensionIntroducer = 0x21; // '!'
inline constexpr uint8_t kGifTrailer = 0x3B;             // ';'

inline constexpr uint8_t kGifLabelPlainText = 0x01;
inline constexpr uint8_t kGifLabelGraphicControl = 0xF9;
inline constexpr uint8_t kGifLabelComment = 0xFE;
inline constexpr uint8_t kGifLabelApplication = 0xFF;
inline constexpr uint8_t kGifApplicationIdSize = 11;

inline constexpr uint8_t kGifColourTableFlag = 0x80; // global (screen) or local (image) table
inline constexpr uint8_t kGifInterlacedFlag = 0x40;
inline constexpr uint8_t kGifTableSizeMask = 0x07;
inline constexpr uint8_t kGifTransparencyFlag = 0x01;
inline constexpr int gifDisposalMethod(uint8_t graphicControlFlags) { return (graphicControlFlags >> 2) & 7; }
// Entries of a colour table whose size field is the low 3 bits of the flags.
inline constexpr int gifTableEntries(uint8_t flags) { return 2 << (flags & kGifTableSizeMask); }

inline constexpr int kGifMaxColours = 256;
inline constexpr int kGifMaxCodeBits = 12;
inline constexpr int kGifMaxCodes = 1 << kGifMaxCodeBits; // 4096
inline constexpr int kGifMaxSubBlock = 255;

// Interlaced rows: four passes, each a first row and a step.
struct GifInterlacePass {
    int start;
    int step;
};
inline constexpr std::array<GifInterlacePass, 4> kGifInterlacePasses{{{0, 8}, {4, 8}, {2, 4}, {1, 2}}};

// The picture rows (0 = top) in the order the file stores them.
inline std::vector<int> gifFileRowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(size_t(std::max(height, 0)));
    if (!interlaced) {
        for (int row = 0; row < height; ++row) rows.push_back(row);
        return rows;
    }
    for (const GifInterlacePass& pass : kGifInterlacePasses)
        for (int row = pass.start; row < height; row += pass.step) rows.push_back(row);
    return rows;
}

} // namespace tracemill
