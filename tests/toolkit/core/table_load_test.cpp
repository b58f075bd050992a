#include "toolkit/core/table_load.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_fixture.h"
#include "fake_format_driver.h"
#include "toolkit/core/default_records.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"

namespace tracemill {
namespace {

using test::FakeFormatDriver;

template <class Record>
Record named(const char* name, uint64_t handle = 0) {
    Record record;
    record.name = name;
    record.handle = Handle(handle);
    return record;
}

template <class List>
std::vector<std::string> namesOf(List& list) {
    std::vector<std::string> names;
    for (auto& node : list) names.push_back(node.record.name);
    return names;
}

template <class List>
std::vector<uint64_t> handlesOf(List& list) {
    std::vector<uint64_t> handles;
    for (auto& node : list) handles.push_back(node.record.handle.value);
    return handles;
}

template <class List>
auto& recordNamed(List& list, std::string_view name) {
    for (auto& node : list) {
        if (node.record.name == name) return node.record;
    }
    ADD_FAILURE() << "no record " << name;
    return list.begin()->record;
}

using Strings = std::vector<std::string>;
using Numbers = std::vector<uint64_t>;

class TableLoad : public test::AllocatedDrawingTest {
protected:
    void SetUp() override {
        AllocatedDrawingTest::SetUp();
        drawing->driver = &driver;
        drawing->handleSeed = Handle(0x100);
        input(7, SourceFormat::AsciiDxf);
    }

    void input(int16_t versionIndex, SourceFormat sourceFormat) {
        drawing->versionIndex = versionIndex;
        drawing->sourceFormat = sourceFormat;
    }

    bool indexed(uint64_t handle) const { return dbHandleTreeFind(drawing->handleIndex, Handle(handle)) != nullptr; }

