// DXF objects: dictionaries, groups, XRECORD contents, layouts with their plot settings, objects
// of classes known only from the CLASSES section, and the defaults a drawing without layouts
// gets.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"

namespace tracemill::test {
namespace {

using DxfObjectsTest = ToolkitTest;

ObjectRecord objectOf(Drawing& drawing, uint64_t handle) {
    ObjectRecord object;
    EXPECT_EQ(dbObjectGet(&drawing, Handle(handle), object), 1) << std::hex << handle;
    return object;
}

const DxfGroups kRoot = {{0, "DICTIONARY"}, {5, "C"}, {330, "0"}, {100, "AcDbDictionary"}, {281, "1"},
                         {3, "ACAD_GROUP"}, {350, "D"}, {3, "MINE"}, {360, "E"}};

TEST_F(DxfObjectsTest, DictionariesAndGroups) {
    DxfGroups objects = kRoot;
    objects.insert(objects.end(), {
        {0, "DICTIONARY"}, {5, "D"}, {102, "{ACAD_REACTORS"}, {330, "C"}, {102, "}"}, {330, "C"},
        {100, "AcDbDictionary"}, {3, "G1"}, {350, "F"},
        {0, "GROUP"}, {5, "F"}, {102, "{ACAD_REACTORS"}, {330, "D"}, {102, "}"}, {330, "D"}, {100, "AcDbGroup"},
        {300, "a group"}, {70, "0"}, {71, "1"}, {340, "2A"}, {340, "2B"}, {340, "1C"},
    });
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"OBJECTS", objects}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const ObjectRecord root = objectOf(*drawing, 0xC);
    EXPECT_EQ(root.bodyAs<DictionaryBody>().entries,
              (std::vector<DictionaryEntry>{{"ACAD_GROUP", Handle(0xD)}, {"MINE", Handle(0xE)}}));
    EXPECT_EQ(root.bodyAs<DictionaryBody>().cloning, 1);
    EXPECT_EQ(drawing->handles.namedObjectDictionary, Handle(0xC)) << "the first object";
    EXPECT_EQ(drawing->handles.groupDictionary, Handle(0xD));
    const ObjectRecord groups = objectOf(*drawing, 0xD);
    EXPECT_EQ(groups.header.owner, Handle(0xC));
    EXPECT_EQ(groups.header.reactors, (HandleList{Handle(0xC)}));
    const ObjectRecord group = objectOf(*drawing, 0xF);
    const GroupBody& body = group.bodyAs<GroupBody>();
    EXPECT_EQ(body.description, "a group");
    EXPECT_EQ(body.selectable, 1);
    EXPECT_EQ(body.members, (HandleList{Handle(0x2A), Handle(0x2B), Handle(0x1C)}));
}

TEST_F(DxfObjectsTest, XrecordsKeepTheirGroupsAsItems) {
    DxfGroups objects = kRoot;
    objects.insert(objects.end(), {
        {0, "XRECORD"}, {5, "E"}, {330, "C"}, {100, "AcDbXrecord"}, {280, "1"},
        {1, "text"}, {10, "1.0"}, {20, "2.0"}, {30, "3.0"}, {40, "0.5"}, {70, "7"}, {90, "70000"},
        {310, "0102FF"}, {330, "2A"}, {1001, "ACAD"}, {1071, "5"}, {999, "comment"},
    });
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"OBJECTS", objects}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const ObjectRecord xrecord = objectOf(*drawing, 0xE);
    ASSERT_TRUE(xrecord.body.holds<XrecordBody>());
    EXPECT_EQ(xrecord.bodyAs<XrecordBody>().cloning, 1);
    std::vector<GroupItem> items;
    OpenStream* in = dbStreamOpenRead(xrecord.bodyAs<XrecordBody>().data.get());
    ASSERT_NE(in, nullptr);
    GroupItem item;
    while (dbReadGroupItem(in, item)) items.push_back(item);
    dbStreamCloseRead(in);
    ASSERT_EQ(items.size(), 7u) << "the 1071 group is extended data, not an item";
    EXPECT_EQ(items[0].text, "text");
    EXPECT_EQ(items[1].point, (Point3{1.0, 2.0, 3.0})) << "one item for the point";
    EXPECT_EQ(items[2].real, 0.5);
    EXPECT_EQ(items[3].int16, 7);
    EXPECT_EQ(items[4].int32, 70000);
    EXPECT_EQ(items[5].binary, (std::vector<uint8_t>{1, 2, 0xFF}));
    EXPECT_EQ(items[6].handle, Handle(0x2A));
    EXPECT_TRUE(xrecord.header.xdata) << "the 1001/1071 groups";
}

