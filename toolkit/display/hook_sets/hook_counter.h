// A hook set that counts the calls of every slot (see hook_recorder.h for the hook sets).
#pragma once

#include <array>
#include <cstdint>

#include "toolkit/core/output_hook_table.h"

namespace tracemill {

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
    void clear() { counts_ = {}; }
    // Called by the hooks.
    void add(int slot) { ++counts_[size_t(slot)]; }

private:
    std::array<uint64_t, kOutputHookSlotCount> counts_{};
    bool installed_ = false;
};

} // namespace tracemill
