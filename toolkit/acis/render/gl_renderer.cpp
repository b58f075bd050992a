#include "toolkit/acis/render/gl_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/render/gl_output.h"
#include "toolkit/acis/sat/acis_attrib.h"
#include "toolkit/acis/sat/acis_chain.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_intcurve.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/acis_transform.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;
// The points of a strip.
constexpr int kStripPoints = 100;

// The value at x of the straight line through (x0, y0) and (x1, y1).
double lineThrough(double x0, double y0, double x1, double y1, double x) {
    const double slope = (y1 - y0) / (x1 - x0);
    return slope * x + (y0 - slope * x0);
}

// The settings switch of a colour attribute, or -1 for another attribute.
int colourSwitch(const acis_Attrib& attribute) {
    switch (attribute.kind()) {
    case AcisKind::AdeskColourAttrib: return GL_RendererSettings::kAdeskColour;
    case AcisKind::TslColourAttrib: return GL_RendererSettings::kTslColour;
    case AcisKind::RgbColourAttrib: return GL_RendererSettings::kRgbColour;
    default: return -1;
    }
}

} // namespace

GL_Renderer::GL_Renderer(acis_Body& body, const GL_RendererSettings& settings, GlOutput& output,
                         const ModelBox& modelBox)
    : mBody(body), mSettings(settings), mOutput(output) {
    const auto& c = mSettings.curveCounts;
    mBufferSize = std::max({c[0], 2 * c[1], 2 * c[2], 3 * c[3], 2 * c[4]}) +
                  (mSettings.switches[GL_RendererSettings::kSilhouettes] ? 2 : 0);
    mViewDirection = mSettings.viewDirection;
    mViewDirection.normalize();
    setTolerances(mSettings.isoLineCount, modelBox);
}

void GL_Renderer::setTolerances(int32_t hint, const ModelBox& box) {
    GeometryTolerances& tol = geometryTolerances();
    tol = GeometryTolerances{};
    const double n = hint >= 1 && hint <= 10 ? hint : 5;
    const double* b = box.bounds;
    double r = 0.5 * std::sqrt((b[1] - b[0]) * (b[1] - b[0]) + (b[3] - b[2]) * (b[3] - b[2]) +
                               (b[5] - b[4]) * (b[5] - b[4]));
    if (!(r >= 0.1) || !std::isfinite(r)) r = 1.0;
    const double d1 = r * 1e-6;
    const double d2 = r < 10.0 ? r * 0.00025 : r * 0.0004;
    if (n <= 5) {
        tol.BasicAngleTol = lineThrough(1, 1e-5, 5, 0.001, n);
        tol.BasicDistanceTol = lineThrough(1, d1, 5, d2, n);
        tol.BasicUnitTol = lineThrough(1, 1e-8, 5, 1e-6, n);
    } else {
        tol.BasicAngleTol = lineThrough(5, 0.001, 10, 0.006, n);
        tol.BasicDistanceTol = lineThrough(5, d2, 10, 25 * d2, n);
        tol.BasicUnitTol = lineThrough(5, 1e-6, 10, 0.001, n);
    }
    tol.BasicDistanceSquaredTol = (2 * r + tol.BasicDistanceTol) * tol.BasicDistanceTol;
    tol.coincTol = tol.BasicDistanceTol;
}

