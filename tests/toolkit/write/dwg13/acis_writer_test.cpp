// The ACIS data of REGION, 3DSOLID and BODY records: SAT text in blocks of at most 4,096 bytes
// with the format's character transform, the header fix-ups of the first block, the bits a
// reader kept after the text, and SAT text through whole DWG saves and loads.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "dwg13_structure_check.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/sat_transform.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dwg13_acis.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/write/dwg13/acis_writer.h"
#include "write_test_files.h"

namespace tracemill {
namespace {

class AcisWriter : public test::WriterTest {};

constexpr int kAcisTestPageSize = 4096;

AcisBody acisOfText(std::string_view text) {
    AcisBody body;
    PagedStream* sat = body.satText.create(kAcisTestPageSize);
    sat->bytes.assign(text.begin(), text.end());
    return body;
}

std::string satTextOf(const OwnedStream& stream) {
    const std::span<const uint8_t> bytes = stream.bytes();
    return std::string(bytes.begin(), bytes.end());
}

// The blocks of written ACIS data: the lengths and the stored bytes, after the SAT mark.
struct WrittenBlocks {
    bool marked = false;
    std::vector<int32_t> lengths;
    std::string stored;
};

WrittenBlocks blocksOf(const std::vector<uint8_t>& bytes) {
    BitReader bits(bytes);
    WrittenBlocks out;
    out.marked = bits.readBits(2) == 0b01 && rdBitShort(bits) == 1;
    for (int32_t n = rdBitLong(bits); n > 0 && !bits.overrun(); n = rdBitLong(bits)) {
        out.lengths.push_back(n);
        for (int32_t i = 0; i < n; ++i) out.stored.push_back(char(bits.readByte()));
    }
    return out;
}

TEST_F(AcisWriter, SatTextGoesOutInBlocksOfAtMost4096BytesAndReadsBack) {
    struct Row {
        size_t length;
        std::vector<int32_t> blocks;
    } rows[] = {
        {1, {1}}, {4095, {4095}}, {4096, {4096}}, {4097, {4096, 1}}, {8192, {4096, 4096}}, {8193, {4096, 4096, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.length);
        std::string text;
        for (size_t i = 0; i < row.length; ++i) text.push_back(char(0x20 + i % 0x60));
        const AcisBody body = acisOfText(text);
        BitWriter w;
        wrDwgAcisDataR13(w, body);
        const uint64_t end = w.bitLength();
        const std::vector<uint8_t> bytes = w.takeBytes();
        const WrittenBlocks written = blocksOf(bytes);
        EXPECT_TRUE(written.marked);
        EXPECT_EQ(written.lengths, row.blocks);
        ASSERT_EQ(written.stored.size(), text.size());
        for (size_t i = 0; i < text.size(); ++i)
            ASSERT_EQ(uint8_t(written.stored[i]), dbSatTransform(uint8_t(text[i]))) << i;
        BitReader reader(bytes);
        AcisBody back;
        ASSERT_EQ(rdDwg13ReadAcisData(reader, end, back), 1);
        EXPECT_EQ(satTextOf(back.satText), text);
    }
}

TEST_F(AcisWriter, TheFirstBlockGetsTheHeaderFixups) {
    struct Row {
        std::string_view text;
        std::string_view written;
    } rows[] = {
        {"13 A CIS 4.0.2 NT 24 Mon A pr 27 10:00:00 1998", "14 A CIS 4.0.2 NT 25 Mon A pr 27 10:00:00 1998"},
        {"13 A CIS 4.0.2 NT 24 Thu A ug 27 10:00:00 1998", "14 A CIS 4.0.2 NT 25 Thu A ug 27 10:00:00 1998"},
        {"400 0 1 0 24 Mon A pr 27 10:00:00 1998", "400 0 1 0 25 Mon A pr 27 10:00:00 1998"},
        {"13 A CIS 4.0.2 NT 23 Mon A pr 27", "14 A CIS 4.0.2 NT 23 Mon A pr 27"}, // no "4" six places before
        {"4 A pr", "4 A pr"},                                                     // too close to the start
        {"12 A CIS 4.0.2 NT", "12 A CIS 4.0.2 NT"},
        {"400 26 1 0\nbody $-1 $1 $-1 $-1 #\n", "400 26 1 0\nbody $-1 $1 $-1 $-1 #\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        BitWriter w;
        wrDwgAcisDataR13(w, acisOfText(row.text));
        std::string plain;
        for (char c : blocksOf(w.takeBytes()).stored) plain.push_back(char(dbSatTransform(uint8_t(c))));
        EXPECT_EQ(plain, row.written);
    }
    // Only the first block is looked at.
    std::string text(4096, ' ');
    text += "13 A CIS 4.0.2 NT";
    BitWriter w;
    wrDwgAcisDataR13(w, acisOfText(text));
    std::string plain;
    for (char c : blocksOf(w.takeBytes()).stored) plain.push_back(char(dbSatTransform(uint8_t(c))));
    EXPECT_EQ(plain, text);
}

// The bits after the SAT text: those a reader kept, the empty-data bits of a record that had no
// SAT text, nothing where the body says it has none.
TEST_F(AcisWriter, TrailingBitsAreThoseTheReaderKept) {
    struct Row {
        const char* what;
        bool withSat;
        std::vector<uint8_t> trailing;
        uint8_t noTrailingBits;
        std::vector<int> bits; // after the SAT text
    } rows[] = {
        {"kept after SAT text", true, {1, 3, 0, 0, 0, 0b10100000}, 0, {1, 0, 1}},
        {"kept without SAT text", false, {0, 2, 0, 0, 0, 0b01000000}, 0, {1, 1, 0, 1}},
        {"SAT text and nothing kept", true, {}, 0, {}},
        {"no SAT text, nothing kept", false, {}, 0, {1, 1}},
        {"no SAT text, none by the body", false, {}, 1, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        AcisBody body = acisOfText(row.withSat ? "x" : "");
        if (!row.trailing.empty()) body.trailingBits.create(kAcisTestPageSize)->bytes = row.trailing;
        body.noTrailingBits = row.noTrailingBits;
        BitWriter w;
        wrDwgAcisDataR13(w, body);
        const uint64_t satBits = row.withSat ? 2 + 10 + 10 + 8 + 2 : 0; // mark, BS 1, BL 1, "x", BL 0
        const uint64_t length = w.bitLength();
        const std::vector<uint8_t> bytes = w.takeBytes();
        ASSERT_EQ(length, satBits + row.bits.size());
        BitReader reader(bytes);
        reader.seekBit(satBits);
        for (int expected : row.bits) EXPECT_EQ(reader.readBit(), expected);
    }
}

// Every byte from 0x21 to 0xFF of a SAT text comes back from a DWG file of each version.
TEST_F(AcisWriter, EveryByteOfASatTextComesBackFromADwgFile) {
    std::string text;
    for (int c = 0x21; c <= 0xFF; ++c) text.push_back(char(c));
    text += "\r\n";
    Drawing* d = keep(dbCreateDrawing(nullptr, nullptr, 0, kVersionAC1015));
    EntityRecord solid = test::newEntity(d, kEntitySolid3d);
    solid.bodyAs<AcisBody>().satText.create(kAcisTestPageSize)->bytes.assign(text.begin(), text.end());
    ASSERT_EQ(dbAppendEntity(d, d->modelSpace, solid), 1);
    for (int16_t version : {kVersionAC1012, kVersionAC1014, kVersionAC1015}) {
        SCOPED_TRACE(version);
        const auto path = folder_ / ("solid" + std::to_string(version) + ".dwg");
        ASSERT_EQ(test::saveAs(d, path, kSaveFormatDwg, version), 1) << dbGetError();
        const test::Dwg13CheckResult check = test::checkDwg13File(path);
        EXPECT_TRUE(check.ok()) << check.report();
        Drawing* back = keep(rdOpenDrawing(path.c_str(), kOpenOrdinary, 0));
        ASSERT_NE(back, nullptr) << dbGetError();
        int solids = 0;
        for (const EntityNode& node : *back->modelSpace) {
            const auto* acis = node.record.body.getIf<AcisBody>();
            if (!acis) continue;
            ++solids;
            EXPECT_EQ(satTextOf(acis->satText), text);
        }
        EXPECT_EQ(solids, 1);
    }
}

} // namespace
} // namespace tracemill
