#include "toolkit/display/wide_polyline.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "toolkit/core/drawing.h"
#include "toolkit/core/header_block.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/vector_utilities.h"
#include "toolkit/display/arc_drawer.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/line_intersection.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/quad_outline.h"

namespace tracemill {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Beyond this angle at a joint the two segments run on almost straight: a change of width
// there is not mitred.
constexpr double kStraightJointAngle = 3.014240230182893;
// Added to the first vertex's start cap angle to mark it as taken from the first segment.
constexpr double kFirstCapMark = 20000.0;
// Segments shorter than this give no width-dependent mitre limit.
constexpr double kShortSegment = 1e-13;
// A pattern that spans this few device units is not drawn.
constexpr double kShortestPattern = 4.0;

Point2 flat(const Point3& p) { return {p.x, p.y}; }

bool coincide(double u, double v) { return std::fabs(u - v) < (std::fabs(u) + std::fabs(v)) * 1e-9 + 1e-10; }
bool cornersCoincide(const Point3& a, const Point3& b) { return coincide(a.x, b.x) && coincide(a.y, b.y); }

double distance3(const Point3& a, const Point3& b) { return std::hypot(b.x - a.x, b.y - a.y, b.z - a.z); }

// A pattern is laid along wide segments while the linetype drawer would lay one.
bool withPattern(const DisplayContext& context, const LinetypeRecord* linetype) {
    return context.linetypeEnable && gOutputHookTable && gOutputHookTable->linetypeSwitch && linetype &&
           !genIsDefaultLinetype(context, *linetype);
}

// A vertex as the machine takes it: cap angles from its segment's direction (or, ending an arc,
// the first vertex's own start cap when it carries the mark), a run of its own.
void prepareVertex(DisplayContext& context, WideVertex& v, bool endsArc) {
    if (endsArc && v.startCapAngle > kFirstCapMark) {
        v.startCapAngle -= kFirstCapMark;
    } else {
        v.startCapAngle = kCapFromDirection;
        v.endCapAngle = kCapFromDirection;
    }
    v.curveLength = 0.0;
    context.segmentCounter += context.segmentRunEnd;
    v.run = context.segmentCounter;
    v.smallerWidth = std::min(v.startWidth, v.endWidth);
}

int pushAndDraw(Drawing* drawing, const WideVertex& v, const Matrix4* matrices, const LinetypeRecord* linetype) {
    if (!genPushVertex(drawing, v)) return 0;
    if (drawing->displayContext->widePolyline.ring[0]) return genWideSegment(drawing, matrices, linetype);
    return 1;
}

void setZ(WideCorners& corners, double z) {
    corners[0].z = z;
    corners[1].z = z;
}

// One wide quadrilateral from its start corners p to its end corners l: along the pattern
// (the segment from `from` to `to` with its widths and caps), outlined with FILLMODE 0, else
// filled.
void drawQuadrilateral(Drawing* drawing, const WideCorners& p, const WideCorners& l, const Point3& from,
                       const Point3& to, const WideSegment& width, uint32_t run, double curveLength,
                       const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext& context = *drawing->displayContext;
    if (withPattern(context, linetype)) {
        if (width.startWidth != 0.0 || width.endWidth != 0.0)
            genDrawLinetypedSegment(drawing, from, to, matrices, linetype, &width, run, curveLength);
    } else if (drawing->header->fillmode == 0) {
        genQuadOutline(drawing, p[1], p[0], l[0], l[1], matrices, linetype);
    } else {
        genFillQuad(drawing, l[0], l[1], p[0], p[1], matrices);
    }
}

} // namespace

void genCapAngles(const WideVertex& start, const Point3& end, WideCorners& startCorners, WideCorners& endCorners) {
    const WideSegment wide{start.startWidth, start.endWidth, start.startCapAngle, start.endCapAngle};
    genWideSegmentOutline(start.point, end, wide, start.startWidth, start.endWidth, startCorners.data(),
                          endCorners.data());
}

