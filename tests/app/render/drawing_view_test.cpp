// The view of a drawing object: zoom, pan, zoom window and the view history, the extents and
// the client size, the 3D viewpoint, the UCS icon setting and the view state of a pass.
#include <cmath>
#include <numbers>
#include <vector>

#include "drawing_object_test_support.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/symbol_tables.h"

namespace tracemill::test {
namespace {

constexpr double kPi = std::numbers::pi;

void expectSameView(const ViewBlock& a, const ViewBlock& b, double tolerance) {
    EXPECT_NEAR(a.target.x, b.target.x, tolerance);
    EXPECT_NEAR(a.target.y, b.target.y, tolerance);
    EXPECT_NEAR(a.target.z, b.target.z, tolerance);
    EXPECT_NEAR(a.direction.x, b.direction.x, tolerance);
    EXPECT_NEAR(a.direction.y, b.direction.y, tolerance);
    EXPECT_NEAR(a.direction.z, b.direction.z, tolerance);
    EXPECT_NEAR(a.up.x, b.up.x, tolerance);
    EXPECT_NEAR(a.up.y, b.up.y, tolerance);
    EXPECT_NEAR(a.up.z, b.up.z, tolerance);
    EXPECT_NEAR(a.width, b.width, tolerance);
    EXPECT_NEAR(a.height, b.height, tolerance);
}

// The drawing point under a window pixel (y downwards) of the object's device rectangle.
Point3 worldUnder(const CDrawingObject& object, int32_t x, int32_t y) {
    Point3 world;
    object.DeviceToWorld(x, object.GetDeviceRect().bottom - y, &world);
    return world;
}

using DrawingView = DrawingObjectTest;

TEST_F(DrawingView, ZoomInThenZoomOutGivesTheSizeBack) {
    openFixture("model_lines.dxf", true);
    const ViewBlock before = object().GetView();
    object().ZoomIn(true);
    EXPECT_NEAR(object().GetView().width, before.width * 0.8, 1e-9);
    EXPECT_NEAR(object().GetLastViewHeight(), before.height * 0.8, 1e-9);
    object().ZoomOut(true);
    expectSameView(object().GetView(), before, 1e-9);
    EXPECT_NEAR(object().GetLastViewWidth(), before.width, 1e-9);
    EXPECT_EQ(object().GetViewHistoryCount(), 2u);
}

TEST_F(DrawingView, TenPansAndTenStepsBackGiveTheFirstView) {
    openFixture("model_lines.dxf", true);
    const ViewBlock first = object().GetView();
    for (int i = 0; i < 10; ++i) object().PanRight();
    EXPECT_EQ(object().GetViewHistoryCount(), 10u);
    EXPECT_NEAR(object().GetView().target.x, first.target.x + 10 * object().GetLastViewWidth() / 5, 1e-9);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(object().ZoomPrevious(), 1);
    expectSameView(object().GetView(), first, 1e-12);
    EXPECT_FALSE(object().CanZoomPrevious());
    EXPECT_EQ(object().ZoomPrevious(), 0);
    expectSameView(object().GetView(), first, 1e-12);
}

TEST_F(DrawingView, EachPanMovesAFifthOfTheViewAlongItsAxis) {
    openFixture("model_lines.dxf", true);
    const ViewBlock first = object().GetView();
    const double w = object().GetLastViewWidth() / 5;
    const double h = object().GetLastViewHeight() / 5;
    struct Case {
        void (CDrawingObject::*pan)();
        double dx, dy;
    };
    for (const Case& c : {Case{&CDrawingObject::PanRight, w, 0}, Case{&CDrawingObject::PanLeft, -w, 0},
                          Case{&CDrawingObject::PanUp, 0, h}, Case{&CDrawingObject::PanDown, 0, -h}}) {
        (object().*c.pan)();
        EXPECT_NEAR(object().GetView().target.x, first.target.x + c.dx, 1e-9);
        EXPECT_NEAR(object().GetView().target.y, first.target.y + c.dy, 1e-9);
        object().ZoomPrevious();
    }
}

TEST_F(DrawingView, ZoomWindowWithEqualCornersOnlyPushesTheView) {
    openFixture("model_lines.dxf", true);
    const ViewBlock before = object().GetView();
    object().ZoomWindow(120, 80, 120, 80);
    expectSameView(object().GetView(), before, 0.0);
    EXPECT_EQ(object().GetViewHistoryCount(), 1u);
    object().ZoomWindow(120, 80, 300, 80);
    expectSameView(object().GetView(), before, 0.0);
    EXPECT_EQ(object().GetViewHistoryCount(), 2u);
}

TEST_F(DrawingView, ZoomWindowShowsTheWindowWhole) {
    openFixture("model_lines.dxf", true);
    const Point3 a = worldUnder(object(), 100, 300);
    const Point3 b = worldUnder(object(), 300, 100);
    object().ZoomWindow(300, 100, 100, 300);
    // The window's centre is the view's centre and the window lies within the view.
    EXPECT_NEAR(object().GetView().target.x, (a.x + b.x) / 2, object().GetView().width / 400);
    EXPECT_NEAR(object().GetView().target.y, (a.y + b.y) / 2, object().GetView().height / 300);
    EXPECT_GE(object().GetView().width, (b.x - a.x) * 0.999);
    EXPECT_GE(object().GetView().height, (b.y - a.y) * 0.999);
    // It fills the view in one direction: here the height, the view being wider than the window.
    EXPECT_NEAR(object().GetView().height / (b.y - a.y), 1.0, 0.02);
}

TEST_F(DrawingView, ZoomAtTheCursorKeepsThePointUnderIt) {
    openFixture("model_lines.dxf", true);
    struct Case {
        int32_t x, y;
        bool in;
    };
    for (const Case& c : {Case{250, 200, true}, Case{10, 15, true}, Case{480, 390, false}, Case{123, 321, false}}) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << (c.in ? " in" : " out"));
        const Point3 under = worldUnder(object(), c.x, c.y);
        const double width = object().GetView().width;
        if (c.in) object().ZoomInAt(c.x, c.y, true);
        else object().ZoomOutAt(c.x, c.y, true);
        EXPECT_NEAR(object().GetView().width, width * (c.in ? 0.8 : 1.25), 1e-9);
        int32_t x = 0, y = 0;
        object().WorldToDevice(&under, &x, &y);
        EXPECT_LE(std::abs(x - c.x), 1);
        EXPECT_LE(std::abs(object().GetDeviceRect().bottom - y - c.y), 1);
    }
}

