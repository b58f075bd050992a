// The file structure of DWG files before R13: the fixed head, the header variables and the
// light file check, on the shared sample drawings (read in place) and changed copies of them in
// memory.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_paths.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/byte_order.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/read/dwg12_header_layout.h"
#include "toolkit/read/dwg_file_check.h"
#include "toolkit/codec/crc16.h"
#include "toolkit_fixture.h"

namespace tracemill {
namespace {

using test::readFileBytes;

void setLe32(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    putLe32(file.data() + at, value);
}

// Recomputes the header block's checksum of an "AC1009" file after a change of its head.
void seal(std::vector<uint8_t>& file) {
    const size_t size = getLe32(file.data() + kDwg12EntityStartOffset) - 16;
    putLe16(file.data() + size - 2, uint16_t(wrCrc16(0, file.data(), size - 2) ^ kDwg12HeaderCrcXor));
}

class Dwg12FileTest : public test::ToolkitTest {};

TEST_F(Dwg12FileTest, FileHeadGivesSectionsAndTableHeads) {
    TM_REQUIRE_SAMPLES(samples);
    struct Case {
        const char* file;
        int version;
        uint32_t entityStart, entityEnd, blockStart, blockSize, extraStart, extraSize;
        uint32_t blocks, layers, styles, linetypes, vports;
    } cases[] = {
        // "AC1003" keeps only the low 16 bits of its counts (the BLOCK count field holds 0x80080003).
        {"r2.6_entities.dwg", 1, 981, 1992, 2758, 589, 3347, 0, 3, 2, 2, 1, 0},
        // The extra entity section's size has a flag bit set in the file.
        {"r9_entities.dwg", 2, 1007, 2110, 2870, 589, 3459, 17, 3, 2, 2, 1, 0},
        {"r10_entities.dwg", 3, 1298, 2441, 3699, 589, 4288, 17, 3, 2, 2, 1, 2},
        {"r11_entities-2d.dwg", 4, 1743, 2860, 4559, 639, 5230, 0, 3, 2, 2, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> file = readFileBytes(samples / "dwg" / c.file);
        Dwg12FileHead head;
        ASSERT_TRUE(rdReadDwg12FileHead(file, c.version, head));
        EXPECT_EQ(head.entityStart, c.entityStart);
        EXPECT_EQ(head.entityEnd, c.entityEnd);
        EXPECT_EQ(head.blockStart, c.blockStart);
        EXPECT_EQ(head.blockSize, c.blockSize);
        EXPECT_EQ(head.blockSizeFlags, 0x40000000u);
        EXPECT_EQ(head.extraStart, c.extraStart);
        EXPECT_EQ(head.extraSize, c.extraSize);
        EXPECT_EQ(head.tables[kDwg12Block].count, c.blocks);
        EXPECT_EQ(head.tables[kDwg12Layer].count, c.layers);
        EXPECT_EQ(head.tables[kDwg12Style].count, c.styles);
        EXPECT_EQ(head.tables[kDwg12Linetype].count, c.linetypes);
        EXPECT_EQ(head.tables[kDwg12Vport].count, c.vports);
        for (int t = 0; t < kDwg12TableCount; ++t) {
            if (dbDwg12HasTable(c.version, Dwg12Table(t))) {
                EXPECT_EQ(head.tables[size_t(t)].recordSize,
                          kDwg12Tables[size_t(t)].recordSize[size_t(c.version)]);
            }
        }
    }
}

TEST_F(Dwg12FileTest, HeadNeedsTheBytesOfItsVersion) {
    std::vector<uint8_t> file(0x54 + 10, 0);
    Dwg12FileHead head;
    EXPECT_TRUE(rdReadDwg12FileHead(file, 2, head));
    // "AC1009" has table heads up to 0x69F.
    EXPECT_FALSE(rdReadDwg12FileHead(file, 4, head));
    EXPECT_FALSE(rdReadDwg12FileHead(file, 5, head));
}

TEST_F(Dwg12FileTest, HeaderVariablesMatchTheDrawingsDxfTwin) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<uint8_t> file = readFileBytes(samples / "dwg" / "r11_entities-2d.dwg");
    Dwg12FileHead head;
    ASSERT_TRUE(rdReadDwg12FileHead(file, 4, head));
    HeaderBlock header;
    Dwg12CurrentEntries current;
    rdReadR12Header(std::span(file).first(head.headerSize()), 4, header, current);
    // The values of r11_entities-2d.dxf's HEADER section.
    EXPECT_NEAR(header.extmin.x, 0.860128, 1e-6);
    EXPECT_NEAR(header.extmax.x, 9.433333, 1e-6);
    EXPECT_NEAR(header.extmax.y, 9.127279, 1e-6);
    EXPECT_EQ(header.extmax.z, 5.0);
    EXPECT_EQ(header.limmax, (Point2{12.0, 9.0}));
    EXPECT_NEAR(header.viewctr.x, 6.213253, 1e-6);
    EXPECT_EQ(header.viewsize, 9.0);
    EXPECT_EQ(header.tracewid, 0.2);
    EXPECT_EQ(header.menu, "acad");
    EXPECT_EQ(header.dimasz, 0.18);
    EXPECT_EQ(header.dimtih, 1);
    EXPECT_EQ(header.dimsho, 1);
    EXPECT_EQ(header.dimaltf, 25.4);
    EXPECT_EQ(header.dimtfac, 1.0);
    EXPECT_EQ(header.dimgap, 0.09);
    EXPECT_EQ(header.tdcreate.day, 2459714u);
    EXPECT_EQ(header.tdcreate.milliseconds, 37853160u); // .438115277 of a day
    EXPECT_EQ(header.splinesegs, 8);
    EXPECT_EQ(header.handling, 0);
    EXPECT_EQ(header.shadedif, 70);
    EXPECT_EQ(header.maxactvp, 16);
    EXPECT_EQ(header.pextmin.x, 1e20);
    EXPECT_EQ(header.plimmax, (Point2{12.0, 9.0}));
    EXPECT_EQ(current[Dwg12CurrentEntry::Layer], 0);
    EXPECT_EQ(current[Dwg12CurrentEntry::TextStyle], 0);
    EXPECT_EQ(current[Dwg12CurrentEntry::Linetype], kDwg12LinetypeByLayer);
    EXPECT_EQ(current[Dwg12CurrentEntry::Ucs], -1);
    EXPECT_EQ(current[Dwg12CurrentEntry::DimStyle], -1);
    EXPECT_EQ(current[Dwg12CurrentEntry::PaperUcs], -1);
}

TEST_F(Dwg12FileTest, OlderHeadersKeepTheTemplateForVariablesTheyDoNotStore) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<uint8_t> file = readFileBytes(samples / "dwg" / "r2.6_entities.dwg");
    Dwg12FileHead head;
    ASSERT_TRUE(rdReadDwg12FileHead(file, 1, head));
    HeaderBlock header;
    header.ucsorg = Point3{7, 7, 7};
    Dwg12CurrentEntries current;
    rdReadR12Header(std::span(file).first(head.headerSize()), 1, header, current);
    EXPECT_EQ(header.menu, "ACAD");
    EXPECT_EQ(header.dimaltf, 25.4);             // "AC1003" stores it
    EXPECT_EQ(header.ucsorg, (Point3{7, 7, 7})); // "AC1006" and later
    EXPECT_EQ(header.splinesegs, 8);             // the template's; "AC1004" and later
    // BYLAYER is 256 in the one-byte linetype codes of these files.
    EXPECT_EQ(current[Dwg12CurrentEntry::Linetype], kDwg12LinetypeByLayer);
}

TEST_F(Dwg12FileTest, MenuNameContinuesInItsSecondField) {
    std::vector<uint8_t> header(kDwg12HeaderBlockSize[4], 0);
    const std::string menu = "a-menu-name-of-more-than-fourteen-characters";
    std::memcpy(header.data() + 0x194, menu.data(), 14);
    std::memcpy(header.data() + 0x1FC, menu.data() + 14, menu.size() - 14);
    HeaderBlock out;
    Dwg12CurrentEntries current;
    rdReadR12Header(header, 4, out, current);
    EXPECT_EQ(out.menu, menu);
}

// The light check of "AC1009" files, on changed copies of r11_entities-2d.dwg.
TEST_F(Dwg12FileTest, LightCheckFindsDamageInChecksummedFiles) {
    TM_REQUIRE_SAMPLES(samples);
    const std::vector<uint8_t> original = readFileBytes(samples / "dwg" / "r11_entities-2d.dwg");
    struct Case {
        const char* name;
        void (*change)(std::vector<uint8_t>&);
        int result;
        int error;
    } cases[] = {
        {"intact", [](std::vector<uint8_t>&) {}, 0, 0},
        {"a header byte changed", [](std::vector<uint8_t>& f) { f[0x200] ^= 0x10; }, 1, kErrorDwgCheckHeaderCrc},
        {"checksum changed", [](std::vector<uint8_t>& f) { f[1725] ^= 0x01; }, 1, kErrorDwgCheckHeaderCrc},
        {"header beyond 2,048 bytes", [](std::vector<uint8_t>& f) { setLe32(f, 0x14, 3000); }, 1,
         kErrorDwgCheckHeaderSize},
        {"entity end outside the file",
         [](std::vector<uint8_t>& f) {
             setLe32(f, 0x18, 100000);
             seal(f);
         },
         1, kErrorDwgCheckEntitiesEnd},
        {"block section beyond the file",
         [](std::vector<uint8_t>& f) {
             setLe32(f, 0x20, 0x40000000 | 5000);
             seal(f);
         },
         1, kErrorDwgCheckBlocksEnd},
        {"LAYER table outside the file",
         [](std::vector<uint8_t>& f) {
             setLe32(f, 0x36 + 6, 99999);
             seal(f);
         },
         1, kErrorDwgCheckLayerTable},
        {"negative DIMSTYLE count",
         [](std::vector<uint8_t>& f) {
             setLe32(f, 0x522 + 2, 0x80000001);
             seal(f);
         },
         1, kErrorDwgCheckDimStyleTable},
        // Without layout 205 the file carries no checksums and is not checked.
        {"another layout number",
         [](std::vector<uint8_t>& f) {
             f[0x11] = 0xCC;
             f[0x200] ^= 0x10;
         },
         0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> file = original;
        c.change(file);
        dbSetError(0);
        EXPECT_EQ(rdCheckDwgFile(file, kDwgCheckLight), c.result);
        EXPECT_EQ(dbGetError(), c.error);
    }
}

// Each failure of the light check ends the open of a damaged copy of an "AC1009" fixture with a
// number of its own and a meaning that says what was found; none is taken for a file that cannot
// be opened or is no drawing.
TEST_F(Dwg12FileTest, EachFailureOfTheCheckEndsTheOpenWithItsOwnNumberAndMeaning) {
    const std::vector<uint8_t> original = readFileBytes(test::testDataDir() / "dwg12" / "kinds_ac1009.dwg");
    ASSERT_GT(original.size(), 1800u);
    ASSERT_EQ(getLe16(original.data() + kDwg12LayoutNumberOffset), kDwg12ChecksummedLayout);
    struct Case {
        std::string name;
        std::function<void(std::vector<uint8_t>&)> change;
        int error;
        bool sealed = true;  // the checksum is made right again after the change
    };
    std::vector<Case> cases = {
        {"header block beyond 2,048 bytes", [](std::vector<uint8_t>& f) { setLe32(f, kDwg12EntityStartOffset, 3000); },
         kErrorDwgCheckHeaderSize},
        {"header block too short for its checksum",
         [](std::vector<uint8_t>& f) { setLe32(f, kDwg12EntityStartOffset, 17); }, kErrorDwgCheckHeaderSize},
        {"a header variable changed", [](std::vector<uint8_t>& f) { f[0x200] ^= 0x10; }, kErrorDwgCheckHeaderCrc,
         false},
        {"entities start beyond the file (cut inside the header)", [](std::vector<uint8_t>& f) { f.resize(1720); },
         kErrorDwgCheckEntitiesStart},
        {"entities end beyond the file", [](std::vector<uint8_t>& f) { setLe32(f, kDwg12EntityEndOffset, 900000); },
         kErrorDwgCheckEntitiesEnd},
        {"blocks start beyond the file", [](std::vector<uint8_t>& f) { setLe32(f, kDwg12BlockStartOffset, 900000); },
         kErrorDwgCheckBlocksStart},
        {"blocks end beyond the file",
         [](std::vector<uint8_t>& f) { setLe32(f, kDwg12BlockSizeOffset, 0x40000000 | 900000); },
         kErrorDwgCheckBlocksEnd},
        {"extra entities end beyond the file", [](std::vector<uint8_t>& f) { setLe32(f, kDwg12ExtraSizeOffset, 900000); },
         kErrorDwgCheckExtraEnd},
    };
    for (int t = 0; t < kDwg12TableCount; ++t) {
        const size_t head = kDwg12Tables[size_t(t)].headOffset;
        // Offsets beyond the file for the even tables, negative counts for the odd ones.
        cases.push_back({std::string(kDwg12Tables[size_t(t)].name) + " table head damaged",
                         [head, t](std::vector<uint8_t>& f) { setLe32(f, head + (t % 2 ? 2 : 6), t % 2 ? 0x80000001 : 900000); },
                         kDwgCheckTableErrors[size_t(t)]});
    }
    std::set<int> numbers;
    std::set<std::string> meanings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> file = original;
        c.change(file);
        const uint32_t entityStart = getLe32(file.data() + kDwg12EntityStartOffset);
        if (c.sealed && entityStart >= 18 && entityStart <= std::min<size_t>(file.size(), 2048)) seal(file);
        test::TempFile copy(std::string(file.begin(), file.end()), ".dwg");
        test::DrawingPtr drawing = test::loadFile(copy.path());
        EXPECT_FALSE(drawing);
        EXPECT_EQ(dbGetError(), c.error);
        const std::string meaning = dbErrorMeaning(c.error);
        EXPECT_NE(meaning, kUnknownErrorMeaning);
        EXPECT_NE(meaning.find("DWG"), std::string::npos) << meaning;
        numbers.insert(c.error);
        meanings.insert(meaning);
    }
    // Every failure its own number and meaning (the two header sizes are one failure), and none
    // of the numbers of the open's stages (3 not opened, 4 not recognised, 5 not a DXF file, 22
    // header).
    const size_t failures = 2 + kDwgCheckSectionErrors.size() + kDwgCheckTableErrors.size();
    EXPECT_EQ(numbers.size(), failures);
    EXPECT_EQ(meanings.size(), failures);
    for (int stage : {2, 3, 4, 5, 22}) EXPECT_FALSE(numbers.contains(stage)) << stage;
}

TEST_F(Dwg12FileTest, LightCheckLeavesOlderFilesAlone) {
    TM_REQUIRE_SAMPLES(samples);
    for (const char* name : {"r2.6_entities.dwg", "r9_entities.dwg", "r10_entities.dwg"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> file = readFileBytes(samples / "dwg" / name);
        file[0x200] ^= 0xFF;
        EXPECT_EQ(rdCheckDwgFile(file, kDwgCheckLight), -1);
    }
    const std::vector<uint8_t> r14 = readFileBytes(samples / "dwg" / "example_r14.dwg");
    EXPECT_EQ(rdCheckDwgFile(r14, kDwgCheckLight), 0);
    EXPECT_EQ(rdCheckDwgFile(std::vector<uint8_t>{'A', 'C'}, kDwgCheckLight), -1);
}

} // namespace
} // namespace tracemill
