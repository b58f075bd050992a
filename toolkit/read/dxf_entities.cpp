// DXF entities: one entity per call, from its (0, name) group to the next code 0. The common
// groups every entity has come first; the kind's own groups go through its field table, and
// the groups that build lists (vertices, knots, hatch paths, texts in pieces) are read here.
// The names of the table records an entity refers to are left in the session's references
// for the entity section reader to resolve.
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <type_traits>

#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/hex_text.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/sat_transform.h"
#include "toolkit/core/vector_utilities.h"
#include "toolkit/core/matrix4.h"
#include "toolkit/read/dxf_bit_data.h"
#include "toolkit/read/dxf_entity_fields.h"
#include "toolkit/read/dxf_reader.h"

namespace tracemill {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDegree = std::numbers::pi / 180.0;

struct FixedName {
    std::string_view name;
    uint16_t type;
};

constexpr FixedName kFixedNames[] = {
    {"LINE", kEntityLine},       {"POINT", kEntityPoint},
    {"CIRCLE", kEntityCircle},   {"SHAPE", kEntityShape},
    {"ELLIPSE", kEntityEllipse}, {"SPLINE", kEntitySpline},
    {"TEXT", kEntityText},       {"ARC", kEntityArc},
    {"TRACE", kEntityTrace},     {"REGION", kEntityRegion},
    {"SOLID", kEntitySolid},     {"BLOCK", kEntityBlock},
    {"ENDBLK", kEntityEndBlock}, {"INSERT", kEntityInsert},
    {"ATTDEF", kEntityAttributeDefinition},
    {"ATTRIB", kEntityAttribute}, {"SEQEND", kEntitySequenceEnd},
    {"POLYLINE", kEntityPolyline}, {"VERTEX", kEntityVertex},
    {"3DLINE", kEntityLine},     {"3DFACE", kEntityFace3d},
    {"DIMENSION", kEntityDimension}, {"VIEWPORT", kEntityViewport},
    {"3DSOLID", kEntitySolid3d}, {"RAY", kEntityRay},
    {"XLINE", kEntityXline},     {"MTEXT", kEntityMtext},
    {"LEADER", kEntityLeader},   {"TOLERANCE", kEntityTolerance},
    {"MLINE", kEntityMline},     {"BODY", kEntityBody},
};


// The kind of a (0, name) group: a fixed entity, a proxy, or a class of the drawing.
DxfEntityKind kindOf(Drawing& drawing, DxfLoadState& state, const std::string& name) {
    auto found = state.entityKinds.find(name);
    if (found != state.entityKinds.end()) return found->second;
    DxfEntityKind kind;
    for (const FixedName& fixed : kFixedNames) {
        if (fixed.name == name) kind = {DxfEntityKind::Fixed, fixed.type};
    }
    if (kind.reader == DxfEntityKind::Unknown && (name == "ACAD_PROXY_ENTITY" || name == "ACAD_ZOMBIE_ENTITY")) {
        kind = {DxfEntityKind::Proxy, kEntityOfClassData};
    }
    ClassEntry entry;
    if (kind.reader == DxfEntityKind::Unknown && dbFindClassByName(drawing.classes, name, entry)) {
        // A kind with a reader of its own is read under the number the class list keeps for that
        // kind, the number its body is made for (as the objects are): a file that lists the
        // class twice gives the kind two numbers, and the first found by name is not the kept one.
        ClassKind own;
        const uint16_t number =
            dbClassKindByDxfName(name, own) && dbClassKindIsEntity(own) ? dbClassNumber(drawing.classes, own) : 0;
        kind = number ? DxfEntityKind{DxfEntityKind::OwnClass, number} : DxfEntityKind{DxfEntityKind::ClassData, entry.number};
    }
    state.entityKinds.emplace(name, kind);
    return kind;
}

// The body of a new DXF entity: cleared, with the few values a DXF entity may leave out.
EntityBody dxfDefaultBody(Drawing& drawing, uint16_t type, DxfEntityKind::Reader reader) {
    if (reader == DxfEntityKind::ClassData || reader == DxfEntityKind::Proxy) {
        ProxyEntityBody proxy;
        if (reader == DxfEntityKind::ClassData) proxy.classNumber = type;
        return proxy;
    }
    EntityBody body = dbDefaultEntityBody(drawing, type);
    body.visit([&](auto& b) {
        using B = std::decay_t<decltype(b)>;
        if constexpr (!std::is_same_v<B, std::monostate> && !std::is_same_v<B, ViewportBody>) b = B{};
        if constexpr (std::is_same_v<B, ShapeBody> || std::is_base_of_v<TextFields, B>) b.widthFactor = 1.0;
        if constexpr (std::is_same_v<B, InsertBody>) {
            b.scale = {1.0, 1.0, 1.0};
            b.columnCount = b.rowCount = 1;
        }
        if constexpr (std::is_same_v<B, MtextBody>) {
            b.attachment = 1;
            b.lineSpacingFactor = 1.0;
        }
        // Values that files leave out when they have their usual value.
        if constexpr (std::is_same_v<B, MtextBody> || std::is_same_v<B, ToleranceBody>) b.xDirection = {1.0, 0.0, 0.0};
        // A leader without 211 runs along the x axis of its plane (EntityReader::readLeader
        // turns it into the plane of a leader with an extrusion).
        if constexpr (std::is_same_v<B, LeaderBody>) b.horizontalDirection = {1.0, 0.0, 0.0};
        if constexpr (std::is_same_v<B, DimensionBody>) {
            b.lineSpacingStyle = 1;
            b.lineSpacingFactor = 1.0;
        }
    });
    return body;
}

// The x axis of the plane of an extrusion by the arbitrary axis rule: (1, 0, 0) for the z axis,
// and for an extrusion of length 0, which names no plane.
Point3 planeXAxis(const Point3& extrusion) {
    const Point3 normal = genNormalized(extrusion);
    if (normal == Point3{}) return {1.0, 0.0, 0.0};
    Matrix4 ocs;
    genOcsMatrix(normal, ocs);
    return {ocs.at(0, 0), ocs.at(0, 1), ocs.at(0, 2)};
}

// The elevation (38) of a kind: the z of its points that lie in the entity's plane.
void applyElevation(EntityBody& body, double z) {
    body.visit([&](auto& b) {
        using B = std::decay_t<decltype(b)>;
        if constexpr (std::is_same_v<B, LineBody>) {
            b.start.z = b.end.z = z;
        } else if constexpr (std::is_same_v<B, SolidBody> || std::is_same_v<B, FaceBody>) {
            for (Point3& corner : b.corners) corner.z = z;
        } else if constexpr (std::is_same_v<B, PointBody>) {
            b.point.z = z;
        } else if constexpr (std::is_same_v<B, CircleBody> || std::is_same_v<B, ArcBody> ||
                             std::is_same_v<B, EllipseBody>) {
            b.centre.z = z;
        } else if constexpr (std::is_same_v<B, ShapeBody> || std::is_base_of_v<TextFields, B> ||
                             std::is_same_v<B, InsertBody> || std::is_same_v<B, MtextBody> ||
                             std::is_same_v<B, ToleranceBody>) {
            b.insertion.z = z;
        } else if constexpr (std::is_same_v<B, BlockBeginBody> || std::is_same_v<B, MlineBody> ||
                             std::is_same_v<B, InfiniteLineBody>) {
            b.basePoint.z = z;
        } else if constexpr (std::is_same_v<B, VertexBody>) {
            b.point.z = z;
        } else if constexpr (std::is_same_v<B, DimensionBody>) {
            b.textMidpoint.z = z;
        } else if constexpr (std::is_same_v<B, PolylineBody> || std::is_same_v<B, LwpolylineBody> ||
                             std::is_same_v<B, HatchBody>) {
            b.elevation = z;
        }
    });
}

// The codes below 1000 of the groups every entity may have (EntityReader::takeCommonGroup).
constexpr std::array<bool, 1000> kCommonCodes = [] {
    std::array<bool, 1000> common{};
    for (int code : {5, 6, 8, 38, 39, 48, 60, 62, 67, 102, 370, 390}) common[size_t(code)] = true;
    return common;
}();

class EntityReader {
public:
    EntityReader(Drawing& drawing, EntityRecord& entity, uint8_t& hasXData)
        : d_(drawing), s_(dxfState(drawing)), session_(*drawing.load), g_(s_.group()), e_(entity), hasXData_(hasXData) {}

