// The draw, print and device drivers of the drawing object: the device rectangle and aspect
// fit of a pass, pictures drawn into images (the y flip, a layout drawn whole, a turned print
// with its pens) and the device pass with its failures.
#include <algorithm>
#include <string>
#include <vector>

#include "app/render/devices/output_device.h"
#include "app/render/gdi_output_state.h"
#include "app/render/pen_width_table.h"
#include "drawing_object_test_support.h"
#include "platform/fonts/host_fonts.h"
#include "platform/gdi/image_device_context.h"
#include "platform/gdi/painter_device_context.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill::test {
namespace {

constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kPaper = 0xFFFFFF;

// Ink pixels of an image (anything not white), with their bounding box.
struct InkBox {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

InkBox inkOf(const QImage& image, uint32_t background = kPaper) {
    InkBox box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (rgbAt(image, x, y) == background) continue;
            ++box.count;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
        }
    }
    return box;
}

// An output device that records its calls and fails where told.
class RecordingDevice : public render::COutputDevice {
public:
    bool Begin(const char*, const char* fileName, const char*, double width, double height) override {
        calls.push_back("begin " + std::string(fileName) + " " + std::to_string(width) + " " + std::to_string(height));
        return beginResult;
    }
    bool End() override {
        calls.push_back("end");
        return endResult;
    }
    void MoveTo(double, double) override { ++primitives; }
    void LineTo(double, double) override { ++primitives; }
    void FillPolygon(int32_t, int32_t, render::DevicePoint*) override { ++primitives; }
    void FillPolyPolygon(render::DevicePoint*, const uint32_t*, uint32_t) override { ++primitives; }
    void SetPen(render::ColorRef, double) override {}

    std::vector<std::string> calls;
    int primitives = 0;
    bool beginResult = true;
    bool endResult = true;
};

class DrawDrivers : public DrawingObjectTest {
protected:
    void TearDown() override {
        SetApplicationBackgroundColor(0);
        GetPenWidthTable() = PenWidthTable{};
        for (size_t i = 0; i < kPenWidthTableSize; ++i) GetPenWidthTable()[i].mappedColorIndex = int16_t(i);
        DrawingObjectTest::TearDown();
    }
    // The drawing drawn by DrawToDC into a new image of one colour.
    QImage drawToImage(int width, int height, bool keepView = false, uint32_t fill = 0x123456) {
        QImage image = filledImage(width, height, fill);
        gdi::ImageDeviceContext dc(image);
        object().DrawToDC(&dc, width, height, keepView, false, false, 0);
        dc.end();
        return image;
    }
};

TEST_F(DrawDrivers, APassOfTwoOrFewerPixelsAcrossHasAnEdgeOfOne) {
    openFixture("model_lines.dxf", true);
    struct Case {
        int width, height;
        HostRect expected;
    };
    for (const Case& c : {Case{2, 2, {0, 0, 1, 1}}, Case{3, 3, {0, 0, 2, 2}}, Case{100, 50, {0, 0, 99, 49}},
                          Case{2, 40, {0, 0, 1, 39}}}) {
        drawToImage(c.width, c.height);
        EXPECT_EQ(object().GetDeviceRect(), c.expected) << c.width << " x " << c.height;
        EXPECT_EQ(GetGdiOutputState().width, c.expected.right);
        EXPECT_EQ(GetGdiOutputState().height, c.expected.bottom);
    }
    // One pixel or less: nothing happens.
    const HostRect before = object().GetDeviceRect();
    const QImage untouched = drawToImage(1, 30);
    EXPECT_EQ(object().GetDeviceRect(), before);
    EXPECT_EQ(inkOf(untouched, 0x123456).count, 0);
}

