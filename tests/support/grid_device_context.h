// A device context over a grid of colours without Qt, so that tests see each pixel the rules
// put down (the clip is not applied; every pixel outside the device is a test failure).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gdi/device_context.h"

namespace tracemill::test {

class GridContext : public gdi::DeviceContext {
public:
    GridContext(int width, int height, gdi::ColorRef background = 0xFFFFFF)
        : width_(width), height_(height), pixels_(size_t(width * height), background) {}
    gdi::Size deviceSize() const override { return {width_, height_}; }
    gdi::ColorRef at(int x, int y) const { return pixels_[size_t(y * width_ + x)]; }
    int count(gdi::ColorRef c) const { return int(std::count(pixels_.begin(), pixels_.end(), c)); }

protected:
    void deviceFillRects(std::span<const gdi::PixelRect> rects, gdi::ColorRef color) override {
        for (const gdi::PixelRect& r : rects)
            for (int y = r.y; y < r.y + r.height; ++y)
                for (int x = r.x; x < r.x + r.width; ++x) {
                    EXPECT_TRUE(x >= 0 && y >= 0 && x < width_ && y < height_) << "outside the device";
                    pixels_[size_t(y * width_ + x)] = color;
                }
    }
    void deviceDrawBitmap(int32_t x0, int32_t y0, const gdi::Bitmap32& b, gdi::RasterOp, bool keyed) override {
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const uint32_t p = b.pixels[size_t(y * b.width + x)];
                if (keyed && (p >> 24) == 0) continue;
                pixels_[size_t((y0 + y) * width_ + x0 + x)] = gdi::rgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
            }
    }
    void deviceDrawText(gdi::Point, std::string_view, const gdi::Font&, gdi::ColorRef,
                        std::optional<gdi::ColorRef>) override {}
    gdi::Size deviceTextExtent(std::string_view text, const gdi::Font& font) override {
        return {int32_t(text.size()) * 7, font.height};
    }
    void deviceSetClip(const std::vector<std::vector<gdi::Point>>&) override {}

private:
    int width_, height_;
    std::vector<gdi::ColorRef> pixels_;
};

} // namespace tracemill::test
