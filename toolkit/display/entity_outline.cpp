#include "toolkit/display/entity_outline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <span>

#include "toolkit/core/arc_segments.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/output_hook_table.h"
#include "toolkit/core/vector_utilities.h"
#include "toolkit/display/colour_and_width.h"
#include "toolkit/display/linetype_drawer.h"
#include "toolkit/display/spline_tessellation.h"

namespace tracemill {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Bulges smaller than this are straight segments.
constexpr double kStraightBulge = 5e-5;
// Transform entries this small are taken as 0.
constexpr double kTransformNoise = 1e-12;
// Region edge ends meet within (|p| + |q| + 1) times this, in x and in y.
constexpr double kChainTolerance = 1e-6;
// Edge modes of the SAT body drawer: separate segments of two vertices each.
constexpr int32_t kSatSegments = 1;
// Surface curves of cones, cylinders, spheres and tori the body drawer is asked for.
constexpr int32_t kRegionSurfaceCurves = 4;

// The stored entity of a handle, in whichever entity list holds it.
EntityRecord* storedEntity(Drawing& drawing, Handle handle) {
    ListLink* link = dbHandleTreeFind(drawing.handleIndex, handle);
    if (!link) return nullptr;
    for (BlockNode& block : drawing.blocks) {
        if (block.entityList && link->owner == block.entityList.get()) return &EntityList::asNode(link)->record;
    }
    return nullptr;
}

struct OutlineVertex {
    Point2 point;
    double bulge = 0.0;
};

// Appends a vertex, or the arc from the previous vertex to it when that one bulges (the arc
// starts at the previous vertex, which is written once).
void addOutlineVertex(const OutlineVertex& previous, bool hasPrevious, const Point2& point, int32_t count,
                      std::vector<Point2>& out) {
    if (hasPrevious && std::fabs(previous.bulge) >= kStraightBulge) {
        const double sweep = 4.0 * std::atan(previous.bulge);
        const ArcFromChord arc = dbArcCenterFromChord(previous.point, point, sweep);
        const double start = std::atan2(previous.point.y - arc.centre.y, previous.point.x - arc.centre.x);
        out.pop_back();
        genArcOutline(arc.centre, start, start + sweep, arc.radius, count, out);
        return;
    }
    out.push_back(point);
}

void polylineOutline(const std::vector<OutlineVertex>& vertices, int32_t count, std::vector<Point2>& out) {
    OutlineVertex previous;
    bool hasPrevious = false;
    for (const OutlineVertex& vertex : vertices) {
        if (hasPrevious && vertex.point == previous.point) continue;
        addOutlineVertex(previous, hasPrevious, vertex.point, count, out);
        previous = vertex;
        hasPrevious = true;
    }
    // The closing arc; a closing straight segment is left to the consumer of the outline.
    if (hasPrevious && std::fabs(previous.bulge) >= kStraightBulge) addOutlineVertex(previous, true, vertices.front().point, count, out);
}

// The vertices of a POLYLINE: the VERTEX entities after it, spline frame points left out.
std::vector<OutlineVertex> polylineVertices(Drawing& drawing, Handle polyline) {
    std::vector<OutlineVertex> vertices;
    ListLink* link = dbHandleTreeFind(drawing.handleIndex, polyline);
    for (link = link ? link->next : nullptr; link; link = link->next) {
        const EntityRecord& entity = EntityList::asNode(link)->record;
        if (entity.header.type != kEntityVertex) break;
        const VertexBody& vertex = entity.bodyAs<VertexBody>();
        if (vertex.flags & 16) continue;
        vertices.push_back({{vertex.point.x, vertex.point.y}, vertex.bulge});
    }
    return vertices;
}

Matrix4 matrixOf(const std::array<double, 12>& values) {
    Matrix4 m = kIdentityMatrix4;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            const double v = values[size_t(3 * row + column)];
            m.at(row, column) = std::fabs(v) <= kTransformNoise ? 0.0 : v;
        }
    }
    return m;
}

// --- Region outlines ---------------------------------------------------------------------------

// The work list of a region outline: the SAT text still to read, the edge mode of the body
// drawer, and the chains of points its edges make.
struct RegionOutlineList {
    std::span<const uint8_t> text;
    int32_t mode = 0;
    std::vector<std::vector<Point2>> chains;
};

