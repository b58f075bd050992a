#include "toolkit/write/dwg12/dwg12_entity_writer.h"

#include <algorithm>
#include <string>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/lwpolyline_conversion.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/fonts/shape_names.h"
#include "toolkit/read/dwg12_entity_layouts.h"
#include "toolkit/read/dwg12_file_layout.h"
#include "toolkit/write/dwg12/dwg12_field_writer.h"
#include "toolkit/write/dwg12/dwg12_table_writer.h"
#include "toolkit/write/dwg12/dwg12_xdata_writer.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dxf/dxf_entity_writer.h"
#include "toolkit/write/dxf/dxf_names.h"

namespace tracemill {
namespace {

constexpr uint16_t kPaperSpaceWord = 1;
constexpr size_t kCrcSize = 2;

// Option bits the layouts test with `has`, set before the body is written.
constexpr uint32_t kBlockXrefPath = 0x02;
constexpr uint32_t kBlockName = 0x04;
constexpr uint32_t kDimensionText = 0x04;
constexpr uint32_t kTextAlignmentPoint = 0x40; // of TEXT; doubled for ATTDEF and ATTRIB

bool isVersion(const Dwg12WriteState& state, int index) {
    return state.output.versionIndex >= index;
}

bool isFlat(uint16_t kind, const EntityBody& body) {
    auto zero = [](double z) { return Dwg12FieldWriter::readAs(z) == 0.0; };
    switch (kind) {
    case kEntityLine:
    case kEntityLine3d: {
        const LineBody& b = body.as<LineBody>();
        return zero(b.start.z) && zero(b.end.z);
    }
    case kEntityPoint:
        return zero(body.as<PointBody>().point.z);
    case kEntityFace3d:
        for (const Point3& corner : body.as<FaceBody>().corners) {
            if (!zero(corner.z)) return false;
        }
        return true;
    default:
        return false;
    }
}

// Whether the body holds what the layout of its kind takes.
bool holdsBodyOf(uint16_t kind, const EntityBody& body) {
    switch (kind) {
    case kEntityLine:
    case kEntityLine3d: return body.holds<LineBody>();
    case kEntityPoint: return body.holds<PointBody>();
    case kEntityCircle: return body.holds<CircleBody>();
    case kEntityShape: return body.holds<ShapeBody>();
    case kEntityText: return body.holds<TextBody>();
    case kEntityArc: return body.holds<ArcBody>();
    case kEntityTrace:
    case kEntitySolid: return body.holds<SolidBody>();
    case kEntityBlock: return body.holds<BlockBeginBody>();
    case kEntityInsert: return body.holds<InsertBody>();
    case kEntityAttributeDefinition: return body.holds<AttributeDefinitionBody>();
    case kEntityAttribute: return body.holds<AttributeBody>();
    case kEntityPolyline: return body.holds<PolylineBody>();
    case kEntityVertex: return body.holds<VertexBody>();
    case kEntityFace3d: return body.holds<FaceBody>();
    case kEntityDimension: return body.holds<DimensionBody>();
    case kEntityViewport: return body.holds<ViewportBody>();
    default: return true; // ENDBLK, SEQEND: no body
    }
}

// The text fields of TEXT, ATTRIB and ATTDEF.
const TextFields* textFieldsOf(const EntityBody& body) {
    if (const TextBody* text = body.getIf<TextBody>()) return text;
    if (const AttributeBody* attrib = body.getIf<AttributeBody>()) return attrib;
    return body.getIf<AttributeDefinitionBody>();
}

// The table positions the entity names.
int resolveReferences(const Dwg12WriteState& state, const EntityHeader& h, const EntityBody& body,
                      Dwg12EntityRefs& refs) {
    const Dwg12TablePlan& plan = state.plan;
    refs = Dwg12EntityRefs{};
    // A record without a layer goes on the first one, as the reader reads a position that names
    // none.
    refs.layer = h.layer.isNull() ? 0 : plan.position(kDwg12Layer, h.layer);
    if (refs.layer < 0) return dbSetError(kErrorNoSuchLayer);
    refs.linetype = plan.linetype(h.linetype);
    if (refs.linetype < 0) return dbSetError(kErrorNoSuchLinetype);
    auto style = [&](Handle handle) {
        refs.textStyle = handle.isNull() ? 0 : plan.position(kDwg12Style, handle);
        return refs.textStyle >= 0 ? 1 : dbSetError(kErrorNoSuchStyle);
    };
    switch (h.type) {
    case kEntityText:
    case kEntityAttribute:
    case kEntityAttributeDefinition:
        return style(textFieldsOf(body)->style);
    case kEntityShape:
        return style(body.as<ShapeBody>().style);
    case kEntityInsert:
        refs.block = plan.position(kDwg12Block, body.as<InsertBody>().block);
        return refs.block >= 0 ? 1 : dbSetError(kErrorNoSuchBlock);
    case kEntityDimension: {
        const DimensionBody& dimension = body.as<DimensionBody>();
        refs.block = plan.position(kDwg12Block, dimension.block);
        if (refs.block < 0 && !dimension.block.isNull()) return dbSetError(kErrorNoSuchBlock);
        refs.dimStyle = plan.position(kDwg12DimStyle, dimension.dimensionStyle);
        if (refs.dimStyle < 0 && !dimension.dimensionStyle.isNull()) return dbSetError(kErrorNoSuchDimStyle);
        return 1;
    }
    default:
        return 1;
    }
}

// The option bits that the layouts test before they write (the writer's to set).
uint16_t presetOptions(const Dwg12WriteState& state, const EntityRecord& entity, const EntityBody& body) {
    uint16_t options = 0;
    switch (entity.header.type) {
    case kEntityBlock:
        if (isVersion(state, 4)) {
            options |= kBlockName;
            if (!body.as<BlockBeginBody>().xrefPath.empty()) options |= kBlockXrefPath;
        }
        break;
    case kEntityText:
    case kEntityAttribute:
    case kEntityAttributeDefinition: {
        const TextFields& text = *textFieldsOf(body);
        // The alignment point goes with an alignment, wherever it lies.
        const bool aligned = text.horizontalAlign != 0 || (isVersion(state, 4) && text.verticalAlign != 0);
        if (aligned) options |= uint16_t(entity.header.type == kEntityText ? kTextAlignmentPoint : kTextAlignmentPoint << 1);
        break;
    }
    case kEntityDimension: {
        const DimensionBody& d = body.as<DimensionBody>();
        if (!d.userText.empty()) options |= kDimensionText;
        const int type = d.typeFlags & 7;
        const bool r12 = isVersion(state, 4);
        if (type == 0 || type == 1 || (r12 && type == 6)) options |= 0x08 | 0x10;
        if (type == 2 || (r12 && type == 5)) options |= 0x08 | 0x10 | 0x20 | 0x40;
        if (type == 3 || type == 4) options |= 0x20;
        break;
    }
    case kEntityVertex: {
        const VertexBody& v = body.as<VertexBody>();
        if (isVersion(state, 4) && v.faceVertexCount > 0) {
            options |= uint16_t(kDwg12VertexFaceRecord);
            for (int i = 0; i < std::min<int>(v.faceVertexCount, 4); ++i) options |= uint16_t(0x20u << i);
        }
        break;
    }
    default:
        break;
    }
    return options;
}

// The kind byte of the record: a LINE whose ends lie at different heights is a 3DLINE in the
// versions whose LINE has one elevation for both ends ("AC1003", "AC1004").
uint16_t recordKind(int version, uint16_t kind, const EntityBody& body) {
    if (kind != kEntityLine || (version != 1 && version != 2)) return kind;
    const LineBody& line = body.as<LineBody>();
    const bool level = Dwg12FieldWriter::readAs(line.start.z) == Dwg12FieldWriter::readAs(line.end.z);
    return level ? kind : uint16_t(kEntityLine3d);
}

// Resolves a SHAPE to a number of its shape file: a DWG gives the number, DXF the name.
bool resolveShape(const Dwg12WriteState& state, ShapeBody& shape) {
    if (shape.shapeNumber > 0 && shape.shapeNumber <= 0xFF) return true;
    if (shape.name.empty()) return false;
    Handle style;
    uint8_t number = 0;
    if (!genShapeNumberByName(const_cast<Drawing*>(&state.drawing), shape.name, style, number) || number == 0)
        return false;
    shape.shapeNumber = number;
    if (shape.style.isNull()) shape.style = style;
    return true;
}

int writeEntity(Dwg12WriteState& state, const EntityRecord& entity, const EntityBody& body) {
    const int version = state.output.versionIndex;
    const EntityHeader& h = entity.header;
    const uint16_t kind = recordKind(version, h.type, body);
    Dwg12EntityRefs refs;
    if (!resolveReferences(state, h, body, refs)) return 0;

    // The body first: the head's flags, option word and elevation come from it.
    std::vector<uint8_t>& bodyBytes = state.body;
    bodyBytes.clear();
    Dwg12FieldWriter io(bodyBytes, version, state.output.header.dwgcodepage);
    io.header = &h;
    io.options = presetOptions(state, entity, body);
    const bool ownZ = version >= 3 && (dbDwg12ZInOwnFields(kind) || kind == kEntityBlock);
    if (version >= 3 && dbDwg12ZInOwnFields(kind) && isFlat(kind, body)) io.entityFlags |= kDwg12EntityFlat;
    uint32_t opener = state.sequenceOpener;
    // The layouts change a body only when they read.
    dwg12EntityBody(io, uint8_t(kind), const_cast<EntityBody&>(body), refs, opener);
    if (io.overrun()) return dbSetError(kErrorDwg12FieldOverflow);

    const bool paperSpace = isVersion(state, 4) && !state.inBlocks && state.inPaperSpace;
    std::vector<uint8_t>& xdata = state.xdata;
    xdata.clear();
    if (isVersion(state, 4) && !wrDwg12EntityXData(state.drawing, state.plan, entity, xdata)) return 0;
    if (xdata.size() > 0xFFFF) return dbSetError(kErrorDwg12FieldOverflow);

    uint8_t flags = io.entityFlags;
    std::vector<uint8_t>& record = state.record;
    record.clear();
    record.push_back(uint8_t(kind));
    record.push_back(0);    // the flags, below
    wrDwg12PutShort(record, 0);    // the length, below
    if (refs.layer > INT16_MAX) return dbSetError(kErrorDwg12FieldOverflow);
    wrDwg12PutShort(record, uint16_t(refs.layer));
    wrDwg12PutShort(record, io.options);
    const uint8_t extra = uint8_t((xdata.empty() ? 0 : kDwg12ExtraXData) | (paperSpace ? kDwg12ExtraPaperSpace : 0));
    if (extra) {
        flags |= kDwg12HasExtraFlags;
        record.push_back(extra);
        if (!xdata.empty()) {
            wrDwg12PutShort(record, uint16_t(xdata.size()));
            record.insert(record.end(), xdata.begin(), xdata.end());
        }
    }
    if (h.colour != kColourByLayer) {
        if (h.colour < 0 || h.colour > 0xFF) return dbSetError(kErrorDwg12FieldOverflow);
        flags |= kDwg12HasColour;
        record.push_back(uint8_t(h.colour));
    }
    if (refs.linetype != kDwg12LinetypeByLayer) {
        flags |= kDwg12HasLinetype;
        const int32_t code = refs.linetype == kDwg12LinetypeByBlock ? dbDwg12FileLinetypeByBlock(version) : refs.linetype;
        // A position must not read as one of the two codes.
        const int32_t room = version >= 4 ? kDwg12LinetypeByBlock : dbDwg12FileLinetypeByBlock(version);
        if (refs.linetype != kDwg12LinetypeByBlock && refs.linetype >= room) return dbSetError(kErrorDwg12FieldOverflow);
        if (version >= 4)
            wrDwg12PutShort(record, uint16_t(code));
        else
            record.push_back(uint8_t(code));
    }
    const double elevation = io.hasElevation ? io.elevation : 0.0;
    if (!ownZ && elevation != 0.0) {
        flags |= kDwg12HasElevation;
        wrDwg12PutDouble(record, elevation);
    }
    if (Dwg12FieldWriter::readAs(h.thickness) != 0.0) {
        flags |= kDwg12HasThickness;
        wrDwg12PutDouble(record, h.thickness);
    }
    if (version >= 3 && state.output.header.handling != 0) {
        flags |= kDwg12HasHandle;
        const int length = dbHandleLength(h.handle);
        uint8_t bytes[8];
        h.handle.toBigEndian(bytes);
        record.push_back(uint8_t(length));
        record.insert(record.end(), bytes + 8 - length, bytes + 8);
        if (state.largestHandle < h.handle) state.largestHandle = h.handle;
    }
    if (paperSpace) wrDwg12PutShort(record, kPaperSpaceWord);
    record.insert(record.end(), bodyBytes.begin(), bodyBytes.end());
    if (version >= 4) record.insert(record.end(), kCrcSize, 0);
    if (record.size() > kDwg12MaxRecordSize) return dbSetError(kErrorDwg12FieldOverflow);
    record[1] = flags;
    putLe16(record.data() + 2, uint16_t(record.size()));
    if (version >= 4) {
        const uint16_t crc = wrCrc16(kDwg12EntityCrcSeed, record.data(), record.size() - kCrcSize);
        putLe16(record.data() + record.size() - kCrcSize, crc);
    }

    // Where the record goes: SEQENDs and the viewport entity headers name it by offset.
    const uint64_t at = state.position;
    const uint64_t inSection = state.inBlocks ? at - state.blocksStart : at;
    if (inSection > UINT32_MAX) return dbSetError(kErrorDwg12FieldOverflow);
    if (kind == kEntityPolyline || (kind == kEntityInsert && (flags & kDwg12AttributesFollow)))
        state.sequenceOpener = uint32_t(inSection);
    if (kind == kEntityViewport && paperSpace) state.viewportOffsets[&entity] = uint32_t(at);
    return state.put(record.data(), record.size());
}

} // namespace

bool wrDwg12KindWritten(uint16_t kind, int versionIndex) {
    if (kind < kEntityLine || kind > kEntityViewport) return false;
    if (kind == kEntityEllipse || kind == kEntitySpline || kind == kEntityRegion || kind == 18) return false;
    if (versionIndex < 1 && (kind == kEntityLine3d || kind == kEntityFace3d || kind == kEntityDimension)) return false;
    return kind != kEntityViewport || versionIndex >= 4;
}

int wrDwgEntityR12(Dwg12WriteState& state, const EntityRecord& entity) {
    const uint16_t kind = entity.header.type;
    if (!wrDwg12KindWritten(kind, state.output.versionIndex)) return 1;
    EntityBody substitute;
    const EntityBody* body = &entity.body;
    if (!holdsBodyOf(kind, entity.body)) {
        substitute = dbDefaultEntityBody(state.drawing, kind);
        body = &substitute;
    }
    // A BLOCK carries its record's name and external-reference path.
    if (kind == kEntityBlock && state.currentBlock >= 0) {
        const BlockNode* block = state.plan.blocks()[size_t(state.currentBlock)];
        BlockBeginBody named = body->as<BlockBeginBody>();
        named.name = state.plan.blockName(state.currentBlock);
        named.xrefPath = block->record.xrefPath;
        substitute = named;
        body = &substitute;
    }
    return writeEntity(state, entity, *body);
}

int wrDwg12EntityStep(Dwg12WriteState& state, const EntityRecord& entity) {
    const Drawing& drawing = state.drawing;
    if (!wrEntityWritable(drawing, state.output.versionIndex, entity)) return 1;
    if (entity.header.type == kEntityShape) {
        const ShapeBody* shape = entity.body.getIf<ShapeBody>();
        ShapeBody resolved = shape ? *shape : ShapeBody{};
        if (!shape || !resolveShape(state, resolved)) {
            dbReportWarning(kWarningShapeWithoutName);
            return 1;
        }
        if (resolved != *shape) {
            EntityRecord copy = entity;
            copy.body = resolved;
            return wrDwgEntityR12(state, copy);
        }
    }
    return dbWriteLwpolyAsPolyline(const_cast<Drawing*>(&drawing), state.output.versionIndex,
                                   state.output.lwpolyConversion, entity,
                                   [&](const EntityRecord& record) { return wrDwgEntityR12(state, record); });
}

int wrDwg12FakeBlock(Dwg12WriteState& state, int32_t position) {
    EntityRecord frame;
    frame.header.type = kEntityBlock;
    frame.header.layer = Handle();
    if (state.fakeBlocksWritten < state.fakeBlockHandles.size())
        frame.header.handle = state.fakeBlockHandles[state.fakeBlocksWritten];
    ++state.fakeBlocksWritten;
    BlockBeginBody block;
    block.name = "FAKE" + std::to_string(position);
    frame.body = block;
    const int32_t current = state.currentBlock;
    state.currentBlock = -1;
    const int ok = writeEntity(state, frame, frame.body);
    state.currentBlock = current;
    if (!ok) return 0;
    EntityRecord end;
    end.header.type = kEntityEndBlock;
    return writeEntity(state, end, end.body);
}

} // namespace tracemill
