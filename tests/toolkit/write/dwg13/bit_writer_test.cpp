#include "toolkit/codec/bit_writer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bit_string.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/read/dwg_bit_block.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/read/dwg_modular.h"
#include "toolkit/codec/bit_helpers.h"
#include "toolkit/codec/bit_section.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::bytesToBits;
using test::plainBits;

std::string bitsOf(const BitWriter& w) { return bytesToBits(w.bytes(), w.bitLength()); }

TEST(BitWriter, HandComputedEncodings) {
    struct Case {
        const char* name;
        void (*write)(BitWriter&);
        const char* bits;
    } cases[] = {
        {"BS 0", [](BitWriter& w) { wrPutBitShort(w, 0); }, "10"},
        {"BS 1", [](BitWriter& w) { wrPutBitShort(w, 1); }, "01 00000001"},
        {"BS 255", [](BitWriter& w) { wrPutBitShort(w, 255); }, "01 11111111"},
        {"BS 256", [](BitWriter& w) { wrPutBitShort(w, 256); }, "11"},
        {"BS 257", [](BitWriter& w) { wrPutBitShort(w, 257); }, "00 00000001 00000001"},
        {"BS 0xFFFF", [](BitWriter& w) { wrPutBitShort(w, 0xFFFF); }, "00 11111111 11111111"},
        {"BL 0", [](BitWriter& w) { wrPutBitLong(w, 0); }, "10"},
        {"BL 255", [](BitWriter& w) { wrPutBitLong(w, 255); }, "01 11111111"},
        {"BL 256", [](BitWriter& w) { wrPutBitLong(w, 256); }, "00 00000000 00000001 00000000 00000000"},
        {"BL -1", [](BitWriter& w) { wrPutBitLong(w, -1); }, "00 11111111 11111111 11111111 11111111"},
        {"BD 0.0", [](BitWriter& w) { wrPutBitDouble(w, 0.0); }, "10"},
        {"BD 1.0", [](BitWriter& w) { wrPutBitDouble(w, 1.0); }, "01"},
        {"BD -0.0", [](BitWriter& w) { wrPutBitDouble(w, -0.0); },
         "00 00000000 00000000 00000000 00000000 00000000 00000000 00000000 10000000"},
        {"BD 2.5", [](BitWriter& w) { wrPutBitDouble(w, 2.5); },
         "00 00000000 00000000 00000000 00000000 00000000 00000000 00000100 01000000"},
        {"RC after a bit", [](BitWriter& w) { wrPutBit(w, 1), wrPutRawChar(w, 0xA5); }, "1 10100101"},
        {"RL", [](BitWriter& w) { wrPutRawLongBits(w, 0x12345678); }, "01111000 01010110 00110100 00010010"},
        {"T abc", [](BitWriter& w) { wrPutText(w, "abc"); }, "01 00000011 01100001 01100010 01100011"},
        {"T empty", [](BitWriter& w) { wrPutText(w, ""); }, "10"},
        {"H zero handle code 5", [](BitWriter& w) { wrPutHandle(w, 5 << 4, Handle()); }, "0101 0000"},
        {"H 0x12F code 3", [](BitWriter& w) { wrPutHandle(w, 3 << 4, Handle(0x12F)); }, "0011 0010 00000001 00101111"},
        {"typed ref kind 3", [](BitWriter& w) { wrPutTypedRef(w, Handle(7), 3); }, "0010 0001 00000111"},
        {"typed ref kind 9", [](BitWriter& w) { wrPutTypedRef(w, Handle(7), 9); }, "0000 0001 00000111"},
        {"DD equal", [](BitWriter& w) { wrPutDefaultDouble(w, 2.5, 2.5); }, "00"},
        {"DD different", [](BitWriter& w) { wrPutDefaultDouble(w, 2.5, 1.0); },
         "11 00000000 00000000 00000000 00000000 00000000 00000000 00000100 01000000"},
        {"BT 0", [](BitWriter& w) { wrPutThickness(w, 0.0); }, "1"},
        {"BT 1", [](BitWriter& w) { wrPutThickness(w, 1.0); }, "0 01"},
        {"BE up", [](BitWriter& w) { wrPutExtrusion(w, {0, 0, 1}); }, "1"},
        {"BE down", [](BitWriter& w) { wrPutExtrusion(w, {0, 0, -1}); },
         "0 10 10 00 00000000 00000000 00000000 00000000 00000000 00000000 11110000 10111111"},
        {"relative to the owner one below", [](BitWriter& w) { wrPutRelativeRef(w, Handle(0x29), Handle(0x2A), 4); },
         "1000 0000"},
        {"relative to the owner one above", [](BitWriter& w) { wrPutRelativeRef(w, Handle(0x2B), Handle(0x2A), 4); },
         "0110 0000"},
        {"relative to owner 0", [](BitWriter& w) { wrPutRelativeRef(w, Handle(0), Handle(0x2A), 4); }, "0100 0000"},
        {"relative to itself", [](BitWriter& w) { wrPutRelativeRef(w, Handle(0x2A), Handle(0x2A), 3); }, "0011 0000"},
        {"relative up by an offset", [](BitWriter& w) { wrPutRelativeRef(w, Handle(0x130), Handle(0x12A), 4); },
         "1010 0001 00000110"},
        {"relative up by an offset as long as the target",
         [](BitWriter& w) { wrPutRelativeRef(w, Handle(0x90), Handle(0x2), 4); }, "1010 0001 10001110"},
        {"relative down by an offset", [](BitWriter& w) { wrPutRelativeRef(w, Handle(0x124), Handle(0x12A), 4); },
         "1100 0001 00000110"},
        {"relative down, absolute is not longer", [](BitWriter& w) { wrPutRelativeRef(w, Handle(0x5), Handle(0x12A), 4); },
         "0100 0001 00000101"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BitWriter w;
        c.write(w);
        EXPECT_EQ(bitsOf(w), plainBits(c.bits));
    }
}

TEST(BitWriter, RawRunsAtEveryBitOffsetAndThePaddingOfTheLastByte) {
    const std::vector<uint8_t> run = {0x01, 0x80, 0xFF, 0x00, 0x5A, 0xA5, 0x3C};
    for (unsigned offset = 0; offset < 8; ++offset) {
        SCOPED_TRACE(offset);
        BitWriter w;
        w.putBits(0x7F, offset);
        wrPutRawBytes(w, run.data(), run.size());
        EXPECT_EQ(w.bitLength(), offset + 8 * run.size());
        EXPECT_EQ(bitsOf(w), std::string(offset, '1') + plainBits(test::bytesBits(run)));
        EXPECT_EQ(w.bytes().size(), (w.bitLength() + 7) / 8);
    }
}

// The writer against a plain model (one character per bit): runs of every width from 0 to 64
// across the edges of the register, byte runs at every offset, patches in the whole bytes, in
// the register and across both, and reads of the bytes between writes.
TEST(BitWriter, EqualsAPlainModelAcrossTheRegisterEdges) {
    std::mt19937_64 rng(411);
    auto bitsOfValue = [](uint64_t value, unsigned count) {
        std::string bits;
        for (unsigned i = count; i > 0; --i) bits.push_back((value >> (i - 1)) & 1 ? '1' : '0');
        return bits;
    };
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        BitWriter w;
        std::string model;
        for (int step = 0; step < 60; ++step) {
            const unsigned what = unsigned(rng() % 10);
            if (what < 6) {
                const unsigned count = step % 7 == 0 ? 64 - unsigned(rng() % 3) : unsigned(rng() % 65);
                const uint64_t value = rng();
                w.putBits(value, count);
                model += bitsOfValue(count < 64 ? value & ((uint64_t(1) << count) - 1) : value, count);
            } else if (what < 8) {
                std::vector<uint8_t> run(rng() % 3 == 0 ? rng() % 300 : rng() % 12);
                for (uint8_t& b : run) b = uint8_t(rng());
                wrPutRawBytes(w, run.data(), run.size());
                for (uint8_t b : run) model += bitsOfValue(b, 8);
            } else if (what == 8 && !model.empty()) {
                const unsigned count = unsigned(rng() % (std::min<size_t>(model.size(), 64) + 1));
                const uint64_t position = rng() % (model.size() - count + 1);
                const uint64_t value = rng();
                w.patchBits(position, value, count);
                model.replace(position, count, bitsOfValue(value, count));
            } else {
                ASSERT_EQ(bitsOf(w), model);
            }
            ASSERT_EQ(w.bitLength(), model.size());
        }
        EXPECT_EQ(bitsOf(w), model);
        EXPECT_EQ(w.view().size(), (model.size() + 7) / 8);
        const std::vector<uint8_t> taken = w.takeBytes();
        EXPECT_EQ(bytesToBits(taken, model.size()), model);
        if (model.size() % 8 != 0) {
            EXPECT_EQ(taken.back() & (0xFF >> (model.size() % 8)), 0) << "padding bits are 0";
        }
        EXPECT_EQ(w.bitLength(), 0u);
    }
}

