// DXF table records, classes, blocks and the extended data of records.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/read/raw_xdata.h"

namespace tracemill::test {
namespace {

using DxfTablesTest = ToolkitTest;

DxfGroups table(const std::string& name, const DxfGroups& records) {
    DxfGroups groups{{0, "TABLE"}, {2, name}, {70, "1"}};
    groups.insert(groups.end(), records.begin(), records.end());
    groups.push_back({0, "ENDTAB"});
    return groups;
}

std::vector<XDataItem> xdataItems(const OwnedStream& stream) {
    std::vector<XDataItem> items;
    OpenStream* in = dbStreamOpenRead(stream.get());
    if (!in) return items;
    XDataItem item;
    while (dbReadXDataItem(in, item)) items.push_back(item);
    dbStreamCloseRead(in);
    return items;
}

TEST_F(DxfTablesTest, LayersResolveTheirLinetypeByNameAndIgnoreComments) {
    const DxfGroups tables = concat({
        table("LTYPE", {{0, "LTYPE"}, {2, "DASHED"}, {70, "0"}, {3, "__ __"}, {72, "65"}, {73, "0"}, {40, "0.0"}}),
        table("LAYER", {{0, "LAYER"}, {2, "WALLS"}, {70, "4"}, {999, "a comment"}, {62, "-3"}, {6, "DASHED"},
                        {0, "LAYER"}, {2, "DOORS"}, {70, "0"}, {62, "5"}, {6, "NOSUCH"}}),
    });
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"TABLES", tables}}));
    ASSERT_TRUE(drawing) << dbGetError();
    Handle dashed;
    ASSERT_EQ(dbLtypeFindByName(drawing.get(), "DASHED", dashed), 1);
    const LayerRecord* walls = nullptr;
    const LayerRecord* doors = nullptr;
    for (const auto& node : drawing->layers) {
        if (node.record.name == "WALLS") walls = &node.record;
        if (node.record.name == "DOORS") doors = &node.record;
    }
    ASSERT_TRUE(walls && doors);
    EXPECT_EQ(walls->linetype, dashed);
    EXPECT_EQ(walls->colour, -3) << "a layer keeps the sign of its colour";
    EXPECT_EQ(walls->flags, 4);
    EXPECT_EQ(doors->linetype, dbFirstRecordHandle(drawing->linetypes)) << "an unknown linetype gives the first";
}

TEST_F(DxfTablesTest, ViewsWithATwoDimensionalCentreAreComplete) {
    const DxfGroups tables = table("VIEW", {{0, "VIEW"}, {2, "FRONT"}, {70, "0"}, {40, "10.0"}, {10, "3.0"}, {20, "4.0"},
                                            {41, "20.0"}, {11, "0.0"}, {21, "0.0"}, {31, "1.0"}, {50, "90.0"}});
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"TABLES", tables}}));
    ASSERT_TRUE(drawing) << dbGetError();
    ASSERT_EQ(names(drawing->views), (std::vector<std::string>{"FRONT"}));
    const ViewRecord& view = ViewList::asNode(drawing->views.first)->record;
    EXPECT_EQ(view.centre, (Point2{3.0, 4.0}));
    EXPECT_EQ(view.height, 10.0);
    EXPECT_EQ(view.width, 20.0);
    EXPECT_EQ(view.direction, (Point3{0.0, 0.0, 1.0}));
    EXPECT_DOUBLE_EQ(view.twist, std::numbers::pi / 2);
}

TEST_F(DxfTablesTest, LinetypeDashesKeepTheirTexts) {
    const DxfGroups ltype = {{0, "LTYPE"}, {5, "40"}, {2, "TEXTED"}, {70, "0"}, {3, "-- T --"}, {72, "65"}, {73, "3"},
                             {40, "2.0"},  {49, "0.5"}, {74, "0"},  {49, "-0.2"}, {74, "2"},     {75, "0"}, {340, "11"},
                             {46, "0.1"},  {50, "45.0"}, {44, "-0.1"}, {45, "-0.05"}, {9, "T"}, {49, "-0.3"}, {74, "0"}};
    for (const auto& [version, offset] : {std::pair{"AC1012", 1}, std::pair{"AC1015", 0}}) {
        DrawingPtr drawing = loadText(dxfDrawing(version, {{"TABLES", table("LTYPE", {ltype})}}));
        ASSERT_TRUE(drawing) << dbGetError();
        Handle handle;
        ASSERT_EQ(dbLtypeFindByName(drawing.get(), "TEXTED", handle), 1);
        LinetypeRecord record;
        ASSERT_EQ(dbLtypeGet(drawing.get(), handle, record), 1);
        EXPECT_EQ(record.dashCount, 3);
        EXPECT_EQ(record.dashes[0].length, 0.5);
        const LinetypeDash& texted = record.dashes[1];
        EXPECT_EQ(texted.length, -0.2);
        EXPECT_EQ(texted.complexFlags, 2);
        EXPECT_EQ(texted.style, Handle(0x11));
        EXPECT_EQ(texted.scale, 0.1);
        EXPECT_DOUBLE_EQ(texted.rotation, std::numbers::pi / 4);
        EXPECT_EQ(texted.offset, (Point2{-0.1, -0.05}));
        EXPECT_EQ(texted.textPosition, offset) << version;
        EXPECT_EQ(record.textArea.substr(size_t(offset)), std::string("T") + '\0') << version;
        EXPECT_EQ(record.dashes[2].length, -0.3);
    }
}

