// The layouts of a drawing object with their remembered views and plot areas, and the layer
// and linetype rows of the drawing-property dialogs.
#include <string>
#include <vector>

#include "app/render/plot_area.h"
#include "drawing_object_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill::test {
namespace {

using Layouts = DrawingObjectTest;

// The layout of the plot-area table: A4 landscape in millimetres, margins 10, 20, 30 and 40,
// limits of the sheet, extents (10, 20)-(110, 70), plot window (0, 0)-(50, 50), scaled to fit.
LayoutBody tableLayout(int16_t rotation, int16_t plotType, bool centred) {
    LayoutBody layout;
    PlotSettings& s = layout.settings;
    s.leftMargin = 10;
    s.bottomMargin = 20;
    s.rightMargin = 30;
    s.topMargin = 40;
    s.paperWidth = 297;
    s.paperHeight = 210;
    s.paperUnits = 1;
    s.plotRotation = rotation;
    s.plotType = plotType;
    s.plotLayoutFlags = centred ? kPlotCentred : 0;
    s.windowMin = {0, 0};
    s.windowMax = {50, 50};
    layout.limitsMin = {0, 0};
    layout.limitsMax = {297, 210};
    layout.extentsMin = {10, 20, 0};
    layout.extentsMax = {110, 70, 0};
    return layout;
}

struct PlotAreaCase {
    int16_t rotation;
    int16_t plotType;
    bool centred;
    Point2 min, max;
};

// Worked out by hand from the plot settings (margins turned with the page, rotation 2 half a
// turn round).
const PlotAreaCase kPlotAreas[] = {
    {0, 1, false, {10, 20}, {110, 78.3699416}},
    {0, 1, true, {10, 15.8150292}, {110, 74.1849708}},
    {0, 2, false, {9.995, 19.99}, {266.985, 169.98}},
    {0, 4, false, {0, 0}, {85.6488333, 50}},
    {0, 4, true, {-17.8244167, 0}, {67.8244167, 50}},
    {0, 5, false, {9.995, 19.99}, {266.985, 169.98}},
    {1, 1, false, {10, 20}, {110, 191.394}},
    {1, 1, true, {10, -40.697}, {110, 130.697}},
    {1, 2, false, {39.98, 29.985}, {276.99, 199.995}},
    {1, 4, false, {0, 0}, {50, 85.6845}},
    {1, 4, true, {0, -17.84225}, {50, 67.84225}},
    {1, 5, false, {39.98, 29.985}, {276.99, 199.995}},
    {2, 1, false, {10, 20}, {110, 78.3699416}},
    {2, 1, true, {10, 15.8150292}, {110, 74.1849708}},
    {2, 2, false, {29.985, 39.98}, {286.995, 189.99}},
    {2, 4, false, {0, 0}, {85.6488333, 50}},
    {2, 4, true, {-17.8244167, 0}, {67.8244167, 50}},
    {2, 5, false, {29.985, 39.98}, {286.995, 189.99}},
    {3, 1, false, {10, 20}, {110, 191.394}},
    {3, 1, true, {10, -40.697}, {110, 130.697}},
    {3, 2, false, {19.99, 9.995}, {256.98, 179.985}},
    {3, 4, false, {0, 0}, {50, 85.6845}},
    {3, 4, true, {0, -17.84225}, {50, 67.84225}},
    {3, 5, false, {19.99, 9.995}, {256.98, 179.985}},
};

TEST(PlotArea, EachRotationAndPlotTypeGivesItsArea) {
    for (const PlotAreaCase& c : kPlotAreas) {
        SCOPED_TRACE(testing::Message() << "rotation " << c.rotation << " type " << c.plotType
                                        << (c.centred ? " centred" : ""));
        const Rect2 area = LayoutPrintableArea(tableLayout(c.rotation, c.plotType, c.centred), true);
        EXPECT_NEAR(area.min.x, c.min.x, 1e-6);
        EXPECT_NEAR(area.min.y, c.min.y, 1e-6);
        EXPECT_NEAR(area.max.x, c.max.x, 1e-6);
        EXPECT_NEAR(area.max.y, c.max.y, 1e-6);
    }
}

TEST(PlotArea, PlotTypesWithoutAnAreaOfTheirOwnPlotTheExtents) {
    for (int16_t type : {kPlotTypeDisplay, kPlotTypeView}) {
        const Rect2 area = LayoutPrintableArea(tableLayout(0, type, false), true);
        EXPECT_NEAR(area.min.x, 10, 1e-6);
        EXPECT_NEAR(area.max.y, 78.3699416, 1e-6);
    }
}

TEST(PlotArea, TheSheetIsThePaperAtThePlotsScaleAroundThePrintableArea) {
    for (int16_t rotation = 0; rotation < 4; ++rotation) {
        for (int16_t type : {kPlotTypeExtents, kPlotTypeWindow}) {
            for (bool centred : {false, true}) {
                SCOPED_TRACE(testing::Message() << rotation << " " << type << " " << centred);
                const LayoutBody layout = tableLayout(rotation, type, centred);
                const Rect2 sheet = LayoutSheet(layout);
                const Rect2 printable = LayoutPrintableArea(layout, false);
                const PageMargins m = RotatedPageMargins(layout.settings);
                const bool turned = rotation % 2 == 1;
                const double paperWidth = turned ? 210 : 297;
                const double paperHeight = turned ? 297 : 210;
                const double scale = (printable.max.x - printable.min.x) / (paperWidth - m.left - m.right);
                EXPECT_NEAR((printable.max.y - printable.min.y) / (paperHeight - m.bottom - m.top), scale, 1e-9);
                EXPECT_NEAR(sheet.max.x - sheet.min.x, paperWidth * scale, 1e-9);
                EXPECT_NEAR(sheet.max.y - sheet.min.y, paperHeight * scale, 1e-9);
                EXPECT_NEAR(printable.min.x - sheet.min.x, m.left * scale, 1e-9);
                EXPECT_NEAR(printable.min.y - sheet.min.y, m.bottom * scale, 1e-9);
            }
        }
    }
    // A plot of the limits: the sheet is the limits.
    const Rect2 sheet = LayoutSheet(tableLayout(2, kPlotTypeLayout, false));
    EXPECT_EQ(sheet.min, (Point2{0, 0}));
    EXPECT_EQ(sheet.max, (Point2{297, 210}));
}

TEST(PlotArea, MarginsInInchesAreMillimetresOver25Point4) {
    LayoutBody layout = tableLayout(1, kPlotTypeLayout, false);
    layout.settings.paperUnits = 0;
    layout.settings.leftMargin = layout.settings.bottomMargin = layout.settings.rightMargin =
        layout.settings.topMargin = 25.4;
    const PageMargins m = RotatedPageMargins(layout.settings);
    EXPECT_DOUBLE_EQ(m.left, 1.0);
    EXPECT_DOUBLE_EQ(m.bottom, 1.0);
    EXPECT_DOUBLE_EQ(m.right, 1.0);
    EXPECT_DOUBLE_EQ(m.top, 1.0);
    layout.settings.plotRotation = 4;
    EXPECT_EQ(RotatedPageMargins(layout.settings).left, 0.0);
}

TEST_F(Layouts, APaperLayoutWithoutViewportIsNotListed) {
    openFixture("two_layouts_2000.dxf", true);
    std::vector<std::string> names;
    EXPECT_EQ(object().GetLayoutNames(&names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"Model", "Layout1"}));
    EXPECT_EQ(object().GetLayoutCount(), 2);
    EXPECT_EQ(object().GetActiveLayoutName(), "Model");
    EXPECT_TRUE(object().GetLayoutBlockHandle().isNull());

