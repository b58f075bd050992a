#include "toolkit/display/viewports.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/entity_outline.h"

namespace tracemill {
namespace {

// Components of a view direction this small are taken as 0.
constexpr double kDirectionNoise = 1e-13;
// VIEWPORT status flags: the viewport is switched off.
constexpr int32_t kViewportOff = 0x20000;
// The sheet a layout shows when neither its viewport nor the drawing's extents give one.
constexpr double kDefaultSheetWidth = 11.0;
constexpr double kDefaultSheetHeight = 8.5;
constexpr double kUsableSheetLimit = 1e12;

Point4 cleanDirection(const Point3& d) {
    Point4 out{std::fabs(d.x) < kDirectionNoise ? 0.0 : d.x, std::fabs(d.y) < kDirectionNoise ? 0.0 : d.y,
               std::fabs(d.z) < kDirectionNoise ? 0.0 : d.z, 0.0};
    if (out.x == 0.0 && out.y == 0.0 && out.z == 0.0) out.z = 1.0;
    return out;
}

Point4 asPoint(const Point3& p) { return {p.x, p.y, p.z, 1.0}; }

bool usableRect(const DeviceRect& r) { return r.x1 - r.x0 > 0.0 && r.y1 - r.y0 > 0.0; }

DeviceRect rectOf(const HostRect& r) { return {double(r.left), double(r.top), double(r.right), double(r.bottom)}; }

// The up direction, the view matrix and the target on the ground of a viewport whose direction,
// target, twist and view centre are set. The target then is the point the view shows at its
// centre, which the view matrix (made from the stored target and the view centre) keeps.
void finishViewportView(ViewportRecord& viewport) {
    viewport.up = genUpFromTwist(viewport.direction, viewport.twist);
    genViewMatrix(viewport.direction, viewport.target, viewport.up, viewport.viewCentre.x, viewport.viewCentre.y,
                  viewport.viewMatrix);
    viewport.target = genTargetOnGround(viewport.viewMatrix);
}

// Viewport 0 takes the host's rectangle; x1 and y1 of the clamped copy reach half a unit further.
void setHostRects(ViewportRecord& viewport, const HostRect& host) {
    viewport.deviceRect = rectOf(host);
    viewport.clampedRect = viewport.deviceRect;
    viewport.clampedRect.x1 += 0.5;
    viewport.clampedRect.y1 += 0.5;
}

// The world-to-device matrix of a viewport from its view matrix and the window matrix over
// `rect` of the given view width and height; nothing when the window is degenerate.
bool setWorldToDevice(ViewportRecord& viewport, const Matrix4& viewMatrix, const DeviceRect& rect, double width,
                      double height, Matrix4* windowOut) {
    if (!usableRect(rect) || !(width > 0.0) || !(height > 0.0)) return false;
    Matrix4 window;
    genWindowMatrix(rect, width, height, window);
    genMatrixMultiply(viewMatrix, window, viewport.worldToDevice);
    if (windowOut) *windowOut = window;
    return true;
}

// The view width that fills a rectangle at that view height.
double widthForRect(const DeviceRect& rect, double viewHeight) {
    return (rect.x1 - rect.x0) * viewHeight / (rect.y1 - rect.y0);
}

void takeViewportEntity(Drawing& drawing, const EntityRecord& entity, int index, DisplayContext& context) {
    ViewportBody body = entity.bodyAs<ViewportBody>();
    genViewportDefaults(body);
    ViewportRecord& viewport = context.viewports[size_t(index)];
    viewport = ViewportRecord{};
    viewport.direction = cleanDirection(body.viewDirection);
    viewport.target = asPoint(body.viewTarget);
    viewport.viewHeight = body.viewHeight;
    viewport.viewCentre = body.viewCentre;
    viewport.twist = body.twistAngle;
    viewport.lensLength = body.lensLength;
    viewport.viewMode = int16_t(body.statusFlags & 0x1F);
    viewport.sheetCentre = body.centre;
    viewport.sheetHeight = body.height;
    viewport.sheetWidth = body.width;
    for (const Handle& frozen : body.frozenLayers) {
        if (auto* layer = dbLookupNode(drawing, drawing.layers, frozen)) layer->record.frozenInViewports |= uint64_t(1) << index;
    }
    finishViewportView(viewport);
}

// The VIEWPORT entities a layout block shows, the sheet first.
std::vector<const EntityRecord*> layoutViewports(Drawing& drawing, Handle block, bool paperSpaceBlock) {
    std::vector<const EntityRecord*> found;
    EntityList* list = dbGetBlockEntityList(&drawing, block);
    if (!list) return found;
    genViewportFirst(&drawing, block);
    for (const EntityNode& node : *list) {
        if (found.size() >= size_t(kMaxViewports)) break;
        const EntityRecord& entity = node.record;
        if (entity.header.type != kEntityViewport) continue;
        const ViewportBody& body = entity.bodyAs<ViewportBody>();
        const bool on = drawing.versionIndex >= kVersionIndex2000 ? (body.statusFlags & kViewportOff) == 0
                                                                  : paperSpaceBlock && body.status != 0;
        if (on) found.push_back(&entity);
    }
    return found;
}

// True when the layout's first viewport is its sheet: the one with ID 1, or in a drawing of
// 2000 the overall viewport of a layout that is not current, which the file keeps first with
// ID and status 0. Taken for a view into model space, it would show model space at paper scale.
bool isSheetViewport(const Drawing& drawing, const ViewportBody& front) {
    if (front.id == 1) return true;
    return drawing.versionIndex >= kVersionIndex2000 && front.id == 0 && front.status == 0;
}

// The viewports of the drawing's viewport index, the sheet first, at most 48.
std::vector<const EntityRecord*> indexedViewports(Drawing& drawing) {
    std::vector<const EntityRecord*> found;
    constexpr size_t kIndexedLimit = 48;
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& entry : drawing.viewportIndex) {
            if (found.size() >= kIndexedLimit || !entry.record.node) continue;
            const EntityRecord& entity = entry.record.node->record;
            const ViewportBody* body = entity.body.getIf<ViewportBody>();
            if (!body) continue;
            const bool sheet = body->id == 1;
            if ((pass == 0 && sheet) || (pass == 1 && !sheet && body->status != 0)) found.push_back(&entity);
        }
    }
    return found;
}

