// What the screen shows behind the entities: the background and, on a paper layout, the white
// sheet of paper with its outline, its shadow and the dashed frame of the printable area; and
// for a vector file, the outlines of the sheet and of its printable area as lines.
#include <algorithm>

#include "app/render/drawing_object.h"
#include "app/render/gdi_output_state.h"
#include "app/render/plot_area.h"
#include "platform/gdi/device_context.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/output_hook_table.h"

namespace tracemill {
namespace {

constexpr gdi::ColorRef kPaperGround = gdi::rgb(173, 174, 173);
constexpr gdi::ColorRef kBlack = gdi::rgb(0, 0, 0);
constexpr gdi::ColorRef kWhite = gdi::rgb(255, 255, 255);
constexpr int32_t kShadow = 5;
constexpr uint16_t kWhiteIndex = 7;

// A rectangle of the drawing in target pixels (y downwards).
struct PixelBox {
    int32_t left, top, right, bottom;
};

// The edges of a box that lie inside the target, each cut to the target: the sheet's outline
// and the printable area's frame.
class TargetEdges {
public:
    TargetEdges(gdi::DeviceContext& dc, const PixelBox& box, int32_t width, int32_t height)
        : dc_(dc), box_(box), width_(width), height_(height), top_(std::max(box.top, 0)),
          bottom_(std::min(box.bottom, height)), left_(std::max(box.left, 0)), right_(std::min(box.right, width)) {}

    bool Visible() const { return box_.right >= 0 && box_.left < width_ && box_.bottom >= 0 && box_.top < height_; }
    int32_t ClippedTop() const { return top_; }
    int32_t ClippedBottom() const { return bottom_; }
    int32_t ClippedLeft() const { return left_; }
    int32_t ClippedRight() const { return right_; }
    bool LeftInside() const { return box_.left >= 0 && box_.left < width_; }
    bool RightInside() const { return box_.right >= 0 && box_.right < width_; }
    bool BottomInside() const { return box_.bottom >= 0 && box_.bottom < height_; }
    bool TopInside() const { return box_.top >= 0 && box_.top < height_; }

    void DrawLeft() { line(box_.left, top_, box_.left, bottom_); }
    void DrawRight() { line(box_.right, top_, box_.right, bottom_); }
    void DrawBottom() { line(left_, box_.bottom, right_, box_.bottom); }
    void DrawTop() { line(left_, box_.top, right_, box_.top); }

private:
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        dc_.moveTo({x1, y1});
        dc_.lineTo({x2, y2});
    }

    gdi::DeviceContext& dc_;
    PixelBox box_;
    int32_t width_, height_;
    int32_t top_, bottom_, left_, right_;
};

} // namespace

void CDrawingObject::DrawPaperBackground(gdi::DeviceContext& dc, int32_t width, int32_t height, bool paper) {
    const bool paperShown = paper && layoutCount_ >= 2 && currentLayout_ >= 1;
    const uint16_t background = GetApplicationBackgroundColor();
    gdi::ColorRef ground = DefaultAciColors()[background];
    if (paperShown) ground = kPaperGround;
    else if (colorMode_ == kColorModeBlackWhite || background == kWhiteIndex) ground = kWhite;
    else if (colorMode_ == kColorModeGray) {
        const uint8_t g = uint8_t(GrayValue(DefaultAciColors()[background]));
        ground = gdi::rgb(g, g, g);
    }
    const gdi::Pen oldPen = dc.selectPen(SolidPen(0, ground));
    const gdi::Brush oldBrush = dc.selectBrush(SolidBrush(ground));
    dc.rectangle({0, 0, width, height});
    if (!paperShown || size_t(currentLayout_) >= layouts_.size()) {
        dc.selectPen(oldPen);
        dc.selectBrush(oldBrush);
        return;
    }

    // Drawing points to target pixels, y flipped as the walk flips it.
    auto pixels = [&](const Rect2& area) {
        int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        const Point3 low{area.min.x, area.min.y, 0.0};
        const Point3 high{area.max.x, area.max.y, 0.0};
        WorldToDevice(&low, &x1, &y1);
        WorldToDevice(&high, &x2, &y2);
        return PixelBox{x1, deviceRect_.bottom - y2, x2, deviceRect_.bottom - y1};
    };
    const LayoutBody& layout = layouts_[size_t(currentLayout_)];
    const PixelBox sheetBox = pixels(LayoutSheet(layout));
    TargetEdges sheet(dc, sheetBox, width, height);
    if (sheet.Visible()) {
        dc.selectPen(SolidPen(0, kWhite));
        dc.selectBrush(SolidBrush(kWhite));
        dc.rectangle({sheet.ClippedLeft(), sheet.ClippedTop(), sheet.ClippedRight(), sheet.ClippedBottom()});

        dc.selectPen(SolidPen(0, kBlack));
        dc.selectBrush(SolidBrush(kBlack));
        if (sheet.LeftInside()) sheet.DrawLeft();
        if (sheet.RightInside()) {
            sheet.DrawRight();
            const int32_t y1 = std::max(sheet.ClippedTop(), sheetBox.top + kShadow);
            const int32_t y2 = sheet.ClippedBottom() + kShadow;
            if (y1 < y2) dc.rectangle({sheetBox.right, y1, sheetBox.right + kShadow, y2});
        }
        if (sheet.BottomInside()) {
            sheet.DrawBottom();
            const int32_t x1 = std::max(sheet.ClippedLeft(), sheetBox.left + kShadow);
            const int32_t x2 = sheet.ClippedRight() + kShadow;
            if (x1 < x2) dc.rectangle({x1, sheetBox.bottom, x2, sheetBox.bottom + kShadow});
        }
        if (sheet.TopInside()) sheet.DrawTop();

        dc.selectPen({gdi::PenStyle::Dash, 0, kBlack});
        TargetEdges frame(dc, pixels(LayoutPrintableArea(layout, false)), width, height);
        if (frame.Visible()) {
            if (frame.LeftInside()) frame.DrawLeft();
            if (frame.RightInside()) frame.DrawRight();
            if (frame.BottomInside()) frame.DrawBottom();
            if (frame.TopInside()) frame.DrawTop();
        }
    }
    dc.selectPen(oldPen);
    dc.selectBrush(oldBrush);
}

void CDrawingObject::DrawSheetThroughHooks() {
    OutputHookTable* table = gOutputHookTable;
    if (!IsPaperLayoutCurrent() || size_t(currentLayout_) >= layouts_.size() || !table || !table->moveTo ||
        !table->lineTo) {
        return;
    }
    const LayoutBody& layout = layouts_[size_t(currentLayout_)];
    if (table->color) table->color(kWhiteIndex, drawing_->hostContext);
    for (const Rect2& area : {LayoutSheet(layout), LayoutPrintableArea(layout, false)}) {
        const Point3 corners[4] = {{area.min.x, area.min.y, 0.0},
                                   {area.max.x, area.min.y, 0.0},
                                   {area.max.x, area.max.y, 0.0},
                                   {area.min.x, area.max.y, 0.0}};
        int32_t x = 0, y = 0;
        WorldToDevice(&corners[3], &x, &y);
        table->moveTo(x, y, drawing_->hostContext);
        for (const Point3& corner : corners) {
            WorldToDevice(&corner, &x, &y);
            table->lineTo(x, y, drawing_->hostContext);
        }
    }
}

} // namespace tracemill
