// The topology records of a SAT text: body, lump, shell, subshell, wire, face, loop, coedge,
// edge and vertex. Each reads its references (numbered for resolution from its class's first
// field number) and its further fields, by the version of the text.
//
// The walks: a body's lumps run through each lump's next lump, a lump's shells through next
// shell, a shell's faces through next face, a face's loops through next loop, and a loop's
// coedges through next until the walk comes back to the first coedge. A walk stops at a null.
#pragma once

#include "toolkit/acis/geometry/bounding_box.h"
#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

class acis_CoEdge;
class acis_Curve;
class acis_Edge;
class acis_Face;
class acis_Loop;
class acis_Lump;
class acis_PCurve;
class acis_Point;
class acis_Shell;
class acis_Subshell;
class acis_Surface;
class acis_Transform;
class acis_Vertex;
class acis_Wire;
class c_Curve;

// Where a point lies on an edge: at its start vertex, its end vertex, both (a closed edge),
// inside it, outside it, or undecided.
enum AcisEdgeClass : int {
    ecOnStartV = 0,
    ecOnEndV = 1,
    ecOnStartAndEndV = 2,
    ecIn = 3,
    ecOut = 4,
    ecUnknown = 5,
};

// The results of point-in-face classification.
enum AcisFaceClass : int {
    kFaceInside = 2,
    kFaceOutside = 3,
    kFaceUndetermined = 4,
};

// "body": lump [200], wire [201], transform [202].
class acis_Body final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Body; }
    acis_Body() : acis_Entity(AcisKind::Body) {}

    acis_Lump* lump() const { return mLump; }
    acis_Wire* wire() const { return mWire; }
    acis_Transform* transform() const { return mTransform; }

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Lump* mLump = nullptr;
    acis_Wire* mWire = nullptr;
    acis_Transform* mTransform = nullptr;
};

// "lump": next lump [300], shell [301], body [302].
class acis_Lump final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Lump; }
    acis_Lump() : acis_Entity(AcisKind::Lump) {}

    acis_Lump* next() const { return mNext; }
    acis_Shell* shell() const { return mShell; }
    acis_Body* body() const { return mBody; }

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Lump* mNext = nullptr;
    acis_Shell* mShell = nullptr;
    acis_Body* mBody = nullptr;
};

// "shell": next shell [400], subshell [401], face [402], from version 107 wire [403], lump
// [404].
class acis_Shell final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Shell; }
    acis_Shell() : acis_Entity(AcisKind::Shell) {}

    acis_Shell* next() const { return mNext; }
    acis_Subshell* subshell() const { return mSubshell; }
    acis_Face* face() const { return mFace; }
    acis_Wire* wire() const { return mWire; }
    acis_Lump* lump() const { return mLump; }

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Shell* mNext = nullptr;
    acis_Subshell* mSubshell = nullptr;
    acis_Face* mFace = nullptr;
    acis_Wire* mWire = nullptr;
    acis_Lump* mLump = nullptr;
};

// "subshell": parent [500], next [501], child [502], face [503]; a fifth reference [504] is
// read and not kept.
class acis_Subshell final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Subshell; }
    acis_Subshell() : acis_Entity(AcisKind::Subshell) {}

    acis_Subshell* parent() const { return mParent; }
    acis_Subshell* next() const { return mNext; }
    acis_Subshell* child() const { return mChild; }
    acis_Face* face() const { return mFace; }

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Subshell* mParent = nullptr;
    acis_Subshell* mNext = nullptr;
    acis_Subshell* mChild = nullptr;
    acis_Face* mFace = nullptr;
};

// "wire": next wire [1100], coedge [1101], owner [1102]; from version 107 a fourth reference
// [1103] and a side word ("out" 1, others 2; 1 before 107).
class acis_Wire final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Wire; }
    acis_Wire() : acis_Entity(AcisKind::Wire) {}

    acis_Wire* next() const { return mNext; }
    acis_CoEdge* coedge() const { return mCoEdge; }
    acis_Entity* owner() const { return mOwner; }
    acis_Entity* fourth() const { return mFourth; }
    int side() const { return mSide; }

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Wire* mNext = nullptr;
    acis_CoEdge* mCoEdge = nullptr;
    acis_Entity* mOwner = nullptr;
    acis_Entity* mFourth = nullptr;
    int mSide = 1;
};

// "face": next face [600], loop [601], shell [602], subshell [603], surface [604], then the
// sense, the sides and, for a double-sided face, the containment.
class acis_Face final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Face; }
    acis_Face() : acis_Entity(AcisKind::Face) {}

    acis_Face* next() const { return mNext; }
    acis_Loop* loop() const { return mLoop; }
    acis_Shell* shell() const { return mShell; }
    acis_Subshell* subshell() const { return mSubshell; }
    acis_Surface* surface() const { return mSurface; }
    // 0 forward, 1 reversed, 3 unknown (2 before the field is read).
    int sense() const { return mSense; }
    // 0 single, 1 double, 3 unknown (2 before the field is read).
    int sides() const { return mSides; }
    // 0 out, 1 in, 4 unknown; 2 for a face that is not double-sided (3 before the fields
    // are read).
    int containment() const { return mContainment; }

    // Sense, sides and containment are read as words or as integers ("0 1 0") at every
    // version; before version 105 the sense alone is written.
    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

    // Point-in-face classification (face_classification.cpp) of a point on the face's
    // surface: kFaceInside, kFaceOutside or kFaceUndetermined. classify casts rays (curves of
    // the surface through the point) and judges the boundary crossing nearest to the point;
    // classify2 is the cheaper judgement by the nearest edge (inside or outside).
    int classify(const aPoint& p);
    int classify2(const aPoint& p);
    // The normal of the surface at p, reversed for a reversed face and for a surface turned
    // inside out (a cone with a negative cosine, a sphere with a negative radius); the zero
    // vector without a surface.
    aVector faceNormal(const aPoint& p) const;
    // The box of the face's boundary, which the renderer extends while it draws the face.
    BoundingBox& box() { return mBox; }
    const BoundingBox& box() const { return mBox; }
    // The number of changes of curve along the coedges of the loops (computed once).
    int loopCurveCount() const;