double genJoinLimit(const WideVertex& a, const WideVertex& b, const WideVertex& c) {
    const double w = (std::fabs(a.startWidth - a.endWidth) + std::fabs(b.startWidth - b.endWidth)) / 2.0;
    if (w == 0.0) return kMitreAngleLimit;
    const double l1 = distance3(a.point, b.point);
    const double l2 = distance3(b.point, c.point);
    if (l1 < kShortSegment || l2 < kShortSegment) return kMitreAngleLimit;
    const double longer = std::max(l1, l2);
    return kMitreAngleLimit + (w / longer) * std::sqrt(longer / std::min(l1, l2));
}

int genPushVertex(Drawing* drawing, const WideVertex& vertex) {
    auto& ring = drawing->displayContext->widePolyline.ring;
    if (!ring[0]) {
        ring[0] = dbNewObject<WideVertex>();
        if (!ring[0]) return dbReportError(kErrorRingSlotNoMemory, kErrorReasonNoMemory);
    }
    std::rotate(ring.begin(), ring.begin() + 1, ring.end());
    *ring[2] = vertex;
    return 1;
}

int genWideSegment(Drawing* drawing, const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext& context = *drawing->displayContext;
    WidePolylineState& w = context.widePolyline;
    if (!w.ring[0] || !w.ring[1]) return 1;
    const WideVertex& a = *w.ring[0];
    const WideVertex& b = *w.ring[1];
    const WideVertex* c = w.ring[2].get();

    if (a.startWidth == 0.0 && a.endWidth == 0.0) {
        genDrawLinetypedSegment(drawing, a.point, b.point, matrices, linetype, nullptr, a.run, a.curveLength);
        // A wide piece that waits in the linetype drawer is not joined across this stroke.
        genFlushWidePieces(drawing, matrices);
        w.previousZeroWidth = true;
        if (w.firstSegment) {
            if (!w.closing && !(w.closing = dbNewObject<WideVertex>()))
                return dbReportError(kErrorClosingCopyNoMemory, kErrorReasonNoMemory);
            *w.closing = b;
            w.closing->bulge = 0.0;
            w.firstSegment = false;
        }
        w.cornerMemory = {b.point, b.point};
        return 1;
    }
    if (a.point.x == b.point.x && a.point.y == b.point.y) return 1;
    if (w.firstSegment) {
        w.firstVertex.startCapAngle = a.startCapAngle + kFirstCapMark;
        w.firstVertex.endCapAngle = a.endCapAngle;
    }

    WideCorners s, e;
    genCapAngles(a, b.point, s, e);
    if (w.firstSegment || w.previousZeroWidth) {
        w.cornerMemory = s;
        w.previousZeroWidth = false;
    }
    WideCorners p = w.cornerMemory;
    WideCorners l = e;
    WideCorners n{}, m{};
    bool freshStart = false;
    if (c) {
        genCapAngles(b, c->point, n, m);
        const bool inLine = (a.point.x == b.point.x && b.point.x == c->point.x) ||
                            (a.point.y == b.point.y && b.point.y == c->point.y);
        if (inLine && a.endWidth == b.startWidth) {
            l = n;
        } else {
            const double alpha = genAngleAtVertex(flat(a.point), flat(b.point), flat(c->point));
            const bool ownEnds = alpha < genJoinLimit(a, b, *c) || (a.endWidth != 0.0 && b.startWidth == 0.0) ||
                                 ((a.bulge != 0.0) != (b.bulge != 0.0)) ||
                                 (alpha > kStraightJointAngle && a.endWidth != b.startWidth);
            if (ownEnds) {
                freshStart = !w.closingPass;
            } else {
                for (size_t i = 0; i < 2; ++i) {
                    Point2 corner;
                    if (cornersCoincide(s[i], e[i])) {
                        l[i] = s[i];
                    } else if (cornersCoincide(n[i], m[i])) {
                        l[i] = m[i];
                    } else if (genLinesMeet(flat(s[i]), flat(e[i]), flat(n[i]), flat(m[i]), corner)) {
                        l[i] = {corner.x, corner.y, e[i].z};
                    }  // parallel sides that share no end point keep the segment's own corner
                }
            }
        }
    }
    if (genSegmentsCross(flat(l[0]), flat(p[0]), flat(l[1]), flat(p[1]))) std::swap(l[0], l[1]);

    if (w.firstSegment && (w.polylineFlags & kWidePolylineClosed)) {
        if (!w.closing && !(w.closing = dbNewObject<WideVertex>()))
            return dbReportError(kErrorWideClosingCopyNoMemory, kErrorReasonNoMemory);
        *w.closing = b;
        w.closing->bulge = 0.0;
        w.hasWide = true;
        w.cornerMemory = freshStart ? n : l;
        w.firstSegmentEnd = freshStart ? e : l;
        w.firstSegment = false;
        return 1;
    }
    setZ(p, a.point.z);
    setZ(l, b.point.z);
    genWideLinetypeBegin(drawing, a);
    const WideSegment width{a.startWidth, a.endWidth, a.startCapAngle, a.endCapAngle};
    drawQuadrilateral(drawing, p, l, a.point, b.point, width, a.run, a.curveLength, matrices, linetype);
    genWideLinetypeEnd(drawing);
    w.cornerMemory = freshStart ? n : l;
    w.firstSegment = false;
    return 1;
}

