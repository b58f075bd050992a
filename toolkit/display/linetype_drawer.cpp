#include "toolkit/display/linetype_drawer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/symbol_tables.h"
#include "toolkit/display/clip/clipped_line.h"
#include "toolkit/display/device_fill.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/line_intersection.h"
#include "toolkit/display/viewport_selection.h"

namespace tracemill {
namespace {

// A pattern whose length is not above this is no pattern.
constexpr double kNoPatternLength = 1e-12;
// A pattern that would repeat this often along one piece is drawn solid.
constexpr double kRepetitionLimit = 1000.0;
// Patterns whose elements average less than this many device units are drawn solid.
constexpr double kSolidElementLength = 2.0;
// Patterns of splines and leaders run on however short the entity.
constexpr int32_t kEndlessRepetitions = 2000000000;
// What is left of a piece below this is laid.
constexpr double kLaidThreshold = 1e-10;
// Steps of one piece beyond this mean a pattern that lays nothing: the rest is drawn solid.
constexpr int kStepLimit = 1000000;
// Wide pieces meet in a mitre only between these angles at their joint.
constexpr double kMitreMinimum = 0.5;
constexpr double kMitreMaximum = 3.014240230182893;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

constexpr uint16_t kElementText = 2;

bool worldPointKind(uint16_t kind) {
    switch (kind) {
    case kEntityLine: case kEntityPoint: case kEntityShape: case kEntityEllipse: case kEntityText:
    case kEntityRegion: case kEntityLine3d: case kEntitySolid3d: case kEntityMtext: case kEntityLeader:
    case kEntityTolerance: case kEntityMline: case kEntityBody:
        return true;
    default:
        return false;
    }
}

bool ownCoordinates(const DrawnEntity& entity) {
    return (entity.flags & kEntityHasExtrusion) && !worldPointKind(entity.kind);
}

Point2 toDevice(const Point3& p, const Matrix4& m) {
    return {p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + m.at(3, 0),
            p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + m.at(3, 1)};
}

Point3 along(const Point3& p, const Point3& u, double length) {
    return {p.x + u.x * length, p.y + u.y * length, p.z + u.z * length};
}

Point2 flat(const Point3& p) { return {p.x, p.y}; }

bool hasTextElement(const LinetypeRecord& linetype) {
    for (int i = 0; i < linetype.dashCount && i < kMaxLinetypeDashes; ++i) {
        if (linetype.dashes[size_t(i)].complexFlags & kElementText) return true;
    }
    return false;
}

bool hasDash(const LinetypeRecord& linetype) {
    for (int i = 0; i < linetype.dashCount && i < kMaxLinetypeDashes; ++i) {
        if (linetype.dashes[size_t(i)].length > 0.0) return true;
    }
    return false;
}

int dashCount(const LinetypeRecord& linetype) { return std::clamp<int>(linetype.dashCount, 0, kMaxLinetypeDashes); }

double minimumElement(const DisplayContext& context) {
    return context.minimumElementOff ? 0.0 : context.minimumElementLength;
}


// The pattern scale: LTSCALE x the base device scale of viewport 0 x the entity's scale.
double patternScale(const Drawing& drawing, const DisplayContext& context) {
    return drawing.header->ltscale * context.viewports[0].baseDeviceScale * context.entity.linetypeScale;
}

// The wide-piece side of a piece in one viewport: joined to the piece that waits (the last of
// the same entity: the drawer of a wide entity fills the last one when the entity ends), then
// waiting itself for the next.
void widePiece(Drawing* drawing, const Point3& p1, const Point3& p2, const WideSegment& wide, const Matrix4* matrices,
               int viewport) {
    DisplayContext& context = *drawing->displayContext;
    LinetypeState& state = context.linetypeStates[size_t(viewport)];
    Point3 start[2], end[2];
    genWideSegmentOutline(p1, p2, wide, wide.startWidth, wide.endWidth, start, end);
    if (state.widePending) {
        const double angle = genAngleAtVertex(flat(state.wideFrom), flat(p1), flat(p2));
        const bool sameWidth = state.wideEndWidth == wide.startWidth;
        const bool join = angle >= kMitreMinimum && (angle <= kMitreMaximum || sameWidth) &&
                          (state.wideEndWidth == 0.0 || wide.startWidth != 0.0);
        for (int side = 0; side < 2 && join; ++side) {
            Point2 corner;
            if (!genLinesMeet(flat(state.wideStart[side]), flat(state.wideEnd[side]), flat(start[side]), flat(end[side]),
                              corner))
                continue;
            state.wideEnd[side] = {corner.x, corner.y, state.wideEnd[side].z};
            start[side] = {corner.x, corner.y, start[side].z};
        }
        genFlushWidePieceInView(drawing, matrices, viewport);
    }
    state.widePending = 1;
    state.wideStart[0] = start[0];
    state.wideStart[1] = start[1];
    state.wideEnd[0] = end[0];
    state.wideEnd[1] = end[1];
    state.wideFrom = p1;
    state.wideTo = p2;
    state.wideEndWidth = wide.endWidth;
}

// A piece without pattern in every viewport.
void drawPlain(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices, const WideSegment* wide) {
    const DisplayContext& context = *drawing->displayContext;
    const ViewportRange range = genEntityViewports(context);
    const bool isWide = wide && (wide->startWidth != 0.0 || wide->endWidth != 0.0);
    for (int i = range.first; i <= range.last; ++i) {
        if (!genViewportShows(context, i)) continue;
        if (isWide) widePiece(drawing, p1, p2, *wide, matrices, i);
        else genDrawSegmentInViewport(drawing, p1, p2, matrices, i);
    }
}

void resetStates(DisplayContext& context) {
    for (LinetypeState& state : context.linetypeStates) state = LinetypeState{};
}

// Repetitions and the owed start of a new entity, the same for every viewport.
void startEntity(const DisplayContext& context, const LinetypeRecord& linetype, double scale, double length,
                 bool wide, std::array<LinetypeState, kMaxViewports>& states) {
    const double m = minimumElement(context);
    double patternLength = linetype.patternLength;
    if (wide) {
        patternLength = 0.0;
        for (int i = 0; i < dashCount(linetype); ++i) {
            const double e = linetype.dashes[size_t(i)].length;
            if (e != 0.0) patternLength += std::max(std::fabs(e), m);
        }
    }
    const double p = scale * patternLength;
    int32_t repetitions = 0;
    if (p > 1e-7) {
        const double whole = std::trunc(length / p);
        repetitions = whole >= double(std::numeric_limits<int32_t>::max()) ? std::numeric_limits<int32_t>::max()
                                                                             : int32_t(std::max(whole, 0.0));
    }
    double owed = -1.0;
    if (dashCount(linetype) == 0) {
        repetitions = 0;
    } else {
        double leftover = p > 0.0 ? std::fmod(length, p) : 0.0;
        if (p < leftover + 1e-12) leftover = 0.0;
        const double first = linetype.dashes[0].length;
        owed = first == 0.0 || scale == 0.0 ? 0.0 : (std::max(first, m) * scale + leftover) / 2.0 / scale;
    }
    if (context.entity.kind == kEntitySpline || context.entity.kind == kEntityLeader) repetitions = kEndlessRepetitions;
    for (LinetypeState& state : states) {
        state.repetitions = repetitions;
        state.repetitionsLeft = repetitions;
        state.owedStart = owed;
        state.startPending = 1;
        state.entityStartPending = 0;
        state.elementIndex = 0;
        state.laidLength = 0.0;
        state.elementDrawn = {};
    }
}

// The piece in one viewport, step by step along the pattern.
void stepPiece(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices, int viewport,
               const LinetypeRecord& linetype, double scale, const WideSegment* wide) {
    DisplayContext& context = *drawing->displayContext;
    LinetypeState& state = context.linetypeStates[size_t(viewport)];
    const double length = genSegmentDeviceLength(p1, p2, matrices[viewport]);
    PatternWalk walk;
    walk.scale = scale;
    walk.remaining = length;
    if (length > 0.0) walk.unit = {(p2.x - p1.x) / length, (p2.y - p1.y) / length, (p2.z - p1.z) / length};
    const bool isWide = wide && (wide->startWidth != 0.0 || wide->endWidth != 0.0);
    Point3 current = p1;
    for (int steps = 0; walk.remaining > kLaidThreshold; ++steps) {
        if (steps >= kStepLimit) {
            genDrawSegmentInViewport(drawing, current, p2, matrices, viewport);
            break;
        }
        Point3 end;
        bool completed = false;
        const double d = genNextPatternStep(drawing, state, linetype, walk, current, end, completed);
        if (d >= 0.0) {
            if (isWide && d > 0.0) {
                // Each dash of a wide piece is a piece of its own, as wide as the piece is there.
                const double t0 = std::clamp((length - walk.remaining) / length, 0.0, 1.0);
                const double t1 = std::clamp((length - walk.remaining + d) / length, 0.0, 1.0);
                WideSegment dash;
                dash.startWidth = wide->startWidth + (wide->endWidth - wide->startWidth) * t0;
                dash.endWidth = wide->startWidth + (wide->endWidth - wide->startWidth) * t1;
                dash.startCapAngle = t0 == 0.0 ? wide->startCapAngle : kCapFromDirection;
                dash.endCapAngle = t1 == 1.0 ? wide->endCapAngle : kCapFromDirection;
                Point3 start[2], finish[2];
                genWideSegmentOutline(current, end, dash, dash.startWidth, dash.endWidth, start, finish);
                genFillWideQuadInViewport(drawing, start, finish, matrices, viewport);
            } else {
                genDrawSegmentInViewport(drawing, current, end, matrices, viewport);
            }
        }
        walk.remaining -= std::fabs(d);
        if (completed && state.elementIndex > 0) {
            const int element = state.elementIndex - 1;
            const LinetypeDash& dash = linetype.dashes[size_t(element)];
            if (((dash.complexFlags & kElementText) || dash.shapeNumber != 0) && !state.elementDrawn[size_t(element)]) {
                genDrawLinetypeElement(drawing, linetype, element, end, walk.unit, viewport);
                state.elementDrawn[size_t(element)] = 1;
            }
        }
        current = end;
        if (walk.remaining == 0.0 && d >= 0.0) break;
    }
}

} // namespace

double genSegmentDeviceLength(const Point3& p1, const Point3& p2, const Matrix4& m) {
    const double dx = p2.x - p1.x, dy = p2.y - p1.y, dz = p2.z - p1.z;
    const double x = dx * m.at(0, 0) + dy * m.at(1, 0) + dz * m.at(2, 0);
    const double y = dx * m.at(0, 1) + dy * m.at(1, 1) + dz * m.at(2, 1);
    return std::sqrt(x * x + y * y);
}

void genDrawSegmentInViewport(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                              int viewport) {
    const Matrix4& m = matrices[viewport];
    const DrawnEntity& entity = drawing->displayContext->entity;
    const bool own = ownCoordinates(entity);
    Point3 a = p1, b = p2;
    if (own) {
        genEntityMatrixPoint(entity.objectMatrix, a);
        genEntityMatrixPoint(entity.objectMatrix, b);
    }
    const Point2 da = toDevice(a, m), db = toDevice(b, m);
    genDrawClippedLine(drawing, da, db, int16_t(viewport));
    const double t = entity.thickness;
    if (t == 0.0) return;
    Point2 ca, cb;
    if (entity.kind == kEntityLine || entity.kind == kEntityLine3d) {
        const Point3& e = entity.extrusion;
        ca = toDevice(along(p1, e, t), m);
        cb = toDevice(along(p2, e, t), m);
    } else if (own) {
        Point3 ra{p1.x, p1.y, p1.z + t}, rb{p2.x, p2.y, p2.z + t};
        genEntityMatrixPoint(entity.objectMatrix, ra);
        genEntityMatrixPoint(entity.objectMatrix, rb);
        ca = toDevice(ra, m);
        cb = toDevice(rb, m);
    } else {
        const Point2 lift{t * m.at(2, 0), t * m.at(2, 1)};
        ca = {da.x + lift.x, da.y + lift.y};
        cb = {db.x + lift.x, db.y + lift.y};
    }
    genDrawClippedLine(drawing, db, cb, int16_t(viewport));
    genDrawClippedLine(drawing, cb, ca, int16_t(viewport));
    genDrawClippedLine(drawing, ca, da, int16_t(viewport));
}

double genNextPatternStep(Drawing* drawing, LinetypeState& state, const LinetypeRecord& linetype,
                          const PatternWalk& walk, const Point3& at, Point3& out, bool& completed) {
    const DisplayContext& context = *drawing->displayContext;
    const int count = dashCount(linetype);
    const double s = walk.scale;
    const double remaining = walk.remaining;
    const double m = minimumElement(context);
    const bool minimumOff = context.minimumElementOff != 0;
    if (state.elementIndex >= count) {
        --state.repetitionsLeft;
        state.elementIndex = 0;
        state.elementDrawn = {};
    }
    double e = count > 0 ? linetype.dashes[size_t(state.elementIndex)].length : 0.0;
    if (m > 0.0 && std::fabs(e) > 0.0 && std::fabs(e) < m) e = std::copysign(m, e);

    double d = 0.0;
    bool wholeOwed = false;
    bool owedContinues = false;
    if (state.elementIndex == 0 && state.repetitionsLeft <= 0) {
        // The tail of the entity: the first element to the end.
        d = remaining > 0.0 && e != 0.0 ? std::copysign(remaining, e) : 0.0;
    } else if (state.startPending && state.owedStart > 0.0 && !(e == 0.0 && minimumOff)) {
        const bool gap = e < 0.0 && minimumOff;
        double x = 0.0;
        if (s * state.owedStart <= remaining) {
            x = gap ? state.owedStart - e : state.owedStart;
            state.startPending = 0;
            state.owedStart = -1.0;
            wholeOwed = true;
        } else {
            x = remaining / s;
            state.owedStart -= x;
            owedContinues = true;
        }
        d = (gap ? -x : x) * s;
    } else {
        d = e == 0.0 ? 0.0 : e > 0.0 ? s * std::max(e, m) : s * std::min(e, -m);
        if (state.laidLength != 0.0) d = d > 0.0 ? d - state.laidLength : d < 0.0 ? d + state.laidLength : d;
    }

    if ((std::fabs(d) > remaining && !wholeOwed) || owedContinues) {
        d = std::copysign(remaining, d);
        state.laidLength += remaining;
        completed = false;
    } else {
        state.laidLength = 0.0;
        const bool leadingDot = state.elementIndex == 0 && e == 0.0 && minimumOff;
        if (!leadingDot) state.startPending = 0;
        ++state.elementIndex;
        completed = true;
    }
    out = along(at, walk.unit, std::fabs(d));
    return d;
}

uint32_t genDrawLinetypedSegment(Drawing* drawing, const Point3& p1, const Point3& p2, const Matrix4* matrices,
                                 const LinetypeRecord* linetype, const WideSegment* wide, uint32_t identity,
                                 double entityLength) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !matrices || !gOutputHookTable) return identity;
    const ViewportRange range = genEntityViewports(*context);
    int first = range.first;
    while (first <= range.last && !genViewportShows(*context, first)) ++first;
    if (first > range.last) return identity;

    const double scale = patternScale(*drawing, *context);
    bool pattern = linetype && context->linetypeEnable && gOutputHookTable->linetypeSwitch &&
                   !genIsDefaultLinetype(*context, *linetype) && linetype->patternLength > kNoPatternLength &&
                   dashCount(*linetype) > 0 && std::isfinite(scale);
    if (pattern && !hasTextElement(*linetype)) {
        const bool trivial =
            linetype->dashCount == 2 && linetype->dashes[0].length > 0.0 && linetype->dashes[1].length == 0.0;
        const double pieceLength = genSegmentDeviceLength(p1, p2, matrices[first]);
        pattern = !trivial && pieceLength / (scale * linetype->patternLength) < kRepetitionLimit;
    }
    if (!pattern) {
        drawPlain(drawing, p1, p2, matrices, wide);
        return identity;
    }

    if (identity != context->linetypeEntityIdentity) {
        genFlushWidePieces(drawing, matrices);
        resetStates(*context);
        context->linetypeEntityIdentity = identity;
    }
    const bool isWide = wide && (wide->startWidth != 0.0 || wide->endWidth != 0.0);
    if (context->linetypeStates[size_t(first)].entityStartPending) {
        const double length = entityLength > 0.0 ? entityLength * context->viewports[0].baseDeviceScale
                                                  : genSegmentDeviceLength(p1, p2, matrices[first]);
        startEntity(*context, *linetype, scale, length, isWide, context->linetypeStates);
    }

    const double m = minimumElement(*context);
    double average = linetype->patternLength / dashCount(*linetype);
    average = std::max(average, 2.0 * m);
    const double threshold = linetype->dashCount == 2 && linetype->dashes[0].length == 0.0 ? 0.0 : kSolidElementLength;
    const int32_t repetitions = context->linetypeStates[size_t(first)].repetitions;
    if (scale * average < threshold || repetitions == 0) {
        if (repetitions == 0 && !hasDash(*linetype)) {
            for (int i = range.first; i <= range.last; ++i) {
                if (!genViewportShows(*context, i)) continue;
                genDrawSegmentInViewport(drawing, p1, p1, matrices, i);
                genDrawSegmentInViewport(drawing, p2, p2, matrices, i);
            }
        } else {
            drawPlain(drawing, p1, p2, matrices, wide);
        }
        return identity;
    }
    for (int i = range.first; i <= range.last; ++i) {
        if (genViewportShows(*context, i)) stepPiece(drawing, p1, p2, matrices, i, *linetype, scale, wide);
    }
    return identity;
}

