#include "toolkit/display/mline_drawer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/object_access.h"
#include "toolkit/core/object_record.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/linetype_by_index.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {
namespace {

// Bit of the multiline's own flags: the last vertex joins the first.
constexpr int16_t kMlineClosed = 0x02;
constexpr int16_t kMlineArcCaps =
    kMlineStyleStartInnerArcs | kMlineStyleStartRound | kMlineStyleEndInnerArcs | kMlineStyleEndRound;
// Inner arcs need more elements than this.
constexpr size_t kInnerArcElements = 3;

Point3 plus(const Point3& p, const Point3& v, double f) { return {p.x + v.x * f, p.y + v.y * f, p.z + v.z * f}; }

// The matrices that take the entity's plane to each viewport's device, and a point of the world
// into that plane.
class CapPlane {
public:
    bool make(Drawing* drawing, const EntityHeader& header, const EntityPassValues& pass) {
        const DisplayContext& context = *drawing->displayContext;
        if (!dbTryResize(matrices, size_t(context.viewportCount))) return false;
        Matrix4 plane = kIdentityMatrix4;
        if (header.flags & kEntityHasExtrusion) {
            genOcsMatrix(header.extrusion, plane);
            inverse_ = plane;
            inverted_ = genMatrixInverse(inverse_) != 0;
        }
        for (size_t i = 0; i < matrices.size(); ++i) genMatrixMultiply(plane, pass.matrices[i], matrices[i]);
        return true;
    }
    Point3 local(const Point3& p) const {
        if (!inverted_) return p;
        Point4 out;
        genPointTransform({p.x, p.y, p.z, 1.0}, inverse_, out);
        return {out.x, out.y, out.z};
    }

    std::vector<Matrix4> matrices;

private:
    Matrix4 inverse_ = kIdentityMatrix4;
    bool inverted_ = false;
};

// The half circle of a cap in the entity's plane: about the middle of its two points, through
// both, its angles counted from the first.
struct CapCircle {
    CapCircle(const CapPlane& plane, const Point3& p1, const Point3& p2) {
        const Point3 a = plane.local(p1), b = plane.local(p2);
        centre = {(a.x + b.x) / 2.0, (a.y + b.y) / 2.0, (a.z + b.z) / 2.0};
        radius = genDistance3(a, b) / 2.0;
        reference = genAngleOfPoint({centre.x, centre.y}, {a.x, a.y});
    }
    Point3 centre;
    double radius = 0.0;
    double reference = 0.0;
};

class MlineDrawer {
public:
    MlineDrawer(Drawing* drawing, const EntityHeader& header, const MlineBody& mline, const EntityPassValues& pass)
        : drawing_(drawing), context_(*drawing->displayContext), header_(header), mline_(mline), pass_(pass) {}

    int draw();

private:
    // Where element e starts at vertex k: moved from the vertex along the miter by the first
    // parameter, then along the segment by the second. The parameters are distances in the
    // drawing, the multiline's scale already in them.
    Point3 start(size_t k, size_t e) const {
        const MlineVertex& v = mline_.vertices[k];
        const std::vector<double>& p = v.elements[e].segment;
        Point3 q = v.position;
        if (!p.empty()) q = plus(q, v.miter, p[0]);
        if (p.size() > 1) q = plus(q, v.direction, p[1]);
        return q;
    }
    void line(const Point3& a, const Point3& b, const LinetypeRecord* linetype) {
        genDrawLinetypedSegment(drawing_, a, b, pass_.matrices, linetype, nullptr, ++context_.segmentCounter, 0.0);
    }
    int32_t resolve(int32_t colour) const {
        return colour == kColourByBlock ? pass_.byBlockColour : colour == kColourByLayer ? pass_.byLayerColour : colour;
    }
    int fillPass();
    void drawPass();
    int caps(size_t k, double sign, int16_t square, int16_t round, int16_t inner);

