// Pictures the raster file tests write: random noise and a few flat colours.
#pragma once

#include <random>

#include "app/image/dib.h"

namespace tracemill::test {

inline void setPixel24(CDib& dib, int x, int y, gdi::ColorRef c) {
    uint8_t* p = dib.GetBits() + dib.GetPixelOffset(x, y);
    p[0] = gdi::blueOf(c);
    p[1] = gdi::greenOf(c);
    p[2] = gdi::redOf(c);
}

// A 24-bit picture of random colours.
inline CDib noiseImage(int width, int height, unsigned seed) {
    CDib dib;
    dib.Create(width, height, 24);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) setPixel24(dib, x, y, random() & 0xFFFFFF);
    return dib;
}

inline std::filesystem::path tempFile(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("tracemill_" + std::to_string(::getpid()) + "_" + name);
}

} // namespace tracemill::test
