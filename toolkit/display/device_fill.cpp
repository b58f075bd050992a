#include "toolkit/display/device_fill.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/extents_collection.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/scratch_buffer.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {
namespace {

// Loops of more points than this are filled as triangles.
constexpr size_t kLoopPolygonLimit = 9;
// A view direction and a normal whose cross product is this small are parallel.
constexpr double kParallelSquared = 2e-12;

bool fillsWithoutDecision(const DrawnEntity& entity, const Drawing& drawing) {
    const uint16_t hatch = dbClassHatch(drawing.classes);
    return entity.kind == kEntityMline || entity.kind == kEntityText || (hatch != 0 && entity.kind == hatch);
}

bool extrudedFill(const DrawnEntity& entity) {
    return (entity.flags & kEntityHasExtrusion) && entity.kind != kEntityMline && entity.kind != kEntityLeader;
}

ClipWindow windowOf(const ViewportRecord& viewport) {
    const DeviceRect& r = viewport.clampedRect;
    return {r.x0, r.y0, r.x1 - 0.5, r.y1 - 0.5};
}

// The region the viewport's output is clipped to, when it is more than its rectangle.
const LoopSet* clipRegion(const DisplayContext& context, int viewport) {
    if (!context.viewports[size_t(viewport)].hasClipBoundary && context.clipBoundaries.size() <= 1) return nullptr;
    if (context.clipBoundaries.empty()) return nullptr;
    const ClipBoundaryEntry& top = context.clipBoundaries.back();
    return size_t(viewport) < top.regions.size() ? &top.regions[size_t(viewport)] : nullptr;
}

void widen(Drawing* drawing, int viewport, const std::vector<Point2>& points) {
    if (DisplayContext* collector = genExtentsCollector(drawing, int16_t(viewport))) {
        for (const Point2& p : points) genWidenExtents(*collector, p);
    }
}

// The points as device integers (truncated) in the fill scratch buffer; null when it cannot
// grow.
DevicePoint* integerPoints(const std::vector<Point2>& points) {
    std::vector<DevicePoint>& out = gOutputHookTable->fillPoints;
    if (!genBufferEnsure(out, points.size())) return nullptr;
    out.clear();
    for (const Point2& p : points) out.push_back({dbDeviceCoordinateTruncated(p.x), dbDeviceCoordinateTruncated(p.y)});
    return out.data();
}

void sendPolygon(Drawing* drawing, const std::vector<Point2>& points, PictureRecord* picture) {
    const DevicePoint* device = integerPoints(points);
    if (!device) return;
    const int32_t count = int32_t(points.size());
    if (picture) {
        picture->pointCount = count;
        picture->points = device;
        if (gOutputHookTable->picture) gOutputHookTable->picture(*picture, drawing->hostContext);
        return;
    }
    genFillPolygon(drawing, device, count);
}

void outline(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
             const Matrix4* matrices, int viewport) {
    genDrawSegmentInViewport(drawing, p1, p2, matrices, viewport);
    genDrawSegmentInViewport(drawing, p2, p4, matrices, viewport);
    genDrawSegmentInViewport(drawing, p4, p3, matrices, viewport);
    genDrawSegmentInViewport(drawing, p3, p1, matrices, viewport);
}

// The per-viewport transforms of a fill: the entity's object coordinate system before each
// viewport's matrix when it has one.
bool fillTransforms(Drawing* drawing, const Matrix4* matrices, std::vector<Matrix4>& out) {
    const DisplayContext& context = *drawing->displayContext;
    if (!dbTryResize(out, size_t(context.viewportCount))) {
        dbReportError(kErrorFillTransforms, kErrorReasonNoMemory);
        return false;
    }
    const bool extruded = extrudedFill(context.entity);
    for (size_t i = 0; i < out.size(); ++i) {
        if (extruded) genMatrixMultiply(context.entity.objectMatrix, matrices[i], out[i]);
        else out[i] = matrices[i];
    }
    return true;
}

} // namespace

Point2 genTransformPoint2d(const Point3& p, const Matrix4& m) {
    return {p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + m.at(3, 0),
            p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + m.at(3, 1)};
}

