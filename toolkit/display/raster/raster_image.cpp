#include "toolkit/display/raster/raster_image.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/entity_outline.h"
#include "toolkit/display/raster/raster_data_block.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {
namespace {

// Display property: the clip boundary is in force.
constexpr int16_t kImageUseClipBoundary = 4;
constexpr int16_t kRectangularClipBoundary = 1;
// Two-colour pixels are copied a byte at a time from a byte boundary on when a piece has more
// than this many.
constexpr uint32_t kWholeBytesFrom = 24;

bool finitePoint(const Point3& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

Point3 scaled(const Point3& p, double f) { return {p.x * f, p.y * f, p.z * f}; }

Point2 toDevice(const Point3& world, const Matrix4& matrix) {
    Point4 device;
    genPointTransform({world.x, world.y, world.z, 1.0}, matrix, device);
    return {device.x, device.y};
}

double distance2(const Point2& p, const Point2& q) { return (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y); }

// The image's clip boundary in world points: a rectangle by its two corners, or the polygon's
// vertices.
std::vector<Point3> clipBoundary(const RasterImageBody& body) {
    std::vector<Point3> boundary;
    const std::vector<Point2>& v = body.clipVertices;
    if (body.clipBoundaryType == kRectangularClipBoundary) {
        if (v.size() < 2) return boundary;
        for (const Point2& corner : {v[0], Point2{v[1].x, v[0].y}, v[1], Point2{v[0].x, v[1].y}})
            boundary.push_back(genImagePixelToWorld(corner, body));
    } else {
        for (const Point2& p : v) boundary.push_back(genImagePixelToWorld(p, body));
    }
    return boundary;
}

// The raw bit of a pixel of a one-bit picture (0 outside it).
bool pictureBit(const RasterPicture& picture, int64_t column, int64_t storedRow) {
    const RasterPixels& p = picture.pixels;
    if (column < 0 || column >= p.width || storedRow < 0 || storedRow >= p.height) return false;
    const uint64_t at = p.dataOffset + uint64_t(storedRow) * p.stride + uint64_t(column) / 8;
    return at < p.bytes.size() && ((p.bytes[at] >> (7 - column % 8)) & 1) != 0;
}

RasterRgb pixelColour(const RasterPicture& picture, int64_t column, int64_t storedRow) {
    RasterRgb colour;
    genReadBmpPixel(column, storedRow, picture.info, picture.pixels, colour);
    return colour;
}

// The n pixels of a piece from `first` on.
void writePixels(const RasterPicture& picture, int64_t first, uint32_t n, int64_t storedRow, RasterBlockWriter& out) {
    if (picture.format != kRasterFormatTwoColours) {
        for (uint32_t k = 0; k < n; ++k) out.rgbPixel(pixelColour(picture, first + k, storedRow));
        return;
    }
    const bool lightIsSet = picture.lightIndex == 1;
    uint32_t k = 0;
    const RasterPixels& p = picture.pixels;
    if (first >= 0 && first % 8 == 0 && n > kWholeBytesFrom && storedRow >= 0 && storedRow < p.height) {
        const uint64_t at = p.dataOffset + uint64_t(storedRow) * p.stride + uint64_t(first) / 8;
        const uint64_t rowEnd = p.dataOffset + (uint64_t(storedRow) + 1) * p.stride;
        const uint64_t bytes = std::min<uint64_t>((n - 16) / 8, rowEnd > at ? rowEnd - at : 0);
        out.bitBytes(p.bytes.data() + at, size_t(bytes), lightIsSet ? 0x00 : 0xFF);
        k = uint32_t(bytes * 8);
    }
    for (; k < n; ++k) out.bit(pictureBit(picture, first + k, storedRow) == lightIsSet);
    out.endPixels();
}

// The host word hook 16 receives: that of the drawing whose pass this is.
HostWord passHostWord(Drawing* drawing) {
    const DisplayContext* context = drawing->displayContext.get();
    if (context && context->ownerDrawing) return context->ownerDrawing->hostContext;
    return drawing->hostContext;
}

} // namespace

Point3 genImagePixelToWorld(const Point2& pixel, const RasterImageBody& body) {
    const double along = pixel.x + 0.5, up = body.size.y - 0.5 - pixel.y;
    return {body.insertion.x + along * body.uVector.x + up * body.vVector.x,
            body.insertion.y + along * body.uVector.y + up * body.vVector.y, body.insertion.z};
}

void genRasterImageRow(Drawing* drawing, double rowLine, int64_t storedRow, const RasterPlacement& placement,
                       const RasterPicture& picture, const Matrix4& matrix, int viewport, RasterBlockWriter& out) {
    const double width = picture.pixels.width;
    const Point3 start{placement.origin.x + rowLine * placement.v.x, placement.origin.y + rowLine * placement.v.y,
                       placement.origin.z};
    const Point3 end{start.x + width * placement.u.x, start.y + width * placement.u.y, start.z};
    const Point2 d0 = toDevice(start, matrix), d1 = toDevice(end, matrix);
    const double deviceLength2 = distance2(d0, d1);
    if (!(deviceLength2 > 0.0) || !std::isfinite(deviceLength2)) return;

    std::vector<Point2> pieces;
    const int32_t count = genClipSegment(drawing, d0, d1, int16_t(viewport), pieces);
    // Each piece along the row from its start, the pieces in that order.
    std::vector<std::pair<Point2, Point2>> visible;
    for (int32_t i = 0; i < count; ++i) {
        Point2 s = pieces[size_t(2 * i)], e = pieces[size_t(2 * i + 1)];
        if ((e.x - s.x) * (d1.x - d0.x) + (e.y - s.y) * (d1.y - d0.y) < 0.0) std::swap(s, e);
        visible.push_back({s, e});
    }
    std::sort(visible.begin(), visible.end(),
              [&](const auto& a, const auto& b) { return distance2(a.first, d0) < distance2(b.first, d0); });

    const double r2 = width * width / deviceLength2;
    const int64_t lastColumn = picture.pixels.width - 1;
    for (const auto& [s, e] : visible) {
        const double a = std::sqrt(distance2(s, d0) * r2);
        const double b = width - std::sqrt(distance2(d1, e) * r2);
        const double first = std::floor(a), last = std::ceil(b);
        RasterEndBlock startBlock{s, first, rowLine, a - first,
                                  pixelColour(picture, std::clamp<int64_t>(int64_t(first), 0, lastColumn), storedRow)};
        RasterEndBlock endBlock{e, last, rowLine, last - b,
                                pixelColour(picture, std::clamp<int64_t>(int64_t(last), 0, lastColumn), storedRow)};
        const double between = last - first - 1.0;
        const uint32_t n = between > 0.0 ? uint32_t(std::min(between, width + 1.0)) : 0;
        const double span = b - a;
        const double dx = span > 0.0 ? (e.x - s.x) / span : 0.0;
        const double dy = span > 0.0 ? (e.y - s.y) / span : 0.0;
        out.rowPiece(startBlock, endBlock, n, dx, dy);
        if (n > 0) writePixels(picture, int64_t(std::ceil(a)), n, storedRow, out);
    }
}

void genRenderRasterImage(Drawing* drawing, const RasterImageBody& body, const Matrix4* matrices) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || !matrices) return;
    OutputHookTable& table = *gOutputHookTable;
    if (!finitePoint(body.insertion) || !finitePoint(body.uVector) || !finitePoint(body.vVector) ||
        !std::isfinite(body.size.x) || !std::isfinite(body.size.y))
        return;
    const bool clipped = (body.displayProperties & kImageUseClipBoundary) != 0;
    const std::vector<Point3> boundary = clipped ? clipBoundary(body) : std::vector<Point3>();

    RasterPicture picture;
    bool drawn = false;
    if (body.picture && table.rasterData && body.size.x > 0.0 && body.size.y > 0.0 &&
        genPrepareRasterPicture(body.picture.bytes(), picture)) {
        RasterBlockWriter out(table.rasterData, drawing->hostContext);
        if (!out.allocate()) {
            dbNotifyError(kErrorReasonNoMemory);
        } else {
            drawn = true;
            const size_t viewports = size_t(std::max<int16_t>(context->viewportCount, 1));
            const std::vector<Matrix4> perViewport(matrices, matrices + viewports);
            if (!boundary.empty()) genPushClipBoundary(*context, &boundary, &perViewport);
            if (context->imageFrame) table.regenFlags |= kRegenRasterImage;
            const int32_t width = picture.pixels.width, height = picture.pixels.height;
            const RasterPlacement placement{body.insertion, scaled(body.uVector, body.size.x / width),
                                            scaled(body.vVector, body.size.y / height)};
            const ViewportRange range = genEntityViewports(*context);
            for (int i = range.first; i <= range.last; ++i) {
                if (!genViewportShows(*context, i)) continue;
                out.imageHeader(uint32_t(width), uint32_t(height), picture.format);
                for (int32_t row = 0; row < height; ++row) {
                    out.rowStart();
                    const int64_t stored = picture.pixels.topDown ? row : height - 1 - row;
                    genRasterImageRow(drawing, double(height - row), stored, placement, picture, matrices[i], i, out);
                }
            }
            out.flush();
            if (!boundary.empty()) genPopClipBoundary(*context);
            table.regenFlags &= uint8_t(~kRegenRasterImage);
        }
    }

    if (context->imageFrame || !drawn) {
        if (body.clipping != 0 && clipped) {
            genDrawClipFrame(drawing, boundary, matrices, nullptr);
        } else {
            // The image's rectangle, insertion + [0, W] U + [0, H] V: pixel centres lie at whole
            // pixel coordinates, so its corners are half a pixel out.
            const double w = body.size.x, h = body.size.y;
            std::vector<Point3> frame;
            for (const Point2& corner :
                 {Point2{-0.5, h - 0.5}, Point2{w - 0.5, h - 0.5}, Point2{w - 0.5, -0.5}, Point2{-0.5, -0.5}})
                frame.push_back(genImagePixelToWorld(corner, body));
            genDrawClipFrame(drawing, frame, matrices, nullptr);
        }
    }
}

