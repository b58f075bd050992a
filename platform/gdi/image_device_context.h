// The device context over a QImage: the back buffers and the bitmaps of raster export. The
// image is kept in a 32-bit format while it is drawn on. Without a clip, thin solid lines and
// the pixel blocks of everything else are written straight into the image's pixels: a line
// would otherwise reach the painter as runs of a pixel or a few, each costing a painter call
// many times the price of its pixels.
#pragma once

#include <QImage>

#include "platform/gdi/painter_device_context.h"

namespace tracemill::gdi {

class ImageDeviceContext : public PainterDeviceContext {
public:
    // Draws into `image` (converted to QImage::Format_RGB32 first unless it is a 32-bit
    // format); `image` must outlive this context, and holds the drawing once end() ran.
    explicit ImageDeviceContext(QImage& image);

protected:
    void deviceFillRects(std::span<const PixelRect> rects, ColorRef color) override;
    void deviceSetClip(const std::vector<std::vector<Point>>& polygons) override;
    bool deviceThinLine(Point from, Point to, const Rect& bounds, ColorRef color) override;

private:
    static QImage* prepared(QImage& image);

    uchar* bits_ = nullptr;  // the image's pixels; null when the painter is not drawing
    qsizetype bytesPerLine_ = 0;
    int32_t width_ = 0;
    int32_t height_ = 0;
    bool clipped_ = false;
};

} // namespace tracemill::gdi