int genFillVisible(Drawing* drawing, int viewport) {
    const DisplayContext& context = *drawing->displayContext;
    if (drawing->header->fillmode == 0) return 0;
    if (context.entity.kind == kEntityLeader) return 1;
    if (!(context.entity.flags & kEntityHasExtrusion)) return (context.planMask >> viewport) & 1 ? 1 : 0;
    const Point4& d = context.viewports[size_t(viewport)].direction;
    const Point3 c = genCross({d.x, d.y, d.z}, context.entity.extrusion);
    return c.x * c.x + c.y * c.y + c.z * c.z < kParallelSquared ? 1 : 0;
}

void genViewportTransforms(Drawing* drawing, const Matrix4& transform, std::vector<Matrix4>& out) {
    const DisplayContext& context = *drawing->displayContext;
    out.resize(size_t(context.viewportCount));
    for (size_t i = 0; i < out.size(); ++i) genMatrixMultiply(transform, context.viewports[i].worldToDevice, out[i]);
}

bool genPolygonSpansBothAxes(const DevicePoint* points, int32_t count) {
    if (count < 1) return false;
    const bool sameX = std::all_of(points, points + count, [&](const DevicePoint& p) { return p.x == points[0].x; });
    const bool sameY = std::all_of(points, points + count, [&](const DevicePoint& p) { return p.y == points[0].y; });
    return !sameX && !sameY;
}

void genFillPolygon(Drawing* drawing, const DevicePoint* points, int32_t count) {
    if (!genPolygonSpansBothAxes(points, count) || !gOutputHookTable->polygon) return;
    gOutputHookTable->polygon({0, count - 1}, points, drawing->hostContext);
}

void genFillLoopSet(Drawing* drawing, const LoopSet& region, PictureRecord* picture) {
    const bool triangles = std::any_of(region.loops.begin(), region.loops.end(),
                                       [](const Loop& loop) { return loop.points.size() > kLoopPolygonLimit; });
    if (!triangles) {
        for (auto loop = region.loops.rbegin(); loop != region.loops.rend(); ++loop) sendPolygon(drawing, loop->points, picture);
        return;
    }
    StripSet strips;
    genLoopSetToStrips(region, strips);
    for (auto strip = strips.strips.rbegin(); strip != strips.strips.rend(); ++strip) {
        for (size_t k = 0; k + 2 < strip->size(); ++k)
            sendPolygon(drawing, {(*strip)[k], (*strip)[k + 1], (*strip)[k + 2]}, picture);
    }
}

void genFillQuadInViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                           const Matrix4* matrices, int viewport, const Matrix4& transform, PictureRecord* picture) {
    DisplayContext& context = *drawing->displayContext;
    if (!fillsWithoutDecision(context.entity, *drawing) && !genFillVisible(drawing, viewport)) {
        outline(drawing, p1, p2, p3, p4, matrices, viewport);
        return;
    }
    std::vector<Point2>& device = gOutputHookTable->fillDevicePoints;
    if (!genBufferEnsure(device, 4)) return;
    device.assign({genTransformPoint2d(p1, transform), genTransformPoint2d(p2, transform),
                   genTransformPoint2d(p4, transform), genTransformPoint2d(p3, transform)});
    if (picture) {
        picture->rect = {dbDeviceCoordinateTruncated(device[0].x), dbDeviceCoordinateTruncated(device[0].y),
                         dbDeviceCoordinateTruncated(device[2].x), dbDeviceCoordinateTruncated(device[2].y)};
    }
    genRemoveDuplicatePoints(device);
    widen(drawing, viewport, device);
    if (device.size() == 2) {
        genDrawClippedLine(drawing, device[0], device[1], int16_t(viewport));
        return;
    }
    if (device.size() < 3) return;
    if (const LoopSet* region = clipRegion(context, viewport)) {
        LoopSet subject, clipped;
        genLoopSetFromPoints(subject, int32_t(device.size()), device.data());
        if (genLoopSetIntersect(subject, *region, clipped) > 0) genFillLoopSet(drawing, clipped, picture);
        return;
    }
    std::vector<DevicePoint>& polygon = gOutputHookTable->fillPoints;
    if (!genBufferEnsure(polygon, device.size() + 4)) return;
    if (!genClipPolygonToWindow(windowOf(context.viewports[size_t(viewport)]), device, polygon)) return;
    if (picture) {
        picture->pointCount = int32_t(polygon.size());
        picture->points = polygon.data();
        if (gOutputHookTable->picture) gOutputHookTable->picture(*picture, drawing->hostContext);
        return;
    }
    genFillPolygon(drawing, polygon.data(), int32_t(polygon.size()));
}

int genFillQuadOneViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                           const Matrix4* matrices, int viewport) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || !genViewportShows(*context, viewport)) return 1;
    Matrix4 transform = matrices[viewport];
    if (extrudedFill(context->entity)) genMatrixMultiply(context->entity.objectMatrix, matrices[viewport], transform);
    genFillQuadInViewport(drawing, p1, p2, p3, p4, matrices, viewport, transform, nullptr);
    return 1;
}

int genFillQuad(Drawing* drawing, const Point3& p1, const Point3& p2, const Point3& p3, const Point3& p4,
                const Matrix4* matrices) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || !matrices) return 1;
    genRefreshTick(drawing);
    std::vector<Matrix4> transforms;
    if (!fillTransforms(drawing, matrices, transforms)) return 0;
    const ViewportRange range = genEntityViewports(*context);
    for (int i = range.first; i <= range.last; ++i) {
        if (genViewportShows(*context, i))
            genFillQuadInViewport(drawing, p1, p2, p3, p4, matrices, i, transforms[size_t(i)], nullptr);
    }
    return 1;
}

int genFillLoops(Drawing* drawing, const Point3* points, const int32_t* counts, int32_t loopCount,
                 const Matrix4* matrices) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable || !points || !counts || loopCount <= 0) return 0;
    size_t total = 0;
    for (int32_t i = 0; i < loopCount; ++i) total += size_t(std::max(counts[i], 0));
    if (total == 0) return 0;
    OutputHookTable& table = *gOutputHookTable;
    genRefreshTick(drawing);
    std::vector<Point2>& device = table.fillDevicePoints;
    if (!genBufferEnsure(device, total)) return 1;
    const ViewportRange range = genEntityViewports(*context);
    for (int v = range.first; v <= range.last; ++v) {
        if (!genViewportShows(*context, v)) continue;
        device.clear();
        for (size_t k = 0; k < total; ++k) device.push_back(genTransformPoint2d(points[k], matrices[v]));
        widen(drawing, v, device);
        const LoopSet* region = context->clipBoundaries.empty() || size_t(v) >= context->clipBoundaries.back().regions.size()
                                    ? nullptr
                                    : &context->clipBoundaries.back().regions[size_t(v)];
        if (table.hostPolyPolygon) {
            std::vector<Point2> kept;
            std::vector<int32_t>& keptCounts = table.fillCounts;
            keptCounts.clear();
            size_t first = 0;
            for (int32_t i = 0; i < loopCount; ++i) {
                const size_t n = size_t(std::max(counts[i], 0));
                LoopSet loop, clipped;
                genLoopSetFromPoints(loop, int32_t(n), device.data() + first);
                first += n;
                if (region) genLoopSetIntersect(loop, *region, clipped);
                else clipped = loop;
                for (const Loop& piece : clipped.loops) {
                    kept.insert(kept.end(), piece.points.begin(), piece.points.end());
                    keptCounts.push_back(int32_t(piece.points.size()));
                }
            }
            const DevicePoint* polygon = integerPoints(kept);
            if (polygon && !keptCounts.empty() && table.polyPolygon)
                table.polyPolygon(polygon, keptCounts.data(), int32_t(keptCounts.size()), drawing->hostContext);
            continue;
        }
        LoopSet outer;
        genLoopSetFromPoints(outer, std::max(counts[0], 0), device.data());
        StripSet strips;
        if (region) genStripSetIntersect(outer, *region, strips);
        else genLoopSetToStrips(outer, strips);
        for (const std::vector<Point2>& strip : strips.strips) {
            const DevicePoint* polygon = integerPoints(strip);
            if (!polygon || !table.polygon) continue;
            for (int32_t i = 0; i + 2 < int32_t(strip.size()); ++i) table.polygon({i, i + 2}, polygon, drawing->hostContext);
        }
    }
    return 1;
}