    Drawing* drawing_;
    DisplayContext& context_;
    const EntityHeader& header_;
    const MlineBody& mline_;
    const EntityPassValues& pass_;
    int16_t flags_ = 0;
    size_t elements_ = 0;
    size_t segments_ = 0;  // vertex to vertex, the closing one included
    std::vector<int32_t> colours_;
    std::vector<const LinetypeRecord*> linetypes_;
    int32_t fillColour_ = 0;
};

int MlineDrawer::draw() {
    const size_t count = mline_.vertices.size();
    if (count < 2) return 1;
    const ObjectRecord* object = dbFindStoredObject(drawing_, mline_.style);
    const MlineStyleBody* style = object ? object->body.getIf<MlineStyleBody>() : nullptr;
    // The elements every vertex and the style hold: a count beyond the data draws what is there.
    elements_ = style ? style->elements.size() : std::numeric_limits<size_t>::max();
    for (const MlineVertex& v : mline_.vertices) elements_ = std::min(elements_, v.elements.size());
    if (elements_ == 0) return 1;
    if (!dbTryResize(colours_, elements_) || !dbTryResize(linetypes_, elements_))
        return dbReportError(kErrorMlineElementLinetypes, kErrorReasonNoMemory);
    for (size_t e = 0; e < elements_; ++e) {
        colours_[e] = style ? resolve(style->elements[e].colour) : pass_.colour;
        const LinetypeRecord* linetype =
            style ? genLinetypeAtIndex(drawing_, style->elements[e].linetypeIndex, pass_.byLayerLinetype,
                                       pass_.byBlockLinetype)
                  : nullptr;
        linetypes_[e] = linetype ? linetype : pass_.linetype;
    }
    flags_ = style ? style->flags : 0;
    const bool closed = (mline_.flags & kMlineClosed) != 0;
    if (closed) flags_ &= int16_t(~kMlineArcCaps);
    segments_ = closed ? count : count - 1;
    fillColour_ = style ? resolve(style->fillColour) : pass_.colour;

    if ((flags_ & kMlineStyleFill) && !fillPass()) return 0;
    drawPass();
    if (!caps(0, 1.0, kMlineStyleStartSquare, kMlineStyleStartRound, kMlineStyleStartInnerArcs)) return 0;
    if (!caps(count - 1, -1.0, kMlineStyleEndSquare, kMlineStyleEndRound, kMlineStyleEndInnerArcs)) return 0;
    genSetIndexColour(drawing_, pass_.colour);
    return 1;
}

// The bands between neighbouring elements from vertex to vertex, and the half discs of round
// caps, in the fill colour.
int MlineDrawer::fillPass() {
    genSetIndexColour(drawing_, fillColour_);
    const size_t count = mline_.vertices.size();
    for (size_t k = 1; k <= segments_; ++k) {
        const size_t previous = k - 1, current = k % count;
        for (size_t e = 1; e < elements_; ++e)
            genFillQuad(drawing_, start(previous, e - 1), start(current, e - 1), start(previous, e), start(current, e),
                        pass_.matrices);
    }
    if (elements_ < 2) return 1;
    const size_t last = elements_ - 1;
    if ((flags_ & kMlineStyleStartRound) &&
        !genMlineCapFill(drawing_, header_, start(0, 0), start(0, last), 1.0, pass_))
        return 0;
    if ((flags_ & kMlineStyleEndRound) &&
        !genMlineCapFill(drawing_, header_, start(count - 1, 0), start(count - 1, last), -1.0, pass_))
        return 0;
    return 1;
}

// Each element from vertex to vertex, drawn and not drawn in turn between its breaks: what the
// pen was at the last break of a vertex it stays until the element reaches the next vertex.
void MlineDrawer::drawPass() {
    struct Pen {
        Point3 at;
        bool down = true;
    };
    std::vector<Pen> pens(elements_);
    const size_t count = mline_.vertices.size();
    for (size_t k = 0; k <= segments_; ++k) {
        const size_t vertex = k % count;
        const bool arrivalOnly = k == count;  // the closing return to the first vertex
        const MlineVertex& v = mline_.vertices[vertex];
        for (size_t e = 0; e < elements_; ++e) {
            genSetIndexColour(drawing_, colours_[e]);
            Pen& pen = pens[e];
            const Point3 here = start(vertex, e);
            if (k > 0 && pen.down) line(pen.at, here, linetypes_[e]);
            if (arrivalOnly) continue;
            pen = {here, true};
            const std::vector<double>& p = v.elements[e].segment;
            for (size_t j = 2; j < p.size(); ++j) {
                const Point3 at = plus(here, v.direction, p[j]);
                if (pen.down) line(pen.at, at, linetypes_[e]);
                pen = {at, !pen.down};
            }
        }
    }
    // Miters across all elements at the vertices where two segments meet.
    if (!(flags_ & kMlineStyleMiters) || elements_ < 2) return;
    genSetIndexColour(drawing_, pass_.colour);
    const bool closed = segments_ == count;
    for (size_t k = closed ? 0 : 1; k < (closed ? count : count - 1); ++k)
        line(start(k, 0), start(k, elements_ - 1), pass_.linetype);
}

// The caps at the first (sign +1) or last (sign -1) vertex: the square cap across the
// elements, the round cap between the outermost two, the inner arcs between the pairs within.
int MlineDrawer::caps(size_t k, double sign, int16_t square, int16_t round, int16_t inner) {
    if (elements_ < 2) return 1;
    const size_t last = elements_ - 1;
    if (flags_ & square) {
        genSetIndexColour(drawing_, pass_.colour);
        line(start(k, 0), start(k, last), pass_.linetype);
    }
    if ((flags_ & round) && !genMlineCapArc(drawing_, header_, start(k, 0), start(k, last), sign, colours_[0],
                                            colours_[last], linetypes_[0], linetypes_[last], pass_))
        return 0;
    if (!(flags_ & inner) || elements_ <= kInnerArcElements) return 1;
    for (size_t i = 1; i < elements_ / 2; ++i) {
        const size_t j = last - i;
        if (!genMlineCapArc(drawing_, header_, start(k, i), start(k, j), sign, colours_[i], colours_[j], linetypes_[i],
                            linetypes_[j], pass_))
            return 0;
    }
    return 1;
}

} // namespace

