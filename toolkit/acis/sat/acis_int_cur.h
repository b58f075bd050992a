// acis_int_cur: the subtype data of an intersection curve ("bldcur", "blndsprngcur",
// "exactcur", "exppc", "lawintcur", "offintcur", "offsetintcur", "offsurfintcur", "parcur",
// "projcur", "subsetintcur", "surfcur", "surfintcur"): its NURBS approximation (2D for the
// parameter curve "exppc", 3D otherwise), the surfaces it lies on and its parameter curves on
// them.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/acis/geometry/interval.h"
#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/sat/acis_subtype.h"

namespace tracemill {

class acis_Surface;
class c_NURBSCurve;
class satParser;

class acis_int_cur final : public acis_Subtype {
public:
    // True for the thirteen intcurve subtype names.
    static bool isName(std::string_view word);

    explicit acis_int_cur(std::string_view name);
    ~acis_int_cur() override;

    const char* typeName() const override { return "int_cur"; }
    // The name, and "<a zeziv NURBS curve> " for the approximation.
    void print(std::ostream& out) const override;

    const std::string& name() const { return mName; }
    bool isParameterCurve() const { return mName == "exppc"; }
    // The approximation: 2D for "exppc", 3D otherwise; null when the data holds none.
    const c_NURBSCurve* curve() const { return mCurve.get(); }
    double fitTolerance() const { return mFitTolerance; }
    const acis_Surface* surface1() const { return mSurface1.get(); }
    const acis_Surface* surface2() const { return mSurface2.get(); }
    // The 2D parameter curves on the first and the second surface.
    const c_NURBSCurve* pcurve1() const { return mPCurve1.get(); }
    const c_NURBSCurve* pcurve2() const { return mPCurve2.get(); }
    const c_Interval& range() const { return mRange; }
    // The parameter values of summary data.
    const std::vector<double>& summaryParameters() const { return mSummaryParameters; }

    // The tangent of the approximation at t; (0, 0, 0) without one, with
    // "acis_int_cur::tangentAt returning (0,0,0)".
    aVector tangentAt(double t) const;

    // The data after the subtype's name. A first or second surface of an unknown kind is a
    // syntax error named by its word.
    void readData(satParser& parser);

private:
    std::string mName;
    std::unique_ptr<c_NURBSCurve> mCurve;
    double mFitTolerance = 0.0;
    std::unique_ptr<acis_Surface> mSurface1;
    std::unique_ptr<acis_Surface> mSurface2;
    std::unique_ptr<c_NURBSCurve> mPCurve1;
    std::unique_ptr<c_NURBSCurve> mPCurve2;
    c_Interval mRange;
    std::vector<double> mSummaryParameters;
};

} // namespace tracemill
