#include "toolkit/acis/sat/acis_intcurve.h"

#include <cstring>
#include <utility>

#include "toolkit/acis/geometry/nurbs_curve.h"
#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_int_cur.h"
#include "toolkit/acis/sat/acis_surface.h"
#include "toolkit/acis/sat/sat_parser.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {

void acis_Intcurve::reportNoData(const char* query) {
    if (satSwitches().errorDetails) kernelDiagnostics() << query << " has no mIntCurve" << '\n';
}

acis_Intcurve::UsedCurve acis_Intcurve::usedCurve() const {
    if (!mData) return {};
    if (mData->curve() && !mData->isParameterCurve()) return {mData->curve(), nullptr};
    if (mData->isParameterCurve()) {
        if (mData->curve() && mData->surface1() && mData->surface1()->hasNURBSApproximation())
            return {mData->curve(), mData->surface1()};
        return {};
    }
    if (mData->pcurve1() && mData->surface1() && mData->surface1()->hasNURBSApproximation())
        return {mData->pcurve1(), mData->surface1()};
    if (mData->pcurve2() && mData->surface2() && mData->surface2()->hasNURBSApproximation())
        return {mData->pcurve2(), mData->surface2()};
    return {};
}

const c_Curve* acis_Intcurve::kernelCurve() const {
    const UsedCurve used = usedCurve();
    return used.surface ? nullptr : used.curve;
}

bool acis_Intcurve::getPointAt(double t, aPoint& p) const {
    if (!mData) {
        reportNoData("acis_Intcurve::getPointAt");
        return false;
    }
    const UsedCurve used = usedCurve();
    if (!used.curve) return false;
    if (!used.surface) return used.curve->getPointAt(t, p);
    aPoint uv;
    if (!used.curve->getPointAt(t, uv)) return false;
    return used.surface->getPointAt(uv.x, uv.y, p);
}

double acis_Intcurve::getParameterOf(const aPoint& p) const {
    if (!mData) {
        reportNoData("acis_Intcurve::getParameterOf");
        return 0.0;
    }
    const UsedCurve used = usedCurve();
    if (!used.curve) return 0.0;
    if (!used.surface) return used.curve->getParameterOf(p);
    // Through the parameters of the point on the surface's approximation.
    double u = 0.0, v = 0.0;
    if (const c_NURBSSurface* surface = used.surface->getNURBSSurface()) surface->getParameterOf(p, u, v);
    return used.curve->getParameterOf(aPoint(u, v, 0.0));
}

bool acis_Intcurve::contains(const aPoint& p) const {
    if (!mData) {
        reportNoData("acis_Intcurve::contains");
        return false;
    }
    const UsedCurve used = usedCurve();
    if (!used.curve) return false;
    if (!used.surface) return used.curve->contains(p);
    aPoint on;
    return getPointAt(getParameterOf(p), on) && on.coincident(p);
}

double acis_Intcurve::minParam() const {
    const UsedCurve used = usedCurve();
    if (used.curve) return used.curve->minParam();
    if (satSwitches().errorDetails) kernelDiagnostics() << "*** ERROR: " << "acis_Intcurve::minParam has no 'nC'" << '\n';
    return 0.0;
}

double acis_Intcurve::maxParam() const {
    const UsedCurve used = usedCurve();
    if (used.curve) return used.curve->maxParam();
    if (satSwitches().errorDetails) kernelDiagnostics() << "*** ERROR: " << "acis_Intcurve::maxParam has no 'nC'" << '\n';
    return 0.0;
}

bool acis_Intcurve::paramInInterval(double t, double lower, double upper, bool forward) const {
    if (!mData) {
        reportNoData("acis_Intcurve::paramInInterval");
        return false;
    }
    const UsedCurve used = usedCurve();
    if (!used.curve) return false;
    if (forward == (mReversed != 0)) std::swap(lower, upper);
    return used.curve->paramInInterval(t, lower, upper, true);
}

aVector acis_Intcurve::tangentAt(double t) const {
    if (!mData) {
        kernelDiagnostics() << "acis_Intcurve::tangentAt returning (0,0,0)" << '\n';
        return kZeroVector;
    }
    return mData->tangentAt(t);
}

void acis_Intcurve::readFields(satParser& parser) {
    const std::string_view direction = parser.readWord();
    if (direction == "reversed" || direction == "1") {
        mReversed = 1;
    } else if (direction != "forward" && direction != "0") {
        kernelDiagnostics() << "*** ERROR: " << "Bad direction flag in acis_Intcurve::readData (" << direction << ")"
                            << '\n';
    }
    const acis_Subtype* data = parser.readSubtype();
    if (data && std::strcmp(data->typeName(), "int_cur") == 0) {
        mData = static_cast<const acis_int_cur*>(data);
    } else if (data) {
        kernelDiagnostics() << "acis_Intcurve::readData: expected " << "int_cur" << "; found " << data->typeName()
                            << '\n';
    }
    readRange(parser);
}

} // namespace tracemill