// The sheet a layout shows when its own VIEWPORT cannot be read.
void makeSheet(const Drawing& drawing, ViewportRecord& sheet) {
    sheet = ViewportRecord{};
    const Point3& lo = drawing.header->extmin;
    const Point3& hi = drawing.header->extmax;
    const double width = hi.x - lo.x;
    const double height = hi.y - lo.y;
    if (width > 0.0 && height > 0.0 && width < kUsableSheetLimit && height < kUsableSheetLimit) {
        sheet.sheetCentre = {(lo.x + hi.x) / 2.0, (lo.y + hi.y) / 2.0, 0.0};
        sheet.sheetWidth = width;
        sheet.sheetHeight = height;
    } else {
        sheet.sheetCentre = {kDefaultSheetWidth / 2.0, kDefaultSheetHeight / 2.0, 0.0};
        sheet.sheetWidth = kDefaultSheetWidth;
        sheet.sheetHeight = kDefaultSheetHeight;
    }
    sheet.viewHeight = sheet.sheetHeight;
    sheet.viewCentre = {sheet.sheetCentre.x, sheet.sheetCentre.y};
    finishViewportView(sheet);
}

// The model-space view: the "*ACTIVE" VPORT record. Its aspect, -1.0 without a record.
double takeActiveVport(Drawing& drawing, ViewportRecord& viewport) {
    viewport = ViewportRecord{};
    const VportRecord* chosen = nullptr;
    for (const auto& node : drawing.vports) {
        chosen = &node.record;
        if (node.record.flags == 0 && node.record.name == "*ACTIVE") break;
    }
    if (chosen && !dbEqualsNoCase(chosen->name, "*ACTIVE")) chosen = nullptr;
    viewport.viewHeight = 0.0;
    if (!chosen) {
        finishViewportView(viewport);
        return -1.0;
    }
    viewport.direction = cleanDirection(chosen->direction);
    viewport.target = asPoint(chosen->target);
    viewport.viewCentre = chosen->centre;
    viewport.viewHeight = chosen->height;
    viewport.viewMode = chosen->viewMode;
    viewport.twist = chosen->twist;
    finishViewportView(viewport);
    return chosen->aspect;
}

