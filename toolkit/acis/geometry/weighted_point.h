// c_WeightedPoint: a homogeneous point (w x, w y, w z, w).
#pragma once

#include "toolkit/acis/geometry/point_vector.h"

namespace tracemill {

class c_WeightedPoint {
public:
    double wx = 0.0, wy = 0.0, wz = 0.0, w = 1.0;

    constexpr c_WeightedPoint() = default;
    constexpr c_WeightedPoint(double x, double y, double z, double weight) : wx(x), wy(y), wz(z), w(weight) {}
    explicit c_WeightedPoint(const double (&xyzw)[4]) : c_WeightedPoint(xyzw[0], xyzw[1], xyzw[2], xyzw[3]) {}
    explicit c_WeightedPoint(const float (&xyzw)[4]) : c_WeightedPoint(xyzw[0], xyzw[1], xyzw[2], xyzw[3]) {}

    // -1 gives w, 0 .. 2 give w x, w y, w z, any other index 0.0.
    double component(int index) const;

    c_WeightedPoint operator+(const c_WeightedPoint& b) const { return {wx + b.wx, wy + b.wy, wz + b.wz, w + b.w}; }
    c_WeightedPoint operator*(double s) const { return {s * wx, s * wy, s * wz, s * w}; }

    // The point divided by its weight; false (the point undivided) for a weight of 0 or a
    // result that is not finite.
    bool toPoint(aPoint& p) const;
    aPoint toPoint() const;
    void toFloats(float (&xyzw)[4]) const;
};

} // namespace tracemill
