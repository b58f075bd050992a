// Arrays of rows of 32-bit cells, owned by the caller.
#pragma once

#include <cstdint>
#include <vector>

namespace tracemill {

using PointerRows = std::vector<std::vector<std::int32_t>>;

// n rows of m zeroed cells (none for n < 1; empty rows for m < 1).
PointerRows allocPointerRows(int n, int m);

// Frees every row; the rows become empty.
void freePointerRows(PointerRows& rows);

} // namespace tracemill