    int read();

private:
    int begin();
    // The groups every entity has (handle, layer, colour, extended data ...): most groups of an
    // entity are none of them and are told apart here, without a call.
    bool commonGroup() { return (g_.code >= 1000 || kCommonCodes[g_.code]) && takeCommonGroup(); }
    bool takeCommonGroup();
    bool extrusionGroup() {
        if (bitCoded_ || g_.code < 210 || g_.code > 230 || g_.code % 10 != 0) return false;
        Point3& extrusion = e_.header.extrusion;
        (g_.code == 210 ? extrusion.x : g_.code == 220 ? extrusion.y : extrusion.z) = g_.real;
        e_.header.flags |= kEntityHasExtrusion;
        return true;
    }
    // The loop over the entity's groups: common groups, then `own` (true when it took the group),
    // then the field table.
    template <class Body, class Own>
    int groups(Body& body, std::span<const DxfField<Body>> fields, Own own);
    template <class Body>
    int plain(std::span<const DxfField<Body>> fields) {
        return groups(e_.bodyAs<Body>(), fields, [](const DxfGroup&) { return false; });
    }
    int readByType();
    int readAcis();
    int readSpline();
    int readMtext();
    int readLeader();
    int readMline();
    int readLwpolyline();
    int readHatch();
    bool readHatchPaths(HatchBody& hatch, int32_t count);
    bool readHatchPatternLines(HatchBody& hatch, int16_t count);
    bool readHatchSeeds(HatchBody& hatch, int32_t count);
    int readImage();
    int readOle2Frame();
    int readProxy();
    int readClassData();