TEST_F(DxfObjectsTest, LayoutsReadTheirPlotSettingsUpToTheNextSubclass) {
    DxfGroups objects = kRoot;
    objects.insert(objects.end(), {
        {0, "LAYOUT"}, {5, "E"}, {330, "C"}, {100, "AcDbPlotSettings"}, {1, "setup"}, {2, "printer"},
        {4, "A4"}, {6, ""}, {40, "7.5"}, {44, "210.0"}, {45, "297.0"}, {140, "1.0"}, {70, "688"}, {72, "1"},
        {7, "mono.ctb"}, {75, "16"}, {147, "2.0"}, {148, "3.0"}, {149, "4.0"},
        {100, "AcDbLayout"}, {1, "Sheet"}, {70, "1"}, {71, "2"}, {10, "0.0"}, {20, "0.0"}, {11, "420.0"}, {21, "297.0"},
        {12, "0"}, {22, "0"}, {32, "0"}, {14, "1"}, {24, "2"}, {34, "3"}, {15, "4"}, {25, "5"}, {35, "6"},
        {146, "0.0"}, {13, "0"}, {23, "0"}, {33, "0"}, {16, "1"}, {26, "0"}, {36, "0"}, {17, "0"}, {27, "1"},
        {37, "0"}, {76, "0"}, {330, "1B"}, {331, "2C"},
    });
    const DxfGroups classes = {{0, "CLASS"}, {1, "LAYOUT"}, {2, "AcDbLayout"}, {3, "ObjectDBX Classes"}, {90, "0"},
                               {280, "0"}, {281, "0"}};
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"CLASSES", classes}, {"OBJECTS", objects}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const ObjectRecord layout = objectOf(*drawing, 0xE);
    EXPECT_EQ(layout.header.type, dbClassLayout(drawing->classes));
    const LayoutBody& body = layout.bodyAs<LayoutBody>();
    EXPECT_EQ(body.settings.pageSetupName, "setup");
    EXPECT_EQ(body.settings.paperSizeName, "A4");
    EXPECT_EQ(body.settings.leftMargin, 7.5);
    EXPECT_EQ(body.settings.paperHeight, 297.0);
    EXPECT_EQ(body.settings.windowMax.x, 1.0);
    EXPECT_EQ(body.settings.plotLayoutFlags, 688);
    EXPECT_EQ(body.settings.styleSheet, "mono.ctb");
    EXPECT_EQ(body.settings.paperImageOrigin, (Point2{3.0, 4.0}));
    EXPECT_EQ(body.name, "Sheet") << "the layout's own 1 after the subclass";
    EXPECT_EQ(body.flags, 1);
    EXPECT_EQ(body.tabOrder, 2);
    EXPECT_EQ(body.limitsMax, (Point2{420.0, 297.0}));
    EXPECT_EQ(body.extentsMax, (Point3{4, 5, 6}));
    EXPECT_EQ(body.block, Handle(0x1B));
    EXPECT_EQ(body.lastActiveViewport, Handle(0x2C));
}

