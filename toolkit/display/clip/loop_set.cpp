#include "toolkit/display/clip/loop_set.h"

#include <algorithm>

#include "toolkit/display/clip/polygon_clipper.h"

namespace tracemill {

namespace {

size_t count(int32_t n) { return size_t(std::max(n, 0)); }

} // namespace

void genLoopSetFromPoints(LoopSet& set, int32_t n, const Point2* points) {
    set.loops.clear();
    genLoopSetAddLoop(set, n, points, 0);
}

void genLoopSetInit(LoopSet& set, int32_t n, const int32_t* counts) {
    set.loops.assign(count(n), Loop{});
    for (size_t i = 0; i < set.loops.size(); ++i) set.loops[i].points.resize(count(counts[i]));
}

void genLoopSetAddLoop(LoopSet& set, int32_t n, const Point2* points, int32_t hole) {
    Loop loop;
    loop.hole = hole;
    if (points) loop.points.assign(points, points + count(n));
    else loop.points.resize(count(n));
    set.loops.push_back(std::move(loop));
}

void genLoopSetCopy(LoopSet& destination, const LoopSet& source) { destination = source; }

void genLoopSetFree(LoopSet& set) { genClipFreePolygon(set); }

int32_t genLoopCount(const LoopSet& set) { return int32_t(set.loops.size()); }

int32_t genLoopPointCount(const LoopSet& set, int32_t i) { return int32_t(set.loops[size_t(i)].points.size()); }

Point2* genLoopPoints(LoopSet& set, int32_t i) { return set.loops[size_t(i)].points.data(); }

int32_t genLoopSetIntersect(const LoopSet& a, const LoopSet& b, LoopSet& result) {
    genClipPolygons(ClipOp::kIntersection, a, b, result);
    return genLoopCount(result);
}

int32_t genStripSetIntersect(const LoopSet& a, const LoopSet& b, StripSet& result) {
    genClipToStrips(ClipOp::kIntersection, a, b, result);
    return genStripCount(result);
}

int32_t genLoopSetToStrips(const LoopSet& set, StripSet& out) {
    genPolygonToStrips(set, out);
    return genStripCount(out);
}

void genStripSetFree(StripSet& strips) { genClipFreeStrips(strips); }

int32_t genStripCount(const StripSet& strips) { return int32_t(strips.strips.size()); }

int32_t genStripVertexCount(const StripSet& strips, int32_t i) { return int32_t(strips.strips[size_t(i)].size()); }

Point2* genStripVertices(StripSet& strips, int32_t i) { return strips.strips[size_t(i)].data(); }

} // namespace tracemill
