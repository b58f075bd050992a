// The display interface: the display context's life, the extents view, passes, stopping a pass
// and releasing the context in the middle of one, and the mapping between world and device.
#include "toolkit/display/display_interface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display_fixture.h"

namespace tracemill {
namespace {

class DisplayInterfaceTest : public test::DisplayTest {};

TEST_F(DisplayInterfaceTest, AnEmptyDrawingShowsALetterSheetFittedToTheView) {
    drawing->header->extmin = {1e20, 1e20, 1e20};
    drawing->header->extmax = {-1e20, -1e20, -1e20};
    ViewBlock view = squareView();
    view.width = 200.0;  // the view is twice as wide as high
    begin(nullptr, kDevice, view);
    EXPECT_EQ(genDrawDrawing(drawing), 1);
    ViewBlock extents;
    ASSERT_EQ(genGetViewBlock(drawing, extents), 1);
    EXPECT_DOUBLE_EQ(extents.target.x, 5.5);
    EXPECT_DOUBLE_EQ(extents.target.y, 4.25);
    EXPECT_NEAR(extents.height, 8.5 * 1.0000001, 1e-12);
    EXPECT_NEAR(extents.width, 2.0 * extents.height, 1e-12) << "the last view's aspect stays";
}

TEST_F(DisplayInterfaceTest, ExtentsOfOnlyOneSideOfTheHeaderAreMirroredAboutZero) {
    const struct {
        const char* name;
        Point3 min, max;
        double targetX, width;
    } cases[] = {
        {"min unset", {1e20, 1e20, 1e20}, {4, 2, 0}, 2.0, 4.0},
        {"max unset", {-6, 3, 0}, {-1e20, -1e20, -1e20}, -3.0, 6.0},
        {"both set", {1, 1, 0}, {3, 5, 0}, 2.0, 4.0},
    };
    for (const auto& c : cases) {
        drawing->header->extmin = c.min;
        drawing->header->extmax = c.max;
        begin();
        const ViewBlock& extents = context().extentsView;
        EXPECT_DOUBLE_EQ(extents.target.x, c.targetX) << c.name;
        EXPECT_NEAR(std::max(extents.width, extents.height), c.width * 1.0000001, 1e-9) << c.name;
    }
}

TEST_F(DisplayInterfaceTest, TheExtentsViewShowsWhatThePassDrew) {
    add(lineFrom({10, 20, 0}, {30, 60, 0}));
    begin();
    genDrawDrawing(drawing);
    Point3 min, max;
    ASSERT_EQ(genCollectedExtents(drawing, min, max), 1);
    EXPECT_NEAR(min.x, 10, 1e-9);
    EXPECT_NEAR(min.y, 20, 1e-9);
    EXPECT_NEAR(max.x, 30, 1e-9);
    EXPECT_NEAR(max.y, 60, 1e-9);
    const ViewBlock& extents = context().extentsView;
    EXPECT_NEAR(extents.target.x, 20, 1e-9);
    EXPECT_NEAR(extents.target.y, 40, 1e-9);
    EXPECT_NEAR(extents.height, 40 * 1.0000001, 1e-9);
    EXPECT_NEAR(extents.width, 40 * 1.0000001, 1e-9) << "square like the view";
    EXPECT_EQ(dbGetDisplayKind(drawing), 1);
    int32_t lo[2], hi[2];
    ASSERT_EQ(dbGetDisplayExtents(drawing, lo, hi), 1);
    EXPECT_EQ(lo[0], 10);
    EXPECT_EQ(hi[1], 60);
    EXPECT_EQ(dbGetDisplayViewBlock(drawing), &context().extentsView);
}

TEST_F(DisplayInterfaceTest, WorldAndDeviceMapBothWays) {
    begin();
    Point2 device;
    ASSERT_EQ(dbWorldToDevice(drawing, {12, 34, 0}, device), 1);
    EXPECT_DOUBLE_EQ(device.x, 12.5);
    EXPECT_DOUBLE_EQ(device.y, 34.5);
    Point3 world;
    ASSERT_EQ(dbDeviceToWorld(drawing, device, world), 1);
    EXPECT_NEAR(world.x, 12, 1e-12);
    EXPECT_NEAR(world.y, 34, 1e-12);
}

TEST_F(DisplayInterfaceTest, TheAcadApplicationIsFoundWithoutCase) {
    for (auto& app : drawing->appIds) {
        if (app.record.name == "ACAD") app.record.name = "Acad";
    }
    begin();
    EXPECT_FALSE(drawing->acadAppId.isNull());
    drawing->appIds.clear();
    begin();
    EXPECT_TRUE(drawing->acadAppId.isNull()) << "a drawing without the application keeps the zero handle";
}

TEST_F(DisplayInterfaceTest, DrawingsBeforeR12AlwaysShowModelSpace) {
    drawing->versionIndex = kVersionAC1006;
    drawing->header->tilemode = 0;
    begin();
    EXPECT_EQ(context().paperSpace, 0);
    drawing->versionIndex = kVersionAC1015;
    begin();
    EXPECT_EQ(context().paperSpace, 1);
}

TEST_F(DisplayInterfaceTest, APassWithoutAContextFailsAndDrawsNothing) {
    add(lineFrom({10, 10, 0}, {20, 20, 0}));
    EXPECT_EQ(genDrawDrawing(drawing), 0);
    EXPECT_EQ(dbGetError(), kErrorNotDisplayed);
    EXPECT_TRUE(recorder.lines().empty());
    ViewBlock view;
    EXPECT_EQ(genGetViewBlock(drawing, view), 0);
    EXPECT_EQ(dbFreeDisplayContext(drawing), 0);
}

int gStopAt = -1;
Drawing* gFreed = nullptr;

void stopAtHalf(int32_t percent, HostWord) {
    if (percent >= gStopAt && gStopAt >= 0) genStopDisplay();
}
void freeAtHalf(int32_t percent, HostWord) {
    if (percent >= 50 && percent < 100 && gFreed) dbFreeDisplayContext(gFreed);
}

TEST_F(DisplayInterfaceTest, TheHostStopsAPassFromItsProgressHook) {
    for (int i = 0; i < 20; ++i) add(lineFrom({double(i), 0, 0}, {double(i), 10, 0}));
    begin();
    gStopAt = 50;
    dbSetProgressHook(stopAtHalf);
    genDrawDrawing(drawing);
    gStopAt = -1;
    EXPECT_EQ(strokes().size(), 2u * 11u) << "the entity at 50 per cent is the last one drawn";
    recorder.clear();
    genDrawDrawing(drawing);
    EXPECT_EQ(strokes().size(), 2u * 20u) << "the next pass starts again";
}

TEST_F(DisplayInterfaceTest, FreeingTheContextDuringAPassStopsItAndTakesEffectAfter) {
    for (int i = 0; i < 20; ++i) add(lineFrom({double(i), 0, 0}, {double(i), 10, 0}));
    begin();
    gFreed = drawing;
    dbSetProgressHook(freeAtHalf);
    EXPECT_EQ(genDrawDrawing(drawing), 1);
    gFreed = nullptr;
    EXPECT_EQ(drawing->displayContext, nullptr) << "freed when the pass returned";
    EXPECT_LT(strokes().size(), 2u * 20u) << "the pass stopped";
    EXPECT_EQ(genDrawDrawing(drawing), 0) << "no context: no pass";
}

TEST_F(DisplayInterfaceTest, TheDrawingPathIsTheFileItCameFrom) {
    drawing->filePath = "/somewhere/plan.dwg";
    EXPECT_STREQ(genDrawingPath(drawing), "/somewhere/plan.dwg");
}

} // namespace
} // namespace tracemill
