// The object map and the object prologue, on small files assembled with the bit writer.
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/read/dwg_object_map.h"
#include "toolkit/read/dwg_object_prologue.h"
#include "toolkit/codec/bit_writer.h"
#include "toolkit/write/dwg13/object_map_writer.h"
#include "toolkit/codec/crc16.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using Bytes = std::vector<uint8_t>;

// Appends one object record: its size as a modular short, the data and the CRC.
void appendRecord(Bytes& file, const Bytes& data) {
    const size_t start = file.size();
    if (data.size() <= 0x7FFF) {
        file.resize(start + 2);
        putLe16(&file[start], uint16_t(data.size()));
    } else {
        file.resize(start + 4);
        putLe16(&file[start], uint16_t(0x8000 | (data.size() & 0x7FFF)));
        putLe16(&file[start + 2], uint16_t(data.size() >> 15));
    }
    file.insert(file.end(), data.begin(), data.end());
    const uint16_t crc = wrCrc16(kCrcSeedRecords, &file[start], file.size() - start);
    file.push_back(uint8_t(crc));
    file.push_back(uint8_t(crc >> 8));
}

// Appends one section of the object map with its entries, big-endian size and CRC.
void appendMapSection(Bytes& file, const std::vector<ObjectMapEntry>& entries) {
    Bytes section(2);
    Handle previous;
    int64_t previousPosition = 0;
    for (const ObjectMapEntry& e : entries) {
        wrAppendMapEntry(section, Handle(e.handle.value - previous.value),
                         int32_t(int64_t(e.position) - previousPosition));
        previous = e.handle;
        previousPosition = e.position;
    }
    section[0] = uint8_t(section.size() >> 8);
    section[1] = uint8_t(section.size());
    const uint16_t crc = wrCrc16(kCrcSeedRecords, section.data(), section.size());
    section.push_back(uint8_t(crc >> 8));
    section.push_back(uint8_t(crc));
    file.insert(file.end(), section.begin(), section.end());
}

TEST(ObjectMap, ReadsSectionsUntilTheEmptyOneAndLocatesByHandle) {
    Bytes file(5000, 0);
    const size_t mapOffset = file.size();
    std::vector<ObjectMapEntry> first, second;
    for (uint32_t i = 0; i < 300; ++i) first.push_back({Handle(0x10 + 3 * i), 100 + 7 * i});
    second.push_back({Handle(0x5000), 4900});
    second.push_back({Handle(0x4FFF), 10});  // positions and handles may go down
    appendMapSection(file, first);
    appendMapSection(file, second);
    appendMapSection(file, {});
    EXPECT_EQ(Bytes(file.end() - 4, file.end()), (Bytes{0x00, 0x02, 0x01, 0xD0}));

    ObjectMap map;
    ASSERT_EQ(rdReadObjectMap(file, mapOffset, map), 1);
    EXPECT_FALSE(map.damaged);
    ASSERT_EQ(map.size(), 302u);
    EXPECT_EQ(map.entries()[301].handle.value, 0x4FFFu);

    uint32_t position = 0;
    EXPECT_EQ(rdLocateObjectByHandle(map, Handle(0x10 + 3 * 123), position), 1);
    EXPECT_EQ(position, 100u + 7 * 123);
    EXPECT_EQ(rdLocateObjectByHandle(map, Handle(0x4FFF), position), 1);
    EXPECT_EQ(position, 10u);
    EXPECT_EQ(rdLocateObjectByHandle(map, Handle(0x11), position), 0);
    EXPECT_EQ(rdLocateObjectByHandle(map, Handle(), position), 0);
}

TEST(ObjectMap, DamagedMapsKeepWhatWasReadBeforeTheDamage) {
    Bytes file(1000, 0);
    const size_t mapOffset = file.size();
    appendMapSection(file, {{Handle(1), 10}, {Handle(2), 20}});
    appendMapSection(file, {{Handle(3), 30}, {Handle(4), 5000}});  // beyond the file: dropped
    const size_t cut = file.size();
    appendMapSection(file, {{Handle(5), 50}});

    ObjectMap map;
    Bytes truncated(file.begin(), file.begin() + cut + 3);
    EXPECT_EQ(rdReadObjectMap(truncated, mapOffset, map), 1);
    EXPECT_TRUE(map.damaged) << "the third section does not fit";
    EXPECT_EQ(map.size(), 3u);
    EXPECT_EQ(map.rejected, 1u);

    EXPECT_EQ(rdReadObjectMap(file, file.size() + 10, map), 0);
    EXPECT_EQ(map.size(), 0u);

    Bytes badSize = file;
    badSize[mapOffset] = 0;
    badSize[mapOffset + 1] = 1;  // a size below its own two bytes
    EXPECT_EQ(rdReadObjectMap(badSize, mapOffset, map), 1);
    EXPECT_TRUE(map.damaged);
    EXPECT_EQ(map.size(), 0u);
}

