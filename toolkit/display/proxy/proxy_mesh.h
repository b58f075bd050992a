// The two bulky records of proxy graphics: a mesh of rows x columns vertices, and a shell of
// vertices and a face list, each followed by the optional attributes of its edges, faces and
// vertices (colours, layers, linetypes, visibility; markers, normals and vertex data are read
// past). A count that does not fit the record's bytes, or a face list whose loops run past
// its end, makes the record unreadable: it is passed over whole.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/core/point.h"
#include "toolkit/display/proxy/proxy_stream.h"

namespace tracemill {

// Bits of the attribute flags of edges, faces and vertices.
inline constexpr int32_t kProxyColours = 0x1;
inline constexpr int32_t kProxyLayers = 0x2;
inline constexpr int32_t kProxyLinetypes = 0x4;
inline constexpr int32_t kProxyMarkers = 0x20;
inline constexpr int32_t kProxyVisibility = 0x40;
inline constexpr int32_t kProxyNormals = 0x80;
inline constexpr int32_t kProxyVertexOrientation = 0x400;

// The attributes of edges or faces; an empty array is one the record does not carry.
struct ProxyAttributes {
    std::vector<int16_t> colours;
    std::vector<int16_t> layers;
    std::vector<int16_t> linetypes;  // edges only
    std::vector<int32_t> visibility;
};

struct ProxyMesh {
    int32_t rows = 0;
    int32_t columns = 0;
    int32_t edgeCount = 0;  // (columns - 1) x rows + (rows - 1) x columns
    int32_t faceCount = 0;  // (columns - 1) x (rows - 1)
    std::vector<Point3> vertices;  // row by row
    ProxyAttributes edges;
    ProxyAttributes faces;
};

struct ProxyShell {
    int32_t edgeCount = 0;  // the sum of the loops' vertex counts
    int32_t faceCount = 0;  // the loops of a positive count
    std::vector<Point3> vertices;
    // Loops, each a count c and |c| vertex indexes: c > 0 opens a face, c < 0 a hole in it.
    std::vector<int32_t> faceList;
    ProxyAttributes edges;
    ProxyAttributes faces;
};

// Read the body of a mesh (rows, columns) or shell (vertex count) record: 1, or 0 when it is
// unreadable.
int pgReadMesh(ProxyCursor& body, int32_t rows, int32_t columns, ProxyMesh& mesh);
int pgReadShell(ProxyCursor& body, int32_t vertexCount, ProxyShell& shell);

} // namespace tracemill
