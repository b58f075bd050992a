// Viewports and the view transform: the view matrix, the window matrix, the up direction of a
// twisted view, the target on the ground, and the viewports of model space and of a layout.
#include "toolkit/display/viewports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "test_paths.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill {
namespace {

void expectPoint(const Point4& actual, const Point4& expected, const std::string& what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-9) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-9) << what;
}

Point4 through(const Matrix4& m, Point4 p) {
    Point4 out;
    genPointTransform(p, m, out);
    return out;
}

void expectMatrix(const Matrix4& actual, const Matrix4& expected, const std::string& what) {
    for (size_t i = 0; i < 16; ++i) EXPECT_NEAR(actual.m[i], expected.m[i], 1e-9) << what << " element " << i;
}

TEST(ViewTransform, TheViewMatrixTurnsTheDirectionOntoZAndUpOntoY) {
    const struct {
        const char* name;
        Point4 direction, up;
    } cases[] = {
        {"plan", {0, 0, 1, 0}, {0, 1, 0, 0}},
        {"from below", {0, 0, -1, 0}, {0, 1, 0, 0}},
        {"front", {0, -1, 0, 0}, {0, 0, 1, 0}},
        {"side", {1, 0, 0, 0}, {0, 0, 1, 0}},
        {"iso", {1 / std::sqrt(3.0), -1 / std::sqrt(3.0), 1 / std::sqrt(3.0), 0}, {0, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        const Point4 up = genUpFromTwist(c.direction, 0.0);
        Matrix4 m;
        genViewMatrix(c.direction, {1, 2, 3, 1}, up, 0.0, 0.0, m);
        expectPoint(through(m, {c.direction.x, c.direction.y, c.direction.z, 0}), {0, 0, 1, 0}, c.name);
        expectPoint(through(m, {1, 2, 3, 1}), {0, 0, 0, 1}, std::string(c.name) + ": the target");
        const Point4 u = through(m, up);
        EXPECT_NEAR(u.x, 0.0, 1e-9) << c.name;
        EXPECT_GT(u.y, 0.0) << c.name;
    }
}

TEST(ViewTransform, AViewFromBelowTurnsHalfAboutX) {
    // Half a turn about x brings -z onto +z; half a turn about z then brings +y back up, so that
    // x is mirrored, as it is for a viewer below the plane.
    Matrix4 m;
    genViewMatrix({0, 0, -1, 0}, {0, 0, 0, 1}, {0, 1, 0, 0}, 0.0, 0.0, m);
    expectMatrix(m, {{-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1}}, "mirrored in x");
}

TEST(ViewTransform, UpDirectionOfTwistedViews) {
    const double pi = std::numbers::pi;
    const struct {
        const char* name;
        Point4 direction;
        double twist;
        Point4 up;
    } cases[] = {
        {"plan", {0, 0, 1, 0}, 0.0, {0, 1, 0, 0}},
        {"plan turned a quarter", {0, 0, 1, 0}, pi / 2, {1, 0, 0, 0}},
        {"front", {0, -1, 0, 0}, 0.0, {0, 0, 1, 0}},
        {"scaled direction", {0, -5, 0, 0}, 0.0, {0, 0, 1, 0}},
    };
    for (const auto& c : cases) expectPoint(genUpFromTwist(c.direction, c.twist), c.up, c.name);
}

TEST(ViewTransform, TheWindowMatrixPutsTheViewCentreHalfAUnitInside) {
    Matrix4 w;
    genWindowMatrix({0, 0, 200, 100}, 20.0, 10.0, w);
    expectPoint(through(w, {0, 0, 0, 1}), {100.5, 50.5, 0, 1}, "centre");
    expectPoint(through(w, {10, 5, 0, 1}), {200.5, 100.5, 0, 1}, "corner");
}

TEST(ViewTransform, TheTargetMovesAlongTheLineOfSightOntoTheGround) {
    Matrix4 m;
    genViewMatrix({0, 0, 1, 0}, {3, 4, 5, 1}, {0, 1, 0, 0}, 1.0, 2.0, m);
    expectPoint(genTargetOnGround(m), {4, 6, 0, 1}, "plan view with an offset");
    genViewMatrix({0, -1, 0, 0}, {3, 4, 5, 1}, {0, 0, 1, 0}, 0.0, 0.0, m);
    expectPoint(genTargetOnGround(m), {3, 0, 5, 1}, "a front view meets y = 0");
}

class ViewportSetupTest : public test::DisplayTest {
protected:
    // A VIEWPORT of the paper-space block.
    EntityRecord paperViewport(int16_t id, Point3 centre, double width, double height) {
        EntityRecord e = entity(kEntityViewport);
        e.header.flags |= kEntityInPaperSpace;
        ViewportBody& body = e.bodyAs<ViewportBody>();
        body.centre = centre;
        body.width = width;
        body.height = height;
        body.id = id;
        body.status = id == 1 ? 1 : 2;
        body.viewDirection = {0, 0, 1};
        body.viewHeight = height;
        body.viewCentre = {centre.x, centre.y};
        return e;
    }
};

TEST_F(ViewportSetupTest, WithoutAnActiveVportTheViewHasNoSize) {
    drawing->vports.clear();
    ViewBlock view;
    ASSERT_EQ(genBeginDisplay(drawing, view, kDevice, nullptr, nullptr), 1);
    expectPoint(view.direction, {0, 0, 1, 0}, "direction");
    expectPoint(view.target, {0, 0, 0, 1}, "target");
    EXPECT_EQ(view.width, 0.0);
    EXPECT_EQ(view.height, 0.0);
    // A view without size, or a device rectangle without area, leaves the transforms alone.
    const Matrix4 before = context().viewports[0].worldToDevice;
    genPrepareView(drawing, view, kDevice, nullptr);
    ViewBlock square = squareView();
    genPrepareView(drawing, square, HostRect{0, 0, 100, 0}, nullptr);
    expectMatrix(context().viewports[0].worldToDevice, before, "unchanged");
    EXPECT_TRUE(std::isfinite(context().extentsView.width));
    EXPECT_TRUE(std::isfinite(context().extentsView.height));
}

TEST_F(ViewportSetupTest, TheActiveVportGivesTheViewAndTheAspectFitsTheDevice) {
    VportRecord& active = static_cast<StoredRecord<VportRecord>*>(drawing->vports.first)->record;
    active.centre = {10, 20};
    active.height = 50;
    active.aspect = 1.0;
    active.direction = {0, 0, 1};
    active.target = {0, 0, 0};
    ViewBlock view;
    ASSERT_EQ(genBeginDisplay(drawing, view, HostRect{0, 0, 200, 100}, nullptr, nullptr), 1);
    EXPECT_DOUBLE_EQ(view.height, 50.0);
    EXPECT_DOUBLE_EQ(view.width, 100.0) << "the device is wider than the stored aspect";
    expectPoint(view.target, {10, 20, 0, 1}, "the view centre on the ground");
    expectPoint(through(context().viewports[0].worldToDevice, {10, 20, 0, 1}), {100.5, 50.5, 0, 1}, "centre");
}

TEST_F(ViewportSetupTest, ALayoutWithoutViewportsShowsALetterSheet) {
    drawing->header->tilemode = 0;
    drawing->header->extmin = {1e20, 1e20, 1e20};
    drawing->header->extmax = {-1e20, -1e20, -1e20};
    ViewBlock view;
    ASSERT_EQ(genBeginDisplay(drawing, view, HostRect{0, 0, 1100, 850}, nullptr, nullptr), 1);
    EXPECT_EQ(context().viewportCount, 1);
    EXPECT_DOUBLE_EQ(view.height, 8.5);
    EXPECT_DOUBLE_EQ(view.width, 11.0);
    expectPoint(view.target, {5.5, 4.25, 0, 1}, "centred on the sheet");
}

TEST_F(ViewportSetupTest, TheFiftiethViewportIsNotShownAndOffOnesAreLeftOut) {
    drawing->header->tilemode = 0;
    add(paperViewport(1, {5, 4, 0}, 10, 8), drawing->paperSpace);
    EntityRecord off = paperViewport(2, {1, 1, 0}, 1, 1);
    off.bodyAs<ViewportBody>().statusFlags = 0x20000;
    add(off, drawing->paperSpace);
    for (int i = 0; i < 50; ++i) add(paperViewport(int16_t(3 + i), {1, 1, 0}, 1, 1), drawing->paperSpace);
    begin();
    EXPECT_EQ(context().viewportCount, 49);
}

TEST_F(ViewportSetupTest, TheSheetMovesToTheFrontOfItsBlock) {
    drawing->header->tilemode = 0;
    const Handle other = add(paperViewport(2, {1, 1, 0}, 1, 1), drawing->paperSpace);
    const Handle sheet = add(paperViewport(1, {5, 4, 0}, 10, 8), drawing->paperSpace);
    EXPECT_EQ(genViewportFirst(drawing, drawing->handles.paperSpaceBlock), 1);
    EXPECT_EQ(EntityList::asNode(drawing->paperSpace->first)->record.header.handle, sheet);
    EXPECT_EQ(EntityList::asNode(drawing->paperSpace->last)->record.header.handle, other);
    EXPECT_EQ(genViewportFirst(drawing, drawing->handles.paperSpaceBlock), 0) << "already first";
}

TEST_F(ViewportSetupTest, AViewportPartlyOffTheDeviceKeepsItsWindowButIsClamped) {
    drawing->header->tilemode = 0;
    add(paperViewport(1, {5, 4, 0}, 10, 8), drawing->paperSpace);
    add(paperViewport(2, {9, 4, 0}, 4, 4), drawing->paperSpace);
    begin(nullptr, HostRect{0, 0, 1000, 800}, [] {
        ViewBlock v;
        v.target = {5, 4, 0, 1};
        v.width = 10;
        v.height = 8;
        return v;
    }());
    const ViewportRecord& v = context().viewports[1];
    EXPECT_DOUBLE_EQ(v.deviceRect.x0, 700.5);
    EXPECT_DOUBLE_EQ(v.deviceRect.x1, 1100.5);
    EXPECT_DOUBLE_EQ(v.clampedRect.x1, 1000.0);
    EXPECT_DOUBLE_EQ(v.worldToDevice.at(0, 0), 100.0) << "4 sheet units of 4 view units over 400 device units";
}

TEST(SelectRecordHandle, SelectsTheLayoutBlocks) {
    Drawing drawing;
    drawing.handles.paperSpaceBlock = Handle(0x1E);
    drawing.handles.modelSpaceBlock = Handle(0x1F);
    Handle out;
    EXPECT_EQ(genSelectRecordHandle(&drawing, out, 0), 1);
    EXPECT_EQ(out, Handle(0x1E));
    EXPECT_EQ(genSelectRecordHandle(&drawing, out, 1), 1);
    EXPECT_EQ(out, Handle(0x1F));
    EXPECT_EQ(genSelectRecordHandle(&drawing, out, 2), 0);
    drawing.handles.modelSpaceBlock = Handle();
    EXPECT_EQ(genSelectRecordHandle(&drawing, out, 1), 0);
}

TEST(ViewportDefaults, SizesThatAreNotPositiveBecomeOne) {
    ViewportBody body;
    body.viewHeight = -2;
    body.width = 0;
    genViewportDefaults(body);
    EXPECT_EQ(body.viewHeight, 1.0);
    EXPECT_EQ(body.width, 1.0);
}

// The layout of two_viewports_2000.dxf on a device of 1000 x 800: the sheet (10 x 8 around
// (5, 4)) and two viewports of 4 x 6 sheet units at (2.5, 4) and (7.5, 4), looking at model
// space around (50, 50) with a view height of 100 and around (0, 0) with a view height of 20.
class TwoViewportLayoutTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        open("two_viewports_2000.dxf");
    }
    // Opens a layout of the fixture folder in place of the current one and begins its display.
    void open(const char* name) {
        dbFreeDrawing(layout);
        const std::string path = (test::testDataDir() / "display" / name).string();
        layout = rdOpenDrawing(path.c_str(), kOpenOrdinary, 0);
        ASSERT_NE(layout, nullptr) << dbGetError();
        ASSERT_EQ(genBeginDisplay(layout, view, kSheetDevice, nullptr, nullptr), 1);
    }
    void TearDown() override {
        dbFreeDrawing(layout);
        DisplayTest::TearDown();
    }
    static constexpr HostRect kSheetDevice{0, 0, 1000, 800};
    Drawing* layout = nullptr;
    ViewBlock view;
};