TEST_F(DrawingView, PanMovesThePointUnderTheFirstPixelToTheSecond) {
    openFixture("model_lines.dxf", true);
    const Point3 grabbed = worldUnder(object(), 100, 100);
    object().Pan(100, 100, 220, 40, true);
    int32_t x = 0, y = 0;
    object().WorldToDevice(&grabbed, &x, &y);
    EXPECT_LE(std::abs(x - 220), 1);
    EXPECT_LE(std::abs(object().GetDeviceRect().bottom - y - 40), 1);
}

TEST_F(DrawingView, ASizeGivenInOneDimensionIsCompletedFromTheExtents) {
    struct Case {
        const char* fixture;
        int32_t width, height;
        int32_t expectedWidth, expectedHeight, tolerance;
    };
    const Case cases[] = {
        {"tall_line.dxf", 0, 1, 2, 1, 0},           // a drawing of no width: at least 2
        {"tall_line.dxf", 0, 600, 2, 600, 0},
        {"model_lines.dxf", 0, 300, 600, 300, 6},   // 100 x 50
        {"model_lines.dxf", 800, 0, 800, 400, 6},
        {"empty_2000.dxf", 0, 300, 300, 300, 0},    // nothing drawn: taken as square
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        CDrawingObject drawing;
        ASSERT_EQ(drawing.Open(renderFixture(c.fixture).c_str(), nullptr, true, ""), 0);
        int32_t width = c.width, height = c.height;
        drawing.FitSizeToExtents(&width, &height);
        EXPECT_NEAR(width, c.expectedWidth, c.tolerance);
        EXPECT_NEAR(height, c.expectedHeight, c.tolerance);
    }
}

TEST_F(DrawingView, ADrawingThatDrawsNothingKeepsItsClientSize) {
    openFixture("empty_2000.dxf", true);
    const HostRect rect = object().GetDeviceRect();
    EXPECT_EQ(object().GetExtentsAspect(), 1.0);
    EXPECT_EQ(object().GetDeviceRect(), rect);
    object().SetClientSize(0, 300);
    object().SetClientSize(300, 0);
    EXPECT_EQ(object().GetDeviceRect(), rect);
}

TEST_F(DrawingView, TheClientSizeZoomsToTheExtents) {
    openFixture("model_lines.dxf", true);
    object().SetClientSize(800, 400);
    EXPECT_EQ(object().GetDeviceRect(), (HostRect{0, 0, 800, 400}));
    prepareView();
    // The 100 x 50 drawing fills the device: its corners map near the device's corners.
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    const Point3 low{0, 0, 0}, high{100, 50, 0};
    object().WorldToDevice(&low, &x0, &y0);
    object().WorldToDevice(&high, &x1, &y1);
    EXPECT_NEAR(x1 - x0, 800, 40);
    EXPECT_NEAR(y1 - y0, 400, 20);
    EXPECT_GE(x0, 0);
    EXPECT_LE(x1, 800);
    EXPECT_EQ(object().GetLastViewWidth(), object().GetView().width);
}

