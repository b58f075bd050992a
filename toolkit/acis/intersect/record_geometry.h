// Vector helpers and fixed tolerances shared by the record-level intersection kernels.
#pragma once

#include "toolkit/acis/intersect/old_style_record.h"

namespace tracemill {

// Fixed tolerances of the record-level kernels (they assume coordinates of moderate size).
inline constexpr double kParallelTol = 1e-8;    // 1 - |cos|, coplanar cross products, vanishing coefficients
inline constexpr double kZeroLengthTol = 1e-7;  // zero-length vectors, equal distances and radii
inline constexpr double kPlaneContactTol = 1e-5;  // a line against a circle's plane, half-angle roots
inline constexpr double kDiscriminantTol = 2e-6;  // line against sphere, cylinder and cone
inline constexpr double kCoincidentSquaredTol = 1e-14;

// The point-on-plane tolerance (1e-8 at start): a process-wide value that the Bezier end game
// widens for the length of one segment pair.
double& pointOnPlaneTolerance();

// Normalises v in place and returns its length; below 1e-7 returns 0 and leaves v.
double normalize3(aVector& v);
// out = (x, y, z) normalised, and its length; below 1e-7 nothing is written.
double normalizedCopy3(double x, double y, double z, aVector& out);
double squaredDistance3(const aPoint& a, const aPoint& b);
double distance3(const aPoint& a, const aPoint& b);
// Squared distance below 1e-14.
bool pointsCoincide3(const aPoint& a, const aPoint& b);
// (a^2 + b^2 - c^2) / (2ab): the cosine of the angle opposite c.
double lawOfCosines(double a, double b, double c);
// The larger of two doubles (b when they are unordered).
double max2(double a, double b);
// A unit vector perpendicular to v, chosen by its component of smallest magnitude.
aVector perpendicularUnit3(const aVector& v);
// u, v: a unit frame across d; 0 when d is shorter than 1e-7, else 1.
int makePlaneFrame(const aVector& d, aVector& u, aVector& v);
double signedPlaneDistance(const aPoint& p, const PlaneRecord& plane);
// The cosine between the plane normal and the direction from the plane's point to p (0 within
// 1e-7 of that point).
double planeCosine(const aPoint& p, const PlaneRecord& plane);
// A test of direction: |planeCosine| below the point-on-plane tolerance.
bool isOnPlane(const aPoint& p, const PlaneRecord& plane);

} // namespace tracemill
