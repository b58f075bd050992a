// Writes small compound files for tests: version 3 (512-byte sectors), the FAT first, then
// the directory, the mini FAT, the mini stream and the large streams, each stream a child of
// the root storage. Streams below 4,096 bytes go into the mini stream as the format asks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tracemill::test {

struct CompoundStream {
    std::u16string name;
    std::vector<uint8_t> bytes;
};

struct CompoundFileImage {
    std::vector<uint8_t> bytes;
    // Byte offsets of what tests damage: the first FAT sector, the directory entry of each
    // stream (in the order given), and the first sector number of each large stream (-1 for
    // a stream in the mini stream).
    size_t fatOffset = 0;
    std::vector<size_t> entryOffsets;
    std::vector<int64_t> firstSectors;
};

CompoundFileImage WriteCompoundFile(const std::vector<CompoundStream>& streams);

// A name of single-byte characters as a stream name ("\x01Ole10Native").
std::u16string StreamName(const std::string& name);

} // namespace tracemill::test