int32_t genRegionRead(char* buffer, int32_t maximum, void* user) {
    RegionOutlineList& list = *static_cast<RegionOutlineList*>(user);
    const size_t n = std::min(list.text.size(), size_t(std::max(maximum, 0)));
    if (n) std::memcpy(buffer, list.text.data(), n);
    list.text = list.text.subspan(n);
    return int32_t(n);
}

void genRegionBegin(int32_t mode, void* user) {
    RegionOutlineList& list = *static_cast<RegionOutlineList*>(user);
    list.mode = mode;
    list.chains.emplace_back();
}

void genRegionEnd(void*) {}

void genRegionVertex(double x, double y, double, void* user) {
    RegionOutlineList& list = *static_cast<RegionOutlineList*>(user);
    if (list.chains.empty() || (list.mode == kSatSegments && list.chains.back().size() >= 2)) list.chains.emplace_back();
    list.chains.back().push_back({x, y});
}

bool samePoint(const Point2& p, const Point2& q) {
    return std::fabs(p.x - q.x) < (std::fabs(p.x) + std::fabs(q.x) + 1.0) * kChainTolerance &&
           std::fabs(p.y - q.y) < (std::fabs(p.y) + std::fabs(q.y) + 1.0) * kChainTolerance;
}

// Joins each chain, in list order, to the first other chain that ends where it starts (walked
// forward) or, failing that, where it ends (walked backward); the joined chain goes.
void joinChains(std::vector<std::vector<Point2>>& chains) {
    std::vector<bool> gone(chains.size(), false);
    for (size_t a = 0; a < chains.size(); ++a) {
        std::vector<Point2>& chain = chains[a];
        if (chain.empty()) {
            gone[a] = true;
            continue;
        }
        auto findEndingAt = [&](const Point2& p) -> std::vector<Point2>* {
            for (size_t b = 0; b < chains.size(); ++b) {
                if (b != a && !gone[b] && !chains[b].empty() && samePoint(chains[b].back(), p)) return &chains[b];
            }
            return nullptr;
        };
        if (std::vector<Point2>* into = findEndingAt(chain.front())) {
            into->insert(into->end(), chain.begin() + 1, chain.end());
        } else if (std::vector<Point2>* reversed = findEndingAt(chain.back())) {
            reversed->insert(reversed->end(), chain.rbegin() + 1, chain.rend());
        } else {
            continue;
        }
        chain.clear();
        gone[a] = true;
    }
    std::erase_if(chains, [](const std::vector<Point2>& chain) { return chain.empty(); });
}

} // namespace

void genArcOutline(const Point2& centre, double start, double end, double radius, int32_t count,
                   std::vector<Point2>& out) {
    const double sweep = end - start;
    const int32_t n = dbArcSegmentCount(count, sweep, 4 * count);
    const double step = sweep / n;
    const double c = std::cos(step), s = std::sin(step);
    double x = radius * std::cos(start), y = radius * std::sin(start);
    out.push_back({centre.x + x, centre.y + y});
    for (int32_t i = 0; i < n; ++i) {
        const double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
        out.push_back({centre.x + x, centre.y + y});
    }
}

void genEllipseOutline(const EllipseBody& ellipse, int32_t count, std::vector<Point2>& out) {
    double sweep = ellipse.endParameter - ellipse.startParameter;
    if (!std::isfinite(sweep)) return;
    sweep = std::fmod(sweep, kTwoPi);
    if (sweep <= 0.0) sweep += kTwoPi;
    const double mx = ellipse.majorAxis.x, my = ellipse.majorAxis.y;
    const double a = std::sqrt(mx * mx + my * my);
    const double b = a * ellipse.axisRatio;
    const double axis = dbVectorAngle2d(mx, my);
    const int32_t n = dbArcSegmentCount(count, sweep, 4 * count);
    const double step = sweep / n;
    const double ca = std::cos(axis), sa = std::sin(axis);
    const double cs = std::cos(step), ss = std::sin(step);
    double ct = std::cos(ellipse.startParameter), st = std::sin(ellipse.startParameter);
    for (int32_t i = 0; i <= n; ++i) {
        out.push_back({ellipse.centre.x + a * ct * ca - b * st * sa, ellipse.centre.y + a * ct * sa + b * st * ca});
        const double next = ct * cs - st * ss;
        st = st * cs + ct * ss;
        ct = next;
    }
}

