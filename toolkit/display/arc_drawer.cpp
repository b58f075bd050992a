#include "toolkit/display/arc_drawer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "toolkit/core/arc_segments.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/entity_header.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/display_context.h"

namespace tracemill {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int32_t kDefaultChordLimit = 64;
// Patterns shorter than this are not fitted to an arc; leftovers smaller than this need no fit.
constexpr double kFittablePattern = 1e-5;
constexpr double kFittedLeftover = 1e-4;

// Fits the pattern to a whole number of repetitions along an arc of that length, by changing
// the entity's linetype scale.
void fitPattern(Drawing* drawing, const LinetypeRecord& linetype, double arcLength) {
    DisplayContext& context = *drawing->displayContext;
    const double ltscale = drawing->header->ltscale;
    const double scale = context.entity.linetypeScale;
    const double pattern = ltscale * scale * linetype.patternLength;
    if (!(pattern > kFittablePattern)) return;
    const double k = std::trunc(arcLength / pattern);
    const double leftover = std::fabs(k * pattern - arcLength);
    if (k == 0.0 || !(leftover > kFittedLeftover)) return;
    const double repetitions = 0.25 * pattern > leftover && k != 1.0 ? k : k + 1.0;
    context.entity.linetypeScale = arcLength / (repetitions * linetype.patternLength * ltscale);
}

double radialAngle(const Point3& centre, const Point3& p) { return std::atan2(p.y - centre.y, p.x - centre.x); }

} // namespace

int32_t genCircleSegmentCount(const DisplayContext& context, double radius) {
    const double chords = kTwoPi * std::sqrt(radius * context.viewScale);
    if (!(chords >= 4.0)) return 4;  // also a radius or scale that is not a positive number
    const int16_t limit = gOutputHookTable ? gOutputHookTable->circleChordLimit : 0;
    const int32_t most = limit > 0 ? limit : kDefaultChordLimit;
    if (chords >= double(most)) return std::max(most, 4);
    const int32_t n = int32_t(chords) >> 2 << 2;
    return std::max(n, 4);
}

int32_t genCurveResolution(uint8_t entityFlags) {
    if (!gOutputHookTable) return 10;
    return (entityFlags & kEntityAltCurveResolution) ? gOutputHookTable->curveResolutionAlt
                                                      : gOutputHookTable->curveResolution;
}

int32_t genArcChords(const DisplayContext& context, double sweep, double radius) {
    const int32_t resolution = genCurveResolution(context.entity.flags);
    return dbArcSegmentCount(resolution, sweep, resolution == 0 ? genCircleSegmentCount(context, radius) : 0);
}

void genDrawArc(Drawing* drawing, const Point3& centre, double start, double end, double radius,
                const Matrix4* matrices, bool draw, TextExtents* box, const Matrix4* boxTransform,
                const LinetypeRecord* linetype, const WideSegment* width, uint32_t identity) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context || !drawing->header) return;
    // More than a turn is the whole circle: damaged data must not ask for endless chords.
    const double sweep = std::clamp(end - start, -kTwoPi, kTwoPi);
    if (std::isnan(sweep) || !std::isfinite(start) || !std::isfinite(radius)) return;
    const int32_t n = genArcChords(*context, sweep, radius);
    const double step = sweep / n;
    const double arcLength = std::fabs(sweep) * radius;
    if (linetype && draw && identity == 0) fitPattern(drawing, *linetype, arcLength);

    const double c = std::cos(step), s = std::sin(step);
    Point3 from{centre.x + radius * std::cos(start), centre.y + radius * std::sin(start), centre.z};
    if (identity == 0) identity = ++context->segmentCounter;
    for (int32_t i = 0; i < n; ++i) {
        const double dx = from.x - centre.x, dy = from.y - centre.y;
        const Point3 to{centre.x + dx * c - dy * s, centre.y + dx * s + dy * c, centre.z};
        if (box) genExtentsAddSegment(from, to, *box, boxTransform);
        if (draw && width) {
            WideSegment piece;
            piece.startWidth = width->startWidth + (width->endWidth - width->startWidth) * i / n;
            piece.endWidth = width->startWidth + (width->endWidth - width->startWidth) * (i + 1) / n;
            piece.startCapAngle = radialAngle(centre, from);
            piece.endCapAngle = radialAngle(centre, to);
            genDrawLinetypedSegment(drawing, from, to, matrices, linetype, &piece, identity, arcLength);
        } else if (draw) {
            genDrawLinetypedSegment(drawing, from, to, matrices, linetype, nullptr, identity, arcLength);
        }
        from = to;
    }
}

int genDrawEllipse(Drawing* drawing, const EllipseBody& ellipse, const Matrix4& transform,
                   const LinetypeRecord* linetype) {
    DisplayContext* context = drawing ? drawing->displayContext.get() : nullptr;
    if (!context) return 1;
    // The ellipse's own frame: its plane, then the centre.
    Matrix4 frame = kIdentityMatrix4;
    Point3 axis = ellipse.majorAxis;
    if (context->entity.flags & kEntityHasExtrusion) {
        genOcsMatrix(context->entity.extrusion, frame);
        Matrix4 inverse = frame;
        if (genMatrixInverse(inverse)) {
            Point4 local;
            genPointTransform({axis.x, axis.y, axis.z, 0.0}, inverse, local);
            axis = {local.x, local.y, local.z};
        }
    }
    genMatrixPostTranslate(ellipse.centre.x, ellipse.centre.y, ellipse.centre.z, frame);
    Matrix4 placed;
    genMatrixMultiply(frame, transform, placed);
    std::vector<Matrix4> matrices;
    if (!dbTryResize(matrices, size_t(context->viewportCount))) return dbReportError(kErrorEllipseTransforms, kErrorReasonNoMemory);
    for (size_t i = 0; i < matrices.size(); ++i) genMatrixMultiply(placed, context->viewports[i].worldToDevice, matrices[i]);

    double sweep = ellipse.endParameter - ellipse.startParameter;
    if (!std::isfinite(sweep)) return 1;
    while (sweep <= 0.0) sweep += kTwoPi;
    const double a = std::sqrt(axis.x * axis.x + axis.y * axis.y);
    const double b = a * ellipse.axisRatio;
    const double theta = axis.x != 0.0 ? std::atan(axis.y / axis.x) + (axis.x < 0.0 ? std::numbers::pi : 0.0)
                         : axis.y >= 0.0 ? std::numbers::pi / 2.0
                                         : -std::numbers::pi / 2.0;
    const int32_t n = genArcChords(*context, sweep, a);
    const double step = sweep / n;
    const double ct = std::cos(theta), st = std::sin(theta);
    const double cs = std::cos(step), ss = std::sin(step);
    double cosT = std::cos(ellipse.startParameter), sinT = std::sin(ellipse.startParameter);
    auto at = [&](double cosine, double sine) {
        return Point3{a * cosine * ct - b * sine * st, a * cosine * st + b * sine * ct, 0.0};
    };
    const uint32_t identity = ++context->segmentCounter;
    Point3 from = at(cosT, sinT);
    for (int32_t i = 0; i < n; ++i) {
        const double nextCos = cosT * cs - sinT * ss;
        sinT = sinT * cs + cosT * ss;
        cosT = nextCos;
        const Point3 to = at(cosT, sinT);
        genDrawLinetypedSegment(drawing, from, to, matrices.data(), linetype, nullptr, identity, a * sweep);
        from = to;
    }
    return 1;
}

} // namespace tracemill