    bool next() {
        position_ = rdDxfTell(s_);
        return rdDxfNextGroup(s_) != 0;
    }
    // Reads the next group when it has that code; otherwise gives it back.
    bool expect(uint16_t code) { return rdDxfExpectGroup(s_, code); }

    Drawing& d_;
    DxfLoadState& s_;
    LoadSession& session_;
    DxfGroup& g_;
    EntityRecord& e_;
    uint8_t& hasXData_;
    DxfEntityKind kind_;
    int64_t position_ = 0;  // where the group in hand starts
    bool bitCoded_ = false;
};

bool EntityReader::takeCommonGroup() {
    EntityHeader& header = e_.header;
    EntityReferences& refs = session_.entityRefs;
    switch (g_.code) {
    case 5: header.handle = g_.handle; return true;
    case 6: refs.linetype = g_.text; return true;
    case 8: refs.layer = g_.text; return true;
    case 38: applyElevation(e_.body, g_.real); return true;
    case 39: header.thickness = g_.real; return true;
    case 48: header.linetypeScale = g_.real; return true;
    case 60:
        header.flags = g_.shortValue ? uint8_t(header.flags | kEntityInvisible) : uint8_t(header.flags & ~kEntityInvisible);
        return true;
    case 62:
        // A layer keeps the sign of its colour (off); an entity's colour is its magnitude.
        header.colour = g_.shortValue == kColourByLayer ? kColourByLayer : int16_t(std::abs(int(g_.shortValue)));
        return true;
    case 67:
        header.flags = g_.shortValue ? uint8_t(header.flags | kEntityInPaperSpace)
                                     : uint8_t(header.flags & ~kEntityInPaperSpace);
        return true;
    case 370: header.lineweight = g_.shortValue; return true;
    case 390: header.plotStyle = g_.handle; return true;
    case 102:
        if (g_.text != "{ACAD_REACTORS" && g_.text != "{ACAD_XDICTIONARY") return false;
        rdDxfReadOwnerGroups(s_, header.reactors, header.extensionDictionary);
        return true;
    default:
        if (g_.code < 1000) return false;
        rdDxfAddXDataItem(s_, d_);
        hasXData_ = 1;
        return true;
    }
}

template <class Body, class Own>
int EntityReader::groups(Body& body, std::span<const DxfField<Body>> fields, Own own) {
    for (;;) {
        if (!next()) {
            session_.loadError = kErrorDxfOpen;
            return 0;
        }
        if (g_.code == 0) break;
        if (commonGroup() || extrusionGroup() || own(g_)) continue;
        dxfStoreField(fields, body, g_);
    }
    rdDxfSeek(s_, position_);
    return 1;
}

int EntityReader::readAcis() {
    AcisBody& acis = e_.bodyAs<AcisBody>();
    std::string text;
    const int read = groups(acis, std::span<const DxfField<AcisBody>>(), [&](const DxfGroup& g) {
        if (g.code != 1 && g.code != 3) return false;
        for (char c : g.text) {
            text.push_back(char(dbSatTransform(uint8_t(c))));
        }
        if (g.code == 1) text.append("\r\n");
        return true;
    });
    if (!read) return 0;
    if (d_.versionIndex >= kVersionAC1015) {
        // A blank after an "A" is removed, over the whole text.
        std::string kept;
        kept.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ' && i > 0 && text[i - 1] == 'A') continue;
            kept.push_back(text[i]);
        }
        text.swap(kept);
    }
    if (!text.empty() && acis.satText.create(4096)) acis.satText.get()->bytes.assign(text.begin(), text.end());
    return 1;
}

