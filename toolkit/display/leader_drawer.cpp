#include "toolkit/display/leader_drawer.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "toolkit/core/dim_arrow_settings.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_bodies.h"
#include "toolkit/core/system_context.h"
#include "toolkit/display/arrowheads.h"
#include "toolkit/display/clip_stack.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/display_context.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/spline_tessellation.h"

namespace tracemill {
namespace {

constexpr uint8_t kLeaderSplinePath = 0x01;
constexpr int16_t kAnnotationMText = 0;
// A spline leader of three vertices already bends through its middle one; one of two is a
// straight line either way.
constexpr size_t kFewestSplineVertices = 3;
// A last segment steeper than this enters the last vertex through an extra fit point.
constexpr double kSteepLastSegment = 0.75;

Point3 plus(const Point3& p, const Point3& v, double f) { return {p.x + v.x * f, p.y + v.y * f, p.z + v.z * f}; }

class LeaderDrawer {
public:
    LeaderDrawer(Drawing* drawing, const EntityHeader& header, const LeaderBody& leader, const EntityPassValues& pass)
        : drawing_(drawing), context_(*drawing->displayContext), header_(header), leader_(leader), pass_(pass) {}

    int draw();

private:
    void line(const Point3& a, const Point3& b) {
        genDrawLinetypedSegment(drawing_, a, b, pass_.matrices, pass_.linetype, nullptr, ++context_.segmentCounter, 0.0);
    }
    void drawStraight(std::vector<Point3>& points);
    int drawSpline(std::vector<Point3>& points);

    Drawing* drawing_;
    DisplayContext& context_;
    const EntityHeader& header_;
    const LeaderBody& leader_;
    const EntityPassValues& pass_;
    DimArrowSettings settings_;
    double half_ = 0.0;   // half the arrow size
    int32_t colour_ = 7;  // of the leader's lines and arrow
};

int LeaderDrawer::draw() {
    dbGetDimArrowSettings(drawing_, header_, settings_, leader_.dimensionStyle);
    colour_ = pass_.colour;
    const int32_t own = int32_t(int16_t(settings_.colour));
    if (own != 0) {
        colour_ = own == 256 ? pass_.byLayerColour : own;
        genSetIndexColour(drawing_, colour_);
    }
    const double scale = genLeaderScale(drawing_, header_, settings_.scale);
    half_ = settings_.arrowSize / 2.0 * scale;

    std::vector<Point3> points;
    try {
        points = leader_.points;
    } catch (const std::bad_alloc&) {
        return dbReportError(kErrorLeaderArrays, kErrorReasonNoMemory);
    }
    int result = 1;
    if ((leader_.pathType & kLeaderSplinePath) && points.size() >= kFewestSplineVertices) result = drawSpline(points);
    else drawStraight(points);

    // A negative gap frames the text annotation: its MTEXT, drawn later, finds the handle.
    if (settings_.gap < 0.0 && leader_.annotationType == kAnnotationMText) {
        context_.framedAnnotation = leader_.annotation;
        context_.framedAnnotationMargin = -settings_.gap * scale;
    } else {
        context_.framedAnnotation = Handle();
    }
    return result;
}

void LeaderDrawer::drawStraight(std::vector<Point3>& points) {
    if (points.size() < 2) return;
    const double scale = genLeaderScale(drawing_, header_, settings_.scale);
    const Point3 d = genNormalized(leader_.horizontalDirection);
    const bool direction = d.x != 0.0 || d.y != 0.0 || d.z != 0.0;
    const double side = leader_.hookLineOnXDirection ? 1.0 : -1.0;
    // The hook: one arrow size along the horizontal direction before the last vertex.
    if (leader_.hookLine && direction) points.insert(points.end() - 1, plus(points.back(), d, side * 2.0 * half_));
    if (leader_.arrowheadOn) {
        genDrawArrowhead(drawing_, header_, points[0], points[1], pass_, settings_.arrowBlock, half_, colour_, false);
    }
    for (size_t i = 0; i + 1 < points.size(); ++i) line(points[i], points[i + 1]);
    // The underline of a text annotation runs from the last vertex away from the hook.
    const double underline =
        settings_.placement != 0 && leader_.textWidth != 0.0 ? settings_.gap * scale + leader_.textWidth : 0.0;
    if (underline != 0.0 && leader_.annotationType == kAnnotationMText && direction)
        line(points.back(), plus(points.back(), d, -side * underline));
}

int LeaderDrawer::drawSpline(std::vector<Point3>& points) {
    if (leader_.arrowheadOn) {
        genDrawArrowhead(drawing_, header_, points[0], points[1], pass_, settings_.arrowBlock, half_, colour_, true);
    }
    // A steep last segment gets a fit point beside the last vertex, against the segment's
    // direction in x, so that the curve enters the last vertex flatter.
    const Point3 last = points.back(), before = points[points.size() - 2];
    const double dx = last.x - before.x, dy = last.y - before.y;
    if (dx != 0.0 && std::fabs(dy / dx) > kSteepLastSegment) {
        const double offset = std::min(2.0 * half_, std::fabs(dx) / 2.0);
        if (offset > 0.0) points.insert(points.end() - 1, {last.x - std::copysign(offset, dx), last.y, last.z});
    }
    SplineBody curve;
    curve.degree = 3;
    try {
        curve.data.fitPoints = std::move(points);
    } catch (const std::bad_alloc&) {
        return dbReportError(kErrorLeaderArrays, kErrorReasonNoMemory);
    }
    return genDrawSpline(drawing_, curve, pass_.matrices, pass_.linetype, nullptr, 0, nullptr);
}

} // namespace

double genLeaderScale(Drawing* drawing, const EntityHeader& header, double dimscale) {
    if (dimscale != 0.0) return dimscale;
    const DisplayContext* context = drawing && drawing->displayContext ? drawing->displayContext.get() : nullptr;
    if (!context || !context->paperSpaceWithViewports || (header.flags & kEntityInPaperSpace) ||
        context->paperSpacePass || context->viewportCount < 2)
        return 1.0;
    const double sheet = genMatrixDeviceScale(context->viewports[0].worldToDevice);
    const double model = genMatrixDeviceScale(context->viewports[1].worldToDevice);
    return model > 0.0 && std::isfinite(sheet / model) ? sheet / model : 1.0;
}

int genDrawLeader(Drawing* drawing, const EntityHeader& header, const LeaderBody& leader, const EntityPassValues& pass) {
    if (!drawing || !drawing->displayContext || !pass.matrices) return 1;
    return LeaderDrawer(drawing, header, leader, pass).draw();
}

} // namespace tracemill