TEST_F(DrawDrivers, TheViewTakesTheTargetsAspectAroundTheLastAppliedView) {
    openFixture("model_lines.dxf", true);
    struct Case {
        const char* name;
        double lastWidth, lastHeight;
        int width, height;
        double expectedWidth, expectedHeight;
    };
    // A device of 2 x 3 (3 x 4 pixels): r = 1.5; the height 1.5 x 0.1 over r is a hair more
    // than 0.1, which shows the first rule is taken at equality.
    const double r = 1.5;
    const Case cases[] = {
        {"equal", 0.1, r * 0.1, 3, 4, (r * 0.1) / r, r * 0.1},
        {"wider target", 100.0, 50.0, 401, 101, 50.0 / (100.0 / 400.0), 50.0},
        {"taller target", 100.0, 50.0, 101, 201, 100.0, 2.0 * 100.0},
    };
    ASSERT_NE((r * 0.1) / r, 0.1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ViewBlock view = object().GetView();
        view.width = 7;
        view.height = 7;
        object().SetView(view);
        object().SetLastViewSize(c.lastWidth, c.lastHeight);
        drawToImage(c.width, c.height);
        EXPECT_EQ(object().GetView().width, c.expectedWidth);
        EXPECT_EQ(object().GetView().height, c.expectedHeight);
        EXPECT_EQ(object().GetLastViewWidth(), c.expectedWidth);
    }
}

TEST_F(DrawDrivers, ALineIsDrawnWhereTheViewPutsItWithYUpwards) {
    openFixture("model_lines.dxf", true);
    SetApplicationBackgroundColor(7);
    ViewBlock view = object().GetView();
    view.target = {50, 25, 0, 1};
    object().SetView(view);
    object().SetLastViewSize(100, 50);
    const QImage image = drawToImage(201, 101);
    // The drawing's corners on the device (y upwards), where WorldToDevice rounds them.
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    const Point3 low{0, 0, 0}, high{100, 50, 0};
    object().WorldToDevice(&low, &x0, &y0);
    object().WorldToDevice(&high, &x1, &y1);
    const int bottom = object().GetDeviceRect().bottom;
    ASSERT_LT(y0, y1);
    // In the image (y downwards) the drawing's lower left corner is at the bottom, within the
    // half pixel the two roundings may differ by.
    const InkBox ink = inkOf(image);
    EXPECT_NEAR(ink.left, x0, 1);
    EXPECT_NEAR(ink.right, x1, 1);
    EXPECT_NEAR(ink.top, bottom - y1, 1);
    EXPECT_NEAR(ink.bottom, bottom - y0, 1);
    // The line along y = 0 is the lowest row of ink, the line at x = 100 the rightmost column;
    // the diagonal leaves the upper left corner empty.
    for (int x = ink.left; x <= ink.right; ++x) EXPECT_EQ(rgbAt(image, x, ink.bottom), kInk) << x;
    for (int y = ink.top; y <= ink.bottom; ++y) EXPECT_EQ(rgbAt(image, ink.right, y), kInk) << y;
    EXPECT_EQ(rgbAt(image, ink.left, ink.top), kPaper);
    EXPECT_EQ(rgbAt(image, ink.left + 20, ink.top + 5), kPaper);
    EXPECT_EQ(rgbAt(image, ink.right - 20, ink.bottom - 5), kPaper);
}

TEST_F(DrawDrivers, KeepingTheViewPutsTheObjectBack) {
    openFixture("model_lines.dxf", true);
    const ViewBlock before = object().GetView();
    const HostRect rect = object().GetDeviceRect();
    const QImage image = drawToImage(300, 100, true);
    EXPECT_TRUE(object().GetView() == before);
    EXPECT_EQ(object().GetDeviceRect(), rect);
    EXPECT_FALSE(object().CanZoomPrevious());
    EXPECT_GT(inkOf(image, 0).count, 0);
}

TEST_F(DrawDrivers, ColourModesChooseTheirColourTable) {
    struct Case {
        int16_t mode;
        const ColorTable* table;
    };
    for (const Case& c : {Case{0, &ColorWorkingTable()}, Case{1, &BlackColorTable()}, Case{2, &GrayWorkingTable()},
                          Case{3, &ColorWorkingTable()}, Case{9, &ColorWorkingTable()}}) {
        GetGdiOutputState().penCache[12].colorIndex = 40;
        GetGdiOutputState().nextSlot = 13;
        object().SetColorMode(c.mode);
        EXPECT_EQ(object().GetColorMode(), c.mode);
        EXPECT_EQ(&object().GetPalette(), c.table) << c.mode;
        EXPECT_EQ(GetGdiOutputState().penCache[12].colorIndex, kNoColorSelected);
        EXPECT_EQ(GetGdiOutputState().nextSlot, kFirstRotatingSlot);
    }
}

