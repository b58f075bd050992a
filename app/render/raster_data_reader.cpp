#include "app/render/raster_data_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/render/drawing_object.h"
#include "toolkit/display/raster/raster_data_block.h"

namespace tracemill {
namespace {

constexpr double kColumnTolerance = 1e-9;

uint32_t rasterLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
double rasterDouble(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t(p[i]) << (8 * i);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
int32_t rasterRound(double v) {
    const double r = std::floor(v + 0.5);
    return int32_t(std::clamp(r, -2.0e9, 2.0e9));
}

} // namespace

gdi::ColorRef RasterPixelColour(gdi::ColorRef colour, int16_t colourMode) {
    if (colourMode != kColorModeBlackWhite && colourMode != kColorModeGray) return colour;
    // In thousandths, so that a grey of 128 is 128 exactly.
    const uint32_t grey = 299u * gdi::redOf(colour) + 587u * gdi::greenOf(colour) + 114u * gdi::blueOf(colour);
    if (colourMode == kColorModeBlackWhite) return grey >= 128000u ? gdi::rgb(255, 255, 255) : gdi::rgb(0, 0, 0);
    const uint8_t g = uint8_t((grey + 500u) / 1000u);
    return gdi::rgb(g, g, g);
}

RasterDataReader& GetRasterDataReader() {
    static RasterDataReader reader;
    return reader;
}

void RasterDataReader::reset() {
    pending_ = 0;
    bitsLeft_ = 0;
}

bool RasterDataReader::inClip(double x, double y) const {
    if (clip_.left == clip_.right && clip_.top == clip_.bottom) return true;
    const double mx = 2.0 * std::abs(piece_.dx), my = 2.0 * std::abs(piece_.dy);
    const double left = std::min(clip_.left, clip_.right), right = std::max(clip_.left, clip_.right);
    const double low = std::min(clip_.top, clip_.bottom), high = std::max(clip_.top, clip_.bottom);
    return x >= left - mx && x <= right + mx && y >= low - my && y <= high + my;
}

void RasterDataReader::span(double t0, double t1, gdi::ColorRef colour, std::vector<RasterPaint>& out) const {
    const Piece& p = piece_;
    const double x0 = p.startX + (t0 - p.a) * p.dx, y0 = p.startY + (t0 - p.a) * p.dy;
    if (!p.visible || !inClip(x0, y0)) return;
    RasterPaint paint;
    paint.colour = RasterPixelColour(colour, colourMode_);
    if (!p.large) {
        paint.corners[0] = {rasterRound(x0), rasterRound(y0)};
        out.push_back(paint);
        return;
    }
    if (t1 - t0 <= kColumnTolerance) return;
    const double x1 = p.startX + (t1 - p.a) * p.dx, y1 = p.startY + (t1 - p.a) * p.dy;
    // The row's height lies to the right of its direction: the step turned by (dy, -dx).
    paint.quad = true;
    paint.corners[0] = {rasterRound(x0), rasterRound(y0)};
    paint.corners[1] = {rasterRound(x1), rasterRound(y1)};
    paint.corners[2] = {rasterRound(x1 + p.dy), rasterRound(y1 - p.dx)};
    paint.corners[3] = {rasterRound(x0 + p.dy), rasterRound(y0 - p.dx)};
    out.push_back(paint);
}

void RasterDataReader::beginPiece(const uint8_t* item, std::vector<RasterPaint>& out) {
    Piece p;
    const uint8_t* start = item + kRasterPieceStartBlock;
    const uint8_t* end = item + kRasterPieceEndBlock;
    p.startX = rasterDouble(start);
    p.startY = rasterDouble(start + 8);
    const double startColumn = rasterDouble(start + 16), startFraction = rasterDouble(start + 32);
    const double endX = rasterDouble(end), endY = rasterDouble(end + 8);
    const double endColumn = rasterDouble(end + 16), endFraction = rasterDouble(end + 32);
    p.a = startColumn + startFraction;
    p.b = endColumn - endFraction;
    p.firstColumn = startFraction > kColumnTolerance ? startColumn + 1.0 : startColumn;
    p.startColour = gdi::rgb(start[kRasterEndBlockColour], start[kRasterEndBlockColour + 1], start[kRasterEndBlockColour + 2]);
    p.endColour = gdi::rgb(end[kRasterEndBlockColour], end[kRasterEndBlockColour + 1], end[kRasterEndBlockColour + 2]);
    p.pixels = rasterLe32(item + kRasterPieceCount);
    p.dx = rasterDouble(item + kRasterPieceStepX);
    p.dy = rasterDouble(item + kRasterPieceStepY);
    const bool finite = std::isfinite(p.startX) && std::isfinite(p.startY) && std::isfinite(endX) &&
                        std::isfinite(endY) && std::isfinite(p.a) && std::isfinite(p.b) && std::isfinite(p.dx) &&
                        std::isfinite(p.dy);
    p.large = std::abs(p.dx) > 1.0 || std::abs(p.dy) > 1.0;
    // A piece whose span lies wholly outside the clip rectangle is read but not drawn.
    p.visible = finite;
    if (finite && !(clip_.left == clip_.right && clip_.top == clip_.bottom)) {
        const double left = std::min(clip_.left, clip_.right), right = std::max(clip_.left, clip_.right);
        const double low = std::min(clip_.top, clip_.bottom), high = std::max(clip_.top, clip_.bottom);
        p.visible = !(std::max(p.startX, endX) < left || std::min(p.startX, endX) > right ||
                      std::max(p.startY, endY) < low || std::min(p.startY, endY) > high);
    }
    piece_ = p;
    pending_ = p.pixels;
    bitsLeft_ = 0;
    if (p.large) span(p.a, std::min(p.firstColumn, p.b), p.startColour, out);
    if (pending_ == 0) endPiece(out);
}

void RasterDataReader::pixel(gdi::ColorRef colour, std::vector<RasterPaint>& out) {
    Piece& p = piece_;
    const double t0 = p.firstColumn + p.done;
    span(t0, std::min(t0 + 1.0, std::max(p.b, t0)), colour, out);
    ++p.done;
    if (--pending_ == 0) endPiece(out);
}

void RasterDataReader::endPiece(std::vector<RasterPaint>& out) {
    const Piece& p = piece_;
    const double after = std::max(p.firstColumn + p.pixels, p.a);
    if (p.large && p.b - after > kColumnTolerance) span(after, p.b, p.endColour, out);
    bitsLeft_ = 0;
}

void RasterDataReader::read(std::span<const uint8_t> block, int16_t colourMode, const gdi::Rect& clip,
                            std::vector<RasterPaint>& out) {
    colourMode_ = colourMode;
    clip_ = clip;
    size_t at = 0;
    // The bits of a byte already read go on after the block's last byte.
    while (at < block.size() || (pending_ > 0 && bitsLeft_ > 0)) {
        if (pending_ > 0) {
            if (format_ == kRasterFormatTwoColours) {
                if (bitsLeft_ == 0) {
                    bitByte_ = block[at++];
                    bitsLeft_ = 8;
                }
                const bool set = (bitByte_ >> (bitsLeft_ - 1)) & 1;
                --bitsLeft_;
                // A set bit is the lighter of the picture's two colours.
                pixel(set ? gdi::rgb(255, 255, 255) : gdi::rgb(0, 0, 0), out);
            } else {
                if (block.size() - at < 3) return;  // pixels are never cut inside
                pixel(gdi::rgb(block[at], block[at + 1], block[at + 2]), out);
                at += 3;
            }
            continue;
        }
        if (block.size() - at < 4) return;
        const uint32_t tag = rasterLe32(block.data() + at);
        if (tag == kRasterImageHeaderTag) {
            if (block.size() - at < kRasterImageHeaderSize) return;
            format_ = int32_t(rasterLe32(block.data() + at + kRasterImageHeaderFormat));
            at += kRasterImageHeaderSize;
        } else if (tag == kRasterRowPieceTag) {
            if (block.size() - at < kRasterRowPieceHeadSize) return;
            const uint8_t* item = block.data() + at;
            at += kRasterRowPieceHeadSize;
            beginPiece(item, out);
        } else {
            at += 4;  // the row start and anything unknown
        }
    }
}

} // namespace tracemill
