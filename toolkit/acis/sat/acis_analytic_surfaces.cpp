#include "toolkit/acis/sat/acis_analytic_surfaces.h"

#include <cmath>

#include "toolkit/acis/geometry/cone.h"
#include "toolkit/acis/geometry/cylinder.h"
#include "toolkit/acis/geometry/ell_cylinder.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

void acis_Plane::readFields(satParser& parser) {
    aPoint root;
    aVector normal;
    parser.readPoint(root);
    parser.readVector(normal);
    parser.readVector(mUDirection);
    mPlane = c_Plane(root, normal);
    readSenseAndRanges(parser);
}

void acis_Cone::readFields(satParser& parser) {
    parser.readPoint(mCentre);
    parser.readVector(mNormal);
    parser.readVector(mMajorAxis);
    parser.readDouble(mRatio);
    if (parser.version() >= 106) mBaseRange = parser.readInterval();
    parser.readDouble(mSine);
    parser.readDouble(mCosine);
    if (parser.version() >= 400) parser.readDouble(mScale);
    build();
    SatGeometryCounts& counts = parser.geometryCounts();
    ++counts.coneKinds[mConeKind];
    counts.lastConeKind = mConeKind;
    readSenseAndRanges(parser);
}

void acis_Cone::build() {
    const double a = mMajorAxis.length();
    const double b = a * std::fabs(mRatio);
    const bool circular = std::fabs(a - b) <= 0.001 * a;
    if (std::fabs(mCosine) < 0.006) {
        mConeKind = 0;
        mSurface = std::make_unique<c_Plane>(mCentre, mNormal);
    } else if (std::fabs(mSine) < 0.006) {
        mConeKind = circular ? 1 : 2;
        if (circular) {
            mSurface = std::make_unique<c_Cylinder>(mCentre, mNormal, a);
        } else {
            mSurface = std::make_unique<c_EllCylinder>(mCentre, mMajorAxis, mNormal, a, b);
        }
    } else {
        mConeKind = circular ? 3 : 4;
        aVector axis = mNormal;
        axis.normalize();
        // From the apex towards the base, where the cone widens.
        if (mSine < 0.0) axis = -axis;
        const aPoint apex = mCentre - axis * (a * std::fabs(mCosine) / std::fabs(mSine));
        const double halfAngle = std::atan2(std::fabs(mSine), std::fabs(mCosine));
        if (circular) {
            mSurface = std::make_unique<c_Cone>(apex, axis, halfAngle);
        } else {
            mSurface = std::make_unique<c_EllCone>(apex, mMajorAxis, axis, halfAngle, a > 0.0 ? b / a : 1.0);
        }
    }
}

aVector acis_Cone::normalAt(const aPoint& p) const { return mSurface ? mSurface->normalAt(p) : kZeroVector; }

void acis_Sphere::readFields(satParser& parser) {
    aPoint centre;
    parser.readPoint(centre);
    parser.readDouble(mRadius);
    parser.readVector(mUDirection);
    parser.readVector(mPoleDirection);
    mSphere = c_Sphere(centre, std::fabs(mRadius));
    readSenseAndRanges(parser);
}

void acis_Torus::readFields(satParser& parser) {
    aPoint centre;
    aVector normal;
    double major = 0.0, minor = 0.0;
    parser.readPoint(centre);
    parser.readVector(normal);
    parser.readDouble(major);
    parser.readDouble(minor);
    parser.readVector(mUDirection);
    mTorus = c_Torus(centre, mUDirection, normal, major, minor);
    SatGeometryCounts& counts = parser.geometryCounts();
    const int type = mTorus.type();
    if (type >= 0 && type <= 2) {
        ++counts.torusTypes[type];
    } else {
        kernelDiagnostics() << "*** ERROR: " << "Bad torus type in satParser::readGeometricEntity" << '\n';
    }
    if (mTorus.insideOut()) ++counts.insideOutTori;
    readSenseAndRanges(parser);
}

} // namespace tracemill