TEST_F(DxfObjectsTest, ObjectsOfDeclaredClassesKeepTheirGroupsOthersArePassedOver) {
    DxfGroups objects = kRoot;
    objects.insert(objects.end(), {
        {0, "MYOBJECT"}, {5, "E"}, {330, "C"}, {100, "MyObject"}, {90, "7"}, {340, "2A"},
        {0, "UNDECLARED"}, {5, "F"}, {330, "C"}, {100, "Nothing"}, {90, "1"},
        {0, "ACAD_PROXY_OBJECT"}, {5, "10"}, {330, "C"}, {100, "AcDbProxyObject"}, {90, "499"}, {91, "500"},
        {93, "16"}, {310, "ABCD"}, {330, "2A"}, {360, "2B"}, {94, "0"}, {95, "2"}, {70, "0"},
    });
    const DxfGroups classes = {{0, "CLASS"}, {1, "MYOBJECT"}, {2, "MyObject"}, {3, "MyApp"}, {90, "0"}, {280, "0"},
                               {281, "0"}};
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"CLASSES", classes}, {"OBJECTS", objects}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const ObjectRecord mine = objectOf(*drawing, 0xE);
    EXPECT_EQ(mine.header.type, kObjectOfClassData);
    EXPECT_EQ(mine.bodyAs<ProxyObjectBody>().classNumber, 500);
    EXPECT_EQ(mine.bodyAs<ProxyObjectBody>().references, (std::vector<ObjectReference>{{Handle(0x2A), 2}}));
    EXPECT_GT(mine.bodyAs<ProxyObjectBody>().dataBitCount, 0u);
    ObjectRecord none;
    EXPECT_EQ(dbObjectGet(drawing.get(), Handle(0xF), none), 0) << "an object of no class is not placed";
    EXPECT_EQ(drawing->unplacedRecords, 1u);
    const ObjectRecord proxy = objectOf(*drawing, 0x10);
    const ProxyObjectBody& body = proxy.bodyAs<ProxyObjectBody>();
    EXPECT_EQ(body.proxyClassId, 499);
    EXPECT_EQ(body.classNumber, 500) << "the application class names the declared class";
    EXPECT_EQ(body.dataBitCount, 16u);
    EXPECT_EQ(std::vector<uint8_t>(body.data.bytes().begin(), body.data.bytes().end()),
              (std::vector<uint8_t>{0xAB, 0xCD}));
    EXPECT_EQ(body.references, (std::vector<ObjectReference>{{Handle(0x2A), 1}, {Handle(0x2B), 4}}));
}

TEST_F(DxfObjectsTest, ANinthPointReferenceOfADimAssocIsReportedAndDropped) {
    DxfGroups objects = kRoot;
    objects.insert(objects.end(), {{0, "DIMASSOC"}, {5, "E"}, {330, "C"}, {100, "AcDbDimAssoc"}, {330, "2A"}, {90, "1"},
                                   {70, "0"}, {71, "0"}});
    for (int i = 0; i < 9; ++i) {
        objects.insert(objects.end(), {{1, "AcDbOsnapPointRef"}, {72, std::to_string(i)}, {331, "2B"}, {73, "1"},
                                       {91, "0"}, {40, "0.5"}, {10, "1"}, {20, "2"}, {30, "3"}, {75, "0"}});
    }
    static std::vector<int> reasons;
    reasons.clear();
    gSystemContext->errorCallback = [](int reason) { reasons.push_back(reason); };
    const DxfGroups classes = {{0, "CLASS"}, {1, "DIMASSOC"}, {2, "AcDbDimAssoc"}, {3, "AcDbDimAssoc"}, {90, "0"},
                               {280, "0"}, {281, "0"}};
    DrawingPtr drawing = loadText(dxfDrawing("AC1015", {{"CLASSES", classes}, {"OBJECTS", objects}}));
    ASSERT_TRUE(drawing) << dbGetError();
    const ObjectRecord dimAssoc = objectOf(*drawing, 0xE);
    const DimAssocBody& body = dimAssoc.bodyAs<DimAssocBody>();
    EXPECT_EQ(body.dimension, Handle(0x2A));
    ASSERT_EQ(body.references.size(), 8u);
    EXPECT_EQ(body.references[7].objectSnapType, 7) << "the ninth did not overwrite the eighth";
    EXPECT_EQ(body.references[0].snapPoint, (Point3{1, 2, 3}));
    EXPECT_EQ(reasons, (std::vector<int>{5}));
}