TEST(BitWriter, ModularChars) {
    struct Signed {
        int32_t value;
        std::vector<uint8_t> bytes;
    } signedCases[] = {
        {64, {0xC0, 0x00}}, {-1, {0x41}}, {63, {0x3F}}, {0, {0x00}}, {-64, {0xC0, 0x40}},
        {0x2000, {0x80, 0xC0, 0x00}}, {std::numeric_limits<int32_t>::min(), {0x80, 0x80, 0x80, 0x80, 0x48}},
    };
    for (const Signed& c : signedCases) {
        SCOPED_TRACE(c.value);
        uint8_t out[6];
        int n = wrSignedModularChar(out, c.value);
        EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.bytes);
    }
    struct Unsigned {
        uint64_t value;
        std::vector<uint8_t> bytes;
    } unsignedCases[] = {
        {0, {0x00}}, {0x7F, {0x7F}}, {0x80, {0x80, 0x01}}, {0x40, {0x40}},
        {~uint64_t(0), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}},
    };
    for (const Unsigned& c : unsignedCases) {
        SCOPED_TRACE(c.value);
        uint8_t out[10];
        int n = wrModularChar(out, Handle(c.value));
        EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.bytes);
    }
}

TEST(BitHelpers, SwapAndCount) {
    uint8_t value[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    wrSwap8(value);
    EXPECT_EQ(std::vector<uint8_t>(value, value + 8), (std::vector<uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(wrCountBits4(0), 0);
    EXPECT_EQ(wrCountBits4(0xF), 4);
    EXPECT_EQ(wrCountBits4(0xFFF5), 2);
}

// Writes random values of every encoding at random bit offsets and reads them back.
TEST(BitWriter, EveryEncodingRoundTripsThroughTheReader) {
    std::mt19937_64 rng(20261210);
    auto randomDouble = [&]() {
        switch (rng() % 6) {
        case 0: return 0.0;
        case 1: return 1.0;
        case 2: return -0.5;
        case 3: return double(int64_t(rng() % 2000001) - 1000000) / 8.0;
        default: {
            double d = doubleFromBits(rng());
            return std::isnormal(d) ? d : 3.25;
        }
        }
    };
    auto randomHandle = [&]() {
        static const uint64_t edges[] = {0, 1, 0xFF, 0x100, 0x7FFFFFFF, ~uint64_t(0)};
        return Handle(rng() % 3 == 0 ? edges[rng() % 6] : rng() >> (rng() % 64));
    };
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        BitWriter w;
        const unsigned lead = unsigned(rng() % 8);
        w.putBits(0, lead);
        const uint16_t bs = uint16_t(rng() % 3 ? rng() % 300 : rng());
        const int32_t bl = int32_t(rng() % 3 ? rng() % 300 : rng());
        const double bd = randomDouble(), dd = randomDouble(), ddDefault = rng() % 2 ? dd : randomDouble();
        const Point3 p3{randomDouble(), randomDouble(), randomDouble()};
        const Point2 p2{randomDouble(), randomDouble()};
        const uint8_t rc = uint8_t(rng());
        const int32_t rl = int32_t(rng());
        std::string text(rng() % 40, 'x');
        for (char& ch : text) ch = char(rng());
        const Handle handle = randomHandle(), own = randomHandle(), target = randomHandle();
        const uint8_t kind = uint8_t(1 + rng() % 4);
        const Point3 corner{randomDouble(), randomDouble(), rng() % 2 ? 0.0 : randomDouble()};
        const Point3 lineStart{randomDouble(), randomDouble(), rng() % 2 ? 0.0 : randomDouble()};
        const Point3 lineEnd{rng() % 2 ? lineStart.x : randomDouble(), randomDouble(),
                             lineStart.z == 0.0 ? 0.0 : randomDouble()};

        wrPutBit(w, int(rng() & 1));
        wrPutBitShort(w, bs);
        wrPutBitLong(w, bl);
        wrPutBitDouble(w, bd);
        wrPutDefaultDouble(w, dd, ddDefault);
        wrPut3BitDouble(w, p3);
        wrPut2RawDouble(w, p2);
        wrPutRawChar(w, rc);
        wrPutRawLongBits(w, rl);
        wrPutRawDouble(w, bd);
        wrPutText(w, text);
        wrPutTypedRef(w, handle, kind);
        wrPutRelativeRef(w, target, own, 4);
        wrPutFirstCorner(w, corner);
        wrPutLinePoints(w, lineStart, lineEnd);
        wrPut3DefaultDouble(w, p3, Point3{p3.x, 0.5, p3.z});

        const std::vector<uint8_t> bytes = w.bytes();
        BitReader r(bytes);
        r.skipBits(lead);
        rdBit(r);
        EXPECT_EQ(rdBitShort(r), bs);
        EXPECT_EQ(rdBitLong(r), bl);
        EXPECT_EQ(rdBitDouble(r), bd);
        EXPECT_EQ(rdBitDefaultDouble(r, ddDefault), dd);
        EXPECT_EQ(rdBit3Double(r), p3);
        EXPECT_EQ(rdRaw2Double(r), p2);
        EXPECT_EQ(rdRawChar(r), rc);
        EXPECT_EQ(rdRawLong(r), rl);
        EXPECT_EQ(rdRawDouble(r), bd);
        std::string textBack;
        EXPECT_EQ(rdBitText(r, textBack, 512), 1);
        EXPECT_EQ(textBack, text);
        Handle h;
        int kindBack = 0;
        rdReadHandleRef(r, h, kindBack);
        EXPECT_EQ(h, handle);
        EXPECT_EQ(kindBack, kind);
        // A reference of an object to itself is written as the null reference.
        EXPECT_EQ(rdReadRelativeHandle(r, own), target == own ? Handle() : target);
        EXPECT_EQ(rdBit2RDZ(r), corner);
        Point3 a, b;
        rdBitLinePoints(r, a, b);
        EXPECT_EQ(a, lineStart);
        EXPECT_EQ(b, lineEnd);
        EXPECT_EQ(rdBit3DefaultDouble(r, Point3{p3.x, 0.5, p3.z}), p3);
        EXPECT_FALSE(r.overrun());
        EXPECT_LT(r.bitsLeft(), 8u);

        // The object map's modular chars through the byte-level readers.
        uint8_t mc[10];
        int n = wrModularChar(mc, handle);
        ByteCursor cursor(std::span<const uint8_t>(mc, size_t(n)));
        int length = 0;
        EXPECT_TRUE(rdModularHandle(cursor, h, length));
        EXPECT_EQ(h, handle);
        EXPECT_EQ(length, n);
        n = wrSignedModularChar(mc, rl);
        ByteCursor signedCursor(std::span<const uint8_t>(mc, size_t(n)));
        int64_t value = 0;
        EXPECT_TRUE(rdModularChar(signedCursor, value, length));
        EXPECT_EQ(value, rl);
    }
}

using BitSection = test::ToolkitTest;

TEST_F(BitSection, StoredGroupDataReadsBackThroughTheBlockReader) {
    BitWriter w;
    ASSERT_EQ(wrBitSectionBegin(w), 1);
    const uint8_t bytes[] = {1, 2, 3, 250};
    wrBitWriteShort(w, 1);
    wrBitWriteText(w, "AcDbCustom");
    wrBitWriteShort(w, 90);
    wrBitWriteLong(w, -70000);
    wrBitWriteShort(w, 10);
    wrBitWrite3Doubles(w, {1.5, -2.0, 0.0});
    wrBitWriteDouble(w, 1e-3);
    wrBitWriteBytes(w, bytes, 4);
    wrBitWriteSoftPointer(w, Handle(0x1F0));
    wrBitWriteShort(w, 0);
    uint64_t bitLength = 0;
    PagedStream stored;
    stored.bytes = wrBitSectionEnd(w, bitLength);
    EXPECT_EQ(stored.bytes.size(), (bitLength + 7) / 8);
    EXPECT_EQ(w.bitLength(), 0u) << "the writer is free for the next section";

    BitReader r;
    ASSERT_EQ(rdBitBlockReadBegin(r, &stored), 1);
    uint16_t code = 0;
    std::string text;
    int32_t number = 0;
    Point3 point;
    double real = 0;
    std::vector<uint8_t> bytesBack;
    uint16_t count = 0;
    Handle handle;
    rdBitBlockReadShort(r, code);
    EXPECT_EQ(code, 1);
    rdBitBlockReadText(r, text);
    EXPECT_EQ(text, "AcDbCustom");
    rdBitBlockReadShort(r, code);
    rdBitBlockReadLong(r, number);
    EXPECT_EQ(number, -70000);
    rdBitBlockReadShort(r, code);
    rdBitBlockRead3Doubles(r, point);
    EXPECT_EQ(point, (Point3{1.5, -2.0, 0.0}));
    rdBitBlockReadDouble(r, real);
    EXPECT_EQ(real, 1e-3);
    rdBitBlockReadBytes(r, bytesBack, count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(bytesBack, std::vector<uint8_t>(bytes, bytes + 4));
    rdBitBlockReadHandle(r, handle);
    EXPECT_EQ(handle.value, 0x1F0u);
    rdBitBlockReadShort(r, code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(r.bitPosition(), bitLength);
    EXPECT_FALSE(r.overrun());
    rdBitBlockReadEnd(r);

    EXPECT_EQ(rdBitBlockReadBegin(r, nullptr), 0);
    EXPECT_EQ(dbGetError(), 162);
}

TEST_F(BitSection, OverlongTextsAndRunsAreCutToWhatABitShortCounts) {
    BitWriter w;
    wrBitSectionBegin(w);
    std::string text(70000, 'a');
    wrBitWriteText(w, text);
    std::vector<uint8_t> run(70000, 7);
    wrBitWriteBytes(w, run.data(), run.size());
    uint64_t bitLength = 0;
    const std::vector<uint8_t> block = wrBitSectionEnd(w, bitLength);
    BitReader r(block);
    std::string back;
    EXPECT_EQ(rdBitText(r, back, 70000), 1);
    EXPECT_EQ(back.size(), 0xFFFFu);
    EXPECT_EQ(rdBitShort(r), 0xFFFF);
    r.skipBits(0xFFFF * 8);
    EXPECT_EQ(r.bitPosition(), bitLength);
}

} // namespace
} // namespace tracemill
