// The picture of a raster image as the host hands it to display generation: a whole BMP file
// image. Its header and colour table are read here, run-length compressed and 4-bit rows are
// decoded to one byte per pixel, and single pixels are read from the rows.
//
// The picture is untrusted: every read is bounded by its bytes, and a picture that cannot be
// drawn (an unusable header, a colour table of another size than 0, 2, 16 or 256 entries, a
// bit count or compression that is not 1, 4, 8 or 24 bits uncompressed or run-length coded
// 4 or 8 bits, rows beyond its bytes, or more than kMaxDecodedPictureBytes decoded bytes) is
// left to the image's frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "toolkit/core/bmp_format.h"

namespace tracemill {

// Status of a read header.
inline constexpr uint32_t kBmpUsable = 0;
inline constexpr uint32_t kBmpUnusable = 1;   // not a bitmap file, or a header size outside 12..64
inline constexpr uint32_t kBmpOs2Array = 2;   // an OS/2 bitmap array, icon or pointer

// Decoded rows (run-length or 4-bit pictures) are limited to this many bytes.
inline constexpr uint64_t kMaxDecodedPictureBytes = 256000000;

// A parsed BMP header. The colour count follows from where the pixels start: (bits offset -
// header size - 14) / 4 entries, or / 3 for a 12-byte header (whose entries are 3 bytes).
struct RasterBmpInfo {
    uint32_t colourCount = 0;
    uint32_t status = kBmpUnusable;
    BitmapFileHeader file;
    BitmapInfoHeader info;  // a 12-byte core header's values widened into it
    BitmapOs2Extension os2;
    std::array<uint32_t, 256> colourTable{};  // red << 16 | green << 8 | blue
    uint32_t dataOffset = 0;                  // where the pixels start: the file's bits offset
};

struct RasterRgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const RasterRgb&, const RasterRgb&) = default;
};

// Where the rows of a picture lie and how: `bitsPerPixel` 1, 8 or 24, rows `stride` bytes
// apart from `dataOffset` on, stored row 0 the bottom row (the top row when `topDown`).
struct RasterPixels {
    std::span<const uint8_t> bytes;
    size_t dataOffset = 0;
    int bitsPerPixel = 0;
    size_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
};

// A picture ready to be drawn: its header, its rows (decoded ones in `decoded`), and for a
// picture of one bit per pixel the entry of its two colours that is the lighter (by grey
// value; entry 1 when both are as light).
struct RasterPicture {
    RasterBmpInfo info;
    std::vector<uint8_t> decoded;
    RasterPixels pixels;
    uint8_t lightIndex = 1;
    int32_t format = 0;  // kRasterFormatTwoColours or kRasterFormatRgb
};

// Reads the header and colour table of a BMP file image. The result is in `out.status`:
// usable, not a bitmap (also a header or colour table beyond the bytes), or an OS/2 array.
void genReadBmpHeader(std::span<const uint8_t> picture, RasterBmpInfo& out);

// The colour of the pixel in that column of that stored row: a colour-table entry for 1, 4
// (decoded) and 8 bits, the bytes blue, green, red for 24 bits. A pixel outside the picture is
// black. 1 when the pixel was read.
int genReadBmpPixel(int64_t column, int64_t storedRow, const RasterBmpInfo& info, const RasterPixels& pixels,
                    RasterRgb& out);

// Reads and checks the picture and decodes its rows when it is compressed or has 4 bits per
// pixel. true when it can be drawn; false leaves the image to its frame (also when memory for
// the decoded rows runs out, which calls the error callback with 2).
bool genPrepareRasterPicture(std::span<const uint8_t> picture, RasterPicture& out);

// The one-byte-per-pixel rows, (width + 3) & ~3 bytes each, bottom row first, that the run-
// length codes of 8-bit (`nibbles` false) or 4-bit pictures give: encoded runs repeat their
// byte (4 bits: its high and low nibble in turn), absolute runs copy theirs, end of line goes
// on at the next row, a delta moves right and up, end of bitmap ends. What the codes do not
// reach stays 0; pixels beyond a row's width are left out. `rows` must hold stride x height
// bytes.
void genDecodeBmpRunLength(std::span<const uint8_t> codes, bool nibbles, int32_t width, int32_t height,
                           std::span<uint8_t> rows);

} // namespace tracemill
