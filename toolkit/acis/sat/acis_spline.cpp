#include "toolkit/acis/sat/acis_spline.h"

#include <cstring>

#include "toolkit/acis/geometry/nurbs_surface.h"
#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/sat/acis_spl_sur.h"
#include "toolkit/acis/sat/sat_parser.h"

namespace tracemill {

const c_Surface* acis_Spline::kernelSurface() const { return mData ? mData->surface() : nullptr; }

bool acis_Spline::getPointAt(double u, double v, aPoint& p) const {
    const c_NURBSSurface* surface = mData ? mData->surface() : nullptr;
    if (!surface) return false;
    return surface->getPointAt(u, v, p);
}

bool acis_Spline::hasNURBSApproximation() const { return mData && mData->surface(); }

const c_NURBSSurface* acis_Spline::getNURBSSurface() const {
    if (!mData) return nullptr;
    if (mData->isSurfaceOfRevolution()) {
        kernelDiagnostics() << "Ignoring RotSur in acis_Spline::getNURBSSurface()" << '\n';
        return nullptr;
    }
    return mData->surface();
}

aVector acis_Spline::normalAt(const aPoint& p) const {
    if (!mData) return kZeroVector;
    double u = 0.0, v = 0.0;
    if (const c_NURBSSurface* surface = mData->surface()) surface->getParameterOf(p, u, v);
    return mData->normalAt(u, v);
}

void acis_Spline::readFields(satParser& parser) {
    readSense(parser);
    const acis_Subtype* data = parser.readSubtype();
    mData = data && std::strcmp(data->typeName(), "spl_sur") == 0 ? static_cast<const acis_spl_sur*>(data) : nullptr;
    readRanges(parser);
}

} // namespace tracemill
