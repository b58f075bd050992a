#include "app/image/decode/cx_image_pcx.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/image/decode/decode_failure.h"
#include "app/image/decode/image_stream.h"
#include "app/image/pcx_format.h"

namespace tracemill {

bool CxImagePCX::Decode(ImageStream& stream) {
    try {
        DecodeBody(stream);
        return true;
    } catch (const DecodeFailure& failure) {
        SetLastError(failure.message);
        return false;
    } catch (const std::bad_alloc&) {
        SetLastError("Can't allocate memory");
        return false;
    }
}

void CxImagePCX::DecodeBody(ImageStream& stream) {
    PcxHeaderLayout::Bytes bytes;
    if (!readExact(stream, bytes.data(), bytes.size())) failDecode("Can't read PCX image");
    const PcxHeader header = PcxHeaderLayout::decode(bytes);
    if (header.manufacturer != kPcxManufacturer) failDecode("Error: Not a PCX file");
    if (header.encoding != kPcxRunLengthEncoding) failDecode("PCX file has unknown encoding scheme");

    // An inverted window (max below min) gives no picture: creation refuses a size of 0.
    const int64_t width = std::max<int64_t>(0, int64_t(header.xMax) - header.xMin + 1);
    const int64_t height = std::max<int64_t>(0, int64_t(header.yMax) - header.yMin + 1);
    SetXResolution(header.hResolution);
    SetYResolution(header.vResolution);

    const uint32_t planes = header.planes;
    const uint32_t bits = header.bitsPerPixel;
    if (planes > 4) failDecode("Can't handle image with more than 4 planes");
    // Without a plane a line holds no bytes to take pixels from.
    if (planes == 0) failDecode("PCX file has no colour planes");
    const uint32_t depth = (planes >= 3 && bits == 8) ? 24 : (planes == 4 && bits == 1) ? 4 : bits;
    const uint64_t lineBytes = uint64_t(header.bytesPerLine) * planes;
    const uint64_t total = lineBytes * uint64_t(height);
    // A run byte pair gives at most 63 bytes: a file that cannot hold the image fails before
    // its buffer is allocated, as it would at its end.
    const int64_t size = stream.Size();
    if (size >= 0 && total > uint64_t(std::max<int64_t>(0, size - stream.Tell())) * 32) failDecode("corrupted PCX");
    if (!Create(uint32_t(width), uint32_t(height), depth, CXIMAGE_FORMAT_PCX)) failDecode(GetLastError());
    if (GetEscape()) failDecode("Cancelled");

    std::vector<uint8_t> data(total);
    for (uint64_t at = 0; at < total;) {
        const int c = stream.GetC();
        if (c < 0) failDecode("corrupted PCX");
        if ((c & kPcxRunFlag) != kPcxRunFlag) {
            data[at++] = uint8_t(c);
            continue;
        }
        const uint64_t count = uint64_t(c) & kPcxRunCountMask;
        const int value = stream.GetC();
        if (value < 0) failDecode("corrupted PCX");
        if (count > total - at) failDecode("repeat count spans end of image");
        std::fill_n(data.begin() + std::ptrdiff_t(at), count, uint8_t(value));
        at += count;
    }

    std::vector<uint8_t> palette(header.colourMap.begin(), header.colourMap.end());
    uint32_t paletteColours = kPcxHeaderColours;
    if (planes == 1 && bits == 8) {
        if (stream.GetC() != kPcxPaletteMarker) failDecode("bad color map signature");
        palette.assign(3 * kPcxPaletteColours, 0);
        stream.Read(palette.data(), 1, palette.size());
        paletteColours = kPcxPaletteColours;
    } else if (planes == 1 && bits == 1) {
        std::fill_n(palette.begin(), 3, 0);
        std::fill_n(palette.begin() + 3, 3, 255);
    }
    SetPalette(palette.data(), paletteColours);

    std::vector<uint8_t> pixels(uint64_t(width) + uint64_t(header.bytesPerLine) * 8);
    // A line gives at most this many pixels; the rest of a wider picture stays index 0.
    const uint32_t unpackable =
        bits == 1 || bits == 2 || bits == 4 || bits == 8 ? header.bytesPerLine * 8 / bits : 0;
    const uint32_t linePixels =
        uint32_t(std::min<uint64_t>(width, planes > 1 ? header.bytesPerLine * 8u : unpackable));
    for (uint32_t y = 0; y < uint32_t(height); ++y) {
        if (GetEscape()) failDecode("Cancelled");
        const uint8_t* line = data.data() + y * lineBytes;
        const uint32_t row = uint32_t(height) - 1 - y;
        if (planes == 3 && bits == 8) {
            uint8_t* dst = GetRow(row);
            const uint32_t inPlane = std::min<uint32_t>(uint32_t(width), header.bytesPerLine);
            for (uint32_t x = 0; x < inPlane; ++x) {
                dst[3 * uint64_t(x)] = line[2 * header.bytesPerLine + x];
                dst[3 * uint64_t(x) + 1] = line[header.bytesPerLine + x];
                dst[3 * uint64_t(x) + 2] = line[x];
            }
            continue;
        }
        if (planes <= 1) UnpackPixels(pixels.data(), line, header.bytesPerLine, planes, bits);
        else PlanesToPixels(pixels.data(), line, header.bytesPerLine, planes, bits);
        for (uint32_t x = 0; x < linePixels; ++x) SetPixelIndex(x, row, pixels[x]);
    }
}

void CxImagePCX::UnpackPixels(uint8_t* pixels, const uint8_t* line, uint32_t bytesPerLine, uint32_t planes,
                              uint32_t bitsPerPixel) {
    if (planes > 1) failDecode("Can't handle packed pixels with more than 1 plane.");
    if (bitsPerPixel == 8) {
        std::memcpy(pixels, line, bytesPerLine);
        return;
    }
    if (bitsPerPixel != 4 && bitsPerPixel != 2 && bitsPerPixel != 1) return;
    const uint32_t perByte = 8 / bitsPerPixel;
    const uint8_t mask = uint8_t((1u << bitsPerPixel) - 1);
    for (uint32_t i = 0; i < bytesPerLine; ++i)
        for (uint32_t j = 0; j < perByte; ++j)
            pixels[uint64_t(i) * perByte + j] = uint8_t((line[i] >> (8 - bitsPerPixel * (j + 1))) & mask);
}

void CxImagePCX::PlanesToPixels(uint8_t* pixels, const uint8_t* line, uint32_t bytesPerLine, uint32_t planes,
                                uint32_t bitsPerPixel) {
    if (planes > 4) failDecode("Can't handle more than 4 planes");
    if (bitsPerPixel != 1) failDecode("Can't handle more than 1 bit per pixel");
    std::memset(pixels, 0, uint64_t(bytesPerLine) * 8);
    for (uint32_t plane = 0; plane < planes; ++plane)
        for (uint32_t i = 0; i < bytesPerLine; ++i) {
            const uint8_t byte = line[uint64_t(plane) * bytesPerLine + i];
            for (uint32_t bit = 0; bit < 8; ++bit)
                if (byte & (0x80 >> bit)) pixels[uint64_t(i) * 8 + bit] |= uint8_t(1u << plane);
        }
}

} // namespace tracemill
