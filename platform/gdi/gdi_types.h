// Value types of the device-context layer: colours, points, rectangles, pens, brushes, fonts,
// the mapping and fill modes, and the views of bitmaps that blits take. No Qt in here.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tracemill::gdi {

// A colour as 0x00BBGGRR: red in the low byte.
using ColorRef = uint32_t;
inline constexpr ColorRef rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return ColorRef(red) | (ColorRef(green) << 8) | (ColorRef(blue) << 16);
}
inline constexpr uint8_t redOf(ColorRef c) { return uint8_t(c); }
inline constexpr uint8_t greenOf(ColorRef c) { return uint8_t(c >> 8); }
inline constexpr uint8_t blueOf(ColorRef c) { return uint8_t(c >> 16); }

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Left and top inside, right and bottom outside, as GDI's RECT.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A block of device pixels: x, y, width, height (all in device pixels).
struct PixelRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

enum class PenStyle { Solid, Dash, Null };

// Width in logical units; 0 and 1 draw one device pixel, wider pens have round caps and joins.
struct Pen {
    PenStyle style = PenStyle::Solid;
    int32_t width = 0;
    ColorRef color = 0;
};

enum class BrushStyle { Solid, Null };

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    ColorRef color = 0xFFFFFF;
};

// How overlapping polygon parts fill: alternate (even-odd) or winding (non-zero).
enum class FillMode { Alternate, Winding };

// Text: one logical unit is one device pixel. Anisotropic: window and viewport extents scale.
enum class MapMode { Text, Anisotropic };

enum class BackgroundMode { Transparent, Opaque };

// Blit raster operations (source with destination).
enum class RasterOp { SrcCopy, SrcAnd, SrcPaint, SrcInvert, NotSrcCopy };

// Height is the character height in device pixels.
struct Font {
    std::string face = "DejaVu Sans";
    int32_t height = 13;
    bool bold = false;
    bool italic = false;
};

// A device-independent bitmap as a blit source: rows padded to 4 bytes, bottom-up (the
// first stored row is the bottom of the picture). Blits address its pixels from the top.
struct DibView {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;                 // 1, 4, 8, 16 (5-5-5), 24 or 32
    std::span<const ColorRef> colors; // colour table of 1-, 4- and 8-bit bitmaps
    std::span<const uint8_t> bits;
};

// One pixel of a DibView, y counted from the top; black outside it.
ColorRef dibViewPixel(const DibView& view, int32_t x, int32_t y);

} // namespace tracemill::gdi
