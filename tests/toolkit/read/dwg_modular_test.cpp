#include "toolkit/read/dwg_modular.h"

#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/system_context.h"
#include "error_callback_test.h"

namespace tracemill {
namespace {

class Modular : public test::ErrorCallbackTest {
protected:
    static int badLengthCalls() { return callbacks(kErrorReasonBadLength); }
};

TEST_F(Modular, SignedModularChar) {
    struct Case {
        std::vector<uint8_t> bytes;
        int64_t value;
        int length;
    } cases[] = {
        {{0x3F}, 63, 1},
        {{0x00}, 0, 1},
        {{0x41}, -1, 1},
        {{0xC0, 0x00}, 64, 2},
        {{0xC0, 0x40}, -64, 2},
        {{0x81, 0x01}, 129, 2},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0x07}, 0x7FFFFFFF, 5},
        {{0x80, 0x80, 0x80, 0x80, 0x48}, -(int64_t(1) << 31), 5},
        {{0x85, 0x02, 0x99}, 0x105, 2},  // stops at the first byte without the top bit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ByteCursor cursor(c.bytes);
        int64_t value = 12345;
        int length = 0;
        EXPECT_TRUE(rdModularChar(cursor, value, length));
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(cursor.position(), size_t(c.length));
    }
    EXPECT_EQ(badLengthCalls(), 0);
}

TEST_F(Modular, SignedModularCharEndsAtTheSeventhByteOrTheEndOfTheData) {
    std::vector<uint8_t> seven = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01, 0x05};
    ByteCursor cursor(seven);
    int64_t value = 1;
    int length = 0;
    EXPECT_FALSE(rdModularChar(cursor, value, length));
    EXPECT_EQ(value, 0);
    EXPECT_EQ(length, 7);
    EXPECT_EQ(badLengthCalls(), 1);

    std::vector<uint8_t> cut = {0x80, 0x80};
    ByteCursor short_(cut);
    EXPECT_FALSE(rdModularChar(short_, value, length));
    EXPECT_TRUE(short_.overrun());
}

TEST_F(Modular, UnsignedModularCharIntoAHandle) {
    struct Case {
        std::vector<uint8_t> bytes;
        uint64_t value;
        int length;
    } cases[] = {
        {{0x00}, 0, 1},
        {{0x7F}, 0x7F, 1},
        {{0x81, 0x01}, 0x81, 2},
        {{0xC0, 0x00}, 0x40, 2},  // no sign bit in this form
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}, ~uint64_t(0), 10},
        {{0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01}, 0, 10},  // stops after ten
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ByteCursor cursor(c.bytes);
        Handle h;
        int length = 0;
        EXPECT_TRUE(rdModularHandle(cursor, h, length));
        EXPECT_EQ(h.value, c.value);
        EXPECT_EQ(length, c.length);
    }
    std::vector<uint8_t> cut = {0x81};
    ByteCursor cursor(cut);
    Handle h;
    int length = 0;
    EXPECT_FALSE(rdModularHandle(cursor, h, length));
}

TEST_F(Modular, ModularShortOfARecordSize) {
    struct Case {
        std::vector<uint8_t> bytes;
        bool ok;
        uint32_t value;
    } cases[] = {
        {{0x05, 0x00}, true, 5},
        {{0xFF, 0x7F}, true, 32767},
        {{0x00, 0x80, 0x01, 0x00}, true, 32768},
        {{0x40, 0x9C, 0x01, 0x00}, true, 40000},
        {{0x00, 0x80}, false, 0},
        {{0x05}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ByteCursor cursor(c.bytes);
        uint32_t value = 99;
        EXPECT_EQ(rdModularShort(cursor, value), c.ok);
        EXPECT_EQ(value, c.value);
    }
}

TEST(ByteCursor, ReadsLittleAndBigEndianAndStopsAtTheEnd) {
    std::vector<uint8_t> bytes = {0x01, 0x02, 0x03, 0x04, 0x05};
    ByteCursor cursor(bytes);
    EXPECT_EQ(cursor.le16(), 0x0201);
    EXPECT_EQ(cursor.be16(), 0x0304);
    EXPECT_EQ(cursor.le32(), 0u);
    EXPECT_TRUE(cursor.overrun());
    EXPECT_TRUE(cursor.atEnd());
    EXPECT_EQ(cursor.u8(), 0);
    EXPECT_TRUE(cursor.take(1).empty());
}

TEST(RecordCursor, DoublesAreSanitisedAndTheCursorMovesEightBytesEach) {
    std::vector<uint8_t> bytes(8 * 5);
    const uint64_t patterns[5] = {doubleBits(1.5), 0x7FF8000000000000, doubleBits(-2.0), doubleBits(3.0),
                                  0x8000000000000001};
    for (int i = 0; i < 5; ++i) putLe64(&bytes[8 * i], patterns[i]);
    ByteCursor cursor(bytes);
    EXPECT_EQ(rdCursorDouble(cursor), 1.5);
    Point2 p2;
    rdCursor2Doubles(cursor, p2);
    EXPECT_EQ(p2, (Point2{0.0, -2.0}));
    Point3 p3;
    rdCursor3Doubles(cursor, p3);
    EXPECT_EQ(p3, (Point3{3.0, 0.0, 0.0}));  // the denormal and then the end of the record
    EXPECT_TRUE(cursor.overrun());
}

} // namespace
} // namespace tracemill