// x' = (x - cx) s + tx, y' = (y - cy) s + ty, z' = z s.
Matrix4 planMatrix(double cx, double cy, double s, double tx, double ty) {
    return {{s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, tx - cx * s, ty - cy * s, 0, 1}};
}

TEST_F(TwoViewportLayoutTest, MatricesAndDeviceRectanglesAreTheHandComputedOnes) {
    const DisplayContext& c = *layout->displayContext;
    ASSERT_EQ(c.viewportCount, 3);
    EXPECT_DOUBLE_EQ(view.width, 10.0);
    EXPECT_DOUBLE_EQ(view.height, 8.0);
    expectPoint(view.target, {5, 4, 0, 1}, "the sheet's centre");
    expectMatrix(c.viewports[0].worldToDevice, planMatrix(5, 4, 100, 500.5, 400.5), "sheet");
    expectMatrix(c.viewports[1].worldToDevice, planMatrix(50, 50, 6, 251, 401), "left viewport");
    expectMatrix(c.viewports[2].worldToDevice, planMatrix(0, 0, 30, 751, 401), "right viewport");
    EXPECT_EQ(c.viewports[1].deviceRect, (DeviceRect{50.5, 100.5, 450.5, 700.5}));
    EXPECT_EQ(c.viewports[2].deviceRect, (DeviceRect{550.5, 100.5, 950.5, 700.5}));
    EXPECT_EQ(c.viewports[2].clampedRect, c.viewports[2].deviceRect);
    EXPECT_EQ(c.viewports[0].clampedRect, (DeviceRect{0, 0, 1000.5, 800.5}));
}

