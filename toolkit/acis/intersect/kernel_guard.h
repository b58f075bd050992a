// The frame of every record-level kernel: the list is emptied, input that is not finite meets
// nothing, and a result holding a number that is not finite counts as no intersection.
#pragma once

#include "toolkit/acis/intersect/intersection_list.h"

namespace tracemill {

template <typename Body, typename... Records>
int runIntersectionKernel(IntersectionList& list, Body body, const Records&... records) {
    list.clear();
    if (!(isFinite(OldStyleRecord(records)) && ...)) return kIntersectNone;
    return checkedIntersection(body(), list);
}

} // namespace tracemill