TEST_F(DrawDrivers, AModelLayoutOrADrawingWithoutPaperLayoutsIsNotMapped) {
    struct Case {
        const char* fixture;
        int32_t layout;
    };
    for (const Case& c : {Case{"two_layouts_2000.dxf", 0}, Case{"two_layouts_2000.dxf", 2},
                          Case{"model_lines.dxf", 1}, Case{"paper_r12.dxf", 1}}) {
        SCOPED_TRACE(c.fixture);
        CDrawingObject drawing;
        ASSERT_EQ(drawing.Open(renderFixture(c.fixture).c_str(), nullptr, true, ""), 0);
        QImage image = filledImage(120, 90, 0xFF0000);
        {
            gdi::ImageDeviceContext dc(image);
            EXPECT_EQ(drawing.DrawToMappedDC(&dc, c.layout, 0.5, 0), 0);
        }
        EXPECT_EQ(inkOf(image, 0xFF0000).count, 0);
    }
}

TEST_F(DrawDrivers, ALayoutIsDrawnWholeOnWhiteAndTheViewComesBack) {
    openFixture("two_layouts_2000.dxf", true);
    object().ZoomIn(true);
    const ViewBlock before = object().GetView();
    const HostRect rect = object().GetDeviceRect();
    const size_t history = object().GetViewHistoryCount();
    double plot[8];
    ASSERT_EQ(object().GetLayoutPlotSettings(1, plot), 1);
    QImage image = filledImage(400, 300, 0xFF0000);
    {
        gdi::ImageDeviceContext dc(image);
        object().DrawToMappedDC(&dc, 1, 1.0, 0);
    }
    // The plot area at one pixel per unit in the top left, on white.
    const int width = int(plot[6] + 0.5);
    const int height = int(plot[7] + 0.5);
    EXPECT_EQ(rgbAt(image, 5, 5), kPaper);
    EXPECT_EQ(rgbAt(image, width - 2, height - 2), kPaper);
    EXPECT_EQ(rgbAt(image, width + 2, 5), 0xFF0000u);
    EXPECT_EQ(rgbAt(image, 5, height + 2), 0xFF0000u);
    EXPECT_EQ(object().GetCurrentLayoutIndex(), 0);
    EXPECT_TRUE(object().GetView() == before);
    EXPECT_EQ(object().GetDeviceRect(), rect);
    EXPECT_EQ(object().GetViewHistoryCount(), history);
}

TEST_F(DrawDrivers, PrintingTurnsThePageAsThePrintHooksSay) {
    openFixture("model_lines.dxf", true);
    struct Case {
        int16_t rotation;
        bool turned;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{2, false}, Case{3, true}}) {
        SCOPED_TRACE(c.rotation);
        QImage image = filledImage(300, 300, kPaper);
        {
            gdi::PainterDeviceContext dc(&image);
            object().Print(&dc, {0, 0, 0}, {100, 50, 0}, 0, 0, 2.0, c.rotation, 10, -20, 3, 10);
        }
        // The 100 x 50 drawing at 2 pixels a unit: about 201 x 101 pixels, turned a quarter
        // for rotations 1 and 3, shifted by the offset (which, as the page's y, runs upwards).
        const InkBox ink = inkOf(image);
        const int across = c.turned ? 101 : 201;
        const int down = c.turned ? 201 : 101;
        EXPECT_NEAR(ink.left, 10, 2);
        EXPECT_NEAR(ink.top, 20, 2);
        EXPECT_NEAR(ink.right - ink.left + 1, across, 3);
        EXPECT_NEAR(ink.bottom - ink.top + 1, down, 3);
        // Where the drawing's origin lands: rotation 0 lower left, 1 lower right (the point
        // (x, y) goes to (H - y, x) on the page, shown with y downwards), 2 upper right, 3
        // upper left.
        const int originX = c.rotation == 0 || c.rotation == 3 ? ink.left : ink.right;
        const int originY = c.rotation == 0 || c.rotation == 1 ? ink.bottom : ink.top;
        int near = 0;
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) near += rgbAt(image, originX + dx, originY + dy) == kInk;
        }
        EXPECT_GE(near, 3);
    }
}

