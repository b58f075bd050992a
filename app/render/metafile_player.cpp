#include "app/render/metafile_player.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "app/image/dib.h"
#include "platform/ole/metafile_format.h"

namespace tracemill::ole {
namespace {

uint16_t metaLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t metaLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// The parameters of one record as 16-bit words.
class RecordWords {
public:
    explicit RecordWords(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    size_t count() const { return bytes_.size() / 2; }
    bool has(size_t n) const { return n <= count(); }
    int16_t s(size_t i) const { return i < count() ? int16_t(metaLe16(bytes_.data() + 2 * i)) : int16_t(0); }
    uint16_t u(size_t i) const { return uint16_t(s(i)); }
    uint32_t u32(size_t i) const { return uint32_t(u(i)) | (uint32_t(u(i + 1)) << 16); }
    std::span<const uint8_t> from(size_t word) const {
        return 2 * word <= bytes_.size() ? bytes_.subspan(2 * word) : std::span<const uint8_t>();
    }

private:
    std::span<const uint8_t> bytes_;
};

struct MetaObject {
    enum class Kind { Pen, Brush, Other } kind = Kind::Other;
    gdi::Pen pen;
    gdi::Brush brush;
};

class MetafilePlayer {
public:
    MetafilePlayer(gdi::DeviceContext& dc, const gdi::Rect& frame, size_t objectCount)
        : dc_(dc), frame_(frame), objects_(objectCount) {}

    void setWindow(gdi::Point origin, gdi::Size extent) {
        origin_ = origin;
        extent_ = extent;
    }

    // false ends the play.
    bool play(uint16_t function, const RecordWords& w);

private:
    gdi::Point map(int32_t x, int32_t y) const {
        const double sx = extent_.cx ? double(frame_.width()) / extent_.cx : 1.0;
        const double sy = extent_.cy ? double(frame_.height()) / extent_.cy : 1.0;
        return {int32_t(std::lround(frame_.left + (x - origin_.x) * sx)),
                int32_t(std::lround(frame_.top + (y - origin_.y) * sy))};
    }
    int32_t mapWidth(int32_t width) const {
        const double sx = extent_.cx ? std::abs(double(frame_.width()) / extent_.cx) : 1.0;
        return int32_t(std::lround(std::min(std::abs(double(width)) * sx, 1.0e6)));
    }
    // `count` points of x, y words from word `first`; none when they do not fit.
    bool points(const RecordWords& w, size_t first, size_t count, std::vector<gdi::Point>& out) const {
        if (!w.has(first + 2 * count)) return false;
        out.clear();
        for (size_t i = 0; i < count; ++i) out.push_back(map(w.s(first + 2 * i), w.s(first + 2 * i + 1)));
        return true;
    }
    void create(const MetaObject& object) {
        for (std::optional<MetaObject>& slot : objects_)
            if (!slot) {
                slot = object;
                return;
            }
    }
    void select(uint16_t index) {
        if (index >= objects_.size() || !objects_[index]) return;
        const MetaObject& o = *objects_[index];
        if (o.kind == MetaObject::Kind::Pen) dc_.selectPen({o.pen.style, mapWidth(o.pen.width), o.pen.color});
        if (o.kind == MetaObject::Kind::Brush) dc_.selectBrush(o.brush);
    }
    void ellipse(const RecordWords& w);
    void bitmap(const RecordWords& w, size_t dibWord, gdi::Rect source, bool sourceFromBottom, int32_t x, int32_t y,
                int32_t width, int32_t height, uint32_t rasterOp);

