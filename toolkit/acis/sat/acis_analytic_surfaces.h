// The analytic surface records: "plane-surface", "cone-surface", "sphere-surface" and
// "torus-surface". Each reads its own fields, then the sense and the ranges, and builds the
// kernel surface that faces are drawn and classified with.
#pragma once

#include <memory>

#include "toolkit/acis/geometry/plane.h"
#include "toolkit/acis/geometry/sphere.h"
#include "toolkit/acis/geometry/torus.h"
#include "toolkit/acis/sat/acis_surface.h"

namespace tracemill {

// Root point, normal and u direction: a plane through the root point with that normal.
class acis_Plane final : public acis_Surface {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::PlaneSurface; }
    acis_Plane() : acis_Surface(AcisKind::PlaneSurface) {}

    const aVector& uDirection() const { return mUDirection; }
    const c_Plane& plane() const { return mPlane; }

    const c_Surface* kernelSurface() const override { return &mPlane; }
    aVector normalAt(const aPoint& p) const override { return mPlane.normalAt(p); }
    const char* typeName() const override { return "plane"; }
    void readFields(satParser& parser) override;

private:
    c_Plane mPlane;
    aVector mUDirection;
};

// A base ellipse (read as an "ellipse-curve" body: centre, normal, major axis, ratio and from
// version 106 its range), the sine and cosine of the half-angle and from version 400 a scale.
// It becomes one of five kernel surfaces:
//   0  |cosine| < 0.006: the plane of the base ellipse;
//   1  |sine| < 0.006 and a circular base (|a - b| <= 0.001 a): a cylinder of radius a;
//   2  |sine| < 0.006 otherwise: an elliptical cylinder of radii a and b;
//   3  a circular base otherwise: a cone;
//   4  otherwise: an elliptical cone;
// with a the length of the major axis and b = a * ratio. A cone's apex lies on the axis at the
// distance a |cosine| / |sine| from the centre, behind it (against the normal) for a positive
// sine, where the cone widens along the normal; its half-angle is atan(|sine| / |cosine|).
class acis_Cone final : public acis_Surface {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::ConeSurface; }
    acis_Cone() : acis_Surface(AcisKind::ConeSurface) {}

    int coneKind() const { return mConeKind; }
    const aPoint& centre() const { return mCentre; }
    const aVector& normal() const { return mNormal; }
    const aVector& majorAxis() const { return mMajorAxis; }
    double ratio() const { return mRatio; }
    const c_Interval& baseRange() const { return mBaseRange; }
    double sine() const { return mSine; }
    double cosine() const { return mCosine; }
    double scale() const { return mScale; }

    const c_Surface* kernelSurface() const override { return mSurface.get(); }
    aVector normalAt(const aPoint& p) const override;
    const char* typeName() const override { return "cone"; }
    void readFields(satParser& parser) override;

private:
    void build();

    aPoint mCentre;
    aVector mNormal{0.0, 0.0, 1.0};
    aVector mMajorAxis{1.0, 0.0, 0.0};
    double mRatio = 1.0;
    c_Interval mBaseRange;
    double mSine = 0.0;
    double mCosine = 1.0;
    double mScale = 1.0;
    int mConeKind = 0;
    std::unique_ptr<c_Surface> mSurface;
};

// Centre, radius, u direction and pole direction. A negative radius (a sphere turned inside
// out) gives the sphere of its magnitude.
class acis_Sphere final : public acis_Surface {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::SphereSurface; }
    acis_Sphere() : acis_Surface(AcisKind::SphereSurface) {}

    double radius() const { return mRadius; }
    const aVector& uDirection() const { return mUDirection; }
    const aVector& poleDirection() const { return mPoleDirection; }
    const c_Sphere& sphere() const { return mSphere; }

    const c_Surface* kernelSurface() const override { return &mSphere; }
    aVector normalAt(const aPoint& p) const override { return mSphere.normalAt(p); }
    const char* typeName() const override { return "sphere"; }
    void readFields(satParser& parser) override;

private:
    c_Sphere mSphere;
    double mRadius = 1.0;
    aVector mUDirection;
    aVector mPoleDirection;
};

// Centre, normal, major radius, minor radius and u direction; the kernel torus reports its
// type (doughnut, apple, lemon), which the parser counts with the tori turned inside out.
class acis_Torus final : public acis_Surface {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::TorusSurface; }
    acis_Torus() : acis_Surface(AcisKind::TorusSurface) {}

    const aVector& uDirection() const { return mUDirection; }
    const c_Torus& torus() const { return mTorus; }

    const c_Surface* kernelSurface() const override { return &mTorus; }
    aVector normalAt(const aPoint& p) const override { return mTorus.normalAt(p); }
    const char* typeName() const override { return "torus"; }
    void readFields(satParser& parser) override;

private:
    c_Torus mTorus;
    aVector mUDirection;
};

} // namespace tracemill
