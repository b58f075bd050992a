// The surface-curve pass of a face: each surface curve is cut at its partition points and the
// pieces inside the face are drawn; curves that the boundary does not cross are drawn whole
// when a point of them lies inside.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/quadric_surface.h"
#include "toolkit/acis/render/gl_output.h"
#include "toolkit/acis/render/gl_renderer.h"
#include "toolkit/acis/sat/acis_chain.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_topology.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;

bool isClass(const c_Curve& curve, const char* name) { return std::strcmp(curve.className(), name) == 0; }
bool isConic(const c_Curve& curve) { return isClass(curve, "c_Circle") || isClass(curve, "c_Ellipse"); }

// A cut of a curve, and whether the stretch after it runs along the boundary.
struct Cut {
    double t;
    bool alongBoundary;
};

} // namespace

bool GL_Renderer::insideFace(const aPoint& p) {
    int result = mFace->classify(p);
    if (result == kFaceUndetermined) result = mFace->classify2(p);
    return result == kFaceInside;
}

void GL_Renderer::drawIsoLines() {
    mFaceBoxesOn = false;
    const bool cone = mSurfaceKind == kConeSurface || mSurfaceKind == kEllConeSurface;
    bool degenerateLoop = false;
    for (const acis_Loop* loop : acisChain(mFace->loop(), [](const acis_Loop* l) { return l->next(); })) {
        degenerateLoop = degenerateLoop || loop->hasNoCurve();
    }
    bool segmentsBegun = false, generatedColour = false, silhouetteColour = false;
    for (SurfaceCurve& record : mCurves) {
        if (mPushDepth == 0 && record.generated && !generatedColour) {
            const auto& c = mSettings.curveColour;
            mOutput.color(c[0], c[1], c[2]);
            generatedColour = true;
        }
        if (mPushDepth == 0 && record.silhouette && !silhouetteColour) {
            const auto& c = mSettings.silhouetteColour;
            mOutput.color(c[0], c[1], c[2]);
            silhouetteColour = true;
        }
        const c_Curve& curve = *record.curve;
        const bool odd = record.partitions.size() % 2 == 1;
        if (cone && mConeHalfAngle > 0.02 && degenerateLoop && isClass(curve, "c_Line") && odd) {
            // The ruling ends at the apex, which no edge crosses.
            const aPoint apex = static_cast<const c_AxialQuadric*>(mSurface)->basePoint();
            addPartitionPoint(record, apex, curve.getParameterOf(apex), nullptr);
        }
        if (isClass(curve, "c_NURBSCurve") && odd) addNURBSEndPartition(record);
        if (!record.partitions.empty()) {
            cutAtPartitions(record, segmentsBegun);
            continue;
        }
        if (segmentsBegun && !isClass(curve, "c_Line")) {
            mOutput.end();
            segmentsBegun = false;
        }
        if (isConic(curve)) {
            drawWholeConic(record);
        } else if (isClass(curve, "c_NURBSCurve")) {
            drawWholeFreeForm(record);
        }
    }
    if (segmentsBegun) mOutput.end();
    if (mPushDepth == 0 && (generatedColour || silhouetteColour)) {
        const auto& c = mSettings.bodyColour;
        mOutput.color(c[0], c[1], c[2]);
    }
    mFaceBoxesOn = true;
}

void GL_Renderer::addNURBSEndPartition(SurfaceCurve& record) {
    const auto& curve = static_cast<const c_NURBSCurve&>(*record.curve);
    const double low = curve.minParam(), high = curve.maxParam();
    const double tolerance = geometryTolerances().BasicAngleTol;
    const auto& nodes = record.partitions;
    const double first = nodes.front().parameters[0], last = nodes.back().parameters[nodes.back().pairs - 1];
    double end = first - low <= high - last ? high : low;
    if (nodes.size() == 1) {
        const double a = first;
        if (std::fabs(a - low) < tolerance) {
            end = high;
        } else if (std::fabs(a - high) < tolerance) {
            end = low;
        } else {
            const double farther = a - low > high - a ? low : high;
            const double nearer = farther == low ? high : low;
            aPoint middle;
            if (curve.getPointAt(0.5 * (a + farther), middle)) {
                const int result = mFace->classify(middle);
                if (result == kFaceOutside) end = nearer;
                else if (result != kFaceUndetermined) end = farther;
            }
        }
    }
    aPoint p;
    if (curve.getPointAt(end, p)) addPartitionPoint(record, p, end, nullptr);
}

