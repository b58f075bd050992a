#include "toolkit/display/proxy/proxy_graphics.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "toolkit/core/default_records.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/infinite_line.h"
#include "toolkit/display/linetype_by_index.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/proxy/proxy_mesh.h"
#include "toolkit/display/proxy/proxy_stream.h"
#include "toolkit/display/quad_outline.h"
#include "toolkit/display/text/single_line_text.h"

namespace tracemill {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// A text normal this close to (0, 0, 1) in each component is taken as it.
constexpr double kPlainNormal = 1e-7;
constexpr int32_t kLayerUnchanged = -1;

Point3 throughMatrix(const Point3& p, const Matrix4& m, double w) {
    Point4 out;
    genPointTransform({p.x, p.y, p.z, w}, m, out);
    return {out.x, out.y, out.z};
}

class ProxyPlayer {
public:
    ProxyPlayer(Drawing* drawing, const EntityHeader& header, const EntityPassValues& pass)
        : drawing_(drawing), context_(*drawing->displayContext), header_(header), pass_(pass),
          layerColour_(pass.byLayerColour), layerLinetype_(pass.byLayerLinetype), linetype_(pass.linetype) {}

    int play(std::span<const uint8_t> graphics);

private:
    int setUp();
    void place();
    int draw(const ProxyRecord& record);
    int arc(const Point3& centre, double radius, const Point3& normal, double start, double end);
    int arcFromRecord(const ProxyRecord& record);
    int arcThroughPoints(const ProxyRecord& record);
    void polyline(const std::vector<Point3>& points, bool closed);
    void polygon(const std::vector<Point3>& points);
    void mesh(const ProxyRecord& record);
    void shell(const ProxyRecord& record);
    void text(const ProxyText& text, bool options);
    void clipBoundary(const std::vector<Point3>& points);
    // Applies the attributes of edge or face i, where the arrays hold it.
    void attributes(const ProxyAttributes& a, size_t i);
    bool visible(const ProxyAttributes& a, size_t i) const { return a.visibility.size() <= i || a.visibility[i] != 0; }
    void setColour(int32_t value);
    void setLayer(int32_t index);
    void setLinetype(int32_t index);
    void line(const Point3& a, const Point3& b) {
        genDrawLinetypedSegment(drawing_, a, b, matrices_.data(), linetype_, nullptr, ++context_.segmentCounter, 0.0);
    }
    bool filled() const { return drawing_->header->fillmode != 0; }