void genWideSegmentOutline(const Point3& p1, const Point3& p2, const WideSegment& wide, double startWidth,
                           double endWidth, Point3 start[2], Point3 end[2]) {
    const double normal = genLineAngle(flat(p1), flat(p2)) + std::numbers::pi / 2.0;
    // A cap angle is turned to the side of the normal, so that corner 0 lies on the same side
    // of every piece.
    auto cap = [normal](double angle) {
        if (angle == kCapFromDirection) return normal;
        double a = std::fmod(angle, kTwoPi);
        if (a < 0.0) a += kTwoPi;
        double n = std::fmod(normal, kTwoPi);
        if (n < 0.0) n += kTwoPi;
        const double difference = std::fabs(a - n);
        if (difference >= std::numbers::pi / 2.0 && difference <= 3.0 * std::numbers::pi / 2.0)
            a = std::fmod(a + std::numbers::pi, kTwoPi);
        return a;
    };
    const double a = cap(wide.startCapAngle), b = cap(wide.endCapAngle);
    start[0] = {p1.x + startWidth / 2.0 * std::cos(a), p1.y + startWidth / 2.0 * std::sin(a), p1.z};
    start[1] = {p1.x - startWidth / 2.0 * std::cos(a), p1.y - startWidth / 2.0 * std::sin(a), p1.z};
    end[0] = {p2.x + endWidth / 2.0 * std::cos(b), p2.y + endWidth / 2.0 * std::sin(b), p2.z};
    end[1] = {p2.x - endWidth / 2.0 * std::cos(b), p2.y - endWidth / 2.0 * std::sin(b), p2.z};
}

