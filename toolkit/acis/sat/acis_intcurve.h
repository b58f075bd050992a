// acis_Intcurve ("intcurve-curve"): a curve whose shape is its subtype data (acis_int_cur). It
// answers the curve queries from the data's 3D approximation or, without one, from a 2D
// parameter curve on a surface that has a NURBS approximation (the first surface's, else the
// second's).
#pragma once

#include "toolkit/acis/sat/acis_curve.h"

namespace tracemill {

class acis_int_cur;
class acis_Surface;
class c_NURBSCurve;

class acis_Intcurve final : public acis_Curve {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::IntCurve; }
    acis_Intcurve() : acis_Curve(AcisKind::IntCurve) {}

    // 1 when the curve runs against its data's parametrisation, else 0.
    int reversed() const { return mReversed; }
    // The subtype when the block held intcurve data, else null. The parser's subtype table
    // owns it.
    const acis_int_cur* curveData() const { return mData; }

    bool contains(const aPoint& p) const override;
    // The 3D approximation, or null.
    const c_Curve* kernelCurve() const override;
    double getParameterOf(const aPoint& p) const override;
    bool getPointAt(double t, aPoint& p) const override;
    double maxParam() const override;
    double minParam() const override;
    // Between the bounds in the direction of travel, the curve's own direction taken into
    // account.
    bool paramInInterval(double t, double lower, double upper, bool forward) const override;
    const char* typeName() const override { return "intcurve"; }
    aVector tangentAt(double t) const override;
    // A direction word ("reversed" or "1", "forward" or "0"), the subtype block, the range.
    void readFields(satParser& parser) override;

private:
    // The curve that answers the queries, with the surface it lies on when it is a 2D
    // parameter curve (null for the 3D approximation).
    struct UsedCurve {
        const c_NURBSCurve* curve = nullptr;
        const acis_Surface* surface = nullptr;
    };
    UsedCurve usedCurve() const;
    // Writes "<query> has no mIntCurve" under the error-detail switch.
    static void reportNoData(const char* query);

    const acis_int_cur* mData = nullptr;
    int mReversed = 0;
};

} // namespace tracemill
