#include "toolkit/acis/geometry/intersection_result.h"

#include <array>
#include <cstring>
#include <numbers>
#include <ostream>

#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/ell_cylinder.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/sphere.h"
#include "toolkit/acis/geometry/torus.h"
#include "toolkit/acis/intersect/intersection_dispatch.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
// The NURBS pair routine fills an array of 15; 15 points count as no result.
constexpr int kNURBSPairCapacity = 15;
constexpr int kNURBSPairMaximum = 14;

bool is(const c_Curve& c, const char* name) { return std::strcmp(c.className(), name) == 0; }
bool is(const c_Surface& s, const char* name) { return std::strcmp(s.className(), name) == 0; }

} // namespace

void c_IntersectionResult::intersectNURBSPair(const c_Curve& a, const c_Curve& b) {
    std::array<aPoint, kNURBSPairCapacity> points;
    const int count = static_cast<const c_NURBSCurve&>(a).intersect(static_cast<const c_NURBSCurve&>(b), points);
    if (count < 1 || count > kNURBSPairMaximum) return;
    for (int i = 0; i < count; ++i) addIntersectionPoint(points[size_t(i)], false, mItems);
    mStatus = 2;
}

c_IntersectionResult::c_IntersectionResult(const c_Curve& a, const c_Curve& b) {
    const bool nurbsA = is(a, "c_NURBSCurve"), nurbsB = is(b, "c_NURBSCurve");
    if (nurbsA && nurbsB) {
        intersectNURBSPair(a, b);
        return;
    }
    if (nurbsA || nurbsB) {
        const auto& nurbs = static_cast<const c_NURBSCurve&>(nurbsA ? a : b);
        const c_Curve& other = nurbsA ? b : a;
        if (is(other, "c_Line")) {
            mStatus = nurbs.intersectLine(static_cast<const c_Line&>(other), mItems);
            return;
        }
        if (is(other, "c_Circle")) {
            mStatus = nurbs.intersectConic(static_cast<const c_Circle&>(other), mItems);
            return;
        }
        if (is(other, "c_Ellipse")) {
            const c_NURBSArc arc(static_cast<const c_Ellipse&>(other), 0.0, 2.0 * kPi);
            intersectNURBSPair(nurbs, arc);
            return;
        }
        kernelDiagnostics() << "**** ERROR: " << "Bad type in c_IntersectionResult::(curve,curve)\n";
    }
    const OldStyleRecord ra = a.makeOldStyleEntity(), rb = b.makeOldStyleEntity();
    if (recordKind(ra) == RecordKind::None || recordKind(rb) == RecordKind::None) return;
    if (intersectCurveCurve(ra, rb, mItems) == kIntersectDone) mStatus = 2;
}

c_IntersectionResult::c_IntersectionResult(const c_Curve& curve, const c_Surface& surface) {
    if (is(curve, "c_Line") && (is(surface, "c_EllCylinder") || is(surface, "c_Torus"))) {
        mStatus = surface.intersect(curve, mItems);
        return;
    }
    if (is(curve, "c_Circle") && is(surface, "c_EllCylinder")) {
        mStatus = surface.intersect(curve, mItems);
        return;
    }
    if (is(curve, "c_Circle") && is(surface, "c_Torus")) {
        mStatus = static_cast<const c_Torus&>(surface).intersectCircle(static_cast<const c_Circle&>(curve), mItems);
        return;
    }
    if (is(curve, "c_NURBSCurve")) {
        const auto& nurbs = static_cast<const c_NURBSCurve&>(curve);
        std::optional<std::vector<CurvePoint>> points;
        if (is(surface, "c_Plane")) {
            points = nurbs.intersectPlane(static_cast<const c_Plane&>(surface));
        } else if (is(surface, "c_Sphere")) {
            points = nurbs.intersectSphere(static_cast<const c_Sphere&>(surface));
        } else {
            kernelDiagnostics() << "Cannot intersect a NURBS curve with a " << surface.className() << '\n';
            return;
        }
        if (!points) return;
        for (const CurvePoint& p : *points) addIntersectionPoint(p.point, false, mItems);
        mStatus = 2;
        return;
    }
    const OldStyleRecord rc = curve.makeOldStyleEntity(), rs = surface.makeOldStyleEntity();
    if (recordKind(rc) == RecordKind::None || recordKind(rs) == RecordKind::None) return;
    if (intersectCurveSurface(rc, rs, mItems) == kIntersectDone) mStatus = 2;
}

c_IntersectionResult::c_IntersectionResult(const c_Surface& a, const c_Surface& b) {
    const OldStyleRecord ra = a.makeOldStyleEntity(), rb = b.makeOldStyleEntity();
    if (recordKind(ra) == RecordKind::None || recordKind(rb) == RecordKind::None) return;
    if (intersectSurfaceSurface(ra, rb, mItems) == kIntersectDone) mStatus = 2;
}

int c_IntersectionResult::itemCount() const {
    if (mItems.count == 0) return mStatus == 2 ? 1 : 0;
    return mItems.count;
}

c_IntersectionResult::ItemView c_IntersectionResult::item(int i) const {
    if (mStatus != 2) return {};
    if (mItems.count == 0) return {true, nullptr};
    if (i < 0 || i >= mItems.count) return {};
    return {false, &mItems.items[size_t(i)]};
}

int c_IntersectionResult::kind(const ItemView& view) {
    if (view.overlap) return 1;
    if (!view.item) return 0;
    switch (view.item->kind()) {
    case RecordKind::Point: return 2;
    case RecordKind::Line:
    case RecordKind::Circle:
    case RecordKind::Ellipse: return 3;
    default: return 0;
    }
}

bool c_IntersectionResult::point(const ItemView& view, aPoint& p) {
    const aPoint* at = view.item ? view.item->point() : nullptr;
    p = at ? *at : kOrigin;
    return at != nullptr;
}

bool c_IntersectionResult::line(const ItemView& view, c_Line& out) {
    const auto* record = view.item ? std::get_if<LineRecord>(&view.item->geometry) : nullptr;
    out = record ? c_Line(record->point, record->direction) : c_Line(kOrigin, kXAxis);
    return record != nullptr;
}

} // namespace tracemill