int genWideArcSegment(Drawing* drawing, const WideVertex& bulgeVertex, const WideVertex& endVertex,
                      const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext& context = *drawing->displayContext;
    WidePolylineState& w = context.widePolyline;
    const WideVertex& s = bulgeVertex;
    const double theta = 4.0 * std::atan(s.bulge);
    if (theta == 0.0) return 1;
    const ArcFromChord arc = dbArcCenterFromChord(flat(s.point), flat(endVertex.point), theta);
    const Point2 c = arc.centre;
    const double r = arc.radius;
    double t0 = 0.0;
    if (s.point.x == c.x) {
        t0 = s.point.y - c.y >= 0.0 ? kPi / 2.0 : -kPi / 2.0;
    } else {
        t0 = std::atan((s.point.y - c.y) / (s.point.x - c.x));
        if (s.point.x - c.x < 0.0) t0 += kPi;
    }
    const int32_t n = std::max<int32_t>(genArcChords(context, theta, r), 2);
    const double step = theta / n;
    const double widthStep = (s.endWidth - s.startWidth) / n;

    std::unique_ptr<WideVertex> work = dbNewObject<WideVertex>();
    if (!work) return dbReportError(kErrorArcVertexNoMemory, kErrorReasonNoMemory);
    work->point.z = s.point.z;
    work->bulge = s.bulge;
    work->arcRadius = r;
    work->curveLength = r * std::fabs(theta);
    work->smallerWidth = std::min(s.startWidth, s.endWidth);
    context.segmentCounter += context.segmentRunEnd;
    work->run = context.segmentCounter;
    const double diameter = 2.0 * r;
    if (w.vertexCount == 1) {
        w.firstVertex.startWidth = std::min(w.firstVertex.startWidth, diameter);
        w.firstVertex.endWidth = std::min(w.firstVertex.endWidth, diameter);
    }
    double running = s.startWidth;
    for (int32_t i = 0; i < n; ++i) {
        const double t = t0 + i * step;
        work->startCapAngle = t;
        work->endCapAngle = t + step;
        work->startWidth = std::min(running, diameter);
        work->endWidth = std::min(running + widthStep, diameter);
        running = work->endWidth;
        work->point.x = c.x + r * std::cos(t);
        work->point.y = c.y + r * std::sin(t);
        if (!pushAndDraw(drawing, *work, matrices, linetype)) return 0;
    }
    return 1;
}

