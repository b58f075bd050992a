#include "toolkit/display/raster/raster_block_writer.h"

#include <new>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/display/raster/raster_data_block.h"

namespace tracemill {

bool RasterBlockWriter::allocate() {
    if (!dbAllocationAllowed()) return false;
    try {
        block_.reserve(kRasterBlockCapacity);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void RasterBlockWriter::put32(uint32_t v) {
    uint8_t bytes[4];
    putLe32(bytes, v);
    block_.insert(block_.end(), bytes, bytes + 4);
}

void RasterBlockWriter::put64(double v) {
    uint8_t bytes[8];
    putLe64(bytes, doubleBits(v));
    block_.insert(block_.end(), bytes, bytes + 8);
}

void RasterBlockWriter::flushWhenFull() {
    if (block_.size() > kRasterBlockFlushSize) flush();
}

void RasterBlockWriter::flush() {
    if (block_.empty()) return;
    if (hook_) hook_(block_.data(), uint32_t(block_.size()), host_);
    block_.clear();
}

void RasterBlockWriter::imageHeader(uint32_t width, uint32_t height, int32_t format) {
    put32(kRasterImageHeaderTag);
    put32(width);
    put32(height);
    put32(uint32_t(format));
    flushWhenFull();
}

void RasterBlockWriter::rowStart() {
    put32(kRasterRowStartTag);
    flushWhenFull();
}

void RasterBlockWriter::endBlock(const RasterEndBlock& end) {
    put64(end.device.x);
    put64(end.device.y);
    put64(end.column);
    put64(end.rowLine);
    put64(end.fraction);
    const uint8_t tail[8] = {end.colour.red, end.colour.green, end.colour.blue, 0, 0, 0, 0, 0};
    block_.insert(block_.end(), tail, tail + 8);
}

void RasterBlockWriter::rowPiece(const RasterEndBlock& start, const RasterEndBlock& end, uint32_t pixels, double dx,
                                 double dy) {
    put32(kRasterRowPieceTag);
    endBlock(start);
    endBlock(end);
    put32(pixels);
    put64(dx);
    put64(dy);
    bits_ = 0;
    bitCount_ = 0;
    flushWhenFull();
}

void RasterBlockWriter::rgbPixel(const RasterRgb& colour) {
    const uint8_t bytes[3] = {colour.red, colour.green, colour.blue};
    block_.insert(block_.end(), bytes, bytes + 3);
    flushWhenFull();
}

void RasterBlockWriter::bit(bool set) {
    bits_ = uint8_t(bits_ | (set ? 0x80 >> bitCount_ : 0));
    if (++bitCount_ < 8) return;
    block_.push_back(bits_);
    bits_ = 0;
    bitCount_ = 0;
    flushWhenFull();
}

void RasterBlockWriter::bitBytes(const uint8_t* bytes, size_t n, uint8_t invert) {
    while (n > 0) {
        const size_t room = block_.size() <= kRasterBlockFlushSize ? kRasterBlockFlushSize + 1 - block_.size() : 0;
        const size_t take = room < n ? room : n;
        for (size_t i = 0; i < take; ++i) block_.push_back(uint8_t(bytes[i] ^ invert));
        bytes += take;
        n -= take;
        flushWhenFull();
    }
}

void RasterBlockWriter::endPixels() {
    if (bitCount_ == 0) return;
    block_.push_back(bits_);
    bits_ = 0;
    bitCount_ = 0;
    flushWhenFull();
}

} // namespace tracemill
