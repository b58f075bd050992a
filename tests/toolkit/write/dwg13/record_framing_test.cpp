// The framing of R13-2000 DWG records and the object map, checked with an independent CRC and
// bit decoding: size words and CRC of records of every size, the size in bits patched in
// place, extended data, the handle tail of table records and objects, cut texts, the runs and
// sections of the map.
#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bit_string.h"
#include "dwg13_structure_check.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/read/raw_xdata.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dwg13/object_framing.h"
#include "toolkit/write/dwg13/object_map_writer.h"
#include "toolkit/write/dwg13/text_output.h"
#include "toolkit/write/dwg13/xdata_encoder.h"
#include "toolkit/write/save_driver.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

// An output context on a file of the folder, ready for records of a version.
class FramingTest : public test::WriterTest {
protected:
    OutputContextPtr open(int16_t version) {
        OutputContextPtr output = wrOpenOutput((folder_ / "records.bin").c_str(), version, kSaveFormatDwg);
        EXPECT_NE(output, nullptr);
        wrBitInit(*output, 0);
        return output;
    }
    // Closes the file and gives its bytes.
    std::vector<uint8_t> finish(OutputContext& output) {
        EXPECT_EQ(wrCloseOutput(output), 1);
        return test::readFileBytes(folder_ / "records.bin");
    }
};

