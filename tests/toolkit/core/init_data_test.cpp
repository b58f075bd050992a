#include "toolkit/core/init_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes builtin() {
    const auto data = dbBuiltinInitData();
    return Bytes(data.begin(), data.end());
}

size_t bannerLength(const Bytes& data) { return size_t(std::find(data.begin(), data.end(), 0) - data.begin()); }

int32_t slotOffset(const Bytes& data, int slot) {
    const uint8_t* p = data.data() + bannerLength(data) + 1 + 4 * slot;
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

void putShort(Bytes& data, size_t at, uint16_t value) {
    data[at] = uint8_t(value);
    data[at + 1] = uint8_t(value >> 8);
}

// Creates a context over the given bytes through the memory-backed callbacks.
class InitDataLoad : public ::testing::Test {
protected:
    void TearDown() override {
        dbDestroySystemContext();
        dbSetInitDataMemoryBlock({});
    }
    int create(const Bytes& data, int& error) {
        data_ = data;
        dbSetInitDataMemoryBlock(data_.empty() ? std::span<const uint8_t>(empty_) : data_);
        dbUseBuiltinInitData();
        return dbCreateSystemContext(nullptr, error);
    }
    Bytes data_;
    uint8_t empty_[1] = {0};
};

TEST_F(InitDataLoad, TheBuiltInDataLoads) {
    int error = 0;
    ASSERT_EQ(create(builtin(), error), 1);
    const InitData& data = gSystemContext->initData;
    EXPECT_EQ(data.banner.back(), 'H');
    EXPECT_EQ(data.fonts[0].index.size(), 100u);
    EXPECT_EQ(data.fonts[1].index.size(), 103u);
    EXPECT_EQ(data.fonts[0].file.size(), 4998u);
    EXPECT_EQ(data.fonts[1].file.size(), 4832u);
    EXPECT_EQ(data.slotOffsets[0], -1);
    EXPECT_EQ(data.slotOffsets[1], -1);
    EXPECT_EQ(data.slotOffsets[23], -1) << "johab has no table";
    for (int slot : {2, 22, 24, 33, 34, 37}) EXPECT_GT(data.slotOffsets[slot], 0) << slot;
}

TEST_F(InitDataLoad, DamagedDataIsRefusedWithItsErrorNumber) {
    const Bytes good = builtin();
    const size_t banner = bannerLength(good);
    const size_t fixedEnd = banner + 1 + 4 * 38 + 600 + 4998 + 618 + 4832;
    struct Case {
        const char* name;
        Bytes data;
        int error;
    } cases[] = {
        {"banner ending in G", [&] { Bytes d = good; d[banner - 1] = 'G'; return d; }(), 183},
        {"no data at all", Bytes{}, 183},
        {"a banner without its NUL", Bytes(good.begin(), good.begin() + long(banner)), 183},
        {"a banner that never ends", Bytes(100000, 'H'), 183},
        {"cut in the slot offsets", Bytes(good.begin(), good.begin() + long(banner) + 20), 183},
        {"cut in the second font", Bytes(good.begin(), good.begin() + long(fixedEnd) - 1), 183},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int error = 0;
        EXPECT_EQ(create(c.data, error), 0);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(gSystemContext, nullptr);
    }
    int error = 0;
    EXPECT_EQ(create(Bytes(good.begin(), good.begin() + long(fixedEnd)), error), 1)
        << "the fixed part alone is enough to start";
    uint16_t value = 0;
    EXPECT_EQ(dbCodePageToUnicode(30, 0x80, value), 0) << "but no code page loads";
    EXPECT_EQ(dbCodePageLoad(30), -1);
}

TEST_F(InitDataLoad, AFontIndexPointingOutsideItsFontGives294) {
    Bytes data = builtin();
    const size_t firstEntry = bannerLength(data) + 1 + 4 * 38;
    data[firstEntry + 2] = 0xFF;  // offset of shape 0 far beyond the 4,998 bytes
    data[firstEntry + 3] = 0xFF;
    int error = 0;
    EXPECT_EQ(create(data, error), 0);
    EXPECT_EQ(error, 294);
}

TEST_F(InitDataLoad, ACodePageWhoseTableIsDamagedStaysUnloaded) {
    Bytes data = builtin();
    // ansi_932 (slot 34): make its first two codes descend.
    const size_t table = size_t(slotOffset(data, 34));
    putShort(data, table + 256 + 2, 0xFFFE);
    int error = 0;
    ASSERT_EQ(create(data, error), 1);
    EXPECT_EQ(dbCodePageLoad(38), -1);
    uint16_t value = 0;
    EXPECT_EQ(dbCodePageToUnicode(38, 0x41, value), 0);
    EXPECT_EQ(dbIsLeadByte(0x81, 38), 0);
    EXPECT_EQ(dbCodePageLoad(30), 27) << "other pages are not affected";
}

TEST_F(InitDataLoad, ACodePageCountBeyondTheDataIsRefused) {
    Bytes data = builtin();
    const size_t table = size_t(slotOffset(data, 37));  // the last table: ansi_950
    putShort(data, table + 256, 0xFFFF);
    int error = 0;
    ASSERT_EQ(create(data, error), 1);
    EXPECT_EQ(dbCodePageLoad(41), -1);
}

TEST(BuiltinInitData, MemoryBackedCallbacksShareOnePositionOverTheRealSize) {
    dbSetInitDataMemoryBlock({});
    const size_t size = dbBuiltinInitData().size();
    InitDataStream s = dbInitDataMemOpen("ignored");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(dbInitDataMemGetc(s), 'T');
    EXPECT_EQ(dbInitDataMemSeek(s, 0, 2), 0);
    EXPECT_EQ(dbInitDataMemGetc(s), 0) << "the end of the data";
    EXPECT_EQ(dbInitDataMemSeek(s, 2, 2), 0);
    uint8_t tail[4] = {};
    EXPECT_EQ(dbInitDataMemRead(tail, 1, 4, s), 2u) << "a read stops at the end";
    EXPECT_EQ(tail[0], dbBuiltinInitData()[size - 2]);
    EXPECT_EQ(dbInitDataMemSeek(s, 1, 2), 0);
    EXPECT_EQ(dbInitDataMemSeek(s, -5, 1), 0) << "back from the position";
    EXPECT_EQ(dbInitDataMemGetc(s), dbBuiltinInitData()[size - 6]);
    EXPECT_NE(dbInitDataMemSeek(s, -1, 0), 0) << "before the start";
    EXPECT_NE(dbInitDataMemSeek(s, long(size) + 1, 0), 0) << "beyond the end";
    EXPECT_EQ(dbInitDataMemGetc(s), dbBuiltinInitData()[size - 5]) << "a refused seek keeps the position";
    dbInitDataMemClose(s);
    EXPECT_EQ(dbInitDataMemGetc(s), 'T') << "close puts the position back to 0";
}

} // namespace
} // namespace tracemill
