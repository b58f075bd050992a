// The picture hooks (hook 18) of the screen, print and DC sets: an embedded object's picture,
// a BMP file image or a metafile behind its kind byte, drawn into its rectangle and clipped to
// its boundary.
#include "app/render/picture_hooks.h"

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "app/image/dib.h"
#include "app/render/gdi_hook_primitives.h"
#include "app/render/metafile_player.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/fill_records.h"

namespace tracemill {
namespace {

std::span<const uint8_t> pictureBytes(const PictureRecord& record) {
    if (!record.picture) return {};
    return record.picture->bytes;
}

std::vector<gdi::Point> boundaryOf(const PictureRecord& record) {
    std::vector<gdi::Point> points;
    if (!record.points || record.pointCount <= 0) return points;
    for (int32_t i = 0; i < record.pointCount; ++i) points.push_back(ToGdiPoint(record.points[i]));
    return points;
}

void fillWhite(gdi::DeviceContext& dc, const gdi::Rect& rect) {
    const GdiOutputState& state = GetGdiOutputState();
    const gdi::Pen pen = dc.selectPen(state.whitePen);
    const gdi::Brush brush = dc.selectBrush(state.whiteBrush);
    const gdi::Point corners[4] = {{rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom},
                                   {rect.left, rect.bottom}};
    dc.polygon(corners);
    dc.selectPen(pen);
    dc.selectBrush(brush);
}

// Draws the picture stream (kind byte and picture) into `rect`, whose first corner takes the
// picture's top left, clipped to the boundary (when it has three points or more). A picture
// of another kind, or one that does not read, draws nothing (false).
bool drawPicture(gdi::DeviceContext& dc, std::span<const uint8_t> stream, const gdi::Rect& rect,
                 std::span<const gdi::Point> boundary) {
    if (stream.empty()) return false;
    const std::span<const uint8_t> data = stream.subspan(1);
    CDib dib;
    if (stream[0] == kPictureBitmap) {
        if (!dib.Read(data)) return false;
    } else if (stream[0] != kPictureMetafile || !ole::IsMetafile(data)) {
        return false;
    }
    const int level = dc.saveDc();
    if (boundary.size() >= 3) dc.intersectClipPolygon(boundary);
    if (stream[0] == kPictureBitmap) {
        dc.stretchDib(rect, {0, 0, dib.GetWidth(), dib.GetHeight()}, dib.View(), gdi::RasterOp::SrcCopy);
    } else {
        fillWhite(dc, rect);
        ole::PlayMetafile(dc, data, rect);
    }
    dc.restoreDc(level);
    return true;
}

gdi::Rect recordRect(const PictureRecord& record) {
    return {record.rect[0], record.rect[1], record.rect[2], record.rect[3]};
}

} // namespace

void ScreenPictureHook(const PictureRecord& picture, HostWord host) {
    gdi::DeviceContext* dc = GetGdiOutputState().target;
    if (!host || !dc) return;
    drawPicture(*dc, pictureBytes(picture), recordRect(picture), boundaryOf(picture));
}

void PrintPictureHook(const PictureRecord& picture, HostWord host) {
    const GdiOutputState& state = GetGdiOutputState();
    if (!host || !state.printOutput || !state.target) return;
    std::vector<gdi::Point> boundary = boundaryOf(picture);
    for (gdi::Point& p : boundary) p = PrintPagePoint(p.x, p.y);
    // The turned corners bound the picture; it keeps the direction of its own rectangle, so it
    // is placed on the page but not turned.
    const gdi::Rect r = recordRect(picture);
    const gdi::Point a = PrintPagePoint(r.left, r.top), b = PrintPagePoint(r.right, r.bottom);
    const auto ordered = [](int32_t u, int32_t v, bool ascending) {
        return ascending ? std::pair{std::min(u, v), std::max(u, v)} : std::pair{std::max(u, v), std::min(u, v)};
    };
    const auto [left, right] = ordered(a.x, b.x, r.left <= r.right);
    const auto [top, bottom] = ordered(a.y, b.y, r.top <= r.bottom);
    drawPicture(*state.target, pictureBytes(picture), {left, top, right, bottom}, boundary);
}

void DcPictureHook(const PictureRecord& picture, HostWord host) {
    if (!host) return;
    const std::span<const uint8_t> stream = pictureBytes(picture);
    const std::vector<gdi::Point> boundary = boundaryOf(picture);
    const gdi::Rect rect = recordRect(picture);
    bool drawn = false;
    DrawInTargetAndMask([&](gdi::DeviceContext& dc, bool isMask) {
        if (!isMask) {
            drawn = drawPicture(dc, stream, rect, boundary);
            return;
        }
        if (!drawn) return;
        const int level = dc.saveDc();
        if (boundary.size() >= 3) dc.intersectClipPolygon(boundary);
        fillWhite(dc, rect);
        dc.restoreDc(level);
    });
}

} // namespace tracemill
