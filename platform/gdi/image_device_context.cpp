#include "platform/gdi/image_device_context.h"

#include <algorithm>

#include "platform/gdi/line_raster.h"

namespace tracemill::gdi {

QImage* ImageDeviceContext::prepared(QImage& image) {
    const QImage::Format f = image.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    // Its own copy of the pixels before painting begins, so that the pixels written here and
    // those the painter writes are the same.
    if (!image.isNull()) image.bits();
    return &image;
}

ImageDeviceContext::ImageDeviceContext(QImage& image) : PainterDeviceContext(prepared(image)) {
    if (!isActive() || image.isNull()) return;
    bits_ = image.bits();
    bytesPerLine_ = image.bytesPerLine();
    width_ = image.width();
    height_ = image.height();
}

namespace {

uint32_t opaqueArgb(ColorRef color) {
    return 0xFF000000u | (uint32_t(redOf(color)) << 16) | (uint32_t(greenOf(color)) << 8) | uint32_t(blueOf(color));
}

} // namespace

bool ImageDeviceContext::deviceThinLine(Point from, Point to, const Rect& bounds, ColorRef color) {
    if (!bits_ || clipped_ || !isActive()) return false;
    const uint32_t argb = opaqueArgb(color);
    const Rect inside{std::max(bounds.left, 0), std::max(bounds.top, 0), std::min(bounds.right, width_),
                      std::min(bounds.bottom, height_)};
    uchar* const bits = bits_;
    const qsizetype stride = bytesPerLine_;
    forEachThinLinePixel(from, to, inside, [bits, stride, argb](int32_t x, int32_t y, int64_t) {
        reinterpret_cast<uint32_t*>(bits + y * stride)[x] = argb;
    });
    return true;
}

void ImageDeviceContext::deviceFillRects(std::span<const PixelRect> rects, ColorRef color) {
    if (!bits_ || clipped_ || !isActive()) {
        PainterDeviceContext::deviceFillRects(rects, color);
        return;
    }
    const uint32_t argb = opaqueArgb(color);
    for (const PixelRect& r : rects) {
        const int32_t left = std::max(r.x, 0);
        const int32_t right = std::min<int64_t>(int64_t(r.x) + r.width, width_);
        const int32_t top = std::max(r.y, 0);
        const int32_t bottom = std::min<int64_t>(int64_t(r.y) + r.height, height_);
        for (int32_t y = top; y < bottom; ++y) {
            uint32_t* row = reinterpret_cast<uint32_t*>(bits_ + y * bytesPerLine_);
            std::fill(row + left, row + right, argb);
        }
    }
}

void ImageDeviceContext::deviceSetClip(const std::vector<std::vector<Point>>& polygons) {
    clipped_ = !polygons.empty();
    PainterDeviceContext::deviceSetClip(polygons);
}

} // namespace tracemill::gdi
