#include "toolkit/acis/geometry/quadric_surface.h"

#include <cmath>
#include <numbers>
#include <ostream>

#include "toolkit/acis/geometry/geometry_tolerances.h"
#include "toolkit/acis/intersect/polynomial_solver.h"

namespace tracemill {
namespace {

constexpr double kPi = std::numbers::pi;

} // namespace

c_AxialQuadric::c_AxialQuadric(const aPoint& c, const aVector& u, const aVector& w) : mC(c), mU(u), mW(w) {
    aVector::completeFrame(mU, mV, mW);
}

int c_AxialQuadric::isoCurves(int n, CurveArray& curves) const {
    if (n < 1) return 0;
    for (int i = 0; i < n; ++i) curves.push_back(std::make_unique<c_Line>(ruling(isoStartAngle() + i * 2.0 * kPi / n)));
    return n;
}

int c_AxialQuadric::appendRulings(std::initializer_list<double> angles, CurveArray& curves) const {
    for (double t : angles) curves.push_back(std::make_unique<c_Line>(ruling(t)));
    return int(angles.size());
}

void c_AxialQuadric::printFrame(std::ostream& out, std::initializer_list<double> numbers) const {
    out << className() << "( " << mC << " , " << mU << " , " << mV << " , " << mW;
    for (double number : numbers) out << " , " << number;
    out << " )";
}

int c_AxialQuadric::appendConeSilhouettes(double du, double dv, double tau, CurveArray& curves) const {
    double roots[2];
    bool doubleRoot;
    const int n = solveQuadratic(du + tau, -2.0 * dv, tau - du, roots, doubleRoot);
    if (n < 1) return 0;
    const double first = 2.0 * std::atan(roots[0]);
    return appendRulings({first, n == 2 ? 2.0 * std::atan(roots[1]) : first + kPi}, curves);
}

int c_AxialQuadric::appendConeCurvesThrough(const aPoint& p, CurveArray& curves, int n) const {
    if (p.distance(mC) > geometryTolerances().BasicDistanceTol) {
        curves.push_back(std::make_unique<c_Line>(mC, p - mC));
        return 1;
    }
    if (n < 1) return 0;
    for (int i = 0; i < n; ++i) curves.push_back(std::make_unique<c_Line>(ruling(0.1334 + i * 2.0 * kPi / n)));
    return n;
}

void c_AxialQuadric::cylinderCoefficients(double r, double (&c)[10]) const {
    const aVector& w = mW;
    const aVector p(mC);
    const double k = p.dot(w);
    c[0] = 1 - w.x * w.x;
    c[1] = 1 - w.y * w.y;
    c[2] = 1 - w.z * w.z;
    c[3] = -2 * w.x * w.y;
    c[4] = -2 * w.y * w.z;
    c[5] = -2 * w.z * w.x;
    c[6] = 2 * (w.x * k - p.x);
    c[7] = 2 * (w.y * k - p.y);
    c[8] = 2 * (w.z * k - p.z);
    c[9] = p.dot(p) - k * k - r * r;
}

} // namespace tracemill
