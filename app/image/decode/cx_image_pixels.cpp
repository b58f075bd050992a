// Palette and pixel access of CxImage.
#include <algorithm>
#include <cstring>

#include "app/image/decode/cx_image.h"

namespace tracemill {

RgbQuad* CxImage::GetPalette() {
    if (!dib_ || dib_->palette.empty()) return nullptr;
    return dib_->palette.data();
}

uint8_t* CxImage::GetRow(uint32_t row) {
    if (!dib_ || row >= GetHeight()) return nullptr;
    return dib_->pixels.data() + uint64_t(row) * info_.rowLength;
}

bool CxImage::Contains(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < int64_t(GetWidth()) && y < int64_t(GetHeight());
}

uint64_t CxImage::PixelOffset(uint32_t x, uint32_t y) const {
    return uint64_t(y) * info_.rowLength + (uint64_t(x) * head_.biBitCount) / 8;
}

uint8_t* CxImage::GetPixelPointer(uint32_t x, uint32_t y) {
    if (!dib_ || HasPalette()) return nullptr;
    return dib_->pixels.data() + PixelOffset(x, y);
}

void CxImage::SetPaletteColor(uint32_t index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    if (!dib_ || index >= dib_->palette.size()) return;
    dib_->palette[index] = RgbQuad{blue, green, red, alpha};
    info_.cacheValid = false;
}

RgbQuad CxImage::GetPaletteColor(uint32_t index) const {
    if (!dib_ || index >= dib_->palette.size()) return RgbQuad{};
    return dib_->palette[index];
}

void CxImage::SetPalette(const RgbQuad* entries, uint32_t count) {
    if (!dib_ || !entries) return;
    std::copy_n(entries, std::min<size_t>(count, dib_->palette.size()), dib_->palette.begin());
    info_.cacheValid = false;
}

void CxImage::SetPalette(const uint8_t* rgbTriples, uint32_t count) {
    if (!dib_ || !rgbTriples) return;
    count = uint32_t(std::min<size_t>(count, dib_->palette.size()));
    for (uint32_t i = 0; i < count; ++i) {
        RgbQuad& entry = dib_->palette[i];
        entry.rgbRed = rgbTriples[3 * i];
        entry.rgbGreen = rgbTriples[3 * i + 1];
        entry.rgbBlue = rgbTriples[3 * i + 2];
    }
    info_.cacheValid = false;
}

void CxImage::SetPalette(uint32_t count, const uint8_t* reds, const uint8_t* greens, const uint8_t* blues) {
    if (!dib_ || !reds) return;
    if (!greens) greens = reds;
    if (!blues) blues = greens;
    count = uint32_t(std::min<size_t>(count, dib_->palette.size()));
    for (uint32_t i = 0; i < count; ++i) {
        RgbQuad& entry = dib_->palette[i];
        entry.rgbRed = reds[i];
        entry.rgbGreen = greens[i];
        entry.rgbBlue = blues[i];
    }
    info_.cacheValid = false;
}

void CxImage::SetGreyPalette() {
    if (!dib_ || dib_->palette.size() < 2) return;
    const uint32_t step = 255 / uint32_t(dib_->palette.size() - 1);
    for (uint32_t i = 0; i < dib_->palette.size(); ++i) {
        const uint8_t grey = uint8_t(i * step);
        dib_->palette[i] = RgbQuad{grey, grey, grey, dib_->palette[i].rgbReserved};
    }
    info_.cacheValid = false;
}

uint8_t CxImage::PeekPixelIndex(uint32_t x, uint32_t y) const {
    return RowPixelIndex(dib_->pixels.data() + uint64_t(y) * info_.rowLength, head_.biBitCount, x);
}

uint8_t CxImage::GetPixelIndex(int64_t x, int64_t y) const {
    if (!dib_ || !HasPalette()) return 0;
    if (!Contains(x, y)) {
        if (info_.transparentIndex != -1) return uint8_t(info_.transparentIndex);
        return dib_->pixels[0];
    }
    return PeekPixelIndex(uint32_t(x), uint32_t(y));
}

void CxImage::SetPixelIndex(int64_t x, int64_t y, uint8_t index) {
    if (!dib_ || !HasPalette() || !Contains(x, y)) return;
    SetRowPixelIndex(dib_->pixels.data() + uint64_t(y) * info_.rowLength, head_.biBitCount, uint32_t(x),
                     index);
}

RgbQuad CxImage::GetPixelColor(int64_t x, int64_t y) const {
    RgbQuad colour{};
    if (!dib_ || !Contains(x, y)) {
        if (info_.transparentIndex == -1) {
            colour = dib_ ? GetPixelColor(0, 0) : info_.transparentColour;
        } else {
            colour = head_.biBitCount < 24 ? GetPaletteColor(uint32_t(info_.transparentIndex))
                                           : info_.transparentColour;
        }
        colour.rgbReserved = 0;
        return colour;
    }
    if (HasPalette()) {
        colour = GetPaletteColor(PeekPixelIndex(uint32_t(x), uint32_t(y)));
    } else {
        const uint8_t* p = dib_->pixels.data() + PixelOffset(uint32_t(x), uint32_t(y));
        colour = RgbQuad{p[0], p[1], p[2], 0};
    }
    colour.rgbReserved = 0;
    return colour;
}

void CxImage::SetPixelColor(int64_t x, int64_t y, RgbQuad colour) {
    if (!dib_ || !Contains(x, y)) return;
    if (HasPalette()) {
        SetPixelIndex(x, y, FindNearestIndex(colour));
        return;
    }
    uint8_t* p = dib_->pixels.data() + PixelOffset(uint32_t(x), uint32_t(y));
    p[0] = colour.rgbBlue;
    p[1] = colour.rgbGreen;
    p[2] = colour.rgbRed;
}

void CxImage::SetPixelColor(int64_t x, int64_t y, ColorRef colour) {
    SetPixelColor(x, y, ColorrefToQuad(colour));
}

RgbQuad CxImage::ColorrefToQuad(ColorRef colour) {
    return RgbQuad{uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour), 0};
}