    Drawing* drawing_;
    DisplayContext& context_;
    const EntityHeader& header_;
    const EntityPassValues& pass_;
    int32_t colourValue_ = kColourByLayer;  // as the last colour record gave it
    int32_t layerColour_;
    const LinetypeRecord* layerLinetype_;
    const LinetypeRecord* linetype_;
    // The transforms the stream pushed, the innermost last (the first the identity), and what
    // they make of the list's: the transform to the world and each viewport's matrix; with the
    // entity's object coordinate system first, for what is filled or clipped in device space.
    std::vector<Matrix4> models_{kIdentityMatrix4};
    Matrix4 transform_ = kIdentityMatrix4;
    std::vector<Matrix4> matrices_;
    std::vector<Matrix4> ownMatrices_;
    bool clipPushed_ = false;
};

int ProxyPlayer::setUp() {
    if (!dbTryResize(matrices_, size_t(context_.viewportCount)) ||
        !dbTryResize(ownMatrices_, size_t(context_.viewportCount)))
        return 0;
    place();
    return 1;
}

void ProxyPlayer::place() {
    const Matrix4& model = models_.back();
    genMatrixMultiply(model, pass_.transform, transform_);
    for (size_t i = 0; i < matrices_.size(); ++i) {
        genMatrixMultiply(model, pass_.matrices[i], matrices_[i]);
        if (header_.flags & kEntityHasExtrusion) genMatrixMultiply(context_.entity.objectMatrix, matrices_[i], ownMatrices_[i]);
        else ownMatrices_[i] = matrices_[i];
    }
}

int ProxyPlayer::play(std::span<const uint8_t> graphics) {
    if (!setUp()) return dbReportError(kErrorProxyArcTransforms, kErrorReasonNoMemory);
    const int16_t fillmode = drawing_->header->fillmode;
    ProxyCursor cursor(graphics);
    int result = 1;
    if (pgSkipHead(cursor)) {
        ProxyRecord record;
        while (result && pgReadRecord(cursor, record)) {
            result = draw(record);
            cursor.position = record.next;
        }
    }
    drawing_->header->fillmode = fillmode;
    if (clipPushed_) genPopClipBoundary(context_);
    return result;
}

int ProxyPlayer::draw(const ProxyRecord& record) {
    switch (record.type) {
    case kProxyCircle:
    case kProxyArc: return arcFromRecord(record);
    case kProxyCircle3P:
    case kProxyArc3P: return arcThroughPoints(record);
    case kProxyPolyline:
    case kProxyPolylineWithNormal: polyline(record.points, false); break;
    case kProxyPolygon: polygon(record.points); break;
    case kProxyMesh: mesh(record); break;
    case kProxyShell: shell(record); break;
    case kProxyText:
    case kProxyTextWithOptions: text(record.text, record.type == kProxyTextWithOptions); break;
    case kProxyXline:
    case kProxyRay: {
        const Point3& a = record.points[0];
        const Point3& b = record.points[1];
        genDrawInfiniteLine(drawing_, kEntityXline, a, {b.x - a.x, b.y - a.y, b.z - a.z}, matrices_.data(), linetype_);
        break;
    }
    case kProxyColour:
        setColour(record.value);
        colourValue_ = record.value;
        break;
    case kProxyLayer: setLayer(record.value); break;
    case kProxyLinetype: setLinetype(record.value); break;
    case kProxyFill: drawing_->header->fillmode = int16_t(record.value); break;
    case kProxyClipBoundary: clipBoundary(record.points); break;
    case kProxyPushTransform: {
        Matrix4 model;
        genMatrixMultiply(record.transform, models_.back(), model);
        models_.push_back(model);
        place();
        break;
    }
    case kProxyPopTransform:
        if (models_.size() > 1) {
            models_.pop_back();
            place();
        }
        break;
    default: break;
    }
    return 1;
}

// A circle or arc in the plane of `normal` about the centre (world points of the entity): the
// plane's frame, the entity's own coordinates and the list's transform make its matrices.
int ProxyPlayer::arc(const Point3& centre, double radius, const Point3& normal, double start, double end) {
    if (!(radius > 0.0) || !std::isfinite(radius) || !std::isfinite(start) || !std::isfinite(end)) return 1;
    Matrix4 plane;
    genOcsMatrix(normal, plane);
    Matrix4 inverse = plane;
    if (!genMatrixInverse(inverse)) return 1;
    if (header_.flags & kEntityHasExtrusion) genMatrixMultiply(plane, context_.entity.objectMatrix, plane);
    genMatrixMultiply(plane, transform_, plane);
    std::vector<Matrix4> matrices;
    if (!dbTryResize(matrices, size_t(context_.viewportCount)))
        return dbReportError(kErrorProxyArcTransforms, kErrorReasonNoMemory);
    for (size_t i = 0; i < matrices.size(); ++i) genMatrixMultiply(plane, context_.viewports[i].worldToDevice, matrices[i]);
    // The entity's coordinates are in the matrices: its chords are not taken through them again.
    const uint8_t flags = context_.entity.flags;
    context_.entity.flags &= uint8_t(~kEntityHasExtrusion);
    genDrawArc(drawing_, throughMatrix(centre, inverse, 1.0), start, end, radius, matrices.data(), true, nullptr,
               nullptr, linetype_);
    context_.entity.flags = flags;
    return 1;
}

int ProxyPlayer::arcFromRecord(const ProxyRecord& record) {
    if (record.type == kProxyCircle) return arc(record.centre, record.radius, record.normal, 0.0, kTwoPi);
    Matrix4 inverse;
    genOcsMatrix(record.normal, inverse);
    if (!genMatrixInverse(inverse)) return 1;
    const Point3 v = throughMatrix(record.startVector, inverse, 0.0);
    const double start = genLineAngle({0.0, 0.0}, {v.x, v.y});
    return arc(record.centre, record.radius, record.normal, start, start + record.sweep);
}

// The circle through three points, or the arc from the first to the last through the middle.
int ProxyPlayer::arcThroughPoints(const ProxyRecord& record) {
    const Point3& p0 = record.points[0];
    const Point3& p1 = record.points[1];
    const Point3& p2 = record.points[2];
    Point3 centre;
    Point4 n;
    genPlaneNormal(p0, p1, p2, n);
    if (!genCircleCentre3(p0, p1, p2, centre)) return 1;
    const Point3 normal{n.x, n.y, n.z};
    const double radius = genDistance3(centre, p0);
    if (record.type == kProxyCircle3P) return arc(centre, radius, normal, 0.0, kTwoPi);
    Matrix4 inverse;
    genOcsMatrix(normal, inverse);
    if (!genMatrixInverse(inverse)) return 1;
    const Point3 c = throughMatrix(centre, inverse, 1.0);
    auto angle = [&](const Point3& p) {
        const Point3 q = throughMatrix(p, inverse, 1.0);
        return genAngleOfPoint({c.x, c.y}, {q.x, q.y});
    };
    double s = angle(p0), m = angle(p1), e = angle(p2);
    while (s < 0.0 || m < 0.0 || e < 0.0) {
        s += kTwoPi;
        m += kTwoPi;
        e += kTwoPi;
    }
    double from = s, to = e;
    if (s < e) {
        if (!(s < m && m < e)) from = e, to = s + kTwoPi;
    } else if (s > e) {
        if (e < m && m < s) from = e, to = s;
        else to = e + kTwoPi;
    }
    return arc(centre, radius, normal, from, to);
}

void ProxyPlayer::polyline(const std::vector<Point3>& points, bool closed) {
    for (size_t i = 1; i < points.size(); ++i) line(points[i - 1], points[i]);
    if (closed && points.size() > 1) line(points.back(), points.front());
}

void ProxyPlayer::polygon(const std::vector<Point3>& points) {
    if (!filled()) {
        polyline(points, true);
        return;
    }
    const int32_t counts[] = {int32_t(points.size())};
    genFillLoops(drawing_, points.data(), counts, 1, ownMatrices_.data());
}

void ProxyPlayer::attributes(const ProxyAttributes& a, size_t i) {
    if (i < a.layers.size()) setLayer(a.layers[i]);
    if (i < a.linetypes.size()) setLinetype(a.linetypes[i]);
    if (i < a.colours.size()) setColour(a.colours[i]);
}

// The edges along the rows, then along the columns, then the faces: outlined with FILLMODE 0,
// else filled.
void ProxyPlayer::mesh(const ProxyRecord& record) {
    ProxyCursor body = record.body;
    ProxyMesh m;
    if (!pgReadMesh(body, record.rows, record.columns, m)) return;
    const size_t rows = size_t(m.rows), columns = size_t(m.columns);
    auto at = [&](size_t r, size_t c) -> const Point3& { return m.vertices[r * columns + c]; };
    size_t edge = 0;
    for (size_t r = 0; r < rows; ++r) {
        for (size_t c = 0; c + 1 < columns; ++c, ++edge) {
            if (!visible(m.edges, edge)) continue;
            attributes(m.edges, edge);
            line(at(r, c), at(r, c + 1));
        }
    }
    for (size_t r = 0; r + 1 < rows; ++r) {
        for (size_t c = 0; c < columns; ++c, ++edge) {
            if (!visible(m.edges, edge)) continue;
            attributes(m.edges, edge);
            line(at(r, c), at(r + 1, c));
        }
    }
    size_t face = 0;
    for (size_t r = 0; r + 1 < rows; ++r) {
        for (size_t c = 0; c + 1 < columns; ++c, ++face) {
            if (!visible(m.faces, face)) continue;
            attributes(m.faces, face);
            if (filled()) genFillQuad(drawing_, at(r, c), at(r, c + 1), at(r + 1, c), at(r + 1, c + 1), matrices_.data());
            else genQuadOutline(drawing_, at(r, c), at(r, c + 1), at(r + 1, c + 1), at(r + 1, c), matrices_.data(), linetype_);
        }
    }
}

// The edges of each face's outer loop; a hole loop is passed over, its edges counted.
void ProxyPlayer::shell(const ProxyRecord& record) {
    ProxyCursor body = record.body;
    ProxyShell s;
    if (!pgReadShell(body, record.rows, s)) return;
    const std::vector<int32_t>& list = s.faceList;
    size_t edge = 0;
    for (size_t i = 0; i < list.size();) {
        const int32_t count = list[i];
        const size_t n = size_t(count < 0 ? -int64_t(count) : count);
        const size_t first = i + 1;
        i = first + n;
        if (count < 0) {
            edge += n;
            continue;
        }
        for (size_t k = 0; k < n; ++k, ++edge) {
            const int32_t a = list[first + k], b = list[first + (k + 1) % n];
            if (a < 0 || b < 0 || size_t(a) >= s.vertices.size() || size_t(b) >= s.vertices.size()) continue;
            if (!visible(s.edges, edge)) continue;
            attributes(s.edges, edge);
            line(s.vertices[size_t(a)], s.vertices[size_t(b)]);
        }
    }
}

// A text in a style of its own: "STANDARD" in the font the record names ("txt" by default),
// turned along its direction in the plane of its normal.
void ProxyPlayer::text(const ProxyText& record, bool options) {
    StyleRecord style;
    dbInitStyleRecord(style);
    style.name = "STANDARD";
    style.fontFile = options && !record.fontFile.empty() ? record.fontFile : "txt";
    Point3 normal = record.normal;
    const bool plain = options ? std::fabs(normal.x) <= kPlainNormal && std::fabs(normal.y) <= kPlainNormal &&
                                     std::fabs(normal.z - 1.0) <= kPlainNormal
                               : normal == Point3{0.0, 0.0, 1.0};
    TextFields fields;
    fields.insertion = record.position;
    fields.height = record.height;
    fields.widthFactor = record.widthFactor != 0.0 ? record.widthFactor : 1.0;
    fields.obliqueAngle = record.obliqueAngle;
    fields.text = record.text;
    Point3 direction = record.direction;
    const DrawnEntity entity = context_.entity;
    if (!plain) {
        // The text lies in the plane of its own normal: its point and direction are taken
        // into that plane's coordinates, which the text drawer takes back out.
        genOcsMatrix(normal, context_.entity.objectMatrix);
        Matrix4 inverse = context_.entity.objectMatrix;
        if (genMatrixInverse(inverse)) {
            fields.insertion = throughMatrix(record.position, inverse, 1.0);
            direction = throughMatrix(direction, inverse, 0.0);
        }
        context_.entity.flags |= kEntityHasExtrusion;
        context_.entity.extrusion = normal;
    }
    fields.rotation = genLineAngle({0.0, 0.0}, {direction.x, direction.y});
    context_.entity.kind = kEntityText;
    genDrawText(drawing_, fields, style, transform_, context_.threeUnitTolerance);
    context_.entity = entity;
}

// The boundary pushed on the clip stack, in place of one this stream pushed before: two points
// are opposite corners of a rectangle.
void ProxyPlayer::clipBoundary(const std::vector<Point3>& points) {
    if (clipPushed_) genPopClipBoundary(context_);
    clipPushed_ = false;
    std::vector<Point3> boundary = points;
    if (points.size() == 2) {
        const Point3& a = points[0];
        const Point3& b = points[1];
        boundary = {{a.x, a.y, 0.0}, {a.x, b.y, 0.0}, {b.x, b.y, 0.0}, {b.x, a.y, 0.0}};
    }
    if (boundary.size() < 3) return;
    genPushClipBoundary(context_, &boundary, &ownMatrices_);
    clipPushed_ = true;
}

// 0 stands for the block's colour and 256 for the current layer's.
void ProxyPlayer::setColour(int32_t value) {
    const int32_t colour = value == kColourByBlock ? pass_.byBlockColour : value == kColourByLayer ? layerColour_ : value;
    genSetIndexColour(drawing_, colour);
}

// BYLAYER is the current layer's linetype, BYBLOCK the block's (null: continuous); a position
// beyond the LTYPE table leaves the current one.
void ProxyPlayer::setLinetype(int32_t index) {
    const LinetypeRecord* found = genLinetypeAtIndex(drawing_, index, layerLinetype_, pass_.byBlockLinetype);
    if (found || index == kMlineLinetypeByLayer || index == kMlineLinetypeByBlock) linetype_ = found;
}

void ProxyPlayer::setLayer(int32_t index) {
    if (index == kLayerUnchanged) return;
    int16_t colour = 0;
    const LinetypeRecord* linetype = nullptr;
    if (!genProxyLayer(drawing_, index, colour, linetype)) return;
    layerColour_ = colour;
    if (linetype) linetype_ = layerLinetype_ = linetype;
    if (colourValue_ == kColourByLayer) setColour(kColourByLayer);
}

} // namespace

int genProxyLayer(Drawing* drawing, int32_t index, int16_t& colour, const LinetypeRecord*& linetype) {
    if (!drawing || index < 0) return 0;
    int32_t position = 0;
    for (const auto& node : drawing->layers) {
        if (position++ != index) continue;
        const LayerRecord& layer = node.record;
        colour = layer.colour;
        Drawing* owner = layer.drawing ? layer.drawing : drawing;
        const auto* found = dbLookupNode(*owner, owner->linetypes, layer.linetype);
        linetype = found ? &found->record : nullptr;
        return 1;
    }
    return 0;
}

int genPlayProxyGraphics(Drawing* drawing, const EntityHeader& header, std::span<const uint8_t> graphics,
                         const EntityPassValues& pass) {
    if (!drawing || !drawing->displayContext || !drawing->header || !pass.matrices) return 1;
    return ProxyPlayer(drawing, header, pass).play(graphics);
}

int genDrawProxyGraphics(Drawing* drawing, const EntityHeader& header, const PagedStream* graphics,
                         const EntityPassValues& pass) {
    if (!graphics) return dbSetError(kErrorReadFromNullStream);
    return genPlayProxyGraphics(drawing, header, graphics->bytes, pass);
}

} // namespace tracemill