    object().SetActiveLayout(1);
    EXPECT_EQ(object().GetActiveLayoutName(), "Layout1");
    EXPECT_EQ(object().GetHeaderBlock()->tilemode, 0);
    EXPECT_FALSE(object().GetLayoutBlockHandle().isNull());
    EXPECT_TRUE(object().IsPaperLayoutCurrent());
    object().SetActiveLayout(0);
    EXPECT_EQ(object().GetHeaderBlock()->tilemode, 1);
}

TEST_F(Layouts, AnOlderDrawingHasAModelAndAPaperLayout) {
    openFixture("paper_r12.dxf", true);
    std::vector<std::string> names;
    EXPECT_EQ(object().GetLayoutNames(&names), 1);
    EXPECT_EQ(names, (std::vector<std::string>{"Modal", "Paper"}));
    EXPECT_EQ(object().GetActiveLayoutName(), "Paper");
    object().GetHeaderBlock()->tilemode = 1;
    EXPECT_EQ(object().GetLayoutNames(&names), 0);
    EXPECT_EQ(object().GetActiveLayoutName(), "Modal");
    double width = 0, height = 0;
    EXPECT_EQ(object().GetLayoutPaperSize(1, &width, &height), 0);
}

TEST_F(Layouts, ALayoutGetsBackTheViewItWasLeftIn) {
    openFixture("plot_layouts_2000.dxf", true);
    std::vector<std::string> names;
    object().GetLayoutNames(&names);
    ASSERT_EQ(names, (std::vector<std::string>{"Model", "Rot0Extents", "Rot1Limits", "Rot2Window", "Rot3Layout"}));
    object().SetActiveLayout(2);
    object().ZoomIn(false);
    object().PanRight();
    const ViewBlock left = object().GetView();
    object().SetActiveLayout(0);
    EXPECT_FALSE(object().GetView() == left);
    EXPECT_FALSE(object().CanZoomPrevious());
    object().SetActiveLayout(2);
    EXPECT_TRUE(object().GetView() == left);
    EXPECT_EQ(object().GetLastViewWidth(), left.width);
    EXPECT_FALSE(object().CanZoomPrevious());
}