TEST_F(TwoViewportLayoutTest, TheModelSpaceLineArrivesClippedInBothViewports) {
    // The sheet first: the borders of the two viewports. Then the LINE (0, 0)-(100, 50): in the
    // left viewport from device (-49, 101) to (551, 401), cut at x 50.5 and 450.5; in the right
    // one from (751, 401) to (3751, 1901), cut at y 700.5 and then at x 950.5. The clipper hands
    // each piece from its far end back.
    genPrepareView(layout, view, kSheetDevice, nullptr);
    recorder.clear();
    ASSERT_EQ(genDrawDrawing(layout), 1);
    EXPECT_EQ(strokes(), (std::vector<std::string>{"moveTo 50 100", "lineTo 450 100", "lineTo 450 700", "lineTo 50 700",
                                                   "lineTo 50 100", "moveTo 550 100", "lineTo 950 100",
                                                   "lineTo 950 700", "lineTo 550 700", "lineTo 550 100",
                                                   "moveTo 450 350", "lineTo 50 150", "moveTo 950 500",
                                                   "lineTo 751 401"}));
    Point3 min, max;
    ASSERT_EQ(genCollectedExtents(layout, min, max), 1);
    EXPECT_NEAR(min.x, 0.5, 1e-9) << "the viewports' frames on the sheet";
    EXPECT_NEAR(max.x, 9.5, 1e-9);
}

