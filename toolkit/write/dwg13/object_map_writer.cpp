#include "toolkit/write/dwg13/object_map_writer.h"

#include <algorithm>
#include <queue>
#include <utility>

#include "toolkit/core/system_context.h"
#include "toolkit/write/dwg13/bit_writer.h"
#include "toolkit/write/dwg13/crc16.h"
#include "toolkit/write/dwg13/object_framing.h"

namespace tracemill {
namespace {

Dwg13MapRuns& runs(OutputContext& output) { return output.dwg13->map; }

bool byHandle(const Dwg13MapEntry& a, const Dwg13MapEntry& b) { return a.handle < b.handle; }

} // namespace

void wrAppendMapEntry(std::vector<uint8_t>& section, Handle handleDifference, int32_t positionDifference) {
    uint8_t bytes[10];
    int n = wrModularChar(bytes, handleDifference);
    section.insert(section.end(), bytes, bytes + n);
    n = wrSignedModularChar(bytes, positionDifference);
    section.insert(section.end(), bytes, bytes + n);
}

int wrMapBegin(OutputContext& output) {
    Dwg13MapRuns& map = runs(output);
    map = Dwg13MapRuns();
    map.run.reserve(kDwgMapRunSize);
    return 1;
}

int wrMapRecord(OutputContext& output, Handle handle, uint32_t position) {
    Dwg13MapRuns& map = runs(output);
    if (map.run.size() >= kDwgMapRunSize) wrMapFlushRun(output);
    map.run.push_back({handle, position});
    return 1;
}

int wrMapFlushRun(OutputContext& output) {
    Dwg13MapRuns& map = runs(output);
    if (map.run.empty()) return 1;
    std::stable_sort(map.run.begin(), map.run.end(), byHandle);
    map.flushed += map.run.size();
    map.sorted.push_back(std::move(map.run));
    map.run.clear();
    map.run.reserve(kDwgMapRunSize);
    return 1;
}

int wrMapWriteSection(OutputContext& output, std::vector<uint8_t>& section) {
    const size_t length = section.size();
    section[0] = uint8_t(length >> 8);
    section[1] = uint8_t(length);
    const uint16_t crc = wrCrc16(kCrcSeedRecords, section.data(), length);
    section.push_back(uint8_t(crc >> 8));
    section.push_back(uint8_t(crc));
    return wrDwgPutFileBytes(output, section.data(), section.size());
}

int wrWriteObjectMap(OutputContext& output) {
    wrMapFlushRun(output);
    Dwg13MapRuns& map = runs(output);
    if (map.flushed == 0) return dbSetError(kErrorDwgMapNotWritten);
    // The runs are merged: the next entry is the smallest handle among the runs' cursors (the
    // first run wins a tie), taken from a heap of the cursors.
    using Cursor = std::pair<size_t, size_t>; // run, entry
    auto later = [&](const Cursor& a, const Cursor& b) {
        const Handle ha = map.sorted[a.first][a.second].handle;
        const Handle hb = map.sorted[b.first][b.second].handle;
        return ha == hb ? a.first > b.first : hb < ha;
    };
    std::priority_queue<Cursor, std::vector<Cursor>, decltype(later)> cursors(later);
    for (size_t r = 0; r < map.sorted.size(); ++r)
        if (!map.sorted[r].empty()) cursors.push({r, 0});
    std::vector<uint8_t> section(2);
    Handle previousHandle;
    int64_t previousPosition = 0;
    Handle last;
    size_t written = 0;
    while (!cursors.empty()) {
        const Cursor at = cursors.top();
        cursors.pop();
        const Dwg13MapEntry entry = map.sorted[at.first][at.second];
        if (at.second + 1 < map.sorted[at.first].size()) cursors.push({at.first, at.second + 1});
        if (written > 0 && entry.handle == last) {
            if (gSystemContext) gSystemContext->errorHandle = entry.handle;
            return dbSetError(kErrorDwgMapRepeatedHandle);
        }
        last = entry.handle;
        wrAppendMapEntry(section, Handle(entry.handle.value - previousHandle.value),
                         int32_t(int64_t(entry.position) - previousPosition));
        previousHandle = entry.handle;
        previousPosition = entry.position;
        ++written;
        if (section.size() >= kDwgMapSectionFull) {
            if (!wrMapWriteSection(output, section)) return dbSetError(kErrorDwgMapNotWritten);
            section.assign(2, 0);
            previousHandle = Handle();
            previousPosition = 0;
        }
    }
    if (section.size() > 2 && !wrMapWriteSection(output, section)) return dbSetError(kErrorDwgMapNotWritten);
    std::vector<uint8_t> empty(2);
    if (!wrMapWriteSection(output, empty)) return dbSetError(kErrorDwgMapNotWritten);
    map = Dwg13MapRuns();
    return int(written);
}

} // namespace tracemill
