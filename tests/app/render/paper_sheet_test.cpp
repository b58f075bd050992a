// What the screen shows around the entities, as pixels of a 400 x 300 image: the background
// of each colour mode, the paper sheet of a paper layout with its outline, shadow and printable
// frame, and the UCS icon.
#include <cmath>

#include "drawing_object_test_support.h"
#include "platform/gdi/image_device_context.h"

namespace tracemill::test {
namespace {

constexpr int kImageWidth = 400;
constexpr int kImageHeight = 300;
constexpr uint32_t kGround = 0xADAEAD;
constexpr uint32_t kWhitePixel = 0xFFFFFF;
constexpr uint32_t kBlackPixel = 0x000000;
constexpr uint32_t kRedPixel = 0xFF0000;
constexpr uint32_t kGreenPixel = 0x00FF00;
constexpr uint32_t kBluePixel = 0x0000FF;

// Target pixels (y downwards) of a drawing-unit box.
struct TargetBox {
    int left, top, right, bottom;
};

class PaperAndIcon : public DrawingObjectTest {
protected:
    void TearDown() override {
        SetApplicationBackgroundColor(0);
        DrawingObjectTest::TearDown();
    }
    QImage drawBackground(bool paper, uint32_t start = 0x123456) {
        QImage image = filledImage(kImageWidth, kImageHeight, start);
        gdi::ImageDeviceContext dc(image);
        object().DrawPaperBackground(dc, kImageWidth, kImageHeight, paper);
        dc.end();
        return image;
    }
    QImage drawIcon() {
        QImage image = filledImage(kImageWidth, kImageHeight, kBlackPixel);
        gdi::ImageDeviceContext dc(image);
        object().DrawUcsIcon(dc, kImageWidth, kImageHeight);
        dc.end();
        return image;
    }
    TargetBox box(double x0, double y0, double x1, double y1) {
        int ax = 0, ay = 0, bx = 0, by = 0;
        const Point3 low{x0, y0, 0}, high{x1, y1, 0};
        object().WorldToDevice(&low, &ax, &ay);
        object().WorldToDevice(&high, &bx, &by);
        const int bottom = object().GetDeviceRect().bottom;
        return {ax, bottom - by, bx, bottom - ay};
    }
    // The first paper layout of two_layouts_2000.dxf (its sheet is 297 x 210 from the origin,
    // margins 10, 20, 30, 40, plot type 5) in a view of one unit per pixel centred on (x, y).
    void showSheet(double x, double y) {
        openFixture("two_layouts_2000.dxf", true);
        object().SetActiveLayout(1);
        planView(x, y, kImageWidth, kImageHeight);
    }
};

TEST_F(PaperAndIcon, APaperLayoutShowsTheSheetOnItsGround) {
    showSheet(148.5, 105);
    const QImage image = drawBackground(true);
    const TargetBox sheet = box(0, 0, 297, 210);
    const int midX = (sheet.left + sheet.right) / 2;
    const int midY = (sheet.top + sheet.bottom) / 2;
    ASSERT_GT(sheet.left, 10);
    ASSERT_LT(sheet.right, kImageWidth - 10);

    EXPECT_EQ(rgbAt(image, 2, 2), kGround);
    EXPECT_EQ(rgbAt(image, kImageWidth - 2, 2), kGround);
    EXPECT_EQ(rgbAt(image, midX, midY), kWhitePixel);
    EXPECT_EQ(rgbAt(image, sheet.left + 1, midY), kWhitePixel);
    // The outline.
    EXPECT_EQ(rgbAt(image, sheet.left, midY), kBlackPixel);
    EXPECT_EQ(rgbAt(image, sheet.right, midY), kBlackPixel);
    EXPECT_EQ(rgbAt(image, midX, sheet.top), kBlackPixel);
    EXPECT_EQ(rgbAt(image, midX, sheet.bottom), kBlackPixel);
    EXPECT_EQ(rgbAt(image, sheet.left - 1, midY), kGround);
    EXPECT_EQ(rgbAt(image, midX, sheet.top - 1), kGround);
    // The shadow: 5 pixels right and below, starting 5 pixels in from the corners.
    for (int d = 1; d < 5; ++d) {
        EXPECT_EQ(rgbAt(image, sheet.right + d, midY), kBlackPixel) << d;
        EXPECT_EQ(rgbAt(image, midX, sheet.bottom + d), kBlackPixel) << d;
    }
    EXPECT_EQ(rgbAt(image, sheet.right + 5, midY), kGround);
    EXPECT_EQ(rgbAt(image, midX, sheet.bottom + 5), kGround);
    EXPECT_EQ(rgbAt(image, sheet.right + 2, sheet.top + 2), kGround);
    EXPECT_EQ(rgbAt(image, sheet.right + 2, sheet.top + 6), kBlackPixel);
    EXPECT_EQ(rgbAt(image, sheet.left + 2, sheet.bottom + 2), kGround);
    EXPECT_EQ(rgbAt(image, sheet.left + 6, sheet.bottom + 2), kBlackPixel);
    EXPECT_EQ(rgbAt(image, sheet.right + 4, sheet.bottom + 4), kBlackPixel);

    // The printable area inside the margins, framed by a dashed line.
    const TargetBox frame = box(10, 20, 297 - 30, 210 - 40);
    int ink = 0, paper = 0;
    for (int y = frame.top + 1; y < frame.bottom; ++y) {
        const uint32_t pixel = rgbAt(image, frame.left, y);
        ink += pixel == kBlackPixel;
        paper += pixel == kWhitePixel;
        EXPECT_EQ(rgbAt(image, frame.left + 1, y), kWhitePixel);
    }
    EXPECT_GT(ink, paper);
    EXPECT_GT(paper, 10);
    EXPECT_EQ(ink + paper, frame.bottom - frame.top - 1);
    EXPECT_EQ(rgbAt(image, frame.left - 1, midY), kWhitePixel);
}

TEST_F(PaperAndIcon, ASheetOutsideTheTargetLeavesOnlyTheGround) {
    showSheet(5000, -5000);
    const QImage image = drawBackground(true);
    for (int y = 0; y < kImageHeight; ++y) {
        for (int x = 0; x < kImageWidth; ++x) ASSERT_EQ(rgbAt(image, x, y), kGround) << x << "," << y;
    }
}

TEST_F(PaperAndIcon, AnEdgeOutsideTheTargetIsNotDrawn) {
    showSheet(250, 105);
    const QImage image = drawBackground(true);
    const TargetBox sheet = box(0, 0, 297, 210);
    ASSERT_LT(sheet.left, 0);
    const int midY = (sheet.top + sheet.bottom) / 2;
    EXPECT_EQ(rgbAt(image, 0, midY), kWhitePixel);
    EXPECT_EQ(rgbAt(image, sheet.right, midY), kBlackPixel);
    EXPECT_EQ(rgbAt(image, 0, sheet.top), kBlackPixel);
    // The bottom shadow runs from the target's edge.
    EXPECT_EQ(rgbAt(image, 0, sheet.bottom + 2), kBlackPixel);
}

TEST_F(PaperAndIcon, TheBackgroundFollowsTheColourModeAndTheBackgroundColour) {
    openFixture("two_layouts_2000.dxf", true);
    struct Case {
        int16_t mode;
        uint16_t background;
        uint32_t expected;
    };
    const Case cases[] = {
        {3, 5, kBluePixel}, {2, 5, 0x1D1D1D}, {1, 5, kWhitePixel}, {3, 7, kWhitePixel}, {2, 7, kWhitePixel},
        {2, 1, 0x4C4C4C},   {3, 0, kBlackPixel}, {0, 3, kGreenPixel}, {1, 0, kWhitePixel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " background " << c.background);
        SetApplicationBackgroundColor(c.background);
        object().SetColorMode(c.mode);
        for (bool paper : {false, true}) {
            const QImage image = drawBackground(paper);
            EXPECT_EQ(rgbAt(image, 0, 0), c.expected);
            EXPECT_EQ(rgbAt(image, kImageWidth - 1, kImageHeight - 1), c.expected);
        }
    }
    // On a paper layout drawn without its sheet, too.
    object().SetActiveLayout(1);
    planView(5000, 5000, kImageWidth, kImageHeight);
    SetApplicationBackgroundColor(5);
    object().SetColorMode(3);
    EXPECT_EQ(rgbAt(drawBackground(false), 10, 10), kBluePixel);
    EXPECT_EQ(rgbAt(drawBackground(true), 10, 10), kGround);
}

TEST_F(PaperAndIcon, TheIconInTheCornerShowsItsThreeLabelledAxes) {
    openFixture("model_lines.dxf", true);
    planView(50, 25, kImageWidth, kImageHeight);
    object().SetUcsIconState(1);
    const QImage image = drawIcon();
    const int row = kImageHeight - 45;
    for (int x = 46; x < 72; ++x) EXPECT_EQ(rgbAt(image, x, row), kRedPixel) << x;
    for (int y = row - 1; y > row - 28; --y) EXPECT_EQ(rgbAt(image, 45, y), kGreenPixel) << y;
    auto countIn = [&](int x0, int y0, int x1, int y1, uint32_t colour) {
        int n = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) n += rgbAt(image, x, y) == colour;
        }
        return n;
    };
    // Arrow heads and labels: the X label right of the arm's end, Y above, Z (seen end-on)
    // beside the origin.
    EXPECT_GT(countIn(73, row - 8, 80, row - 1, kRedPixel), 0);
    EXPECT_GT(countIn(82, row - 20, 100, row - 1, kRedPixel), 0);
    EXPECT_GT(countIn(47, row - 35 - 20, 65, row - 35 - 1, kGreenPixel), 0);
    EXPECT_GT(countIn(47, row - 20, 65, row - 1, kBluePixel), 0);
    EXPECT_EQ(countIn(0, 0, kImageWidth - 1, kImageHeight - 1, kWhitePixel), 0);
}

