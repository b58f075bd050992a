// The block-name index of a drawing: block records sorted by name (compared without regard to
// case) for lookups by name. It is marked stale whenever a block is added, deleted or renamed,
// and rebuilt before the next lookup.
#pragma once

#include <cstdint>
#include <string_view>

#include "toolkit/core/drawing.h"

namespace tracemill {

// Indexes the first `count` block records; the block-list cursor is kept. 1, 0 when memory is
// exhausted (the index is then empty).
int dbBuildBlockNameIndex(Drawing* drawing, int32_t count);
// 1 and the block's handle when a block of that name is indexed, else 0.
int dbFindBlockInIndex(Drawing* drawing, std::string_view name, Handle& out);
void dbMarkBlockIndexStale(Drawing* drawing);
void dbResetBlockIndex(Drawing* drawing);
void dbFreeBlockNameIndex(Drawing* drawing);
int32_t dbBlockIndexCount(const Drawing* drawing);
// 1 when the index is stale or holds another number of blocks than `blockCount`.
int dbBlockIndexNeedsRebuild(const Drawing* drawing, int32_t blockCount);
// Indexes every block record.
int dbRebuildBlockNameIndex(Drawing* drawing);

} // namespace tracemill
