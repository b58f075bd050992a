#include "toolkit/read/dwg12_entity_reader.h"

#include "toolkit/core/byte_order.h"
#include "toolkit/core/entity_access.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/read/dwg12_field_reader.h"
#include "toolkit/read/dwg12_file_layout.h"

namespace tracemill {
namespace {

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
    if (kind == kEntityDimension) {
        DimensionBody& dimension = body.as<DimensionBody>();
        dimension.attachment = 5;
        dimension.lineSpacingStyle = 1;
        dimension.lineSpacingFactor = 1.6666666666666665;
    }
    // A SEQEND names the record that opened its sequence only when there is one.
    if (kind == kEntitySequenceEnd && !state.sequenceOpen) return;
    uint32_t opener = 0;
    dwg12EntityBody(io, kind, body, refs, opener);
    if (kind == kEntitySequenceEnd) state.sequenceOpen = false;
    if (kind == kEntityPolyline || (kind == kEntityInsert && body.as<InsertBody>().attributesFollow))
        state.sequenceOpen = true;
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
    if (flags & kDwg12HasExtraFlags) extra = in.u8();
    if (extra & kDwg12ExtraXData) {
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
    if (flags & kDwg12HasColour) header.colour = in.u8();
    if (flags & kDwg12HasLinetype) {
        if (versionIndex >= 4) {
            refs.linetype = in.le16();
        } else {
            refs.linetype = in.u8();
            if (refs.linetype == dbDwg12FileLinetypeByBlock(versionIndex))
                refs.linetype = kDwg12LinetypeByBlock;
        }
    }
    const bool flat = versionIndex >= 3 && dbDwg12ZInOwnFields(kind);
    if ((flags & kDwg12HasElevation) && !flat) elevation = in.rawDouble();
    if (flags & kDwg12HasThickness) header.thickness = in.rawDouble();
    if (versionIndex >= 3 && (flags & kDwg12HasHandle)) readHandle(in, header.handle);
    if (versionIndex >= 4 && (extra & kDwg12ExtraPaperSpace)) {
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
