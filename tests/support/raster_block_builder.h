// Builds the tagged blocks of raster data that display generation sends through hook 17, so
// that the hosts' raster-data hooks can be checked on exact geometry.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "toolkit/display/raster/raster_data_block.h"

namespace tracemill::test {

struct RasterEnd {
    double x = 0, y = 0;
    double column = 0;
    double fraction = 0;
    uint8_t red = 0, green = 0, blue = 0;
};

class RasterBlockBuilder {
public:
    RasterBlockBuilder& header(uint32_t width, uint32_t height, int32_t format) {
        put32(kRasterImageHeaderTag);
        put32(width);
        put32(height);
        put32(uint32_t(format));
        return *this;
    }
    RasterBlockBuilder& rowStart() {
        put32(kRasterRowStartTag);
        return *this;
    }
    RasterBlockBuilder& piece(const RasterEnd& start, const RasterEnd& end, uint32_t pixels, double dx, double dy) {
        put32(kRasterRowPieceTag);
        endBlock(start, 0.0);
        endBlock(end, 0.0);
        put32(pixels);
        putDouble(dx);
        putDouble(dy);
        return *this;
    }
    RasterBlockBuilder& rgb(uint8_t r, uint8_t g, uint8_t b) {
        bytes.insert(bytes.end(), {r, g, b});
        return *this;
    }
    RasterBlockBuilder& raw(std::initializer_list<uint8_t> b) {
        bytes.insert(bytes.end(), b);
        return *this;
    }

    std::vector<uint8_t> bytes;

private:
    void put32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    }
    void putDouble(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i) bytes.push_back(uint8_t(bits >> (8 * i)));
    }
    void endBlock(const RasterEnd& e, double rowLine) {
        putDouble(e.x);
        putDouble(e.y);
        putDouble(e.column);
        putDouble(rowLine);
        putDouble(e.fraction);
        bytes.insert(bytes.end(), {e.red, e.green, e.blue, 0, 0, 0, 0, 0});
    }
};

} // namespace tracemill::test
