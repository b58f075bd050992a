// Point-in-face classification: whether a point of a face's surface lies inside the face's
// boundary loops. Rays (curves of the surface through the point) are crossed with the edges of
// the loops; the crossing nearest to the point decides by the side of its coedge.
#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/cylinder.h"
#include "toolkit/acis/geometry/ell_cylinder.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/intersection_result.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/surface.h"
#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_analytic_surfaces.h"
#include "toolkit/acis/sat/acis_chain.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_topology.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
// Classifications of the retry points of a circular ray run one level deep.
constexpr int kDeepestRetry = 1;
// The rays a surface is asked for, and the one ray of a spline approximation.
constexpr int kRaysAsked = 7;

bool trace() { return traceSwitches().faceClassification; }

bool isClass(const c_Curve& curve, const char* name) { return std::strcmp(curve.className(), name) == 0; }
bool isClass(const c_Surface& surface, const char* name) { return std::strcmp(surface.className(), name) == 0; }

// Makes the given values the process-wide tolerances while it lives.
using TolerancesInForce = ScopedValue<GeometryTolerances>;

// Rays of the surfaces that name no curves through a point: lines of a plane in seven
// directions, and the ruling and the section circle of a cylinder.
int ownRays(const c_Surface& surface, const aPoint& p, CurveArray& rays) {
    if (isClass(surface, "c_Plane")) {
        const aVector n = static_cast<const c_Plane&>(surface).normal();
        aVector u = n.perpendicular();
        u.normalize();
        const aVector v = n.cross(u);
        for (int k = 0; k < kRaysAsked; ++k) {
            const double angle = 0.2834 + k * kPi / kRaysAsked;
            rays.push_back(std::make_unique<c_Line>(p, std::cos(angle) * u + std::sin(angle) * v));
        }
        return kRaysAsked;
    }
    if (isClass(surface, "c_Cylinder") || isClass(surface, "c_EllCylinder")) {
        const auto& cylinder = static_cast<const c_AxialQuadric&>(surface);
        rays.push_back(std::make_unique<c_Line>(p, cylinder.w()));
        if (!isClass(surface, "c_Cylinder")) return 1;
        const aPoint foot = cylinder.basePoint() + (p - cylinder.basePoint()).dot(cylinder.w()) * cylinder.w();
        const double radius = static_cast<const c_Cylinder&>(surface).radius();
        rays.push_back(std::make_unique<c_Circle>(foot, p - foot, cylinder.w(), radius));
        return 2;
    }
    return 0;
}

// The parameter of a point on a ray, measured from the classified point's parameter: wrapped
// into -pi .. pi on a circle or an ellipse, into half the range on a closed NURBS curve.
double rayOffset(const c_Curve& ray, double from, const aPoint& q) {
    const double t = ray.getParameterOf(q) - from;
    if (isClass(ray, "c_Circle") || isClass(ray, "c_Ellipse")) return normalizeAngle(t);
    if (isClass(ray, "c_NURBSCurve") && ray.isClosed()) {
        const auto& nurbs = static_cast<const c_NURBSCurve&>(ray);
        const double period = nurbs.maxParam() - nurbs.minParam();
        if (period > 0.0) return t - period * std::round(t / period);
    }
    return t;
}

// Whether one of five points of the circle lies in the box. The box of a flat face has no
// depth: it is grown by the distance tolerance, so that rounding keeps the face's own points.
bool circleMeetsBox(const c_Curve& circle, const BoundingBox& box) {
    for (int k = 0; k < 5; ++k) {
        aPoint q;
        if (circle.getPointAt(0.55123 + k * 0.2 * 2.0 * kPi, q) && box.contains(q, geometryTolerances().BasicDistanceTol))
            return true;
    }
    return false;
}

} // namespace

// The nearest crossing of the current ray: its coedge, the coedge met at the same point (the
// neighbour at a vertex), their edge classes, the parameter of the crossing on the ray measured
// from the classified point, and the crossing itself.
struct acis_Face::RayHitInfo {
    bool any = false;
    const acis_CoEdge* nearest = nullptr;
    const acis_CoEdge* second = nullptr;
    AcisEdgeClass nearestClass = ecUnknown;
    AcisEdgeClass secondClass = ecUnknown;
    double t = 5.0;
    aPoint point;
};

