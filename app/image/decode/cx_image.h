// The image decoding layer's picture: one packed device-independent bitmap (header, colour
// table, bottom-up rows padded to 4 bytes) with the attributes the decoders share. Every
// decoder is a class derived from CxImage; loading and format detection are in
// cx_image_load.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/bmp_format.h"

namespace tracemill {

class ImageStream;

// Format ids: the type of a picture, the argument of loading and the index of the format
// options. 0 asks for detection by content.
enum : uint32_t {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
    CXIMAGE_FORMAT_TIF = 5,
    CXIMAGE_FORMAT_TGA = 6,
    CXIMAGE_FORMAT_PCX = 7,
    CXIMAGE_FORMAT_WBMP = 8,
    CXIMAGE_MAX_FORMATS = 9,
};

// Largest picture (bytes of colour table and pixel rows) that Create accepts.
inline constexpr uint64_t CXIMAGE_MAX_MEMORY = 256000000;

// COLORREF: red in the low byte, then green, then blue.
using ColorRef = uint32_t;

class CxImage {
public:
    explicit CxImage(uint32_t type = CXIMAGE_FORMAT_UNKNOWN);
    CxImage(const char* fileName, uint32_t type);
    CxImage(uint32_t width, uint32_t height, uint32_t bitCount, uint32_t type);
    CxImage(const CxImage& source, bool copyPixels, bool copySelection, bool copyAlpha);
    virtual ~CxImage();
    CxImage(const CxImage&) = delete;
    CxImage& operator=(const CxImage&) = delete;

    // The limit Create applies to every picture of the process: CXIMAGE_MAX_MEMORY unless a
    // host lowered it (the fuzz harnesses do, so that replays do not spend their time on the
    // large pictures that a tiny file may legally declare). It is never raised above
    // CXIMAGE_MAX_MEMORY; the buffers libjpeg and libtiff may allocate follow it.
    static uint64_t GetMemoryLimit();
    static void SetMemoryLimit(uint64_t bytes);

    // Lifetime and hand-over.
    bool Destroy();
    // Returns true on success; on failure the picture is empty and the last error says why.
    bool Create(uint32_t width, uint32_t height, uint32_t bitCount, uint32_t type);
    bool TakeOver(CxImage& source);
    void CopyAttributes(const CxImage& source);
    void Copy(const CxImage& source, bool copyPixels = true, bool copySelection = true, bool copyAlpha = true);

    // Loading (cx_image_load.cpp).
    bool Load(const char* fileName, uint32_t type);
    bool Decode(FILE* file, uint32_t type);
    bool Decode(ImageStream& stream, uint32_t type);

    // The whole picture as a packed DIB (header, colour table, rows): what a bitmap is made
    // from. Empty without a picture.
    std::vector<uint8_t> MakePackedDib() const;

    // Attributes.
    bool IsValid() const { return dib_ != nullptr; }
    bool HasPalette() const { return head_.biClrUsed != 0; }
    uint32_t GetWidth() const { return uint32_t(head_.biWidth); }
    uint32_t GetHeight() const { return uint32_t(head_.biHeight); }
    uint32_t GetRowLength() const { return info_.rowLength; }
    uint32_t GetBitCount() const { return head_.biBitCount; }
    uint32_t GetType() const { return info_.type; }
    const BitmapInfoHeader& GetHeader() const { return head_; }
    const char* GetLastError() const { return info_.lastError.c_str(); }
    void SetLastError(const std::string& text);
    int32_t GetTransparentIndex() const { return info_.transparentIndex; }
    void SetTransparentIndex(int32_t index) { info_.transparentIndex = index; }
    RgbQuad GetTransparentColor() const { return info_.transparentColour; }
    void SetTransparentColor(RgbQuad colour);
    int32_t GetEscape() const { return info_.escape; }
    void SetEscape(int32_t escape) { info_.escape = escape; }
    uint8_t GetJpegQuality() const { return info_.jpegQuality; }
    void SetJpegQuality(uint8_t quality) { info_.jpegQuality = quality; }
    uint8_t GetJpegScale() const { return info_.jpegScale; }
    void SetJpegScale(uint8_t scale) { info_.jpegScale = scale; }
    int32_t GetFrame() const { return info_.frame; }
    void SetFrame(int32_t frame) { info_.frame = frame; }
    int32_t GetFrameCount() const { return info_.frameCount; }
    uint32_t GetFrameDelay() const { return info_.frameDelay; }
    int32_t GetXResolution() const { return info_.xResolution; }
    int32_t GetYResolution() const { return info_.yResolution; }
    void SetXResolution(int32_t dpi);
    void SetYResolution(int32_t dpi);
    int32_t GetXOffset() const { return info_.xOffset; }
    int32_t GetYOffset() const { return info_.yOffset; }
    bool IsAlphaPaletteEnabled() const { return info_.alphaPaletteEnabled; }
    uint32_t GetFormatOption(uint32_t format) const;
    bool SetFormatOption(uint32_t option, int64_t format);

