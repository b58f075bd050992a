// The topology records of a SAT text: body, lump, shell, subshell, wire, face, loop, coedge,
// edge and vertex. Each reads its references (numbered for resolution from its class's first
// field number) and its further fields, by the version of the text.
//
// The walks: a body's lumps run through each lump's next lump, a lump's shells through next
// shell, a shell's faces through next face, a face's loops through next loop, and a loop's
// coedges through next until the walk comes back to the first coedge. A walk stops at a null.
#pragma once

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

protected:
    void printFields(std::ostream& out) const override;

private:
    acis_Face* mNext = nullptr;
    acis_Loop* mLoop = nullptr;
    acis_Shell* mShell = nullptr;
    acis_Subshell* mSubshell = nullptr;
    acis_Surface* mSurface = nullptr;
    int mSense = 2;
    int mSides = 2;
    int mContainment = 3;
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
