// The EXIF reader on damaged directories: it stops with its own error text and never reads
// outside the block or loops over directories that link to each other.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/image/decode/exif_reader.h"
#include "image_test_support.h"

namespace tracemill {
namespace {

using Bytes = std::vector<uint8_t>;

struct Entry {
    uint16_t tag, format;
    uint32_t components, value;
};

// A JPEG start, one EXIF section whose first directory (at offset 8) holds `entries`, and the
// end of the image. The directory's next-directory link is left out when `link` is false, so
// the last entry ends the block.
Bytes jpegWithExif(const std::vector<Entry>& entries, bool link = true) {
    Bytes tiff = {'I', 'I', 0x2A, 0, 8, 0, 0, 0};
    tiff.resize(tiff.size() + 2);
    writeLe16(&tiff[8], uint16_t(entries.size()));
    for (const Entry& e : entries) {
        uint8_t bytes[12];
        writeLe16(bytes, e.tag);
        writeLe16(bytes + 2, e.format);
        writeLe32(bytes + 4, e.components);
        writeLe32(bytes + 8, e.value);
        tiff.insert(tiff.end(), bytes, bytes + 12);
    }
    if (link) tiff.insert(tiff.end(), 4, 0);
    const uint8_t head[] = {0xFF, 0xD8, 0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    Bytes jpeg(sizeof head + tiff.size());
    std::copy(std::begin(head), std::end(head), jpeg.begin());
    std::copy(tiff.begin(), tiff.end(), jpeg.begin() + sizeof head);
    const size_t length = jpeg.size() - 4 + 2;
    jpeg[4] = uint8_t(length >> 8);
    jpeg[5] = uint8_t(length);
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

bool readExif(const Bytes& bytes, ExifReader& reader) {
    test::MemoryStream stream(bytes);
    return reader.ReadSections(stream.stream(), ExifReader::kReadExif);
}

TEST(ExifReader, DirectoriesThatLinkBackAreReadNoMoreThanTheBlockHolds) {
    // 300 EXIF sub-directory links, each back to this same directory: read naively, five
    // levels of 300 entries each.
    const std::vector<Entry> loop(300, Entry{34665, 4, 1, 8});
    ExifReader reader;
    readExif(jpegWithExif(loop), reader);
    EXPECT_EQ(reader.GetLastError(), "Too many EXIF directory entries");
    EXPECT_TRUE(reader.Info().isExif);
}

TEST(ExifReader, EntriesWithoutComponentsHaveNoValue) {
    // A rational X resolution of no components as the block's last bytes: its 8-byte value
    // would lie behind the block.
    ExifReader reader;
    readExif(jpegWithExif({Entry{283, 3, 1, 72}, Entry{282, 5, 0, 0}}, false), reader);
    EXPECT_TRUE(reader.Info().isExif);
    EXPECT_EQ(reader.Info().yResolution, 72);
    EXPECT_EQ(reader.Info().xResolution, 0);
}

} // namespace
} // namespace tracemill
