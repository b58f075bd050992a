#include "toolkit/display/proxy/proxy_mesh.h"

#include <cstdlib>

namespace tracemill {
namespace {

// The attributes of `count` edges (with linetypes) or faces (with normals), as their flags say.
int readAttributes(ProxyCursor& c, int32_t count, bool edges, ProxyAttributes& out) {
    int32_t flags = 0;
    if (!pgGetLong(c, flags)) return 0;
    if (flags == 0) return 1;
    if ((flags & kProxyColours) && !pgGetShortArray(c, count, out.colours)) return 0;
    if ((flags & kProxyLayers) && !pgGetShortArray(c, count, out.layers)) return 0;
    if (edges && (flags & kProxyLinetypes) && !pgGetShortArray(c, count, out.linetypes)) return 0;
    if ((flags & kProxyMarkers) && !pgSkipLongs(c, count)) return 0;
    if (!edges && (flags & kProxyNormals) && !pgSkipPoints(c, count)) return 0;
    if ((flags & kProxyVisibility) && !pgGetLongArray(c, count, out.visibility)) return 0;
    return 1;
}

int readVertexData(ProxyCursor& c, int32_t count) {
    int32_t flags = 0;
    if (!pgGetLong(c, flags)) return 0;
    if ((flags & kProxyNormals) && !pgSkipPoints(c, count)) return 0;
    if ((flags & kProxyVertexOrientation) && !pgSkipLongs(c, 1)) return 0;
    return 1;
}

} // namespace

int pgReadMesh(ProxyCursor& body, int32_t rows, int32_t columns, ProxyMesh& mesh) {
    mesh = ProxyMesh{};
    if (rows < 1 || columns < 1 || int64_t(rows) * columns > int64_t(body.left() / 24)) return 0;
    const int32_t count = rows * columns;
    mesh.rows = rows;
    mesh.columns = columns;
    mesh.edgeCount = (columns - 1) * rows + (rows - 1) * columns;
    mesh.faceCount = (columns - 1) * (rows - 1);
    return pgGetPointArray(body, count, mesh.vertices) && readAttributes(body, mesh.edgeCount, true, mesh.edges) &&
           readAttributes(body, mesh.faceCount, false, mesh.faces) && readVertexData(body, count);
}

int pgReadShell(ProxyCursor& body, int32_t vertexCount, ProxyShell& shell) {
    shell = ProxyShell{};
    int32_t length = 0;
    if (!pgGetPointArray(body, vertexCount, shell.vertices) || !pgGetLong(body, length) ||
        !pgGetLongArray(body, length, shell.faceList))
        return 0;
    int64_t edges = 0;
    for (size_t i = 0; i < shell.faceList.size();) {
        const int64_t loop = std::llabs(int64_t(shell.faceList[i]));
        if (loop > int64_t(shell.faceList.size() - i - 1)) return 0;
        if (shell.faceList[i] > 0) ++shell.faceCount;
        edges += loop;
        i += size_t(loop) + 1;
    }
    shell.edgeCount = int32_t(edges);
    return readAttributes(body, shell.edgeCount, true, shell.edges) &&
           readAttributes(body, shell.faceCount, false, shell.faces) && readVertexData(body, vertexCount);
}

} // namespace tracemill
