#include "toolkit/acis/geometry/curve.h"

#include <cstring>
#include <ostream>

#include "toolkit/acis/geometry/trace_switches.h"
#include "toolkit/acis/kernel_diagnostics.h"

namespace tracemill {

std::unique_ptr<c_Curve> c_Curve::clone() const {
    kernelDiagnostics() << "Cannot clone instances of " << className() << '\n' << std::flush;
    return nullptr;
}

OldStyleRecord c_Curve::makeOldStyleEntity() const {
    if (traceSwitches().curveBase) {
        kernelDiagnostics() << "c_Curve::makeOldStyleEntity making NULL entity (" << className() << ").\n";
    }
    return std::monostate{};
}

bool c_Curve::paramInInterval(double t, double lower, double upper, bool) const { return lower <= t && t <= upper; }

bool c_Curve::snapToCurve(aPoint& p) const {
    const double t = getParameterOf(p);
    if (!validParameter(t)) return false;
    return getPointAt(t, p);
}

bool c_Curve::sameClass(const c_Curve& other) const { return std::strcmp(className(), other.className()) == 0; }

void c_Curve::transform(const c_Matrix4x4&) {
    kernelDiagnostics() << "Cannot transform instances of " << className() << '\n' << std::flush;
}

bool c_Curve::validParameter(double) const { return true; }

} // namespace tracemill
