// Reading one entity of an R13 to 2000 DWG file into an EntityRecord: the prologue, the common
// data, the type's layout (fixed types, the class-based entities the toolkit knows, proxies for
// any other class), the common handles, and the kind the database keeps it as.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/class_list.h"
#include "toolkit/core/entity_record.h"
#include "toolkit/core/handle.h"
#include "toolkit/read/dwg13_entity_dispatch.h"
#include "toolkit/read/dwg13_object_source.h"

namespace tracemill {

struct Drawing;

// What the walk of the entity chains needs from an entity besides its record.
struct Dwg13EntityLinks {
    uint16_t fileType = 0; // the object type the file gave
    Handle owner;          // for an entity of a block
    Handle next;           // the next entity of its chain
    bool hasChildren = false;
    Handle firstChild;  // first VERTEX or ATTRIB
    Handle lastChild;   // last VERTEX or ATTRIB
    Handle sequenceEnd; // its SEQEND
};

// The state entity reading keeps between entities of one load.
struct Dwg13EntityReaderState {
    Drawing* drawing = nullptr; // classes, layers and the linetypes the entity flags name
    Handle continuousLinetype;  // the header's CONTINUOUS linetype
    Dwg13EntityExtras extras;   // the last POLYLINE's values for its vertices, and the like
    // The block record whose entities are read: a BLOCK entity takes its base point and path.
    Point3 blockBasePoint;
    std::string blockXrefPath;
};

// The entity kind the database keeps for a fixed DWG entity type (1 to 47); other values are
// kept (class numbers) or give 0 (types that name no entity).
uint16_t rdDwg13EntityKind(uint16_t dwgType);

// The flags a SPLINE file leaves to the reader: closed (1) for fit points whose first and last
// are equal; linear and planar (0x18) when its points lie on a line, planar (0x08) when they lie
// in a plane. The points tested are the fit points when there are any, else the control points.
void rdDwg13MarkSplineShape(SplineBody& spline);

// Reads the entity of a handle. 1 when an entity was read; 0 when the map does not know the
// handle, the record is damaged or it holds no entity. `hasXData` is set when the entity carries
// extended data, which `out.header.xdata` then holds in the raw form of the object prologue.
int rdDwg13ReadEntity(const Dwg13Objects& objects, Handle handle, Dwg13EntityReaderState& state, EntityRecord& out,
                      Dwg13EntityLinks& links, uint8_t& hasXData);

} // namespace tracemill