void readViewportClipBoundary(Drawing& drawing, const EntityRecord& entity, ViewportRecord& viewport) {
    const ViewportBody& body = entity.bodyAs<ViewportBody>();
    if (body.clipBoundary.isNull()) return;
    const auto* layer = dbLookupNode(drawing, drawing.layers, entity.header.layer);
    if (layer && (layer->record.frozenInViewports & 1)) return;
    std::vector<Point2> outline;
    if (!genEntityOutline(&drawing, body.clipBoundary, outline) || outline.size() < 3) return;
    viewport.clipBoundary = std::move(outline);
    viewport.clipBoundaryZ = body.centre.z;
    viewport.hasClipBoundary = true;
}

} // namespace

void genViewMatrix(const Point4& direction, const Point4& target, const Point4& up, double offsetX, double offsetY,
                   Matrix4& out) {
    Matrix4 m = kIdentityMatrix4;
    m.at(3, 0) -= target.x;
    m.at(3, 1) -= target.y;
    m.at(3, 2) -= target.z;
    const double r = std::sqrt(direction.y * direction.y + direction.z * direction.z);
    if (r > 1e-30) genMatrixRotateAxis(direction.y / r, direction.z / r, 0, m);
    genMatrixRotateAxis(-direction.x, r, 1, m);
    const double ux = up.x * m.at(0, 0) + up.y * m.at(1, 0) + up.z * m.at(2, 0);
    const double uy = up.x * m.at(0, 1) + up.y * m.at(1, 1) + up.z * m.at(2, 1);
    const double s = std::sqrt(ux * ux + uy * uy);
    // An up direction along the line of sight leaves the turn about z undefined: none is made.
    if (s > 0.0) genMatrixRotateAxis(ux / s, uy / s, 2, m);
    m.at(3, 0) -= offsetX;
    m.at(3, 1) -= offsetY;
    out = m;
}

void genWindowMatrix(const DeviceRect& rect, double width, double height, Matrix4& out) {
    const double sx = (rect.x1 - rect.x0) / width;
    const double sy = (rect.y1 - rect.y0) / height;
    out = kIdentityMatrix4;
    out.at(0, 0) = sx;
    out.at(1, 1) = sy;
    out.at(2, 2) = sx;
    out.at(3, 0) = (rect.x0 + rect.x1) / 2.0 + 0.5;
    out.at(3, 1) = (rect.y0 + rect.y1) / 2.0 + 0.5;
}

Point4 genUpFromTwist(const Point4& direction, double twist) {
    const Point3 d = genNormalized({direction.x, direction.y, direction.z});
    Point3 up{0.0, 1.0, 0.0};
    if (d.x != 0.0 || d.y != 0.0) {
        const Point3 a = genNormalized(genCross({0.0, 0.0, 1.0}, d));
        up = genNormalized(genCross(d, a));
    }
    if (twist != 0.0) {
        Point3 p{d.x + up.x, d.y + up.y, d.z + up.z};
        genRotateAboutAxis(p, d, d, -twist);
        up = genNormalized({p.x - d.x, p.y - d.y, p.z - d.z});
    }
    auto clean = [](double v) { return std::fabs(v) < kDirectionNoise ? 0.0 : v; };
    return {clean(up.x), clean(up.y), clean(up.z), 0.0};
}