int genPictureQuad(Drawing* drawing, const Point3 corners[4], const Matrix4* matrices, PictureRecord& picture) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable) return 1;
    const ViewportRange range = genEntityViewports(*context);
    for (int i = range.first; i <= range.last; ++i) {
        if (genViewportShows(*context, i))
            genFillQuadInViewport(drawing, corners[0], corners[1], corners[3], corners[2], matrices, i, matrices[i],
                                  &picture);
    }
    return 1;
}

int genImageFrame(Drawing* drawing, const ImagePlacement& placement, const Matrix4* matrices, FillRecord& image) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !gOutputHookTable) return 1;
    std::vector<Point2> boundary;
    std::vector<DevicePoint> boundaryPoints;
    try {
        boundary = image.boundary;
        boundaryPoints.reserve(boundary.size());
    } catch (const std::bad_alloc&) {
        dbReportError(kErrorFillTransforms, kErrorReasonNoMemory);
        return 0;
    }
    const ImagePlacement& p = placement;
    auto at = [&](double x, double y) {
        return Point3{p.origin.x + x * p.u.x + y * p.v.x, p.origin.y + x * p.u.y + y * p.v.y,
                      p.origin.z + x * p.u.z + y * p.v.z};
    };
    const Point3 corners[4] = {at(0, 0), at(p.width, 0), at(p.width, p.height), at(0, p.height)};
    const ViewportRange range = genEntityViewports(*context);
    for (int v = range.first; v <= range.last; ++v) {
        if (!genViewportShows(*context, v)) continue;
        std::vector<Point2> device;
        for (const Point3& c : corners) {
            const Point2 d = genTransformPoint2d(c, matrices[v]);
            device.push_back({d.x + 0.5, d.y + 0.5});
        }
        for (size_t k = 0; k < 4; ++k)
            image.corners[k] = {dbDeviceCoordinateTruncated(device[k].x), dbDeviceCoordinateTruncated(device[k].y)};
        genRemoveDuplicatePoints(device);
        widen(drawing, v, device);
        if (device.size() == 2) {
            genDrawClippedLine(drawing, device[0], device[1], int16_t(v));
            continue;
        }
        if (device.size() < 3 || context->clipBoundaries.empty()) continue;
        const LoopSet& region = context->clipBoundaries.back().regions[size_t(v)];
        LoopSet frame, clipped;
        genLoopSetFromPoints(frame, int32_t(device.size()), device.data());
        if (genLoopSetIntersect(frame, region, clipped) == 0) continue;
        const DevicePoint* polygon = integerPoints(clipped.loops.front().points);
        if (!polygon) continue;
        const int32_t count = int32_t(clipped.loops.front().points.size());
        if (!genPolygonSpansBothAxes(polygon, count)) continue;
        image.polygonCount = count;
        image.polygon = polygon;
        std::vector<Point2> mapped;
        for (const Point2& b : boundary) mapped.push_back(genTransformPoint2d(at(b.x, p.height - 1.0 - b.y), matrices[v]));
        LoopSet own, ownClipped;
        genLoopSetFromPoints(own, int32_t(mapped.size()), mapped.data());
        boundaryPoints.clear();
        if (!mapped.empty() && genLoopSetIntersect(own, region, ownClipped) > 0) {
            for (const Point2& q : ownClipped.loops.front().points)
                boundaryPoints.push_back({dbDeviceCoordinateTruncated(q.x), dbDeviceCoordinateTruncated(q.y)});
        }
        image.boundaryCount = int32_t(boundaryPoints.size());
        image.boundaryPoints = boundaryPoints.data();
        if (gOutputHookTable->fillRecord) gOutputHookTable->fillRecord(image, drawing->hostContext);
    }
    image.boundary = boundary;
    image.boundaryPoints = nullptr;
    image.boundaryCount = 0;
    return 1;
}

} // namespace tracemill
