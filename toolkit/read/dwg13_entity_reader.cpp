#include "toolkit/read/dwg13_entity_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/read/dwg13_class_entity_layouts.h"
#include "toolkit/read/dwg13_dimension_layouts.h"

namespace tracemill {
namespace {

constexpr int kStreamPageSize = 4096;

// Entity kinds of the DWG types 1 to 47 (0: the type names no entity).
constexpr std::array<uint16_t, 48> kKindOfType = {
    0,                     // 0
    kEntityText,           // 1 TEXT
    kEntityAttribute,      // 2 ATTRIB
    kEntityAttributeDefinition,
    kEntityBlock,
    kEntityEndBlock,
    kEntitySequenceEnd,
    kEntityInsert, // 7 INSERT
    kEntityInsert, // 8 MINSERT
    0,             // 9
    kEntityVertex,
    kEntityVertex,
    kEntityVertex,
    kEntityVertex,
    kEntityVertex, // 10-14 VERTEX
    kEntityPolyline,
    kEntityPolyline, // 15, 16 POLYLINE
    kEntityArc,
    kEntityCircle,
    kEntityLine,
    kEntityDimension,
    kEntityDimension,
    kEntityDimension,
    kEntityDimension,
    kEntityDimension,
    kEntityDimension,
    kEntityDimension, // 20-26 DIMENSION
    kEntityPoint,
    kEntityFace3d,
    kEntityPolyline,
    kEntityPolyline, // 29, 30 POLYLINE PFACE, MESH
    kEntitySolid,
    kEntityTrace,
    kEntityShape,
    kEntityViewport,
    kEntityEllipse,
    kEntitySpline,
    kEntityRegion,
    kEntitySolid3d,
    kEntityBody,
    kEntityRay,
    kEntityXline,
    0, // 42 DICTIONARY
    0, // 43
    kEntityMtext,
    kEntityLeader,
    kEntityTolerance,
    kEntityMline,
};

Point3 minus(const Point3& a, const Point3& b) { return Point3{a.x - b.x, a.y - b.y, a.z - b.z}; }
Point3 cross(const Point3& a, const Point3& b) {
    return Point3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(const Point3& a, const Point3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(const Point3& a) { return std::sqrt(dot(a, a)); }

} // namespace

void rdDwg13MarkSplineShape(SplineBody& spline) {
    const std::vector<Point3>& points =
        spline.data.fitPoints.empty() ? spline.data.controlPoints : spline.data.fitPoints;
    if (!spline.data.fitPoints.empty() && spline.data.fitPoints.front() == spline.data.fitPoints.back())
        spline.flags |= 0x01;
    constexpr double kTolerance = 1e-12;
    if (points.size() < 3) {
        spline.flags |= 0x18;
        return;
    }
    const Point3& origin = points.front();
    double extent = 1.0;
    for (const Point3& p : points)
        extent = std::max({extent, std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    const double tolerance = kTolerance * extent;
    auto differs = [&](const Point3& p) {
        const Point3 d = minus(p, origin);
        return std::fabs(d.x) >= kTolerance || std::fabs(d.y) >= kTolerance || std::fabs(d.z) >= kTolerance;
    };
    const auto second = std::find_if(points.begin() + 1, points.end(), differs);
    if (second == points.end()) {
        spline.flags |= 0x18;
        return;
    }
    const Point3 axis = minus(*second, origin);
    const auto offLine = std::find_if(second + 1, points.end(), [&](const Point3& p) {
        return length(cross(axis, minus(p, origin))) > tolerance * length(axis);
    });
    if (offLine == points.end()) {
        spline.flags |= 0x18;
        return;
    }
    Point3 normal = cross(axis, minus(*offLine, origin));
    const double n = length(normal);
    normal = Point3{normal.x / n, normal.y / n, normal.z / n};
    const bool planar = std::all_of(points.begin(), points.end(), [&](const Point3& p) {
        return std::fabs(dot(normal, minus(p, origin))) <= tolerance;
    });
    if (planar) spline.flags |= 0x08;
}

namespace {

// The reading of one entity: its record, its common values and where its handles start.
class EntityRead {
  public:
    EntityRead(const Dwg13Objects& objects, Dwg13Record& record, Dwg13EntityReaderState& state, EntityRecord& out,
               Dwg13EntityLinks& links)
        : objects_(objects), record_(record), state_(state), out_(out), links_(links), io_(objects.fields(record)) {}

    bool read();

  private:
    EntityHeader& header() { return out_.header; }
    const ClassList& classes() const { return state_.drawing->classes; }

    template <class Body> Body& body() { return out_.body.emplace<Body>(); }
    bool readFixed(uint16_t type);
    bool readClass(uint16_t type);
    bool readProxy(uint16_t type);
    void attachGraphics(OwnedStream& target);
    void keepLayersThatExist(HandleList& layers);

    const Dwg13Objects& objects_;
    Dwg13Record& record_;
    Dwg13EntityReaderState& state_;
    EntityRecord& out_;
    Dwg13EntityLinks& links_;
    Dwg13FieldReader io_;
    Dwg13EntityCommon common_;
};

void EntityRead::attachGraphics(OwnedStream& target) {
    const std::vector<uint8_t>& graphics = record_.prologue.graphics;
    if (!record_.prologue.hasGraphics) return;
    if (PagedStream* stream = target.create(kStreamPageSize)) stream->bytes = graphics;
}

void EntityRead::keepLayersThatExist(HandleList& layers) {
    std::erase_if(layers, [&](Handle layer) { return !dbLookupNode(*state_.drawing, state_.drawing->layers, layer); });
}

bool EntityRead::readFixed(uint16_t type) {
    Dwg13EntityExtras& x = state_.extras;
    if (!dwg13FixedEntity(io_, type, header(), out_.body, common_, x)) return false;
    switch (type) {
    case kDwgBlock: {
        BlockBeginBody& b = out_.body.as<BlockBeginBody>();
        b.basePoint = state_.blockBasePoint;
        b.xrefPath = state_.blockXrefPath;
        break;
    }
    case kDwgInsert:
    case kDwgMinsert:
        links_.hasChildren = out_.body.as<InsertBody>().attributesFollow != 0;
        break;
    case kDwgPolyline2d:
    case kDwgPolyline3d:
    case kDwgPolylinePface:
    case kDwgPolylineMesh:
        links_.hasChildren = true;
        break;
    case kDwgViewport: {
        ViewportBody& b = out_.body.as<ViewportBody>();
        b.viewportEntityHeader = x.viewportEntityHeader;
        keepLayersThatExist(b.frozenLayers);
        break;
    }
    case kDwgSpline:
        rdDwg13MarkSplineShape(out_.body.as<SplineBody>());
        break;
    default:
        break;
    }
    return true;
}

bool EntityRead::readClass(uint16_t type) {
    ClassKind kind;
    if (!dbClassKindByNumber(classes(), type, kind) || !dbClassKindIsEntity(kind)) return false;
    if (!dwg13ClassEntity(io_, kind, header(), out_.body, common_, state_.extras)) return false;
    switch (kind) {
    case ClassKind::Image:
    case ClassKind::Wipeout:
        attachGraphics(out_.body.as<RasterImageBody>().graphics);
        break;
    case ClassKind::Rtext:
        attachGraphics(out_.body.as<RtextBody>().graphics);
        break;
    case ClassKind::ArcAlignedText:
        attachGraphics(out_.body.as<ArcAlignedTextBody>().graphics);
        break;
    default:
        break;
    }
    return true;
}

// A generic proxy (498) or an entity of a class without a reader of its own: kept as data.
// A 2000 proxy whose data has its class's own form is read as that class when it is one the
// toolkit knows.
bool EntityRead::readProxy(uint16_t type) {
    ProxyEntityBody proxy;
    proxy.classNumber = type;
    if (type == kDwgTypeProxyEntity) {
        const uint64_t left = record_.prologue.bitSize > record_.bits.bitPosition()
                                  ? record_.prologue.bitSize - record_.bits.bitPosition()
                                  : 0;
        uint8_t originalForm = 1;
        if (io_.isR2000() || left > 68) dwg13ProxyEntityHead(io_, proxy, originalForm);
        if (io_.isR2000() && originalForm == 0 && proxy.proxyClassId >= kFirstClassNumber &&
            proxy.proxyClassId <= 0xFFFF) {
            const uint16_t proxied = uint16_t(proxy.proxyClassId);
            header().type = proxied;
            if (readClass(proxied)) return true;
        }
    }
    header().type = kEntityOfClassData;
    ProxyEntityBody& b = body<ProxyEntityBody>();
    b = std::move(proxy);
    dwg13ProxyEntityData(io_, header(), b, common_);
    attachGraphics(b.graphics);
    return true;
}

bool EntityRead::read() {
    const ObjectPrologue& prologue = record_.prologue;
    EntityHeader& h = header();
    h = EntityHeader();
    h.handle = prologue.handle;
    links_ = Dwg13EntityLinks();
    links_.fileType = prologue.type;

    // The fixed types of three class-based kinds (OLE2FRAME from R13 on, LWPOLYLINE and HATCH
    // from R14 on) are read as the drawing's class of that kind, declared when the file does not.
    uint16_t type = prologue.type;
    ClassList& list = state_.drawing->classes;
    uint16_t classNumber = 0;
    if (type == kDwgTypeOle2Frame) classNumber = dbAddDefaultClass(list, ClassKind::Ole2Frame);
    if (!io_.isR13() && type == kDwgTypeLwpolyline) classNumber = dbAddDefaultClass(list, ClassKind::Lwpolyline);
    if (!io_.isR13() && type == kDwgTypeHatch) classNumber = dbAddDefaultClass(list, ClassKind::Hatch);
    if (classNumber) type = classNumber;
    h.type = type;

    if (prologue.hasXData) {
        if (PagedStream* stream = h.xdata.create(kStreamPageSize)) stream->bytes = prologue.xdata;
        h.xdataSize = uint32_t(prologue.xdata.size());
    }

    common_.byLayerLinetype = state_.drawing->handles.byLayerLinetype;
    common_.byBlockLinetype = state_.drawing->handles.byBlockLinetype;
    common_.continuousLinetype = state_.continuousLinetype;
    dwg13EntityCommonData(io_, h, common_);

    bool known = type < kKindOfType.size() && kKindOfType[type] != 0 ? readFixed(type) : false;
    if (!known && type >= kFirstClassNumber) known = readClass(type);
    if (!known) readProxy(type);
    if (record_.bits.overrun()) return false;

    if (h.type < kKindOfType.size()) h.type = kKindOfType[h.type];
    if (h.extrusion == Point3{0.0, 0.0, 1.0})
        h.flags &= uint8_t(~kEntityHasExtrusion);
    else
        h.flags |= kEntityHasExtrusion;
    if ((h.type == kEntityBlock || h.type == kEntityEndBlock) && h.layer == kUnassignedHandle)
        h.layer = dbFirstRecordHandle(state_.drawing->layers);

    links_.owner = common_.owner;
    links_.next = common_.next;
    if (links_.hasChildren) {
        links_.firstChild = state_.extras.context.firstChild;
        links_.lastChild = state_.extras.context.lastChild;
        links_.sequenceEnd = state_.extras.context.sequenceEnd;
    }
    return true;
}

} // namespace

uint16_t rdDwg13EntityKind(uint16_t dwgType) { return dwgType < kKindOfType.size() ? kKindOfType[dwgType] : dwgType; }

int rdDwg13ReadEntity(const Dwg13Objects& objects, Handle handle, Dwg13EntityReaderState& state, EntityRecord& out,
                      Dwg13EntityLinks& links, uint8_t& hasXData) {
    hasXData = 0;
    Dwg13Record record;
    if (!objects.open(handle, record) || !record.isEntity) return 0;
    EntityRead read(objects, record, state, out, links);
    if (!read.read()) return 0;
    hasXData = record.prologue.hasXData ? 1 : 0;
    return 1;
}

} // namespace tracemill
