#include "toolkit/read/dwg_handle_refs.h"

#include <algorithm>

#include "toolkit/core/system_context.h"
#include "toolkit/codec/bit_codes.h"

namespace tracemill {
namespace {

struct RawHandle {
    unsigned code = 0;
    int count = 0;
    Handle value;
};

RawHandle readRawHandle(BitReader& reader) {
    RawHandle h;
    const uint8_t codeByte = reader.readByte();
    h.code = codeByte >> 4;
    h.count = codeByte & 0x0F;
    if (h.count > int(bitcode::kMaxHandleBytes)) {
        dbNotifyError(kErrorReasonBadLength);
        reader.skipBits(uint64_t(h.count) * 8);
        h.count = 0;
        return h;
    }
    uint64_t value = 0;
    for (int i = 0; i < h.count; ++i)
        value = (value << 8) | reader.readByte();
    h.value = Handle(value);
    return h;
}

} // namespace

int rdReadHandle(BitReader& reader, Handle& out) {
    RawHandle h = readRawHandle(reader);
    out = h.value;
    return h.count;
}

int rdReadHandleRef(BitReader& reader, Handle& out, int& kind) {
    RawHandle h = readRawHandle(reader);
    out = h.value;
    kind = int(h.code & 3) + 1;
    return h.count;
}

Handle rdReadRelativeHandle(BitReader& reader, Handle reference) {
    RawHandle h = readRawHandle(reader);
    if (h.code < bitcode::kRefFirstRelative) return h.value;
    Handle offset = h.value;
    if (h.count == 0)
        offset = Handle((h.code & 8) ? ~uint64_t(0) : 1);
    else if (h.code == bitcode::kRefMinusOffset)
        rdHandleNegate(offset);
    return rdHandleAdd(reference, offset);
}

void rdReadObjectHandles(BitReader& reader, Handle ownHandle, uint32_t reactorCount, ObjectHandles& out) {
    out.owner = rdReadRelativeHandle(reader, ownHandle);
    out.reactors.clear();
    // Every handle takes at least one byte: a count beyond that cannot be in the data.
    out.reactors.reserve(std::min<uint64_t>(reactorCount, reader.bitsLeft() / 8));
    for (uint32_t i = 0; i < reactorCount && !reader.overrun(); ++i) {
        Handle reactor;
        rdReadHandle(reader, reactor);
        if (!reader.overrun()) out.reactors.push_back(reactor);
    }
    rdReadHandle(reader, out.extensionDictionary);
    rdReadHandle(reader, out.last);
}

void rdSkipHandles(BitReader& reader, uint32_t& count) {
    Handle skipped;
    rdReadHandle(reader, skipped);
    rdReadHandle(reader, skipped);
    const uint32_t total = count;
    for (uint32_t i = 0; i < total && !reader.overrun(); ++i) {
        rdReadHandle(reader, skipped);
        if (skipped.isNull() && count > 0) --count;
    }
}

} // namespace tracemill
