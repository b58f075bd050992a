// Whole-picture transforms of CxImage: mirror, flip and quarter turns. Each builds the result
// in a new picture and takes it over, so a failure leaves this picture as it was.
#include <algorithm>
#include <cstring>

#include "app/image/decode/cx_image.h"

namespace tracemill {

bool CxImage::MirrorHorizontally() {
    if (!dib_) return false;
    CxImage mirrored(*this, false, false, true);
    if (!mirrored.IsValid()) return false;
    const uint32_t width = GetWidth();
    const uint32_t height = GetHeight();
    const uint32_t bytesPerPixel = head_.biBitCount / 8;
    for (uint32_t y = 0; y < height; ++y) {
        if (bytesPerPixel > 0) {
            const uint8_t* src = GetRow(y);
            uint8_t* dst = mirrored.GetRow(y);
            for (uint32_t x = 0; x < width; ++x)
                std::memcpy(dst + uint64_t(width - 1 - x) * bytesPerPixel, src + uint64_t(x) * bytesPerPixel,
                            bytesPerPixel);
        } else {
            for (uint32_t x = 0; x < width; ++x) mirrored.SetPixelIndex(width - 1 - x, y, PeekPixelIndex(x, y));
        }
    }
    return TakeOver(mirrored);
}

bool CxImage::FlipVertically() {
    if (!dib_) return false;
    CxImage flipped(*this, false, false, true);
    if (!flipped.IsValid()) return false;
    const uint32_t height = GetHeight();
    for (uint32_t y = 0; y < height; ++y) std::memcpy(flipped.GetRow(height - 1 - y), GetRow(y), info_.rowLength);
    return TakeOver(flipped);
}

namespace {

// Pixels are moved in square blocks so that reads and writes stay near each other.
constexpr uint32_t kTurnBlock = 64;

} // namespace

// A quarter turn: clockwise when `clockwise` is set. In stored (bottom-up) coordinates a
// clockwise turn moves pixel (x, y) to (y, width - 1 - x), a counter-clockwise one to
// (height - 1 - y, x).
static bool turnQuarter(CxImage& self, CxImage* target, bool clockwise) {
    if (!self.IsValid()) return false;
    const uint32_t width = self.GetWidth();
    const uint32_t height = self.GetHeight();
    CxImage turned(self.GetType());
    turned.CopyAttributes(self);
    if (!turned.Create(height, width, self.GetBitCount(), self.GetType())) return false;
    turned.SetPalette(self.GetPalette(), uint32_t(self.GetPaletteSize() / 4));
    const uint32_t bytesPerPixel = self.GetBitCount() / 8;
    for (uint32_t by = 0; by < height; by += kTurnBlock) {
        for (uint32_t bx = 0; bx < width; bx += kTurnBlock) {
            const uint32_t yEnd = std::min(height, by + kTurnBlock);
            const uint32_t xEnd = std::min(width, bx + kTurnBlock);
            for (uint32_t y = by; y < yEnd; ++y) {
                for (uint32_t x = bx; x < xEnd; ++x) {
                    const uint32_t nx = clockwise ? y : height - 1 - y;
                    const uint32_t ny = clockwise ? width - 1 - x : x;
                    if (bytesPerPixel > 0) {
                        std::memcpy(turned.GetRow(ny) + uint64_t(nx) * bytesPerPixel,
                                    self.GetRow(y) + uint64_t(x) * bytesPerPixel, bytesPerPixel);
                    } else {
                        turned.SetPixelIndex(nx, ny, self.PeekPixelIndex(x, y));
                    }
                }
            }
        }
    }
    return target ? target->TakeOver(turned) : self.TakeOver(turned);
}

bool CxImage::TurnQuarterLeft(CxImage* target) { return turnQuarter(*this, target, false); }

bool CxImage::TurnQuarterRight(CxImage* target) { return turnQuarter(*this, target, true); }

} // namespace tracemill
