#include "toolkit/read/dwg_object_prologue.h"

#include <algorithm>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/read/dwg_modular.h"
#include "toolkit/codec/bit_codes.h"

namespace tracemill {
namespace {

// Places the reader on the data of the record at `position`; false when it does not fit.
bool enterRecord(std::span<const uint8_t> file, uint64_t position, BitReader& reader, ObjectPrologue& out) {
    ByteCursor cursor(file, size_t(position));
    uint32_t size = 0;
    if (!rdModularShort(cursor, size) || size > cursor.remaining()) return false;
    out.recordPosition = position;
    out.dataPosition = cursor.position();
    out.dataSize = size;
    out.nextRecordPosition = std::min<uint64_t>(out.dataPosition + size + 2, file.size());
    reader.reset(file.subspan(cursor.position(), size), out.dataPosition);
    return true;
}

// Copies one application block of extended data; false when the data is damaged.
bool copyXDataBlock(BitReader& reader, uint16_t size, std::vector<uint8_t>& xdata) {
    const uint8_t code = reader.readByte();
    const unsigned handleBytes = code & 0x0F;
    if (handleBytes > bitcode::kMaxHandleBytes || uint64_t(handleBytes) + size > reader.bitsLeft() / 8)
        return false;
    const size_t at = xdata.size();
    xdata.resize(at + 2 + 1 + handleBytes + size);
    putLe16(&xdata[at], size);
    xdata[at + 2] = code;
    return reader.readBytes(&xdata[at + 3], handleBytes + size);
}

PrologueStatus readExtendedData(BitReader& reader, ObjectPrologue& out) {
    for (;;) {
        const uint16_t size = rdBitShort(reader);
        if (reader.overrun()) return PrologueStatus::Damaged;
        if (size == 0) break;
        if (!copyXDataBlock(reader, size, out.xdata)) return PrologueStatus::Damaged;
        if (out.xdata.size() + 2 > kMaxRawXDataSize) return PrologueStatus::XDataTooLarge;
    }
    out.hasXData = !out.xdata.empty();
    if (out.hasXData) out.xdata.insert(out.xdata.end(), {0, 0});
    return PrologueStatus::Read;
}

PrologueStatus readGraphics(BitReader& reader, ObjectPrologue& out) {
    out.hasGraphics = reader.readBit();
    if (!out.hasGraphics) return PrologueStatus::Read;
    const uint32_t size = uint32_t(rdRawLong(reader));
    if (size > reader.bitsLeft() / 8) return PrologueStatus::Damaged;
    out.graphics.resize(size);
    reader.readBytes(out.graphics.data(), size);
    return PrologueStatus::Read;
}

PrologueStatus readPrologue(BitReader& reader, int versionIndex, bool isEntity, ObjectPrologue& out) {
    if (versionIndex >= kVersionAC1015) out.bitSize = uint32_t(rdRawLong(reader));
    rdReadHandle(reader, out.handle);
    PrologueStatus status = readExtendedData(reader, out);
    if (status == PrologueStatus::Read && isEntity) status = readGraphics(reader, out);
    if (status != PrologueStatus::Read) return status;
    if (versionIndex < kVersionAC1015) out.bitSize = uint32_t(rdRawLong(reader));
    if (!isEntity) {
        out.reactorCount = uint32_t(rdBitLong(reader));
        if (out.bitSize / 8 > out.dataSize) return PrologueStatus::Damaged;
    }
    return reader.overrun() ? PrologueStatus::Damaged : PrologueStatus::Read;
}

} // namespace

uint16_t rdReadObjectPrologue(std::span<const uint8_t> file, uint64_t position, uint64_t objectDataEnd,
                              int versionIndex, bool isEntity, BitReader& reader, ObjectPrologue& out) {
    const uint64_t end = std::min<uint64_t>(objectDataEnd, file.size());
    for (;;) {
        out = ObjectPrologue();
        if (position >= end) return 0;
        if (!enterRecord(file, position, reader, out)) {
            out.status = PrologueStatus::Damaged;
            return 0;
        }
        out.type = rdBitShort(reader);
        if (out.type != 0) break;
        // Each record moves the position on, so passing over type-0 records ends.
        position = out.nextRecordPosition;
    }
    out.status = readPrologue(reader, versionIndex, isEntity, out);
    if (out.status != PrologueStatus::Read) return 0;
    return out.type;
}

} // namespace tracemill
