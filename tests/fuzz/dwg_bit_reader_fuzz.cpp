// Fuzz harness for the DWG bit-stream reader: every value encoding, handle references, the
// modular chars, the object map and the object prologue, on arbitrary bytes.
//
// Input: byte 0 holds the number of operation bytes (low 5 bits), the version (bits 5-6:
// R13, R14, 2000) and whether records are entities (bit 7); the operation bytes follow; the
// rest is the data, read as one bit stream and as a small DWG file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "toolkit/core/system_context.h"
#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg_bit_block.h"
#include "toolkit/read/dwg_bit_reader.h"
#include "toolkit/read/dwg_handle_refs.h"
#include "toolkit/read/dwg_modular.h"
#include "toolkit/read/dwg_object_map.h"
#include "toolkit/read/dwg_object_prologue.h"

using namespace tracemill;

namespace {

void runOperation(BitReader& r, uint8_t op, Handle& reference) {
    std::string text;
    uint8_t bytes[64];
    Point3 a, b;
    Handle h;
    int kind = 0;
    ObjectHandles handles;
    uint32_t count = op >> 5;
    switch (op % 24) {
    case 0: rdBit(r); break;
    case 1: rdTwoBits(r); break;
    case 2: rdBitShort(r); break;
    case 3: rdBitLong(r); break;
    case 4: rdBitDouble(r); break;
    case 5: rdBit3Double(r); break;
    case 6: rdRawChar(r); break;
    case 7: rdRawShort(r); break;
    case 8: rdRawLong(r); break;
    case 9: rdRawDouble(r); break;
    case 10: rdRaw2Double(r); break;
    case 11: rdBitDefaultDouble(r, 1.5); break;
    case 12: rdBit3DefaultDouble(r, Point3{1, 2, 3}); break;
    case 13: rdBit2RDZ(r); break;
    case 14: rdBitLinePoints(r, a, b); break;
    case 15: rdBitRawBytes(r, bytes, op % 64); break;
    case 16: rdBitSkip(r, uint64_t(op) * 37); break;
    case 17: rdBitText(r, text, op % 2 ? 512 : 8); break;
    case 18: rdReadHandle(r, h); break;
    case 19: rdReadHandleRef(r, h, kind); break;
    case 20: reference = rdReadRelativeHandle(r, reference); break;
    case 21: rdReadObjectHandles(r, reference, uint32_t(rdBitLong(r)), handles); break;
    case 22: rdSkipHandles(r, count); break;
    default: rdBitPosition(r); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SystemContext context;
    gSystemContext = &context;
    if (size == 0) {
        gSystemContext = nullptr;
        return 0;
    }
    const size_t opCount = std::min<size_t>(data[0] & 31, size - 1);
    const int versionIndex = 5 + ((data[0] >> 5) & 3) % 3;
    const bool isEntity = data[0] & 0x80;
    std::span<const uint8_t> ops(data + 1, opCount);
    std::span<const uint8_t> bits(data + 1 + opCount, size - 1 - opCount);

    // The operations in order, then every encoding in turn until the data runs out.
    BitReader reader(bits, 128);
    Handle reference(0x2A);
    for (uint8_t op : ops) runOperation(reader, op, reference);
    for (unsigned op = 0; !reader.overrun() && op < 4096; ++op) runOperation(reader, uint8_t(op * 7), reference);

    // The same bytes as a block of stored group data.
    PagedStream block;
    block.bytes.assign(bits.begin(), bits.end());
    BitReader blockReader;
    std::string text;
    std::vector<uint8_t> run;
    uint16_t runCount = 0;
    if (rdBitBlockReadBegin(blockReader, &block)) {
        for (int i = 0; i < 64 && !blockReader.overrun(); ++i) {
            rdBitBlockReadText(blockReader, text);
            rdBitBlockReadBytes(blockReader, run, runCount);
        }
        rdBitBlockReadEnd(blockReader);
    }

    // Modular chars over the bytes.
    ByteCursor cursor(bits);
    for (int i = 0; i < 256 && !cursor.atEnd(); ++i) {
        int64_t value = 0;
        Handle h;
        uint32_t ms = 0;
        int length = 0;
        rdModularChar(cursor, value, length);
        rdModularHandle(cursor, h, length);
        rdModularShort(cursor, ms);
    }

    // The bytes as a small DWG file: an object map at the offset that the first two bytes
    // name, and the object records after those two bytes.
    ObjectMap map;
    const uint64_t mapOffset = bits.size() >= 2 ? (bits[0] | (bits[1] << 8)) % bits.size() : 0;
    rdReadObjectMap(bits, mapOffset, map);
    uint32_t position = 0;
    for (const ObjectMapEntry& e : map.entries()) rdLocateObjectByHandle(map, e.handle, position);

    ObjectPrologue prologue;
    uint64_t at = 2;
    for (int i = 0; i < 64; ++i) {
        if (!rdReadObjectPrologue(bits, at, bits.size(), versionIndex, isEntity, reader, prologue)) break;
        ObjectHandles handles;
        rdReadObjectHandles(reader, prologue.handle, prologue.reactorCount, handles);
        at = prologue.nextRecordPosition;
    }
    gSystemContext = nullptr;
    return 0;
}