TEST_F(DxfTablesTest, DashesBeyondFifteenAreReportedAndDropped) {
    DxfGroups ltype{{0, "LTYPE"}, {2, "LONG"}, {70, "0"}, {72, "65"}, {73, "20"}, {40, "20.0"}};
    for (int i = 0; i < 20; ++i) ltype.insert(ltype.end(), {{49, std::to_string(i + 1)}, {74, "0"}});
    std::vector<int> reasons;
    static std::vector<int>* sink = &reasons;
    gSystemContext->errorCallback = [](int reason) { sink->push_back(reason); };
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"TABLES", table("LTYPE", ltype)}}));
    ASSERT_TRUE(drawing) << dbGetError();
    Handle handle;
    ASSERT_EQ(dbLtypeFindByName(drawing.get(), "LONG", handle), 1);
    LinetypeRecord record;
    ASSERT_EQ(dbLtypeGet(drawing.get(), handle, record), 1);
    EXPECT_EQ(record.dashCount, 15);
    EXPECT_EQ(record.dashes[14].length, 15.0);
    EXPECT_EQ(reasons, (std::vector<int>{5}));
}

TEST_F(DxfTablesTest, DimensionStylesNameTheirArrowBlocks) {
    const DxfGroups blocks = {{0, "BLOCK"}, {8, "0"}, {2, "_DOT"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                              {0, "ENDBLK"}, {8, "0"}};
    const DxfGroups tables = table("DIMSTYLE", {{0, "DIMSTYLE"}, {2, "ARROWS"}, {70, "0"}, {5, "_DOT"}, {6, "MISSING"},
                                               {40, "2.0"}, {173, "1"}, {77, "1"}, {279, "2"}});
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"TABLES", tables}, {"BLOCKS", blocks}}));
    ASSERT_TRUE(drawing) << dbGetError();
    Handle dot;
    ASSERT_EQ(dbBlockFindByName(drawing.get(), "_DOT", dot), 1);
    const DimStyleRecord* style = nullptr;
    for (const auto& node : drawing->dimStyles) {
        if (node.record.name == "ARROWS") style = &node.record;
    }
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->dimblk, dot);
    EXPECT_TRUE(style->dimblk1.isNull());
    EXPECT_EQ(style->dimscale, 2.0);
    EXPECT_EQ(style->dimsah, 1);
    EXPECT_EQ(style->dimtad, 1);
    EXPECT_EQ(style->dimtmove, 2);
}

TEST_F(DxfTablesTest, ClassesAreNumberedInFileOrder) {
    const DxfGroups classes = {
        {0, "CLASS"}, {1, "MYENTITY"}, {2, "MyEntity"}, {3, "MyApp"}, {90, "0"}, {280, "0"}, {281, "1"},
        {0, "CLASS"}, {1, "MYOBJECT"}, {2, "MyObject"}, {3, "MyApp"}, {90, "1"}, {280, "0"}, {281, "0"},
    };
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"CLASSES", classes}}));
    ASSERT_TRUE(drawing) << dbGetError();
    ClassEntry entity;
    ClassEntry object;
    ASSERT_EQ(dbFindClassByName(drawing->classes, "MYENTITY", entity), 1);
    ASSERT_EQ(dbFindClassByName(drawing->classes, "MYOBJECT", object), 1);
    EXPECT_EQ(entity.number, 500);
    EXPECT_EQ(entity.itemClassId, kClassOfEntities);
    EXPECT_EQ(entity.className, "MyEntity");
    EXPECT_EQ(object.number, 501);
    EXPECT_EQ(object.itemClassId, kClassOfObjects);
    EXPECT_EQ(object.proxyFlags, 1);
}