TEST_F(PaperAndIcon, TheIconSitsAtTheOriginWhenThereIsRoom) {
    openFixture("model_lines.dxf", true);
    object().SetUcsIconState(3);
    // The world origin lies at device point (201 - x, 151 - y) of a view centred on (x, y).
    struct Case {
        double centreX, centreY;
        bool atOrigin;
    };
    const Case cases[] = {
        {0, 0, true},         // the origin in the middle
        {-165, 0, false},     // 34 pixels from the right edge
        {167, 0, false},      // 34 pixels from the left edge
        {0, -115, false},     // 34 pixels from the top
        {0, 117, false},      // 34 pixels from the bottom
        {-164, -114, true},   // 35 pixels from the right edge and the top
        {166, 116, true},     // 35 pixels from the left edge and the bottom
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.centreX << "," << c.centreY);
        planView(c.centreX, c.centreY, kImageWidth, kImageHeight);
        int originX = 45, originY = 45;
        if (c.atOrigin) {
            const Point3 origin{};
            object().WorldToDevice(&origin, &originX, &originY);
        }
        const int row = kImageHeight - originY;
        const QImage image = drawIcon();
        EXPECT_EQ(rgbAt(image, originX + 10, row), kRedPixel);
        EXPECT_EQ(rgbAt(image, originX, row - 10), kGreenPixel);
        EXPECT_EQ(rgbAt(image, originX - 5, row) == kWhitePixel, c.atOrigin);
        // The ring's box reaches 5 pixels left and up but, as GDI boxes do, only 4 right and down.
        EXPECT_EQ(rgbAt(image, originX, row + 4) == kWhitePixel, c.atOrigin);
        int white = 0;
        for (int y = 0; y < kImageHeight; ++y) {
            for (int x = 0; x < kImageWidth; ++x) white += rgbAt(image, x, y) == kWhitePixel;
        }
        EXPECT_EQ(white > 0, c.atOrigin);
    }
}

