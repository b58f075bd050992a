// 3DSOLID, REGION and BODY through output hook slot 34. The toolkit's default hook hands the
// entity's SAT text to the solids kernel's wireframe renderer (genDrawSolidFromSat), collects
// the vertices of each wire it reports and draws the wire through the linetype drawer: a
// connected wire as a polyline, a wire of separate segments two vertices at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/display/solid_hook_parameters.h"

namespace tracemill {

struct Drawing;
struct OpenStream;
struct PagedStream;
struct SatCallbackRecord;

// Wire kinds the renderer reports.
inline constexpr int32_t kWireSeparateSegments = 1;
inline constexpr int32_t kWireConnected = 3;
// Vertex slots the accumulator grows by.
inline constexpr int32_t kWireGrowth = 128;

// The vertices of the wire being reported.
struct WireAccumulator {
    int32_t kind = 0;
    std::vector<Point3> vertices;
    int32_t freeSlots = 0;
    int32_t growths = 0;       // how often the buffer grew for this wire
    bool outOfMemory = false;  // a vertex could not be stored: the wire is not drawn
};

// The state the callbacks of one solid share.
struct SolidDrawState {
    SolidHookParameters* parameters = nullptr;
    OpenStream* stream = nullptr;  // the SAT text, open for reading
    int32_t bytesLeft = 0;
    WireAccumulator wire;
};

// The renderer: genDrawSolidFromSat, or what a test puts in its place.
using SolidRenderer = int32_t (*)(const SatCallbackRecord& record);

// The default of slot 34: draws the solid's wireframe through genDrawSolidFromSat. 0 (what the
// renderer gives), at once when the solid has no SAT text.
int genDefaultSolidHook(SolidHookParameters& parameters);

// The same with the renderer given.
int genDrawSolidWires(SolidHookParameters& parameters, SolidRenderer renderer);

// The callbacks of the record (`state` is the SolidDrawState). Read: copies up to n further
// bytes of SAT text into the buffer, the count copied (0 at the end or when the stream fails).
int32_t genSatRead(char* buffer, int32_t n, void* state);
// Begin: clears the wire and keeps its kind.
void genWireBegin(int32_t kind, void* state);
// Vertex: appends one, growing the buffer by 128 slots when it is full; a vertex that cannot be
// stored drops the whole wire.
void genWireVertex(double x, double y, double z, void* state);
// End: draws the wire (a connected one from vertex to vertex, one of separate segments from
// each even vertex to the next; other kinds nothing) and clears it.
void genWireEnd(void* state);

// One segment of a wire through the linetype drawer with the solid's matrices, linetype and
// identity.
void genWireSegment(SolidDrawState& state, const Point3& p1, const Point3& p2);

} // namespace tracemill
