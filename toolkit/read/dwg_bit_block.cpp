#include "toolkit/read/dwg_bit_block.h"

#include "toolkit/core/system_context.h"
#include "toolkit/read/dwg_handle_refs.h"

namespace tracemill {

int rdBitBlockReadBegin(BitReader& reader, const PagedStream* stream) {
    if (!stream) return dbSetError(kErrorReadFromNullStream);
    reader.reset(stream->bytes);
    return 1;
}

void rdBitBlockReadEnd(BitReader& reader) {
    reader.reset({});
}

int rdBitBlockReadText(BitReader& reader, std::string& out) {
    rdBitText(reader, out, kMaxBitBlockText);
    return 1;
}

int rdBitBlockReadBytes(BitReader& reader, std::vector<uint8_t>& out, uint16_t& count) {
    count = rdBitShort(reader);
    out.resize(count);
    reader.readBytes(out.data(), count);
    return 1;
}

int rdBitBlockReadHandle(BitReader& reader, Handle& out) {
    rdReadHandle(reader, out);
    return 1;
}

int rdBitBlockReadLong(BitReader& reader, int32_t& out) {
    out = rdBitLong(reader);
    return 1;
}

int rdBitBlockReadShort(BitReader& reader, uint16_t& out) {
    out = rdBitShort(reader);
    return 1;
}

int rdBitBlockReadDouble(BitReader& reader, double& out) {
    out = rdBitDouble(reader);
    return 1;
}

int rdBitBlockRead3Doubles(BitReader& reader, Point3& out) {
    out = rdBit3Double(reader);
    return 1;
}

} // namespace tracemill