TEST_F(Layouts, ThePlotAreaOfEachLayoutComesFromItsOwnSettings) {
    openFixture("plot_layouts_2000.dxf", true);
    struct Case {
        int32_t index;
        Point2 min, max;
        bool zWritten;
    };
    const Case cases[] = {
        {1, {10, 20}, {110, 78.3699416}, false},
        {2, {39.98, 29.985}, {276.99, 199.995}, true},
        {3, {-17.8244167, 0}, {67.8244167, 50}, false},
        {4, {0.787007874, 0.393503937}, {295.424409, 208.818307}, true},  // margins in inches
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        double block[8];
        std::fill(std::begin(block), std::end(block), -7.0);
        ASSERT_EQ(object().GetLayoutPlotSettings(c.index, block), 1);
        EXPECT_NEAR(block[0], c.min.x, 1e-6);
        EXPECT_NEAR(block[1], c.min.y, 1e-6);
        EXPECT_NEAR(block[3], c.max.x, 1e-6);
        EXPECT_NEAR(block[4], c.max.y, 1e-6);
        EXPECT_EQ(block[2], c.zWritten ? 0.0 : -7.0);
        EXPECT_EQ(block[5], c.zWritten ? 0.0 : -7.0);
        EXPECT_NEAR(block[6], c.max.x - c.min.x, 1e-6);
        EXPECT_NEAR(block[7], c.max.y - c.min.y, 1e-6);
        double width = 0, height = 0;
        ASSERT_EQ(object().GetLayoutPaperSize(c.index, &width, &height), 1);
        EXPECT_EQ(width, block[6]);
        EXPECT_EQ(height, block[7]);
    }
    double block[8];
    EXPECT_EQ(object().GetLayoutPlotSettings(0, block), 0);
    EXPECT_EQ(object().GetLayoutPlotSettings(5, block), 0);
    EXPECT_EQ(object().GetLayoutPlotSettings(-1, block), 0);  // model space is current
    object().SetActiveLayout(3);
    EXPECT_EQ(object().GetLayoutPlotSettings(-1, block), 1);
    EXPECT_NEAR(block[0], -17.8244167, 1e-6);
}

TEST_F(Layouts, TheLayerRowsShowAndChangeTheLayers) {
    openFixture("two_layouts_2000.dxf");
    std::vector<LayerListRow> rows;
    object().FillLayerList(&rows);
    const std::vector<LayerListRow> expected{
        {"0", true, 7, "Continuous"}, {"WALLS", false, 3, "DASHED"}, {"DOORS", true, 1, "Continuous"}};
    EXPECT_EQ(rows, expected);

    rows[1].on = true;
    rows[1].colorIndex = 5;
    rows[1].linetype = "Continuous";
    rows[2].name = "DOORS2";
    rows[2].on = false;
    rows[2].linetype = "NO SUCH LINETYPE";
    EXPECT_EQ(object().ApplyLayerList(rows), 3);
    std::vector<LayerListRow> applied;
    object().FillLayerList(&applied);
    EXPECT_EQ(applied, (std::vector<LayerListRow>{
                           {"0", true, 7, "Continuous"}, {"WALLS", true, 5, "Continuous"}, {"DOORS2", false, 1, "Continuous"}}));

    // Switching layers on and off keeps them frozen and locked.
    Handle walls, doors;
    ASSERT_EQ(dbLayerFindByName(object().GetDrawing(), "WALLS", walls), 1);
    ASSERT_EQ(dbLayerFindByName(object().GetDrawing(), "DOORS2", doors), 1);
    int16_t on = 0, frozen = 0, frozenNew = 0, locked = 0;
    dbLayerGetState(object().GetDrawing(), walls, on, frozen, frozenNew, locked);
    EXPECT_NE(frozen, 0);
    dbLayerGetState(object().GetDrawing(), doors, on, frozen, frozenNew, locked);
    EXPECT_NE(locked, 0);
    EXPECT_EQ(on, 0);
}

TEST_F(Layouts, TheLinetypeRowsLeaveOutByLayerAndByBlock) {
    openFixture("two_layouts_2000.dxf");
    std::vector<LinetypeListRow> rows;
    object().FillLinetypeList(&rows);
    EXPECT_EQ(rows, (std::vector<LinetypeListRow>{{"Continuous", "Solid line"}, {"DASHED", "Dashed __ __ __"}}));
    std::vector<std::string> names;
    object().FillLinetypeCombo(&names, true);
    EXPECT_EQ(names, (std::vector<std::string>{"Continuous", "DASHED", "ByBlock", "ByLayer"}));
    object().FillLinetypeCombo(&names, false);
    EXPECT_EQ(names, (std::vector<std::string>{"Continuous", "DASHED"}));

    Handle dashed;
    ASSERT_EQ(object().FindLinetypeHandle("dashed", &dashed), 1);
    LinetypeRecord record;
    ASSERT_EQ(object().GetLinetypeRecord(dashed, &record), 1);
    EXPECT_EQ(record.dashCount, 2);
    record.description = "Long dashes";
    EXPECT_EQ(object().UpdateLinetypeRecord(record), 1);
    object().FillLinetypeList(&rows);
    EXPECT_EQ(rows[1].description, "Long dashes");
}

} // namespace
} // namespace tracemill::test