TEST(RecordSizeField, OneWordUpTo32767ThenTwoAndNoneFrom2To30) {
    struct Row {
        uint64_t size;
        std::vector<uint8_t> bytes;
    } rows[] = {
        {0, {0x00, 0x00}},
        {100, {0x64, 0x00}},
        {32767, {0xFF, 0x7F}},
        {32768, {0x00, 0x80, 0x01, 0x00}},
        {70000, {0x70, 0x91, 0x02, 0x00}},
        {(uint64_t(1) << 30) - 1, {0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Row& row : rows) {
        uint8_t out[4];
        const int n = wrDwgRecordSizeField(row.size, out);
        EXPECT_EQ(std::vector<uint8_t>(out, out + n), row.bytes) << row.size;
    }
}

TEST_F(FramingTest, ARecordOfTwoToTheThirtyBytesFailsWith147) {
    uint8_t out[4];
    EXPECT_EQ(wrDwgRecordSizeField(uint64_t(1) << 30, out), 0);
    EXPECT_EQ(dbGetError(), kErrorDwgRecordTooLarge);
}

// Records of 100, 32,767, 32,768 and 70,000 bytes of data in R14 and 2000 files: the size words,
// the CRC by an independent CRC, the size in bits at its place (in a 70,000-byte record the
// handles start across the 32 KB chunk edge), the data as written.
TEST_F(FramingTest, RecordsOfEverySizeAreFramedRight) {
    for (int16_t version : {kVersionAC1014, kVersionAC1015}) {
        for (uint32_t size : {100u, 32767u, 32768u, 70000u}) {
            SCOPED_TRACE(std::to_string(size) + " bytes, version " + std::to_string(version));
            OutputContextPtr output = open(version);
            ASSERT_TRUE(output);
            const Handle own(0x2A5);
            ASSERT_EQ(wrBeginObject(*output, 0x1F3, own, 0, nullptr, nullptr, false), 1);
            BitWriter& bits = output->dwg13->bits;
            const uint64_t prologue = bits.bitLength();
            std::vector<uint8_t> filler(size - (prologue + 7) / 8);
            std::iota(filler.begin(), filler.end(), uint8_t(7));
            wrPutRawBytes(bits, filler.data(), filler.size());
            const uint64_t handles = size > 40000 ? 32768 * 8 - 5 : bits.bitLength() - 3;
            wrNoteHandleStreamAt(*output, handles);
            ASSERT_EQ(wrEndObject(*output), 1);
            const std::vector<uint8_t> file = finish(*output);
            const size_t head = size > 32767 ? 4 : 2;
            ASSERT_EQ(file.size(), head + size + 2);
            uint8_t words[4];
            ASSERT_EQ(size_t(wrDwgRecordSizeField(size, words)), head);
            EXPECT_TRUE(std::equal(words, words + head, file.begin()));
            const uint16_t crc = test::checkCrc16(kCrcSeedRecords, std::span(file).first(head + size));
            EXPECT_EQ(getLe16(&file[head + size]), crc);
            // The size in bits: after the type in 2000, after the handle and extended data before.
            BitReader reader(std::span<const uint8_t>(file).subspan(head, size));
            EXPECT_EQ(rdBitShort(reader), 0x1F3);
            if (version >= kVersionAC1015) {
                EXPECT_EQ(uint64_t(rdRawLong(reader)), handles);
            }
            Handle read;
            rdReadHandle(reader, read);
            EXPECT_EQ(read, own);
            EXPECT_EQ(rdBitShort(reader), 0); // no extended data
            if (version < kVersionAC1015) {
                EXPECT_EQ(uint64_t(rdRawLong(reader)), handles);
            }
            std::vector<uint8_t> data(filler.size());
            reader.readBytes(data.data(), data.size());
            EXPECT_EQ(data, filler);
        }
    }
}

TEST_F(FramingTest, ExtendedDataGoesOutPerApplicationAndReadsBack) {
    PagedStream* stream = dbStreamCreate(4096);
    OwnedStream xdata(stream);
    OpenStream* out = dbStreamOpenWrite(stream);
    auto item = [&](uint16_t code) {
        XDataItem it;
        it.code = code;
        return it;
    };
    XDataItem orphan = item(1070); // before any application: belongs to none
    orphan.int16 = 9;
    dbWriteXDataItem(out, orphan);
    XDataItem app = item(1001);
    app.handle = Handle(0x12);
    dbWriteXDataItem(out, app);
    XDataItem text = item(1000);
    text.text = "MVIEW";
    dbWriteXDataItem(out, text);
    XDataItem brace = item(1002);
    brace.brace = 1;
    dbWriteXDataItem(out, brace);
    XDataItem point = item(1011);
    point.point = {1.5, -2, 3};
    dbWriteXDataItem(out, point);
    XDataItem binary = item(1004);
    binary.binary.assign(300, 0xAB); // cut to what its length byte says
    binary.length = 300;
    dbWriteXDataItem(out, binary);
    XDataItem second = item(1001);
    second.handle = Handle(0x3F);
    dbWriteXDataItem(out, second);
    XDataItem longValue = item(1071);
    longValue.int32 = -70000;
    dbWriteXDataItem(out, longValue);
    XDataItem layer = item(1003);
    layer.handle = Handle(0x10);
    dbWriteXDataItem(out, layer);
    dbStreamCloseWrite(out);

    OutputContextPtr output = open(kVersionAC1015);
    wrBitReset(*output);
    ASSERT_EQ(wrPutEed(*output, &xdata), 1);
    const std::vector<uint8_t> bytes = output->dwg13->bits.takeBytes();
    // Read back as the reader's prologue keeps it: per application the size, the handle and the
    // data, ended by a size of 0.
    BitReader reader(bytes);
    std::vector<uint8_t> raw;
    for (;;) {
        const uint16_t size = rdBitShort(reader);
        if (size == 0) break;
        const uint8_t code = reader.readByte();
        EXPECT_EQ(code >> 4, 5) << "an application is a hard pointer";
        uint8_t handle[8] = {};
        reader.readBytes(handle, code & 15);
        raw.push_back(uint8_t(size));
        raw.push_back(uint8_t(size >> 8));
        raw.push_back(code);
        raw.insert(raw.end(), handle, handle + (code & 15));
        const size_t at = raw.size();
        raw.resize(at + size);
        reader.readBytes(&raw[at], size);
    }
    RawXDataReader items(RawXDataForm::DwgR13, raw);
    std::vector<std::string> seen;
    RawXDataItem read;
    while (items.next(read)) {
        std::string line = std::to_string(read.code);
        if (read.code == 1001 || read.code == 1003) line += " " + std::to_string(read.handle.value);
        if (read.code == 1000 || read.code == 1004) line += " " + std::to_string(read.text.size()) + " " + read.text.substr(0, 5);
        if (read.code == 1002) line += read.open ? " {" : " }";
        if (read.code == 1011) line += " " + std::to_string(read.point.x) + "," + std::to_string(read.point.y);
        if (read.code == 1071) line += " " + std::to_string(read.longValue);
        seen.push_back(line);
    }
    const std::string cut(5, char(0xAB));
    EXPECT_EQ(seen, (std::vector<std::string>{"1001 18", "1000 5 MVIEW", "1002 }", "1011 1.500000,-2.000000",
                                              "1004 255 " + cut, "1001 63", "1071 -70000", "1003 16"}));
}

TEST(XDataEncoder, EveryItemInTheFormTheReaderReads) {
    struct Row {
        const char* name;
        XDataItem item;
        std::vector<uint8_t> bytes;
    };
    auto make = [](uint16_t code, auto set) {
        XDataItem it;
        it.code = code;
        set(it);
        return it;
    };
    const Row rows[] = {
        {"text with the code page", make(1000, [](XDataItem& i) { i.text = "ab"; }), {0, 2, 0, 30, 'a', 'b'}},
        {"open brace", make(1002, [](XDataItem& i) { i.brace = 0; }), {2, 0}},
        {"close brace", make(1002, [](XDataItem& i) { i.brace = 1; }), {2, 1}},
        {"layer handle, most significant first", make(1003, [](XDataItem& i) { i.handle = Handle(0x1234); }),
         {3, 0, 0, 0, 0, 0, 0, 0x12, 0x34}},
        {"16 bits", make(1070, [](XDataItem& i) { i.int16 = -2; }), {70, 0xFE, 0xFF}},
        {"32 bits", make(1071, [](XDataItem& i) { i.int32 = 0x01020304; }), {71, 4, 3, 2, 1}},
        {"real", make(1040, [](XDataItem& i) { i.real = 1.0; }), {40, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> out;
        EXPECT_TRUE(wrDwgXDataItem(row.item, 30, out)) << row.name;
        EXPECT_EQ(out, row.bytes) << row.name;
    }
    std::vector<uint8_t> out;
    EXPECT_FALSE(wrDwgXDataItem(make(1020, [](XDataItem&) {}), 30, out)) << "a code without a place";
    EXPECT_TRUE(out.empty());
}

// The handle tail of a table record or object: the owner relative to the own handle, the
// reactors absolute, the extension dictionary (noted for the own handle) and the reference
// slot.
TEST_F(FramingTest, CommonTailWritesOwnerReactorsDictionaryAndSlot) {
    OutputContextPtr output = open(kVersionAC1015);
    wrBitReset(*output);
    output->dwg13->referenceSlot = Handle(0x77);
    ASSERT_EQ(wrPutCommonTail(*output, Handle(0x2A), Handle(0x29), Handle(0x300), HandleList{Handle(0x5), Handle(0x2B)}),
              1);
    const std::vector<uint8_t> bytes = output->dwg13->bits.takeBytes();
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x80, 0x41, 0x05, 0x41, 0x2B, 0x32, 0x03, 0x00, 0x51, 0x77}));
    EXPECT_EQ(wrLookupXdictLink(*output, Handle(0x2A)), Handle(0x300));
    EXPECT_EQ(wrLookupXdictLink(*output, Handle(0x29)), Handle());
    // The first pair of a handle counts.
    wrNoteXdictLink(*output, Handle(0x2A), Handle(0x400));
    EXPECT_EQ(wrLookupXdictLink(*output, Handle(0x2A)), Handle(0x300));
}

int warningHeard = 0;

TEST_F(FramingTest, AnOverlongTextIsCutAtACharacterBoundaryWithAWarning) {
    warningHeard = 0;
    gSystemContext->warningCallback = [](int number) { warningHeard = number; };
    // Code page 38 ("ansi_932"): 0x82 leads a double-byte character.
    std::string text;
    while (text.size() < 70000) text += "\x82\xA0";
    text = "a" + text; // every double-byte character now starts at an odd offset
    BitWriter bits;
    wrPutTextCut(bits, text, 38);
    EXPECT_EQ(warningHeard, kWarningTextCut);
    BitReader reader(bits.bytes());
    const uint16_t length = rdBitShort(reader);
    EXPECT_EQ(length, 65535) << "1 + 32,767 whole characters";
    warningHeard = 0;
    const std::string even = text.substr(1);
    BitWriter bits2;
    wrPutTextCut(bits2, even, 38);
    BitReader reader2(bits2.bytes());
    EXPECT_EQ(rdBitShort(reader2), 65534) << "the last character would be cut in two";
    EXPECT_EQ(warningHeard, kWarningTextCut);
    warningHeard = 0;
    BitWriter bits3;
    wrPutTextCut(bits3, std::string(65535, 'x'), 38);
    EXPECT_EQ(warningHeard, 0) << "a text that fits is written whole";
}

// The entries of a map as the file holds them, decoded independently.
std::vector<std::pair<uint64_t, int64_t>> decodeMap(const std::vector<uint8_t>& file, std::vector<size_t>& sections) {
    std::vector<std::pair<uint64_t, int64_t>> entries;
    size_t at = 0;
    while (at + 2 <= file.size()) {
        const size_t length = size_t(file[at]) << 8 | file[at + 1];
        sections.push_back(length);
        EXPECT_EQ(test::checkCrc16(kCrcSeedRecords, std::span(file).subspan(at, length)),
                  uint16_t(file[at + length] << 8 | file[at + length + 1]));
        if (length == 2) break;
        uint64_t handle = 0;
        int64_t position = 0;
        for (size_t i = at + 2; i < at + length;) {
            uint64_t delta = 0;
            for (unsigned shift = 0;; shift += 7) {
                const uint8_t b = file[i++];
                delta |= uint64_t(b & 0x7F) << shift;
                if (!(b & 0x80)) break;
            }
            int64_t offset = 0;
            for (unsigned shift = 0;; shift += 7) {
                const uint8_t b = file[i++];
                if (b & 0x80) {
                    offset |= int64_t(b & 0x7F) << shift;
                    continue;
                }
                offset |= int64_t(b & 0x3F) << shift;
                if (b & 0x40) offset = -offset;
                break;
            }
            handle += delta;
            position += offset;
            entries.emplace_back(handle, position);
        }
        at += length + 2;
    }
    return entries;
}

// 1,365 records make one run, 1,366 two; whatever the order the records come in (shuffled, in
// handle order as a save writes them, backwards, or in order but for two swapped runs), the map
// is sorted, each section ends once it reaches 2,032 bytes and the map ends with 00 02 01 D0.
TEST_F(FramingTest, TheMapGathersRunsAndWritesSortedSections) {
    enum class Order { Shuffled, Ascending, Descending, RunsSwapped };
    for (Order order : {Order::Shuffled, Order::Ascending, Order::Descending, Order::RunsSwapped})
    for (size_t count : {size_t(1365), size_t(1366), size_t(5000)}) {
        SCOPED_TRACE(count);
        SCOPED_TRACE(int(order));
        OutputContextPtr output = open(kVersionAC1015);
        ASSERT_EQ(wrMapBegin(*output), 1);
        std::vector<uint64_t> handles(count);
        std::iota(handles.begin(), handles.end(), 0x20);
        if (order == Order::Shuffled) std::shuffle(handles.begin(), handles.end(), std::mt19937(7));
        if (order == Order::Descending) std::reverse(handles.begin(), handles.end());
        if (order == Order::RunsSwapped && count > kDwgMapRunSize)
            std::rotate(handles.begin(), handles.begin() + kDwgMapRunSize, handles.end());
        for (uint64_t h : handles) ASSERT_EQ(wrMapRecord(*output, Handle(h * 3), uint32_t(1000 + h * 50)), 1);
        wrMapFlushRun(*output);
        EXPECT_EQ(output->dwg13->map.sorted.size(), (count + kDwgMapRunSize - 1) / kDwgMapRunSize);
        EXPECT_EQ(wrWriteObjectMap(*output), int(count));
        const std::vector<uint8_t> file = finish(*output);
        std::vector<size_t> sections;
        const auto entries = decodeMap(file, sections);
        ASSERT_EQ(entries.size(), count);
        for (size_t i = 0; i < count; ++i) {
            EXPECT_EQ(entries[i].first, (0x20 + i) * 3);
            EXPECT_EQ(entries[i].second, int64_t(1000 + (0x20 + i) * 50));
        }
        ASSERT_GE(sections.size(), 2u);
        EXPECT_EQ(sections.back(), 2u);
        EXPECT_TRUE(std::equal(file.end() - 4, file.end(), std::vector<uint8_t>{0x00, 0x02, 0x01, 0xD0}.begin()));
        for (size_t i = 0; i + 2 < sections.size(); ++i) {
            EXPECT_GE(sections[i], kDwgMapSectionFull);
            EXPECT_LT(sections[i], kDwgMapSectionFull + 16) << "by at most one entry";
        }
    }
}

// A handle twice: inside one run, at the seam of two runs that otherwise follow one another,
// and in two runs apart.
TEST_F(FramingTest, ARepeatedHandleFailsTheMapWith153AndNamesTheHandle) {
    struct Case {
        const char* name;
        std::vector<uint64_t> handles;
        uint64_t repeated;
    };
    std::vector<uint64_t> seam(2 * kDwgMapRunSize);
    std::iota(seam.begin(), seam.end(), 0x100);
    seam[kDwgMapRunSize] = seam[kDwgMapRunSize - 1];
    std::vector<uint64_t> apart = seam;
    std::iota(apart.begin(), apart.end(), 0x100);
    apart.back() = 0x105;
    const Case cases[] = {
        {"one run", {0x10, 0x11, 0x30, 0x11, 0x40}, 0x11},
        {"the seam of two runs", seam, seam[kDwgMapRunSize]},
        {"two runs apart", apart, 0x105},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutputContextPtr output = open(kVersionAC1015);
        wrMapBegin(*output);
        for (uint64_t h : c.handles) wrMapRecord(*output, Handle(h), uint32_t(100 + h));
        EXPECT_EQ(wrWriteObjectMap(*output), 0);
        EXPECT_EQ(dbGetError(), kErrorDwgMapRepeatedHandle);
        EXPECT_EQ(gSystemContext->errorHandle, Handle(c.repeated));
    }
}

TEST_F(FramingTest, AMapWithoutEntriesFailsWith203) {
    OutputContextPtr output = open(kVersionAC1015);
    wrMapBegin(*output);
    EXPECT_EQ(wrWriteObjectMap(*output), 0);
    EXPECT_EQ(dbGetError(), kErrorDwgMapNotWritten);
}

} // namespace
} // namespace tracemill