protected:
    void printFields(std::ostream& out) const override;

private:
    struct Classification;
    struct RayHitInfo;
    int classifyAtDepth(const aPoint& p, Classification& work);
    int traceRay(const aPoint& p, const c_Curve& ray, Classification& work);
    int crossRayWithEdge(const aPoint& p, const c_Curve& ray, const c_Curve& edgeCurve, const acis_CoEdge& coedge,
                         Classification& work);
    void updateRayHitInfo(const c_Curve& ray, const aPoint& hit, AcisEdgeClass edgeClass, const acis_CoEdge& coedge,
                          Classification& work);
    int analyzeRayHitInfo(const c_Curve& ray, const Classification& work) const;
    // The side of the face on which the hit lies seen from the coedge: 1 inside, 0 outside,
    // 2 undecided.
    int sideOfCoedge(const c_Curve& ray, const acis_CoEdge& coedge, const Classification& work) const;

    acis_Face* mNext = nullptr;
    acis_Loop* mLoop = nullptr;
    acis_Shell* mShell = nullptr;
    acis_Subshell* mSubshell = nullptr;
    acis_Surface* mSurface = nullptr;
    int mSense = 2;
    int mSides = 2;
    int mContainment = 3;
    BoundingBox mBox;
    mutable int mLoopCurveCount = -1;
};

// "loop": next loop [700], first coedge [701], face [702].
class acis_Loop final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Loop; }
    acis_Loop() : acis_Entity(AcisKind::Loop) {}

    acis_Loop* next() const { return mNext; }
    acis_CoEdge* coedge() const { return mCoEdge; }
    acis_Face* face() const { return mFace; }
    // True when the loop has no coedge, its first coedge no edge, or that edge no curve.
    bool hasNoCurve() const;

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Loop* mNext = nullptr;
    acis_CoEdge* mCoEdge = nullptr;
    acis_Face* mFace = nullptr;
};

// "coedge": next [800], previous [801], partner [802], edge [803], the sense, then loop [804]
// and pcurve [805].
class acis_CoEdge final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::CoEdge; }
    acis_CoEdge() : acis_Entity(AcisKind::CoEdge) {}

    acis_CoEdge* next() const { return mNext; }
    acis_CoEdge* previous() const { return mPrevious; }
    // The coedge of the neighbouring face on the same edge.
    acis_CoEdge* partner() const { return mPartner; }
    acis_Edge* edge() const { return mEdge; }
    acis_Loop* loop() const { return mLoop; }
    acis_PCurve* pcurve() const { return mPCurve; }
    // 0 forward, 1 reversed, -1 unknown.
    int sense() const { return mSense; }
    // True when the coedge runs in the direction of its edge's curve (its sense equals the
    // edge's); false without an edge.
    bool alongCurve() const;
    // The edge's answer; ecOut without an edge.
    AcisEdgeClass pointClass(const aPoint& p) const;
    // The tangent of the edge's curve at t, pointing the way the coedge runs; (0, 0, 0) with
    // "acis_CoEdge::tangentAt returning (0,0,0)" without a curve.
    aVector tangentAt(double t) const;

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_CoEdge* mNext = nullptr;
    acis_CoEdge* mPrevious = nullptr;
    acis_CoEdge* mPartner = nullptr;
    acis_Edge* mEdge = nullptr;
    acis_Loop* mLoop = nullptr;
    acis_PCurve* mPCurve = nullptr;
    int mSense = -1;
};

// "edge": start vertex [900], end vertex [901], coedge [902], curve [903], the sense; from
// version 500 a parameter after each vertex and the convexity (neither kept).
class acis_Edge final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Edge; }
    acis_Edge() : acis_Entity(AcisKind::Edge) {}

    acis_Vertex* start() const { return mStart; }
    acis_Vertex* end() const { return mEnd; }
    acis_CoEdge* coedge() const { return mCoEdge; }
    acis_Curve* curve() const { return mCurve; }
    // 0 forward, 1 reversed, 3 unknown (2 before the field is read).
    int sense() const { return mSense; }

    // Edge queries (edge_queries.cpp).
    // True unless the edge has two vertices and they are different vertices.
    bool isClosed() const;
    // Where p lies on the edge: at a vertex (coincidence), on the curve between the vertices
    // (ecIn), or off the edge (ecOut).
    AcisEdgeClass pointClass(const aPoint& p) const;
    // Whether the parameter t of the curve lies on the edge: between the parameters of the two
    // vertex positions in the direction the edge runs; anywhere on a closed edge.
    bool parameterOnEdge(double t) const;
    // The point of the curve in the middle of the edge; the origin without a curve.
    aPoint midpoint() const;

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Vertex* mStart = nullptr;
    acis_Vertex* mEnd = nullptr;
    acis_CoEdge* mCoEdge = nullptr;
    acis_Curve* mCurve = nullptr;
    int mSense = 2;
};

// "vertex": edge [1000], point [1001].
class acis_Vertex final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Vertex; }
    acis_Vertex() : acis_Entity(AcisKind::Vertex) {}

    acis_Edge* edge() const { return mEdge; }
    acis_Point* point() const { return mPoint; }
    // The point's position; the origin without a point.
    aPoint position() const;

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Edge* mEdge = nullptr;
    acis_Point* mPoint = nullptr;
};

} // namespace tracemill
