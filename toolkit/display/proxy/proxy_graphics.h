// The player of proxy graphics: an entity of a class the toolkit does not model is drawn from
// the graphics stream that its application stored with it (proxy_stream.h). Lines, arcs,
// polygons, meshes, shells and text go through the same drawers as the entities of their kind;
// colour, layer, linetype and fill records change what follows until the stream ends, and a
// clip boundary clips it.
#pragma once

#include <cstdint>
#include <span>

#include "toolkit/core/table_records.h"
#include "toolkit/display/entity_pass_values.h"

namespace tracemill {

struct Drawing;
struct EntityHeader;
struct PagedStream;

// Error number: the per-viewport transforms of a circle or arc cannot be made.
inline constexpr int kErrorProxyArcTransforms = 255;

// Plays the stream for the entity; `pass` gives its matrices, colours and linetypes. FILLMODE
// is what fill records leave it only until the stream ends. 1 when played; 0 for a null stream
// (error 162) or when memory runs out (error callback 2).
int genDrawProxyGraphics(Drawing* drawing, const EntityHeader& header, const PagedStream* graphics,
                         const EntityPassValues& pass);

// The same over the bytes of a stream.
int genPlayProxyGraphics(Drawing* drawing, const EntityHeader& header, std::span<const uint8_t> graphics,
                         const EntityPassValues& pass);

// The layer at that position of the LAYER table (counted from 0): its colour and its linetype
// (null when the layer names none the drawing has). 0 for a position the table does not reach.
int genProxyLayer(Drawing* drawing, int32_t index, int16_t& colour, const LinetypeRecord*& linetype);

} // namespace tracemill
