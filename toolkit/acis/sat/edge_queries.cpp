// The edge and coedge queries of point-in-face classification and of the wireframe renderer:
// where a point lies on an edge, whether a curve parameter lies on it, its middle point and the
// tangent of a coedge.
#include <algorithm>
#include <utility>

#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_curve.h"
#include "toolkit/acis/sat/acis_topology.h"

namespace tracemill {

bool acis_Edge::isClosed() const { return !mStart || !mEnd || mStart == mEnd; }

AcisEdgeClass acis_Edge::pointClass(const aPoint& p) const {
    if (mStart && p.coincident(mStart->position())) {
        return mEnd && p.coincident(mEnd->position()) ? ecOnStartAndEndV : ecOnStartV;
    }
    if (mEnd && p.coincident(mEnd->position())) return ecOnEndV;
    if (mCurve && mCurve->contains(p)) return parameterOnEdge(mCurve->getParameterOf(p)) ? ecIn : ecOut;
    return ecOut;
}

bool acis_Edge::parameterOnEdge(double t) const {
    if (isClosed() || !mCurve) return true;
    double lower = mCurve->getParameterOf(mStart->position());
    double upper = mCurve->getParameterOf(mEnd->position());
    const bool forward = mSense != 1;
    // A line's parameter does not wrap: between its two values in either order.
    if (mCurve->isStraight() && lower > upper) std::swap(lower, upper);
    return mCurve->paramInInterval(t, lower, upper, forward);
}

aPoint acis_Edge::midpoint() const {
    if (!mCurve) return kOrigin;
    const double low = mCurve->minParam(), high = mCurve->maxParam();
    double middle = 0.5 * (low + high);
    if (!isClosed()) {
        const double s = mCurve->getParameterOf(mStart->position());
        const double e = mCurve->getParameterOf(mEnd->position());
        // The parameters in the order the edge runs along the curve.
        const double first = mSense == 1 ? e : s, last = mSense == 1 ? s : e;
        middle = 0.5 * (first + last);
        if (mCurve->isClosed() && last < first) {
            // The edge runs across the curve's seam: the middle of its longer piece.
            middle = high - first >= last - low ? 0.5 * (first + high) : 0.5 * (low + last);
        }
    }
    aPoint p;
    mCurve->getPointAt(middle, p);
    return p;
}

AcisEdgeClass acis_CoEdge::pointClass(const aPoint& p) const { return mEdge ? mEdge->pointClass(p) : ecOut; }

aVector acis_CoEdge::tangentAt(double t) const {
    if (!mEdge || !mEdge->curve()) {
        kernelDiagnostics() << "acis_CoEdge::tangentAt returning (0,0,0)" << '\n';
        return kZeroVector;
    }
    const aVector tangent = mEdge->curve()->tangentAt(t);
    return alongCurve() ? tangent : -tangent;
}

} // namespace tracemill