TEST_F(DxfTablesTest, MultilineStyleElementsNameTheirLinetypes) {
    const DxfGroups objects = {
        {0, "DICTIONARY"}, {5, "C"}, {330, "0"}, {100, "AcDbDictionary"}, {3, "ACAD_MLINESTYLE"}, {350, "17"},
        {0, "DICTIONARY"}, {5, "17"}, {330, "C"}, {100, "AcDbDictionary"}, {3, "STANDARD"}, {350, "18"},
        {0, "MLINESTYLE"}, {5, "18"}, {330, "17"}, {100, "AcDbMlineStyle"}, {2, "STANDARD"}, {70, "0"}, {3, ""},
        {62, "256"}, {51, "90.0"}, {52, "90.0"}, {71, "3"},
        {49, "0.5"}, {62, "256"}, {6, "BYLAYER"},
        {49, "0.0"}, {62, "1"}, {6, "byBlock"},
        {49, "-0.5"}, {62, "2"}, {6, "CONTINUOUS"},
    };
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"OBJECTS", objects}}));
    ASSERT_TRUE(drawing) << dbGetError();
    ObjectRecord style;
    ASSERT_EQ(dbObjectGet(drawing.get(), Handle(0x18), style), 1);
    const MlineStyleBody& body = style.bodyAs<MlineStyleBody>();
    EXPECT_EQ(body.name, "STANDARD");
    EXPECT_EQ(style.header.owner, Handle(0x17));
    ASSERT_EQ(body.elements.size(), 3u);
    EXPECT_EQ(body.elements[0], (MlineStyleElement{0.5, 256, kMlineLinetypeByLayer}));
    EXPECT_EQ(body.elements[1], (MlineStyleElement{0.0, 1, kMlineLinetypeByBlock}));
    EXPECT_EQ(body.elements[2].linetypeIndex, 0) << "CONTINUOUS is the first LTYPE record";
    EXPECT_EQ(drawing->header->current.cmlstyle, Handle(0x18));
}

TEST_F(DxfTablesTest, TheRawItemsOfTheExampleReadBack) {
    const uint8_t raw[] = {1, 3, 'A', 'P', 'P', 70, 5, 0};
    RawXDataReader reader(RawXDataForm::Dxf, raw);
    RawXDataItem item;
    ASSERT_TRUE(reader.next(item));
    EXPECT_EQ(item.code, 1001);
    EXPECT_EQ(item.text, "APP");
    ASSERT_TRUE(reader.next(item));
    EXPECT_EQ(item.code, 1070);
    EXPECT_EQ(item.shortValue, 5);
    EXPECT_FALSE(reader.next(item));
}