int EntityReader::readSpline() {
    SplineBody& spline = e_.bodyAs<SplineBody>();
    SplineData& data = spline.data;
    return groups(spline, dxfSplineFields(), [&](const DxfGroup& g) {
        switch (g.code) {
        case 40: data.knots.push_back(g.real); return true;
        case 41: data.weights.push_back(g.real); return true;
        case 10: data.controlPoints.push_back(rdDxfReadPoint(s_, 10)); return true;
        case 11: data.fitPoints.push_back(rdDxfReadPoint(s_, 11)); return true;
        case 72:
        case 73:
        case 74: return true;  // counts: the lists' sizes
        default: return false;
        }
    });
}

int EntityReader::readMtext() {
    MtextBody& mtext = e_.bodyAs<MtextBody>();
    return groups(mtext, dxfMtextFields(), [&](const DxfGroup& g) {
        switch (g.code) {
        case 1:
        case 3: mtext.text.append(g.text); return true;
        case 7: session_.entityRefs.textStyle = g.text; return true;
        case 50: mtext.xDirection = {std::cos(dxfAngle(g)), std::sin(dxfAngle(g)), 0.0}; return true;
        default: return false;
        }
    });
}

int EntityReader::readLeader() {
    LeaderBody& leader = e_.bodyAs<LeaderBody>();
    bool directionGiven = false;
    const int read = groups(leader, dxfLeaderFields(), [&](const DxfGroup& g) {
        if ((g.code == 211 || g.code == 221 || g.code == 231) && !directionGiven) {
            // The field table stores the groups given; those left out are 0.
            leader.horizontalDirection = Point3{};
            directionGiven = true;
        }
        switch (g.code) {
        case 3: session_.entityRefs.dimStyle = g.text; return true;
        case 10: leader.points.push_back(rdDxfReadPoint(s_, 10)); return true;
        case 76: return true;  // the vertex count: the list's size
        default: return false;
        }
    });
    // With a hook line the file lists the hook's vertex before the last one; it is not kept.
    if (read && leader.hookLine && leader.points.size() >= 2) leader.points.erase(leader.points.end() - 2);
    if (read && !directionGiven) leader.horizontalDirection = planeXAxis(e_.header.extrusion);
    return read;
}

int EntityReader::readMline() {
    MlineBody& mline = e_.bodyAs<MlineBody>();
    MlineElementParameters* element = nullptr;
    bool areaFill = false;
    return groups(mline, dxfMlineFields(), [&](const DxfGroup& g) {
        MlineVertex* vertex = mline.vertices.empty() ? nullptr : &mline.vertices.back();
        switch (g.code) {
        case 2: session_.entityRefs.mlineStyle = g.text; return true;
        case 72: return true;  // the vertex count: the list's size
        case 11:
            mline.vertices.emplace_back();
            mline.vertices.back().position = rdDxfReadPoint(s_, 11);
            element = nullptr;
            return true;
        case 12:
            if (vertex) vertex->direction = rdDxfReadPoint(s_, 12);
            return true;
        case 13:
            if (vertex) vertex->miter = rdDxfReadPoint(s_, 13);
            return true;
        case 74:
            if (vertex) {
                vertex->elements.emplace_back();
                element = &vertex->elements.back();
            }
            areaFill = false;
            return true;
        case 75: areaFill = true; return true;
        case 41:
        case 42:
            if (element) (g.code == 42 || areaFill ? element->areaFill : element->segment).push_back(g.real);
            return true;
        default: return false;
        }
    });
}

