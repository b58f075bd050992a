#include "app/image/decode/cx_image_png.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

struct PngReader {
    CxImagePNG* image = nullptr;
    ImageStream* stream = nullptr;
    std::vector<uint8_t> row;
};

void errorCallback(png_structp png, png_const_charp message) {
    auto* reader = static_cast<PngReader*>(png_get_error_ptr(png));
    reader->image->SetLastError(message ? message : "");
    png_longjmp(png, 1);
}

void warningCallback(png_structp, png_const_charp) {} // the layer prints nothing

void readCallback(png_structp png, png_bytep data, png_size_t length) {
    auto* reader = static_cast<PngReader*>(png_get_error_ptr(png));
    if (reader->stream->Read(data, 1, length) != length) png_error(png, "Read Error");
}

int32_t dpiFromUnit(png_uint_32 value, int unit) {
    const double dpi = unit == PNG_RESOLUTION_METER ? std::floor(value * 0.0254 + 0.5) : double(value);
    return int32_t(std::min(dpi, double(std::numeric_limits<int32_t>::max())));
}

} // namespace

void CxImagePNG::Expand2To4(uint8_t* row, uint32_t width) {
    for (uint32_t x = width; x-- > 0;) {
        const uint8_t v = uint8_t((row[x / 4] >> (6 - 2 * (x % 4))) & 3);
        uint8_t& dst = row[x / 2];
        dst = (x & 1) ? uint8_t((dst & 0xF0) | v) : uint8_t((dst & 0x0F) | (v << 4));
    }
}

bool CxImagePNG::Decode(ImageStream& stream) {
    // Everything that must survive a jump back from libpng lives in this heap block.
    const auto reader = std::make_unique<PngReader>();
    reader->image = this;
    reader->stream = &stream;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, reader.get(), errorCallback, warningCallback);
    if (!png) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, reader.get(), readCallback);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int pixelDepth = bitDepth * png_get_channels(png, info);

    png_color_16p background = nullptr;
    const bool hasBackground = png_get_bKGD(png, info, &background) != 0 && background;
    if (pixelDepth != 32) {
        if (hasBackground) {
            png_set_background(png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            png_color_16 grey{0, 192, 192, 192, 192};
            png_set_background(png, &grey, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    } else if (hasBackground) {
        SetTransparentColor(RgbQuad{uint8_t(background->blue), uint8_t(background->green),
                                    uint8_t(background->red), 0});
    }
    png_set_strip_16(png);

    const uint32_t depth = pixelDepth > 16 ? 24 : pixelDepth == 16 ? 8 : uint32_t(pixelDepth);
    if (!Create(width, height, depth, CXIMAGE_FORMAT_PNG)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    png_uint_32 xRes = 0, yRes = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xRes, &yRes, &unit)) {
        SetXResolution(dpiFromUnit(xRes, unit));
        SetYResolution(dpiFromUnit(yRes, unit));
    }

    const bool twoBitGrey = bitDepth == 2 && colourType == PNG_COLOR_TYPE_GRAY;
    png_colorp palette = nullptr;
    int paletteEntries = 0;
    if (png_get_PLTE(png, info, &palette, &paletteEntries) && palette) {
        std::vector<uint8_t> triples(size_t(paletteEntries) * 3);
        for (int i = 0; i < paletteEntries; ++i) {
            triples[3 * size_t(i)] = palette[i].red;
            triples[3 * size_t(i) + 1] = palette[i].green;
            triples[3 * size_t(i) + 2] = palette[i].blue;
        }
        SetPalette(triples.data(), uint32_t(paletteEntries));
    } else if (twoBitGrey) {
        for (uint8_t i = 0; i < 4; ++i) SetPaletteColor(i, uint8_t(85 * i), uint8_t(85 * i), uint8_t(85 * i));
    } else {
        SetGreyPalette();
    }

    png_bytep trans = nullptr;
    int transCount = 0;
    png_color_16p transColour = nullptr;
    if (png_get_tRNS(png, info, &trans, &transCount, &transColour) && transCount > 0 && trans && HasPalette()) {
        const uint32_t colours = GetHeader().biClrUsed;
        const uint32_t given = std::min<uint32_t>(uint32_t(transCount), colours);
        RgbQuad* entries = GetPalette();
        for (uint32_t i = 0; i < given; ++i) entries[i].rgbReserved = trans[i];
        if (transCount == 1 && trans[0] == 0) {
            SetTransparentIndex(0);
        } else {
            SetAlphaPaletteEnabled(true);
            for (uint32_t i = given; i < colours; ++i) entries[i].rgbReserved = 255;
        }
    }

    if (colourType == PNG_COLOR_TYPE_RGB_ALPHA) png_set_strip_alpha(png);
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA && pixelDepth == 32) {
        png_set_gray_to_rgb(png);
        png_set_expand(png);
        png_set_strip_alpha(png);
    }
    if (colourType & PNG_COLOR_MASK_COLOR) png_set_bgr(png);

    if (GetEscape()) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }

    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    SetFormatOption(passes > 1 ? 1 : 0, CXIMAGE_FORMAT_PNG);
    // The buffer holds whatever libpng delivers after its transformations.
    const uint64_t rowBytes = std::max<uint64_t>(uint64_t((pixelDepth + 7) / 8) * width + 10,
                                                 uint64_t(png_get_rowbytes(png, info)));
    reader->row.assign(rowBytes, 0);
    const uint64_t copy = std::min<uint64_t>(rowBytes, GetRowLength());
    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t y = 0; y < height; ++y) {
            if (GetEscape()) {
                png_destroy_read_struct(&png, &info, nullptr);
                return false;
            }
            uint8_t* pictureRow = GetRow(height - 1 - y);
            if (passes > 1 && pass > 0) std::memcpy(reader->row.data(), pictureRow, copy);
            png_read_row(png, reader->row.data(), nullptr);
            if (twoBitGrey && pass == passes - 1) Expand2To4(reader->row.data(), width);
            std::memcpy(pictureRow, reader->row.data(), copy);
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace tracemill
