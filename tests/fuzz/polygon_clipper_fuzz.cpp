// Fuzz harness for the polygon clipper and its text form.
//
// Input: two polygons in the clipper's text form, one after the other; a first byte 'h' says
// that they carry hole flags. Both are clipped with every operation, as contours and as
// strips, and each is turned into strips alone. Every result contour has three or more
// vertices, every strip three or more points.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "toolkit/display/clip/polygon_clipper.h"

using namespace tracemill;

namespace {

// Inputs with more vertices than this are read but not clipped, so that one run stays short.
constexpr size_t kMostVertices = 400;

size_t vertexCount(const LoopSet& polygon) {
    size_t count = 0;
    for (const Loop& loop : polygon.loops)
        count += loop.points.size();
    return count;
}

void check(const LoopSet& result) {
    for (const Loop& loop : result.loops)
        if (loop.points.size() < 3) std::abort();
}

void check(const StripSet& result) {
    for (const std::vector<Point2>& strip : result.strips)
        if (strip.size() < 3) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool holeFlags = size > 0 && data[0] == 'h';
    if (holeFlags) {
        ++data;
        --size;
    }
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!file) return 0;
    LoopSet subject, clip;
    genClipReadPolygon(file, holeFlags, subject);
    genClipReadPolygon(file, holeFlags, clip);
    std::fclose(file);
    if (vertexCount(subject) + vertexCount(clip) > kMostVertices) return 0;
    for (ClipOp op : {ClipOp::kDifference, ClipOp::kIntersection, ClipOp::kExclusiveOr, ClipOp::kUnion}) {
        LoopSet result;
        genClipPolygons(op, subject, clip, result);
        check(result);
        StripSet strips;
        genClipToStrips(op, subject, clip, strips);
        check(strips);
    }
    StripSet strips;
    genPolygonToStrips(subject, strips);
    check(strips);
    genPolygonToStrips(clip, strips);
    check(strips);
    std::FILE* sink = std::fopen("/dev/null", "w");
    if (sink) {
        genClipWritePolygon(sink, holeFlags, subject);
        std::fclose(sink);
    }
    return 0;
}
