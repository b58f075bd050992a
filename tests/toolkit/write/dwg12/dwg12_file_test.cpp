// The file layout the DWG writer before R13 puts down for each version: the header block and
// its checksum, the sentinels, the table heads, the stand-in blocks of deleted block records,
// the viewport chain, the header bytes that hold no variable, the errors of a save that cannot
// be written, and a drawing left as it was.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dwg12_test_support.h"
#include "toolkit/core/drawing_dump.h"
#include "toolkit/core/out_file.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/write/dwg12/dwg12_file_writer.h"
#include "toolkit/write/dwg12/dwg12_table_writer.h"

namespace tracemill {
namespace {

using test::le16At;
using test::le32At;

class Dwg12File : public test::Dwg12WriterTest {
protected:
    Handle addBlock(const std::string& name, bool deleted = false) {
        BlockRecord block;
        block.name = name;
        block.handle = dbNewHandle(*drawing_);
        block.deleted = deleted ? 1 : 0;
        EXPECT_EQ(dbBlockAdd(drawing_, block), 1);
        return block.handle;
    }
    void addViewport(int16_t status) {
        EntityRecord viewport = entity(kEntityViewport);
        viewport.header.flags |= kEntityInPaperSpace;
        viewport.bodyAs<ViewportBody>().status = status;
        viewport.bodyAs<ViewportBody>().id = status;
        viewport.bodyAs<ViewportBody>().width = 10.0 * status;
        ASSERT_EQ(dbAppendEntity(drawing_, drawing_->paperSpace, viewport), 1);
    }
};

bool contains(const std::vector<uint8_t>& bytes, const Dwg12Sentinel& pattern) {
    return std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) != bytes.end();
}

TEST_F(Dwg12File, EachVersionHasItsHeaderBlockAndTables) {
    struct Row {
        int16_t version;
        const char* signature;
        uint32_t headerSize;
        uint8_t layoutNumber;
        bool checksums;
        std::vector<Dwg12Table> tables; // the heads a version writes
    };
    const std::vector<Dwg12Table> old = {kDwg12Block, kDwg12Layer, kDwg12Style, kDwg12Linetype, kDwg12View};
    std::vector<Dwg12Table> r10 = old;
    r10.insert(r10.end(), {kDwg12Ucs, kDwg12Vport});
    std::vector<Dwg12Table> r12 = r10;
    r12.insert(r12.end(), {kDwg12AppId, kDwg12DimStyle, kDwg12ViewportEntityHeader});
    const Row rows[] = {
        {0, "AC1002", 929, 0x72, false, old}, {1, "AC1003", 981, 0x7A, false, old},
        {2, "AC1004", 1007, 0x81, false, old}, {3, "AC1006", 1310, 0xA0, false, r10},
        {4, "AC1009", 1727, 0xCD, true, r12},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.signature);
        ASSERT_NE(make(uint16_t(row.version)), nullptr);
        const std::vector<uint8_t> file = save(row.version);
        ASSERT_GT(file.size(), row.headerSize);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 6), row.signature);
        EXPECT_EQ(file[0x0C], row.version == 0 ? 0 : 1);
        EXPECT_EQ(file[0x11], row.layoutNumber);
        EXPECT_EQ(le32At(file, 0x20) & 0x40000000u, 0x40000000u);
        EXPECT_EQ(le32At(file, 0x28), 0x80000000u);
        EXPECT_EQ(le32At(file, 0x14), row.headerSize + (row.checksums ? 16 : 0));
        const uint16_t stored = le16At(file, row.headerSize - 2);
        const uint16_t computed = test::checkCrc16(0, {file.data(), size_t(row.headerSize - 2)});
        EXPECT_EQ(uint16_t(computed ^ 0x6718) == stored, row.checksums);
        EXPECT_EQ(contains(file, kDwg12EntitiesBegin), row.checksums);
        EXPECT_EQ(contains(file, kDwg12BlocksBegin), row.checksums);
        for (int t = 0; t < kDwg12TableCount; ++t) {
            const bool written = std::find(row.tables.begin(), row.tables.end(), Dwg12Table(t)) != row.tables.end();
            const size_t head = kDwg12Tables[size_t(t)].headOffset;
            if (written) {
                EXPECT_EQ(le16At(file, head), kDwg12Tables[size_t(t)].recordSize[size_t(row.version)])
                    << kDwg12Tables[size_t(t)].name;
            } else if (head + 10 <= row.headerSize) {
                // Where a later version keeps the head, this one keeps header variables or zeros.
                EXPECT_NE(le16At(file, head), kDwg12Tables[size_t(t)].recordSize[4]) << kDwg12Tables[size_t(t)].name;
            }
        }
        // The reader takes the file back.
        EXPECT_NE(load(pathOf(row.version)), nullptr) << "error " << dbGetError();
    }
}

