#include "toolkit/display/solid_wireframe.h"

#include <algorithm>
#include <new>

#include "toolkit/acis/sat/solid_drawing_bridge.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/display/linetype_drawer.h"

namespace tracemill {
namespace {

// The surface curves of cones, cylinders, spheres and tori the renderer is asked for.
constexpr int32_t kSurfaceCurves = 4;

void clearWire(WireAccumulator& wire) {
    wire.vertices.clear();
    wire.vertices.shrink_to_fit();
    wire.freeSlots = 0;
    wire.growths = 0;
    wire.outOfMemory = false;
}

} // namespace

int32_t genSatRead(char* buffer, int32_t n, void* user) {
    SolidDrawState& state = *static_cast<SolidDrawState*>(user);
    const int32_t count = std::min(std::max(n, 0), state.bytesLeft);
    if (count == 0 || !dbStreamGetBytes(state.stream, buffer, size_t(count))) return 0;
    state.bytesLeft -= count;
    return count;
}

void genWireBegin(int32_t kind, void* user) {
    WireAccumulator& wire = static_cast<SolidDrawState*>(user)->wire;
    clearWire(wire);
    wire.kind = kind;
}

void genWireVertex(double x, double y, double z, void* user) {
    WireAccumulator& wire = static_cast<SolidDrawState*>(user)->wire;
    if (wire.outOfMemory) return;
    if (wire.freeSlots == 0) {
        bool grown = dbAllocationAllowed();
        if (grown) {
            try {
                wire.vertices.reserve(wire.vertices.size() + size_t(kWireGrowth));
            } catch (const std::bad_alloc&) {
                grown = false;
            } catch (const std::length_error&) {
                grown = false;
            }
        }
        if (!grown) {
            // The wire's earlier vertices must not be drawn with a gap: the wire is dropped.
            wire.outOfMemory = true;
            return;
        }
        wire.freeSlots = kWireGrowth;
        ++wire.growths;
    }
    wire.vertices.push_back({x, y, z});
    --wire.freeSlots;
}

void genWireSegment(SolidDrawState& state, const Point3& p1, const Point3& p2) {
    const SolidHookParameters& p = *state.parameters;
    genDrawLinetypedSegment(p.drawing, p1, p2, p.matrices, p.linetype, nullptr, p.identity, 0.0);
}

void genWireEnd(void* user) {
    SolidDrawState& state = *static_cast<SolidDrawState*>(user);
    WireAccumulator& wire = state.wire;
    const std::vector<Point3>& v = wire.vertices;
    if (!wire.outOfMemory && state.parameters && state.parameters->drawing) {
        if (wire.kind == kWireConnected) {
            for (size_t i = 1; i < v.size(); ++i) genWireSegment(state, v[i - 1], v[i]);
        } else if (wire.kind == kWireSeparateSegments) {
            for (size_t i = 1; i < v.size(); i += 2) genWireSegment(state, v[i - 1], v[i]);
        }
    }
    clearWire(wire);
    wire.kind = 0;
}

int genDrawSolidWires(SolidHookParameters& parameters, SolidRenderer renderer) {
    if (!parameters.satText || !renderer) return 0;
    SolidDrawState state;
    state.parameters = &parameters;
    state.stream = dbStreamOpenRead(const_cast<PagedStream*>(parameters.satText));
    if (!state.stream) return 0;
    state.bytesLeft = dbStreamLength(state.stream);
    SatCallbackRecord record;
    record.read = genSatRead;
    record.begin = genWireBegin;
    record.end = genWireEnd;
    record.vertex = genWireVertex;
    record.user = &state;
    record.outputValue = parameters.curveResolution;
    record.settingsWordA = kSurfaceCurves;
    const int result = renderer(record);
    dbStreamCloseRead(state.stream);
    return result;
}

int genDefaultSolidHook(SolidHookParameters& parameters) {
    return genDrawSolidWires(parameters, genDrawSolidFromSat);
}

} // namespace tracemill