int32_t GL_Renderer::render(int32_t bodyIndex) {
    mOutput.newList(bodyIndex, GlOutput::kCompileList);
    const auto& colour = mSettings.bodyColour;
    mOutput.color(colour[0], colour[1], colour[2]);
    const acis_Transform* transform = mBody.transform();
    if (transform) {
        // The transform maps a row vector p to s p R + t: the scale s multiplies the rotation
        // rows R, the translation t is row 3. The output takes the matrix column by column.
        const double s = transform->at(3, 3);
        std::array<double, 16> columns{};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c) columns[size_t(4 * r + c)] = s * transform->at(r, c);
            columns[size_t(12 + r)] = transform->at(3, r);
        }
        columns[15] = 1.0;
        mOutput.pushMatrix();
        mOutput.multMatrix(columns);
        mBodyMatrix = c_Matrix4x4(columns[0], columns[4], columns[8], columns[12], columns[1], columns[5], columns[9],
                                  columns[13], columns[2], columns[6], columns[10], columns[14], 0, 0, 0, 1);
        mBodyMatrixActive = true;
        // The view in the body's coordinates: the rotation turned back.
        const aVector v = mSettings.viewDirection;
        mViewDirection = aVector(transform->at(0, 0) * v.x + transform->at(0, 1) * v.y + transform->at(0, 2) * v.z,
                                 transform->at(1, 0) * v.x + transform->at(1, 1) * v.y + transform->at(1, 2) * v.z,
                                 transform->at(2, 0) * v.x + transform->at(2, 1) * v.y + transform->at(2, 2) * v.z);
        mViewDirection.normalize();
    }
    const bool bodyPushed = pushColourAttributes(mBody);
    for (acis_Lump* lump : acisChain(mBody.lump(), [](acis_Lump* l) { return l->next(); })) {
        const bool lumpPushed = pushColourAttributes(*lump);
        for (acis_Shell* shell : acisChain(lump->shell(), [](acis_Shell* s) { return s->next(); })) {
            const bool shellPushed = pushColourAttributes(*shell);
            for (acis_Face* face : acisChain(shell->face(), [](acis_Face* f) { return f->next(); })) drawFace(*face);
            for (acis_Wire* wire : acisChain(shell->wire(), [](acis_Wire* w) { return w->next(); })) drawWire(*wire);
            if (shellPushed) popColourAttributes();
        }
        if (lumpPushed) popColourAttributes();
    }
    if (bodyPushed) popColourAttributes();
    if (transform) {
        mOutput.popMatrix();
        mBodyMatrixActive = false;
    }
    return mOutput.endList();
}

bool GL_Renderer::pushColourAttributes(const acis_Entity& entity) {
    bool pushed = false;
    for (const acis_Attrib* attribute : acisChain(entity.attribute(), [](const acis_Attrib* a) { return a->next(); })) {
        const int which = colourSwitch(*attribute);
        if (which < 0 || !mSettings.switches[size_t(which)]) continue;
        if (!pushed) {
            mOutput.pushAttrib(1);
            ++mPushDepth;
            pushed = true;
        }
        mOutput.colorAttrib(static_cast<const AcisColourAttrib&>(*attribute).colour());
    }
    return pushed;
}

void GL_Renderer::popColourAttributes() {
    --mPushDepth;
    mOutput.popAttrib();
}

void GL_Renderer::extendBounds(const aPoint& p) {
    aPoint drawn = p;
    if (mBodyMatrixActive) mBodyMatrix.transformPoint(p, drawn);
    mDrawingBox.add(drawn);
    if (mEdgeBox) mEdgeBox->add(p);
    if (mFace && mFaceBoxesOn) mFace->box().add(p);
}

void GL_Renderer::drawFace(acis_Face& face) {
    beginFace(face);
    const bool pushed = pushColourAttributes(face);
    for (acis_Loop* loop : acisChain(face.loop(), [](acis_Loop* l) { return l->next(); })) {
        for (const acis_CoEdge* coedge : acisChain(loop->coedge(), [](acis_CoEdge* c) { return c->next(); })) {
            // The surface across the edge: the neighbouring face's, else the plane of the edge.
            const acis_CoEdge* partner = coedge->partner();
            const acis_Face* neighbour = partner && partner->loop() ? partner->loop()->face() : nullptr;
            const c_Surface* across =
                neighbour && neighbour->surface() ? neighbour->surface()->kernelSurface() : nullptr;
            c_Plane plane;
            if (!across && coedge->edge() && coedge->edge()->curve() && coedge->edge()->curve()->planeOf(plane)) {
                across = &plane;
            }
            updateSurfaceCurvePartitions(across, *coedge);
            drawEdge(*coedge);
        }
    }
    drawIsoLines();
    if (pushed) popColourAttributes();
    endFace();
}

