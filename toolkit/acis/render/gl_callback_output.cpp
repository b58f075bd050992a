#include "toolkit/acis/render/gl_callback_output.h"

#include <algorithm>
#include <memory>
#include <numbers>

#include "toolkit/acis/geometry/circle.h"
#include "toolkit/acis/geometry/ellipse.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/render/gl_renderer.h"
#include "toolkit/acis/render/nurbs_curve_emitter.h"
#include "toolkit/acis/sat/solid_drawing_bridge.h"

namespace tracemill {
namespace {

// The control points of a curve, divided by their weights, to the renderer's vertex sink.
void extendByControlPoints(const c_NURBSCurve& curve, GL_Renderer* renderer) {
    if (!renderer) return;
    for (int i = 0; i < curve.numControlPoints(); ++i) {
        aPoint p;
        if (curve.controlPoint(i, p)) renderer->extendBounds(p);
    }
}

} // namespace

GlCallbackOutput::GlCallbackOutput(const SatCallbackRecord& record) : mRecord(record) {}

void GlCallbackOutput::drawCurve(const c_Curve& curve, double t0, double t1, GL_Renderer* renderer) {
    if (t1 <= t0) t1 += 2.0 * std::numbers::pi;
    std::unique_ptr<c_NURBSArc> arc;
    if (const auto* circle = dynamic_cast<const c_Circle*>(&curve)) {
        arc = std::make_unique<c_NURBSArc>(*circle, t0, t1);
    } else if (const auto* ellipse = dynamic_cast<const c_Ellipse*>(&curve)) {
        arc = std::make_unique<c_NURBSArc>(*ellipse, t0, t1);
    } else {
        return;
    }
    if (arc->numControlPoints() < 1) return;
    NURBSCurveEmitter(*this, arc->knots(), arc->controlPoints(), arc->order());
    extendByControlPoints(*arc, renderer);
}

bool GlCallbackOutput::drawNURBSCurve(const c_NURBSCurve& curve, GL_Renderer* renderer) {
    NURBSCurveEmitter(*this, curve.knots(), curve.controlPoints(), curve.order());
    extendByControlPoints(curve, renderer);
    return true;
}

void GlCallbackOutput::begin(int32_t mode) {
    mMode = mode;
    mOpen = true;
    mVertices.clear();
}

void GlCallbackOutput::end() {
    if (!mOpen) return;
    mOpen = false;
    if (!std::all_of(mVertices.begin(), mVertices.end(), [](const aPoint& p) { return isFinite(p); })) {
        ++mDropped;
        return;
    }
    if (mRecord.begin) mRecord.begin(mMode, mRecord.user);
    if (mRecord.vertex) {
        for (const aPoint& p : mVertices) mRecord.vertex(p.x, p.y, p.z, mRecord.user);
    }
    if (mRecord.end) mRecord.end(mRecord.user);
}

void GlCallbackOutput::vertex(double x, double y, double z) {
    if (!mOpen) return;
    aPoint p(x, y, z);
    if (mTransforms) {
        const c_Matrix4x4& m = mMatrix;
        p = aPoint(m.at(0, 0) * x + m.at(0, 1) * y + m.at(0, 2) * z + m.at(0, 3),
                   m.at(1, 0) * x + m.at(1, 1) * y + m.at(1, 2) * z + m.at(1, 3),
                   m.at(2, 0) * x + m.at(2, 1) * y + m.at(2, 2) * z + m.at(2, 3));
    }
    mVertices.push_back(p);
}

void GlCallbackOutput::pushMatrix() { mMatrixStack.push_back({mMatrix, mTransforms}); }

void GlCallbackOutput::popMatrix() {
    if (mMatrixStack.empty()) return;
    mMatrix = mMatrixStack.back().matrix;
    mTransforms = mMatrixStack.back().transforms;
    mMatrixStack.pop_back();
}

void GlCallbackOutput::multMatrix(const std::array<double, 16>& m) {
    // Only affine matrices reach the vertices: the bottom row is taken as (0, 0, 0, 1).
    double product[16];
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += mMatrix.at(r, k) * m[size_t(4 * c + k)];
            product[4 * r + c] = sum;
        }
    }
    mMatrix = c_Matrix4x4(product[0], product[1], product[2], product[3], product[4], product[5], product[6],
                          product[7], product[8], product[9], product[10], product[11], 0.0, 0.0, 0.0, 1.0);
    mTransforms = true;
}

int32_t GlCallbackOutput::segmentsPerSpan() { return mRecord.outputValue; }

} // namespace tracemill
