#include "toolkit/core/block_name_index.h"

#include <algorithm>
#include <new>

#include "toolkit/core/name_compare.h"
#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

bool nameLess(const BlockNameIndex::Entry& entry, std::string_view name) {
    return dbCompareNoCase(entry.name, name) < 0;
}

} // namespace

int dbBuildBlockNameIndex(Drawing* drawing, int32_t count) {
    if (!drawing) return 0;
    BlockNameIndex& index = drawing->blockNameIndex;
    index.entries.clear();
    try {
        index.entries.reserve(size_t(std::max(count, 0)));
        for (const BlockNode& node : drawing->blocks) {
            if (int32_t(index.entries.size()) >= count) break;
            index.entries.push_back({node.record.handle, node.record.name});
        }
    } catch (const std::bad_alloc&) {
        index.entries = {};
        return dbReportError(kErrorNoMemoryForList, kErrorReasonNoMemory);
    }
    std::stable_sort(index.entries.begin(), index.entries.end(),
                     [](const BlockNameIndex::Entry& a, const BlockNameIndex::Entry& b) {
                         return dbCompareNoCase(a.name, b.name) < 0;
                     });
    index.stale = false;
    return 1;
}

int dbFindBlockInIndex(Drawing* drawing, std::string_view name, Handle& out) {
    out = Handle();
    if (!drawing) return 0;
    const auto& entries = drawing->blockNameIndex.entries;
    auto it = std::lower_bound(entries.begin(), entries.end(), name, nameLess);
    if (it == entries.end() || !dbEqualsNoCase(it->name, name)) return 0;
    out = it->handle;
    return 1;
}

void dbMarkBlockIndexStale(Drawing* drawing) {
    if (drawing) drawing->blockNameIndex.stale = true;
}

void dbResetBlockIndex(Drawing* drawing) {
    if (!drawing) return;
    drawing->blockNameIndex.entries.clear();
    drawing->blockNameIndex.stale = true;
}

void dbFreeBlockNameIndex(Drawing* drawing) {
    if (!drawing) return;
    drawing->blockNameIndex.entries = {};
    drawing->blockNameIndex.stale = true;
}

int32_t dbBlockIndexCount(const Drawing* drawing) {
    return drawing ? int32_t(drawing->blockNameIndex.entries.size()) : 0;
}

int dbBlockIndexNeedsRebuild(const Drawing* drawing, int32_t blockCount) {
    if (!drawing) return 0;
    const BlockNameIndex& index = drawing->blockNameIndex;
    return index.stale || int32_t(index.entries.size()) != blockCount ? 1 : 0;
}

int dbRebuildBlockNameIndex(Drawing* drawing) {
    if (!drawing) return 0;
    return dbBuildBlockNameIndex(drawing, dbListCount(&drawing->blocks));
}

} // namespace tracemill
