#include "toolkit/write/dwg13/object_map_writer.h"

#include <algorithm>
#include <utility>

#include "toolkit/core/system_context.h"
#include "toolkit/codec/bit_writer.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dwg13/object_framing.h"

namespace tracemill {
namespace {

Dwg13MapRuns& runs(OutputContext& output) { return output.dwg13->map; }

bool byHandle(const Dwg13MapEntry& a, const Dwg13MapEntry& b) { return a.handle < b.handle; }

} // namespace

void wrAppendMapEntry(std::vector<uint8_t>& section, Handle handleDifference, int32_t positionDifference) {
    uint8_t bytes[16];
    const int n = wrModularChar(bytes, handleDifference);
    const int m = wrSignedModularChar(bytes + n, positionDifference);
    section.insert(section.end(), bytes, bytes + n + m);
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
    if (!std::is_sorted(map.run.begin(), map.run.end(), byHandle))
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
    std::vector<uint8_t> section(2);
    section.reserve(kDwgMapSectionFull + 32);
    Handle previousHandle;
    int64_t previousPosition = 0;
    Handle last;
    size_t written = 0;
    // Enters the next entry in handle order: 1, or 0 with the error set.
    auto enter = [&](const Dwg13MapEntry& entry) -> int {
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
        return 1;
    };
    // The runs are merged. The records of a save come in stretches of rising handles (the
    // controls, each block's entities, the tables, the objects), so the runs are laid end to
    // end, cut where the handles fall, and the stretches merged in pairs until one is left (each
    // round into the other of two buffers); a merge keeps the earlier of two equal handles first.
    std::vector<Dwg13MapEntry> entries;
    entries.reserve(map.flushed);
    for (const std::vector<Dwg13MapEntry>& run : map.sorted) entries.insert(entries.end(), run.begin(), run.end());
    map.sorted.clear();
    std::vector<size_t> starts = {0};
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].handle < entries[i - 1].handle) starts.push_back(i);
    starts.push_back(entries.size());
    std::vector<Dwg13MapEntry> scratch;
    while (starts.size() > 2) {
        scratch.resize(entries.size());
        const auto at = [](std::vector<Dwg13MapEntry>& v, size_t i) { return v.begin() + ptrdiff_t(i); };
        std::vector<size_t> merged = {0};
        size_t j = 0;
        for (; j + 2 < starts.size(); j += 2) {
            std::merge(at(entries, starts[j]), at(entries, starts[j + 1]), at(entries, starts[j + 1]),
                       at(entries, starts[j + 2]), at(scratch, starts[j]), byHandle);
            merged.push_back(starts[j + 2]);
        }
        if (j + 1 < starts.size()) {
            std::copy(at(entries, starts[j]), entries.end(), at(scratch, starts[j]));
            merged.push_back(starts.back());
        }
        entries.swap(scratch);
        starts = std::move(merged);
    }
    for (const Dwg13MapEntry& entry : entries)
        if (!enter(entry)) return 0;
    if (section.size() > 2 && !wrMapWriteSection(output, section)) return dbSetError(kErrorDwgMapNotWritten);
    std::vector<uint8_t> empty(2);
    if (!wrMapWriteSection(output, empty)) return dbSetError(kErrorDwgMapNotWritten);
    map = Dwg13MapRuns();
    return int(written);
}

} // namespace tracemill
