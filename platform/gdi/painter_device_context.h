// The device context over any Qt paint device: a printer, a widget, a PDF writer or an
// image. Everything reaches the device as filled pixel blocks, bitmaps and text through one
// QPainter, without antialiasing.
#pragma once

#include <QPainter>

#include "platform/gdi/device_context.h"

class QPaintDevice;

namespace tracemill::gdi {

class PainterDeviceContext : public DeviceContext {
public:
    // Starts painting on `device`, which must outlive this context.
    explicit PainterDeviceContext(QPaintDevice* device);
    ~PainterDeviceContext() override;

    // False when the device could not be painted on.
    bool isActive() const { return painter_.isActive(); }
    // Ends painting (the destructor does it too); later drawing is dropped.
    void end();

    Size deviceSize() const override;

protected:
    void deviceFillRects(std::span<const PixelRect> rects, ColorRef color) override;
    void deviceDrawBitmap(int32_t x, int32_t y, const Bitmap32& bitmap, RasterOp op, bool keyed) override;
    void deviceDrawText(Point topLeft, std::string_view text, const Font& font, ColorRef color,
                        std::optional<ColorRef> background) override;
    Size deviceTextExtent(std::string_view text, const Font& font) override;
    void deviceSetClip(const std::vector<std::vector<Point>>& polygons) override;

private:
    QPaintDevice* device_;
    QPainter painter_;
};

} // namespace tracemill::gdi
