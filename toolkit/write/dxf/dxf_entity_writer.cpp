#include "toolkit/write/dxf/dxf_entity_writer.h"

#include <cmath>
#include <string>

#include "toolkit/core/entity_types.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/record_lookup.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dxf_entity_fields.h"
#include "toolkit/write/dxf/dxf_class_entities.h"
#include "toolkit/write/dxf/dxf_entity_parts.h"
#include "toolkit/write/dxf/dxf_field_output.h"
#include "toolkit/write/dxf/dxf_group_writer.h"
#include "toolkit/write/dxf/dxf_names.h"
#include "toolkit/write/dxf/dxf_tables_writer.h"
#include "toolkit/write/dxf/dxf_xdata_writer.h"

namespace tracemill {
namespace {

bool isR13Kind(uint16_t type) {
    return type == kEntityEllipse || type == kEntitySpline || type == kEntityRegion ||
           (type >= kEntitySolid3d && type <= kEntityMline) || type == kEntityBody;
}

template <class Body>
Point3 pointOf(std::span<const DxfField<Body>> table, const Body& body, uint16_t code) {
    DxfGroup x, y, z;
    Point3 p;
    if (dxfLoadField(table, body, code, x)) p.x = x.real;
    if (dxfLoadField(table, body, uint16_t(code + 10), y)) p.y = y.real;
    if (dxfLoadField(table, body, uint16_t(code + 20), z)) p.z = z.real;
    return p;
}

class EntityWriter {
public:
    EntityWriter(const Drawing& drawing, OutputContext& output, const EntityRecord& entity)
        : d_(drawing), o_(output), e_(entity), h_(entity.header), v_(output.versionIndex),
          p_(drawing, output) {}

    int run();

private:
    bool r13() const { return v_ >= kVersionAC1012; }
    int common();
    int typePart();
    int subclass(std::string_view marker) { return !r13() || wrDxfString(o_, 100, marker); }
    int thicknessR13() {
        return !r13() || std::fabs(h_.thickness) < o_.numbers.zeroThreshold || wrDxfDouble(o_, 39, h_.thickness);
    }
    int extrusion() { return v_ < kVersionAC1006 || p_.extrusion(h_); }
    int styleName(Handle style) { return p_.styleName(style); }

    // A value the file would give as 1.0 is left out as the default, so that a file read back
    // writes the same groups.
    bool writtenAsOne(double value) const { return std::fabs(value - 1.0) < o_.numbers.zeroThreshold; }
    template <class Body>
    int fieldIfNotZero(std::span<const DxfField<Body>> table, const Body& body, uint16_t code, bool angle = false) {
        DxfGroup group;
        if (!wrFieldGroup(table, body, code, group)) return 0;
        const double tolerance = angle ? o_.numbers.angleTolerance * (180.0 / 3.141592653589793) : o_.numbers.zeroThreshold;
        if (std::fabs(group.real) < tolerance) return 1;
        return wrDxfGroupValue(o_, group);
    }
    template <class Body>
    int fieldIfNotOne(std::span<const DxfField<Body>> table, const Body& body, uint16_t code) {
        DxfGroup group;
        if (!wrFieldGroup(table, body, code, group)) return 0;
        return writtenAsOne(group.real) ? 1 : wrDxfGroupValue(o_, group);
    }
    template <class Body>
    int shortIfNotZero(std::span<const DxfField<Body>> table, const Body& body, uint16_t code) {
        DxfGroup group;
        if (!wrFieldGroup(table, body, code, group)) return 0;
        return group.shortValue == 0 ? 1 : wrDxfGroupValue(o_, group);
    }

    int line();
    int point();
    int circle(bool arc);
    int shape();
    int solid();
    int text();
    template <class Body>
    int textTail(std::span<const DxfField<Body>> table, const Body& body, bool attribute);
    int attdef();
    int attrib();
    int block();
    int insert();
    int polyline();
    int vertex();
    int line3d();
    int face3d();