int EntityReader::readLwpolyline() {
    LwpolylineBody& polyline = e_.bodyAs<LwpolylineBody>();
    const int read = groups(polyline, std::span<const DxfField<LwpolylineBody>>(), [&](const DxfGroup& g) {
        LwpolylineVertex* vertex = polyline.vertices.empty() ? nullptr : &polyline.vertices.back();
        switch (g.code) {
        case 90:
            // The vertex count: the list's size. Room for the vertices is made at once, as far
            // as the rest of the file could hold them (a vertex takes 20 bytes at least).
            if (g.longValue > 0) {
                const int64_t left = s_.fileLength - rdDxfTell(s_);
                polyline.vertices.reserve(polyline.vertices.size() + size_t(std::min<int64_t>(g.longValue, left / 20)));
            }
            return true;
        case 70:
            if (g.shortValue & 1) polyline.flags |= kLwpolylineClosed;
            if (g.shortValue & 128) polyline.flags |= kLwpolylineContinuousLinetype;
            return true;
        case 43:
            polyline.constantWidth = g.real;
            if (g.real != 0.0) polyline.flags |= kLwpolylineConstantWidth;
            return true;
        case 10:
            polyline.vertices.push_back({rdDxfReadPoint2(s_, 10), 0.0, 0.0, 0.0});
            return true;
        case 40:
            if (vertex) vertex->startWidth = g.real;
            return true;
        case 41:
            if (vertex) vertex->endWidth = g.real;
            return true;
        case 42:
            if (vertex) vertex->bulge = g.real;
            return true;
        default: return false;
        }
    });
    for (const LwpolylineVertex& vertex : polyline.vertices) {
        if (vertex.bulge != 0.0) polyline.flags |= kLwpolylineHasBulges;
        if (vertex.startWidth != 0.0 || vertex.endWidth != 0.0) polyline.flags |= kLwpolylineHasWidths;
    }
    return read;
}

bool EntityReader::readHatchPaths(HatchBody& hatch, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (!expect(92)) return false;
        HatchPath path;
        path.flags = uint32_t(g_.longValue);
        if (path.isPolyline()) {
            if (expect(72)) path.hasBulges = g_.shortValue;
            if (expect(73)) path.closed = g_.shortValue;
            const int32_t vertices = expect(93) ? g_.longValue : 0;
            for (int32_t v = 0; v < vertices && expect(10); ++v) {
                const Point3 point = rdDxfReadPoint(s_, 10);
                HatchPolylineVertex vertex{{point.x, point.y}, 0.0};
                if (expect(42)) vertex.bulge = g_.real;
                path.vertices.push_back(vertex);
            }
        } else {
            const int32_t edges = expect(93) ? g_.longValue : 0;
            for (int32_t k = 0; k < edges && expect(72); ++k) {
                const int16_t type = g_.shortValue;
                auto point2 = [&](uint16_t code) {
                    const Point3 p = expect(code) ? rdDxfReadPoint(s_, code) : Point3{};
                    return Point2{p.x, p.y};
                };
                auto real = [&](uint16_t code) { return expect(code) ? g_.real : 0.0; };
                auto shortValue = [&](uint16_t code) { return expect(code) ? g_.shortValue : int16_t(0); };
                if (type == 1) {
                    HatchLineEdge line{point2(10), {}};
                    line.end = point2(11);
                    path.edges.emplace_back(line);
                } else if (type == 2) {
                    HatchArcEdge arc;
                    arc.centre = point2(10);
                    arc.radius = real(40);
                    arc.startAngle = real(50) * kDegree;
                    arc.endAngle = real(51) * kDegree;
                    arc.counterClockwise = shortValue(73);
                    path.edges.emplace_back(arc);
                } else if (type == 3) {
                    HatchEllipseEdge ellipse;
                    ellipse.centre = point2(10);
                    ellipse.majorAxisEnd = point2(11);
                    ellipse.axisRatio = real(40);
                    ellipse.startParameter = dbEllipseAngleToParam(real(50) * kDegree, ellipse.axisRatio);
                    ellipse.endParameter = dbEllipseAngleToParam(real(51) * kDegree, ellipse.axisRatio);
                    if (ellipse.startParameter < 0.0 || ellipse.endParameter < 0.0) {
                        ellipse.startParameter += kTwoPi;
                        ellipse.endParameter += kTwoPi;
                    }
                    ellipse.counterClockwise = shortValue(73);
                    path.edges.emplace_back(ellipse);
                } else if (type == 4) {
                    HatchSplineEdge spline;
                    spline.degree = expect(94) ? g_.longValue : 0;
                    spline.rational = shortValue(73);
                    spline.periodic = shortValue(74);
                    const int32_t knots = expect(95) ? g_.longValue : 0;
                    const int32_t controls = expect(96) ? g_.longValue : 0;
                    for (int32_t n = 0; n < knots && expect(40); ++n) spline.knots.push_back(g_.real);
                    for (int32_t n = 0; n < controls && expect(10); ++n) {
                        const Point3 p = rdDxfReadPoint(s_, 10);
                        HatchSplineControlPoint control{{p.x, p.y}, 1.0};
                        if (spline.rational && expect(42)) control.weight = g_.real;
                        spline.controlPoints.push_back(control);
                    }
                    path.edges.emplace_back(std::move(spline));
                } else {
                    break;
                }
            }
        }
        const int32_t objects = expect(97) ? g_.longValue : 0;
        for (int32_t n = 0; n < objects && expect(330); ++n) path.boundaryObjects.push_back(g_.handle);
        hatch.paths.push_back(std::move(path));
    }
    return true;
}