TEST_F(DxfTablesTest, ExtendedDataNamesItsApplicationAndLayerByHandleAfterTheLoad) {
    const DxfGroups tables = concat({
        table("LAYER", {{0, "LAYER"}, {5, "10"}, {2, "0"}, {70, "0"}, {62, "7"}, {6, "CONTINUOUS"},
                        {1001, "MYAPP"}, {1000, std::string(300, 's')}, {1003, "0"}, {1070, "5"},
                        {1010, "1.0"}, {1020, "2.0"}, {1030, "3.0"}, {1002, "{"}, {1002, "}"},
                        {1004, "0A0B"}, {1071, "70000"}, {1040, "0.5"}, {1005, "1F"}}),
        table("APPID", {{0, "APPID"}, {5, "12"}, {2, "ACAD"}, {70, "0"}, {0, "APPID"}, {5, "13"}, {2, "MyApp"}, {70, "0"}}),
    });
    DrawingPtr drawing = loadText(dxfDrawing("AC1014", {{"TABLES", tables}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const LayerRecord& layer = LayerList::asNode(drawing->layers.first)->record;
    const std::vector<XDataItem> items = xdataItems(layer.xdata);
    ASSERT_EQ(items.size(), 11u);
    EXPECT_EQ(items[0].code, 1001);
    EXPECT_EQ(items[0].handle, Handle(0x13)) << "the application is found without regard to case";
    EXPECT_EQ(items[1].text, std::string(255, 's')) << "a text keeps the 255 bytes its length can count";
    EXPECT_EQ(items[2].handle, Handle(0x10));
    EXPECT_EQ(items[3].int16, 5);
    EXPECT_EQ(items[4].point, (Point3{1.0, 2.0, 3.0}));
    EXPECT_EQ(items[5].brace, 0);
    EXPECT_EQ(items[6].brace, 1);
    EXPECT_EQ(items[7].binary, (std::vector<uint8_t>{0x0A, 0x0B}));
    EXPECT_EQ(items[8].int32, 70000);
    EXPECT_EQ(items[9].real, 0.5);
    EXPECT_EQ(items[10].handle, Handle(0x1F));
}

TEST_F(DxfTablesTest, ExtendedDataBeyondItsLimitIsReportedOnceAndTheItemsThatFitAreKept) {
    // 200 texts of 255 bytes are 51,400 bytes of extended data: the 128 that fit in 32,768
    // bytes (257 each) are kept whole, the rest is dropped with one report.
    DxfGroups layer{{0, "LAYER"}, {5, "10"}, {2, "0"}, {70, "0"}, {62, "7"}, {6, "CONTINUOUS"}, {1001, "ACAD"}};
    for (int i = 0; i < 200; ++i) layer.push_back({1000, std::string(255, char('a' + i % 26))});
    std::vector<int> reasons;
    static std::vector<int>* sink = &reasons;
    gSystemContext->errorCallback = [](int reason) { sink->push_back(reason); };
    const DxfGroups tables = concat({table("LAYER", layer), table("APPID", {{0, "APPID"}, {5, "12"}, {2, "ACAD"}, {70, "0"}})});
    DrawingPtr drawing = loadText(dxfDrawing("AC1014", {{"TABLES", tables}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const std::vector<XDataItem> items = xdataItems(LayerList::asNode(drawing->layers.first)->record.xdata);
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[0].code, 1001);
    size_t bytes = 0;
    for (size_t i = 1; i < items.size(); ++i) {
        EXPECT_EQ(items[i].text, std::string(255, char('a' + (i - 1) % 26))) << i;
        bytes += 2 + items[i].text.size();
    }
    EXPECT_LE(bytes, size_t(32768));
    EXPECT_GT(bytes, size_t(32768 - 257 - 64));
    EXPECT_EQ(reasons, (std::vector<int>{5}));
}

TEST_F(DxfTablesTest, BlocksTakeTheirBlockRecordFromR13On) {
    const DxfGroups tables = table("BLOCK_RECORD", {
        {0, "BLOCK_RECORD"}, {5, "1F"}, {330, "1"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}, {2, "*Model_Space"}, {340, "22"},
        {0, "BLOCK_RECORD"}, {5, "1B"}, {330, "1"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}, {2, "*Paper_Space"}, {340, "1E"},
        {0, "BLOCK_RECORD"}, {5, "40"}, {102, "{ACAD_XDICTIONARY"}, {360, "41"}, {102, "}"}, {330, "1"}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbBlockTableRecord"}, {2, "DOOR"},
    });
    const DxfGroups blocks = {
        {0, "BLOCK"}, {5, "20"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, "*Model_Space"}, {70, "0"},
        {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, "*Model_Space"}, {1, ""},
        {0, "ENDBLK"}, {5, "21"}, {330, "1F"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"},
        {0, "BLOCK"}, {5, "42"}, {330, "40"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockBegin"}, {2, "DOOR"}, {70, "2"},
        {10, "1.0"}, {20, "2.0"}, {30, "0.0"}, {3, "DOOR"}, {1, ""}, {4, "A door"},
        {0, "LINE"}, {5, "43"}, {330, "40"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbLine"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "0"}, {31, "0"},
        {0, "ENDBLK"}, {5, "44"}, {330, "40"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbBlockEnd"},
    };
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"TABLES", tables}, {"BLOCKS", blocks}}));
    ASSERT_TRUE(drawing) << dbGetError();
    Handle door;
    ASSERT_EQ(dbBlockFindByName(drawing.get(), "DOOR", door), 1);
    EXPECT_EQ(door, Handle(0x40));
    BlockRecord record;
    ASSERT_EQ(dbBlockGet(drawing.get(), door, record), 1);
    EXPECT_EQ(record.blockEntity, Handle(0x42));
    EXPECT_EQ(record.extensionDictionary, Handle(0x41));
    EXPECT_EQ(record.basePoint, (Point3{1.0, 2.0, 0.0}));
    EXPECT_EQ(record.description, "A door");
    EXPECT_EQ(record.flags, 2);
    const std::vector<const EntityRecord*> contents = entities(record.entities);
    ASSERT_EQ(contents.size(), 3u);
    EXPECT_EQ(contents[0]->header.type, kEntityBlock);
    EXPECT_EQ(contents[1]->header.handle, Handle(0x43));
    EXPECT_EQ(contents[2]->header.type, kEntityEndBlock);
    EXPECT_EQ(drawing->handles.modelSpaceBlock, Handle(0x1F));
    EXPECT_EQ(drawing->handles.modelSpaceBlockEntity, Handle(0x20));
    EXPECT_EQ(drawing->handles.modelSpaceEndBlockEntity, Handle(0x21));
    BlockRecord model;
    ASSERT_EQ(dbBlockGet(drawing.get(), Handle(0x1F), model), 1);
    EXPECT_EQ(model.layout, Handle(0x22)) << "a layout block keeps what its record says";
}

} // namespace
} // namespace tracemill::test