// The work of one classification: the loops, the tolerances it started with and the loosened
// ones it runs with, the nesting depth of retries, the classified point with its parameter on
// the current ray, and the hits of that ray.
struct acis_Face::Classification {
    std::vector<acis_Loop*> loops;
    GeometryTolerances normal;
    GeometryTolerances loose;
    int depth = 0;
    aPoint point;
    double pointParameter = 0.0;
    RayHitInfo hits;
};

int acis_Face::loopCurveCount() const {
    if (mLoopCurveCount >= 0) return mLoopCurveCount;
    int count = 0;
    const acis_Curve* previous = nullptr;
    for (const acis_Loop* loop : acisChain(mLoop, [](const acis_Loop* l) { return l->next(); })) {
        for (const acis_CoEdge* coedge : acisChain(loop->coedge(), [](const acis_CoEdge* c) { return c->next(); })) {
            const acis_Curve* curve = coedge->edge() ? coedge->edge()->curve() : nullptr;
            if (curve != previous) ++count;
            previous = curve;
        }
    }
    mLoopCurveCount = count;
    return count;
}

aVector acis_Face::faceNormal(const aPoint& p) const {
    if (!mSurface) {
        if (trace()) kernelDiagnostics() << "acis_Face::faceNormal: NULL host surface." << '\n';
        return aVector();
    }
    aVector n = mSurface->normalAt(p);
    if (n.length() < 0.1 && trace()) {
        kernelDiagnostics() << "acis_Face::faceNormal: got zero vector back" << " from " << mSurface->typeName() << '\n';
    }
    // The surfaces of holes and cavities are written turned inside out: a cone (or cylinder)
    // with a negative cosine, a sphere with a negative radius. Their normals point at the axis
    // or the centre, where the kernel surface's point away.
    const auto* cone = acis_cast<acis_Cone>(mSurface);
    const auto* sphere = acis_cast<acis_Sphere>(mSurface);
    const bool insideOut = (cone && cone->coneKind() != 0 && cone->cosine() < 0.0) || (sphere && sphere->radius() < 0.0);
    return (mSense == 1) != insideOut ? -n : n;
}

int acis_Face::classify(const aPoint& p) {
    Classification work;
    work.loops = acisChain(mLoop, [](acis_Loop* l) { return l->next(); });
    work.normal = geometryTolerances();
    work.loose = work.normal;
    work.loose.coincTol *= 10.0;
    work.loose.BasicDistanceTol *= 10.0;
    work.loose.BasicDistanceSquaredTol *= 10.0;
    return classifyAtDepth(p, work);
}

int acis_Face::classifyAtDepth(const aPoint& p, Classification& work) {
    bool bounded = false;
    for (const acis_Loop* loop : work.loops) bounded = bounded || !loop->hasNoCurve();
    if (!bounded) return kFaceInside;
    const c_Surface* surface = mSurface ? mSurface->kernelSurface() : nullptr;
    const bool spline = mSurface && mSurface->kind() == AcisKind::SplineSurface;
    if (!surface) {
        if (trace()) kernelDiagnostics() << "acis_Face::classify: NULL zeziv surface." << '\n';
        return kFaceUndetermined;
    }
    const TolerancesInForce loosened(geometryTolerances(), work.loose);
    CurveArray rays;
    surface->curvesThrough(p, rays, spline ? 1 : kRaysAsked);
    if (rays.empty()) ownRays(*surface, p, rays);
    const aPoint saved = work.point;
    const double savedParameter = work.pointParameter;
    int result = kFaceUndetermined;
    for (const auto& ray : rays) {
        if (result != kFaceUndetermined) break;
        if (!ray) continue;
        if (loopCurveCount() > 1 && isClass(*ray, "c_Circle") && mBox.set && !circleMeetsBox(*ray, mBox)) {
            result = kFaceOutside;
            break;
        }
        work.point = p;
        work.pointParameter = ray->getParameterOf(p);
        result = traceRay(p, *ray, work);
    }
    work.point = saved;
    work.pointParameter = savedParameter;
    return result;
}