int genDrawRasterImage(Drawing* drawing, EntityList* list, const EntityRecord& entity, const Matrix4* matrices) {
    const RasterImageBody* body = entity.body.getIf<RasterImageBody>();
    if (!drawing || !body) return 0;
    const ObjectRecord* definition = dbFindStoredObject(drawing, body->imageDefinition);
    const uint16_t imageDefClass = dbClassImageDef(drawing->classes);
    const ImageDefBody* imageDef = definition ? definition->body.getIf<ImageDefBody>() : nullptr;
    if (!imageDef || imageDefClass == 0 || definition->header.type != imageDefClass) return 0;

    const OutputHookTable* table = gOutputHookTable;
    if (body->picture || !table || !table->rasterImage || !table->rasterData) {
        genRenderRasterImage(drawing, *body, matrices);
        return 1;
    }
    PagedStream* picture = nullptr;
    table->rasterImage(imageDef->fileName.c_str(), picture, passHostWord(drawing));
    if (!picture) {
        genRenderRasterImage(drawing, *body, matrices);
        return 1;
    }
    // The picture stays with the stored entity, so that it is asked for once.
    EntityNode* node = list ? dbFindEntityNode(drawing, list, entity.header.handle) : nullptr;
    RasterImageBody* stored = node ? node->record.body.getIf<RasterImageBody>() : nullptr;
    if (stored) stored->picture.reset(picture);
    if (stored == body) {
        genRenderRasterImage(drawing, *body, matrices);
        return 1;
    }
    RasterImageBody shown = *body;
    if (stored)
        shown.picture = stored->picture;
    else
        shown.picture.reset(picture);
    genRenderRasterImage(drawing, shown, matrices);
    return 1;
}

} // namespace tracemill