TEST_F(DxfObjectsTest, AnR14DrawingWithoutLayoutsGetsThemWithThePlotStyleDefaults) {
    DrawingPtr drawing = loadText(dxfDrawing("AC1014", {{"OBJECTS", kRoot}}), 1);
    ASSERT_TRUE(drawing) << dbGetError();
    const ObjectRecord root = objectOf(*drawing, 0xC);
    std::vector<std::string> entryNames;
    for (const DictionaryEntry& entry : root.bodyAs<DictionaryBody>().entries) entryNames.push_back(entry.name);
    EXPECT_EQ(entryNames, (std::vector<std::string>{"ACAD_GROUP", "MINE", "ACAD_LAYOUT", "ACAD_PLOTSETTINGS",
                                                    "ACAD_PLOTSTYLENAME"}));
    const ObjectRecord layouts = objectOf(*drawing, drawing->handles.layoutDictionary.value);
    const auto& entries = layouts.bodyAs<DictionaryBody>().entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "Layout1");
    EXPECT_EQ(entries[1].name, "Model");
    EXPECT_EQ(objectOf(*drawing, entries[1].handle.value).bodyAs<LayoutBody>().block, drawing->handles.modelSpaceBlock);
    EXPECT_EQ(objectOf(*drawing, entries[0].handle.value).bodyAs<LayoutBody>().block, drawing->handles.paperSpaceBlock);
    const ObjectRecord styles = objectOf(*drawing, drawing->handles.plotStyleDictionary.value);
    const DictionaryWithDefaultBody& plotStyles = styles.bodyAs<DictionaryWithDefaultBody>();
    ASSERT_EQ(plotStyles.entries.size(), 1u);
    EXPECT_EQ(plotStyles.entries[0].name, "Normal");
    EXPECT_EQ(plotStyles.defaultEntry, plotStyles.entries[0].handle);
    EXPECT_TRUE(objectOf(*drawing, plotStyles.defaultEntry.value).body.holds<PlaceholderBody>());
    for (const auto& layer : drawing->layers) EXPECT_EQ(layer.record.plotStyle, plotStyles.defaultEntry);
    BlockRecord model;
    ASSERT_EQ(dbBlockGet(drawing.get(), drawing->handles.modelSpaceBlock, model), 1);
    EXPECT_EQ(model.layout, entries[1].handle);
    EXPECT_GT(drawing->handleSeed, drawing->handles.plotSettingsDictionary);
}

// The layers have no handles, as some writers leave them out: they get new ones.
TEST_F(DxfObjectsTest, AnOlderFileGetsItsLongSymbolNamesBackFromTheRoundTripRecord) {
    const DxfGroups tables = {
        {0, "TABLE"}, {2, "LAYER"}, {70, "2"},
        {0, "LAYER"}, {2, "WALLS$0"}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"},
        {0, "LAYER"}, {2, "DOORS"}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"},
        {0, "ENDTAB"},
    };
    const DxfGroups blocks = {
        {0, "BLOCK"}, {5, "20"}, {8, "0"}, {2, "DETAIL$0"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "DETAIL$0"},
        {0, "ENDBLK"}, {5, "21"}, {8, "0"},
    };
    const DxfGroups objects = {
        {0, "DICTIONARY"}, {5, "F0"}, {330, "0"}, {100, "AcDbDictionary"},
        {3, "ACAD_XREC_ROUNDTRIP"}, {360, "F1"},
        {0, "XRECORD"}, {5, "F1"}, {330, "F0"}, {100, "AcDbXrecord"}, {280, "1"},
        {102, "OTHER"}, {1, "DOORS"}, {2, "not from this section"},
        {102, "EXTNAMES"}, {1, "walls$0"}, {2, "Walls of the ground floor"},
        {1, "DETAIL$0"}, {2, "Detail A, scale 1:5"}, {1, "NOSUCH"}, {2, "Nothing of that name"},
    };
    DrawingPtr drawing =
        loadText(dxfDrawing("AC1014", {{"TABLES", tables}, {"BLOCKS", blocks}, {"OBJECTS", objects}}), 1);
    ASSERT_TRUE(drawing) << dbGetError();
    std::vector<std::string> layers;
    for (const auto& node : drawing->layers) layers.push_back(node.record.name);
    EXPECT_EQ(layers, (std::vector<std::string>{"0", "Walls of the ground floor", "DOORS"}));
    for (const auto& node : drawing->layers) {
        EXPECT_FALSE(node.record.handle.isNull()) << node.record.name << ": a record without a handle gets one";
    }
    Handle detail;
    ASSERT_EQ(dbBlockFindByName(drawing.get(), "Detail A, scale 1:5", detail), 1) << "the name index follows";
    EXPECT_EQ(dbBlockFindByName(drawing.get(), "DETAIL$0", detail), 0);
    for (const BlockNode& block : drawing->blocks) {
        if (block.record.name != "Detail A, scale 1:5") continue;
        ASSERT_TRUE(block.entityList);
        const auto& begin = block.entityList->begin()->record;
        EXPECT_EQ(begin.bodyAs<BlockBeginBody>().name, "Detail A, scale 1:5");
    }
}

} // namespace
} // namespace tracemill::test