    FakeFormatDriver driver;
};

TEST_F(TableLoad, DxfLinetypesKeepByBlockAndByLayerApartAndGetContinuous) {
    driver.linetypes.records = {named<LinetypeRecord>("BYBLOCK", 0x14), named<LinetypeRecord>("ByLayer", 0x15),
                                named<LinetypeRecord>("DASHED", 0x16), named<LinetypeRecord>("dashed", 0x17)};
    drawing->announced.linetypes = 4;
    ASSERT_EQ(dbLoadLinetypes(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->linetypes), (Strings{"Continuous", "DASHED", "ByBlock", "ByLayer"}));
    EXPECT_EQ(handlesOf(drawing->linetypes), (Numbers{0x100, 0x16, 0x14, 0x15}));
    EXPECT_EQ(drawing->handles.byBlockLinetype, Handle(0x14));
    EXPECT_EQ(drawing->handles.byLayerLinetype, Handle(0x15));
    EXPECT_FALSE(indexed(0x17)) << "a second record of a name is passed over";
    EXPECT_EQ(driver.calls.back(), "endTableLoad");
}

TEST_F(TableLoad, DwgLinetypesPassOverTheHeadersByBlockAndByLayer) {
    input(7, SourceFormat::Dwg);
    drawing->handles.byBlockLinetype = Handle(0x20);
    drawing->handles.byLayerLinetype = Handle(0x21);
    driver.linetypes.records = {named<LinetypeRecord>("BYBLOCK_RECORD", 0x20), named<LinetypeRecord>("CONTINUOUS", 0x22),
                                named<LinetypeRecord>("X", 0x21), named<LinetypeRecord>("HIDDEN", 0x23)};
    drawing->announced.linetypes = 4;
    ASSERT_EQ(dbLoadLinetypes(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->linetypes), (Strings{"CONTINUOUS", "HIDDEN", "ByBlock", "ByLayer"}));
    EXPECT_EQ(handlesOf(drawing->linetypes), (Numbers{0x22, 0x23, 0x20, 0x21}));
}

TEST_F(TableLoad, R12LinetypesGetNewHandlesInReadingOrderAfterByBlockAndByLayer) {
    input(4, SourceFormat::Dwg);
    drawing->handleSeed = Handle(1);
    driver.linetypes.records = {named<LinetypeRecord>("CONTINUOUS"), named<LinetypeRecord>("DASHED"),
                                named<LinetypeRecord>("BYLAYER", 0x99)};
    drawing->announced.linetypes = 3;
    ASSERT_EQ(dbLoadLinetypes(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->linetypes), (Strings{"CONTINUOUS", "DASHED", "ByBlock", "ByLayer"}));
    EXPECT_EQ(handlesOf(drawing->linetypes), (Numbers{3, 4, 1, 2}));
    // A "BYLAYER" record of an old file does not take the handle away from "ByLayer".
    EXPECT_EQ(drawing->handles.byBlockLinetype, Handle(1));
    EXPECT_EQ(drawing->handles.byLayerLinetype, Handle(2));
}

TEST_F(TableLoad, AFailedReadFreesTheTableAndItsHandles) {
    driver.linetypes.records = {named<LinetypeRecord>("A", 0x30), named<LinetypeRecord>("B", 0x31)};
    driver.linetypes.failAtRead = 1;
    drawing->announced.linetypes = 2;
    EXPECT_EQ(dbLoadLinetypes(*drawing), 0);
    EXPECT_EQ(dbListCount(&drawing->linetypes), 0);
    EXPECT_FALSE(indexed(0x30));
    EXPECT_EQ(driver.calls.back(), "endTableLoad");
}

TEST_F(TableLoad, AFailedAttachmentOfExtendedDataFailsThePass) {
    driver.styles.records = {named<StyleRecord>("A", 0x30), named<StyleRecord>("B", 0x31)};
    driver.styles.xdata = {1, 1};
    driver.attachFailsAt = 1;
    drawing->announced.styles = 2;
    EXPECT_EQ(dbLoadStyles(*drawing), 0);
    EXPECT_EQ(dbListCount(&drawing->styles), 0);
    EXPECT_EQ(driver.attachments, 2);
}

class LayerLoad : public TableLoad {
protected:
    void SetUp() override {
        TableLoad::SetUp();
        for (const char* name : {"Continuous", "DASHED", "HIDDEN"}) {
            ASSERT_EQ(dbAddNamedLinetype(*drawing, name, Handle()), 1);
        }
        ASSERT_EQ(dbAddByBlockByLayerLinetypes(*drawing, nullptr), 1);
        // Linetypes: Continuous 0x100, DASHED 0x101, HIDDEN 0x102, ByBlock 0x103, ByLayer 0x104.
    }
};

TEST_F(LayerLoad, DxfLayersNameTheirLinetypeExactly) {
    driver.layers.records = {named<LayerRecord>("WALLS", 0x40), named<LayerRecord>("DOORS", 0x41),
                             named<LayerRecord>("walls", 0x42), named<LayerRecord>("X|REF", 0x43)};
    driver.layerLinetypes = {{"HIDDEN", -1}, {"dashed", -1}, {"DASHED", -1}, {"HIDDEN", -1}};
    drawing->announced.layers = 4;
    ASSERT_EQ(dbLoadLayers(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->layers), (Strings{"0", "WALLS", "DOORS", "X|REF"}));
    EXPECT_EQ(recordNamed(drawing->layers, "WALLS").linetype, Handle(0x102));
    EXPECT_EQ(recordNamed(drawing->layers, "DOORS").linetype, Handle(0x100)) << "no exact match: the first";
    EXPECT_EQ(recordNamed(drawing->layers, "X|REF").linetype, Handle(0x100)) << "VISRETAIN 0: Continuous";
    EXPECT_EQ(recordNamed(drawing->layers, "0").colour, 7);
    for (auto& node : drawing->layers) EXPECT_EQ(node.record.drawing, drawing);
}

TEST_F(LayerLoad, R12LayersNameTheirLinetypeByPosition) {
    input(4, SourceFormat::Dwg);
    driver.layers.records = {named<LayerRecord>("A"), named<LayerRecord>("B"), named<LayerRecord>("C")};
    driver.layerLinetypes = {{"", 2}, {"", 1}, {"", 9}};
    drawing->announced.layers = 3;
    ASSERT_EQ(dbLoadLayers(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->layers), (Strings{"A", "B", "C"})) << "no layer 0 added for DWG";
    EXPECT_EQ(recordNamed(drawing->layers, "A").linetype, Handle(0x102));
    EXPECT_EQ(recordNamed(drawing->layers, "B").linetype, Handle(0x101));
    EXPECT_EQ(recordNamed(drawing->layers, "C").linetype, Handle(0x100));
    EXPECT_EQ(handlesOf(drawing->layers), (Numbers{0x105, 0x106, 0x107}));
}

TEST_F(TableLoad, TooManyVportsFailAtOnce) {
    drawing->announced.vports = 5001;
    EXPECT_EQ(dbLoadVports(*drawing), 0);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(TableLoad, AMissingActiveVportTakesTheHeadersView) {
    drawing->header->viewctr = {10, 20, 30};
    drawing->header->viewsize = 40;
    drawing->header->viewdir = {1, 2, 3};
    drawing->header->viewtwist = 0.5;
    driver.vports.records = {named<VportRecord>("OTHER", 0x50)};
    drawing->announced.vports = 1;
    ASSERT_EQ(dbLoadVports(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->vports), (Strings{"*ACTIVE", "OTHER"}));
    const VportRecord& active = recordNamed(drawing->vports, "*ACTIVE");
    EXPECT_EQ(active.centre, (Point2{10, 20}));
    EXPECT_EQ(active.height, 40);
    EXPECT_EQ(active.direction, (Point3{1, 2, 3}));
    EXPECT_EQ(active.twist, 0.5);
}

TEST_F(TableLoad, AppIdsWithoutRecordsGetOnlyAcad) {
    ASSERT_EQ(dbLoadAppIds(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->appIds), (Strings{"ACAD"}));
    EXPECT_EQ(driver.calls, (Strings{"endTableLoad"})) << "nothing is read";

    driver.appIds.records = {named<AppIdRecord>("acad", 0x60), named<AppIdRecord>("OTHER", 0x61)};
    drawing->announced.appIds = 2;
    drawing->appIds.clear();
    ASSERT_EQ(dbLoadAppIds(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->appIds), (Strings{"acad", "OTHER"}));
}

TEST_F(TableLoad, DxfStylesWithoutStandardGetIt) {
    driver.styles.records = {named<StyleRecord>("ROMANS", 0x70)};
    drawing->announced.styles = 1;
    ASSERT_EQ(dbLoadStyles(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->styles), (Strings{"ROMANS", "Standard"}));
    const StyleRecord& standard = recordNamed(drawing->styles, "Standard");
    EXPECT_EQ(standard.fontFile, "txt");
    EXPECT_EQ(standard.widthFactor, 1.0);

    input(7, SourceFormat::Dwg);
    drawing->styles.clear();
    driver.styles.records = {named<StyleRecord>("ROMANS", 0x71)};
    ASSERT_EQ(dbLoadStyles(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->styles), (Strings{"ROMANS"}));
}

TEST_F(TableLoad, DimStylesWithoutRecordsAreBuiltFromTheHeader) {
    ASSERT_EQ(dbAddStandardStyle(*drawing, nullptr), 1); // 0x100
    drawing->header->dimscale = 2.5;
    drawing->header->dimtxt = 0.25;
    drawing->header->dimtad = 1;
    ASSERT_EQ(dbLoadDimStyles(*drawing), 1);
    ASSERT_EQ(namesOf(drawing->dimStyles), (Strings{"Standard"}));
    const DimStyleRecord& standard = recordNamed(drawing->dimStyles, "Standard");
    EXPECT_EQ(standard.dimscale, 2.5);
    EXPECT_EQ(standard.dimtxt, 0.25);
    EXPECT_EQ(standard.dimtad, 1);
    EXPECT_EQ(standard.dimtxsty, Handle(0x100));
    EXPECT_EQ(standard.handle, Handle(0x101));
}

TEST_F(TableLoad, DimStylesReadTakeTheFirstTextStyle) {
    ASSERT_EQ(dbAddStandardStyle(*drawing, nullptr), 1); // 0x100
    DimStyleRecord own = named<DimStyleRecord>("OWN", 0x81);
    own.dimtxsty = Handle(0x55);
    driver.dimStyles.records = {named<DimStyleRecord>("PLAIN", 0x80), own};
    drawing->announced.dimStyles = 2;
    ASSERT_EQ(dbLoadDimStyles(*drawing), 1);
    EXPECT_EQ(namesOf(drawing->dimStyles), (Strings{"PLAIN", "OWN"}));
    EXPECT_EQ(recordNamed(drawing->dimStyles, "PLAIN").dimtxsty, Handle(0x100));
    EXPECT_EQ(recordNamed(drawing->dimStyles, "OWN").dimtxsty, Handle(0x55));
}

TEST_F(TableLoad, DimStylesAnnouncedButNoneReadGetTheStandardTemplate) {
    drawing->header->dimscale = 2.5;
    drawing->announced.dimStyles = 3;
    ASSERT_EQ(dbLoadDimStyles(*drawing), 1);
    ASSERT_EQ(namesOf(drawing->dimStyles), (Strings{"Standard"}));
    EXPECT_EQ(recordNamed(drawing->dimStyles, "Standard").dimscale, 1.0) << "the template, not the header";
}

ClassEntry declared(uint16_t number, const char* dxfName, uint16_t itemClassId) {
    ClassEntry entry;
    entry.number = number;
    entry.dxfName = dxfName;
    entry.itemClassId = itemClassId;
    return entry;
}

TEST_F(TableLoad, DxfClassesAreNumberedInReadingOrder) {
    driver.classes = {declared(900, "HATCH", 498), declared(17, "MYOBJECT", 499),
                      declared(3, "DxfZombieObject", 499)};
    ASSERT_EQ(dbLoadClasses(*drawing), 1);
    EXPECT_EQ(drawing->classes.entries[0].number, 500);
    EXPECT_EQ(drawing->classes.entries[1].number, 501);
    EXPECT_EQ(drawing->classes.entries[2].number, 502);
    EXPECT_EQ(dbClassHatch(drawing->classes), 500);
    EXPECT_EQ(drawing->classes.zombieObjectNumber, 502);
    EXPECT_EQ(dbCountClasses(drawing->classes), 3 + 18) << "the defaults but HATCH follow";
    EXPECT_EQ(dbClassLwpolyline(drawing->classes), 503);
    EXPECT_TRUE(drawing->classes.isEntity.empty());
}

TEST_F(TableLoad, DwgClassesKeepTheirNumbersAndKinds) {
    input(7, SourceFormat::Dwg);
    driver.classes = {declared(505, "LWPOLYLINE", 498), declared(501, "XRECORD", 499)};
    ASSERT_EQ(dbLoadClasses(*drawing), 1);
    EXPECT_EQ(dbClassLwpolyline(drawing->classes), 505);
    EXPECT_EQ(dbClassXrecord(drawing->classes), 501);
    ASSERT_EQ(drawing->classes.isEntity.size(), drawing->classes.entries.size());
    EXPECT_EQ(drawing->classes.isEntity[0], 1);
    EXPECT_EQ(drawing->classes.isEntity[1], 0);
    EXPECT_EQ(drawing->classes.entries[2].number, 506) << "defaults numbered after the highest";
}

TEST_F(TableLoad, OldFilesGetTheDefaultClassesOnly) {
    input(4, SourceFormat::AsciiDxf);
    ASSERT_EQ(dbLoadClasses(*drawing), 1);
    EXPECT_EQ(dbCountClasses(drawing->classes), 19);
    EXPECT_TRUE(driver.calls.empty());
}

ObjectRecord objectOf(uint16_t type, uint64_t handle) {
    ObjectRecord object;
    object.header.type = type;
    object.header.handle = Handle(handle);
    return object;
}

TEST_F(TableLoad, ObjectsAreReadByTheirKindUntilNoneIsLeft) {
    dbAddDefaultClasses(drawing->classes);
    const uint16_t xrecord = dbClassXrecord(drawing->classes);
    driver.objects = {objectOf(kObjectDictionary, 0x90), objectOf(kObjectMlineStyle, 0x91),
                      objectOf(kObjectGroup, 0x92), objectOf(xrecord, 0x93)};
    ASSERT_EQ(dbLoadObjects(*drawing), 1);
    EXPECT_EQ(driver.calls, (Strings{"seekObjects", "nextObjectCode", "readDictionary", "nextObjectCode",
                                     "readMlineStyle", "nextObjectCode", "readGroup", "nextObjectCode",
                                     "readClassObject", "nextObjectCode", "endObjectLoad"}));
    EXPECT_EQ(dbObjectCount(drawing), 4);
    ObjectRecord object;
    ASSERT_EQ(dbObjectGet(drawing, Handle(0x93), object), 1);
    EXPECT_EQ(object.header.type, xrecord);
    ClassEntry entry;
    ASSERT_EQ(dbFindClassByName(drawing->classes, "XRECORD", entry), 1);
    EXPECT_EQ(entry.proxyFlags & 0x8000, 0) << "the class is in use";
}

TEST_F(TableLoad, AnObjectCodeThatIsNoKindFailsTheObjectPass) {
    driver.objects = {objectOf(kObjectDictionary, 0x90), objectOf(40, 0x91)};
    EXPECT_EQ(dbLoadObjects(*drawing), 0);
    EXPECT_EQ(dbObjectCount(drawing), 0);
    EXPECT_FALSE(indexed(0x90));
}

TEST_F(TableLoad, OldFilesHaveNoObjectPass) {
    input(4, SourceFormat::Dwg);
    EXPECT_EQ(dbLoadObjects(*drawing), 1);
    EXPECT_TRUE(driver.calls.empty());
}

TEST_F(TableLoad, ProgressOfTheEntityPassesNeverDecreases) {
    driver.positions = {{0, 0, 1000}, {500, 0, 1000}, {200, 0, 1000}, {999, 0, 1000}, {1000, 0, 1000}};
    std::vector<int16_t> reported;
    for (size_t i = 0; i < 5; ++i) reported.push_back(dbLoadProgress(*drawing));
    EXPECT_EQ(reported, (std::vector<int16_t>{1, 51, 51, 100, 100}));
}

} // namespace
} // namespace tracemill