TEST_F(Dwg12File, DeletedBlockRecordsGetStandInBlocksWithHandlesOfTheSave) {
    ASSERT_NE(make(4), nullptr);
    drawing_->header->handling = 1;
    addBlock("DOOR");
    addBlock("GONE", true);
    addBlock("WINDOW");
    addBlock("LOST", true);
    const Handle seed = drawing_->handleSeed;
    const std::vector<uint8_t> file = save(4);
    EXPECT_EQ(drawing_->handleSeed, seed) << "the drawing's seed is the drawing's";

    const test::Dwg12CheckResult check = test::checkDwg12Structure(file);
    ASSERT_EQ(check.tables[0].count, 4u);
    for (uint32_t i = 0; i < 4; ++i) {
        const uint8_t flags = file[check.tables[0].offset + i * check.tables[0].recordSize];
        EXPECT_EQ((flags & 0x80) != 0, i == 1 || i == 3) << "BLOCK record " << i;
    }
    // The blocks section holds BLOCK "FAKE1" and "FAKE3", each with its ENDBLK, the first with the
    // seed's handle and the second with the one after it.
    std::vector<std::string> names;
    std::vector<uint64_t> handles;
    for (size_t i = 0; i < check.entities.size(); ++i) {
        const test::Dwg12CheckEntity& e = check.entities[i];
        if (!e.inBlocks || e.kind != kEntityBlock) continue;
        // Head, handle (its length byte and bytes), the base point, then the name.
        const std::vector<uint8_t> record = test::bytesAt(file, e.offset, e.length);
        ASSERT_EQ(record[1] & 0x20, 0x20) << "the BLOCK carries a handle";
        size_t at = 8;
        uint64_t handle = 0;
        for (uint8_t k = 0; k < record[at]; ++k) handle = (handle << 8) | record[at + 1 + k];
        at += 1 + record[at] + 16;
        const uint16_t length = le16At(record, at);
        const std::string name(record.begin() + ptrdiff_t(at + 2), record.begin() + ptrdiff_t(at + 2 + length));
        names.push_back(name);
        handles.push_back(handle);
    }
    const std::vector<std::string> expected = {"DOOR", "FAKE1", "WINDOW", "FAKE3"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(handles[1], seed.value);
    EXPECT_EQ(handles[3], seed.value + 1);

    // The reader passes over the deleted records and their stand-ins.
    Drawing* back = load(pathOf(4));
    ASSERT_NE(back, nullptr) << "error " << dbGetError();
    std::vector<std::string> loaded;
    for (const BlockNode& node : back->blocks) loaded.push_back(node.record.name);
    EXPECT_EQ(loaded, (std::vector<std::string>{"DOOR", "WINDOW", "*Model_Space", "*Paper_Space"}));
}

// The viewport entity headers link the viewports by their numbers, each naming the next by the
// position the reader counts for it (the first, unnamed record is position 0).
TEST_F(Dwg12File, ViewportChainLinksTheReadersPositions) {
    struct Row {
        const char* name;
        std::vector<int16_t> statuses; // in the order of paper space; the index puts status 1 first
        std::vector<uint16_t> chain;   // the positions from the header's first viewport on
    };
    const Row rows[] = {
        {"numbered in order", {1, 2, 3}, {1, 2, 3}},
        {"numbered out of order", {3, 2, 1}, {1, 3, 2}},
        {"one off and a gap", {1, 0, 3, 2}, {1, 4, 3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(make(4), nullptr);
        for (int16_t status : row.statuses) addViewport(status);
        const std::vector<uint8_t> file = save(4);
        const test::Dwg12CheckResult check = test::checkDwg12Structure(file);
        EXPECT_EQ(check.tables[9].count, row.statuses.size() + 1);
        EXPECT_EQ(check.viewportChain, row.chain);
        EXPECT_EQ(le16At(file, 0x635), row.chain.front());
        // Read back, each viewport has its place on the chain as its status.
        Drawing* back = load(pathOf(4));
        ASSERT_NE(back, nullptr) << "error " << dbGetError();
        std::vector<int16_t> statuses;
        for (const EntityNode& node : *back->paperSpace) statuses.push_back(node.record.bodyAs<ViewportBody>().status);
        EXPECT_EQ(statuses, row.statuses);
    }
}

// Fields of the header block that hold no variable of the drawing have the same bytes in every
// save.
TEST_F(Dwg12File, HeaderBytesWithoutVariablesAreTheSameInEverySave) {
    struct Span {
        size_t at;
        size_t count;
    };
    const Span open[] = {{0x0C, 8},   {0x14C, 10}, {0x15A, 10}, {0x251, 146}, {0x315, 4},  {0x345, 14}, {0x443, 24},
                         {0x45B, 4},  {0x46B, 8},  {0x473, 8},   {0x47B, 2},  {0x4CB, 32}, {0x50E, 2},
                         {0x518, 4},  {0x51E, 2},  {0x520, 2},   {0x53F, 160}};
    ASSERT_NE(make(4), nullptr);
    const std::vector<uint8_t> first = save(4);
    ASSERT_NE(make(4), nullptr);
    HeaderBlock& h = *drawing_->header;
    h.ltscale = 7.5;
    h.psltscale = 0;
    h.treedepth = 1234;
    h.ucsorg = {1, 2, 3};
    h.worldview = 0;
    h.unitmode = 1;
    const std::vector<uint8_t> second = save(4);
    for (const Span& span : open) {
        EXPECT_EQ(test::bytesAt(first, span.at, span.count), test::bytesAt(second, span.at, span.count))
            << std::hex << span.at;
    }
    // The constants of the fixed blocks, and the two unit matrices.
    EXPECT_EQ(le16At(second, 0x14C), 15);
    EXPECT_EQ(test::bytesAt(second, 0x15C, 8), (std::vector<uint8_t>{0x0D, 0xCB, 0x26, 0x32, 0x69, 0x96, 0xF6, 0x3F}));
    for (int i = 0; i < 18; ++i) EXPECT_EQ(test::doubleAt(second, 0x251 + 8 * size_t(i)), i % 9 % 4 == 0 ? 1.0 : 0.0);
    EXPECT_EQ(le16At(second, 0x317), 100);
    EXPECT_EQ(test::bytesAt(second, 0x53F, 8), (std::vector<uint8_t>{0x00, 0x00, 0x1C, 0x00, 0x7E, 0xFD, 0x57, 0x42}));
    EXPECT_EQ(second[0x53F + 32], 0x6D);
    // The variables around them are the drawing's: TREEDEPTH and PSLTSCALE at 0x158 and 0x156.
    EXPECT_EQ(le16At(second, 0x158), 1234);
    EXPECT_EQ(le16At(second, 0x156), 0);
    Drawing* back = load(pathOf(4));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->header->treedepth, 1234);
    EXPECT_EQ(back->header->ltscale, 7.5);
}

TEST_F(Dwg12File, CurrentEntriesThatNameNoRecordFailTheSave) {
    struct Row {
        const char* name;
        Handle CurrentEntryHandles::*entry;
        int error;
    };
    const Row rows[] = {
        {"layer", &CurrentEntryHandles::clayer, 59},      {"linetype", &CurrentEntryHandles::celtype, 60},
        {"dimension style", &CurrentEntryHandles::dimstyle, 61}, {"UCS", &CurrentEntryHandles::ucsname, 62},
        {"paper-space UCS", &CurrentEntryHandles::pucsname, 63}, {"text style", &CurrentEntryHandles::textstyle, 64},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(make(4), nullptr);
        // A handle of the drawing that is no record of the table.
        drawing_->header->current.*row.entry = drawing_->handles.namedObjectDictionary;
        EXPECT_EQ(failedSave(4), row.error);
    }
}

TEST_F(Dwg12File, ValuesThatDoNotFitTheirFieldsFailTheSave) {
    struct Row {
        const char* name;
        int16_t version;
        void (*change)(test::Dwg12WriterTest&, Drawing&, EntityRecord&);
    };
    const Row rows[] = {
        {"a text beyond its limit", 4,
         [](test::Dwg12WriterTest&, Drawing&, EntityRecord& e) {
             e.header.type = kEntityText;
             e.body = TextBody{};
             e.bodyAs<TextBody>().text.assign(3000, 'x');
         }},
        {"an extended-data text beyond 255 bytes", 4,
         [](test::Dwg12WriterTest&, Drawing& d, EntityRecord& e) {
             Handle acad;
             ASSERT_EQ(dbFindAppIdHandle(&d, "ACAD", acad), 1);
             PagedStream* stream = e.header.xdata.create(4096);
             OpenStream* out = dbStreamOpenWrite(stream);
             XDataItem app;
             app.code = 1001;
             app.handle = acad;
             XDataItem text;
             text.code = 1000;
             text.text.assign(300, 'y');
             ASSERT_EQ(dbWriteXDataItem(out, app), 1);
             ASSERT_EQ(dbWriteXDataItem(out, text), 1);
             dbStreamCloseWrite(out);
         }},
        {"a colour beyond a byte", 4, [](test::Dwg12WriterTest&, Drawing&, EntityRecord& e) { e.header.colour = 300; }},
        {"a linetype position beyond a byte", 3,
         [](test::Dwg12WriterTest&, Drawing& d, EntityRecord& e) {
             for (int i = 0; i < 260; ++i) {
                 LinetypeRecord linetype;
                 linetype.name = "DASH" + std::to_string(i);
                 linetype.handle = dbNewHandle(d);
                 ASSERT_EQ(dbLtypeAdd(&d, linetype), 1);
                 e.header.linetype = linetype.handle;
             }
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(make(uint16_t(row.version)), nullptr);
        EntityRecord line = entity(kEntityLine);
        row.change(*this, *drawing_, line);
        addToModelSpace(std::move(line));
        EXPECT_EQ(failedSave(row.version), kErrorDwg12FieldOverflow);
    }
}

TEST_F(Dwg12File, BlockOffsetsKeepToTwentySixBits) {
    struct Row {
        uint64_t offset;
        int version;
        bool fits;
        uint32_t field;
    };
    const Row rows[] = {
        {0, 4, true, 0x40000000u},        {0x1234, 2, true, 0x1234u},       {0x3FFFFFF, 4, true, 0x43FFFFFFu},
        {0x3FFFFFF, 0, true, 0x3FFFFFFu}, {0x4000000, 4, false, 0},         {0x4000000, 1, false, 0},
    };
    for (const Row& row : rows) {
        uint32_t field = 0;
        EXPECT_EQ(wrDwg12BlockOffsetField(row.offset, row.version, field), row.fits) << std::hex << row.offset;
        if (row.fits) {
            EXPECT_EQ(field, row.field) << std::hex << row.offset;
        }
    }
}

TEST_F(Dwg12File, ABlockWithoutEntityListFails) {
    ASSERT_NE(make(4), nullptr);
    const Handle door = addBlock("DOOR");
    dbLookupBlock(*drawing_, door)->entityList.reset();
    EXPECT_EQ(failedSave(4), kErrorDwg12NoEntityList);
}

// A write that fails: 58 while the header block is written, 27 after; no file is left.
TEST_F(Dwg12File, AFailedWriteLeavesNoFile) {
    struct Row {
        long long limit; // bytes the file takes before writes fail
        int error;
    };
    for (const Row& row : {Row{1000, 58}, Row{3000, 27}}) {
        ASSERT_NE(make(4), nullptr);
        for (int i = 0; i < 50; ++i) addToModelSpace(entity(kEntityLine));
        dbSetOutFileWriteLimit(row.limit);
        EXPECT_EQ(failedSave(4), row.error) << row.limit;
        dbSetOutFileWriteLimit(-1);
    }
}

// Handles given for the save (stand-in blocks, polylines written for LWPOLYLINEs, frames of
// blocks without them) come from a copy of the seed: the drawing is as it was.
TEST_F(Dwg12File, TheSaveLeavesTheDrawingAsItWas) {
    ASSERT_NE(make(7), nullptr);
    addBlock("GONE", true);
    EntityRecord lwpolyline = entity(dbClassLwpolyline(drawing_->classes));
    LwpolylineBody body;
    body.vertices = {{{0, 0}, 0, 0, 0}, {{1, 0}, 0, 0, 0}, {{1, 1}, 0, 0, 0}};
    lwpolyline.body = body;
    addToModelSpace(std::move(lwpolyline));
    const std::string before = dbDumpDrawingText(*drawing_, DumpMode::Full);
    for (int16_t version = 0; version <= 4; ++version) {
        save(version);
        EXPECT_EQ(dbDumpDrawingText(*drawing_, DumpMode::Full), before) << version;
    }
    // The LWPOLYLINE comes back as POLYLINE, three VERTEX and SEQEND.
    Drawing* back = load(pathOf(4));
    ASSERT_NE(back, nullptr);
    std::vector<uint16_t> kinds;
    for (const EntityNode& node : *back->modelSpace) kinds.push_back(node.record.header.type);
    EXPECT_EQ(kinds, (std::vector<uint16_t>{kEntityPolyline, kEntityVertex, kEntityVertex, kEntityVertex,
                                            kEntitySequenceEnd}));
}

} // namespace
} // namespace tracemill
