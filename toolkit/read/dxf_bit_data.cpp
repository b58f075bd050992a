#include "toolkit/read/dxf_bit_data.h"

#include <numbers>

#include "toolkit/core/hex_text.h"
#include "toolkit/read/dxf_reader.h"
#include "toolkit/codec/bit_section.h"

namespace tracemill {

Point3 rdDxfReadPoint(DxfLoadState& state, uint16_t baseCode) {
    const DxfGroup& group = state.group();
    Point3 point{group.real, 0.0, 0.0};
    if (rdDxfExpectGroup(state, uint16_t(baseCode + 10))) {
        point.y = group.real;
        if (rdDxfExpectGroup(state, uint16_t(baseCode + 20))) point.z = group.real;
    }
    return point;
}

Point2 rdDxfReadPoint2(DxfLoadState& state, uint16_t baseCode) {
    const DxfGroup& group = state.group();
    Point2 point{group.real, 0.0};
    if (rdDxfExpectGroup(state, uint16_t(baseCode + 10))) point.y = group.real;
    return point;
}

void rdDxfBeginBitData(DxfLoadState& state) { wrBitSectionBegin(state.bits); }

int rdDxfGroupToBits(DxfLoadState& state, std::vector<ObjectReference>& references, OwnedStream* graphics) {
    DxfGroup& group = state.group();
    BitWriter& bits = state.bits;
    const uint16_t code = group.code;
    if (code == 92 && graphics) return rdDxfReadBinaryChunks(state, *graphics);
    auto writeCode = [&] { wrBitWriteShort(bits, code); };
    if ((code >= 10 && code <= 18) || code == 210) {
        writeCode();
        wrBitWrite3Doubles(bits, rdDxfReadPoint(state, code));
    } else if ((code >= 40 && code <= 49) || (code >= 140 && code <= 149)) {
        writeCode();
        wrBitWriteDouble(bits, group.real);
    } else if (code >= 50 && code <= 59) {
        writeCode();
        wrBitWriteDouble(bits, group.real * std::numbers::pi / 180.0);
    } else if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299)) {
        writeCode();
        wrBitWriteShort(bits, uint16_t(group.shortValue));
    } else if (code >= 90 && code <= 99) {
        writeCode();
        wrBitWriteLong(bits, group.longValue);
    } else if ((code >= 1 && code <= 9) || code == 100 || code == 102 || (code >= 300 && code <= 309)) {
        writeCode();
        wrBitWriteText(bits, group.text);
    } else if (code >= 310 && code <= 319) {
        writeCode();
        const std::vector<uint8_t> bytes = dbHexToBytes(group.text);
        wrBitWriteBytes(bits, bytes.data(), bytes.size());
    } else if (code >= 320 && code <= 329) {
        writeCode();
        wrBitWriteSoftPointer(bits, group.handle);
    } else if (code >= 330 && code <= 369) {
        writeCode();
        references.push_back({group.handle, uint8_t((code - 320) / 10)});
    } else {
        return 0;
    }
    return 1;
}

void rdDxfEndBitData(DxfLoadState& state, OwnedStream& data, uint32_t& bitCount) {
    wrBitWriteShort(state.bits, 0);
    uint64_t bitLength = 0;
    std::vector<uint8_t> bytes = wrBitSectionEnd(state.bits, bitLength);
    bitCount = uint32_t(bitLength);
    if (data.create(4096)) data.get()->bytes = std::move(bytes);
}

} // namespace tracemill
