#include "toolkit/acis/geometry/row_arrays.h"

#include <algorithm>

namespace tracemill {

PointerRows allocPointerRows(int n, int m) {
    return PointerRows(size_t(std::max(n, 0)), std::vector<std::int32_t>(size_t(std::max(m, 0)), 0));
}

void freePointerRows(PointerRows& rows) { PointerRows().swap(rows); }

} // namespace tracemill