void GL_Renderer::endFace() {
    mCurves.clear();
    mFace = nullptr;
    mSurface = nullptr;
    mSurfaceKind = kOtherSurface;
}

void GL_Renderer::drawWire(const acis_Wire& wire) {
    const bool pushed = pushColourAttributes(wire);
    for (const acis_CoEdge* coedge : acisChain(wire.coedge(), [](const acis_CoEdge* c) { return c->next(); })) {
        drawEdge(*coedge);
    }
    if (pushed) popColourAttributes();
}

void GL_Renderer::drawEdge(const acis_CoEdge& coedge) {
    const acis_Edge* edge = coedge.edge();
    if (!edge) return;
    if (const auto drawn = mDrawnEdges.find(edge); drawn != mDrawnEdges.end()) {
        if (mFace && mFaceBoxesOn) mFace->box().add(drawn->second);
        return;
    }
    const acis_Curve* curve = edge->curve();
    if (!curve) return;
    aPoint start = edge->start() ? edge->start()->position() : kOrigin;
    aPoint end = edge->end() ? edge->end()->position() : kOrigin;
    if (edge->sense() == 1) std::swap(start, end);
    const bool pushed = pushColourAttributes(*edge);
    BoundingBox box;
    mEdgeBox = &box;
    bool drawn = true;
    switch (curve->kind()) {
    case AcisKind::StraightCurve:
        if (edge->start() && edge->end()) drawStraight(start, end);
        break;
    case AcisKind::EllipseCurve: drawEllipse(*edge, start, end); break;
    case AcisKind::IntCurve: drawn = drawIntcurve(*edge); break;
    default: break;
    }
    mEdgeBox = nullptr;
    if (drawn) mDrawnEdges.emplace(edge, box);
    if (pushed) popColourAttributes();
}

void GL_Renderer::drawStraight(const aPoint& start, const aPoint& end) {
    mOutput.begin(GlOutput::kSegments);
    mOutput.vertex(start.x, start.y, start.z);
    mOutput.vertex(end.x, end.y, end.z);
    mOutput.end();
    extendBounds(start);
    extendBounds(end);
}

void GL_Renderer::drawEllipse(const acis_Edge& edge, const aPoint& start, const aPoint& end) {
    const acis_Curve& curve = *edge.curve();
    const c_Curve* kernel = curve.kernelCurve();
    if (!kernel) return;
    if (edge.start() == edge.end()) {
        mOutput.drawCurve(*kernel, 0.0, 2.0 * kPi, this);
    } else {
        mOutput.drawCurve(*kernel, curve.getParameterOf(start), curve.getParameterOf(end), this);
    }
}

bool GL_Renderer::drawIntcurve(const acis_Edge& edge) {
    const auto& curve = static_cast<const acis_Intcurve&>(*edge.curve());
    if (const c_Curve* approximation = curve.kernelCurve()) {
        return mOutput.drawNURBSCurve(static_cast<const c_NURBSCurve&>(*approximation), this);
    }
    // A curve given by a parameter curve on a surface: a strip between the vertices.
    double t0 = curve.minParam(), t1 = curve.maxParam();
    if (!edge.isClosed()) {
        t0 = curve.getParameterOf(edge.start()->position());
        t1 = curve.getParameterOf(edge.end()->position());
    }
    if (t0 > t1) std::swap(t0, t1);
    aPoint probe;
    if (!curve.getPointAt(t0, probe)) return false;
    drawStrip([&curve](double t, aPoint& p) { return curve.getPointAt(t, p); }, t0, t1);
    return true;
}

void GL_Renderer::drawStrip(const std::function<bool(double, aPoint&)>& pointAt, double t0, double t1) {
    mOutput.begin(GlOutput::kStrip);
    for (int i = 0; i < kStripPoints; ++i) {
        aPoint p;
        if (!pointAt(t0 + i * (t1 - t0) / (kStripPoints - 1), p)) continue;
        mOutput.vertex(p.x, p.y, p.z);
        extendBounds(p);
    }
    mOutput.end();
}

} // namespace tracemill
