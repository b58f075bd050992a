// The surface curves of a face: which kind of surface the face lies on, the curves each kind
// makes (and its silhouettes), and the points where the face's boundary crosses them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/cone.h"
#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/intersection_result.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/matrix3x3.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/geometry/sphere.h"
#include "toolkit/acis/geometry/torus.h"
#include "toolkit/acis/render/gl_renderer.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_spl_sur.h"
#include "toolkit/acis/sat/acis_spline.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_topology.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
// Points of a NURBS pair intersection: a full array counts as no result.
constexpr int kNURBSPairCapacity = 20;

enum class CurveKind { Line, Circle, Ellipse, NURBS, Other };

CurveKind curveKind(const c_Curve& curve) {
    const char* name = curve.className();
    if (std::strcmp(name, "c_Line") == 0) return CurveKind::Line;
    if (std::strcmp(name, "c_Circle") == 0) return CurveKind::Circle;
    if (std::strcmp(name, "c_Ellipse") == 0) return CurveKind::Ellipse;
    if (std::strcmp(name, "c_NURBSCurve") == 0) return CurveKind::NURBS;
    return CurveKind::Other;
}

bool analytic(CurveKind kind) { return kind == CurveKind::Line || kind == CurveKind::Circle || kind == CurveKind::Ellipse; }

// The curve as a NURBS curve: itself, or a full turn of a circle or an ellipse (kept in `arc`).
const c_NURBSCurve* nurbsForm(const c_Curve& curve, std::unique_ptr<c_NURBSArc>& arc) {
    switch (curveKind(curve)) {
    case CurveKind::NURBS: return static_cast<const c_NURBSCurve*>(&curve);
    case CurveKind::Circle: arc = std::make_unique<c_NURBSArc>(static_cast<const c_Circle&>(curve), 0.0, 2.0 * kPi); break;
    case CurveKind::Ellipse:
        arc = std::make_unique<c_NURBSArc>(static_cast<const c_Ellipse&>(curve), 0.0, 2.0 * kPi);
        break;
    default: return nullptr;
    }
    return arc.get();
}

// The points and overlaps of an intersection result.
void collectItems(const c_IntersectionResult& result, std::vector<aPoint>& points, bool& overlap) {
    if (result.status() != 2) return;
    for (int i = 0; i < result.itemCount(); ++i) {
        const c_IntersectionResult::ItemView item = result.item(i);
        const int kind = c_IntersectionResult::kind(item);
        aPoint p;
        if (kind == 2 && c_IntersectionResult::point(item, p)) points.push_back(p);
        if (kind == 1 || kind == 3) overlap = true;
    }
}

// The parallels and meridians of a surface of revolution: n circles about the axis through
// points spread along the profile, and n turned copies of the profile when it is a NURBS curve.
int revolutionCurves(const acis_spl_sur& data, int n, CurveArray& curves) {
    const acis_Curve* profile = data.profile();
    if (n < 1 || !profile) return 0;
    const size_t before = curves.size();
    const c_Line& axis = data.axis();
    const double low = profile->minParam(), high = profile->maxParam();
    for (int i = 0; i < n; ++i) {
        aPoint p;
        if (!profile->getPointAt(low + (i + 0.5) * (high - low) / n, p)) continue;
        const aPoint foot = axis.origin() + (p - axis.origin()).dot(axis.direction()) * axis.direction();
        const double radius = p.distance(foot);
        if (radius >= 1e-6) curves.push_back(std::make_unique<c_Circle>(foot, p - foot, axis.direction(), radius));
    }
    const c_Curve* shape = profile->kernelCurve();
    if (shape && curveKind(*shape) == CurveKind::NURBS) {
        for (int i = 0; i < n; ++i) {
            std::unique_ptr<c_Curve> meridian = shape->clone();
            if (!meridian) continue;
            c_Matrix4x4 turn;
            turn.rotationAboutPoint(c_Matrix3x3::rotation(axis.direction(), (i + 0.5) * 2.0 * kPi / n), axis.origin());
            meridian->transform(turn);
            curves.push_back(std::move(meridian));
        }
    }
    return int(curves.size() - before);
}

} // namespace

void GL_Renderer::beginFace(acis_Face& face) {
    mFace = &face;
    ++mFaceCount;
    mCurves.clear();
    characterizeUnderlyingSurface(face);
    if (mBufferSize > 0) generateSurfaceCurves(face);
}

