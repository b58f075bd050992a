// CDib: the program's in-memory raster image (back buffers, raster export, the carrier
// between the decoders and the display). It owns one packed DIB and keeps beside it the
// colour table as device colours, from which it is drawn onto any device context.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "app/image/packed_dib.h"
#include "platform/gdi/device_context.h"

namespace tracemill {

class CDib {
public:
    CDib();
    ~CDib();
    CDib(CDib&&) noexcept;
    CDib& operator=(CDib&&) noexcept;
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // --- Creation: on failure each returns false and the old image stays.
    bool Create(int32_t width, int32_t height, int bitCount);
    // 24 bits (the screen's depth), every pixel byte 0xFF.
    bool CreateCompatible(int32_t width, int32_t height);
    // A copy of a packed DIB, converted without a palette when `bitCount` (not 0) differs.
    bool CreateFromPackedDib(std::span<const uint8_t> packed, int bitCount = 0);
    bool CreateFromPackedDib(const PackedDib& packed, int bitCount = 0);
    // Adopts a block; false when it does not hold a consistent image.
    bool Attach(PackedDib block);
    // Gives up the block (none when empty).
    std::optional<PackedDib> Detach();
    void Destroy();
    // A copy with its own block; null when empty.
    std::unique_ptr<CDib> Clone() const;

    // --- ".bmp" file images. Read needs "BM" and a 40-byte header, and refuses counts that
    // do not fit the data. Write refuses an empty image; it stores biSizeImage.
    bool Read(std::span<const uint8_t> fileImage);
    bool Write(std::vector<uint8_t>& fileImage);
    bool Load(const std::filesystem::path& path);
    // Written to a temporary file and renamed over `path` only when complete.
    bool Save(const std::filesystem::path& path);

    // --- Palette and pixels.
    // Entries red, green, blue, flags; the first min(count, table size) go into the table
    // of 1-, 4- and 8-bit images. True without change from 24 bits up; false when empty.
    bool SetPaletteEntries(std::span<const PaletteEntry> entries);
    Palette GetPalette() const;
    const PackedDib* GetHandle() const { return dib_ ? &*dib_ : nullptr; }
    uint8_t* GetBits();
    const uint8_t* GetBits() const;
    int32_t GetWidth() const;
    int32_t GetHeight() const;
    int GetBitCount() const;
    uint32_t GetCompression() const;
    uint32_t GetColorCount() const;
    uint32_t GetPaletteSize() const;
    uint32_t GetBytesPerLine() const;
    bool IsEmpty() const { return !dib_; }
    // (height - 1 - y) x bytes per row + x x bitCount / 8: y counts from the top.
    uint64_t GetPixelOffset(int32_t x, int32_t y) const;
    // 0x00BBGGRR. 1-bit images give white for a set bit and black otherwise whatever the
    // table holds; 16-bit pixels are 5-5-5; 0 outside the image.
    gdi::ColorRef GetPixel(int32_t x, int32_t y) const;
    bool ChangeBitCount(int bitCount);
    // Below 9 bits: an octree palette of 2^bitCount colours; otherwise as ChangeBitCount.
    bool ChangeBitCountQuantized(int bitCount);
    // Replaces the pixels with 0xFFRRGGBB pixels (rows top-down, width x height of them),
    // each mapped to the nearest table colour in images of 8 bits or fewer.
    bool StorePixels32(std::span<const uint32_t> pixels);

    // --- Drawing onto a device context; false for an empty image.
    gdi::DibView View() const;
    bool Draw(gdi::DeviceContext& dc, int32_t x, int32_t y, gdi::RasterOp op = gdi::RasterOp::SrcCopy) const;
    bool Draw(gdi::DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height, int32_t xSrc,
              int32_t ySrc, gdi::RasterOp op = gdi::RasterOp::SrcCopy) const;
    bool StretchDraw(gdi::DeviceContext& dc, int32_t x, int32_t y, int32_t width, int32_t height, int32_t xSrc,
                     int32_t ySrc, int32_t widthSrc, int32_t heightSrc,
                     gdi::RasterOp op = gdi::RasterOp::SrcCopy) const;
    bool StretchDraw(gdi::DeviceContext& dc, const gdi::Rect& destination, const gdi::Rect& source,
                     gdi::RasterOp op = gdi::RasterOp::SrcCopy) const;
    // Leaves out the pixels of colour `transparent`.
    bool DrawTransparent(gdi::DeviceContext& dc, int32_t x, int32_t y, gdi::ColorRef transparent) const;
    // The colour table as a square of cells filling `area`.
    bool DisplayPalette(gdi::DeviceContext& dc, const gdi::Rect& area) const;

private:
    bool Replace(std::optional<PackedDib> block);
    void Rebuild();

    std::optional<PackedDib> dib_;
    std::vector<gdi::ColorRef> deviceColors_; // the colour table as device colours
};

} // namespace tracemill
