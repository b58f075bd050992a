// The device context over a QImage: the back buffers and the bitmaps of raster export. The
// image is kept in a 32-bit format while it is drawn on.
#pragma once

#include <QImage>

#include "platform/gdi/painter_device_context.h"

namespace tracemill::gdi {

class ImageDeviceContext : public PainterDeviceContext {
public:
    // Draws into `image` (converted to QImage::Format_RGB32 first unless it is a 32-bit
    // format); `image` must outlive this context, and holds the drawing once end() ran.
    explicit ImageDeviceContext(QImage& image);

private:
    static QImage* prepared(QImage& image);
};

} // namespace tracemill::gdi
