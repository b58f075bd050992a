// What the benchmarks of the screen hook set share: the toolkit started from its built-in
// data, the GDI output state with the screen set installed, and all of it stopped again.
#pragma once

#include "app/render/gdi_output_state.h"
#include "app/render/hook_sets.h"
#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"

namespace tracemill::bench {

class ScreenSetToolkit {
public:
    ScreenSetToolkit() {
        dbUseBuiltinInitData();
        int error = 0;
        started_ = dbCreateSystemContext(nullptr, error) && dbInitToolkit();
        if (!started_) return;
        InitGdiOutputState();
        InstallScreenHooks();
    }
    ~ScreenSetToolkit() {
        if (started_) ReleaseGdiOutputState();
        dbTermToolkit();
        dbDestroySystemContext();
    }
    ScreenSetToolkit(const ScreenSetToolkit&) = delete;
    ScreenSetToolkit& operator=(const ScreenSetToolkit&) = delete;
    bool started() const { return started_; }

private:
    bool started_ = false;
};

} // namespace tracemill::bench