uint8_t CxImage::FindNearestIndex(RgbQuad colour) {
    if (!dib_ || dib_->palette.empty()) return 0;
    if (info_.cacheValid && info_.cachedColour.rgbBlue == colour.rgbBlue &&
        info_.cachedColour.rgbGreen == colour.rgbGreen && info_.cachedColour.rgbRed == colour.rgbRed)
        return info_.cachedIndex;
    size_t candidates = dib_->palette.size();
    if (head_.biClrImportant != 0) candidates = std::min<size_t>(candidates, head_.biClrImportant);
    long best = 200000;
    uint8_t bestIndex = 0;
    for (size_t i = 0; i < candidates; ++i) {
        const RgbQuad& e = dib_->palette[i];
        const long db = long(e.rgbBlue) - colour.rgbBlue;
        const long dg = long(e.rgbGreen) - colour.rgbGreen;
        const long dr = long(e.rgbRed) - colour.rgbRed;
        const long distance = db * db + dg * dg + dr * dr;
        if (distance < best) {
            best = distance;
            bestIndex = uint8_t(i);
            if (distance == 0) break;
        }
    }
    info_.cachedColour = colour;
    info_.cachedIndex = bestIndex;
    info_.cacheValid = true;
    return bestIndex;
}

void CxImage::Fill(uint8_t value) {
    if (!dib_) return;
    if (head_.biBitCount == 1 && value != 0) value = 255;
    if (head_.biBitCount == 4) value = uint8_t((value % 16) * 17);
    std::fill(dib_->pixels.begin(), dib_->pixels.end(), value);
}

void CxImage::SwapRedBlue(uint8_t* buffer, uint64_t length) const {
    if (!buffer || HasPalette()) return;
    length = std::min<uint64_t>(length, info_.rowLength);
    for (uint64_t i = 0; i + 2 < length; i += 3) std::swap(buffer[i], buffer[i + 2]);
}

} // namespace tracemill
