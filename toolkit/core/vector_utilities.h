// Angle and vector functions shared by the readers and display generation (angles in
// radians).
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/core/point.h"

namespace tracemill {

// A homogeneous vector {x, y, z, w}.
using HomogeneousVector = std::array<double, 4>;

// The polar angle of a 2D direction in (-pi, pi]: the negative x axis gives -pi, x = 0 gives
// pi/2 for y >= 0 and -pi/2 otherwise.
double dbVectorAngle2d(double x, double y);

// 1 when the direction from a to b lies strictly between 15 and 165 degrees or between -165
// and -15 degrees, else 0.
int dbIsOffHorizontal(const Point2& a, const Point2& b);

// Between the parameter and the angle of a point of an ellipse whose minor-to-major axis
// ratio is k.
double dbEllipseParamToAngle(double t, double k);
double dbEllipseAngleToParam(double a, double k);

// Divides x, y and z by the length of (x, y, z) unless it is 0, and sets w to 1.
void dbNormalize3(HomogeneousVector& v);

// The cross product a x b (of x, y, z), normalised as dbNormalize3 does.
HomogeneousVector dbCrossNormalized(const HomogeneousVector& a, const HomogeneousVector& b);

struct ArcFromChord {
    Point2 centre;
    double radius = 0.0;
};

// The circular arc from p1 to p2 that subtends `includedAngle`: a positive angle runs
// counter-clockwise from p1 to p2, so for angles below pi the centre lies left of the chord.
// An angle whose half has a tangent of 0 (0, 2 pi, ...) and a chord of zero length give the
// chord's midpoint and half its length.
ArcFromChord dbArcCenterFromChord(const Point2& p1, const Point2& p2, double includedAngle);

// ORs the 64-bit mask b into a.
void dbOrMask64(uint64_t& a, uint64_t b);

} // namespace tracemill
