#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "compound_file_writer.h"
#include "platform/ole/compound_file.h"
#include "platform/ole/compound_file_format.h"

namespace tracemill::test {
namespace {

using ole::CompoundFile;

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(seed + i * 7 + i / 251);
    return bytes;
}

void put32At(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A small stream (in the mini stream) and a large one (in sectors of its own).
CompoundFileImage twoStreams() {
    return WriteCompoundFile({{StreamName("\x01Ole10Native"), pattern(300, 1)},
                              {StreamName("\x02OlePres000"), pattern(9000, 2)}});
}

TEST(CompoundFile, ReadsSmallAndLargeStreamsByName) {
    const CompoundFileImage image = twoStreams();
    CompoundFile file;
    ASSERT_TRUE(file.open(image.bytes)) << file.error();
    EXPECT_EQ(file.readStream(ole::AnsiToWide("\x01Ole10Native")), pattern(300, 1));
    EXPECT_EQ(file.readStream(ole::AnsiToWide("\x02OlePres000")), pattern(9000, 2));
    // Storage names compare without regard to the case of A-Z.
    EXPECT_EQ(file.readStream(ole::AnsiToWide("\x02olepres000")), pattern(9000, 2));
    EXPECT_FALSE(file.readStream(ole::AnsiToWide("\x03ObjInfo")));
    EXPECT_FALSE(file.readStream(ole::AnsiToWide("Root Entry"))) << "the root is no stream";
}

TEST(CompoundFile, EmptyStreamAndStreamAtTheCutoff) {
    const CompoundFileImage image =
        WriteCompoundFile({{u"empty", {}}, {u"cutoff", pattern(4096, 3)}, {u"below", pattern(4095, 4)}});
    CompoundFile file;
    ASSERT_TRUE(file.open(image.bytes)) << file.error();
    EXPECT_EQ(file.readStream(u"empty"), std::vector<uint8_t>());
    EXPECT_EQ(file.readStream(u"cutoff"), pattern(4096, 3));
    EXPECT_EQ(file.readStream(u"below"), pattern(4095, 4));
}

struct Damage {
    const char* name;
    std::function<void(CompoundFileImage&)> apply;
    bool opens;  // the file still opens, but the large stream is refused
};

TEST(CompoundFile, DamagedFilesGiveNoStreamAndReadNothingOutside) {
    using namespace tracemill::ole;
    const Damage cases[] = {
        {"not a compound file", [](CompoundFileImage& f) { f.bytes[0] = 'M'; }, false},
        {"cut inside the header", [](CompoundFileImage& f) { f.bytes.resize(300); }, false},
        {"cut in half", [](CompoundFileImage& f) { f.bytes.resize(f.bytes.size() / 2); }, true},
        {"sector size of 2 bytes", [](CompoundFileImage& f) { f.bytes[kHeaderSectorShift] = 1; }, false},
        {"more FAT sectors than the file holds",
         [](CompoundFileImage& f) { put32At(f.bytes, kHeaderFatSectorCount, 0x7FFFFFFF); }, false},
        {"FAT sector beyond the file",
         [](CompoundFileImage& f) { put32At(f.bytes, kHeaderDifat, 0x00FFFFFF); }, false},
        {"directory chain starting beyond the file",
         [](CompoundFileImage& f) { put32At(f.bytes, kHeaderFirstDirectorySector, 5000); }, false},
        {"large stream chain looping back to its start",
         [](CompoundFileImage& f) {
             const size_t s = size_t(f.firstSectors[1]);
             put32At(f.bytes, f.fatOffset + 4 * (s + 1), uint32_t(s));
         },
         true},
        {"large stream chain ending early",
         [](CompoundFileImage& f) {
             const size_t s = size_t(f.firstSectors[1]);
             put32At(f.bytes, f.fatOffset + 4 * (s + 3), kEndOfChain);
         },
         true},
        {"size larger than its chain",
         [](CompoundFileImage& f) { put32At(f.bytes, f.entryOffsets[1] + kEntryStreamSize, 0x7FFFFFF0); }, true},
        {"start sector beyond the file",
         [](CompoundFileImage& f) { put32At(f.bytes, f.entryOffsets[1] + kEntryStartSector, 0x00FFFFFF); }, true},
        {"start at a special sector number",
         [](CompoundFileImage& f) { put32At(f.bytes, f.entryOffsets[1] + kEntryStartSector, kFatSector); }, true},
        {"siblings pointing at each other",
         [](CompoundFileImage& f) {
             // The first stream's siblings are itself: the second cannot be reached.
             put32At(f.bytes, f.entryOffsets[0] + kEntryLeftSibling, 1);
             put32At(f.bytes, f.entryOffsets[0] + kEntryRightSibling, 1);
         },
         true},
    };
    for (const Damage& c : cases) {
        CompoundFileImage image = twoStreams();
        c.apply(image);
        CompoundFile file;
        const bool opened = file.open(image.bytes);
        EXPECT_EQ(opened, c.opens) << c.name << ": " << file.error();
        if (opened) {
            EXPECT_FALSE(file.readStream(ole::AnsiToWide("\x02OlePres000"))) << c.name;
        } else {
            EXPECT_FALSE(file.error().empty()) << c.name;
        }
    }
}

TEST(CompoundFile, MiniStreamChainsAreChecked) {
    CompoundFileImage image = WriteCompoundFile({{u"small", pattern(200, 5)}});
    CompoundFile file;
    ASSERT_TRUE(file.open(image.bytes));
    ASSERT_EQ(file.readStream(u"small"), pattern(200, 5));
    // Mini sector 0 of the stream pointing at itself: a loop.
    const uint32_t miniFat = uint32_t(image.bytes[ole::kHeaderFirstMiniFatSector]);
    const size_t miniFatOffset = ole::kCompoundHeaderSize + miniFat * 512;
    put32At(image.bytes, miniFatOffset, 0);
    ASSERT_TRUE(file.open(image.bytes));
    EXPECT_FALSE(file.readStream(u"small"));
    // A mini sector beyond the mini stream.
    put32At(image.bytes, miniFatOffset, 1000);
    ASSERT_TRUE(file.open(image.bytes));
    EXPECT_FALSE(file.readStream(u"small"));
}

} // namespace
} // namespace tracemill::test
