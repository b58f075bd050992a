// The ACIS data of REGION, 3DSOLID and BODY entities: the SAT character transform, the blocks
// and the bits kept after them, and the SAT text of proxies of an ACIS-bearing class.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/read/dwg13_acis.h"
#include "toolkit/write/dwg13/bit_writer.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

class Dwg13Acis : public test::ToolkitTest {};

std::string text(const OwnedStream& stream) {
    const std::span<const uint8_t> bytes = stream.bytes();
    return std::string(bytes.begin(), bytes.end());
}

// The SAT mark of version 1 (B 0, B 1, BS 1) and the blocks of a text, stored with the format's
// transform.
void putSat(BitWriter& w, const std::vector<std::string>& blocks) {
    w.putBits(0b01, 2);
    wrPutBitShort(w, 1);
    for (const std::string& block : blocks) {
        wrPutBitLong(w, int32_t(block.size()));
        for (char c : block) {
            const uint8_t b = uint8_t(c);
            wrPutRawChar(w, b > 32 && b < 127 ? uint8_t(159 - b) : b);
        }
    }
    wrPutBitLong(w, 0);
}

TEST_F(Dwg13Acis, SatBytesAreDecodedByTheTransform) {
    EXPECT_EQ(rdDecodeSatByte(33), 126);
    EXPECT_EQ(rdDecodeSatByte(126), 33);
    EXPECT_EQ(rdDecodeSatByte(127), 127);
    EXPECT_EQ(rdDecodeSatByte(' '), ' ');
    EXPECT_EQ(rdDecodeSatByte('\n'), '\n');
    EXPECT_EQ(rdDecodeSatByte(150), ' '); // decodes to a tab, stored as a space
}

TEST_F(Dwg13Acis, SatBlocksAndTheBitsAfterThem) {
    BitWriter w;
    putSat(w, {"400 0 1 0\n", "body $-1 $1;\n"});
    w.putBits(0b101, 3); // bits the format keeps after the SAT text
    const uint64_t end = w.bitLength();
    const std::vector<uint8_t> bytes = w.takeBytes();
    BitReader reader(bytes);
    AcisBody body;
    ASSERT_EQ(rdDwg13ReadAcisData(reader, end, body), 1);
    EXPECT_EQ(text(body.satText), "400 0 1 0\nbody $-1 $1;\n");
    EXPECT_EQ(std::vector<uint8_t>(body.trailingBits.bytes().begin(), body.trailingBits.bytes().end()),
              (std::vector<uint8_t>{1, 3, 0, 0, 0, 0b10100000}));
}

TEST_F(Dwg13Acis, DataWithoutTheSatMarkKeepsItsBitsAfterTheFirstTwo) {
    BitWriter w;
    w.putBits(0b11, 2); // empty
    w.putBits(0xAB, 8);
    const uint64_t end = w.bitLength();
    const std::vector<uint8_t> bytes = w.takeBytes();
    BitReader reader(bytes);
    AcisBody body;
    ASSERT_EQ(rdDwg13ReadAcisData(reader, end, body), 1);
    EXPECT_FALSE(body.satText);
    EXPECT_EQ(std::vector<uint8_t>(body.trailingBits.bytes().begin(), body.trailingBits.bytes().end()),
              (std::vector<uint8_t>{0, 8, 0, 0, 0, 0xAB}));
}

TEST_F(Dwg13Acis, ABlockLongerThanTheDataEndsTheText) {
    const std::vector<uint8_t> bytes = [&] {
        BitWriter cut;
        cut.putBits(0b01, 2);
        wrPutBitShort(cut, 1);
        wrPutBitLong(cut, 3);
        for (char c : std::string("ok\n")) wrPutRawChar(cut, c > 32 ? uint8_t(159 - c) : uint8_t(c));
        wrPutBitLong(cut, 1000); // more than is left
        return cut.takeBytes();
    }();
    BitReader reader(bytes);
    AcisBody body;
    ASSERT_EQ(rdDwg13ReadAcisData(reader, bytes.size() * 8, body), 1);
    EXPECT_EQ(text(body.satText), "ok\n");
}

// The byte the shifted rule decodes to `c`.
uint8_t shiftedByteOf(uint8_t c) {
    for (int v = 0; v < 256; ++v) {
        const uint8_t b = uint8_t(v);
        const uint8_t decoded = (b & 1) ? uint8_t((381 - b) / 4) : b > 128 ? uint8_t((636 - b) / 4) : uint8_t(b >> 2);
        if (decoded == c) return b;
    }
    return 0;
}

// One last block of the first kind: its count two bits to the right, its bytes by the shifted
// rule.
std::vector<uint8_t> proxyData(const std::string& lines) {
    BitWriter w;
    w.putBits(0, 2);
    w.putBits(uint32_t(lines.size()), 32);
    for (char c : lines) wrPutRawChar(w, shiftedByteOf(uint8_t(c)));
    return w.takeBytes();
}

TEST_F(Dwg13Acis, ProxyDataLinesAreDecodedAndRewritten) {
    struct Case {
        const char* name;
        std::string line;
        std::string written;
    } cases[] = {
        {"a point loses the field after its coordinates", "point $-1 1 2 3 x y #\n", "point $-1 1 2 3 y #\n"},
        {"a surface loses the field after its reference", "face $1 -surface $2 $3 forward #\n",
         "face $1 -surface $2 forward #\n"},
        {"a curve likewise", "edge $4 -curve $5 $6 forward #\n", "edge $4 -curve $5 forward #\n"},
        {"a pattern without the fields leaves the line", "point $-1 1\n", "point $-1 1\n"},
        {"other lines pass unchanged", "body $-1 $1 $-1 $-1 #\n", "body $-1 $1 $-1 $-1 #\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PagedStream target;
        EXPECT_EQ(rdCopyAcisProxyData(proxyData(c.line), target), kAcisCopyDone);
        EXPECT_EQ(std::string(target.bytes.begin(), target.bytes.end()), c.written);
    }
}

TEST_F(Dwg13Acis, ProxyDataCutShortOrWithOverlongLines) {
    PagedStream target;
    std::vector<uint8_t> data = proxyData("point $-1 1 2 3\n");
    data.resize(data.size() - 4);
    EXPECT_EQ(rdCopyAcisProxyData(data, target), kAcisCopySourceShort);
    PagedStream other;
    EXPECT_EQ(rdCopyAcisProxyData(proxyData(std::string(3000, 'a') + "\n"), other), kAcisCopyLineTooLong);
}

} // namespace
} // namespace tracemill
