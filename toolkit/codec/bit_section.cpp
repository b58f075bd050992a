#include "toolkit/codec/bit_section.h"

#include <algorithm>

#include "toolkit/codec/bit_codes.h"

namespace tracemill {

int wrBitSectionBegin(BitWriter& writer) {
    writer.reset();
    return 1;
}

std::vector<uint8_t> wrBitSectionEnd(BitWriter& writer, uint64_t& bitLength) {
    bitLength = writer.bitLength();
    return writer.takeBytes();
}

int wrBitWriteShort(BitWriter& writer, uint16_t value) {
    return wrPutBitShort(writer, value);
}
int wrBitWriteLong(BitWriter& writer, int32_t value) {
    return wrPutBitLong(writer, value);
}
int wrBitWriteDouble(BitWriter& writer, double value) {
    return wrPutBitDouble(writer, value);
}
int wrBitWrite3Doubles(BitWriter& writer, const Point3& point) {
    return wrPut3BitDouble(writer, point);
}
int wrBitWriteText(BitWriter& writer, std::string_view text) {
    return wrPutText(writer, text);
}

int wrBitWriteBytes(BitWriter& writer, const uint8_t* bytes, size_t count) {
    const size_t kept = std::min<size_t>(count, 0xFFFF);
    wrPutBitShort(writer, uint16_t(kept));
    return wrPutRawBytes(writer, bytes, kept);
}

int wrBitWriteSoftPointer(BitWriter& writer, Handle handle) {
    return wrPutHandle(writer, uint8_t(bitcode::kRefSoftPointer << 4), handle);
}

} // namespace tracemill
