// The ACIS data of REGION, 3DSOLID and BODY entities: the SAT character transform, the blocks
// and the bits kept after them, and the SAT text of proxies of an ACIS-bearing class.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/core/sat_transform.h"
#include "toolkit/read/dwg13_acis.h"
#include "toolkit/read/drawing_loader.h"
#include "test_paths.h"
#include "toolkit/codec/bit_writer.h"
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
            wrPutRawChar(w, dbSatTransform(uint8_t(c)));
        }
    }
    wrPutBitLong(w, 0);
}

// One rule for every reader and writer: 0x21-0x7E become 159 - c, every other byte stays (the
// DWG reader also turned bytes from 0x80 on, so a text with them did not come back as written).
TEST_F(Dwg13Acis, SatBytesAreDecodedByTheTransform) {
    const std::pair<uint8_t, uint8_t> cases[] = {
        {33, 126}, {126, 33}, {'A', '^'}, {127, 127}, {' ', ' '}, {'\n', '\n'}, {0, 0}, {150, 150}, {0x80, 0x80},
        {0xFF, 0xFF},
    };
    for (const auto& [stored, decoded] : cases) EXPECT_EQ(dbSatTransform(stored), decoded) << int(stored);
    for (int c = 0; c < 256; ++c) EXPECT_EQ(dbSatTransform(dbSatTransform(uint8_t(c))), c) << c;
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

// The DWG samples with solids and regions load the same SAT text under the one rule as under
// the DWG reader's former one (which also turned bytes from 0x80 on): their texts hold no such
// byte.
TEST_F(Dwg13Acis, SamplesHoldNoSatByteTheFormerRuleTurnedApart) {
    TM_REQUIRE_SAMPLES(samples);
    int texts = 0;
    for (const char* name : {"dwg/example_r13.dwg", "dwg/example_r14.dwg", "dwg/example_2000.dwg",
                             "dwg/oscilloscope_case_2000.dwg"}) {
        Drawing* d = rdOpenDrawing((samples / name).c_str(), kOpenOrdinary, 0);
        ASSERT_NE(d, nullptr) << name << ": error " << dbGetError();
        auto check = [&](const EntityList* list) {
            if (!list) return;
            for (const EntityNode& node : *list) {
                const auto* acis = node.record.body.getIf<AcisBody>();
                if (!acis || acis->satText.bytes().empty()) continue;
                ++texts;
                for (uint8_t c : acis->satText.bytes()) ASSERT_LT(c, 0x80) << name;
            }
        };
        check(d->modelSpace);
        check(d->paperSpace);
        for (const BlockNode& block : d->blocks) check(block.entityList.get());
        dbFreeDrawing(d);
    }
    EXPECT_GT(texts, 0);
}

} // namespace
} // namespace tracemill