bool EntityReader::readHatchPatternLines(HatchBody& hatch, int16_t count) {
    for (int16_t i = 0; i < count && expect(53); ++i) {
        HatchPatternLine line;
        line.angle = dxfAngle(g_);
        if (expect(43)) line.base.x = g_.real;
        if (expect(44)) line.base.y = g_.real;
        if (expect(45)) line.offset.x = g_.real;
        if (expect(46)) line.offset.y = g_.real;
        const int16_t dashes = expect(79) ? g_.shortValue : 0;
        for (int16_t n = 0; n < dashes && expect(49); ++n) line.dashes.push_back(g_.real);
        hatch.patternLines.push_back(std::move(line));
    }
    return true;
}

bool EntityReader::readHatchSeeds(HatchBody& hatch, int32_t count) {
    for (int32_t i = 0; i < count && expect(10); ++i) {
        const Point3 p = rdDxfReadPoint(s_, 10);
        hatch.seedPoints.push_back({p.x, p.y});
    }
    return true;
}

int EntityReader::readHatch() {
    HatchBody& hatch = e_.bodyAs<HatchBody>();
    return groups(hatch, std::span<const DxfField<HatchBody>>(), [&](const DxfGroup& g) {
        switch (g.code) {
        case 2: hatch.patternName = g.text; return true;
        case 10:
        case 20: return true;  // the elevation point: only its z counts
        case 30: hatch.elevation = g.real; return true;
        case 41: hatch.patternScale = g.real; return true;
        case 47: hatch.pixelSize = g.real; return true;
        case 52: hatch.patternAngle = dxfAngle(g); return true;
        case 70: hatch.solidFill = g.shortValue; return true;
        case 71: hatch.associative = g.shortValue; return true;
        case 75: hatch.style = g.shortValue; return true;
        case 76: hatch.patternType = g.shortValue; return true;
        case 77: hatch.patternDouble = g.shortValue; return true;
        case 78: return readHatchPatternLines(hatch, g.shortValue);
        case 91: return readHatchPaths(hatch, g.longValue);
        case 98: return readHatchSeeds(hatch, g.longValue);
        default: return false;
        }
    });
}

int EntityReader::readImage() {
    RasterImageBody& image = e_.bodyAs<RasterImageBody>();
    const int read = groups(image, dxfRasterImageFields(), [&](const DxfGroup& g) {
        if (g.code == 92) return rdDxfReadBinaryChunks(s_, image.graphics) != 0;
        if (g.code == 91) {
            // The clip boundary's vertices (14/24): a rectangle gives its two corners.
            for (int32_t i = 0; i < g.longValue && expect(14); ++i) {
                const Point3 p = rdDxfReadPoint(s_, 14);
                image.clipVertices.push_back({p.x, p.y});
            }
            return true;
        }
        return false;
    });
    return read;
}

int EntityReader::readOle2Frame() {
    Ole2FrameBody& ole = e_.bodyAs<Ole2FrameBody>();
    return groups(ole, dxfOle2FrameFields(), [&](const DxfGroup& g) {
        if (g.code == 90) return rdDxfReadBinaryChunks(s_, ole.data) != 0;
        return false;
    });
}

int EntityReader::readProxy() {
    ProxyEntityBody& proxy = e_.bodyAs<ProxyEntityBody>();
    bool open = false;
    return groups(proxy, std::span<const DxfField<ProxyEntityBody>>(), [&](const DxfGroup& g) {
        switch (g.code) {
        case 100:
            if (g.text == "AcDbProxyEntity" || g.text == "AcDbZombieEntity") open = true;
            return true;
        case 90: proxy.proxyClassId = g.longValue; return true;
        case 91: proxy.classNumber = uint16_t(g.longValue); return true;
        case 92: return rdDxfReadBinaryChunks(s_, proxy.graphics) != 0;
        case 93:
            proxy.dataBitCount = uint32_t(g.longValue);
            return rdDxfReadBinaryChunks(s_, proxy.data) != 0;
        case 95: proxy.version = g.longValue; return true;
        case 70: proxy.dataFormat = g.shortValue; return true;
        case 330:
        case 340:
        case 350:
        case 360:
            if (open) proxy.references.push_back({g.handle, uint8_t((g.code - 320) / 10)});
            return true;
        default: return false;
        }
    });
}

