#include "app/image/decode/cx_image_tga.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/image/decode/decode_failure.h"
#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

constexpr uint8_t kRightToLeft = 0x10;
constexpr uint8_t kTopToBottom = 0x20;

bool runLengthEncoded(uint8_t type) { return type >= 9; }

uint32_t bytesPerPixel(uint8_t depth) { return (depth + 7) / 8; }

// One file pixel into the picture: an index byte, or blue, green, red.
void storePixel(uint8_t* dst, const uint8_t* src, uint8_t depth) {
    switch (depth) {
    case 8: dst[0] = src[0]; break;
    case 15:
    case 16: {
        const uint32_t p = readLe16(src);
        dst[0] = uint8_t((p & 0x1F) * 8);
        dst[1] = uint8_t((p >> 2) & 0xF8);
        dst[2] = uint8_t((p >> 7) & 0xF8);
        break;
    }
    default: std::memcpy(dst, src, 3); break;
    }
}

} // namespace

bool CxImageTGA::Decode(ImageStream& stream) {
    try {
        DecodeBody(stream);
        return true;
    } catch (const DecodeFailure& failure) {
        SetLastError(failure.message);
        return false;
    }
}

void CxImageTGA::DecodeBody(ImageStream& stream) {
    TgaHeaderLayout::Bytes bytes;
    if (!readExact(stream, bytes.data(), bytes.size())) failDecode("Not a TGA");
    const TgaHeader header = TgaHeaderLayout::decode(bytes);
    switch (header.imageType) {
    case 1: case 2: case 3: case 9: case 10: case 11: break;
    default: failDecode("Unknown TGA image type");
    }
    const uint8_t depth = header.pixelDepth;
    if (header.width == 0 || header.height == 0 || depth == 0 || header.colourMapLength > 256 ||
        (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32))
        failDecode("bad TGA header");
    stream.Seek(header.idLength, SEEK_CUR);

    // A file too short to reach the last row ends as "corrupted TGA" anyway: say so before a
    // picture of the header's size is allocated.
    const uint32_t pixelBytes = bytesPerPixel(depth);
    const int64_t size = stream.Size();
    if (size >= 0) {
        const uint64_t remaining = uint64_t(std::max<int64_t>(0, size - stream.Tell()));
        const uint64_t needed = uint64_t(header.width) * (header.height - 1u);
        const uint64_t reachable = runLengthEncoded(header.imageType) ? remaining * 128 : remaining / pixelBytes;
        if (reachable < needed) failDecode("corrupted TGA");
    }

    if (!Create(header.width, header.height, depth, CXIMAGE_FORMAT_TGA)) failDecode("TGA Create failed");
    if (GetEscape()) failDecode("Cancelled");

    if (header.colourMapType == 1) {
        // Entries are read in their stored size; 24-bit entries are blue, green, red.
        const uint32_t entryBytes = header.colourMapEntrySize ? (header.colourMapEntrySize + 7u) / 8u : 3u;
        std::vector<uint8_t> map(size_t(header.colourMapLength) * entryBytes);
        stream.Read(map.data(), 1, map.size());
        std::vector<RgbQuad> entries(header.colourMapLength);
        for (size_t i = 0; i < entries.size(); ++i) {
            uint8_t bgr[3] = {};
            const uint8_t* e = &map[i * entryBytes];
            if (entryBytes == 2) storePixel(bgr, e, 16);
            else if (entryBytes >= 3) std::memcpy(bgr, e, 3);
            entries[i] = RgbQuad{bgr[0], bgr[1], bgr[2], 0};
        }
        SetPalette(entries.data(), uint32_t(entries.size()));
    }
    if (header.imageType == 3 || header.imageType == 11) SetGreyPalette();

    int leftover = kNoLeftover;
    for (uint32_t y = 0; y < header.height; ++y) {
        if (GetEscape()) failDecode("Cancelled");
        if (stream.Eof()) failDecode("corrupted TGA");
        const uint32_t row = (header.descriptor & kTopToBottom) ? header.height - y - 1 : y;
        if (runLengthEncoded(header.imageType)) leftover = ReadRunLine(GetRow(row), header, stream, header.width, leftover);
        else ReadRawPixels(GetRow(row), header, stream, header.width, 0);
    }
    if (header.descriptor & kRightToLeft) MirrorHorizontally();
}

void CxImageTGA::ReadRawPixels(uint8_t* row, const TgaHeader& header, ImageStream& stream, uint32_t count,
                               uint32_t x) {
    const uint32_t fileBytes = bytesPerPixel(header.pixelDepth);
    const uint32_t pictureBytes = GetBitCount() / 8;
    std::vector<uint8_t> data(size_t(count) * fileBytes);
    const size_t got = stream.Read(data.data(), 1, data.size()) / fileBytes;
    for (size_t i = 0; i < got; ++i)
        storePixel(row + (uint64_t(x) + i) * pictureBytes, &data[i * fileBytes], header.pixelDepth);
}

int CxImageTGA::ReadRunLine(uint8_t* row, const TgaHeader& header, ImageStream& stream, uint32_t width,
                            int leftover) {
    const uint32_t fileBytes = bytesPerPixel(header.pixelDepth);
    const uint32_t pictureBytes = GetBitCount() / 8;
    uint32_t x = 0;
    while (x < width) {
        int packet = leftover;
        leftover = kNoLeftover;
        if (packet == kNoLeftover) packet = stream.GetC();
        if (packet < 0) break;
        if (packet & 0x80) {
            const uint32_t count = uint32_t(packet) - 127;
            const int64_t valueAt = stream.Tell();
            uint8_t value[4] = {};
            if (!readExact(stream, value, fileBytes)) break;
            const uint32_t fit = std::min(count, width - x);
            for (uint32_t i = 0; i < fit; ++i) storePixel(row + uint64_t(x + i) * pictureBytes, value, header.pixelDepth);
            x += fit;
            if (count > fit) {
                // The next line starts with the rest of the run: it reads the value again.
                leftover = int(128 + (count - fit - 1));
                stream.Seek(valueAt, SEEK_SET);
            }
        } else {
            const uint32_t count = uint32_t(packet) + 1;
            const uint32_t fit = std::min(count, width - x);
            ReadRawPixels(row, header, stream, fit, x);
            x += fit;
            if (count > fit) leftover = int(count - fit - 1);
        }
    }
    return leftover;
}

} // namespace tracemill
