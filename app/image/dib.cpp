#include "app/image/dib.h"

#include <algorithm>
#include <cmath>

#include "app/image/image_file_io.h"

namespace tracemill {

CDib::CDib() = default;
CDib::~CDib() = default;
CDib::CDib(CDib&&) noexcept = default;
CDib& CDib::operator=(CDib&&) noexcept = default;

bool CDib::Replace(std::optional<PackedDib> block) {
    if (!block) return false;
    dib_ = std::move(block);
    Rebuild();
    return true;
}

void CDib::Rebuild() {
    deviceColors_.clear();
    if (!dib_) return;
    for (const RgbQuad& q : dib_->colors) deviceColors_.push_back(gdi::rgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
}

bool CDib::Create(int32_t width, int32_t height, int bitCount) { return Replace(CreateDib(width, height, bitCount)); }

bool CDib::CreateCompatible(int32_t width, int32_t height) {
    std::optional<PackedDib> block = CreateDib(width, height, 24);
    if (!block) return false;
    std::fill(block->bits.begin(), block->bits.end(), uint8_t(0xFF));
    return Replace(std::move(block));
}

bool CDib::CreateFromPackedDib(std::span<const uint8_t> packed, int bitCount) {
    std::optional<PackedDib> block = ParsePackedDib(packed);
    if (!block) return false;
    return CreateFromPackedDib(*block, bitCount);
}

bool CDib::CreateFromPackedDib(const PackedDib& packed, int bitCount) {
    if (bitCount != 0 && bitCount != packed.header.biBitCount)
        return Replace(ConvertDibFormat(packed, bitCount, nullptr));
    // Round trip through the bytes so that only a consistent block is taken.
    return Replace(ParsePackedDib(PackedDibBytes(packed)));
}

bool CDib::Attach(PackedDib block) { return CreateFromPackedDib(block); }

std::optional<PackedDib> CDib::Detach() {
    std::optional<PackedDib> block = std::move(dib_);
    dib_.reset();
    Rebuild();
    return block;
}

void CDib::Destroy() {
    dib_.reset();
    Rebuild();
}

std::unique_ptr<CDib> CDib::Clone() const {
    if (!dib_) return nullptr;
    auto copy = std::make_unique<CDib>();
    copy->dib_ = *dib_;
    copy->Rebuild();
    return copy;
}

bool CDib::Read(std::span<const uint8_t> fileImage) { return Replace(ReadBmpFileImage(fileImage)); }

bool CDib::Write(std::vector<uint8_t>& fileImage) {
    if (!dib_) return false;
    std::optional<std::vector<uint8_t>> bytes = WriteBmpFileImage(*dib_);
    if (!bytes) return false;
    fileImage = std::move(*bytes);
    return true;
}

bool CDib::Load(const std::filesystem::path& path) {
    std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
    return bytes && Read(*bytes);
}

bool CDib::Save(const std::filesystem::path& path) {
    std::vector<uint8_t> bytes;
    return Write(bytes) && WriteFileBytes(path, bytes);
}

bool CDib::SetPaletteEntries(std::span<const PaletteEntry> entries) {
    if (!dib_) return false;
    const int bitCount = dib_->header.biBitCount;
    if (bitCount >= 24) return true;
    if (bitCount == 1 || bitCount == 4 || bitCount == 8) {
        const size_t n = std::min({entries.size(), size_t(1) << bitCount, size_t(dib_->colors.size())});
        for (size_t i = 0; i < n; ++i)
            dib_->colors[i] = RgbQuad{entries[i].blue, entries[i].green, entries[i].red, 0};
    }
    Rebuild();
    return true;
}

Palette CDib::GetPalette() const { return dib_ ? CreateDibPalette(*dib_) : Palette{}; }

uint8_t* CDib::GetBits() { return dib_ ? dib_->bits.data() : nullptr; }
const uint8_t* CDib::GetBits() const { return dib_ ? dib_->bits.data() : nullptr; }
int32_t CDib::GetWidth() const { return dib_ ? dib_->header.biWidth : 0; }
int32_t CDib::GetHeight() const { return dib_ ? dib_->header.biHeight : 0; }
int CDib::GetBitCount() const { return dib_ ? dib_->header.biBitCount : 0; }
uint32_t CDib::GetCompression() const { return dib_ ? dib_->header.biCompression : 0; }
uint32_t CDib::GetColorCount() const { return dib_ ? DibNumColors(dib_->header) : 0; }
uint32_t CDib::GetPaletteSize() const { return dib_ ? DibPaletteSize(dib_->header) : 0; }
uint32_t CDib::GetBytesPerLine() const { return dib_ ? uint32_t(DibBytesPerLine(dib_->header)) : 0; }

uint64_t CDib::GetPixelOffset(int32_t x, int32_t y) const {
    if (!dib_) return 0;
    return uint64_t(int64_t(GetHeight()) - 1 - y) * DibBytesPerLine(dib_->header) +
           uint64_t(x) * uint64_t(GetBitCount()) / 8;
}

gdi::ColorRef CDib::GetPixel(int32_t x, int32_t y) const {
    if (!dib_ || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return 0;
    const int32_t row = GetHeight() - 1 - y;
    if (GetBitCount() == 1) {
        const uint64_t offset = GetPixelOffset(x, y);
        if (offset >= dib_->bits.size() || GetCompression() != kBiRgb) return 0;
        return (dib_->bits[offset] >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0;
    }
    const uint32_t c = DibStoredPixelRgb(*dib_, x, row);
    return gdi::rgb(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c));
}

bool CDib::ChangeBitCount(int bitCount) {
    if (!dib_) return false;
    if (bitCount == GetBitCount()) return true;
    return Replace(ConvertDibFormat(*dib_, bitCount, nullptr));
}

bool CDib::ChangeBitCountQuantized(int bitCount) {
    if (!dib_) return false;
    if (bitCount < 9) return Replace(QuantizeDib(*dib_, bitCount, 1 << std::max(bitCount, 0)));
    return Replace(ConvertDibFormat(*dib_, bitCount, nullptr));
}

bool CDib::StorePixels32(std::span<const uint32_t> pixels) {
    if (!dib_) return false;
    PackedDib copy = *dib_;
    if (!PackDibFrom32(copy, pixels)) return false;
    dib_ = std::move(copy);
    return true;
}

gdi::DibView CDib::View() const {
    if (!dib_ || dib_->header.biCompression == kBiRle8 || dib_->header.biCompression == kBiRle4) return {};
    return gdi::DibView{GetWidth(), GetHeight(), GetBitCount(), deviceColors_, dib_->bits};
}

bool CDib::Draw(gdi::DeviceContext& dc, int32_t x, int32_t y, gdi::RasterOp op) const {
    return Draw(dc, x, y, GetWidth(), GetHeight(), 0, 0, op);
}

bool CDib::Draw(gdi::DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height, int32_t xSrc,
                int32_t ySrc, gdi::RasterOp op) const {
    return StretchDraw(dc, x, y, width, height, xSrc, ySrc, width, height, op);
}

bool CDib::StretchDraw(gdi::DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height, int32_t xSrc,
                       int32_t ySrc, int32_t widthSrc, int32_t heightSrc, gdi::RasterOp op) const {
    return StretchDraw(dc, gdi::Rect{x, y, x + width, y + height},
                       gdi::Rect{xSrc, ySrc, xSrc + widthSrc, ySrc + heightSrc}, op);
}

bool CDib::StretchDraw(gdi::DeviceContext& dc, const gdi::Rect& destination, const gdi::Rect& source,
                       gdi::RasterOp op) const {
    const gdi::DibView view = View();
    if (view.width <= 0) return false;
    dc.stretchDib(destination, source, view, op);
    return true;
}

bool CDib::DrawTransparent(gdi::DeviceContext& dc, int32_t x, int32_t y, gdi::ColorRef transparent) const {
    const gdi::DibView view = View();
    if (view.width <= 0) return false;
    dc.transparentDib({x, y}, view, transparent);
    return true;
}

bool CDib::DisplayPalette(gdi::DeviceContext& dc, const gdi::Rect& area) const {
    const size_t n = std::min<size_t>(deviceColors_.size(), 256);
    if (n == 0) return false;
    const int32_t side = int32_t(std::sqrt(double(n)));
    const int32_t cellWidth = area.width() / side, cellHeight = area.height() / side;
    for (size_t i = 0; i < n; ++i) {
        const int32_t row = int32_t(i) / side, column = int32_t(i) % side;
        const int32_t left = area.left + column * cellWidth, top = area.top + row * cellHeight;
        dc.fillRect({left, top, left + cellWidth, top + cellHeight}, deviceColors_[i]);
    }
    return true;
}

} // namespace tracemill
