#include "app/image/decode/cx_image_tif.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "app/image/decode/decode_failure.h"
#include "app/image/decode/image_stream.h"
#include "app/image/decode/tiff_stream_glue.h"

namespace tracemill {

namespace {

int32_t toInt(double value) {
    return int32_t(std::clamp(value, double(std::numeric_limits<int32_t>::min()),
                              double(std::numeric_limits<int32_t>::max())));
}

uint8_t labChannel(double c) {
    c = c > 0.00304 ? 1.055 * std::pow(c, 0.41667) - 0.055 : 12.92 * c;
    return uint8_t(std::clamp(int(c * 255), 0, 255));
}

// CIE L*a*b* (L 0 to 255, a and b signed) to blue, green, red.
RgbQuad labToColour(uint8_t l, int8_t a, int8_t b) {
    const double p = (l * 0.3921568627450981 + 16) * 0.008620689655172414;
    const double x = std::pow(p + a * 0.002, 3) * 0.95047;
    const double y = p * p * p;
    const double z = std::pow(p - b * 0.005, 3) * 1.0883;
    const double r = 3.240479 * x - 1.53715 * y - 0.498535 * z;
    const double g = -0.969256 * x + 1.875992 * y + 0.041556 * z;
    const double bl = 0.055648 * x - 0.204043 * y + 1.057311 * z;
    return RgbQuad{labChannel(bl), labChannel(g), labChannel(r), 0};
}

// The band buffer may not outgrow this (strips of damaged files can claim anything).
uint64_t maxBandBytes() { return 4 * CxImage::GetMemoryLimit(); }

} // namespace

CxImageTIF::~CxImageTIF() { Close(); }

void CxImageTIF::Close() {
    if (tif_) TIFFClose(tif_);
    tif_ = nullptr;
}

void CxImageTIF::CopyTileRows(uint8_t* destination, const uint8_t* source, uint32_t rows, uint64_t columns,
                              uint64_t destinationSkip, uint64_t sourceSkip) {
    for (uint32_t r = 0; r < rows; ++r) {
        std::memcpy(destination, source, columns);
        destination += columns + destinationSkip;
        source += columns + sourceSkip;
    }
}

bool CxImageTIF::Decode(ImageStream& stream) {
    try {
        DecodeBody(stream);
        Close();
        return true;
    } catch (const DecodeFailure& failure) {
        SetLastError(failure.message);
        Close();
        return failure.message == kOutputDimensionsReturned && GetEscape() == -1;
    } catch (const std::bad_alloc&) {
        SetLastError("CxImageTIF can't allocate memory");
        Close();
        return false;
    }
}

void CxImageTIF::DecodeBody(ImageStream& stream) {
    tif_ = OpenTiffOverStream(stream, "r");
    if (!tif_) failDecode("Error encountered while opening TIFF file");
    SetFrameCount(TIFFNumberOfDirectories(tif_));
    if (GetFrame() < 0 || GetFrame() > 0xFFFF || !TIFFSetDirectory(tif_, tdir_t(GetFrame())))
        failDecode("Error: page not present in TIFF file");

    uint32_t width = 0, height = 0, rowsPerStrip = 0;
    uint16_t samples = 1, bits = 1, photometric = 0, orientation = 1, unit = RESUNIT_INCH;
    TIFFGetField(tif_, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif_, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif_, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif_, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetField(tif_, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif_, TIFFTAG_ORIENTATION, &orientation);

    if (GetEscape() == -1) {
        SetDimensions(toInt(width), toInt(height));
        failDecode(kOutputDimensionsReturned);
    }

    TIFFGetFieldDefaulted(tif_, TIFFTAG_RESOLUTIONUNIT, &unit);
    float resolution = 0;
    if (TIFFGetField(tif_, TIFFTAG_XRESOLUTION, &resolution))
        SetXResolution(toInt(unit == RESUNIT_CENTIMETER ? resolution * 2.54 + 0.5 : resolution));
    if (TIFFGetField(tif_, TIFFTAG_YRESOLUTION, &resolution))
        SetYResolution(toInt(unit == RESUNIT_CENTIMETER ? resolution * 2.54 + 0.5 : resolution));
    float xPosition = 0, yPosition = 0;
    const bool hasX = TIFFGetField(tif_, TIFFTAG_XPOSITION, &xPosition);
    const bool hasY = TIFFGetField(tif_, TIFFTAG_YPOSITION, &yPosition);
    if (hasX || hasY) SetOffsets(toInt(xPosition), toInt(yPosition));
    SetTransparentIndex(-1);
    if (rowsPerStrip > height) {
        rowsPerStrip = height;
        TIFFSetField(tif_, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    }

    const bool colour = (photometric == PHOTOMETRIC_RGB && bits >= 8) || photometric == PHOTOMETRIC_YCBCR ||
                        photometric == PHOTOMETRIC_SEPARATED || photometric == PHOTOMETRIC_LOGL ||
                        photometric == PHOTOMETRIC_LOGLUV;
    const bool greyPage = photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK;
    const bool bilevel = greyPage && bits == 1;
    // Grey pages with extra samples (an alpha channel) keep their first sample; other pages of
    // several samples are converted from CIE L*a*b* by colour, so they need a 24-bit picture
    // (an 8-bit one would hold nothing but its empty palette's black).
    const bool greyWithExtras = greyPage && samples > 1 && (bits == 8 || bits == 16);
    const bool lab = !colour && !greyWithExtras && samples > 1;
    const uint32_t depth = colour || lab ? 24 : bilevel ? 1 : bits == 4 ? 4 : 8;
    if (GetEscape()) failDecode("Cancelled");
    if (!Create(width, height, depth, CXIMAGE_FORMAT_TIF)) failDecode("CxImageTIF can't create image");
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif_, TIFFTAG_COMPRESSION, &compression);
    SetFormatOption(compression, CXIMAGE_FORMAT_TIF);

    if (colour) {
        std::vector<uint32_t> raster;
        try {
            raster.resize(uint64_t(width) * height);
        } catch (const std::bad_alloc&) {
            failDecode("No space for raster buffer");
        }
        if (!TIFFReadRGBAImage(tif_, width, height, raster.data(), 1)) failDecode("Corrupted TIFF file!");
        for (uint32_t y = 0; y < height; ++y) {
            if (GetEscape()) failDecode("Cancelled");
            uint8_t* row = GetRow(y);
            const uint32_t* src = &raster[uint64_t(y) * width];
            for (uint32_t x = 0; x < width; ++x) {
                row[3 * uint64_t(x)] = uint8_t(TIFFGetB(src[x]));
                row[3 * uint64_t(x) + 1] = uint8_t(TIFFGetG(src[x]));
                row[3 * uint64_t(x) + 2] = uint8_t(TIFFGetR(src[x]));
            }
        }
        return;
    }

    std::vector<RgbQuad> palette(256);
    const uint32_t entries = 1u << std::min<uint16_t>(bits, 8);
    if (photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE) {
        const bool whiteIsZero = photometric == PHOTOMETRIC_MINISWHITE;
        for (uint32_t i = 0; i < entries; ++i) {
            uint8_t grey = bits == 1 ? uint8_t(i == 1 ? 255 : 0) : uint8_t(i * (255 / (entries - 1)));
            if (whiteIsZero) grey = uint8_t(255 - grey);
            palette[i] = RgbQuad{grey, grey, grey, 0};
        }
    } else if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *reds = nullptr, *greens = nullptr, *blues = nullptr;
        if (TIFFGetField(tif_, TIFFTAG_COLORMAP, &reds, &greens, &blues) && reds && greens && blues) {
            bool sixteenBit = false;
            for (uint32_t i = 0; i < entries; ++i)
                sixteenBit = sixteenBit || reds[i] >= 256 || greens[i] >= 256 || blues[i] >= 256;
            auto scale = [&](uint16_t v) { return uint8_t(sixteenBit ? v * 255u / 65535u : v); };
            for (uint32_t i = 0; i < entries; ++i)
                palette[i] = RgbQuad{scale(blues[i]), scale(greens[i]), scale(reds[i]), 0};
        }
    }
    SetPalette(palette.data(), entries);

    const uint64_t fileRow = (uint64_t(width) * bits * samples + 7) / 8;
    const bool tiled = TIFFIsTiled(tif_);
    uint32_t tileWidth = 0, tileLength = 0;
    std::vector<uint8_t> tile;
    if (tiled) {
        TIFFGetField(tif_, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(tif_, TIFFTAG_TILELENGTH, &tileLength);
        if (tileWidth == 0 || tileLength == 0) failDecode("Corrupted tiled TIFF file!");
        rowsPerStrip = tileLength;
        const uint64_t tileSize = uint64_t(std::max<tmsize_t>(0, TIFFTileSize(tif_)));
        if (tileSize == 0 || tileSize > maxBandBytes()) failDecode("CxImageTIF can't allocate memory");
        tile.resize(tileSize);
    }
    if (rowsPerStrip == 0) rowsPerStrip = height;
    // The band buffer holds every band that is read: at least rows per strip of file rows.
    uint64_t bandBytes = uint64_t(std::max<tmsize_t>(0, TIFFStripSize(tif_)));
    bandBytes = std::min<uint64_t>(bandBytes, uint64_t(GetHeader().biSizeImage) * samples);
    bandBytes = std::max<uint64_t>(bandBytes, std::max<uint64_t>(GetRowLength(), fileRow) * rowsPerStrip);
    if (bandBytes > maxBandBytes()) failDecode("CxImageTIF can't allocate memory");
    std::vector<uint8_t> band(bandBytes);

    for (uint32_t row = 0; row < height; row += rowsPerStrip) {
        if (GetEscape()) failDecode("Cancelled");
        const uint32_t bandRows = std::min(rowsPerStrip, height - row);
        if (tiled) {
            const uint64_t tileRow = uint64_t(std::max<tmsize_t>(0, TIFFTileRowSize(tif_)));
            for (uint32_t column = 0; column < width; column += tileWidth) {
                if (TIFFReadTile(tif_, tile.data(), column, row, 0, 0) < 0) failDecode("Corrupted tiled TIFF file!");
                const uint64_t start = uint64_t(column) * bits * samples / 8;
                const uint64_t columns = std::min<uint64_t>(
                    std::min<uint64_t>(tileRow, (uint64_t(width - column) * bits * samples + 7) / 8), fileRow - start);
                const uint32_t rows = uint32_t(std::min<uint64_t>(bandRows, tileRow ? tile.size() / tileRow : 0));
                CopyTileRows(band.data() + start, tile.data(), rows, columns, fileRow - columns, tileRow - columns);
            }
        } else if (TIFFReadEncodedStrip(tif_, TIFFComputeStrip(tif_, row, 0), band.data(), tmsize_t(band.size())) <
                   0) {
            break; // rows below keep what creation left
        }
        for (uint32_t j = 0; j < bandRows; ++j) {
            uint8_t* src = band.data() + uint64_t(j) * fileRow;
            const uint32_t pictureRow = height - 1 - (row + j);
            uint64_t available = fileRow;
            if (bits == 16) {
                for (uint64_t k = 0; k < fileRow / 2; ++k) src[k] = src[2 * k + 1];
                available = fileRow / 2;
            }
            if (samples == 1) {
                std::memcpy(GetRow(pictureRow), src, std::min<uint64_t>(GetRowLength(), available));
                continue;
            }
            if (greyWithExtras) {
                uint8_t* dst = GetRow(pictureRow);
                for (uint32_t x = 0; x < width && uint64_t(x) * samples < available; ++x)
                    dst[x] = src[uint64_t(x) * samples];
                continue;
            }
            for (uint32_t x = 0; x < width && uint64_t(x) * samples + 2 < available; ++x) {
                const uint8_t* p = src + uint64_t(x) * samples;
                SetPixelColor(x, pictureRow, labToColour(p[0], int8_t(p[1]), int8_t(p[2])));
            }
        }
    }

    switch (orientation) {
    case ORIENTATION_TOPRIGHT: MirrorHorizontally(); break;
    case ORIENTATION_BOTRIGHT:
        FlipVertically();
        MirrorHorizontally();
        break;
    case ORIENTATION_BOTLEFT: FlipVertically(); break;
    case ORIENTATION_LEFTTOP:
        TurnQuarterRight();
        MirrorHorizontally();
        break;
    case ORIENTATION_RIGHTTOP: TurnQuarterRight(); break;
    case ORIENTATION_RIGHTBOT:
        TurnQuarterLeft();
        MirrorHorizontally();
        break;
    case ORIENTATION_LEFTBOT: TurnQuarterLeft(); break;
    default: break;
    }
}

} // namespace tracemill
