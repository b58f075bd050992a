#include "toolkit/acis/intersect/record_geometry.h"

#include <cmath>

namespace tracemill {

double& pointOnPlaneTolerance() {
    static double value = 1e-8;
    return value;
}

double normalize3(aVector& v) {
    const double length = v.length();
    if (length < kZeroLengthTol) return 0.0;
    v = v / length;
    return length;
}

double normalizedCopy3(double x, double y, double z, aVector& out) {
    aVector v(x, y, z);
    const double length = normalize3(v);
    if (length > 0.0) out = v;
    return length;
}

double squaredDistance3(const aPoint& a, const aPoint& b) { return a.distanceSquared(b); }

double distance3(const aPoint& a, const aPoint& b) { return a.distance(b); }

bool pointsCoincide3(const aPoint& a, const aPoint& b) { return a.distanceSquared(b) < kCoincidentSquaredTol; }

double lawOfCosines(double a, double b, double c) { return (a * a + b * b - c * c) / (2.0 * a * b); }

double max2(double a, double b) { return a > b ? a : b; }

aVector perpendicularUnit3(const aVector& v) {
    const double ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    aVector r;
    if (ax < ay && ax <= az) {
        r = ay <= az ? aVector(0.0, -v.z, v.y) : aVector(0.0, v.z, -v.y);
    } else if (ax >= ay && ay <= az) {
        r = (ax >= kParallelTol && ax <= az) ? aVector(-v.z, 0.0, v.x) : aVector(v.z, 0.0, -v.x);
    } else {
        r = ax <= ay ? aVector(-v.y, v.x, 0.0) : aVector(v.y, -v.x, 0.0);
    }
    normalize3(r);
    return r;
}

int makePlaneFrame(const aVector& d, aVector& u, aVector& v) {
    aVector n = d;
    if (normalize3(n) == 0.0) return 0;
    u = perpendicularUnit3(n);
    v = n.cross(u);
    normalize3(v);
    return 1;
}

double signedPlaneDistance(const aPoint& p, const PlaneRecord& plane) { return (p - plane.point).dot(plane.normal); }

double planeCosine(const aPoint& p, const PlaneRecord& plane) {
    aVector d = p - plane.point;
    if (normalize3(d) == 0.0) return 0.0;
    return d.dot(plane.normal);
}

bool isOnPlane(const aPoint& p, const PlaneRecord& plane) {
    return std::fabs(planeCosine(p, plane)) < pointOnPlaneTolerance();
}

} // namespace tracemill