// The body of an R2000 object record: type, bit size, handle, extended data, reactors.
Bytes objectData(uint16_t type, Handle handle, int versionIndex, uint32_t bitSize, int32_t reactors,
                 const std::vector<Bytes>& xdataBlocks = {}) {
    BitWriter w;
    wrPutBitShort(w, type);
    if (versionIndex >= 7) wrPutRawLongBits(w, int32_t(bitSize));
    wrPutHandle(w, 0, handle);
    for (const Bytes& block : xdataBlocks) {
        wrPutBitShort(w, uint16_t(block.size()));
        wrPutHandle(w, 5 << 4, Handle(0x12));
        wrPutRawBytes(w, block.data(), block.size());
    }
    wrPutBitShort(w, 0);
    if (versionIndex < 7) wrPutRawLongBits(w, int32_t(bitSize));
    wrPutBitLong(w, reactors);
    wrPutBitShort(w, 777);  // the first field of the body
    return w.takeBytes();
}

TEST(ObjectPrologue, ObjectOf2000) {
    Bytes file(20, 0);
    const size_t at = file.size();
    appendRecord(file, objectData(42, Handle(0xC), 7, 60, 2));
    BitReader reader;
    ObjectPrologue p;
    EXPECT_EQ(rdReadObjectPrologue(file, at, file.size(), 7, false, reader, p), 42);
    EXPECT_EQ(p.status, PrologueStatus::Read);
    EXPECT_EQ(p.handle.value, 0xCu);
    EXPECT_EQ(p.bitSize, 60u);
    EXPECT_EQ(p.reactorCount, 2u);
    EXPECT_FALSE(p.hasXData);
    EXPECT_TRUE(p.xdata.empty());
    EXPECT_EQ(p.recordPosition, at);
    EXPECT_EQ(p.dataPosition, at + 2);
    EXPECT_EQ(p.nextRecordPosition, file.size());
    EXPECT_EQ(rdBitShort(reader), 777) << "the reader stands after the prologue";
}

TEST(ObjectPrologue, EntityOfR14WithExtendedDataAndGraphics) {
    BitWriter w;
    wrPutBitShort(w, 19);
    wrPutHandle(w, 0, Handle(0x2A));
    const Bytes first = {1, 2, 3}, second = {9};
    for (const Bytes* block : {&first, &second}) {
        wrPutBitShort(w, uint16_t(block->size()));
        wrPutHandle(w, 5 << 4, Handle(0x12));
        wrPutRawBytes(w, block->data(), block->size());
    }
    wrPutBitShort(w, 0);
    wrPutBit(w, 1);
    const Bytes graphics = {0xDE, 0xAD, 0xBE, 0xEF, 0x01};
    wrPutRawLongBits(w, int32_t(graphics.size()));
    wrPutRawBytes(w, graphics.data(), graphics.size());
    wrPutRawLongBits(w, 500);
    wrPutBitShort(w, 777);
    Bytes file;
    appendRecord(file, w.takeBytes());

    BitReader reader;
    ObjectPrologue p;
    EXPECT_EQ(rdReadObjectPrologue(file, 0, file.size(), 6, true, reader, p), 19);
    EXPECT_EQ(p.handle.value, 0x2Au);
    EXPECT_TRUE(p.hasXData);
    EXPECT_EQ(p.xdata, (Bytes{3, 0, 0x51, 0x12, 1, 2, 3, 1, 0, 0x51, 0x12, 9, 0, 0}));
    EXPECT_TRUE(p.hasGraphics);
    EXPECT_EQ(p.graphics, graphics);
    EXPECT_EQ(p.bitSize, 500u);
    EXPECT_EQ(rdBitShort(reader), 777);
}