Point4 genTargetOnGround(const Matrix4& viewMatrix) {
    Matrix4 inverse = viewMatrix;
    if (!genMatrixInverse(inverse)) return {0.0, 0.0, 0.0, 1.0};
    Point4 a, b;
    genPointTransform({0.0, 0.0, 0.0, 1.0}, inverse, a);
    genPointTransform({0.0, 0.0, 1.0, 1.0}, inverse, b);
    const double av[3] = {a.x, a.y, a.z};
    const double bv[3] = {b.x, b.y, b.z};
    for (int plane : {2, 1, 0}) {
        if (std::fabs(av[plane] - bv[plane]) <= 1e-6) continue;
        const double t = av[plane] / (av[plane] - bv[plane]);
        Point4 out{a.x - (a.x - b.x) * t, a.y - (a.y - b.y) * t, a.z - (a.z - b.z) * t, 1.0};
        if (plane == 2) out.z = 0.0;
        if (plane == 1) out.y = 0.0;
        if (plane == 0) out.x = 0.0;
        return out;
    }
    return {0.0, 0.0, 0.0, 1.0};
}

void genViewportDeviceRect(DisplayContext& context, int i) {
    ViewportRecord& viewport = context.viewports[size_t(i)];
    const Matrix4& sheet = context.viewports[0].worldToDevice;
    Point4 a, b;
    const Point3& c = viewport.sheetCentre;
    genPointTransform({c.x - viewport.sheetWidth / 2.0, c.y - viewport.sheetHeight / 2.0, c.z, 1.0}, sheet, a);
    genPointTransform({c.x + viewport.sheetWidth / 2.0, c.y + viewport.sheetHeight / 2.0, c.z, 1.0}, sheet, b);
    viewport.deviceRect = {std::fmin(a.x, b.x), std::fmin(a.y, b.y), std::fmax(a.x, b.x), std::fmax(a.y, b.y)};
    const HostRect& host = context.hostRect;
    viewport.clampedRect = {std::fmax(viewport.deviceRect.x0, double(host.left)),
                            std::fmax(viewport.deviceRect.y0, double(host.top)),
                            std::fmin(viewport.deviceRect.x1, double(host.right)),
                            std::fmin(viewport.deviceRect.y1, double(host.bottom))};
}

void genViewportClip(DisplayContext& context, int i) {
    if (context.clipBoundaries.empty()) return;
    ClipBoundaryEntry& top = context.clipBoundaries.back();
    if (top.regions.size() <= size_t(i)) top.regions.resize(size_t(i) + 1);
    const ViewportRecord& viewport = context.viewports[size_t(i)];
    const DeviceRect& r = viewport.clampedRect;
    LoopSet rectangle;
    const Point2 corners[4] = {{r.x0, r.y0}, {r.x1, r.y0}, {r.x1, r.y1}, {r.x0, r.y1}};
    genLoopSetFromPoints(rectangle, 4, corners);
    if (!viewport.hasClipBoundary) {
        top.regions[size_t(i)] = std::move(rectangle);
        return;
    }
    std::vector<Point2> device;
    device.reserve(viewport.clipBoundary.size());
    for (const Point2& p : viewport.clipBoundary) {
        Point4 out;
        genPointTransform({p.x, p.y, viewport.clipBoundaryZ, 1.0}, context.viewports[0].worldToDevice, out);
        device.push_back({out.x, out.y});
    }
    LoopSet boundary;
    genLoopSetFromPoints(boundary, int32_t(device.size()), device.data());
    genLoopSetIntersect(boundary, rectangle, top.regions[size_t(i)]);
}

