#include "app/image/pcx_file.h"

#include <cstring>
#include <optional>

#include "app/image/image_file_io.h"
#include "app/image/pcx_format.h"

namespace tracemill {
namespace {

constexpr uint8_t kPcxVersion = 5;
constexpr uint16_t kPcxPaletteInfoColour = 2;
constexpr int kMaxRun = 63;
constexpr size_t kPaletteBytes = size_t(kPcxPaletteColours) * 3;

} // namespace

void EncodePcxRow(std::span<const uint8_t> row, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < row.size()) {
        int n = 0;
        while (n < kMaxRun && i + size_t(n) + 1 < row.size() && row[i + size_t(n)] == row[i + size_t(n) + 1]) ++n;
        if (n > 0) {
            out.push_back(uint8_t(kPcxRunFlag | n));
            out.push_back(row[i]);
            i += size_t(n);
        } else {
            if (row[i] >= kPcxRunFlag) out.push_back(kPcxRunFlag | 1);
            out.push_back(row[i]);
            ++i;
        }
    }
}

CPcxFile::CPcxFile() = default;
CPcxFile::CPcxFile(const CDib& dib) : dib_(dib.Clone()) {}
CPcxFile::~CPcxFile() = default;

bool CPcxFile::SetDib(const CDib* dib) {
    if (!dib || dib->IsEmpty()) return false;
    dib_ = dib->Clone();
    return true;
}

bool CPcxFile::Save(const std::filesystem::path& path, const CDib* dib) {
    const CDib* image = dib ? dib : dib_.get();
    if (!image || image->IsEmpty()) return false;
    std::unique_ptr<CDib> work = image->Clone();
    if (!work || (work->GetBitCount() != 8 && !work->ChangeBitCount(8))) return false;
    const int32_t width = work->GetWidth(), height = work->GetHeight();
    if (width > 0xFFFF || height > 0xFFFF) return false;

    PcxHeader header;
    header.manufacturer = kPcxManufacturer;
    header.version = kPcxVersion;
    header.encoding = kPcxRunLengthEncoding;
    header.bitsPerPixel = 8;
    header.xMax = uint16_t(width - 1);
    header.yMax = uint16_t(height - 1);
    header.colourMap[3] = header.colourMap[4] = header.colourMap[5] = 255; // entry 1 white
    header.planes = 1;
    header.bytesPerLine = uint16_t(width);
    header.paletteInfo = kPcxPaletteInfoColour;
    const auto headerBytes = PcxHeaderLayout::encode(header);

    std::vector<uint8_t> out(headerBytes.begin(), headerBytes.end());
    const uint8_t* bits = work->GetBits();
    const size_t stride = work->GetBytesPerLine();
    for (int32_t y = height - 1; y >= 0; --y)
        EncodePcxRow(std::span<const uint8_t>(bits + size_t(y) * stride, size_t(width)), out);
    out.push_back(kPcxPaletteMarker);
    const Palette palette = work->GetPalette();
    for (int i = 0; i < kPcxPaletteColours; ++i) {
        const PaletteEntry e = size_t(i) < palette.size() ? palette[size_t(i)] : PaletteEntry{};
        out.push_back(e.red);
        out.push_back(e.green);
        out.push_back(e.blue);
    }
    return WriteFileBytes(path, out);
}

bool CPcxFile::Load(const std::filesystem::path& path) {
    const std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
    if (!bytes || bytes->size() < PcxHeaderLayout::kSize + 1 + kPaletteBytes) return false;
    const std::vector<uint8_t>& file = *bytes;
    const PcxHeader header = PcxHeaderLayout::decode(file.data());
    if (header.manufacturer != kPcxManufacturer || header.version != kPcxVersion) return false;
    const size_t markerAt = file.size() - kPaletteBytes - 1;
    if (file[markerAt] != kPcxPaletteMarker) return false;
    if (header.xMax < header.xMin || header.yMax < header.yMin) return false;
    const int32_t width = int32_t(header.xMax) - header.xMin + 1;
    const int32_t height = int32_t(header.yMax) - header.yMin + 1;
    const size_t bytesPerLine = header.bytesPerLine;
    if (bytesPerLine < size_t(width)) return false;
    // A run of at most 63 bytes takes two bytes of data: refuse sizes the data cannot fill.
    if (uint64_t(bytesPerLine) * uint64_t(height) > 32 * uint64_t(markerAt - PcxHeaderLayout::kSize)) return false;
    std::optional<PackedDib> block = CreateDib(width, height, 8);
    if (!block) return false;
    for (int i = 0; i < kPcxPaletteColours; ++i) {
        const uint8_t* e = file.data() + markerAt + 1 + i * 3;
        block->colors[size_t(i)] = RgbQuad{e[2], e[1], e[0], 0};
    }
    const uint64_t stride = DibBytesPerLine(block->header);
    std::vector<uint8_t> line(bytesPerLine);
    size_t pos = PcxHeaderLayout::kSize;
    for (int32_t y = 0; y < height; ++y) {
        size_t filled = 0;
        while (filled < bytesPerLine) {
            if (pos >= markerAt) return false;
            uint8_t b = file[pos++];
            size_t count = 1;
            if (b >= kPcxRunFlag) {
                count = b & kPcxRunCountMask;
                if (pos >= markerAt) return false;
                b = file[pos++];
            }
            for (size_t k = 0; k < count && filled < bytesPerLine; ++k) line[filled++] = b;
        }
        std::memcpy(block->bits.data() + size_t(height - 1 - y) * stride, line.data(), size_t(width));
    }
    auto image = std::make_unique<CDib>();
    if (!image->Attach(std::move(*block))) return false;
    dib_ = std::move(image);
    return true;
}

} // namespace tracemill