int genPolylineVertex(Drawing* drawing, const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext& context = *drawing->displayContext;
    WidePolylineState& w = context.widePolyline;
    if (w.state == 0) {
        for (auto& slot : w.ring) slot.reset();
        w.state = 1;
        w.firstSegment = true;
        w.hasWide = false;
    }
    WideVertex& v = w.input;
    if (w.state == 1) {
        if (v.bulge != 0.0) {
            std::swap(w.input, w.pending);
            w.state = 2;
            ++w.vertexCount;
            return 1;
        }
        if (w.ring[2] && v.point == w.ring[2]->point) {
            w.ring[2]->startWidth = v.startWidth;
            w.ring[2]->endWidth = v.endWidth;
            return 1;
        }
        prepareVertex(context, v, false);
        const int drawn = pushAndDraw(drawing, v, matrices, linetype);
        std::swap(w.input, w.pending);
        ++w.vertexCount;
        return drawn;
    }
    if (!genWideArcSegment(drawing, w.pending, v, matrices, linetype)) return 0;
    if (v.bulge != 0.0) {
        std::swap(w.input, w.pending);
        ++w.vertexCount;
        return 1;
    }
    w.state = 1;
    prepareVertex(context, v, true);
    ++w.vertexCount;
    return pushAndDraw(drawing, v, matrices, linetype);
}

void genFinishPolyline(Drawing* drawing, const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext& context = *drawing->displayContext;
    WidePolylineState& w = context.widePolyline;
    const bool closed = (w.polylineFlags & kWidePolylineClosed) != 0;
    if (w.vertexCount != 1) {
        if (closed && w.hasWide) {
            // The deferred first segment, from the closing segment's end corners at the first
            // vertex to the first segment's own end corners.
            if (w.ring[0] && w.ring[1] && w.closing) {
                const WideVertex& first = *w.ring[0];
                const WideVertex& second = *w.ring[1];
                genWideLinetypeBegin(drawing, first);
                WideCorners p = w.cornerMemory;
                WideCorners q = w.firstSegmentEnd;
                if (genSegmentsCross(flat(q[0]), flat(p[0]), flat(q[1]), flat(p[1]))) std::swap(q[0], q[1]);
                setZ(q, w.firstVertex.point.z);
                setZ(p, first.point.z);
                const WideSegment width{second.startWidth, w.closing->startWidth, second.startCapAngle,
                                        second.endCapAngle};
                if (withPattern(context, linetype)) {
                    drawQuadrilateral(drawing, p, q, second.point, w.closing->point, width, second.run,
                                      second.curveLength, matrices, linetype);
                } else if (drawing->header->fillmode == 0) {
                    genQuadOutline(drawing, q[0], q[1], p[1], p[0], matrices, linetype);
                } else {
                    genFillQuad(drawing, q[0], q[1], p[0], p[1], matrices);
                }
                genWideLinetypeEnd(drawing);
            }
        } else if (closed) {
            // The closing segment has been drawn when the closing copy passed; without one the
            // last segment is drawn here.
            if (!w.closing && w.ring[0] && (w.ring[0]->startWidth != 0.0 || w.ring[0]->endWidth != 0.0))
                genWideSegment(drawing, matrices, linetype);
        } else {
            if (w.state == 2) {
                WideVertex& last = w.pending;
                prepareVertex(context, last, false);
                pushAndDraw(drawing, last, matrices, linetype);
                w.state = 1;
            }
            w.ring[0] = std::move(w.ring[1]);
            w.ring[1] = std::move(w.ring[2]);
            w.ring[2].reset();
            if (w.ring[0]) genWideSegment(drawing, matrices, linetype);
        }
        // The drawer keeps a waiting wide piece per viewport, whatever PSLTSCALE says: all are
        // filled.
        if (gOutputHookTable && gOutputHookTable->linetypeSwitch && linetype &&
            !genIsDefaultLinetype(context, *linetype)) {
            genFlushWidePieces(drawing, matrices);
        }
    }
    genClearPatternFlags(drawing);
}

