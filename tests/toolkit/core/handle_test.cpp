#include "toolkit/core/handle.h"

#include <gtest/gtest.h>

namespace tracemill {
namespace {

TEST(Handle, HexTextHasNoLeadingZeros) {
    struct Case {
        uint64_t value;
        const char* text;
        int length;
    } cases[] = {
        {0x0, "0", 0},
        {0x1, "1", 1},
        {0x12F, "12F", 2},
        {0xABCDEF, "ABCDEF", 3},
        {0x0100000000000000ull, "100000000000000", 8},
        {0xFFFFFFFFFFFFFFFFull, "FFFFFFFFFFFFFFFF", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(dbHandleToHex(Handle(c.value)), c.text);
        EXPECT_EQ(dbHandleLength(Handle(c.value)), c.length);
    }
}

TEST(Handle, IncrementCarriesAcrossBytes) {
    Handle h(0xFF);
    EXPECT_EQ(dbHandleIncrement(h), 1);
    EXPECT_EQ(h.value, 0x100u);
    Handle last(0xFFFFFFFFFFFFFFFFull);
    EXPECT_EQ(dbHandleIncrement(last), 0) << "wrapped to zero";
    EXPECT_EQ(last.value, 0u);
    EXPECT_EQ(dbHandleAdd(Handle(0x00000000FFFFFFFFull), 1).value, 0x100000000ull);
}

TEST(Handle, BigEndianBytesRoundTripAndCompareAsNumbers) {
    const uint8_t bytes[8] = {0, 0, 0, 0, 0, 0, 0x01, 0x2F};
    Handle h = Handle::fromBigEndian(bytes);
    EXPECT_EQ(h.value, 0x12Fu);
    uint8_t back[8];
    h.toBigEndian(back);
    EXPECT_EQ(0, memcmp(bytes, back, 8));
    EXPECT_LT(Handle(0x00FF), Handle(0x0100));
    EXPECT_EQ(dbBytesToHex(bytes, 8), "000000000000012F");
}

} // namespace
} // namespace tracemill