void genRegionOutline(const AcisBody& region, int32_t count, std::vector<Point2>& out, SatWalker walker) {
    if (!region.satText || region.satText.size() == 0 || !walker) return;
    RegionOutlineList list;
    list.text = region.satText.bytes();
    SatCallbackRecord record;
    record.read = genRegionRead;
    record.begin = genRegionBegin;
    record.end = genRegionEnd;
    record.vertex = genRegionVertex;
    record.user = &list;
    record.outputValue = count;
    record.settingsWordA = kRegionSurfaceCurves;
    walker(record);

    joinChains(list.chains);
    for (const std::vector<Point2>& chain : list.chains) {
        out.insert(out.end(), chain.begin(), chain.end());
        if (!samePoint(chain.front(), chain.back())) out.push_back(chain.back());
    }
    for (size_t i = list.chains.size(); i-- > 1;) out.push_back(list.chains[i - 1].front());
}

int genEntityOutline(Drawing* drawing, Handle handle, std::vector<Point2>& out) {
    out.clear();
    EntityRecord* entity = drawing ? storedEntity(*drawing, handle) : nullptr;
    if (!entity) return 0;
    entity->header.flags |= kEntityAltCurveResolution;
    const int32_t count = gOutputHookTable ? gOutputHookTable->curveResolutionAlt : 10;
    const uint16_t type = entity->header.type;
    if (type == kEntityCircle) {
        const CircleBody& circle = entity->bodyAs<CircleBody>();
        genArcOutline({circle.centre.x, circle.centre.y}, 0.0, kTwoPi, circle.radius, count, out);
    } else if (type == kEntityEllipse) {
        genEllipseOutline(entity->bodyAs<EllipseBody>(), count, out);
    } else if (type == kEntitySpline) {
        if (!genDrawSpline(drawing, entity->bodyAs<SplineBody>(), nullptr, nullptr, nullptr, count, &out)) out.clear();
    } else if (type == kEntityRegion) {
        genRegionOutline(entity->bodyAs<AcisBody>(), count, out);
    } else if (type == kEntityPolyline) {
        polylineOutline(polylineVertices(*drawing, handle), count, out);
    } else if (type != 0 && type == dbClassLwpolyline(drawing->classes)) {
        std::vector<OutlineVertex> vertices;
        for (const LwpolylineVertex& v : entity->bodyAs<LwpolylineBody>().vertices) vertices.push_back({v.point, v.bulge});
        polylineOutline(vertices, count, out);
    } else {
        return 0;
    }
    return out.empty() ? 0 : 1;
}

void genClipBoundaryPoints(const SpatialFilterBody& filter, std::vector<Point3>& out) {
    out.clear();
    Matrix4 transform = matrixOf(filter.clipTransform);
    if (!genMatrixInverse(transform)) transform = kIdentityMatrix4;
    genMatrixMultiply(transform, matrixOf(filter.inverseBlockTransform), transform);
    auto add = [&](double x, double y) {
        Point4 p;
        genPointTransform({x, y, 0.0, 1.0}, transform, p);
        out.push_back({p.x, p.y, p.z});
    };
    const std::vector<Point2>& b = filter.boundary;
    if (b.size() == 2) {
        add(b[0].x, b[0].y);
        add(b[1].x, b[0].y);
        add(b[1].x, b[1].y);
        add(b[0].x, b[1].y);
        return;
    }
    for (const Point2& p : b) add(p.x, p.y);
}

void genDrawClipFrame(Drawing* drawing, const std::vector<Point3>& boundary, const Matrix4* matrices,
                      const LinetypeRecord* linetype) {
    if (!drawing || boundary.empty() || !gOutputHookTable) return;
    genSetColour(drawing, gOutputHookTable->colorIndexMap[7]);
    for (size_t i = 0; i < boundary.size(); ++i) {
        const Point3& from = boundary[i];
        const Point3& to = boundary[(i + 1) % boundary.size()];
        genDrawLinetypedSegment(drawing, from, to, matrices, linetype, nullptr, 0, 0.0);
    }
}

} // namespace tracemill
