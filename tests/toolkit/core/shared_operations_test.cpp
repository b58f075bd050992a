// The small operations the readers, the display and the writers share: chords of an arc, the
// paper-space switch and the view navigation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>

#include "drawing_fixture.h"
#include "toolkit/core/arc_segments.h"
#include "toolkit/display/paper_space_switch.h"
#include "toolkit/core/style_code_pages.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/view_navigation.h"
#include "toolkit/display/display_context.h"

namespace tracemill {
namespace {

using test::DrawingTest;

TEST(ArcSegmentCount, IsTheArcsShareOfTheCircleAtLeastTwo) {
    struct Case {
        int32_t resolution;
        double sweep;
        int32_t circleChords;
        int32_t chords;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Case& c : {Case{8, std::numbers::pi, 0, 16}, Case{8, -std::numbers::pi, 0, 16}, Case{8, 0.01, 0, 2}, Case{10, std::numbers::pi, 0, 20},
                          Case{10, 2 * std::numbers::pi, 0, 40}, Case{0, std::numbers::pi, 64, 32}, Case{0, std::numbers::pi / 2, 12, 3},
                          Case{8, 0.0, 0, 2}, Case{8, nan, 0, 2},
                          Case{50, 1e300, 0, std::numeric_limits<int32_t>::max()}}) {
        EXPECT_EQ(dbArcSegmentCount(c.resolution, c.sweep, c.circleChords), c.chords)
            << c.resolution << " " << c.sweep << " " << c.circleChords;
    }
}

class StyleCodePages : public DrawingTest {};

TEST_F(StyleCodePages, ANamedStyleKeepsItsCodePageAndOthersTakeTheDefault) {
    drawing->styleCodePages = {{"Standard", 30}, {"Kanji", 38}};
    EXPECT_EQ(dbStyleCodePage(drawing, "kanji"), 38) << "names compare without case";
    EXPECT_EQ(dbStyleCodePage(drawing, "STANDARD"), 30);
    EXPECT_EQ(dbStyleCodePage(drawing, "Other"), dbGetDefaultCodePage());
    EXPECT_EQ(dbStyleCodePage(drawing, "Kanj"), dbGetDefaultCodePage());
    EXPECT_EQ(dbStyleCodePage(nullptr, "Kanji"), dbGetDefaultCodePage());
}

class PaperSpaceSwitch : public DrawingTest {};

TEST_F(PaperSpaceSwitch, ChoosesTheViewportsInUse) {
    dbSetPaperSpaceActive(drawing, true);  // no display yet: nothing happens
    drawing->displayContext = genNewDisplayContext();
    DisplayContext& display = *drawing->displayContext;
    display.paperSpaceViewportCount = 4;
    dbSetPaperSpaceActive(drawing, true);
    EXPECT_EQ(display.paperSpace, 1);
    EXPECT_EQ(display.viewportCount, 4);
    dbSetPaperSpaceActive(drawing, false);
    EXPECT_EQ(display.paperSpace, 0);
    EXPECT_EQ(display.viewportCount, 1);
}

void expectNear(const Point4& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-12);
    EXPECT_NEAR(p.y, y, 1e-12);
    EXPECT_NEAR(p.z, z, 1e-12);
}

ViewBlock topView() {
    ViewBlock view;
    view.direction = {0, 0, 1, 0};
    view.target = {10, 20, 0, 0};
    view.up = {0, 1, 0, 0};
    return view;
}

TEST(ViewNavigation, PanMovesTheTargetAlongRightAndUp) {
    ViewBlock view = topView();
    dbViewPan(view, 2.0, 3.0);
    // Looking down z with y up, right is up x direction = (1, 0, 0).
    expectNear(view.target, 12, 23, 0);
    EXPECT_EQ(view.target.w, 1.0);
    view.up = {0, 2, 0, 0};
    dbViewPan(view, 1.0, 0.0);
    SCOPED_TRACE("right is normalised");
    expectNear(view.target, 13, 23, 0);
}

TEST(ViewNavigation, OrbitsAndRollTurnTheirVectors) {
    ViewBlock view = topView();
    dbViewRoll(view, std::numbers::pi / 2);
    expectNear(view.up, 1, 0, 0);  // turned by -angle about the direction
    expectNear(view.direction, 0, 0, 1);
    EXPECT_EQ(view.target.w, 1.0);

    view = topView();
    dbViewOrbitHorizontal(view, std::numbers::pi / 2);
    expectNear(view.direction, -1, 0, 0);
    view.direction = {1, 0, 0, 0};
    dbViewOrbitHorizontal(view, std::numbers::pi / 2);
    expectNear(view.direction, 0, 0, 1);
    expectNear(view.up, 0, 1, 0);

    view = topView();
    dbViewOrbitVertical(view, std::numbers::pi / 4);
    // right = up x direction = (1, 0, 0); the direction turns by -45 degrees about it.
    const double h = std::sqrt(0.5);
    expectNear(view.direction, 0, h, h);
    expectNear(view.up, 0, h, -h);
    EXPECT_NEAR(view.up.x * view.up.x + view.up.y * view.up.y + view.up.z * view.up.z, 1.0, 1e-12)
        << "up stays a unit vector";
}

TEST(ViewNavigation, RotateAboutAxisNormalises) {
    Point3 v{0, 3, 0};
    dbRotateAboutAxis(v, {5, 5, 5}, {0, 0, 1}, std::numbers::pi / 2);
    EXPECT_NEAR(v.x, 1, 1e-12);
    EXPECT_NEAR(v.y, 0, 1e-12);
    EXPECT_NEAR(v.z, 0, 1e-12);
}

} // namespace
} // namespace tracemill
