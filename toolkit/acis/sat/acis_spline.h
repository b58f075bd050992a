// acis_Spline ("spline-surface"): a surface whose shape is its subtype data (acis_spl_sur).
// The text writes the sense before the subtype block and the ranges after it.
#pragma once

#include "toolkit/acis/sat/acis_surface.h"

namespace tracemill {

class acis_spl_sur;

class acis_Spline final : public acis_Surface {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::SplineSurface; }
    acis_Spline() : acis_Surface(AcisKind::SplineSurface) {}

    // The subtype when the block held spline-surface data, else null. The parser's subtype
    // table owns it.
    const acis_spl_sur* splineData() const { return mData; }

    // The NURBS approximation of the data.
    const c_Surface* kernelSurface() const override;
    // Evaluates the approximation; false without one.
    bool getPointAt(double u, double v, aPoint& p) const override;
    bool hasNURBSApproximation() const override;
    // The approximation; none for a surface of revolution ("Ignoring RotSur in
    // acis_Spline::getNURBSSurface()").
    const c_NURBSSurface* getNURBSSurface() const override;
    // The data's normal at the parameters of the point on the approximation; (0, 0, 0)
    // without data.
    aVector normalAt(const aPoint& p) const override;
    const char* typeName() const override { return "spline"; }
    void readFields(satParser& parser) override;

private:
    const acis_spl_sur* mData = nullptr;
};

} // namespace tracemill