void GL_Renderer::cutAtPartitions(SurfaceCurve& record, bool& segmentsBegun) {
    const c_Curve& curve = *record.curve;
    std::vector<Cut> cuts;
    for (const PartitionNode& node : record.partitions) {
        cuts.push_back({node.parameters[0], node.pairs == 2});
        if (node.pairs == 2) cuts.push_back({node.parameters[1], false});
    }
    double period = 0.0;
    if (isConic(curve) && !record.periodic) {
        period = 2.0 * kPi;
    } else if (isClass(curve, "c_NURBSCurve") && curve.isClosed()) {
        const auto& nurbs = static_cast<const c_NURBSCurve&>(curve);
        period = nurbs.maxParam() - nurbs.minParam();
    }
    if (record.periodic) {
        // The curve ends at its bounds.
        const double tolerance = geometryTolerances().BasicAngleTol;
        if (cuts.front().t - -record.bound >= tolerance) cuts.insert(cuts.begin(), Cut{-record.bound, false});
        if (record.bound - cuts.back().t >= tolerance) cuts.push_back(Cut{record.bound, false});
    }
    std::vector<std::pair<double, double>> pieces;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        if (!cuts[i].alongBoundary) pieces.emplace_back(cuts[i].t, cuts[i + 1].t);
    }
    if (period > 0.0 && !cuts.back().alongBoundary) pieces.emplace_back(cuts.back().t, cuts.front().t + period);
    for (const auto& [t0, t1] : pieces) {
        if (!(t1 - t0 >= geometryTolerances().BasicAngleTol)) continue;
        double middle = 0.5 * (t0 + t1);
        if (period > 0.0 && isClass(curve, "c_NURBSCurve") && middle > static_cast<const c_NURBSCurve&>(curve).maxParam()) {
            middle -= period;
        }
        aPoint p;
        if (!curve.getPointAt(middle, p) || !insideFace(p)) continue;
        drawPiece(record, t0, t1, segmentsBegun);
    }
}

void GL_Renderer::drawPiece(const SurfaceCurve& record, double t0, double t1, bool& segmentsBegun) {
    const c_Curve& curve = *record.curve;
    if (isClass(curve, "c_Line")) {
        aPoint a, b;
        curve.getPointAt(t0, a);
        curve.getPointAt(t1, b);
        if (!segmentsBegun) {
            mOutput.begin(GlOutput::kSegments);
            segmentsBegun = true;
        }
        mOutput.vertex(a.x, a.y, a.z);
        mOutput.vertex(b.x, b.y, b.z);
        return;
    }
    if (segmentsBegun) {
        // The straight pieces of the face go out as one primitive of segments before it.
        mOutput.end();
        segmentsBegun = false;
    }
    if (isConic(curve)) {
        mOutput.drawCurve(curve, t0, t1, this);
        return;
    }
    if (!isClass(curve, "c_NURBSCurve")) return;
    const auto& nurbs = static_cast<const c_NURBSCurve&>(curve);
    const auto pointAt = [&nurbs](double t, aPoint& p) { return nurbs.getPointAt(t, p); };
    const double low = nurbs.minParam(), high = nurbs.maxParam();
    if (t1 > high && curve.isClosed()) {
        // Across the seam of a closed curve: up to its end, then on from its start.
        drawStrip(pointAt, std::max(t0, low), high);
        drawStrip(pointAt, low, std::min(t1 - (high - low), high));
        return;
    }
    if (t0 < low || t0 > high) t0 = low;
    if (t1 < low || t1 > high) t1 = high;
    if (t0 > t1) std::swap(t0, t1);
    drawStrip(pointAt, t0, t1);
}

void GL_Renderer::drawWholeConic(const SurfaceCurve& record) {
    const double start = record.periodic ? -record.bound : 0.0;
    const double range = record.periodic ? 2.0 * record.bound : 2.0 * kPi;
    int result = kFaceUndetermined;
    aPoint first;
    for (int k = 0; k < 4 && result == kFaceUndetermined; ++k) {
        aPoint p;
        if (!record.curve->getPointAt(start + 0.1324 * range + k * range / 3.0, p)) continue;
        if (k == 0) first = p;
        result = mFace->classify(p);
    }
    if (result == kFaceUndetermined) result = mFace->classify2(first);
    if (result == kFaceInside) mOutput.drawCurve(*record.curve, start, start + range, this);
}

void GL_Renderer::drawWholeFreeForm(const SurfaceCurve& record) {
    const auto& curve = static_cast<const c_NURBSCurve&>(*record.curve);
    const double low = curve.minParam(), high = curve.maxParam();
    if (mSurfaceKind == kRevolutionSurface) {
        // Test points at 0.213 of the range and on in steps of 0.31 while inside it.
        int result = kFaceUndetermined;
        for (int k = 0; k < 3 && result == kFaceUndetermined; ++k) {
            aPoint p;
            if (curve.getPointAt(low + (0.213 + 0.31 * k) * (high - low), p)) result = mFace->classify(p);
        }
        if (result == kFaceInside) mOutput.drawNURBSCurve(curve, this);
        return;
    }
    const acis_Surface* surface = mFace->surface();
    if (!surface || record.direction == 0) {
        mOutput.drawNURBSCurve(curve, this);
        return;
    }
    // The curve within the face surface's parameter range in the curve's direction.
    const c_Interval& range = record.direction == 1 ? surface->uRange() : surface->vRange();
    double t0 = low, t1 = high, bound;
    if (range.lower(bound)) t0 = std::max(t0, bound);
    if (range.upper(bound)) t1 = std::min(t1, bound);
    if (t0 > low || t1 < high) {
        drawStrip([&curve](double t, aPoint& p) { return curve.getPointAt(t, p); }, t0, t1);
    } else {
        mOutput.drawNURBSCurve(curve, this);
    }
}

} // namespace tracemill