void GL_Renderer::characterizeUnderlyingSurface(const acis_Face& face) {
    mSurfaceKind = kOtherSurface;
    mSurface = face.surface() ? face.surface()->kernelSurface() : nullptr;
    mConeHalfAngle = 0.0;
    if (mSurface) {
        static const struct {
            const char* name;
            SurfaceKind kind;
        } kinds[] = {{"c_Cone", kConeSurface},     {"c_Cylinder", kCylinderSurface}, {"c_EllCone", kEllConeSurface},
                     {"c_EllCylinder", kEllCylinderSurface}, {"c_Sphere", kSphereSurface},
                     {"c_NURBSSurface", kNURBSSurface}, {"c_Torus", kTorusSurface}};
        for (const auto& entry : kinds) {
            if (std::strcmp(mSurface->className(), entry.name) == 0) mSurfaceKind = entry.kind;
        }
        if (mSurfaceKind == kConeSurface) mConeHalfAngle = static_cast<const c_Cone*>(mSurface)->halfAngle();
        if (mSurfaceKind == kEllConeSurface) mConeHalfAngle = static_cast<const c_EllCone*>(mSurface)->halfAngle();
        return;
    }
    const auto* spline = acis_cast<acis_Spline>(face.surface());
    if (spline && spline->splineData() && spline->splineData()->isSurfaceOfRevolution()) mSurfaceKind = kRevolutionSurface;
}

void GL_Renderer::generateSurfaceCurves(acis_Face& face) {
    const auto& counts = mSettings.curveCounts;
    CurveArray curves;
    switch (mSurfaceKind) {
    case kConeSurface:
    case kCylinderSurface:
    case kEllConeSurface:
    case kEllCylinderSurface: mSurface->isoCurves(counts[GL_RendererSettings::kAxialCurves], curves); break;
    case kNURBSSurface: mSurface->isoCurves(counts[GL_RendererSettings::kNURBSCurves], curves); break;
    case kRevolutionSurface:
        revolutionCurves(*acis_cast<acis_Spline>(face.surface())->splineData(),
                         counts[GL_RendererSettings::kRevolutionCurves], curves);
        break;
    case kSphereSurface:
        static_cast<const c_Sphere*>(mSurface)->sectionCircles(counts[GL_RendererSettings::kSphereCurves], curves);
        break;
    case kTorusSurface:
        static_cast<const c_Torus*>(mSurface)->generateCircles(counts[GL_RendererSettings::kTorusCurves], curves);
        break;
    case kOtherSurface: break;
    }
    const size_t generated = curves.size();
    if (mSurface && mSettings.switches[GL_RendererSettings::kSilhouettes]) mSurface->silhouetteCurves(mViewDirection, curves);
    const int perDirection = counts[GL_RendererSettings::kNURBSCurves];
    for (size_t i = 0; i < curves.size(); ++i) {
        if (!curves[i]) continue;
        SurfaceCurve record;
        const CurveKind kind = curveKind(*curves[i]);
        record.freeForm = kind != CurveKind::Circle && kind != CurveKind::Ellipse;
        record.generated = i < generated;
        record.silhouette = i >= generated;
        // isoCurves of a spline surface: the curves of constant u (along v), then of constant v.
        if (mSurfaceKind == kNURBSSurface && record.generated) record.direction = int(i) < perDirection ? 2 : 1;
        record.curve = std::move(curves[i]);
        mCurves.push_back(std::move(record));
    }
    if (mSurfaceKind == kTorusSurface) limitTorusMeridians();
}

void GL_Renderer::limitTorusMeridians() {
    const auto& torus = *static_cast<const c_Torus*>(mSurface);
    const double limit = torus.maxMinorAngle();
    if (std::fabs(limit - kPi) < geometryTolerances().BasicAngleTol) return;
    // Where the meridians meet the axis: their points at the minor angles -limit and limit.
    const aVector reach = (torus.minorRadius() * std::sin(limit)) * torus.w();
    const aPoint ends[2] = {torus.centre() - reach, torus.centre() + reach};
    bool inside[2];
    for (int i = 0; i < 2; ++i) inside[i] = insideFace(ends[i]);
    int generated = 0;
    for (SurfaceCurve& record : mCurves) {
        if (!record.generated || generated++ % 2 == 0) continue;
        record.periodic = true;
        record.bound = limit;
        for (int i = 0; i < 2; ++i) {
            if (inside[i]) addPartitionPoint(record, ends[i], record.curve->getParameterOf(ends[i]), nullptr);
        }
    }
}