TEST(ObjectPrologue, RecordsOfTypeZeroArePassedOverAndTheEndIsReported) {
    Bytes file;
    appendRecord(file, objectData(0, Handle(1), 7, 0, 0));
    appendRecord(file, Bytes{});
    const size_t third = file.size();
    appendRecord(file, objectData(73, Handle(3), 7, 60, 0));
    BitReader reader;
    ObjectPrologue p;
    EXPECT_EQ(rdReadObjectPrologue(file, 0, file.size(), 7, false, reader, p), 73);
    EXPECT_EQ(p.recordPosition, third);
    EXPECT_EQ(rdReadObjectPrologue(file, p.nextRecordPosition, file.size(), 7, false, reader, p), 0);
    EXPECT_EQ(p.status, PrologueStatus::End);
    EXPECT_EQ(rdReadObjectPrologue(file, 0, 0, 7, false, reader, p), 0);
    EXPECT_EQ(p.status, PrologueStatus::End);
}

TEST(ObjectPrologue, RecordsLargerThanOneChunkMapToFileOffsets) {
    BitWriter w;
    wrPutBitShort(w, 42);
    wrPutRawLongBits(w, 40000 * 8);
    wrPutHandle(w, 0, Handle(0x99));
    wrPutBitShort(w, 0);
    wrPutBitLong(w, 0);
    Bytes data = w.takeBytes();
    data.resize(40000, 0x5A);
    Bytes file(100, 0);
    appendRecord(file, data);

    BitReader reader;
    ObjectPrologue p;
    EXPECT_EQ(rdReadObjectPrologue(file, 100, file.size(), 7, false, reader, p), 42);
    EXPECT_EQ(p.dataSize, 40000u);
    EXPECT_EQ(p.dataPosition, 104u) << "two size words";
    reader.seekBit(uint64_t(39990) * 8);
    EXPECT_EQ(rdBitPosition(reader), 104u + 39990);
    EXPECT_EQ(rdRawChar(reader), 0x5A);
    EXPECT_EQ(p.nextRecordPosition, file.size());
}

TEST(ObjectPrologue, DamagedRecordsFail) {
    BitReader reader;
    ObjectPrologue p;
    struct Case {
        const char* name;
        Bytes file;
        bool isEntity;
        PrologueStatus status;
    } cases[] = {
        {"size beyond the file", Bytes{0x40, 0x00, 42, 0}, false, PrologueStatus::Damaged},
        {"size field cut off", Bytes{0x40}, false, PrologueStatus::Damaged},
        {"bit size beyond the record", {}, false, PrologueStatus::Damaged},
        {"extended data beyond the record", {}, false, PrologueStatus::Damaged},
        {"graphics beyond the record", {}, true, PrologueStatus::Damaged},
        {"extended data over 32,768 bytes", {}, false, PrologueStatus::XDataTooLarge},
    };
    appendRecord(cases[2].file, objectData(42, Handle(1), 7, 8 * 1000, 0));
    {
        BitWriter w;
        wrPutBitShort(w, 42);
        wrPutRawLongBits(w, 0);
        wrPutHandle(w, 0, Handle(1));
        wrPutBitShort(w, 300);
        wrPutHandle(w, 5 << 4, Handle(0x12));
        appendRecord(cases[3].file, w.takeBytes());
    }
    {
        BitWriter w;
        wrPutBitShort(w, 1);
        wrPutRawLongBits(w, 0);
        wrPutHandle(w, 0, Handle(1));
        wrPutBitShort(w, 0);
        wrPutBit(w, 1);
        wrPutRawLongBits(w, 1 << 20);
        appendRecord(cases[4].file, w.takeBytes());
    }
    appendRecord(cases[5].file, objectData(42, Handle(1), 7, 0, 0, {Bytes(20000, 1), Bytes(20000, 2)}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rdReadObjectPrologue(c.file, 0, c.file.size(), 7, c.isEntity, reader, p), 0);
        EXPECT_EQ(p.status, c.status);
    }
}

TEST(ObjectPrologue, ExtendedDataUpToTheLimitIsKept) {
    Bytes file;
    // Two blocks of 2 + 1 + 1 + n bytes each and the closing zero: exactly 32,768 bytes.
    const size_t n = (kMaxRawXDataSize - 2) / 2 - 4;
    appendRecord(file, objectData(42, Handle(1), 7, 0, 0, {Bytes(n, 1), Bytes(n, 2)}));
    BitReader reader;
    ObjectPrologue p;
    EXPECT_EQ(rdReadObjectPrologue(file, 0, file.size(), 7, false, reader, p), 42);
    EXPECT_EQ(p.xdata.size(), kMaxRawXDataSize);
}

} // namespace
} // namespace tracemill
