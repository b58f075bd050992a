// Real roots of polynomials up to degree 20 with their multiplicities (the roots of the
// derivative, found recursively, bracket them; Newton's method polishes them), and the angle
// equations in tan(theta/2) built on them.
#pragma once

#include <array>
#include <span>

namespace tracemill {

inline constexpr int kMaxPolynomialDegree = 20;

struct PolynomialRoot {
    double value = 0.0;  // a root, or an angle in (-pi, pi]
    int multiplicity = 0;
};

using RootArray = std::array<PolynomialRoot, kMaxPolynomialDegree>;

// The solver's two tolerances travel with it: the coefficient tolerance epsilon1 and the value
// tolerance epsilon2. Each recursion level sets them for the derivative and restores them.
class PolynomialSolver {
public:
    // The distinct real roots of c[0] + c[1] x + ... + c[degree] x^degree in ascending order;
    // returns their count, -1 for a degenerate polynomial (every coefficient below 1e-8, a
    // non-zero constant, or a coefficient that is not finite), -3 for a degree above 20.
    int solvePolynomial(std::span<const double> coefficients, int degree, RootArray& roots);

    // a x^2 + b x + c = 0: 2 (two roots, ascending), 1 (one root; doubleRoot tells a double
    // root of a quadratic), -1 (a and b vanish), -2 (negative discriminant). Sets epsilon1.
    int solveQuadratic(double a, double b, double c, double (&roots)[2], bool& doubleRoot);

    double epsilon1() const { return mEpsilon1; }
    double epsilon2() const { return mEpsilon2; }

private:
    int findPolynomialRoots(std::span<double> monic, int degree, RootArray& roots);

    double mEpsilon1 = 1e-6;
    double mEpsilon2 = 1e-13;
};

// A solver of its own for each call.
int solvePolynomial(std::span<const double> coefficients, int degree, RootArray& roots);
int solveQuadratic(double a, double b, double c, double (&roots)[2], bool& doubleRoot);

// p(x) and p'(x) in one Horner pass.
void evalPolynomial(std::span<const double> coefficients, int degree, double x, double& value, double& slope);
// Newton's method from `start`: the last iterate (at most 200 steps; it stops early where the
// slope vanishes or a step would leave the finite numbers).
double newtonRoot(std::span<const double> coefficients, int degree, double start);
// A root strictly between low and high, where p changes sign: Newton from a refining grid of
// starts, then bisection when no start lands inside.
double rootInInterval(std::span<const double> coefficients, int degree, double low, double high);

// Angles theta in (-pi, pi] with A t^2 + B t + C = 0 for t = tan(theta/2): their count (two
// angles sorted ascending), or a negative code when A and B vanish: pass 1 adds -4 (no angle)
// or -1 (every angle), pass 2 adds -8 or -2.
int solveTrigQuadratic(double A, double B, double C, RootArray& angles);

// Angles theta in (-pi, pi] with c0 + c1 t + ... + c4 t^4 = 0 for t = tan(theta/2), with the
// multiplicities of their roots; returns their count. Angles near pi are found as the roots of
// the same quartic in tan((theta - pi)/2).
int solveTrigQuartic(const double (&c)[5], RootArray& angles);

} // namespace tracemill