int acis_Face::traceRay(const aPoint& p, const c_Curve& ray, Classification& work) {
    work.hits = RayHitInfo{};
    for (size_t l = 0; l < work.loops.size(); ++l) {
        const auto coedges = acisChain(work.loops[l]->coedge(), [](const acis_CoEdge* c) { return c->next(); });
        for (size_t c = 0; c < coedges.size(); ++c) {
            const acis_CoEdge& coedge = *coedges[c];
            const acis_Edge* edge = coedge.edge();
            if (!edge) {
                if (trace()) kernelDiagnostics() << "NULL edge in acis_Face::traceRay (loop -" << l << ", coedge -" << c << ")\n";
                continue;
            }
            if (edge->curve()) {
                const c_Curve* edgeCurve = edge->curve()->kernelCurve();
                if (!edgeCurve) {
                    if (trace()) {
                        kernelDiagnostics() << "NULL zezivCurve in acis_Face::traceRay (loop -" << l << ", edge -"
                                            << edge->index() << ", coedge -" << c << ")\n";
                    }
                    continue;
                }
                if (crossRayWithEdge(p, ray, *edgeCurve, coedge, work) == kFaceInside) return kFaceInside;
            } else if (edge->start() && edge->start() == edge->end() && p.coincident(edge->start()->position())) {
                return kFaceInside;
            }
        }
    }
    // A circle that meets no edge lies on one side of the boundary as a whole: its other points
    // decide.
    if (!work.hits.any && isClass(ray, "c_Circle") && work.depth < kDeepestRetry) {
        ++work.depth;
        int result = kFaceUndetermined;
        for (int k = 0; k < 7 && result == kFaceUndetermined; ++k) {
            aPoint q;
            if (ray.getPointAt(0.31231 + k * 2.0 * kPi / 7.0, q)) result = classifyAtDepth(q, work);
        }
        --work.depth;
        return result;
    }
    return analyzeRayHitInfo(ray, work);
}

int acis_Face::crossRayWithEdge(const aPoint& p, const c_Curve& ray, const c_Curve& edgeCurve,
                                const acis_CoEdge& coedge, Classification& work) {
    std::unique_ptr<c_IntersectionResult> crossing;
    {
        const TolerancesInForce normal(geometryTolerances(), work.normal);
        crossing = std::make_unique<c_IntersectionResult>(ray, edgeCurve);
    }
    if (crossing->status() != 2) return kFaceUndetermined;
    for (int i = 0; i < crossing->itemCount(); ++i) {
        const c_IntersectionResult::ItemView item = crossing->item(i);
        const int kind = c_IntersectionResult::kind(item);
        if (kind == 2) {
            aPoint q;
            c_IntersectionResult::point(item, q);
            edgeCurve.snapToCurve(q);
            const AcisEdgeClass edgeClass = coedge.pointClass(q);
            if (edgeClass > ecIn) continue;
            ray.snapToCurve(q);
            updateRayHitInfo(ray, q, edgeClass, coedge, work);
        } else if (kind == 1 || kind == 3) {
            // The ray runs along the edge: a point on the edge is on the boundary.
            if (coedge.pointClass(p) != ecOut) return kFaceInside;
        }
    }
    return kFaceUndetermined;
}

void acis_Face::updateRayHitInfo(const c_Curve& ray, const aPoint& hit, AcisEdgeClass edgeClass,
                                 const acis_CoEdge& coedge, Classification& work) {
    RayHitInfo& hits = work.hits;
    const double t = rayOffset(ray, work.pointParameter, hit);
    if (!hits.any) {
        hits = RayHitInfo{true, &coedge, nullptr, edgeClass, ecUnknown, t, hit};
        return;
    }
    if (!hit.coincident(hits.point)) {
        if (std::fabs(t) < std::fabs(hits.t)) hits = RayHitInfo{true, &coedge, nullptr, edgeClass, ecUnknown, t, hit};
        return;
    }
    const bool meeting = (edgeClass == ecOnStartV && hits.nearestClass == ecOnEndV) ||
                         (edgeClass == ecOnEndV && hits.nearestClass == ecOnStartV);
    if (meeting || coedge.edge() == hits.nearest->edge()) {
        hits.second = &coedge;
        hits.secondClass = edgeClass;
    } else if (edgeClass != ecOnStartAndEndV && hits.nearestClass != ecOnStartAndEndV && trace()) {
        kernelDiagnostics() << "Problems in acis_Face::updateRayHitInfo: coedges -" << hits.nearest->index() << " and -"
                            << coedge.index() << " at " << hit << '\n';
    }
}