void genFillWideQuadInViewport(Drawing* drawing, const Point3 start[2], const Point3 end[2], const Matrix4* matrices,
                               int viewport) {
    Point3 e0 = end[0], e1 = end[1];
    // Sides that cross would fill a bow tie: the end corners trade places.
    if (genSegmentsCross(flat(start[0]), flat(e0), flat(start[1]), flat(e1))) std::swap(e0, e1);
    genFillQuadOneViewport(drawing, start[0], start[1], e0, e1, matrices, viewport);
}

void genFillWideQuad(Drawing* drawing, const Point3 start[2], const Point3 end[2], const Matrix4* matrices) {
    const DisplayContext& context = *drawing->displayContext;
    const ViewportRange range = genEntityViewports(context);
    for (int i = range.first; i <= range.last; ++i) {
        if (genViewportShows(context, i)) genFillWideQuadInViewport(drawing, start, end, matrices, i);
    }
}

int genFlushWidePieceInView(Drawing* drawing, const Matrix4* matrices, int viewport) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || viewport < 0 || viewport >= kMaxViewports) return 0;
    LinetypeState& state = context->linetypeStates[size_t(viewport)];
    if (!state.widePending) return 0;
    state.widePending = 0;
    if (genViewportShows(*context, viewport)) genFillWideQuadInViewport(drawing, state.wideStart, state.wideEnd, matrices, viewport);
    return 1;
}

bool genIsDefaultLinetype(const DisplayContext& context, const LinetypeRecord& linetype) {
    return &linetype == context.defaultLinetypeRecord ||
           (!context.defaultLinetype.isNull() && linetype.handle == context.defaultLinetype &&
            linetype.drawing == (context.defaultLinetypeRecord ? context.defaultLinetypeRecord->drawing : nullptr));
}

int genFlushWidePiece(Drawing* drawing, const Matrix4* matrices) { return genFlushWidePieceInView(drawing, matrices, 0); }

void genFlushWidePieces(Drawing* drawing, const Matrix4* matrices) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !matrices) return;
    for (int i = 0; i < context->viewportCount; ++i) genFlushWidePieceInView(drawing, matrices, i);
}

} // namespace tracemill
