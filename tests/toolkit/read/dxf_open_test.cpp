// The DXF open: the HEADER section into the header block, the version, the section index.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "tests/support/toolkit_fixture.h"
#include "tests/toolkit/read/dxf_test_support.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/core/system_context.h"

namespace tracemill::test {
namespace {

using DxfOpenTest = ToolkitTest;

DrawingPtr loadHeader(const DxfGroups& variables) {
    DxfGroups groups{{0, "SECTION"}, {2, "HEADER"}};
    groups.insert(groups.end(), variables.begin(), variables.end());
    groups.insert(groups.end(), {{0, "ENDSEC"}, {0, "EOF"}});
    return loadText(dxfText(groups));
}

TEST_F(DxfOpenTest, TheVersionComesFromTheHeader) {
    struct Case {
        std::string acadver;
        int index;
        std::string stored;
    } cases[] = {
        {"AC1015", 7, "AC1015"},
        {"AC1009", 4, "AC1009"},
        {"AC2.10", 0, "AC1002"},  // AC2.1 is the name of AC1002
        {"AC9999", 4, "AC1009"},  // unknown versions are read as AC1009
    };
    for (const Case& c : cases) {
        DrawingPtr drawing = loadHeader({{9, "$ACADVER"}, {1, c.acadver}});
        ASSERT_TRUE(drawing) << c.acadver << ": " << dbGetError();
        EXPECT_EQ(drawing->versionIndex, c.index) << c.acadver;
        EXPECT_EQ(drawing->header->acadver, c.stored) << c.acadver;
    }
}

TEST_F(DxfOpenTest, VariablesOfEveryStorageType) {
    DrawingPtr drawing = loadHeader({
        {9, "$ACADVER"}, {1, "AC1015"},
        {9, "$ATTMODE"}, {70, "2"},                          // i16
        {9, "$DIMTOL"}, {70, "1"},                           // u8
        {9, "$LTSCALE"}, {40, "2.5"},                        // double
        {9, "$LIMMAX"}, {10, "420.0"}, {20, "297.0"},        // 2D point
        {9, "$EXTMIN"}, {10, "1.0"}, {20, "2.0"}, {30, "3.0"},  // 3D point
        {9, "$MENU"}, {1, "menu.mnu"},                       // text
        {9, "$TDCREATE"}, {40, "2451544.5"},                 // date
        {9, "$USERI3"}, {70, "7"},                           // USERI element
        {9, "$USERR2"}, {40, "0.25"},                        // USERR element
        {9, "$HANDSEED"}, {5, "1F4"},                        // handle
        {9, "$DWGCODEPAGE"}, {3, "ANSI_1252"},               // code page
        {9, "$ANGBASE"}, {50, "90.0"},                       // degrees in the file
    });
    ASSERT_TRUE(drawing) << dbGetError();
    const HeaderBlock& h = *drawing->header;
    EXPECT_EQ(h.attmode, 2);
    EXPECT_EQ(h.dimtol, 1);
    EXPECT_EQ(h.ltscale, 2.5);
    EXPECT_EQ(h.limmax, (Point2{420.0, 297.0}));
    EXPECT_EQ(h.extmin, (Point3{1.0, 2.0, 3.0}));
    EXPECT_EQ(h.menu, "menu.mnu");
    EXPECT_EQ(h.tdcreate, (HeaderDate{2451544, 43200000}));
    EXPECT_EQ(h.useri[2], 7);
    EXPECT_EQ(h.userr[1], 0.25);
    int ansi1252 = 0;
    ASSERT_EQ(dbCodePageFromName("ansi_1252", ansi1252), 1);
    EXPECT_EQ(h.dwgcodepage, ansi1252);
    EXPECT_DOUBLE_EQ(h.angbase, std::numbers::pi / 2);
    EXPECT_GE(drawing->handleSeed, Handle(0x1F4));
}

TEST_F(DxfOpenTest, APointWithoutItsZKeepsItAndTheNextGroupIsAName) {
    DrawingPtr drawing = loadHeader({{9, "$ACADVER"}, {1, "AC1015"},
                                     {9, "$INSBASE"}, {10, "5.0"}, {20, "6.0"},
                                     {9, "$LTSCALE"}, {40, "3.0"}});
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(drawing->header->insbase, (Point3{5.0, 6.0, 0.0}));
    EXPECT_EQ(drawing->header->ltscale, 3.0);
}

// Older files give the extents as 2D points: they lie in the plane z = 0 (the template's z of
// +1e20 and -1e20 would make them empty). Given in 3D, their z is the file's.
TEST_F(DxfOpenTest, ExtentsGivenIn2dLieInThePlaneZ0) {
    struct Case {
        const char* name;
        DxfGroups variables;
        Point3 extmin;
        Point3 extmax;
        Point3 pextmin;
        Point3 pextmax;
    } cases[] = {
        {"2D",
         {{9, "$EXTMIN"}, {10, "1.0"}, {20, "2.0"}, {9, "$EXTMAX"}, {10, "8.0"}, {20, "9.0"},
          {9, "$PEXTMIN"}, {10, "-1.0"}, {20, "-2.0"}, {9, "$PEXTMAX"}, {10, "3.0"}, {20, "4.0"}},
         {1.0, 2.0, 0.0}, {8.0, 9.0, 0.0}, {-1.0, -2.0, 0.0}, {3.0, 4.0, 0.0}},
        {"3D",
         {{9, "$EXTMIN"}, {10, "1.0"}, {20, "2.0"}, {30, "-5.0"}, {9, "$EXTMAX"}, {10, "8.0"}, {20, "9.0"}, {30, "5.0"},
          {9, "$PEXTMIN"}, {10, "-1.0"}, {20, "-2.0"}, {30, "-3.0"}, {9, "$PEXTMAX"}, {10, "3.0"}, {20, "4.0"}, {30, "3.0"}},
         {1.0, 2.0, -5.0}, {8.0, 9.0, 5.0}, {-1.0, -2.0, -3.0}, {3.0, 4.0, 3.0}},
        {"x only", {{9, "$EXTMIN"}, {10, "1.0"}, {9, "$EXTMAX"}, {10, "8.0"}},
         {1.0, 1e20, 0.0}, {8.0, -1e20, 0.0}, {1e20, 1e20, 1e20}, {-1e20, -1e20, -1e20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* version : {"AC1009", "AC1015"}) {
            DxfGroups variables{{9, "$ACADVER"}, {1, version}};
            variables.insert(variables.end(), c.variables.begin(), c.variables.end());
            DrawingPtr drawing = loadHeader(variables);
            ASSERT_TRUE(drawing) << dbGetError();
            EXPECT_EQ(drawing->header->extmin, c.extmin) << version;
            EXPECT_EQ(drawing->header->extmax, c.extmax) << version;
            EXPECT_EQ(drawing->header->pextmin, c.pextmin) << version;
            EXPECT_EQ(drawing->header->pextmax, c.pextmax) << version;
        }
    }
}

TEST_F(DxfOpenTest, UnknownVariablesAndTheirValuesArePassedOver) {
    DrawingPtr drawing = loadHeader({{9, "$ACADVER"}, {1, "AC1015"},
                                     {9, "$NOSUCHVARIABLE"}, {1, "$LTSCALE"},
                                     {9, "$ANOTHER"}, {10, "1.0"}, {20, "2.0"},
                                     {9, "$LTSCALE"}, {40, "4.0"}});
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(drawing->header->ltscale, 4.0);
}

TEST_F(DxfOpenTest, CurrentNamesBecomeHandles) {
    const std::string text = dxfText({
        {0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"},
        {9, "$CLAYER"}, {8, "WALLS"}, {9, "$CELTYPE"}, {6, "ByLayer"},
        {9, "$DIMSTYLE"}, {2, "*UNNAMED"}, {9, "$TEXTSTYLE"}, {7, "STANDARD"},
        {0, "ENDSEC"}, {0, "EOF"},
    });
    DrawingPtr drawing = loadText(text);
    ASSERT_TRUE(drawing) << dbGetError();
    const CurrentEntryHandles& current = drawing->header->current;
    Handle walls;
    ASSERT_EQ(dbLayerFindByName(drawing.get(), "WALLS", walls), 1) << "a current layer the file lacks is made";
    EXPECT_EQ(current.clayer, walls);
    EXPECT_EQ(current.celtype, drawing->handles.byLayerLinetype);
    EXPECT_TRUE(current.dimstyle.isNull());
    Handle standard;
    ASSERT_EQ(dbFindStyleHandle(drawing.get(), "Standard", standard), 1);
    EXPECT_EQ(current.textstyle, standard);
    EXPECT_EQ(current.dimtxsty, standard);
}

TEST_F(DxfOpenTest, DimUnitOfR14FilesTakesTheNewerMeaning) {
    DrawingPtr drawing = loadHeader({{9, "$ACADVER"}, {1, "AC1014"}, {9, "$DIMUNIT"}, {70, "6"}});
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(drawing->header->dimlunit, 4);
    EXPECT_EQ(drawing->header->dimfrac, 2);
}

TEST_F(DxfOpenTest, OnlyTheFirstTablesSectionIsRead) {
    DxfGroups layerA{{0, "TABLE"}, {2, "LAYER"}, {70, "1"}, {0, "LAYER"}, {2, "A"}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"}, {0, "ENDTAB"}};
    DxfGroups layerB{{0, "TABLE"}, {2, "LAYER"}, {70, "1"}, {0, "LAYER"}, {2, "B"}, {70, "0"}, {62, "1"}, {6, "CONTINUOUS"}, {0, "ENDTAB"}};
    DrawingPtr drawing = loadText(dxfDrawing("AC1009", {{"TABLES", layerA}, {"TABLES", layerB}}));
    ASSERT_TRUE(drawing) << dbGetError();
    EXPECT_EQ(names(drawing->layers), (std::vector<std::string>{"0", "A"}));
}

TEST_F(DxfOpenTest, AFileEndingInsideTheHeaderFails) {
    EXPECT_FALSE(loadText(dxfText({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}})));
    EXPECT_EQ(dbGetError(), 31);
}

std::vector<int> gScanProgress;

TEST_F(DxfOpenTest, TheWalkReportsItsProgressInStepsOfFive) {
    gScanProgress.clear();
    gSystemContext->dxfScanProgress = [](int percent) { gScanProgress.push_back(percent); };
    DxfGroups many;
    for (int i = 0; i < 2000; ++i) many.insert(many.end(), {{0, "POINT"}, {8, "0"}, {10, "1.0"}, {20, "2.0"}});
    ASSERT_TRUE(loadText(dxfDrawing("AC1009", {{"ENTITIES", many}})));
    ASSERT_GE(gScanProgress.size(), 3u);
    EXPECT_EQ(gScanProgress.back(), 100);
    for (size_t i = 0; i + 1 < gScanProgress.size(); ++i) {
        EXPECT_EQ(gScanProgress[i] % 5, 0);
        EXPECT_LE(gScanProgress[i], gScanProgress[i + 1]);
    }
}

} // namespace
} // namespace tracemill::test
