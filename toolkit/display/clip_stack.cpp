#include "toolkit/display/clip_stack.h"

#include <cmath>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/entity_outline.h"
#include "toolkit/display/extents_collection.h"
#include "toolkit/display/viewports.h"

namespace tracemill {
namespace {

// Normals this close to a view direction count as parallel to it.
constexpr double kParallelLimit = 1e-6;

// The entry of a dictionary object named exactly `name`, when the object is a dictionary with
// entries.
const ObjectRecord* dictionaryEntry(Drawing* drawing, const ObjectRecord* dictionary, std::string_view name) {
    if (!dictionary || dictionary->header.type != kObjectDictionary) return nullptr;
    const DictionaryBody* body = dictionary->body.getIf<DictionaryBody>();
    if (!body) return nullptr;
    for (const DictionaryEntry& entry : body->entries) {
        if (entry.name == name) return dbFindStoredObject(drawing, entry.handle);
    }
    return nullptr;
}

const SpatialFilterBody* filterBody(Drawing* drawing, Handle filter) {
    const ObjectRecord* object = drawing ? dbFindStoredObject(drawing, filter) : nullptr;
    const uint16_t filterClass = drawing ? dbClassSpatialFilter(drawing->classes) : 0;
    if (!object || filterClass == 0 || object->header.type != filterClass) return nullptr;
    return object->body.getIf<SpatialFilterBody>();
}

LoopSet enclosingRegion(const DisplayContext& context, size_t viewport) {
    if (context.clipBoundaries.empty()) return {};
    const ClipBoundaryEntry& below = context.clipBoundaries.back();
    return viewport < below.regions.size() ? below.regions[viewport] : LoopSet{};
}

std::vector<Point2> deviceLoop(const std::vector<Point3>& boundary, const Matrix4* matrix) {
    std::vector<Point2> loop;
    loop.reserve(boundary.size());
    for (const Point3& p : boundary) {
        Point4 out{p.x, p.y, p.z, 1.0};
        if (matrix) genPointTransform(out, *matrix, out);
        loop.push_back({out.x, out.y});
    }
    return loop;
}

bool parallel(const Point3& a, const Point3& b) {
    const Point3 c = genCross(genNormalized(a), genNormalized(b));
    return std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z) <= kParallelLimit;
}

// The extents a clip boundary widens, or null: not when the frame is drawn (the frame's lines
// widen them); in paper space only for a reference of paper space.
DisplayContext* boundaryExtents(Drawing* drawing, const DisplayContext& context) {
    DisplayContext* top = genExtentsCollector(drawing, 0);
    if (!top || context.xclipFrame) return nullptr;
    if (!context.paperSpace) return top;
    return (context.entity.flags & kEntityInPaperSpace) != 0 || context.paperSpacePass != 0 ? top : nullptr;
}

} // namespace

void genPushClipBoundary(DisplayContext& context, const std::vector<Point3>* boundary,
                         const std::vector<Matrix4>* matrices) {
    ClipBoundaryEntry entry;
    const size_t count = size_t(context.viewportCount);
    entry.regions.resize(count);
    for (size_t i = 0; i < count && boundary; ++i) {
        const Matrix4* matrix = matrices && i < matrices->size() ? &(*matrices)[i] : nullptr;
        const std::vector<Point2> loop = deviceLoop(*boundary, matrix);
        LoopSet region;
        genLoopSetFromPoints(region, int32_t(loop.size()), loop.data());
        if (context.clipBoundaries.empty()) entry.regions[i] = std::move(region);
        else genLoopSetIntersect(region, enclosingRegion(context, i), entry.regions[i]);
    }
    context.clipBoundaries.push_back(std::move(entry));
    if (!boundary) {
        for (size_t i = 0; i < count; ++i) genViewportClip(context, int(i));
    }
}

void genPopClipBoundary(DisplayContext& context) {
    if (!context.clipBoundaries.empty()) context.clipBoundaries.pop_back();
}

int genReadSpatialFilter(Drawing* drawing, const EntityHeader& header, Handle& out) {
    out = Handle();
    if (!drawing || header.extensionDictionary.isNull()) return 0;
    const ObjectRecord* dictionary = dbFindStoredObject(drawing, header.extensionDictionary);
    const ObjectRecord* filters = dictionaryEntry(drawing, dictionary, "ACAD_FILTER");
    const ObjectRecord* filter = dictionaryEntry(drawing, filters, "SPATIAL");
    if (!filter || filter->header.type != dbClassSpatialFilter(drawing->classes) ||
        dbClassSpatialFilter(drawing->classes) == 0)
        return 0;
    out = filter->header.handle;
    return 1;
}

int genPushClipEntry(Drawing* drawing, DisplayContext& context, Drawing* filterDrawing, Handle filter,
                     Handle blockReference, const Matrix4& matrix) {
    const SpatialFilterBody* body = filterBody(filterDrawing, filter);
    if (!body || body->displayBoundary == 0) return 0;
    context.clipEntries.push_back({filterDrawing, filter, blockReference, matrix});
    if (!blockReference.isNull()) return 1;

    std::vector<Point3> boundary;
    genClipBoundaryPoints(*body, boundary);
    const size_t count = size_t(context.viewportCount);
    std::vector<Matrix4> matrices(count);
    for (size_t i = 0; i < count; ++i) genMatrixMultiply(matrix, context.viewports[i].worldToDevice, matrices[i]);
    if (!boundary.empty() && context.xclipFrame) genDrawClipFrame(drawing, boundary, matrices.data(), nullptr);

    DisplayContext* collector = boundaryExtents(drawing, context);
    Point4 normal;
    genPointTransform({body->normal.x, body->normal.y, body->normal.z, 0.0}, matrix, normal);
    ClipBoundaryEntry entry;
    entry.regions.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const Point4& direction = context.viewports[i].direction;
        if (boundary.size() < 3 ||
            !parallel({direction.x, direction.y, direction.z}, {normal.x, normal.y, normal.z})) {
            entry.regions[i] = enclosingRegion(context, i);
            continue;
        }
        const std::vector<Point2> loop = deviceLoop(boundary, &matrices[i]);
        for (const Point2& p : loop) {
            if (i == 0 && collector) genWidenExtents(*collector, p);
        }
        LoopSet region;
        genLoopSetFromPoints(region, int32_t(loop.size()), loop.data());
        genLoopSetIntersect(region, enclosingRegion(context, i), entry.regions[i]);
        if (gOutputHookTable) gOutputHookTable->regenFlags |= kRegenXclipActive;
    }
    context.clipBoundaries.push_back(std::move(entry));
    return 1;
}

void genPopClipEntry(DisplayContext& context) {
    if (context.clipEntries.empty()) return;
    if (context.clipEntries.back().blockReference.isNull()) genPopClipBoundary(context);
    context.clipEntries.pop_back();
    if (context.clipEntries.empty() && gOutputHookTable) gOutputHookTable->regenFlags &= uint8_t(~kRegenXclipActive);
}

double genMatrixDeviceScale(const Matrix4& m) {
    const double x = m.at(0, 0) + m.at(1, 0) + m.at(2, 0);
    const double y = m.at(0, 1) + m.at(1, 1) + m.at(2, 1);
    const double z = m.at(0, 2) + m.at(1, 2) + m.at(2, 2);
    return std::sqrt((x * x + y * y + z * z) / 3.0);
}

} // namespace tracemill
