// Extended-data items and group items in streams: their stored forms, their round trips and
// what a short or foreign stream gives.
#include "toolkit/core/xdata_items.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "toolkit/core/owned_stream.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::ToolkitTest;

class ItemStream : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        stored.create(4096);
    }
    template <class Item, class Write>
    std::vector<uint8_t> written(const Item& item, Write write) {
        stored.create(4096);
        OpenStream* stream = dbStreamOpenWrite(stored.get());
        EXPECT_EQ(write(stream, item), 1);
        dbStreamCloseWrite(stream);
        return std::vector<uint8_t>(stored.bytes().begin(), stored.bytes().end());
    }
    OwnedStream stored;
};

XDataItem xdata(uint16_t code) {
    XDataItem item;
    item.code = code;
    return item;
}

GroupItem group(uint16_t code) {
    GroupItem item;
    item.code = code;
    return item;
}

TEST_F(ItemStream, AStringItemStoresItsLengthAndBytes) {
    XDataItem text = xdata(1000);
    text.text = "abc";
    EXPECT_EQ(written(text, dbWriteXDataItem),
              (std::vector<uint8_t>{0xE8, 0x03, 3, 0, 0, 0, 0, 0, 'a', 'b', 'c'}));

    gSystemContext->extendedXDataStrings = 1;
    const std::vector<uint8_t> extended = written(text, dbWriteXDataItem);
    EXPECT_EQ(extended[2], 5);
    EXPECT_EQ(extended.size(), 8u + 5u);  // the length says what follows
    OpenStream* stream = dbStreamOpenRead(stored.get());
    XDataItem back;
    ASSERT_EQ(dbReadXDataItem(stream, back), 1);
    EXPECT_EQ(back.text, "abc");
    EXPECT_EQ(back.length, 0);
    EXPECT_EQ(dbReadXDataItem(stream, back), 0);  // at the end
    dbStreamCloseRead(stream);
}

TEST_F(ItemStream, AnEmptyBinaryChunkIsAHeadAlone) {
    const XDataItem empty = xdata(1004);
    EXPECT_EQ(written(empty, dbWriteXDataItem).size(), 8u);
    OpenStream* stream = dbStreamOpenRead(stored.get());
    XDataItem back;
    back.binary = {9};
    ASSERT_EQ(dbReadXDataItem(stream, back), 1);
    EXPECT_EQ(back.code, 1004);
    EXPECT_EQ(back.length, 0);
    EXPECT_TRUE(back.binary.empty());
    dbStreamCloseRead(stream);
}

TEST_F(ItemStream, EveryExtendedDataFormRoundTrips) {
    const auto make = [](uint16_t code, auto set) {
        XDataItem item = xdata(code);
        set(item);
        return item;
    };
    const std::vector<XDataItem> items = {
        make(1001, [](XDataItem& i) { i.handle = Handle(0x12F); }),
        make(1002, [](XDataItem& i) { i.brace = 1; }),
        make(1003, [](XDataItem& i) { i.handle = Handle(0x10); }),
        make(1004, [](XDataItem& i) {
            i.binary = {1, 2, 3, 0, 255};
            i.length = 5;
        }),
        make(1005, [](XDataItem& i) { i.handle = Handle(0xABCDEF); }),
        make(1011, [](XDataItem& i) { i.point = {1.5, -2.25, 1e300}; }),
        make(1041, [](XDataItem& i) { i.real = 0.1; }),
        make(1070, [](XDataItem& i) { i.int16 = -7; }),
        make(1071, [](XDataItem& i) { i.int32 = 1 << 30; }),
        make(1000, [](XDataItem& i) { i.text = std::string("with\0nul", 8); }),
    };

    OpenStream* writing = dbStreamOpenWrite(stored.get());
    for (const XDataItem& i : items) ASSERT_EQ(dbWriteXDataItem(writing, i), 1);
    dbStreamCloseWrite(writing);
    OpenStream* stream = dbStreamOpenRead(stored.get());
    for (const XDataItem& expected : items) {  // the last one checks the NUL
        SCOPED_TRACE(expected.code);
        XDataItem back;
        ASSERT_EQ(dbReadXDataItem(stream, back), 1);
        if (expected.code == 1000) {
            EXPECT_EQ(back.text, "with");  // a text ends at its first NUL
        } else {
            EXPECT_EQ(back, expected);
        }
    }
    dbStreamCloseRead(stream);
}

TEST_F(ItemStream, AShortStreamGivesNothingAndKeepsThePosition) {
    XDataItem point = xdata(1010);
    std::vector<uint8_t> bytes = written(point, dbWriteXDataItem);
    stored.get()->bytes.resize(bytes.size() - 1);
    OpenStream* stream = dbStreamOpenRead(stored.get());
    XDataItem back;
    EXPECT_EQ(dbReadXDataItem(stream, back), 0);
    EXPECT_EQ(dbStreamTell(stream), 0);
    dbStreamCloseRead(stream);

    EXPECT_EQ(dbReadXDataItem(nullptr, back), 0);
    EXPECT_EQ(dbGetError(), kErrorReadFromNullStream);
    EXPECT_EQ(dbWriteXDataItem(nullptr, point), 0);
    EXPECT_EQ(dbGetError(), kErrorWriteToNullStream);
}

