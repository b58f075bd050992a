// acis_spl_sur: the subtype data of a spline surface ("exactsur", "netsur", "offsur",
// "pipesur", "rbblnsur", "rotsur", "skinsur", "sumsur", "sweepsur", "vertexblendsur"). Each
// kind's data is read past; what is kept is its NURBS approximation, and for a surface of
// revolution its profile, axis and frame.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "toolkit/acis/geometry/line.h"
#include "toolkit/acis/sat/acis_subtype.h"

namespace tracemill {

class acis_Curve;
class c_NURBSSurface;
class satParser;

class acis_spl_sur final : public acis_Subtype {
public:
    // True for the ten spline-surface subtype names.
    static bool isName(std::string_view word);

    explicit acis_spl_sur(std::string_view name);
    ~acis_spl_sur() override;

    const char* typeName() const override { return "spl_sur"; }
    void print(std::ostream& out) const override;

    const std::string& name() const { return mName; }
    bool isSurfaceOfRevolution() const { return mName == "rotsur"; }
    // The NURBS approximation; null when the data holds none.
    const c_NURBSSurface* surface() const { return mSurface.get(); }
    // The unit normal of the approximation at (u, v); (0, 0, 0) without one, with
    // "acis_spl_sur::normalAt returning (0,0,0)".
    aVector normalAt(double u, double v) const;

    // A surface of revolution: the profile curve, the axis and the frame about it (u from the
    // axis towards the profile's middle point, v = axis x u).
    const acis_Curve* profile() const { return mProfile.get(); }
    const c_Line& axis() const { return mAxis; }
    const aVector& frameU() const { return mFrameU; }
    const aVector& frameV() const { return mFrameV; }

    // The data of the subtype's kind, after its name.
    void readData(satParser& parser);

private:
    // From version 500 a word ("full" means an approximation follows); before it the
    // approximation always follows.
    void restoreCommonData(satParser& parser);
    void restoreRotSur(satParser& parser);
    void readNetSur(satParser& parser);
    void readRbBlnSur(satParser& parser);
    void readSkinSur(satParser& parser);
    void readSweepSur(satParser& parser);

    std::string mName;
    std::unique_ptr<c_NURBSSurface> mSurface;
    std::unique_ptr<acis_Curve> mProfile;
    c_Line mAxis;
    aVector mFrameU;
    aVector mFrameV;
};

} // namespace tracemill
