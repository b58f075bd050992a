#include "platform/gdi/painter_device_context.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QRegion>
#include <QString>

#include "platform/gdi/polygon_fill.h"

namespace tracemill::gdi {
namespace {

QColor toQColor(ColorRef c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

QFont toQFont(const Font& font) {
    QFont f(QString::fromStdString(font.face));
    f.setPixelSize(std::max(1, font.height));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

QPainter::CompositionMode compositionOf(RasterOp op) {
    switch (op) {
    case RasterOp::SrcAnd:
        return QPainter::RasterOp_SourceAndDestination;
    case RasterOp::SrcPaint:
        return QPainter::RasterOp_SourceOrDestination;
    case RasterOp::SrcInvert:
        return QPainter::RasterOp_SourceXorDestination;
    case RasterOp::NotSrcCopy:
        return QPainter::RasterOp_NotSource;
    case RasterOp::SrcCopy:
        break;
    }
    return QPainter::CompositionMode_SourceOver;
}

} // namespace

PainterDeviceContext::PainterDeviceContext(QPaintDevice* device) : device_(device) {
    if (device_ && painter_.begin(device_)) {
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, false);
        painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter_.setPen(Qt::NoPen);
    }
}

PainterDeviceContext::~PainterDeviceContext() { end(); }

void PainterDeviceContext::end() {
    if (painter_.isActive()) painter_.end();
}

Size PainterDeviceContext::deviceSize() const {
    if (!device_) return {};
    return {device_->width(), device_->height()};
}

void PainterDeviceContext::deviceFillRects(std::span<const PixelRect> rects, ColorRef color) {
    if (!painter_.isActive()) return;
    const QColor c = toQColor(color);
    for (const PixelRect& r : rects) painter_.fillRect(QRect(r.x, r.y, r.width, r.height), c);
}

void PainterDeviceContext::deviceDrawBitmap(int32_t x, int32_t y, const Bitmap32& bitmap, RasterOp op,
                                            bool keyed) {
    if (!painter_.isActive() || bitmap.width <= 0 || bitmap.height <= 0) return;
    const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                       bitmap.width * 4, keyed ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    painter_.save();
    painter_.setCompositionMode(keyed ? QPainter::CompositionMode_SourceOver : compositionOf(op));
    painter_.drawImage(QPoint(x, y), image);
    painter_.restore();
}

void PainterDeviceContext::deviceDrawText(Point topLeft, std::string_view text, const Font& font, ColorRef color,
                                          std::optional<ColorRef> background) {
    if (!painter_.isActive()) return;
    const QFont f = toQFont(font);
    const QFontMetrics metrics(f, device_);
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (background)
        painter_.fillRect(QRect(topLeft.x, topLeft.y, metrics.horizontalAdvance(s), metrics.height()),
                          toQColor(*background));
    painter_.save();
    painter_.setFont(f);
    painter_.setPen(toQColor(color));
    painter_.drawText(QPoint(topLeft.x, topLeft.y + metrics.ascent()), s);
    painter_.restore();
}

Size PainterDeviceContext::deviceTextExtent(std::string_view text, const Font& font) {
    const QFontMetrics metrics(toQFont(font), device_);
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return {metrics.horizontalAdvance(s), metrics.height()};
}

void PainterDeviceContext::deviceSetClip(const std::vector<std::vector<Point>>& polygons) {
    if (!painter_.isActive()) return;
    painter_.setClipping(false);
    // Each polygon becomes the region of pixels a polygon fill would cover, so that a clip
    // and a fill of the same outline agree on every pixel.
    const Size size = deviceSize();
    const Rect bounds{0, 0, size.cx, size.cy};
    bool first = true;
    std::vector<PixelRect> spans;
    for (const auto& polygon : polygons) {
        spans.clear();
        const int count = int(polygon.size());
        fillPolygonSpans(polygon, {&count, 1}, FillMode::Alternate, bounds, spans);
        QList<QRect> rects;
        rects.reserve(qsizetype(spans.size()));
        for (const PixelRect& r : spans) rects.append(QRect(r.x, r.y, r.width, r.height));
        QRegion region;
        region.setRects(rects.constData(), int(rects.size()));
        painter_.setClipRegion(region, first ? Qt::ReplaceClip : Qt::IntersectClip);
        first = false;
    }
}

} // namespace tracemill::gdi