int acis_Face::sideOfCoedge(const c_Curve& ray, const acis_CoEdge& coedge, const Classification& work) const {
    const RayHitInfo& hits = work.hits;
    const acis_Curve* curve = coedge.edge() ? coedge.edge()->curve() : nullptr;
    if (!curve) return 2;
    const aVector n = faceNormal(hits.point);
    aVector r = ray.tangentAt(hits.point);
    if (hits.t < 0.0) r = -r;
    const aVector c = coedge.tangentAt(curve->getParameterOf(hits.point));
    const double s = n.cross(c).dot(r);
    if (!(std::fabs(s) >= 1e-6)) return 2;
    return s > 0.0 ? 0 : 1;
}

int acis_Face::analyzeRayHitInfo(const c_Curve& ray, const Classification& work) const {
    const RayHitInfo& hits = work.hits;
    if (!hits.nearest) {
        if (hits.any && trace()) kernelDiagnostics() << "Problems in acis_Face::analyzeRayHitInfo" << '\n';
        return kFaceUndetermined;
    }
    if (hits.second && hits.second->edge() == hits.nearest->edge()) return kFaceInside;
    if (hits.nearestClass == ecOnStartV || hits.nearestClass == ecOnEndV) {
        // The coedge that meets the nearest one at the vertex: before it where the coedge
        // starts, after it where it ends.
        const bool coedgeStart = (hits.nearestClass == ecOnStartV) == (hits.nearest->sense() != 1);
        const acis_CoEdge* neighbour = coedgeStart ? hits.nearest->previous() : hits.nearest->next();
        if (!neighbour) neighbour = hits.second;
        if (!neighbour) {
            if (trace()) kernelDiagnostics() << "Problems in acis_Face::analyzeRayHitInfo" << '\n';
            return kFaceUndetermined;
        }
        const int first = sideOfCoedge(ray, *hits.nearest, work);
        const int other = sideOfCoedge(ray, *neighbour, work);
        if (first == 2 || other == 2) return kFaceUndetermined;
        if (first == other) return first == 1 ? kFaceInside : kFaceOutside;
        if (trace()) kernelDiagnostics() << "acis_Face::analyzeRayHitInfo: " << "Grazed vertex neighborhood." << '\n';
        return kFaceUndetermined;
    }
    const int side = sideOfCoedge(ray, *hits.nearest, work);
    return side == 1 ? kFaceInside : side == 0 ? kFaceOutside : kFaceUndetermined;
}

int acis_Face::classify2(const aPoint& p) {
    if (trace()) kernelDiagnostics() << "Using acis_Face::classify2." << '\n';
    const acis_CoEdge* nearest = nullptr;
    double distance = 0.0;
    for (const acis_Loop* loop : acisChain(mLoop, [](const acis_Loop* l) { return l->next(); })) {
        for (const acis_CoEdge* coedge : acisChain(loop->coedge(), [](const acis_CoEdge* c) { return c->next(); })) {
            const acis_Edge* edge = coedge->edge();
            if (!edge || !edge->curve()) continue;
            const double d = edge->midpoint().distance(p);
            if (!nearest || d < distance) {
                nearest = coedge;
                distance = d;
            }
        }
    }
    if (!nearest) return kFaceOutside;
    if (loopCurveCount() > 1 && mBox.set) {
        return mBox.contains(p, geometryTolerances().BasicDistanceTol) ? kFaceInside : kFaceOutside;
    }
    // The plane through the edge across the face: its normal points into the face for a
    // coedge that runs along the edge's curve.
    const acis_Curve& curve = *nearest->edge()->curve();
    const aPoint middle = nearest->edge()->midpoint();
    const aVector across = faceNormal(middle).cross(curve.tangentAt(curve.getParameterOf(middle)));
    double side = (p - middle).dot(across);
    if (!nearest->alongCurve()) side = -side;
    if (!std::isfinite(side)) return kFaceOutside;
    return side >= 0.0 ? kFaceInside : kFaceOutside;
}

} // namespace tracemill
