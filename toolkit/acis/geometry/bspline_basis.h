// c_BSplineBasisFcns: the knot sequence and B-spline basis shared by the NURBS curve and
// surface. Knots are held in single precision.
#pragma once

#include <span>
#include <vector>

namespace tracemill {

class c_BSplineBasisFcns {
public:
    c_BSplineBasisFcns() = default;
    // n is the number of control points minus one, k the order; n + k + 1 knots are copied
    // from `knots` when given, else zeroed. n < 1 or k < 1 gives an empty sequence.
    c_BSplineBasisFcns(int n, int k, const float* knots);

    void clear();

    int order() const { return mOrder; }
    int lastIndex() const { return mLastIndex; }
    // n + k + 1, or 0 without knots.
    int numKnots() const { return int(mKnots.size()); }
    // Knot i; -9999.0 outside 0 .. n + k.
    double knot(int i) const;
    std::span<const float> knots() const { return mKnots; }
    // Replaces the knot values (as many as the sequence holds).
    void setKnots(std::span<const float> values);

    // The parameter range [knot k-1, knot n+1]; 0.0 without knots.
    double minParam() const;
    double maxParam() const;
    bool paramInRange(double u) const { return u >= minParam() && u <= maxParam(); }

    // The number of knots within 0.001 of u.
    int knotMultiplicity(double u) const;
    // A sequence with one more control point whose knots have u inserted after the span of u;
    // an empty sequence when u lies outside the range.
    c_BSplineBasisFcns insertKnot(double u) const;

    // The span i with u in [knot i, knot i+1) (the last span of non-zero width at the end of
    // the range), or -1 outside the range and for knots that are not finite and ascending.
    int findSpan(double u) const;
    // The k non-zero basis functions at u into N[0 .. k-1]; returns the span, or a negative
    // value (N left as it was) outside the range.
    int Evaluate(double u, std::span<float> N) const;
    // The same in double precision, for evaluations that must agree with the derivatives.
    int Evaluate(double u, std::span<double> N) const;
    // The basis functions and their derivatives up to order d at u: row j (j = 0 .. d) of
    // `rows` holds the j-th derivatives of the k non-zero functions (rows.size() becomes
    // (d + 1) k). Returns the span, or -1 outside the range or for d < 0.
    int evaluateDerivatives(double u, int d, std::vector<double>& rows) const;

private:
    template <typename Real> int evaluateBasis(double u, std::span<Real> N) const;

    int mLastIndex = 0;  // n
    int mOrder = 0;      // k
    std::vector<float> mKnots;
    bool mAscending = false;
};

} // namespace tracemill