void GL_Renderer::addPartitionPoint(SurfaceCurve& curve, const aPoint& p, double t, const acis_CoEdge* coedge) {
    if (curve.periodic && (t < -curve.bound || t > curve.bound)) return;
    const double tolerance = geometryTolerances().BasicAngleTol;
    auto& nodes = curve.partitions;
    const auto near = std::find_if(nodes.begin(), nodes.end(), [&](const PartitionNode& node) {
        for (int i = 0; i < node.pairs; ++i) {
            if (std::fabs(node.parameters[i] - t) < tolerance) return true;
        }
        return false;
    });
    if (near != nodes.end()) {
        if (near->pairs == 2) return;
        if (near->coedge && coedge && near->coedge->edge() == coedge->edge()) {
            nodes.erase(near);
            mPartitionsChanged = true;
            return;
        }
    }
    PartitionNode node;
    node.points[0] = p;
    node.parameters[0] = t;
    node.coedge = coedge;
    const auto at = std::find_if(nodes.begin(), nodes.end(), [t](const PartitionNode& n) { return !(n.parameters[0] < t); });
    nodes.insert(at, node);
    mPartitionsChanged = true;
}

void GL_Renderer::updateSurfaceCurvePartitions(const c_Surface* neighbour, const acis_CoEdge& coedge) {
    const acis_Edge* edge = coedge.edge();
    const acis_Curve* edgeRecord = edge ? edge->curve() : nullptr;
    const c_Curve* edgeCurve = edgeRecord ? edgeRecord->kernelCurve() : nullptr;
    if (!edgeCurve) return;
    const CurveKind edgeKind = curveKind(*edgeCurve);
    const bool neighbourCuts = neighbour && (std::strcmp(neighbour->className(), "c_Plane") == 0 ||
                                             std::strcmp(neighbour->className(), "c_Sphere") == 0);
    for (SurfaceCurve& record : mCurves) {
        const c_Curve& curve = *record.curve;
        const CurveKind kind = curveKind(curve);
        std::vector<aPoint> points;
        bool overlap = false;
        if (kind == CurveKind::Line || edgeKind == CurveKind::Line ||
            (analytic(kind) && (analytic(edgeKind) || edgeKind == CurveKind::NURBS)) ||
            (analytic(edgeKind) && kind == CurveKind::NURBS)) {
            collectItems(c_IntersectionResult(curve, *edgeCurve), points, overlap);
        } else if (neighbourCuts) {
            bool ignored = false;
            collectItems(c_IntersectionResult(curve, *neighbour), points, ignored);
        } else {
            std::unique_ptr<c_NURBSArc> arcA, arcB;
            const c_NURBSCurve* a = nurbsForm(curve, arcA);
            const c_NURBSCurve* b = nurbsForm(*edgeCurve, arcB);
            if (a && b) {
                std::array<aPoint, kNURBSPairCapacity> found;
                const int count = a->intersect(*b, found);
                if (count > 0 && count < kNURBSPairCapacity) points.assign(found.begin(), found.begin() + count);
            }
        }
        for (const aPoint& p : points) {
            const bool atVertex = (edge->start() && p.coincident(edge->start()->position())) ||
                                  (edge->end() && p.coincident(edge->end()->position()));
            if (atVertex || edge->parameterOnEdge(edgeRecord->getParameterOf(p))) {
                addPartitionPoint(record, p, curve.getParameterOf(p), &coedge);
            }
        }
        if (!overlap || edge->isClosed() || std::strcmp(edgeCurve->className(), curve.className()) != 0) continue;
        // The boundary runs along the curve between the edge's vertices: one node of both ends.
        PartitionNode node;
        node.pairs = 2;
        node.points[0] = edge->start()->position();
        node.points[1] = edge->end()->position();
        node.parameters[0] = curve.getParameterOf(node.points[0]);
        node.parameters[1] = curve.getParameterOf(node.points[1]);
        if (node.parameters[0] > node.parameters[1]) {
            std::swap(node.parameters[0], node.parameters[1]);
            std::swap(node.points[0], node.points[1]);
        }
        node.coedge = &coedge;
        const double tolerance = geometryTolerances().BasicAngleTol;
        auto& nodes = record.partitions;
        std::erase_if(nodes, [&](const PartitionNode& n) {
            return std::fabs(n.parameters[0] - node.parameters[0]) < tolerance ||
                   std::fabs(n.parameters[0] - node.parameters[1]) < tolerance;
        });
        const auto at = std::find_if(nodes.begin(), nodes.end(),
                                     [&](const PartitionNode& n) { return !(n.parameters[0] < node.parameters[0]); });
        nodes.insert(at, node);
        mPartitionsChanged = true;
    }
}

} // namespace tracemill
