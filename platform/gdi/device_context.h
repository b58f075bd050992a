// The device context: the one drawing interface that replaces GDI for every target (screen
// back buffers, bitmaps, printers). It keeps GDI's state (pen, brush, fill mode, text
// settings, the window-to-viewport mapping, the clip, the current position, a save stack)
// and turns each operation into device pixels by GDI's rules, without antialiasing; a
// backend only fills pixel blocks, puts bitmaps and text, and clips.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace tracemill::gdi {

// A 32-bit picture handed to a backend: 0xAARRGGBB per pixel, rows top-down, no padding.
// Alpha is 0xFF except for pixels a transparent blit leaves out (0).
struct Bitmap32 {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

class DeviceContext {
public:
    DeviceContext();
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Size of the target in device pixels.
    virtual Size deviceSize() const = 0;

    // --- Drawing state (each setter returns the previous value).
    Pen selectPen(const Pen& pen);
    const Pen& pen() const { return state_.pen; }
    Brush selectBrush(const Brush& brush);
    const Brush& brush() const { return state_.brush; }
    FillMode setPolyFillMode(FillMode mode);
    FillMode polyFillMode() const { return state_.fillMode; }
    ColorRef setTextColor(ColorRef color);
    ColorRef setBkColor(ColorRef color);
    BackgroundMode setBkMode(BackgroundMode mode);
    Font selectFont(const Font& font);
    const Font& font() const { return state_.font; }

    // --- Mapping: device = (logical - window origin) * viewport extent / window extent
    // + viewport origin; in MapMode::Text the extents are not used (1 to 1). A window
    // extent of (x, -y) with the origin at (0, bottom) turns y-up coordinates into the
    // target's y-down pixels.
    MapMode setMapMode(MapMode mode);
    MapMode mapMode() const { return state_.mapMode; }
    Point setWindowOrg(Point origin);
    Point windowOrg() const { return state_.windowOrg; }
    Size setWindowExt(Size extent); // ignored (returns the current one) outside Anisotropic, or when 0
    Size windowExt() const { return state_.windowExt; }
    Point setViewportOrg(Point origin);
    Point viewportOrg() const { return state_.viewportOrg; }
    Size setViewportExt(Size extent);
    Size viewportExt() const { return state_.viewportExt; }
    Point logicalToDevice(Point logical) const;

    // --- Save and restore of the whole state (clip included). saveDc returns the new level
    // (1 for the first save); restoreDc takes a level, or -1 for the last save.
    int saveDc();
    bool restoreDc(int level = -1);

    // Intersects the clip with a polygon (logical points, alternate rule); false for fewer
    // than 3 points.
    bool intersectClipPolygon(std::span<const Point> points);

    // --- Lines: the current position, and GDI's rule that a line leaves out its end pixel.
    Point moveTo(Point p);
    Point currentPosition() const { return state_.position; }
    void lineTo(Point p);
    void setPixel(Point p, ColorRef color);

    // --- Filled shapes: interior with the brush under the fill mode, outline with the pen.
    void polygon(std::span<const Point> points);
    void polyPolygon(std::span<const Point> points, std::span<const int> counts);
    // Fills [left, right) x [top, bottom) and outlines its border with the pen; with the
    // null pen the filled area is one pixel smaller on the right and bottom, as in GDI.
    void rectangle(const Rect& r);
    // Fills [left, right) x [top, bottom) with a colour, without the pen.
    void fillRect(const Rect& r, ColorRef color);
    // The outline of the ellipse inscribed in the box (GDI's Arc with equal start and end).
    void fullArc(const Rect& box);

    // --- Text (UTF-8): the reference point is the top left of the text, upright whatever
    // the mapping. The extent is in logical units.
    void textOut(Point p, std::string_view text);
    Size textExtent(std::string_view text);

    // --- Blits. The source rectangle counts rows from the top of the bitmap; a destination
    // of another size stretches by nearest neighbour, a mirrored one mirrors.
    void stretchDib(const Rect& destination, const Rect& source, const DibView& bitmap, RasterOp op);
    // Copies the bitmap at its size to (x, y), leaving out its pixels of the colour `key`.
    void transparentDib(Point p, const DibView& bitmap, ColorRef key);

protected:
    // Backend operations, all in device pixels.
    virtual void deviceFillRects(std::span<const PixelRect> rects, ColorRef color) = 0;
    virtual void deviceDrawBitmap(int32_t x, int32_t y, const Bitmap32& bitmap, RasterOp op, bool keyed) = 0;
    virtual void deviceDrawText(Point topLeft, std::string_view text, const Font& font, ColorRef color,
                                std::optional<ColorRef> background) = 0;
    virtual Size deviceTextExtent(std::string_view text, const Font& font) = 0;
    // The clip is the intersection of the polygons (device points); none: no clip.
    virtual void deviceSetClip(const std::vector<std::vector<Point>>& polygons) = 0;
    // A solid thin line (the pixels of forEachThinLinePixel within `bounds`) drawn by the
    // backend itself; false leaves its pixels to deviceFillRects.
    virtual bool deviceThinLine(Point /*from*/, Point /*to*/, const Rect& /*bounds*/, ColorRef /*color*/) {
        return false;
    }

private:
    struct State {
        Pen pen;
        Brush brush;
        FillMode fillMode = FillMode::Alternate;
        ColorRef textColor = 0;
        ColorRef bkColor = 0xFFFFFF;
        BackgroundMode bkMode = BackgroundMode::Opaque;
        Font font;
        MapMode mapMode = MapMode::Text;
        Point windowOrg;
        Size windowExt{1, 1};
        Point viewportOrg;
        Size viewportExt{1, 1};
        Point position;
        std::vector<std::vector<Point>> clip;
    };

    Rect deviceBounds() const;
    double penDeviceWidth() const;
    void strokeSegment(Point fromDevice, Point toDevice);
    void strokeClosed(std::span<const Point> devicePoints);
    void flushSpans(ColorRef color);

    State state_;
    std::vector<State> saved_;
    int64_t dashPhase_ = 0; // pixels of the dash pattern used since the last move
    std::vector<PixelRect> spans_;
    std::vector<Point> pixels_;
};

} // namespace tracemill::gdi
