// The records of the DWG writer before R13: the writing field stream, table records of each
// version, entity records with their head and option bits, extended data items and the "MVIEW"
// data of viewports, each checked on the bytes written and, where it matters, read back.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dwg12_test_support.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/write/dwg12/dwg12_field_writer.h"
#include "toolkit/write/dwg12/dwg12_table_plan.h"
#include "toolkit/write/dwg12/dwg12_table_writer.h"
#include "toolkit/write/dwg12/dwg12_xdata_writer.h"
#include "toolkit/write/viewport_mview.h"

namespace tracemill {
namespace {

using test::le16At;

int gCutWarnings = 0;

TEST(Dwg12FieldWriter, WritesAsTheReaderReads) {
    struct Row {
        const char* name;
        void (*write)(Dwg12FieldWriter&);
        std::vector<uint8_t> bytes;
        bool fits;
    };
    const Row rows[] = {
        {"a 16-bit -1", [](Dwg12FieldWriter& io) { int16_t v = -1; io.i16(v); }, {0xFF, 0xFF}, true},
        {"a 16-bit 65535", [](Dwg12FieldWriter& io) { int32_t v = 65535; io.i16(v); }, {0xFF, 0xFF}, true},
        {"a 16-bit 65536", [](Dwg12FieldWriter& io) { int32_t v = 65536; io.i16(v); }, {0, 0}, false},
        {"a byte 256", [](Dwg12FieldWriter& io) { int32_t v = 256; io.u8(v); }, {0}, false},
        {"a byte -1", [](Dwg12FieldWriter& io) { int16_t v = -1; io.u8(v); }, {0}, false},
        {"-0.0 as +0.0", [](Dwg12FieldWriter& io) { double v = -0.0; io.rd(v); }, {0, 0, 0, 0, 0, 0, 0, 0}, true},
        {"NaN as +0.0", [](Dwg12FieldWriter& io) { double v = std::nan(""); io.rd(v); }, {0, 0, 0, 0, 0, 0, 0, 0}, true},
        {"1.0", [](Dwg12FieldWriter& io) { double v = 1.0; io.rd(v); }, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, true},
        {"a text", [](Dwg12FieldWriter& io) { std::string v = "abc"; io.text(v, 10); }, {3, 0, 'a', 'b', 'c'}, true},
        {"a text beyond its limit", [](Dwg12FieldWriter& io) { std::string v = "abcd"; io.text(v, 3); }, {0, 0}, false},
        {"a name padded", [](Dwg12FieldWriter& io) { std::string v = "AB"; io.name(v, 4); }, {'A', 'B', 0, 0}, true},
        {"an option at its default", [](Dwg12FieldWriter& io) { double v = 1.0; io.opt(0x04, v, 1.0); }, {}, true},
        {"an option announced", [](Dwg12FieldWriter& io) {
             io.announce(0x04);
             double v = 1.0;
             io.opt(0x04, v, 1.0);
         },
         {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, true},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> out;
        Dwg12FieldWriter io(out, 4, 30);
        row.write(io);
        EXPECT_EQ(out, row.bytes) << row.name;
        EXPECT_EQ(!io.overrun(), row.fits) << row.name;
    }
}

// A text with double-byte characters gets two zero bytes more, which its length counts; a name
// longer than its field is cut before a double-byte character, and the host hears 96.
class Dwg12Texts : public test::Dwg12WriterTest {};

TEST_F(Dwg12Texts, DoubleByteTextsAndCutNames) {
    std::vector<uint8_t> out;
    Dwg12FieldWriter io(out, 4, 38); // ansi_932
    std::string text = "a\x82\xA0";
    io.text(text, 100);
    EXPECT_EQ(out, (std::vector<uint8_t>{5, 0, 'a', 0x82, 0xA0, 0, 0}));
    out.clear();
    gCutWarnings = 0;
    gSystemContext->warningCallback = [](int number) {
        if (number == 96) ++gCutWarnings;
    };
    std::string name = "ab\x82\xA0";
    io.name(name, 3);
    EXPECT_EQ(out, (std::vector<uint8_t>{'a', 'b', 0}));
    EXPECT_EQ(gCutWarnings, 1);
    gSystemContext->warningCallback = nullptr;
}

class Dwg12Tables : public test::Dwg12WriterTest {
protected:
    OutputContext& outputOf(int16_t version) {
        output_.versionIndex = version;
        output_.header = *drawing_->header;
        output_.byLayerLinetypeCode = version <= 3 ? 256 : 32767;
        output_.byBlockLinetypeCode = version <= 3 ? 255 : 32766;
        return output_;
    }
    OutputContext output_;
};

TEST_F(Dwg12Tables, LayerRecordsOfEachVersion) {
    struct Row {
        int16_t version;
        size_t size;
        bool checksum;
    };
    const Row rows[] = {{0, 38, false}, {2, 37, false}, {3, 37, false}, {4, 41, true}};
    for (const Row& row : rows) {
        ASSERT_NE(make(uint16_t(row.version)), nullptr);
        const OutputContext& output = outputOf(row.version);
        const Dwg12TablePlan plan(*drawing_, output);
        LayerRecord layer = static_cast<const StoredRecord<LayerRecord>*>(drawing_->layers.first)->record;
        layer.name = "Walls (old)";
        layer.colour = -3;
        std::vector<uint8_t> record;
        ASSERT_EQ(wrDwg12LayerRecord(*drawing_, output, plan, layer, 0, record), 1);
        ASSERT_EQ(record.size(), row.size) << row.version;
        std::vector<uint8_t> name(record.begin() + 1, record.begin() + 33);
        std::vector<uint8_t> expected = {'W', 'A', 'L', 'L', 'S', '_', '_', 'O', 'L', 'D', '_'};
        expected.resize(32, 0);
        EXPECT_EQ(name, expected) << row.version;
        const size_t colourAt = row.version >= 4 ? 35 : 33;
        EXPECT_EQ(int16_t(le16At(record, colourAt)), -3) << row.version;
        const uint16_t crc = uint16_t(test::checkCrc16(0, {record.data(), record.size() - 2}) ^ 0xC6AD);
        EXPECT_EQ(le16At(record, record.size() - 2) == crc, row.checksum) << row.version;
    }
}

// A deleted record is its flag byte with 0x80 set and zeros ("AC1009": and its checksum); a
// VIEW as well, since a flag byte below 0x80 would be read as a live view.
TEST_F(Dwg12Tables, DeletedRecordsAreTheirFlagByteAndZeros) {
    for (int16_t version : {2, 4}) {
        ASSERT_NE(make(uint16_t(version)), nullptr);
        const OutputContext& output = outputOf(version);
        const Dwg12TablePlan plan(*drawing_, output);
        LayerRecord layer;
        layer.name = "GONE";
        layer.flags = 0x04;
        layer.colour = 5;
        layer.deleted = 1;
        ViewRecord view;
        view.name = "OLD";
        view.height = 3.0;
        view.deleted = 1;
        std::vector<uint8_t> layerRecord;
        std::vector<uint8_t> viewRecord;
        ASSERT_EQ(wrDwg12LayerRecord(*drawing_, output, plan, layer, 0, layerRecord), 1);
        ASSERT_EQ(wrDwg12TableRecord(*drawing_, output, view, 0, viewRecord), 1);
        const size_t crc = version >= 4 ? 2 : 0;
        for (auto [record, flags] : {std::pair{&layerRecord, uint8_t(0x84)}, std::pair{&viewRecord, uint8_t(0x80)}}) {
            EXPECT_EQ((*record)[0], flags) << version;
            EXPECT_TRUE(std::all_of(record->begin() + 1, record->end() - ptrdiff_t(crc), [](uint8_t b) { return b == 0; }))
                << version;
        }
    }
}

TEST_F(Dwg12Tables, BlockRecordFlagsAndDimensionStyleArrows) {
    struct Row {
        int16_t version;
        const char* name;
        uint8_t flags;
        uint8_t written;
    };
    const Row rows[] = {
        {4, "*U5", 0x00, 0x01}, {4, "DOOR", 0x30, 0x30}, {2, "DOOR", 0x32, 0x02}, {2, "*D3", 0x40, 0x41},
    };
    for (const Row& row : rows) {
        ASSERT_NE(make(uint16_t(row.version)), nullptr);
        BlockRecord block;
        block.name = row.name;
        block.flags = row.flags;
        block.handle = dbNewHandle(*drawing_);
        ASSERT_EQ(dbBlockAdd(drawing_, block), 1);
        const OutputContext& output = outputOf(row.version);
        const Dwg12TablePlan plan(*drawing_, output);
        ASSERT_EQ(plan.blocks().size(), 1u);
        std::vector<uint8_t> record;
        ASSERT_EQ(wrDwg12BlockRecord(*drawing_, output, plan, block, 0, record), 1);
        EXPECT_EQ(record[0], row.written) << row.name << " " << row.version;
    }
    // DIMSTYLE names its arrow blocks as the BLOCK table does; one that is not found is empty.
    ASSERT_NE(make(4), nullptr);
    BlockRecord arrow;
    arrow.name = "Dot Small";
    arrow.handle = dbNewHandle(*drawing_);
    ASSERT_EQ(dbBlockAdd(drawing_, arrow), 1);
    const OutputContext& output = outputOf(4);
    const Dwg12TablePlan plan(*drawing_, output);
    DimStyleRecord style;
    style.name = "ARROWS";
    style.dimblk = arrow.handle;
    style.dimblk1 = drawing_->handles.namedObjectDictionary;
    std::vector<uint8_t> record;
    ASSERT_EQ(wrDwg12DimStyleRecord(*drawing_, output, plan, style, 0, record), 1);
    ASSERT_EQ(record.size(), 324u);
    // The frame (35 bytes), 15 doubles, 14 bytes, two 16-byte texts, then the three names.
    const size_t dimblk = 35 + 15 * 8 + 14 + 32;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[dimblk])), "DOT_SMALL");
    EXPECT_EQ(record[dimblk + 33], 0);
}