TEST_F(PaperAndIcon, AnArmOnePixelOffItsAxisIsDrawnStraight) {
    openFixture("model_lines.dxf", true);
    planView(50, 25, kImageWidth, kImageHeight);
    object().SetUcsIconState(1);
    // Turned by 0.03 radians the arms end one pixel beside the origin's row and column.
    ViewBlock view = object().GetView();
    view.up = {-std::sin(0.03), std::cos(0.03), 0, 0};
    object().SetView(view);
    prepareView();
    const QImage image = drawIcon();
    const int row = kImageHeight - 45;
    for (int x = 46; x < 70; ++x) {
        EXPECT_EQ(rgbAt(image, x, row), kRedPixel) << x;
        EXPECT_NE(rgbAt(image, x, row - 1), kRedPixel) << x;
        EXPECT_NE(rgbAt(image, x, row + 1), kRedPixel) << x;
    }
    for (int y = row - 2; y > row - 26; --y) {
        EXPECT_EQ(rgbAt(image, 45, y), kGreenPixel) << y;
        EXPECT_NE(rgbAt(image, 44, y), kGreenPixel) << y;
        EXPECT_NE(rgbAt(image, 46, y), kGreenPixel) << y;
    }
}

TEST_F(PaperAndIcon, AnIconSwitchedOffDrawsNothing) {
    openFixture("model_lines.dxf", true);
    planView(50, 25, kImageWidth, kImageHeight);
    for (uint16_t state : {0, 2}) {
        object().SetUcsIconState(state);
        const QImage image = drawIcon();
        for (int y = 0; y < kImageHeight; y += 3) {
            for (int x = 0; x < kImageWidth; x += 3) ASSERT_EQ(rgbAt(image, x, y), kBlackPixel);
        }
    }
}

} // namespace
} // namespace tracemill::test
