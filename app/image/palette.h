// Palette entries as logical palettes hold them (red, green, blue, flags), and the fixed
// palettes the bitmap library falls back to.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tracemill {

struct PaletteEntry {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t flags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

using Palette = std::vector<PaletteEntry>;

// The system's 20-colour default palette; 4-bit conversions without a palette take its
// first 16 colours.
inline constexpr std::array<PaletteEntry, 20> kDefaultPalette{{
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
    {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0}, {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0},
    {0x80, 0x80, 0x80, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0x00, 0},
    {0x00, 0x00, 0xFF, 0}, {0xFF, 0x00, 0xFF, 0}, {0x00, 0xFF, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0},
}};

// A halftone palette (the 6 x 6 x 6 colour cube) for 8-bit conversions when no octree
// palette can be made.
Palette HalftonePalette();

} // namespace tracemill
