#include "platform/gdi/image_device_context.h"

namespace tracemill::gdi {

QImage* ImageDeviceContext::prepared(QImage& image) {
    const QImage::Format f = image.format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(QImage::Format_RGB32);
    return &image;
}

ImageDeviceContext::ImageDeviceContext(QImage& image) : PainterDeviceContext(prepared(image)) {}

} // namespace tracemill::gdi
