#include "toolkit/display/clip/loop_set.h"

#include "toolkit/display/clip/polygon_clipper.h"

namespace tracemill {

int32_t genLoopSetToStrips(const LoopSet& set, StripSet& out) {
    genPolygonToStrips(set, out);
    return int32_t(out.strips.size());
}

} // namespace tracemill