    const Drawing& d_;
    OutputContext& o_;
    const EntityRecord& e_;
    const EntityHeader& h_;
    int16_t v_;
    DxfEntityParts p_;
};

int EntityWriter::common() {
    if (!wrDxfString(o_, 0, wrDxfEntityTypeName(d_, v_, e_))) return 0;
    Handle handle = h_.handle;
    if (handle.isNull()) {
        const auto given = o_.entityHandles.find(&e_);
        if (given != o_.entityHandles.end()) handle = given->second;
    }
    if (r13()) {
        const bool reactors = v_ >= kVersionAC1014 || h_.type >= kEntityOfClassData;
        if (!wrDxfHandle(o_, 5, handle) ||
            !DxfOwnerGroups(o_, h_.extensionDictionary, reactors ? h_.reactors : HandleList{}) ||
            !wrDxfString(o_, 100, "AcDbEntity")) {
            return 0;
        }
        if ((h_.flags & kEntityInPaperSpace) && !wrDxfInt16(o_, 67, 1)) return 0;
    }
    DxfNameCache& layer = o_.layerName;
    if (!layer.valid || layer.handle != h_.layer) {
        std::string name;
        if (!wrLayerNameByHandle(d_, h_.layer, name)) return 0;
        layer.name = v_ >= kVersionAC1015 ? name
                                          : wrConvertSymbolName(d_, &o_, name, wrRecordPosition(o_, h_.layer),
                                                                wrSymbolNameLimit());
        layer.handle = h_.layer;
        layer.valid = true;
    }
    if (!wrDxfString(o_, 8, layer.name)) return 0;
    if (v_ >= kVersionAC1015 && h_.lineweight != kLineweightByLayer && !wrDxfInt16(o_, 370, h_.lineweight)) return 0;
    if (!h_.linetype.isNull()) {
        DxfNameCache& linetype = o_.linetypeName;
        if (!linetype.valid || linetype.handle != h_.linetype) {
            if (h_.linetype != d_.handles.byLayerLinetype && h_.linetype != d_.handles.byBlockLinetype &&
                !dbLookupNode(d_, d_.linetypes, h_.linetype)) {
                return dbSetError(kErrorNoSuchLinetype);
            }
            std::string name;
            wrLinetypeNameByHandle(d_, h_.linetype, name);
            // BYLAYER is left out: an empty cached name.
            linetype.name = dbEqualsNoCase(name, "BYLAYER") ? std::string()
                            : v_ >= kVersionAC1015
                                ? name
                                : wrConvertSymbolName(d_, &o_, name, wrRecordPosition(o_, h_.linetype),
                                                      wrSymbolNameLimit());
            linetype.handle = h_.linetype;
            linetype.valid = true;
        }
        if (!linetype.name.empty() && !wrDxfString(o_, 6, linetype.name)) return 0;
    }
    if (h_.colour != kColourByLayer && !wrDxfInt16(o_, 62, h_.colour)) return 0;
    if (!writtenAsOne(h_.linetypeScale) && !wrDxfDouble(o_, 48, h_.linetypeScale)) return 0;
    const double elevation = p_.elevation(e_);
    const bool elevationHere = v_ <= kVersionAC1004 || (h_.type == kEntityBlock && v_ == kVersionAC1006) ||
                               h_.type == kEntitySequenceEnd || h_.type == kEntityEndBlock;
    if (elevationHere && std::fabs(elevation) >= o_.numbers.zeroThreshold && !wrDxfDouble(o_, 38, elevation)) return 0;
    if (v_ <= kVersionAC1009 && std::fabs(h_.thickness) >= o_.numbers.zeroThreshold &&
        !wrDxfDouble(o_, 39, h_.thickness)) {
        return 0;
    }
    if (v_ == kVersionAC1006 || v_ == kVersionAC1009) {
        if (wrDxfWritesEntityHandle(o_, o_.inBlock) && !h_.handle.isNull() && !wrDxfHandle(o_, 5, h_.handle)) return 0;
        if ((h_.flags & kEntityInPaperSpace) && !wrDxfInt16(o_, 67, 1)) return 0;
    }
    if (r13() && (h_.flags & kEntityInvisible) && !wrDxfInt16(o_, 60, 1)) return 0;
    return 1;
}

int EntityWriter::line() {
    const auto t = dxfLineFields();
    const auto* bp = e_.body.getIf<LineBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    if (!subclass("AcDbLine") || !thicknessR13()) return 0;
    const int16_t forceZ = o_.numbers.forceZ;
    if (b.start.z != 0.0 || b.end.z != 0.0) o_.numbers.forceZ = 1;
    const int ok = p_.point(10, pointOf(t, b, 10)) && p_.point(11, pointOf(t, b, 11));
    o_.numbers.forceZ = forceZ;
    return ok && extrusion();
}

int EntityWriter::point() {
    const auto t = dxfPointFields();
    const auto* bp = e_.body.getIf<PointBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    return subclass("AcDbPoint") && p_.point(10, pointOf(t, b, 10)) && thicknessR13() && extrusion() &&
           fieldIfNotZero(t, b, 50, true);
}

int EntityWriter::circle(bool arc) {
    if (arc) {
        const auto t = dxfArcFields();
        const auto* bp = e_.body.getIf<ArcBody>();
    if (!bp) return 1;
    const auto& b = *bp;
        if (!subclass("AcDbCircle") || !thicknessR13() || !p_.point(10, pointOf(t, b, 10)) ||
            !wrDxfField(o_, t, b, 40)) {
            return 0;
        }
        if (r13() && !extrusion()) return 0;
        if (!subclass("AcDbArc") || !wrDxfFields(o_, t, b, {50, 51})) return 0;
        return (v_ != kVersionAC1006 && v_ != kVersionAC1009) || extrusion();
    }
    const auto t = dxfCircleFields();
    const auto* bp = e_.body.getIf<CircleBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    return subclass("AcDbCircle") && thicknessR13() && p_.point(10, pointOf(t, b, 10)) &&
           wrDxfField(o_, t, b, 40) && extrusion();
}

int EntityWriter::shape() {
    const auto t = dxfShapeFields();
    const auto* bp = e_.body.getIf<ShapeBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    return subclass("AcDbShape") && thicknessR13() && p_.point(10, pointOf(t, b, 10)) && wrDxfField(o_, t, b, 40) &&
           wrDxfString(o_, 2, b.name) && fieldIfNotZero(t, b, 50, true) && fieldIfNotOne(t, b, 41) &&
           fieldIfNotZero(t, b, 51, true) && extrusion();
}

int EntityWriter::solid() {
    const auto t = dxfSolidFields();
    const auto* bp = e_.body.getIf<SolidBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    if (!subclass("AcDbTrace")) return 0;
    for (uint16_t code = 10; code <= 13; ++code) {
        if (!p_.point(code, pointOf(t, b, code))) return 0;
    }
    return thicknessR13() && extrusion();
}

// The groups after the text that TEXT, ATTDEF and ATTRIB share; an attribute of an "AC1009"
// file adds its vertical alignment (74).
template <class Body>
int EntityWriter::textTail(std::span<const DxfField<Body>> t, const Body& b, bool attribute) {
    if (!fieldIfNotZero(t, b, 50, true) || !fieldIfNotOne(t, b, 41) || !fieldIfNotZero(t, b, 51, true) ||
        !styleName(b.style) || !shortIfNotZero(t, b, 71) || !shortIfNotZero(t, b, 72)) {
        return 0;
    }
    if (b.horizontalAlign != 0 || b.verticalAlign != 0) {
        if (!wrDxfDouble(o_, 11, b.alignment.x) || !wrDxfDouble(o_, 21, b.alignment.y)) return 0;
        if (v_ >= kVersionAC1006 && (b.insertion.z != 0.0 || o_.numbers.forceZ) && !wrDxfDouble(o_, 31, b.insertion.z))
            return 0;
    }
    if (!extrusion()) return 0;
    return !attribute || v_ != kVersionAC1009 || b.verticalAlign == 0 || wrDxfInt16(o_, 74, b.verticalAlign);
}

int EntityWriter::text() {
    const auto t = dxfTextFields();
    const auto* bp = e_.body.getIf<TextBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    if (!subclass("AcDbText") || !thicknessR13() || !p_.point(10, pointOf(t, b, 10)) || !wrDxfField(o_, t, b, 40) ||
        !wrDxfEscapedString(o_, 1, b.text, o_.header.dwgcodepage) || !textTail(t, b, false) ||
        !subclass("AcDbText")) {
        return 0;
    }
    return v_ < kVersionAC1009 || shortIfNotZero(t, b, 73);
}

// ATTDEF and ATTRIB also carry their field length (73) and, from R13 on, their vertical
// alignment (74) after the flags, so that neither is lost.
int EntityWriter::attdef() {
    const auto t = dxfAttributeDefinitionFields();
    const auto* bp = e_.body.getIf<AttributeDefinitionBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    if (!subclass("AcDbText") || !thicknessR13() || !p_.point(10, pointOf(t, b, 10)) || !wrDxfField(o_, t, b, 40) ||
        !wrDxfEscapedString(o_, 1, b.text, o_.header.dwgcodepage)) {
        return 0;
    }
    if (r13() && (!textTail(t, b, true) || !subclass("AcDbAttributeDefinition"))) return 0;
    if (!wrDxfEscapedString(o_, 3, b.prompt, o_.header.dwgcodepage) || !wrDxfString(o_, 2, b.tag) ||
        !wrDxfField(o_, t, b, 70) || !shortIfNotZero(t, b, 73)) {
        return 0;
    }
    if (r13()) return shortIfNotZero(t, b, 74);
    return textTail(t, b, true);
}

int EntityWriter::attrib() {
    const auto t = dxfAttributeFields();
    const auto* bp = e_.body.getIf<AttributeBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    if (!subclass("AcDbText") || !thicknessR13() || !p_.point(10, pointOf(t, b, 10)) || !wrDxfField(o_, t, b, 40) ||
        !wrDxfEscapedString(o_, 1, b.text, o_.header.dwgcodepage)) {
        return 0;
    }
    if (!r13()) {
        return wrDxfString(o_, 2, b.tag) && wrDxfField(o_, t, b, 70) && shortIfNotZero(t, b, 73) &&
               textTail(t, b, true);
    }
    return textTail(t, b, true) && subclass("AcDbAttribute") && wrDxfString(o_, 2, b.tag) &&
           wrDxfField(o_, t, b, 70) && shortIfNotZero(t, b, 73) && shortIfNotZero(t, b, 74);
}

int EntityWriter::block() {
    const DxfCurrentBlock& current = o_.currentBlock;
    std::string name = current.name;
    if (!current.isPaperSpace && dbEqualsNoCase(name, "*PAPER_SPACE")) name += std::to_string(current.number);
    Point3 base;
    if (const auto* body = e_.body.getIf<BlockBeginBody>()) base = body->basePoint;
    if (!subclass("AcDbBlockBegin") || !wrDxfString(o_, 2, name) || !wrDxfInt16(o_, 70, current.flags)) return 0;
    if ((current.flags & kBlockExternalReference) && current.xrefState && !wrDxfInt16(o_, 71, 1)) return 0;
    if (!wrDxfDouble(o_, 10, base.x) || !wrDxfDouble(o_, 20, base.y)) return 0;
    if (v_ >= kVersionAC1009 && !wrDxfDouble(o_, 30, base.z)) return 0;
    if (r13()) {
        if (!wrDxfString(o_, 3, name) || !wrDxfString(o_, 1, current.xrefPath)) return 0;
    } else if (v_ == kVersionAC1009) {
        if (!current.xrefPath.empty() && !wrDxfString(o_, 1, current.xrefPath)) return 0;
        if (!wrDxfString(o_, 3, name)) return 0;
    }
    return current.description.empty() || wrDxfString(o_, 4, current.description);
}

int EntityWriter::insert() {
    const auto t = dxfInsertFields();
    const auto* bp = e_.body.getIf<InsertBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    const bool array = b.columnCount > 1 || b.rowCount > 1;
    DxfNameCache& block = o_.blockName;
    if (!block.valid || block.handle != b.block) {
        std::string name;
        if (!wrBlockNameByHandle(d_, o_, b.block, name)) return 0;
        block.name = v_ >= kVersionAC1015 ? name
                                          : wrConvertSymbolName(d_, &o_, name, wrRecordPosition(o_, b.block),
                                                                wrSymbolNameLimit());
        block.handle = b.block;
        block.valid = true;
    }
    if (!subclass(array ? "AcDbMInsertBlock" : "AcDbBlockReference")) return 0;
    if (b.attributesFollow && !wrDxfInt16(o_, 66, 1)) return 0;
    if (!wrDxfString(o_, 2, block.name) ||
        !p_.point(10, pointOf(t, b, 10)) || !fieldIfNotOne(t, b, 41) || !fieldIfNotOne(t, b, 42)) {
        return 0;
    }
    if (r13()) {
        if (!fieldIfNotOne(t, b, 43) || !fieldIfNotZero(t, b, 50, true)) return 0;
    } else if (!fieldIfNotZero(t, b, 50, true) || !fieldIfNotOne(t, b, 43)) {
        return 0;
    }
    if (array && (!wrDxfField(o_, t, b, 70) || !wrDxfField(o_, t, b, 71) || !fieldIfNotZero(t, b, 44) ||
                  !fieldIfNotZero(t, b, 45))) {
        return 0;
    }
    return extrusion();
}

int EntityWriter::polyline() {
    const auto t = dxfPolylineFields();
    const auto* bp = e_.body.getIf<PolylineBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    const char* marker = (b.flags & 16)   ? "AcDbPolygonMesh"
                         : (b.flags & 64) ? "AcDbPolyFaceMesh"
                         : (b.flags & 8)  ? "AcDb3dPolyline"
                                          : "AcDb2dPolyline";
    if (!subclass(marker) || !wrDxfInt16(o_, 66, 1)) return 0;
    if (v_ >= kVersionAC1006 &&
        (!wrDxfDouble(o_, 10, 0.0) || !wrDxfDouble(o_, 20, 0.0) || !wrDxfDouble(o_, 30, b.elevation))) {
        return 0;
    }
    if (!thicknessR13() || !shortIfNotZero(t, b, 70) || !fieldIfNotZero(t, b, 40) || !fieldIfNotZero(t, b, 41))
        return 0;
    if (v_ < kVersionAC1006) return 1;
    return extrusion() && shortIfNotZero(t, b, 71) && shortIfNotZero(t, b, 72) && shortIfNotZero(t, b, 73) &&
           shortIfNotZero(t, b, 74) && shortIfNotZero(t, b, 75);
}

int EntityWriter::vertex() {
    const auto t = dxfVertexFields();
    const auto* bp = e_.body.getIf<VertexBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    const bool faceRecord = b.faceVertexCount > 0;
    if (r13()) {
        if (faceRecord) {
            if (!subclass("AcDbFaceRecord")) return 0;
        } else {
            const char* marker = (b.flags & 32)                      ? "AcDb3dPolylineVertex"
                                 : ((b.flags & 64) && (b.flags & 128)) ? "AcDbPolyFaceMeshVertex"
                                 : (b.flags & 64)                      ? "AcDbPolygonMeshVertex"
                                                                       : "AcDb2dVertex";
            if (!subclass("AcDbVertex") || !subclass(marker)) return 0;
        }
    }
    if (!p_.point(10, pointOf(t, b, 10))) return 0;
    if (b.hasStartWidth && !wrDxfField(o_, t, b, 40)) return 0;
    if (b.hasEndWidth && !wrDxfField(o_, t, b, 41)) return 0;
    if (!fieldIfNotZero(t, b, 42) || !shortIfNotZero(t, b, 70) || !fieldIfNotZero(t, b, 50, true)) return 0;
    if (v_ == kVersionAC1006) return extrusion();
    if (v_ >= kVersionAC1009 && faceRecord) {
        for (int i = 0; i < std::min<int>(b.faceVertexCount, 4); ++i) {
            if (!wrDxfInt16(o_, 71 + i, b.faceVertices[size_t(i)])) return 0;
        }
        return 1;
    }
    return extrusion();
}

int EntityWriter::line3d() {
    const auto t = dxfLineFields();
    const auto* bp = e_.body.getIf<LineBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    return subclass("AcDbLine") && p_.pointR12(10, pointOf(t, b, 10)) && p_.pointR12(11, pointOf(t, b, 11)) &&
           extrusion();
}

int EntityWriter::face3d() {
    const auto t = dxfFaceFields();
    const auto* bp = e_.body.getIf<FaceBody>();
    if (!bp) return 1;
    const auto& b = *bp;
    if (!subclass("AcDbFace")) return 0;
    for (uint16_t code = 10; code <= 13; ++code) {
        if (!p_.pointR12(code, pointOf(t, b, code))) return 0;
    }
    const int16_t edges = int16_t(b.invisibleEdges & 0xFF);
    return v_ < kVersionAC1006 || edges == 0 || wrDxfInt16(o_, 70, edges);
}

int EntityWriter::typePart() {
    switch (h_.type) {
    case kEntityLine: return line();
    case kEntityPoint: return point();
    case kEntityCircle: return circle(false);
    case kEntityArc: return circle(true);
    case kEntityShape: return shape();
    case kEntityTrace:
    case kEntitySolid: return solid();
    case kEntityText: return text();
    case kEntityAttributeDefinition: return attdef();
    case kEntityAttribute: return attrib();
    case kEntityBlock: return block();
    case kEntityEndBlock: return subclass("AcDbBlockEnd");
    case kEntitySequenceEnd: return 1;
    case kEntityInsert: return insert();
    case kEntityPolyline: return polyline();
    case kEntityVertex: return vertex();
    case kEntityLine3d: return line3d();
    case kEntityFace3d: return face3d();
    default: return DxfModernEntityWriter(d_, o_, e_, p_);
    }
}

int EntityWriter::run() {
    if ((v_ == kVersionAC1002 && h_.type >= kEntityLine3d && h_.type < kEntityOfClassData) ||
        (v_ < kVersionAC1009 && h_.type >= kEntityViewport && h_.type < kEntityOfClassData)) {
        return 0;
    }
    if (!common() || !typePart()) return 0;
    if (v_ >= kVersionAC1009 && h_.xdata && !DxfXDataWriter(d_, o_, h_.xdata)) return 0;
    return 1;
}

} // namespace

bool wrDxfWritesEntityHandle(const OutputContext& output, bool inBlock) {
    const int16_t version = output.versionIndex;
    if (version >= kVersionAC1012) return true;
    if (output.header.handling == 0) return false;
    return version == kVersionAC1009 || (version == kVersionAC1006 && !inBlock);
}

int wrEntityWritable(const Drawing& drawing, int16_t versionIndex, const EntityRecord& entity) {
    const uint16_t type = entity.header.type;
    if (versionIndex >= kVersionAC1012) return 1;
    if (isR13Kind(type)) return 0;
    if (type >= kEntityOfClassData) return type == dbClassLwpolyline(drawing.classes) && type != 0;
    if (versionIndex < kVersionAC1009 && type == kEntityViewport) return 0;
    if (versionIndex == kVersionAC1002 && (type == kEntityLine3d || type == kEntityFace3d || type == kEntityDimension))
        return 0;
    return 1;
}

int DxfEntityWriter(const Drawing& drawing, OutputContext& output, const EntityRecord& entity) {
    EntityWriter writer(drawing, output, entity);
    return writer.run();
}

} // namespace tracemill
