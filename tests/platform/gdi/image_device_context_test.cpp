#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>

#include "platform/gdi/image_device_context.h"

namespace tracemill::gdi {
namespace {

class ImageContext : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "gdi_qt_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }
    static int count(const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
        return n;
    }
};

TEST_F(ImageContext, LineOfTenPixelsAndPolygonInterior) {
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        ImageDeviceContext dc(image);
        dc.selectPen({PenStyle::Solid, 0, rgb(255, 0, 0)});
        dc.moveTo({0, 0});
        dc.lineTo({10, 0});
        dc.selectPen({PenStyle::Null, 0, 0});
        dc.selectBrush({BrushStyle::Solid, rgb(0, 0, 255)});
        const Point square[4] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
        dc.polygon(square);
    }
    EXPECT_EQ(count(image, qRgb(255, 0, 0)), 10);
    EXPECT_EQ(image.pixel(10, 0), qRgb(255, 255, 255));
    EXPECT_EQ(count(image, qRgb(0, 0, 255)), 100);
    EXPECT_EQ(image.pixel(19, 19), qRgb(0, 0, 255));
}

TEST_F(ImageContext, PolygonClipUntilRestore) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        ImageDeviceContext dc(image);
        dc.saveDc();
        const Point triangle[3] = {{0, 0}, {20, 0}, {0, 20}};
        ASSERT_TRUE(dc.intersectClipPolygon(triangle));
        dc.fillRect({0, 0, 20, 20}, rgb(0, 128, 0));
        dc.restoreDc();
        dc.setPixel({19, 19}, rgb(0, 128, 0)); // no clip any more
    }
    EXPECT_EQ(image.pixel(2, 2), qRgb(0, 128, 0));
    EXPECT_EQ(image.pixel(15, 15), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(19, 19), qRgb(0, 128, 0));
    EXPECT_EQ(count(image, qRgb(0, 128, 0)), 190 + 1); // as a polygon fills: x + y <= 18
}

TEST_F(ImageContext, TextStaysInsideItsExtent) {
    QImage image(120, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    Size extent;
    {
        ImageDeviceContext dc(image);
        dc.setBkMode(BackgroundMode::Transparent);
        dc.setTextColor(rgb(0, 0, 0));
        extent = dc.textExtent("Xy");
        dc.textOut({10, 5}, "Xy");
    }
    EXPECT_GT(extent.cx, 5);
    EXPECT_GT(extent.cy, 8);
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
            const bool in = x >= 10 && x < 10 + extent.cx && y >= 5 && y < 5 + extent.cy;
            (in ? inside : outside)++;
            // No antialiasing: only the text colour is put down.
            EXPECT_EQ(image.pixel(x, y), qRgb(0, 0, 0));
        }
    EXPECT_GT(inside, 10);
    EXPECT_EQ(outside, 0);
}

// Any paint device works: here a PDF writer, as a printer would be.
TEST_F(ImageContext, AnyPaintDevice) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        PainterDeviceContext dc(&pdf);
        ASSERT_TRUE(dc.isActive());
        EXPECT_GT(dc.deviceSize().cx, 100);
        dc.selectPen({PenStyle::Solid, 5, rgb(0, 0, 0)});
        dc.moveTo({100, 100});
        dc.lineTo({2000, 1500});
        dc.textOut({100, 200}, "Tracemill");
    }
    EXPECT_TRUE(buffer.data().startsWith("%PDF"));
}

} // namespace
} // namespace tracemill::gdi
