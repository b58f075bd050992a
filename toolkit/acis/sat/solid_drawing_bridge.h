// The entry point by which display generation hands the SAT text of a 3DSOLID, REGION or BODY
// to the solids kernel and gets its wireframe back: genDrawSolidFromSat reads the text through
// the record's read callback, parses it, draws every body and reports each primitive through
// the record's begin, vertex and end callbacks. Nothing of the parsed model outlives the call.
#pragma once

#include <cstdint>

#include "toolkit/acis/render/gl_renderer_settings.h"

namespace tracemill {

// The callbacks and settings of one solid drawing, filled by the caller (every member cleared
// first) and read by the bridge.
struct SatCallbackRecord {
    // Copies up to `maximum` (512) further bytes of SAT text into `buffer`; returns how many it
    // copied, 0 at the end of the text.
    using ReadFunction = int32_t (*)(char* buffer, int32_t maximum, void* user);
    // Starts a primitive: mode 1, the vertices that follow are separate segments (two at a
    // time); mode 3, they are one connected polyline.
    using BeginFunction = void (*)(int32_t mode, void* user);
    // Ends the primitive: the caller draws what it collected.
    using EndFunction = void (*)(void* user);
    // One vertex in model coordinates.
    using VertexFunction = void (*)(double x, double y, double z, void* user);

    ReadFunction read = nullptr;
    BeginFunction begin = nullptr;
    EndFunction end = nullptr;
    VertexFunction vertex = nullptr;
    // Handed back to every callback; the bridge does not look into it.
    void* user = nullptr;
    // Word 5: line segments per NURBS span of the curve emitters (the entity's curve
    // resolution); 0 selects their defaults.
    int32_t outputValue = 0;
    // Word 6: surface curves of cones, cylinders, spheres and tori (callers pass 4).
    int32_t settingsWordA = 0;
    // Word 7: the tolerance hint of the renderer, used when it lies in 1..10, else 5.
    int32_t isoLineCount = 0;
    // Word 8: surface curves of spline surfaces (callers pass 0).
    int32_t settingsWordB = 0;
};

// Draws every body of the SAT text that record.read supplies through the record's callbacks.
// The caller opens its text before the call and closes it afterwards. Always 0: a text that
// does not parse (a version outside 103..600, no body, a broken stream) draws nothing, and a
// failure while drawing (memory exhausted) ends the call with everything freed.
int32_t genDrawSolidFromSat(const SatCallbackRecord& record);

// The renderer settings of a record: surface curves from words 6 (cones, cylinders, spheres,
// tori) and 8 (spline surfaces), the tolerance hint from word 7 (5 unless it lies in 1..10),
// silhouettes seen along (1, 1, 1) with (0, 1, 0) up.
GL_RendererSettings satRendererSettings(const SatCallbackRecord& record);

} // namespace tracemill