int EntityReader::readClassData() {
    ProxyEntityBody& body = e_.bodyAs<ProxyEntityBody>();
    bitCoded_ = true;
    bool open = false;
    // The proxy graphics are the 92 of the AcDbEntity part, or the first 92 elsewhere when that
    // part has none; a later 92 of the class's own data is data.
    bool entityPart = false;
    rdDxfBeginBitData(s_);
    const int read = groups(body, std::span<const DxfField<ProxyEntityBody>>(), [&](const DxfGroup& g) {
        if (g.code == 100) entityPart = g.text == "AcDbEntity";
        if (g.code == 100 && g.text == "AcDbEntity") {
            open = true;
            return true;
        }
        if (g.code < 330 || (open && g.code <= 369))
            rdDxfGroupToBits(s_, body.references, entityPart || !body.graphics ? &body.graphics : nullptr);
        return true;
    });
    rdDxfEndBitData(s_, body.data, body.dataBitCount);
    return read;
}

int EntityReader::readByType() {
    EntityReferences& refs = session_.entityRefs;
    const uint16_t type = kind_.type;
    if (kind_.reader == DxfEntityKind::Proxy) return readProxy();
    if (kind_.reader == DxfEntityKind::ClassData) return readClassData();
    if (kind_.reader == DxfEntityKind::OwnClass) {
        ClassKind own = ClassKind::Lwpolyline;
        // The body was made for the kind of this number (dxfDefaultBody); without one it keeps
        // the class's groups.
        if (!dbClassKindByNumber(d_.classes, type, own)) return readClassData();
        switch (own) {
        case ClassKind::Lwpolyline: return readLwpolyline();
        case ClassKind::Hatch: return readHatch();
        case ClassKind::Image:
        case ClassKind::Wipeout: return readImage();
        case ClassKind::Ole2Frame: return readOle2Frame();
        case ClassKind::Rtext: {
            RtextBody& rtext = e_.bodyAs<RtextBody>();
            refs.hasTextStyle = true;
            return groups(rtext, dxfRtextFields(), [&](const DxfGroup& g) {
                if (g.code == 7) refs.textStyle = g.text;
                if (g.code == 92) return rdDxfReadBinaryChunks(s_, rtext.graphics) != 0;
                return g.code == 7;
            });
        }
        case ClassKind::ArcAlignedText: {
            ArcAlignedTextBody& text = e_.bodyAs<ArcAlignedTextBody>();
            refs.hasTextStyle = true;
            return groups(text, dxfArcAlignedTextFields(), [&](const DxfGroup& g) {
                if (g.code == 7) refs.textStyle = g.text;
                if (g.code == 92) return rdDxfReadBinaryChunks(s_, text.graphics) != 0;
                return g.code == 7;
            });
        }
        default: return readClassData();
        }
    }
    auto textStyle = [&](const DxfGroup& g) {
        if (g.code != 7) return false;
        refs.textStyle = g.text;
        return true;
    };
    switch (type) {
    case kEntityLine: return plain(dxfLineFields());
    case kEntityPoint: return plain(dxfPointFields());
    case kEntityCircle: return plain(dxfCircleFields());
    case kEntityArc: return plain(dxfArcFields());
    case kEntityRay:
    case kEntityXline: return plain(dxfInfiniteLineFields());
    case kEntityShape: {
        ShapeBody& shape = e_.bodyAs<ShapeBody>();
        return groups(shape, dxfShapeFields(), [&](const DxfGroup& g) {
            if (g.code != 2) return false;
            shape.name = g.text;
            refs.shape = g.text;
            return true;
        });
    }
    case kEntityEllipse: return plain(dxfEllipseFields());
    case kEntitySpline: return readSpline();
    case kEntityText:
        refs.hasTextStyle = true;
        return groups(e_.bodyAs<TextBody>(), dxfTextFields(), textStyle);
    case kEntityAttribute:
        refs.hasTextStyle = true;
        return groups(e_.bodyAs<AttributeBody>(), dxfAttributeFields(), textStyle);
    case kEntityAttributeDefinition:
        refs.hasTextStyle = true;
        return groups(e_.bodyAs<AttributeDefinitionBody>(), dxfAttributeDefinitionFields(), textStyle);
    case kEntityTrace:
    case kEntitySolid: return plain(dxfSolidFields());
    case kEntityFace3d: return plain(dxfFaceFields());
    case kEntityRegion:
    case kEntitySolid3d:
    case kEntityBody: return readAcis();
    case kEntityBlock:
        return groups(e_.bodyAs<BlockBeginBody>(), dxfBlockBeginFields(), [](const DxfGroup& g) { return g.code == 3; });
    case kEntityInsert: {
        refs.hasBlock = true;
        InsertBody& insert = e_.bodyAs<InsertBody>();
        const int read = groups(insert, dxfInsertFields(), [&](const DxfGroup& g) {
            if (g.code != 2) return false;
            refs.block = g.text;
            return true;
        });
        if (insert.columnCount == 0) insert.columnCount = 1;
        if (insert.rowCount == 0) insert.rowCount = 1;
        return read;
    }
    case kEntityPolyline: return plain(dxfPolylineFields());
    case kEntityVertex: return plain(dxfVertexFields());
    case kEntityDimension:
        refs.hasBlock = refs.hasDimStyle = true;
        return groups(e_.bodyAs<DimensionBody>(), dxfDimensionFields(), [&](const DxfGroup& g) {
            if (g.code == 2) refs.block = g.text;
            if (g.code == 3) refs.dimStyle = g.text;
            return g.code == 2 || g.code == 3;
        });
    case kEntityViewport: return plain(dxfViewportFields());
    case kEntityMtext:
        refs.hasTextStyle = true;
        return readMtext();
    case kEntityLeader:
        refs.hasDimStyle = true;
        refs.dimStyle = "Standard";
        return readLeader();
    case kEntityTolerance:
        refs.hasDimStyle = true;
        refs.dimStyle = "Standard";
        return groups(e_.bodyAs<ToleranceBody>(), dxfToleranceFields(), [&](const DxfGroup& g) {
            if (g.code != 3) return false;
            refs.dimStyle = g.text;
            return true;
        });
    case kEntityMline:
        refs.hasMlineStyle = true;
        return readMline();
    default: {
        // ENDBLK, SEQEND: only the common groups.
        std::monostate none;
        return groups(none, std::span<const DxfField<std::monostate>>(), [](const DxfGroup&) { return false; });
    }
    }
}

