// A hook set that counts the calls of every slot (see hook_recorder.h for the hook sets).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {
struct EntityRecord;
}

namespace tracemill {

// What the entities of one kind put out: counted from each call of slot 15 (entity begin) to
// the next.
struct KindCount {
    uint64_t entities = 0;
    uint64_t lines = 0;   // line-to calls
    uint64_t fills = 0;   // polygons, poly-polygons and triangle strips
    uint64_t raster = 0;  // raster data (slot 17)
    friend bool operator==(const KindCount&, const KindCount&) = default;
};

class HookCounter {
public:
    HookCounter() = default;
    ~HookCounter();
    HookCounter(const HookCounter&) = delete;
    HookCounter& operator=(const HookCounter&) = delete;

    void install();
    void uninstall();

    // Calls of slot i (the slot the toolkit called: a polygon counts for slot 2).
    uint64_t count(int slot) const { return counts_[size_t(slot)]; }
    // The calls that put something on the device: move-to, line-to, the fills, raster images,
    // pictures and embedded objects.
    uint64_t primitives() const;
    // The counts of every kind met, by the kind's name (entity_types.h, or its class's name).
    std::map<std::string, KindCount> kinds() const;
    void clear();
    // Called by the hooks.
    void add(int slot);
    // An entity of the drawing being drawn begins.
    void beginKind(const EntityRecord& entity);

private:
    std::array<uint64_t, kOutputHookSlotCount> counts_{};
    // Fixed kinds by number; class-based kinds, whose numbers differ from drawing to drawing,
    // by name.
    std::array<KindCount, 36> fixedKinds_{};
    std::map<std::string, KindCount> classKinds_;
    KindCount* current_ = nullptr;
    bool installed_ = false;
};

} // namespace tracemill
