#include "toolkit/acis/intersect/intersection_dispatch.h"

#include <utility>

#include "toolkit/acis/intersect/conic_kernels.h"
#include "toolkit/acis/intersect/plane_sections.h"

namespace tracemill {
namespace {

struct CurveCurve {
    IntersectionList& list;
    int operator()(const LineRecord& a, const LineRecord& b) const { return intersectLineLine(a, b, list); }
    int operator()(const LineRecord& a, const CircleRecord& b) const { return intersectLineCircle(a, b, list); }
    int operator()(const LineRecord& a, const EllipseRecord& b) const { return intersectLineEllipse(a, b, list); }
    int operator()(const LineRecord& a, const ParabolaRecord& b) const { return intersectLineParabola(a, b, list); }
    int operator()(const LineRecord& a, const HyperbolaRecord& b) const {
        return intersectLineHyperbola(a, b, list);
    }
    int operator()(const CircleRecord& a, const CircleRecord& b) const { return intersectCircleCircle(a, b, list); }
    int operator()(const CircleRecord& a, const EllipseRecord& b) const {
        return intersectCircleEllipse(a, b, list);
    }
    int operator()(const CircleRecord& a, const ParabolaRecord& b) const {
        return intersectCircleParabola(a, b, list);
    }
    int operator()(const CircleRecord& a, const HyperbolaRecord& b) const {
        return intersectCircleHyperbola(a, b, list);
    }
    template <typename A, typename B> int operator()(const A&, const B&) const { return kIntersectNone; }
};

struct CurveSurface {
    IntersectionList& list;
    int operator()(const LineRecord& a, const PlaneRecord& b) const { return intersectLinePlane(a, b, list); }
    int operator()(const LineRecord& a, const CylinderRecord& b) const { return intersectLineCylinder(a, b, list); }
    int operator()(const LineRecord& a, const SphereRecord& b) const { return intersectLineSphere(a, b, list); }
    int operator()(const LineRecord& a, const ConeRecord& b) const { return intersectLineCone(a, b, list); }
    int operator()(const CircleRecord& a, const PlaneRecord& b) const { return intersectCirclePlane(a, b, list); }
    int operator()(const CircleRecord& a, const CylinderRecord& b) const {
        return intersectCircleCylinder(a, b, list);
    }
    int operator()(const CircleRecord& a, const SphereRecord& b) const { return intersectCircleSphere(a, b, list); }
    int operator()(const CircleRecord& a, const ConeRecord& b) const { return intersectCircleCone(a, b, list); }
    template <typename A, typename B> int operator()(const A&, const B&) const { return kIntersectNone; }
};

struct SurfaceSurface {
    IntersectionList& list;
    int operator()(const PlaneRecord& a, const PlaneRecord& b) const { return intersectPlanePlane(a, b, list); }
    int operator()(const PlaneRecord& a, const SphereRecord& b) const { return sectionPlaneSphere(a, b, list); }
    int operator()(const PlaneRecord& a, const CylinderRecord& b) const { return sectionPlaneCylinder(a, b, list); }
    int operator()(const PlaneRecord& a, const ConeRecord& b) const { return sectionPlaneCone(a, b, list); }
    template <typename A, typename B> int operator()(const A&, const B&) const { return kIntersectNone; }
};

} // namespace

int intersectCurveCurve(const OldStyleRecord& a, const OldStyleRecord& b, IntersectionList& list) {
    const bool ordered = int(recordKind(a)) <= int(recordKind(b));
    return std::visit(CurveCurve{list}, ordered ? a : b, ordered ? b : a);
}

int intersectCurveSurface(const OldStyleRecord& curve, const OldStyleRecord& surface, IntersectionList& list) {
    return std::visit(CurveSurface{list}, curve, surface);
}

int intersectSurfaceSurface(const OldStyleRecord& a, const OldStyleRecord& b, IntersectionList& list) {
    const bool ordered = int(recordKind(a)) <= int(recordKind(b));
    return std::visit(SurfaceSurface{list}, ordered ? a : b, ordered ? b : a);
}

} // namespace tracemill