    // Palette and pixels; rows count from the bottom, as stored.
    uint64_t GetPaletteSize() const { return uint64_t(head_.biClrUsed) * 4; }
    RgbQuad* GetPalette();
    uint64_t GetDibSize() const { return kBitmapInfoHeaderSize + GetPaletteSize() + head_.biSizeImage; }
    uint8_t* GetBits() { return dib_ ? dib_->pixels.data() : nullptr; }
    uint8_t* GetRow(uint32_t row);
    bool Contains(int64_t x, int64_t y) const;
    uint8_t* GetPixelPointer(uint32_t x, uint32_t y);
    void SetPaletteColor(uint32_t index, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0);
    RgbQuad GetPaletteColor(uint32_t index) const;
    void SetPalette(const RgbQuad* entries, uint32_t count);
    void SetPalette(const uint8_t* rgbTriples, uint32_t count);
    void SetPalette(uint32_t count, const uint8_t* reds, const uint8_t* greens, const uint8_t* blues);
    void SetGreyPalette();
    uint8_t GetPixelIndex(int64_t x, int64_t y) const;
    // Pixel x of a row of 1-, 4- or 8-bit indices (no tests): what PeekPixelIndex and
    // SetPixelIndex do once the row is found, for loops that walk whole rows.
    static uint8_t RowPixelIndex(const uint8_t* row, uint32_t bitCount, uint32_t x) {
        switch (bitCount) {
        case 8: return row[x];
        case 4: return (x & 1) ? row[x / 2] & 0x0F : row[x / 2] >> 4;
        default: return (row[x / 8] >> (7 - (x & 7))) & 1;
        }
    }
    static void SetRowPixelIndex(uint8_t* row, uint32_t bitCount, uint32_t x, uint8_t index) {
        switch (bitCount) {
        case 8: row[x] = index; break;
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x / 2] = uint8_t((row[x / 2] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
            break;
        }
        default: {
            const uint8_t mask = uint8_t(0x80 >> (x & 7));
            row[x / 8] = (index & 1) ? uint8_t(row[x / 8] | mask) : uint8_t(row[x / 8] & ~mask);
            break;
        }
        }
    }
    uint8_t PeekPixelIndex(uint32_t x, uint32_t y) const;
    void SetPixelIndex(int64_t x, int64_t y, uint8_t index);
    RgbQuad GetPixelColor(int64_t x, int64_t y) const;
    void SetPixelColor(int64_t x, int64_t y, RgbQuad colour);
    void SetPixelColor(int64_t x, int64_t y, ColorRef colour);
    static RgbQuad ColorrefToQuad(ColorRef colour);
    uint8_t FindNearestIndex(RgbQuad colour);
    void Fill(uint8_t value);
    void SwapRedBlue(uint8_t* buffer, uint64_t length) const;

    // Whole-picture transforms (cx_image_transform.cpp).
    bool MirrorHorizontally();
    bool FlipVertically();
    bool TurnQuarterLeft(CxImage* target = nullptr);
    bool TurnQuarterRight(CxImage* target = nullptr);

protected:
    // Widens one row of 16- or 32-bit pixels (a whole source row) into this picture's 24-bit
    // row `row` (cx_image_bmp.cpp).
    void ExpandBitfields(const uint8_t* source, uint32_t row, uint32_t redMask, uint32_t greenMask,
                         uint32_t blueMask, uint32_t bitCount);
    void SetOffsets(int32_t x, int32_t y) {
        info_.xOffset = x;
        info_.yOffset = y;
    }
    void SetFrameCount(int32_t count) { info_.frameCount = count; }
    void SetFrameDelay(uint32_t delay) { info_.frameDelay = delay; }
    void SetAlphaPaletteEnabled(bool enabled) { info_.alphaPaletteEnabled = enabled; }
    // Sets the header's size only: what a dimensions-only decode reports.
    void SetDimensions(int32_t width, int32_t height) {
        head_.biWidth = width;
        head_.biHeight = height;
    }
    void SetXPelsPerMeter(int32_t x, int32_t y) {
        head_.biXPelsPerMeter = x;
        head_.biYPelsPerMeter = y;
    }

private:
    // Everything that is copied whole between objects (CopyAttributes, TakeOver).
    struct Attributes {
        uint32_t rowLength = 0;
        const CxImage* ghost = nullptr;  // set when this object only shows another's picture
        const CxImage* parent = nullptr; // the picture that owns this one as a layer
        uint32_t type = 0;
        std::string lastError;
        int32_t progress = 0;
        int32_t escape = 0; // non-zero stops a decoder; -1 asks for the dimensions only
        int32_t transparentIndex = -1;
        RgbQuad transparentColour{};
        uint8_t jpegQuality = 90;
        uint8_t jpegScale = 0;
        int32_t frame = 0;
        int32_t frameCount = 0;
        uint32_t frameDelay = 0;
        int32_t xResolution = 96;
        int32_t yResolution = 96;
        std::array<int32_t, 4> selectionBox{};
        uint8_t alphaMax = 255;
        bool alphaPaletteEnabled = false;
        bool enabled = true;
        int32_t xOffset = 0;
        int32_t yOffset = 0;
        std::array<uint32_t, CXIMAGE_MAX_FORMATS> formatOptions{};
        RgbQuad cachedColour{};
        uint8_t cachedIndex = 0;
        bool cacheValid = false;
        uint32_t flags = 0;
    };
    struct Dib {
        std::vector<RgbQuad> palette; // head_.biClrUsed entries
        std::vector<uint8_t> pixels;  // head_.biSizeImage bytes
    };

    void InitFields(uint32_t type);
    uint64_t PixelOffset(uint32_t x, uint32_t y) const;

    std::unique_ptr<Dib> dib_;
    BitmapInfoHeader head_{};
    Attributes info_;
    std::vector<uint8_t> selection_; // width x height, or empty
    std::vector<uint8_t> alpha_;     // width x height, or empty
    std::vector<std::unique_ptr<CxImage>> layers_;
};

} // namespace tracemill