// The entity records: flags, option bits and the values after the head.
class Dwg12Entities : public test::Dwg12WriterTest {};

TEST_F(Dwg12Entities, RecordHeadsAndBodies) {
    struct Row {
        const char* name;
        int16_t version;
        uint16_t type;
        void (*change)(EntityRecord&, Drawing&);
        uint8_t kind;     // the kind byte written
        uint8_t flagsSet; // flags that must be set
        uint8_t flagsClear;
        uint16_t options; // the option word
        size_t at;        // where `bytes` stand in the record
        std::vector<uint8_t> bytes;
    };
    const std::vector<uint8_t> five = {0, 0, 0, 0, 0, 0, 0x14, 0x40};
    const Row rows[] = {
        {"a LINE on layer 0, BYLAYER, no thickness", 2, kEntityLine, [](EntityRecord&, Drawing&) {}, kEntityLine,
         0, 0x01 | 0x02 | 0x04 | 0x08, 0, 8, std::vector<uint8_t>(32, 0)},
        {"the same LINE from AC1006: flat, no elevation", 3, kEntityLine, [](EntityRecord&, Drawing&) {}, kEntityLine,
         0x04, 0x01 | 0x02 | 0x08, 0, 8, std::vector<uint8_t>(32, 0)},
        {"a CIRCLE at z = 5 in AC1004", 2, kEntityCircle,
         [](EntityRecord& e, Drawing&) { e.bodyAs<CircleBody>().centre.z = 5.0; }, kEntityCircle, 0x04, 0, 0, 8, five},
        {"BYBLOCK before AC1009", 2, kEntityLine,
         [](EntityRecord& e, Drawing& d) { e.header.linetype = d.handles.byBlockLinetype; }, kEntityLine, 0x02, 0, 0,
         8, {255}},
        {"BYBLOCK in AC1009", 4, kEntityLine,
         [](EntityRecord& e, Drawing& d) { e.header.linetype = d.handles.byBlockLinetype; }, kEntityLine, 0x02, 0, 0,
         8, {0xFE, 0x7F}},
        {"a linetype named BYLAYER is BYLAYER", 4, kEntityLine,
         [](EntityRecord& e, Drawing& d) {
             LinetypeRecord byLayer;
             byLayer.name = "BYLAYER";
             byLayer.handle = dbNewHandle(d);
             ASSERT_EQ(dbLtypeAdd(&d, byLayer), 1);
             e.header.linetype = byLayer.handle;
         },
         kEntityLine, 0, 0x02, 0, 0, {}},
        {"colour BYBLOCK", 4, kEntityPoint, [](EntityRecord& e, Drawing&) { e.header.colour = 0; }, kEntityPoint, 0x01,
         0, 0, 8, {0}},
        {"a SHAPE always names its text style", 2, kEntityShape,
         [](EntityRecord& e, Drawing&) { e.bodyAs<ShapeBody>().shapeNumber = 131; }, kEntityShape, 0, 0, 0x02, 8 + 24,
         {131, 0}},
        {"a LINE with ends at two heights in AC1003 is a 3DLINE", 1, kEntityLine,
         [](EntityRecord& e, Drawing&) { e.bodyAs<LineBody>().end.z = 5.0; }, kEntityLine3d, 0, 0x04, 0x02, 8 + 16,
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x14, 0x40}},
        {"a 3DFACE in AC1004 carries its z values by option bits", 2, kEntityFace3d,
         [](EntityRecord& e, Drawing&) { e.bodyAs<FaceBody>().corners[2].z = 5.0; }, kEntityFace3d, 0, 0x04, 0x04,
         8 + 16 * 3, five},
        {"TEXT with an alignment writes its alignment point", 4, kEntityText,
         [](EntityRecord& e, Drawing&) { e.bodyAs<TextBody>().horizontalAlign = 1; }, kEntityText, 0, 0, 0x20 | 0x40,
         0, {}},
        {"an INSERT with attributes sets 0x80", 4, kEntityInsert,
         [](EntityRecord& e, Drawing& d) {
             e.bodyAs<InsertBody>().attributesFollow = 1;
             e.bodyAs<InsertBody>().block = static_cast<const BlockNode*>(d.blocks.first)->record.handle;
         },
         kEntityInsert, 0x80, 0, 0, 0, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(make(uint16_t(row.version)), nullptr);
        drawing_->header->handling = 0;
        if (row.type == kEntityInsert) {
            BlockRecord block;
            block.name = "DOOR";
            block.handle = dbNewHandle(*drawing_);
            ASSERT_EQ(dbBlockAdd(drawing_, block), 1);
        }
        EntityRecord e = entity(row.type);
        row.change(e, *drawing_);
        addToModelSpace(std::move(e));
        const std::vector<uint8_t> record = firstEntityRecord(save(row.version));
        ASSERT_GE(record.size(), 8u);
        EXPECT_EQ(record[0], row.kind);
        EXPECT_EQ(record[1] & row.flagsSet, row.flagsSet);
        EXPECT_EQ(record[1] & row.flagsClear, 0);
        EXPECT_EQ(le16At(record, 6), row.options);
        if (!row.bytes.empty()) {
            EXPECT_EQ(test::bytesAt(record, row.at, row.bytes.size()), row.bytes);
        }
        // "AC1009" records end in their CRC with the seed 0xC0C1.
        if (row.version == 4) {
            EXPECT_EQ(le16At(record, record.size() - 2), test::checkCrc16(0xC0C1, {record.data(), record.size() - 2}));
        }
        Drawing* back = load(pathOf(row.version));
        ASSERT_NE(back, nullptr) << "error " << dbGetError();
    }
}