TEST_F(DrawDrivers, PrintPensAreTheirWidthInInchesAtThePrintersResolution) {
    openFixture("model_lines.dxf", true);
    // The thickness of the line along y = 0, in the middle of it, printed at 10 pixels a
    // millimetre with the pen of colour 7 `inches` wide.
    auto thickness = [&](double inches) {
        GetPenWidthTable()[7].exportWidth = inches;
        QImage image = filledImage(300, 200, kPaper);
        {
            gdi::PainterDeviceContext dc(&image);
            object().Print(&dc, {0, 0, 0}, {100, 50, 0}, 0, 0, 2.0, 0, 10, -10, 3, 10);
        }
        const InkBox ink = inkOf(image);
        const int x = (ink.left + ink.right) / 2;
        int y = ink.bottom;
        while (y >= ink.top && rgbAt(image, x, y) != kInk) --y;  // the lowest ink of the column
        int rows = 0;
        for (; y >= ink.top && rgbAt(image, x, y) == kInk; --y) ++rows;
        return rows;
    };
    EXPECT_EQ(thickness(0.0), 1);
    EXPECT_EQ(GetPenWidthTable()[7].printWidth, 0);
    const int thick = thickness(0.01);
    EXPECT_EQ(GetPenWidthTable()[7].printWidth, 2);  // 0.01 x 25.4 x 10 = 2.54
    EXPECT_GE(thick, 2);
    EXPECT_LE(thick, 3);
}

TEST_F(DrawDrivers, PrintingAndExportKeepTheCurveQuality) {
    openFixture("model_lines.dxf", true);
    dbSetCurveResolution(27);
    const int glyphSegments = dbSetGlyphCurveSegments(5);
    QImage image = filledImage(300, 200, kPaper);
    {
        gdi::PainterDeviceContext dc(&image);
        object().Print(&dc, {0, 0, 0}, {100, 50, 0}, 0, 0, 2.0, 0, 0, 0, 3, 10);
    }
    EXPECT_EQ(dbGetCurveResolution(), 27);
    EXPECT_EQ(dbSetGlyphCurveSegments(0), 5);
    EXPECT_EQ(dbGetCurveResolution(), 27);
    dbSetGlyphCurveSegments(glyphSegments);
    EXPECT_EQ(GetGdiOutputState().printOutput, 0);
    EXPECT_EQ(GetGdiOutputState().deviceHooks, 0);
}

TEST_F(DrawDrivers, TheDevicePassReportsEveryFailure) {
    openFixture("model_lines.dxf", true);
    FitDeviceScale(800, 600);
    struct Case {
        const char* name;
        int32_t width, height;
        bool begins, ends;
        int32_t expected;
        size_t calls;
    };
    const Case cases[] = {
        {"written", 800000, 600000, true, true, 1, 2},
        {"no width", 0, 600000, true, true, 0, 0},
        {"no height", 800000, 0, true, true, 0, 0},
        {"begin fails", 800000, 600000, false, true, 0, 1},
        {"end fails", 800000, 600000, true, false, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDevice device;
        device.beginResult = c.begins;
        device.endResult = c.ends;
        EXPECT_EQ(object().ExportToDevice("picture.svg", c.width, c.height, &device), c.expected);
        ASSERT_EQ(device.calls.size(), c.calls);
        if (c.calls > 0) {
            EXPECT_EQ(device.calls[0], "begin picture.svg 800.000000 600.000000");
        }
        if (c.begins && c.calls > 0) {
            EXPECT_GT(device.primitives, 0);
        }
        EXPECT_EQ(GetGdiOutputState().deviceHooks, 0);
    }
}

} // namespace
} // namespace tracemill::test
