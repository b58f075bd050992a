// Reads the blocks of tagged items in which display generation sends the rows of a raster
// image (output hook 17) and turns them into what the hook sets draw: one pixel, or a filled
// quadrilateral when a picture pixel covers more than one device unit. The pixels of a row
// piece may continue in the next block, so the reader keeps its place from call to call.
//
// Geometry of a row piece: its start lies at the exact picture column a (start column plus
// fraction), its end at b (end column minus fraction); picture column c covers a..b from
// start + (c - a) x step on. So the first whole column ceil(a) begins at start + (1 - f) x
// step, each pixel covers its own column, and the pieces of columns cut by the start or end
// (the columns of the two end blocks) are drawn in the colours the end blocks carry.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace tracemill {

// What to draw: a pixel at corners[0], or the quadrilateral of the four corners.
struct RasterPaint {
    bool quad = false;
    gdi::Point corners[4];
    gdi::ColorRef colour = 0;
};

class RasterDataReader {
public:
    // Reads one block. colourMode is the drawing object's (1 black and white, 2 grey, else
    // the pixels' colours); clip bounds what is drawn (an empty rectangle bounds nothing).
    void read(std::span<const uint8_t> block, int16_t colourMode, const gdi::Rect& clip, std::vector<RasterPaint>& out);
    // Forgets a piece whose pixels are still expected.
    void reset();

private:
    struct Piece {
        double startX = 0, startY = 0;   // device point at column a
        double a = 0, b = 0;             // exact start and end columns
        double firstColumn = 0;          // ceil(a): the column of the first pixel
        double dx = 0, dy = 0;           // device step per column
        gdi::ColorRef startColour = 0, endColour = 0;
        uint32_t pixels = 0;             // of the piece
        uint32_t done = 0;               // pixels read so far
        bool visible = true;
        bool large = false;              // pixels are quadrilaterals
    };

    void beginPiece(const uint8_t* item, std::vector<RasterPaint>& out);
    void pixel(gdi::ColorRef colour, std::vector<RasterPaint>& out);
    void endPiece(std::vector<RasterPaint>& out);
    // Draws columns t0..t1 of the piece in that colour.
    void span(double t0, double t1, gdi::ColorRef colour, std::vector<RasterPaint>& out) const;
    bool inClip(double x, double y) const;

    int32_t format_ = 0;
    int16_t colourMode_ = 0;
    gdi::Rect clip_;
    Piece piece_;
    uint32_t pending_ = 0;  // pixels of the piece still to come
    uint8_t bitByte_ = 0;
    int bitsLeft_ = 0;
};

// The reader of the process's passes (one pass at a time).
RasterDataReader& GetRasterDataReader();

// The colour a raster pixel is drawn in: its own (colour mode 3 or none), its grey value
// (0.299 red + 0.587 green + 0.114 blue) in grey mode, and in black-and-white mode white
// for a grey value of 128 and more, black below.
gdi::ColorRef RasterPixelColour(gdi::ColorRef colour, int16_t colourMode);

} // namespace tracemill
