#include "toolkit/read/dwg_bit_reader.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bit_string.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "error_callback_test.h"

namespace tracemill {
namespace {

using test::bitsToBytes;
using test::bytesBits;

// The bits of a little-endian double.
std::string doubleBitsLe(uint64_t pattern) {
    std::vector<uint8_t> bytes(8);
    putLe64(bytes.data(), pattern);
    return bytesBits(bytes);
}
std::string doubleBitsLe(double value) { return doubleBitsLe(doubleBits(value)); }

// A reader over a hand-assembled bit string; the bytes live as long as the fixture.
class BitStrings : public test::ErrorCallbackTest {
protected:
    BitReader& read(std::string_view bits, uint64_t fileOffset = 0) {
        bytes_ = bitsToBytes(bits);
        reader_.reset(bytes_, fileOffset);
        return reader_;
    }
    static int badLengthCalls() { return callbacks(kErrorReasonBadLength); }

private:
    std::vector<uint8_t> bytes_;
    BitReader reader_;
};

TEST_F(BitStrings, BitAndTwoBits) {
    BitReader& r = read("1 0 11 01 10");
    EXPECT_EQ(rdBit(r), 1);
    EXPECT_EQ(rdBit(r), 0);
    EXPECT_EQ(rdTwoBits(r), 3);
    EXPECT_EQ(rdTwoBits(r), 1);
    EXPECT_EQ(rdTwoBits(r), 2);
    EXPECT_EQ(r.bitPosition(), 8u);
    EXPECT_FALSE(r.overrun());
}

TEST_F(BitStrings, BitShort) {
    struct Case {
        const char* bits;
        uint16_t value;
        uint64_t length;
    } cases[] = {
        {"10", 0, 2},
        {"11", 256, 2},
        {"01 00000001", 1, 10},
        {"01 11111111", 255, 10},
        {"00 00000001 00000001", 257, 18},
        {"00 11111111 11111111", 0xFFFF, 18},
        {"00 00110100 00010010", 0x1234, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        BitReader& r = read(std::string("1 ") + c.bits);  // off the byte boundary
        rdBit(r);
        EXPECT_EQ(rdBitShort(r), c.value);
        EXPECT_EQ(r.bitPosition(), 1 + c.length);
    }
}

TEST_F(BitStrings, BitLong) {
    struct Case {
        const char* bits;
        int32_t value;
    } cases[] = {
        {"10", 0},
        {"11", 0},
        {"01 11111111", 255},
        {"01 00000000", 0},
        {"00 00000000 00000001 00000000 00000000", 256},
        {"00 11111111 11111111 11111111 11111111", -1},
        {"00 01111000 01010110 00110100 00010010", 0x12345678},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        EXPECT_EQ(rdBitLong(read(c.bits)), c.value);
    }
}

TEST_F(BitStrings, BitDoubleAndTheFlushRule) {
    struct Case {
        const char* name;
        std::string bits;
        double value;
    } cases[] = {
        {"code 10", "10", 0.0},
        {"code 01", "01", 1.0},
        {"code 11", "11", 0.0},
        {"raw 2.5", "00 " + doubleBitsLe(2.5), 2.5},
        {"raw -1e300", "00 " + doubleBitsLe(-1e300), -1e300},
        {"raw smallest normal", "00 " + doubleBitsLe(uint64_t(0x0010000000000000)), 2.2250738585072014e-308},
        {"raw NaN", "00 " + doubleBitsLe(uint64_t(0x7FF8000000000000)), 0.0},
        {"raw infinity", "00 " + doubleBitsLe(uint64_t(0x7FF0000000000000)), 0.0},
        {"raw minus infinity", "00 " + doubleBitsLe(uint64_t(0xFFF0000000000000)), 0.0},
        {"raw denormal", "00 " + doubleBitsLe(uint64_t(0x0000000000000001)), 0.0},
        {"raw largest denormal", "00 " + doubleBitsLe(uint64_t(0x000FFFFFFFFFFFFF)), 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double value = rdBitDouble(read(c.bits));
        EXPECT_EQ(value, c.value);
        EXPECT_FALSE(std::signbit(value) && value == 0.0) << "zero must be +0.0";
    }
    // Negative zero is flushed to +0.0 as well.
    double negativeZero = rdBitDouble(read("00 " + doubleBitsLe(-0.0)));
    EXPECT_EQ(doubleBits(negativeZero), 0u);
}

TEST_F(BitStrings, DefaultDoublePatchesTheDefaultsBytes) {
    const double def = 2.5;  // 0x4004000000000000
    struct Case {
        const char* name;
        std::string bits;
        uint64_t pattern;
    } cases[] = {
        {"00 keeps the default", "00", 0x4004000000000000},
        {"01 replaces bytes 0-3", "01 00000001 00000010 00000011 00000100", 0x4004000004030201},
        {"10 replaces bytes 4-5, then 0-3",
         "10 00000000 00001000 00000001 00000010 00000011 00000100", 0x4004080004030201},
        {"11 is a raw double", "11 " + doubleBitsLe(-7.25), doubleBits(-7.25)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(doubleBits(rdBitDefaultDouble(read(c.bits), def)), c.pattern);
    }
}

TEST_F(BitStrings, RawValuesAtAnUnalignedPosition) {
    BitReader& r = read("101 10101010 " "00000001 00000010 " "00000100 00000011 00000010 00000001 " +
                        doubleBitsLe(-3.5) + doubleBitsLe(0.25) + doubleBitsLe(8.0));
    EXPECT_EQ(rdBit(r), 1);
    EXPECT_EQ(rdTwoBits(r), 1);
    EXPECT_EQ(rdRawChar(r), 0xAA);
    EXPECT_EQ(rdRawShort(r), 0x0201);
    EXPECT_EQ(rdRawLong(r), 0x01020304);
    EXPECT_EQ(rdRawDouble(r), -3.5);
    EXPECT_EQ(rdRaw2Double(r), (Point2{0.25, 8.0}));
    EXPECT_FALSE(r.overrun());
    EXPECT_EQ(r.bitsLeft(), 5u);  // the padding of the last byte
}

TEST_F(BitStrings, ThreeBitDoublesAndTheirDefaultForm) {
    EXPECT_EQ(rdBit3Double(read("01 10 00 " + doubleBitsLe(-2.0))), (Point3{1.0, 0.0, -2.0}));
    EXPECT_EQ(rdBit3DefaultDouble(read("00 11" + doubleBitsLe(4.0) + "00"), Point3{1, 2, 3}), (Point3{1, 4, 3}));
}

TEST_F(BitStrings, FirstCornerAndLinePoints) {
    EXPECT_EQ(rdBit2RDZ(read("1 " + doubleBitsLe(1.5) + doubleBitsLe(2.5))), (Point3{1.5, 2.5, 0.0}));
    EXPECT_EQ(rdBit2RDZ(read("0 " + doubleBitsLe(1.5) + doubleBitsLe(2.5) + doubleBitsLe(3.5))),
              (Point3{1.5, 2.5, 3.5}));

    Point3 a, b;
    // Flat: x1, x2 = x1 (DD 00), y1, y2 raw (DD 11).
    rdBitLinePoints(read("1 " + doubleBitsLe(1.0) + "00 " + doubleBitsLe(2.0) + "11 " + doubleBitsLe(5.0)), a, b);
    EXPECT_EQ(a, (Point3{1.0, 2.0, 0.0}));
    EXPECT_EQ(b, (Point3{1.0, 5.0, 0.0}));
    rdBitLinePoints(read("0 " + doubleBitsLe(1.0) + "00 " + doubleBitsLe(2.0) + "00 " + doubleBitsLe(3.0) + "11 " +
                         doubleBitsLe(-3.0)),
                    a, b);
    EXPECT_EQ(a, (Point3{1.0, 2.0, 3.0}));
    EXPECT_EQ(b, (Point3{1.0, 2.0, -3.0}));
}

TEST_F(BitStrings, TextRawBytesAndSkip) {
    std::string text = "unchanged";
    EXPECT_EQ(rdBitText(read("01 00000011 01100001 01100010 01100011"), text, 512), 1);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(rdBitText(read("10"), text, 512), 1);
    EXPECT_EQ(text, "");

    BitReader& r = read("1 11110000 00001111 10101010 1");
    rdBit(r);
    uint8_t bytes[3];
    EXPECT_TRUE(rdBitRawBytes(r, bytes, 3));
    EXPECT_EQ(bytes[0], 0xF0);
    EXPECT_EQ(bytes[1], 0x0F);
    EXPECT_EQ(bytes[2], 0xAA);
    EXPECT_EQ(rdBit(r), 1);

    BitReader& s = read(std::string(3000, '0') + "1");
    rdBitSkip(s, 3000);
    EXPECT_EQ(rdBit(s), 1);
}

TEST_F(BitStrings, TextLongerThanTheCallersMaximumIsPassedOver) {
    std::string text = "unchanged";
    BitReader& r = read("01 00000011 01100001 01100010 01100011 01 00101010");
    EXPECT_EQ(rdBitText(r, text, 2), 0);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(badLengthCalls(), 1);
    EXPECT_EQ(rdBitShort(r), 42) << "the value after the text is read in its place";
    EXPECT_FALSE(r.overrun());
}

TEST_F(BitStrings, TextLongerThanTheDataLeftOverrunsTheReader) {
    std::string text = "unchanged";
    BitReader& r = read("01 11111111 01100001");
    EXPECT_EQ(rdBitText(r, text, 512), 0);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(badLengthCalls(), 1);
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(r.bitsLeft(), 0u);
}

TEST_F(BitStrings, ReadingPastTheEndGivesZerosAndMarksTheReader) {
    BitReader& r = read("00 11111111");  // a BS word whose high byte is missing
    EXPECT_EQ(rdBitShort(r), 0x00FF);
    EXPECT_TRUE(r.overrun());
    EXPECT_EQ(rdBit(r), 0);
    EXPECT_EQ(rdBitLong(r), 0);
    EXPECT_EQ(rdBitDouble(r), 0.0);
    uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_FALSE(rdBitRawBytes(r, bytes, 4));
    EXPECT_EQ(bytes[0] | bytes[1] | bytes[2] | bytes[3], 0);

    BitReader empty;
    EXPECT_EQ(rdBitShort(empty), 0);
    EXPECT_TRUE(empty.overrun());
}

TEST_F(BitStrings, HandleReferences) {
    struct Case {
        const char* bits;
        uint64_t value;
        int count;
        int kind;
    } cases[] = {
        {"0101 0010 00000001 00101111", 0x12F, 2, 2},
        {"0100 0000", 0, 0, 1},
        {"0010 0001 11111111", 0xFF, 1, 3},
        {"0011 1000 00000001 00000010 00000011 00000100 00000101 00000110 00000111 00001000",
         0x0102030405060708, 8, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        Handle h;
        int kind = 0;
        EXPECT_EQ(rdReadHandleRef(read(c.bits), h, kind), c.count);
        EXPECT_EQ(h.value, c.value);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(rdReadHandle(read(c.bits), h), c.count);
    }
}

TEST_F(BitStrings, HandleOfMoreThanEightBytesIsNullAndPassedOver) {
    Handle h(77);
    BitReader& r = read("0100 1001 " + std::string(9 * 8, '1') + " 10");
    EXPECT_EQ(rdReadHandle(r, h), 0);
    EXPECT_TRUE(h.isNull());
    EXPECT_EQ(badLengthCalls(), 1);
    EXPECT_EQ(rdBitShort(r), 0);
    EXPECT_FALSE(r.overrun());
}

TEST_F(BitStrings, RelativeHandles) {
    const Handle ref(0x2A);
    struct Case {
        const char* name;
        const char* bits;
        Handle reference;
        uint64_t value;
    } cases[] = {
        {"6: next", "0110 0000", ref, 0x2B},
        {"8: previous", "1000 0000", ref, 0x29},
        {"10: plus offset", "1010 0001 00000011", ref, 0x2D},
        {"12: minus offset", "1100 0001 00000011", ref, 0x27},
        {"4 with bytes: absolute", "0100 0001 00000101", ref, 0x05},
        {"4 without bytes: the null handle", "0100 0000", ref, 0},
        {"2 without bytes: the null handle", "0010 0000", ref, 0},
        {"12 without bytes: bit 3 set, minus one", "1100 0000", ref, 0x29},
        {"10 without bytes: bit 3 set, minus one", "1010 0000", ref, 0x29},
        {"7 without bytes: plus one", "0111 0000", ref, 0x2B},
        {"next wraps", "0110 0000", Handle(~uint64_t(0)), 0},
        {"previous wraps", "1000 0000", Handle(0), ~uint64_t(0)},
        {"minus offset wraps", "1100 0001 00000011", Handle(1), ~uint64_t(0) - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rdReadRelativeHandle(read(c.bits), c.reference).value, c.value);
    }
}

TEST(HandleArithmetic, WrapsOnEightBytes) {
    EXPECT_EQ(rdHandleAdd(Handle(0xFF), Handle(1)).value, 0x100u);
    EXPECT_EQ(rdHandleAdd(Handle(~uint64_t(0)), Handle(2)).value, 1u);
    Handle h(1);
    rdHandleNegate(h);
    EXPECT_EQ(h.value, ~uint64_t(0));
    EXPECT_EQ(rdHandleSubtract(Handle(0x100), Handle(1)).value, 0xFFu);
    EXPECT_EQ(rdHandleSubtract(Handle(0), Handle(1)).value, ~uint64_t(0));
}

TEST_F(BitStrings, ObjectHandleList) {
    // Owner 0x29 relative to own 0x2A, two reactors, extension dictionary 0x1F0, one more.
    ObjectHandles handles;
    BitReader& r = read("1000 0000 " "0100 0001 00010000 " "0100 0001 00010001 "
                        "0011 0010 00000001 11110000 " "0101 0000");
    rdReadObjectHandles(r, Handle(0x2A), 2, handles);
    EXPECT_EQ(handles.owner.value, 0x29u);
    ASSERT_EQ(handles.reactors.size(), 2u);
    EXPECT_EQ(handles.reactors[1].value, 0x11u);
    EXPECT_EQ(handles.extensionDictionary.value, 0x1F0u);
    EXPECT_TRUE(handles.last.isNull());
    EXPECT_FALSE(r.overrun());

    // A reactor count that the data cannot hold stops at its end.
    rdReadObjectHandles(read("1000 0000 0100 0001 00010000"), Handle(0x2A), 0x7FFFFFFF, handles);
    EXPECT_EQ(handles.reactors.size(), 1u);
}

TEST_F(BitStrings, SkipHandlesCountsOnlyTheNonNullEntries) {
    uint32_t count = 3;
    BitReader& r = read("0100 0000 0100 0000 " "0100 0001 00000101 0100 0000 0101 0001 00000110 " "11");
    rdSkipHandles(r, count);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(rdBitShort(r), 256);
}

TEST_F(BitStrings, PositionMapsToTheFile) {
    BitReader& r = read(std::string(40 * 8, '0'), 1000);
    EXPECT_EQ(rdBitPosition(r), 1000u);
    rdBitSkip(r, 7);
    EXPECT_EQ(rdBitPosition(r), 1000u);
    rdBit(r);
    EXPECT_EQ(rdBitPosition(r), 1001u);
    rdBitSkip(r, 8 * 30);
    EXPECT_EQ(rdBitPosition(r), 1031u);
}

} // namespace
} // namespace tracemill