TEST_F(Dwg12Entities, ExtendedDataItemsOfAc1009) {
    ASSERT_NE(make(4), nullptr);
    OutputContext output;
    const Dwg12TablePlan plan(*drawing_, output);
    Handle acad;
    ASSERT_EQ(dbFindAppIdHandle(drawing_, "ACAD", acad), 1);
    const Handle layer0 = static_cast<const StoredRecord<LayerRecord>*>(drawing_->layers.first)->record.handle;
    struct Row {
        const char* name;
        XDataItem item;
        int result;
        std::vector<uint8_t> bytes;
    };
    auto item = [](uint16_t code, auto set) {
        XDataItem i;
        i.code = code;
        set(i);
        return i;
    };
    const Row rows[] = {
        {"text", item(1000, [](XDataItem& i) { i.text = "ab"; }), 1, {0, 2, 'a', 'b'}},
        {"application", item(1001, [&](XDataItem& i) { i.handle = acad; }), 1, {1, 0, 0}},
        {"application unknown", item(1001, [](XDataItem& i) { i.handle = Handle(0x7777); }), 0, {}},
        {"brace }", item(1002, [](XDataItem& i) { i.brace = 1; }), 1, {2, 1}},
        {"layer", item(1003, [&](XDataItem& i) { i.handle = layer0; }), 1, {3, 0, 0}},
        {"layer unknown: left out", item(1003, [](XDataItem& i) { i.handle = Handle(0x7777); }), 2, {}},
        {"binary", item(1004, [](XDataItem& i) { i.binary = {9, 8}; }), 1, {4, 2, 9, 8}},
        {"binary beyond 255", item(1004, [](XDataItem& i) { i.binary.assign(256, 1); }), 0, {}},
        {"handle", item(1005, [](XDataItem& i) { i.handle = Handle(0x1A2B); }), 1, {5, 0, 0, 0, 0, 0, 0, 0x1A, 0x2B}},
        {"real", item(1040, [](XDataItem& i) { i.real = 1.0; }), 1, {40, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {"16 bits", item(1070, [](XDataItem& i) { i.int16 = -2; }), 1, {70, 0xFE, 0xFF}},
        {"32 bits", item(1071, [](XDataItem& i) { i.int32 = 0x01020304; }), 1, {71, 4, 3, 2, 1}},
    };
    for (const Row& row : rows) {
        std::vector<uint8_t> out;
        EXPECT_EQ(wrXDataItemOut(plan, row.item, out), row.result) << row.name;
        EXPECT_EQ(out, row.bytes) << row.name;
    }
}

// The view of a VIEWPORT goes into "ACAD" "MVIEW" extended data; read back, its fields and
// status bits are what they were, the isometric plane and both UCS-icon bits included, from a
// DWG file and from an "AC1009" DXF file alike.
TEST_F(Dwg12Entities, ViewportViewsComeBack) {
    ASSERT_NE(make(4), nullptr);
    EntityRecord viewport = entity(kEntityViewport);
    viewport.header.flags |= kEntityInPaperSpace;
    ViewportBody& b = viewport.bodyAs<ViewportBody>();
    b.status = 1;
    b.id = 1;
    b.width = 20;
    b.height = 10;
    b.viewTarget = {1, 2, 3};
    b.viewDirection = {0, 0, 1};
    b.viewHeight = 42;
    b.viewCentre = {5, 6};
    b.lensLength = 50;
    b.circleZoom = 100;
    b.snapSpacing = {0.5, 0.5};
    b.gridSpacing = {2, 2};
    b.statusFlags = 0x2000 | 0x0060 | 0x0800 | 0x0100 | 0x0003;
    const Handle layer0 = static_cast<const StoredRecord<LayerRecord>*>(drawing_->layers.first)->record.handle;
    b.frozenLayers = {layer0};
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->paperSpace, viewport), 1);
    const auto dxf = folder_ / "view.dxf";
    ASSERT_EQ(test::saveAs(drawing_, dxf, kSaveFormatAsciiDxf, 4), 1);
    Drawing* fromDxf = load(dxf);
    ASSERT_NE(fromDxf, nullptr);
    ASSERT_NE(fromDxf->paperSpace->first, nullptr);
    EXPECT_EQ(static_cast<const EntityNode*>(fromDxf->paperSpace->first)->record.bodyAs<ViewportBody>().statusFlags,
              b.statusFlags);
    save(4);
    Drawing* back = load(pathOf(4));
    ASSERT_NE(back, nullptr) << "error " << dbGetError();
    ASSERT_NE(back->paperSpace->first, nullptr);
    const ViewportBody& v = static_cast<const EntityNode*>(back->paperSpace->first)->record.bodyAs<ViewportBody>();
    EXPECT_EQ(v.statusFlags, b.statusFlags);
    EXPECT_EQ(v.viewTarget, b.viewTarget);
    EXPECT_EQ(v.viewHeight, 42);
    EXPECT_EQ(v.viewCentre, b.viewCentre);
    EXPECT_EQ(v.snapSpacing, b.snapSpacing);
    EXPECT_EQ(v.gridSpacing, b.gridSpacing);
    EXPECT_EQ(v.circleZoom, 100);
    ASSERT_EQ(v.frozenLayers.size(), 1u);
    // Its own "MVIEW" data is replaced, not repeated: a second round has one.
    const std::vector<XDataItem> items = wrViewportMviewItems(v, Handle(1));
    EXPECT_EQ(items[1].text, "MVIEW");
    size_t mviews = 0;
    OpenStream* in = dbStreamOpenRead(static_cast<const EntityNode*>(back->paperSpace->first)->record.header.xdata.get());
    XDataItem item;
    while (in && dbReadXDataItem(in, item)) mviews += item.code == 1000 && item.text == "MVIEW";
    dbStreamCloseRead(in);
    EXPECT_EQ(mviews, 1u);
}

// Paper space before AC1009: files have none, its entities go into the entities section with
// model space's.
TEST_F(Dwg12Entities, PaperSpaceBeforeAc1009JoinsModelSpace) {
    ASSERT_NE(make(2), nullptr);
    EntityRecord line = entity(kEntityLine);
    line.header.flags |= kEntityInPaperSpace;
    ASSERT_EQ(dbAppendEntity(drawing_, drawing_->paperSpace, line), 1);
    addToModelSpace(entity(kEntityCircle));
    save(2);
    Drawing* back = load(pathOf(2));
    ASSERT_NE(back, nullptr);
    std::vector<uint16_t> kinds;
    for (const EntityNode& node : *back->modelSpace) kinds.push_back(node.record.header.type);
    EXPECT_EQ(kinds, (std::vector<uint16_t>{kEntityLine, kEntityCircle}));
    EXPECT_EQ(back->paperSpace->first, nullptr);
}

} // namespace
} // namespace tracemill