void genWideLinetypeBegin(Drawing* drawing, const WideVertex& start) {
    HeaderBlock& header = *drawing->header;
    if (header.psltscale == 1) return;
    DisplayContext& context = *drawing->displayContext;
    WidePolylineState& w = context.widePolyline;
    w.savedLinetypeEnable = context.linetypeEnable;
    w.savedLtscale = header.ltscale;
    if (start.startWidth != 0.0 && start.endWidth != 0.0) {
        const double width = header.ltscale != 0.0 ? start.smallerWidth / header.ltscale : 0.0;
        context.minimumElementLength = width;
        context.minimumElementOff = width == 0.0 ? 1 : 0;
        const double r = start.arcRadius;
        if (start.curveLength != 0.0 && r > 0.0) header.ltscale = (r - (width / 2.0 - width * width / (8.0 * r))) / r * header.ltscale;
    }
    double span = context.viewports[0].baseDeviceScale * header.ltscale;
    if (context.minimumElementLength != 0.0) span = 2.0 * context.minimumElementLength * span;
    context.linetypeEnable = context.paperSpace == 1 || span > kShortestPattern ? 1 : 0;
}

void genWideLinetypeEnd(Drawing* drawing) {
    HeaderBlock& header = *drawing->header;
    if (header.psltscale == 1) return;
    DisplayContext& context = *drawing->displayContext;
    header.ltscale = context.widePolyline.savedLtscale;
    context.linetypeEnable = context.widePolyline.savedLinetypeEnable;
    context.minimumElementLength = 0.0;
    context.minimumElementOff = 1;
}

void genClearPatternFlags(Drawing* drawing) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return;
    for (LinetypeState& state : context->linetypeStates) state.widePending = 0;
}

void genBeginWidePolyline(Drawing* drawing, uint8_t flags, bool continuousPattern) {
    DisplayContext& context = *drawing->displayContext;
    WidePolylineState& w = context.widePolyline;
    w.state = 0;
    w.vertexCount = 0;
    w.closing.reset();
    w.closingPass = false;
    w.previousZeroWidth = false;
    w.polylineFlags = flags;
    ++context.segmentCounter;
    context.segmentRunEnd = continuousPattern ? 0 : 1;
}

void genEndWidePolyline(Drawing* drawing) {
    WidePolylineState& w = drawing->displayContext->widePolyline;
    for (auto& slot : w.ring) slot.reset();
    w.closing.reset();
    w.state = 0;
}

int genDrawWidePolyline(Drawing* drawing, const std::vector<PolylineVertex>& vertices, uint8_t flags,
                        bool continuousPattern, const Matrix4* matrices, const LinetypeRecord* linetype) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !drawing->header || vertices.empty()) return 1;
    WidePolylineState& w = context->widePolyline;
    const double tolerance = context->threeUnitTolerance;
    const auto widthOf = [tolerance](double width) { return width < tolerance ? 0.0 : width; };
    genBeginWidePolyline(drawing, flags, continuousPattern);
    int result = 1;
    for (size_t i = 0; i < vertices.size() && result; ++i) {
        const PolylineVertex& source = vertices[i];
        WideVertex v;
        v.point = source.point;
        v.startWidth = widthOf(source.startWidth);
        v.endWidth = widthOf(source.endWidth);
        v.bulge = std::fabs(source.bulge) < kStraightBulgeLimit ? 0.0 : source.bulge;
        if (i == 0) {
            w.firstVertex = v;
            w.firstVertex.bulge = 0.0;
        }
        w.input = v;
        result = genPolylineVertex(drawing, matrices, linetype);
    }
    if (result && (flags & kWidePolylineClosed)) {
        w.closingPass = true;
        w.input = w.firstVertex;
        result = genPolylineVertex(drawing, matrices, linetype);
        if (result && w.closing) {
            w.input = *w.closing;
            result = genPolylineVertex(drawing, matrices, linetype);
        }
    }
    if (result) genFinishPolyline(drawing, matrices, linetype);
    genEndWidePolyline(drawing);
    return result;
}

} // namespace tracemill
