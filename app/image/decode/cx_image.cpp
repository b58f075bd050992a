#include "app/image/decode/cx_image.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <new>

namespace tracemill {

namespace {

std::atomic<uint64_t> memoryLimit{CXIMAGE_MAX_MEMORY};

// Saturates: a resolution read from a file may be far beyond any real device.
int32_t pelsPerMeter(int32_t dpi) {
    double value = std::floor(dpi * 39.37007874015748 + 0.5);
    return value >= double(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                : int32_t(value);
}
} // namespace

uint64_t CxImage::GetMemoryLimit() { return memoryLimit.load(std::memory_order_relaxed); }

void CxImage::SetMemoryLimit(uint64_t bytes) {
    memoryLimit.store(std::min(bytes, CXIMAGE_MAX_MEMORY), std::memory_order_relaxed);
}

CxImage::CxImage(uint32_t type) { InitFields(type); }

CxImage::CxImage(const char* fileName, uint32_t type) {
    InitFields(type);
    Load(fileName, type);
}

CxImage::CxImage(uint32_t width, uint32_t height, uint32_t bitCount, uint32_t type) {
    InitFields(type);
    Create(width, height, bitCount, type);
}

CxImage::CxImage(const CxImage& source, bool copyPixels, bool copySelection, bool copyAlpha) {
    InitFields(source.info_.type);
    Copy(source, copyPixels, copySelection, copyAlpha);
}

CxImage::~CxImage() { Destroy(); }

void CxImage::InitFields(uint32_t type) {
    dib_.reset();
    selection_.clear();
    alpha_.clear();
    layers_.clear();
    head_ = BitmapInfoHeader{};
    info_ = Attributes{};
    info_.type = type;
    SetXResolution(96);
    SetYResolution(96);
}

bool CxImage::Destroy() {
    if (info_.ghost) return false;
    layers_.clear();
    selection_.clear();
    alpha_.clear();
    dib_.reset();
    return true;
}

void CxImage::SetLastError(const std::string& text) { info_.lastError = text.substr(0, 255); }

bool CxImage::Create(uint32_t width, uint32_t height, uint32_t bitCount, uint32_t type) {
    if (!Destroy()) return false;
    if (width == 0 || height == 0) {
        SetLastError("CxImage::Create : width and height must be greater than zero");
        return false;
    }
    if (bitCount <= 1) bitCount = 1;
    else if (bitCount <= 4) bitCount = 4;
    else if (bitCount <= 8) bitCount = 8;
    else bitCount = 24;

    // The header holds signed 32-bit sizes and a 32-bit image size: anything larger, or above
    // the memory limit, is refused before allocation.
    const uint32_t colours = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
    const uint64_t rowLength = dibRowLength(width, bitCount);
    const uint64_t imageSize = rowLength * height;
    constexpr uint64_t kInt32Max = uint64_t(std::numeric_limits<int32_t>::max());
    if (width > kInt32Max || height > kInt32Max || imageSize > std::numeric_limits<uint32_t>::max() ||
        imageSize + 4ull * colours > GetMemoryLimit()) {
        SetLastError("CXIMAGE_MAX_MEMORY exceeded");
        return false;
    }

    info_.type = type;
    info_.rowLength = uint32_t(rowLength);
    head_.biSize = kBitmapInfoHeaderSize;
    head_.biWidth = int32_t(width);
    head_.biHeight = int32_t(height);
    head_.biPlanes = 1;
    head_.biBitCount = uint16_t(bitCount);
    head_.biCompression = kBiRgb;
    head_.biSizeImage = uint32_t(imageSize);
    head_.biClrUsed = colours;
    head_.biClrImportant = 0;
    // The pixels per metre follow the resolution fields, also when those came in by
    // CopyAttributes.
    head_.biXPelsPerMeter = pelsPerMeter(info_.xResolution);
    head_.biYPelsPerMeter = pelsPerMeter(info_.yResolution);
    try {
        auto dib = std::make_unique<Dib>();
        dib->palette.resize(colours);
        // Pixels start cleared, so rows a decoder leaves unfilled hold index 0 or black.
        dib->pixels.resize(imageSize);
        dib_ = std::move(dib);
    } catch (const std::bad_alloc&) {
        SetLastError("CxImage::Create can't allocate memory");
        return false;
    }
    return true;
}

bool CxImage::TakeOver(CxImage& source) {
    if (!Destroy()) return false;
    head_ = source.head_;
    info_ = source.info_;
    dib_ = std::move(source.dib_);
    selection_ = std::move(source.selection_);
    alpha_ = std::move(source.alpha_);
    layers_ = std::move(source.layers_);
    source.head_ = BitmapInfoHeader{};
    source.info_ = Attributes{};
    source.selection_.clear();
    source.alpha_.clear();
    source.layers_.clear();
    return true;
}

void CxImage::CopyAttributes(const CxImage& source) {
    if (dib_) return;
    info_ = source.info_;
}

void CxImage::Copy(const CxImage& source, bool copyPixels, bool copySelection, bool copyAlpha) {
    info_ = source.info_;
    if (!Create(source.GetWidth(), source.GetHeight(), source.GetBitCount(), source.GetType())) return;
    if (source.dib_) {
        if (copyPixels) {
            head_ = source.head_;
            *dib_ = *source.dib_;
        } else {
            const size_t n = std::min(dib_->palette.size(), source.dib_->palette.size());
            std::copy_n(source.dib_->palette.begin(), n, dib_->palette.begin());
        }
    }
    if (copySelection && !source.selection_.empty()) selection_ = source.selection_;
    if (copyAlpha && !source.alpha_.empty()) alpha_ = source.alpha_;
}

std::vector<uint8_t> CxImage::MakePackedDib() const {
    std::vector<uint8_t> packed;
    if (!dib_) return packed;
    packed.reserve(GetDibSize());
    auto header = BitmapInfoHeaderLayout::encode(head_);
    packed.insert(packed.end(), header.begin(), header.end());
    for (const RgbQuad& entry : dib_->palette) {
        auto bytes = RgbQuadLayout::encode(entry);
        packed.insert(packed.end(), bytes.begin(), bytes.end());
    }
    packed.insert(packed.end(), dib_->pixels.begin(), dib_->pixels.end());
    return packed;
}


void CxImage::SetXResolution(int32_t dpi) {
    if (dpi < 1) dpi = 96;
    info_.xResolution = dpi;
    head_.biXPelsPerMeter = pelsPerMeter(dpi);
}

void CxImage::SetYResolution(int32_t dpi) {
    if (dpi < 1) dpi = 96;
    info_.yResolution = dpi;
    head_.biYPelsPerMeter = pelsPerMeter(dpi);
}

uint32_t CxImage::GetFormatOption(uint32_t format) const {
    if (format >= CXIMAGE_MAX_FORMATS) return 0;
    if (format == 0) format = info_.type;
    return format < CXIMAGE_MAX_FORMATS ? info_.formatOptions[format] : 0;
}

bool CxImage::SetFormatOption(uint32_t option, int64_t format) {
    if (format < 0 || format >= int64_t(CXIMAGE_MAX_FORMATS)) return false;
    if (format == 0) format = info_.type;
    if (format >= int64_t(CXIMAGE_MAX_FORMATS)) return false;
    info_.formatOptions[size_t(format)] = option;
    return true;
}

void CxImage::SetTransparentColor(RgbQuad colour) {
    colour.rgbReserved = 0;
    info_.transparentColour = colour;
}

} // namespace tracemill
