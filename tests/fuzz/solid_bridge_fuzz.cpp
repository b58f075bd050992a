// Fuzz harness for the solid drawing bridge: the SAT parser, the wireframe renderer with its
// surface curves and point-in-face classification, and the curve emitters.
//
// Input: a SAT text, handed to genDrawSolidFromSat through its read callback in pieces of up
// to 512 bytes, drawn with 4 surface curves per kind and 10 segments per span. The host
// rejects what a host must never see: a vertex that is not finite, a vertex outside a
// primitive, a primitive begun inside another or of a mode other than 1 and 3, a callback with
// another user pointer. Kernel messages are dropped.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/kernel_state.h"
#include "toolkit/acis/sat/solid_drawing_bridge.h"

using namespace tracemill;

namespace {

struct Host {
    const uint8_t* data;
    size_t size;
    size_t offset = 0;
    bool open = false;
};

// The host of the run in progress: every callback must bring it.
Host* gHost = nullptr;

Host& hostOf(void* user) {
    if (user != gHost) std::abort();
    return *gHost;
}

int32_t readText(char* buffer, int32_t maximum, void* user) {
    Host& host = hostOf(user);
    if (maximum != 512) std::abort();
    const size_t count = std::min(size_t(maximum), host.size - host.offset);
    std::memcpy(buffer, host.data + host.offset, count);
    host.offset += count;
    return int32_t(count);
}

void beginPrimitive(int32_t mode, void* user) {
    Host& host = hostOf(user);
    if (host.open || (mode != 1 && mode != 3)) std::abort();
    host.open = true;
}

void endPrimitive(void* user) {
    Host& host = hostOf(user);
    if (!host.open) std::abort();
    host.open = false;
}

void addVertex(double x, double y, double z, void* user) {
    Host& host = hostOf(user);
    if (!host.open || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ostream dropped(nullptr);
    std::ostream* previous = setKernelDiagnostics(&dropped);
    Host host{data, size};
    gHost = &host;
    SatCallbackRecord record;
    record.read = readText;
    record.begin = beginPrimitive;
    record.end = endPrimitive;
    record.vertex = addVertex;
    record.user = &host;
    record.outputValue = 10;
    record.settingsWordA = 4;
    if (genDrawSolidFromSat(record) != 0 || host.open) std::abort();
    setKernelDiagnostics(previous);
    acisResetKernelState();
    return 0;
}