void genSetupViewports(Drawing* drawing, const HostRect& deviceRect, ViewBlock& view, Handle layoutHandle) {
    DisplayContext& context = *drawing->displayContext;
    context.hostRect = deviceRect;
    context.layoutBlock = layoutHandle;
    context.paperSpaceDisplayBlock = drawing->handles.paperSpaceBlock;
    for (auto& layer : drawing->layers) layer.record.frozenInViewports = 0;

    int count = 1;
    double aspect = -1.0;
    const bool topDrawing = context.ownerDrawing == drawing;
    std::vector<const EntityRecord*> sheetEntities;
    int firstFromEntity = 0;
    if (!context.paperSpace) {
        aspect = takeActiveVport(*drawing, context.viewports[0]);
    } else {
        Handle block = context.paperSpaceDisplayBlock;
        if (!layoutHandle.isNull() && dbLookupBlock(*drawing, layoutHandle)) block = layoutHandle;
        context.paperSpaceDisplayBlock = block;
        sheetEntities = layoutViewports(*drawing, block, block == drawing->handles.paperSpaceBlock);
        if (sheetEntities.empty() && dbListCount(&drawing->viewportIndex) > 0) sheetEntities = indexedViewports(*drawing);
        if (sheetEntities.empty() || !isSheetViewport(*drawing, sheetEntities.front()->bodyAs<ViewportBody>())) {
            makeSheet(*drawing, context.viewports[0]);
            count = 1;
        } else {
            count = 0;
        }
        // Viewport i was made from entity i - firstFromEntity (after a sheet of our own, the
        // entities start at viewport 1).
        firstFromEntity = count;
        for (const EntityRecord* entity : sheetEntities) {
            if (count >= kMaxViewports) break;
            takeViewportEntity(*drawing, *entity, count, context);
            ++count;
        }
        if (count == 0) {
            makeSheet(*drawing, context.viewports[0]);
            count = 1;
        }
    }

    // Viewport 0 and the view the host starts from.
    ViewportRecord& first = context.viewports[0];
    setHostRects(first, deviceRect);
    const DeviceRect host = rectOf(deviceRect);
    const double deviceAspect = usableRect(host) ? (host.x1 - host.x0) / (host.y1 - host.y0) : 1.0;
    if (aspect <= 0.0 || aspect <= deviceAspect) {
        view.height = first.viewHeight;
        view.width = first.viewHeight * deviceAspect;
    } else {
        view.width = first.viewHeight * aspect;
        view.height = first.viewHeight * aspect / deviceAspect;
    }
    context.viewMatrix = first.viewMatrix;
    if (usableRect(first.deviceRect) && first.viewHeight > 0.0) {
        setWorldToDevice(first, first.viewMatrix, first.deviceRect, widthForRect(first.deviceRect, first.viewHeight),
                         first.viewHeight, &context.windowMatrix);
    }
    for (int i = 1; i < count; ++i) {
        ViewportRecord& viewport = context.viewports[size_t(i)];
        genViewportDeviceRect(context, i);
        if (usableRect(viewport.deviceRect)) {
            setWorldToDevice(viewport, viewport.viewMatrix, viewport.deviceRect,
                             widthForRect(viewport.deviceRect, viewport.viewHeight), viewport.viewHeight, nullptr);
        }
        const size_t entity = size_t(i - firstFromEntity);
        if (topDrawing && entity < sheetEntities.size()) readViewportClipBoundary(*drawing, *sheetEntities[entity], viewport);
    }

    view.direction = first.direction;
    view.target = first.target;
    view.up = first.up;
    context.viewportCount = int16_t(count);
    if (context.paperSpace) context.paperSpaceViewportCount = int16_t(count);
    context.paperSpaceWithViewports = context.paperSpace;
    context.visibleMask = count >= 64 ? ~uint64_t(0) : (uint64_t(1) << count) - 1;
    context.clipBoundaries.clear();
    context.clipEntries.clear();
    genPushClipBoundary(context, nullptr, nullptr);
}

