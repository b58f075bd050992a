// Writes the tagged items of raster data (raster_data_block.h) into one block buffer and hands
// the block to output hook 17 whenever it grows beyond kRasterBlockFlushSize bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/point.h"
#include "toolkit/display/raster/bmp_picture.h"

namespace tracemill {

// One end of a row piece.
struct RasterEndBlock {
    Point2 device;
    double column = 0.0;
    double rowLine = 0.0;
    double fraction = 0.0;
    RasterRgb colour;
};

class RasterBlockWriter {
  public:
    // The hook and the host word the blocks go to.
    RasterBlockWriter(RasterDataHook hook, HostWord host) : hook_(hook), host_(host) {}

    // Room for kRasterBlockCapacity bytes: false when memory runs out.
    bool allocate();

    void imageHeader(uint32_t width, uint32_t height, int32_t format);
    void rowStart();
    void rowPiece(const RasterEndBlock& start, const RasterEndBlock& end, uint32_t pixels, double dx, double dy);
    // Pixels of the piece: red, green, blue for the RGB format.
    void rgbPixel(const RasterRgb& colour);
    // Pixels of the two-colour format: bits, most significant first, and whole bytes of 8
    // pixels once the bits stand at a byte boundary.
    void bit(bool set);
    void bitBytes(const uint8_t* bytes, size_t n, uint8_t invert);
    // Ends the piece's pixels: a partly filled byte goes out padded with clear bits.
    void endPixels();

    // Sends what the block holds.
    void flush();

  private:
    void put32(uint32_t v);
    void put64(double v);
    void endBlock(const RasterEndBlock& end);
    void flushWhenFull();

    RasterDataHook hook_;
    HostWord host_;
    std::vector<uint8_t> block_;
    uint8_t bits_ = 0;
    int bitCount_ = 0;
};

} // namespace tracemill
