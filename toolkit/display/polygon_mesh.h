// The meshes of a POLYLINE: a polyface mesh (vertex records, then face records that number
// their corners, a negative number hiding the edge that starts at it) and an M x N polygon
// mesh (rows of vertices, open or closed in either direction), drawn as their edge networks
// through the linetype drawer, each edge a run of its own unless the polyline's pattern runs
// on across its vertices.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/core/table_records.h"
#include "toolkit/core/matrix4.h"

namespace tracemill {

struct Drawing;
struct EntityRecord;
struct PolylineBody;

// Error numbers (each with the error callback 2): the mesh's vertex list or rows; the copy of
// the first row of a mesh closed in M.
inline constexpr int kErrorMeshVerticesNoMemory = 264;
inline constexpr int kErrorMeshFirstRowNoMemory = 266;

// Draws a polyface mesh from the entities that follow its POLYLINE (up to the SEQEND): the
// vertices (VERTEX with flag 64) are numbered from 1; each face record (a VERTEX without flag
// 64) draws its edges in its own colour (the layer's for BYLAYER, `defaultColour` for BYBLOCK,
// mapped through the colour-index map); an edge from a corner with a negative number is left
// out unless SPLFRAME is set, and so is an edge to a corner the mesh does not have. 1; 0 after
// error 264.
int genPolyfaceMesh(Drawing* drawing, const std::vector<const EntityRecord*>& following, int16_t defaultColour,
                    const Matrix4* matrices, const LinetypeRecord* linetype);

// Draws an M x N polygon mesh from the VERTEX entities that follow its POLYLINE: M x N from
// the surface densities when the polyline has a smooth surface type and both densities (one
// vertex passed over first), else from its mesh counts; closed in M (flag 1) and in N (flag
// 32) as the polyline says. A SEQEND met early ends the mesh. 1; 0 after error 264 or 266.
int genPolygonMesh(Drawing* drawing, const PolylineBody& polyline, const std::vector<const EntityRecord*>& following,
                   const Matrix4* matrices, const LinetypeRecord* linetype);

// One row of a polygon mesh after the first: each vertex joined to the one before it and to
// the one above it, and, closed in N, the last column back to the first (an outline of the
// four corners).
void genPolygonMeshRow(Drawing* drawing, const std::vector<Point3>& above, const std::vector<Point3>& row,
                       bool closedInN, const Matrix4* matrices, const LinetypeRecord* linetype);

} // namespace tracemill
