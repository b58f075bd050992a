#include "toolkit/acis/sat/acis_int_cur.h"

#include <algorithm>
#include <ostream>

#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/nurbs_data.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {
namespace {

constexpr std::string_view kNames[] = {"bldcur",        "blndsprngcur", "exactcur", "exppc",    "lawintcur",
                                       "offintcur",     "offsetintcur", "offsurfintcur", "parcur", "projcur",
                                       "subsetintcur",  "surfcur",      "surfintcur"};

} // namespace

bool acis_int_cur::isName(std::string_view word) {
    return std::find(std::begin(kNames), std::end(kNames), word) != std::end(kNames);
}

acis_int_cur::acis_int_cur(std::string_view name) : mName(name) {}

acis_int_cur::~acis_int_cur() = default;

void acis_int_cur::print(std::ostream& out) const {
    out << mName;
    if (mCurve) out << " <a zeziv NURBS curve> ";
}

aVector acis_int_cur::tangentAt(double t) const {
    if (!mCurve) {
        kernelDiagnostics() << "acis_int_cur::tangentAt returning (0,0,0)" << '\n';
        return kZeroVector;
    }
    return mCurve->tangentAt(t);
}

void acis_int_cur::readData(satParser& parser) {
    const bool parameterCurve = isParameterCurve();
    bool approximation = true;
    if (parser.version() >= 500 && !parameterCurve) {
        const std::string_view form = parser.readWord();
        if (form == "summary") {
            approximation = false;
            int32_t count = 0;
            parser.readInteger(count);
            double value = 0.0;
            for (int32_t i = 0; i < count && parser.readDouble(value); ++i) mSummaryParameters.push_back(value);
            parser.readDouble(mFitTolerance);
            parser.readWord();
            if (satSwitches().toleranceEcho) kernelDiagnostics() << "AS_SUMMARY, fitTolerance = " << mFitTolerance << '\n';
        } else if (form != "full") {
            approximation = false;
            if (satSwitches().warnings) {
                kernelDiagnostics() << "+++ Warning: " << "Treating summary tag: " << form
                                    << " as AS_OTHER in acis_int_cur::readData" << '\n';
            }
            parser.readInterval();
            parser.readWord();
        }
    }
    if (approximation) {
        mCurve = satReadNurbsCurve(parser, parameterCurve ? 2 : 3);
        parser.readDouble(mFitTolerance);
        if (satSwitches().toleranceEcho) kernelDiagnostics() << "AS_FULL, fitTolerance = " << mFitTolerance << '\n';
    }
    mSurface1 = parser.restoreSurface(satParser::UnknownSurface::SyntaxError);
    if (parameterCurve) return;
    mSurface2 = parser.restoreSurface(satParser::UnknownSurface::SyntaxError);
    mPCurve1 = satReadNurbsCurve(parser, 2);
    mPCurve2 = satReadNurbsCurve(parser, 2);
    if (parser.version() >= 107) mRange = parser.readInterval();
}

} // namespace tracemill
