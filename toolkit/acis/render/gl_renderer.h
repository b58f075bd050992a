// GL_Renderer: turns one ACIS body into a wireframe drawn through a GlOutput: the edges of its
// faces and wires, and the surface curves of each face (rulings of cones and cylinders, section
// circles of spheres, circles of tori, parameter lines of spline surfaces, silhouettes for the
// view direction) cut at the face's boundary, the pieces inside the face drawn.
//
// A renderer sets the kernel's tolerances for its body when it is built and draws the body once
// (render). One renderer runs at a time: the tolerances are process-wide.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "toolkit/acis/geometry/bounding_box.h"
#include "toolkit/acis/geometry/curve.h"
#include "toolkit/acis/geometry/matrix4x4.h"
#include "toolkit/acis/render/gl_renderer_settings.h"

namespace tracemill {

class GlOutput;
class acis_Body;
class acis_CoEdge;
class acis_Edge;
class acis_Entity;
class acis_Face;
class acis_Wire;
class c_Surface;
struct ModelBox;

class GL_Renderer {
public:
    // What the surface of the current face is, by its kernel surface.
    enum SurfaceKind {
        kOtherSurface,
        kConeSurface,
        kCylinderSurface,
        kEllConeSurface,
        kEllCylinderSurface,
        kSphereSurface,
        kNURBSSurface,
        kTorusSurface,
        kRevolutionSurface,
    };

    // A point where the face's boundary crosses a surface curve, with its parameter on the
    // curve and the coedge that crosses (null for points the renderer adds itself); a node of
    // two pairs marks a stretch where the boundary runs along the curve.
    struct PartitionNode {
        int pairs = 1;
        aPoint points[2];
        double parameters[2] = {0.0, 0.0};
        const acis_CoEdge* coedge = nullptr;
    };

    // A curve of the current face's surface with its partition points, in ascending parameter.
    struct SurfaceCurve {
        std::unique_ptr<c_Curve> curve;
        bool freeForm = false;    // neither a c_Circle nor a c_Ellipse
        bool generated = false;   // one of the surface's curves
        bool silhouette = false;  // a silhouette for the view direction
        std::vector<PartitionNode> partitions;
        // Parameters beyond -bound .. bound are not on the surface (the meridians of a torus
        // whose minor angles are limited).
        bool periodic = false;
        double bound = 0.0;
        // A parameter line of a spline surface: 1 along u, 2 along v; 0 otherwise.
        int direction = 0;
    };

    // Sets the kernel's tolerances for the body (setTolerances with the settings' iso-line
    // count and the model box of the body's text).
    GL_Renderer(acis_Body& body, const GL_RendererSettings& settings, GlOutput& output, const ModelBox& modelBox);
    GL_Renderer(const GL_Renderer&) = delete;
    GL_Renderer& operator=(const GL_Renderer&) = delete;

    // Draws the body as display list `bodyIndex`; returns what the output's endList returns.
    int32_t render(int32_t bodyIndex);

    // The tolerances of the kernel for a body of the model box, by the hint N (1 to 10; another
    // value counts as 5).
    static void setTolerances(int32_t hint, const ModelBox& box);

    // The vertex sink: every point drawn passes here; it grows the drawing box (in the
    // coordinates the body is drawn in) and, outside the surface-curve pass, the box of the
    // current face (in the body's own coordinates).
    void extendBounds(const aPoint& p);
    const BoundingBox& drawingBox() const { return mDrawingBox; }

    // The entries of each of the two curve buffers: max(c0, 2 c1, 2 c2, 3 c3, 2 c4), 2 more
    // with silhouettes; no surface curves are made when it is 0 or less.
    int bufferSize() const { return mBufferSize; }

    // Adds the point at parameter t to the curve's partitions: ignored beyond the curve's bound;
    // a node within BasicAngleTol of t that holds two pairs takes nothing, one made by a
    // coedge of the same edge is removed (the two crossings cancel); otherwise a new node goes
    // before the first node whose parameter is not below t.
    void addPartitionPoint(SurfaceCurve& curve, const aPoint& p, double t, const acis_CoEdge* coedge);
    // Whether a node was added or removed since the flag was cleared.
    bool partitionsChanged() const { return mPartitionsChanged; }
    void clearPartitionsChanged() { mPartitionsChanged = false; }

    // The surface curves of the current face (the face being drawn).
    std::vector<SurfaceCurve>& surfaceCurves() { return mCurves; }
    // Makes the face current and its surface curves (as drawFace does before the boundary),
    // for the points where a boundary crosses them to be added.
    void beginFace(acis_Face& face);
    // Adds the points where the coedge's edge crosses each surface curve of the current face;
    // `neighbour` is the surface on the other side of the edge, or null.
    void updateSurfaceCurvePartitions(const c_Surface* neighbour, const acis_CoEdge& coedge);
    SurfaceKind surfaceKind() const { return mSurfaceKind; }

private:
    bool pushColourAttributes(const acis_Entity& entity);
    void popColourAttributes();
    void drawFace(acis_Face& face);
    void endFace();
    void drawWire(const acis_Wire& wire);
    void drawEdge(const acis_CoEdge& coedge);
    void drawStraight(const aPoint& start, const aPoint& end);
    void drawEllipse(const acis_Edge& edge, const aPoint& start, const aPoint& end);
    bool drawIntcurve(const acis_Edge& edge);
    // begin(3), 100 points from t0 to t1 (each sent and passed to the vertex sink), end().
    void drawStrip(const std::function<bool(double, aPoint&)>& pointAt, double t0, double t1);

    void characterizeUnderlyingSurface(const acis_Face& face);
    void generateSurfaceCurves(acis_Face& face);
    void limitTorusMeridians();
    void drawIsoLines();
    void cutAtPartitions(SurfaceCurve& curve, bool& segmentsBegun);
    void drawPiece(const SurfaceCurve& curve, double t0, double t1, bool& segmentsBegun);
    void drawWholeConic(const SurfaceCurve& curve);
    void drawWholeFreeForm(const SurfaceCurve& curve);
    void addNURBSEndPartition(SurfaceCurve& curve);
    // The face classification at p, by the nearest edge when the rays give no answer.
    bool insideFace(const aPoint& p);

    acis_Body& mBody;
    GL_RendererSettings mSettings;
    GlOutput& mOutput;
    int mBufferSize = 0;

    // The current face and its surface.
    acis_Face* mFace = nullptr;
    int mFaceCount = 0;
    SurfaceKind mSurfaceKind = kOtherSurface;
    const c_Surface* mSurface = nullptr;
    double mConeHalfAngle = 0.0;
    std::vector<SurfaceCurve> mCurves;

    BoundingBox mDrawingBox;
    bool mFaceBoxesOn = true;
    // The edges drawn, each with the box of what was drawn of it: a face whose edge another
    // face drew already grows its box by it.
    std::unordered_map<const acis_Edge*, BoundingBox> mDrawnEdges;
    BoundingBox* mEdgeBox = nullptr;

    c_Matrix4x4 mBodyMatrix;
    bool mBodyMatrixActive = false;
    aVector mViewDirection;
    int mPushDepth = 0;
    bool mPartitionsChanged = false;
};

} // namespace tracemill