TEST_F(ItemStream, GroupHandlesOf330And340AreStoredReversed) {
    GroupItem owner = group(330);
    owner.handle = Handle(0x12F);
    EXPECT_EQ(written(owner, dbWriteGroupItem),
              (std::vector<uint8_t>{0x4A, 0x01, 0x2F, 0x01, 0, 0, 0, 0, 0, 0}));
    OpenStream* stream = dbStreamOpenRead(stored.get());
    GroupItem back;
    ASSERT_EQ(dbReadGroupItem(stream, back), 1);
    EXPECT_EQ(back.handle, Handle(0x12F));
    dbStreamCloseRead(stream);

    GroupItem soft = group(350);
    soft.handle = Handle(0x12F);
    EXPECT_EQ(written(soft, dbWriteGroupItem),
              (std::vector<uint8_t>{0x5E, 0x01, 0, 0, 0, 0, 0, 0, 0x01, 0x2F}));
}

TEST_F(ItemStream, GroupItemsTakeTheFormOfTheirCode) {
    GroupItem item;
    item.text = "ab";
    item.binary = {7, 8, 9};
    item.point = {1, 2, 3};
    item.int16 = 3;
    item.int32 = -3;
    item.real = 2.5;
    item.handle = Handle(0x44);
    const auto text = [](const GroupItem& b) { return b.text == "ab" && b.length == 2; };
    const auto binary = [](const GroupItem& b) { return b.binary == std::vector<uint8_t>{7, 8, 9} && b.length == 3; };
    const auto point = [](const GroupItem& b) { return b.point == Point3{1, 2, 3}; };
    const auto int16 = [](const GroupItem& b) { return b.int16 == 3; };
    const auto int32 = [](const GroupItem& b) { return b.int32 == -3; };
    const auto real = [](const GroupItem& b) { return b.real == 2.5; };
    const auto handle = [](const GroupItem& b) { return b.handle == Handle(0x44); };
    struct Case {
        uint16_t code;
        size_t bytes;  // code, then the value
        std::function<bool(const GroupItem&)> check;
    } cases[] = {
        {1, 2 + 3 + 2, text},    {1005, 2 + 3 + 2, text},  {1004, 2 + 1 + 3, binary}, {310, 2 + 1 + 3, binary},
        {10, 2 + 24, point},     {1013, 2 + 24, point},    {70, 2 + 2, int16},        {1070, 2 + 2, int16},
        {90, 2 + 4, int32},      {1071, 2 + 4, int32},     {40, 2 + 8, real},         {1042, 2 + 8, real},
        {360, 2 + 8, handle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        item.code = c.code;
        ASSERT_EQ(written(item, dbWriteGroupItem).size(), c.bytes);
        OpenStream* stream = dbStreamOpenRead(stored.get());
        GroupItem back;
        ASSERT_EQ(dbReadGroupItem(stream, back), 1);
        dbStreamCloseRead(stream);
        EXPECT_EQ(back.code, c.code);
        EXPECT_TRUE(c.check(back));
    }
}

TEST_F(ItemStream, GroupTextsKeepEveryByteButExtendedDataTextsEndAtANul) {
    GroupItem text = group(300);
    text.text = std::string("a\0b", 3);
    written(text, dbWriteGroupItem);
    OpenStream* stream = dbStreamOpenRead(stored.get());
    GroupItem back;
    ASSERT_EQ(dbReadGroupItem(stream, back), 1);
    EXPECT_EQ(back.text, text.text);
    EXPECT_EQ(back.length, 3);
    dbStreamCloseRead(stream);
}

TEST_F(ItemStream, CodesWithoutAStoredFormAreRefused) {
    for (uint16_t code : {uint16_t(20000), uint16_t(200), uint16_t(1100)}) {
        SCOPED_TRACE(code);
        stored.create(16);
        OpenStream* stream = dbStreamOpenWrite(stored.get());
        EXPECT_EQ(dbWriteGroupItem(stream, group(code)), 0);
        EXPECT_EQ(dbGetError(), kErrorUnknownGroupCode);
        dbStreamCloseWrite(stream);
        EXPECT_EQ(stored.size(), 0u);
    }
    stored.get()->bytes = {0x20, 0x4E, 0, 0};  // code 20000
    OpenStream* stream = dbStreamOpenRead(stored.get());
    GroupItem back;
    EXPECT_EQ(dbReadGroupItem(stream, back), 0);
    EXPECT_EQ(dbGetError(), kErrorUnknownGroupCode);
    EXPECT_EQ(dbStreamTell(stream), 0);
    dbStreamCloseRead(stream);

    GroupItem chunk = group(310);
    chunk.binary.assign(kGroupItemMaxBinary + 1, 0);
    stored.create(16);
    OpenStream* writing = dbStreamOpenWrite(stored.get());
    EXPECT_EQ(dbWriteGroupItem(writing, chunk), 0);
    dbStreamCloseWrite(writing);
}

} // namespace
} // namespace tracemill
