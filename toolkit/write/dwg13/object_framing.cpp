#include "toolkit/write/dwg13/object_framing.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/core/xdata_items.h"
#include "toolkit/write/byte_output.h"
#include "toolkit/codec/bit_codes.h"
#include "toolkit/codec/crc16.h"
#include "toolkit/write/dwg13/xdata_encoder.h"

namespace tracemill {
namespace {

// Pending output is written in pieces of this size.
constexpr size_t kFlushSize = 256 * 1024;

Dwg13WriteState& state(OutputContext& output) { return *output.dwg13; }

int flushIfFull(OutputContext& output) { return output.pending.size() < kFlushSize ? 1 : wrFlushPending(output); }

// The data of one application: its handle and the items collected for it.
struct ApplicationData {
    Handle application;
    std::vector<uint8_t> data;
};

void putApplication(BitWriter& bits, const ApplicationData& app) {
    if (app.data.empty()) return;
    wrPutBitShort(bits, uint16_t(app.data.size()));
    wrPutHandle(bits, uint8_t(bitcode::kRefHardPointer << 4), app.application);
    wrPutRawBytes(bits, app.data.data(), app.data.size());
}

} // namespace

int wrDwgRecordSizeField(uint64_t size, uint8_t out[4]) {
    if (size > kDwgRecordSizeLimit) return dbSetError(kErrorDwgRecordTooLarge);
    if (size <= 0x7FFF) {
        out[0] = uint8_t(size);
        out[1] = uint8_t(size >> 8);
        return 2;
    }
    const uint64_t low = (size & 0x7FFF) | 0x8000;
    const uint64_t high = size >> 15;
    out[0] = uint8_t(low);
    out[1] = uint8_t(low >> 8);
    out[2] = uint8_t(high);
    out[3] = uint8_t(high >> 8);
    return 4;
}

void wrBitInit(OutputContext& output, uint64_t filePosition) {
    if (!output.dwg13) output.dwg13 = std::make_unique<Dwg13WriteState>();
    Dwg13WriteState& s = state(output);
    s.versionIndex = output.versionIndex;
    s.codePage = output.header.dwgcodepage;
    s.filePosition = filePosition;
    s.bits.reset();
}

void wrBitReset(OutputContext& output) {
    Dwg13WriteState& s = state(output);
    s.bits.reset();
    s.recordStart = s.filePosition;
    s.sizePosition = 0;
    s.bitSize = 0;
    s.handleStreamNoted = false;
    s.referenceSlot = Handle();
}

int wrBeginObject(OutputContext& output, uint16_t type, Handle ownHandle, unsigned ownHandleCode,
                  const OwnedStream* xdata, const std::span<const uint8_t>* graphics, bool isEntity) {
    wrBitReset(output);
    Dwg13WriteState& s = state(output);
    BitWriter& bits = s.bits;
    const bool r2000 = s.versionIndex >= kVersionAC1015;
    wrPutBitShort(bits, type);
    if (r2000) {
        s.sizePosition = bits.bitLength();
        wrPutRawLongBits(bits, 0);
    }
    wrPutHandle(bits, uint8_t(ownHandleCode << 4), ownHandle);
    if (!wrPutEed(output, xdata)) return 0;
    if (isEntity) {
        wrPutBit(bits, graphics ? 1 : 0);
        if (graphics) {
            wrPutRawLongBits(bits, int32_t(graphics->size()));
            wrPutRawBytes(bits, graphics->data(), graphics->size());
        }
    }
    if (!r2000) {
        s.sizePosition = bits.bitLength();
        wrPutRawLongBits(bits, 0);
    }
    return 1;
}

void wrNoteHandleStreamAt(OutputContext& output, uint64_t bit) {
    Dwg13WriteState& s = state(output);
    s.bitSize = uint32_t(bit);
    s.handleStreamNoted = true;
}

void wrNoteHandleStream(OutputContext& output) { wrNoteHandleStreamAt(output, state(output).bits.bitLength()); }

int wrEndObject(OutputContext& output) {
    Dwg13WriteState& s = state(output);
    if (!s.handleStreamNoted) wrNoteHandleStream(output);
    s.bits.patchBits(s.sizePosition, __builtin_bswap32(s.bitSize), 32);
    const std::span<const uint8_t> data = s.bits.view();
    const uint64_t size = data.size();
    uint8_t head[4];
    const size_t headSize = size_t(wrDwgRecordSizeField(size, head));
    if (headSize == 0) return 0;
    uint16_t crc = wrCrc16(kCrcSeedRecords, head, headSize);
    crc = wrCrc16(crc, data.data(), data.size());
    const uint8_t tail[2] = {uint8_t(crc), uint8_t(crc >> 8)};
    std::string& out = output.pending;
    out.append(reinterpret_cast<const char*>(head), headSize);
    out.append(reinterpret_cast<const char*>(data.data()), data.size());
    out.append(reinterpret_cast<const char*>(tail), 2);
    s.filePosition += headSize + size + 2;
    return flushIfFull(output);
}

int wrPutEed(OutputContext& output, const OwnedStream* xdata) {
    Dwg13WriteState& s = state(output);
    BitWriter& bits = s.bits;
    if (xdata && *xdata) {
        OpenStream* in = dbStreamOpenRead(xdata->get());
        if (in) {
            const uint8_t codePageByte = s.versionIndex <= kVersionAC1012 ? 0 : uint8_t(s.codePage);
            ApplicationData app;
            bool inApplication = false;
            XDataItem item;
            while (dbReadXDataItem(in, item)) {
                if (item.code == 1001) {
                    putApplication(bits, app);
                    app.application = item.handle;
                    app.data.clear();
                    inApplication = true;
                    continue;
                }
                // Items before the first application belong to none; an application's data
                // holds what its 16-bit size can count.
                if (!inApplication) continue;
                const size_t before = app.data.size();
                if (wrDwgXDataItem(item, codePageByte, app.data) && app.data.size() > 0xFFFF) app.data.resize(before);
            }
            putApplication(bits, app);
            dbStreamCloseRead(in);
        }
    }
    wrPutBitShort(bits, 0);
    return 1;
}

int wrPutCommonTail(OutputContext& output, Handle ownHandle, Handle ownerHandle, Handle extensionDictionary,
                    const HandleList& reactors) {
    Dwg13WriteState& s = state(output);
    BitWriter& bits = s.bits;
    if (!extensionDictionary.isNull()) wrNoteXdictLink(output, ownHandle, extensionDictionary);
    wrPutRelativeRef(bits, ownerHandle, ownHandle, bitcode::kRefSoftPointer);
    for (Handle reactor : reactors) wrPutHandle(bits, uint8_t(bitcode::kRefSoftPointer << 4), reactor);
    wrPutHandle(bits, uint8_t(bitcode::kRefHardOwner << 4), extensionDictionary);
    wrPutHandle(bits, uint8_t(bitcode::kRefHardPointer << 4), s.referenceSlot);
    return 1;
}

void wrNoteXdictLink(OutputContext& output, Handle ownHandle, Handle extensionDictionary) {
    Dwg13WriteState& s = state(output);
    if (s.xdictIndex.emplace(ownHandle.value, extensionDictionary).second)
        s.xdictLinks.emplace_back(ownHandle, extensionDictionary);
}

Handle wrLookupXdictLink(const OutputContext& output, Handle ownHandle) {
    const Dwg13WriteState& s = *output.dwg13;
    const auto found = s.xdictIndex.find(ownHandle.value);
    return found == s.xdictIndex.end() ? Handle() : found->second;
}

int wrDwgPutFileBytes(OutputContext& output, const void* bytes, size_t count) {
    output.pending.append(static_cast<const char*>(bytes), count);
    state(output).filePosition += count;
    return flushIfFull(output);
}

} // namespace tracemill