    gdi::DeviceContext& dc_;
    gdi::Rect frame_;
    gdi::Point origin_;
    gdi::Size extent_;
    std::vector<std::optional<MetaObject>> objects_;
    std::vector<gdi::Point> points_;
};

gdi::RasterOp rasterOpOf(uint32_t op) {
    switch (op) {
    case kMetaSrcAnd:
        return gdi::RasterOp::SrcAnd;
    case kMetaSrcPaint:
        return gdi::RasterOp::SrcPaint;
    case kMetaSrcInvert:
        return gdi::RasterOp::SrcInvert;
    case kMetaNotSrcCopy:
        return gdi::RasterOp::NotSrcCopy;
    default:
        return gdi::RasterOp::SrcCopy;
    }
}

void MetafilePlayer::ellipse(const RecordWords& w) {
    if (!w.has(4)) return;
    const gdi::Point a = map(w.s(3), w.s(2)), b = map(w.s(1), w.s(0));  // left, top / right, bottom
    const double cx = (a.x + b.x) / 2.0, cy = (a.y + b.y) / 2.0;
    const double rx = std::abs(b.x - a.x) / 2.0, ry = std::abs(b.y - a.y) / 2.0;
    const int steps = int(std::clamp((rx + ry) / 2.0, 8.0, 128.0));
    points_.clear();
    for (int i = 0; i < steps; ++i) {
        const double t = 2.0 * std::numbers::pi * i / steps;
        points_.push_back({int32_t(std::lround(cx + rx * std::cos(t))), int32_t(std::lround(cy + ry * std::sin(t)))});
    }
    dc_.polygon(points_);
}

void MetafilePlayer::bitmap(const RecordWords& w, size_t dibWord, gdi::Rect source, bool sourceFromBottom, int32_t x,
                            int32_t y, int32_t width, int32_t height, uint32_t rasterOp) {
    CDib dib;
    if (!dib.CreateFromPackedDib(w.from(dibWord))) return;
    const PackedDib* block = dib.GetHandle();
    if (!block || (block->header.biCompression != 0 && block->header.biCompression != 3)) return;
    if (sourceFromBottom) {
        const int32_t top = dib.GetHeight() - source.bottom;
        source.bottom = top + source.height();
        source.top = top;
    }
    const gdi::Point p0 = map(x, y), p1 = map(x + width, y + height);
    dc_.stretchDib({p0.x, p0.y, p1.x, p1.y}, source, dib.View(), rasterOpOf(rasterOp));
}

bool MetafilePlayer::play(uint16_t function, const RecordWords& w) {
    switch (function) {
    case kMetaEof:
        return false;
    case kMetaSetWindowOrg:
        if (w.has(2)) origin_ = {w.s(1), w.s(0)};
        break;
    case kMetaSetWindowExt:
        if (w.has(2)) extent_ = {w.s(1), w.s(0)};
        break;
    case kMetaSetPolyFillMode:
        if (w.has(1)) dc_.setPolyFillMode(w.u(0) == 2 ? gdi::FillMode::Winding : gdi::FillMode::Alternate);
        break;
    case kMetaMoveTo:
        if (w.has(2)) dc_.moveTo(map(w.s(1), w.s(0)));
        break;
    case kMetaLineTo:
        if (w.has(2)) dc_.lineTo(map(w.s(1), w.s(0)));
        break;
    case kMetaPolyline:
        if (w.has(1) && w.s(0) > 0 && points(w, 1, size_t(w.s(0)), points_)) {
            dc_.moveTo(points_.front());
            for (size_t i = 1; i < points_.size(); ++i) dc_.lineTo(points_[i]);
        }
        break;
    case kMetaPolygon:
        if (w.has(1) && w.s(0) > 0 && points(w, 1, size_t(w.s(0)), points_)) dc_.polygon(points_);
        break;
    case kMetaPolyPolygon: {
        if (!w.has(1) || w.s(0) <= 0) break;
        const size_t polygons = size_t(w.s(0));
        if (!w.has(1 + polygons)) break;
        std::vector<int> counts;
        size_t total = 0;
        for (size_t i = 0; i < polygons; ++i) {
            counts.push_back(int(w.u(1 + i)));
            total += w.u(1 + i);
        }
        if (points(w, 1 + polygons, total, points_)) dc_.polyPolygon(points_, counts);
        break;
    }
    case kMetaRectangle: {
        if (!w.has(4)) break;
        const gdi::Point a = map(w.s(3), w.s(2)), b = map(w.s(1), w.s(0));
        points_.assign({a, {b.x, a.y}, b, {a.x, b.y}});
        dc_.polygon(points_);
        break;
    }
    case kMetaEllipse:
        ellipse(w);
        break;
    case kMetaCreatePenIndirect: {
        if (!w.has(5)) break;
        MetaObject pen{MetaObject::Kind::Pen, {}, {}};
        const uint16_t style = w.u(0) & 0x0F;
        pen.pen.style = style == kMetaPenNull ? gdi::PenStyle::Null
                        : style >= 1 && style <= 4 ? gdi::PenStyle::Dash
                                                   : gdi::PenStyle::Solid;
        pen.pen.width = w.s(1);
        pen.pen.color = w.u32(3) & 0xFFFFFF;
        create(pen);
        break;
    }
    case kMetaCreateBrushIndirect: {
        if (!w.has(3)) break;
        MetaObject brush{MetaObject::Kind::Brush, {}, {}};
        brush.brush.style = w.u(0) == kMetaBrushNull ? gdi::BrushStyle::Null : gdi::BrushStyle::Solid;
        brush.brush.color = w.u32(1) & 0xFFFFFF;
        create(brush);
        break;
    }
    case kMetaCreatePalette:
    case kMetaCreatePatternBrush:
    case kMetaDibCreatePatternBrush:
    case kMetaCreateFontIndirect:
    case kMetaCreateRegion:
        create(MetaObject{});
        break;
    case kMetaSelectObject:
        if (w.has(1)) select(w.u(0));
        break;
    case kMetaDeleteObject:
        if (w.has(1) && w.u(0) < objects_.size()) objects_[w.u(0)].reset();
        break;
    case kMetaStretchDib:
        // Raster operation, colour use, source height, width, y, x, destination height, width,
        // y, x, the bitmap; the source's y counts from the bottom row.
        if (w.has(11) && w.u(2) == 0)
            bitmap(w, 11, {w.s(6), w.s(5), w.s(6) + w.s(4), w.s(5) + w.s(3)}, true, w.s(10), w.s(9), w.s(8), w.s(7),
                   w.u32(0));
        break;
    case kMetaDibStretchBlt:
        // Raster operation, source height, width, y, x, destination height, width, y, x, bitmap.
        if (w.has(10))
            bitmap(w, 10, {w.s(5), w.s(4), w.s(5) + w.s(3), w.s(4) + w.s(2)}, false, w.s(9), w.s(8), w.s(7), w.s(6),
                   w.u32(0));
        break;
    case kMetaDibBitBlt:
        // Raster operation, source y, x, height, width, destination y, x, bitmap.
        if (w.has(8))
            bitmap(w, 8, {w.s(3), w.s(2), w.s(3) + w.s(5), w.s(2) + w.s(4)}, false, w.s(7), w.s(6), w.s(5), w.s(4),
                   w.u32(0));
        break;
    default:
        break;
    }
    return true;
}

} // namespace

bool IsMetafile(std::span<const uint8_t> metafile) {
    if (metafile.size() >= kPlaceableHeaderSize && metaLe32(metafile.data()) == kPlaceableKey)
        metafile = metafile.subspan(kPlaceableHeaderSize);
    if (metafile.size() < kMetaHeaderSize) return false;
    const uint16_t type = metaLe16(metafile.data());
    return (type == 1 || type == 2) && metaLe16(metafile.data() + 2) == kMetaHeaderWords;
}

bool PlayMetafile(gdi::DeviceContext& dc, std::span<const uint8_t> metafile, const gdi::Rect& frame) {
    if (!IsMetafile(metafile)) return false;
    std::span<const uint8_t> rest = metafile;
    std::optional<gdi::Rect> bounds;
    if (rest.size() >= kPlaceableHeaderSize && metaLe32(rest.data()) == kPlaceableKey) {
        const uint8_t* b = rest.data() + kPlaceableBounds;
        bounds = gdi::Rect{int16_t(metaLe16(b)), int16_t(metaLe16(b + 2)), int16_t(metaLe16(b + 4)),
                           int16_t(metaLe16(b + 6))};
        rest = rest.subspan(kPlaceableHeaderSize);
    }
    const size_t objectCount = metaLe16(rest.data() + kMetaHeaderObjects);
    rest = rest.subspan(kMetaHeaderSize);

    const int level = dc.saveDc();
    MetafilePlayer player(dc, frame, objectCount);
    if (bounds && bounds->width() && bounds->height())
        player.setWindow({bounds->left, bounds->top}, {bounds->width(), bounds->height()});
    else
        player.setWindow({0, 0}, {frame.width(), frame.height()});
    dc.selectPen({gdi::PenStyle::Solid, 0, 0});
    dc.selectBrush({gdi::BrushStyle::Solid, 0xFFFFFF});
    dc.setPolyFillMode(gdi::FillMode::Alternate);
    while (rest.size() >= kRecordHeaderSize) {
        const uint64_t bytes = uint64_t(metaLe32(rest.data())) * 2;
        if (bytes < kRecordHeaderSize || bytes > rest.size()) break;
        const uint16_t function = metaLe16(rest.data() + 4);
        const RecordWords words(rest.subspan(kRecordHeaderSize, size_t(bytes) - kRecordHeaderSize));
        if (!player.play(function, words)) break;
        rest = rest.subspan(size_t(bytes));
    }
    dc.restoreDc(level);
    return true;
}

} // namespace tracemill::ole
