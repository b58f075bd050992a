// c_Conic: the abstract base of the ellipse and the circle, a curve in the plane of a
// right-handed frame (u, v, w) about a centre, parametrised by an angle in -pi .. pi.
#pragma once

#include <span>

#include "toolkit/acis/geometry/curve.h"
#include "toolkit/acis/geometry/interval.h"

namespace tracemill {

class c_Conic : public c_Curve {
public:
    aPoint centre() const { return mCentre; }
    aVector u() const { return mU; }
    aVector v() const { return mV; }
    aVector w() const { return mW; }

    // The centre as a point, the axes as directions.
    void transform(const c_Matrix4x4& m) override;

    // Points along the conic for a chord tolerance into `points` (at most points.size()),
    // reversed or forward, over `interval` (both bounds present) or the full turn; returns the
    // number written.
    virtual int tessellate(double tolerance, std::span<aPoint> points, bool reversed,
                           const c_Interval* interval) const = 0;

protected:
    // The frame is completed from w with u as the hint.
    c_Conic(const aPoint& centre, const aVector& u, const aVector& w);

    // The angular interval test: a full turn when |s - e| < angleTolerance; otherwise the
    // range from s to e in the direction of travel, wrapping past +-pi.
    static bool angleInInterval(double t, double s, double e, bool forward, double angleTolerance);
    // The tessellation of centre + a cos t u + b sin t v.
    int tessellateConic(double tolerance, std::span<aPoint> points, bool reversed, const c_Interval* interval,
                        double a, double b) const;

    aPoint mCentre;
    aVector mU, mV, mW;
};

// An angle brought into -pi .. pi by whole turns (non-finite angles are returned as they are).
double normalizeAngle(double angle);

} // namespace tracemill
