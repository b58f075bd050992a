#include "toolkit/read/dwg12_entity_reader.h"

#include "toolkit/core/byte_order.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/read/dwg12_field_reader.h"
#include "toolkit/read/dwg12_file_layout.h"

namespace tracemill {
namespace {

// Entity flags of the head.
constexpr uint8_t kHasColour = 0x01;
constexpr uint8_t kHasLinetype = 0x02;
constexpr uint8_t kHasElevation = 0x04;
constexpr uint8_t kHasThickness = 0x08;
constexpr uint8_t kHasHandle = 0x20;
constexpr uint8_t kHasExtraFlags = 0x40;
// Extra flags.
constexpr uint8_t kExtraXData = 0x02;
constexpr uint8_t kExtraPaperSpace = 0x04;

// Kinds whose z values stand in their own fields from "AC1006" on: for them the head's flag
// 0x04 marks a flat entity instead of announcing an elevation.
bool zInOwnFields(uint8_t kind) {
    return kind == kEntityLine || kind == kEntityPoint || kind == kEntityLine3d || kind == kEntityFace3d;
}

void readHandle(ByteCursor& in, Handle& out) {
    const uint8_t length = in.u8();
    const std::span<const uint8_t> bytes = in.take(length);
    if (bytes.size() != length || length > 8) return; // passed over: the null handle
    uint64_t value = 0;
    for (uint8_t byte : bytes)
        value = (value << 8) | byte;
    out = Handle(value);
}

// The body of a kind, with the defaults that the record's optional fields leave.
void readBody(Dwg12FieldReader& io, uint8_t kind, Dwg12EntityPassState& state, EntityRecord& entity,
              Dwg12EntityRefs& refs) {
    EntityBody& body = entity.body;
    switch (kind) {
    case kEntityLine:
        dwg12LineBody(io, body.as<LineBody>());
        break;
    case kEntityLine3d:
        dwg12Line3dBody(io, body.as<LineBody>());
        break;
    case kEntityPoint:
        dwg12PointBody(io, body.as<PointBody>());
        break;
    case kEntityCircle:
        dwg12CircleBody(io, body.as<CircleBody>());
        break;
    case kEntityShape:
        dwg12ShapeBody(io, body.as<ShapeBody>(), refs.textStyle);
        break;
    case kEntityText:
        dwg12TextBody(io, body.as<TextBody>(), refs.textStyle);
        break;
    case kEntityArc:
        dwg12ArcBody(io, body.as<ArcBody>());
        break;
    case kEntityTrace:
    case kEntitySolid:
        dwg12SolidBody(io, body.as<SolidBody>());
        break;
    case kEntityBlock:
        dwg12BlockBody(io, body.as<BlockBeginBody>());
        break;
    case kEntityInsert: {
        InsertBody& insert = body.as<InsertBody>();
        dwg12InsertBody(io, insert, refs.block);
        if (insert.attributesFollow) state.sequenceOpen = true;
        break;
    }
    case kEntityAttributeDefinition:
        dwg12AttributeDefinitionBody(io, body.as<AttributeDefinitionBody>(), refs.textStyle);
        break;
    case kEntityAttribute:
        dwg12AttributeBody(io, body.as<AttributeBody>(), refs.textStyle);
        break;
    case kEntitySequenceEnd:
        if (state.sequenceOpen) {
            uint32_t opener = 0;
            dwg12SequenceEndBody(io, opener);
        }
        state.sequenceOpen = false;
        break;
    case kEntityPolyline:
        dwg12PolylineBody(io, body.as<PolylineBody>());
        state.sequenceOpen = true;
        break;
    case kEntityVertex:
        dwg12VertexBody(io, body.as<VertexBody>());
        break;
    case kEntityFace3d:
        dwg12FaceBody(io, body.as<FaceBody>());
        break;
    case kEntityDimension: {
        DimensionBody& dimension = body.as<DimensionBody>();
        dimension.attachment = 5;
        dimension.lineSpacingStyle = 1;
        dimension.lineSpacingFactor = 1.6666666666666665;
        dwg12DimensionBody(io, dimension, refs.block, refs.dimStyle);
        break;
    }
    case kEntityViewport:
        dwg12ViewportBody(io, body.as<ViewportBody>());
        break;
    default:
        break; // ENDBLK: nothing
    }
}

} // namespace

bool dbDwg12IsEntityKind(uint8_t kind) {
    return kind >= 1 && kind <= kEntityViewport && kind != kEntityEllipse && kind != kEntitySpline &&
           kind != kEntityRegion && kind != kDwg12KindJump;
}

bool rdR12ReadEntityHead(std::span<const uint8_t> file, size_t position, Dwg12RecordHead& out) {
    if (position > file.size() || file.size() - position < kDwg12JumpRecordSize) return false;
    const uint8_t* p = file.data() + position;
    Dwg12RecordHead head;
    head.kind = p[0] & 0x7F;
    head.erased = (p[0] & 0x80) != 0;
    head.flags = p[1];
    head.length = getLe16(p + 2);
    if (head.kind == kDwg12KindJump) head.jumpTarget = getLe32(p + 4);
    const size_t least = head.kind == kDwg12KindJump ? kDwg12JumpRecordSize : kDwg12RecordHeadSize;
    if (head.length < least || head.length > kDwg12MaxRecordSize || head.length > file.size() - position)
        return false;
    out = head;
    return true;
}

int rdR12ReadEntity(const Drawing& drawing, std::span<const uint8_t> record, int versionIndex,
                    Dwg12EntityPassState& state, EntityRecord& entity, Dwg12EntityRefs& refs,
                    uint8_t& hasXData) {
    ByteCursor in(record);
    const uint8_t kind = in.u8() & 0x7F;
    const uint8_t flags = in.u8();
    in.le16(); // the length, which `record` already is
    const int16_t layer = int16_t(in.le16());
    const uint16_t options = in.le16();

    const uint16_t type = kind == kEntityLine3d ? uint16_t(kEntityLine) : kind;
    entity.header = EntityHeader{};
    entity.header.type = type;
    entity.body = dbDefaultEntityBody(drawing, type);
    refs = Dwg12EntityRefs{};
    refs.layer = layer < 0 && kind == kEntityBlock ? 0 : layer;
    hasXData = 0;

    uint8_t extra = 0;
    if (flags & kHasExtraFlags) extra = in.u8();
    if (extra & kExtraXData) {
        const uint16_t size = in.le16();
        const std::span<const uint8_t> xdata = in.take(size);
        if (xdata.size() == size && size > 0) {
            PagedStream* stream = entity.header.xdata.create(4096);
            if (stream) {
                stream->bytes.assign(xdata.begin(), xdata.end());
                entity.header.xdataSize = size;
                hasXData = 1;
            }
        }
    }

    EntityHeader& header = entity.header;
    double elevation = 0.0;
    if (flags & kHasColour) header.colour = in.u8();
    if (flags & kHasLinetype) {
        if (versionIndex >= 4) {
            refs.linetype = in.le16();
        } else {
            refs.linetype = in.u8();
            if (refs.linetype == dbDwg12FileLinetypeByBlock(versionIndex))
                refs.linetype = kDwg12LinetypeByBlock;
        }
    }
    const bool flat = versionIndex >= 3 && zInOwnFields(kind);
    if ((flags & kHasElevation) && !flat) elevation = in.rawDouble();
    if (flags & kHasThickness) header.thickness = in.rawDouble();
    if (versionIndex >= 3 && (flags & kHasHandle)) readHandle(in, header.handle);
    if (versionIndex >= 4 && (extra & kExtraPaperSpace)) {
        if (in.le16() & 0x01) header.flags |= kEntityInPaperSpace;
    }
    if (in.overrun()) return 0;

    Dwg12FieldReader io(record, versionIndex, in.position());
    io.options = options;
    io.entityFlags = flags;
    io.elevation = elevation;
    io.header = &header;
    readBody(io, kind, state, entity, refs);
    return io.overrun() ? 0 : 1;
}

} // namespace tracemill
