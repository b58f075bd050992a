// The block of tagged items in which display generation sends the rows of a raster image to
// the host (output hook 17), as its writer (raster_image.h), the display-list cache and the
// hosts read it. All values are little-endian, doubles in IEEE form.
//
//   image header  tag, picture width, picture height (u32 each), pixel format (u32: 2 for one
//                 bit per pixel, else 0); once per viewport before the rows (16 bytes)
//   row start     tag; at the start of each picture row of each viewport (4 bytes)
//   row piece     tag, start end block, end end block (48 bytes each), pixel count n (u32),
//                 step along the device per pixel dx, dy (f64 each), then the pixels: with
//                 format 2 n bits, most significant first, a set bit for the lighter of the
//                 picture's two colours, the last byte padded with clear bits; else n times
//                 red, green, blue (u8 each); one piece per visible part of a row (120 bytes
//                 before the pixels)
//
// An end block: device x, device y, pixel column, pixel row line, fraction (f64 each), red,
// green, blue of the picture's pixel in that column (u8 each), 5 bytes of filler.
//
// A block is sent whenever it grows beyond kRasterBlockFlushSize bytes, so the pixels of one
// piece may continue in the next block (always at a whole byte); the items themselves are
// never cut.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tracemill {

inline constexpr uint32_t kRasterImageHeaderTag = 0x01000000;
inline constexpr uint32_t kRasterRowPieceTag = 0x02000000;
inline constexpr uint32_t kRasterRowStartTag = 0x03000000;

inline constexpr size_t kRasterImageHeaderSize = 16;
inline constexpr size_t kRasterImageHeaderFormat = 12;  // offset of the pixel format

inline constexpr size_t kRasterEndBlockSize = 48;
inline constexpr size_t kRasterEndBlockColour = 40;  // offset of red, green, blue
inline constexpr size_t kRasterRowPieceHeadSize = 120;
// Offsets within a row piece, from its tag.
inline constexpr size_t kRasterPieceStartBlock = 4;
inline constexpr size_t kRasterPieceEndBlock = 52;
inline constexpr size_t kRasterPieceCount = 100;
inline constexpr size_t kRasterPieceStepX = 104;
inline constexpr size_t kRasterPieceStepY = 112;

// Pixel formats of the image header.
inline constexpr int32_t kRasterFormatRgb = 0;
inline constexpr int32_t kRasterFormatTwoColours = 2;

// The block buffer, and the size beyond which a block is sent.
inline constexpr size_t kRasterBlockCapacity = 32768;
inline constexpr size_t kRasterBlockFlushSize = 16000;

// The bytes of the pixels of a piece of n pixels.
inline constexpr uint64_t genRasterPixelBytes(uint32_t n, int32_t format) {
    return format == kRasterFormatTwoColours ? (uint64_t(n) + 7) / 8 : uint64_t(n) * 3;
}

} // namespace tracemill
