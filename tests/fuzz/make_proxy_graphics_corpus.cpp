// Writes the seed corpus of the proxy graphics harness: one small stream per record kind the
// player draws or reads (lines, polygons, circles and arcs, meshes and shells with their
// attributes, text, the state records, transforms and a clip boundary) and a few damaged ones.
// Usage: make_proxy_graphics_corpus DIR. The files are committed; run it again only when the
// seeds should change. The replay test also plays the proxy entities of the sample drawings.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "proxy_graphics_builder.h"
#include "toolkit/display/proxy/proxy_mesh.h"
#include "toolkit/display/proxy/proxy_stream.h"

using namespace tracemill;
using test::ProxyBody;
using test::ProxyRecordImage;

namespace {

ProxyBody meshBody() {
    ProxyBody body;
    body.longs({2, 3})
        .points({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}})
        .longs({kProxyColours | kProxyLayers | kProxyLinetypes | kProxyMarkers | kProxyVisibility})
        .shorts({1, 2, 3, 4, 5, 6, 7})
        .shorts({0, 1, 0, 1, 0, 1, 0})
        .shorts({-1, -2, 0, 1, -1, -2, 0})
        .longs({1, 2, 3, 4, 5, 6, 7})
        .longs({1, 0, 1, 0, 1, 0, 1})
        .longs({kProxyColours | kProxyLayers | kProxyMarkers | kProxyNormals | kProxyVisibility})
        .shorts({3, 4})
        .shorts({1, 0})
        .longs({1, 2})
        .points({{0, 0, 1}, {0, 0, 1}})
        .longs({1, 1})
        .longs({kProxyNormals | kProxyVertexOrientation})
        .points({{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}})
        .longs({0});
    return body;
}

ProxyBody shellBody() {
    ProxyBody body;
    body.longs({7})
        .points({{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {1, 1, 0}, {2, 1, 0}, {1, 2, 0}})
        .longs({9, 4, 0, 1, 2, 3, -3, 4, 5, 6})
        .longs({kProxyColours | kProxyVisibility})
        .shorts({1, 2, 3, 4, 5, 6, 7})
        .longs({1, 1, 0, 1, 1, 1, 1})
        .longs({kProxyLayers})
        .shorts({0})
        .longs({0});
    return body;
}

ProxyBody textWithOptions() {
    return ProxyBody()
        .points({{1, 2, 0}, {0, 0.6, 0.8}, {1, 0, 0}})
        .string("OPTIONS TEXT")
        .longs({7, 1})
        .doubles({0.5, 1.0, 0.1, 0.0})
        .longs({0, 1, 0, 1, 0})
        .string("romans.shx")
        .string("bigfont.shx");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_proxy_graphics_corpus DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const ProxyBody line = ProxyBody().pointList({{0, 0, 0}, {3, 1, 0}, {4, 4, 0}});
    const ProxyBody square = ProxyBody().pointList({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}});
    ProxyBody transform;
    transform.doubles({1, 0, 0, 5, 0, 1, 0, 2, 0, 0, 1, 0, 0, 0, 0, 1});
    const std::vector<std::pair<std::string, std::vector<ProxyRecordImage>>> seeds = {
        {"lines.bin", {{kProxyPolyline, line}, {kProxyPolylineWithNormal, line}, {kProxyExtents, ProxyBody().points({{0, 0, 0}, {4, 4, 0}})}}},
        {"polygons.bin", {{kProxyFill, ProxyBody().longs({1})}, {kProxyPolygon, square}, {kProxyFill, ProxyBody().longs({0})}, {kProxyPolygon, square}}},
        {"curves.bin",
         {{kProxyCircle, ProxyBody().point({1, 1, 0}).doubles({2}).point({0, 0, 1})},
          {kProxyArc, ProxyBody().point({1, 1, 0}).doubles({2}).point({0, 1, 1}).point({1, 0, 0}).doubles({2.5}).longs({0})},
          {kProxyCircle3P, ProxyBody().points({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}})},
          {kProxyArc3P, ProxyBody().points({{0, 0, 0}, {1, -1, 0}, {2, 0, 0}}).longs({0})}}},
        {"mesh.bin", {{kProxyMesh, meshBody()}, {kProxyFill, ProxyBody().longs({0})}, {kProxyMesh, meshBody()}}},
        {"shell.bin", {{kProxyShell, shellBody()}}},
        {"text.bin",
         {{kProxyText, ProxyBody().points({{0, 0, 0}, {0, 0, 1}, {1, 1, 0}}).doubles({1, 0.8, 0.2}).string("TEXT %%d")},
          {kProxyTextWithOptions, textWithOptions()}}},
        {"state.bin",
         {{kProxyColour, ProxyBody().longs({0})}, {kProxyColour, ProxyBody().longs({256})}, {kProxyLayer, ProxyBody().longs({1})},
          {kProxyLinetype, ProxyBody().longs({-1})}, {kProxyPolyline, line}, {kProxyLinetype, ProxyBody().longs({-2})},
          {kProxyLinetype, ProxyBody().longs({2})}, {kProxyPolyline, line}, {kProxyColour, ProxyBody().longs({300})},
          {19, ProxyBody().longs({1})}, {22, ProxyBody().raw({1, 2, 3, 0})}, {25, ProxyBody().doubles({1})}}},
        {"transforms.bin",
         {{kProxyPushTransform, transform}, {kProxyPolyline, line}, {kProxyPushTransform, transform}, {kProxyPolygon, square},
          {kProxyPopTransform, ProxyBody()}, {kProxyPopTransform, ProxyBody()}, {kProxyPopTransform, ProxyBody()}}},
        {"clip.bin",
         {{kProxyClipBoundary, ProxyBody().point({0, 0, 1}).point({0, 0, 0}).longs({2}).doubles({0, 0, 2, 2})},
          {kProxyPolyline, line},
          {kProxyClipBoundary, ProxyBody().point({0, 0, 1}).point({0, 0, 0}).longs({3}).doubles({0, 0, 3, 0, 0, 3})},
          {kProxyPolygon, square}}},
        {"infinite_lines.bin", {{kProxyXline, ProxyBody().points({{0, 0, 0}, {1, 1, 0}})}, {kProxyRay, ProxyBody().points({{0, 0, 0}, {1, 0, 0}})}}},
        {"damaged.bin",
         {{kProxyPolyline, ProxyBody().longs({1000}).point({1, 1, 0})}, {kProxyMesh, ProxyBody().longs({0x10000, 0x10000})},
          {kProxyShell, ProxyBody().longs({1}).point({0, 0, 0}).longs({3, 5, 0, 0})}, {kProxyColour, ProxyBody().longs({1}), -6},
          {kProxyPolyline, line}}},
    };
    for (const auto& [name, records] : seeds) {
        const std::vector<uint8_t> bytes = test::proxyStream(records);
        std::ofstream out(dir / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    return 0;
}