int genDrawMline(Drawing* drawing, const EntityHeader& header, const MlineBody& mline, const EntityPassValues& pass) {
    if (!drawing || !drawing->displayContext || !pass.matrices) return 1;
    return MlineDrawer(drawing, header, mline, pass).draw();
}

int genMlineCapArc(Drawing* drawing, const EntityHeader& header, const Point3& p1, const Point3& p2, double sign,
                   int32_t colour1, int32_t colour2, const LinetypeRecord* linetype1,
                   const LinetypeRecord* linetype2, const EntityPassValues& pass) {
    if (!drawing || !drawing->displayContext || !pass.matrices) return 1;
    CapPlane plane;
    if (!plane.make(drawing, header, pass)) return dbReportError(kErrorMlineCapArcTransforms, kErrorReasonNoMemory);
    const auto [centre, radius, reference] = CapCircle(plane, p1, p2);
    const double quarter = sign * std::numbers::pi / 2.0;
    if (colour1 >= 0) genSetIndexColour(drawing, colour1);
    genDrawArc(drawing, centre, reference, reference + quarter, radius, plane.matrices.data(), true, nullptr, nullptr,
               linetype1);
    if (colour2 >= 0) genSetIndexColour(drawing, colour2);
    genDrawArc(drawing, centre, reference + quarter, reference + 2.0 * quarter, radius, plane.matrices.data(), true,
               nullptr, nullptr, linetype2);
    return 1;
}

int genMlineCapFill(Drawing* drawing, const EntityHeader& header, const Point3& p1, const Point3& p2, double sign,
                    const EntityPassValues& pass) {
    if (!drawing || !drawing->displayContext || !pass.matrices) return 1;
    CapPlane plane;
    if (!plane.make(drawing, header, pass)) return dbReportError(kErrorMlineCapFillTransforms, kErrorReasonNoMemory);
    const auto [centre, radius, reference] = CapCircle(plane, p1, p2);
    const int32_t triangles = std::max(genCircleSegmentCount(*drawing->displayContext, radius) / 2, 1);
    const double step = sign * std::numbers::pi / triangles;
    auto at = [&](int32_t i) {
        const double angle = reference + step * i;
        return Point3{centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle), centre.z};
    };
    for (int32_t i = 0; i < triangles; ++i) {
        const Point3 from = at(i), to = at(i + 1);
        genFillQuad(drawing, centre, from, to, to, plane.matrices.data());
    }
    return 1;
}

} // namespace tracemill