TEST_F(TwoViewportLayoutTest, ARayFromOutsideEveryViewportIsDrawnOnlyInTheOneItCrosses) {
    // The RAY from (10, 10) along (1, 1) starts between the two views. In the left viewport
    // (device x = 6 (x - 50) + 251) it enters at the left edge x 50.5 and leaves at the right
    // edge x 450.5 (the clipper hands the piece from its far end back); the line behind its
    // base would cross the right viewport, the RAY does not.
    open("ray_two_viewports_2000.dxf");
    genPrepareView(layout, view, kSheetDevice, nullptr);
    recorder.clear();
    EXPECT_EQ(genDrawDrawing(layout), 1);
    EXPECT_EQ(strokes(), (std::vector<std::string>{"moveTo 50 100", "lineTo 450 100", "lineTo 450 700",
                                                   "lineTo 50 700", "lineTo 50 100", "moveTo 550 100",
                                                   "lineTo 950 100", "lineTo 950 700", "lineTo 550 700",
                                                   "lineTo 550 100", "moveTo 450 600", "lineTo 50 200"}));
}

// Without viewport 1 the display makes the sheet itself: viewports 2 and 3 follow it, each
// with its own entity (the walk over them once read one entity past the last).
TEST_F(TwoViewportLayoutTest, ViewportsAfterASheetOfTheDisplaysOwn) {
    open("viewports_from_two_2000.dxf");
    const DisplayContext& c = *layout->displayContext;
    EXPECT_EQ(c.viewportCount, 3);
    EXPECT_EQ(c.viewports[1].viewHeight, 100.0);  // viewport 2
    EXPECT_EQ(c.viewports[2].viewHeight, 20.0);   // viewport 3
    genPrepareView(layout, view, kSheetDevice, nullptr);
    recorder.clear();
    EXPECT_EQ(genDrawDrawing(layout), 1);
    EXPECT_FALSE(strokes().empty());
}

} // namespace
} // namespace tracemill
