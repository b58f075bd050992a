// The rows of the one table of differences that rewrite a drawing's dump into one form: an
// LWPOLYLINE and the POLYLINE, VERTEX and SEQEND records it is written as compare equal, and a
// change of any vertex, bulge, width, the elevation or the closed flag still shows.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "round_trip.h"
#include "version_differences.h"

namespace tracemill {
namespace {

const test::AllowedDifference& sharedRow(std::string_view id) {
    const auto rows = test::versionAllowedDifferences();
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const auto& row) { return row.id == id; });
    EXPECT_NE(found, rows.end()) << id;
    return *found;
}

// The common fields of an entity line up to its body.
std::string entityHead(const char* kind, int type, const char* handle) {
    return std::string("ENTITY ") + kind + " type=" + std::to_string(type) + " handle=" + handle +
           " layer=10 linetype=15 thickness=0 extrusion=(0,0,1) colour=256 flags=64 xdataSize=0 xdata=- reactors=[]";
}

struct PolylineVertex {
    const char* point; // "x,y"
    const char* bulge;
    const char* startWidth;
    const char* endWidth;
};

// An LWPOLYLINE of these vertices (flags 48: bulges and widths).
std::string lwpolyline(int flags, const char* elevation, const std::vector<PolylineVertex>& vertices) {
    std::string line = entityHead("LWPOLYLINE", 503, "44") + " flags=" + std::to_string(flags) +
                       " constantWidth=0 elevation=" + elevation + " vertices=[";
    for (size_t i = 0; i < vertices.size(); ++i) {
        const PolylineVertex& v = vertices[i];
        line += std::string(i ? "," : "") + "{point=(" + v.point + ") bulge=" + v.bulge + " startWidth=" +
                v.startWidth + " endWidth=" + v.endWidth + "}";
    }
    return line + "]";
}

// The POLYLINE, VERTEX and SEQEND records of a 2D polyline whose vertices lie at `z`.
test::DumpLines polyline(int flags, const char* elevation, const char* z, const std::vector<PolylineVertex>& vertices) {
    test::DumpLines lines{entityHead("POLYLINE", 19, "44") + " flags=" + std::to_string(flags) +
                          " curveType=0 meshM=0 meshN=0 defaultStartWidth=0 defaultEndWidth=0 elevation=" + elevation};
    const char* handles[] = {"50", "51", "52", "53"};
    for (size_t i = 0; i < vertices.size() && i < std::size(handles); ++i) {
        const PolylineVertex& v = vertices[i];
        lines.push_back(entityHead("VERTEX", 20, handles[i]) + " point=(" + v.point + "," + z + ") startWidth=" +
                        v.startWidth + " endWidth=" + v.endWidth + " hasStartWidth=1 hasEndWidth=1 bulge=" + v.bulge +
                        " tangentDirection=0 flags=0");
    }
    lines.push_back(entityHead("SEQEND", 6, "60"));
    return lines;
}

TEST(SharedDifferenceRows, EveryVertexOfA2dPolylineIsCompared) {
    const std::vector<PolylineVertex> three = {{"5,7", "0.5", "1", "2"}, {"6,8", "0.25", "3", "4"}, {"7,7", "0", "0", "0"}};
    auto changed = [&](size_t at, PolylineVertex v) {
        std::vector<PolylineVertex> out = three;
        out[at] = v;
        return out;
    };
    const test::RoundTripCase asR12Dxf{4, 1, 7, 0, {}};
    const test::RoundTripCase asR13Dwg{5, 0, 7, 0, {}};
    const struct {
        const char* name;
        test::RoundTripCase c;
        test::DumpLines first;
        test::DumpLines second;
        bool equal;
    } cases[] = {
        {"as POLYLINE of vertices at z 0", asR12Dxf, {lwpolyline(48, "2", three)}, polyline(0, "2", "0", three), true},
        {"as R13 DWG: vertices at the elevation", asR13Dwg, {lwpolyline(48, "2", three)}, polyline(0, "2", "2", three),
         true},
        {"closed", asR12Dxf, {lwpolyline(48 | 512, "0", three)}, polyline(1, "0", "0", three), true},
        {"the first point moved", asR12Dxf, {lwpolyline(48, "2", three)},
         polyline(0, "2", "0", changed(0, {"5,7.5", "0.5", "1", "2"})), false},
        {"the second bulge changed", asR12Dxf, {lwpolyline(48, "2", three)},
         polyline(0, "2", "0", changed(1, {"6,8", "-0.25", "3", "4"})), false},
        {"the second start width changed", asR12Dxf, {lwpolyline(48, "2", three)},
         polyline(0, "2", "0", changed(1, {"6,8", "0.25", "9", "4"})), false},
        {"the third end width changed", asR12Dxf, {lwpolyline(48, "2", three)},
         polyline(0, "2", "0", changed(2, {"7,7", "0", "0", "1"})), false},
        {"the third point moved", asR12Dxf, {lwpolyline(48, "2", three)},
         polyline(0, "2", "0", changed(2, {"7,8", "0", "0", "0"})), false},
        {"the last vertex lost", asR12Dxf, {lwpolyline(48, "2", three)},
         polyline(0, "2", "0", {three[0], three[1]}), false},
        {"another elevation", asR12Dxf, {lwpolyline(48, "2", three)}, polyline(0, "3", "0", three), false},
        {"R13 DWG vertices off the elevation", asR13Dwg, {lwpolyline(48, "2", three)},
         polyline(0, "2", "0", three), false},
        {"no longer closed", asR12Dxf, {lwpolyline(48 | 512, "0", three)}, polyline(0, "0", "0", three), false},
    };
    const test::AllowedDifference row = sharedRow("lwpolyline-as-polyline");
    for (const auto& c : cases) {
        test::RoundTripComparison comparison(std::span<const test::AllowedDifference>(&row, 1));
        EXPECT_EQ(comparison.compare(c.first, c.second, c.c).empty(), c.equal) << c.name;
    }
}

} // namespace
} // namespace tracemill
