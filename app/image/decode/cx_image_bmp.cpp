#include "app/image/decode/cx_image_bmp.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "app/image/decode/decode_failure.h"
#include "app/image/decode/image_stream.h"

namespace tracemill {

namespace {

// Shifts left by a positive amount and right by a negative one; masks from a file may ask for
// either direction.
uint32_t shiftLeftBy(uint32_t value, int amount) {
    if (amount >= 32 || amount <= -32) return 0;
    return amount >= 0 ? value << amount : value >> -amount;
}

} // namespace

bool CxImageBMP::ReadInfoHeader(ImageStream& stream, BitmapInfoHeader& header) {
    BitmapInfoHeaderLayout::Bytes bytes;
    if (!readExact(stream, bytes.data(), bytes.size())) return false;
    header = BitmapInfoHeaderLayout::decode(bytes);
    if (header.biSize == kBitmapInfoHeaderSize) {
        // as read
    } else if (header.biSize == kBitmapOs2V2HeaderSize) {
        if (!stream.Seek(kBitmapOs2V2HeaderSize - kBitmapInfoHeaderSize, SEEK_CUR)) return false;
    } else if (header.biSize == kBitmapCoreHeaderSize) {
        const BitmapCoreHeader core = BitmapCoreHeaderLayout::decode(bytes.data());
        header = BitmapInfoHeader{};
        header.biSize = kBitmapCoreHeaderSize;
        header.biWidth = core.bcWidth;
        header.biHeight = core.bcHeight;
        header.biPlanes = core.bcPlanes;
        header.biBitCount = core.bcBitCount;
        if (!stream.Seek(-int64_t(kBitmapInfoHeaderSize - kBitmapCoreHeaderSize), SEEK_CUR)) return false;
    } else if (header.biSize > kBitmapInfoHeaderSize) {
        const unsigned __int128 expected =
            (unsigned __int128)dibRowLength(uint64_t(std::max(header.biWidth, 0)), header.biBitCount) *
            uint64_t(std::max(header.biHeight, 0));
        if (header.biWidth < 0 || header.biHeight < 0 || header.biSizeImage != expected || header.biPlanes != 1 ||
            header.biCompression != kBiRgb || header.biClrUsed != 0)
            return false;
        if (!stream.Seek(int64_t(header.biSize) - kBitmapInfoHeaderSize, SEEK_CUR)) return false;
    } else {
        return false;
    }
    if (header.biSizeImage == 0) {
        const uint64_t rowLength = dibRowLength(uint64_t(std::max(header.biWidth, 0)), header.biBitCount);
        header.biSizeImage = uint32_t(rowLength * uint64_t(std::abs(int64_t(header.biHeight))));
    }
    if (header.biClrUsed == 0 && header.biBitCount <= 8) header.biClrUsed = 1u << header.biBitCount;
    return true;
}

bool CxImageBMP::Decode(ImageStream& stream) {
    try {
        DecodeBody(stream);
        return true;
    } catch (const DecodeFailure& failure) {
        SetLastError(failure.message);
        return failure.message == kOutputDimensionsReturned && GetEscape() == -1;
    }
}

void CxImageBMP::DecodeBody(ImageStream& stream) {
    const int64_t start = stream.Tell();
    BitmapFileHeaderLayout::Bytes fileBytes;
    if (!readExact(stream, fileBytes.data(), fileBytes.size())) failDecode("Not a BMP");
    BitmapFileHeader fileHeader = BitmapFileHeaderLayout::decode(fileBytes);
    if (fileHeader.bfType != kBitmapFileType) {
        fileHeader.bfOffBits = 0;
        stream.Seek(start, SEEK_SET);
    }

    BitmapInfoHeader info;
    if (!ReadInfoHeader(stream, info)) failDecode("Error reading BMP info");
    const bool oldBitmap = info.biSize == kBitmapCoreHeaderSize;
    const bool topDown = info.biHeight < 0;
    const int64_t width = info.biWidth;
    const int64_t height = std::abs(int64_t(info.biHeight));

    if (GetEscape() == -1) {
        SetDimensions(info.biWidth, int32_t(std::min<int64_t>(height, INT32_MAX)));
        failDecode(kOutputDimensionsReturned);
    }

    if (width <= 0 || height > INT32_MAX || !Create(uint32_t(width), uint32_t(height), info.biBitCount, CXIMAGE_FORMAT_BMP))
        failDecode("Can't allocate memory");
    SetXResolution(int32_t(std::floor(info.biXPelsPerMeter * 0.0254 + 0.5)));
    SetYResolution(int32_t(std::floor(info.biYPelsPerMeter * 0.0254 + 0.5)));
    SetXPelsPerMeter(info.biXPelsPerMeter, info.biYPelsPerMeter);
    if (GetEscape()) failDecode("Cancelled");

    if (HasPalette()) {
        // Entries beyond the picture's palette are passed over, never stored.
        const uint64_t entrySize = oldBitmap ? kRgbTripleSize : 4;
        const uint32_t held = uint32_t(std::min<uint64_t>(info.biClrUsed, GetPaletteSize() / 4));
        std::vector<uint8_t> table(held * entrySize);
        const size_t got = stream.Read(table.data(), 1, table.size());
        std::vector<RgbQuad> entries(held);
        for (size_t i = 0; i < held && (i + 1) * entrySize <= got; ++i)
            entries[i] = RgbQuad{table[i * entrySize], table[i * entrySize + 1], table[i * entrySize + 2], 0};
        SetPalette(entries.data(), held);
        if (info.biClrUsed > held) stream.Seek(int64_t(info.biClrUsed - held) * int64_t(entrySize), SEEK_CUR);
    }
    if (GetEscape()) failDecode("Cancelled");

    auto seekToData = [&] {
        if (fileHeader.bfOffBits != 0) stream.Seek(start + int64_t(fileHeader.bfOffBits), SEEK_SET);
    };
    switch (info.biBitCount) {
    case 32:
        if (info.biCompression != kBiRgb && info.biCompression != kBiBitfields) failDecode("unknown compression");
        seekToData();
        ReadBitfieldRows(stream, 32, 0, 0, 0);
        break;
    case 24:
        if (info.biCompression != kBiRgb) failDecode("unknown compression");
        seekToData();
        stream.Read(GetBits(), 1, GetHeader().biSizeImage);
        break;
    case 16: {
        uint32_t masks[3] = {0x7C00, 0x3E0, 0x1F};
        if (info.biCompression == kBiBitfields) {
            uint8_t maskBytes[12] = {};
            stream.Read(maskBytes, 1, sizeof maskBytes);
            for (int i = 0; i < 3; ++i) masks[i] = readLe32(maskBytes + 4 * i);
        }
        seekToData();
        ReadBitfieldRows(stream, 16, masks[0], masks[1], masks[2]);
        break;
    }
    case 1:
    case 4:
    case 8:
        seekToData();
        switch (info.biCompression) {
        case kBiRgb: stream.Read(GetBits(), 1, GetHeader().biSizeImage); break;
        case kBiRle8: ReadRle8(stream); break;
        case kBiRle4: ReadRle4(stream); break;
        default: failDecode("compression type not supported");
        }
        break;
    default: break; // no pixels for other bit counts
    }
    if (topDown) FlipVertically();
}

// Reads 16- or 32-bit rows one at a time and widens each into its 24-bit picture row; a short
// file leaves the rows below cleared.
void CxImageBMP::ReadBitfieldRows(ImageStream& stream, uint32_t bitCount, uint32_t redMask, uint32_t greenMask,
                                  uint32_t blueMask) {
    const uint64_t width = GetWidth();
    const uint64_t sourceRow = bitCount == 32 ? width * 4 : ((width + 1) / 2) * 4;
    std::vector<uint8_t> row(sourceRow);
    for (uint32_t y = 0; y < GetHeight(); ++y) {
        const size_t got = stream.Read(row.data(), 1, row.size());
        if (got == 0) break;
        std::fill(row.begin() + std::ptrdiff_t(got), row.end(), 0);
        ExpandBitfields(row.data(), y, redMask, greenMask, blueMask, bitCount);
        if (got < row.size()) break;
    }
}

void CxImage::ExpandBitfields(const uint8_t* source, uint32_t row, uint32_t redMask, uint32_t greenMask,
                              uint32_t blueMask, uint32_t bitCount) {
    uint8_t* dst = GetRow(row);
    if (!dst || GetBitCount() != 24) return;
    const uint32_t width = GetWidth();
    if (bitCount == 32) {
        for (uint32_t x = 0; x < width; ++x) {
            dst[3 * uint64_t(x)] = source[4 * uint64_t(x)];
            dst[3 * uint64_t(x) + 1] = source[4 * uint64_t(x) + 1];
            dst[3 * uint64_t(x) + 2] = source[4 * uint64_t(x) + 2];
        }
        return;
    }
    const int r = std::popcount(redMask & 0xFFFF);
    const int g = std::popcount(greenMask & 0xFFFF);
    const int b = std::popcount(blueMask & 0xFFFF);
    for (uint32_t x = 0; x < width; ++x) {
        const uint32_t w = readLe16(source + 2 * uint64_t(x));
        dst[3 * uint64_t(x)] = uint8_t(shiftLeftBy(w & blueMask, 8 - r));
        dst[3 * uint64_t(x) + 1] = uint8_t(shiftLeftBy(w & greenMask, -(r + g - 8)));
        dst[3 * uint64_t(x) + 2] = uint8_t(shiftLeftBy(w & redMask, -(r + g + b - 8)));
    }
}

// RLE8: runs and absolute blocks of bytes, bottom row first. Only what falls inside the
// picture is written; the rest of a run is read and dropped.
void CxImageBMP::ReadRle8(ImageStream& stream) {
    const int64_t rowLength = GetRowLength();
    const int64_t height = GetHeight();
    int64_t row = 0, column = 0;
    auto put = [&](uint8_t value) {
        if (row >= 0 && row < height && column >= 0 && column < rowLength) GetRow(uint32_t(row))[column] = value;
    };
    for (;;) {
        const int count = stream.GetC();
        if (count < 0) return;
        if (count > 0) {
            const int value = stream.GetC();
            if (value < 0) return;
            const int64_t room = std::max<int64_t>(0, rowLength - column);
            const int64_t written = std::min<int64_t>(count, room);
            for (int64_t i = 0; i < written; ++i, ++column) put(uint8_t(value));
            continue;
        }
        const int command = stream.GetC();
        if (command < 0 || command == 1) return;
        if (command == 0) {
            column = 0;
            ++row;
        } else if (command == 2) {
            const int dx = stream.GetC();
            const int dy = stream.GetC();
            if (dx < 0 || dy < 0) return;
            column += dx;
            row += dy;
        } else {
            for (int i = 0; i < command; ++i, ++column) {
                const int value = stream.GetC();
                if (value < 0) return;
                put(uint8_t(value));
            }
            if (command & 1) stream.GetC();
        }
    }
}

// RLE4: the same commands on nibbles; the column counts bytes and `low` says whether the next
// pixel goes into the low nibble.
void CxImageBMP::ReadRle4(ImageStream& stream) {
    const int64_t rowLength = GetRowLength();
    const int64_t height = GetHeight();
    int64_t row = 0, column = 0;
    bool low = false;
    auto put = [&](uint8_t value) {
        if (row < 0 || row >= height || column < 0 || column >= rowLength) return;
        uint8_t& byte = GetRow(uint32_t(row))[column];
        if (low) byte = uint8_t(byte + (value & 0x0F));
        else byte = uint8_t(value & 0xF0);
    };
    for (;;) {
        const int count = stream.GetC();
        if (count < 0) return;
        if (count > 0) {
            const int value = stream.GetC();
            if (value < 0) return;
            for (int i = 0; i < count; ++i) {
                put(uint8_t(value));
                if (low) ++column;
                low = !low;
            }
            continue;
        }
        const int command = stream.GetC();
        if (command < 0 || command == 1) return;
        if (command == 0) {
            column = 0;
            ++row;
            low = false;
        } else if (command == 2) {
            const int dx = stream.GetC();
            const int dy = stream.GetC();
            if (dx < 0 || dy < 0) return;
            column += dx / 2;
            row += dy;
        } else {
            int data = stream.GetC();
            if (data < 0) return;
            for (int i = 0; i < command; ++i) {
                put(uint8_t(data));
                if (low) {
                    if (i + 1 < command) {
                        data = stream.GetC();
                        if (data < 0) return;
                    }
                    ++column;
                }
                low = !low;
            }
            if (((command + 1) / 2) & 1) stream.GetC();
        }
    }
}

} // namespace tracemill
