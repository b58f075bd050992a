// Fuzz harness for display generation: the input is a DXF file (ASCII or binary); a drawing that
// loads is given a display context, zoomed to its extents and drawn through the counting hook
// set, as a host draws it. A pass stops itself after a bounded amount of output (through the
// refresh hook, which every output and every cell of a block reference counts towards), so that
// an input asking for billions of primitives replays in bounded time.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_load.h"
#include "toolkit/display/display_access.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/display/display_interface.h"
#include "toolkit/display/hook_sets/hook_counter.h"

using namespace tracemill;

namespace {

// Refresh calls (one per 100 outputs) before the pass is stopped.
constexpr int kRefreshBudget = 2000;
int gRefreshesLeft = 0;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!fuzz::startToolkit() || size == 0) return 0;
    Drawing* drawing = fuzz::openAsDrawingFile(std::span<const uint8_t>(data, size), ".dxf");
    if (!drawing) return 0;
    static HookCounter counter;
    counter.install();
    dbSetDisplayListMode(0);
    dbSetRefreshHook([](HostWord) {
        if (--gRefreshesLeft <= 0) genStopDisplay();
    });
    const HostRect device{0, 0, 800, 600};
    ViewBlock view;
    if (genBeginDisplay(drawing, view, device, nullptr, nullptr)) {
        for (int pass = 0; pass < 2; ++pass) {  // the extents, then the view of them
            gRefreshesLeft = kRefreshBudget;
            genGetViewBlock(drawing, view);
            genPrepareView(drawing, view, device, nullptr);
            genDrawDrawing(drawing);
        }
        dbFreeDisplayContext(drawing);
    }
    dbSetRefreshHook(nullptr);
    counter.uninstall();
    counter.clear();
    dbFreeDrawing(drawing);
    return 0;
}
