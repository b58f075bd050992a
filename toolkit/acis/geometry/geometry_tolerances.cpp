#include "toolkit/acis/geometry/geometry_tolerances.h"

namespace tracemill {

GeometryTolerances& geometryTolerances() {
    static GeometryTolerances values;
    return values;
}

} // namespace tracemill