void genApplyView(Drawing* drawing, const ViewBlock& view, const HostRect& deviceRect) {
    DisplayContext& context = *drawing->displayContext;
    if (!(view == context.lastView)) {
        context.extentsFlag = 0;
        context.extentsMinX = context.extentsMinY = 1e300;
        context.extentsMaxX = context.extentsMaxY = -1e300;
        context.lastView = view;
    }
    const DeviceRect host = rectOf(deviceRect);
    // A view without size, or a rectangle without area, leaves the transforms as they were.
    if (!usableRect(host) || !(view.width > 0.0) || !(view.height > 0.0)) return;
    context.hostRect = deviceRect;
    const double sx = (host.x1 - host.x0) / view.width;
    const double sy = (host.y1 - host.y0) / view.height;

    ViewportRecord& first = context.viewports[0];
    first.direction = view.direction;
    first.target = view.target;
    first.up = view.up;
    first.viewHeight = view.height;
    setHostRects(first, deviceRect);
    genViewMatrix(first.direction, first.target, first.up, 0.0, 0.0, first.viewMatrix);
    context.viewMatrix = first.viewMatrix;
    setWorldToDevice(first, first.viewMatrix, first.deviceRect, view.width, view.height, &context.windowMatrix);
    genViewportClip(context, 0);

    if (!context.paperSpace) return;
    for (int i = 1; i < context.viewportCount; ++i) {
        ViewportRecord& viewport = context.viewports[size_t(i)];
        genViewportDeviceRect(context, i);
        genViewportClip(context, i);
        if (!usableRect(viewport.deviceRect)) continue;
        setWorldToDevice(viewport, viewport.viewMatrix, viewport.deviceRect,
                         widthForRect(viewport.deviceRect, viewport.viewHeight) * (sy / sx), viewport.viewHeight,
                         nullptr);
    }
}

void genViewFromViewRecord(const ViewRecord& record, ViewBlock& view) {
    const double oldAspect = view.height > 0.0 && view.width > 0.0 ? view.width / view.height : 1.0;
    ViewportRecord viewport;
    viewport.direction = cleanDirection(record.direction);
    viewport.target = asPoint(record.target);
    viewport.twist = record.twist;
    viewport.up = genUpFromTwist(viewport.direction, viewport.twist);
    // The view's centre is given in its own plane: the target becomes the point it shows.
    Matrix4 m;
    genViewMatrix(viewport.direction, viewport.target, viewport.up, record.centre.x, record.centre.y, m);
    Point4 centre{0.0, 0.0, 0.0, 1.0};
    if (genMatrixInverse(m)) genPointTransform({0.0, 0.0, 0.0, 1.0}, m, centre);
    view.direction = viewport.direction;
    view.target = {centre.x, centre.y, centre.z, 1.0};
    view.up = viewport.up;
    view.height = record.height;
    view.width = record.height * oldAspect;
}

int genViewportFirst(Drawing* drawing, Handle block) {
    EntityList* list = drawing ? dbGetBlockEntityList(drawing, block) : nullptr;
    if (!list) return 0;
    bool otherBefore = false;
    for (EntityNode& node : *list) {
        if (node.record.header.type != kEntityViewport) continue;
        const ViewportBody& body = node.record.bodyAs<ViewportBody>();
        if (body.id == 1) {
            if (!otherBefore) return 0;
            dbListUnlinkOne(list, &node);
            dbListInsertChainFront(list, &node);
            return 1;
        }
        if (body.status != 0) otherBefore = true;
    }
    return 0;
}

void genViewportDefaults(ViewportBody& viewport) {
    if (!(viewport.viewHeight > 0.0)) viewport.viewHeight = 1.0;
    if (!(viewport.width > 0.0)) viewport.width = 1.0;
}

int genSelectRecordHandle(const Drawing* drawing, Handle& out, int selector) {
    if (!drawing || (selector != 0 && selector != 1)) return 0;
    const Handle handle = selector == 0 ? drawing->handles.paperSpaceBlock : drawing->handles.modelSpaceBlock;
    if (handle.isNull()) return 0;
    out = handle;
    return 1;
}

} // namespace tracemill