int EntityReader::begin() {
    // Recognise the entity by its (0, name) group; names that are no entity the drawing knows
    // are passed over with their groups.
    for (;;) {
        if (g_.code == 0 && g_.text == "ENDSEC") return 0;
        if (g_.code == 0) {
            kind_ = kindOf(d_, s_, g_.text);
            if (kind_.reader != DxfEntityKind::Unknown) return 1;
            ++session_.unplacedRecords;
        }
        do {
            if (!next()) return 0;
        } while (g_.code != 0);
    }
}

int EntityReader::read() {
    if (!s_.blockMode && rdDxfTell(s_) >= s_.index.entitiesEnd) return 0;
    if (!next() || !begin()) return 0;
    if (!s_.blockMode && position_ >= s_.index.entitiesEnd) return 0;

    // A class without a reader of its own (and a proxy) keeps its class in the body; the entity
    // is of the kind "kept as class data".
    const bool classData = kind_.reader == DxfEntityKind::ClassData || kind_.reader == DxfEntityKind::Proxy;
    e_.header = EntityHeader{};
    e_.header.type = classData ? kEntityOfClassData : kind_.type;
    e_.body = dxfDefaultBody(d_, kind_.type, kind_.reader);
    session_.entityRefs.reset();
    session_.entityRefs.linetype = "ByLayer";
    session_.currentLinetypeIndex = kLinetypeIndexByLayer;
    s_.xdata.clear();
    s_.xdataOverflowReported = false;
    hasXData_ = 0;

    if (!readByType()) return 0;

    if ((e_.header.flags & kEntityHasExtrusion) && e_.header.extrusion == Point3{0.0, 0.0, 1.0}) {
        e_.header.flags &= uint8_t(~kEntityHasExtrusion);
    }
    // From 2000 on an entity without a plot-style handle takes its layer's plot style, as DWG
    // files say with their plot-style flags.
    if (d_.versionIndex >= kVersionAC1015 && e_.header.plotStyle.isNull()) e_.header.flags |= kEntityPlotStyleByLayer;
    if (hasXData_) rdDxfTakeXData(s_, e_.header.xdata);
    e_.header.xdataSize = uint32_t(e_.header.xdata.size());
    return 1;
}

} // namespace

int rdDxfReadEntity(Drawing& drawing, EntityRecord& entity, uint8_t& hasXData) {
    EntityReader reader(drawing, entity, hasXData);
    return reader.read();
}

} // namespace tracemill
