// LWPOLYLINE entities written to formats that do not know them (R13 and older): each becomes a
// POLYLINE, one VERTEX per point and a SEQEND. The POLYLINE keeps the LWPOLYLINE's handle; the
// VERTEX and SEQEND entities take handles from a run reserved for them before the save.
//
// The records handed to the writer use the database's own type codes (POLYLINE 19, VERTEX 20,
// SEQEND 17): each writer numbers them in its format as it does every other entity (the R13
// writer as a 2D POLYLINE, a 2D VERTEX and a SEQEND).
#pragma once

#include <cstdint>
#include <functional>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_record.h"

namespace tracemill {

// The handles of converted polylines for one save, kept by the writer's output state.
struct LwpolyConversion {
    Handle counter;  // the next handle of the reserved run
    Handle end;      // the first handle after the run
    Handle first;    // the handles of the polyline being written
    Handle last;
};

// The version index from which files know LWPOLYLINE ("AC1014").
inline constexpr int16_t kFirstVersionWithLwpolyline = 6;

// The POLYLINE of an LWPOLYLINE: its header (type POLYLINE), its elevation, start and end width the constant width when bit 4 is set, closed (1) from bit 512 and
// linetype generation (128) from bit 256.
void dbLwpolyToPolylineHeader(const EntityRecord& lwpolyline, EntityRecord& polyline);

// A VERTEX (or, with the type changed, the SEQEND) of that polyline: the polyline's header
// without handle, reactors, extension dictionary and extended data, which stay with the
// POLYLINE; an empty VERTEX body.
void dbInitVertexRecord(const EntityHeader& polyline, EntityRecord& vertex);

// One vertex of the LWPOLYLINE into a VERTEX body: the point, the bulge when bit 16 is set,
// the widths when bit 32 is set (else 0). Without a constant width (bit 4) each width that
// differs from the polyline's default gets its flag.
void dbLwpolyVertex(const LwpolylineVertex& source, const LwpolylineBody& lwpolyline, double defaultStartWidth,
                    double defaultEndWidth, VertexBody& out);

// Reserves the handles of every LWPOLYLINE of every block before a save without LWPOLYLINE
// (when the drawing declares the class): one per vertex and one for the SEQEND. The run
// starts at the handle seed + 1; the seed moves past it (by the count + 2). Without an
// LWPOLYLINE nothing is reserved. 1, 0 for a null drawing.
int dbReserveLwpolyHandles(Drawing* drawing, LwpolyConversion& conversion);
// The same from a seed of the caller's (a save's copy), which moves past the run; the drawing
// is not changed.
int dbReserveLwpolyHandles(const Drawing& drawing, Handle& seed, LwpolyConversion& conversion);

// Takes `count` handles for one polyline from the run: `first` to `last`. 0 when the run has
// fewer left (nothing reserved, or the drawing changed since).
int dbReserveConversionHandles(LwpolyConversion& conversion, uint32_t count);

// Writes one entity through the writer's entity function. For a file older than
// kFirstVersionWithLwpolyline an LWPOLYLINE is written as POLYLINE, its VERTEX entities and
// a SEQEND; every other entity is passed on as it is. 1, or 0 when the writer fails or no
// handles are left for the conversion.
using EntityWriteFunction = std::function<int(const EntityRecord& entity)>;
int dbWriteLwpolyAsPolyline(Drawing* drawing, int16_t outputVersion, LwpolyConversion& conversion,
                            const EntityRecord& entity, const EntityWriteFunction& write);

} // namespace tracemill