TEST_F(DrawingView, ViewpointAnglesComeBackFromTheViewTheyMake) {
    openFixture("model_lines.dxf", true);
    struct Case {
        double in, from;
    };
    const Case cases[] = {{0.0, 0.0},          {kPi / 4, kPi / 6},  {kPi / 2, kPi / 4}, {kPi, -kPi / 6},
                          {3 * kPi / 2, kPi / 3}, {5.0, -1.0},      {0.3, 0.0},         {2.0, kPi / 2},
                          {4.0, -kPi / 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in << " " << c.from);
        object().SetViewpointAngles(c.in, c.from);
        const ViewBlock& view = object().GetView();
        EXPECT_NEAR(std::hypot(view.up.x, view.up.y, view.up.z), 1.0, 1e-9);
        EXPECT_NEAR(view.up.x * view.direction.x + view.up.y * view.direction.y + view.up.z * view.direction.z, 0.0,
                    1e-9);
        double in = 0, from = 0;
        CDrawingObject::GetViewpointAngles(&view, &in, &from);
        EXPECT_NEAR(std::remainder(in - c.in, 2 * kPi), 0.0, 1e-9);
        EXPECT_NEAR(from, c.from, 1e-9);
    }
    EXPECT_EQ(object().GetViewHistoryCount(), std::size(cases));
}

TEST_F(DrawingView, ViewpointAnglesOfAViewSeenFromAbove) {
    struct Case {
        Point4 direction, up;
        double in, from;
    };
    const Case cases[] = {
        {{1, 0, 0, 0}, {0, 0, 1, 0}, 0.0, 0.0},
        {{0, -1, 1, 0}, {0, 1, 1, 0}, 3 * kPi / 2, kPi / 4},
        {{0, 0, 1, 0}, {0, 1, 0, 0}, 3 * kPi / 2, kPi / 2},
        {{0, 0, 1, 0}, {-1, 0, 0, 0}, 2 * kPi, kPi / 2},
        {{0, 0, -1, 0}, {0, 0, 0, 0}, kPi / 2, -kPi / 2},
    };
    for (const Case& c : cases) {
        ViewBlock view;
        view.direction = c.direction;
        view.up = c.up;
        double in = -1, from = -1;
        CDrawingObject::GetViewpointAngles(&view, &in, &from);
        EXPECT_NEAR(in, c.in, 1e-12);
        EXPECT_NEAR(from, c.from, 1e-12);
    }
}

TEST_F(DrawingView, TheUcsIconSettingIsTheActiveViewportsElseTheHeaders) {
    EXPECT_EQ(object().GetUcsIconState(), 1);  // nothing open
    openFixture("two_layouts_2000.dxf");
    EXPECT_EQ(object().GetUcsIconState(), 3);
    object().SetUcsIconState(0);
    EXPECT_EQ(object().GetUcsIconState(), 0);
    EXPECT_EQ(object().GetHeaderBlock()->ucsicon, 0);

    // Without an "*ACTIVE" viewport the header's word is the setting.
    VportRecord active;
    dbVportRewind(object().GetDrawing());
    while (dbVportNext(object().GetDrawing(), active) && active.name != "*ACTIVE") {
    }
    ASSERT_EQ(active.name, "*ACTIVE");
    EXPECT_EQ(active.ucsIcon, 0);
    active.name = "SAVED";
    active.ucsIcon = 3;
    ASSERT_EQ(dbVportUpdate(object().GetDrawing(), active), 1);
    object().GetHeaderBlock()->ucsicon = 2;
    EXPECT_EQ(object().GetUcsIconState(), 2);
}

TEST_F(DrawingView, TheActiveViewportAndHeaderTakeTheView) {
    openFixture("model_lines.dxf", true);
    object().SetPresetView(7);
    object().WriteActiveViewport();
    const ViewBlock& view = object().GetView();
    const HeaderBlock& header = *object().GetHeaderBlock();
    EXPECT_EQ(header.viewdir, (Point3{view.direction.x, view.direction.y, view.direction.z}));
    EXPECT_EQ(header.viewsize, view.height);
    EXPECT_EQ(header.viewctr, (Point3{view.target.x, view.target.y, 0.0}));

    // The display reads the view back from the viewport record.
    const ViewBlock written = view;
    object().BeginDisplay();
    EXPECT_NEAR(object().GetView().direction.x, written.direction.x, 1e-9);
    EXPECT_NEAR(object().GetView().direction.z, written.direction.z, 1e-9);
    EXPECT_NEAR(object().GetView().up.x, written.up.x, 1e-9);
    EXPECT_NEAR(object().GetView().up.y, written.up.y, 1e-9);
    EXPECT_NEAR(object().GetView().up.z, written.up.z, 1e-9);
    EXPECT_NEAR(object().GetView().height, written.height, 1e-9);
}

TEST_F(DrawingView, APlanViewsTwistIsThreeQuartersOfATurnLessItsAngle) {
    openFixture("model_lines.dxf", true);
    for (double roll : {0.0, 0.5, kPi / 2, 2.0, kPi, 4.5}) {
        SCOPED_TRACE(roll);
        ViewBlock view = object().GetView();
        view.direction = {0, 0, 1, 0};
        view.up = {-std::sin(roll), std::cos(roll), 0, 0};
        VportRecord record;
        object().WriteViewToViewport(&view, &record);
        double in = 0;
        CDrawingObject::GetViewpointAngles(&view, &in, nullptr);
        EXPECT_NEAR(std::remainder(record.twist - (3 * kPi / 2 - in), 2 * kPi), 0.0, 1e-9);
        EXPECT_NEAR(record.aspect, view.width / view.height, 1e-12);
    }
}

TEST_F(DrawingView, TheViewStateComesBackAfterAPass) {
    openFixture("model_lines.dxf", true);
    object().SetColorMode(2);
    object().SaveViewState();
    const ViewBlock saved = object().GetView();
    const HostRect rect = object().GetDeviceRect();
    object().SetClientSize(1000, 100);
    object().ZoomIn(false);
    object().SetColorMode(1);
    object().RestoreViewState();
    expectSameView(object().GetView(), saved, 0.0);
    EXPECT_EQ(object().GetDeviceRect(), rect);
    EXPECT_EQ(object().GetColorMode(), 2);
    EXPECT_EQ(&object().GetPalette(), &GrayWorkingTable());
    EXPECT_EQ(object().GetLastViewWidth(), saved.width);
}

TEST_F(DrawingView, PresetViewsTurnTheViewAndAnyOtherIndexOnlyPushesIt) {
    openFixture("model_lines.dxf", true);
    const ViewBlock before = object().GetView();
    object().SetPresetView(10);
    expectSameView(object().GetView(), before, 0.0);
    object().SetPresetView(-1);
    expectSameView(object().GetView(), before, 0.0);
    EXPECT_EQ(object().GetViewHistoryCount(), 2u);
    const double s = std::sqrt(0.375);
    struct Case {
        int16_t index;
        Point4 direction, up;
    };
    const Case cases[] = {{0, {0, -1, 0, 0}, {0, 0, 1, 0}}, {3, {1, 0, 0, 0}, {0, 0, 1, 0}},
                          {5, {0, 0, -1, 0}, {0, 1, 0, 0}},
                          {8, {s, s, 0.5, 0}, {-1 / std::sqrt(8.0), -1 / std::sqrt(8.0), std::sqrt(3.0) / 2, 0}}};
    for (const Case& c : cases) {
        object().SetPresetView(c.index);
        EXPECT_EQ(object().GetView().direction, c.direction);
        EXPECT_EQ(object().GetView().up, c.up);
    }
}

TEST_F(DrawingView, AWindowPickedOnTheDeviceBecomesTheView) {
    openFixture("model_lines.dxf", true);
    planView(50, 25, 200, 100);
    const gdi::Point p1{50, 25}, p2{150, 75};
    object().SetViewToWindow(&p1, &p2, 400, 100);
    EXPECT_EQ(object().GetDeviceRect(), (HostRect{0, 0, 400, 100}));
    EXPECT_NEAR(object().GetView().target.x, 50, 1e-9);
    EXPECT_NEAR(object().GetView().target.y, 25, 1e-9);
    // A 100 x 50 window onto a 4 : 1 target: the height stays, the width grows.
    EXPECT_NEAR(object().GetLastViewWidth(), 100, 1e-9);
    EXPECT_NEAR(object().GetView().height, 50, 1e-9);
    EXPECT_NEAR(object().GetView().width, 200, 1e-9);
    double dx = 0, dy = 0;
    object().PixelsToUnits(10, 10, 110, 60, &dx, &dy);
    EXPECT_NEAR(dx, 100 * 200.0 / 400, 1e-9);
    EXPECT_NEAR(dy, 50 * 50.0 / 100, 1e-9);
}

TEST_F(DrawingView, AClosedObjectIgnoresViewOperations) {
    const ViewBlock before = object().GetView();
    object().ZoomIn(true);
    object().ZoomOutAt(10, 10, true);
    object().PanRight();
    object().Pan(0, 0, 10, 10, true);
    object().ZoomWindow(0, 0, 100, 100);
    object().SetClientSize(100, 100);
    object().SetViewpointAngles(1, 1);
    expectSameView(object().GetView(), before, 0.0);
    EXPECT_EQ(object().GetViewHistoryCount(), 0u);
    EXPECT_EQ(object().GetExtentsAspect(), 1.0);
}

} // namespace
} // namespace tracemill::test
